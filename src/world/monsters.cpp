// The monsters: 32 slots filled by the column scanner as the view approaches their markers.
// Each frame a monster walks along its row and turns at walls, falls (the walkers only),
// can be stomped by a falling hero (some kinds) and kills the hero on touch. Monsters see
// the hero of the previous frame, since they move before the hero does.
#include "world/monsters.h"

#include "anim/anims.h"
#include "audio/sound.h"
#include "gfx/messages.h"
#include "world/collision.h"
#include "world/figure.h"
#include "world/map.h"
#include "world/pickups.h"
#include "world/render.h"

Monster monst[MAX_MONSTERS];

constexpr int NUM_DEATH_KINDS = 7; // the five monsters, the hit WINGEDEYE and the mine

// Death message and death animation of a hero touched by a monster, by kind - 1.
const int REASONS[NUM_DEATH_KINDS] = {
    MSG_MASKY,     // MASKY
    MSG_BEETLE,    // BEETLE
    MSG_WINGEDEYE, // WINGEDEYE
    MSG_WINGEDEYE, // WINGEDEYE, hit
    MSG_ACIDFISH,  // ACIDFISH
    MSG_SKULL,     // SKULL
    MSG_BLOWN_UP,  // mine
};
const int DEATH_ANIM[NUM_DEATH_KINDS] = {
    ANIM_DEATH_DEAD,    // MASKY
    ANIM_DEATH_EXPLODE, // BEETLE
    ANIM_DEATH_DEAD,    // WINGEDEYE
    ANIM_DEATH_DEAD,    // WINGEDEYE, hit
    ANIM_DEATH_SLASH,   // ACIDFISH
    ANIM_DEATH_EXPLODE, // SKULL
    0,                  // mine: the explosion is its own animation
};

// Walking cycles.
const int blobbas[4] = {9, 10, 11, 10}; // MASKY
const int bat[4] = {33, 57, 34, 57};    // WINGEDEYE

// Gravity: a monster falls fall/3 px per frame, the counter rising by 1 a frame.
constexpr int FALL_REST = 3;
constexpr int FALL_DIVISOR = 3;

// Timeouts, frames of `timer`.
constexpr int MASKY_VANISH = 120; // a stomped (or stranded) MASKY disappears
constexpr int MASKY_BLINK = 64;   // ... after blinking from here on
constexpr int SKULL_WAKE = 225;   // a stomped SKULL walks again after this
constexpr int SKULL_WAKING_SPRITE = 186;
constexpr int WINGEDEYE_HIT_GONE = 11; // the hit WINGEDEYE's three pictures

// Range: monsters far from the view are dropped.
constexpr int RANGE_BEHIND = 250; // px left of the view's edge
constexpr int RANGE_AHEAD = 500;  // px right of it
constexpr int RANGE_BELOW = 200;  // y, fallen out of the map

// Contact boxes, relative to the monster's corner.
constexpr int STOMP_LEFT = -15, STOMP_RIGHT = 16; // hero x
constexpr int STOMP_TOP = -15, STOMP_BOTTOM = -1; // hero y: just above the monster
constexpr int HERO_REST_VY = 7;                   // a stomp needs the hero falling faster
constexpr int TOUCH_LEFT = -12, TOUCH_RIGHT = 13;
constexpr int TOUCH_TOP = -9, TOUCH_BOTTOM = 10;
constexpr int STOMP_POINTS = 3;

// Sprites.
constexpr int BLOBBAS_TICKS = 6;
constexpr int MASKY_STOPPED = 12;
constexpr int BEETLE_BASE = 14;
constexpr int WINGEDEYE_HIT_BASE = 35;
constexpr int ACIDFISH_BASE = 54;
constexpr int ACIDFISH_TICKS = 15;
constexpr int SKULL_RIGHT = 121;
constexpr int SKULL_LEFT = 144;
constexpr int SKULL_STOPPED = 125;
constexpr int SKULL_WAKING = 126;
constexpr int UNKNOWN_SPRITE = 20;

