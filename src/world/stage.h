// The stage runner shared by the game flow, the tests and the tools: setting up an attempt
// and running one frame of the world in the game's fixed order.
#pragma once

struct Figure;

// Input of one frame for the hero.
struct StageInput {
    int left, right, jump, crawl;
};

// Prepares an attempt of the current `level`: countdowns reset, slots cleared, the map
// loaded (by name, or the test map for null) and, on a stage, the hero placed at the start.
void beginAttempt(Figure* hero, const char* mapName);

// One frame: animations, monsters, platforms, walk and the countdowns.
void stageFrame(Figure* hero, const StageInput& in, int* splashPlayed);
