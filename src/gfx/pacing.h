// Frame pacing at 60 frames per second in groups of three frames (17 + 17 + 16 ms), with
// skipped drawing when a frame overruns, and the clock and sleep every wait goes through
// (tests replace them with a virtual clock).
#pragma once
#include <SDL.h>

extern Uint64 fpsCurTick; // tick at the end of the previous controlFPS
extern Uint64 fpsGrpTick; // tick at the end of the previous group of three
extern int cntFrames;     // 0, 1, 2: place of the frame in its group
extern int fpsSum;        // overrun carried over, ms
extern int framesSkipped; // consecutive skip requests, 0 ... 2
extern int skipFrame;     // 1 = do not draw or present this frame

void initFPS();
void controlFPS();

// The time seam: milliseconds since start and a sleep. Default: SDL_GetTicks and usleep.
extern Uint32 (*clockTicks)();
extern void (*clockSleep)(Uint32 ms);
inline Uint32 ticksNow() {
    return clockTicks();
}
inline void sleepMs(Uint32 ms) {
    clockSleep(ms);
}
void resetClock(); // back to the real clock and sleep
