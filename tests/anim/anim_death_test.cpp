// The hero's death sequences: how long each plays, how it hands the hero over to the final
// fall, and the two that never end.
#include "../world/world_kit.h"
#include "world/map.h"

#include <gtest/gtest.h>

namespace {

class DeathAnim : public FlatArtTest {
  protected:
    Figure hero{};
    void SetUp() override {
        FlatArtTest::SetUp();
        ASSERT_TRUE(loadTestMap(TestMap(24).fillRow(11, 21)));
        hero = heroAt(100, 160);
    }
    // The hero as a fatal hit leaves it when the death has an animation.
    void dieWith(int kind) {
        clearAnims();
        hero = heroAt(100, 160);
        hero.dying = 1;
        hero.deathAnim = kind;
        ASSERT_EQ(startAnim(hero.x, hero.y, kind), 1);
    }
};

TEST_F(DeathAnim, EachDeathPlaysItsFramesThenReleasesTheHero) {
    const int cases[][2] = {{ANIM_DEATH_EXPLODE, 64},
                            {ANIM_DEATH_DEAD, 64},
                            {ANIM_DEATH_SLASH, 64},
                            {ANIM_DEATH_CRUSHED, 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        dieWith(c[0]);
        animFrames(&hero, c[1] - 1);
        EXPECT_EQ(Ints({aos[0].active, hero.deathAnim, hero.y}), Ints({1, c[0], 160}));
        animFrames(&hero, 1);
        EXPECT_EQ(Ints({aos[0].active, hero.deathAnim, hero.y}), Ints({0, 0, 1250}));
    }
}

TEST_F(DeathAnim, SuicideLoopsAndTheDrownedHeroFloatsUntilTheNextAttempt) {
    dieWith(ANIM_DEATH_SUICIDE);
    animFrames(&hero, 64);
    EXPECT_EQ(Ints({aos[0].count, hero.y}), Ints({23, 1250}));
    hero.y = 1400; // falling; a released hero is not pulled back
    animFrames(&hero, 41);
    EXPECT_EQ(Ints({aos[0].count, hero.y}), Ints({23, 1400})) << "it loops over 23 ... 63";
    animFrames(&hero, 1000);
    EXPECT_EQ(aos[0].active, 1);
    dieWith(ANIM_DEATH_DROWNED);
    animFrames(&hero, 63);
    EXPECT_EQ(aos[0].kind, ANIM_DEATH_DROWNED);
    animFrames(&hero, 1);
    EXPECT_EQ(Ints({aos[0].kind, aos[0].count, aos[0].x, hero.deathAnim, hero.y}),
              Ints({ANIM_DROWNED_FLOAT, 0, 100, 0, 1250}))
        << "floating where the hero drowned";
    animFrames(&hero, 5000);
    EXPECT_NE(animAt(ANIM_DROWNED_FLOAT, 100, 160), nullptr);
}

} // namespace
