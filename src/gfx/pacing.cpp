// Frame pacing at 60 frames per second, and the clock every wait of the game reads.
//
// Frames come in groups of three: the first two are allowed 17 ms each from the end of the
// frame before, the third whatever remains of 50 ms from the start of the group. A frame
// that overruns its allowance carries the overrun and asks the caller not to draw the next
// frame (at most two in a row), so slow drawing never slows the game down.
//
// Waiting: a coarse sleep stops a little short of the deadline (the scheduler may wake us
// late), then short sleeps close the gap until the clock reaches the deadline. The frame
// that waited is then taken to end at its deadline, so the sub-millisecond lateness of the
// wake-up does not add up from frame to frame and an idle loop keeps exactly 60 frames per
// second.
#include "gfx/pacing.h"

#include <unistd.h>

Uint64 fpsCurTick;
Uint64 fpsGrpTick;
int cntFrames;
int fpsSum;
int framesSkipped;
int skipFrame;

namespace {

constexpr int FRAME_MS = 17;     // allowance of the first two frames of a group
constexpr int GROUP_MS = 50;     // allowance of a whole group of three (17 + 17 + 16)
constexpr int GROUP_FRAMES = 3;  //
constexpr int MAX_SKIPPED = 2;   // consecutive frames left undrawn at most
constexpr int COARSE_MARGIN = 2; // ms the coarse sleep stops short of the deadline
constexpr int FINE_SLEEP_MS = 1; // step of the final approach to the deadline

Uint32 sdlTicks() {
    return SDL_GetTicks();
}
void microSleep(Uint32 ms) {
    usleep((useconds_t)ms * 1000);
}

// Sleeps until the clock reads `target`, having last read `now` (not after target). Returns
// the clock after the wait. A clock that goes backwards ends the wait at once.
Uint64 waitUntil(Uint64 target, Uint64 now) {
    if ((int32_t)(target - now) > COARSE_MARGIN) {
        sleepMs((Uint32)(target - now - COARSE_MARGIN));
        Uint64 later = ticksNow();
        if (later < now) return later;
        now = later;
    }
    while (now < target) {
        sleepMs(FINE_SLEEP_MS);
        Uint64 later = ticksNow();
        if (later < now) return later;
        now = later;
    }
    return now;
}

} // namespace

Uint32 (*clockTicks)() = sdlTicks;
void (*clockSleep)(Uint32 ms) = microSleep;

void resetClock() {
    clockTicks = sdlTicks;
    clockSleep = microSleep;
}

void initFPS() {
    skipFrame = 0;
    cntFrames = 0;
    fpsSum = 0;
    framesSkipped = 0;
    fpsCurTick = fpsGrpTick = ticksNow();
}

void controlFPS() {
    Uint64 prev = fpsCurTick;
    fpsCurTick = ticksNow();

    // time used by this frame (or by the whole group, on its third frame)
    int allowance;
    if (cntFrames < GROUP_FRAMES - 1) {
        allowance = FRAME_MS;
        if (fpsCurTick < prev) // the tick counter wrapped
            fpsCurTick = prev + FRAME_MS;
        fpsSum += (int32_t)(fpsCurTick - prev);
    } else {
        allowance = GROUP_MS;
        if (fpsCurTick < fpsGrpTick) fpsCurTick = fpsGrpTick + GROUP_MS;
        fpsSum += (int32_t)(fpsCurTick - fpsGrpTick);
    }

    Uint64 frameEnd;
    if (fpsSum > allowance && framesSkipped < MAX_SKIPPED) {
        // overrun: keep the game speed, leave the next frame undrawn
        fpsSum -= allowance;
        framesSkipped++;
        skipFrame = 1;
        frameEnd = ticksNow();
    } else {
        int remaining = allowance - fpsSum;
        frameEnd = ticksNow();
        if (remaining > 0) {
            Uint64 target = fpsCurTick + (Uint64)remaining;
            if (frameEnd >= fpsCurTick && frameEnd < target) {
                Uint64 woke = waitUntil(target, frameEnd);
                // The frame ends at its deadline; a late wake-up is carried by the next one.
                frameEnd = woke >= target ? target : woke;
            }
        }
        fpsSum = 0;
        skipFrame = 0;
        framesSkipped = 0;
    }

    fpsCurTick = frameEnd;
    if (cntFrames < GROUP_FRAMES - 1) {
        cntFrames++;
    } else {
        fpsGrpTick = fpsCurTick;
        cntFrames = 0;
    }
}
