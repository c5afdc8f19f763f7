#pragma once
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

// Under SetScreenOrtho: a quad that fills the window at z = -2 with the bound
// texture shown once, its top row at the top of the window.
inline void DrawFullScreenQuad()
{
    CPushMatrix matrix;
    glTranslatef(0, 0, -2);
    TexturedQuad(1, 1).Draw(1, 1);
}

// A quad of half-size h around the origin with the given texture shown once;
// texture 0 is bound again afterwards.
inline void DrawImageQuad(GLuint texture, float h)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    TexturedQuad(h, h).Draw(1, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
}

// Colour c in all four channels.
inline void Grey(float c)
{
    glColor4f(c, c, c, c);
}

}  // namespace Effekter
