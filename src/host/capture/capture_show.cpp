#include "host/capture/capture_show.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>

#include "host/capture/capture_pipeline.h"
#include "host/capture/capture_progress.h"
#include "host/capture/capture_readback.h"
#include "host/exit_codes.h"
#include "host/frame.h"
#include "media/music_stream.h"
#include "platform/demo_error.h"
#include "platform/stop_signals.h"
#include "platform/window.h"
#include "platform/x11_display.h"
#include "render/screen.h"

namespace {

// The file being written: FILE.part until it is finished, then FILE.
struct CaptureFile {
    CapturePipeline* pipeline = nullptr;
    std::string part;
    std::string name;

    // Finishes the container and gives it its name. Throws on failure.
    void Finish() const
    {
        pipeline->Finish();
        if (std::rename(part.c_str(), name.c_str()) != 0)
            ThrowMessage("Unable to rename %s to %s: %s", part.c_str(), name.c_str(), std::strerror(errno));
    }
};

const CaptureFile* activeCapture = nullptr;

// Without its X server the window is gone and the process with it; the frames
// encoded so far still become a proper file.
void SaveWhenDisplayLost()
{
    std::fputs("\nThe display went away; finishing the capture\n", stderr);
    int code = StopSignal() ? 128 + StopSignal() : kExitError;
    try {
        activeCapture->Finish();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        code = kExitError;
    }
    _exit(code);
}

class DisplayLostGuard {
public:
    explicit DisplayLostGuard(const CaptureFile& file)
    {
        activeCapture = &file;
        SetDisplayLostHandler(SaveWhenDisplayLost);
    }
    ~DisplayLostGuard()
    {
        SetDisplayLostHandler(nullptr);
        activeCapture = nullptr;
    }
};

// --to, else the end-of-show entry, else the end of the music in effect time.
int64_t CaptureEnd(const Show& show, const MusicStream& music, const PlayerOptions& options)
{
    if (options.captureTo)
        return *options.captureTo;
    if (show.endMs)
        return *show.endMs;
    if (music.LengthFrames() == 0)
        ThrowMessage("The show has no end-of-show entry and no music to measure it by; give --to");
    return music.LengthFrames() * 1000 / music.Rate() + show.startOffset;
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

void CheckCaptureTarget(const PlayerOptions& options)
{
    const std::string& file = options.captureFile;
    if (VideoContainerFor(file).empty())
        ThrowMessage("Unable to capture to %s: the name must end in .mp4 or .mkv", file.c_str());
    struct stat info;
    if (!options.force && stat(file.c_str(), &info) == 0)
        ThrowMessage("%s exists already; --force replaces it", file.c_str());
    // The encoder halves the colour resolution in both directions.
    if (options.width % 2 != 0 || options.height % 2 != 0)
        ThrowMessage("A capture needs an even width and height, not %dx%d", options.width, options.height);
    // Pixels off the screen are never drawn, and reading them back gives garbage.
    int screenWidth = 0, screenHeight = 0;
    if (DisplaySize(screenWidth, screenHeight) && (options.width > screenWidth || options.height > screenHeight))
        ThrowMessage("A %dx%d capture does not fit on the %dx%d display; use a smaller --size or a larger screen "
                     "(xvfb-run -s \"-screen 0 1920x1080x24\")",
                     options.width, options.height, screenWidth, screenHeight);
}

int CaptureShow(const Show& show, Window& window, const PlayerOptions& options, FrameProfile* profile)
{
    // Decoded for the beat and the sound track; never played.
    MusicStream music;
    music.Open(show.musicFile);
    const int startOffset = show.startOffset;
    const int64_t from = options.captureFrom;
    const int64_t to = CaptureEnd(show, music, options);
    if (to <= from)
        ThrowMessage("Nothing to capture: the show ends at %lld ms, before --from %lld", static_cast<long long>(to),
                     static_cast<long long>(from));
    const int fps = options.captureFps;
    // Frame k shows effect time from + k * 1000 / fps (rounded down), for every such time before `to`.
    const int64_t frames = ((to - from) * fps + 999) / 1000;

    const PcmTrack& track = music.Track();
    VideoEncoderSettings settings;
    settings.container = VideoContainerFor(options.captureFile);
    settings.path = options.captureFile + ".part";
    settings.width = ScreenWidth;
    settings.height = ScreenHeight;
    settings.fps = fps;
    settings.sampleRate = track.Empty() ? 44100 : track.rate;
    // As in a live run, files with more channels give their first two.
    settings.channels = track.Empty() ? 2 : std::min(track.channels, 2);
    CaptureSound sound;
    sound.track = &track;
    const double fromSeconds = (static_cast<double>(from) - startOffset) / 1000.0;
    sound.firstFrame = music.SecondsToBytes(fromSeconds) / (2 * music.Channels());

    CapturePipeline pipeline(settings, sound);
    const CaptureFile file{&pipeline, settings.path, options.captureFile};
    DisplayLostGuard displayGuard(file);
    FrameReadback readback(ScreenWidth, ScreenHeight);
    CaptureProgress progress(stderr, frames, isatty(STDERR_FILENO) != 0);
    const auto started = std::chrono::steady_clock::now();
    glClearColor(0, 0, 0, 0);

    int64_t saved = 0;
    bool interrupted = false;
    std::exception_ptr failure;
    try {
        for (int64_t k = 0; k < frames; ++k) {
            if (StopSignal()) {
                interrupted = true;
                break;
            }
            const int t = static_cast<int>(from + k * 1000 / fps);
            DrawFrame(show.effects, t, BeatAt(music, t, startOffset), profile);
            if (const uint8_t* previous = readback.Next()) {
                pipeline.Submit(previous);
                ++saved;
            }
            window.FramePump();
            progress.Update(k + 1, SecondsSince(started));
        }
    } catch (const StopRequested&) {
        interrupted = true;  // a signal during the frame: the frames so far are kept
    } catch (const ShowEnded&) {
        // The show's own end finishes the capture like the end of the range.
    } catch (...) {
        failure = std::current_exception();
    }
    progress.Done();

    try {
        // The frame read last is still waiting in its buffer.
        if (const uint8_t* last = readback.Last()) {
            pipeline.Submit(last);
            ++saved;
        }
        file.Finish();
    } catch (const std::exception& e) {
        if (!failure)
            throw;
        std::fprintf(stderr, "%s; %s is left unfinished\n", e.what(), settings.path.c_str());
        std::rethrow_exception(failure);
    }
    std::fprintf(stderr, "%s %lld frames (%.2f s) into %s\n", interrupted ? "Capture stopped:" : "Captured",
                 static_cast<long long>(saved), static_cast<double>(saved) / fps, options.captureFile.c_str());
    if (failure)
        std::rethrow_exception(failure);
    return interrupted ? 128 + StopSignal() : kExitOk;
}
