#include "host/setup/options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/whole_number.h"

namespace {

bool ParseSize(const char* text, int& width, int& height)
{
    const char* x = std::strchr(text, 'x');
    if (!x)
        return false;
    const std::string w(text, x);
    // The largest side any OpenGL driver draws; the window or the offscreen
    // context refuses what its own limits do not take.
    const int most = 32768;
    return ReadWholeNumber(w.c_str(), width) && ReadWholeNumber(x + 1, height) && width > 0 && height > 0 &&
           width <= most && height <= most;
}

bool ParseRange(const char* text, int& from, int& to, int& step)
{
    const std::string s(text);
    const size_t a = s.find(':');
    const size_t b = a == std::string::npos ? a : s.find(':', a + 1);
    if (b == std::string::npos)
        return false;
    return ReadWholeNumber(s.substr(0, a).c_str(), from) && ReadWholeNumber(s.substr(a + 1, b - a - 1).c_str(), to) &&
           ReadWholeNumber(s.substr(b + 1).c_str(), step) && step > 0;
}

// N or N/D frames per second, from 1 to 1000.
bool ParseRate(const char* text, int& fps, int& base)
{
    const std::string s(text);
    const size_t slash = s.find('/');
    base = 1;
    if (!ReadWholeNumber(s.substr(0, slash).c_str(), fps) ||
        (slash != std::string::npos && !ReadWholeNumber(s.substr(slash + 1).c_str(), base)))
        return false;
    return fps >= 1 && base >= 1 && fps <= 1000LL * base && fps >= base;
}

bool KnownCodec(const std::string& name)
{
    return name == "h264" || name == "h264-lossless" || name == "ffv1" || name == "prores";
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, PlayerOptions& o, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        auto needValue = [&]() {
            if (!value)
                error = "missing value after " + arg;
            else
                ++i;
            return value != nullptr;
        };
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--windowed") {
            o.windowed = true;
        } else if (arg == "--no-gui") {
            o.noGui = true;
        } else if (arg == "--headless") {
            o.headless = true;
        } else if (arg == "--no-dialog") {
            o.noDialog = true;
        } else if (arg == "-C") {
            if (!needValue())
                return false;
            o.directory = value;
        } else if (arg == "--size") {
            if (!needValue())
                return false;
            if (!ParseSize(value, o.width, o.height)) {
                error = "--size wants WIDTHxHEIGHT, e.g. 800x600";
                return false;
            }
        } else if (arg == "--render") {
            if (!needValue())
                return false;
            if (!o.timesFile.empty()) {
                error = "--times goes instead of --render FROM:TO:STEP";
                return false;
            }
            if (!ParseRange(value, o.renderFrom, o.renderTo, o.renderStep)) {
                error = "--render wants FROM:TO:STEP in milliseconds, with STEP above 0";
                return false;
            }
            o.render = true;
        } else if (arg == "--times") {
            if (!needValue())
                return false;
            const bool ranged = o.render && o.timesFile.empty();
            if (ranged || !*value) {
                error = ranged ? "--times goes instead of --render FROM:TO:STEP" : "--times wants a file name";
                return false;
            }
            o.timesFile = value;
            o.render = true;
        } else if (arg == "--out") {
            if (!needValue())
                return false;
            o.outDir = value;
        } else if (arg == "--beat") {
            if (!needValue())
                return false;
            char* end = nullptr;
            const float b = std::strtof(value, &end);
            // Effects are promised a beat level in 0..1.
            if (end == value || *end != '\0' || !(b >= 0.0f && b <= 1.0f)) {
                error = "--beat wants a number from 0 to 1, e.g. 0.5";
                return false;
            }
            o.beat = b;
        } else if (arg == "--capture") {
            if (!needValue())
                return false;
            o.captureFile = value;
            if (o.captureFile.empty()) {
                error = "--capture wants a file name ending in .mp4 or .mkv";
                return false;
            }
        } else if (arg == "--fps") {
            if (!needValue())
                return false;
            if (!ParseRate(value, o.captureFps, o.captureFpsBase)) {
                error = "--fps wants frames per second from 1 to 1000";
                return false;
            }
        } else if (arg == "--codec") {
            if (!needValue())
                return false;
            o.captureCodec = value;
            if (!KnownCodec(o.captureCodec)) {
                error = "--codec wants h264, h264-lossless, ffv1 or prores";
                return false;
            }
        } else if (arg == "--from" || arg == "--to") {
            if (!needValue())
                return false;
            int number = 0;
            if (!ReadWholeNumber(value, number)) {
                error = arg + " wants milliseconds";
                return false;
            }
            if (arg == "--from")
                o.captureFrom = number;
            else
                o.captureTo = number;
        } else if (arg == "--force") {
            o.force = true;
        } else if (arg == "--check") {
            // The window is there only for the GL context: no dialog, no full screen.
            o.check = true;
            o.windowed = true;
        } else if (arg == "--start") {
            if (!needValue())
                return false;
            int ms = 0;
            if (!ReadWholeNumber(value, ms)) {
                error = "--start wants an effect time in milliseconds, e.g. 46080";
                return false;
            }
            o.startMs = ms;
        } else if (arg == "--profile") {
            if (!needValue())
                return false;
            o.profileFile = value;
            if (o.profileFile.empty()) {
                error = "--profile wants a file name, e.g. profile.csv";
                return false;
            }
        } else if (arg.empty() || arg[0] == '-' || !o.script.empty()) {
            error = arg.empty() || arg[0] == '-' ? "unknown option " + arg : "only one script, please: " + arg;
            return false;
        } else {
            o.script = arg;
        }
    }
    if (!o.script.empty() && !o.directory.empty()) {
        error = "-C DIR and a script do not go together";
        return false;
    }
    if (o.check && (o.render || o.startMs || !o.profileFile.empty())) {
        error = "--check goes without --render, --start and --profile";
        return false;
    }
    if ((o.render || o.Captures()) && o.startMs) {
        error = "--start only goes with a live run, not --render or --capture (use --from)";
        return false;
    }
    if (o.render && o.outDir.empty()) {
        error = o.timesFile.empty() ? "--render needs --out DIR" : "--times needs --out DIR";
        return false;
    }
    if (!o.render && (!o.outDir.empty() || o.beat)) {
        error = "--out and --beat only go with --render";
        return false;
    }
    if (o.Captures() && o.render) {
        error = "--capture and --render do not go together";
        return false;
    }
    if (!o.Captures() && (o.captureFps != 60 || o.captureFpsBase != 1 || o.captureFrom != 0 || o.captureTo || o.force)) {
        error = "--fps, --from, --to and --force only go with --capture";
        return false;
    }
    if (o.headless && !o.Batch()) {
        error = "--headless only goes with --render, --times, --capture or --check";
        return false;
    }
    if (!o.Captures() && o.captureCodec != "h264") {
        error = "--codec only goes with --capture";
        return false;
    }
    if (o.captureTo && *o.captureTo <= o.captureFrom) {
        error = "--to must come after --from";
        return false;
    }
    // Batch runs report on standard error alone: a message box on a screen
    // nobody sees (Xvfb) would wait for ever.
    if (o.Batch())
        o.noGui = true;
    // A capture is a video to publish: 720p unless asked otherwise.
    if (o.Captures() && o.width == 0) {
        o.width = 1280;
        o.height = 720;
    }
    return true;
}

