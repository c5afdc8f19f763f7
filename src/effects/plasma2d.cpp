#include "effects/plasma2d.h"

#include <cstdint>

#include "platform/shared_random.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

Plasma2D::Plasma2D(int start, int end, int seed) : Effekt(start, end), seed(seed)
{
    water.Load("data/plasma/__water.jpg");
    program.Load(true, "data/plasma/effekt2.fs");
    timeLocation = GetUniform(program.program, "time");
    dx0Location = GetUniform(program.program, "dx0");
    dy0Location = GetUniform(program.program, "dy0");
    dx1Location = GetUniform(program.program, "dx1");
    dy1Location = GetUniform(program.program, "dy1");
}

void Plasma2D::Draw(int timeMs, float beat)
{
    // Reseeding every frame gives the same sixteen numbers in every frame.
    SeedRandom(static_cast<uint32_t>(seed));
    CTextureBinder bind(water.texture);
    CPushMatrix matrix;
    glTranslatef(0, 0, beat * 0.125f - 2);
    const float t = TimeFloat(timeMs);
    RotateXYZ(Float3(0, 0, t * 0.02f));

    for (int i = 0; i < 4; ++i) {
        dx0[i] = RandomUnit() * 10;
        dy0[i] = RandomUnit() * 10;
        dx1[i] = RandomUnit();
        dy1[i] = RandomUnit();
    }

    glUseProgram(program.program);
    glUniform1f(timeLocation, t / 1000);
    glUniform4fv(dx0Location, 1, dx0);
    glUniform4fv(dy0Location, 1, dy0);
    glUniform4fv(dx1Location, 1, dx1);
    glUniform4fv(dy1Location, 1, dy1);
    TexturedQuad(1.5f, 1.5f).Draw(1, 1);
    glUseProgram(0);
}

}  // namespace Effekter
