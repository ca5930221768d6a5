// Loading stage maps: the header, both passes over the cells, the checks that keep a bad
// file out, the view's start and the column scanner.
#include "world_fixture.h"

#include "data/archive.h"
#include "test_env.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/platforms.h"
#include "zda_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int cell(int column, int row) {
    return mapData[column * 12 + row];
}
int oriCell(int column, int row) {
    return mapOri[column * 12 + row];
}

int activeMonsters() {
    int n = 0;
    for (const Monster& m : monst)
        n += m.active;
    return n;
}

TEST(MapHeader, ColumnsComeFromTheTwoHeaderBytes) {
    TestMap m(277);
    std::vector<unsigned char> b = m.bytes();
    ASSERT_EQ(b[0], 20);
    ASSERT_EQ(b[1], 1);
    resetWorld();
    ASSERT_TRUE(loadLevelFromBytes(b.data(), (int)b.size()));
    EXPECT_EQ(mapLength, 277);
    // bytes after the cells are ignored
    b.insert(b.end(), {41, 41, 41});
    ASSERT_TRUE(loadLevelFromBytes(b.data(), (int)b.size()));
    EXPECT_EQ(stars0, 0);
}

TEST(MapHeader, UnusableFilesAreRefusedAndTheOldMapStays) {
    TestMap good(30);
    good.set(5, 3, 21);
    ASSERT_TRUE(loadTestMap(good));
    std::vector<unsigned char> b = TestMap(40).bytes();

    // shorter than the header says, by one byte
    EXPECT_FALSE(loadLevelFromBytes(b.data(), (int)b.size() - 1));
    // no header at all, or no bytes
    EXPECT_FALSE(loadLevelFromBytes(b.data(), 1));
    EXPECT_FALSE(loadLevelFromBytes(nullptr, 0));
    // narrower than the 21 columns the view draws
    std::vector<unsigned char> narrow = TestMap(20).bytes();
    EXPECT_FALSE(loadLevelFromBytes(narrow.data(), (int)narrow.size()));
    // wider than 4096 columns
    std::vector<unsigned char> wide = TestMap(4097).bytes();
    EXPECT_FALSE(loadLevelFromBytes(wide.data(), (int)wide.size()));

    EXPECT_EQ(mapLength, 30);
    EXPECT_EQ(cell(5, 3), 21);

    // the limits themselves are fine
    std::vector<unsigned char> w21 = TestMap(21).bytes(), w4096 = TestMap(4096).bytes();
    EXPECT_TRUE(loadLevelFromBytes(w21.data(), (int)w21.size()));
    EXPECT_TRUE(loadLevelFromBytes(w4096.data(), (int)w4096.size()));
    EXPECT_EQ(mapLength, 4096);
}

// Runs `body` in a child process and returns its exit status and the first line it
// printed on standard output (where the fatal errors go).
template <class Body>
std::pair<int, std::string> childOutput(Body body) {
    std::fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        if (!std::freopen("child-out.txt", "w", stdout)) _exit(99);
        body();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::ifstream in("child-out.txt");
    std::string line;
    std::getline(in, line);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, line};
}

TEST(MapHeader, AMissingOrBrokenMapIsFatalWithItsName) {
    ScopedTempDir dir;
    auto missing = childOutput([] { loadLevel(nullptr); });
    EXPECT_EQ(missing.first, 1);
    EXPECT_EQ(missing.second, "Can't load file: maps/test.bin");

    // a test map one column short of what its header says
    std::filesystem::create_directory("maps");
    std::vector<unsigned char> b = TestMap(21).bytes();
    b.resize(b.size() - 12);
    std::ofstream("maps/test.bin", std::ios::binary).write((const char*)b.data(), b.size());
    auto shorter = childOutput([] { loadLevel(nullptr); });
    EXPECT_EQ(shorter.first, 1);
    EXPECT_EQ(shorter.second, "Can't load file: maps/test.bin");

    // a stage the archive does not hold
    auto absent = childOutput([] {
        zdaDirectory = "./nowhere";
        openArchives();
        loadLevel("trobz307");
    });
    EXPECT_EQ(absent.first, 1);
    EXPECT_EQ(absent.second, "Can't load file: trobz307");

    // a good test map loads in the same place
    std::vector<unsigned char> good = TestMap(22).bytes();
    std::ofstream("maps/test.bin", std::ios::binary).write((const char*)good.data(), good.size());
    auto fine = childOutput([] {
        loadLevel(nullptr);
        std::printf("columns %d\n", mapLength);
    });
    EXPECT_EQ(fine.first, 0);
    EXPECT_EQ(fine.second, "columns 22");
}

