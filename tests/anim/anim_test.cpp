// The animations: the cell effects frame by frame and how their slots are taken, restarted
// and refused; the hero's death sequences; push blocks sliding, falling and settling.
#include "../world/world_kit.h"
#include "audio/sound.h"
#include "world/map.h"
#include "world/pickups.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr int COL = 5, ROW = 7;

// A floor and one cell holding `value` at (COL, ROW).
void loadWith(int value) {
    ASSERT_TRUE(loadTestMap(TestMap(24).floor().set(COL, ROW, value)));
}

TEST(CellEffect, AMineAndAFlagShowEachValueForItsFramesAndEndOnTheLast) {
    const struct {
        int kind, start;
        std::vector<std::pair<int, int>> run; // value, updates showing it
    } cases[] = {
        {ANIM_EXPLODE, CELL_MINE, {{85, 32}}},
        {ANIM_FLAG, CELL_FLAG, {{CELL_FLAG, 6}, {CELL_FLAG_RISING, 6}, {CELL_FLAG_UP, 4}}}};
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
    loadWith(CELL_BRICK);
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
    } cases[] = {{ANIM_BRICK, CELL_BRICK, 0, 200},
                 {ANIM_CRUMBLE, CELL_CRUMBLE, 0, 180},
                 {ANIM_TRAP, CELL_SPIKES_HIDDEN, CELL_SPIKES_UP, 87},
                 {ANIM_SHINE, CELL_BUMP, CELL_BUMP, 80},
                 {ANIM_TRAPDOOR, CELL_TRAPDOOR, 69, 89},
                 {ANIM_FLAG, CELL_FLAG, CELL_FLAG_UP, CELL_FLAG}};
    Figure hero{};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        Ints seen; // the cell, the map under it and the slot after one update
        for (int count : {1000000, -1000000}) {
            loadWith(c.start);
            ASSERT_EQ(startAnim(COL * 16, ROW * 16, c.kind), 1);
            aos[0].count = count;
            animFrames(&hero, 1);
            seen.insert(seen.end(), {cell(COL, ROW), under(COL, ROW), aos[0].active});
        }
        EXPECT_EQ(seen, Ints({c.last, c.last, 0, c.first, c.first, 1}));
    }
}

class DeathAnim : public ::testing::Test {
  protected:
    Figure hero{};
    void SetUp() override { ASSERT_TRUE(loadTestMap(TestMap(24).floor())); }
    // The hero as a fatal hit leaves it when the death has an animation.
    void dieWith(int kind) {
        clearAnims();
        hero = heroAt(100, 160);
        hero.dying = 1;
        hero.deathAnim = kind;
        ASSERT_EQ(startAnim(hero.x, hero.y, kind), 1);
    }
};

