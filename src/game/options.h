// The options screen of the title: eight lines for the key and pad bindings, the two
// volumes, the screen mode, the scaler, a reset to defaults and the way back, drawn over
// the darkened title stage. The configuration file is written when it is left through
// "BACK TO MENU" after a change.
#pragma once

// Menu lines, by cfgIndex.
enum OptionLine {
    OPT_KEYS = 0,
    OPT_PAD = 1,
    OPT_MUSIC = 2,
    OPT_SFX = 3,
    OPT_SCREEN = 4,
    OPT_SCALER = 5,
    OPT_RESET = 6,
    OPT_BACK = 7,
    NUM_OPTION_LINES = 8,
};

constexpr int KEY_CAPTURE_STEPS = 7;    // START, LEFT, RIGHT, UP, DOWN, JUMP, PAUSE
constexpr int BUTTON_CAPTURE_STEPS = 3; // START, JUMP, PAUSE
constexpr int OPTIONS_COOLDOWN = 10;    // frames without input after every action
constexpr int VOLUME_STEP = 5;

extern int cfgIndex;   // cursor line 0 ... 7
extern int cfgStatus;  // 1 while a binding capture runs
extern int cfgStep;    // the control the capture asks for next
extern int cfgCount;   // input cooldown, frames
extern int cfgUsed;    // 1: the last input offered was already bound
extern int cfgChanged; // 1: something changed since the screen was opened
extern int cfgRestart; // 1: a screen setting changed (shown as a note)

// The bindings the captures fill, in the order they are asked for.
extern int* const keyCaptureOrder[KEY_CAPTURE_STEPS];
extern int* const buttonCaptureOrder[BUTTON_CAPTURE_STEPS];

// Entry from the main menu: cursor on the first line, no capture, nothing changed.
void openOptionsMenu();
// One frame of input: the capture step while a capture runs, else the navigation step.
void optionsStep();
void navigationStep();
void captureStep();
// One capture attempt with the latest key or button pressed.
void configKey(int* binding);
void configButton(int* binding);
// Leaving the screen with Escape while a capture runs: the capture is dropped and the
// bindings it had cleared come back.
void cancelCapture();
// Draws the screen over the picture, presents it unless the frame is skipped, and paces.
void optionsOverlay();
