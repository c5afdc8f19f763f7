#include "effects/zoomers.h"

#include <cmath>
#include <cstdint>

#include "effects/screen_quad.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

namespace {

void LoadIfNamed(CTextureFreeImage& texture, const char* path)
{
    if (path)
        texture.Load(path);
}

// Background and beat-lit overlay, both in screen space at z = -1.
void DrawBackdrop(GLuint background, float backgroundHalf, GLuint overlay, float overlayHalf, float beat)
{
    glColor4f(1, 1, 1, 1);
    DrawImageQuad(background, backgroundHalf);
    CTransparency additive(GL_ONE, GL_ONE);
    Grey(beat + 0.1f);
    DrawImageQuad(overlay, overlayHalf);
}

float Fourth(float v)
{
    const float square = v * v;
    return square * square;
}

}  // namespace

Zoomba::Zoomba(int start, int end, const char* layerPath, const char* backgroundPath, const char* overlayPath)
    : Effekt(start, end)
{
    LoadIfNamed(layer, layerPath);
    LoadIfNamed(background, backgroundPath);
    LoadIfNamed(overlay, overlayPath);
}

void Zoomba::Draw(int timeMs, float beat)
{
    const float t = TimeFloat(timeMs);
    const float f = 0.0025f * t;
    glClearColor(0, 0, 0, 0);
    {
        CProjectionScope screen;
        CPushMatrix matrix;
        glTranslatef(0.5f * std::cos(0.0001f * t), 0.0125f * beat - 0.5f * std::sin(0.00015f * t), -1);
        DrawBackdrop(background.texture, 1.75f, overlay.texture, 2.0f, beat);
    }

    CPushMatrix matrix;
    CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    // Far to near; layers nearer than z = -1 are at full intensity.
    for (int i = -500; i <= -1; ++i) {
        const float z = i / 150.0f;
        const float k = Fourth(0.85f * z);
        CPushMatrix layerMatrix;
        glTranslatef(k * std::cos(0.0003f * t), k * std::sin(0.0005f * t) + 0.0125f * beat, z);
        glRotatef(360 * std::sin(z + 0.1f * f) * std::cos(0.5f * z + 0.05f * f), 0, 0, 1);
        Grey(1 / (z * z));
        DrawImageQuad(layer.texture, 0.25f);
        if (i % 25 == 0)
            layers.Step();
    }
}

Zoombb::Zoombb(int start, int end) : Effekt(start, end)
{
    unused.Load("data/zoomer/zoomer2-old.jpg");
    layer.Load("data/zoomer/zoomer2-old.jpg");
    background.Load("data/zoomer/bg.jpg");
    overlay.Load("data/zoomer/bg1.jpg");
}

void Zoombb::Draw(int timeMs, float beat)
{
    const float t = TimeFloat(timeMs);
    const float f = 0.0025f * t;
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    {
        CProjectionScope screen;
        CPushMatrix matrix;
        glTranslatef(0.5f * std::cos(0.0001f * t), 0.0125f * beat - 0.5f * std::sin(0.00015f * t), -1);
        glRotatef(-90 * std::sin(f) * std::cos(0.5f * f), 0, 0, 1);
        DrawBackdrop(background.texture, 1.25f, overlay.texture, 1.25f, beat);
    }

    CPushMatrix matrix;
    CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    for (int i = -100; i <= -1; ++i) {
        const float z = i / 50.0f;
        const float k = Fourth(0.65f * z);
        CPushMatrix layerMatrix;
        glTranslatef(k * std::cos(0.0001f * t), k * std::sin(0.00015f * t) + 0.0125f * beat, z);
        glRotatef(90 * std::sin(z + f) * std::cos(z + 0.5f * f), 0, 0, 1);
        Grey(1 / (z * z));
        DrawImageQuad(layer.texture, 0.5f);
        if (i % 25 == 0)
            layers.Step();
    }
}

}  // namespace Effekter
