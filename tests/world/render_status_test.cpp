// What drawScreen puts around the world: the status line with its digits and icons, the
// time and oxygen bars, the stage messages with dimming and blinking, the pause menu and
// the title screen.
#include "anim/anims.h"
#include "gfx/image.h"
#include "gfx/video.h"
#include "render_kit.h"
#include "world/figure.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/pickups.h"
#include "world/render.h"
#include "world_fixture.h"

#include <gtest/gtest.h>
#include <string>

namespace {

constexpr bool BIG = true, SMALL = false;

class StatusPicture : public FlatArtTest {
  protected:
    Figure hero{};
    void SetUp() override {
        FlatArtTest::SetUp();
        TestMap map(30);
        map.fillRow(11, 21);
        ASSERT_TRUE(loadTestMap(map, 3));
        background = makeStripedBackdrop(320, 192);
        hero = heroAt(100, 160);
    }
    // The line of centred text at y, as the game centres a text of that length.
    std::string centred(int y, int length, bool big) {
        return readText(centredX(length, big), y, length, big);
    }
    std::string centred(int y, const std::string& text, bool big = BIG) {
        return centred(y, (int)text.size(), big);
    }
    // The stage view is dimmed: a backdrop pixel away from any text is darker than it is.
    bool dimmed() {
        Uint8 r, g, b, r0, g0, b0;
        SDL_GetRGB(pixelAt(300, 20), screen->format, &r, &g, &b);
        SDL_GetRGB(backdropColour(300), screen->format, &r0, &g0, &b0);
        return r + g + b < r0 + g0 + b0;
    }
};

TEST_F(StatusPicture, TheStatusLineShowsLivesScoreRingsAndStage) {
    lives = 7;
    score = 123;
    stars = 12;
    drawScreen(200, &hero, 0);
    EXPECT_EQ(tileAt(16 + 8, 216 + 8), 24) << "hero icon";
    EXPECT_EQ(readText(40, 216, 1, BIG), "X");
    EXPECT_EQ(readText(64, 216, 2, BIG), "07");
    EXPECT_EQ(tileAt(104 + 8, 216 + 8), 42) << "score icon";
    EXPECT_EQ(readText(124, 216, 4, BIG), "0123");
    EXPECT_EQ(tileAt(196 + 8, 216 + 8), 41) << "ring icon";
    EXPECT_EQ(readText(216, 216, 2, BIG), "12");
    EXPECT_EQ(tileAt(256 + 8, 216 + 8), 17) << "the flag is down while rings are missing";
    EXPECT_EQ(readText(276, 216, 2, BIG), "03");
    lives = 99;
    score = 9999;
    level = 10;
    drawScreen(200, &hero, 0);
    EXPECT_EQ(readText(64, 216, 2, BIG), "99");
    EXPECT_EQ(readText(124, 216, 4, BIG), "9999");
    EXPECT_EQ(readText(276, 216, 2, BIG), "10");
}

TEST_F(StatusPicture, TheFlagRisesWithTheLastRings) {
    for (auto [rings, icon] : {std::pair{2, 17}, {1, 18}, {0, 19}}) {
        stars = rings;
        drawScreen(200, &hero, 0);
        EXPECT_EQ(tileAt(256 + 8, 216 + 8), icon) << rings << " rings";
    }
}

TEST_F(StatusPicture, TheBarsShowTimeAndOxygenLeft) {
    timeLeft = 4500; // 124 of 248 px
    airLeft = 620;
    drawScreen(200, &hero, 0);
    EXPECT_EQ(readText(4, 196, 7, SMALL), " HURRY:");
    EXPECT_EQ(readText(4, 206, 7, SMALL), "OXYGEN:");
    EXPECT_EQ(pixelAt(64, 200), RED);
    EXPECT_EQ(pixelAt(64 + 123, 200), RED);
    EXPECT_EQ(pixelAt(64 + 124, 200), DRED);
    EXPECT_EQ(pixelAt(64 + 247, 198), DRED);
    EXPECT_EQ(pixelAt(64 + 247, 202), DRED);
    EXPECT_EQ(pixelAt(64 + 248, 200), BLACK);
    EXPECT_EQ(pixelAt(100, 197), BLACK) << "5 px high";
    EXPECT_EQ(pixelAt(100, 203), BLACK);
    EXPECT_EQ(pixelAt(64 + 247, 210), BLUE);
    struct Case {
        int time, air, red, blue; // filled lengths
    } cases[] = {{9000, 0, 248, 0}, {37, 3, 1, 1},  {36, 2, 0, 0},
                 {0, 310, 0, 124},  {-5, -1, 0, 0}, {9999, 999, 248, 248}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "time " << c.time << " air " << c.air);
        timeLeft = c.time;
        airLeft = c.air;
        drawScreen(200, &hero, 0);
        if (c.red > 0) {
            EXPECT_EQ(pixelAt(64 + c.red - 1, 200), RED);
        }
        if (c.red < 248) {
            EXPECT_EQ(pixelAt(64 + c.red, 200), DRED);
        }
        if (c.blue > 0) {
            EXPECT_EQ(pixelAt(64 + c.blue - 1, 210), BLUE);
        }
        if (c.blue < 248) {
            EXPECT_EQ(pixelAt(64 + c.blue, 210), DBLUE);
        }
        EXPECT_EQ(pixelAt(64 + 248, 200), BLACK);
    }
}

