// Monsters: walking and turning, gaps, and what happens when they meet the hero.
#include "world_kit.h"

#include "audio/sound.h"
#include "world/collision.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/monsters.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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

TEST_F(MonsterTest, WalkersTurnAtWallsWithoutMovingThatFrame) {
    load({"....#..#..............", "######################"});
    setMonster(0, 5 * 16 + 1, 160, MONSTER_MASKY);
    // left to the wall of column 4, turn, right until the right edge meets column 7, turn
    EXPECT_EQ(track(0, 3), Ints({80, 80, 81}));
    EXPECT_EQ(track(0, 16), Ints({82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 96}));
    EXPECT_EQ(monst[0].dx, -1);
    load({"...#..................", "######################"});
    setMonster(0, 66, 160, MONSTER_SKULL); // 2 px a step, and it probes that far ahead
    EXPECT_EQ(track(0, 2), Ints({64, 64}));
    EXPECT_EQ(monst[0].dx, 2);
}

TEST_F(MonsterTest, OnlyTheSkullStridesOverAOneCellGap) {
    load({"#####.################"});
    setMonster(0, 112, 160, MONSTER_SKULL);
    track(0, 40);
    EXPECT_EQ(Ints({monst[0].x, monst[0].y}), Ints({32, 160}));
    load({"####..################"}); // two cells swallow even the SKULL
    setMonster(0, 112, 160, MONSTER_SKULL);
    track(0, 60);
    EXPECT_EQ(monst[0].active, 0);
}

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
    track(0, 11);
    EXPECT_EQ(monst[0].active, 1);
    track(0, 1);
    EXPECT_EQ(monst[0].active, 0) << "it falls apart in twelve frames";
}

TEST_F(MonsterTouch, AStompedSkullWakesUpTheOtherWayAndPaysOnlyOnce) {
    meet(MONSTER_SKULL, 170, 145, 12);
    EXPECT_EQ(Ints({monst[0].dx, score}), Ints({0, 3}));
    EXPECT_EQ(sounds.playing(SND_KLACK), 1);
    track(0, 225);
    EXPECT_EQ(monst[0].dx, 0);
    track(0, 1);
    EXPECT_EQ(monst[0].dx, 2);
    hero.x = monst[0].x;
    hero.y = monst[0].y - 8;
    hero.vy = 9;
    hero.bounce = 0;
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
