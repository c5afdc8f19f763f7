#include "effects/light_scenes.h"

#include <algorithm>
#include <cmath>

#include "effects/screen_quad.h"
#include "effects/draw_cube.h"
#include "timeline/effect_time.h"
#include "platform/shared_random.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

namespace {

const float kPi = 3.14159265358979f;

// Shared by every NanoBall for the run and never reset.
NanoBallSwitches g_switches;

GLUquadric* NewTexturedQuadric()
{
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricTexture(quadric, GL_TRUE);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    return quadric;
}

// The two turns that point the z axis along rod i of n, spread evenly over
// the sphere along a golden-angle spiral: about y, then about x, in degrees.
void RodTurns(int i, int n, float& aboutY, float& aboutX)
{
    const float step = 2.0f / static_cast<float>(n);
    const float half = step / 2;
    const float golden = (3 - std::sqrt(5.0f)) * kPi;
    const float y = static_cast<float>(i) * step - 1 + half;
    const float r = std::sqrt(1 - y * y);
    const float phi = static_cast<float>(i) * golden;
    const float px = std::cos(phi) * r;
    const float pz = std::sin(phi) * r;
    aboutY = std::atan2(px, pz) * 180 / kPi;
    aboutX = std::atan2(std::sqrt(px * px + pz * pz), y) * 180 / kPi - 90;
}

}  // namespace

void SceneLight::Apply()
{
    glGetFloatv(GL_CURRENT_COLOR, savedColour);
    glShadeModel(shadeModel);
    const GLfloat materialAmbient[] = {0.1f, 0.1f, 0.1f, 1};
    const GLfloat materialDiffuse[] = {0.4f, 0.4f, 0.4f, 1};
    const GLfloat materialSpecular[] = {1.8f, 1.8f, 1.8f, 1};
    const GLfloat materialEmission[] = {0.1f, 0.1f, 0.1f, 0};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, materialAmbient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, materialDiffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, materialSpecular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, materialEmission);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 100);
    const GLfloat spotDirection[] = {1, -1, -1};
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, spotDirection);
    // 130 is beyond what GL accepts (128) and would be refused with an error;
    // with a cut-off of 180 the light is no spot and the exponent is unused.
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 128);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 180);
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 1);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0);
    glLightfv(light, GL_SPECULAR, specular);
    glLightfv(light, GL_AMBIENT, ambient);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_POSITION, position);
    glEnable(light);
}

NanoBall::NanoBall(int start, int end) : Effekt(start, end), quadric(NewTexturedQuadric())
{
    rod.Load("data/brakvolde/nanoball/zoomer1.jpg");
    flare.Load("data/brakvolde/nanoball/flare.jpg");
    background.Load("data/brakvolde/nanoball/bg.jpg");
    cubeProgram.Load("data/brakvolde/nanoball/cubeshader.fs", "data/brakvolde/nanoball/cubeshader.vs");
    bend.Load(true, "data/brakvolde/nanoball/bend.fs");
}

NanoBall::~NanoBall()
{
    gluDeleteQuadric(quadric);
}

const NanoBallSwitches& NanoBall::Switches()
{
    return g_switches;
}