TEST_F(StatusPicture, TheStatusAreaKeepsItsBrightnessUnderTheIntroDimming) {
    timeLeft = 9000;
    drawScreen(10, &hero, 0);
    EXPECT_TRUE(dimmed());
    EXPECT_EQ(pixelAt(100, 200), RED);
    EXPECT_EQ(tileAt(16 + 8, 216 + 8), 24);
}

TEST_F(StatusPicture, TheTestStageHasAStatusLineButNoBars) {
    level = -1;
    drawScreen(200, &hero, 0);
    EXPECT_EQ(pixelAt(100, 200), BLACK);
    EXPECT_EQ(readText(4, 196, 7, SMALL), "~~~~~~~");
    EXPECT_EQ(readText(276, 216, 2, BIG), "-1");
    EXPECT_EQ(tileAt(16 + 8, 216 + 8), 24);
}

TEST_F(StatusPicture, TheIntroSaysRunAndBlinks) {
    drawScreen(0, &hero, 0);
    EXPECT_TRUE(dimmed());
    EXPECT_EQ(centred(96, "TROBZ, RUN!"), "TROBZ, RUN!");
    EXPECT_EQ(centredX(11, BIG), 72);
    drawScreen(32, &hero, 0);
    EXPECT_TRUE(dimmed());
    EXPECT_EQ(centred(96, "TROBZ, RUN!"), "~~~~~~~~~~~");
    drawScreen(180, &hero, 0); // 180 has the blink bit set
    EXPECT_EQ(centred(96, "TROBZ, RUN!"), "~~~~~~~~~~~");
    drawScreen(128, &hero, 0);
    EXPECT_EQ(centred(96, "TROBZ, RUN!"), "TROBZ, RUN!");
    drawScreen(192, &hero, 0); // after the intro: nothing
    EXPECT_FALSE(dimmed());
    EXPECT_EQ(centred(96, "TROBZ, RUN!"), "~~~~~~~~~~~");
}

TEST_F(StatusPicture, ADeathMessageBlinksOverADimmedStage) {
    lives = 3;
    setMessage("FELL TO DEATH");
    hero.alive = 0;
    drawScreen(200, &hero, 0);
    EXPECT_TRUE(dimmed());
    EXPECT_EQ(centred(96, "FELL TO DEATH"), "FELL TO DEATH");
    drawScreen(224, &hero, 0);
    EXPECT_TRUE(dimmed());
    EXPECT_EQ(centred(96, "FELL TO DEATH"), "~~~~~~~~~~~~~");
    // the game's last life: the game-over screen follows instead
    lives = 0;
    drawScreen(200, &hero, 0);
    EXPECT_FALSE(dimmed());
    EXPECT_EQ(centred(96, "FELL TO DEATH"), "~~~~~~~~~~~~~");
}

TEST_F(StatusPicture, ADeathPictureIsNotDimmedButTheHopIs) {
    lives = 2;
    setMessage("KILLED BY SKULL");
    hero.dying = 1;
    hero.deathAnim = ANIM_DEATH_EXPLODE;
    drawScreen(200, &hero, 0);
    EXPECT_FALSE(dimmed());
    EXPECT_EQ(centred(96, "KILLED BY SKULL"), "KILLED BY SKULL");
    hero.deathAnim = 0;
    drawScreen(200, &hero, 0);
    EXPECT_TRUE(dimmed());
    EXPECT_EQ(centred(96, "KILLED BY SKULL"), "KILLED BY SKULL");
    hero.dying = 0; // alive again: an old message is not shown
    drawScreen(200, &hero, 0);
    EXPECT_FALSE(dimmed());
    EXPECT_EQ(centred(96, "KILLED BY SKULL"), "~~~~~~~~~~~~~~~");
}

TEST_F(StatusPicture, TheQuitDialogDrawsNoMessages) {
    lives = 3;
    setMessage("SMASHED");
    hero.alive = 0;
    hero.ringsMissing = 1;
    escape = 1;
    drawScreen(200, &hero, 0);
    escape = 0;
    EXPECT_EQ(centred(96, "SMASHED"), "~~~~~~~");
}

TEST_F(StatusPicture, MissingRingsAreShownWithoutBlinking) {
    hero.ringsMissing = 1;
    for (int frame : {200, 224}) {
        drawScreen(frame, &hero, 0);
        EXPECT_EQ(centred(96, "YOU FORGOT RINGS!"), "YOU FORGOT RINGS!");
        EXPECT_EQ(centred(120, "GO TO PAUSE MODE AND SUICIDE", SMALL),
                  "GO TO PAUSE MODE AND SUICIDE");
        EXPECT_FALSE(dimmed());
    }
    hero.dying = 1;
    drawScreen(200, &hero, 0);
    EXPECT_EQ(centred(96, "YOU FORGOT RINGS!"), "~~~~~~~~~~~~~~~~~");
}

