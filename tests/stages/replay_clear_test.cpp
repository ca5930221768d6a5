// Every stage is cleared by its replay: played through the stage runner from the stage's
// start, the hero reaches the open door alive with every ring taken, well before the clock
// runs out, and on the way he crosses what the stage puts in his path: running right alone
// or half the replay does not do. The stages from the fifth on need their checkpoint: the
// replay takes the flag, and a restart there can still clear the stage.
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
        presses += run.input.jump && !held;
        held = run.input.jump;
    }
    return presses;
}

void expectCleared(const Playthrough& p) {
    EXPECT_EQ(p.result.outcome, STAGE_CLEARED) << p.result.message;
    EXPECT_TRUE(p.alive && p.madeIt);
    EXPECT_GT(p.rings, 0);
    EXPECT_EQ(p.result.rings, 0) << "rings left when the door was reached";
    EXPECT_EQ(p.doorOpenTL, CELL_DOOR_OPEN_TL);
    EXPECT_EQ(p.doorOpenBR, CELL_DOOR_OPEN_BR);
}

TEST_P(StageReplay, ClearsTheStageInTimeAndReallyCrossesIt) {
    const int stage = GetParam();
    const Replay replay = loadOrFail(replayPath(stage));
    ASSERT_GT(replay.totalFrames, 0);
    Playthrough p = playStage(stage, replay);
    expectCleared(p);
    // well inside the limit: a good player has time to spare
    EXPECT_GT(p.timeLeft, TIME_LIMIT / 3);
    EXPECT_LT(p.result.frame, TIME_LIMIT * 2 / 3);
    EXPECT_EQ(p.touchedFlag, stage >= 5) << "the later stages need their checkpoint";

    // from the start to the door, near the far end of a stage of 100 columns or more, at no
    // more than walking pace and with plenty of jumps
    ASSERT_GE(p.door, 0);
    const int doorX = (p.door / MAP_ROWS) * CELL;
    EXPECT_GE(mapLength, 100);
    EXPECT_GE(doorX - p.startx, (mapLength - 30) * CELL);
    EXPECT_GE(p.maxX, doorX);
    EXPECT_GE(p.result.frame, (doorX - p.startx) / 2);
    EXPECT_GE(jumpPresses(replay), 10);

    Replay right, half;
    appendRun(&right, StageInput{0, 1, 0, 0}, TIME_LIMIT);
    for (size_t i = 0; i < replay.runs.size() && half.totalFrames < replay.totalFrames / 2; i++)
        appendRun(&half, replay.runs[i].input, replay.runs[i].frames);
    for (const Replay* r : {&right, &half}) {
        Playthrough q = playStage(stage, *r);
        EXPECT_NE(q.result.outcome, STAGE_CLEARED) << (r == &right ? "running right" : "half");
        EXPECT_FALSE(q.madeIt);
    }

    if (stage < 5) return;
    // after a death past the flag: the rings behind it do not count again
    Playthrough restart = playStage(stage, loadOrFail(replayPath(stage, true)), true);
    expectCleared(restart);
    EXPECT_LT(restart.rings, p.rings);
    EXPECT_GT(restart.startx, p.startx);
}

INSTANTIATE_TEST_SUITE_P(Stages, StageReplay, ::testing::Range(1, LAST_STAGE + 1));

} // namespace
