#include "effects/floor_scenes.h"

#include <cmath>

#include "effects/draw_cube.h"
#include "timeline/effect_time.h"
#include "platform/shared_random.h"
#include "render/gl_objects.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

WalkCube::WalkCube(int start, int end) : Effekt(start, end)
{
    floor.Load("data/brakvolde/walk/skak.png");
    shadow.Load("data/brakvolde/walk/skygge.png");
    cubeProgram.Load("data/brakvolde/walk/cubeshader.fs", "data/brakvolde/walk/cubeshader.vs");
    floorProgram.Load(true, "data/brakvolde/walk/floorshader.fs");
    intensityLocation = GetUniform(floorProgram.program, "intensity");
}

void WalkCube::Draw(int timeMs, float beat)
{
    const float t = TimeFloat(timeMs);
    const uint32_t rel = Elapsed(timeMs, start);
    CEnabler depth(GL_DEPTH_TEST);
    CPushMatrix camera;
    // The gaze swings in from 100 units away during the first half second.
    const float lookZ = rel < 500 ? -100 * (1 - static_cast<float>(rel) / 500) : 0;
    const float a = 0.00015f * t;
    gluLookAt(5 * std::sin(a), 5 - 2 * beat, 5 * std::cos(a), 0, 0, lookZ, 0, 1, 0);

    glBindTexture(GL_TEXTURE_2D, floor.texture);
    glPushMatrix();
    glTranslatef(0, -1.5f, 0);
    RotateXYZ(Float3(90, 0, 0));
    glUseProgram(floorProgram.program);
    glUniform1f(intensityLocation, 0.25f - 0.1f * beat);
    TexturedQuad(200, 200).DrawOffset(40, 40, 0, 0.002f * t);
    glUseProgram(0);
    {
        CTransparency blend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDisable(GL_DEPTH_TEST);
        glColor4f(0.5f, 0.5f, 0.5f, 0.5f);
        glBindTexture(GL_TEXTURE_2D, shadow.texture);
        TexturedQuad(2, 2).Draw(1, 1);
        glColor4f(1, 1, 1, 1);
        glEnable(GL_DEPTH_TEST);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glPopMatrix();
    glBindTexture(GL_TEXTURE_2D, 0);

    glUseProgram(cubeProgram.program);
    glPushMatrix();
    const float u = 0.0095007569f * t;
    glTranslatef(0, std::fabs(std::cos(u)), std::cos(u));
    RotateXYZ(Float3(0.27231467f * t, 0, 0));
    DrawCube(1);
    glUseProgram(0);
    glPopMatrix();
}

BallsBounce::BallsBounce(int start, int end) : Effekt(start, end)
{
    floorProgram.Load(true, "data/brakvolde/bounce/floorshader.fs");
    floor.Load("data/brakvolde/bounce/skak.png");
    shadow.Load("data/brakvolde/bounce/skygge.png");
    // Every ball is the same sphere: its vertices are sent to GL once, not once
    // a ball each frame.
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricTexture(quadric, GL_TRUE);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    ball = glGenLists(1);
    RecordGlObject(GlObjects::kList, ball);
    glNewList(ball, GL_COMPILE);
    gluSphere(quadric, 2, 20, 10);
    glEndList();
    gluDeleteQuadric(quadric);
    ballProgram.Load("data/brakvolde/bounce/cubeshader.fs", "data/brakvolde/bounce/cubeshader.vs");
}

BallPlace BallsBounce::PlaceBall(int i, uint32_t rel, float t, float beat, float k)
{
    const float r1 = RandomUnit();
    const float r2 = RandomUnit();
    const float r3 = RandomUnit();
    const float r4 = RandomUnit();
    BallPlace place;
    place.y = 4.1f * static_cast<float>(i) - 0.05f * static_cast<float>(rel);
    place.x = 10 - 20 * r1 + 100 / std::fabs(place.y + 40);
    const float amp = 25 * r2 * beat;
    const float height = std::fabs(std::sin(r3 * (0.01f * t) + r4));
    place.lift = height * k * amp;
    place.shadow = 1 - height * k;
    place.shown = place.y > -25;
    return place;
}

void BallsBounce::Draw(int timeMs, float beat)
{
    const float t = TimeFloat(timeMs);
    const uint32_t rel = Elapsed(timeMs, start);
    CEnabler depth(GL_DEPTH_TEST);
    CPushMatrix scene;
    const float slide = rel < 500 ? 1 - static_cast<float>(rel) / 500 : 0;
    glTranslatef(100 * slide, 0, -40);
    RotateXYZ(Float3(5 * beat - 55, 10 * std::sin(0.0001f * t), 90 * slide));

    glUseProgram(floorProgram.program);
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, floor.texture);
    TexturedQuad(60, 60).DrawOffset(6, 6, 0, 0.005f * t);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
    glUseProgram(0);

    const float k = 1 - static_cast<float>(rel) / static_cast<float>(Elapsed(end, start));
    SeedRandom(123);
    for (int i = 0; i < kBalls; ++i) {
        const BallPlace place = PlaceBall(i, rel, t, beat, k);
        if (!place.shown)
            continue;
        glDisable(GL_DEPTH_TEST);
        CPushMatrix at;
        glTranslatef(place.x, place.y, -0.5f);
        CTransparency blend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        const float w = place.shadow;
        glColor4f(w, w, w, w);
        glBindTexture(GL_TEXTURE_2D, shadow.texture);
        TexturedQuad(5 * w, 5 * w).Draw(1, 1);
        glColor4f(1, 1, 1, 1);
        glEnable(GL_DEPTH_TEST);
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    glUseProgram(ballProgram.program);
    SeedRandom(123);
    for (int i = 0; i < kBalls; ++i) {
        const BallPlace place = PlaceBall(i, rel, t, beat, k);
        if (!place.shown)
            continue;
        CPushMatrix at;
        glTranslatef(place.x, place.y, place.lift + 0.9f);
        glCallList(ball);
    }
    glUseProgram(0);
}

}  // namespace Effekter