TEST_F(DeathAnim, EachDeathPlaysItsFramesThenReleasesTheHero) {
    const int cases[][2] = {{ANIM_DEATH_EXPLODE, 64},
                            {ANIM_DEATH_DEAD, 64},
                            {ANIM_DEATH_SLASH, 64},
                            {ANIM_DEATH_CRUSHED, 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        dieWith(c[0]);
        animFrames(&hero, c[1] - 1);
        EXPECT_EQ(Ints({aos[0].active, hero.deathAnim, hero.y}), Ints({1, c[0], 160}));
        animFrames(&hero, 1);
        EXPECT_EQ(Ints({aos[0].active, hero.deathAnim, hero.y}), Ints({0, 0, 1250}));
    }
}

TEST_F(DeathAnim, SuicideLoopsAndTheDrownedHeroFloatsUntilTheNextAttempt) {
    dieWith(ANIM_DEATH_SUICIDE);
    animFrames(&hero, 64);
    EXPECT_EQ(Ints({aos[0].count, hero.y}), Ints({23, 1250}));
    hero.y = 1400; // falling; a released hero is not pulled back
    animFrames(&hero, 41);
    EXPECT_EQ(Ints({aos[0].count, hero.y}), Ints({23, 1400})) << "it loops over 23 ... 63";
    animFrames(&hero, 1000);
    EXPECT_EQ(aos[0].active, 1);
    dieWith(ANIM_DEATH_DROWNED);
    animFrames(&hero, 63);
    EXPECT_EQ(aos[0].kind, ANIM_DEATH_DROWNED);
    animFrames(&hero, 1);
    EXPECT_EQ(Ints({aos[0].kind, aos[0].count, aos[0].x, hero.deathAnim, hero.y}),
              Ints({ANIM_DROWNED_FLOAT, 0, 100, 0, 1250}))
        << "floating where the hero drowned";
    animFrames(&hero, 5000);
    EXPECT_NE(animAt(ANIM_DROWNED_FLOAT, 100, 160), nullptr);
}

class PushBlock : public FlatArtTest {
  protected:
    Figure hero{};
    SoundProbe sounds;
    // A floor on row 11 and the cells given as {column, row, value}.
    void load(std::initializer_list<std::array<int, 3>> cells) {
        TestMap m(24);
        m.floor();
        for (const auto& c : cells)
            m.set(c[0], c[1], c[2]);
        ASSERT_TRUE(loadTestMap(m));
    }
    void frames(int n) { animFrames(&hero, n); }
};

TEST_F(PushBlock, SlidesInFourFramesThroughReservedCellsAndUncoversWhatLayUnder) {
    load({{5, 10, CELL_PUSH}, {4, 10, CELL_WATER}});
    ASSERT_EQ(startAnim(5 * 16, 10 * 16, ANIM_PUSH_LEFT), 1);
    frames(3);
    // drawn 4 pixels further left each frame, over the water of the cell it enters; the
    // cell it leaves held only the block
    clearScreen(markColour());
    drawAnimations();
    const int y = 10 * 16 + 8;
    EXPECT_EQ(tilesAlong(y, {67, 68, 83, 84}), Ints({CELL_WATER, CELL_PUSH, CELL_PUSH, -1}));
    frames(1);
    EXPECT_EQ(Ints({cell(4, 10), under(4, 10), cell(5, 10)}), Ints({CELL_PUSH, CELL_WATER, 0}))
        << "the map under the block keeps the water";
    startAnim(4 * 16 + 8, 10 * 16 + 8, ANIM_PUSH_RIGHT);
    for (int n = 1; n <= 3; n++) {
        frames(1);
        EXPECT_EQ(Ints({cell(4, 10), cell(5, 10), activeAnims()}),
                  Ints({CELL_RESERVED, CELL_RESERVED, 1}));
    }
    frames(1);
    EXPECT_EQ(Ints({cell(4, 10), cell(5, 10), under(5, 10), activeAnims()}),
              Ints({CELL_WATER, CELL_PUSH, 0, 0}));
    EXPECT_EQ(sounds.playing(SND_KRACK), 0) << "a slide on the ground makes no landing sound";
}

TEST_F(PushBlock, AFallingBlockGoesOnThroughWaterAndSpikesAndLeavesThemBehind) {
    load({{7, 4, CELL_PUSH}, {7, 5, CELL_WATER}, {7, 7, CELL_SPIKES_UP}});
    startAnim(7 * 16 + 15, 4 * 16 + 15, ANIM_BLOCK_FALL);
    EXPECT_EQ(Ints({cell(7, 4), cell(7, 5), under(7, 5), under(7, 4)}),
              Ints({CELL_RESERVED, CELL_RESERVED, CELL_WATER, CELL_PUSH}))
        << "the block's own cell is not remembered";
    frames(4);
    EXPECT_EQ(Ints({cell(7, 4), cell(7, 5), cell(7, 6)}), Ints({0, CELL_RESERVED, CELL_RESERVED}));
    EXPECT_EQ(animAt(ANIM_BLOCK_FALL, 7, 5), &aos[1]);
    frames(30);
    EXPECT_EQ(Ints({cell(7, 5), cell(7, 7), cell(7, 10), activeAnims()}),
              Ints({CELL_WATER, CELL_SPIKES_UP, CELL_PUSH, 0}));
    EXPECT_EQ(sounds.playing(SND_KRACK), 1) << "only the landing on the floor is heard";
}

TEST_F(PushBlock, FromTheBottomRowItFallsOutOfTheMapWithASound) {
    load({{6, 11, CELL_WATER}, {5, 10, CELL_PUSH}, {7, 0, 21}});
    startAnim(5 * 16, 10 * 16, ANIM_PUSH_RIGHT);
    frames(7);
    // landing on the bottom row it falls once more; the new fall took the free slot 0
    // below the one that started it and waits a frame
    EXPECT_EQ(
        Ints({cell(6, 10), cell(6, 11), sounds.playing(SND_KRACK), aos[0].kind, aos[0].count}),
        Ints({0, CELL_RESERVED, 0, ANIM_BLOCK_FALL, 0}));
    frames(3);
    EXPECT_EQ(cell(6, 11), CELL_RESERVED);
    frames(1);
    EXPECT_EQ(Ints({cell(6, 11), activeAnims(), sounds.playing(SND_KRACK)}),
              Ints({CELL_WATER, 0, 1}))
        << "the water under it is back, the block is gone";
    EXPECT_EQ(Ints({cell(7, 0), under(7, 0)}), Ints({21, 21})) << "the next column's top";
}

TEST_F(PushBlock, ABlockThroughTheOpenDoorLeavesItOpen) {
    // the door opens in the live map only: a block passing through must put back what it
    // found there, not the shut door of the map below
    TestMap m(24);
    m.floor().draw({"[]", "{}", "##"}, 6).set(5, 10, CELL_PUSH).set(7, 5, CELL_PUSH);
    ASSERT_TRUE(loadTestMap(m.set(20, 10, CELL_RING)));
    Figure f = heroAt(0, 160);
    eatStar(&f);
    ASSERT_EQ(Ints({cell(7, 9), under(7, 9)}), Ints({CELL_DOOR_OPEN_TR, CELL_DOOR_SHUT_TR}));
    startAnim(7 * 16, 5 * 16, ANIM_BLOCK_FALL); // down through the right half
    frames(40);
    startAnim(5 * 16, 10 * 16, ANIM_PUSH_RIGHT); // into the left half and back
    frames(4);
    startAnim(6 * 16, 10 * 16, ANIM_PUSH_LEFT);
    frames(4);
    EXPECT_EQ(Ints({cell(7, 9), cell(7, 10), cell(6, 10), cell(5, 10)}),
              Ints({CELL_DOOR_OPEN_TR, CELL_PUSH, CELL_DOOR_OPEN_BL, CELL_PUSH}));
}

} // namespace