const char* UsageText()
{
    return "Usage: glimraven [options] [SCRIPT]\n"
           "Plays a show: music and the OpenGL effects that its script data/demo.txt lists.\n"
           "Without flags a \"Video setup\" dialog asks for the resolution and full screen first.\n"
           "\n"
           "Options:\n"
           "  SCRIPT               play the show whose script this is (a show's\n"
           "                       data/demo.txt); other paths on the command line stay\n"
           "                       relative to the working directory\n"
           "  -C DIR               run in DIR (its data/ folder is used; paths on the\n"
           "                       command line are then relative to DIR)\n"
           "  --windowed           open a window instead of going full screen\n"
           "  --size WxH           window size in pixels (default 1024x768)\n"
           "  --no-dialog          skip the video setup dialog and use the defaults or the\n"
           "                       flags; --windowed, --size and --render skip it too\n"
           "  --no-gui             report errors on standard error only, no message box\n"
           "                       (always so with --render, --times, --capture and --check)\n"
           "  --render FROM:TO:STEP --out DIR [--beat B]\n"
           "                       draw the frames of effect time FROM, FROM+STEP, ... below TO\n"
           "                       (milliseconds) and write them as DIR/frame_NNNNNNN.png;\n"
           "                       B (0 to 1) fixes the beat level, otherwise the music gives it\n"
           "  --times FILE --out DIR [--beat B]\n"
           "                       the same for the effect times listed in FILE, one a line, in\n"
           "                       any order, repeats allowed; with --out /dev/null nothing is\n"
           "                       written (for timing and soak runs)\n"
           "  --capture FILE [--fps N[/D]] [--codec NAME] [--from MS] [--to MS] [--force]\n"
           "                       write the show with its music as a video, FILE ending in\n"
           "                       .mp4, .mkv or .mov (AAC sound); frames at N (or N/D, e.g.\n"
           "                       30000/1001) per second (default 60) of effect time FROM\n"
           "                       (default 0) up to TO (default: the end of the show), size\n"
           "                       1280x720 unless --size says otherwise; NAME is h264 (the\n"
           "                       default), h264-lossless, ffv1 (.mkv) or prores (.mov);\n"
           "                       --force replaces an existing FILE\n"
           "  --check              load the show without playing it and report every problem\n"
           "                       (unknown entries, unreadable pictures, shaders, models,\n"
           "                       plug-ins, music) with its line; exit 0 when there is none\n"
           "  --headless           draw --render, --times, --capture and --check offscreen,\n"
           "                       with no X server and at any size the OpenGL driver\n"
           "                       takes; the default when DISPLAY is unset\n"
           "  --start MS           begin the show at effect time MS (milliseconds)\n"
           "  --profile FILE.csv   write the CPU and GPU milliseconds of every entry drawn in\n"
           "                       every frame (a row each: time_ms, entry, name, cpu_ms,\n"
           "                       gpu_ms, empty without GPU timers) and, at the end, the\n"
           "                       ten costliest entries on standard error\n"
           "  --help               show this text\n"
           "  --version            show the version\n"
           "\n"
           "Finding the show:\n"
           "The first of these is played: the folder DIR of -C DIR; the folder above\n"
           "SCRIPT's data/ folder; the working directory when it holds data/demo.txt; the\n"
           "default show installed with the player, " DEMO_INSTALLED_SHOW " from the\n"
           "executable's folder.\n"
           "\n"
           "Files:\n"
           "The player reads data/demo.txt, the music it names, the pictures (JPEG, PNG),\n"
           "GLSL shaders, 3DS models, videos and plug-in libraries its entries name, and the\n"
           "loading picture data/overlay/loader.jpg, all relative to the show's folder.\n"
           "It writes only what --render, --capture and --profile ask for.\n"
           "\n"
           "Keys:\n"
           "Escape ends the show, Right and Left move it one second.\n"
           "For show makers: Space pauses and resumes, Home goes back to the script's\n"
           "start offset, F1 shows the time, frame rate, beat, a graph of the last two\n"
           "seconds' frame times and the entries drawing with their CPU and GPU\n"
           "milliseconds, costliest first, F5 loads the show again (so does saving\n"
           "data/demo.txt or any file the show loaded; on a failure \"Reload failed: ...\"\n"
           "goes to standard error and the old show plays on).\n"
           "\n"
           "Exit status:\n"
           "0 when the show ends or is quit, 1 on an error, 255 when the setup is cancelled,\n"
           "130 or 143 when Ctrl-C or SIGTERM stops a --render or --capture run.\n";
}

const char* VersionText()
{
    return "glimraven " DEMO_VERSION "\n";
}
