// The block sheet "blocks" cut into 240 block images (map cells and sprites alike) and the
// eight images of the animated water surface.
#pragma once
#include <SDL.h>

constexpr int NUM_BLOCKS = 240;
constexpr int NUM_WBLOCKS = 8;
constexpr int BLOCK_SIZE = 16;
constexpr int SHEET_COLUMNS = 20; // blocks per sheet row
constexpr int WATER_PHASES = 4;
constexpr int WATER_STRIP_X = 0, WATER_STRIP_Y = 128; // blocks 160 and 161 side by side
constexpr int WATER_SHIFTS = 15;                      // a phase is rotated by 0 ... 14 px

extern SDL_Surface* blocks[NUM_BLOCKS];
extern SDL_Surface* wblocks[NUM_WBLOCKS];

// Loads "blocks" and cuts it, the water phases with random rotations.
void initBlocks();
// Frees every block and water image (null entries are skipped) and clears the tables.
void freeBlocks();

// Cuts the 240 block images from a sheet in the format of `screen` (replacing any).
void cutBlocks(SDL_Surface* sheet);
// Cuts water phase p (wblocks[2p] and [2p+1]): the surface strip rotated left by r pixels.
void cutWaterPhase(SDL_Surface* sheet, int phase, int r);
