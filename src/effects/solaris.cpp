#include "effects/solaris.h"

#include <cstdint>

#include "effects/screen_quad.h"
#include "platform/shared_random.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

Solaris::Solaris(int start, int end) : Effekt(start, end)
{
    layer.Load("data/solaris/solaris1.jpg");
    glow.Load("data/solaris/solaris2.jpg");
    overlay.Load("data/solaris/it.jpg");
}

void Solaris::Draw(int timeMs, float beat)
{
    const float t = TimeFloat(timeMs);
    {
        CTransparency additive(GL_ONE, GL_ONE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        CPushMatrix matrix;
        RotateXYZ(Float3(0, 2 * beat, 0.05f * t));
        // Every frame draws the same sequence, so each layer keeps its angle.
        SeedRandom(4);
        const float u = 0.002f * t;
        for (int i = 0; i < 10000; ++i) {
            const float z = u - i / 3.0f;
            // z only falls with i: every later layer is beyond the end too.
            if (z <= kFarthestLayer)
                break;
            const float a = 0.05f * z * z;
            CPushMatrix layerMatrix;
            glTranslatef(a, a * a, z);
            glRotatef(20 * i * RandomUnit() + 0.005f * t, 0, 0, 1);
            Grey(1 / (a * a + a * a * a * a + z * z));
            DrawImageQuad(layer.texture, 1);
            Grey(0.125f * z * beat);
            DrawImageQuad(glow.texture, 1);
        }
    }

    CTransparency darken(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    CProjectionScope screen;
    CPushMatrix matrix;
    glTranslatef(0, 0.12f * beat, -1);
    glColor4f(1, 1, 1, 1);
    DrawImageQuad(overlay.texture, 1.25f);
}

}  // namespace Effekter
