#include "host/capture/render_frames.h"

#include <filesystem>
#include <optional>

#include "host/capture/frame_capture.h"
#include "host/frame.h"
#include "media/music_clock.h"
#include "platform/window.h"
#include "render/screen.h"

void RenderFrames(const Show& show, Window& window, MusicClock& clock, const PlayerOptions& options,
                  const std::vector<int>& listed, FrameProfile* profile)
{
    const bool writes = options.outDir != "/dev/null";
    if (writes) {
        // A folder that cannot be made shows up as the first frame that cannot be written.
        std::error_code ignored;
        std::filesystem::create_directories(options.outDir, ignored);
    }
    clock.Open(show.musicFile);
    glClearColor(0, 0, 0, 0);

    // A run that writes nothing holds no frame.
    std::optional<FrameCapture> capture;
    if (writes)
        capture.emplace(ScreenWidth, ScreenHeight, window.ReadBuffer());
    auto frame = [&](int time) {
        const float beat = options.beat ? *options.beat : BeatAt(clock, time, show.startOffset);
        DrawFrame(show.effects, time, beat, profile);
        if (capture)
            capture->Write(FramePath(options.outDir, time));
        window.FramePump();
    };
    if (!options.timesFile.empty()) {
        for (int time : listed)
            frame(time);
        return;
    }
    for (int64_t t = options.renderFrom; t < options.renderTo; t += options.renderStep)
        frame(static_cast<int>(t));
}
