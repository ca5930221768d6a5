// The stage picture: the half-speed backdrop, the two planes of cells with the actors
// between them, animated water and mines, the ghost of a time trial's best run, the hero's
// visibility and the status line.
#include "world_kit.h"

#include "gfx/image.h"
#include "gfx/video.h"
#include "test_env.h"
#include "world/flowstate.h"
#include "world/ghost.h"
#include "world/ghostrun.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/pickups.h"
#include "world/platforms.h"
#include "world/render.h"

#include <gtest/gtest.h>

namespace {

class StagePicture : public FlatArtTest {
  protected:
    Figure hero{};
    TestMap map{30};
    Uint32 none = 0;
    bool loaded = false;
    // Loads `map` to be shown as the title's sub-screens show it: no status line, nothing
    // over the world.
    void load() {
        ASSERT_TRUE(loadTestMap(map));
        level = 0;
        workflow = -3;
        loaded = true;
    }
    void show(int stepAt = 0, int frame = 200) {
        none = markColour();
        if (!loaded) load();
        step = stepAt;
        clearScreen(none);
        drawScreen(frame, &hero, 0);
    }
};

TEST_F(StagePicture, TheBackdropScrollsAtHalfSpeedAndRepeats) {
    show();
    EXPECT_EQ(pixels({{0, 0}, {160, 239}}), Colours({BLACK, BLACK}))
        << "without a backdrop the screen is black";
    background = makeStripedBackdrop(100, 150);
    // step, screen x, backdrop column
    const int cases[][3] = {{0, 99, 99}, {0, 100, 0}, {50, 0, 25}, {398, 1, 0}};
    for (const auto& c : cases) {
        show(c[0]);
        EXPECT_EQ(pixelAt(c[1], 100), backdropColour(c[2])) << "step " << c[0] << " x " << c[1];
        EXPECT_EQ(pixelAt(c[1], 170), BLACK) << "nothing stale below a short backdrop";
    }
    EXPECT_EQ(pixelAt(319, 239), BLACK) << "the status area is cleared";
}

TEST_F(StagePicture, ActorsGoBetweenTheTwoPlanesAndNoImagelessCellIsDrawn) {
    map.set(2, 3, 40).set(4, 3, 81).set(8, 3, 114);  // back, front, front
    map.set(3, 2, 240).set(4, 2, 250).set(6, 2, 21); // reserved, no image, solid
    load();
    pcount = 1;
    platforms[0] = Platform{36, 48, 1};    // x 36 ... 51
    setMonster(0, 40, 48, MONSTER_BEETLE); // x 40 ... 55
    startAnim(44, 48, ANIM_DEATH_DEAD);    // x 44 ... 59
    hero = heroAt(52, 48);                 // x 52 ... 67
    hero.sprite = 65;
    show();
    EXPECT_EQ(tiles({{32, 56},
                     {35, 56},
                     {36, 56},
                     {39, 56},
                     {40, 56},
                     {43, 56},
                     {44, 56},
                     {51, 56},
                     {52, 56},
                     {63, 56},
                     {64, 56},
                     {79, 56},
                     {80, 56},
                     {128, 56}}),
              Ints({40, 40, 66, 66, 13, 13, 204, 204, 65, 65, 81, 81, -1, 114}));
    EXPECT_EQ(tiles({{52, 40}, {68, 40}, {84, 40}, {100, 40}}), Ints({-1, -1, -1, 21}));
}

TEST_F(StagePicture, TheGhostRunsSeeThroughUnderTheHeroFromItsRecordedPlacesAndThenGoes) {
    ScopedTempDir dir;
    GhostRun run;
    run.stage = 1;
    run.frames = 2;
    ASSERT_TRUE(appendRun(&run.input, StageInput{0, 1, 0, 0}, 2));
    run.trail = {{100, 100, 5}, {200, 100, 6}};
    ASSERT_TRUE(saveGhostRun(run));
    load();
    level = 1;
    startf = 0;
    ghostBeginAttempt(); // without -ghost: no ghost
    ghostAfterFrame(StageInput{0, 1, 0, 0}, &hero);
    show(0, 200);
    EXPECT_EQ(pixelAt(108, 108), BLACK);
    ghostMode = 1;
    ghostBeginAttempt();
    hero = heroAt(200, 100);
    hero.sprite = 7;
    // after 0 ... 3 frames of play, at the ghost's two places and one more: the block image
    // seen, -2 for nothing over the (black) backdrop, -1 for a mix
    std::vector<Ints> seen;
    for (int played = 0; played < 4; played++) {
        if (played == 3) hero = heroAt(250, 100); // sprite 5 is opaque again
        hero.sprite = played == 3 ? 5 : 7;
        show(0, 200);
        Ints at;
        for (int x : {108, 208, 258})
            at.push_back(pixelAt(x, 108) == BLACK ? -2 : tileAt(x, 108));
        seen.push_back(at);
        ghostAfterFrame(StageInput{0, 1, 0, 0}, &hero);
    }
    ghostEndAttempt(&hero);
    ghostMode = 0;
    EXPECT_EQ(seen, (std::vector<Ints>{{-2, 7, -2}, {-1, 7, -2}, {-2, 7, -2}, {-2, -2, 5}}));
}

TEST_F(StagePicture, WaterRipplesAndMinesBlinkEveryEightFrames) {
    map.set(6, 2, CELL_WATER_SURFACE_L).set(7, 2, CELL_WATER_SURFACE_R).set(9, 4, CELL_MINE);
    // frame, water phase, mine image
    const int cases[][3] = {{7, 0, 220}, {8, 1, 221}, {24, 3, 220}, {32, 0, 221}};
    for (const auto& c : cases) {
        show(0, c[0]);
        EXPECT_EQ(pixelAt(99, 40), waterColour(2 * c[1])) << "frame " << c[0];
        EXPECT_EQ(pixelAt(115, 40), waterColour(2 * c[1] + 1)) << "frame " << c[0];
        EXPECT_EQ(tileAt(147, 70), c[2]) << "frame " << c[0];
    }
}

TEST_F(StagePicture, TwentyOneColumnsFollowTheViewAndNothingIsReadPastTheMap) {
    map.set(0, 3, 40).set(1, 3, 41).set(19, 3, 42).set(20, 3, 43).set(29, 3, 44);
    // step, screen x, image; the last two scroll past the map's end and before its start
    const int cases[][3] = {{0, 319, 42},   {5, 11, 41},    {5, 315, 43},
                            {170, 309, 44}, {170, 310, -1}, {-24, 10, -1}};
    for (const auto& c : cases) {
        show(c[0]);
        EXPECT_EQ(tileAt(c[1], 50), c[2]) << "step " << c[0] << " x " << c[1];
    }
}

TEST_F(StagePicture, TheHeroShowsAfterTheIntroAndNotDuringItsDeathPicture) {
    hero = heroAt(100, 100);
    hero.sprite = 5;
    // frame, alive, dying, death animation, shown; the death hop shows the hero
    const int cases[][5] = {{180, 1, 0, 0, 0},
                            {181, 1, 0, 0, 1},
                            {200, 1, 1, 0, 1},
                            {200, 1, 1, ANIM_DEATH_SLASH, 0},
                            {200, 0, 0, 0, 0}};
    for (const auto& c : cases) {
        hero.alive = c[1];
        hero.dying = c[2];
        hero.deathAnim = c[3];
        show(0, c[0]);
        EXPECT_EQ(tileAt(108, 108) == 5, c[4] == 1) << c[0] << " " << c[2] << " " << c[3];
    }
    drawScreen(200, nullptr, 0); // no hero record at all
}

// The status line under a stage: lives in two digits, the flag icon by the rings still
// needed, and the oxygen bar scaled to the full supply.
TEST_F(StagePicture, TheStatusLineShowsLivesRingsAndOxygen) {
    map.fillRow(11, 21);
    ASSERT_TRUE(loadTestMap(map, 3));
    hero = heroAt(100, 160);
    lives = 7;
    airLeft = AIR_LIMIT / 2;
    Ints flags;
    for (int rings : {3, 2, 1, 0}) {
        stars = rings;
        drawScreen(200, &hero, 0);
        flags.push_back(tileAt(264, 224));
    }
    EXPECT_EQ(flags, Ints({CELL_FLAG, CELL_FLAG, CELL_FLAG + 1, CELL_FLAG + 2}));
    EXPECT_EQ(readText(40, 216, 1, true) + readText(64, 216, 2, true), "X07");
    EXPECT_EQ(pixels({{64 + 123, 210}, {64 + 124, 210}}), Colours({BLUE, DBLUE}));
}

} // namespace
