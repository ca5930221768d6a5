// The 16 animation slots: starting and restarting them, the cell effects (bricks, crumbling
// floors, spike traps, bump blocks, trapdoors, checkpoint flags, pickups), the mine's
// explosion and the hero's death sequences, and drawing the slots that show images of
// their own. The push blocks (kinds 10 ... 12) live in pushblocks.cpp.
#include "anim/anims.h"

#include "anim/pushblocks.h"
#include "world/collision.h"
#include "world/figure.h"
#include "world/map.h"
#include "world/render.h"

AnimObject aos[MAX_ANIMS];

// Cell effects: the cell shows the entries in turn; 0 is the empty cell.
const int krack[2][KRACK_FRAMES] = {
    {200, 201, 202, 203, 0, 0, 0, 0}, // brick 40 breaking
    {180, 181, 182, 183, 0, 0, 0, 0}, // crumbling floor 22
};
const int trap[4] = {87, 87, 105, 105};
const int shine[5] = {80, 100, 120, 20, 20};
const int explode[8] = {223, 224, 225, 226, 227, 228, 229, 230};

// Death sequences, block images drawn where the hero died. Image 0 is the sheet's empty
// cell: the hero is gone once the sequence has played.
const int death_suicide[8] = {24, 24, 24, 184, 185, 186, 187, 186};
const int death_crushed[8] = {188, 189, 190, 191, 0, 0, 0, 0};
const int death_drowned[8] = {192, 193, 194, 195, 214, 214, 215, 215};
const int death_explode[8] = {196, 197, 198, 199, 0, 0, 0, 0};
const int death_dead[8] = {204, 205, 206, 207, 0, 0, 0, 0};
const int death_slash[8] = {208, 209, 210, 211, 0, 0, 0, 0};
const int death_drowned2[4] = {212, 213, 214, 215};

// Timing of the cell effects, frames per entry.
constexpr int KRACK_TICKS = 8; // 200 ... 203 then empty, the slot ends on update 41
constexpr int KRACK_LAST = 4;  // last entry index that keeps the slot running
constexpr int TRAP_TICKS = 2;  // 87 for 4 frames, then 105
constexpr int TRAP_LAST = 2;
constexpr int SHINE_TICKS = 2; // 80, 100, 120, 20
constexpr int SHINE_LAST = 3;
constexpr int TRAPDOOR_TICKS = 4; // 89 for 4 frames, then the shut door
constexpr int TRAPDOOR_STEP = CELL_TRAPDOOR_CLOSING - CELL_TRAPDOOR_SHUT; // 89 - 20 = 69
constexpr int FLAG_TICKS = 3; // 17, 18, 19 for 6 frames each
constexpr int FLAG_LAST = 4;

// Mine explosion and deaths.
constexpr int EXPLODE_TICKS = 4; // 8 images of 4 frames
constexpr int DEATH_TICKS = 8;   // 8 images of 8 frames
constexpr int CRUSHED_TICKS = 4; // the crushed hero goes faster
constexpr int DEATH_FRAMES = 8;
constexpr int SUICIDE_LOOP = 23; // the suicide sequence replays from here for ever
constexpr int FLOAT_TICKS = 16;  // the floating drowned hero, 16 frames per image
constexpr int HERO_RELEASE_Y = DEATH_FALL_END / 2; // a final fall from here ends the attempt

static bool validSlot(int slot) {
    return slot >= 0 && slot < MAX_ANIMS;
}

// The position a kind keeps: the cell (arithmetic shift, so -1 is cell -1) or the pixel.
static void storedPosition(int x, int y, int kind, int* sx, int* sy) {
    if (kind > ANIM_EXPLODE) {
        *sx = x;
        *sy = y;
    } else {
        *sx = x >> 4;
        *sy = y >> 4;
    }
}

void setAnimation(int slot, int x, int y, int kind) {
    if (!validSlot(slot)) return;
    AnimObject& a = aos[slot];
    a.active = 1;
    a.count = 0;
    a.kind = kind;
    storedPosition(x, y, kind, &a.x, &a.y);
    if (kind == ANIM_BLOCK_FALL) reserveFall(a.x, a.y);
}

int startAnim(int x, int y, int kind) {
    int sx, sy;
    storedPosition(x, y, kind, &sx, &sy);
    // the same spot again: restart what runs there instead of stacking a second effect
    for (int i = 0; i < MAX_ANIMS; i++) {
        if (aos[i].active && aos[i].x == sx && aos[i].y == sy) {
            setAnimation(i, x, y, kind);
            return 0;
        }
    }
    for (int i = 0; i < MAX_ANIMS; i++) {
        if (!aos[i].active) {
            setAnimation(i, x, y, kind);
            return 1;
        }
    }
    return 0; // all busy: the caller's cell keeps its value and the touch comes again
}

void clearAnims() {
    for (AnimObject& a : aos)
        a.active = 0;
}

// One frame of a cell effect whose entry changes every `ticks` frames; the slot ends once
// the entry index passes `last`, after writing that final entry. A count put back from
// elsewhere (a saved world, a test) may lie outside the run: it still picks an entry.
static int cellStep(AnimObject& a, int ticks, int last) {
    int f = a.count / ticks;
    if (f < 0) f = 0;
    if (f > last + 1) f = last + 1;
    a.count++;
    if (f > last) a.active = 0;
    return f;
}

// Lets the hero's final fall begin: the death picture has played.
static void releaseHero(Figure* hero) {
    if (!hero) return;
    hero->deathAnim = 0;
    hero->y = HERO_RELEASE_Y;
}

