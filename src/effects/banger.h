#pragma once
#include <cstdint>

#include "render/shader_program.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A picture that slides in through a program for its first second, then
// stays with a second picture flashing over it on the beat.
class Banger : public Effekt {
public:
    Banger(int start, int end);
    void Draw(int timeMs, float beat) override;

    GLuint Program() const { return slider.program; }

    static constexpr uint32_t kIntroMs = 1000;

private:
    FragmentProgram slider;
    CTextureFreeImage bang;
    CTextureFreeImage bang1;
    GLint timeLocation;
};

}  // namespace Effekter
