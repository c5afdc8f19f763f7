#include "effects/shader_scenes.h"

#include <cmath>
#include <cstdint>

#include "effects/draw_cube.h"
#include "timeline/effect_time.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

Mirror::Mirror(int start, int end) : Effekt(start, end), program(new ShaderProgram)
{
    cube.Load("data/brakvolde/miwer/boks.jpg");
    program->Load("data/brakvolde/miwer/cube.fs", "data/brakvolde/miwer/cube.vs");
    timeLocation = GetUniform(program->program, "time");
}

void Mirror::Draw(int timeMs, float)
{
    const float t = TimeFloat(timeMs);
    CEnabler depth(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    CPushMatrix camera;
    gluLookAt(0, 0, 5, 0, 0, 0, 0, 1, 0);

    glUseProgram(program->program);
    glUniform1f(timeLocation, t / 1000);
    glBindTexture(GL_TEXTURE_2D, cube.texture);
    glColor4f(1, 1, 1, 1);
    glPushMatrix();
    RotateXYZ(Float3(t / 500, t / 800, t / 300));
    DrawCube(2);
    glUseProgram(0);
    glPopMatrix();
    glBindTexture(GL_TEXTURE_2D, 0);
}

ShaderSuite3D::ShaderSuite3D(int start, int end)
    : Effekt(start, end), model("data/rubber/simple.3ds", MeshDisplayList::kNormals | MeshDisplayList::kTexCoords)
{
    environment.Load("data/rubber/env.jpg");
    background.Load("data/rubber/background.jpg");
    background1.Load("data/rubber/background1.jpg");
    program.Load("data/suite/fs.txt", "data/suite/vs.txt");
    stepLocation = GetUniform(program.program, "step");
    timeLocation = GetUniform(program.program, "time");
}

void ShaderSuite3D::Draw(int timeMs, float)
{
    const float t = TimeFloat(timeMs);
    const uint32_t rel = Elapsed(timeMs, start);
    // Lifts the model away in the first and last 250 ms.
    float slide = 0;
    if (rel < 250)
        slide = 1 - static_cast<float>(rel) / 250;
    if (static_cast<uint32_t>(timeMs) > static_cast<uint32_t>(end) - 250)
        slide = 1 - static_cast<float>(Elapsed(end, timeMs)) / 250;

    ResetPerspective();
    CEnabler depth(GL_DEPTH_TEST);
    CEnabler cull(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, environment.texture);
    glPushMatrix();
    glTranslatef(static_cast<float>(rel) / 75 - 150, 500 * slide, -500);
    glRotatef(t / 20, 0, 1, 0);
    {
        CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
        glUseProgram(program.program);
        glUniform1f(timeLocation, t / 1000);
        for (int i = 0; i < 20; ++i) {
            glDepthMask(GL_FALSE);
            glUniform1f(stepLocation, static_cast<float>(i) / 20);
            CPushMatrix pass;
            glColor4f(1, 1, 1, 1);
            model.Draw();
            passes.Step();
        }
        glUseProgram(0);
    }
    glPopMatrix();
    glBindTexture(GL_TEXTURE_2D, 0);
    // The passes only test against depth; later effects and the next
    // frame's depth clear need writes back on.
    glDepthMask(GL_TRUE);
}

TwistBox::TwistBox(int start, int end) : Effekt(start, end)
{
    program.Load(true, "data/kaleido/shaders/floorshader.fs");
    skyscraper.Load("data/kaleido/img/skyskraper.png");
    intensityLocation = GetUniform(program.program, "intensity");
    resolutionLocation = GetUniform(program.program, "resolution");
    posLocation = GetUniform(program.program, "pos");
}

float TwistBox::HalfWidth(int i, float t, float beat)
{
    return 1.5f * std::sin(0.0225f * static_cast<float>(i) + 0.0001f * t + beat) + 2;
}

void TwistBox::Draw(int timeMs, float beat)
{
    const float t = TimeFloat(timeMs);
    CFog fog(0, 1);
    glUseProgram(program.program);
    glUniform1f(intensityLocation, 0.25f - 0.1f * beat);
    glUniform2f(resolutionLocation, static_cast<float>(ScreenWidth), static_cast<float>(ScreenHeight));
    glUniform2f(posLocation, 0.5f * std::sin(0.0005f * t), 0.5f);

    glBindTexture(GL_TEXTURE_2D, skyscraper.texture);
    glColor4f(1, 1, 1, 1);
    CEnabler depth(GL_DEPTH_TEST);
    glPushMatrix();
    glTranslatef(0, -15, -10);
    const float h = 0.025f;
    float r0 = HalfWidth(0, t, beat);
    for (int i = 0; i < 1000; ++i) {
        const float r1 = HalfWidth(i + 1, t, beat);
        const float vb = static_cast<float>(i) / 100, vt = static_cast<float>(i + 1) / 100;
        CPushMatrix slice;
        glTranslatef(0, static_cast<float>(i) / 20, 0);
        glRotatef(360 * std::sin(0.0001225f * (10 * static_cast<float>(i) + 0.5f * t)), 0, 1, 0);
        auto corner = [](float u, float v, float x, float y, float z) {
            glTexCoord2f(u, v);
            glVertex3f(x, y, z);
        };
        glBegin(GL_QUADS);
        corner(0, vb, -r0, -h, r0);  // +z
        corner(1, vb, r0, -h, r0);
        corner(1, vt, r1, h, r1);
        corner(0, vt, -r1, h, r1);
        corner(1, vb, -r0, -h, -r0);  // -z
        corner(1, vt, -r1, h, -r1);
        corner(0, vt, r1, h, -r1);
        corner(0, vb, r0, -h, -r0);
        corner(1, vb, r0, -h, -r0);  // +x
        corner(1, vt, r1, h, -r1);
        corner(0, vt, r1, h, r1);
        corner(0, vb, r0, -h, r0);
        corner(0, vb, -r0, -h, -r0);  // -x
        corner(1, vb, -r0, -h, r0);
        corner(1, vt, -r1, h, r1);
        corner(0, vt, -r1, h, -r1);
        glEnd();
        r0 = r1;
    }
    glUseProgram(0);
    glPopMatrix();
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace Effekter
