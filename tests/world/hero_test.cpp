// The hero's walk: the view's edges, pushing, riding, every touch probe and the ways to
// die. The jump, momentum and the view following the hero are held by the stage replays,
// which every change to them breaks.
#include "world_kit.h"

#include "audio/sound.h"
#include "gfx/messages.h"
#include "world/collision.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/platforms.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// A floor on row 11 across the map; the hero stands on it at y 160.
TestMap floorMap(int columns = 21) {
    return TestMap(columns).fillRow(11, 21);
}

TEST(HeroWalk, TheViewsLeftEdgeWallsAndTheMapsEndStopTheHero) {
    ASSERT_TRUE(loadTestMap(floorMap(60).set(4, 10, 21).set(12, 9, 21)));
    Figure f = heroAt(40, 160);
    EXPECT_EQ(walkFrames(&f, 6, 0, 1, 0), Ints({42, 44, 46, 48, 48, 48}));
    f = heroAt(60 * 16 - 20, 160);
    walkFrames(&f, 10, 0, 1, 0);
    EXPECT_EQ(f.x, 60 * 16 - 16);
    f = heroAt(176, 150); // a wall only at head height blocks too, through the probe at y + 1
    f.vy = 0;
    walkFrames(&f, 2, 0, 1, 0);
    EXPECT_EQ(Ints({f.x, f.y}), Ints({176, 150}));
    step = 100; // at the view's left edge the hero walks on the spot
    f = heroAt(101, 160);
    Ints sprites = walkFrames(&f, 24, 1, 0, 0, &Figure::sprite);
    EXPECT_EQ(Ints({f.x, f.idleCount}), Ints({100, 0}));
    EXPECT_EQ(std::set<int>(sprites.begin(), sprites.end()), (std::set<int>{5, 6, 7, 8}));
}

TEST(HeroPush, ABlockMovesAfterFourFramesOfPushingOnTheGround) {
    ASSERT_TRUE(loadTestMap(floorMap().set(3, 10, CELL_PUSH)));
    Figure f = heroAt(32, 160);
    walkFrames(&f, 3, 0, 1, 0);
    EXPECT_EQ(pushForce, 3);
    walkFrames(&f, 1, 1, 0, 0); // a frame of free movement starts the count again
    EXPECT_EQ(pushForce, 0);
    walkFrames(&f, 4, 0, 1, 0);
    EXPECT_EQ(activeAnims(), 0);
    walkFrames(&f, 1, 0, 1, 0);
    EXPECT_NE(animAt(ANIM_PUSH_RIGHT, 3, 10), nullptr);
    EXPECT_EQ(Ints({pushForce, f.x}), Ints({0, 32}));
    // a block with a wall behind it stays, left mirrors right, and in the air nobody pushes
    ASSERT_TRUE(loadTestMap(floorMap()
                                .set(5, 10, CELL_PUSH)
                                .set(6, 10, 21)
                                .set(9, 10, CELL_PUSH)
                                .set(1, 9, CELL_PUSH)));
    f = heroAt(64, 160);
    walkFrames(&f, 10, 0, 1, 0);
    EXPECT_EQ(Ints({pushForce, activeAnims()}), Ints({0, 0}));
    f = heroAt(160, 160);
    walkFrames(&f, 4, 1, 0, 0);
    EXPECT_NE(animAt(ANIM_PUSH_LEFT, 9, 10), nullptr);
    f = heroAt(32, 144);
    f.vy = 0;
    pushForce = 2;
    walkFrames(&f, 1, 1, 0, 0);
    EXPECT_EQ(Ints({f.x, pushForce}), Ints({32, 0}));
}

