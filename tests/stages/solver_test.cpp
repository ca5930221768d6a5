// The solver on a small stage: it finds input that clears it (the replay it writes really
// does), from the start and from the checkpoint flag, and says why there is no answer.
#include "solver.h"
#include "stage_kit.h"

#include "sim/stagerun.h"
#include "world/figure.h"
#include "world/map.h"
#include "world/stage.h"

#include <gtest/gtest.h>

namespace {

// A pit to jump, a low brick ceiling to break through to a ring, a block to shove out of a
// low passage, the checkpoint flag with two rings behind it, and the door.
const std::vector<std::string> COURSE = {
    "..................................................",
    "..................................................",
    "..................................................",
    "..................................................",
    "..................................................",
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
    std::vector<uint8_t> bytes = testStage(COURSE);
    SolverResult r = solveStage(bytes, o);
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

    o.fromCheckpoint = true;
    r = solveStage(bytes, o);
    ASSERT_TRUE(r.cleared) << r.problem;
    EXPECT_EQ(r.rings, 2) << "the two rings left of the flag do not count after a restart there";
    // a flag in bytes after the cells is not on the map
    std::vector<std::string> noFlag = COURSE;
    noFlag[8][16] = '.';
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
