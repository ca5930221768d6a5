// The cell effects: the mine's blast and the flag's rise frame by frame, each kind's first and
// last value, and how slots are taken, restarted and refused.
#include "../world/world_kit.h"
#include "world/map.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr int COL = 5, ROW = 7;

// A floor and one cell holding `value` at (COL, ROW).
void loadWith(int value) {
    ASSERT_TRUE(loadTestMap(TestMap(24).fillRow(11, 21).set(COL, ROW, value)));
}

TEST(CellEffect, AMineAndAFlagShowEachValueForItsFramesAndEndOnTheLast) {
    const struct {
        int kind, start;
        std::vector<std::pair<int, int>> run; // value, updates showing it
    } cases[] = {{ANIM_EXPLODE, 140, {{85, 32}}}, {ANIM_FLAG, 17, {{17, 6}, {18, 6}, {19, 4}}}};
    Figure hero{};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        loadWith(c.start);
        std::vector<int> values;
        for (auto [value, times] : c.run)
            values.insert(values.end(), times, value);
        ASSERT_EQ(startAnim(COL * 16 + 15, ROW * 16 + 3, c.kind), 1); // any pixel of the cell
        for (size_t i = 0; i < values.size(); i++) {
            updateAnims(&hero);
            ASSERT_EQ(cell(COL, ROW), values[i]) << "after update " << i + 1;
            ASSERT_EQ(aos[0].active, i + 1 < values.size()) << "after update " << i + 1;
        }
        EXPECT_EQ(under(COL, ROW), values.back()) << "a finished effect is a permanent change";
        EXPECT_EQ(cell(COL, ROW - 1) + cell(COL, ROW + 1) + cell(COL + 1, ROW), 0);
    }
}

TEST(AnimSlots, TheLowestFreeSlotIsTakenTheSameSpotRestartsAndAFullTableRefuses) {
    loadWith(40);
    Figure hero{};
    EXPECT_EQ(Ints({startAnim(16, 16, ANIM_BRICK), startAnim(COL * 16, ROW * 16, ANIM_BRICK)}),
              Ints({1, 1}));
    aos[0].active = 0;
    EXPECT_EQ(startAnim(80, 160, ANIM_PICKUP), 1);
    EXPECT_EQ(animAt(ANIM_PICKUP, 5, 10), &aos[0]);
    animFrames(&hero, 10);
    // another effect on the same cell restarts the running one in its slot; a finished
    // one no longer counts
    EXPECT_EQ(Ints({aos[0].active, aos[1].count}), Ints({0, 10}));
    EXPECT_EQ(startAnim(COL * 16 + 9, ROW * 16 + 9, ANIM_SHINE), 0);
    EXPECT_EQ(Ints({aos[1].kind, aos[1].count, activeAnims()}), Ints({ANIM_SHINE, 0, 1}));
    EXPECT_EQ(startAnim(80, 160, ANIM_PICKUP), 1);
    // deaths keep their pixel, cell effects round toward minus infinity
    startAnim(37, 50, ANIM_DEATH_DEAD);
    startAnim(-1, -17, ANIM_BRICK);
    EXPECT_NE(animAt(ANIM_DEATH_DEAD, 37, 50), nullptr);
    EXPECT_NE(animAt(ANIM_BRICK, -1, -2), nullptr);
    fillAnimSlots();
    AnimObject before[MAX_ANIMS];
    std::copy(aos, aos + MAX_ANIMS, before);
    EXPECT_EQ(startAnim(COL * 16, ROW * 16, ANIM_PICKUP), 0);
    EXPECT_EQ(std::memcmp(before, aos, sizeof aos), 0) << "nothing changed";
}

TEST(AnimSlots, ACountPutBackOutsideItsRunStillPicksAnEntryOfTheTable) {
    // a slot put back from a saved world, or set by hand, may hold any count: far past the
    // end it finishes on its last value, below zero it shows its first
    const struct {
        int kind, start, last, first;
    } cases[] = {{ANIM_BRICK, 40, 0, 200}, {ANIM_CRUMBLE, 22, 0, 180},  {ANIM_TRAP, 86, 105, 87},
                 {ANIM_SHINE, 20, 20, 80}, {ANIM_TRAPDOOR, 88, 69, 89}, {ANIM_FLAG, 17, 19, 17}};
    Figure hero{};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        loadWith(c.start);
        ASSERT_EQ(startAnim(COL * 16, ROW * 16, c.kind), 1);
        aos[0].count = 1000000;
        animFrames(&hero, 1);
        EXPECT_EQ(Ints({cell(COL, ROW), under(COL, ROW), aos[0].active}),
                  Ints({c.last, c.last, 0}));
        loadWith(c.start);
        ASSERT_EQ(startAnim(COL * 16, ROW * 16, c.kind), 1);
        aos[0].count = -1000000;
        animFrames(&hero, 1);
        EXPECT_EQ(Ints({cell(COL, ROW), aos[0].active}), Ints({c.first, 1}));
    }
}

} // namespace
