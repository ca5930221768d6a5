// The block sheet "blocks" cut into 240 block images (map cells and sprites alike) and the
// eight images of the animated water surface.
#pragma once
#include <SDL.h>

constexpr int NUM_BLOCKS = 240;
constexpr int NUM_WBLOCKS = 8;
constexpr int BLOCK_SIZE = 16;
constexpr int SHEET_COLUMNS = 20; // blocks per sheet row

extern SDL_Surface* blocks[NUM_BLOCKS];
extern SDL_Surface* wblocks[NUM_WBLOCKS];

void initBlocks();
void freeBlocks();
