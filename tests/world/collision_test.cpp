// The point queries at every edge of the map, and the one write.
#include "world_fixture.h"

#include "world/collision.h"
#include "world/map.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

class Collision : public ::testing::Test {
  protected:
    void SetUp() override {
        TestMap m(21);
        m.set(0, 0, 21)     // solid in the top-left corner
            .set(3, 11, 105) // spikes on the bottom row
            .set(4, 11, 140)
            .set(5, 6, 25)  // a push block
            .set(6, 6, 240) // the reserved marker
            .set(7, 6, 41)  // a ring: passable
            .set(20, 0, 40) // solid in the top-right corner
            .set(8, 3, 160) // water surface
            .set(9, 3, 166)
            .set(10, 3, 145)
            .set(11, 3, 85)
            .set(12, 3, 167); // not water
        ASSERT_TRUE(loadTestMap(m));
    }
};

TEST_F(Collision, BlockLookupsAnswerZeroOutsideTheMap) {
    EXPECT_EQ(getBlockAtPos(0, 0), 21);
    EXPECT_EQ(getBlockAtPos(15, 15), 21);
    EXPECT_EQ(getBlockAtPos(16, 0), 0);
    EXPECT_EQ(getBlockAtPos(48, 191), 105); // y 191 is row 11
    EXPECT_EQ(getBlockAtPos(48, 192), 0);  // y 192 lies below the map
    EXPECT_EQ(getBlockAtPos(-1, 0), 0);
    EXPECT_EQ(getBlockAtPos(0, -1), 0);
    EXPECT_EQ(getBlockAtPos(21 * 16 - 1, 0), 40);
    EXPECT_EQ(getBlockAtPos(21 * 16, 0), 0);
    EXPECT_EQ(getBlockAtPos(INT_MIN, INT_MIN), 0);
    EXPECT_EQ(getBlockAtPos(INT_MAX, INT_MAX), 0);

    EXPECT_EQ(getBlock(0, 0), 21);
    EXPECT_EQ(getBlock(3, 11), 105);
    EXPECT_EQ(getBlock(-1, 0), 0);
    EXPECT_EQ(getBlock(0, -1), 0);
    EXPECT_EQ(getBlock(21, 0), 0);
    EXPECT_EQ(getBlock(3, 12), 0);
}

TEST_F(Collision, TheEndsOfTheMapAreWallsAndBelowIsOpen) {
    EXPECT_TRUE(isSolidPos(-1, 50));
    EXPECT_TRUE(isSolidPos(21 * 16, 50));
    EXPECT_TRUE(isSolidPos(-1, 500)); // walls at every height, even below the map
    EXPECT_TRUE(isSolidPos(21 * 16, -500));
    EXPECT_FALSE(isSolidPos(21 * 16 - 17, 50));
    // above the map answers as the top row
    EXPECT_TRUE(isSolidPos(5, -40));
    EXPECT_FALSE(isSolidPos(20, -40));
    EXPECT_TRUE(isSolidPos(21 * 16 - 1, -1));
    // nothing below the map is solid
    EXPECT_FALSE(isSolidPos(0, 192));
    EXPECT_FALSE(isSolidPos(0, 100000));
}

TEST_F(Collision, PushBlocksAndTheMarkerAreSolidInTheMap) {
    EXPECT_FALSE(isSolidBlock(25));
    EXPECT_TRUE(isSolidPos(5 * 16 + 8, 6 * 16 + 8));
    EXPECT_TRUE(isPushPos(5 * 16, 6 * 16));
    EXPECT_TRUE(isPushPos(5 * 16 + 15, 6 * 16 + 15));
    EXPECT_FALSE(isPushPos(6 * 16, 6 * 16));
    EXPECT_TRUE(isSolidPos(6 * 16, 6 * 16));
    EXPECT_FALSE(isSolidPos(7 * 16, 6 * 16));
    EXPECT_TRUE(isSolidBlock(240));
    EXPECT_TRUE(isSolidBlock(241));
    EXPECT_TRUE(isSolidBlock(20));
    EXPECT_FALSE(isSolidBlock(87));
    EXPECT_FALSE(isPushPos(-16, 6 * 16));
    EXPECT_FALSE(isPushPos(5 * 16, 192));
}

