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
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

constexpr uint32_t MASCOT = 0x30C030, LOGO = 0xC0C030; // the test images' colours

uint32_t shown(uint32_t rgb) {
    Uint8 r, g, b;
    SDL_GetRGB(SDL_MapRGB(screen->format, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF), screen->format,
               &r, &g, &b);
    return ((uint32_t)r << 16) | ((uint32_t)g << 8) | b;
}

// Top-left corner of the mascot (its own top-left pixel is transparent), or (-1, -1).
std::pair<int, int> mascotAt() {
    for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++)
            if (pixelRGB(screen, x, y) == shown(MASCOT)) return {x - 1, y};
    return {-1, -1};
}

class IntroTest : public ::testing::Test {
  protected:
    ScopedTempDir tmp;
    std::unique_ptr<ArchiveDir> reader;
    std::unique_ptr<VirtualClock> clock;

    void SetUp() override {
        useTestScreen(16);
        writeArchive(tmp.path() + "/data", "gfx", introGfxMembers());
        reader = std::make_unique<ArchiveDir>(tmp.path() + "/data");
        loadSpriteFont();
        clock = std::make_unique<VirtualClock>();
        drainEvents();
        lastKeyTyped = 0;
    }
    void TearDown() override {
        destroyFonts();
        reader.reset();
        clock.reset();
    }

    // Reopens the archives with a jingle of the given length in the music archive.
    void addJingle(int rows, int speed) {
        ZdaMember m;
        m.name = "y.jingle.mod";
        m.data = makeTinyModule(rows, speed);
        writeArchive(tmp.path() + "/data", "music", {m});
        reader = std::make_unique<ArchiveDir>(tmp.path() + "/data");
    }
};

// The pixel one in from a glyph's corner, and the colour the test font gives a character.
uint32_t glyphAt(int x, int y) {
    return pixelRGB(screen, x + 1, y + 1);
}
uint32_t glyphOf(char c) {
    return shown(glyphColour(c - 32));
}

} // namespace

TEST(Trig, TablesHoldSineAndCosineScaledAndTruncated) {
    EXPECT_EQ(tsin[0], 0);
    EXPECT_EQ(tsin[1], 12);
    EXPECT_EQ(tsin[128], 1024);
    EXPECT_EQ(tsin[384], -1024);
    EXPECT_EQ(tcos[0], 1024);
    EXPECT_EQ(tcos[256], -1024);
    for (int i = 0; i < TRIG_STEPS; i++) {
        double a = 2 * M_PI * i / TRIG_STEPS;
        EXPECT_NEAR(tsin[i], std::sin(a) * 1024, 1.0) << i;
        EXPECT_NEAR(tcos[i], std::cos(a) * 1024, 1.0) << i;
        // truncation toward zero: never further from zero than the true value
        EXPECT_LE(std::abs(tsin[i]), std::abs(std::sin(a) * 1024) + 1e-9) << i;
        EXPECT_LE(std::abs(tcos[i]), std::abs(std::cos(a) * 1024) + 1e-9) << i;
    }
}

TEST_F(IntroTest, TheMascotCirclesAndTheLogoSlidesInAndStops) {
    vemoInit();
    vemoRender(screen);
    // dj 0: x 160 - 20 + (1024 >> 7), y 100 - 15 + 0
    EXPECT_EQ(mascotAt(), std::make_pair(148, 85));
    for (int f = 1; f <= 128; f++) {
        vemoUpdate();
        vemoRender(screen);
    }
    // dj 128: cos is 0, sin(3 x 128) = -1024
    EXPECT_EQ(mascotAt(), std::make_pair(140, 77));
    // the old images were erased: only one mascot is on the picture
    int green = 0;
    for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++)
            green += pixelRGB(screen, x, y) == shown(MASCOT);
    EXPECT_EQ(green, 40 * 30 - 1);
    // the logo rests at (320 - 100) / 2 = 110 with its bottom on row 179
    EXPECT_EQ(pixelRGB(screen, 111, 160), shown(LOGO));
    EXPECT_EQ(pixelRGB(screen, 209, 179), shown(LOGO));
    EXPECT_EQ(pixelRGB(screen, 210, 179), 0u);
    EXPECT_EQ(pixelRGB(screen, 111, 180), 0u);
    for (int f = 129; f <= 512; f++) {
        vemoUpdate();
        vemoRender(screen);
    }
    EXPECT_EQ(mascotAt(), std::make_pair(148, 85)); // one whole swing
    EXPECT_EQ(pixelRGB(screen, 111, 160), shown(LOGO));
    vemoShutdown();
}

TEST_F(IntroTest, ALogoOfOddRestStillStopsAndStartsTheJingle) {
    // (320 - 99) >> 1 = 110, (320 - 97) >> 1 = 111: both must be reached exactly
    for (int width : {99, 97}) {
        writeArchive(tmp.path() + "/data", "gfx", introGfxMembers(width));
        reader = std::make_unique<ArchiveDir>(tmp.path() + "/data");
        const int rest = (320 - width) >> 1;
        vemoInit();
        lastKeyTyped = 0;
        int frames = 0;
        while (!vemoUpdate() && frames < 400) {
            vemoRender(screen);
            frames++;
            if (frames == 200) lastKeyTyped = CTRL_JUMP;
        }
        EXPECT_EQ(frames, 200) << width;
        EXPECT_EQ(pixelRGB(screen, rest + 1, 170), shown(LOGO)) << width;
        EXPECT_EQ(pixelRGB(screen, rest - 1, 170), 0u) << width;
        EXPECT_EQ(pixelRGB(screen, rest + width, 170), 0u) << width;
        vemoShutdown();
    }
}