TEST_F(StatusPicture, ThePauseMenuBlinksItsCursorAndHidesTheRest) {
    paused = 1;
    workflow = 2;
    hero.ringsMissing = 1;
    drawScreen(200, &hero, 0);
    EXPECT_TRUE(dimmed());
    EXPECT_EQ(centred(96, "-PAUSE-"), "-PAUSE-");
    EXPECT_EQ(centred(124, "SUICIDE"), "SUICIDE");
    EXPECT_EQ(centred(142, "GO ON"), "GO ON");
    EXPECT_EQ(centred(160, "EXIT"), "EXIT");
    EXPECT_EQ(centred(120, "GO TO PAUSE MODE AND SUICIDE", SMALL).find("GO TO"), std::string::npos);
    drawScreen(224, &hero, 0);
    EXPECT_EQ(centred(124, "SUICIDE"), "SUICIDE");
    EXPECT_EQ(centred(142, "GO ON"), "~~~~~");
    EXPECT_EQ(centred(160, "EXIT"), "EXIT");
    workflow = 3;
    drawScreen(224, &hero, 0);
    EXPECT_EQ(centred(142, "GO ON"), "GO ON");
    EXPECT_EQ(centred(160, "EXIT"), "~~~~");
    paused = 0;
    workflow = 0;
}

TEST_F(StatusPicture, NoMessagesBeforeTheFirstFrame) {
    drawScreen(-1, &hero, 0);
    EXPECT_FALSE(dimmed());
    EXPECT_EQ(centred(96, "TROBZ, RUN!"), "~~~~~~~~~~~");
}

class TitlePicture : public StatusPicture {
  protected:
    void SetUp() override {
        StatusPicture::SetUp();
        level = 0;
        hero.alive = 0;
        logo = createImage(100, 40, 0);
        fillRect(logo, 0, 0, 100, 40, rgb(250, 250, 10));
        scroller = "          HELLO FROM THE TITLE SCROLLER          ";
        scrollidx = 0;
        scrolldx = 0;
    }
    void TearDown() override {
        workflow = 0;
        StatusPicture::TearDown();
    }
};

TEST_F(TitlePicture, LogoVersionAndPressStart) {
    workflow = 0;
    drawScreen(0, &hero, 0);
    const Uint32 yellow = rgb(250, 250, 10);
    EXPECT_EQ(pixelAt(110, 44), yellow) << "centred, 56 px above the middle";
    EXPECT_EQ(pixelAt(209, 83), yellow);
    EXPECT_NE(pixelAt(109, 44), yellow);
    EXPECT_NE(pixelAt(110, 43), yellow);
    EXPECT_EQ(centred(208, "TROBZ 3 V1.00"), "TROBZ 3 V1.00");
    EXPECT_EQ(centred(128, "PRESS START"), "PRESS START");
    EXPECT_EQ(readText(16, 216, 2, BIG), "~~") << "no status line on the title";
    EXPECT_FALSE(dimmed());
    drawScreen(32, &hero, 0);
    EXPECT_EQ(centred(128, "PRESS START"), "~~~~~~~~~~~");
    EXPECT_EQ(centred(208, "TROBZ 3 V1.00"), "TROBZ 3 V1.00");
}

TEST_F(TitlePicture, TheMenuBlinksTheChosenItem) {
    workflow = 3;
    const char* items[] = {"NEW GAME", "CONTINUE", "HISCORES", "OPTIONS", "EXIT"};
    const int ys[] = {104, 122, 140, 158, 176};
    drawScreen(0, &hero, 0);
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(centred(ys[i], items[i]), items[i]);
    EXPECT_EQ(centred(128, "PRESS START").find("PRESS"), std::string::npos);
    drawScreen(32, &hero, 0);
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(centred(ys[i], items[i]) == items[i], i != 2) << items[i];
}

TEST_F(TitlePicture, TheScrollerMovesHalfAPixelAFrame) {
    workflow = 1;
    scrollidx = 10;
    scrolldx = 5; // 2 px to the left
    drawScreen(0, &hero, 0);
    // characters 11 ... of the text, from x -2 + 8 on
    EXPECT_EQ(readText(6, 196, 13, SMALL), std::string(scroller + 11, 13));
    scrollidx = (int)std::string(scroller).size() + 5; // beyond the text: nothing, no crash
    drawScreen(0, &hero, 0);
    EXPECT_EQ(readText(6, 196, 4, SMALL), "~~~~");
}

TEST_F(TitlePicture, SubScreensGetNoTitleDrawn) {
    workflow = -4;
    drawScreen(0, &hero, 0);
    EXPECT_NE(pixelAt(110, 44), rgb(250, 250, 10));
    EXPECT_EQ(centred(208, "TROBZ 3 V1.00"), "~~~~~~~~~~~~~");
}

} // namespace
