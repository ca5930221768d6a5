// The hero's walk: pushing, every touch probe, the ways to die and riding the lifts, with
// the lifts' own turning points and crushing; the monsters walking, turning at walls and
// gaps, and what happens when they meet the hero. Walking, the jump, momentum and the view
// following the hero are held by the stage replays, which every change to them breaks.
#include "world_kit.h"

#include "audio/sound.h"
#include "gfx/messages.h"
#include "world/collision.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/platforms.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The hero standing still for one frame at (x, y) on `map`.
Figure standOn(const TestMap& map, int x, int y) {
    Figure f = heroOn(map, x, y);
    walkFrames(&f, 1, 0, 0, 0);
    return f;
}

TEST(HeroPush, ABlockMovesAfterFourFramesOfPushingOnTheGround) {
    ASSERT_TRUE(loadTestMap(TestMap().floor().set(3, 10, CELL_PUSH).set(9, 10, CELL_PUSH)));
    // from an odd x the first step is a single pixel, back onto the even grid the block
    // needs the hero on
    Figure f = heroAt(31, 160);
    EXPECT_EQ(walkFrames(&f, 4, 0, 1, 0), Ints({32, 32, 32, 32}));
    EXPECT_EQ(activeAnims(), 0);
    walkFrames(&f, 1, 0, 1, 0);
    EXPECT_NE(animAt(ANIM_PUSH_RIGHT, 3, 10), nullptr);
    f = heroAt(160, 160); // and to the left
    walkFrames(&f, 4, 1, 0, 0);
    EXPECT_NE(animAt(ANIM_PUSH_LEFT, 9, 10), nullptr);
}

TEST(HeroDeath, FallingBelowTheMapAndTheDyingMotion) {
    Figure f = heroOn(TestMap().floor().set(10, 11, 0), 160, 249);
    f.vy = 4;
    EXPECT_EQ(walkFrames(&f, 2, 0, 0, 0, &Figure::alive), Ints({1, 0})) << "at 250, then 251";
    EXPECT_STREQ(messageString, message(MSG_FELL));
    // the first fatal hit counts; with every slot busy its picture cannot play, and the
    // ordinary hop ends the death far below the map
    f = heroAt(64, 160);
    fillAnimSlots();
    figureDying(&f, "FIRST", ANIM_DEATH_SLASH);
    figureDying(&f, "SECOND", 0);
    EXPECT_STREQ(messageString, "FIRST");
    Ints alive = walkFrames(&f, 1000, 0, 0, 0, &Figure::alive);
    EXPECT_EQ(Ints({f.deathAnim, (int)std::count(alive.begin(), alive.end(), 1)}), Ints({0, 155}));
    EXPECT_GT(f.y, 2500);
}

TEST(HeroProbes, TheFirstLethalPointDecidesTheDeath) {
    // the hero's probe points lie in four cells: top-left (2,9), top-right (3,9),
    // bottom-right (3,10), bottom-left (2,10); the mine of the top-right one goes off, and
    // the dying motion runs at once
    ASSERT_TRUE(loadTestMap(TestMap().set(3, 9, CELL_MINE)));
    setBlock(2, 10, 87); // the scan hid the spikes of the file
    Figure f = heroAt(40, 152);
    walkFrames(&f, 1, 0, 0, 0);
    EXPECT_STREQ(messageString, message(MSG_BLOWN_UP));
    EXPECT_NE(animAt(ANIM_EXPLODE, 3, 9), nullptr);
    EXPECT_EQ(Ints({f.deathAnim, f.x}), Ints({0, 39}));
    f = standOn(TestMap().set(2, 9, CELL_SPIKES_UP).set(3, 10, CELL_MINE), 40, 152);
    EXPECT_STREQ(messageString, message(MSG_IMPALED));
    EXPECT_EQ(f.deathAnim, ANIM_DEATH_SLASH);
    EXPECT_EQ(animAt(ANIM_EXPLODE, 3, 10), nullptr);
}

