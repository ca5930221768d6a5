// The stage map: a strip of 16x16 cells, 12 rows high, stored column after column, with the
// cell catalogue (collision class and drawing plane of every value), the loader, the
// column scanner that spawns monsters as the view approaches, and the forward scroll.
#pragma once
#include "gfx/video.h"
#include "world/statelist.h"

constexpr int CELL = 16;              // px per cell
constexpr int MAP_ROWS = 12;          // cells per column
constexpr int appletWidth = SCREEN_W; // view width, px
constexpr int appletHeight = VIEW_H;  // view height, px
constexpr int VIEW_COLUMNS = 21;      // columns drawn
constexpr int MIN_MAP_COLUMNS = 21;
constexpr int MAX_MAP_COLUMNS = 4096;
constexpr int NUM_CELL_VALUES = 241; // 0 ... 240

// Cell values with a role of their own (all others are scenery).
enum CellValue {
    CELL_EMPTY = 0,
    CELL_MASKY = 9,
    CELL_BEETLE = 13,
    CELL_FLAG = 17, // checkpoint, not yet touched
    CELL_FLAG_RISING = 18,
    CELL_FLAG_UP = 19, // checkpoint, touched
    CELL_BUMP = 20,
    CELL_CRUMBLE = 22,
    CELL_HERO_IDLE = 24,
    CELL_PUSH = 25,
    CELL_LIFE = 26,
    CELL_DOOR_OPEN_TL = 27,
    CELL_DOOR_OPEN_TR = 28,
    CELL_WINGEDEYE = 33,
    CELL_DOOR_SHUT_TL = 38,
    CELL_DOOR_SHUT_TR = 39,
    CELL_BRICK = 40,
    CELL_RING = 41,
    CELL_SCORE_ICON = 42,
    CELL_DOOR_OPEN_BL = 47,
    CELL_DOOR_OPEN_BR = 48,
    CELL_ACIDFISH = 53,
    CELL_DOOR_SHUT_BL = 58,
    CELL_DOOR_SHUT_BR = 59,
    CELL_PLATFORM = 66,
    CELL_SKULL = 67,
    CELL_TRAPDOOR_SHUT = 69,
    CELL_WATER = 85,
    CELL_SPIKES_HIDDEN = 86,
    CELL_SPIKES = 87,
    CELL_TRAPDOOR = 88,
    CELL_TRAPDOOR_CLOSING = 89,
    CELL_SPIKES_UP = 105,
    CELL_SKULL2 = 121,
    CELL_BONUS = 137,
    CELL_BONUS_TAKEN = 138,
    CELL_MINE = 140,
    CELL_WATER_SURFACE_L = 160,
    CELL_WATER_SURFACE_R = 161,
    CELL_RESERVED = 240, // solid marker under blocks in motion; never drawn
};

// Collision classes of block_type.
enum BlockClass { BLOCK_PASSABLE = 0, BLOCK_SOLID = 1, BLOCK_LETHAL = 2, BLOCK_PUSHABLE = 3 };

extern const unsigned char block_type[NUM_CELL_VALUES];     // class of each value 0 ... 240
extern const unsigned char block_plan[NUM_CELL_VALUES - 1]; // 1 = drawn over the actors

// Safe lookups for any value: above 240 (or below 0) counts as solid, plane 0.
int blockClass(int value);
int blockPlane(int value);

// Where a game starts its stages before a checkpoint moves it, px; a stage's start marker
// overrides it.
constexpr int START_X = 16, START_Y = 100;

// World state: the map itself,
extern int* mapData;  // the live map, mapLength x 12, cell (c, r) at c*12 + r
extern int* mapOri;   // the map under push blocks
extern int mapLength; // columns

// and what goes with it (see world/statelist.h).
#define MAP_STATE(X)                                                                               \
    X(int, startx, START_X) /* where the hero (re)starts, px */                                    \
    X(int, starty, START_Y)                                                                        \
    X(int, startf, 0)     /* 1: start set by a checkpoint; the map's marker does not count */      \
    X(int, door, -1)      /* cell index of the door's top-left cell */                             \
    X(int, stars, 0)      /* rings still needed */                                                 \
    X(int, stars0, 0)     /* rings counted at load */                                              \
    X(int, pcount, 0)     /* moving platforms in use */                                            \
    X(int, step, 0)       /* world x of the view's left edge */                                    \
    X(int, checkpoint, 0) /* 1 once a checkpoint flag was touched in this attempt */
MAP_STATE(DECLARE_WORLD_GLOBAL)

constexpr int NUM_LEVELS = 11;
extern const char* const levelNames[NUM_LEVELS]; // "trobz300" ... "trobz310"
extern const char* testMapPath;                  // "maps/test.bin"

// Loads a stage by name from the maps archive, or the test map for null. Fatal
// "Can't load file" when there is no usable map.
void loadLevel(const char* name);
// Loads a stage from bytes already in memory; returns 0 when they are not a usable map
// (then nothing but `step` changes).
int loadLevelFromBytes(const unsigned char* bytes, int size);
// Columns of the map in a stage file's bytes, 0 when they are not a usable map: shorter
// than its header says, narrower than 21 or wider than 4096 columns.
int mapColumnsOf(const unsigned char* bytes, int size);
// Writes the four cells of the 2x2 door at `door` into mapData; nothing when the map has
// no door or the door does not fit inside it.
void setDoor(int topLeft, int topRight, int bottomLeft, int bottomRight);
void freeLevel();
// 1 when the hero can still take a ring whose cell starts at world x once a load has put
// the view's left edge at viewLeft; the load counts only those rings.
int ringInReach(int x, int viewLeft);
void tileScan(int x);
void moveForward(int n);
