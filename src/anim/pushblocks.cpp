// Push blocks in motion: a block sliding one cell right or left, a block falling one cell,
// and the settling that follows each move (falling on over a gap, the block above a
// vacated cell following it down). While a block moves, both cells it touches hold the
// solid marker 240 and mapOri remembers what lies under them.
#include "anim/pushblocks.h"

#include "anim/anims.h"
#include "audio/sound.h"
#include "world/collision.h"
#include "world/map.h"
#include "world/render.h"

constexpr int PUSH_FRAMES = 4; // frames of a one-cell move; the block glides 4 px a frame
constexpr int GLIDE = CELL / PUSH_FRAMES;
constexpr int LAST_FALL_ROW = MAP_ROWS - 2; // a block leaving row 10 or above may fall on

static bool insideMap(int c, int r) {
    return mapData && c >= 0 && c < mapLength && r >= 0 && r < MAP_ROWS;
}

static int cellAt(const int* map, int c, int r) {
    return insideMap(c, r) ? map[c * MAP_ROWS + r] : 0;
}

void reserveFall(int c, int r) {
    keepUnder(c, r + 1);
    // the marker goes into the live map only: mapOri keeps showing what lies under the block
    setBlock(c, r, CELL_RESERVED);
    setBlock(c, r + 1, CELL_RESERVED);
}

// Uncovers the cell the block left: whatever lay under it, never another push block.
static void uncover(int c, int r) {
    int under = cellAt(mapOri, c, r);
    setBlock(c, r, under == CELL_PUSH ? CELL_EMPTY : under);
}

// The block has arrived at (nx, ny) from (cx, cy).
static void settle(int slot, int nx, int ny, int cx, int cy) {
    const bool falling = aos[slot].kind == ANIM_BLOCK_FALL;
    // on over a gap; the row test uses the row the block came from, so a block landing on
    // the bottom row falls once more, out of the map
    int below = cellAt(mapData, nx, ny + 1);
    int cls = blockClass(below);
    if (cy <= LAST_FALL_ROW && below < CELL_RESERVED && cls != BLOCK_SOLID && cls != BLOCK_PUSHABLE)
        startAnim(CELL * nx, CELL * ny, ANIM_BLOCK_FALL);
    else if (falling)
        playSFX(SND_KRACK);
    aos[slot].active = 0;
    // a block that rested on the vacated cell follows it down
    if (cy >= 1 && cellAt(mapData, cx, cy - 1) == CELL_PUSH)
        startAnim(CELL * cx, CELL * (cy - 1), ANIM_BLOCK_FALL);
}

void updatePushBlock(int slot) {
    AnimObject& a = aos[slot];
    const int cx = a.x, cy = a.y;
    const int n = ++a.count;
    if (a.kind == ANIM_BLOCK_FALL) {
        if (n == PUSH_FRAMES) {
            uncover(cx, cy);
            setBlock(cx, cy + 1, CELL_PUSH);
            settle(slot, cx, cy + 1, cx, cy);
        }
        return;
    }
    const int d = a.kind == ANIM_PUSH_RIGHT ? 1 : -1;
    if (n == 1) {
        keepUnder(cx + d, cy);
        setBlock(cx + d, cy, CELL_RESERVED);
        setBlock(cx, cy, CELL_RESERVED);
    } else if (n == PUSH_FRAMES) {
        uncover(cx, cy);
        setBlock(cx + d, cy, CELL_PUSH);
        settle(slot, cx + d, cy, cx, cy);
    }
}

// The mapOri content of a cell the block passes over, unless there is nothing to show.
static void drawUnder(int c, int r) {
    if (!insideMap(c, r)) return;
    int v = mapOri[c * MAP_ROWS + r];
    if (v != CELL_PUSH) drawSprite(CELL * c, CELL * r, v);
}

void drawPushBlock(const AnimObject& a) {
    if (a.kind == ANIM_BLOCK_FALL) {
        drawUnder(a.x, a.y);
        drawUnder(a.x, a.y + 1);
        drawSprite(CELL * a.x, CELL * a.y + GLIDE * a.count, CELL_PUSH);
        return;
    }
    const int d = a.kind == ANIM_PUSH_RIGHT ? 1 : -1;
    drawUnder(a.x, a.y);
    drawUnder(a.x + d, a.y);
    drawSprite(CELL * a.x + GLIDE * a.count * d, CELL * a.y, CELL_PUSH);
}