TEST(HeroDeath, FallingBelowTheMapAndTheDyingMotion) {
    ASSERT_TRUE(loadTestMap(floorMap().set(10, 11, 0)));
    Figure f = heroAt(160, 249);
    f.vy = 4;
    EXPECT_EQ(walkFrames(&f, 2, 0, 0, 0, &Figure::alive), Ints({1, 0})) << "at 250, then 251";
    EXPECT_EQ(Ints({f.y, f.dying, f.idleCount}), Ints({251, 0, 180}));
    EXPECT_STREQ(messageString, message(MSG_FELL));
    walk(&f, 0, 1, 1, 0, step); // a dead hero no longer moves
    EXPECT_EQ(Ints({f.x, f.y}), Ints({160, 251}));
    // the first fatal hit counts; its hop drifts left, up and down until far below the map
    f = heroAt(64, 160);
    figureDying(&f, "FIRST", 0);
    figureDying(&f, "SECOND", ANIM_DEATH_SLASH);
    EXPECT_STREQ(messageString, "FIRST");
    EXPECT_EQ(Ints({f.deathAnim, activeAnims()}), Ints({0, 0}));
    walk(&f, 0, 1, 1, 0, step);
    EXPECT_EQ(Ints({f.x, f.y}), Ints({63, 156}));
    Ints alive = walkFrames(&f, 1000, 0, 0, 0, &Figure::alive);
    EXPECT_EQ(std::count(alive.begin(), alive.end(), 1), 154);
    EXPECT_GT(f.y, 2500);
    f = heroAt(64, 160); // with an animation the hero hangs still until it lets go
    figureDying(&f, "SLASHED", ANIM_DEATH_SLASH);
    EXPECT_NE(animAt(ANIM_DEATH_SLASH, 64, 160), nullptr);
    walkFrames(&f, 10, 0, 0, 0);
    EXPECT_EQ(Ints({f.y, f.vy, f.alive}), Ints({160, 0, 1}));
    f = heroAt(64, 160); // with every slot busy the picture cannot play: the hop ends it
    fillAnimSlots();
    figureDying(&f, "SLASHED", ANIM_DEATH_SLASH);
    alive = walkFrames(&f, 1000, 0, 0, 0, &Figure::alive);
    EXPECT_EQ(Ints({f.deathAnim, (int)std::count(alive.begin(), alive.end(), 1)}), Ints({0, 155}));
    killFigure(&f, "TIME UP", 0);
    EXPECT_EQ(Ints({f.alive, f.idleCount}), Ints({0, 180}));
    EXPECT_STREQ(messageString, "TIME UP");
}

TEST(HeroProbes, TheFirstLethalPointDecidesTheDeath) {
    // the probe points lie in four cells: top-left (2,9), top-right (3,9), bottom-right
    // (3,10), bottom-left (2,10)
    ASSERT_TRUE(loadTestMap(TestMap().set(3, 9, CELL_MINE)));
    setBlock(2, 10, 87); // the scan hid the spikes of the file
    Figure f = heroAt(40, 152);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_STREQ(messageString, message(MSG_BLOWN_UP));
    EXPECT_NE(animAt(ANIM_EXPLODE, 3, 9), nullptr);
    EXPECT_EQ(Ints({f.deathAnim, f.x}), Ints({0, 39})) << "the dying motion ran at once";
    ASSERT_TRUE(loadTestMap(TestMap().set(2, 9, CELL_SPIKES_UP).set(3, 10, CELL_MINE)));
    f = heroAt(40, 152);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_STREQ(messageString, message(MSG_IMPALED));
    EXPECT_EQ(f.deathAnim, ANIM_DEATH_SLASH);
    EXPECT_EQ(animAt(ANIM_EXPLODE, 3, 10), nullptr);
}

TEST(HeroProbes, TheDoorLetsTheHeroOutOnlyWhenOpen) {
    TestMap m = floorMap(30).draw({"[]", "{}", "##"}, 5);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(96, 160);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_TRUE(haveMadeit(&f));
    ASSERT_TRUE(loadTestMap(m.set(20, 10, CELL_RING)));
    f = heroAt(96, 160);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(Ints({f.madeIt, f.ringsMissing}), Ints({0, 1}));
    f.x = 80; // the bottom-left door cell is not the way out
    setDoor(27, 28, 47, 48);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(f.madeIt, 0);
}

