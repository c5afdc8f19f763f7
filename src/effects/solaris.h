#pragma once
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A receding, curving tunnel of glowing layers that lengthens as the music
// plays, under an overlay that darkens the picture where it is light.
class Solaris : public Effekt {
public:
    Solaris(int start, int end);
    void Draw(int timeMs, float beat) override;

    // Layers nearer than this are drawn; the tunnel ends there.
    static constexpr float kFarthestLayer = -10.0f;

private:
    CTextureFreeImage layer;
    CTextureFreeImage glow;
    CTextureFreeImage overlay;
};

}  // namespace Effekter
