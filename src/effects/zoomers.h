#pragma once
#include "platform/draw_pacer.h"
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
    // 500 layers, each binned over the whole screen by a software renderer
    // before it draws: 25 at a time, two such groups in flight (20 MiB less).
    DrawPacer layers{2, DrawPacer::kSoftwareRenderer};
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
    DrawPacer layers{2, DrawPacer::kSoftwareRenderer};  // as Zoomba's
};

}  // namespace Effekter
