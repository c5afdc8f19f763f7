#include "host/capture/capture_show.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

// Makes what was written to path survive a power cut.
void SyncToDisk(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The file being written: FILE.part until it is finished, then FILE.
struct CaptureFile {
    CapturePipeline* pipeline = nullptr;
    std::string part;
    std::string name;
    bool replace = false;  // --force: an existing FILE gives way
    mutable bool finished = false;

    // Finishes the container and gives it its name, never over a file that
    // appeared meanwhile unless asked to. Throws on failure.
    void Finish() const
    {
        pipeline->Finish();
        finished = true;
        SyncToDisk(part);
        if (!replace && renameat2(AT_FDCWD, part.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0) {
            SyncToDisk(FolderOf(name));
            return;
        }
        if (!replace && errno == EEXIST)
            ThrowMessage("%s appeared during the capture and is kept; the video is %s", name.c_str(), part.c_str());
        // A file system without the no-replace rename: the check and the rename are two steps.
        struct stat info;
        if (!replace && stat(name.c_str(), &info) == 0)
            ThrowMessage("%s appeared during the capture and is kept; the video is %s", name.c_str(), part.c_str());
        if (std::rename(part.c_str(), name.c_str()) != 0)
            ThrowMessage("Unable to rename %s to %s: %s", part.c_str(), name.c_str(), std::strerror(errno));
        SyncToDisk(FolderOf(name));
    }

    // After a failure: closes the file and keeps it only if it plays. Says which.
    std::string Abandon() const
    {
        if (finished)
            return part + " holds the whole video";
        // A half-written fragment at the end would confuse players.
        const int64_t complete = pipeline->Abandon();
        if (complete > 0 && truncate(part.c_str(), complete) == 0 && VideoSupport().holdsAPicture(part))
            return part + " is left unfinished";
        std::remove(part.c_str());
        return part + " could not be played and is removed";
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
        std::fprintf(stderr, "%s; %s\n", e.what(), activeCapture->Abandon().c_str());
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
    const std::string container = VideoContainerFor(file);
    if (container.empty())
        ThrowMessage("Unable to capture to %s: the name must end in .mp4 or .mkv (or .mov)", file.c_str());
    const std::string problem = VideoSupport().codecProblem(container, options.captureCodec);
    if (!problem.empty())
        ThrowMessage("Unable to capture to %s: %s", file.c_str(), problem.c_str());
    struct stat info;
    if (!options.force && stat(file.c_str(), &info) == 0)
        ThrowMessage("%s exists already; --force replaces it", file.c_str());
    const std::string folder = FolderOf(file);
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        ThrowMessage("Unable to capture to %s: there is no folder %s", file.c_str(), folder.c_str());
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        ThrowMessage("Unable to capture to %s: the folder %s is not writable (%s)", file.c_str(), folder.c_str(),
                     std::strerror(errno));
    // The encoder halves the colour resolution in both directions.
    if (options.width % 2 != 0 || options.height % 2 != 0)
        ThrowMessage("A capture needs an even width and height, not %dx%d", options.width, options.height);
}

void CheckCaptureFitsDisplay(const PlayerOptions& options)
{
    // Pixels off the screen are never drawn, and reading them back gives garbage.
    int screenWidth = 0, screenHeight = 0;
    if (DisplaySize(screenWidth, screenHeight) && (options.width > screenWidth || options.height > screenHeight))
        ThrowMessage("A %dx%d capture does not fit on the %dx%d display; use a smaller --size or a larger screen "
                     "(xvfb-run -s \"-screen 0 1920x1080x24\"), or capture --headless",
                     options.width, options.height, screenWidth, screenHeight);
}

int CaptureShow(const Show& show, Window& window, MusicStream& music, const PlayerOptions& options,
                FrameProfile* profile)
{
    // Decoded for the beat and the sound track; never played.
    if (!music.OpenedOn(show.musicFile))
        music.Open(show.musicFile);
    const int startOffset = show.startOffset;
    const int64_t from = options.captureFrom;
    const int64_t to = CaptureEnd(show, music, options);
    if (to <= from)
        ThrowMessage("Nothing to capture: the show ends at %lld ms, before --from %lld", static_cast<long long>(to),
                     static_cast<long long>(from));
    const int64_t fps = options.captureFps;
    const int64_t fpsBase = options.captureFpsBase;
    // Frame k shows effect time from + k * 1000 * fpsBase / fps (rounded
    // down), for every such time before `to`.
    const int64_t frames = ((to - from) * fps + 1000 * fpsBase - 1) / (1000 * fpsBase);

    const PcmTrack& track = music.Track();
    VideoEncoderSettings settings;
    settings.container = VideoContainerFor(options.captureFile);
    settings.path = options.captureFile + ".part";
    settings.width = ScreenWidth;
    settings.height = ScreenHeight;
    settings.fps = options.captureFps;
    settings.fpsBase = options.captureFpsBase;
    settings.codec = options.captureCodec;
    settings.pixels = FrameReadback::FastestOrder();
    settings.sampleRate = track.Empty() ? 44100 : track.rate;
    // As in a live run, files with more channels give their first two.
    settings.channels = track.Empty() ? 2 : std::min(track.channels, 2);
    CaptureSound sound;
    sound.track = &track;
    const double fromSeconds = (static_cast<double>(from) - startOffset) / 1000.0;
    sound.firstFrame = music.SecondsToBytes(fromSeconds) / (2 * music.Channels());

    CapturePipeline pipeline(settings, sound);
    const CaptureFile file{&pipeline, settings.path, options.captureFile, options.force};
    SetSecondStopNote("\nStopped at once; " + settings.path + " holds what was written so far\n");
    DisplayLostGuard displayGuard(file);
    FrameReadback readback(ScreenWidth, ScreenHeight, window.ReadBuffer(), settings.pixels,
                           FrameReadback::BuffersPay());
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
            const int t = static_cast<int>(from + k * 1000 * fpsBase / fps);
            DrawFrame(show.effects, t, BeatAt(music, t, startOffset), profile);
            if (readback.Queue(pipeline))
                ++saved;
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
        // Through buffers, the frame read last is still waiting in its own.
        if (readback.QueueLast(pipeline))
            ++saved;
        file.Finish();
    } catch (const std::exception& e) {
        // A write error (a full disk) leaves no file that does not play.
        const std::string fate = file.Abandon();
        if (!failure) {
            std::fprintf(stderr, "%s\n", fate.c_str());
            throw;
        }
        std::fprintf(stderr, "%s; %s\n", e.what(), fate.c_str());
        std::rethrow_exception(failure);
    }
    std::fprintf(stderr, "%s %lld frames (%.2f s) into %s\n", interrupted ? "Capture stopped:" : "Captured",
                 static_cast<long long>(saved), static_cast<double>(saved * fpsBase) / static_cast<double>(fps),
                 options.captureFile.c_str());
    if (failure)
        std::rethrow_exception(failure);
    return interrupted ? 128 + StopSignal() : kExitOk;
}
