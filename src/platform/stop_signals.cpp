#include "platform/stop_signals.h"

#include <csignal>
#include <cstring>
#include <string>

namespace {

volatile std::sig_atomic_t g_signal = 0;

void Record(int signal)
{
    g_signal = signal;
}

}  // namespace

void CatchStopSignals()
{
    g_signal = 0;
    struct sigaction action {};
    action.sa_handler = Record;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int StopSignal()
{
    return g_signal;
}

StopRequested::StopRequested(int signal)
    : DemoError(std::string("Stopped by ") + (signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : "a signal")),
      signal_(signal)
{
}
