// Termination signals: SIGTERM and SIGINT (a logout, a shutdown, `kill`, Ctrl-C) end the
// program promptly from whatever screen it shows, through its normal shutdown.
#pragma once
#include <csignal>

// Set by the signal handler, never cleared: the program is on its way out.
extern volatile std::sig_atomic_t terminationRequested;

// The program's shutdown, run once a signal has come; it does not return. Set by start-up;
// while it is null (the tools, most tests) a signal only sets the flag.
extern void (*onTermination)();

// Installs the handler for SIGTERM and SIGINT. Called after SDL_Init, whose own handlers
// would turn the signals into the same quit request as the window's close button.
void catchTerminationSignals();

// Runs onTermination once a signal has come. checkInput and every poll of waitKeyUp call
// it, so every loop and every wait of the game ends within a frame or a poll.
void leaveOnTermination();
