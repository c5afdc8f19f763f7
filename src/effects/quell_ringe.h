#pragma once
#include <cstdint>

#include "render/float3.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A background picture, the lit ring model that changes speed, direction and
// place on strong beats, and a caption tilted into the picture. The beat
// trigger lives in storage shared by every instance for the whole run, so two
// entries continue each other's ring motion.
class QuellRinge : public Effekt {
public:
    QuellRinge(int start, int end);
    void Draw(int timeMs, float beat) override;

    const Float3& TextPosition() const { return textPosition; }

    // The shared trigger state, for inspection.
    static int TriggerCount();
    static float SideOffset();
    // The spin angle of the ring model at this time under the current trigger state.
    static float SpinAngle(uint32_t time);

private:
    CTextureFreeImage caption;
    CTextureFreeImage background;
    Float3 textPosition{0, 0, -0.45f};
    Float3 textRotation{0, -56, 0};
};

}  // namespace Effekter
