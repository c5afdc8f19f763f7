#pragma once
#include <string>

#include "host/exit_codes.h"
#include "host/setup/options.h"

// Runs the whole show (or the headless render) and returns the exit code.
// Every failure ends here: it is written to standard error and, unless
// options.noGui, shown in an "Error" box.
int RunPlayer(const PlayerOptions& options);

// Reports a message the way a run's failure is reported (standard error and,
// unless options.noGui, the "Error" box) and returns exitCode.
int ReportError(const std::string& message, const PlayerOptions& options, int exitCode = kExitError);