TEST(HeroProbes, TheDoorLetsTheHeroOutOnlyWhenOpen) {
    TestMap m = TestMap(30).floor().draw({"[]", "{}", "##"}, 5);
    Figure f = standOn(m, 96, 160);
    EXPECT_TRUE(haveMadeit(&f)) << "no rings: the door stays open";
    f = standOn(m.set(20, 10, CELL_RING), 96, 160);
    EXPECT_EQ(Ints({f.madeIt, f.ringsMissing}), Ints({0, 1}));
    f.x = 80; // the bottom-left door cell is not the way out
    setDoor(27, 28, 47, 48);
    walkFrames(&f, 1, 0, 0, 0);
    EXPECT_EQ(f.madeIt, 0);
}

TEST(HeroProbes, ACheckpointRecordsTheRestartEvenWithoutAFreeSlot) {
    Figure f = heroOn(TestMap().floor().set(6, 10, CELL_FLAG), 88, 160);
    fillAnimSlots();
    walkFrames(&f, 1, 0, 0, 0);
    EXPECT_EQ(Ints({startx, starty, startf, checkpoint}), Ints({96, 160, 1, 0}));
    clearAnims();
    startx = 0;
    walkFrames(&f, 1, 0, 0, 0);
    EXPECT_EQ(Ints({startx, checkpoint}), Ints({96, 1}));
    EXPECT_NE(animAt(ANIM_FLAG, 6, 10), nullptr);
}

TEST(HeroProbes, TheHeadBreaksBricksAndBumpsAndTheFeetCrumbleFloors) {
    ASSERT_TRUE(loadTestMap(TestMap().floor().set(2, 8, CELL_BRICK).set(6, 8, CELL_BUMP)));
    SoundProbe sounds;
    Figure f = heroAt(32, 160);
    walkFrames(&f, 4, 0, 0, 1);
    EXPECT_EQ(Ints({f.y, f.vy, score}), Ints({144, 7, 1})) << "pushed below the brick, falling";
    EXPECT_NE(animAt(ANIM_BRICK, 2, 8), nullptr);
    f = heroAt(96, 160);
    walkFrames(&f, 4, 0, 0, 1);
    EXPECT_EQ(Ints({score, sounds.playing(SND_KRACK), sounds.playing(SND_KLONK)}), Ints({1, 1, 1}));
    EXPECT_NE(animAt(ANIM_SHINE, 6, 8), nullptr);
    // under the centre, or under an edge when the centre is not on solid ground: at 136 the
    // centre stands on solid ground
    ASSERT_TRUE(loadTestMap(
        TestMap().floor().set(2, 11, CELL_CRUMBLE).set(3, 11, 0).set(8, 11, CELL_CRUMBLE)));
    for (int x : {40, 136, 120}) {
        f = heroAt(x, 160);
        walkFrames(&f, 1, 0, 0, 0);
    }
    EXPECT_EQ(Ints({animAt(ANIM_CRUMBLE, 2, 11) != nullptr, animAt(ANIM_CRUMBLE, 8, 11) != nullptr,
                    activeAnims()}),
              Ints({1, 1, 2}));
}

TEST(HeroProbes, TrapdoorsShutBehindTheHeroAndSpikeTrapsSpring) {
    TestMap m = TestMap().floor().set(3, 10, CELL_TRAPDOOR).set(4, 10, CELL_TRAPDOOR);
    Figure f = heroOn(m.set(8, 10, CELL_SPIKES), 36, 160); // only its right edge on the first
    walkFrames(&f, 1, 0, 0, 0);
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
        Figure f = heroOn(
            TestMap().floor().set(3, 2, ceiling).set(3, 6, CELL_PLATFORM).set(3, 8, 21), 48, 80);
        int frames = 0, strays = 0;
        while (!f.dying && frames++ < 200) {
            stageFrames(&f, 1);
            strays += !f.dying && f.y != platforms[0].y - 16;
        }
        // down to row 7, then up to a cell below the ceiling
        EXPECT_EQ(Ints({strays, frames, platforms[0].y, f.deathAnim}),
                  Ints({0, 16 + 48, 64, ANIM_DEATH_CRUSHED}));
        EXPECT_STREQ(messageString, message(MSG_SMASHED));
    }
    // ground takes over from a sinking lift
    // the hero riding, half over the ground of column 4
    Figure f = heroOn(TestMap().floor().set(3, 5, CELL_PLATFORM).set(4, 9, 21), 56, 127);
    platforms[0] = Platform{48, 142, 1};
    for (int frame = 0; frame < 2; frame++) {
        updatePlatforms(&f);
        ASSERT_EQ(f.platform, 0);
        walk(&f, 0, 0, 0, 0, step);
    }
    EXPECT_EQ(Ints({f.y, f.platform, f.vy}), Ints({128, -1, 7}));
    stageFrames(&f, 20); // and the lift sinks on without him
    EXPECT_EQ(Ints({f.y, f.platform, platforms[0].y}), Ints({128, -1, 156}));
}

