// The hero's death sequences: how long each plays, how it hands the hero over to the final
// fall, and the two that never end.
#include "../world/world_fixture.h"
#include "anim/anims.h"
#include "world/gamestate.h"
#include "world/map.h"

#include <gtest/gtest.h>

namespace {

class DeathAnim : public ::testing::Test {
  protected:
    Figure hero{};
    void SetUp() override {
        TestMap m(24);
        m.fillRow(11, 21);
        ASSERT_TRUE(loadTestMap(m));
        hero = heroAt(100, 160);
    }
    // The hero as a fatal hit leaves it when the death has an animation.
    void dieWith(int kind) {
        hero.dying = 1;
        hero.deathAnim = kind;
        ASSERT_EQ(startAnim(hero.x, hero.y, kind), 1);
    }
    void frames(int n) {
        for (int i = 0; i < n; i++)
            updateAnims(&hero);
    }
};

TEST_F(DeathAnim, ThePlainDeathsPlay64FramesThenReleaseTheHero) {
    for (int kind : {ANIM_DEATH_EXPLODE, ANIM_DEATH_DEAD, ANIM_DEATH_SLASH}) {
        SCOPED_TRACE(kind);
        clearAnims();
        hero = heroAt(100, 160);
        dieWith(kind);
        frames(63);
        EXPECT_EQ(aos[0].active, 1);
        EXPECT_EQ(hero.deathAnim, kind);
        EXPECT_EQ(hero.y, 160);
        frames(1);
        EXPECT_EQ(aos[0].active, 0);
        EXPECT_EQ(hero.deathAnim, 0);
        EXPECT_EQ(hero.y, 1250);
    }
}

TEST_F(DeathAnim, CrushedPlaysTwiceAsFast) {
    dieWith(ANIM_DEATH_CRUSHED);
    frames(31);
    EXPECT_EQ(aos[0].active, 1);
    EXPECT_EQ(hero.y, 160);
    frames(1);
    EXPECT_EQ(aos[0].active, 0);
    EXPECT_EQ(hero.deathAnim, 0);
    EXPECT_EQ(hero.y, 1250);
}

TEST_F(DeathAnim, SuicideLoopsForEverAfterReleasingTheHereOnce) {
    dieWith(ANIM_DEATH_SUICIDE);
    frames(64);
    EXPECT_EQ(aos[0].active, 1);
    EXPECT_EQ(aos[0].count, 23);
    EXPECT_EQ(hero.y, 1250);
    hero.y = 1400; // falling
    frames(41);
    EXPECT_EQ(aos[0].count, 23) << "the loop covers counts 23 ... 63";
    EXPECT_EQ(hero.y, 1400) << "a released hero is not pulled back";
    frames(1000);
    EXPECT_EQ(aos[0].active, 1);
}

TEST_F(DeathAnim, DrowningTurnsIntoTheFloatingHero) {
    dieWith(ANIM_DEATH_DROWNED);
    frames(63);
    EXPECT_EQ(aos[0].kind, ANIM_DEATH_DROWNED);
    frames(1);
    EXPECT_EQ(aos[0].kind, ANIM_DROWNED_FLOAT);
    EXPECT_EQ(aos[0].count, 0);
    EXPECT_EQ(aos[0].x, 100) << "it floats where the hero drowned";
    EXPECT_EQ(hero.deathAnim, 0);
    EXPECT_EQ(hero.y, 1250);
    frames(5000);
    EXPECT_EQ(aos[0].active, 1);
    EXPECT_EQ(aos[0].kind, ANIM_DROWNED_FLOAT);
    clearAnims();
    EXPECT_EQ(aos[0].active, 0);
}

TEST_F(DeathAnim, AHeroWithoutDeathAnimationIsLeftAlone) {
    // killFigure starts a death picture without setting the hero's death animation
    ASSERT_EQ(startAnim(hero.x, hero.y, ANIM_DEATH_DEAD), 1);
    frames(64);
    EXPECT_EQ(aos[0].active, 0);
    EXPECT_EQ(hero.y, 160);
}

TEST_F(DeathAnim, NoHeroRecordIsSafe) {
    startAnim(10, 10, ANIM_DEATH_SLASH);
    startAnim(40, 10, ANIM_DEATH_CRUSHED);
    for (int i = 0; i < 70; i++)
        updateAnims(nullptr);
    EXPECT_EQ(aos[0].active, 0);
    EXPECT_EQ(aos[1].active, 0);
}

TEST_F(DeathAnim, ADeathWithAnimationEndsTheAttemptThroughTheFinalFall) {
    figureDying(&hero, "IMPALED TO DEATH", ANIM_DEATH_SLASH);
    ASSERT_EQ(aos[0].kind, ANIM_DEATH_SLASH);
    int frame = 0;
    while (hero.alive && frame < 1000) {
        stageFrames(&hero, 1);
        frame++;
        if (frame < 64) {
            ASSERT_EQ(hero.y, 160) << "the hero hangs still while its death plays";
        }
    }
    EXPECT_EQ(hero.alive, 0);
    EXPECT_GT(frame, 64);
    EXPECT_LT(frame, 64 + 200);
}

} // namespace