TEST(HeroProbes, PickupsCountOnceAndOnlyWhenTheirAnimationStarts) {
    ASSERT_TRUE(loadTestMap(
        floorMap(30).set(3, 10, CELL_RING).set(5, 10, CELL_RING).set(8, 10, CELL_LIFE)));
    Figure f = heroAt(32, 160);
    fillAnimSlots();
    walkFrames(&f, 4, 0, 1, 0); // the centre reaches column 3
    EXPECT_EQ(Ints({stars, score, cell(3, 10)}), Ints({2, 0, 41})) << "left for a later touch";
    clearAnims();
    stageFrames(&f, 1, StageInput{0, 1, 0, 0});
    EXPECT_EQ(Ints({stars, score, cell(3, 10)}), Ints({1, 1, 41}));
    stageFrames(&f, 1);
    EXPECT_EQ(Ints({stars, score, cell(3, 10)}), Ints({1, 1, 0})) << "counted once";
    fillAnimSlots();
    f.x = 128;
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(Ints({lives, cell(8, 10)}), Ints({START_LIVES, 26}));
    clearAnims();
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(lives, START_LIVES + 1);
    EXPECT_NE(animAt(ANIM_PICKUP, 8, 10), nullptr);
    // a bonus is taken at once and for good, with no animation
    ASSERT_TRUE(loadTestMap(floorMap().set(3, 10, CELL_BONUS)));
    f = heroAt(40, 160);
    walkFrames(&f, 2, 0, 0, 0);
    EXPECT_EQ(Ints({score, cell(3, 10), under(3, 10)}), Ints({20, 138, 138}));
}

TEST(HeroProbes, ACheckpointRecordsTheRestartEvenWithoutAFreeSlot) {
    ASSERT_TRUE(loadTestMap(floorMap().set(6, 10, CELL_FLAG)));
    Figure f = heroAt(88, 160);
    fillAnimSlots();
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(Ints({startx, starty, startf, checkpoint}), Ints({96, 160, 1, 0}));
    clearAnims();
    startx = 0;
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(Ints({startx, checkpoint}), Ints({96, 1}));
    EXPECT_NE(animAt(ANIM_FLAG, 6, 10), nullptr);
    startx = 0; // once touched, flags are left alone in this attempt
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(startx, 0);
}

TEST(HeroProbes, TheHeadBreaksBricksAndBumpsAndTheFeetCrumbleFloors) {
    ASSERT_TRUE(loadTestMap(floorMap().set(2, 8, CELL_BRICK).set(6, 8, CELL_BUMP)));
    SoundProbe sounds;
    Figure f = heroAt(32, 160);
    EXPECT_EQ(walkFrames(&f, 4, 0, 0, 1, &Figure::y), Ints({155, 150, 146, 144}));
    EXPECT_EQ(Ints({f.vy, score}), Ints({7, 1})) << "pushed below the brick, falling";
    EXPECT_NE(animAt(ANIM_BRICK, 2, 8), nullptr);
    f = heroAt(96, 160);
    walkFrames(&f, 4, 0, 0, 1);
    EXPECT_EQ(Ints({f.y, score, sounds.playing(SND_KRACK), sounds.playing(SND_KLONK)}),
              Ints({144, 1, 1, 1}));
    EXPECT_NE(animAt(ANIM_SHINE, 6, 8), nullptr);
    // one cell high: the feet are probed where the head hit left the hero
    ASSERT_TRUE(loadTestMap(TestMap().set(2, 8, CELL_BUMP).set(2, 10, CELL_CRUMBLE)));
    f = heroAt(32, 144);
    EXPECT_EQ(walkFrames(&f, 1, 0, 0, 1, &Figure::y), Ints({144}));
    EXPECT_NE(animAt(ANIM_CRUMBLE, 2, 10), nullptr);
    // under the centre, or under an edge when the centre is not on solid ground
    ASSERT_TRUE(
        loadTestMap(floorMap().set(2, 11, CELL_CRUMBLE).set(3, 11, 0).set(8, 11, CELL_CRUMBLE)));
    for (int x : {40, 136, 120}) {
        f = heroAt(x, 160);
        walk(&f, 0, 0, 0, 0, step);
    }
    EXPECT_NE(animAt(ANIM_CRUMBLE, 2, 11), nullptr);
    EXPECT_NE(animAt(ANIM_CRUMBLE, 8, 11), nullptr);
    EXPECT_EQ(activeAnims(), 2) << "at 136 the centre stands on solid ground";
}

