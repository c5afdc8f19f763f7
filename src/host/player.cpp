#include "host/player.h"

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "host/authoring/show_check.h"
#include "host/capture/capture_show.h"
#include "host/capture/render_frames.h"
#include "host/capture/render_times.h"
#include "host/frame.h"
#include "host/frame_profile.h"
#include "host/live/live_show.h"
#include "host/setup/dialogs.h"
#include "host/setup/video_settings.h"
#include "media/music_clock.h"
#include "media/music_stream.h"
#include "media/video_support.h"
#include "platform/debug_output.h"
#include "platform/demo_error.h"
#include "platform/folder_read_ahead.h"
#include "platform/heap_ahead.h"
#include "platform/load_listener.h"
#include "platform/stop_signals.h"
#include "platform/window.h"
#include "platform/x11_display.h"
#include "render/guards.h"
#include "render/screen.h"
#include "show/show_files.h"
#include "show/show_loader.h"

namespace {

// Everything the run owns, released in reverse order of creation.
struct RunState {
    std::unique_ptr<MusicClock> clock;
    std::unique_ptr<Window> window;
    std::unique_ptr<CEnabler> textureGuard;
    std::unique_ptr<Show> show = std::make_unique<Show>();
    std::unique_ptr<FrameProfile> profile;  // --profile's figures, or the readout's in a live run
    std::vector<std::string> files;  // what loading read, watched for edits in a live run
};

// The settings from the command line, or else from the setup dialog. False
// when the viewer cancels the dialog.
bool ChooseVideoSettings(const PlayerOptions& options, VideoSettings& settings)
{
    if (!options.SkipsDialog())
        return AskVideoSettings(settings);
    if (options.width > 0) {
        settings.width = options.width;
        settings.height = options.height;
    }
    if (options.windowed || options.render || options.Captures())
        settings.windowed = 1;
    return true;
}

// Batch runs draw offscreen when asked to or when there is no X display; the
// offscreen path touches neither X nor GTK.
bool DrawsOffscreen(const PlayerOptions& options)
{
    return options.Batch() && (options.headless || !DisplayNamed());
}

void OpenWindowAndGl(RunState& run, const VideoSettings& settings, bool offscreen)
{
    ScreenWidth = settings.width;
    ScreenHeight = settings.height;
    run.window = offscreen ? OpenOffscreenWindow(settings.width, settings.height)
                           : OpenSdlWindow(settings.width, settings.height, settings.bitsPerPixel,
                                           settings.windowed == 0);
    ResetPerspective();
    run.textureGuard = std::make_unique<CEnabler>(GL_TEXTURE_2D);
}

void PlayShow(RunState& run, const PlayerOptions& options)
{
    MusicClock& clock = *run.clock;
    clock.Open(run.show->musicFile);
    clock.Play();
    clock.SetPosition(StartPosition(clock, run.show->startOffset, options.startMs));
    glClearColor(0, 0, 0, 0);

    LiveShow live(clock, run.show, *run.profile, !options.profileFile.empty());
    live.Watch(run.files);
    while (!run.window->Keys().escape) {
        live.Frame(KeysOf(run.window->Keys()), run.window->TicksMs());
        run.window->FramePump();
    }
}

void ShutDown(RunState& run)
{
    // The figures so far, also of a run that ended early, while GL still exists.
    if (run.profile && run.window)
        run.profile->Finish(stderr);
    run.profile.reset();
    run.show.reset();
    run.textureGuard.reset();
    run.window.reset();
}

// On the error path the window goes before the message is shown; the effects
// are left alone, since a failed effect may not be fit to be destroyed.
void ReleaseAfterError(RunState& run)
{
    if (run.show)
        AbandonEffects(*run.show);
    ShutDown(run);
}

}  // namespace

int ReportError(const std::string& message, const PlayerOptions& options, int exitCode)
{
    DebugOutput("Exception: ");
    DebugOutput(message.c_str());
    DebugOutput("\n");
    if (!options.noGui && DisplayNamed())
        ShowErrorInBox(message);
    return exitCode;
}

