// The options screen: the screen settings, the reset, and the key capture with refused
// duplicates and Escape.
#include "flow_fixture.h"

#include "audio/player.h"
#include "data/settings.h"
#include "game/flow.h"
#include "game/input.h"
#include "game/options.h"
#include "world/flowstate.h"

#include <SDL_mixer.h>

class OptionsTest : public FlowTest {
  protected:
    void SetUp() override {
        FlowTest::SetUp();
        level = LEVEL_TITLE;
        workflow = WF_OPTIONS_MENU;
        openOptionsMenu();
        _mus_volume_100_ = 100;
        _sfx_volume_100_ = 15;
        cfgFullscreen = cfgaa2 = cfgs2x = 0;
        cfgZoom = 1;
    }
    void TearDown() override {
        resetDefaultControls();
        _mus_volume_100_ = 100;
        _sfx_volume_100_ = 15;
        MP_VolumeMusic(128);
        FlowTest::TearDown();
    }
    // frames of the options with a control released (typed) at each, or held
    static void frames(int n, int typed, int held = 0) {
        for (int i = 0; i < n; i++) {
            lastKeyTyped = typed;
            lastKey = held;
            optionsStep();
        }
    }
    // a capture offered a key (or, with sym 0, a pad button)
    static void offer(int sym, int button = -1) {
        lastKeySym = sym;
        lastJButton = button;
        captureStep();
    }
};

TEST_F(OptionsTest, ScreenModesCycleBothWaysAndTheScalerLineSwitchesScale2x) {
    cfgIndex = OPT_SCREEN;
    cfgZoom = 0;
    const int steps[][3] = {// control, zoom and full screen after it
                            {CTRL_RIGHT, 1, 0}, {CTRL_RIGHT, 1, 1}, {CTRL_RIGHT, 0, 0},
                            {CTRL_LEFT, 1, 1},  {CTRL_LEFT, 1, 0},  {CTRL_LEFT, 0, 0}};
    for (const auto& s : steps) {
        frames(1, 0, s[0]);
        frames(10, 0);
        EXPECT_EQ(cfgZoom, s[1]);
        EXPECT_EQ(cfgFullscreen, s[2]);
    }
    EXPECT_EQ(cfgRestart, 1);

    // smoothing from the file shows as none; either direction switches to Scale2X
    cfgIndex = OPT_SCALER;
    cfgaa2 = 1;
    frames(1, CTRL_LEFT);
    EXPECT_EQ(Ints({cfgs2x, cfgaa2}), Ints({1, 0}));
    frames(10, 0);
    frames(1, CTRL_RIGHT);
    EXPECT_EQ(cfgs2x, 0);
}

TEST_F(OptionsTest, ResetRestoresVolumesAndBindingsButNotTheScreen) {
    _mus_volume_100_ = 40;
    _sfx_volume_100_ = 90;
    JUMP_KEY = 'x';
    START_BUTTON = 11;
    cfgFullscreen = cfgs2x = 1;
    Mix_Volume(-1, 0);
    MP_VolumeMusic(0);
    cfgIndex = OPT_RESET;
    cfgCount = 7; // choosing is heard during the cooldown
    frames(1, CTRL_START);
    // what the mixer and the music player were told too (channels report their mean)
    EXPECT_EQ(
        Ints({_mus_volume_100_, _mus_volume_, mp_volume, _sfx_volume_100_, _sfx_volume_,
              Mix_Volume(-1, -1), JUMP_KEY, START_BUTTON, cfgFullscreen, cfgs2x, cfgChanged,
              cfgCount}),
        Ints({100, 128, 128, 15, 19, 19, DEFAULT_JUMP_KEY, DEFAULT_START_BUTTON, 1, 1, 1, 10}));
}

TEST_F(OptionsTest,
       TheKeyCaptureAsksForSevenKeysRefusesOnesAlreadyTakenAndEscapeGivesTheOldOnesBack) {
    frames(1, CTRL_JUMP);
    ASSERT_EQ(cfgStatus, 1);
    for (int* k : keyCaptureOrder)
        EXPECT_EQ(*k, -1);
    EXPECT_EQ(cfgChanged, 1);
    for (int i = 0; i < 10; i++) // nothing is taken during the cooldown
        offer('q');
    EXPECT_EQ(START_KEY, -1);
    offer(0, 4); // a pad button and Escape are no keys to bind
    offer(K_ESCAPE);
    EXPECT_EQ(Ints({cfgStep, lastJButton}), Ints({0, -1}));

    const int offered[] = {'q', 'w', 'q', 'e', 'w', 'r', 't', 'y', 'u'};
    const bool taken[] = {true, true, false, true, false, true, true, true, true};
    for (int i = 0; i < 9; i++) {
        const int step0 = cfgStep;
        offer(offered[i]);
        // refused as used or taken for the step asked, the key forgotten by the wait for its
        // release, and still asking
        EXPECT_EQ(Ints({cfgUsed, cfgStep - step0, lastKeySym, cfgStatus}),
                  Ints({!taken[i], taken[i], 0, i < 8}))
            << "offer " << i;
    }
    const int bound[] = {START_KEY, LEFT_KEY, RIGHT_KEY, UP_KEY, DOWN_KEY, JUMP_KEY, PAUSE_KEY};
    EXPECT_EQ(std::string(bound, bound + 7), "qwertyu");

    // Escape (a quit request) during a new capture leaves for the menu with these keys back
    frames(10, 0);
    frames(1, CTRL_JUMP);
    ASSERT_EQ(Ints({cfgStatus, START_KEY}), Ints({1, -1}));
    escape = 1;
    decideAfterAttempt(&hero, 0);
    EXPECT_EQ(Ints({START_KEY, PAUSE_KEY, cfgStatus, workflow}), Ints({'q', 'u', 0, WF_OPTIONS}));
}
