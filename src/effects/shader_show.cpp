#include "effects/shader_show.h"

#include <cstdint>

#include "effects/screen_quad.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

ShaderShow::ShaderShow(int start, int end, const char* shaderPath, const char* imagePath) : Effekt(start, end)
{
    if (shaderPath && *shaderPath)
        program.Load(true, shaderPath);
    image.Load(imagePath ? imagePath : "");
    // Without a program there is nothing to look up (and asking GL about
    // program 0 would only raise a GL error).
    if (program.program) {
        timeLocation = GetUniform(program.program, "time");
        beatLocation = GetUniform(program.program, "beat");
    }
}

void ShaderShow::Draw(int timeMs, float beat)
{
    glUseProgram(program.program);
    if (program.program) {
        glUniform1f(timeLocation, TimeFloat(timeMs) / 1000);
        glUniform1f(beatLocation, beat);
    }
    CProjectionScope screen;
    CPushMatrix matrix;
    glTranslatef(0, 0, -1);
    DrawImageQuad(image.texture, 1);
    glUseProgram(0);
}

}  // namespace Effekter
