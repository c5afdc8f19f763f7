#include "effects/banger.h"

#include "effects/screen_quad.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

Banger::Banger(int start, int end) : Effekt(start, end)
{
    slider.Load(true, "data/brakvolde/banger/slider.txt");
    bang.Load("data/brakvolde/banger/bang.jpg");
    bang1.Load("data/brakvolde/banger/bang1.jpg");
    timeLocation = GetUniform(slider.program, "time");
}

void Banger::Draw(int timeMs, float beat)
{
    const uint32_t sinceStart = Elapsed(timeMs, start);
    if (sinceStart < kIntroMs) {
        glUseProgram(slider.program);
        glUniform1f(timeLocation, static_cast<float>(sinceStart));
        CProjectionScope screen;
        CPushMatrix matrix;
        glTranslatef(0, beat * 0.1f, -2);
        glColor4f(1, 1, 1, 1);
        DrawImageQuad(bang.texture, 1.1f);
        glUseProgram(0);
        return;
    }

    CTransparency additive(GL_ONE, GL_ONE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    CProjectionScope screen;
    CPushMatrix matrix;
    glTranslatef(0, beat * 0.1f, -2);
    glColor4f(1, 1, 1, 1);
    DrawImageQuad(bang.texture, 1.1f);
    Grey(beat);
    DrawImageQuad(bang1.texture, 1.1f);
}

}  // namespace Effekter
