// The stages as the build packed them into data/maps.zda: each keeps the rules of a stage
// the converter checks, matches its source, and loads in the game as it should. The title
// stage scrolls past monsters of every kind, and the test map of test mode is playable too.
#include "stage_kit.h"

#include "test_env.h"

#include "world/collision.h"
#include "world/figure.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/stage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

namespace {

StageGrid decodeOrFail(const std::vector<uint8_t>& bytes) {
    StageGrid grid;
    std::string error;
    EXPECT_TRUE(decodeStage(bytes.data(), bytes.size(), &grid, &error)) << error;
    return grid;
}

std::string describe(const std::vector<StageProblem>& problems) {
    std::string s;
    for (const StageProblem& p : problems)
        s += "column " + std::to_string(p.column + 1) + ", row " + std::to_string(p.row + 1) +
             ": " + p.message + "\n";
    return s;
}

TEST(ArchivedStages, EveryStageKeepsTheRulesOfAStage) {
    for (int stage = 0; stage <= LAST_STAGE; stage++) {
        SCOPED_TRACE(stageName(stage));
        std::vector<uint8_t> bytes = archivedStage(stage);
        ASSERT_FALSE(bytes.empty());
        StageGrid grid = decodeOrFail(bytes);
        EXPECT_GE(grid.columns, 100);
        EXPECT_LE(grid.columns, STAGE_MAX_COLUMNS);
        std::vector<StageProblem> problems = checkStage(grid, stage > 0);
        EXPECT_TRUE(problems.empty()) << describe(problems);
    }
}

TEST(ArchivedStages, MatchTheirSources) {
    for (int stage = 0; stage <= LAST_STAGE; stage++) {
        SCOPED_TRACE(stageName(stage));
        std::string text, error;
        ASSERT_TRUE(readTextFile(stageSourcePath(stage), &text, &error)) << error;
        StageSource source;
        StageGrid grid;
        std::vector<std::string> errors;
        ASSERT_TRUE(compileStage(text, stageSourcePath(stage), sourceLegend(), stage > 0, &source,
                                 &grid, &errors))
            << (errors.empty() ? "" : errors[0]);
        EXPECT_EQ(encodeStage(grid), archivedStage(stage));
    }
}

TEST(ArchivedStages, LoadWithTheHeroOnGroundAndTheDoorShut) {
    for (int stage = FIRST_STAGE; stage <= LAST_STAGE; stage++) {
        SCOPED_TRACE(stageName(stage));
        StageGrid grid = decodeOrFail(archivedStage(stage));
        int rings = 0;
        for (uint8_t v : grid.cells)
            rings += v == CELL_RING;
        // loaded by name, as the game loads it
        ArchiveDir archives(std::string(TROBZ_BUILD_DIR) + "/data");
        prepareFirstAttempt(stage);
        Figure hero{};
        beginAttempt(&hero, levelNames[stage]);
        EXPECT_TRUE(hero.alive);
        EXPECT_TRUE(isSolidPos(hero.x, hero.y + CELL)) << "the hero starts in the air";
        EXPECT_EQ(stars0, rings);
        ASSERT_GE(door, 0);
        EXPECT_EQ(mapData[door], CELL_DOOR_SHUT_TL);
        EXPECT_EQ(mapData[door + MAP_ROWS + 1], CELL_DOOR_SHUT_BR);
    }
}

// Kinds of monster markers in a stage.
std::set<int> monsterKinds(const StageGrid& grid) {
    std::set<int> kinds;
    for (uint8_t v : grid.cells) {
        if (v == CELL_MASKY) kinds.insert(MONSTER_MASKY);
        if (v == CELL_BEETLE) kinds.insert(MONSTER_BEETLE);
        if (v == CELL_WINGEDEYE) kinds.insert(MONSTER_WINGEDEYE);
        if (v == CELL_ACIDFISH) kinds.insert(MONSTER_ACIDFISH);
        if (v == CELL_SKULL || v == CELL_SKULL2) kinds.insert(MONSTER_SKULL);
    }
    return kinds;
}

TEST(ArchivedStages, TheFeaturesComeInTurn) {
    // what each stage brings in, by the cells it uses
    const struct {
        int stage;
        int cell;
    } introduced[] = {
        {1, CELL_RING},     {1, CELL_BONUS}, {2, CELL_BRICK},    {2, CELL_BUMP},
        {2, CELL_LIFE},     {3, CELL_PUSH},  {4, CELL_CRUMBLE},  {4, CELL_SPIKES},
        {4, CELL_TRAPDOOR}, {5, CELL_FLAG},  {5, CELL_ACIDFISH}, {6, CELL_PLATFORM},
        {7, CELL_MINE},     {7, CELL_SKULL},
    };
    for (const auto& i : introduced) {
        for (int stage = FIRST_STAGE; stage <= LAST_STAGE; stage++) {
            StageGrid grid = decodeOrFail(archivedStage(stage));
            int c, r;
            bool has = findCell(grid, i.cell, &c, &r);
            if (stage < i.stage) {
                EXPECT_FALSE(has) << "cell " << i.cell << " turns up in " << stageName(stage)
                                  << ", before " << stageName(i.stage) << " brings it in";
            } else if (stage == i.stage) {
                EXPECT_TRUE(has) << stageName(stage) << " should bring in cell " << i.cell;
            }
        }
    }
    // the last two stages and the ninth's monster parade
    EXPECT_EQ(monsterKinds(decodeOrFail(archivedStage(9))).size(), 5u);
    EXPECT_EQ(monsterKinds(decodeOrFail(archivedStage(10))).size(), 5u);
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
    std::ifstream f(std::string(TROBZ_BUILD_DIR) + "/maps/test.bin", std::ios::binary);
    ASSERT_TRUE(f) << "maps/test.bin is not in the build directory";
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)),
                               std::istreambuf_iterator<char>());
    StageGrid grid = decodeOrFail(bytes);
    std::vector<StageProblem> problems = checkStage(grid, true);
    EXPECT_TRUE(problems.empty()) << describe(problems);
    prepareFirstAttempt(LEVEL_TEST);
    Figure hero{};
    ASSERT_TRUE(beginAttemptFromBytes(&hero, bytes.data(), int(bytes.size())));
    EXPECT_TRUE(hero.alive);
    EXPECT_GT(stars0, 0);
}

} // namespace