TEST(MapHeader, StagesLoadFromTheMapsArchive) {
    ScopedTempDir dir;
    TestMap m(25);
    m.set(3, 10, 65).set(8, 11, 21);
    std::string why;
    ASSERT_TRUE(writeZDA("maps.zda", {{"trobz304.bin", m.bytes()}}, &why)) << why;
    const char* oldDir = zdaDirectory;
    zdaDirectory = ".";
    closeArchives();
    openArchives();
    resetWorld(4);
    loadLevel("trobz304");
    EXPECT_EQ(mapLength, 25);
    EXPECT_EQ(startx, 48);
    EXPECT_EQ(starty, 160);
    EXPECT_EQ(cell(8, 11), 21);
    closeArchives();
    zdaDirectory = oldDir;
}

TEST(MapStart, TheLastMarkerInFileOrderWinsAndMarkersAreCleared) {
    TestMap m;
    m.set(2, 5, 1).set(6, 3, 68).set(6, 9, 8);
    ASSERT_TRUE(loadTestMap(m));
    EXPECT_EQ(startx, 96);
    EXPECT_EQ(starty, 144);
    EXPECT_EQ(cell(2, 5), 0);
    EXPECT_EQ(cell(6, 3), 0);
    EXPECT_EQ(cell(6, 9), 0);
    EXPECT_EQ(oriCell(6, 9), 0);
}

TEST(MapStart, ACheckpointStartIgnoresTheMarkerButStillClearsIt) {
    TestMap m;
    m.set(2, 5, 65).set(9, 10, 17);
    resetWorld();
    startx = 144;
    starty = 160;
    startf = 1;
    std::vector<unsigned char> b = m.bytes();
    ASSERT_TRUE(loadLevelFromBytes(b.data(), (int)b.size()));
    EXPECT_EQ(startx, 144);
    EXPECT_EQ(starty, 160);
    EXPECT_EQ(cell(2, 5), 0);
    // restarting on the checkpoint shows its flag raised in both maps
    EXPECT_EQ(cell(9, 10), 19);
    EXPECT_EQ(oriCell(9, 10), 19);
}

TEST(MapStart, TheIdleHeroIsAMarkerOnStagesButSceneryOnTheTitle) {
    TestMap m;
    m.set(4, 7, 24);
    ASSERT_TRUE(loadTestMap(m, 3));
    EXPECT_EQ(startx, 64);
    EXPECT_EQ(starty, 112);
    EXPECT_EQ(cell(4, 7), 0);
    ASSERT_TRUE(loadTestMap(m, 0));
    EXPECT_EQ(startx, 16);
    EXPECT_EQ(starty, 100);
    EXPECT_EQ(cell(4, 7), 24);
}

TEST(MapRings, RingsLeftOfTheRestartPointDoNotCountAndCloseTheDoor) {
    TestMap m(40);
    m.set(5, 10, 41).set(8, 10, 41).set(9, 10, 41).set(20, 2, 41);
    m.draw({"[]", "{}"}, 30);
    resetWorld();
    startx = 144; // column 9: rings from column 8 on count
    starty = 160;
    startf = 1;
    std::vector<unsigned char> b = m.bytes();
    ASSERT_TRUE(loadLevelFromBytes(b.data(), (int)b.size()));
    EXPECT_EQ(stars0, 3);
    EXPECT_EQ(stars, 3);
    EXPECT_EQ(door, 30 * 12 + 10);
    EXPECT_EQ(cell(30, 10), 38);
    EXPECT_EQ(cell(31, 10), 39);
    EXPECT_EQ(cell(30, 11), 58);
    EXPECT_EQ(cell(31, 11), 59);
    // the closed door is what a death brings back
    EXPECT_EQ(oriCell(30, 10), 38);
}

TEST(MapRings, WithoutCountedRingsTheDoorStaysAsStored) {
    TestMap m(40);
    m.set(3, 10, 41);
    m.draw({"[]", "{}"}, 30);
    resetWorld();
    startx = 160;
    starty = 160;
    startf = 1;
    std::vector<unsigned char> b = m.bytes();
    ASSERT_TRUE(loadLevelFromBytes(b.data(), (int)b.size()));
    EXPECT_EQ(stars, 0);
    EXPECT_EQ(cell(30, 10), 27);
    EXPECT_EQ(cell(31, 11), 48);
}

