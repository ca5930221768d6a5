// The frame pacer on a virtual clock: how long frames and groups last, when drawing is
// skipped, what is carried over, and how a clock that jumps backwards is survived.
#include "gfx/pacing.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <vector>

TEST(Pacing, FramesEndAtTheirDeadlinesAndSlowFramesSkipDrawing) {
    struct Case {
        const char* what;
        int waitBefore;        // ms spent between the start and initFPS
        std::vector<int> work; // ms each frame takes before controlFPS (< 0: the clock jumps back)
        std::vector<int> ends; // clock after each controlFPS, from the start
        std::string skips;     // skipFrame after each
        std::vector<int> carried = {}; // fpsSum after each (when given)
    };
    const Case cases[] = {
        // deadlines 17, 34 and 50 ms after the group's start
        {"idle", 0, {0, 0, 0, 0, 0, 0}, {17, 34, 50, 67, 84, 100}, "000000"},
        // 40 ms: 23 carried, next frame undrawn; then 5 ms: 28 > 17, undrawn again with 11
        // carried; the third may not skip, so it is drawn and the carry dropped; after a
        // drawn frame a slow one skips again
        {"slow frames", 0, {40, 5, 0, 0, 40}, {40, 45, 45, 62, 102}, "11001", {23, 11, 0, 0, 23}},
        {"overrun made up in the group", 0, {20, 0, 0}, {20, 34, 50}, "100"},
        {"little time left", 0, {15}, {17}, "0"},
        {"no time left", 0, {17}, {17}, "0"},
        {"first frame counts from initFPS", 500, {0, 0, 0}, {517, 534, 550}, "000"},
        // a clock that goes backwards counts as the allowance: no skip, no sleep, and
        // pacing resumes from the new time
        {"clock backwards",
         0,
         {0, -50000, -1000, 0},
         {17, -49983, -50983, -50966},
         "0000",
         {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VirtualClock clock(100000);
        VirtualClock::advance(c.waitBefore);
        initFPS();
        for (size_t i = 0; i < c.work.size(); i++) {
            VirtualClock::advance((Uint32)c.work[i]);
            controlFPS();
            EXPECT_EQ((int)(VirtualClock::now - 100000), c.ends[i]) << "frame " << i;
            EXPECT_EQ(skipFrame, c.skips[i] - '0') << "frame " << i;
            if (!c.carried.empty()) {
                EXPECT_EQ(fpsSum, c.carried[i]) << "frame " << i;
            }
        }
    }
    // between frames it sleeps rather than spins: one long sleep, then a few short ones
    VirtualClock clock;
    initFPS();
    controlFPS();
    EXPECT_LE(VirtualClock::sleeps.size(), 4u);
}
