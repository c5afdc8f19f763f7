#pragma once
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A fast flight through the cloud layers that fades into a landscape during
// its last fifteen seconds.
class Tunnel : public Effekt {
public:
    Tunnel(int start, int end);
    void Draw(int timeMs, float beat) override;

private:
    CTextureFreeImage clouds;
    CTextureFreeImage landscape;
    CTextureFreeImage landscapeGlow;
};

// A slow, wider flight through the cloud layers of the named picture.
class SkyUp : public Effekt {
public:
    // A null path leaves the clouds without an image.
    SkyUp(int start, int end, const char* cloudPath);
    void Draw(int timeMs, float beat) override;

private:
    CTextureFreeImage clouds;
};

}  // namespace Effekter
