#pragma once
#include <array>
#include <cstdint>

#include "render/float3.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A field of a thousand glowing dots that drift sideways, spin and pulse, each
// at its own speed. The layout is the same on every run and in every instance.
class Prikker : public Effekt {
public:
    struct Dot {
        uint8_t texture;
        float brightness;
        Float3 position;
        float speed;  // units per millisecond
    };
    static constexpr int kDots = 1000;

    Prikker(int start, int end);
    void Draw(int timeMs, float beat) override;

    const std::array<Dot, kDots>& Dots() const { return dots; }

private:
    std::array<Dot, kDots> dots;
    CTextureFreeImage textures[4];
};

}  // namespace Effekter
