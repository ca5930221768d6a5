// Drawing a stage frame: the half-speed backdrop, the back plane of cells, the actors
// (platforms, monsters, animations, the hero), the front plane over them, then the status
// line and messages of a stage or the title screen, and at last presenting and pacing.
// Everything is redrawn every frame.
#include "world/render.h"
#include "world/stage.h"

#include "anim/anims.h"
#include "gfx/blocks.h"
#include "gfx/image.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/ghost.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/platforms.h"

constexpr int STATUS_AREA_Y = VIEW_H; // the status area below the view
constexpr int STATUS_H = SCREEN_H - VIEW_H;
constexpr int WATER_TICKS = 8;  // frames per water surface phase
constexpr int MINE_IMAGE = 220; // 220 ... 222, the mine's blinking
constexpr int MINE_TICKS = 8;
constexpr int MINE_PHASES = 3;

// A cell or sprite that starts this far left of the view's edge is still partly visible.
constexpr int VISIBLE_LEFT = -(CELL - 1);

static void blitBlock(SDL_Surface* image, int sx, int sy) {
    // screen positions are 16-bit on the way to SDL: keep far-away ones from wrapping
    if (!image || sx < -CELL || sx > SCREEN_W || sy < -CELL || sy > SCREEN_H) return;
    blitImage(image, (Sint16)sx, (Sint16)sy, screen);
}

static SDL_Surface* blockImage(int index) {
    return index >= 0 && index < NUM_BLOCKS ? blocks[index] : nullptr;
}

void drawBlock(int x, int y, int index) {
    int sx = x - step;
    if (sx < VISIBLE_LEFT || sx > SCREEN_W - 1 || y < VISIBLE_LEFT || y > VIEW_H - 1) return;
    blitBlock(blockImage(index), sx, y);
}

void drawWBlock(int x, int y, int frame, int kind) {
    int sx = x - step;
    if (sx < VISIBLE_LEFT || sx > SCREEN_W - 1 || y < VISIBLE_LEFT || y > VIEW_H - 1) return;
    int i = kind + 2 * frame;
    if (kind < 0 || kind > 1 || i < 0 || i >= NUM_WBLOCKS) return;
    blitBlock(wblocks[i], sx, y);
}

void drawSprite(int x, int y, int index) {
    if (x + CELL < step || y < VISIBLE_LEFT || x > step + SCREEN_W || y > VIEW_H) return;
    blitBlock(blockImage(index), x - step, y);
}

void drawFigure(const Figure* hero) {
    // during a death animation the animation shows the hero instead
    if (hero && hero->alive && hero->deathAnim == 0) drawSprite(hero->x, hero->y, hero->sprite);
}

static int positiveMod(int a, int m) {
    int r = a % m;
    return r < 0 ? r + m : r;
}

void drawTiles(int frame, int plane) {
    if (!mapData) return;
    const int first = step >> 4; // arithmetic shift: the column holding the view's edge
    const int left = first * CELL - step;
    const int waterPhase = positiveMod(frame / WATER_TICKS, WATER_PHASES);
    const int minePhase = positiveMod(frame / MINE_TICKS, MINE_PHASES);
    for (int i = 0; i < VIEW_COLUMNS; i++) {
        const int c = first + i;
        const int sx = left + CELL * i;
        if (c < 0 || c >= mapLength || sx > SCREEN_W - 1)
            continue; // the map's ends: nothing to read there
        const int* column = mapData + c * MAP_ROWS;
        for (int r = 0; r < MAP_ROWS; r++) {
            const int v = column[r];
            if (v <= CELL_EMPTY || v >= CELL_RESERVED || blockPlane(v) != plane)
                continue; // empty, a block in motion, or no image for it
            SDL_Surface* image;
            if (v == CELL_WATER_SURFACE_L || v == CELL_WATER_SURFACE_R)
                image = wblocks[(v - CELL_WATER_SURFACE_L) + 2 * waterPhase];
            else if (v == CELL_MINE)
                image = blocks[MINE_IMAGE + minePhase];
            else
                image = blocks[v];
            blitBlock(image, sx, CELL * r);
        }
    }
}

// The backdrop scrolls at half the speed of the map and repeats to the right.
static void drawBackdrop() {
    if (!background || background->w <= 0) {
        fillRect(screen, 0, 0, SCREEN_W, SCREEN_H, BLACK);
        return;
    }
    const int w = background->w;
    if (background->h < VIEW_H)
        fillRect(screen, 0, 0, SCREEN_W, VIEW_H, BLACK); // nothing stale shows below it
    const int offset = positiveMod(step / 2, w);
    SDL_Rect src = {(Sint16)offset, 0, (Uint16)(w - offset), (Uint16)background->h};
    copyImage(background, &src, screen, 0, 0);
    for (int x = w - offset; x < SCREEN_W; x += w)
        copyImage(background, nullptr, screen, x, 0);
    fillRect(screen, 0, STATUS_AREA_Y, SCREEN_W, STATUS_H, BLACK);
}

void drawScreen(int frame, Figure* hero, int present) {
    static const Figure nobody = {};
    const Figure* h = hero ? hero : &nobody;
    if (!skipFrame) {
        drawBackdrop();
        if (level > 0) drawStageBars();
        drawTiles(frame, 0);
        drawPlatforms();
        drawMonsters();
        drawAnimations();
        if (frame > STAGE_INTRO_FRAMES) drawGhost(); // under the hero
        if (frame > STAGE_INTRO_FRAMES && h->alive) drawFigure(h);
        drawTiles(frame, 1);
        if (level != LEVEL_TITLE) {
            drawStatusLine();
            drawStageMessages(frame, h);
        } else if (workflow >= 0) {
            drawTitle(frame);
        }
    }
    if (present) {
        if (!skipFrame) flipScreen();
        controlFPS();
    }
}
