// Keyboard and joystick input: the held controls, the control released this frame, the
// movement flags for the hero, and the wait until every key is up.
#pragma once
#include <SDL.h>

// Control codes: the bit in lastKey, and the value of lastKeyTyped on release.
enum ControlCode {
    CTRL_START = 2,
    CTRL_PAUSE = 4,
    CTRL_JUMP = 8,
    CTRL_LEFT = 16,
    CTRL_RIGHT = 32,
    CTRL_DOWN = 64,
    CTRL_UP = 128,
};

extern int lastKey;      // controls held now
extern int lastKeyTyped; // control released during the latest checkInput, 0 none
extern int lastKeySym;   // latest key pressed; 0 after a joystick button
extern int lastJButton;  // latest joystick button pressed; -1 after a key

// Movement flags set by checkKey.
extern int space, left, right, jump, crawl;

extern SDL_Joystick* joystick; // the first joystick, or null

// Called at the start of every checkInput and every poll of waitKeyUp: tests push their
// scripted SDL events from here. Null in the game.
extern void (*inputHook)();

void checkInput();
int checkKey(int level, int pauseAllowed);
void waitKeyUp();
