// The stage map: the cell catalogue, the loader with its two passes over the cells (start
// markers first, then doors, rings and platforms), the column scanner that turns monster
// markers into monsters as the view approaches them, and the forward scroll.
#include "world/map.h"

#include "data/archive.h"
#include "data/binfile.h"
#include "data/fatal.h"
#include "world/collision.h"
#include "world/flowstate.h"
#include "world/monsters.h"
#include "world/platforms.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

// Collision class of every cell value: 0 passable, 1 solid, 2 lethal, 3 pushable.
const unsigned char block_type[NUM_CELL_VALUES] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 0-19
    1, 1, 1, 1, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 20-39
    1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 40-59
    0, 0, 0, 1, 1, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, // 60-79
    1, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1, 1, 0, 1, 1, 0, 0, 0, // 80-99
    1, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1, 1, 1, 1, 0, 1, 1, 0, 0, 0, // 100-119
    1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, // 120-139
    2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, // 140-159
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, // 160-179
    1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 180-199
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 200-219
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 220-239
    1,                                                          // 240, the reserved marker
};

// Drawing plane of every cell value: 1 = drawn over the actors.
const unsigned char block_plan[NUM_CELL_VALUES - 1] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 0-19
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 20-39
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 40-59
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 60-79
    0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 1, 1, // 80-99
    0, 1, 1, 1, 1, 0, 1, 1, 1, 1, 0, 0, 0, 0, 1, 0, 0, 1, 1, 1, // 100-119
    0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 120-139
    0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, // 140-159
    0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, // 160-179
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 180-199
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 200-219
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 220-239
};

int blockClass(int value) {
    // Anything the animations or a damaged map might leave beyond the table is a wall.
    if (value < 0 || value >= NUM_CELL_VALUES) return BLOCK_SOLID;
    return block_type[value];
}

int blockPlane(int value) {
    if (value < 0 || value >= NUM_CELL_VALUES - 1) return 0;
    return block_plan[value];
}

int* mapData = nullptr;
int* mapOri = nullptr;
int mapLength = 0;
MAP_STATE(DEFINE_WORLD_GLOBAL)

const char* const levelNames[NUM_LEVELS] = {
    "trobz300", "trobz301", "trobz302", "trobz303", "trobz304", "trobz305",
    "trobz306", "trobz307", "trobz308", "trobz309", "trobz310",
};
const char* testMapPath = "maps/test.bin";

// Header of a stage file: (columns - 1) as a little-endian 16-bit number.
constexpr int MAP_HEADER_BYTES = 2;

// The view starts this far left of the start column and scans this many px ahead of its
// right edge, so monsters appear just outside the picture.
constexpr int START_MARGIN = CELL;
constexpr int SCAN_AHEAD = appletWidth + CELL;

// The furthest the view scrolls: its right edge a pixel short of the map's end.
static int lastStep() {
    return mapLength * CELL - appletWidth - 1;
}

int ringInReach(int x, int viewLeft) {
    // The hero walks left as far as the view's edge (a pixel past an odd one, in his 2 px
    // steps) and takes a ring under his centre.
    const int leftmostCentre = viewLeft - (viewLeft & 1) + CELL / 2;
    return x + CELL - 1 >= leftmostCentre;
}

static bool isStartMarker(int v) {
    if ((v >= 1 && v <= 8) || v == 65 || v == 68) return true;
    // On the title the idle hero is part of the scenery.
    return v == CELL_HERO_IDLE && level > 0;
}

// The four cells of the 2x2 door at `door` exist when the door lies inside the map with
// room to its right and below.
static bool doorFits() {
    if (door < 0 || door >= mapLength * MAP_ROWS) return false;
    return door % MAP_ROWS < MAP_ROWS - 1 && door / MAP_ROWS < mapLength - 1;
}

void setDoor(int topLeft, int topRight, int bottomLeft, int bottomRight) {
    if (!doorFits()) return;
    // the live map only, not through setBlock, as ever: a push block copies what it covers
    // into mapOri when it arrives there (keepUnder)
    mapData[door] = topLeft;
    mapData[door + MAP_ROWS] = topRight;
    mapData[door + 1] = bottomLeft;
    mapData[door + MAP_ROWS + 1] = bottomRight;
}

void freeLevel() {
    std::free(mapData);
    std::free(mapOri);
    mapData = nullptr;
    mapOri = nullptr;
    mapLength = 0;
    pcount = 0;
    door = -1;
}

int mapColumnsOf(const unsigned char* bytes, int size) {
    if (!bytes || size < MAP_HEADER_BYTES) return 0;
    int columns = bytes[0] + 256 * bytes[1] + 1;
    // The renderer always reads 21 columns and counts x in 16 bits.
    if (columns < MIN_MAP_COLUMNS || columns > MAX_MAP_COLUMNS) return 0;
    if (size - MAP_HEADER_BYTES < columns * MAP_ROWS) return 0;
    return columns;
}

