// Start-up and shutdown: the command line, the subsystems in their fixed order, the intro
// screens, and the hand-over to the game.
#pragma once
#include <SDL.h>

// The whole program; returns the process status.
int gameMain(int argc, char** argv);

// Releases everything in the fixed shutdown order; returns 0.
int exitGame();

// Video settings and test mode as the command line (or the configuration file) gives them.
struct StartOptions {
    int testMode = 0;
    int zoom = 0;
    int fullscreen = 0;
    int bpp = 16;
    int ghost = 0; // "-ghost": time trials (no screen option)
};

// Reads the options (with none at all but "-ghost", the screen mode of the configuration
// file) into *o, and sets aa2 and s2x. Returns 1 when "-h" was met; the options after it are
// not read.
int parseCommandLine(int argc, char** argv, StartOptions* o);

// The nine lines printed for "-h".
extern const char* const helpText;

// One intro screen: a row of the `screens` table.
struct IntroScreen {
    const char* name; // null ends the table
    int (*init)();
    int (*shutdown)();
    int (*update)(); // nonzero: the screen is over
    int (*render)(SDL_Surface* target);
};

constexpr int NUM_INTRO_SCREENS = 3;
extern const IntroScreen screens[NUM_INTRO_SCREENS + 1];
extern int currentScreen;    // the running row of `screens`
extern const int gameScreen; // 2: the first screen shown in test mode

// Runs one intro screen from init to shutdown: update, then (unless the frame is skipped)
// render and present, pace, read input.
void runIntroScreen(const IntroScreen& s);
// Runs the screens from currentScreen to the end of the table.
void runIntroScreens();