TEST(Platforms, TheLaterOfTwoOverlappingPlatformsCarries) {
    ASSERT_TRUE(loadTestMap(TestMap().set(3, 6, CELL_PLATFORM).set(4, 6, CELL_PLATFORM)));
    const int xs[][2] = {{56, 1}, {40, 0}, {200, -1}};
    Figure f = heroAt(0, 81);
    for (const auto& c : xs) {
        f.x = c[0];
        updatePlatforms(&f);
        EXPECT_EQ(f.platform, c[1]) << "x " << c[0];
    }
}

// Anything a lift cannot pass pins the hero under it: the ground, a push block, spikes or
// a mine, but not water.
TEST(Platforms, ADescendingPlatformCrushesAHeroOnTheGroundAndGoesOn) {
    const int under[][2] = {
        {21, 1}, {CELL_PUSH, 1}, {CELL_SPIKES_UP, 1}, {CELL_MINE, 1}, {CELL_WATER, 0}};
    for (const auto& c : under) {
        SCOPED_TRACE(c[0]);
        Figure f = heroOn(TestMap().set(3, 11, c[0]).set(3, 8, CELL_PLATFORM), 48, 160);
        platforms[0].y = 127;
        updatePlatform(&platforms[0], &f); // y 128: a free cell is left between them
        EXPECT_EQ(f.dying, 0);
        platforms[0].y = 143;
        updatePlatform(&platforms[0], &f);
        EXPECT_EQ(f.deathAnim, c[1] ? ANIM_DEATH_CRUSHED : 0);
        EXPECT_STREQ(messageString, c[1] ? message(MSG_SMASHED) : "");
        updatePlatform(&platforms[0], &f);
        EXPECT_EQ(Ints({platforms[0].y, platforms[0].dy}), Ints({145, 1}));
    }
}

class MonsterTest : public ::testing::Test {
  protected:
    Figure idle{}; // not alive: nobody is touched
    void load(const std::vector<std::string>& rows, int columns = 24) {
        ASSERT_TRUE(loadTestMap(TestMap(columns).draw(rows)));
        killMonsters();
    }
    // The monster's `field` after each of `frames` frames.
    Ints track(int slot, int frames, int Monster::*field = &Monster::x) {
        Ints out;
        for (int i = 0; i < frames; i++) {
            updateMonsters(&idle);
            out.push_back(monst[slot].*field);
        }
        return out;
    }
};

class MonsterTouch : public MonsterTest {
  protected:
    SoundProbe sounds;
    Figure hero{};
    void SetUp() override {
        load({"......................", "######################"});
        hero = heroAt(300, 160);
    }
    // The hero at (x, y) falling at vy, against one monster of `kind` at (160, 160).
    void meet(int kind, int x, int y, int vy) {
        setMonster(0, 160, 160, kind);
        hero.x = x;
        hero.y = y;
        hero.vy = vy;
        updateMonster(0, &hero, step);
    }
};

