// The flow state: where the game stands (stage number, lives, score), the menu cursor with
// the values it takes, the quit and pause requests, the stage message and the title
// scroller. It sits below the game so that drawing can show it.
//
// Who writes it: the game flow and its screens (src/game) write all of it; the input layer
// turns the quit key or a closed window into `done` and `escape`, the pause key into `paused`;
// start-up (src/app) clears `done` before the intro screens; in a stage the world writes
// only what play changes (score and lives in pickups, the death message in figure) and the
// stage runner sets up a new game (world/stage). Drawing (world/render, world/statusline)
// only reads it.
#pragma once
#include "world/statelist.h"

constexpr int LEVEL_TITLE = 0;
constexpr int LEVEL_TEST = -1;
constexpr int LAST_LEVEL = 10;
constexpr int START_LIVES = 6;
constexpr int MAX_LIVES = 99;
constexpr int MAX_SCORE = 9999;
constexpr int MESSAGE_SIZE = 256;

// The part a stage frame reads and writes (see world/statelist.h).
#define PROGRESS_STATE(X)                                                                          \
    X(int, level, LEVEL_TITLE) /* 0 title, 1 ... 10 stages, 11 past the last, -1 test */           \
    X(int, lives, START_LIVES) /* 6 at the start of a game, at most 99 */                          \
    X(int, score, 0)           /* 0 ... 9999 */
PROGRESS_STATE(DECLARE_WORLD_GLOBAL)

extern int workflow; // menu state: title menu cursor, sub-screens, pause cursor
extern int paused;   // 1 while the pause menu is open
extern int escape;   // leave the current context
extern int done;     // quit request from the input layer

// Main menu cursor values of `workflow` on the title, and its two sub-screens (a sub-screen
// is the negated item that opened it, so leaving it puts the cursor back there).
enum TitleMenu {
    WF_PRESS_START = 0,
    WF_NEW_GAME = 1,
    WF_CONTINUE = 2,
    WF_HISCORES = 3,
    WF_OPTIONS = 4,
    WF_EXIT = 5,
    WF_HISCORE_TABLE = -WF_HISCORES,
    WF_OPTIONS_MENU = -WF_OPTIONS,
};

// Pause menu cursor values of `workflow` while `paused`.
enum PauseMenu { PAUSE_SUICIDE = 1, PAUSE_GO_ON = 2, PAUSE_EXIT = 3 };

extern char messageString[MESSAGE_SIZE]; // the stage message (death cause); "" = none

// The title scroller.
extern const char* scroller;
extern int scrollmax, scrollidx, scrolldx;

// Copies a text into messageString (cut to fit); null empties it.
void setMessage(const char* text);
