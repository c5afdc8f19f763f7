#pragma once
#include <cstdint>

#include "render/float3.h"
#include "render/gl.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// The lit arc ring, posed by fixed fields; the same picture at every time.
class Quell3D : public Effekt {
public:
    Quell3D(int start, int end);
    void Draw(int timeMs, float beat) override;

    // -1 until the first Draw builds the ring's display list.
    int32_t ModelList() const { return modelList; }

private:
    int32_t modelList = -1;
    Float3 polePosition{0, 0, 0};
    Float3 poleRotation{0, 0, 0};
    Float3 cameraPosition{0, 0, -8};
};

// Three textured poles side by side, posed by fixed fields; the same picture
// at every time.
class FogRotator : public Effekt {
public:
    FogRotator(int start, int end);
    ~FogRotator() override;
    void Draw(int timeMs, float beat) override;

private:
    GLUquadric* pole;
    CTextureFreeImage poleTexture;
    Float3 polePositions[3] = {{6, 1, 0}, {6, 0, 0}, {6, -1, 0}};
    Float3 poleRotations[3] = {{0, -90, 0}, {0, -90, 0}, {0, -90, 0}};
    Float3 cameraPosition{0, 0, -10};
};

}  // namespace Effekter