TEST_F(IntroTest, ControlsCountOnlyOnceTheLogoHasArrived) {
    InputScript script;
    script.tap(60, SDLK_RETURN)
        .tap(100, SDLK_SPACE)
        .tap(124, SDLK_RETURN) // too early
        .tap(126, SDLK_UP)     // not START or JUMP
        .tap(127, SDLK_SPACE);
    runIntroScreen(screens[0]);
    EXPECT_EQ(InputScript::calls, 127);
}

TEST_F(IntroTest, TheLogoScreenEndsWhenItsJingleHasPlayed) {
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    ASSERT_EQ(MP_OpenAudio(22050, AUDIO_S16LSB, 2, 1024), 0);
    addJingle(4, 3); // about a quarter of a second
    VirtualClock::realSleepUs = 300;
    std::vector<int> playing;
    static std::vector<int>* log = &playing;
    inputHook = [] {
        log->push_back(MP_PlayingMusic());
        if (log->size() == 20000) { // about 20 s: the jingle never ended
            pushEvent(keyEvent(SDLK_SPACE, true));
            pushEvent(keyEvent(SDLK_SPACE, false));
        }
    };
    runIntroScreen(screens[0]);
    inputHook = nullptr;
    ASSERT_GT(playing.size(), 126u);
    EXPECT_LT(playing.size(), 20000u);
    // silent while the logo slides in, playing from the frame it stops
    EXPECT_EQ(playing[100], 0);
    EXPECT_EQ(playing[125], 1);
    EXPECT_EQ(playing.back(), 0);
    EXPECT_EQ(MP_PlayingMusic(), 0);
    Mix_CloseAudio();
}

TEST_F(IntroTest, LeavingTheLogoScreenEarlyStopsItsJingle) {
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    ASSERT_EQ(MP_OpenAudio(22050, AUDIO_S16LSB, 2, 1024), 0);
    addJingle(64, 31); // long enough to be playing still
    InputScript script;
    script.tap(140, SDLK_SPACE);
    runIntroScreen(screens[0]);
    EXPECT_EQ(InputScript::calls, 140);
    EXPECT_EQ(MP_PlayingMusic(), 0);
    Mix_CloseAudio();
}

TEST_F(IntroTest, TheWarningPageEndsOnTheReleaseOfJumpOrUp) {
    InputScript script;
    script
        .key(2, SDLK_SPACE, true) // held: nothing yet
        .tap(4, SDLK_RETURN)
        .tap(5, SDLK_LEFT)
        .key(8, SDLK_SPACE, false);
    runIntroScreen(screens[1]);
    EXPECT_EQ(InputScript::calls, 8);
    InputScript again;
    again.tap(3, SDLK_UP);
    runIntroScreen(screens[1]);
    EXPECT_EQ(InputScript::calls, 3);
}

TEST_F(IntroTest, TheWarningPageShowsItsLines) {
    SDL_FillRect(screen, nullptr, RED);
    EXPECT_EQ(warningRender(screen), 0);
    EXPECT_EQ(pixelRGB(screen, 0, 0), 0u);                      // cleared to black
    EXPECT_EQ(glyphAt(160 - 8 * 9, 40), glyphOf('A'));          // ATTENTION, large
    EXPECT_EQ(glyphAt(160 - 8 * 9 + 16 * 8, 40), glyphOf('N')); // its last letter
    EXPECT_EQ(glyphAt(160 - 4 * 27, 110), glyphOf('T'));        // THIS GAME IS SERIOUSLY HARD
    EXPECT_EQ(glyphAt(160 - 4 * 21, 170), glyphOf('Y'));        // YOU HAVE BEEN WARNED!
    EXPECT_EQ(glyphAt(160 - 4 * 17, 200), glyphOf('P'));        // PRESS UP TO GO ON
    for (int y = 88; y < 100; y++)                              // the empty line
        for (int x = 0; x < 320; x++)
            ASSERT_EQ(pixelRGB(screen, x, y), 0u);
}

TEST_F(IntroTest, TheCreditsPageShowsItsLines) {
    EXPECT_EQ(opensourceRender(screen), 0);
    EXPECT_EQ(glyphAt(160 - 8 * 7, 40), glyphOf('C'));   // CREDITS
    EXPECT_EQ(glyphAt(160 - 4 * 25, 80), glyphOf('T'));  // THIS PROJECT USES CODE OF
    EXPECT_EQ(glyphAt(160 - 4 * 8, 130), glyphOf('A'));  // AND ZLIB
    EXPECT_EQ(glyphAt(160 - 4 * 10, 180), glyphOf('H')); // HOMEPAGES.
    EXPECT_EQ(glyphAt(160 - 4 * 17, 210), glyphOf('P')); // PRESS UP TO GO ON
    // the same picture every time
    std::vector<uint32_t> first;
    for (int y = 0; y < 240; y += 3)
        first.push_back(pixelRGB(screen, 100, y));
    opensourceRender(screen);
    for (int y = 0, i = 0; y < 240; y += 3, i++)
        EXPECT_EQ(pixelRGB(screen, 100, y), first[i]);
    EXPECT_EQ(opensourceUpdate(), 0);
    lastKeyTyped = CTRL_JUMP;
    EXPECT_EQ(opensourceUpdate(), 1);
    lastKeyTyped = CTRL_START;
    EXPECT_EQ(opensourceUpdate(), 0);
}
