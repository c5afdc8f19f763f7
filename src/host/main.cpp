#include <cstdio>
#include <string>

#include "host/setup/options.h"
#include "host/player.h"
#include "host/setup/show_folder.h"
#include "platform/x11_display.h"

int main(int argc, char** argv)
{
    UseXlibFromThreads();
    PlayerOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "glimraven: %s\n\n%s", error.c_str(), UsageText());
        return kExitError;
    }
    if (options.help || options.version) {
        std::fputs(options.help ? UsageText() : VersionText(), stdout);
        return kExitOk;
    }
    if (!EnterShowFolder(options, error))
        return ReportError(error, options);
    return RunPlayer(options);
}
