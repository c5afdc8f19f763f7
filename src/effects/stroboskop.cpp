#include "effects/stroboskop.h"

#include <cmath>
#include <cstdint>

#include "effects/screen_quad.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

Stroboskop::Stroboskop(int start, int end) : Effekt(start, end)
{
    twist.Load("data/strobo/twist.jpg");
    backdrop.Load("data/strobo/bg.jpg");
    caption.Load("data/strobo/text.jpg");
}

void Stroboskop::Draw(int timeMs, float beat)
{
    const uint32_t time = static_cast<uint32_t>(timeMs);
    const float t = static_cast<float>(time);

    // The backdrop repeats fifty times along a long strip in the window perspective.
    const float pulse = 0.5f * beat + 0.5f;
    glColor3f(pulse, pulse, pulse);
    {
        CPushMatrix matrix;
        glTranslatef(49 * std::sin(0.000001f * t), 0, 0.5f * beat - 1);
        CTextureBinder bind(backdrop.texture);
        TexturedQuad(50, 1).Draw(50, 1);
    }

    // White in the caption darkens the picture, black leaves it.
    {
        CTransparency darken(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
        CProjectionScope screen;
        CPushMatrix matrix;
        glTranslatef(0, 0, -1);
        Grey(time < 21000 ? 1 : beat + 0.5f);
        const float g = 1 + 0.125f * RandomUnit() * beat;
        CTextureBinder bind(caption.texture);
        TexturedQuad(g, g).Draw(1, 1);
    }

    {
        CTransparency additive(GL_ONE, GL_ONE);
        CTextureBinder bind(twist.texture);
        const float level = 0.125f * beat;
        glColor3f(level, level, level);
        for (int k = 0; k < 10; ++k) {
            CPushMatrix matrix;
            glTranslatef(0, 0, -1);
            glRotatef(5 * static_cast<float>(k) * beat + 0.04f * t + 90 * (1 - beat), 0, 0, 1);
            TexturedQuad(1, 1).Draw(1, 1);
        }
    }
    Grey(1);
}

}  // namespace Effekter