TEST_F(Collision, PushBlockLookupIsSafeForAnyValue) {
    EXPECT_TRUE(isPushBlock(25));
    EXPECT_FALSE(isPushBlock(24));
    EXPECT_FALSE(isPushBlock(240));
    for (int v : {241, 255, 256, 4096, INT_MAX, -1, -25, INT_MIN})
        EXPECT_FALSE(isPushBlock(v)) << v;
    for (int v : {255, INT_MAX, -1, INT_MIN})
        EXPECT_TRUE(isSolidBlock(v)) << v;
}

TEST_F(Collision, LethalCellsReportTheirValueInsideTheMapOnly) {
    EXPECT_EQ(isLeathalPos(48, 191), 105);
    EXPECT_EQ(isLeathalPos(48, 192), 0);
    EXPECT_EQ(isLeathalPos(48, 176), 105);
    EXPECT_EQ(isLeathalPos(64, 180), 140); // the mine is told apart from spikes
    EXPECT_EQ(isLeathalPos(47, 191), 0);
    EXPECT_EQ(isLeathalPos(-1, 191), 0);
    EXPECT_EQ(isLeathalPos(48, -1), 0);
    EXPECT_EQ(isLeathalPos(6 * 16, 6 * 16), 0); // 240 is no spike
    setBlock(3, 11, 87);
    EXPECT_EQ(isLeathalPos(50, 180), 87);
}

TEST_F(Collision, OutOfMapValuesInTheMapAreSolidAndHarmless) {
    // the animations write 240; nothing in the map should ever hold more, but a stray
    // value must still answer as a wall and never index past the tables
    setBlock(2, 2, 1000);
    EXPECT_TRUE(isSolidPos(40, 40));
    EXPECT_FALSE(isPushPos(40, 40));
    EXPECT_EQ(isLeathalPos(40, 40), 0);
    setBlock(2, 2, -7);
    EXPECT_TRUE(isSolidPos(40, 40));
    EXPECT_FALSE(isPushPos(40, 40));
    EXPECT_EQ(isLeathalPos(40, 40), 0);
}

TEST_F(Collision, WaterIsJudgedAtTheHerosCentre) {
    Figure f = heroAt(8 * 16, 3 * 16);
    EXPECT_TRUE(isWet(&f));
    f.x = 8 * 16 - 8; // centre on the first pixel of the water cell
    EXPECT_TRUE(isWet(&f));
    f.x = 8 * 16 - 9;
    EXPECT_FALSE(isWet(&f));
    for (int c : {9, 10, 11}) {
        f.x = c * 16;
        EXPECT_TRUE(isWet(&f)) << c;
    }
    f.x = 12 * 16;
    EXPECT_FALSE(isWet(&f));
    f.x = -8;
    f.y = 0;
    EXPECT_FALSE(isWet(&f));
}

TEST_F(Collision, SetBlockKeepsWhatLiesUnderMovingBlocks) {
    setBlock(10, 10, 25);
    EXPECT_EQ(getBlock(10, 10), 25);
    EXPECT_EQ(mapOri[10 * 12 + 10], 0);
    setBlock(10, 10, 240);
    EXPECT_EQ(getBlock(10, 10), 240);
    EXPECT_EQ(mapOri[10 * 12 + 10], 0);
    setBlock(10, 10, 138);
    EXPECT_EQ(getBlock(10, 10), 138);
    EXPECT_EQ(mapOri[10 * 12 + 10], 138);
    // writes outside the map are ignored, and nothing next to the map changes
    int before = getBlock(0, 11);
    setBlock(-1, 11, 5);
    setBlock(1, -1, 5);
    setBlock(21, 0, 5);
    setBlock(0, 12, 5);
    EXPECT_EQ(getBlock(0, 11), before);
    EXPECT_EQ(getBlock(1, 0), 0);
    EXPECT_EQ(getBlock(20, 11), 0);
}

TEST(CollisionNoMap, QueriesWithoutAMapAreSafe) {
    resetWorld();
    EXPECT_EQ(getBlockAtPos(0, 0), 0);
    EXPECT_TRUE(isSolidPos(0, 0));
    EXPECT_EQ(isLeathalPos(0, 0), 0);
    setBlock(0, 0, 21);
    Figure f = heroAt(0, 0);
    EXPECT_FALSE(isWet(&f));
}

} // namespace