TEST(MapDoor, ADoorThatDoesNotFitIsNeverWritten) {
    // rings but no door at all
    TestMap noDoor;
    noDoor.set(10, 10, 41);
    ASSERT_TRUE(loadTestMap(noDoor));
    EXPECT_EQ(stars, 1);
    EXPECT_EQ(door, -1);

    // the door's top-left cell on the bottom row: its lower half would be the next column
    TestMap low;
    low.set(10, 10, 41).set(5, 11, 27).set(6, 0, 21);
    ASSERT_TRUE(loadTestMap(low));
    EXPECT_EQ(cell(5, 11), 27);
    EXPECT_EQ(cell(6, 0), 21);
    EXPECT_EQ(cell(6, 11), 0);

    // in the last column: its right half would lie outside the map
    TestMap edge;
    edge.set(10, 10, 41).set(20, 4, 27);
    ASSERT_TRUE(loadTestMap(edge));
    EXPECT_EQ(cell(20, 4), 27);
    EXPECT_EQ(cell(20, 5), 0);
}

TEST(MapDoor, TheDoorOfThePreviousMapIsForgotten) {
    TestMap first(30);
    first.set(10, 10, 41).draw({"[]", "{}"}, 20);
    ASSERT_TRUE(loadTestMap(first));
    ASSERT_EQ(door, 20 * 12 + 10);
    TestMap second(30);
    second.set(10, 10, 41).set(21, 10, 21);
    std::vector<unsigned char> b = second.bytes();
    ASSERT_TRUE(loadLevelFromBytes(b.data(), (int)b.size()));
    EXPECT_EQ(door, -1);
    EXPECT_EQ(cell(20, 10), 0);
    EXPECT_EQ(cell(21, 10), 21);
}

TEST(MapPlatforms, MarkersBecomePlatformsUpToTheTableSize) {
    TestMap m(30);
    // 65 markers, column after column; a ring and a door after the 64th go unseen
    int placed = 0;
    for (int c = 1; c < 30 && placed < 65; c++)
        for (int r = 0; r < 6 && placed < 65; r++, placed++)
            m.set(c, r, 66);
    m.set(29, 10, 41).draw({"[]", "{}"}, 27);
    ASSERT_TRUE(loadTestMap(m));
    EXPECT_EQ(pcount, MAX_PLATFORMS);
    EXPECT_EQ(platforms[0].x, 16);
    EXPECT_EQ(platforms[0].y, 0);
    EXPECT_EQ(platforms[0].dy, 1);
    EXPECT_EQ(platforms[63].x, 11 * 16);
    EXPECT_EQ(platforms[63].y, 3 * 16);
    EXPECT_EQ(cell(1, 0), 0);
    EXPECT_EQ(cell(11, 3), 0);
    EXPECT_EQ(cell(11, 4), 66); // the 65th marker is not examined
    EXPECT_EQ(stars0, 0);
    EXPECT_EQ(door, -1);
}

TEST(MapView, TheViewStartsAColumnLeftOfTheStart) {
    TestMap m(60);
    m.set(20, 10, 65);
    ASSERT_TRUE(loadTestMap(m));
    EXPECT_EQ(step, 320 - 16);
    m = TestMap(60);
    m.set(0, 10, 65);
    ASSERT_TRUE(loadTestMap(m));
    EXPECT_EQ(step, 0);
    // near the end of the map the view stops where it still fits
    m = TestMap(30);
    m.set(28, 10, 65);
    ASSERT_TRUE(loadTestMap(m));
    EXPECT_EQ(step, 30 * 16 - 321);
    EXPECT_EQ(checkpoint, 0);
}

TEST(MapScan, MarkersInReachOfTheViewSpawnAtLoad) {
    TestMap m(60);
    m.set(0, 10, 65).set(10, 11, 9).set(21, 5, 33).set(22, 6, 13).set(40, 3, 87).set(4, 4, 87);
    ASSERT_TRUE(loadTestMap(m));
    // the scan line is 16 px beyond the view's right edge: column 21 at step 0
    EXPECT_EQ(activeMonsters(), 2);
    EXPECT_EQ(monst[0].kind, MONSTER_MASKY);
    EXPECT_EQ(monst[0].x, 160);
    EXPECT_EQ(monst[0].y, 176);
    EXPECT_EQ(monst[1].kind, MONSTER_WINGEDEYE);
    EXPECT_EQ(cell(10, 11), 0);
    EXPECT_EQ(cell(22, 6), 13);
    // spikes in reach are turned into hidden traps, in both maps
    EXPECT_EQ(cell(4, 4), 86);
    EXPECT_EQ(oriCell(4, 4), 86);
    EXPECT_EQ(cell(40, 3), 87);

    moveForward(16);
    EXPECT_EQ(step, 16);
    EXPECT_EQ(activeMonsters(), 3);
    EXPECT_EQ(monst[2].kind, MONSTER_BEETLE);
    EXPECT_EQ(monst[2].x, 22 * 16);
}