int loadLevelFromBytes(const unsigned char* bytes, int size) {
    step = 0;
    int columns = mapColumnsOf(bytes, size);
    if (!columns) return 0;
    int cells = columns * MAP_ROWS;
    int* data = (int*)std::malloc(sizeof(int) * cells);
    int* ori = (int*)std::malloc(sizeof(int) * cells);
    if (!data || !ori) {
        std::free(data);
        std::free(ori);
        return 0;
    }
    freeLevel();
    mapData = data;
    mapLength = columns;
    const unsigned char* cell = bytes + MAP_HEADER_BYTES;

    // first pass: the cells, with the start markers taken out
    for (int i = 0; i < cells; i++) {
        int v = cell[i];
        if (isStartMarker(v)) {
            if (!startf) {
                startx = (i / MAP_ROWS) * CELL;
                starty = (i % MAP_ROWS) * CELL;
            }
            v = CELL_EMPTY;
        }
        mapData[i] = v;
    }

    // the view starts a cell left of the restart point, or where it stops near the map's end
    const int base = startx - START_MARGIN > 0 ? startx - START_MARGIN : 0;
    const int viewLeft = base < lastStep() ? base : lastStep();

    // second pass: door, rings and platforms, until the platform table is full
    pcount = 0;
    stars0 = 0;
    door = -1;
    for (int i = 0; i < cells && pcount < MAX_PLATFORMS; i++) {
        int x = (i / MAP_ROWS) * CELL, y = (i % MAP_ROWS) * CELL;
        switch (mapData[i]) {
        case CELL_DOOR_OPEN_TL:
            door = i;
            break;
        case CELL_RING:
            // a ring out of the hero's reach was taken before the checkpoint
            if (ringInReach(x, viewLeft)) stars0++;
            break;
        case CELL_PLATFORM:
            mapData[i] = CELL_EMPTY;
            platforms[pcount].x = x;
            platforms[pcount].y = y;
            platforms[pcount].dy = 1;
            pcount++;
            break;
        default:
            break;
        }
    }
    stars = stars0;
    if (stars > 0)
        setDoor(CELL_DOOR_SHUT_TL, CELL_DOOR_SHUT_TR, CELL_DOOR_SHUT_BL, CELL_DOOR_SHUT_BR);

    step = base - appletWidth;
    mapOri = ori;
    std::memcpy(mapOri, mapData, sizeof(int) * cells);

    // restarting on a checkpoint shows its flag raised
    if (startx >= 0 && startx < mapLength * CELL && starty >= 0 && starty < appletHeight) {
        int i = (startx / CELL) * MAP_ROWS + starty / CELL;
        if (mapData[i] == CELL_FLAG) {
            mapData[i] = CELL_FLAG_UP;
            mapOri[i] = CELL_FLAG_UP;
        }
    }

    for (int k = 0; k < VIEW_COLUMNS; k++)
        tileScan(base + CELL * k);
    moveForward(appletWidth);
    checkpoint = 0;
    return 1;
}

void loadLevel(const char* name) {
    step = 0;
    unsigned char* bytes = nullptr;
    int size = 0;
    if (name) {
        uint32_t got = 0;
        bytes = loadZDAFile(ZDA_MAPS, name, "bin", &got);
        size = got > 0x7fffffffu ? 0 : (int)got;
    } else {
        bytes = loadBINFile(testMapPath, &size);
    }
    int ok = loadLevelFromBytes(bytes, size);
    std::free(bytes);
    if (!ok) error("Can't load file", name ? name : testMapPath);
}

void tileScan(int x) {
    if (x < 0 || x >= mapLength * CELL) return;
    int column = x / CELL;
    for (int r = 0; r < MAP_ROWS; r++) {
        int i = column * MAP_ROWS + r;
        int kind = 0, left = CELL_EMPTY;
        switch (mapData[i]) {
        case CELL_ACIDFISH:
            kind = MONSTER_ACIDFISH;
            left = CELL_WATER;
            break;
        case CELL_SPIKES:
            // spikes in the file are a trap waiting to be sprung
            setBlock(column, r, CELL_SPIKES_HIDDEN);
            continue;
        case CELL_SKULL:
        case CELL_SKULL2:
            kind = MONSTER_SKULL;
            break;
        case CELL_BEETLE:
            kind = MONSTER_BEETLE;
            break;
        case CELL_WINGEDEYE:
            kind = MONSTER_WINGEDEYE;
            break;
        case CELL_MASKY:
            kind = MONSTER_MASKY;
            break;
        default:
            continue;
        }
        // With every slot busy the monster is lost, but its marker goes all the same.
        startMonster(x, r * CELL, kind);
        setBlock(column, r, left);
    }
}

void moveForward(int n) {
    for (int k = 0; k < n; k++) {
        if (step < lastStep()) step++;
        tileScan(step + SCAN_AHEAD);
    }
}
