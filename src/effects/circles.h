#pragma once
#include "render/shader_program.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A ring picture rippled over the whole screen by the circles program.
class Circles : public Effekt {
public:
    Circles(int start, int end);
    void Draw(int timeMs, float beat) override;

    GLuint Program() const { return program.program; }

private:
    FragmentProgram program;
    CTextureFreeImage ring;
    GLint timeLocation;
};

// The circles program fed with the beat over another picture, with a text
// layer added on top as the beat rises.
class Faces : public Effekt {
public:
    Faces(int start, int end);
    void Draw(int timeMs, float beat) override;

    GLuint Program() const { return program.program; }

private:
    GLint timeLocation, beatLocation;
    FragmentProgram program;
    CTextureFreeImage circles;
    CTextureFreeImage text;
};

}  // namespace Effekter
