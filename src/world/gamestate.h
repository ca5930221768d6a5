// Game state that the flow and the stage both use: the stage number, lives, score, the
// menu state, quit and pause requests, the stage message and the title scroller.
#pragma once

constexpr int LEVEL_TITLE = 0;
constexpr int LEVEL_TEST = -1;
constexpr int LAST_LEVEL = 10;
constexpr int START_LIVES = 6;
constexpr int MAX_LIVES = 99;
constexpr int MAX_SCORE = 9999;
constexpr int MESSAGE_SIZE = 256;

extern int level;    // 0 title, 1 ... 10 stages, 11 past the last, -1 test stage
extern int lives;    // 6 at the start of a game, at most 99
extern int score;    // 0 ... 9999
extern int workflow; // menu state: title menu cursor, sub-screens, pause cursor
extern int paused;   // 1 while the pause menu is open
extern int escape;   // leave the current context
extern int done;     // quit request from the input layer

extern char messageString[MESSAGE_SIZE]; // the stage message (death cause); "" = none

// The title scroller.
extern const char* scroller;
extern int scrollmax, scrollidx, scrolldx;

// Copies a text into messageString (cut to fit); null empties it.
void setMessage(const char* text);
