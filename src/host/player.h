#pragma once
#include "host/options.h"

// Exit codes of the player.
constexpr int kExitOk = 0;
constexpr int kExitError = 1;
constexpr int kExitCancelled = 255;
constexpr int kExitInterrupted = 130;  // a capture stopped by Ctrl-C or SIGTERM

// Runs the whole show (or the headless render) and returns the exit code.
// Every failure ends here: it is written to standard error and, unless
// options.noGui, shown in an "Error" box.
int RunPlayer(const PlayerOptions& options);
