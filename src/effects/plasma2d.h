#pragma once
#include "render/shader_program.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A rotating plasma over a water picture; the seed fixes the plasma's wave
// directions, the same in every frame.
class Plasma2D : public Effekt {
public:
    Plasma2D(int start, int end, int seed);
    void Draw(int timeMs, float beat) override;

    GLuint Program() const { return program.program; }

private:
    CTextureFreeImage water;
    FragmentProgram program;
    GLint timeLocation, dx0Location, dy0Location, dx1Location, dy1Location;
    int seed;
    float dx0[4] = {}, dy0[4] = {}, dx1[4] = {}, dy1[4] = {};
};

}  // namespace Effekter
