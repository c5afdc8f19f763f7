#pragma once
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A slowly scrolling backdrop that pulses with the beat, darkened by a
// caption and lit by ten additive copies of a turning twist image.
class Stroboskop : public Effekt {
public:
    Stroboskop(int start, int end);
    void Draw(int timeMs, float beat) override;

private:
    CTextureFreeImage twist;
    CTextureFreeImage backdrop;
    CTextureFreeImage caption;
};

}  // namespace Effekter
