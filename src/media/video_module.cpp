// The video module's entry point, which the player looks up by name
// (kVideoModuleEntry); everything else in the module stays hidden.
#include "media/video_encoder.h"
#include "media/video_file.h"

namespace {

std::unique_ptr<VideoReader> OpenFile(const char* path)
{
    return std::make_unique<VideoFile>(path);
}

std::unique_ptr<VideoWriter> CreateWriter(const VideoEncoderSettings& settings)
{
    return std::make_unique<VideoEncoder>(settings);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const VideoModule* DemoVideoModule()
{
    static const VideoModule module{DEMO_VERSION, OpenFile, CreateWriter, VideoCodecProblem, HoldsAPicture};
    return &module;
}
