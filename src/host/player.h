#pragma once
#include "host/exit_codes.h"
#include "host/setup/options.h"

// Runs the whole show (or the headless render) and returns the exit code.
// Every failure ends here: it is written to standard error and, unless
// options.noGui, shown in an "Error" box.
int RunPlayer(const PlayerOptions& options);
