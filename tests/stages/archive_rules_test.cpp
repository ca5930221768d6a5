// The stages as the build packed them into data/maps.zda: each keeps the rules of a stage
// the converter checks, matches its source, and loads in the game as it should. The title
// stage scrolls past monsters of every kind, and the test map of test mode is playable too.
#include "stage_kit.h"

#include "test_env.h"

#include "world/collision.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/stage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

std::string describe(const std::vector<StageProblem>& problems) {
    std::string s;
    for (const StageProblem& p : problems)
        s += "column " + std::to_string(p.column + 1) + ", row " + std::to_string(p.row + 1) +
             ": " + p.message + "\n";
    return s;
}

TEST(ArchivedStages, KeepTheRulesOfAStageMatchTheirSourcesAndLoadAsTheyShould) {
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
        if (stage == LEVEL_TITLE) continue;

        // loaded by name as the game loads it: the hero on ground, every ring counted, the
        // door shut
        ArchiveDir archives(std::string(TROBZ_BUILD_DIR) + "/data");
        prepareFirstAttempt(stage);
        Figure hero{};
        beginAttempt(&hero, levelNames[stage]);
        EXPECT_TRUE(hero.alive);
        EXPECT_TRUE(isSolidPos(hero.x, hero.y + CELL)) << "the hero starts in the air";
        EXPECT_EQ(stars0, int(std::count(grid.cells.begin(), grid.cells.end(), CELL_RING)));
        ASSERT_GE(door, 0);
        EXPECT_EQ(mapData[door], CELL_DOOR_SHUT_TL);
        EXPECT_EQ(mapData[door + MAP_ROWS + 1], CELL_DOOR_SHUT_BR);
    }
}

TEST(ArchivedStages, TheFeaturesComeInTurn) {
    // what each stage brings in, by the cells it uses
    const int introduced[][2] = {
        {1, CELL_RING},     {1, CELL_BONUS}, {2, CELL_BRICK},    {2, CELL_BUMP},
        {2, CELL_LIFE},     {3, CELL_PUSH},  {4, CELL_CRUMBLE},  {4, CELL_SPIKES},
        {4, CELL_TRAPDOOR}, {5, CELL_FLAG},  {5, CELL_ACIDFISH}, {6, CELL_PLATFORM},
        {7, CELL_MINE},     {7, CELL_SKULL},
    };
    const int monsters[] = {CELL_MASKY, CELL_BEETLE, CELL_WINGEDEYE, CELL_ACIDFISH, CELL_SKULL};
    for (int stage = 1; stage <= LAST_STAGE; stage++) {
        StageGrid grid = decodeOrFail(archivedStage(stage));
        auto count = [&](int cell) {
            return std::count(grid.cells.begin(), grid.cells.end(), cell);
        };
        auto has = [&](int cell) {
            return count(cell) > 0 || (cell == CELL_SKULL && count(CELL_SKULL2) > 0);
        };
        for (const auto& i : introduced) {
            EXPECT_TRUE(stage > i[0] || has(i[1]) == (stage == i[0]))
                << "cell " << i[1] << " in " << stageName(stage) << ", brought in by "
                << stageName(i[0]);
        }
        // the ninth stage's monster parade and the last stage have every kind
        int kinds = 0;
        for (int m : monsters)
            kinds += has(m);
        EXPECT_TRUE(stage < 9 || kinds == 5) << stageName(stage) << " has " << kinds;
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

TEST(TitleStage, ScrollsToItsEndPastEveryKindOfMonster) {
    ArchiveDir archives(std::string(TROBZ_BUILD_DIR) + "/data");
    prepareFirstAttempt(LEVEL_TITLE);
    Figure hero{};
    beginAttempt(&hero, levelNames[LEVEL_TITLE]);
    EXPECT_FALSE(hero.alive);
    std::set<int> seen;
    int frames = 0, emptyStretch = 0, longestEmpty = 0;
    // the title moves its view 1 px a frame, as the game's title screen does
    for (; step + appletWidth < mapLength * CELL - 1 && frames < 20000; frames++) {
        step++;
        tileScan(step + appletWidth + CELL);
        updateMonsters(&hero);
        int inView = 0;
        for (const Monster& m : monst)
            if (m.active) {
                seen.insert(m.kind);
                inView += m.x + CELL > step && m.x < step + appletWidth;
            }
        emptyStretch = inView ? 0 : emptyStretch + 1;
        longestEmpty = std::max(longestEmpty, emptyStretch);
    }
    EXPECT_GT(frames, 60 * 30) << "the title should take a while to scroll past";
    EXPECT_LT(frames, 20000);
    for (int kind :
         {MONSTER_MASKY, MONSTER_BEETLE, MONSTER_WINGEDEYE, MONSTER_ACIDFISH, MONSTER_SKULL})
        EXPECT_TRUE(seen.count(kind)) << "monster kind " << kind << " never shows";
    // never long without a monster in the picture
    EXPECT_LT(longestEmpty, 60 * 8);
    // at its end the view rests on monsters that keep walking in their pens
    for (int f = 0; f < 600; f++)
        updateMonsters(&hero);
    int walking = 0;
    for (const Monster& m : monst)
        walking += m.active && m.dx != 0 && m.x + CELL > step && m.x < step + appletWidth;
    EXPECT_GE(walking, 2);
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
