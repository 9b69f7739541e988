#include "stop_signal.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t g_signal = 0;

extern "C" void onStopSignal(int number) {
    if (g_signal != 0) {
        // Asked twice: the user wants out now.
        std::signal(number, SIG_DFL);
        std::raise(number);
        return;
    }
    g_signal = number;
}

}  // namespace

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(number, &action, nullptr);
    }
}

bool StopSignalled() {
    return g_signal != 0;
}

int StopSignalNumber() {
    return g_signal;
}
