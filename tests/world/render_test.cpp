// The stage picture: the half-speed backdrop, the two planes of cells with the actors
// between them, animated water and mines, the hero's visibility, the drawing windows,
// presenting with the pacer; then the status line, the bars, the stage messages with
// dimming and blinking, the pause menu and the title screen.
#include "render_kit.h"
#include "world_fixture.h"

#include "gfx/image.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "test_env.h"
#include "version.h"
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
    const int cases[][3] = {{0, 0, 0},    {0, 99, 99}, {0, 100, 0},   {0, 319, 19}, {50, 0, 25},
                            {50, 74, 99}, {50, 75, 0}, {51, 0, 25},   {200, 0, 0},  {201, 0, 0},
                            {398, 0, 99}, {398, 1, 0}, {398, 319, 18}};
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

TEST_F(StagePicture, WaterRipplesAndMinesBlinkEveryEightFrames) {
    map.set(6, 2, 160).set(7, 2, 161).set(9, 4, 140);
    // frame, water phase, mine image
    const int cases[][3] = {{0, 0, 220},  {7, 0, 220},  {8, 1, 221},  {16, 2, 222},
                            {24, 3, 220}, {31, 3, 220}, {32, 0, 221}, {200, 1, 221}};
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
    const int cases[][3] = {{0, 0, 40},     {0, 319, 42},   {5, 10, 40},   {5, 11, 41},
                            {5, 314, 42},   {5, 315, 43},   {16, 0, 41},   {16, 319, 43},
                            {170, 309, 44}, {170, 310, -1}, {-24, 10, -1}, {-24, 24, 40}};
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

TEST_F(StagePicture, SpritesAndBlocksAreDrawnInsideTheirWindowsOnly) {
    show(100);
    clearScreen(none);
    const int sprites[][3] = {{85, 40, 30},   {419, 60, 31},  {421, 80, 32},  {83, 80, 32},
                              {200, 192, 33}, {240, 193, 34}, {240, -15, 35}, {270, -16, 36},
                              {270, 50, 240}, {270, 50, -1}}; // the last two have no image
    for (const auto& s : sprites)
        drawSprite(s[0], s[1], s[2]);
    EXPECT_EQ(
        tiles({{0, 40}, {319, 60}, {0, 80}, {100, 192}, {140, 200}, {140, 0}, {170, 0}, {170, 55}}),
        Ints({30, 31, -1, 33, -1, 35, -1, -1}));
    step = 0;
    clearScreen(none);
    drawBlock(10, 191, 40); // blocks stay in the stage view
    drawBlock(40, 192, 41);
    drawBlock(-15, 0, 42);
    drawWBlock(100, 20, 3, 1);
    drawWBlock(120, 20, 4, 0); // no fifth phase
    drawWBlock(140, 20, 0, 2);
    EXPECT_EQ(tiles({{10, 191}, {40, 195}, {0, 0}}), Ints({40, -1, 42}));
    EXPECT_EQ(pixels({{100, 20}, {120, 20}, {140, 20}}), Colours({waterColour(7), none, none}));
}

TEST_F(StagePicture, PresentingPacesEveryFrameButDrawsNoSkippedOne) {
    show();
    VirtualClock clock;
    initFPS();
    drawScreen(200, &hero, 0);
    EXPECT_EQ(cntFrames, 0) << "no pacing without presenting";
    drawScreen(200, &hero, 1);
    EXPECT_EQ(cntFrames, 1);
    clearScreen(none);
    skipFrame = 1;
    drawScreen(200, &hero, 1);
    skipFrame = 0;
    EXPECT_EQ(pixelAt(0, 0), none) << "a skipped frame draws nothing";
    EXPECT_EQ(cntFrames, 2) << "but is paced";
}

class StatusPicture : public FlatArtTest {
  protected:
    Figure hero{};
    void SetUp() override {
        FlatArtTest::SetUp();
        ASSERT_TRUE(loadTestMap(TestMap(30).fillRow(11, 21), 3));
        background = makeStripedBackdrop(320, 192);
        hero = heroAt(100, 160);
    }
    void TearDown() override {
        paused = escape = workflow = 0;
        FlatArtTest::TearDown();
    }
    // "dim" when a backdrop pixel away from any text is darker than it is, then every text
    // of `texts` (y, text, big font) found centred on the screen, after "|".
    std::string seen(std::initializer_list<std::tuple<int, const char*, bool>> texts) {
        Uint8 r, g, b, r0, g0, b0;
        SDL_GetRGB(pixelAt(300, 20), screen->format, &r, &g, &b);
        SDL_GetRGB(backdropColour(300), screen->format, &r0, &g0, &b0);
        std::string out = r + g + b < r0 + g0 + b0 ? "dim" : "";
        for (auto [y, text, big] : texts)
            if (centredText(y, text, big) == text) out += std::string("|") + text;
        return out;
    }
    std::string stageTexts() {
        return seen({{96, "TROBZ, RUN!", true},
                     {96, "KILLED BY SKULL", true},
                     {96, "YOU FORGOT RINGS!", true},
                     {120, "GO TO PAUSE MODE AND SUICIDE", false},
                     {96, "-PAUSE-", true},
                     {124, "SUICIDE", true},
                     {142, "GO ON", true},
                     {160, "EXIT", true}});
    }
};

TEST_F(StatusPicture, TheStatusLineShowsLivesScoreRingsAndStage) {
    // the big font's "X", lives, score, rings still needed and the stage
    auto line = [&] {
        drawScreen(200, &hero, 0);
        return readText(40, 216, 1, true) + " " + readText(64, 216, 2, true) + " " +
               readText(124, 216, 4, true) + " " + readText(216, 216, 2, true) + " " +
               readText(276, 216, 2, true);
    };
    lives = 7;
    score = 123;
    stars = 12;
    EXPECT_EQ(line(), "X 07 0123 12 03");
    EXPECT_EQ(tiles({{24, 224}, {112, 224}, {204, 224}}), Ints({24, 42, 41}));
    Ints flags;
    for (int rings : {12, 2, 1, 0}) {
        stars = rings;
        line();
        flags.push_back(tileAt(264, 224));
    }
    EXPECT_EQ(flags, Ints({17, 17, 18, 19}));
    lives = 99;
    score = 9999;
    level = 10;
    EXPECT_EQ(line(), "X 99 9999 00 10");
    level = -1; // the test stage: a status line but no bars
    EXPECT_EQ(line(), "X 99 9999 00 -1");
    EXPECT_EQ(readText(4, 196, 7, false), "~~~~~~~");
    EXPECT_EQ(pixelAt(100, 200), BLACK);
}

TEST_F(StatusPicture, TheBarsShowTimeAndOxygenLeft) {
    timeLeft = 4500; // 124 of 248 px
    drawScreen(200, &hero, 0);
    EXPECT_EQ(readText(4, 196, 7, false) + readText(4, 206, 7, false), " HURRY:OXYGEN:");
    EXPECT_EQ(pixels({{187, 200}, {188, 200}, {311, 198}, {311, 202}, {100, 197}, {100, 203}}),
              Colours({RED, DRED, DRED, DRED, BLACK, BLACK}))
        << "5 px high";
    // time, air, then the filled lengths of both bars
    const int cases[][4] = {{9000, 0, 248, 0}, {37, 3, 1, 1},  {36, 2, 0, 0},
                            {0, 310, 0, 124},  {-5, -1, 0, 0}, {9999, 999, 248, 248}};
    for (const auto& c : cases) {
        timeLeft = c[0];
        airLeft = c[1];
        drawScreen(200, &hero, 0);
        // the last filled and the first empty pixel of each bar, and past its end
        Colours got, want;
        for (int bar = 0; bar < 2; bar++) {
            const int y = 200 + 10 * bar, n = c[2 + bar];
            const Uint32 full = bar ? BLUE : RED, empty = bar ? DBLUE : DRED;
            got.push_back(n > 0 ? pixelAt(63 + n, y) : full);
            got.push_back(n < 248 ? pixelAt(64 + n, y) : empty);
            got.push_back(pixelAt(312, y));
            want.insert(want.end(), {full, empty, BLACK});
        }
        EXPECT_EQ(got, want) << "time " << c[0] << " air " << c[1];
    }
}

TEST_F(StatusPicture, StageMessagesBlinkAndDimAsTheStageRequires) {
    setMessage("KILLED BY SKULL");
    const std::string run = "|TROBZ, RUN!", killed = "|KILLED BY SKULL",
                      rings = "|YOU FORGOT RINGS!|GO TO PAUSE MODE AND SUICIDE",
                      pause = "|-PAUSE-|SUICIDE";
    // lives, frame, alive, dying, death animation, escape, paused, cursor, rings missing
    const struct {
        int v[9];
        std::string texts;
    } cases[] = {
        {{6, 0, 1, 0, 0, 0, 0, 0, 0}, "dim" + run}, // the intro, blinking
        {{6, 32, 1, 0, 0, 0, 0, 0, 0}, "dim"},
        {{6, 128, 1, 0, 0, 0, 0, 0, 0}, "dim" + run},
        {{6, 180, 1, 0, 0, 0, 0, 0, 0}, "dim"},
        {{6, 192, 1, 0, 0, 0, 0, 0, 0}, ""},
        {{6, -1, 1, 0, 0, 0, 0, 0, 0}, ""}, // before the first frame
        {{3, 200, 0, 0, 0, 0, 0, 0, 0}, "dim" + killed},
        {{3, 224, 0, 0, 0, 0, 0, 0, 0}, "dim"},
        {{0, 200, 0, 0, 0, 0, 0, 0, 0}, ""},                      // game over follows
        {{2, 200, 1, 1, ANIM_DEATH_EXPLODE, 0, 0, 0, 0}, killed}, // the death picture shows
        {{2, 200, 1, 1, 0, 0, 0, 0, 1}, "dim" + killed},          // the death hop
        {{3, 200, 0, 0, 0, 1, 0, 0, 0}, "dim"},                   // the quit dialog is up
        {{6, 200, 1, 0, 0, 0, 0, 0, 1}, rings},                   // not blinking
        {{6, 224, 1, 0, 0, 0, 0, 0, 1}, rings},
        {{6, 200, 1, 0, 0, 1, 0, 0, 1}, ""},
        {{6, 200, 1, 0, 0, 0, 1, 2, 1}, "dim" + pause + "|GO ON|EXIT"},
        {{6, 224, 1, 0, 0, 0, 1, 2, 1}, "dim" + pause + "|EXIT"},
        {{6, 224, 1, 0, 0, 0, 1, 3, 1}, "dim" + pause + "|GO ON"}};
    for (const auto& c : cases) {
        lives = c.v[0];
        hero.alive = c.v[2];
        hero.dying = c.v[3];
        hero.deathAnim = c.v[4];
        escape = c.v[5];
        paused = c.v[6];
        workflow = c.v[7];
        hero.ringsMissing = c.v[8];
        drawScreen(c.v[1], &hero, 0);
        EXPECT_EQ(stageTexts(), c.texts) << "case " << &c - cases;
    }
    drawScreen(10, &hero, 0);
    EXPECT_EQ(pixelAt(100, 200), RED) << "the status area keeps its brightness";
}

TEST_F(StatusPicture, TheTitleShowsLogoVersionScrollerAndMenu) {
    level = 0;
    hero.alive = 0;
    const Uint32 yellow = rgb(250, 250, 10);
    logo = createImage(100, 40, 0);
    fillRect(logo, 0, 0, 100, 40, yellow);
    scroller = "          HELLO FROM THE TITLE SCROLLER          ";
    scrollidx = scrolldx = 0;
    const std::string version = "TROBZ 3 V" TROBZ_VERSION;
    auto title = [&] {
        return std::string(pixelAt(110, 44) == yellow ? "logo" : "") +
               seen({{208, version.c_str(), true},
                     {128, "PRESS START", true},
                     {104, "NEW GAME", true},
                     {122, "CONTINUE", true},
                     {140, "HISCORES", true},
                     {158, "OPTIONS", true},
                     {176, "EXIT", true}}) +
               (readText(64, 216, 2, true) == "~~" ? "" : "|status");
    };
    const std::string menu = "logo|" + version + "|NEW GAME|CONTINUE";
    const struct {
        int workflow, frame;
        std::string texts;
    } cases[] = {{0, 0, "logo|" + version + "|PRESS START"},
                 {0, 32, "logo|" + version},
                 {3, 0, menu + "|HISCORES|OPTIONS|EXIT"},
                 {3, 32, menu + "|OPTIONS|EXIT"},
                 {-4, 0, ""}}; // a sub-screen: no title
    for (const auto& c : cases) {
        workflow = c.workflow;
        drawScreen(c.frame, &hero, 0);
        EXPECT_EQ(title(), c.texts) << c.workflow << " " << c.frame;
    }
    workflow = 1;
    drawScreen(0, &hero, 0);
    // the logo centred 56 px above the middle
    EXPECT_EQ(pixels({{209, 83}, {109, 44}, {110, 43}}),
              Colours({yellow, backdropColour(109), backdropColour(110)}));
    scrollidx = 10;
    scrolldx = 5; // half a pixel a frame: 2 px to the left
    drawScreen(0, &hero, 0);
    EXPECT_EQ(readText(6, 196, 13, false), std::string(scroller + 11, 13));
    scrollidx = (int)std::string(scroller).size() + 5; // beyond the text: nothing, no crash
    drawScreen(0, &hero, 0);
    EXPECT_EQ(readText(6, 196, 4, false), "~~~~");
}

} // namespace
