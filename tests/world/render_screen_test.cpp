// The stage picture: the half-speed backdrop, the two planes of cells with the actors
// between them in their order, animated water and mines, cells that are never drawn, the
// hero's visibility, the sprite and block windows, and presenting with the pacer.
#include "anim/anims.h"
#include "gfx/blocks.h"
#include "gfx/image.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "render_kit.h"
#include "world/figure.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/platforms.h"
#include "world/render.h"
#include "world_fixture.h"

#include <gtest/gtest.h>

namespace {

class StagePicture : public FlatArtTest {
  protected:
    Figure hero{};
    TestMap map{30};
    // Loads `map` as stage 1, then shows it as the title's sub-screens do: no status line,
    // no messages, nothing over the world.
    void loadPlain() {
        ASSERT_TRUE(loadTestMap(map));
        level = 0;
        workflow = -3;
    }
};

TEST_F(StagePicture, TheBackdropScrollsAtHalfSpeedAndRepeats) {
    loadPlain();
    background = makeStripedBackdrop(100, 192);
    struct Case {
        int step, screenX, column;
    } cases[] = {{0, 0, 0},    {0, 99, 99}, {0, 100, 0},   {0, 319, 19}, {50, 0, 25},
                 {50, 74, 99}, {50, 75, 0}, {51, 0, 25},   {200, 0, 0},  {201, 0, 0},
                 {398, 0, 99}, {398, 1, 0}, {398, 319, 18}};
    for (const Case& c : cases) {
        step = c.step;
        drawScreen(200, &hero, 0);
        EXPECT_EQ(pixelAt(c.screenX, 100), backdropColour(c.column))
            << "step " << c.step << " x " << c.screenX;
    }
    EXPECT_EQ(pixelAt(0, 192), BLACK) << "the status area is cleared";
    EXPECT_EQ(pixelAt(319, 239), BLACK);
}

TEST_F(StagePicture, WithoutABackdropTheScreenIsBlack) {
    loadPlain();
    clearScreen(rgb(1, 2, 3));
    drawScreen(200, &hero, 0);
    EXPECT_EQ(pixelAt(0, 0), BLACK);
    EXPECT_EQ(pixelAt(319, 191), BLACK);
    EXPECT_EQ(pixelAt(160, 239), BLACK);
}

TEST_F(StagePicture, AShortBackdropLeavesNothingStaleBelowIt) {
    loadPlain();
    background = makeStripedBackdrop(320, 100);
    clearScreen(rgb(1, 2, 3));
    drawScreen(200, &hero, 0);
    EXPECT_EQ(pixelAt(10, 99), backdropColour(10));
    EXPECT_EQ(pixelAt(10, 150), BLACK);
}

TEST_F(StagePicture, ActorsGoBetweenTheTwoPlanesInTheirOrder) {
    map.set(2, 3, 40);  // back plane, x 32 ... 47
    map.set(4, 3, 81);  // front plane, x 64 ... 79
    map.set(8, 3, 114); // another front cell, with nothing under it
    loadPlain();
    pcount = 1;
    platforms[0] = Platform{36, 48, 1};    // x 36 ... 51
    setMonster(0, 40, 48, MONSTER_BEETLE); // x 40 ... 55
    startAnim(44, 48, ANIM_DEATH_DEAD);    // x 44 ... 59
    hero = heroAt(52, 48);                 // x 52 ... 67
    hero.sprite = 65;
    drawScreen(200, &hero, 0);
    const int expect[][2] = {{32, 40}, {35, 40},  {36, 66},  {39, 66}, {40, 13},
                             {43, 13}, {44, 204}, {51, 204}, {52, 65}, {63, 65},
                             {64, 81}, {79, 81},  {128, 114}};
    for (const auto& e : expect)
        EXPECT_EQ(tileAt(e[0], 56), e[1]) << "x " << e[0];
}

TEST_F(StagePicture, ReservedAndEmptyCellsAndValuesWithoutAnImageAreNotDrawn) {
    map.set(3, 2, 240).set(4, 2, 250).set(5, 2, 0).set(6, 2, 21);
    loadPlain();
    background = makeStripedBackdrop(320, 192);
    drawScreen(200, &hero, 0);
    EXPECT_EQ(pixelAt(3 * 16 + 4, 40), backdropColour(3 * 16 + 4));
    EXPECT_EQ(pixelAt(4 * 16 + 4, 40), backdropColour(4 * 16 + 4));
    EXPECT_EQ(pixelAt(5 * 16 + 4, 40), backdropColour(5 * 16 + 4));
    EXPECT_EQ(tileAt(6 * 16 + 4, 40), 21);
}

TEST_F(StagePicture, WaterRipplesAndMinesBlinkEveryEightFrames) {
    map.set(6, 2, 160).set(7, 2, 161).set(9, 4, 140);
    loadPlain();
    struct Case {
        int frame, water, mine;
    } cases[] = {{0, 0, 220},  {7, 0, 220},  {8, 1, 221},  {16, 2, 222},
                 {24, 3, 220}, {31, 3, 220}, {32, 0, 221}, {200, 1, 221}};
    for (const Case& c : cases) {
        drawScreen(c.frame, &hero, 0);
        EXPECT_EQ(pixelAt(6 * 16 + 3, 40), waterColour(2 * c.water)) << "frame " << c.frame;
        EXPECT_EQ(pixelAt(7 * 16 + 3, 40), waterColour(2 * c.water + 1)) << "frame " << c.frame;
        EXPECT_EQ(tileAt(9 * 16 + 3, 70), c.mine) << "frame " << c.frame;
    }
}

TEST_F(StagePicture, TwentyOneColumnsFollowTheScrolledView) {
    map.set(0, 3, 40).set(1, 3, 41).set(19, 3, 42).set(20, 3, 43).set(21, 3, 44);
    loadPlain();
    step = 0;
    drawScreen(200, &hero, 0);
    EXPECT_EQ(tileAt(0, 50), 40);
    EXPECT_EQ(tileAt(319, 50), 42);
    step = 5;
    drawScreen(200, &hero, 0);
    EXPECT_EQ(tileAt(0, 50), 40);
    EXPECT_EQ(tileAt(10, 50), 40);
    EXPECT_EQ(tileAt(11, 50), 41);
    EXPECT_EQ(tileAt(314, 50), 42);
    EXPECT_EQ(tileAt(315, 50), 43) << "the 21st column, partly in view";
    step = 16;
    drawScreen(200, &hero, 0);
    EXPECT_EQ(tileAt(0, 50), 41);
    EXPECT_EQ(tileAt(319, 50), 43);
}

TEST_F(StagePicture, PastTheMapsEndNothingIsReadOrDrawn) {
    map.set(29, 3, 40);
    loadPlain();
    step = 30 * 16 - 320 + 10; // the last column ends 10 px before the view's edge
    drawScreen(200, &hero, 0);
    EXPECT_EQ(tileAt(319 - 10 - 15, 50), 40);
    EXPECT_EQ(tileAt(319 - 10, 50), 40);
    EXPECT_EQ(pixelAt(319 - 9, 50), BLACK);
    step = -24; // as while a stage loads
    drawScreen(200, &hero, 0);
    EXPECT_EQ(pixelAt(10, 50), BLACK);
}

TEST_F(StagePicture, TheHeroShowsAfterTheIntroAndNotDuringItsDeathPicture) {
    map.fillRow(11, 21);
    loadPlain();
    hero = heroAt(100, 100);
    hero.sprite = 5;
    drawScreen(180, &hero, 0);
    EXPECT_NE(tileAt(108, 108), 5);
    drawScreen(181, &hero, 0);
    EXPECT_EQ(tileAt(108, 108), 5);
    hero.dying = 1; // the death hop shows the hero
    drawScreen(200, &hero, 0);
    EXPECT_EQ(tileAt(108, 108), 5);
    hero.deathAnim = ANIM_DEATH_SLASH;
    drawScreen(200, &hero, 0);
    EXPECT_NE(tileAt(108, 108), 5);
    hero.deathAnim = 0;
    hero.alive = 0;
    drawScreen(200, &hero, 0);
    EXPECT_NE(tileAt(108, 108), 5);
    drawScreen(200, nullptr, 0); // no hero record at all
}

TEST_F(StagePicture, SpritesAreDrawnInsideTheirWindowOnly) {
    loadPlain();
    step = 100;
    const Uint32 none = rgb(1, 2, 3);
    clearScreen(none);
    drawSprite(100 - 15, 40, 30);
    EXPECT_EQ(tileAt(0, 40), 30);
    drawSprite(100 + 319, 60, 31);
    EXPECT_EQ(tileAt(319, 60), 31);
    drawSprite(100 + 321, 80, 32);
    drawSprite(100 - 17, 80, 32);
    EXPECT_EQ(pixelAt(0, 80), none);
    drawSprite(200, 192, 33); // reaches into the status area
    EXPECT_EQ(tileAt(100, 192), 33);
    drawSprite(240, 193, 34);
    EXPECT_EQ(pixelAt(140, 200), none);
    drawSprite(240, -15, 35);
    EXPECT_EQ(tileAt(140, 0), 35);
    drawSprite(270, -16, 36);
    drawSprite(270, 50, 240); // no such image
    drawSprite(270, 50, -1);
    EXPECT_EQ(pixelAt(170, 0), none);
    EXPECT_EQ(pixelAt(170, 55), none);
}

TEST_F(StagePicture, BlocksStayInTheStageView) {
    loadPlain();
    step = 0;
    const Uint32 none = rgb(1, 2, 3);
    clearScreen(none);
    drawBlock(10, 191, 40);
    EXPECT_EQ(tileAt(10, 191), 40);
    drawBlock(40, 192, 41);
    EXPECT_EQ(pixelAt(40, 195), none);
    drawBlock(-15, 0, 42);
    EXPECT_EQ(tileAt(0, 0), 42);
    drawBlock(320, 0, 43);
    drawWBlock(100, 20, 3, 1);
    EXPECT_EQ(pixelAt(100, 20), waterColour(7));
    drawWBlock(120, 20, 4, 0); // no fifth phase
    drawWBlock(140, 20, 0, 2);
    EXPECT_EQ(pixelAt(120, 20), none);
    EXPECT_EQ(pixelAt(140, 20), none);
}

// A clock that only moves when the game sleeps.
Uint32 fakeNow = 0;
Uint32 fakeTicks() {
    return fakeNow;
}
void fakeSleep(Uint32 ms) {
    fakeNow += ms;
}

TEST_F(StagePicture, PresentingPacesEveryFrameButDrawsNoSkippedOne) {
    loadPlain();
    clockTicks = fakeTicks;
    clockSleep = fakeSleep;
    initFPS();
    drawScreen(200, &hero, 0);
    EXPECT_EQ(cntFrames, 0) << "no pacing without presenting";
    drawScreen(200, &hero, 1);
    EXPECT_EQ(cntFrames, 1);
    const Uint32 marker = rgb(1, 2, 3);
    clearScreen(marker);
    skipFrame = 1;
    drawScreen(200, &hero, 1);
    EXPECT_EQ(pixelAt(0, 0), marker) << "a skipped frame draws nothing";
    EXPECT_EQ(cntFrames, 2) << "but is paced";
    resetClock();
    skipFrame = 0;
}

} // namespace
