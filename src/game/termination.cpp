// Termination signals. The handler only sets a flag, the one thing a signal handler may
// safely do; the input layer, which every loop of the game calls once a frame (and every
// wait once a poll), looks at it and runs the shutdown start-up gave it. The shutdown thus
// never runs in the middle of a file being written: no loop reads input during a write.
#include "game/termination.h"

#include <signal.h>

volatile std::sig_atomic_t terminationRequested = 0;
void (*onTermination)() = nullptr;

static void onSignal(int) {
    terminationRequested = 1;
}

void catchTerminationSignals() {
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void leaveOnTermination() {
    if (terminationRequested && onTermination) onTermination();
}
