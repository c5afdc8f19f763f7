#pragma once
#include "render/shader_program.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// One picture over the whole screen through a program named in the script;
// without a program the picture shows as it is, in the current colour.
class ShaderShow : public Effekt {
public:
    ShaderShow(int start, int end, const char* shaderPath, const char* imagePath);
    void Draw(int timeMs, float beat) override;

    GLuint Program() const { return program.program; }

private:
    FragmentProgram program;
    CTextureFreeImage image;
    GLint timeLocation = -1, beatLocation = -1;
};

}  // namespace Effekter
