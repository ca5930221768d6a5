// The hero's walk: walking and momentum, the jump and landing, the view's left edge,
// pushing, riding, every touch probe and the ways to die.
#include "world_fixture.h"

#include "anim/anims.h"
#include "gfx/messages.h"
#include "world/collision.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/platforms.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// A floor on row 11 across the map; the hero stands on it at y 160.
TestMap floorMap(int columns = 21) {
    TestMap m(columns);
    m.fillRow(11, 21);
    return m;
}

const AnimObject* animAt(int kind, int column, int row) {
    for (const AnimObject& a : aos)
        if (a.active && a.kind == kind && a.x == column && a.y == row) return &a;
    return nullptr;
}

int activeAnims() {
    int n = 0;
    for (const AnimObject& a : aos)
        n += a.active;
    return n;
}

TEST(HeroJump, RisesFiftyPixelsOverTwentyOneFramesAndLands) {
    ASSERT_TRUE(loadTestMap(floorMap()));
    Figure f = heroAt(32, 160);
    walkFrames(&f, 1, 0, 0, 0);
    ASSERT_EQ(f.y, 160);
    ASSERT_EQ(f.vy, 7);
    int highest = f.y;
    for (int i = 0; i < 21; i++) {
        walk(&f, 0, 0, 1, 0, step);
        highest = std::min(highest, f.y);
    }
    EXPECT_EQ(f.y, 110);
    EXPECT_EQ(f.vy, 0);
    EXPECT_EQ(highest, 110);
    // still holding jump: down again, landing on the grid at rest, and no second jump
    for (int i = 0; i < 60; i++) {
        walk(&f, 0, 0, 1, 0, step);
        EXPECT_GE(f.y, 110);
        EXPECT_LE(f.y, 160);
    }
    EXPECT_EQ(f.y, 160);
    EXPECT_EQ(f.vy, 7);
    // released and pressed again, it jumps
    walk(&f, 0, 0, 0, 0, step);
    walk(&f, 0, 0, 1, 0, step);
    EXPECT_EQ(f.y, 155);
}

TEST(HeroJump, APressInMidAirStartsTheJumpOnLanding) {
    ASSERT_TRUE(loadTestMap(floorMap()));
    Figure f = heroAt(32, 160);
    walkFrames(&f, 10, 0, 0, 1); // up
    walkFrames(&f, 1, 0, 0, 0);  // released in the air
    walk(&f, 0, 0, 1, 0, step);  // pressed in the air: no jump there
    EXPECT_EQ(f.vy, -9);         // still rising from the first jump
    int frames = 0;
    while (!(f.y == 160 && f.vy == 7) && frames++ < 100)
        walk(&f, 0, 0, 1, 0, step);
    ASSERT_LT(frames, 100);
    walk(&f, 0, 0, 1, 0, step);
    EXPECT_EQ(f.y, 155);
}

TEST(HeroJump, ABounceRisesFourPixelsOrGivesAFullJump) {
    ASSERT_TRUE(loadTestMap(TestMap()));
    Figure f = heroAt(32, 100);
    f.vy = 12;
    f.bounce = 1;
    int top = f.y;
    for (int i = 0; i < 8; i++) {
        walk(&f, 0, 0, 0, 0, step);
        top = std::min(top, f.y);
    }
    EXPECT_EQ(top, 96);
    EXPECT_EQ(f.bounce, 0);
    // with jump pressed a stomp in mid-air becomes a full jump
    f = heroAt(32, 100);
    f.bounce = 1;
    walk(&f, 0, 0, 1, 0, step);
    EXPECT_EQ(f.vy, -20);
    EXPECT_EQ(f.y, 95);
}

