#include "effects/rubber3d.h"

#include <algorithm>
#include <cmath>

#include "effects/screen_quad.h"
#include "platform/shared_random.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

ScissorStrip RubberStrip(int index, int screenWidth)
{
    const int count = Rubber3d::kStrips;
    return ScissorStrip{screenWidth * index / count, (screenWidth + count - 1) / count};
}

Rubber3d::Rubber3d(int start, int end)
    : Effekt(start, end), model("data/rubber/simple.3ds", MeshDisplayList::kNormals)
{
    environment.Load("data/rubber/env.jpg");
    background.Load("data/rubber/background.jpg");
    backgroundGlow.Load("data/rubber/background1.jpg");
}

float Rubber3d::SlideFactor(uint32_t time) const
{
    const uint32_t first = static_cast<uint32_t>(start);
    const uint32_t last = static_cast<uint32_t>(end);
    float f = 0;
    if (time - first < 250)
        f = 1 - static_cast<float>(time - first) / 250;
    if (time > last - 250)
        f = 1 - static_cast<float>(last - time) / 250;
    return f;
}

void Rubber3d::Draw(int timeMs, float beat)
{
    const uint32_t time = static_cast<uint32_t>(timeMs);
    const float t = static_cast<float>(time);
    const float rel = static_cast<float>(time - static_cast<uint32_t>(start));
    const float slide = SlideFactor(time);

    glDisable(GL_DEPTH_TEST);
    {
        CTransparency additive(GL_ONE, GL_ONE);
        SetScreenOrtho();
        CPushMatrix matrix;
        glTranslatef(0, slide, -1);
        // Zooms from 2 down to 1 over the first ten seconds of the music.
        const float h = std::max(1.0f, 2 - t / 10000);
        Grey(1);
        DrawImageQuad(background.texture, h);
        Grey(beat);
        DrawImageQuad(backgroundGlow.texture, h);
    }
    ResetPerspective();

    CEnabler scissor(GL_SCISSOR_TEST);
    CEnabler depth(GL_DEPTH_TEST);
    CEnabler cull(GL_CULL_FACE);
    CEnabler generateS(GL_TEXTURE_GEN_S);
    CEnabler generateT(GL_TEXTURE_GEN_T);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP);
    CTextureBinder bind(environment.texture);
    CPushMatrix matrix;

    if (beat > 0.25f)
        lastKick = time;
    const float kick = static_cast<float>(time - lastKick);
    glTranslatef(rel / 75 - 150, 500 * slide, -500 - kick);
    glRotatef(t / 20, 0, 1, 0);
    Grey(1);

    for (int i = 0; i < kStrips; ++i) {
        // The same ten numbers every strip; the matrix keeps each strip's step,
        // so strip i shows the model under i + 1 copies of one small twist.
        SeedRandom(static_cast<uint32_t>(twistSeed));
        float r[10];
        for (float& value : r)
            value = RandomUnit();
        glTranslatef(0, 0, r[0] * beat);
        glRotatef(r[7] * std::sin(r[8] * t / 500) * std::cos(r[9] * t / 500), 1, 0, 0);
        glRotatef(r[4] * std::sin(r[5] * t / 500) * std::cos(r[6] * t / 500), 0, 1, 0);
        glRotatef(r[1] * std::sin(r[2] * t / 500) * std::cos(r[3] * t / 500), 0, 0, 1);
        const ScissorStrip strip = RubberStrip(i, ScreenWidth);
        glScissor(strip.x, 0, strip.width, ScreenHeight);
        model.Draw();
        if (i % 25 == 24)
            strips.Step();
    }
}

}  // namespace Effekter
