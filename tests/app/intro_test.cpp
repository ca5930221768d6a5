// The logo screen: where the logo comes to rest, its end conditions with and without a
// jingle, and the mascot's swing, drawn with small test images.
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

#include <filesystem>
#include <memory>
#include <string>

const uint32_t LOGO = 0xC0C030;   // the test logo's colour
const uint32_t MASCOT = 0x30C030; // the test mascot's
using Ints = std::vector<int>;

namespace {

class IntroTest : public ::testing::Test {
  protected:
    ScopedTempDir tmp;
    std::unique_ptr<ArchiveDir> reader;
    std::unique_ptr<VirtualClock> clock;

    // Opens archives of the test images (the logo `logoWidth` wide) and, with `jingle`, the
    // built music archive.
    void openData(int logoWidth = 100, bool jingle = false) {
        writeArchive(tmp.path() + "/data", "gfx", introGfxMembers(logoWidth));
        if (jingle)
            std::filesystem::create_symlink(TROBZ_BUILD_DIR "/data/music.zda",
                                            tmp.path() + "/data/music.zda");
        reader = std::make_unique<ArchiveDir>(tmp.path() + "/data");
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

// The logo screen, run until it ends or `polls` input polls have passed (then JUMP ends it):
// what `look` saw at each poll.
std::vector<int> lookAtTheLogoScreen(int (*look)(), size_t polls) {
    static std::vector<int> seen;
    static int (*lookNow)();
    static size_t limit;
    seen.clear();
    lookNow = look;
    limit = polls;
    inputHook = [] {
        seen.push_back(lookNow());
        if (seen.size() == limit) {
            pushEvent(keyEvent(SDLK_SPACE, true));
            pushEvent(keyEvent(SDLK_SPACE, false));
        }
    };
    runIntroScreen(screens[0]);
    inputHook = nullptr;
    return seen;
}

} // namespace

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
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    ASSERT_EQ(MP_OpenAudio(22050, AUDIO_S16LSB, 2, 1024), 0);
    openData(100, true); // the jingle lasts a little over three seconds
    VirtualClock::realSleepUs = 300;
    // about 20 s of polls: the jingle never ended
    const std::vector<int> playing = lookAtTheLogoScreen(MP_PlayingMusic, 20000);
    ASSERT_GT(playing.size(), 126u);
    EXPECT_LT(playing.size(), 20000u);
    // silent while the logo slides in, playing from the frame it stops, and over at the end
    EXPECT_EQ(Ints({playing[100], playing[125], playing.back()}), Ints({0, 1, 0}));
}

// The mascot swings 8 px either way of the middle of the picture: at the right end on the
// first frame, at the left end half a turn (256 frames) later.
TEST_F(IntroTest, TheMascotSetsOffFromTheRightEndOfItsSwing) {
    const std::vector<int> left = lookAtTheLogoScreen(
        [] { // the mascot's left edge on row 100
            int x = 0;
            while (x < SCREEN_W && pixelRGB(screen, x, 100) != asShown(MASCOT))
                x++;
            return x;
        },
        TRIG_STEPS / 2);
    const int middle = (SCREEN_W - 40) / 2; // of the 40 px wide test mascot
    ASSERT_EQ(left.size(), size_t(TRIG_STEPS / 2));
    EXPECT_NEAR(left.front(), middle + 8, 1);
    EXPECT_EQ(left.back(), middle - 8);
}