TEST(HeroWalk, MomentumCarriesTheHeroToAMultipleOfEight) {
    ASSERT_TRUE(loadTestMap(floorMap()));
    Figure f = heroAt(13, 160);
    last_right = 1;
    last_left = 0;
    std::vector<int> xs;
    for (int i = 0; i < 3; i++) {
        walk(&f, 0, 0, 0, 0, step);
        xs.push_back(f.x);
    }
    EXPECT_EQ(xs, (std::vector<int>{14, 16, 16}));
    EXPECT_EQ(last_right, 0);

    f = heroAt(32, 160);
    walkFrames(&f, 3, 0, 1, 0);
    EXPECT_EQ(f.x, 38);
    walkFrames(&f, 5, 0, 0, 0);
    EXPECT_EQ(f.x, 40);

    walkFrames(&f, 1, 1, 0, 0);
    EXPECT_EQ(f.x, 38);
    walkFrames(&f, 5, 0, 0, 0);
    EXPECT_EQ(f.x, 32);
}

TEST(HeroWalk, CrawlingIsOnePixelPerFrame) {
    ASSERT_TRUE(loadTestMap(floorMap()));
    Figure f = heroAt(32, 160);
    walkFrames(&f, 3, 0, 1, 0, 1);
    EXPECT_EQ(f.x, 35);
    walkFrames(&f, 2, 1, 0, 0, 1);
    EXPECT_EQ(f.x, 33);
}

TEST(HeroWalk, AtTheViewsLeftEdgeTheHeroWalksOnTheSpot) {
    TestMap m = floorMap(60);
    ASSERT_TRUE(loadTestMap(m));
    step = 100;
    Figure f = heroAt(101, 160);
    std::set<int> sprites;
    for (int i = 0; i < 24; i++) {
        walk(&f, 1, 0, 0, 0, step);
        sprites.insert(f.sprite);
        EXPECT_EQ(f.idleCount, 0);
    }
    EXPECT_EQ(f.x, 100);
    EXPECT_EQ(*sprites.begin(), 5);
    EXPECT_EQ(*sprites.rbegin(), 8);
    EXPECT_EQ(sprites.size(), 4u);
}

TEST(HeroWalk, WallsStopTheHeroAtBothSidesAndTheMapEnds) {
    TestMap m = floorMap();
    m.set(4, 10, 21);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(40, 160);
    walkFrames(&f, 10, 0, 1, 0);
    EXPECT_EQ(f.x, 48);
    // the right end of the map is a wall
    f = heroAt(21 * 16 - 20, 160);
    walkFrames(&f, 10, 0, 1, 0);
    EXPECT_EQ(f.x, 21 * 16 - 16);
    // a wall only at head height blocks as well, through the probe at y + 1
    TestMap low = floorMap();
    low.set(4, 9, 21);
    ASSERT_TRUE(loadTestMap(low));
    f = heroAt(48, 150);
    f.vy = 0;
    walk(&f, 0, 1, 0, 0, step);
    EXPECT_EQ(f.x, 48);
    walk(&f, 0, 1, 0, 0, step);
    EXPECT_EQ(f.x, 48);
    EXPECT_EQ(f.y, 150);
}

TEST(HeroWalk, SpritesCycleAndSettle) {
    ASSERT_TRUE(loadTestMap(floorMap()));
    Figure f = heroAt(32, 160);
    EXPECT_EQ(f.sprite, 24);
    std::vector<int> seen;
    for (int i = 0; i < 12; i++) {
        walk(&f, 0, 1, 0, 0, step);
        seen.push_back(f.sprite);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 1}));
    walk(&f, 0, 0, 0, 0, step);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(f.sprite, 65);
    walk(&f, 1, 0, 0, 0, step);
    EXPECT_GE(f.sprite, 5);
    EXPECT_LE(f.sprite, 8);
    // released at x 54, the hero walks on to 48 and only then stands
    walkFrames(&f, 3, 0, 0, 0);
    EXPECT_EQ(f.x, 48);
    EXPECT_LE(f.sprite, 8);
    walkFrames(&f, 1, 0, 0, 0);
    EXPECT_EQ(f.sprite, 68);
    walkFrames(&f, 499, 0, 0, 0);
    EXPECT_EQ(f.sprite, 68);
    walkFrames(&f, 1, 0, 0, 0);
    EXPECT_EQ(f.sprite, 24);
    EXPECT_EQ(f.walkCount, 0);
}

