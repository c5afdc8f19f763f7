#pragma once
#include <cstdint>
#include <memory>

#include "model/mesh_display_list.h"
#include "render/float3.h"
#include "render/render_target.h"
#include "render/shader_program.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// A video-feedback zoomer: about fifty times a second the previous picture is
// copied back slightly enlarged and turned, one of four small scenes is drawn
// over it, and the result is shown through a colour-split program under a
// border. Every five seconds another scene is picked at random.
class ChaosZoomer : public Effekt {
public:
    ChaosZoomer(int start, int end);
    void Draw(int timeMs, float beat) override;

    // The scenes, each drawing into whatever framebuffer is bound.
    void FlowerTunnel(uint32_t timeMs, float beat);
    void PortraitSpin(uint32_t timeMs, float beat);
    void FogObject(uint32_t timeMs, float beat);
    void TwistLayers(uint32_t timeMs, float beat);

    // The scene every ChaosZoomer draws, shared by all of them for the whole run.
    static int& SceneNumber();

    GLuint WorkingTexture() const { return a->texture; }
    GLuint SplitProgram() const { return split.program; }

private:
    // The fade-in after a switch, 0..1 over half a second.
    float Ramp(uint32_t timeMs) const;
    void DrawScene(uint32_t timeMs, float beat);

    // The targets' GL objects live to the end of the process.
    std::unique_ptr<RenderTarget> a;  // the working picture
    std::unique_ptr<RenderTarget> b;  // the previous picture
    CTextureFreeImage flower;
    CTextureFreeImage tov;
    CTextureFreeImage mig;
    CTextureFreeImage quell;
    CTextureFreeImage bust;
    float FogNear = 300;
    float FogFar = 400;
    Float3 ObjPos{0, 0, -400};
    uint32_t lastSwitch = 0;
    uint32_t lastUpdate = 0;
    GLint timeLocation = -1;
    GLint beatLocation = -1;
    MeshDisplayList mesh;
    CTextureFreeImage env;
    CTextureFreeImage border;
    CTextureFreeImage twist;
    FragmentProgram split;
    int switches = 0;
};

}  // namespace Effekter
