#include "platform/stop_signals.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <string>

namespace {

// Exchanged atomically: two signals may arrive at once on two threads.
std::atomic<int> g_signal{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler needs a lock-free flag");
// Said on standard error when a second signal ends the run at once.
char g_note[512] = "";

void Record(int signal)
{
    if (g_signal.exchange(signal) != 0) {
        // Asked twice: whatever the run was finishing is left as it is.
        const ssize_t written = write(STDERR_FILENO, g_note, std::strlen(g_note));
        (void)written;
        _exit(128 + signal);
    }
}

}  // namespace

void CatchStopSignals()
{
    g_signal = 0;
    struct sigaction action {};
    action.sa_handler = Record;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    // A file size limit makes writing fail with an error to report, instead
    // of killing the process in the middle of a file.
    std::signal(SIGXFSZ, SIG_IGN);
}

void SetSecondStopNote(const std::string& note)
{
    // Copied before it can be needed: the handler may not allocate.
    const size_t length = std::min(note.size(), sizeof g_note - 1);
    g_note[0] = '\0';
    std::memcpy(g_note, note.data(), length);
    g_note[length] = '\0';
}

int StopSignal()
{
    return g_signal;
}

StopRequested::StopRequested(int signal)
    : DemoError(std::string("Stopped by ") + (signal == SIGINT    ? "SIGINT"
                                              : signal == SIGTERM ? "SIGTERM"
                                              : signal == SIGHUP  ? "SIGHUP"
                                                                  : "a signal")),
      signal_(signal)
{
}
