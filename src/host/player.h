#pragma once
#include "host/options.h"

// Exit codes of the player.
constexpr int kExitOk = 0;
constexpr int kExitError = 1;
constexpr int kExitCancelled = 255;
// A render or capture stopped by a signal exits with 128 + its number.

// Runs the whole show (or the headless render) and returns the exit code.
// Every failure ends here: it is written to standard error and, unless
// options.noGui, shown in an "Error" box.
int RunPlayer(const PlayerOptions& options);
