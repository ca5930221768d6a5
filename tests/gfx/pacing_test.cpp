// The frame pacer on a virtual clock: how long frames and groups last, when drawing is
// skipped, what is carried over, and how a clock that jumps backwards is survived.
#include "gfx/pacing.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Runs n frames of the given work (ms each) after initFPS; returns the clock after each
// controlFPS and the skip flag it left.
struct Frame {
    Uint32 end;
    int skip;
    int carried;
};

std::vector<Frame> runFrames(const std::vector<Uint32>& work) {
    std::vector<Frame> out;
    for (Uint32 ms : work) {
        VirtualClock::advance(ms);
        controlFPS();
        out.push_back({VirtualClock::now, skipFrame, fpsSum});
    }
    return out;
}

// n frames of an idle loop; returns the time they took.
Uint32 idleLoop(int n, int* skipped = nullptr) {
    initFPS();
    Uint32 start = VirtualClock::now;
    int skips = 0;
    for (int i = 0; i < n; i++) {
        controlFPS();
        skips += skipFrame;
    }
    if (skipped) *skipped = skips;
    return VirtualClock::now - start;
}

} // namespace

TEST(Pacing, AnIdleLoopRunsAtSixtyFramesPerSecond) {
    VirtualClock clock;
    initFPS();
    std::vector<Frame> f = runFrames({0, 0, 0, 0, 0, 0});
    // the group's deadlines: 17, 34 and 50 ms after its start
    const Uint32 t0 = 1000;
    EXPECT_EQ(f[0].end, t0 + 17);
    EXPECT_EQ(f[1].end, t0 + 34);
    EXPECT_EQ(f[2].end, t0 + 50);
    EXPECT_EQ(f[5].end, t0 + 100);
    for (const Frame& fr : f)
        EXPECT_EQ(fr.skip, 0);
    int skipped = -1;
    EXPECT_EQ(idleLoop(600, &skipped), 10000u);
    EXPECT_EQ(skipped, 0);
}

TEST(Pacing, LateWakeUpsDoNotSlowTheGameDown) {
    // a sleep that overruns by up to a few ms still gives 600 frames in 10 s
    for (int overrun : {1, 3, 5, 9}) {
        VirtualClock clock;
        VirtualClock::overrunMs = overrun;
        int skipped = -1;
        Uint32 took = idleLoop(600, &skipped);
        EXPECT_GE(took, 10000u) << overrun;
        EXPECT_LE(took, 10000u + 17) << overrun;
        EXPECT_EQ(skipped, 0) << overrun;
    }
}

TEST(Pacing, ItSleepsRatherThanSpins) {
    VirtualClock clock;
    initFPS();
    runFrames({0});
    // one long sleep that stops short of the deadline, then a few short ones
    ASSERT_FALSE(VirtualClock::sleeps.empty());
    EXPECT_GE(VirtualClock::sleeps[0], 10u);
    EXPECT_LE(VirtualClock::sleeps.size(), 4u);
    Uint32 total = 0;
    for (Uint32 s : VirtualClock::sleeps)
        total += s;
    EXPECT_EQ(total, 17u);
}

TEST(Pacing, ASlowFrameSkipsTheDrawingOfTheNextTwoAtMost) {
    VirtualClock clock;
    initFPS();
    // first frame 40 ms: 23 ms carried, next frame undrawn; then 5 ms: 28 > 17, undrawn
    // again with 11 carried; the third may not skip, so it is drawn and the carry dropped
    std::vector<Frame> f = runFrames({40, 5, 0});
    EXPECT_EQ(f[0].skip, 1);
    EXPECT_EQ(f[0].carried, 23);
    EXPECT_EQ(f[1].skip, 1);
    EXPECT_EQ(f[1].carried, 11);
    EXPECT_EQ(f[2].skip, 0);
    EXPECT_EQ(f[2].carried, 0);
    EXPECT_EQ(framesSkipped, 0);
    // no sleep while behind
    EXPECT_EQ(f[2].end, 1045u);
    EXPECT_TRUE(VirtualClock::sleeps.empty());
    // the next group starts from there and is paced again
    EXPECT_EQ(runFrames({0})[0].end, 1045u + 17);
}

TEST(Pacing, AnOverrunWithinTheGroupIsMadeUpByItsLastFrame) {
    VirtualClock clock;
    initFPS();
    std::vector<Frame> f = runFrames({20, 0, 0});
    EXPECT_EQ(f[0].skip, 1); // 20 > 17
    EXPECT_EQ(f[1].skip, 0);
    EXPECT_EQ(f[1].end, 1000u + 34); // 3 ms carried: the frame ends at its own deadline
    EXPECT_EQ(f[2].end, 1000u + 50);
}

TEST(Pacing, LittleTimeLeftIsWaitedOutInShortSteps) {
    VirtualClock clock;
    initFPS();
    std::vector<Frame> f = runFrames({15});
    EXPECT_EQ(f[0].end, 1017u);
    for (Uint32 s : VirtualClock::sleeps)
        EXPECT_LE(s, 2u);
    // with no time left there is no sleep at all
    VirtualClock::sleeps.clear();
    initFPS();
    f = runFrames({17});
    EXPECT_TRUE(VirtualClock::sleeps.empty());
    EXPECT_EQ(f[0].skip, 0);
}

TEST(Pacing, TheFirstFrameCountsFromInitFPS) {
    VirtualClock clock;
    VirtualClock::advance(500); // a long blocking wait before the loop
    initFPS();
    std::vector<Frame> f = runFrames({0});
    EXPECT_EQ(f[0].end, 1517u);
    EXPECT_EQ(f[0].skip, 0);
    EXPECT_EQ(skipFrame, 0);
    EXPECT_EQ(cntFrames, 1);
}

TEST(Pacing, AClockThatGoesBackwardsCountsAsTheAllowance) {
    VirtualClock clock(100000);
    initFPS();
    runFrames({0});
    VirtualClock::now -= 50000;
    VirtualClock::sleeps.clear();
    controlFPS();
    EXPECT_EQ(skipFrame, 0);
    EXPECT_EQ(fpsSum, 0);
    EXPECT_TRUE(VirtualClock::sleeps.empty());
    EXPECT_EQ(fpsCurTick, VirtualClock::now);
    // the group's last frame with the clock behind the group start
    VirtualClock::now -= 1000;
    controlFPS();
    EXPECT_EQ(skipFrame, 0);
    EXPECT_EQ(cntFrames, 0);
    // and pacing resumes from the new time
    Uint32 before = VirtualClock::now;
    controlFPS();
    EXPECT_EQ(VirtualClock::now, before + 17);
}

TEST(Pacing, ASleepThatEndsBeforeItBeganEndsTheWait) {
    VirtualClock clock(100000);
    VirtualClock::overrunMs = -100; // every sleep moves the clock backwards
    initFPS();
    runFrames({0, 0, 0, 0});
    EXPECT_LE(VirtualClock::sleeps.size(), 8u);
}