TEST(HeroWalk, WalkingRightAfterALongWalkLeftKeepsToTheWalkingImages) {
    TestMap m = floorMap(200);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(1000, 160);
    walkFrames(&f, 200, 1, 0, 0); // walkCount far below zero
    ASSERT_LT(f.walkCount, -100);
    for (int i = 0; i < 60; i++) {
        walk(&f, 0, 1, 0, 0, step);
        EXPECT_GE(f.sprite, 1) << "frame " << i;
        EXPECT_LE(f.sprite, 4) << "frame " << i;
    }
}

TEST(HeroPush, ABlockMovesAfterFourFramesOfPushing) {
    TestMap m = floorMap();
    m.set(3, 10, 25);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(32, 160);
    walkFrames(&f, 3, 0, 1, 0);
    EXPECT_EQ(pushForce, 3);
    EXPECT_EQ(activeAnims(), 0);
    // a frame of free movement starts the count again
    walkFrames(&f, 1, 1, 0, 0);
    EXPECT_EQ(pushForce, 0);
    EXPECT_EQ(f.x, 30);
    walkFrames(&f, 1, 0, 1, 0);
    EXPECT_EQ(f.x, 32);
    walkFrames(&f, 3, 0, 1, 0);
    EXPECT_EQ(activeAnims(), 0);
    walkFrames(&f, 1, 0, 1, 0);
    EXPECT_NE(animAt(ANIM_PUSH_RIGHT, 3, 10), nullptr);
    EXPECT_EQ(pushForce, 0);
    EXPECT_EQ(f.x, 32);
}

TEST(HeroPush, PushingLeftAndBlockedPushes) {
    TestMap m = floorMap();
    m.set(1, 10, 25).set(5, 10, 25).set(6, 10, 21);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(32, 160);
    walkFrames(&f, 4, 1, 0, 0);
    EXPECT_NE(animAt(ANIM_PUSH_LEFT, 1, 10), nullptr);
    clearAnims();
    // a block with a wall behind it does not move
    f = heroAt(64, 160);
    walkFrames(&f, 10, 0, 1, 0);
    EXPECT_EQ(pushForce, 0);
    EXPECT_EQ(activeAnims(), 0);
    // in the air the hero cannot push, and the count starts again
    f = heroAt(32, 150);
    f.vy = 0;
    pushForce = 2;
    walkFrames(&f, 1, 1, 0, 0);
    EXPECT_EQ(f.x, 32);
    EXPECT_EQ(pushForce, 0);
}

TEST(HeroDeath, FallingBelowTheMap) {
    TestMap m = floorMap();
    m.set(10, 11, 0);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(160, 249);
    f.vy = 4;
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(f.y, 250);
    EXPECT_EQ(f.alive, 1);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(f.y, 251);
    EXPECT_EQ(f.alive, 0);
    EXPECT_EQ(f.dying, 0);
    EXPECT_EQ(f.idleCount, 180);
    EXPECT_STREQ(messageString, message(MSG_FELL));
    // a dead hero no longer moves
    walk(&f, 0, 1, 1, 0, step);
    EXPECT_EQ(f.y, 251);
    EXPECT_EQ(f.x, 160);
}

TEST(HeroDeath, DyingOnlyOnceAndTheDeathHop) {
    ASSERT_TRUE(loadTestMap(floorMap()));
    Figure f = heroAt(64, 160);
    figureDying(&f, "FIRST", 0);
    EXPECT_EQ(f.dying, 1);
    EXPECT_EQ(f.vy, -16);
    figureDying(&f, "SECOND", 19);
    EXPECT_STREQ(messageString, "FIRST");
    EXPECT_EQ(f.deathAnim, 0);
    EXPECT_EQ(activeAnims(), 0);
    // the hop: left by 1 px a frame, up and then down until far below the map
    walk(&f, 0, 1, 1, 0, step);
    EXPECT_EQ(f.x, 63);
    EXPECT_EQ(f.y, 156);
    int frames = 0;
    while (f.alive && frames++ < 1000)
        walk(&f, 0, 0, 0, 0, step);
    EXPECT_GT(f.y, 2500);
    EXPECT_LT(frames, 1000);

    // with an animation the hero hangs still until the animation lets go
    f = heroAt(64, 160);
    figureDying(&f, "SLASHED", ANIM_DEATH_SLASH);
    EXPECT_EQ(f.vy, 0);
    EXPECT_NE(animAt(ANIM_DEATH_SLASH, 64, 160), nullptr);
    walkFrames(&f, 10, 0, 0, 0);
    EXPECT_EQ(f.y, 160);
    EXPECT_EQ(f.x, 54);
    EXPECT_EQ(f.alive, 1);

    Figure k = heroAt(64, 160);
    killFigure(&k, "TIME UP", 0);
    EXPECT_EQ(k.alive, 0);
    EXPECT_EQ(k.idleCount, 180);
    EXPECT_STREQ(messageString, "TIME UP");
}

