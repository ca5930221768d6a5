// The hero's death sequences: how long each plays, how it hands the hero over to the final
// fall, the two that never end, and what is drawn of them.
#include "../world/world_kit.h"
#include "world/map.h"

#include <gtest/gtest.h>

namespace {

class DeathAnim : public FlatArtTest {
  protected:
    Figure hero{};
    Uint32 none = 0;
    void SetUp() override {
        FlatArtTest::SetUp();
        ASSERT_TRUE(loadTestMap(TestMap(24).fillRow(11, 21)));
        hero = heroAt(100, 160);
        none = markColour();
    }
    // The hero as a fatal hit leaves it when the death has an animation.
    void dieWith(int kind) {
        clearAnims();
        hero = heroAt(100, 160);
        hero.dying = 1;
        hero.deathAnim = kind;
        ASSERT_EQ(startAnim(hero.x, hero.y, kind), 1);
    }
    void redraw() {
        clearScreen(none);
        drawAnimations();
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

TEST_F(DeathAnim, AHeroWithoutADeathAnimationOrNoHeroAtAllIsLeftAlone) {
    // killFigure starts a death picture without setting the hero's death animation
    ASSERT_EQ(startAnim(hero.x, hero.y, ANIM_DEATH_DEAD), 1);
    animFrames(&hero, 64);
    EXPECT_EQ(Ints({aos[0].active, hero.y}), Ints({0, 160}));
    startAnim(10, 10, ANIM_DEATH_SLASH);
    startAnim(40, 10, ANIM_DEATH_CRUSHED);
    animFrames(nullptr, 70);
    EXPECT_EQ(activeAnims(), 0);
}

TEST_F(DeathAnim, ADeathIsDrawnAtItsPlaceInTheViewAndNeverWrappedOntoTheScreen) {
    // cell effects draw nothing themselves, and far-away deaths do not wrap onto the screen
    // (65536 px to the right is 0 in 16-bit screen coordinates)
    step = 40;
    startAnim(137, 61, ANIM_DEATH_DEAD);
    startAnim(64, 16, ANIM_BRICK);
    startAnim(96, 16, ANIM_FLAG);
    startAnim(65536 + 60, 50, ANIM_DEATH_DEAD);
    startAnim(-65536 + 60, 80, ANIM_DEATH_DEAD);
    animFrames(&hero, 3);
    redraw();
    const int image = tileAt(97, 61);
    EXPECT_NE(image, -1) << "the death in view is drawn";
    EXPECT_EQ(tiles({{112, 76}, {113, 61}, {96, 61}}), Ints({image, -1, -1}));
    int drawn = 0;
    for (int x = 0; x < 80; x += 4)
        for (int y : {24, 55, 85})
            drawn += pixelAt(x, y) != none;
    EXPECT_EQ(drawn, 0);
}

} // namespace
