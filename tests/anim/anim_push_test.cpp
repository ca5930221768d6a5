// Push blocks in motion: the slide, the reserved cells, what the block uncovers, falling
// over gaps and out of the map, the settling of stacks, and how a moving block is drawn.
#include "../world/world_kit.h"
#include "audio/sound.h"
#include "world/map.h"
#include "world/pickups.h"

#include <gtest/gtest.h>

namespace {

constexpr int RESERVED = 240, PUSH = 25;

class PushBlock : public FlatArtTest {
  protected:
    Figure hero{};
    SoundProbe sounds;
    // A floor on row 11 and the cells given as {column, row, value}.
    void load(std::initializer_list<std::array<int, 3>> cells) {
        TestMap m(24);
        m.fillRow(11, 21);
        for (const auto& c : cells)
            m.set(c[0], c[1], c[2]);
        ASSERT_TRUE(loadTestMap(m));
    }
    void frames(int n) { animFrames(&hero, n); }
};

TEST_F(PushBlock, SlidesInFourFramesThroughReservedCellsAndUncoversWhatLayUnder) {
    load({{5, 10, PUSH}, {4, 10, 85}});
    ASSERT_EQ(startAnim(5 * 16, 10 * 16, ANIM_PUSH_LEFT), 1);
    frames(3);
    // drawn 4 pixels further left each frame, over the water of the cell it enters; the
    // cell it leaves held only the block
    clearScreen(markColour());
    drawAnimations();
    const int y = 10 * 16 + 8;
    EXPECT_EQ(tiles({{67, y}, {68, y}, {83, y}, {84, y}}), Ints({85, PUSH, PUSH, -1}));
    frames(1);
    EXPECT_EQ(Ints({cell(4, 10), under(4, 10), cell(5, 10)}), Ints({PUSH, 85, 0}))
        << "the map under the block keeps the water";
    startAnim(4 * 16 + 8, 10 * 16 + 8, ANIM_PUSH_RIGHT);
    for (int n = 1; n <= 3; n++) {
        frames(1);
        EXPECT_EQ(Ints({cell(4, 10), cell(5, 10), activeAnims()}), Ints({RESERVED, RESERVED, 1}));
    }
    frames(1);
    EXPECT_EQ(Ints({cell(4, 10), cell(5, 10), under(5, 10), activeAnims()}),
              Ints({85, PUSH, 0, 0}));
    EXPECT_EQ(sounds.playing(SND_KRACK), 0) << "a slide on the ground makes no landing sound";
}

TEST_F(PushBlock, PushedOverAGapItFallsOnAndLandsWithASound) {
    load({{5, 10, 21}, {5, 9, PUSH}});
    startAnim(5 * 16, 9 * 16, ANIM_PUSH_RIGHT);
    frames(4);
    // the slide ends and the fall starts in the same frame, in the next slot, which runs
    // in the same pass
    EXPECT_EQ(Ints({cell(5, 9), cell(6, 9), cell(6, 10), aos[1].kind, aos[1].count}),
              Ints({0, RESERVED, RESERVED, ANIM_BLOCK_FALL, 1}));
    frames(2);
    EXPECT_EQ(Ints({cell(6, 10), sounds.playing(SND_KRACK)}), Ints({RESERVED, 0}));
    frames(1);
    EXPECT_EQ(Ints({cell(6, 9), cell(6, 10), activeAnims(), sounds.playing(SND_KRACK)}),
              Ints({0, PUSH, 0, 1}));
}

TEST_F(PushBlock, AFallingBlockGoesOnThroughWaterAndSpikesAndLeavesThemBehind) {
    load({{7, 4, PUSH}, {7, 5, 85}, {7, 7, 105}});
    startAnim(7 * 16 + 15, 4 * 16 + 15, ANIM_BLOCK_FALL);
    EXPECT_EQ(Ints({cell(7, 4), cell(7, 5), under(7, 5), under(7, 4)}),
              Ints({RESERVED, RESERVED, 85, PUSH}))
        << "the block's own cell is not remembered";
    frames(4);
    EXPECT_EQ(Ints({cell(7, 4), cell(7, 5), cell(7, 6)}), Ints({0, RESERVED, RESERVED}));
    EXPECT_EQ(animAt(ANIM_BLOCK_FALL, 7, 5), &aos[1]);
    frames(30);
    EXPECT_EQ(Ints({cell(7, 5), cell(7, 7), cell(7, 10), activeAnims()}), Ints({85, 105, PUSH, 0}));
    EXPECT_EQ(sounds.playing(SND_KRACK), 1) << "only the landing on the floor is heard";
}

TEST_F(PushBlock, FromTheBottomRowItFallsOutOfTheMapWithASound) {
    load({{6, 11, 85}, {5, 10, PUSH}, {7, 0, 21}});
    startAnim(5 * 16, 10 * 16, ANIM_PUSH_RIGHT);
    frames(7);
    // landing on the bottom row it falls once more; the new fall took the free slot 0
    // below the one that started it and waits a frame
    EXPECT_EQ(
        Ints({cell(6, 10), cell(6, 11), sounds.playing(SND_KRACK), aos[0].kind, aos[0].count}),
        Ints({0, RESERVED, 0, ANIM_BLOCK_FALL, 0}));
    frames(3);
    EXPECT_EQ(cell(6, 11), RESERVED);
    frames(1);
    EXPECT_EQ(Ints({cell(6, 11), activeAnims(), sounds.playing(SND_KRACK)}), Ints({85, 0, 1}))
        << "the water under it is back, the block is gone";
    EXPECT_EQ(Ints({cell(7, 0), under(7, 0)}), Ints({21, 21})) << "the next column's top";
}

TEST_F(PushBlock, AStackSettlesOneBlockAfterTheOther) {
    load({{5, 10, PUSH}, {5, 9, PUSH}, {5, 8, PUSH}});
    startAnim(5 * 16, 10 * 16, ANIM_PUSH_RIGHT);
    // the block above follows into the vacated cell; the top one waits for it
    auto column = [] { return Ints({cell(5, 8), cell(5, 9), cell(5, 10), cell(6, 10)}); };
    frames(4);
    EXPECT_EQ(column(), Ints({PUSH, RESERVED, RESERVED, PUSH}));
    frames(3);
    EXPECT_EQ(column(), Ints({PUSH, RESERVED, RESERVED, PUSH}));
    EXPECT_EQ(sounds.playing(SND_KRACK), 0);
    frames(1); // the middle block lands, the top one starts
    EXPECT_EQ(column(), Ints({RESERVED, RESERVED, PUSH, PUSH}));
    EXPECT_EQ(sounds.playing(SND_KRACK), 1);
    frames(4);
    EXPECT_EQ(column(), Ints({0, PUSH, PUSH, PUSH}));
    EXPECT_EQ(Ints({sounds.playing(SND_KRACK), activeAnims()}), Ints({2, 0}));
}

TEST_F(PushBlock, ABlockThroughTheOpenDoorLeavesItOpen) {
    // the door opens in the live map only: a block passing through must put back what it
    // found there, not the shut door of the map below
    TestMap m(24);
    m.fillRow(11, 21).draw({"[]", "{}", "##"}, 6).set(5, 10, PUSH).set(7, 5, PUSH);
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
              Ints({CELL_DOOR_OPEN_TR, PUSH, CELL_DOOR_OPEN_BL, PUSH}));
}

} // namespace
