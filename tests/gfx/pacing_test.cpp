// The frame pacer on a virtual clock: how long frames and groups last, when drawing is
// skipped, what is carried over, and how a clock that jumps backwards is survived.
#include "gfx/pacing.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

// n frames of an idle loop; returns the time they took and counts the skipped ones.
Uint32 idleLoop(int n, int* skipped) {
    initFPS();
    const Uint32 start = VirtualClock::now;
    *skipped = 0;
    for (int i = 0; i < n; i++) {
        controlFPS();
        *skipped += skipFrame;
    }
    return VirtualClock::now - start;
}

} // namespace

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
        // carried; the third may not skip, so it is drawn and the carry dropped
        {"slow frames", 0, {40, 5, 0, 0}, {40, 45, 45, 62}, "1100", {23, 11, 0, 0}},
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
}

TEST(Pacing, IdleLoopsKeepSixtyFramesPerSecondDespiteLateWakeUps) {
    for (int overrun : {0, 1, 3, 5, 9}) {
        VirtualClock clock;
        VirtualClock::overrunMs = overrun;
        int skipped = -1;
        const Uint32 took = idleLoop(600, &skipped);
        EXPECT_GE(took, 10000u) << overrun;
        EXPECT_LE(took, overrun ? 10000u + 17 : 10000u) << overrun;
        EXPECT_EQ(skipped, 0) << overrun;
    }
    // a sleep that ends before it began ends the wait instead of looping
    VirtualClock clock(100000);
    VirtualClock::overrunMs = -100;
    int skipped = -1;
    idleLoop(4, &skipped);
    EXPECT_LE(VirtualClock::sleeps.size(), 8u);
}

TEST(Pacing, ItSleepsRatherThanSpins) {
    VirtualClock clock;
    initFPS();
    controlFPS();
    // one long sleep that stops short of the deadline, then a few short ones
    const std::vector<Uint32>& s = VirtualClock::sleeps;
    ASSERT_FALSE(s.empty());
    EXPECT_GE(s[0], 10u);
    EXPECT_LE(s.size(), 4u);
    EXPECT_EQ(std::accumulate(s.begin(), s.end(), 0u), 17u);
    // little time left: only short steps; none left: no sleep at all
    for (Uint32 work : {15u, 17u}) {
        VirtualClock::sleeps.clear();
        initFPS();
        VirtualClock::advance(work);
        controlFPS();
        for (Uint32 ms : s)
            EXPECT_LE(ms, 2u) << work;
        EXPECT_EQ(s.empty(), work == 17) << work;
    }
}
