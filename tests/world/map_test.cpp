// Stage maps: the checks that keep a bad file out, the start and monster markers, the rings that
// count after a checkpoint, and the point queries with their answers at every edge of the map.
#include "world_kit.h"

#include "test_env.h"
#include "world/collision.h"
#include "world/map.h"
#include "world/monsters.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A map narrower than the view, or with fewer cells than its header promises, is refused;
// the game cannot go on without its map.
TEST(MapFile, ABrokenMapIsRefusedAndEndsTheGame) {
    std::vector<unsigned char> b = TestMap(21).bytes();
    EXPECT_FALSE(loadLevelFromBytes(b.data(), (int)b.size() - 1));
    EXPECT_TRUE(loadLevelFromBytes(b.data(), (int)b.size()));
    ScopedTempDir dir;
    std::filesystem::create_directory("maps");
    writeWholeFile("maps/test.bin", TestMap(20).bytes());
    EXPECT_EQ(exitOutput("map-fatal", 1, [] { loadLevel(nullptr); }),
              "Can't load file: maps/test.bin\n");
}

TEST(MapStart, TheLastMarkerWinsAndEveryMarkerIsCleared) {
    ASSERT_TRUE(loadTestMap(TestMap().set(2, 5, 1).set(6, 3, 68).set(6, 9, 8)));
    EXPECT_EQ(Ints({startx, starty}), Ints({96, 144}));
    EXPECT_EQ(Ints({cell(2, 5), cell(6, 3), cell(6, 9), under(6, 9)}), Ints({0, 0, 0, 0}));
    // the idle hero is a marker on a stage but scenery on the title
    ASSERT_TRUE(loadTestMap(TestMap().set(4, 7, CELL_HERO_IDLE), 3));
    EXPECT_EQ(Ints({startx, cell(4, 7)}), Ints({64, 0}));
    ASSERT_TRUE(loadTestMap(TestMap().set(4, 7, CELL_HERO_IDLE), 0));
    EXPECT_EQ(Ints({startx, starty, cell(4, 7)}), Ints({16, 100, 24}));
    // a checkpoint restart keeps its place, still clears the marker and raises the flag
    startx = 144;
    starty = 160;
    startf = 1;
    ASSERT_TRUE(reloadTestMap(TestMap().set(2, 5, 65).set(9, 10, CELL_FLAG)));
    EXPECT_EQ(Ints({startx, starty, cell(2, 5), cell(9, 10), under(9, 10)}),
              Ints({144, 160, 0, 19, 19}));
    // a monster's marker goes when the scan reaches it; the fish leaves water behind
    ASSERT_TRUE(loadTestMap(TestMap(40).set(30, 4, CELL_ACIDFISH).set(30, 5, CELL_MASKY)));
    tileScan(30 * 16);
    EXPECT_EQ(Ints({monst[0].kind, monst[1].kind, cell(30, 4), cell(30, 5)}),
              Ints({MONSTER_ACIDFISH, MONSTER_MASKY, CELL_WATER, 0}));
}

TEST(MapRings, RingsOutOfTheHerosReachDoNotCountAndTheOthersCloseTheDoor) {
    TestMap m(40);
    m.set(7, 10, CELL_RING)
        .set(8, 10, CELL_RING)
        .set(9, 10, CELL_RING)
        .set(20, 2, CELL_RING)
        .draw({"[]", "{}"}, 30);
    resetWorld();
    startx = 144; // column 9: rings from column 8 on count
    startf = 1;
    ASSERT_TRUE(reloadTestMap(m));
    EXPECT_EQ(Ints({stars0, stars, door}), Ints({3, 3, 30 * 12 + 10}));
    EXPECT_EQ(Ints({cell(30, 10), cell(31, 10), cell(30, 11), cell(31, 11), under(30, 10)}),
              Ints({38, 39, 58, 59, 38}));
    // near the map's end the view stops short of the restart point, at x 159: the ring of
    // column 10 is in the hero's reach and counts, that of column 9 does not
    TestMap end = TestMap(30).floor().set(9, 10, CELL_RING).set(10, 10, CELL_RING);
    end.draw({"[]", "{}"}, 27);
    startx = 416;
    starty = 160;
    ASSERT_TRUE(reloadTestMap(end));
    EXPECT_EQ(Ints({step, stars}), Ints({159, 1}));
    Figure f = heroAt(416, 160);
    stageFrames(&f, 200, StageInput{1, 0, 0, 0});
    EXPECT_EQ(Ints({f.x, stars, cell(9, 10), cell(27, 10)}), Ints({158, 0, 41, 27}));
    ASSERT_TRUE(reloadTestMap(end.set(10, 10, 0))); // no ring counts: the door stays as stored
    EXPECT_EQ(Ints({stars, cell(27, 10)}), Ints({0, 27}));
}

