// The options screen: navigation and its cooldown, volumes, screen settings, the reset,
// the key and pad captures with refused duplicates, leaving with and without a change.
#include "flow_fixture.h"

#include "audio/player.h"
#include "data/settings.h"
#include "game/flow.h"
#include "game/input.h"
#include "game/options.h"
#include "world/gamestate.h"

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
    // one frame of the options with a control released (typed) or held
    static void typedFrame(int control) {
        lastKeyTyped = control;
        lastKey = 0;
        optionsStep();
    }
    static void heldFrame(int control) {
        lastKeyTyped = 0;
        lastKey = control;
        optionsStep();
    }
    static void idle(int frames) {
        for (int i = 0; i < frames; i++)
            typedFrame(0);
    }
};

TEST_F(OptionsTest, TheCursorWrapsAndAHeldDirectionRepeatsEveryElevenFrames) {
    typedFrame(CTRL_UP);
    EXPECT_EQ(cfgIndex, OPT_BACK);
    EXPECT_EQ(cfgCount, OPTIONS_COOLDOWN);
    for (int i = 0; i < OPTIONS_COOLDOWN; i++)
        heldFrame(CTRL_UP);
    EXPECT_EQ(cfgIndex, OPT_BACK); // still cooling down
    heldFrame(CTRL_UP);
    EXPECT_EQ(cfgIndex, OPT_RESET);
    idle(OPTIONS_COOLDOWN);
    heldFrame(CTRL_DOWN);
    EXPECT_EQ(cfgIndex, OPT_BACK);
    idle(OPTIONS_COOLDOWN);
    typedFrame(CTRL_DOWN);
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
        cfgIndex = c.line;
        cfgCount = 0;
        cfgChanged = 0;
        int& volume = c.line == OPT_MUSIC ? _mus_volume_100_ : _sfx_volume_100_;
        int& mixer = c.line == OPT_MUSIC ? _mus_volume_ : _sfx_volume_;
        volume = c.start;
        heldFrame(c.control);
        EXPECT_EQ(volume, c.expected) << "line " << c.line << " from " << c.start;
        EXPECT_EQ(mixer, c.mixer);
        EXPECT_EQ(cfgChanged, 1);
        EXPECT_EQ(cfgRestart, 0);
        if (c.line == OPT_MUSIC) {
            EXPECT_EQ(mp_volume.load(), c.mixer);
        }
    }
}

TEST_F(OptionsTest, ScreenModesCycleBothWaysAndTheScalerLineSwitchesScale2x) {
    cfgIndex = OPT_SCREEN;
    cfgZoom = 0;
    const int more[][2] = {{1, 0}, {1, 1}, {0, 0}}; // zoom, full screen after each RIGHT
    for (auto& m : more) {
        heldFrame(CTRL_RIGHT);
        idle(OPTIONS_COOLDOWN);
        EXPECT_EQ(cfgZoom, m[0]);
        EXPECT_EQ(cfgFullscreen, m[1]);
    }
    const int less[][2] = {{1, 1}, {1, 0}, {0, 0}};
    for (auto& l : less) {
        typedFrame(CTRL_LEFT);
        idle(OPTIONS_COOLDOWN);
        EXPECT_EQ(cfgZoom, l[0]);
        EXPECT_EQ(cfgFullscreen, l[1]);
    }
    EXPECT_EQ(cfgRestart, 1);

    // smoothing from the file shows as none; either direction switches to Scale2X
    cfgIndex = OPT_SCALER;
    cfgaa2 = 1;
    cfgs2x = 0;
    typedFrame(CTRL_LEFT);
    EXPECT_EQ(cfgs2x, 1);
    EXPECT_EQ(cfgaa2, 0);
    idle(OPTIONS_COOLDOWN);
    typedFrame(CTRL_RIGHT);
    EXPECT_EQ(cfgs2x, 0);
}

TEST_F(OptionsTest, ResetRestoresVolumesAndBindingsButNotTheScreen) {
    _mus_volume_100_ = 40;
    _sfx_volume_100_ = 90;
    JUMP_KEY = 'x';
    START_BUTTON = 11;
    cfgFullscreen = 1;
    cfgs2x = 1;
    cfgIndex = OPT_RESET;
    cfgCount = 7; // choosing is heard during the cooldown
    typedFrame(CTRL_START);
    EXPECT_EQ(_mus_volume_100_, 100);
    EXPECT_EQ(_mus_volume_, 128);
    EXPECT_EQ(_sfx_volume_100_, 15);
    EXPECT_EQ(_sfx_volume_, 19);
    EXPECT_EQ(JUMP_KEY, DEFAULT_JUMP_KEY);
    EXPECT_EQ(START_BUTTON, DEFAULT_START_BUTTON);
    EXPECT_EQ(cfgFullscreen, 1);
    EXPECT_EQ(cfgs2x, 1);
    EXPECT_EQ(cfgChanged, 1);
    EXPECT_EQ(cfgCount, OPTIONS_COOLDOWN);
}

