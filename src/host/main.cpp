#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/setup/options.h"
#include "host/player.h"

int main(int argc, char** argv)
{
    PlayerOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "player: %s\n\n%s", error.c_str(), UsageText());
        return kExitError;
    }
    if (options.help) {
        std::fputs(UsageText(), stdout);
        return kExitOk;
    }
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) {
        std::fprintf(stderr, "player: cannot change to %s: %s\n", options.directory.c_str(), std::strerror(errno));
        return kExitError;
    }
    return RunPlayer(options);
}
