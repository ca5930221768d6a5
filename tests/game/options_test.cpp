// The options screen: navigation and its cooldown, volumes, screen settings, the reset,
// the key and pad captures with refused duplicates, leaving without a change.
#include "flow_fixture.h"

#include "audio/player.h"
#include "data/settings.h"
#include "game/flow.h"
#include "game/input.h"
#include "game/options.h"
#include "world/flowstate.h"

#include <SDL_mixer.h>
#include <filesystem>

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

TEST_F(OptionsTest, TheCursorWrapsAndAHeldDirectionRepeatsEveryElevenFrames) {
    frames(1, CTRL_UP);
    EXPECT_EQ(cfgIndex, OPT_BACK);
    frames(10, 0, CTRL_UP);
    EXPECT_EQ(cfgIndex, OPT_BACK); // still cooling down
    frames(1, 0, CTRL_UP);
    EXPECT_EQ(cfgIndex, OPT_RESET);
    frames(10, 0);
    frames(1, 0, CTRL_DOWN);
    EXPECT_EQ(cfgIndex, OPT_BACK);
    frames(10, 0);
    frames(1, CTRL_DOWN);
    EXPECT_EQ(cfgIndex, OPT_KEYS);
}

TEST_F(OptionsTest, VolumesStepByFiveWithinZeroToAHundred) {
    struct Case {
        int line, start, control, expected, mixer;
    } cases[] = {
        {OPT_MUSIC, 97, CTRL_RIGHT, 100, 128},  {OPT_MUSIC, 100, CTRL_LEFT, 95, 121},
        {OPT_MUSIC, 100, CTRL_RIGHT, 100, 128}, {OPT_MUSIC, 3, CTRL_LEFT, 0, 0},
        {OPT_MUSIC, 5, CTRL_LEFT, 0, 0},        {OPT_SFX, 10, CTRL_RIGHT, 15, 19},
        {OPT_SFX, 96, CTRL_RIGHT, 100, 128},    {OPT_SFX, 4, CTRL_LEFT, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "line " << c.line << " from " << c.start);
        cfgIndex = c.line;
        cfgCount = cfgChanged = 0;
        int& volume = c.line == OPT_MUSIC ? _mus_volume_100_ : _sfx_volume_100_;
        volume = c.start;
        frames(1, 0, c.control);
        EXPECT_EQ(volume, c.expected);
        EXPECT_EQ(c.line == OPT_MUSIC ? _mus_volume_ : _sfx_volume_, c.mixer);
        // what the music player and the sound channels were told (channels report their mean)
        EXPECT_EQ(c.line == OPT_MUSIC ? mp_volume.load() : Mix_Volume(-1, -1), c.mixer);
        EXPECT_EQ(cfgChanged, 1);
        EXPECT_EQ(cfgRestart, 0);
    }
}

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
    EXPECT_EQ(cfgs2x, 1);
    EXPECT_EQ(cfgaa2, 0);
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
    EXPECT_EQ(std::vector<int>({_mus_volume_100_, _mus_volume_, mp_volume, _sfx_volume_100_,
                                _sfx_volume_, Mix_Volume(-1, -1), JUMP_KEY, START_BUTTON,
                                cfgFullscreen, cfgs2x, cfgChanged}),
              std::vector<int>(
                  {100, 128, 128, 15, 19, 19, DEFAULT_JUMP_KEY, DEFAULT_START_BUTTON, 1, 1, 1}));
    EXPECT_EQ(cfgCount, 10);
}

TEST_F(OptionsTest, TheKeyCaptureAsksForSevenKeysAndRefusesOnesAlreadyTakenOrEscape) {
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
    EXPECT_EQ(cfgStep, 0);
    EXPECT_EQ(lastJButton, -1);

    const int offered[] = {'q', 'w', 'q', 'e', 'w', 'r', 't', 'y', 'u'};
    const bool taken[] = {true, true, false, true, false, true, true, true, true};
    for (int i = 0; i < 9; i++) {
        const int step0 = cfgStep;
        offer(offered[i]);
        EXPECT_EQ(cfgUsed, taken[i] ? 0 : 1) << "offer " << i;
        EXPECT_EQ(cfgStep, step0 + (taken[i] ? 1 : 0));
        EXPECT_EQ(lastKeySym, 0); // forgotten by the wait for the key to go up
        EXPECT_EQ(cfgStatus, i < 8 ? 1 : 0) << "still asking after offer " << i;
    }
    const int bound[] = {START_KEY, LEFT_KEY, RIGHT_KEY, UP_KEY, DOWN_KEY, JUMP_KEY, PAUSE_KEY};
    EXPECT_EQ(std::string(bound, bound + 7), "qwertyu");
}

TEST_F(OptionsTest, EscapeDuringACaptureGivesTheOldBindingsBack) {
    JUMP_KEY = 'j';
    frames(1, CTRL_START);
    cfgCount = 0;
    offer('a');
    ASSERT_EQ(START_KEY, 'a');
    escape = done = 1; // Escape pressed: the frame loop ends the title attempt
    EXPECT_EQ(decideAfterAttempt(&hero, 0), 0);
    EXPECT_EQ(workflow, WF_OPTIONS);
    EXPECT_EQ(escape + done + cfgStatus, 0);
    EXPECT_EQ(START_KEY, DEFAULT_START_KEY);
    EXPECT_EQ(LEFT_KEY, DEFAULT_LEFT_KEY);
    EXPECT_EQ(JUMP_KEY, 'j');
}

TEST_F(OptionsTest, TheButtonCaptureRefusesTakenButtonsAndThePadLineNeedsAPad) {
    ASSERT_EQ(joystick, nullptr);
    cfgIndex = OPT_PAD;
    frames(1, CTRL_START);
    EXPECT_EQ(cfgStatus, 0); // no pad: nothing else happens
    EXPECT_EQ(START_BUTTON, DEFAULT_START_BUTTON);
    EXPECT_EQ(cfgCount, 10);

    START_BUTTON = JUMP_BUTTON = PAUSE_BUTTON = -1;
    cfgStatus = 1;
    cfgCount = 0;
    const int offered[][2] = {{0, 5}, {0, 5}, {'k', -1}, {0, 2}, {0, 9}}; // key, button
    const int used[] = {0, 1, 0, 0, 0}, stepAfter[] = {1, 1, 1, 2, 3};
    for (int i = 0; i < 5; i++) {
        offer(offered[i][0], offered[i][1]);
        EXPECT_EQ(cfgUsed, used[i]) << i;
        EXPECT_EQ(cfgStep, stepAfter[i]) << i;
    }
    EXPECT_EQ(START_BUTTON, 5);
    EXPECT_EQ(JUMP_BUTTON, 2);
    EXPECT_EQ(PAUSE_BUTTON, 9);
    EXPECT_EQ(cfgStatus, 0);
}

TEST_F(OptionsTest, BackToMenuWithoutAChangeWritesNoFile) {
    ScopedTempDir dir;
    cfgIndex = OPT_BACK;
    frames(1, CTRL_JUMP);
    EXPECT_EQ(workflow, WF_OPTIONS);
    EXPECT_FALSE(std::filesystem::exists("trobz3.cfg"));
}
