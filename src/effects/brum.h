#pragma once
#include <cstdint>

#include "effects/brum_trail.h"
#include "render/float3.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A figure flying a slow loop over a turning background, shedding a trail of
// star sprites and turning to face along its path.
class Brum : public Effekt {
public:
    Brum(int start, int end);
    void Draw(int timeMs, float beat) override;

    // The figure's position at this music time.
    static Float3 FigurePosition(uint32_t time);
    // The last spawn time, shared by every instance and never reset.
    static uint32_t LastSpawn();

    const BrumTrail& Trail() const { return trail; }

    Float3 BGPos{0, 0, -2};
    Float3 BGScale{1, 1, 0};

private:
    CTextureFreeImage figure;
    CTextureFreeImage background;
    CTextureFreeImage star;
    BrumTrail trail;
};

}  // namespace Effekter