TEST_F(OptionsTest, TheKeyCaptureAsksForSevenKeysAndRefusesOnesAlreadyTaken) {
    typedFrame(CTRL_JUMP);
    ASSERT_EQ(cfgStatus, 1);
    for (int* k : keyCaptureOrder)
        EXPECT_EQ(*k, -1);
    EXPECT_EQ(cfgChanged, 1);

    // nothing is taken during the cooldown
    lastKeySym = 'q';
    for (int i = 0; i < OPTIONS_COOLDOWN; i++)
        captureStep();
    EXPECT_EQ(START_KEY, -1);

    const int offered[] = {'q', 'w', 'q', 'e', 'w', 'r', 't', 'y', 'u'};
    const bool taken[] = {true, true, false, true, false, true, true, true, true};
    for (int i = 0; i < 9; i++) {
        const int step0 = cfgStep;
        lastKeySym = offered[i];
        captureStep();
        EXPECT_EQ(cfgUsed, taken[i] ? 0 : 1) << "offer " << i;
        EXPECT_EQ(cfgStep, step0 + (taken[i] ? 1 : 0));
        EXPECT_EQ(lastKeySym, 0); // forgotten by the wait for the key to go up
    }
    EXPECT_EQ(cfgStatus, 0);
    EXPECT_EQ(START_KEY, 'q');
    EXPECT_EQ(LEFT_KEY, 'w');
    EXPECT_EQ(RIGHT_KEY, 'e');
    EXPECT_EQ(UP_KEY, 'r');
    EXPECT_EQ(DOWN_KEY, 't');
    EXPECT_EQ(JUMP_KEY, 'y');
    EXPECT_EQ(PAUSE_KEY, 'u');
}

TEST_F(OptionsTest, AButtonOfferedToTheKeyCaptureAndEscapeAreIgnored) {
    typedFrame(CTRL_START);
    cfgCount = 0;
    lastKeySym = 0;
    lastJButton = 4;
    captureStep();
    EXPECT_EQ(cfgStep, 0);
    EXPECT_EQ(lastJButton, -1);
    lastKeySym = 27;
    captureStep();
    EXPECT_EQ(cfgStep, 0);
    EXPECT_EQ(START_KEY, -1);
}

TEST_F(OptionsTest, EscapeDuringACaptureGivesTheOldBindingsBack) {
    JUMP_KEY = 'j';
    typedFrame(CTRL_START);
    cfgCount = 0;
    lastKeySym = 'a';
    captureStep();
    ASSERT_EQ(START_KEY, 'a');
    escape = done = 1; // Escape pressed: the frame loop ends the title attempt
    EXPECT_EQ(decideAfterAttempt(&hero, 0), 0);
    EXPECT_EQ(workflow, WF_OPTIONS);
    EXPECT_EQ(cfgStatus, 0);
    EXPECT_EQ(START_KEY, DEFAULT_START_KEY);
    EXPECT_EQ(LEFT_KEY, DEFAULT_LEFT_KEY);
    EXPECT_EQ(JUMP_KEY, 'j');
}

TEST_F(OptionsTest, TheButtonCaptureRefusesTakenButtonsAndThePadLineNeedsAPad) {
    ASSERT_EQ(joystick, nullptr);
    cfgIndex = OPT_PAD;
    typedFrame(CTRL_START);
    EXPECT_EQ(cfgStatus, 0); // no pad: nothing else happens
    EXPECT_EQ(START_BUTTON, DEFAULT_START_BUTTON);
    EXPECT_EQ(cfgCount, OPTIONS_COOLDOWN);

    START_BUTTON = JUMP_BUTTON = PAUSE_BUTTON = -1;
    cfgStatus = 1;
    cfgStep = 0;
    lastJButton = 5;
    configButton(buttonCaptureOrder[cfgStep]);
    EXPECT_EQ(START_BUTTON, 5);
    lastJButton = 5;
    configButton(buttonCaptureOrder[cfgStep]);
    EXPECT_EQ(cfgUsed, 1);
    EXPECT_EQ(JUMP_BUTTON, -1);
    lastJButton = -1; // a key offered to the pad capture
    lastKeySym = 'k';
    configButton(buttonCaptureOrder[cfgStep]);
    EXPECT_EQ(cfgUsed, 0);
    EXPECT_EQ(cfgStep, 1);
    for (int b : {2, 9}) {
        lastJButton = b;
        configButton(buttonCaptureOrder[cfgStep]);
    }
    EXPECT_EQ(JUMP_BUTTON, 2);
    EXPECT_EQ(PAUSE_BUTTON, 9);
    EXPECT_EQ(cfgStatus, 0);
}

TEST_F(OptionsTest, BackToMenuWritesTheFileOnlyAfterAChange) {
    ScopedTempDir dir;
    cfgIndex = OPT_BACK;
    typedFrame(CTRL_JUMP);
    EXPECT_EQ(workflow, WF_OPTIONS);
    EXPECT_FALSE(std::filesystem::exists("trobz3.cfg"));

    workflow = WF_OPTIONS_MENU;
    openOptionsMenu();
    cfgIndex = OPT_SFX;
    typedFrame(CTRL_RIGHT);
    cfgIndex = OPT_BACK;
    typedFrame(CTRL_START);
    EXPECT_EQ(workflow, WF_OPTIONS);
    std::string cfg = readWholeFile("trobz3.cfg");
    EXPECT_NE(cfg.find("sfx_volume=20\n"), std::string::npos) << cfg;
    EXPECT_NE(cfg.find("gfxmode=2\n"), std::string::npos) << cfg;
}
