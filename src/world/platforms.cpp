// Moving platforms: one-cell lifts that travel up and down their column at 1 px per frame,
// turning at the top and bottom rows and in front of any cell that is not passable. They
// carry a hero who lands on them and crush one caught beneath them against the ground.
#include "world/platforms.h"

#include "anim/anims.h"
#include "gfx/messages.h"
#include "world/collision.h"
#include "world/figure.h"
#include "world/map.h"
#include "world/render.h"

Platform platforms[MAX_PLATFORMS];

constexpr int PLATFORM_TOP = 0;                      // px, top row
constexpr int PLATFORM_BOTTOM = appletHeight - CELL; // px, bottom row
// The hero is level with a platform while his x lies within these bounds of its x.
constexpr int CATCH_LEFT = -11;
constexpr int CATCH_RIGHT = 12;

// Cells outside the map read as 0 and so count as passable.
static bool blocksPlatform(int x, int y) {
    return blockClass(getBlockAtPos(x, y)) != BLOCK_PASSABLE;
}

int updatePlatform(Platform* p, Figure* hero) {
    // move
    p->y += p->dy;
    if ((p->y & 15) == 0) {
        if (p->y == PLATFORM_BOTTOM || p->y == PLATFORM_TOP ||
            blocksPlatform(p->x, p->y + CELL * p->dy))
            p->dy = -p->dy;
    }

    // the hero
    if (!isActive(hero)) return 0;
    if (hero->x > p->x + CATCH_RIGHT || hero->x < p->x + CATCH_LEFT) return 0;
    // a fast fall widens the catch window so the hero cannot drop through
    int top = p->y - CELL;
    // A sinking lift leaves a hero on the ground he stands on: one who has just stepped off
    // it onto a ledge would be caught again a pixel lower and carried into the ledge.
    const bool onGround =
        isSolidPos(hero->x, hero->y + CELL) || isSolidPos(hero->x + CELL - 1, hero->y + CELL);
    if (hero->vy > 0 && !(p->dy > 0 && onGround)) {
        int reach = hero->vy / 4;
        if (hero->y >= top - reach && hero->y <= top + reach) return 1;
    }
    if (hero->y > p->y && p->dy > 0 && (p->y & 15) == 0 && p->y <= PLATFORM_BOTTOM - 1 &&
        blocksPlatform(p->x, p->y + 2 * CELL))
        figureDying(hero, message(MSG_SMASHED), ANIM_DEATH_CRUSHED);
    return 0;
}

void updatePlatforms(Figure* hero) {
    hero->platform = -1;
    for (int i = 0; i < pcount; i++)
        if (updatePlatform(&platforms[i], hero)) hero->platform = i;
}

void drawPlatform(const Platform* p) {
    drawBlock(p->x, p->y, CELL_PLATFORM);
}

void drawPlatforms() {
    for (int i = 0; i < pcount; i++)
        drawPlatform(&platforms[i]);
}
