// The solver on small stages: the world of an attempt saved and restored, as it does from
// every state it tries, plays on exactly as it went the first time; and it finds input that
// clears a stage (the replay it writes really does), from the start and from the checkpoint
// flag, and says why there is no answer.
#include "solver.h"
#include "stage_kit.h"

#include "anim/anims.h"
#include "sim/snapshot.h"
#include "sim/stagerun.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/pickups.h"
#include "world/stage.h"

#include <gtest/gtest.h>

namespace {

// A short stage with a brick to break, a ring, a push block, a MASKY and a lift, crossed
// running right with a jump every so often: it breaks the brick, pushes the block, meets the
// MASKY. The world saved on the way and restored goes on as it went the first time.
TEST(SavedWorld, PlayAfterARestoreGoesAsItDidBefore) {
    const std::vector<uint8_t> bytes = testStage({
        "......B.........................",
        "................................",
        "...................-............",
        "..........o.....................",
        ".@......X.......m..........[]...",
        "...........................{}...",
        "================================",
        "################################",
    });
    prepareFirstAttempt(1);
    Figure hero{};
    ASSERT_TRUE(beginAttemptFromBytes(&hero, bytes.data(), int(bytes.size())));
    int splash = 0;
    auto play = [&](int f) { stageFrame(&hero, StageInput{0, 1, (f / 12) % 3 == 0, 0}, &splash); };
    // everything that play changes, as one string to compare
    auto worldState = [&hero] {
        std::string s;
        auto add = [&s](int v) { s += std::to_string(v) + ","; };
        for (int i = 0; i < mapLength * MAP_ROWS; i++)
            add(mapData[i]), add(mapOri[i]);
        for (const Monster& m : monst)
            for (int v : {m.x, m.y, m.dx, m.fall, m.timer, m.kind, m.active})
                add(v);
        for (const AnimObject& a : aos)
            for (int v : {a.x, a.y, a.count, a.kind, a.active})
                add(v);
        for (int i = 0; i < pcount; i++)
            add(platforms[i].y), add(platforms[i].dy);
        for (int v : {hero.x, hero.y, hero.vy, hero.sprite, hero.alive, hero.platform, stars, score,
                      timeLeft, airLeft, step, pushForce, last_left, last_right, checkpoint})
            add(v);
        return s;
    };
    for (int f = 0; f < 40; f++)
        play(f);
    WorldSnapshot saved;
    saveWorld(&saved, &hero, splash);
    const std::string atSave = worldState();
    std::vector<std::string> first;
    for (int f = 40; f < 160; f++) {
        play(f);
        first.push_back(worldState());
    }
    ASSERT_NE(first.back(), atSave) << "the world should have moved on";
    ASSERT_TRUE(restoreWorld(saved, &hero, &splash));
    EXPECT_EQ(worldState(), atSave);
    for (int f = 40; f < 160; f++) {
        play(f);
        ASSERT_EQ(worldState(), first[size_t(f - 40)]) << "differs at frame " << f;
    }
}

// The bottom of a stage: a pit to jump, a low brick ceiling to break through to a ring, a
// block to shove out of a low passage, the checkpoint flag with two rings behind it, and the
// door.
const std::vector<std::string> COURSE = {
    "........................................o.........",
    "............o.....................................",
    ".....o....##BB##..............#######...........[]",
    ".@..............!..o............X...............{}",
    "=======....=======================================",
    "#######....#######################################",
    "##################################################",
};

TEST(Solver, ClearsAStageFromItsStartAndItsFlagAndSaysWhyNot) {
    SolverOptions o;
    o.beam = 200;
    o.seconds = 60;
    o.stepFrames = 5; // the clear comes inside a step, not at its end
    std::vector<uint8_t> bytes = testStage(COURSE);
    SolverResult r = solveStage(bytes, o);
    ASSERT_TRUE(r.cleared) << r.problem;
    EXPECT_EQ(r.rings, 4);
    EXPECT_EQ(r.bestRings, 4);
    EXPECT_TRUE(r.unreached.empty());
    EXPECT_GE(r.frames, (49 - 1) * 16 / 2); // the walk to the door at 2 px a frame
    EXPECT_EQ(r.timeLeft, 9000 - r.frames);
    EXPECT_EQ(r.replay.totalFrames, r.frames) << "the replay ends on the frame of the clear";
    prepareFirstAttempt(1);
    Figure hero{};
    ASSERT_TRUE(beginAttemptFromBytes(&hero, bytes.data(), int(bytes.size())));
    StageResult played = playReplay(&hero, r.replay, nullptr, nullptr);
    EXPECT_EQ(played.outcome, STAGE_CLEARED) << played.message;
    EXPECT_EQ(played.frame, r.frames);
    EXPECT_EQ(played.rings, 0);

    o.fromCheckpoint = true;
    r = solveStage(bytes, o);
    ASSERT_TRUE(r.cleared) << r.problem;
    EXPECT_EQ(r.rings, 2) << "the two rings left of the flag do not count after a restart there";
    // a flag in bytes after the cells is not on the map
    std::vector<std::string> noFlag = COURSE;
    noFlag[3][16] = '.';
    bytes = testStage(noFlag);
    bytes.push_back(CELL_FLAG);
    r = solveStage(bytes, o);
    EXPECT_FALSE(r.cleared);
    EXPECT_EQ(r.problem, "the stage has no checkpoint flag");
    o.fromCheckpoint = false;
    o.maxFrames = 120;
    r = solveStage(bytes, o);
    EXPECT_FALSE(r.cleared);
    EXPECT_EQ(r.problem, "the clock runs out before the stage is cleared");
}

} // namespace
