// Push blocks in motion: the slide, the reserved cells, what the block uncovers, falling
// over gaps and out of the map, and the settling of stacks.
#include "../world/render_kit.h"
#include "../world/world_fixture.h"
#include "anim/anims.h"
#include "audio/sound.h"
#include "world/map.h"

#include <gtest/gtest.h>

namespace {

constexpr int RESERVED = 240, PUSH = 25;

int cell(int c, int r) {
    return mapData[c * MAP_ROWS + r];
}
int under(int c, int r) {
    return mapOri[c * MAP_ROWS + r];
}

class PushBlock : public ::testing::Test {
  protected:
    Figure hero{};
    SoundProbe sounds;
    void frames(int n) {
        for (int i = 0; i < n; i++)
            updateAnims(&hero);
    }
};

TEST_F(PushBlock, SlidesRightInFourFramesThroughReservedCells) {
    TestMap m(24);
    m.fillRow(11, 21).set(5, 10, PUSH);
    ASSERT_TRUE(loadTestMap(m));
    ASSERT_EQ(startAnim(5 * 16, 10 * 16, ANIM_PUSH_RIGHT), 1);
    frames(1);
    EXPECT_EQ(cell(5, 10), RESERVED);
    EXPECT_EQ(cell(6, 10), RESERVED);
    EXPECT_EQ(under(6, 10), 0);
    frames(2);
    EXPECT_EQ(cell(5, 10), RESERVED);
    EXPECT_EQ(cell(6, 10), RESERVED);
    EXPECT_EQ(aos[0].active, 1);
    frames(1);
    EXPECT_EQ(cell(5, 10), 0);
    EXPECT_EQ(cell(6, 10), PUSH);
    EXPECT_EQ(under(6, 10), 0) << "the map under the block keeps what the cell held";
    EXPECT_EQ(aos[0].active, 0);
    EXPECT_EQ(sounds.playing(SND_KRACK), 0) << "a slide on the ground makes no landing sound";
}

TEST_F(PushBlock, WaterUnderABlockComesBackWhenItMovesOn) {
    TestMap m(24);
    m.fillRow(11, 21).set(5, 10, PUSH).set(4, 10, 85);
    ASSERT_TRUE(loadTestMap(m));
    startAnim(5 * 16, 10 * 16, ANIM_PUSH_LEFT);
    frames(4);
    EXPECT_EQ(cell(4, 10), PUSH);
    EXPECT_EQ(under(4, 10), 85);
    EXPECT_EQ(cell(5, 10), 0);
    startAnim(4 * 16 + 8, 10 * 16 + 8, ANIM_PUSH_RIGHT);
    frames(1);
    EXPECT_EQ(cell(4, 10), RESERVED);
    frames(3);
    EXPECT_EQ(cell(4, 10), 85);
    EXPECT_EQ(cell(5, 10), PUSH);
}

TEST_F(PushBlock, PushedOverAGapItFallsOnAndLandsWithASound) {
    TestMap m(24);
    m.fillRow(11, 21).set(5, 10, 21).set(5, 9, PUSH);
    ASSERT_TRUE(loadTestMap(m));
    startAnim(5 * 16, 9 * 16, ANIM_PUSH_RIGHT);
    frames(4);
    // the slide ends and the fall starts in the same frame, in the next slot
    EXPECT_EQ(cell(5, 9), 0);
    EXPECT_EQ(cell(6, 9), RESERVED);
    EXPECT_EQ(cell(6, 10), RESERVED);
    EXPECT_EQ(aos[1].kind, ANIM_BLOCK_FALL);
    EXPECT_EQ(aos[1].count, 1) << "a slot started by a lower one runs in the same pass";
    frames(2);
    EXPECT_EQ(cell(6, 10), RESERVED);
    EXPECT_EQ(sounds.playing(SND_KRACK), 0);
    frames(1);
    EXPECT_EQ(cell(6, 9), 0);
    EXPECT_EQ(cell(6, 10), PUSH);
    EXPECT_EQ(aos[1].active, 0);
    EXPECT_EQ(sounds.playing(SND_KRACK), 1);
}

TEST_F(PushBlock, FallReservesBothCellsAndRemembersTheTarget) {
    TestMap m(24);
    m.fillRow(11, 21).set(7, 4, PUSH).set(7, 5, 85);
    ASSERT_TRUE(loadTestMap(m));
    startAnim(7 * 16 + 15, 4 * 16 + 15, ANIM_BLOCK_FALL);
    EXPECT_EQ(cell(7, 4), RESERVED);
    EXPECT_EQ(cell(7, 5), RESERVED);
    EXPECT_EQ(under(7, 5), 85);
    EXPECT_EQ(under(7, 4), PUSH) << "mapOri is not written for the block's own cell";
    frames(4);
    EXPECT_EQ(cell(7, 4), 0);
    // water does not stop it: it goes on at once, through the cell below
    EXPECT_EQ(cell(7, 5), RESERVED);
    EXPECT_EQ(cell(7, 6), RESERVED);
    EXPECT_EQ(under(7, 5), 85);
    EXPECT_EQ(sounds.playing(SND_KRACK), 0);
    EXPECT_EQ(aos[0].active, 0);
    EXPECT_EQ(aos[1].active, 1);
    EXPECT_EQ(aos[1].y, 5);
}

TEST_F(PushBlock, FallsThroughSpikesAndLeavesThemBehind) {
    TestMap m(24);
    m.fillRow(11, 21).set(5, 8, 21).set(5, 7, PUSH).set(6, 9, 105);
    ASSERT_TRUE(loadTestMap(m));
    startAnim(5 * 16, 7 * 16, ANIM_PUSH_RIGHT);
    // slide (frames 1-4), fall to row 8 (5-7), to row 9 in the freed slot 0 (8-11), to
    // row 10 in slot 1 again (12-14)
    frames(13);
    EXPECT_EQ(cell(6, 9), RESERVED);
    EXPECT_EQ(cell(6, 10), RESERVED);
    EXPECT_EQ(under(6, 9), 105);
    EXPECT_EQ(sounds.playing(SND_KRACK), 0) << "spikes do not stop a falling block";
    frames(1);
    EXPECT_EQ(cell(6, 10), PUSH);
    EXPECT_EQ(cell(6, 9), 105);
    EXPECT_EQ(cell(6, 8), 0);
    EXPECT_EQ(sounds.playing(SND_KRACK), 1);
}

TEST_F(PushBlock, FromTheBottomRowItFallsOutOfTheMapWithASound) {
    TestMap m(24);
    m.fillRow(11, 21).set(6, 11, 85).set(5, 10, PUSH).set(7, 0, 21);
    ASSERT_TRUE(loadTestMap(m));
    startAnim(5 * 16, 10 * 16, ANIM_PUSH_RIGHT);
    frames(7);
    EXPECT_EQ(cell(6, 10), 0);
    EXPECT_EQ(cell(6, 11), RESERVED) << "landing on the bottom row it falls once more";
    EXPECT_EQ(sounds.playing(SND_KRACK), 0);
    // the new fall took the free slot 0 below the one that started it: it waits a frame
    EXPECT_EQ(aos[0].kind, ANIM_BLOCK_FALL);
    EXPECT_EQ(aos[0].count, 0);
    frames(3);
    EXPECT_EQ(cell(6, 11), RESERVED);
    frames(1);
    EXPECT_EQ(cell(6, 11), 85) << "the water under it is back, the block is gone";
    EXPECT_EQ(aos[0].active, 0);
    EXPECT_EQ(sounds.playing(SND_KRACK), 1);
    // nothing was written below the column, which is the top of the next one
    EXPECT_EQ(cell(7, 0), 21);
    EXPECT_EQ(under(7, 0), 21);
    for (const AnimObject& a : aos)
        EXPECT_EQ(a.active, 0);
}

TEST_F(PushBlock, AStackSettlesOneBlockAfterTheOther) {
    TestMap m(24);
    m.fillRow(11, 21).set(5, 10, PUSH).set(5, 9, PUSH).set(5, 8, PUSH);
    ASSERT_TRUE(loadTestMap(m));
    startAnim(5 * 16, 10 * 16, ANIM_PUSH_RIGHT);
    frames(4);
    EXPECT_EQ(cell(6, 10), PUSH);
    // the block above follows into the vacated cell
    EXPECT_EQ(cell(5, 9), RESERVED);
    EXPECT_EQ(cell(5, 10), RESERVED);
    EXPECT_EQ(cell(5, 8), PUSH) << "the top block waits for the one below";
    frames(3);
    EXPECT_EQ(cell(5, 10), RESERVED);
    EXPECT_EQ(sounds.playing(SND_KRACK), 0);
    frames(1); // frame 8: the middle block lands, the top one starts
    EXPECT_EQ(cell(5, 10), PUSH);
    EXPECT_EQ(cell(5, 9), RESERVED);
    EXPECT_EQ(cell(5, 8), RESERVED);
    EXPECT_EQ(sounds.playing(SND_KRACK), 1);
    frames(4); // frame 12: the top block lands on the middle one
    EXPECT_EQ(cell(5, 8), 0);
    EXPECT_EQ(cell(5, 9), PUSH);
    EXPECT_EQ(cell(5, 10), PUSH);
    EXPECT_EQ(sounds.playing(SND_KRACK), 2);
    for (const AnimObject& a : aos)
        EXPECT_EQ(a.active, 0);
}

TEST_F(PushBlock, AtTheMapsEdgeNothingIsWrittenOutside) {
    TestMap m(24);
    m.fillRow(11, 21).set(23, 10, PUSH).set(0, 10, PUSH);
    ASSERT_TRUE(loadTestMap(m));
    startAnim(23 * 16, 10 * 16, ANIM_PUSH_RIGHT);
    startAnim(0, 10 * 16, ANIM_PUSH_LEFT);
    frames(10);
    // both blocks left the map; their cells are uncovered
    EXPECT_EQ(cell(23, 10), 0);
    EXPECT_EQ(cell(0, 10), 0);
    EXPECT_EQ(cell(23, 11), 21);
    EXPECT_EQ(cell(0, 11), 21);
}

} // namespace
