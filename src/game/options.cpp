// The options screen. Changes act at once; the file is written only when the screen is
// left through "BACK TO MENU" after a change, and screen settings wait for the next start.
// A binding capture asks for one control after the other and refuses an input that is
// already bound in the same capture; Escape is never bound (it leaves the screen and
// drops the capture, giving back the bindings it had cleared).
#include "game/options.h"

#include "audio/player.h"
#include "audio/sound.h"
#include "data/config.h"
#include "data/settings.h"
#include "game/flow.h"
#include "gfx/font.h"
#include "gfx/messages.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "world/flowstate.h"

#include <SDL_mixer.h>
#include <cstdio>

int cfgIndex, cfgStatus, cfgStep, cfgCount, cfgUsed, cfgChanged, cfgRestart;

int* const keyCaptureOrder[KEY_CAPTURE_STEPS] = {
    &START_KEY, &LEFT_KEY, &RIGHT_KEY, &UP_KEY, &DOWN_KEY, &JUMP_KEY, &PAUSE_KEY,
};
int* const buttonCaptureOrder[BUTTON_CAPTURE_STEPS] = {
    &START_BUTTON,
    &JUMP_BUTTON,
    &PAUSE_BUTTON,
};

namespace {

constexpr int MAX_VOLUME = 100;
constexpr int ALL_CHANNELS = -1;

// The bindings as they were when the running capture began.
int keysBefore[KEY_CAPTURE_STEPS];
int buttonsBefore[BUTTON_CAPTURE_STEPS];

// Layout: labels and values in the small font, the cursor left of the label.
constexpr int LABEL_X = 24, VALUE_X = 192, CURSOR_X = 14;
constexpr int LINE_Y[NUM_OPTION_LINES] = {112, 122, 132, 142, 152, 162, 172, 190};
constexpr int LINE_LABEL[NUM_OPTION_LINES] = {
    MSG_CONFIGURE_KEYS,  MSG_CONFIGURE_PAD, MSG_MUSIC_VOLUME,  MSG_SFX_VOLUME,
    MSG_SCREEN_SETTINGS, MSG_ANTI_ALIASING, MSG_RESET_DEFAULT, MSG_BACK_TO_MENU,
};
constexpr int TITLE_Y = 64, VERSION_Y = 216;
constexpr int RESTART_NOTE_Y = 100;
constexpr int PROMPT_Y = 124, USED_Y = 140;

int typedOrHeld(int control) {
    return typedAny(control) || (lastKey & control);
}

// more: +5 up to 100; less: -5 down to 0
int stepVolume(int volume, int more) {
    if (more) return volume <= MAX_VOLUME - VOLUME_STEP ? volume + VOLUME_STEP : MAX_VOLUME;
    return volume >= VOLUME_STEP ? volume - VOLUME_STEP : 0;
}

// The three screen modes in cycling order.
enum ScreenMode { MODE_WINDOWED_1X, MODE_WINDOWED_2X, MODE_FULL_SCREEN, NUM_SCREEN_MODES };

int screenMode() {
    if (cfgFullscreen) return MODE_FULL_SCREEN;
    return cfgZoom ? MODE_WINDOWED_2X : MODE_WINDOWED_1X;
}

void setScreenMode(int mode) {
    cfgZoom = mode != MODE_WINDOWED_1X;
    cfgFullscreen = mode == MODE_FULL_SCREEN;
}

void startKeyCapture() {
    for (int i = 0; i < KEY_CAPTURE_STEPS; i++) {
        keysBefore[i] = *keyCaptureOrder[i];
        *keyCaptureOrder[i] = -1;
    }
    cfgStatus = 1;
    cfgUsed = 0;
    cfgChanged = 1;
}

void startButtonCapture() {
    for (int i = 0; i < BUTTON_CAPTURE_STEPS; i++) {
        buttonsBefore[i] = *buttonCaptureOrder[i];
        *buttonCaptureOrder[i] = -1;
    }
    cfgStatus = 1;
    cfgUsed = 0;
    cfgChanged = 1;
}

void resetToDefaults() {
    resetDefaultControls();
    _mus_volume_100_ = DEFAULT_MUS_VOLUME;
    _mus_volume_ = mixerVolume(_mus_volume_100_);
    MP_VolumeMusic(_mus_volume_);
    _sfx_volume_100_ = DEFAULT_SFX_VOLUME;
    _sfx_volume_ = mixerVolume(_sfx_volume_100_);
    Mix_Volume(ALL_CHANNELS, _sfx_volume_);
    cfgChanged = 1; // the screen settings stay as they are
}

void chooseLine() {
    waitKeyUp();
    switch (cfgIndex) {
    case OPT_KEYS:
        startKeyCapture();
        cfgStep = 0;
        cfgCount = OPTIONS_COOLDOWN;
        break;
    case OPT_PAD:
        if (joystick) startButtonCapture(); // without a pad nothing else happens
        cfgStep = 0;
        cfgCount = OPTIONS_COOLDOWN;
        break;
    case OPT_RESET:
        resetToDefaults();
        cfgCount = OPTIONS_COOLDOWN;
        break;
    case OPT_BACK:
        workflow = WF_OPTIONS;
        if (cfgChanged) dumpConfig();
        break;
    default:
        break;
    }
}

// LEFT or RIGHT on a line with a value.
void changeLine(int more) {
    switch (cfgIndex) {
    case OPT_MUSIC:
        cfgChanged = 1;
        _mus_volume_100_ = stepVolume(_mus_volume_100_, more);
        _mus_volume_ = mixerVolume(_mus_volume_100_);
        MP_VolumeMusic(_mus_volume_);
        cfgCount = OPTIONS_COOLDOWN;
        break;
    case OPT_SFX:
        cfgChanged = 1;
        _sfx_volume_100_ = stepVolume(_sfx_volume_100_, more);
        _sfx_volume_ = mixerVolume(_sfx_volume_100_);
        Mix_Volume(ALL_CHANNELS, _sfx_volume_);
        playSFX(SND_TADA); // a sample of the new volume
        cfgCount = OPTIONS_COOLDOWN;
        break;
    case OPT_SCREEN:
        cfgChanged = 1;
        cfgRestart = 1;
        setScreenMode((screenMode() + (more ? 1 : NUM_SCREEN_MODES - 1)) % NUM_SCREEN_MODES);
        cfgCount = OPTIONS_COOLDOWN;
        break;
    case OPT_SCALER:
        // smoothing is not offered here: the scaler line only switches Scale2X
        cfgs2x = !cfgs2x;
        cfgaa2 = 0;
        cfgChanged = 1;
        cfgRestart = 1;
        cfgCount = OPTIONS_COOLDOWN;
        break;
    default:
        break;
    }
}

int boundKey(int sym) {
    for (int i = 0; i < KEY_CAPTURE_STEPS; i++)
        if (*keyCaptureOrder[i] == sym) return 1;
    return 0;
}

int boundButton(int b) {
    for (int i = 0; i < BUTTON_CAPTURE_STEPS; i++)
        if (*buttonCaptureOrder[i] == b) return 1;
    return 0;
}

const char* lineValue(int line, char* buf, int size) {
    switch (line) {
    case OPT_KEYS:
        return message(MSG_PRESS_START2);
    case OPT_PAD:
        return message(joystick ? MSG_PRESS_START2 : MSG_NOT_AVAILABLE);
    case OPT_MUSIC:
        std::snprintf(buf, (size_t)size, "%d", _mus_volume_100_);
        return buf;
    case OPT_SFX:
        std::snprintf(buf, (size_t)size, "%d", _sfx_volume_100_);
        return buf;
    case OPT_SCREEN: {
        static const int names[NUM_SCREEN_MODES] = {MSG_WINDOWED_1X, MSG_WINDOWED_2X,
                                                    MSG_FULL_SCREEN};
        return message(names[screenMode()]);
    }
    case OPT_SCALER:
        return message(cfgs2x ? MSG_SCALE2X : MSG_NONE);
    default:
        return nullptr;
    }
}

void drawMenuLines() {
    char buf[16];
    drawTextAt(screen, ">", CURSOR_X, LINE_Y[cfgIndex], font);
    for (int line = 0; line < NUM_OPTION_LINES; line++) {
        drawTextAt(screen, message(LINE_LABEL[line]), LABEL_X, LINE_Y[line], font);
        const char* value = lineValue(line, buf, (int)sizeof buf);
        if (value) drawTextAt(screen, value, VALUE_X, LINE_Y[line], font);
    }
    if (cfgRestart) drawTextCenterAt(screen, message(MSG_RESTART_TO_APPLY), RESTART_NOTE_Y, font);
}

void drawCapturePrompt() {
    int prompt = cfgIndex == OPT_KEYS ? MSG_PRESS_START_KEY : MSG_PRESS_START_BUTTON;
    int steps = cfgIndex == OPT_KEYS ? KEY_CAPTURE_STEPS : BUTTON_CAPTURE_STEPS;
    if (cfgStep >= 0 && cfgStep < steps)
        drawTextCenterAt(screen, message(prompt + cfgStep), PROMPT_Y, font);
    if (cfgUsed) drawTextCenterAt(screen, message(MSG_ALREADY_USED), USED_Y, font);
}

} // namespace