static void updateDeath(AnimObject& a, Figure* hero) {
    a.count++;
    if (a.count / DEATH_TICKS < DEATH_FRAMES) return;
    switch (a.kind) {
    case ANIM_DEATH_SUICIDE:
        a.count = SUICIDE_LOOP;
        break;
    case ANIM_DEATH_DROWNED:
        a.count = 0;
        a.kind = ANIM_DROWNED_FLOAT;
        break;
    default: // explode, dead, slash
        a.active = 0;
        break;
    }
    if (hero && hero->deathAnim != 0) releaseHero(hero);
}

void updateAnimation(int slot, Figure* hero) {
    if (!validSlot(slot)) return;
    AnimObject& a = aos[slot];
    if (!a.active) return;
    const int cx = a.x, cy = a.y;
    switch (a.kind) {
    case ANIM_BRICK:
    case ANIM_CRUMBLE: {
        int f = cellStep(a, KRACK_TICKS, KRACK_LAST);
        setBlock(cx, cy, krack[a.kind - ANIM_BRICK][f]);
        break;
    }
    case ANIM_TRAP:
        setBlock(cx, cy, trap[cellStep(a, TRAP_TICKS, TRAP_LAST)]);
        break;
    case ANIM_SHINE:
        setBlock(cx, cy, shine[cellStep(a, SHINE_TICKS, SHINE_LAST)]);
        break;
    case ANIM_TRAPDOOR:
        setBlock(cx, cy, CELL_TRAPDOOR_CLOSING - TRAPDOOR_STEP * cellStep(a, TRAPDOOR_TICKS, 0));
        break;
    case ANIM_FLAG:
        setBlock(cx, cy, CELL_FLAG + cellStep(a, FLAG_TICKS, FLAG_LAST) / 2);
        break;
    case ANIM_PICKUP:
        a.active = 0;
        setBlock(cx, cy, CELL_EMPTY);
        break;
    case ANIM_PUSH_RIGHT:
    case ANIM_PUSH_LEFT:
    case ANIM_BLOCK_FALL:
        updatePushBlock(slot);
        break;
    case ANIM_EXPLODE:
        if (a.count == 0)
            setBlock(cx, cy, CELL_WATER); // the mine leaves a hole that reads as water
        a.count++;
        if (a.count / EXPLODE_TICKS >= 8) a.active = 0;
        break;
    case ANIM_DEATH_SUICIDE:
    case ANIM_DEATH_DROWNED:
    case ANIM_DEATH_EXPLODE:
    case ANIM_DEATH_DEAD:
    case ANIM_DEATH_SLASH:
        updateDeath(a, hero);
        break;
    case ANIM_DEATH_CRUSHED:
        a.count++;
        if (a.count / CRUSHED_TICKS >= DEATH_FRAMES) {
            a.active = 0;
            releaseHero(hero);
        }
        break;
    case ANIM_DROWNED_FLOAT:
        a.count++;
        if (a.count >= FLOAT_TICKS * 4) // the picture repeats every 64 frames
            a.count -= FLOAT_TICKS * 4;
        break;
    default: // kinds 3 and 9 do not exist, above 20 nothing runs
        break;
    }
}

void updateAnims(Figure* hero) {
    // in index order: a slot started by an earlier one runs in this pass already
    for (int i = 0; i < MAX_ANIMS; i++)
        updateAnimation(i, hero);
}

// Image `table[index]` at world pixel (x, y); the index is clamped to the table so a slot
// restarted by hand with an odd count never reads beyond it.
static void drawFrame(const int* table, int size, int index, int x, int y) {
    if (index < 0) index = 0;
    if (index >= size) index = size - 1;
    drawSprite(x, y, table[index]);
}

static const int* deathTable(int kind) {
    switch (kind) {
    case ANIM_DEATH_SUICIDE:
        return death_suicide;
    case ANIM_DEATH_CRUSHED:
        return death_crushed;
    case ANIM_DEATH_DROWNED:
        return death_drowned;
    case ANIM_DEATH_EXPLODE:
        return death_explode;
    case ANIM_DEATH_DEAD:
        return death_dead;
    default:
        return death_slash;
    }
}

void drawAnimation(int slot) {
    if (!validSlot(slot)) return;
    const AnimObject& a = aos[slot];
    if (!a.active) return;
    switch (a.kind) {
    case ANIM_PUSH_RIGHT:
    case ANIM_PUSH_LEFT:
    case ANIM_BLOCK_FALL:
        drawPushBlock(a);
        break;
    case ANIM_EXPLODE:
        drawFrame(explode, 8, a.count / EXPLODE_TICKS, a.x * CELL, a.y * CELL);
        break;
    case ANIM_DEATH_SUICIDE:
    case ANIM_DEATH_DROWNED:
    case ANIM_DEATH_EXPLODE:
    case ANIM_DEATH_DEAD:
    case ANIM_DEATH_SLASH:
        drawFrame(deathTable(a.kind), DEATH_FRAMES, a.count / DEATH_TICKS, a.x, a.y);
        break;
    case ANIM_DEATH_CRUSHED:
        drawFrame(death_crushed, DEATH_FRAMES, a.count / CRUSHED_TICKS, a.x, a.y);
        break;
    case ANIM_DROWNED_FLOAT:
        drawFrame(death_drowned2, 4, (a.count / FLOAT_TICKS) % 4, a.x, a.y);
        break;
    default: // the cell effects show through the map itself
        break;
    }
}

void drawAnimations() {
    for (int i = 0; i < MAX_ANIMS; i++)
        drawAnimation(i);
}
