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

// The steps that set up a game, shared by the game flow and by whatever plays stages
// without it (the stage tools, the tests), so that both start an attempt alike.

// The world at rest, as the game starts: no map loaded, the view at the left edge, no
// rings, no momentum or pushing, every animation and monster slot free.
void resetWorldState();
// A fresh game's progress, as the title starts one: `level` 0, score 0, six lives, no
// stage message.
void resetGameProgress();
// The restart point back to the stage's own start: startx/starty/startf = START_X/START_Y/0.
void resetStartPosition();

// All three, then `level` = stage and no pause or quit request: the state in which the game
// begins the first attempt of a new game at that stage.
void prepareFirstAttempt(int stage);

// Prepares an attempt of the current `level`: countdowns reset, slots cleared, the map
// loaded (by name, or the test map for null) and, on a stage, the hero placed at the start.
void beginAttempt(Figure* hero, const char* mapName);

// The same for a map given as the bytes of a stage file. Returns 0 when the bytes are not
// a usable map; the previous map then stays loaded and the hero is not placed.
int beginAttemptFromBytes(Figure* hero, const unsigned char* bytes, int size);

// One frame: animations, monsters, platforms, walk and the countdowns.
void stageFrame(Figure* hero, const StageInput& in, int* splashPlayed);
