// Stage maps: the file's header and the checks that keep a bad file out, both passes over
// the cells, the view's start, the column scanner, the cell catalogue, and the point
// queries with their answers at every edge of the map.
#include "world_kit.h"

#include "data/archive.h"
#include "test_env.h"
#include "world/collision.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/platforms.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

namespace {

TEST(MapFile, ColumnsComeFromTheHeaderAndBadFilesAreRefused) {
    std::vector<unsigned char> b = TestMap(277).bytes();
    ASSERT_EQ(Ints({b[0], b[1]}), Ints({20, 1}));
    b.insert(b.end(), {41, 41, 41}); // bytes after the cells are ignored
    ASSERT_TRUE(loadTestMap(TestMap(30).set(5, 3, 21)));
    std::vector<unsigned char> shortOne = TestMap(40).bytes(), narrow = TestMap(20).bytes(),
                               wide = TestMap(4097).bytes();
    EXPECT_FALSE(loadLevelFromBytes(shortOne.data(), (int)shortOne.size() - 1));
    EXPECT_FALSE(loadLevelFromBytes(shortOne.data(), 1));
    EXPECT_FALSE(loadLevelFromBytes(nullptr, 0));
    EXPECT_FALSE(loadLevelFromBytes(narrow.data(), (int)narrow.size()));
    EXPECT_FALSE(loadLevelFromBytes(wide.data(), (int)wide.size()));
    EXPECT_EQ(Ints({mapLength, cell(5, 3)}), Ints({30, 21})) << "the old map stays";
    ASSERT_TRUE(loadLevelFromBytes(b.data(), (int)b.size()));
    EXPECT_EQ(Ints({mapLength, stars0}), Ints({277, 0}));
    EXPECT_TRUE(loadTestMap(TestMap(21)));
    EXPECT_TRUE(loadTestMap(TestMap(4096)));
}

void expectFatal(const char* name, const std::string& text) {
    const std::string out = deathOutputPath("map-fatal");
    EXPECT_EXIT(
        {
            redirectStdout(out);
            loadLevel(name);
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(readWholeFile(out), text);
}

TEST(MapFile, StagesLoadFromTheArchiveAndAMissingOrBrokenMapIsFatal) {
    ScopedTempDir dir;
    expectFatal(nullptr, "Can't load file: maps/test.bin\n");
    std::filesystem::create_directory("maps");
    writeWholeFile("maps/test.bin", TestMap(22).bytes());
    loadLevel(nullptr);
    EXPECT_EQ(mapLength, 22);
    writeArchive(".", "maps", {{"trobz304.bin", TestMap(25).set(3, 10, 65).bytes()}});
    ArchiveDir archives(".");
    expectFatal("trobz307", "Can't load file: trobz307\n");
    resetWorld(4);
    loadLevel("trobz304");
    EXPECT_EQ(Ints({mapLength, startx, starty}), Ints({25, 48, 160}));
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
    TestMap end = TestMap(30).fillRow(11, 21).set(9, 10, CELL_RING).set(10, 10, CELL_RING);
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

TEST(MapRings, ADoorThatDoesNotFitIsNeverWritten) {
    ASSERT_TRUE(loadTestMap(TestMap().set(10, 10, CELL_RING)));
    EXPECT_EQ(Ints({stars, door}), Ints({1, -1}));
    // on the bottom row its lower half would be the top of the next column; in the last
    // column its right half would lie outside the map
    ASSERT_TRUE(
        loadTestMap(TestMap().set(10, 10, CELL_RING).set(5, 11, CELL_DOOR_OPEN_TL).set(6, 0, 21)));
    EXPECT_EQ(Ints({cell(5, 11), cell(6, 0), cell(6, 11)}), Ints({27, 21, 0}));
    ASSERT_TRUE(loadTestMap(TestMap().set(10, 10, CELL_RING).set(20, 4, CELL_DOOR_OPEN_TL)));
    EXPECT_EQ(Ints({cell(20, 4), cell(20, 5)}), Ints({27, 0}));
    // the door of the previous map is forgotten
    ASSERT_TRUE(loadTestMap(TestMap(30).set(10, 10, CELL_RING).draw({"[]", "{}"}, 20)));
    ASSERT_TRUE(reloadTestMap(TestMap(30).set(10, 10, CELL_RING).set(21, 10, 21)));
    EXPECT_EQ(Ints({door, cell(20, 10), cell(21, 10)}), Ints({-1, 0, 21}));
}

TEST(MapPlatforms, MarkersBecomePlatformsUpToTheTableSize) {
    TestMap m(30);
    for (int i = 0; i < 65; i++) // column after column; the 65th and all after go unseen
        m.set(1 + i / 6, i % 6, CELL_PLATFORM);
    ASSERT_TRUE(loadTestMap(m.set(29, 10, CELL_RING).draw({"[]", "{}"}, 27)));
    EXPECT_EQ(pcount, MAX_PLATFORMS);
    EXPECT_EQ(Ints({platforms[0].x, platforms[0].y, platforms[0].dy}), Ints({16, 0, 1}));
    EXPECT_EQ(Ints({platforms[63].x, platforms[63].y}), Ints({11 * 16, 3 * 16}));
    EXPECT_EQ(Ints({cell(11, 3), cell(11, 4), stars0, door}), Ints({0, 66, 0, -1}));
}

TEST(MapView, TheViewStartsAColumnLeftOfTheStartAndStopsAtTheEnd) {
    const int cases[][3] = {{60, 20, 304}, {60, 0, 0}, {30, 28, 30 * 16 - 321}};
    for (const auto& c : cases) {
        ASSERT_TRUE(loadTestMap(TestMap(c[0]).set(c[1], 10, 65)));
        EXPECT_EQ(step, c[2]) << c[0] << " columns, start " << c[1];
    }
    ASSERT_TRUE(loadTestMap(TestMap(25)));
    moveForward(0);
    moveForward(-5);
    EXPECT_EQ(step, 0);
    moveForward(1000);
    EXPECT_EQ(step, 25 * 16 - 321);
}

TEST(MapScan, MarkersSpawnAsTheScanLineReachesThem) {
    TestMap m(60);
    m.set(0, 10, 65)
        .set(10, 11, CELL_MASKY)
        .set(21, 5, CELL_WINGEDEYE)
        .set(22, 6, CELL_BEETLE)
        .set(40, 3, CELL_SPIKES)
        .set(4, 4, CELL_SPIKES);
    ASSERT_TRUE(loadTestMap(m));
    // the scan line is 16 px beyond the view's right edge: column 21 at step 0
    EXPECT_EQ(activeMonsters(), 2);
    EXPECT_EQ(Ints({monst[0].kind, monst[0].x, monst[0].y, monst[1].kind}),
              Ints({MONSTER_MASKY, 160, 176, MONSTER_WINGEDEYE}));
    // spikes in reach become a hidden trap in both maps
    EXPECT_EQ(Ints({cell(10, 11), cell(22, 6), cell(4, 4), under(4, 4), cell(40, 3)}),
              Ints({0, 13, 86, 86, 87}));
    moveForward(16);
    EXPECT_EQ(activeMonsters(), 3);
    EXPECT_EQ(Ints({monst[2].kind, monst[2].x}), Ints({MONSTER_BEETLE, 22 * 16}));
}

TEST(MapScan, EachMarkerSpawnsOnceAtTheScannedX) {
    ASSERT_TRUE(loadTestMap(TestMap(40).set(30, 4, CELL_ACIDFISH)));
    tileScan(30 * 16 + 7); // not rounded to the cell
    tileScan(30 * 16);
    ASSERT_EQ(activeMonsters(), 1);
    EXPECT_EQ(Ints({monst[0].kind, monst[0].x, cell(30, 4), under(30, 4)}),
              Ints({MONSTER_ACIDFISH, 30 * 16 + 7, CELL_WATER, CELL_WATER}));
    // with every slot busy the monster is lost but its marker still goes
    ASSERT_TRUE(loadTestMap(TestMap(40).set(30, 4, CELL_ACIDFISH).set(30, 5, CELL_MASKY)));
    for (int i = 0; i < MAX_MONSTERS; i++)
        startMonster(0, 0, MONSTER_BEETLE);
    tileScan(30 * 16);
    EXPECT_EQ(Ints({cell(30, 4), cell(30, 5)}), Ints({85, 0}));
    for (const Monster& mo : monst)
        EXPECT_EQ(mo.kind, MONSTER_BEETLE);
}

// A value past the catalogue is read as solid rock, so a damaged map cannot let the hero
// fall through it.
TEST(MapCatalogue, ValuesPastTheCatalogueAreSolid) {
    for (int v : {241, 255, 100000, -1, INT_MIN}) {
        EXPECT_EQ(Ints({blockClass(v), blockPlane(v), isSolidBlock(v), isPushBlock(v)}),
                  Ints({BLOCK_SOLID, 0, 1, 0}))
            << v;
    }
}

TEST(MapQueries, PointQueriesAtEveryEdge) {
    TestMap m;
    m.set(0, 0, 21).set(3, 11, CELL_SPIKES_UP).set(4, 11, CELL_MINE).set(5, 6, CELL_PUSH);
    m.set(6, 6, CELL_RESERVED);
    ASSERT_TRUE(loadTestMap(m.set(20, 0, CELL_BRICK)));
    const int W = 21 * 16;
    // x, y: the cell there, solid, lethal, pushable
    const int cases[][6] = {
        {15, 15, 21, 1, 0, 0},   {16, 0, 0, 0, 0, 0},       {48, 191, 105, 0, 105, 0},
        {48, 192, 0, 0, 0, 0},   {64, 176, 140, 0, 140, 0}, {W, 0, 0, 1, 0, 0},
        {-1, 50, 0, 1, 0, 0},    {5, -40, 0, 1, 0, 0},      {20, -40, 0, 0, 0, 0},
        {0, 100000, 0, 0, 0, 0}, {95, 111, 25, 1, 0, 1},    {96, 96, 240, 1, 0, 0},
        {47, 191, 0, 0, 0, 0},   {W - 1, 0, 40, 1, 0, 0},   {INT_MIN, INT_MIN, 0, 1, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(Ints({getBlockAtPos(c[0], c[1]), isSolidPos(c[0], c[1]), isLeathalPos(c[0], c[1]),
                        isPushPos(c[0], c[1])}),
                  Ints({c[2], c[3], c[4], c[5]}))
            << "(" << c[0] << ", " << c[1] << ")";
    EXPECT_EQ(
        Ints({getBlock(3, 11), getBlock(-1, 0), getBlock(0, -1), getBlock(21, 0), getBlock(3, 12)}),
        Ints({105, 0, 0, 0, 0}));
    // water at the hero's centre: 160 ... 166, 145, 146 and 85
    const int water[6] = {160, 166, 145, 146, 85, 167};
    Ints wet;
    for (int c = 8; c < 14; c++) {
        setBlock(c, 3, water[c - 8]);
        Figure f = heroAt(c * 16, 48);
        wet.push_back(isWet(&f));
    }
    EXPECT_EQ(wet, Ints({1, 1, 1, 1, 1, 0}));
    Figure f = heroAt(8 * 16 - 8, 48); // the centre on the water cell's first pixel
    EXPECT_TRUE(isWet(&f));
    f.x--;
    EXPECT_FALSE(isWet(&f));
    f = heroAt(8 * 16, 40); // and on its top row: the feet count for nothing
    EXPECT_TRUE(isWet(&f));
    f.y--;
    EXPECT_FALSE(isWet(&f));
    f = heroAt(-8, 0);
    EXPECT_FALSE(isWet(&f));
}

TEST(MapQueries, SetBlockKeepsWhatLiesUnderMovingBlocksAndStaysInTheMap) {
    ASSERT_TRUE(loadTestMap(TestMap().set(0, 11, 21)));
    setBlock(10, 10, 25);
    EXPECT_EQ(Ints({cell(10, 10), under(10, 10)}), Ints({25, 0}));
    setBlock(10, 10, 240);
    EXPECT_EQ(Ints({cell(10, 10), under(10, 10)}), Ints({240, 0}));
    setBlock(10, 10, 138);
    EXPECT_EQ(Ints({cell(10, 10), under(10, 10)}), Ints({138, 138}));
    Ints before(mapData, mapData + 21 * 12);
    setBlock(-1, 11, 5);
    setBlock(1, -1, 5);
    setBlock(21, 0, 5);
    setBlock(0, 12, 5);
    EXPECT_EQ(Ints(mapData, mapData + 21 * 12), before);
    resetWorld(); // and without a map nothing is read or written
    setBlock(0, 0, 21);
    Figure f = heroAt(0, 0);
    EXPECT_EQ(Ints({getBlockAtPos(0, 0), isSolidPos(0, 0), isLeathalPos(0, 0), isWet(&f)}),
              Ints({0, 1, 0, 0}));
}

} // namespace
