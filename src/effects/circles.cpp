#include "effects/circles.h"

#include <cstdint>

#include "effects/screen_quad.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

namespace {
const char* const kCirclesProgram = "data/circles/circles.txt";
}  // namespace

Circles::Circles(int start, int end) : Effekt(start, end)
{
    program.Load(true, kCirclesProgram);
    ring.Load("data/circles/__ring.jpg");
    timeLocation = GetUniform(program.program, "time");
}

void Circles::Draw(int timeMs, float)
{
    glUseProgram(program.program);
    glUniform1f(timeLocation, TimeFloat(timeMs));
    CProjectionScope screen;
    CTextureBinder bind(ring.texture);
    DrawFullScreenQuad();
    glUseProgram(0);
}

Faces::Faces(int start, int end) : Effekt(start, end)
{
    program.Load(true, kCirclesProgram);
    circles.Load("data/circles/circles.jpg");
    text.Load("data/circles/text.jpg");
    glUseProgram(program.program);
    timeLocation = GetUniform(program.program, "time");
    beatLocation = GetUniform(program.program, "beat");
    glUseProgram(0);
}

void Faces::Draw(int timeMs, float beat)
{
    glUseProgram(program.program);
    glUniform1f(timeLocation, TimeFloat(timeMs));
    glUniform1f(beatLocation, beat);
    Grey(beat);
    {
        CProjectionScope screen;
        CTextureBinder bind(circles.texture);
        DrawFullScreenQuad();
        glUseProgram(0);
    }

    CTransparency additive(GL_ONE, GL_ONE);
    const float glow = 0.1f * beat;
    glColor4f(glow, glow, glow, beat);
    CProjectionScope screen;
    CTextureBinder bind(text.texture);
    DrawFullScreenQuad();
}

}  // namespace Effekter