void openOptionsMenu() {
    cfgIndex = OPT_KEYS;
    cfgStatus = 0;
    cfgStep = 0;
    cfgCount = 0;
    cfgUsed = 0;
    cfgChanged = 0;
    cfgRestart = 0;
}

void navigationStep() {
    // choosing is heard even during the cooldown
    if (typedAny(CTRL_START | CTRL_JUMP)) {
        chooseLine();
        return;
    }
    if (cfgCount > 0) {
        cfgCount -= 1;
        return;
    }
    if (typedOrHeld(CTRL_UP)) {
        cfgIndex = cfgIndex == 0 ? NUM_OPTION_LINES - 1 : cfgIndex - 1;
        cfgCount = OPTIONS_COOLDOWN;
    } else if (typedOrHeld(CTRL_DOWN)) {
        cfgIndex = cfgIndex == NUM_OPTION_LINES - 1 ? 0 : cfgIndex + 1;
        cfgCount = OPTIONS_COOLDOWN;
    } else if (typedOrHeld(CTRL_RIGHT)) {
        changeLine(1);
    } else if (typedOrHeld(CTRL_LEFT)) {
        changeLine(0);
    }
}

void configKey(int* binding) {
    if (lastKeySym > 0 && lastKeySym != SDLK_ESCAPE) { // the quit key is never bound
        if (!boundKey(lastKeySym)) {
            *binding = lastKeySym;
            cfgStep += 1;
            if (cfgStep >= KEY_CAPTURE_STEPS) cfgStatus = 0; // every key is bound
            cfgUsed = 0;
        } else {
            cfgUsed = 1;
        }
    }
    waitKeyUp();
}

