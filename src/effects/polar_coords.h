#pragma once
#include "render/render_target.h"
#include "render/shader_program.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A field of tumbling boxes drawn into a framebuffer of its own, then shown
// through the polar program over the whole screen.
class PolarCoords : public Effekt {
public:
    PolarCoords(int start, int end);
    void Draw(int timeMs, float beat) override;

    GLuint Program() const { return program.program; }
    GLuint OffscreenTexture() const { return target.texture; }

    static constexpr int kBufferSize = 1024;

private:
    void DrawBoxes(int timeMs);

    CTextureFreeImage housing;
    FragmentProgram program;
    GLint timeLocation, resolutionLocation;
    // The boxes are drawn into this, with depth, then shown through the program.
    RenderTarget target;
};

// One batch of six textured faces, no normals, of a box with half-sizes
// hx, hy, hz around the origin; s and t are the texture repeats per face.
void DrawTexturedBox(float s, float t, float hx, float hy, float hz);

}  // namespace Effekter