TEST(MapScan, EveryMarkerKindAndTheScannedX) {
    TestMap m(40);
    m.set(30, 1, 9).set(30, 2, 13).set(30, 3, 33).set(30, 4, 53).set(30, 5, 67).set(30, 6, 121);
    ASSERT_TRUE(loadTestMap(m));
    ASSERT_EQ(activeMonsters(), 0);
    tileScan(30 * 16 + 7); // x inside the column, not rounded
    ASSERT_EQ(activeMonsters(), 6);
    const int kinds[6] = {MONSTER_MASKY,    MONSTER_BEETLE, MONSTER_WINGEDEYE,
                          MONSTER_ACIDFISH, MONSTER_SKULL,  MONSTER_SKULL};
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(monst[i].kind, kinds[i]);
        EXPECT_EQ(monst[i].x, 30 * 16 + 7);
        EXPECT_EQ(monst[i].y, (i + 1) * 16);
    }
    EXPECT_EQ(cell(30, 4), 85); // the fish leaves water behind
    EXPECT_EQ(oriCell(30, 4), 85);
    EXPECT_EQ(cell(30, 6), 0);
    tileScan(30 * 16); // every marker is gone: nothing more spawns
    EXPECT_EQ(activeMonsters(), 6);
    tileScan(-1);
    tileScan(40 * 16);
    EXPECT_EQ(activeMonsters(), 6);
}

TEST(MapScan, AFullMonsterTableLosesTheMonsterButClearsTheMarker) {
    TestMap m(40);
    m.set(30, 4, 53).set(30, 5, 9);
    ASSERT_TRUE(loadTestMap(m));
    for (int i = 0; i < MAX_MONSTERS; i++)
        ASSERT_TRUE(startMonster(0, 0, MONSTER_BEETLE));
    tileScan(30 * 16);
    EXPECT_EQ(cell(30, 4), 85);
    EXPECT_EQ(cell(30, 5), 0);
    for (const Monster& mo : monst)
        EXPECT_EQ(mo.kind, MONSTER_BEETLE);
}

TEST(MapScroll, MoveForwardStopsAtTheRightEnd) {
    TestMap m(25);
    ASSERT_TRUE(loadTestMap(m));
    EXPECT_EQ(step, 0);
    moveForward(0);
    moveForward(-5);
    EXPECT_EQ(step, 0);
    moveForward(1000);
    EXPECT_EQ(step, 25 * 16 - 321);
}

TEST(MapCatalogue, ClassAndPlaneAreSafeForAnyValue) {
    EXPECT_EQ(blockClass(0), BLOCK_PASSABLE);
    EXPECT_EQ(blockClass(21), BLOCK_SOLID);
    EXPECT_EQ(blockClass(25), BLOCK_PUSHABLE);
    EXPECT_EQ(blockClass(87), BLOCK_LETHAL);
    EXPECT_EQ(blockClass(105), BLOCK_LETHAL);
    EXPECT_EQ(blockClass(140), BLOCK_LETHAL);
    EXPECT_EQ(blockClass(181), BLOCK_SOLID);
    EXPECT_EQ(blockClass(182), BLOCK_PASSABLE);
    EXPECT_EQ(blockClass(240), BLOCK_SOLID);
    for (int v : {241, 255, 256, 100000, -1, -100000})
        EXPECT_EQ(blockClass(v), BLOCK_SOLID) << v;
    EXPECT_EQ(blockPlane(81), 1);
    EXPECT_EQ(blockPlane(177), 1);
    EXPECT_EQ(blockPlane(80), 0);
    for (int v : {239, 240, 255, -1})
        EXPECT_EQ(blockPlane(v), 0) << v;
    // the class table as a whole: 45 solid values, 3 lethal, 1 pushable
    int counts[4] = {0, 0, 0, 0};
    for (int v = 0; v <= 240; v++)
        counts[blockClass(v)]++;
    EXPECT_EQ(counts[BLOCK_SOLID], 45);
    EXPECT_EQ(counts[BLOCK_LETHAL], 3);
    EXPECT_EQ(counts[BLOCK_PUSHABLE], 1);
    int front = 0;
    for (int v = 0; v < 240; v++)
        front += blockPlane(v);
    EXPECT_EQ(front, 34);
}

} // namespace
