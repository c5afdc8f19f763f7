#include "effects/manden.h"

#include <cmath>
#include <initializer_list>

#include "effects/screen_quad.h"
#include "timeline/effect_time.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

namespace {

const int kRings = 100;

// Shared by both tubes: the texture coordinate, the ring angle o and the
// angle l at which the tube's centre circles the axis at this height.
void PoleCorner(int i, int j, int n, float s, float f, float& y, float& o, float& l)
{
    y = static_cast<float>(j - 50);
    glTexCoord2f(static_cast<float>(i) / static_cast<float>(n) + 0.25f,
                 static_cast<float>(j) / static_cast<float>(n));
    l = std::sin(s + static_cast<float>(j) * 0.0143258f) * 6.28f + static_cast<float>(j) * 0.09242429f + f * 0.5f;
    o = static_cast<float>(i) * 6.2831855f / static_cast<float>(n);
}

}  // namespace

void PoleVertexA(int i, int j, int n, float s)
{
    float y, o, l;
    PoleCorner(i, j, n, s, std::sin(static_cast<float>(j - 50) * 0.25f + s), y, o, l);
    glVertex3f(5 * std::cos(o) + 5 * std::sin(l), y, 5 * std::sin(o) + 5 * std::cos(l));
}

void PoleVertexB(int i, int j, int n, float s)
{
    float y, o, l;
    PoleCorner(i, j, n, s, std::cos(static_cast<float>(j - 50) * 0.25f + s), y, o, l);
    glVertex3f(5 * std::cos(o) - 5 * std::sin(l), y, 5 * std::sin(o) - 5 * std::cos(l));
}

Manden::Manden(int start, int end) : Effekt(start, end)
{
    background.Load("data/brakvolde/mansphere/manden.png");
    greetings.Load("data/brakvolde/mansphere/greets.png");
    pole.Load("data/brakvolde/mansphere/pole.jpg");
    program.Load(true, "data/brakvolde/mansphere/manden.fs");
}

float Manden::PoleX(float s)
{
    return s < 0.5f ? 30 - s / 0.01f : -20;
}

void Manden::Draw(int timeMs, float beat)
{
    const uint32_t e = Elapsed(timeMs, start);
    const float s = static_cast<float>(e) / 1000;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    target.Bind();

    glColor4f(1, 1, 1, 1);
    SetScreenOrtho();
    glBindTexture(GL_TEXTURE_2D, background.texture);
    DrawFullScreenQuad();
    glBindTexture(GL_TEXTURE_2D, 0);
    ResetPerspective();

    // The greetings slide from x -2 to +2 over the window.
    glColor4f(1, 1, 1, 1);
    SetScreenOrtho();
    glPushMatrix();
    const float p = static_cast<float>(e) / static_cast<float>(Elapsed(end, start));
    glTranslatef(4 * p - 2, 0, -2);
    glBindTexture(GL_TEXTURE_2D, greetings.texture);
    {
        CTransparency blend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        const float c = 1 - 0.25f * beat;
        glColor4f(c, c, c, c);
        TexturedQuad(1.5f, 1.5f).Draw(1, 1);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
    ResetPerspective();

    // The target holds its rows bottom first: y is negated to show it upright.
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glColor4f(1, 1, 1, 1);
    glUseProgram(program.program);
    SetScreenOrtho();
    glBindTexture(GL_TEXTURE_2D, target.texture);
    glTranslatef(0, 0, -2);
    TexturedQuad(1, -1).Draw(1, 1);
    glUseProgram(0);
    glBindTexture(GL_TEXTURE_2D, 0);
    ResetPerspective();

    CEnabler depth(GL_DEPTH_TEST);
    CPushMatrix scene;
    glTranslatef(0, 0, -10);
    glBindTexture(GL_TEXTURE_2D, pole.texture);
    {
        CPushMatrix slide;
        glTranslatef(PoleX(s), 0, -50);
        for (auto vertex : {PoleVertexA, PoleVertexB}) {
            glBegin(GL_QUADS);
            for (int i = 0; i < kRings; ++i)
                for (int j = 0; j < kRings; ++j) {
                    vertex(i, j, kRings, s);
                    vertex(i + 1, j, kRings, s);
                    vertex(i + 1, j + 1, kRings, s);
                    vertex(i, j + 1, kRings, s);
                }
            glEnd();
        }
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace Effekter