TEST(HeroProbes, TheFirstLethalPointDecidesTheDeath) {
    // The hero's four probe points lie in four different cells: top-left (2,9), top-right
    // (3,9), bottom-right (3,10), bottom-left (2,10).
    TestMap m;
    m.set(3, 9, 140).set(2, 10, 87);
    ASSERT_TRUE(loadTestMap(m));
    setBlock(2, 10, 87); // the scan made it a hidden trap; put the spikes back
    Figure f = heroAt(40, 152);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(f.dying, 1);
    EXPECT_STREQ(messageString, message(MSG_BLOWN_UP));
    EXPECT_EQ(f.deathAnim, 0);
    EXPECT_NE(animAt(ANIM_EXPLODE, 3, 9), nullptr);
    EXPECT_EQ(f.x, 39); // the dying motion ran once more in the same frame

    TestMap s;
    s.set(2, 9, 105).set(3, 10, 140);
    ASSERT_TRUE(loadTestMap(s));
    f = heroAt(40, 152);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_STREQ(messageString, message(MSG_IMPALED));
    EXPECT_EQ(f.deathAnim, ANIM_DEATH_SLASH);
    EXPECT_EQ(animAt(ANIM_EXPLODE, 3, 10), nullptr);
}

TEST(HeroProbes, TheDoorEndsTheStageOnlyWhenOpen) {
    TestMap m = floorMap(30);
    m.set(5, 9, 27).set(6, 9, 28).set(5, 10, 47).set(6, 10, 48);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(96, 160);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(f.madeIt, 1);
    EXPECT_TRUE(haveMadeit(&f));

    m.set(20, 10, 41);
    ASSERT_TRUE(loadTestMap(m));
    f = heroAt(96, 160);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(f.madeIt, 0);
    EXPECT_EQ(f.ringsMissing, 1);
    f.x = 80; // the bottom-left door cell is not where the hero is let out
    setDoor(27, 28, 47, 48);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(f.madeIt, 0);
}

TEST(HeroProbes, RingsCountOnceAndTheLastOpensTheDoor) {
    TestMap m = floorMap(30);
    m.set(3, 10, 41).set(5, 10, 41);
    m.set(20, 9, 27).set(21, 9, 28).set(20, 10, 47).set(21, 10, 48);
    ASSERT_TRUE(loadTestMap(m));
    ASSERT_EQ(stars, 2);
    Figure f = heroAt(32, 160);
    // all animation slots busy: the ring is neither counted nor cleared
    fillAnimSlots();
    walkFrames(&f, 4, 0, 1, 0); // centre reaches column 3
    EXPECT_EQ(stars, 2);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(getBlock(3, 10), 41);
    clearAnims();
    int splash = 0;
    stageFrame(&f, StageInput{0, 1, 0, 0}, &splash);
    EXPECT_EQ(stars, 1);
    EXPECT_EQ(score, 1);
    // the animation clears the cell on its first update; the ring counts once
    stageFrame(&f, StageInput{0, 0, 0, 0}, &splash);
    EXPECT_EQ(getBlock(3, 10), 0);
    EXPECT_EQ(stars, 1);
    EXPECT_EQ(getBlock(20, 9), 38);
    // the last ring opens the door in the live map only
    stageFrames(&f, 20, StageInput{0, 1, 0, 0});
    EXPECT_EQ(stars, 0);
    EXPECT_EQ(score, 2);
    EXPECT_EQ(getBlock(20, 9), 27);
    EXPECT_EQ(getBlock(21, 9), 28);
    EXPECT_EQ(getBlock(20, 10), 47);
    EXPECT_EQ(getBlock(21, 10), 48);
    EXPECT_EQ(mapOri[20 * 12 + 9], 38);
}

