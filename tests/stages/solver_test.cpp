// The solver on small stages: it finds input that clears them (the replay it writes really
// does), names the rings no try could reach, and says why there is no answer.
#include "solver.h"
#include "stage_kit.h"

#include "sim/stagerun.h"
#include "world/figure.h"
#include "world/map.h"
#include "world/stage.h"

#include <gtest/gtest.h>

namespace {

SolverOptions quick() {
    SolverOptions o;
    o.beam = 200;
    o.seconds = 60;
    return o;
}

// A pit to jump, a low brick ceiling to break through to a ring, a block to shove out of a
// low passage, and the door.
const std::vector<std::string> COURSE = {
    "..................................................",
    "..................................................",
    "..................................................",
    "..................................................",
    "..................................................",
    "........................................o.........",
    "............o.....................................",
    ".....o....##BB##..............#######...........[]",
    ".@.................o............X...............{}",
    "=======....=======================================",
    "#######....#######################################",
    "##################################################",
};

TEST(Solver, ClearsAStageAndItsReplayDoesToo) {
    std::vector<uint8_t> bytes = testStage(COURSE);
    SolverResult r = solveStage(bytes, quick());
    ASSERT_TRUE(r.cleared) << r.problem;
    EXPECT_EQ(r.rings, 4);
    EXPECT_EQ(r.bestRings, 4);
    EXPECT_TRUE(r.unreached.empty());
    EXPECT_GE(r.frames, (49 - 1) * 16 / 2); // the walk to the door at 2 px a frame
    EXPECT_EQ(r.timeLeft, 9000 - r.frames);
    prepareFirstAttempt(1);
    Figure hero{};
    ASSERT_TRUE(beginAttemptFromBytes(&hero, bytes.data(), int(bytes.size())));
    StageResult played = playReplay(&hero, r.replay, nullptr, nullptr);
    EXPECT_EQ(played.outcome, STAGE_CLEARED) << played.message;
    EXPECT_EQ(played.frame, r.frames);
    EXPECT_EQ(played.rings, 0);
}

TEST(Solver, NamesTheRingsNoTryReaches) {
    std::vector<std::string> rows = COURSE;
    // a ring sealed in rock, and one on a pillar far too high to jump to
    rows[2] = "......................###.........................";
    rows[3] = "......................#o#............o............";
    rows[4] = "......................###............#............";
    rows[5] = "....................................##............";
    rows[6] = "....................................##............";
    std::vector<uint8_t> bytes = testStage(rows);
    SolverOptions o = quick();
    o.seconds = 5;
    SolverResult r = solveStage(bytes, o);
    EXPECT_FALSE(r.cleared);
    EXPECT_FALSE(r.problem.empty());
    bool sealed = false;
    for (const RingCell& g : r.unreached)
        sealed |= g.column == 23 && g.row == 3;
    EXPECT_TRUE(sealed) << "the sealed ring is not reported";
    EXPECT_LT(r.bestRings, r.rings);
    // its furthest try is handed back to look at
    EXPECT_GT(r.replay.totalFrames, 0);
}

TEST(Solver, StartsAtTheCheckpointWhenAsked) {
    std::vector<std::string> rows = COURSE;
    rows[8][16] = '!';
    SolverOptions o = quick();
    o.fromCheckpoint = true;
    SolverResult r = solveStage(testStage(rows), o);
    ASSERT_TRUE(r.cleared) << r.problem;
    EXPECT_EQ(r.rings, 2) << "the two rings left of the flag do not count after a restart there";
}

TEST(Solver, SaysWhyAMapCannotBeSolved) {
    SolverOptions atFlag = quick(), shortClock = quick();
    atFlag.fromCheckpoint = true;
    shortClock.maxFrames = 120;
    // a flag in bytes after the cells is not on the map
    std::vector<uint8_t> flagAfter = testStage(COURSE);
    flagAfter.push_back(CELL_FLAG);
    const struct {
        std::vector<uint8_t> bytes;
        SolverOptions options;
        const char* problem;
    } cases[] = {
        {{1, 2, 3}, quick(), "the bytes are not a stage the game can load"},
        {testStage(COURSE), atFlag, "the stage has no checkpoint flag"},
        {flagAfter, atFlag, "the stage has no checkpoint flag"},
        {testStage(COURSE), shortClock, "the clock runs out before the stage is cleared"},
    };
    for (const auto& c : cases) {
        SolverResult r = solveStage(c.bytes, c.options);
        EXPECT_FALSE(r.cleared);
        EXPECT_EQ(r.problem, c.problem);
    }
}

} // namespace
