// Every stage is cleared by its replay: played through the stage runner from the stage's
// start, the hero reaches the open door alive with every ring taken, well before the clock
// runs out, and on the way he crosses what the stage puts in his path: running right alone
// or half the replay does not do. The stages from the fifth on need their checkpoint: the
// replay takes the flag, and a restart there can still clear the stage.
#include "test_env.h"

#include "data/archive.h"
#include "sim/stagerun.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/pickups.h"
#include "world/replay.h"
#include "world/stage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

std::string replayPath(int stage, bool fromCheckpoint) {
    char name[64];
    std::snprintf(name, sizeof name, "/assets/replays/trobz3%02d%s.txt", stage,
                  fromCheckpoint ? "-checkpoint" : "");
    return TROBZ_SOURCE_DIR + std::string(name);
}

Replay loadOrFail(const std::string& path) {
    Replay r;
    std::string error;
    EXPECT_TRUE(loadReplay(path.c_str(), &r, &error)) << error;
    return r;
}

// What an attempt played from a replay went through.
struct Playthrough {
    StageResult result;
    int startx = 0;                     // where the hero was placed
    int rings = 0;                      // rings that counted at the start
    int door = -1;                      // the door's top left cell
    int doorOpenTL = 0, doorOpenBR = 0; // the door's cells at the end
    int maxX = 0;                       // furthest the hero got
    bool touchedFlag = false;           // a checkpoint was taken on the way
    int timeLeft = 0;
    Figure hero{}; // as he ended
};

// Plays a stage of the built data/maps.zda, loaded by name as the game loads it, from its
// start (or from its checkpoint flag, as after a death past it) with the given input.
Playthrough playStage(int stage, const Replay& replay, bool fromCheckpoint = false) {
    Playthrough p;
    ArchiveDir archives(std::string(TROBZ_BUILD_DIR) + "/data");
    uint32_t size = 0;
    unsigned char* bytes = loadZDAFile(ZDA_MAPS, levelNames[stage], "bin", &size);
    EXPECT_NE(bytes, nullptr) << levelNames[stage] << " is not in data/maps.zda";
    if (!bytes) return p;
    const int flag = int(std::find(bytes + 2, bytes + size, CELL_FLAG) - (bytes + 2));
    std::free(bytes);
    prepareFirstAttempt(stage);
    if (fromCheckpoint) {
        EXPECT_LT(flag + 2, int(size)) << levelNames[stage] << " has no flag";
        startx = flag / MAP_ROWS * CELL;
        starty = flag % MAP_ROWS * CELL;
        startf = 1;
    }
    beginAttempt(&p.hero, levelNames[stage]);
    p.startx = p.maxX = p.hero.x;
    p.rings = stars0;
    p.door = door;
    p.result = playReplay(
        &p.hero, replay,
        [](int, Figure* figure, void* context) {
            Playthrough* p = static_cast<Playthrough*>(context);
            p->maxX = std::max(p->maxX, figure->x);
            p->touchedFlag |= checkpoint != 0;
        },
        &p);
    if (door >= 0) {
        p.doorOpenTL = mapData[door];
        p.doorOpenBR = mapData[door + MAP_ROWS + 1];
    }
    p.timeLeft = timeLeft;
    return p;
}

void expectCleared(const Playthrough& p) {
    EXPECT_EQ(p.result.outcome, STAGE_CLEARED) << p.result.message;
    EXPECT_TRUE(p.hero.alive && p.hero.madeIt);
    EXPECT_GT(p.rings, 0);
    EXPECT_EQ(p.result.rings, 0) << "rings left when the door was reached";
    EXPECT_EQ(p.doorOpenTL, CELL_DOOR_OPEN_TL);
    EXPECT_EQ(p.doorOpenBR, CELL_DOOR_OPEN_BR);
}

class StageReplay : public ::testing::TestWithParam<int> {};

TEST_P(StageReplay, ClearsTheStageInTimeAndReallyCrossesIt) {
    const int stage = GetParam();
    const Replay replay = loadOrFail(replayPath(stage, false));
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
    int jumps = 0;
    for (size_t i = 0; i < replay.runs.size(); i++)
        jumps += replay.runs[i].input.jump && (i == 0 || !replay.runs[i - 1].input.jump);
    EXPECT_GE(jumps, 10);

    Replay right, half;
    appendRun(&right, StageInput{0, 1, 0, 0}, TIME_LIMIT);
    for (size_t i = 0; i < replay.runs.size() && half.totalFrames < replay.totalFrames / 2; i++)
        appendRun(&half, replay.runs[i].input, replay.runs[i].frames);
    for (const Replay* r : {&right, &half}) {
        Playthrough q = playStage(stage, *r);
        EXPECT_NE(q.result.outcome, STAGE_CLEARED) << (r == &right ? "running right" : "half");
        EXPECT_FALSE(q.hero.madeIt);
    }

    if (stage < 5) return;
    // after a death past the flag: the rings behind it do not count again
    Playthrough restart = playStage(stage, loadOrFail(replayPath(stage, true)), true);
    expectCleared(restart);
    EXPECT_LT(restart.rings, p.rings);
    EXPECT_GT(restart.startx, p.startx);
}

INSTANTIATE_TEST_SUITE_P(Stages, StageReplay, ::testing::Range(1, LAST_LEVEL + 1));

} // namespace
