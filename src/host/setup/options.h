#pragma once
#include <optional>
#include <string>

// What the command line asks for.
struct PlayerOptions {
    std::string directory;   // -C DIR: run in DIR
    std::string script;      // SCRIPT: play the show whose data/demo.txt this is
    bool windowed = false;   // --windowed
    int width = 0;           // --size WxH (0: not given)
    int height = 0;
    bool noGui = false;      // --no-gui: errors only on standard error (set for every batch run)
    bool noDialog = false;   // --no-dialog
    bool help = false;       // --help
    bool version = false;    // --version

    // --render FROM:TO:STEP --out DIR [--beat B], or --times FILE in place of --render
    bool render = false;
    int renderFrom = 0;
    int renderTo = 0;
    int renderStep = 1;
    std::string outDir;
    std::optional<float> beat;
    std::string timesFile;  // --times FILE --out DIR: the effect times listed in FILE instead of a range

    // --capture FILE [--fps N[/D]] [--codec NAME] [--from MS] [--to MS] [--force]
    std::string captureFile;
    int captureFps = 60;     // frames per second: captureFps / captureFpsBase
    int captureFpsBase = 1;
    std::string captureCodec = "h264";
    int captureFrom = 0;
    std::optional<int> captureTo;  // default: the end of the show
    bool force = false;
    bool Captures() const { return !captureFile.empty(); }
    bool check = false;            // --check: report the show's problems, play nothing (sets windowed)
    // Runs that nobody watches: no dialog and no message box ever waits on a person.
    bool Batch() const { return render || Captures() || check; }
    std::optional<int> startMs;    // --start MS: the effect time of the first frame
    bool headless = false;         // --headless: a batch run draws offscreen even with a display
    std::string profileFile;       // --profile FILE.csv: each frame's time per entry

    // Any of these means the viewer chose already: no setup dialog.
    bool SkipsDialog() const { return noDialog || windowed || width > 0 || render || Captures(); }
};

// Parses argv. On a malformed command line returns false with a message in error.
bool ParseOptions(int argc, const char* const* argv, PlayerOptions& options, std::string& error);

// The --help text, which is also the manual page's text.
const char* UsageText();

// The --version text.
const char* VersionText();
