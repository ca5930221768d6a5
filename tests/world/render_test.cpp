// The stage picture: the two planes of cells with the actors between them, the ghost of a
// time trial's best run, the hero's visibility and the status line.
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
    bool loaded = false;
    // Loads `map` to be shown as the title's sub-screens show it: no status line, nothing
    // over the world.
    void load() {
        ASSERT_TRUE(loadTestMap(map));
        level = 0;
        workflow = -3;
        loaded = true;
    }
    void show(int frame = 200) {
        if (!loaded) load();
        step = 0;
        clearScreen(markColour());
        drawScreen(frame, &hero, 0);
    }
};

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
    EXPECT_EQ(tilesAlong(56, {32, 35, 36, 39, 40, 43, 44, 51, 52, 63, 64, 79, 80, 128}),
              Ints({40, 40, 66, 66, 13, 13, 204, 204, 65, 65, 81, 81, -1, 114}));
    EXPECT_EQ(tilesAlong(40, {52, 68, 84, 100}), Ints({-1, -1, -1, 21}));
    // under everything the backdrop scrolls at half the map's speed and repeats: with the
    // map 50 px on, column 25 of a backdrop 100 wide is at x 0 and again at x 100
    background = createImage(100, VIEW_H, 0);
    fillRect(background, 25, 0, 1, VIEW_H, BLUE);
    step = 50;
    drawScreen(200, &hero, 0);
    EXPECT_EQ(Ints({pixelAt(0, 100) == BLUE, pixelAt(1, 100) == BLUE, pixelAt(100, 100) == BLUE}),
              Ints({1, 0, 1}));
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
    show();
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
        show();
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
        show(c[0]);
        EXPECT_EQ(tileAt(108, 108) == 5, c[4] == 1) << c[0] << " " << c[2] << " " << c[3];
    }
    drawScreen(200, nullptr, 0); // no hero record at all
}

// The status line under a stage: lives in two digits, the flag icon by the rings still
// needed, and the time and oxygen bars scaled to the full supply: what is left in the bright
// colour, what is used up in the dark one.
TEST_F(StagePicture, TheStatusLineShowsLivesRingsTimeAndOxygen) {
    map.floor();
    ASSERT_TRUE(loadTestMap(map, 3));
    hero = heroAt(100, 160);
    lives = 7;
    airLeft = AIR_LIMIT / 2;
    timeLeft = TIME_LIMIT / 2;
    Ints flags;
    for (int rings : {3, 2, 1, 0}) {
        stars = rings;
        drawScreen(200, &hero, 0);
        flags.push_back(tileAt(264, 224));
    }
    EXPECT_EQ(flags, Ints({CELL_FLAG, CELL_FLAG, CELL_FLAG + 1, CELL_FLAG + 2}));
    EXPECT_EQ(readText(40, 216, 1, true) + readText(64, 216, 2, true), "X07");
    // half of each bar, 123 px from x 64, is left
    const std::vector<Uint32> bars = {pixelAt(64 + 123, 210), pixelAt(64 + 124, 210),
                                      pixelAt(64 + 123, 200), pixelAt(64 + 124, 200)};
    EXPECT_EQ(bars, std::vector<Uint32>({BLUE, DBLUE, RED, DRED}));
    EXPECT_TRUE(bars[0] != bars[1] && bars[2] != bars[3]) << "a used-up part looks like a full one";
}

} // namespace
