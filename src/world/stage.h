// The stage runner shared by the game flow, the tests and the tools: setting up an attempt
// and running one frame of the world in the game's fixed order.
#pragma once

struct Figure;

// Input of one frame for the hero.
struct StageInput {
    int left, right, jump, crawl;
};

// Frames 0 ... STAGE_INTRO_FRAMES of an attempt are the stage intro: the world stands still.
constexpr int STAGE_INTRO_FRAMES = 180;

// Where a game starts its stages before a checkpoint moves it, px; a stage's start marker
// overrides it.
constexpr int START_X = 16, START_Y = 100;

// The restart point back to the stage's own start: startx/starty/startf = START_X/START_Y/0.
void resetStartPosition();

// The state of a new game at the start of a stage's first attempt: `level` = stage, score
// 0, six lives, the start position 16, 100 with no checkpoint, no momentum, no message.
void prepareFirstAttempt(int stage);

// Prepares an attempt of the current `level`: countdowns reset, slots cleared, the map
// loaded (by name, or the test map for null) and, on a stage, the hero placed at the start.
void beginAttempt(Figure* hero, const char* mapName);

// The same for a map given as the bytes of a stage file. Returns 0 when the bytes are not
// a usable map; the previous map then stays loaded and the hero is not placed.
int beginAttemptFromBytes(Figure* hero, const unsigned char* bytes, int size);

// One frame: animations, monsters, platforms, walk and the countdowns.
void stageFrame(Figure* hero, const StageInput& in, int* splashPlayed);
