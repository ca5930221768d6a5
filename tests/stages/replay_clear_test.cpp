// Every stage is cleared by its replay: played through the stage runner from the stage's
// start, the hero reaches the open door alive with every ring taken, well before the clock
// runs out, and on the way he passes what the stage puts in his path. The stages with a
// checkpoint can also be cleared from it, as after a death past the flag.
#include "stage_kit.h"

#include "world/map.h"
#include "world/pickups.h"

#include <gtest/gtest.h>

namespace {

class StageReplay : public ::testing::TestWithParam<int> {};

Replay loadOrFail(const std::string& path) {
    Replay r;
    std::string error;
    EXPECT_TRUE(loadReplay(path.c_str(), &r, &error)) << error;
    return r;
}

int jumpPresses(const Replay& r) {
    int presses = 0;
    bool held = false;
    for (const ReplayRun& run : r.runs) {
        if (run.input.jump && !held) presses++;
        held = run.input.jump;
    }
    return presses;
}

TEST_P(StageReplay, ReachesTheOpenDoorWithEveryRingInTime) {
    const int stage = GetParam();
    Replay replay = loadOrFail(replayPath(stage));
    ASSERT_GT(replay.totalFrames, 0);
    Playthrough p = playStage(stage, replay);

    EXPECT_EQ(p.result.outcome, STAGE_CLEARED) << p.result.message;
    EXPECT_TRUE(p.alive);
    EXPECT_TRUE(p.madeIt);
    EXPECT_GT(p.rings, 0);
    EXPECT_EQ(p.result.rings, 0) << "rings left when the door was reached";
    EXPECT_EQ(p.doorOpenTL, CELL_DOOR_OPEN_TL);
    EXPECT_EQ(p.doorOpenBR, CELL_DOOR_OPEN_BR);
    // well inside the limit: a good player has time to spare
    EXPECT_GT(p.timeLeft, TIME_LIMIT / 3);
    EXPECT_LT(p.result.frame, TIME_LIMIT * 2 / 3);
}

TEST_P(StageReplay, ReallyCrossesTheStage) {
    const int stage = GetParam();
    Replay replay = loadOrFail(replayPath(stage));
    Playthrough p = playStage(stage, replay);
    ASSERT_GE(p.door, 0);
    // from the start to the door, which is near the far end of a stage of 100 columns or more
    const int doorX = (p.door / MAP_ROWS) * CELL;
    EXPECT_GE(mapLength, 100);
    EXPECT_GE(doorX - p.startx, (mapLength - 30) * CELL);
    EXPECT_GE(p.maxX, doorX);
    // at walking pace that distance takes this long; the replay also has to jump a lot
    EXPECT_GE(p.result.frame, (doorX - p.startx) / 2);
    EXPECT_GE(jumpPresses(replay), 10);
}

TEST_P(StageReplay, RunningRightAloneDoesNotClearIt) {
    const int stage = GetParam();
    Replay right;
    appendRun(&right, StageInput{0, 1, 0, 0}, TIME_LIMIT);
    Playthrough p = playStage(stage, right);
    EXPECT_NE(p.result.outcome, STAGE_CLEARED);
    EXPECT_FALSE(p.madeIt);
}

TEST_P(StageReplay, HalfTheReplayIsNotEnough) {
    const int stage = GetParam();
    Replay full = loadOrFail(replayPath(stage));
    Replay half;
    for (const ReplayRun& run : full.runs) {
        if (half.totalFrames >= full.totalFrames / 2) break;
        appendRun(&half, run.input, run.frames);
    }
    Playthrough p = playStage(stage, half);
    EXPECT_NE(p.result.outcome, STAGE_CLEARED);
}

INSTANTIATE_TEST_SUITE_P(Stages, StageReplay, ::testing::Range(FIRST_STAGE, LAST_STAGE + 1));

// The stages from the fifth on are long enough to need a checkpoint: each has one flag, the
// replay takes it on the way, and a restart there can still clear the stage with the rings
// from the flag on.
class CheckpointStage : public ::testing::TestWithParam<int> {};

TEST_P(CheckpointStage, TheReplayTakesTheFlag) {
    const int stage = GetParam();
    Playthrough p = playStage(stage, loadOrFail(replayPath(stage)));
    EXPECT_EQ(p.result.outcome, STAGE_CLEARED);
    EXPECT_TRUE(p.touchedFlag);
}

TEST_P(CheckpointStage, ARestartAtTheFlagCanStillBeCleared) {
    const int stage = GetParam();
    Playthrough first = playStage(stage, Replay());
    Playthrough p = playStage(stage, loadOrFail(replayPath(stage, true)), true);
    EXPECT_EQ(p.result.outcome, STAGE_CLEARED) << p.result.message;
    EXPECT_TRUE(p.madeIt);
    // the rings behind the flag do not count again
    EXPECT_GT(p.rings, 0);
    EXPECT_LT(p.rings, first.rings);
    EXPECT_GT(p.startx, first.startx);
    EXPECT_EQ(p.doorOpenTL, CELL_DOOR_OPEN_TL);
}

INSTANTIATE_TEST_SUITE_P(LaterStages, CheckpointStage, ::testing::Range(5, LAST_STAGE + 1));

} // namespace
