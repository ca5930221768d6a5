// Score, extra lives, rings and the door, and the time and oxygen countdowns.
#include "world_fixture.h"

#include "anim/anims.h"
#include "gfx/messages.h"
#include "world/collision.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/pickups.h"

#include <gtest/gtest.h>

namespace {

TEST(Score, AnExtraLifeAtEveryNewHundred) {
    resetWorld();
    score = 95;
    addScore(3);
    EXPECT_EQ(score, 98);
    EXPECT_EQ(lives, 6);
    addScore(3);
    EXPECT_EQ(score, 101);
    EXPECT_EQ(lives, 7);
    // one life per call, however many hundreds it crosses
    addScore(250);
    EXPECT_EQ(score, 351);
    EXPECT_EQ(lives, 8);
    addScore(49);
    EXPECT_EQ(score, 400);
    EXPECT_EQ(lives, 9);
}

TEST(Score, TheCapAtNineNineNineNine) {
    resetWorld();
    score = 9950;
    addScore(100); // capped: the hundreds stay 99
    EXPECT_EQ(score, 9999);
    EXPECT_EQ(lives, 6);
    score = 9850;
    addScore(200); // capped, but the hundreds grew from 98 to 99
    EXPECT_EQ(score, 9999);
    EXPECT_EQ(lives, 7);
    addScore(20); // nothing changes any more
    EXPECT_EQ(score, 9999);
    EXPECT_EQ(lives, 7);
    score = 9998;
    addScore(1);
    EXPECT_EQ(score, 9999);
}

TEST(Score, LivesStopAtNinetyNine) {
    resetWorld();
    lives = 98;
    addLife();
    EXPECT_EQ(lives, 99);
    addLife();
    EXPECT_EQ(lives, 99);
    score = 99;
    addScore(1);
    EXPECT_EQ(score, 100);
    EXPECT_EQ(lives, 99);
}

TEST(Score, TheSecondFormTellsWhetherTheHundredsGrew) {
    resetWorld();
    score = 190;
    EXPECT_EQ(addScore2(5, 1), 0);
    EXPECT_EQ(lives, 6);
    EXPECT_EQ(addScore2(5, 0), 1);
    EXPECT_EQ(score, 200);
    EXPECT_EQ(lives, 6);
    EXPECT_EQ(addScore2(100, 1), 1);
    EXPECT_EQ(lives, 7);
    score = 9999;
    EXPECT_EQ(addScore2(500, 1), 0);
    EXPECT_EQ(lives, 7);
}

TEST(Rings, EachRingScoresAndTheLastOpensTheDoor) {
    TestMap m(30);
    m.set(10, 10, 41).set(11, 10, 41);
    m.set(20, 9, 27).set(21, 9, 28).set(20, 10, 47).set(21, 10, 48);
    ASSERT_TRUE(loadTestMap(m));
    ASSERT_EQ(stars, 2);
    Figure f = heroAt(16, 160);
    f.ringsMissing = 1;
    score = 99;
    eatStar(&f);
    EXPECT_EQ(score, 100);
    EXPECT_EQ(lives, 7);
    EXPECT_EQ(stars, 1);
    EXPECT_EQ(getBlock(20, 9), 38);
    EXPECT_EQ(f.ringsMissing, 1);
    eatStar(&f);
    EXPECT_EQ(stars, 0);
    EXPECT_EQ(f.ringsMissing, 0);
    EXPECT_EQ(getBlock(20, 9), 27);
    EXPECT_EQ(getBlock(21, 9), 28);
    EXPECT_EQ(getBlock(20, 10), 47);
    EXPECT_EQ(getBlock(21, 10), 48);
    EXPECT_EQ(mapOri[20 * 12 + 9], 38);
    // a ring beyond the count opens nothing again
    setBlock(20, 9, 5);
    eatStar(&f);
    EXPECT_EQ(stars, -1);
    EXPECT_EQ(getBlock(20, 9), 5);
}

TEST(Rings, WithoutADoorTheLastRingWritesNothing) {
    TestMap m(21);
    m.set(10, 10, 41).set(20, 11, 27); // a door cell that cannot hold a 2x2 door
    ASSERT_TRUE(loadTestMap(m));
    ASSERT_EQ(stars, 1);
    std::vector<int> before(mapData, mapData + 21 * 12);
    Figure f = heroAt(16, 160);
    eatStar(&f);
    EXPECT_EQ(stars, 0);
    EXPECT_EQ(std::vector<int>(mapData, mapData + 21 * 12), before);
}

class Countdowns : public ::testing::Test {
  protected:
    void SetUp() override {
        TestMap m;
        m.fillRow(11, 21).set(5, 10, 85).set(6, 10, 85);
        ASSERT_TRUE(loadTestMap(m));
        dry = heroAt(16, 160);
        wet = heroAt(80, 160);
    }
    Figure dry, wet;
    int splash = 0;
};

TEST_F(Countdowns, TimeRunsOutWithTimeUp) {
    countdowns(&dry, &splash);
    EXPECT_EQ(timeLeft, TIME_LIMIT - 1);
    timeLeft = 2;
    countdowns(&dry, &splash);
    EXPECT_EQ(dry.alive, 1);
    countdowns(&dry, &splash);
    EXPECT_EQ(timeLeft, 0);
    EXPECT_EQ(dry.alive, 0);
    EXPECT_EQ(dry.dying, 0);
    EXPECT_EQ(dry.idleCount, 180);
    EXPECT_STREQ(messageString, message(MSG_TIME_UP));
    // a hero out of the stage takes no more time
    countdowns(&dry, &splash);
    EXPECT_EQ(timeLeft, 0);
}

TEST_F(Countdowns, OxygenDrainsUnderWaterAndRefillsToTheTop) {
    countdowns(&wet, &splash);
    EXPECT_EQ(airLeft, 619);
    EXPECT_EQ(splash, 1);
    countdowns(&dry, &splash);
    EXPECT_EQ(airLeft, 619); // no refill above 619
    EXPECT_EQ(splash, 0);
    countdowns(&wet, &splash);
    countdowns(&wet, &splash);
    EXPECT_EQ(airLeft, 617);
    countdowns(&dry, &splash);
    EXPECT_EQ(airLeft, 619);
    airLeft = 618;
    countdowns(&dry, &splash);
    EXPECT_EQ(airLeft, 620);
    countdowns(&dry, &splash);
    EXPECT_EQ(airLeft, 620);
}

TEST_F(Countdowns, DrowningWhenTheAirIsGone) {
    airLeft = 2;
    countdowns(&wet, &splash);
    EXPECT_EQ(wet.dying, 0);
    countdowns(&wet, &splash);
    EXPECT_EQ(airLeft, 0);
    EXPECT_EQ(wet.dying, 1);
    EXPECT_EQ(wet.idleCount, 0);
    EXPECT_EQ(wet.deathAnim, ANIM_DEATH_DROWNED);
    EXPECT_EQ(wet.vy, 0);
    EXPECT_STREQ(messageString, message(MSG_DROWNED));
    bool started = false;
    for (const AnimObject& a : aos)
        started |= a.active && a.kind == ANIM_DEATH_DROWNED && a.x == 80 && a.y == 160;
    EXPECT_TRUE(started);
    // the gauge stays at empty while the death plays on
    for (int i = 0; i < 10; i++)
        countdowns(&wet, &splash);
    EXPECT_EQ(airLeft, 0);
}

TEST_F(Countdowns, ADyingHeroGetsNoAir) {
    airLeft = 100;
    figureDying(&dry, "X", 0);
    countdowns(&dry, &splash);
    EXPECT_EQ(airLeft, 100);
    EXPECT_EQ(timeLeft, TIME_LIMIT - 1);
}

} // namespace
