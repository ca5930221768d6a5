// The intro screens: the logo screen's motion, its end conditions with and without a jingle,
// and the two text pages, drawn with small test fonts and images.
#include "app/intro.h"
#include "app/startup.h"
#include "audio/player.h"
#include "data/archive.h"
#include "game/input.h"
#include "gfx/font.h"
#include "gfx/video.h"
#include "test_env.h"

#include <SDL_mixer.h>
#include <cstdint>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

namespace {

const uint32_t MASCOT = 0x30C030, LOGO = 0xC0C030; // the test images' colours

// Top-left corner of the mascot (its own top-left pixel is transparent), or (-1, -1), and
// how many of its pixels the picture shows.
std::pair<int, int> mascotAt(int* count = nullptr) {
    std::pair<int, int> at{-1, -1};
    int n = 0;
    for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++)
            if (pixelRGB(screen, x, y) == asShown(MASCOT) && n++ == 0) at = {x - 1, y};
    if (count) *count = n;
    return at;
}

class IntroTest : public ::testing::Test {
  protected:
    ScopedTempDir tmp;
    std::unique_ptr<ArchiveDir> reader;
    std::unique_ptr<VirtualClock> clock;

    // Opens archives of the test images (the logo `logoWidth` wide) and, when rows > 0, a
    // jingle of that many rows at that speed.
    void openData(int logoWidth = 100, int rows = 0, int speed = 0) {
        writeArchive(tmp.path() + "/data", "gfx", introGfxMembers(logoWidth));
        if (rows)
            writeArchive(tmp.path() + "/data", "music",
                         {{"y.jingle.mod", makeTinyModule(rows, speed)}});
        reader = std::make_unique<ArchiveDir>(tmp.path() + "/data");
    }
    void openAudio() {
        SDL_InitSubSystem(SDL_INIT_AUDIO);
        ASSERT_EQ(MP_OpenAudio(22050, AUDIO_S16LSB, 2, 1024), 0);
    }
    void SetUp() override {
        useTestScreen(16);
        openData();
        loadSpriteFont();
        clock = std::make_unique<VirtualClock>();
        drainEvents();
        lastKeyTyped = 0;
    }
    void TearDown() override {
        destroyFonts();
        reader.reset();
        clock.reset();
        Mix_CloseAudio();
    }
};

} // namespace

TEST(Trig, TablesHoldSineAndCosineScaledAndTruncated) {
    // -629 is the entry nearest a rounding edge (-629.997); the others are the turn's corners
    EXPECT_EQ(tsin[1], 12);
    EXPECT_EQ(tsin[128], 1024);
    EXPECT_EQ(tsin[458], -629);
    EXPECT_EQ(tcos[256], -1024);
    EXPECT_EQ(tcos[330], -629);
    // FNV-1a over every entry, as the tables were once typed out by hand
    uint32_t hash = 2166136261u;
    for (int v : tsin)
        hash = (hash ^ uint32_t(v)) * 16777619u;
    for (int v : tcos)
        hash = (hash ^ uint32_t(v)) * 16777619u;
    EXPECT_EQ(hash, 0xac993f95u);
}

TEST_F(IntroTest, TheMascotCirclesAndTheLogoSlidesInAndStops) {
    vemoInit();
    vemoRender(screen);
    EXPECT_EQ(mascotAt(), std::make_pair(148, 85)); // 160 - 20 + (1024 >> 7), 100 - 15 + 0
    for (int f = 1; f <= 128; f++) {
        vemoUpdate();
        vemoRender(screen);
    }
    int shown = 0;
    EXPECT_EQ(mascotAt(&shown), std::make_pair(140, 77)); // cos 0, sin(3 x 128) = -1024
    EXPECT_EQ(shown, 40 * 30 - 1);                        // the old images were erased
    // the logo rests at (320 - 100) / 2 = 110 with its bottom on row 179
    EXPECT_EQ(pixelRGB(screen, 111, 160), asShown(LOGO));
    EXPECT_EQ(pixelRGB(screen, 209, 179), asShown(LOGO));
    EXPECT_EQ(pixelRGB(screen, 210, 179), 0u);
    EXPECT_EQ(pixelRGB(screen, 111, 180), 0u);
    for (int f = 129; f <= 512; f++) {
        vemoUpdate();
        vemoRender(screen);
    }
    EXPECT_EQ(mascotAt(), std::make_pair(148, 85)); // one whole swing
    vemoShutdown();
}

