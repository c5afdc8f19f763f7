#include "effects/polar_coords.h"

#include <cmath>
#include <cstdint>

#include "effects/screen_quad.h"
#include "platform/shared_random.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

PolarCoords::PolarCoords(int start, int end) : Effekt(start, end), target(kBufferSize, kBufferSize, true)
{
    housing.Load("data/housing.jpg");
    program.Load(true, "data/polar.fs");
    timeLocation = GetUniform(program.program, "time");
    resolutionLocation = GetUniform(program.program, "resolution");

    // The colour texture is not left bound: the next effect to load finds texture 0.
    glBindTexture(GL_TEXTURE_2D, 0);
}

void PolarCoords::DrawBoxes(int timeMs)
{
    // The viewport keeps the window size: the scene fills the lower-left
    // window-sized part of the buffer.
    CEnabler depth(GL_DEPTH_TEST);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target.framebuffer);
    CTextureBinder bind(housing.texture);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    {
        CPushMatrix matrix;
        const float t = TimeFloat(timeMs);
        gluLookAt(10 * std::sin(t / 100), 10 * std::sin(t / 300), 100, 0, 0, 0, 0, 1, 0);
        // The same heights every frame.
        SeedRandom(123);
        const float ax = t * 0.05f, ay = t * 0.01f, az = t * 0.03f;
        for (int i = -10; i <= 10; ++i) {
            for (int j = -10; j <= 10; ++j) {
                CPushMatrix box;
                glTranslatef(2.0f * i, 2.0f * j, 0);
                glRotatef(ax, 1, 0, 0);
                glRotatef(ay, 0, 1, 0);
                glRotatef(az, 0, 0, 1);
                const float h = RandomUnit() * 3;
                DrawTexturedBox(1, 1, 1, h, 1);
            }
        }
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    }
}

void PolarCoords::Draw(int timeMs, float)
{
    DrawBoxes(timeMs);

    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    CProjectionScope screen;
    CTextureBinder bind(target.texture);
    glUseProgram(program.program);
    DrawFullScreenQuad();
    glUseProgram(0);
}

void DrawTexturedBox(float s, float t, float hx, float hy, float hz)
{
    glBegin(GL_QUADS);
    // front
    glTexCoord2f(0, 0); glVertex3f(-hx, -hy, hz);
    glTexCoord2f(s, 0); glVertex3f(hx, -hy, hz);
    glTexCoord2f(s, t); glVertex3f(hx, hy, hz);
    glTexCoord2f(0, t); glVertex3f(-hx, hy, hz);
    // back
    glTexCoord2f(s, 0); glVertex3f(-hx, -hy, -hz);
    glTexCoord2f(s, t); glVertex3f(-hx, hy, -hz);
    glTexCoord2f(0, t); glVertex3f(hx, hy, -hz);
    glTexCoord2f(0, 0); glVertex3f(hx, -hy, -hz);
    // top
    glTexCoord2f(0, t); glVertex3f(-hx, hy, -hz);
    glTexCoord2f(0, 0); glVertex3f(-hx, hy, hz);
    glTexCoord2f(s, 0); glVertex3f(hx, hy, hz);
    glTexCoord2f(s, t); glVertex3f(hx, hy, -hz);
    // bottom
    glTexCoord2f(s, t); glVertex3f(-hx, -hy, -hz);
    glTexCoord2f(0, t); glVertex3f(hx, -hy, -hz);
    glTexCoord2f(0, 0); glVertex3f(hx, -hy, hz);
    glTexCoord2f(s, 0); glVertex3f(-hx, -hy, hz);
    // right
    glTexCoord2f(s, 0); glVertex3f(hx, -hy, -hz);
    glTexCoord2f(s, t); glVertex3f(hx, hy, -hz);
    glTexCoord2f(0, t); glVertex3f(hx, hy, hz);
    glTexCoord2f(0, 0); glVertex3f(hx, -hy, hz);
    // left
    glTexCoord2f(0, 0); glVertex3f(-hx, -hy, -hz);
    glTexCoord2f(s, 0); glVertex3f(-hx, -hy, hz);
    glTexCoord2f(s, t); glVertex3f(-hx, hy, hz);
    glTexCoord2f(0, t); glVertex3f(-hx, hy, -hz);
    glEnd();
}

}  // namespace Effekter