TEST_F(MonsterTouch, StompsStopAMaskyAndBreakAWingedEyeForPoints) {
    meet(MONSTER_MASKY, 160, 150, 8);
    EXPECT_EQ(Ints({monst[0].dx, score, hero.bounce, hero.dying}), Ints({0, 3, 1, 0}));
    EXPECT_EQ(sounds.playing(SND_BLUBB), 1);
    hero.y = 160; // stopped, it is harmless, and it vanishes 120 frames after the stomp
    hero.vy = 7;
    for (int i = 0; i < 119; i++)
        updateMonsters(&hero);
    EXPECT_EQ(Ints({hero.dying, monst[0].active}), Ints({0, 1}));
    updateMonsters(&hero);
    EXPECT_EQ(monst[0].active, 0);
    hero = heroAt(300, 160);
    meet(MONSTER_WINGEDEYE, 150, 146, 20);
    EXPECT_EQ(Ints({monst[0].kind, score, hero.bounce}), Ints({MONSTER_WINGEDEYE_HIT, 6, 1}));
    EXPECT_EQ(sounds.playing(SND_BAT), 1);
    EXPECT_EQ(track(0, 12, &Monster::active), Ints({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}))
        << "it falls apart in twelve frames";
}

TEST_F(MonsterTouch, AStompedSkullWakesUpTheOtherWayAndPaysOnlyOnce) {
    meet(MONSTER_SKULL, 170, 145, 12);
    EXPECT_EQ(Ints({monst[0].dx, score}), Ints({0, 3}));
    EXPECT_EQ(sounds.playing(SND_KLACK), 1);
    Ints dx = track(0, 226, &Monster::dx);
    EXPECT_EQ(Ints({dx[224], dx[225]}), Ints({0, 2})) << "awake after 226 frames";
    hero = heroAt(monst[0].x, monst[0].y - 8);
    hero.vy = 9;
    updateMonster(0, &hero, step);
    EXPECT_EQ(Ints({score, hero.bounce, monst[0].active}), Ints({3, 1, 1}))
        << "stomps never destroy a SKULL";
}

TEST_F(MonsterTouch, EachKindKillsWithItsOwnMessageAndPicture) {
    const struct {
        int kind, y, vy;
        const char* message;
        int anim;
    } cases[] = {{MONSTER_MASKY, 152, 7, "STABBED BY MASKY", 18},    // a stomp needs vy above 7
                 {MONSTER_BEETLE, 152, 20, "STOPPED BY BEETLE", 17}, // no BEETLE can be stomped
                 {MONSTER_WINGEDEYE, 160, 7, "HIT BY WINGEDEYE", 18},
                 {MONSTER_ACIDFISH, 160, 7, "EATEN BY ACIDFISH", 19},
                 {MONSTER_SKULL, 160, 7, "KILLED BY SKULL", 17}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        clearAnims();
        sounds.reset();
        hero = heroAt(150, 160);
        meet(c.kind, 159, c.y, c.vy);
        EXPECT_EQ(Ints({hero.dying, hero.bounce, score, hero.deathAnim}), Ints({1, 0, 0, c.anim}));
        EXPECT_EQ(std::string(messageString), c.message);
        EXPECT_NE(animAt(c.anim, 159, c.y), nullptr) << "the death plays where the hero was";
        EXPECT_GE(sounds.playing(SND_AJ), 1);
    }
}

TEST_F(MonsterTouch, OnlyAHeroInPlayIsTouchedAndTheFirstMonsterNamesTheDeath) {
    hero.alive = 0;
    meet(MONSTER_MASKY, 160, 150, 9);
    EXPECT_EQ(Ints({monst[0].dx, hero.bounce, hero.dying}), Ints({-1, 0, 0}));
    hero = heroAt(156, 160);
    setMonster(0, 160, 160, MONSTER_BEETLE);
    setMonster(1, 160, 160, MONSTER_MASKY);
    updateMonsters(&hero);
    EXPECT_STREQ(messageString, "STOPPED BY BEETLE");
    hero = heroAt(165, 160); // a monster crushed by a block this frame still kills
    setBlock(10, 10, 25);
    meet(MONSTER_MASKY, 165, 160, 7);
    EXPECT_EQ(Ints({monst[0].active, hero.dying}), Ints({0, 1}));
    // crushed in mid-air it still falls that frame, and touches the hero only down there
    setBlock(10, 5, 21);
    hero = heroAt(160, 80 + 11);
    setMonster(0, 160, 80, MONSTER_MASKY);
    monst[0].fall = 2 * 3; // 2 px this frame
    updateMonster(0, &hero, step);
    EXPECT_EQ(Ints({monst[0].active, monst[0].y, hero.dying}), Ints({0, 82, 1}));
}

} // namespace
