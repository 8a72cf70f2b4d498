#include "interrupt.h"

#include <signal.h>

namespace {

volatile sig_atomic_t stopSignal = 0;

void requestStop(int signal) { stopSignal = signal; }

}  // namespace

void watchForInterrupt() {
    struct sigaction action = {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    // Restarted calls: the loop looks at the flag between frames.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool interruptRequested() { return stopSignal != 0; }

int interruptSignal() { return stopSignal; }