TEST_F(IntroTest, ControlsCountOnlyOnceTheLogoHasArrived) {
    // at rest after (360 - 110) / 2 = 125 frames; logos of odd rest must reach it exactly
    for (int width : {100, 99, 97}) {
        SCOPED_TRACE(width);
        openData(width);
        const int rest = (320 - width) >> 1, arrives = (360 - rest + 1) / 2;
        InputScript script;
        script.tap(arrives - 60, SDLK_RETURN)
            .tap(arrives - 20, SDLK_SPACE)
            .tap(arrives - 1, SDLK_RETURN) // too early
            .tap(arrives + 1, SDLK_UP)     // not START or JUMP
            .tap(arrives + 2, SDLK_SPACE);
        runIntroScreen(screens[0]);
        EXPECT_EQ(InputScript::calls, arrives + 2);
        EXPECT_EQ(pixelRGB(screen, rest + 1, 170), asShown(LOGO));
        EXPECT_EQ(pixelRGB(screen, rest - 1, 170), 0u);
        EXPECT_EQ(pixelRGB(screen, rest + width, 170), 0u);
    }
}

TEST_F(IntroTest, TheLogoScreenEndsWhenItsJingleHasPlayed) {
    openAudio();
    openData(100, 4, 3); // about a quarter of a second
    VirtualClock::realSleepUs = 300;
    static std::vector<int> playing;
    playing.clear();
    inputHook = [] {
        playing.push_back(MP_PlayingMusic());
        if (playing.size() == 20000) { // about 20 s: the jingle never ended
            pushEvent(keyEvent(SDLK_SPACE, true));
            pushEvent(keyEvent(SDLK_SPACE, false));
        }
    };
    runIntroScreen(screens[0]);
    inputHook = nullptr;
    ASSERT_GT(playing.size(), 126u);
    EXPECT_LT(playing.size(), 20000u);
    // silent while the logo slides in, playing from the frame it stops, and over at the end
    EXPECT_EQ(playing[100], 0);
    EXPECT_EQ(playing[125], 1);
    EXPECT_EQ(playing.back(), 0);
}

TEST_F(IntroTest, LeavingTheLogoScreenEarlyStopsItsJingle) {
    openAudio();
    openData(100, 64, 31); // long enough to be playing still
    InputScript script;
    script.tap(140, SDLK_SPACE);
    runIntroScreen(screens[0]);
    EXPECT_EQ(InputScript::calls, 140);
    EXPECT_EQ(MP_PlayingMusic(), 0);
}

TEST_F(IntroTest, ThePagesShowTheirLinesCentred) {
    struct Line {
        int page, y;
        const char* text;
    };
    const Line lines[] = {{1, 40, "ATTENTION"},
                          {1, 90, ""},
                          {1, 110, "THIS GAME IS SERIOUSLY HARD"},
                          {1, 120, "AND REQUIRES A FAST BRAIN"},
                          {1, 130, "ALONG WITH FAST FINGERS."},
                          {1, 150, "TAKE CARE OF YOURSELF AND"},
                          {1, 160, "YOUR PRECIOUS HARDWARE."},
                          {1, 170, "YOU HAVE BEEN WARNED!"},
                          {1, 200, "PRESS UP TO GO ON"},
                          {2, 40, "CREDITS"},
                          {2, 80, "THIS PROJECT USES CODE OF"},
                          {2, 90, "THE FOLLOWING OPEN-SOURCE"},
                          {2, 100, "PROJECTS IN UNMODDED FORM:"},
                          {2, 120, "SDL, SDL MIXER, LIBMODPLUG"},
                          {2, 130, "AND ZLIB"},
                          {2, 150, "YOU CAN GET THE SOURCE CODE"},
                          {2, 160, "OF THE MENTIONED LIBRARIES"},
                          {2, 170, "BY VISITING THE RESPECTIVE"},
                          {2, 180, "HOMEPAGES."},
                          {2, 210, "PRESS UP TO GO ON"}};
    for (int page : {1, 2}) {
        fillRect(screen, 0, 0, 320, 240, RED);
        EXPECT_EQ(screens[page].render(screen), 0);
        EXPECT_EQ(pixelRGB(screen, 0, 0), 0u); // cleared to black
        for (const Line& l : lines) {
            if (l.page != page) continue;
            const int w = l.y == 40 ? 16 : 8, len = (int)std::strlen(l.text);
            if (len)
                expectCells(160 - w / 2 * len - w, l.y, w, " " + std::string(l.text) + " ");
            else
                expectCells(0, l.y, w, std::string(40, ' '));
        }
    }
}
