// Point queries against the map and the one write. Every actor collides by probing single
// pixels; the edges of the map answer in fixed ways: the left and right ends are walls at
// every height, the space above the map is as solid as its top row, and below the map
// nothing is solid, so whatever falls there keeps falling.
#include "world/collision.h"

#include "world/figure.h"
#include "world/map.h"

constexpr int MAP_BOTTOM = appletHeight - 1; // lowest pixel row inside the map

static int mapWidth() {
    return mapLength * CELL;
}

static bool insideMap(int x, int y) {
    return x >= 0 && y >= 0 && x < mapWidth() && y <= MAP_BOTTOM;
}

// The cell under a pixel known to be inside the map.
static int cellAt(int x, int y) {
    return mapData[(x >> 4) * MAP_ROWS + (y >> 4)];
}

int getBlockAtPos(int x, int y) {
    if (!insideMap(x, y)) return 0;
    return cellAt(x, y);
}

int getBlock(int column, int row) {
    if (column < 0 || row < 0 || column >= mapLength || row >= MAP_ROWS) return 0;
    return mapData[column * MAP_ROWS + row];
}

int isSolidBlock(int value) {
    return value > 239 || blockClass(value) == BLOCK_SOLID;
}

int isPushBlock(int value) {
    if (value < 0 || value >= NUM_CELL_VALUES) return 0;
    return block_type[value] == BLOCK_PUSHABLE;
}

int isSolidPos(int x, int y) {
    if (x < 0 || x >= mapWidth()) return 1;
    if (y < 0) y = 0;
    if (y > MAP_BOTTOM) return 0;
    int v = cellAt(x, y);
    if (v > 239) return 1;
    int c = blockClass(v);
    return c == BLOCK_SOLID || c == BLOCK_PUSHABLE;
}

int isLeathalPos(int x, int y) {
    if (!insideMap(x, y)) return 0;
    int v = cellAt(x, y);
    if (v > 239) return 0;
    return blockClass(v) == BLOCK_LETHAL ? v : 0;
}

int isPushPos(int x, int y) {
    if (!insideMap(x, y)) return 0;
    return blockClass(cellAt(x, y)) == BLOCK_PUSHABLE;
}

static bool isWater(int v) {
    return (v >= CELL_WATER_SURFACE_L && v <= 166) || v == 145 || v == 146 || v == CELL_WATER;
}

int isWet(const Figure* f) {
    int x = f->x + CELL / 2, y = f->y + CELL / 2;
    return insideMap(x, y) && isWater(cellAt(x, y));
}

void setBlock(int column, int row, int value) {
    if (column < 0 || row < 0 || column >= mapLength || row >= MAP_ROWS) return;
    int i = column * MAP_ROWS + row;
    mapData[i] = value;
    // mapOri keeps what lies under blocks in motion
    if (value != CELL_PUSH && value != CELL_RESERVED) mapOri[i] = value;
}

void keepUnder(int column, int row) {
    if (column < 0 || row < 0 || column >= mapLength || row >= MAP_ROWS) return;
    int i = column * MAP_ROWS + row;
    mapOri[i] = mapData[i];
}
