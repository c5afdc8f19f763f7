#include "effects/brum.h"

#include <cmath>

#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

namespace {

// Shared by every Brum for the run and never reset.
uint32_t g_lastSpawn = 0;

// Each sine and cosine is worked out in double precision and rounded to float.
float Sin(float x)
{
    return static_cast<float>(std::sin(static_cast<double>(x)));
}

float Cos(float x)
{
    return static_cast<float>(std::cos(static_cast<double>(x)));
}

void TurnAboutZ(float angle)
{
    glRotatef(0, 1, 0, 0);
    glRotatef(0, 0, 1, 0);
    glRotatef(angle, 0, 0, 1);
}

}  // namespace

Brum::Brum(int start, int end) : Effekt(start, end)
{
    figure.Load("data/vondo/brum/brum.png");
    background.Load("data/vondo/brum/pastelmand.jpg");
    star.Load("data/vondo/brum/stjern1.jpg");
}

Float3 Brum::FigurePosition(uint32_t time)
{
    const float t = static_cast<float>(time);
    return Float3(Sin(t / 1000), Cos(t / 2000), -4 - Cos(t / 40000));
}

uint32_t Brum::LastSpawn()
{
    return g_lastSpawn;
}

void Brum::Draw(int timeMs, float)
{
    const uint32_t time = static_cast<uint32_t>(timeMs);
    const Float3 p = FigurePosition(time);
    trail.Update(time, p, g_lastSpawn);

    {
        CPushMatrix matrix;
        glTranslatef(BGPos.x, BGPos.y, BGPos.z);
        RotateXYZ(Float3(0, 0, static_cast<float>(-0.01 * time)));
        glColor4f(1, 1, 1, 1);
        CTextureBinder bind(background.texture);
        TexturedQuad(BGScale.x, BGScale.y).Draw(1, 1);
    }

    glBindTexture(GL_TEXTURE_2D, star.texture);
    CTransparency stars(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    const TexturedQuad sprite(0.15f, 0.15f);
    trail.ForEachLive(time, [&](const BrumParticle& particle) {
        const ParticleLook look = LookAt(particle, time);
        CPushMatrix matrix;
        glTranslatef(look.position.x, look.position.y, look.position.z);
        TurnAboutZ(look.fade * 40);
        glColor4f(look.fade, look.fade, look.fade, look.fade);
        sprite.Draw(1, 1);
    });

    CTransparency figureBlend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    CPushMatrix matrix;
    glTranslatef(p.x, p.y, p.z);
    // 360 / 3.14 rather than 180 / pi: the figure turns twice as fast as its path.
    const double heading = 180 - std::atan2(static_cast<double>(p.x), static_cast<double>(p.y)) * 360 / 3.14f;
    TurnAboutZ(static_cast<float>(heading));
    glColor4f(1, 1, 1, 1);
    glTranslatef(-1, 0, 0);
    CTextureBinder bind(figure.texture);
    TexturedQuad(1, 1).Draw(1, 1);
}

}  // namespace Effekter
