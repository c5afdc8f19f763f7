#pragma once
#include <cstdint>

#include "model/mesh_display_list.h"
#include "platform/draw_pacer.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// One scissor strip of the rubber model: strips start at truncated positions
// and are ceil(width / count) wide, so together they cover the whole width.
struct ScissorStrip {
    int x;
    int width;
};
ScissorStrip RubberStrip(int index, int screenWidth);

// An environment-mapped model cut into 125 vertical strips, each twisted one
// step more than the one before, kicked back on strong beats, in front of a
// two-layer additive background that slides in and out at the ends.
class Rubber3d : public Effekt {
public:
    static constexpr int kStrips = 125;

    Rubber3d(int start, int end);
    void Draw(int timeMs, float beat) override;

    // 1 at the first and last instant of the effect, 0 in between.
    float SlideFactor(uint32_t time) const;

private:
    MeshDisplayList model;
    CTextureFreeImage environment;
    CTextureFreeImage background;
    CTextureFreeImage backgroundGlow;
    // 125 copies of the model, each binned whole by a software renderer
    // before it draws any: a fence every 25, two groups in flight.
    DrawPacer strips{2, DrawPacer::kSoftwareRenderer};
    int32_t twistSeed = 72;
    uint32_t lastKick = 0;
};

}  // namespace Effekter