TEST(HeroProbes, BonusAndExtraLife) {
    TestMap m = floorMap();
    m.set(3, 10, 137).set(6, 10, 26);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(40, 160);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(score, 20);
    EXPECT_EQ(getBlock(3, 10), 138);
    EXPECT_EQ(mapOri[3 * 12 + 10], 138);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(score, 20);
    f.x = 88;
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(lives, START_LIVES + 1);
    EXPECT_NE(animAt(ANIM_PICKUP, 6, 10), nullptr);
}

TEST(HeroProbes, ACheckpointRecordsTheRestartEvenWithoutAFreeSlot) {
    TestMap m = floorMap();
    m.set(3, 10, 17);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(40, 160);
    fillAnimSlots();
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(startx, 48);
    EXPECT_EQ(starty, 160);
    EXPECT_EQ(startf, 1);
    EXPECT_EQ(checkpoint, 0);
    clearAnims();
    startx = starty = 0;
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(startx, 48);
    EXPECT_EQ(checkpoint, 1);
    EXPECT_NE(animAt(ANIM_FLAG, 3, 10), nullptr);
    // once touched, further flags in this attempt are left alone
    startx = 0;
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(startx, 0);
}

TEST(HeroProbes, HeadHitsBreakBricksAndDropTheHero) {
    TestMap m = floorMap();
    m.set(2, 8, 40).set(6, 8, 20);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(32, 160);
    walk(&f, 0, 0, 1, 0, step); // 155
    walk(&f, 0, 0, 1, 0, step); // 150
    walk(&f, 0, 0, 1, 0, step); // 146
    walk(&f, 0, 0, 1, 0, step); // 142: into the brick's row
    EXPECT_EQ(f.y, 144);
    EXPECT_EQ(f.vy, 7);
    EXPECT_EQ(score, 1);
    EXPECT_NE(animAt(ANIM_BRICK, 2, 8), nullptr);

    f = heroAt(96, 160);
    walkFrames(&f, 4, 0, 0, 1);
    EXPECT_EQ(f.y, 144);
    EXPECT_EQ(score, 1);
    EXPECT_NE(animAt(ANIM_SHINE, 6, 8), nullptr);
}

TEST(HeroProbes, TheFeetAreProbedWhereTheHeadHitLeftTheHero) {
    // a corridor one cell high: bump block above, crumbling floor below
    TestMap m;
    m.set(2, 8, 20).set(2, 10, 22);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(32, 144);
    walk(&f, 0, 0, 1, 0, step); // up 5 px into the bump block, and pushed back down
    EXPECT_EQ(f.y, 144);
    EXPECT_NE(animAt(ANIM_SHINE, 2, 8), nullptr);
    EXPECT_NE(animAt(ANIM_CRUMBLE, 2, 10), nullptr);
}

TEST(HeroProbes, CrumblingFloorUnderTheCentreOrAnEdge) {
    TestMap m = floorMap();
    m.set(2, 11, 22).set(3, 11, 0); // crumbling block with a gap to its right
    m.set(8, 11, 22);               // crumbling block with solid ground to its right
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(40, 160); // centre over the gap, left edge over the crumbling block
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_NE(animAt(ANIM_CRUMBLE, 2, 11), nullptr);
    clearAnims();
    f = heroAt(136, 160); // centre on solid 21 at column 9: the edges are not looked at
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(activeAnims(), 0);
    f = heroAt(120, 160); // centre on the crumbling block
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_NE(animAt(ANIM_CRUMBLE, 8, 11), nullptr);
}

