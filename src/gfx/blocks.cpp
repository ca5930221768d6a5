// Cutting the block sheet: 240 colour-keyed 16x16 images, one per map cell value, and four
// phases of the two-cell water surface, each the strip rotated by its own random amount so
// that the surface ripples when the renderer cycles through them.
#include "gfx/blocks.h"

#include "gfx/image.h"

#include <cstdlib>

SDL_Surface* blocks[NUM_BLOCKS];
SDL_Surface* wblocks[NUM_WBLOCKS];

namespace {

void copyRect(SDL_Surface* from, int x, int y, int w, int h, SDL_Surface* to, int tx, int ty) {
    if (w <= 0 || h <= 0) return;
    SDL_Rect src = {(Sint16)x, (Sint16)y, (Uint16)w, (Uint16)h};
    SDL_Rect dst = {(Sint16)tx, (Sint16)ty, 0, 0};
    SDL_BlitSurface(from, &src, to, &dst);
}

void release(SDL_Surface*& s) {
    if (s) SDL_FreeSurface(s);
    s = nullptr;
}

} // namespace

void cutBlocks(SDL_Surface* sheet) {
    for (int i = 0; i < NUM_BLOCKS; i++) {
        release(blocks[i]);
        SDL_Surface* b = createImage(BLOCK_SIZE, BLOCK_SIZE, 1);
        copyRect(sheet, BLOCK_SIZE * (i % SHEET_COLUMNS), BLOCK_SIZE * (i / SHEET_COLUMNS),
                 BLOCK_SIZE, BLOCK_SIZE, b, 0, 0);
        setColorKey(b, KEY_R, KEY_G, KEY_B);
        blocks[i] = b;
    }
}

void cutWaterPhase(SDL_Surface* sheet, int phase, int r) {
    if (phase < 0 || phase >= WATER_PHASES) return;
    if (r < 0 || r >= BLOCK_SIZE) r = 0;
    SDL_Surface*& a = wblocks[2 * phase];
    SDL_Surface*& b = wblocks[2 * phase + 1];
    release(a);
    release(b);
    a = createImage(BLOCK_SIZE, BLOCK_SIZE, 1);
    b = createImage(BLOCK_SIZE, BLOCK_SIZE, 1);
    // left half: strip columns r ... r+15
    copyRect(sheet, WATER_STRIP_X + r, WATER_STRIP_Y, BLOCK_SIZE, BLOCK_SIZE, a, 0, 0);
    // right half: columns r+16 ... 31, then the strip wraps round to columns 0 ... r-1
    copyRect(sheet, WATER_STRIP_X + r + BLOCK_SIZE, WATER_STRIP_Y, BLOCK_SIZE - r, BLOCK_SIZE, b, 0,
             0);
    copyRect(sheet, WATER_STRIP_X, WATER_STRIP_Y, r, BLOCK_SIZE, b, BLOCK_SIZE - r, 0);
    setColorKey(a, KEY_R, KEY_G, KEY_B);
    setColorKey(b, KEY_R, KEY_G, KEY_B);
}

void initBlocks() {
    SDL_Surface* sheet = loadGFX("blocks", 0, 0, 0, 0);
    cutBlocks(sheet);
    for (int p = 0; p < WATER_PHASES; p++)
        cutWaterPhase(sheet, p, std::rand() % WATER_SHIFTS);
    freeSurface(sheet);
}

void freeBlocks() {
    for (SDL_Surface*& b : blocks)
        release(b);
    for (SDL_Surface*& w : wblocks)
        release(w);
}
