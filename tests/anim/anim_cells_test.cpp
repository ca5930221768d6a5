// The cell effects: each kind's exact sequence of cell values and frame counts, and how
// slots are taken, restarted and refused.
#include "../world/world_fixture.h"
#include "anim/anims.h"
#include "world/map.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int COL = 5, ROW = 7;

int cell(int c, int r) {
    return mapData[c * MAP_ROWS + r];
}
int under(int c, int r) {
    return mapOri[c * MAP_ROWS + r];
}

// A floor and one cell holding `value` at (COL, ROW).
void loadWith(int value) {
    TestMap m(24);
    m.fillRow(11, 21).set(COL, ROW, value);
    ASSERT_TRUE(loadTestMap(m));
}

struct CellRun {
    const char* name;
    int kind;
    int start;               // the cell before the effect
    std::vector<int> values; // the cell after each update; the slot ends on the last
};

std::vector<int> repeat(std::initializer_list<std::pair<int, int>> runs) {
    std::vector<int> out;
    for (auto [value, times] : runs)
        out.insert(out.end(), times, value);
    return out;
}

class CellEffect : public ::testing::TestWithParam<CellRun> {};

TEST_P(CellEffect, ShowsEveryValueForItsFramesAndEndsOnTheLast) {
    const CellRun& run = GetParam();
    loadWith(run.start);
    Figure hero{};
    // any pixel of the cell names the cell
    ASSERT_EQ(startAnim(COL * 16 + 15, ROW * 16 + 3, run.kind), 1);
    EXPECT_EQ(aos[0].x, COL);
    EXPECT_EQ(aos[0].y, ROW);
    for (size_t i = 0; i < run.values.size(); i++) {
        updateAnims(&hero);
        ASSERT_EQ(cell(COL, ROW), run.values[i]) << "after update " << i + 1;
        bool last = i + 1 == run.values.size();
        ASSERT_EQ(aos[0].active, last ? 0 : 1) << "after update " << i + 1;
    }
    // a finished effect is a permanent change: the map under push blocks has it too
    EXPECT_EQ(under(COL, ROW), run.values.back());
    // the neighbours were never touched
    EXPECT_EQ(cell(COL, ROW - 1), 0);
    EXPECT_EQ(cell(COL, ROW + 1), 0);
    EXPECT_EQ(cell(COL + 1, ROW), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CellEffect,
    ::testing::Values(
        CellRun{"brick", ANIM_BRICK, 40, repeat({{200, 8}, {201, 8}, {202, 8}, {203, 8}, {0, 9}})},
        CellRun{"crumble", ANIM_CRUMBLE, 22,
                repeat({{180, 8}, {181, 8}, {182, 8}, {183, 8}, {0, 9}})},
        CellRun{"trap", ANIM_TRAP, 86, repeat({{87, 4}, {105, 3}})},
        CellRun{"shine", ANIM_SHINE, 20, repeat({{80, 2}, {100, 2}, {120, 2}, {20, 3}})},
        CellRun{"trapdoor", ANIM_TRAPDOOR, 88, repeat({{89, 4}, {69, 1}})},
        CellRun{"flag", ANIM_FLAG, 17, repeat({{17, 6}, {18, 6}, {19, 4}})},
        CellRun{"pickup", ANIM_PICKUP, 41, repeat({{0, 1}})},
        CellRun{"mine", ANIM_EXPLODE, 140, repeat({{85, 32}})}),
    [](const ::testing::TestParamInfo<CellRun>& info) { return std::string(info.param.name); });

TEST(AnimSlots, TakeTheLowestFreeSlotAndReportIt) {
    loadWith(40);
    EXPECT_EQ(startAnim(16, 16, ANIM_BRICK), 1);
    EXPECT_EQ(startAnim(48, 16, ANIM_BRICK), 1);
    EXPECT_EQ(aos[1].x, 3);
    aos[0].active = 0;
    EXPECT_EQ(startAnim(80, 160, ANIM_SHINE), 1);
    EXPECT_EQ(aos[0].x, 5);
    EXPECT_EQ(aos[0].y, 10);
    EXPECT_EQ(aos[0].kind, ANIM_SHINE);
}

TEST(AnimSlots, SameSpotRestartsTheRunningEffectAndReportsNothingNew) {
    loadWith(40);
    Figure hero{};
    startAnim(16, 16, ANIM_PICKUP);
    ASSERT_EQ(startAnim(COL * 16, ROW * 16, ANIM_BRICK), 1);
    for (int i = 0; i < 10; i++)
        updateAnims(&hero);
    ASSERT_EQ(aos[1].count, 10);
    EXPECT_EQ(startAnim(COL * 16 + 9, ROW * 16 + 9, ANIM_SHINE), 0);
    EXPECT_EQ(aos[1].kind, ANIM_SHINE);
    EXPECT_EQ(aos[1].count, 0);
    EXPECT_EQ(aos[1].active, 1);
    EXPECT_EQ(aos[2].active, 0) << "no second slot for the same cell";
}

TEST(AnimSlots, AFinishedEffectDoesNotCountAsRunning) {
    loadWith(41);
    Figure hero{};
    ASSERT_EQ(startAnim(COL * 16, ROW * 16, ANIM_PICKUP), 1);
    updateAnims(&hero);
    ASSERT_EQ(aos[0].active, 0);
    EXPECT_EQ(startAnim(COL * 16, ROW * 16, ANIM_PICKUP), 1);
}

TEST(AnimSlots, FullTableRefusesAndChangesNothing) {
    loadWith(41);
    fillAnimSlots();
    AnimObject before[MAX_ANIMS];
    std::copy(aos, aos + MAX_ANIMS, before);
    EXPECT_EQ(startAnim(COL * 16, ROW * 16, ANIM_PICKUP), 0);
    for (int i = 0; i < MAX_ANIMS; i++) {
        EXPECT_EQ(aos[i].kind, before[i].kind);
        EXPECT_EQ(aos[i].x, before[i].x);
        EXPECT_EQ(aos[i].count, before[i].count);
    }
    Figure hero{};
    updateAnims(&hero);
    EXPECT_EQ(cell(COL, ROW), 41) << "the ring stays for a later touch";
}

TEST(AnimSlots, DeathsKeepPixelsAndCellsRoundTowardMinusInfinity) {
    loadWith(0);
    startAnim(37, 50, ANIM_DEATH_DEAD);
    EXPECT_EQ(aos[0].x, 37);
    EXPECT_EQ(aos[0].y, 50);
    startAnim(-1, -17, ANIM_BRICK);
    EXPECT_EQ(aos[1].x, -1);
    EXPECT_EQ(aos[1].y, -2);
}

TEST(AnimSlots, EffectsOutsideTheMapChangeNoCell) {
    TestMap m(24);
    m.fillRow(11, 21).fillRow(0, 40);
    ASSERT_TRUE(loadTestMap(m));
    std::vector<int> before(mapData, mapData + mapLength * MAP_ROWS);
    Figure hero{};
    startAnim(-1, 0, ANIM_BRICK);                  // left of the map
    startAnim(mapLength * 16, 0, ANIM_BRICK);      // right of it
    startAnim(16, -1, ANIM_BRICK);                 // above
    startAnim(16, 192, ANIM_BRICK);                // below
    startAnim(mapLength * 16 - 1, 200, ANIM_TRAP); // below the last column
    for (int i = 0; i < 50; i++)
        updateAnims(&hero);
    EXPECT_EQ(std::vector<int>(mapData, mapData + mapLength * MAP_ROWS), before);
}

} // namespace
