#pragma once
#include <cstdint>

#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A 21 x 21 grid of spinning tiles; on a falling beat the camera picks a new
// tile to walk to, which is drawn larger with a beat-lit highlight.
class ColorBox : public Effekt {
public:
    ColorBox(int start, int end);
    void Draw(int timeMs, float beat) override;

    int TargetColumn() const { return targetColumn; }
    int TargetRow() const { return targetRow; }
    float CameraX() const { return cameraX; }
    float CameraY() const { return cameraY; }

private:
    void Retarget(uint32_t time, float beat);
    void WalkCamera();
    float Fade(uint32_t time) const;

    CTextureFreeImage tile;
    CTextureFreeImage highlight;
    CTextureFreeImage star;
    float previousBeat = 10.0f;
    int targetColumn = 0;
    int targetRow = 0;
    uint32_t lastRetarget = 0;
    float cameraX = 0.0f;
    float cameraY = 0.0f;
};

}  // namespace Effekter
