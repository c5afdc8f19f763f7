#pragma once
#include <cstdint>
#include <memory>

#include "media/video_support.h"
#include "render/render_target.h"
#include "render/shader_program.h"
#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// Plays data/vondo/video/Video.avi in step with the music, one frame every
// 40 ms of effect time, over a zooming feedback copy of the previous picture,
// darkened through a frame picture and shown through a distortion program.
class Video : public Effekt {
public:
    Video(int start, int end);
    void Draw(int timeMs, float beat) override;

    GLuint WorkingTexture() const { return a->texture; }
    GLuint VideoTexture() const { return videoTexture.texture; }
    GLuint VideoProgram() const { return videoProgram.program; }
    GLuint DistortProgram() const { return distort.program; }
    const VideoReader& File() const { return *file; }

private:
    void GrabFrame(int index);
    void DrawVideoLayer(float t, float beat);
    void DrawFrameLayer();

    CTexture videoTexture;
    CTextureFreeImage frameTexture;
    // The targets' GL objects live to the end of the process.
    std::unique_ptr<RenderTarget> a;  // the working picture
    std::unique_ptr<RenderTarget> b;  // the previous picture
    // Destroyed in reverse: the distortion program goes first.
    FragmentProgram videoProgram;
    GLint videoTime = -1;
    GLint videoBeat = -1;
    GLint videoIdx = -1;
    FragmentProgram distort;
    GLint distortTime = -1;
    GLint distortBeat = -1;
    std::unique_ptr<VideoReader> file;
    uint32_t lastUpdate = 0;
    int filterIndex = 0;
};

}  // namespace Effekter