int RunPlayer(const PlayerOptions& options)
{
    if (!options.Batch() && !DisplayNamed())
        return ReportError("A live run needs a display, and DISPLAY is not set; batch runs (--render, --times, "
                           "--capture, --check) draw without one, as with --headless",
                           options);
    const bool offscreen = DrawsOffscreen(options);
    RunState run;
    std::string message;
    bool ended = false;
    try {
        if (options.render || options.Captures())
            CatchStopSignals();
        VideoSettings settings;
        if (!ChooseVideoSettings(options, settings))
            return kExitCancelled;
        if (options.Captures())
            CheckCaptureTarget(options);
        if (options.Captures() && !offscreen)
            CheckCaptureFitsDisplay(options);
        // A profile that cannot be written fails before any window opens.
        if (!options.profileFile.empty() || !(options.render || options.Captures() || options.check))
            run.profile = std::make_unique<FrameProfile>(options.profileFile);
        // A bad list of times fails before any window opens.
        const std::vector<int> times =
            options.timesFile.empty() ? std::vector<int>() : ReadRenderTimesFile(options.timesFile);
        // Frames that only go forward need only the music just before each;
        // a list that jumps back would decode it again at every jump.
        const bool forward = options.render && std::is_sorted(times.begin(), times.end());
        // A capture encodes the sound too, so it holds the whole track.
        MusicStream* captureMusic = nullptr;
        if (options.Captures()) {
            auto stream = std::make_unique<MusicStream>();
            captureMusic = stream.get();
            run.clock = std::move(stream);
        } else {
            run.clock = forward ? MakeBatchMusicClock() : MakeMusicClock();
        }
        // The window's buffers, the textures and the render targets are
        // faulted in a block at a time (platform/heap_ahead.h).
        KeepLargeBlocksInHeap();
        // The show's files are read into memory while the window opens.
        const FolderReadAhead readAhead(kShowDataFolder);
        // The music is read while the window opens and the effects load.
        const std::string musicFile = options.check ? std::string() : ScriptMusicFile();
        if (!musicFile.empty())
            run.clock->Prefetch(musicFile);
        OpenWindowAndGl(run, settings, offscreen);
        // A capture waits for the whole track before its first frame: the rest
        // of it decodes while the show loads.
        if (captureMusic && !musicFile.empty())
            captureMusic->Open(musicFile);
        // Video support loads on a background thread while the show loads, for
        // a show that may need it (a Video entry, effects/effect_table.inc); a
        // capture loaded it already to check its codec. Not before the window
        // opens: dlopen holds the loader's lock while FFmpeg's libraries start,
        // and opening the window loads the GL driver with dlopen, which would wait.
        if (ScriptMayName("Video"))
            PreloadVideoSupport();
        if (options.check) {
            const int code = CheckShow(stdout);
            ShutDown(run);
            return code;
        }
        {
            LoadedFiles loaded;
            ScopedLoadListener listening(loaded);
            // Offscreen nobody sees the loading display, so it is not drawn.
            LoadShow(*run.show, run.window.get(), !offscreen);
            run.files = std::move(loaded.files);
        }
        // The loading's threads and their contexts are gone: what they freed
        // goes back to the system instead of staying in their heaps.
        malloc_trim(0);
        if (run.profile)
            run.profile->Prepare(run.show->names);
        // Measured only when asked: --profile, or the readout of a live run.
        FrameProfile* measured = options.profileFile.empty() ? nullptr : run.profile.get();
        int exitCode = kExitOk;
        if (options.Captures())
            exitCode = CaptureShow(*run.show, *run.window, *captureMusic, options, measured);
        else if (options.render)
            RenderFrames(*run.show, *run.window, *run.clock, options, times, measured);
        else
            PlayShow(run, options);
        ShutDown(run);
        return exitCode;
    } catch (const StopRequested& stop) {
        // Not an error to show in a box: the run was stopped from outside.
        ReleaseAfterError(run);
        DebugOutput(stop.what());
        DebugOutput("\n");
        return stop.ExitCode();
    } catch (const RunEnded& end) {
        // The show's end entry or the window's close box.
        message = end.what();
        ended = true;
    } catch (const std::bad_alloc&) {
        message = "Out of memory";
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        // A plug-in may throw anything; the run still ends through the handler.
        message = "Unknown error";
    }
    // A show that ended itself or was closed shuts down as after Escape: every
    // effect destroyed, in script order, while its GL context still exists.
    // Its message is still written and shown, with exit code 0.
    if (ended)
        ShutDown(run);
    else
        ReleaseAfterError(run);
    return ReportError(message, options, ended ? kExitOk : kExitError);
}