static bool validSlot(int slot) {
    return slot >= 0 && slot < MAX_MONSTERS;
}

void setMonster(int slot, int x, int y, int kind) {
    if (!validSlot(slot)) return;
    Monster& m = monst[slot];
    m.x = x;
    m.y = y;
    m.kind = kind;
    m.active = 1;
    m.fall = 0;
    m.timer = 0;
    m.hits = 0;
    m.dx = -1;
    m.stompable = 0;
    switch (kind) {
    case MONSTER_MASKY:
    case MONSTER_WINGEDEYE:
        m.stompable = 1;
        break;
    case MONSTER_SKULL:
        m.dx = -2;
        m.dy = -2;
        m.stompable = 1;
        break;
    case MONSTER_BEETLE:
    case MONSTER_ACIDFISH:
        break;
    default: // the hit WINGEDEYE and anything unknown stand still and harm nobody
        m.dx = 0;
        break;
    }
}

int startMonster(int x, int y, int kind) {
    for (int i = 0; i < MAX_MONSTERS; i++) {
        if (!monst[i].active) {
            setMonster(i, x, y, kind);
            return 1;
        }
    }
    return 0;
}

void killMonster(int slot) {
    if (validSlot(slot)) monst[slot].active = 0;
}

void killMonsters() {
    for (Monster& m : monst)
        m.active = 0;
}

static bool within(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}

// A monster that walks and falls rather than flying or swimming.
static bool walker(int kind) {
    return kind == MONSTER_MASKY || kind == MONSTER_BEETLE || kind == MONSTER_SKULL;
}

static void walkStep(Monster& m, int X, int Y) {
    // the probes ahead: the right edge moving right, the next step's x moving left
    int ax = m.dx > 0 ? X + CELL : X + m.dx;
    if (!isSolidPos(ax, Y) && !isSolidPos(ax, Y + CELL - 1))
        m.x += m.dx;
    else
        m.dx = -m.dx;
}

static void gravity(Monster& m, int X, int Y) {
    bool stands = isSolidPos(X, Y + CELL) || isSolidPos(X + CELL - 1, Y + CELL);
    if (!stands && m.kind == MONSTER_SKULL && m.dx != 0 && X % CELL == 0 && Y % CELL == 0) {
        // a SKULL strides over a one-cell gap when there is ground beyond it
        int ax = m.dx < 0 ? X - 1 : X + CELL;
        stands = !isSolidPos(ax, Y) && isSolidPos(ax, Y + CELL);
    }
    if (stands) {
        m.fall = FALL_REST;
        m.y &= ~(CELL - 1);
    } else {
        m.y += m.fall / FALL_DIVISOR;
        m.fall++;
    }
}

static void stomp(Monster& m, Figure* hero) {
    switch (m.kind) {
    case MONSTER_WINGEDEYE:
        playSFX(SND_BAT);
        m.timer = 0;
        m.dx = 0;
        m.kind = MONSTER_WINGEDEYE_HIT;
        addScore(STOMP_POINTS);
        break;
    case MONSTER_SKULL:
        playSFX(SND_KLACK);
        m.dy = m.dx; // remembered, so it wakes up going the other way
        m.timer = 0;
        m.dx = 0;
        m.hits++;
        if (m.hits == 1) addScore(STOMP_POINTS);
        break;
    case MONSTER_MASKY:
        m.dx = 0;
        m.timer = 0;
        playSFX(SND_BLUBB);
        addScore(STOMP_POINTS);
        break;
    default:
        break;
    }
    hero->bounce = 1;
}