TEST(HeroProbes, TrapdoorsShutBehindTheHeroAndSpikeTrapsSpring) {
    TestMap m = floorMap().set(3, 10, CELL_TRAPDOOR).set(4, 10, CELL_TRAPDOOR);
    ASSERT_TRUE(loadTestMap(m.set(8, 10, CELL_SPIKES)));
    ASSERT_EQ(cell(8, 10), CELL_SPIKES_HIDDEN);
    Figure f = heroAt(36, 160); // only the right edge is over the first trapdoor
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(Ints({f.trapLatched, f.trapX, f.trapY}), Ints({1, 48, 160}));
    walkFrames(&f, 14, 0, 1, 0); // x 64: from the first straight onto the second
    EXPECT_EQ(Ints({f.trapLatched, f.trapX}), Ints({1, 64}));
    EXPECT_NE(animAt(ANIM_TRAPDOOR, 3, 10), nullptr);
    walkFrames(&f, 7, 0, 1, 0); // x 78: the left edge is still on the second
    EXPECT_EQ(animAt(ANIM_TRAPDOOR, 4, 10), nullptr);
    walkFrames(&f, 1, 0, 1, 0);
    EXPECT_EQ(f.trapLatched, 0);
    EXPECT_NE(animAt(ANIM_TRAPDOOR, 4, 10), nullptr);
    walkFrames(&f, 19, 0, 1, 0); // x 118: the centre is still in column 7
    EXPECT_EQ(animAt(ANIM_TRAP, 8, 10), nullptr);
    walkFrames(&f, 1, 0, 1, 0);
    EXPECT_NE(animAt(ANIM_TRAP, 8, 10), nullptr);
    EXPECT_EQ(f.dying, 0);
}

TEST(HeroRide, PlatformsCarryTheHeroAndCrushHimUnderACeiling) {
    // column 3: a ceiling (solid or spikes) on row 2, the platform on row 6, a floor on row 8
    for (int ceiling : {21, int(CELL_SPIKES_UP)}) {
        ASSERT_TRUE(
            loadTestMap(floorMap().set(3, 2, ceiling).set(3, 6, CELL_PLATFORM).set(3, 8, 21)));
        Figure f = heroAt(48, 80);
        int frames = 0, strays = 0;
        while (!f.dying && frames++ < 200) {
            updatePlatforms(&f);
            walk(&f, 0, 0, 0, 0, step);
            strays += !f.dying && f.y != platforms[0].y - 16;
        }
        // down to row 7, then up to a cell below the ceiling
        EXPECT_EQ(Ints({strays, frames, platforms[0].y, f.deathAnim}),
                  Ints({0, 16 + 48, 64, ANIM_DEATH_CRUSHED}));
        EXPECT_STREQ(messageString, message(MSG_SMASHED));
    }
    Figure f{};
    // a jump leaves a platform; ground takes over from a sinking one
    ASSERT_TRUE(loadTestMap(floorMap().set(3, 5, CELL_PLATFORM).set(4, 9, 21)));
    f = heroAt(48, 64);
    updatePlatforms(&f);
    walk(&f, 0, 0, 0, 0, step);
    ASSERT_EQ(f.platform, 0);
    updatePlatforms(&f);
    walk(&f, 0, 0, 1, 0, step);
    EXPECT_EQ(Ints({f.platform, f.vy}), Ints({-1, -20}));
    f = heroAt(56, 127); // riding, half over the ground of column 4
    platforms[0] = Platform{48, 142, 1};
    for (int frame = 0; frame < 2; frame++) {
        updatePlatforms(&f);
        ASSERT_EQ(f.platform, 0);
        walk(&f, 0, 0, 0, 0, step);
    }
    EXPECT_EQ(Ints({f.y, f.platform, f.vy}), Ints({128, -1, 7}));
    for (int frame = 0; frame < 20; frame++) { // and the lift sinks on without him
        updatePlatforms(&f);
        walk(&f, 0, 0, 0, 0, step);
    }
    EXPECT_EQ(Ints({f.y, f.platform, platforms[0].y}), Ints({128, -1, 156}));
}

} // namespace
