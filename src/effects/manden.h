#pragma once
#include <cstdint>

#include "render/render_target.h"
#include "render/shader_program.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// One corner of the pole's first and second tube: ring index i of n around,
// height index j, s seconds into the effect; issues a texture coordinate and
// a vertex. The tubes circle the pole's axis on opposite sides.
void PoleVertexA(int i, int j, int n, float s);
void PoleVertexB(int i, int j, int n, float s);

// A background with sliding greetings composed off screen and shown through
// a program, under a pole of two intertwined tubes that slides in from the side.
class Manden : public Effekt {
public:
    Manden(int start, int end);
    void Draw(int timeMs, float beat) override;

    GLuint Program() const { return program.program; }
    GLuint Composite() const { return target.texture; }
    // The pole's sideways position s seconds into the effect.
    static float PoleX(float s);

private:
    CTextureFreeImage background;
    CTextureFreeImage greetings;
    CTextureFreeImage pole;
    FragmentProgram program;
    RenderTarget target;
};

}  // namespace Effekter