static void contact(Monster& m, Figure* hero) {
    if (!hero || !isActive(hero) || m.dx == 0) return; // a stopped monster is harmless
    const int X = m.x;
    if (m.stompable && hero->vy > HERO_REST_VY &&
        within(hero->x, X + STOMP_LEFT, X + STOMP_RIGHT) &&
        within(hero->y, m.y + STOMP_TOP, m.y + STOMP_BOTTOM)) {
        stomp(m, hero);
        return;
    }
    if (within(hero->x, X + TOUCH_LEFT, X + TOUCH_RIGHT) &&
        within(hero->y, m.y + TOUCH_TOP, m.y + TOUCH_BOTTOM)) {
        int k = m.kind >= 1 && m.kind <= NUM_DEATH_KINDS ? m.kind - 1 : 0;
        figureDying(hero, message(REASONS[k]), DEATH_ANIM[k]);
        playSFX(SND_AJ);
    }
}

void updateMonster(int slot, Figure* hero, int step) {
    if (!validSlot(slot) || !monst[slot].active) return;
    Monster& m = monst[slot];
    const int X = m.x, Y = m.y;
    m.timer++;

    // embedding: a monster whose centre ends up inside a wall or a block is crushed; it
    // still gets the rest of this frame
    const bool embedded = isSolidPos(X + CELL / 2, Y + CELL / 2);
    if (embedded) m.active = 0;

    // walking, on whole rows only
    if (!embedded) {
        if (m.dx != 0 && Y % CELL == 0)
            walkStep(m, X, Y);
        else if (m.kind == MONSTER_MASKY && m.timer == MASKY_VANISH)
            m.active = 0;
    }

    if (walker(m.kind)) gravity(m, X, Y);

    contact(m, hero);

    // timeouts
    if (m.kind == MONSTER_SKULL && m.dx == 0 && m.timer > SKULL_WAKE) m.dx = -m.dy;
    if (m.kind == MONSTER_WINGEDEYE_HIT && m.timer > WINGEDEYE_HIT_GONE) m.active = 0;

    // range
    if (m.x + RANGE_BEHIND < step || m.x - RANGE_AHEAD > step || m.y > RANGE_BELOW) m.active = 0;
}

void updateMonsters(Figure* hero) {
    for (int i = 0; i < MAX_MONSTERS; i++)
        updateMonster(i, hero, step);
}

// The block image a monster shows this frame, or -1 while it blinks out.
int monsterSprite(const Monster& m) {
    // The cycles are masked rather than taken modulo 4: a walking monster's timer never
    // stops, and once it wraps a negative remainder would pick outside the cycle.
    const int t = m.timer;
    switch (m.kind) {
    case MONSTER_MASKY:
        if (m.dx != 0) return blobbas[(t / BLOBBAS_TICKS) & 3];
        return t < MASKY_BLINK || (t & 8) ? MASKY_STOPPED : -1;
    case MONSTER_BEETLE:
        return BEETLE_BASE + m.dx + (t & 15) / 8;
    case MONSTER_WINGEDEYE:
        return bat[(t / BLOBBAS_TICKS) & 3];
    case MONSTER_WINGEDEYE_HIT:
        return WINGEDEYE_HIT_BASE + t / 4;
    case MONSTER_ACIDFISH:
        return ACIDFISH_BASE + m.dx + (t / ACIDFISH_TICKS) % 2;
    case MONSTER_SKULL:
        if (m.dx > 0) return SKULL_RIGHT + (t & 15) / 4;
        if (m.dx < 0) return SKULL_LEFT - (t & 15) / 4;
        return t < SKULL_WAKING_SPRITE ? SKULL_STOPPED : SKULL_WAKING;
    default:
        return UNKNOWN_SPRITE;
    }
}

void drawMonster(int slot) {
    if (!validSlot(slot) || !monst[slot].active) return;
    int image = monsterSprite(monst[slot]);
    if (image >= 0) drawSprite(monst[slot].x, monst[slot].y, image);
}

void drawMonsters() {
    for (int i = 0; i < MAX_MONSTERS; i++)
        drawMonster(i);
}
