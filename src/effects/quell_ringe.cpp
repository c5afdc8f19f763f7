#include "effects/quell_ringe.h"

#include "effects/screen_quad.h"
#include "model/ring_model.h"
#include "platform/shared_random.h"
#include "render/guards.h"
#include "render/screen.h"

namespace Effekter {

namespace {

// Shared by all instances for the run and never reset.
struct RingTrigger {
    bool called = false;
    uint32_t lastTrigger = 0;
    int32_t counter = 0;
    int32_t speedStep = 0;  // A, 0..25
    float sideOffset = 0;   // B, -1.2..0.07
    // 15 - A as last seen non-zero: when a trigger draws A = 15 the rings keep
    // their previous speed instead of turning by an infinite angle.
    int32_t divisor = 15;
};

RingTrigger g_trigger;

void UpdateTrigger(uint32_t time, float beat)
{
    if (!g_trigger.called) {
        g_trigger.called = true;
        g_trigger.lastTrigger = time;
    }
    if (time - g_trigger.lastTrigger > 300 && beat > 0.7f) {
        ++g_trigger.counter;
        g_trigger.lastTrigger = time;
        g_trigger.speedStep = static_cast<int32_t>((NextRandom() & 255) * 0.1);
        g_trigger.sideOffset = static_cast<float>((NextRandom() & 127) * 0.01 - 1.2);
        if (15 - g_trigger.speedStep != 0)
            g_trigger.divisor = 15 - g_trigger.speedStep;
    }
}

}  // namespace

QuellRinge::QuellRinge(int start, int end) : Effekt(start, end)
{
    caption.Load("data/brakvolde/ringe/rotate.png");
    background.Load("data/brakvolde/ringe/bg.png");
    BuildRingModel(ScreenWidth, ScreenHeight);
}

int QuellRinge::TriggerCount()
{
    return g_trigger.counter;
}

float QuellRinge::SideOffset()
{
    return g_trigger.sideOffset;
}

float QuellRinge::SpinAngle(uint32_t time)
{
    // Every trigger reverses the direction.
    const float angle = static_cast<float>(time) / static_cast<float>(g_trigger.divisor);
    return g_trigger.counter % 2 != 0 ? angle : -angle;
}

void QuellRinge::Draw(int timeMs, float beat)
{
    const uint32_t time = static_cast<uint32_t>(timeMs);

    Grey(1 - 0.25f * beat);
    SetScreenOrtho();
    {
        CTextureBinder bind(background.texture);
        DrawFullScreenQuad();
    }
    ResetPerspective();

    glDisable(GL_TEXTURE_2D);
    SetupDefaultLight();
    UpdateTrigger(time, beat);
    DrawRingModel(SpinAngle(time), g_trigger.sideOffset);
    DisableDefaultLight();
    glEnable(GL_TEXTURE_2D);

    textPosition.x = g_trigger.sideOffset;
    CTransparency blend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Grey(1);
    CEnabler depth(GL_DEPTH_TEST);
    CPushMatrix matrix;
    glTranslatef(textPosition.x, textPosition.y, textPosition.z);
    RotateXYZ(textRotation);
    CTextureBinder bind(caption.texture);
    TexturedQuad(0.25f, 0.25f).Draw(1, -1);
}

}  // namespace Effekter
