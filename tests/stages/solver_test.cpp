// The solver on small stages: it finds input that clears them (the replay it writes really
// does), names the rings no try could reach, and says why there is no answer.
#include "solver.h"
#include "stage_kit.h"

#include "world/figure.h"
#include "world/map.h"
#include "world/stage.h"
#include "world/stagerun.h"

#include <gtest/gtest.h>

namespace {

const char* const SYMBOLS = "symbol . 0\nsymbol @ 65\nsymbol o 41\nsymbol [ 27\nsymbol ] 28\n"
                            "symbol { 47\nsymbol } 48\nsymbol B 40\nsymbol X 25\nsymbol m 9\n"
                            "symbol ! 17\nsymbol - 66\nsymbol = 131\nsymbol # 133\n";

std::vector<uint8_t> stageOf(const std::vector<std::string>& rows) {
    Compiled c = compileWith(SYMBOLS, formatStageSource("", rows), true);
    EXPECT_TRUE(c.ok) << (c.errors.empty() ? "" : c.errors[0]);
    return encodeStage(c.grid);
}

SolverOptions quick(int stage = 1) {
    SolverOptions o;
    o.stage = stage;
    o.beam = 200;
    o.seconds = 60;
    return o;
}

StageResult replay(const std::vector<uint8_t>& bytes, const Replay& r, int stage = 1) {
    prepareFirstAttempt(stage);
    Figure hero{};
    EXPECT_TRUE(beginAttemptFromBytes(&hero, bytes.data(), int(bytes.size())));
    return playReplay(&hero, r, nullptr, nullptr);
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
    std::vector<uint8_t> bytes = stageOf(COURSE);
    SolverResult r = solveStage(bytes, quick());
    ASSERT_TRUE(r.cleared) << r.problem;
    EXPECT_EQ(r.rings, 4);
    EXPECT_EQ(r.bestRings, 4);
    EXPECT_TRUE(r.unreached.empty());
    EXPECT_GE(r.frames, (49 - 1) * 16 / 2); // the walk to the door at 2 px a frame
    EXPECT_EQ(r.timeLeft, 9000 - r.frames);
    StageResult played = replay(bytes, r.replay);
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
    std::vector<uint8_t> bytes = stageOf(rows);
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
    std::vector<uint8_t> bytes = stageOf(rows);
    SolverOptions o = quick();
    o.fromCheckpoint = true;
    SolverResult r = solveStage(bytes, o);
    ASSERT_TRUE(r.cleared) << r.problem;
    // the two rings left of the flag do not count after a restart there
    EXPECT_EQ(r.rings, 2);

    SolverOptions none = quick();
    none.fromCheckpoint = true;
    SolverResult missing = solveStage(stageOf(COURSE), none);
    EXPECT_FALSE(missing.cleared);
    EXPECT_EQ(missing.problem, "the stage has no checkpoint flag");
}

TEST(Solver, SaysWhyAMapCannotBeSolved) {
    SolverResult r = solveStage({1, 2, 3}, quick());
    EXPECT_FALSE(r.cleared);
    EXPECT_EQ(r.problem, "the bytes are not a stage the game can load");

    // a clock too short for the walk
    SolverOptions o = quick();
    o.maxFrames = 120;
    r = solveStage(stageOf(COURSE), o);
    EXPECT_FALSE(r.cleared);
    EXPECT_EQ(r.problem, "the clock runs out before the stage is cleared");
}

} // namespace