void NanoBall::Draw(int timeMs, float beat)
{
    const float t = TimeFloat(timeMs);
    const uint32_t e = Elapsed(timeMs, start);
    const uint32_t time = static_cast<uint32_t>(timeMs);

    // Everything fades to black over the last seven seconds.
    float level = beat * 0.5f + 0.5f;
    if (time > static_cast<uint32_t>(end) - 7000)
        level = level * static_cast<float>(Elapsed(end, timeMs)) / 7000;
    glColor4f(level, level, level, level);

    glBindTexture(GL_TEXTURE_2D, background.texture);
    SetScreenOrtho();
    glPushMatrix();
    glTranslatef(0, 0, -2);
    RotateXYZ(Float3(0, 0, static_cast<float>(e) * 0.001f));
    const float size = static_cast<float>(e) * 0.00003f + 1.1f;
    TexturedQuad(size, size).Draw(1, 1);
    glPopMatrix();
    ResetPerspective();
    glBindTexture(GL_TEXTURE_2D, 0);

    if (beat > 0.25f)
        lastBeat = time;
    const float b = static_cast<float>(time - lastBeat);

    CEnabler depth(GL_DEPTH_TEST);
    CEnabler cull(GL_CULL_FACE);
    CPushMatrix ball;

    const int rods = static_cast<int>(std::min<uint32_t>(e, kMaxRods));
    SeedRandom(0);
    const float grow = e < 500 ? 10 - static_cast<float>(e) * 10 / 500 : 0;

    if (!g_switches.initialised) {
        g_switches.lastSwitch = time;
        g_switches.initialised = true;
    }
    if (time - g_switches.lastSwitch > 300 && beat > 0.7f) {
        ++g_switches.switches;
        g_switches.lastSwitch = time;
        if (g_switches.switches % 4 == 0)
            ++g_switches.quarters;
        // Two draws thrown away: a switch also reshuffles the rods.
        NextRandom();
        NextRandom();
    }

    const int c = g_switches.switches, q = g_switches.quarters;
    glTranslatef(std::fabs(std::sin(t * 0.0095f)) * 10 + (grow - 4) - static_cast<float>(c % 10),
                 10 * std::sin(t * 0.0002f) + b / 100, static_cast<float>(-18 - 3 * ((c % 4) * q)));
    glRotatef(b / 28 * static_cast<float>(c & 1) + t / 10, 1, 0, 0);
    glRotatef(b / 18, 0, 1, 0);
    glRotatef(t / 50 + grow * 20, 0, 0, 1);

    glUseProgram(cubeProgram.program);
    // All rods first, then all flares: two texture changes a frame instead of
    // two a rod. A software renderer copies its whole sampler state (about
    // 30 KB) at each change and keeps the copies until the frame is drawn:
    // 58 MiB a frame at 512 rods. Blending is off, so the order shows only
    // where a flare and a later rod meet at exactly the same depth (a pixel
    // in one frame of twenty at 320 x 240).
    glBindTexture(GL_TEXTURE_2D, rod.texture);
    for (int i = 0; i < rods; ++i) {
        RodPose& pose = poses[i];
        RodTurns(i, rods, pose.aboutY, pose.aboutX);
        const float a = static_cast<float>(NextRandom() & 31) * 0.2f;
        pose.length = std::sin(RandomUnit() * 2 * static_cast<float>(rods) + t / 1000) + (8 - a);
        CPushMatrix rodMatrix;
        glRotatef(pose.aboutY, 0, 1, 0);
        glRotatef(pose.aboutX, 1, 0, 0);
        gluCylinder(quadric, 0.5, 0.5, pose.length, 4, 1);
    }
    glBindTexture(GL_TEXTURE_2D, flare.texture);
    for (int i = 0; i < rods; ++i) {
        const RodPose& pose = poses[i];
        CPushMatrix rodMatrix;
        glRotatef(pose.aboutY, 0, 1, 0);
        glRotatef(pose.aboutX, 1, 0, 0);
        glTranslatef(0, 0, pose.length);
        gluDisk(quadric, 0, 0.5, 4, 1);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glUseProgram(0);
}

Spheres::Spheres(int start, int end) : Effekt(start, end), quadric(NewTexturedQuadric())
{
    shader.Load(true, "data/brakvolde/spheres/shader.fs");
    background.Load("data/brakvolde/spheres/towers.png");
    towerEnvironment.Load("data/brakvolde/spheres/towerenv.png");
    sphere.Load("data/brakvolde/spheres/white.png");
}

Spheres::~Spheres()
{
    gluDeleteQuadric(quadric);
}

void Spheres::Draw(int timeMs, float beat)
{
    const float t = TimeFloat(timeMs);
    const float e = static_cast<float>(Elapsed(timeMs, start));
    target.Bind();

    SetScreenOrtho();
    RotateXYZ(Float3(0, 0, t / 1000));
    glBindTexture(GL_TEXTURE_2D, background.texture);
    glColor4f(1, 1, 1, 1);
    glTranslatef(0, 0, -2);
    const float size = std::fabs(std::sin(t * 0.0002f)) + 1.5f;
    TexturedQuad(size, size).Draw(1, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
    ResetPerspective();

    glColor4f(1, 1, 1, 1);
    {
        CEnabler depth(GL_DEPTH_TEST);
        glPushMatrix();
        glTranslatef(0, 0, std::fabs(std::sin(t * 0.0002f) * 10) - 20);
        RotateXYZ(Float3(180, 0, t / 1000));
        glColor4f(1, 1, 1, 1);
        SeedRandom(123);
        glBindTexture(GL_TEXTURE_2D, sphere.texture);
        glPushMatrix();
        const float r1 = RandomUnit();
        const float r2 = RandomUnit();
        const float r3 = RandomUnit();
        RotateXYZ(Float3(t * r3 / 10, t * r2 / 10, t * r1 / 10));
        gluSphere(quadric, beat + 1.5f, 16, 10);
        glPopMatrix();
        glBindTexture(GL_TEXTURE_2D, 0);

        {
            CEnabler lighting(GL_LIGHTING);
            light.Apply();
            glDisable(GL_TEXTURE_2D);
            // Near x = 0 the stream bulges around the sphere, more on the beat.
            const float k = beat + 2.5f;
            const float a = beat * 0.2f + 1;
            for (int i = 0; i < kCubes; ++i) {
                const float g = static_cast<float>(i) / 200 - e / 500 + 10;
                const float h = std::sqrt(g * g);
                const float d = std::max(0.0f, 2.5f - h * h / k);
                const float l = d * a;
                const float m = 1 - 2 * RandomUnit();
                NextRandom();
                float n = 1 - 2 * RandomUnit();
                if (g < 0)
                    n = n + 0.25f * h * h;
                else
                    n = n - 0.25f * h * h;
                CPushMatrix cube;
                glTranslatef(g, m + l * m, n + n * l);
                const float r4 = RandomUnit();
                const float r5 = RandomUnit();
                const float r6 = RandomUnit();
                glRotatef(t * r6, 1, 0, 0);
                glRotatef(t * r5, 0, 1, 0);
                glRotatef(t * r4, 0, 0, 1);
                DrawCube(0.075f);
            }
            glEnable(GL_TEXTURE_2D);
            glDisable(GL_LIGHT0);
            glColor4fv(light.savedColour);
        }
        glPopMatrix();
    }

    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glUseProgram(shader.program);
    SetScreenOrtho();
    glBindTexture(GL_TEXTURE_2D, target.texture);
    glColor4f(1, 1, 1, 1);
    DrawFullScreenQuad();
    glUseProgram(0);
    glBindTexture(GL_TEXTURE_2D, 0);
    ResetPerspective();
}

}  // namespace Effekter
