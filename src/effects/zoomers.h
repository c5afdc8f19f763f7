#pragma once
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A flight through 500 rotating image layers in front of a drifting
// background with a beat-lit overlay; draws over what is on the screen.
class Zoomba : public Effekt {
public:
    // Null paths leave their textures without an image.
    Zoomba(int start, int end, const char* layerPath, const char* backgroundPath, const char* overlayPath);
    void Draw(int timeMs, float beat) override;

private:
    CTextureFreeImage layer;
    CTextureFreeImage background;
    CTextureFreeImage overlay;
};

// A shorter stack of 100 larger layers swaying with a turning background, on
// a screen cleared to white first.
class Zoombb : public Effekt {
public:
    Zoombb(int start, int end);
    void Draw(int timeMs, float beat) override;

private:
    CTextureFreeImage unused;  // loaded like the others but never drawn
    CTextureFreeImage layer;
    CTextureFreeImage background;
    CTextureFreeImage overlay;
};

}  // namespace Effekter
