#pragma once
#include <cstdint>

#include "render/guards.h"
#include "render/render_target.h"
#include "render/screen.h"

// The passes shared by the feedback effects, which keep their picture in two
// window-sized targets that are never cleared.
namespace Effekter {

// The feedback picture is redrawn only when more than 20 ms have passed since
// the last update (an unsigned difference, so a backward seek updates at once).
inline bool UpdateDue(uint32_t timeMs, uint32_t lastUpdate)
{
    return static_cast<float>(timeMs - lastUpdate) > 20;
}

// Draws from's picture into the target, half-size half and turned by angle
// degrees about the screen centre; leaves framebuffer 0 and texture 0 bound.
inline void CopyPicture(RenderTarget& into, const RenderTarget& from, float half, float angle)
{
    into.Bind();
    CProjectionScope screen;
    CPushMatrix matrix;
    glTranslatef(0, 0, -2);
    glColor4f(1, 1, 1, 1);
    RotateXYZ(Float3(0, 0, angle));
    glBindTexture(GL_TEXTURE_2D, from.texture);
    TexturedQuad(half, half).Draw(1, 1);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

// One update: the previous picture copied back into the working one, half-
// size half and turned by angle degrees; drawLayers() drawing over it into
// the working target; the result kept as the next previous picture.
template <class DrawLayers>
void UpdatePicture(RenderTarget& working, RenderTarget& previous, float half, float angle, DrawLayers drawLayers)
{
    CopyPicture(working, previous, half, angle);
    working.Bind();
    glClear(GL_DEPTH_BUFFER_BIT);
    drawLayers();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    CopyPicture(previous, working, 1, 0);
}

// Shows the working picture on the screen through program (its beat and time
// uniforms set in that order, time in ms), then the overlay picture over it,
// blended by its colour at 1.25 times the screen size.
inline void ShowPicture(const RenderTarget& working, GLuint program, GLint beatLocation, GLint timeLocation,
                        float beat, float t, GLuint overlay)
{
    CProjectionScope screen;
    CPushMatrix matrix;
    glTranslatef(0, 0, -2);
    glColor4f(1, 1, 1, 1);
    glUseProgram(program);
    glUniform1f(beatLocation, beat);
    glUniform1f(timeLocation, t);
    glBindTexture(GL_TEXTURE_2D, working.texture);
    TexturedQuad(1, 1).Draw(1, 1);
    glUseProgram(0);
    {
        CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
        glColor4f(1, 1, 1, 1);
        glBindTexture(GL_TEXTURE_2D, overlay);
        TexturedQuad(1.25f, 1.25f).Draw(1, 1);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace Effekter
