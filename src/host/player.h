#pragma once
#include <string>

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

// Reports a message the way a run's failure is reported (standard error and,
// unless options.noGui, the "Error" box) and returns its exit code.
int ReportError(const std::string& message, const PlayerOptions& options);
