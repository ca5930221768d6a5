// Monsters on their own: start values, walking and turning, gravity, the SKULL's stride
// over gaps, embedding in blocks, the range around the view and the timeouts.
#include "monster_support.h"

#include <gtest/gtest.h>

namespace {

TEST(MonsterStart, EachKindStartsWithItsOwnValues) {
    struct Case {
        int kind, dx, stompable;
    } cases[] = {{MONSTER_MASKY, -1, 1},    {MONSTER_BEETLE, -1, 0}, {MONSTER_WINGEDEYE, -1, 1},
                 {MONSTER_ACIDFISH, -1, 0}, {MONSTER_SKULL, -2, 1},  {MONSTER_WINGEDEYE_HIT, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        monst[3] = Monster{};
        monst[3].dy = 5;
        monst[3].fall = monst[3].timer = monst[3].hits = 9;
        setMonster(3, 40, 50, c.kind);
        const Monster& m = monst[3];
        EXPECT_EQ(m.x, 40);
        EXPECT_EQ(m.y, 50);
        EXPECT_EQ(m.kind, c.kind);
        EXPECT_EQ(m.dx, c.dx);
        EXPECT_EQ(m.stompable, c.stompable);
        EXPECT_EQ(m.active, 1);
        EXPECT_EQ(m.fall, 0);
        EXPECT_EQ(m.timer, 0);
        EXPECT_EQ(m.hits, 0);
        // only the SKULL sets its stomp memory; the others keep what the slot held
        EXPECT_EQ(m.dy, c.kind == MONSTER_SKULL ? -2 : 5);
    }
}

TEST(MonsterStart, TakesTheFirstFreeSlotAndFailsQuietlyWhenFull) {
    killMonsters();
    EXPECT_EQ(startMonster(10, 20, MONSTER_BEETLE), 1);
    EXPECT_EQ(startMonster(30, 20, MONSTER_MASKY), 1);
    killMonster(0);
    EXPECT_EQ(startMonster(50, 20, MONSTER_SKULL), 1);
    EXPECT_EQ(monst[0].kind, MONSTER_SKULL);
    EXPECT_EQ(monst[1].kind, MONSTER_MASKY);
    for (int i = 2; i < MAX_MONSTERS; i++)
        ASSERT_EQ(startMonster(i, 0, MONSTER_BEETLE), 1);
    Monster before[MAX_MONSTERS];
    std::copy(monst, monst + MAX_MONSTERS, before);
    EXPECT_EQ(startMonster(999, 0, MONSTER_MASKY), 0);
    for (int i = 0; i < MAX_MONSTERS; i++)
        EXPECT_EQ(monst[i].x, before[i].x);
    killMonsters();
    for (const Monster& m : monst)
        EXPECT_EQ(m.active, 0);
    killMonster(-1); // out of range: nothing
    killMonster(MAX_MONSTERS);
}

class MonsterMove : public MonsterTest {};

TEST_F(MonsterMove, WalksOnePixelAFrameAlongTheFloor) {
    load({"......................", "######################"});
    setMonster(0, 160, 160, MONSTER_BEETLE);
    run(10);
    EXPECT_EQ(monst[0].x, 150);
    EXPECT_EQ(monst[0].y, 160);
    EXPECT_EQ(monst[0].timer, 10);
}

TEST_F(MonsterMove, TurnsAtAWallWithoutMovingThatFrame) {
    load({"....#..#..............", "######################"});
    setMonster(0, 5 * 16 + 1, 160, MONSTER_MASKY);
    run(1);
    EXPECT_EQ(monst[0].x, 80);
    run(1); // the wall at column 4 is 1 px ahead
    EXPECT_EQ(monst[0].x, 80);
    EXPECT_EQ(monst[0].dx, 1);
    run(1);
    EXPECT_EQ(monst[0].x, 81);
    run(15); // the right edge reaches the wall at column 7 at x 96
    EXPECT_EQ(monst[0].x, 96);
    EXPECT_EQ(monst[0].dx, 1);
    run(1);
    EXPECT_EQ(monst[0].x, 96);
    EXPECT_EQ(monst[0].dx, -1);
}

TEST_F(MonsterMove, BetweenWallsOneCellApartItTurnsEveryFrame) {
    load({"....#.#...............", "######################"});
    setMonster(0, 80, 160, MONSTER_BEETLE);
    for (int i = 0; i < 6; i++) {
        run(1);
        EXPECT_EQ(monst[0].x, 80);
        EXPECT_EQ(monst[0].dx, i % 2 == 0 ? 1 : -1);
    }
}

TEST_F(MonsterMove, TheSkullStridesTwoPixelsAndProbesThatFarAhead) {
    load({"...#..................", "######################"});
    setMonster(0, 66, 160, MONSTER_SKULL);
    run(1);
    EXPECT_EQ(monst[0].x, 64);
    run(1); // x - 2 = 62 is inside the wall at column 3
    EXPECT_EQ(monst[0].x, 64);
    EXPECT_EQ(monst[0].dx, 2);
}

TEST_F(MonsterMove, AWalkerOffALedgeFallsFasterEveryThreeFrames) {
    load({"........................", "##########..............", "########################"});
    // columns 0 ... 9 of row 10 are the ledge; a BEETLE walks right off it
    setMonster(0, 150, 144, MONSTER_BEETLE);
    monst[0].dx = 1;
    run(10); // walks to x 160 standing, the last step decided on the ledge
    ASSERT_EQ(monst[0].x, 160);
    ASSERT_EQ(monst[0].y, 144);
    std::vector<int> drops;
    int y = monst[0].y;
    for (int i = 0; i < 9; i++) {
        run(1);
        drops.push_back(monst[0].y - y);
        y = monst[0].y;
    }
    EXPECT_EQ(drops, (std::vector<int>{1, 1, 1, 2, 2, 2, 3, 3, 3}));
    EXPECT_EQ(monst[0].x, 161) << "between rows it does not walk";
    run(1); // at y 162 its feet are in the floor of row 11: it stands on it
    EXPECT_EQ(monst[0].y, 160);
    EXPECT_EQ(monst[0].fall, 3);
    EXPECT_EQ(monst[0].x, 161);
    run(1);
    EXPECT_EQ(monst[0].x, 162) << "on a whole row again it walks on";
}

TEST_F(MonsterMove, FlyersAndSwimmersNeverFall) {
    load({"......................", "######################"});
    setMonster(0, 200, 48, MONSTER_WINGEDEYE);
    setMonster(1, 250, 64, MONSTER_ACIDFISH);
    run(30);
    EXPECT_EQ(monst[0].y, 48);
    EXPECT_EQ(monst[1].y, 64);
    EXPECT_EQ(monst[0].x, 170);
    EXPECT_EQ(monst[1].x, 220);
}

TEST_F(MonsterMove, TheSkullKeepsItsHeightOverAOneCellGap) {
    load({"......................", "#####.################"});
    setMonster(0, 112, 160, MONSTER_SKULL);
    for (int i = 0; i < 30; i++) {
        run(1);
        ASSERT_EQ(monst[0].y, 160) << "frame " << i;
    }
    EXPECT_EQ(monst[0].x, 52);
}

TEST_F(MonsterMove, ASlowWalkerDipsOnePixelIntoAOneCellGap) {
    load({"......................", "#####.################"});
    // it steps onto x 79 in the frame its old x 80 is over the gap, and catches the far edge
    setMonster(0, 112, 160, MONSTER_BEETLE);
    int deepest = 160;
    for (int i = 0; i < 40; i++) {
        run(1);
        deepest = std::max(deepest, monst[0].y);
    }
    EXPECT_EQ(deepest, 161);
    EXPECT_EQ(monst[0].y, 160);
    EXPECT_EQ(monst[0].x, 73) << "the frame spent in the dip is lost";
}

TEST_F(MonsterMove, ATwoCellGapSwallowsEvenTheSkull) {
    load({"......................", "####..################"});
    setMonster(0, 112, 160, MONSTER_SKULL);
    setMonster(1, 100, 160, MONSTER_BEETLE);
    run(60);
    EXPECT_EQ(monst[0].active, 0) << "fell out of the map";
    EXPECT_EQ(monst[1].active, 0);
}

TEST_F(MonsterMove, APushBlockOnItsCentreKillsIt) {
    load({"......................", "######################"});
    setMonster(0, 160, 160, MONSTER_MASKY);
    setMonster(1, 200, 160, MONSTER_MASKY);
    setBlocks(10, 10, 25);
    setBlocks(13, 10, 240); // a cell reserved by a block in motion
    run(1);
    EXPECT_EQ(monst[0].active, 0);
    EXPECT_EQ(monst[1].active, 0);
}

TEST_F(MonsterMove, EmbeddingFollowsTheMapsEdges) {
    load({"......................", "######################"});
    setBlocks(3, 0, 21);
    setMonster(0, -9, 40, MONSTER_WINGEDEYE);                 // centre left of the map
    setMonster(1, mapLength * 16 - 8, 40, MONSTER_WINGEDEYE); // centre right of it
    setMonster(2, 48, -30, MONSTER_WINGEDEYE);                // above: reads row 0, solid here
    setMonster(3, 96, -30, MONSTER_WINGEDEYE);                // above an empty row 0
    setMonster(4, 96, 186, MONSTER_WINGEDEYE);                // below the map: never embedded
    for (int i = 0; i < 5; i++)
        monst[i].dx = 0;
    run(1);
    EXPECT_EQ(monst[0].active, 0);
    EXPECT_EQ(monst[1].active, 0);
    EXPECT_EQ(monst[2].active, 0);
    EXPECT_EQ(monst[3].active, 1);
    EXPECT_EQ(monst[4].active, 1);
}

TEST_F(MonsterMove, FarFromTheViewTheyAreDropped) {
    load({"......................", "......................"}, 60);
    step = 300;
    struct Case {
        int x, y;
        bool stays;
    } cases[] = {{49, 50, false},  {50, 50, true},   {800, 50, true},
                 {801, 50, false}, {400, 200, true}, {400, 201, false}};
    for (int i = 0; i < 6; i++) {
        setMonster(i, cases[i].x, cases[i].y, MONSTER_WINGEDEYE);
        monst[i].dx = 0;
    }
    updateMonsters(&idle);
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(monst[i].active, cases[i].stays ? 1 : 0)
            << "x " << cases[i].x << " y " << cases[i].y;
}

TEST_F(MonsterMove, AStrandedMaskyVanishesWhenItsTimerReaches120) {
    load({"......................", "######################"});
    setMonster(0, 100, 20, MONSTER_MASKY); // high in the air, falling
    monst[0].timer = 118;
    monst[0].y = 21;
    setMonster(1, 140, 21, MONSTER_MASKY);
    monst[1].timer = 125;
    run(1);
    EXPECT_EQ(monst[0].active, 1);
    run(1);
    EXPECT_EQ(monst[0].active, 0) << "between rows at 120";
    EXPECT_EQ(monst[1].active, 1) << "past 120 it only vanishes when stomped";
}

} // namespace
