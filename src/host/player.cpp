#include "host/player.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "host/capture_show.h"
#include "host/demo_window.h"
#include "host/frame.h"
#include "host/frame_capture.h"
#include "host/live_show.h"
#include "host/render_times.h"
#include "host/setup_dialog.h"
#include "host/show_check.h"
#include "host/video_settings.h"
#include "platform/debug_output.h"
#include "platform/demo_error.h"
#include "platform/load_listener.h"
#include "platform/message_box.h"
#include "platform/music_clock.h"
#include "platform/stop_signals.h"
#include "render/guards.h"
#include "render/screen.h"
#include "timeline/demo_script.h"

namespace {

// Everything the run owns, released in reverse order of creation.
struct RunState {
    std::unique_ptr<MusicClock> clock;
    std::unique_ptr<DemoWindow> window;
    std::unique_ptr<CEnabler> textureGuard;
    EffectList effects;
    std::vector<std::string> names;  // the entries' names, for the readout
    std::vector<std::string> files;  // what loading read, watched for edits in a live run
    std::string musicFile;
    int startOffset = 0;
};

// The settings from the command line, or else from the setup dialog. False
// when the viewer cancels the dialog.
bool ChooseVideoSettings(const PlayerOptions& options, VideoSettings& settings)
{
    if (!options.SkipsDialog())
        return ShowVideoSetup(settings);
    if (options.width > 0) {
        settings.width = options.width;
        settings.height = options.height;
    }
    if (options.windowed || options.render || options.Captures())
        settings.windowed = 1;
    return true;
}

void OpenWindowAndGl(RunState& run, const VideoSettings& settings)
{
    run.window = std::make_unique<DemoWindow>(settings.width, settings.height, settings.bitsPerPixel,
                                              settings.windowed == 0);
    const GLenum status = glewInit();
    if (status != GLEW_OK)
        ThrowMessage("Error: %s\n", reinterpret_cast<const char*>(glewGetErrorString(status)));
    if (!GLEW_VERSION_2_0)
        ThrowMessage("Opengl 2.0 not supported");
    ResetPerspective();
    run.textureGuard = std::make_unique<CEnabler>(GL_TEXTURE_2D);
}

void PlayShow(RunState& run, const PlayerOptions& options)
{
    MusicClock& clock = *run.clock;
    clock.Open(run.musicFile);
    clock.Play();
    clock.SetPosition(StartPosition(clock, run.startOffset, options.startMs));
    glClearColor(0, 0, 0, 0);

    LiveShow live(clock, run.effects, run.names, run.startOffset);
    live.Watch(run.files);
    while (!run.window->EscapePressed()) {
        live.Frame(KeysOf(*run.window), TicksMs());
        run.window->FramePump();
    }
}

// Draws the frames of the requested effect times exactly as the show would and
// writes each one out (none with --out /dev/null). The music is decoded but
// never played; each frame hears the beat at its own time, as after a seek.
void RenderFrames(RunState& run, const PlayerOptions& options, const std::vector<int>& listed)
{
    const bool writes = options.outDir != "/dev/null";
    if (writes) {
        // A folder that cannot be made shows up as the first frame that cannot be written.
        std::error_code ignored;
        std::filesystem::create_directories(options.outDir, ignored);
    }
    MusicClock& clock = *run.clock;
    clock.Open(run.musicFile);
    glClearColor(0, 0, 0, 0);

    FrameCapture capture(ScreenWidth, ScreenHeight);
    auto frame = [&](int time) {
        const float beat = options.beat ? *options.beat : BeatAt(clock, time, run.startOffset);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawEffects(run.effects, time, beat);
        if (writes)
            capture.Write(FramePath(options.outDir, time));
        run.window->FramePump();
    };
    if (!options.timesFile.empty()) {
        for (int time : listed)
            frame(time);
        return;
    }
    for (int64_t t = options.renderFrom; t < options.renderTo; t += options.renderStep)
        frame(static_cast<int>(t));
}

void ShutDown(RunState& run)
{
    for (auto& effect : run.effects)
        effect.reset();
    run.effects.clear();
    run.textureGuard.reset();
    run.window.reset();
}

// On the error path the window goes before the message is shown; the effects
// are left alone, since a failed effect may not be fit to be destroyed.
void ReleaseAfterError(RunState& run)
{
    for (auto& effect : run.effects)
        effect.release();
    run.effects.clear();
    run.textureGuard.reset();
    run.window.reset();
}

// The show's own ways of ending travel as messages too; they are no failure.
bool IsNormalEnd(const std::string& message)
{
    return message == "End of show" || message == "You quit?";
}

}  // namespace

int ReportError(const std::string& message, const PlayerOptions& options)
{
    DebugOutput("Exception: ");
    DebugOutput(message.c_str());
    DebugOutput("\n");
    if (!options.noGui && std::getenv("DISPLAY"))
        ShowErrorBox(message);
    return IsNormalEnd(message) ? kExitOk : kExitError;
}

int RunPlayer(const PlayerOptions& options)
{
    RunState run;
    std::string message;
    try {
        if (options.render || options.Captures())
            CatchStopSignals();
        run.clock = MakeMusicClock();
        VideoSettings settings;
        if (!ChooseVideoSettings(options, settings))
            return kExitCancelled;
        if (options.Captures())
            CheckCaptureTarget(options);
        // A bad list of times fails before any window opens.
        const std::vector<int> times =
            options.timesFile.empty() ? std::vector<int>() : ReadRenderTimesFile(options.timesFile);
        // The music is read while the window opens and the effects load; a
        // capture reads it itself.
        if (!options.check && !options.Captures())
            run.clock->Prefetch(ScriptMusicFile());
        OpenWindowAndGl(run, settings);
        if (options.check) {
            const int code = CheckShow(stdout);
            ShutDown(run);
            return code;
        }
        {
            LoadedFiles loaded;
            ScopedLoadListener listening(loaded);
            LoadDemoScript(run.effects, *run.window, run.musicFile, run.startOffset, &run.names);
            run.files = std::move(loaded.files);
        }
        int exitCode = kExitOk;
        if (options.Captures())
            exitCode = CaptureShow(run.effects, *run.window, run.musicFile, run.startOffset, options);
        else if (options.render)
            RenderFrames(run, options, times);
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
    } catch (const std::bad_alloc&) {
        message = "Out of memory";
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        // A plug-in may throw anything; the run still ends through the handler.
        message = "Unknown error";
    }
    // A show that ended itself or was closed shuts down as after Escape: every
    // effect destroyed, in list order, while its GL context still exists.
    if (IsNormalEnd(message))
        ShutDown(run);
    else
        ReleaseAfterError(run);
    return ReportError(message, options);
}