TEST(MapQueries, PointQueriesAtEveryEdge) {
    TestMap m;
    m.set(0, 0, 21).set(3, 11, CELL_SPIKES_UP).set(4, 11, CELL_MINE).set(5, 6, CELL_PUSH);
    m.set(6, 6, CELL_RESERVED).set(2, 0, 241); // past the catalogue: rock, whatever it is
    ASSERT_TRUE(loadTestMap(m.set(20, 0, CELL_BRICK)));
    const int W = 21 * 16;
    // x, y: the cell there, solid, lethal, pushable
    const int cases[][6] = {
        {15, 15, 21, 1, 0, 0},     {16, 0, 0, 0, 0, 0},     {32, 0, 241, 1, 0, 0},
        {48, 191, 105, 0, 105, 0}, {48, 192, 0, 0, 0, 0},   {64, 176, 140, 0, 140, 0},
        {W, 0, 0, 1, 0, 0},        {-1, 50, 0, 1, 0, 0},    {5, -40, 0, 1, 0, 0},
        {20, -40, 0, 0, 0, 0},     {0, 100000, 0, 0, 0, 0}, {95, 111, 25, 1, 0, 1},
        {96, 96, 240, 1, 0, 0},    {47, 191, 0, 0, 0, 0},   {W - 1, 0, 40, 1, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(Ints({getBlockAtPos(c[0], c[1]), isSolidPos(c[0], c[1]), isLeathalPos(c[0], c[1]),
                        isPushPos(c[0], c[1])}),
                  Ints({c[2], c[3], c[4], c[5]}))
            << "(" << c[0] << ", " << c[1] << ")";
    EXPECT_EQ(
        Ints({getBlock(3, 11), getBlock(-1, 0), getBlock(0, -1), getBlock(21, 0), getBlock(3, 12)}),
        Ints({105, 0, 0, 0, 0}));
    // the hero is wet when his centre is in water 160 ... 166, 145, 146 or 85: the value of
    // cell (8, 3), the hero's place, wet
    const int wet[][4] = {{160, 128, 48, 1}, {166, 128, 48, 1}, {145, 128, 48, 1},
                          {146, 128, 48, 1}, {85, 128, 48, 1},  {167, 128, 48, 0},
                          {160, 120, 48, 1}, {160, 119, 48, 0}, // the cell's first pixel
                          {160, 128, 40, 1}, {160, 128, 39, 0}, // its top row: not the feet
                          {160, -8, 0, 0}};
    for (const auto& c : wet) {
        setBlock(8, 3, c[0]);
        Figure f = heroAt(c[1], c[2]);
        EXPECT_EQ(isWet(&f), c[3]) << c[0] << " at (" << c[1] << ", " << c[2] << ")";
    }
}

TEST(MapQueries, SetBlockKeepsWhatLiesUnderMovingBlocks) {
    ASSERT_TRUE(loadTestMap(TestMap()));
    for (auto [value, kept] : {std::pair{25, 0}, {240, 0}, {138, 138}}) {
        setBlock(10, 10, value);
        EXPECT_EQ(Ints({cell(10, 10), under(10, 10)}), Ints({value, kept}));
    }
}

} // namespace
