// Monsters and the hero: stomps by kind with their points, sounds and aftermath, deadly
// touches with each kind's message and death picture, the exact boxes, and who is harmless.
#include "anim/anims.h"
#include "audio/sound.h"
#include "gfx/messages.h"
#include "monster_support.h"
#include "world/gamestate.h"

#include <gtest/gtest.h>
#include <string>

namespace {

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

TEST_F(MonsterTouch, StompingAMaskyStopsItForPoints) {
    meet(MONSTER_MASKY, 160, 150, 8);
    // it had walked a pixel this frame before the hero landed on it
    EXPECT_EQ(monst[0].dx, 0);
    EXPECT_EQ(monst[0].timer, 0);
    EXPECT_EQ(monst[0].active, 1);
    EXPECT_EQ(score, 3);
    EXPECT_EQ(hero.bounce, 1);
    EXPECT_EQ(hero.dying, 0);
    EXPECT_EQ(sounds.playing(SND_BLUBB), 1);
    // stopped, it is harmless, and it vanishes 120 frames after the stomp
    hero.y = 160;
    hero.vy = 7;
    run(119, &hero);
    EXPECT_EQ(hero.dying, 0);
    EXPECT_EQ(monst[0].active, 1);
    run(1, &hero);
    EXPECT_EQ(monst[0].active, 0);
}

TEST_F(MonsterTouch, AStompNeedsTheHeroFallingFasterThanAtRest) {
    meet(MONSTER_MASKY, 160, 152, 7);
    EXPECT_EQ(monst[0].dx, -1);
    EXPECT_EQ(hero.dying, 1);
    EXPECT_STREQ(messageString, "STABBED BY MASKY");
    EXPECT_EQ(hero.deathAnim, ANIM_DEATH_DEAD);
    EXPECT_EQ(score, 0);
    EXPECT_GE(sounds.playing(SND_AJ), 1);
}

TEST_F(MonsterTouch, AWingedEyeHitFallsApartInTwelveFrames) {
    meet(MONSTER_WINGEDEYE, 150, 146, 20);
    EXPECT_EQ(monst[0].kind, MONSTER_WINGEDEYE_HIT);
    EXPECT_EQ(monst[0].dx, 0);
    EXPECT_EQ(score, 3);
    EXPECT_EQ(hero.bounce, 1);
    EXPECT_EQ(sounds.playing(SND_BAT), 1);
    hero.x = 300;
    run(11);
    EXPECT_EQ(monst[0].active, 1);
    run(1);
    EXPECT_EQ(monst[0].active, 0);
}

TEST_F(MonsterTouch, AStompedSkullWakesUpTheOtherWayAndPaysOnlyOnce) {
    meet(MONSTER_SKULL, 170, 145, 12);
    EXPECT_EQ(monst[0].dx, 0);
    EXPECT_EQ(monst[0].dy, -2) << "it remembers walking left";
    EXPECT_EQ(monst[0].hits, 1);
    EXPECT_EQ(score, 3);
    EXPECT_EQ(sounds.playing(SND_KLACK), 1);
    hero.x = 300;
    run(225);
    EXPECT_EQ(monst[0].dx, 0);
    run(1);
    EXPECT_EQ(monst[0].dx, 2);
    // a second stomp stops it again, without points
    hero.x = monst[0].x;
    hero.y = monst[0].y - 8;
    hero.vy = 9;
    hero.bounce = 0;
    updateMonster(0, &hero, step);
    EXPECT_EQ(monst[0].hits, 2);
    EXPECT_EQ(monst[0].dy, 2);
    EXPECT_EQ(score, 3);
    EXPECT_EQ(hero.bounce, 1);
    EXPECT_EQ(monst[0].active, 1) << "stomps never destroy a SKULL";
}

TEST_F(MonsterTouch, EachKindKillsWithItsOwnMessageAndPicture) {
    struct Case {
        int kind;
        const char* message;
        int anim;
    } cases[] = {
        {MONSTER_MASKY, "STABBED BY MASKY", 18},     {MONSTER_BEETLE, "STOPPED BY BEETLE", 17},
        {MONSTER_WINGEDEYE, "HIT BY WINGEDEYE", 18}, {MONSTER_ACIDFISH, "EATEN BY ACIDFISH", 19},
        {MONSTER_SKULL, "KILLED BY SKULL", 17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        clearAnims();
        hero = heroAt(150, 160);
        meet(c.kind, 150, 160, 7);
        EXPECT_EQ(hero.dying, 1);
        EXPECT_EQ(std::string(messageString), c.message);
        EXPECT_EQ(hero.deathAnim, c.anim);
        EXPECT_EQ(aos[0].kind, c.anim) << "the death picture plays where the hero was";
        EXPECT_EQ(aos[0].x, 150);
    }
}

TEST_F(MonsterTouch, ABeetleCannotBeStomped) {
    meet(MONSTER_BEETLE, 159, 152, 20);
    EXPECT_EQ(hero.dying, 1);
    EXPECT_STREQ(messageString, "STOPPED BY BEETLE");
    EXPECT_EQ(hero.bounce, 0);
}

TEST_F(MonsterTouch, TheBoxesEndExactly) {
    // the monster walks to x 159 before it looks for the hero
    const int X = 159, Y = 160;
    struct Case {
        int dx, dy, vy;
        bool stomp, death;
    } cases[] = {
        {-15, -15, 8, true, false}, {16, -1, 8, true, false},  {-16, -8, 8, false, false},
        {17, -8, 8, false, false},  {0, -16, 8, false, false}, {0, 0, 8, false, true},
        {-12, -9, 7, false, true},  {13, 10, 7, false, true},  {-13, 0, 7, false, false},
        {14, 0, 7, false, false},   {0, -10, 7, false, false}, {0, 11, 7, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "hero at " << c.dx << ", " << c.dy << " vy " << c.vy);
        hero = heroAt(X + c.dx, Y + c.dy);
        score = 0;
        meet(MONSTER_MASKY, X + c.dx, Y + c.dy, c.vy);
        EXPECT_EQ(monst[0].dx == 0, c.stomp);
        EXPECT_EQ(hero.dying == 1, c.death);
    }
}

TEST_F(MonsterTouch, OnlyAHeroInPlayIsTouched) {
    hero.dying = 1;
    meet(MONSTER_BEETLE, 160, 160, 7);
    EXPECT_EQ(sounds.playing(SND_AJ), 0);
    hero.dying = 0;
    hero.alive = 0;
    meet(MONSTER_MASKY, 160, 150, 9);
    EXPECT_EQ(monst[0].dx, -1) << "no stomp either";
    EXPECT_EQ(hero.bounce, 0);
}

TEST_F(MonsterTouch, TheFirstMonsterInTableOrderNamesTheDeath) {
    setMonster(0, 160, 160, MONSTER_BEETLE);
    setMonster(1, 160, 160, MONSTER_MASKY);
    hero.x = 156;
    hero.y = 160;
    updateMonsters(&hero);
    EXPECT_STREQ(messageString, "STOPPED BY BEETLE");
    EXPECT_EQ(hero.deathAnim, ANIM_DEATH_EXPLODE);
}

TEST_F(MonsterTouch, AMonsterCrushedThisFrameStillKills) {
    setMonster(0, 160, 160, MONSTER_MASKY);
    setBlocks(10, 10, 25);
    hero.x = 165;
    hero.y = 160;
    updateMonster(0, &hero, step);
    EXPECT_EQ(monst[0].active, 0);
    EXPECT_EQ(hero.dying, 1);
}

} // namespace
