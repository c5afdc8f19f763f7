#include "effects/image_layers.h"

#include "effects/screen_quad.h"
#include "platform/shared_random.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

namespace {

const char* const kModeNames[] = {"UP",     "DOWN",       "LEFT",          "RIGHT",        "UPCENTER", "BEATUP",
                                  "BEATBACK", "RANDOM", "BEATCENTER", "STATICFADEOUT", "STATICFADEIN", "STATIC"};

}  // namespace

AlphaBlendImage::AlphaBlendImage(int start, int end, const char* imagePath, std::string modeText)
    : Effekt(start, end)
{
    if (imagePath)
        image.Load(imagePath);
    for (int i = 0; i <= STATIC; ++i) {
        if (modeText == kModeNames[i]) {
            mode = static_cast<Mode>(i);
            break;
        }
    }
}

void AlphaBlendImage::Draw(int t, float beat)
{
    CProjectionScope screen;
    CPushMatrix matrix;

    float x = 0, y = 0, size = 1, angle = 0, fade = 1;
    const float p = Progress(t);
    const uint32_t now = static_cast<uint32_t>(t);

    switch (mode) {
    case UP: y = 2 - 4 * p; break;
    case DOWN: y = 4 * p - 2; break;
    case LEFT: x = 2 - 4 * p; break;
    case RIGHT: x = 4 * p - 2; break;
    case UPCENTER: y = 2 - 2 * p * p; break;
    case BEATUP:
        y = 2 - 4 * p;
        size = 1 + beat * beat * 0.125f;
        break;
    case BEATCENTER: size = 1 + beat * beat * 0.125f; break;
    case BEATBACK: {
        if (beat > 0.25f) {
            lastBeatTime = now;
            angle = RandomUnit() * 5 - 2.5f;
        }
        const float rise = 1 - 2 * p;
        y = 0.5f + rise * rise;
        const float d = static_cast<float>(now - lastBeatTime);
        size = 1 - d * 0.25f / 100;
        break;
    }
    case RANDOM: {
        if (beat > 0.25f && now - lastBeatTime > 200)
            lastBeatTime = now;
        SeedRandom(lastBeatTime);
        x = RandomUnit() - 0.5f;
        y = RandomUnit() - 0.5f;
        angle = RandomUnit() * 90 - 45;
        const float d = static_cast<float>(now - lastBeatTime);
        size = 1 - d * 0.125f / 200;
        break;
    }
    case STATICFADEOUT: fade = 1 - p; break;
    case STATICFADEIN: fade = p; break;
    case STATIC: break;
    }

    glTranslatef(x, y, -2);
    RotateXYZ(Float3(angle, angle, angle));
    CTextureBinder bind(image.texture);
    CTransparency blend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(fade, fade, fade, fade);
    TexturedQuad(size, size).Draw(1, 1);
}

void FlashWhite::Draw(int t, float)
{
    const float v = 1 - Progress(t);
    CProjectionScope screen;
    CTransparency additive(GL_ONE, GL_ONE);
    glColor4f(v, v, v, v);
    // Texture 0 is bound and has no image, so the quad comes out plain white.
    DrawFullScreenQuad();
}

Mask::Mask(int start, int end, const char* imagePath) : Effekt(start, end)
{
    if (imagePath)
        image.Load(imagePath);
}

void Mask::Draw(int, float)
{
    CProjectionScope screen;
    CTextureBinder bind(image.texture);
    CTransparency multiply(GL_ZERO, GL_SRC_COLOR);
    glColor4f(1, 1, 1, 1);
    DrawFullScreenQuad();
}

void EndDemo::Draw(int, float)
{
    throw ShowEnded();
}

}  // namespace Effekter