void configButton(int* binding) {
    cfgUsed = 0;
    if (lastJButton != -1) {
        if (!boundButton(lastJButton)) {
            *binding = lastJButton;
            cfgStep += 1;
            if (cfgStep >= BUTTON_CAPTURE_STEPS) cfgStatus = 0;
        } else {
            cfgUsed = 1;
        }
    }
    waitKeyUp();
}

void captureStep() {
    if (cfgCount > 0) {
        cfgCount -= 1;
        return;
    }
    if (lastJButton == -1 && lastKeySym == 0) return; // nothing pressed yet
    if (cfgIndex == OPT_KEYS && cfgStep >= 0 && cfgStep < KEY_CAPTURE_STEPS)
        configKey(keyCaptureOrder[cfgStep]);
    else if (cfgIndex == OPT_PAD && cfgStep >= 0 && cfgStep < BUTTON_CAPTURE_STEPS)
        configButton(buttonCaptureOrder[cfgStep]);
}

void optionsStep() {
    if (cfgStatus)
        captureStep();
    else
        navigationStep();
}

void cancelCapture() {
    if (!cfgStatus) return;
    if (cfgIndex == OPT_KEYS)
        for (int i = 0; i < KEY_CAPTURE_STEPS; i++)
            *keyCaptureOrder[i] = keysBefore[i];
    else if (cfgIndex == OPT_PAD)
        for (int i = 0; i < BUTTON_CAPTURE_STEPS; i++)
            *buttonCaptureOrder[i] = buttonsBefore[i];
    cfgStatus = 0;
    cfgUsed = 0;
}

void optionsOverlay() {
    if (!skipFrame) {
        darken();
        drawTextCenterAt(screen, message(MSG_OPTIONS), TITLE_Y, fontbig);
        drawTextCenterAt(screen, message(MSG_VERSION), VERSION_Y, fontbig);
        if (!cfgStatus || cfgIndex > OPT_PAD)
            drawMenuLines();
        else
            drawCapturePrompt();
        flipScreen();
    }
    controlFPS();
}
