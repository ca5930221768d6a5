// The stages as the build packed them into data/maps.zda: each keeps the rules of a stage
// the converter checks and matches its source, the first one teaches the jump, and the test
// map of test mode is playable too. That every stage can be cleared is the replays' job.
#include "stage_kit.h"

#include "test_env.h"

#include "world/collision.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/stage.h"

#include <gtest/gtest.h>

namespace {

std::string describe(const std::vector<StageProblem>& problems) {
    std::string s;
    for (const StageProblem& p : problems)
        s += "column " + std::to_string(p.column + 1) + ", row " + std::to_string(p.row + 1) +
             ": " + p.message + "\n";
    return s;
}

TEST(ArchivedStages, KeepTheRulesOfAStageAndMatchTheirSources) {
    for (int stage = 0; stage <= LAST_STAGE; stage++) {
        SCOPED_TRACE(stageName(stage));
        std::vector<uint8_t> bytes = archivedStage(stage);
        ASSERT_FALSE(bytes.empty());
        StageGrid grid = decodeOrFail(bytes);
        EXPECT_GE(grid.columns, 100);
        std::vector<StageProblem> problems = checkStage(grid, stage > 0);
        EXPECT_TRUE(problems.empty()) << describe(problems);

        std::string text, error;
        ASSERT_TRUE(readTextFile(stageSourcePath(stage), &text, &error)) << error;
        StageSource source;
        StageGrid compiled;
        std::vector<std::string> errors;
        EXPECT_TRUE(compileStage(text, stageSourcePath(stage), sourceLegend(), stage > 0, &source,
                                 &compiled, &errors))
            << (errors.empty() ? "" : errors[0]);
        EXPECT_EQ(encodeStage(compiled), bytes) << "the archive is older than the source";
    }
}

// The first stage teaches: a jump over a gap of three cells or less, from and onto ground at
// least three cells wide, lands from any take-off in the last 26 frames before the edge.
TEST(ArchivedStages, TheFirstStageHasNoWideGapAndNoNarrowFoothold) {
    StageGrid grid = decodeOrFail(archivedStage(1));
    auto solid = [&](int c, int r) {
        return c < grid.columns && r >= 0 && isSolidBlock(grid.at(c, r));
    };
    int widestGap = 0, gapEnd = 0, narrowest = grid.columns, narrowCol = 0, narrowRow = 0;
    for (int c = 0, gap = 0; c < grid.columns; c++) {
        gap = solid(c, MAP_ROWS - 1) ? 0 : gap + 1;
        if (gap > widestGap) widestGap = gap, gapEnd = c;
    }
    // a foothold: solid cells side by side in a row with room above them
    for (int r = 0; r < MAP_ROWS; r++)
        for (int c = 0, run = 0; c <= grid.columns; c++) {
            if (solid(c, r) && !solid(c, r - 1)) {
                run++;
            } else if (run > 0) {
                if (run < narrowest) narrowest = run, narrowCol = c - run, narrowRow = r;
                run = 0;
            }
        }
    // counted from 1, as the stage tools print them
    EXPECT_LE(widestGap, 3) << "a gap of " << widestGap << " ending at column " << gapEnd + 1;
    EXPECT_GE(narrowest, 3) << "a foothold of " << narrowest << " at column " << narrowCol + 1
                            << ", row " << narrowRow + 1;
}

TEST(TestMap, IsBuiltAsAPlayableStage) {
    std::string file = readWholeFile(std::string(TROBZ_BUILD_DIR) + "/maps/test.bin");
    std::vector<uint8_t> bytes(file.begin(), file.end());
    std::vector<StageProblem> problems = checkStage(decodeOrFail(bytes), true);
    EXPECT_TRUE(problems.empty()) << describe(problems);
    prepareFirstAttempt(LEVEL_TEST);
    Figure hero{};
    ASSERT_TRUE(beginAttemptFromBytes(&hero, bytes.data(), int(bytes.size())));
    EXPECT_TRUE(hero.alive);
    EXPECT_GT(stars0, 0);
}

} // namespace
