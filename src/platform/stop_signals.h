#pragma once
#include "platform/demo_error.h"

#include <string>

// A headless run (rendering or capturing) answers Ctrl-C, SIGTERM and SIGHUP
// by stopping between two frames with the shell's exit code for the signal,
// so that a killed run never looks like a finished one. A second signal ends
// it at once, whatever it was finishing. A live run leaves the signals to SDL,
// which turns them into a window close ("You quit?").

// Catches SIGINT, SIGTERM and SIGHUP from now on, and turns a file size limit
// into a write error. Call it before SDL starts: SDL keeps a handler that is
// already in place.
void CatchStopSignals();

// What a second signal says on standard error as it ends the run.
void SetSecondStopNote(const std::string& note);

// The signal caught so far, or 0.
int StopSignal();

// Thrown by the window's frame pump once a signal has been caught.
class StopRequested : public DemoError {
public:
    explicit StopRequested(int signal);
    int ExitCode() const { return 128 + signal_; }

private:
    int signal_;
};