TEST(HeroProbes, TrapdoorsShutBehindTheHeroAndSpikeTrapsSpring) {
    TestMap m = floorMap();
    m.set(3, 10, 88).set(7, 10, 87);
    ASSERT_TRUE(loadTestMap(m));
    ASSERT_EQ(getBlock(7, 10), 86);
    Figure f = heroAt(48, 160);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(f.trapLatched, 1);
    EXPECT_EQ(f.trapX, 48);
    EXPECT_EQ(f.trapY, 160);
    walkFrames(&f, 7, 0, 1, 0); // x 62: the right edge is past it, the left still on it
    EXPECT_EQ(activeAnims(), 0);
    walkFrames(&f, 1, 0, 1, 0); // x 64: off it
    EXPECT_EQ(f.trapLatched, 0);
    EXPECT_NE(animAt(ANIM_TRAPDOOR, 3, 10), nullptr);
    // the hidden spikes spring when the hero's centre reaches their cell
    walkFrames(&f, 19, 0, 1, 0); // x 102: centre still in column 6
    EXPECT_EQ(animAt(ANIM_TRAP, 7, 10), nullptr);
    walkFrames(&f, 1, 0, 1, 0);
    EXPECT_NE(animAt(ANIM_TRAP, 7, 10), nullptr);
    EXPECT_EQ(f.dying, 0);
}

TEST(HeroRide, PlatformsCarryAndCrush) {
    // a platform in column 3 between a ceiling on row 2 and a floor on row 8
    TestMap m = floorMap();
    m.set(3, 2, 21).set(3, 6, 66).set(3, 8, 21);
    ASSERT_TRUE(loadTestMap(m));
    ASSERT_EQ(pcount, 1);
    Figure f = heroAt(48, 80);
    int frames = 0;
    while (!f.dying && frames++ < 200) {
        updatePlatforms(&f);
        walk(&f, 0, 0, 0, 0, step);
        if (!f.dying) {
            ASSERT_EQ(f.platform, 0) << "frame " << frames;
            ASSERT_EQ(f.y, platforms[0].y - 16) << "frame " << frames;
        }
    }
    // down to row 7, back up, and crushed a cell below the ceiling
    EXPECT_EQ(frames, 16 + 48);
    EXPECT_EQ(platforms[0].y, 64);
    EXPECT_STREQ(messageString, message(MSG_SMASHED));
    EXPECT_EQ(f.deathAnim, ANIM_DEATH_CRUSHED);
}

TEST(HeroRide, JumpingOffAPlatformAndSteppingOntoGround) {
    TestMap m = floorMap();
    m.set(3, 5, 66).set(4, 9, 21);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(48, 64);
    updatePlatforms(&f);
    walk(&f, 0, 0, 0, 0, step);
    ASSERT_EQ(f.platform, 0);
    updatePlatforms(&f);
    walk(&f, 0, 0, 1, 0, step);
    EXPECT_EQ(f.platform, -1);
    EXPECT_EQ(f.vy, -20);

    // standing half over ground, the sinking platform leaves the hero on the ground
    f = heroAt(56, 128);
    platforms[0].y = 143;
    platforms[0].dy = 1;
    updatePlatforms(&f);
    ASSERT_EQ(f.platform, 0);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(f.y, 128);
    EXPECT_EQ(f.platform, -1);
    EXPECT_EQ(f.vy, 7);
}

TEST(HeroStart, LoweringStopsOnGroundOrOnTheBottomRow) {
    TestMap m = floorMap();
    m.set(5, 11, 0).set(7, 4, 25);
    ASSERT_TRUE(loadTestMap(m));
    EXPECT_EQ(lowerOntoGround(16, 100), 160);
    EXPECT_EQ(lowerOntoGround(16, 160), 160);
    EXPECT_EQ(lowerOntoGround(80, 100), 176); // no ground at all
    EXPECT_EQ(lowerOntoGround(112, 0), 48);   // a push block is ground
    EXPECT_EQ(lowerOntoGround(-16, 10), 10);  // outside the map: the wall holds it
}

TEST(HeroScroll, TheViewFollowsTheHeroRightOnly) {
    ASSERT_TRUE(loadTestMap(floorMap(60)));
    ASSERT_EQ(step, 0);
    Figure f = heroAt(200, 160);
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(step, 0);
    f.x = 201;
    last_right = 0;
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(step, 1);
    f.x = 232;
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(step, 3);
    f.x = 50;
    walk(&f, 0, 0, 0, 0, step);
    EXPECT_EQ(step, 3);
}

} // namespace
