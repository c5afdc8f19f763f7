#include "effects/chaos_zoomer.h"

#include <algorithm>
#include <cmath>

#include "effects/feedback.h"
#include "platform/shared_random.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

namespace {

// Shared by every ChaosZoomer for the run and never reset.
int g_scene = 3;

}  // namespace

int& ChaosZoomer::SceneNumber()
{
    return g_scene;
}

ChaosZoomer::ChaosZoomer(int start, int end)
    : Effekt(start, end), mesh("data/misc/simple.3ds", MeshDisplayList::kNormals)
{
    flower.Load("data/misc/blomster.jpg");
    tov.Load("data/misc/tov.jpg");
    mig.Load("data/misc/mig.jpg");
    quell.Load("data/misc/quell.jpg");
    bust.Load("data/misc/bust.jpg");
    env.Load("data/misc/env.jpg");
    border.Load("data/misc/border.jpg");
    twist.Load("data/misc/twist.jpg");
    split.Load(true, "data/misc/split.txt");
    a = std::make_unique<RenderTarget>();
    b = std::make_unique<RenderTarget>();
    glBindTexture(GL_TEXTURE_2D, 0);
    timeLocation = GetUniform(split.program, "time");
    beatLocation = GetUniform(split.program, "beat");
}

float ChaosZoomer::Ramp(uint32_t timeMs) const
{
    return std::min(1.0f, static_cast<float>(timeMs - lastSwitch) / 500);
}

void ChaosZoomer::Draw(int time, float beat)
{
    const uint32_t timeMs = static_cast<uint32_t>(time);
    const float t = static_cast<float>(timeMs);
    if (timeMs - lastSwitch > 5000) {
        ++switches;
        lastSwitch = timeMs;
        SceneNumber() = NextRandom() & 3;
    }
    if (UpdateDue(timeMs, lastUpdate)) {
        lastUpdate = timeMs;
        UpdatePicture(*a, *b, 1.02f, std::sin(t / 5000), [&] { DrawScene(timeMs, beat); });
    }
    ShowPicture(*a, split.program, beatLocation, timeLocation, beat, t, border.texture);
}

void ChaosZoomer::DrawScene(uint32_t timeMs, float beat)
{
    switch (SceneNumber()) {
    case 0:
        FlowerTunnel(timeMs, beat);
        break;
    case 1:
        PortraitSpin(timeMs, beat);
        break;
    case 2:
        FogObject(timeMs, beat);
        break;
    case 3:
        TwistLayers(timeMs, beat);
        break;
    }
}

// One flower passes the viewer every second; those with m >= 0 lie behind
// the eye and are clipped.
void ChaosZoomer::FlowerTunnel(uint32_t timeMs, float)
{
    const float t = static_cast<float>(timeMs);
    const float ramp = Ramp(timeMs);
    glColor4f(1, 1, 1, 1);
    CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    glBindTexture(GL_TEXTURE_2D, flower.texture);
    const float s = t / 1000;
    for (int i = 0; i < 1000; ++i) {
        const float m = s - i;
        if (m <= -10)
            continue;
        const float c = (10 + m) / 10 * ramp;
        glColor4f(c, c, c, c);
        CPushMatrix matrix;
        glTranslatef(0, 0, m);
        glRotatef(0, 1, 0, 0);
        glRotatef(0, 0, 1, 0);
        glRotatef(i * 20 + t / 500, 0, 0, 1);
        TexturedQuad(0.5f, 0.5f).Draw(1, 1);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

void ChaosZoomer::PortraitSpin(uint32_t timeMs, float)
{
    const float t = static_cast<float>(timeMs);
    const float ramp = Ramp(timeMs);
    CProjectionScope screen;
    glColor4f(ramp, ramp, ramp, ramp);
    CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    CPushMatrix matrix;
    glTranslatef(0, 0, -2);
    RotateXYZ(Float3(15 * std::sin(t / 500), 15 * std::sin(t / 2000), -t / 50));
    const CTexture* portraits[] = {&tov, &mig, &bust, &quell};
    const int which = switches % 4;
    glBindTexture(GL_TEXTURE_2D, which >= 0 ? portraits[which]->texture : 0);
    const float size = std::sin(static_cast<float>(timeMs - lastSwitch) / 1000) * 0.1f + 0.5f;
    TexturedQuad(size, size).Draw(1, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void ChaosZoomer::FogObject(uint32_t timeMs, float beat)
{
    const float t = static_cast<float>(timeMs);
    glColor4f(1, 1, 1, 1);
    CFog fog(FogNear, FogFar);
    CEnabler depth(GL_DEPTH_TEST);
    CEnabler cull(GL_CULL_FACE);
    CPushMatrix matrix;
    CEnabler generateS(GL_TEXTURE_GEN_S);
    CEnabler generateT(GL_TEXTURE_GEN_T);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
    ObjPos.Set(std::sin(t / 2000) * 100, std::sin(t / 1000) * 100, beat * 50 - 400);
    glTranslatef(ObjPos.x, ObjPos.y, ObjPos.z);
    RotateXYZ(Float3(t * 0.0025f, t * 0.03f, t * 0.0125f));
    glBindTexture(GL_TEXTURE_2D, env.texture);
    glCallList(mesh.List());
    glBindTexture(GL_TEXTURE_2D, 0);
}

// With beat 0 the layers are black, which under this blend leaves the
// picture as it was.
void ChaosZoomer::TwistLayers(uint32_t timeMs, float beat)
{
    const float t = static_cast<float>(timeMs);
    CTransparency additive(GL_ONE, GL_ONE);
    CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    glBindTexture(GL_TEXTURE_2D, twist.texture);
    const float f = beat * Ramp(timeMs) * 1.01f;
    glColor3f(f, f, f);
    const float base = t * 0.04f;
    const float k = (1 - beat) * 90;
    for (int i = 0; i < 5; ++i) {
        CPushMatrix matrix;
        glTranslatef(0, 0, -1);
        glRotatef(0, 1, 0, 0);
        glRotatef(0, 0, 1, 0);
        glRotatef(i * 5 * beat + base + k, 0, 0, 1);
        TexturedQuad(1, 1).Draw(1, 1);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace Effekter
