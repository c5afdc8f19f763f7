#include "effects/prikker.h"

#include <cmath>

#include "effects/screen_quad.h"
#include "platform/shared_random.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

Prikker::Prikker(int start, int end) : Effekt(start, end)
{
    textures[0].Load("data/vondo/prikker/prik1.png");
    textures[1].Load("data/vondo/prikker/prik2.png");
    textures[2].Load("data/vondo/prikker/prik3.png");
    textures[3].Load("data/vondo/prikker/prik4.png");

    // A strip 250 units long in x, one unit deep in y and z.
    SeedRandom(100);
    for (int i = 0; i < kDots; ++i) {
        Dot& dot = dots[static_cast<size_t>(i)];
        const float a = RandomUnit();
        const float b = RandomUnit();
        const float c = RandomUnit();
        dot.position = Float3(c + 0.25f * static_cast<float>(i), b, a);
        dot.brightness = 2 * RandomUnit();
        dot.texture = 2;  // every dot shows the third picture
        dot.speed = static_cast<float>(0.001 * RandomUnit());
    }
}

void Prikker::Draw(int timeMs, float)
{
    // Wraps like the 32-bit difference it is, instead of overflowing.
    const float rel = static_cast<float>(static_cast<int32_t>(Elapsed(timeMs, start)));
    CTransparency additive(GL_ONE, GL_ONE);
    CPushMatrix field;
    glTranslatef(0, 0, -10);
    for (const Dot& dot : dots) {
        CPushMatrix matrix;
        const float phase = dot.speed * rel;
        Grey(dot.brightness * std::sin(phase));
        glTranslatef(dot.position.x, dot.position.y, dot.position.z);
        glTranslatef(-phase, 0, 0);
        RotateXYZ(Float3(0, 0, 10 * phase));
        DrawImageQuad(textures[dot.texture].texture, 1);
    }
}

}  // namespace Effekter
