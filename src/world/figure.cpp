// The hero's movement, once per frame: a horizontal phase (walking, momentum to the next
// multiple of 8, pushing blocks), a vertical phase (jump, bounce, riding a platform,
// gravity in quarter pixels) and the touch probes (door, lethal cells, trapdoor, spike trap,
// pickups, checkpoint, head and feet), then the scroll and the fall out of the map. Also the
// two ways to die and the start of an attempt.
#include "world/figure.h"

#include "anim/anims.h"
#include "audio/sound.h"
#include "gfx/messages.h"
#include "world/collision.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/pickups.h"
#include "world/platforms.h"

HERO_STATE(DEFINE_WORLD_GLOBAL)

// Walking, px per frame.
constexpr int WALK_SPEED = 2;
constexpr int CRAWL_SPEED = 1;   // crawling, and from an odd x so the hero gets back to even
constexpr int MOMENTUM_GRID = 8; // released, the hero walks on to the next multiple of this
constexpr int PUSH_FRAMES = 4;   // frames of pushing before a block moves
constexpr int IDLE_FRAMES = 500; // standing this long shows the idle sprite
constexpr int WALK_FRAMES = 3;   // frames per walking sprite

// Vertical speed, quarter px per frame.
constexpr int VY_REST = 7;    // standing on ground or a platform
constexpr int VY_JUMP = -21;  // rises 50 px over 21 frames
constexpr int VY_BOUNCE = -7; // off a stomped monster: 4 px
constexpr int VY_DEATH_HOP = -16;

// Where the hero's falls end, px.
constexpr int FALL_DEATH_Y = 251; // below the map: fell to death

// Frames the flow waits after an immediate death.
constexpr int DEATH_WAIT = 180;

int isActive(const Figure* f) {
    return f->alive && !f->dying;
}
int haveMadeit(const Figure* f) {
    return f->alive && f->madeIt;
}

void placeFigure(Figure* f, int x, int y) {
    f->alive = 1;
    f->dying = 0;
    f->madeIt = 0;
    f->ringsMissing = 0;
    f->jumpHeld = 0;
    f->bounce = 0;
    f->trapLatched = 0;
    f->trapX = f->trapY = 0;
    f->vy = 0;
    f->walkCount = 0;
    f->idleCount = 0;
    f->deathAnim = 0;
    f->platform = -1;
    f->sprite = SPRITE_IDLE;
    f->x = x;
    f->y = y;
}

int lowerOntoGround(int x, int y) {
    // A start with nothing below it stays on the bottom row instead of sinking forever.
    while (y < appletHeight - CELL && !isSolidPos(x, y + CELL))
        y++;
    return y;
}

void figureDying(Figure* f, const char* message, int animKind) {
    if (f->dying) return;
    f->dying = 1;
    f->idleCount = 0;
    setMessage(message);
    playSFX(SND_AJ);
    // The hero is hidden while his death plays, and only its end lets him go: a death whose
    // picture finds every animation slot busy takes the death hop instead.
    if (animKind > 0 && startAnim(f->x, f->y, animKind)) {
        f->deathAnim = animKind;
        f->vy = 0;
    } else {
        f->deathAnim = 0;
        f->vy = VY_DEATH_HOP;
    }
}

void killFigure(Figure* f, const char* message, int animKind) {
    f->alive = 0;
    f->idleCount = DEATH_WAIT;
    setMessage(message);
    if (animKind >= 1 && !f->deathAnim) startAnim(f->x, f->y, animKind);
}

// A dying hero drifts left and falls; with a death animation it hangs still until the
// animation lets it go.
static void dyingMotion(Figure* f) {
    f->x -= 1;
    f->y += f->vy / 4;
    if (!f->deathAnim) {
        f->vy += 1;
        if (f->y > DEATH_FALL_END) f->alive = 0;
    }
}

static bool standsOnGround(const Figure* f) {
    return isSolidPos(f->x, f->y + CELL) || isSolidPos(f->x + CELL - 1, f->y + CELL);
}

// A push block beside a hero aligned to the grid and standing on ground moves after some
// frames of pushing when the cell beyond it is free. dir is +1 right, -1 left.
static void pushAgainst(const Figure* f, int dir) {
    int bx = f->x + dir * CELL;
    if ((f->x & 15) == 0 && (f->y & 15) == 0 && isSolidPos(f->x, f->y + CELL) &&
        isPushPos(bx, f->y) && !isSolidPos(f->x + dir * 2 * CELL, f->y)) {
        pushForce++;
        if (pushForce >= PUSH_FRAMES) {
            if (startAnim(bx, f->y, dir > 0 ? ANIM_PUSH_RIGHT : ANIM_PUSH_LEFT)) playSFX(SND_KLACK);
            pushForce = 0;
        }
    } else {
        pushForce = 0;
    }
}

static bool offGrid(int x) {
    return (x & (MOMENTUM_GRID - 1)) != 0;
}

// Returns -1 walking left, 1 walking right, 0 standing.
static int horizontalPhase(Figure* f, int left, int right, int crawl, int step) {
    int s = (crawl || (f->x & 1)) ? CRAWL_SPEED : WALK_SPEED;
    bool idle = !left && !right;
    int walking = 0;
    if (left || right) last_left = 0;

    // right
    if (right || (idle && last_right && offGrid(f->x))) {
        last_right = 1;
        if (!isSolidPos(f->x + CELL, f->y + 1) && !isSolidPos(f->x + CELL, f->y + CELL - s)) {
            f->x += s;
            pushForce = 0;
            walking = 1;
        } else {
            last_right = 0;
            pushAgainst(f, 1);
        }
    } else {
        last_right = 0;
    }

    // left; at the view's left edge the hero walks on the spot
    if (left || (idle && last_left && offGrid(f->x))) {
        last_left = 1;
        walking = -1;
        if (f->x <= step) {
            // held back by the edge of the view
        } else if (!isSolidPos(f->x - 1, f->y + 1) && !isSolidPos(f->x - 1, f->y + CELL - s)) {
            f->x -= s;
            pushForce = 0;
        } else {
            last_left = 0;
            walking = 0;
            pushAgainst(f, -1);
        }
    } else {
        last_left = 0;
    }
    return walking;
}

static void pickSprite(Figure* f, int walking) {
    // The cycle index is masked rather than taken modulo 4: walkCount runs negative after
    // walking left, and a negative remainder would pick an image outside the hero's.
    if (walking > 0) {
        f->walkCount++;
        f->sprite = SPRITE_RIGHT + ((f->walkCount / WALK_FRAMES) & 3);
    } else if (walking < 0) {
        f->walkCount--;
        f->sprite = SPRITE_LEFT + ((f->walkCount / WALK_FRAMES) & 3);
    }
    if (walking) {
        f->idleCount = 0;
        return;
    }
    f->idleCount++;
    if (f->idleCount > IDLE_FRAMES) {
        f->sprite = SPRITE_IDLE;
        f->walkCount = 0;
    } else if (f->sprite >= SPRITE_RIGHT && f->sprite < SPRITE_LEFT) {
        f->sprite = SPRITE_STAND_RIGHT;
    } else if (f->sprite >= SPRITE_LEFT && f->sprite < SPRITE_LEFT + 4) {
        f->sprite = SPRITE_STAND_LEFT;
    }
}

// Returns false when the hero was crushed and the frame ends there.
static bool verticalPhase(Figure* f, int jump) {
    // jump start: from ground, off a stomped monster or from a platform
    if (jump && !f->jumpHeld && (standsOnGround(f) || f->bounce || f->platform >= 0)) {
        f->vy = VY_JUMP;
        f->jumpHeld = 1;
        f->bounce = 0;
        f->platform = -1;
    } else {
        if (f->bounce) {
            f->vy = VY_BOUNCE;
            f->bounce = 0;
        }
        // riding
        if (f->platform >= 0 && f->platform < pcount) {
            const Platform& p = platforms[f->platform];
            f->y = p.y - CELL;
            if ((f->y & 15) == 0) {
                int above = p.y - 2 * CELL;
                if (p.dy < 0 &&
                    (isSolidPos(f->x, above) || isLeathalPos(f->x, above) ||
                     isSolidPos(f->x + CELL - 1, above) || isLeathalPos(f->x + CELL - 1, above))) {
                    figureDying(f, message(MSG_SMASHED), ANIM_DEATH_CRUSHED);
                    return false;
                }
                // sinking past ground level, the hero steps off onto the ground
                if (p.dy > 0 && (isSolidPos(f->x, p.y) || isSolidPos(f->x + CELL - 1, p.y)))
                    f->platform = -1;
            }
            f->vy = VY_REST;
            return true;
        }
    }

    // gravity
    f->y += f->vy / 4;
    f->vy += 1;
    if (standsOnGround(f)) {
        f->y &= ~15;
        f->vy = VY_REST;
    }
    return true;
}

static void touchProbes(Figure* f) {
    int X = f->x, Y = f->y;

    // door
    int here = getBlockAtPos(X, Y);
    if (here == CELL_DOOR_OPEN_BR)
        f->madeIt = 1;
    else if (here == CELL_DOOR_SHUT_BR)
        f->ringsMissing = 1;

    // lethal cells, the first of four points inside the hero's box
    const int px[4] = {X + 2, X + 13, X + 13, X + 2};
    const int py[4] = {Y + 2, Y + 2, Y + 13, Y + 13};
    for (int k = 0; k < 4; k++) {
        int v = isLeathalPos(px[k], py[k]);
        if (!v) continue;
        if (v == CELL_MINE) {
            if (startAnim(px[k], py[k], ANIM_EXPLODE)) playSFX(SND_KRACK);
            figureDying(f, message(MSG_BLOWN_UP), ANIM_NONE);
        } else {
            figureDying(f, message(MSG_IMPALED), ANIM_DEATH_SLASH);
        }
        break;
    }

    // trapdoor: once the hero is off it, it shuts behind him
    int onTrap = 0, tx = 0, ty = 0;
    if (getBlockAtPos(X, Y + 8) == CELL_TRAPDOOR) {
        onTrap = 1;
        tx = X & ~15;
        ty = (Y + 8) & ~15;
    } else if (getBlockAtPos(X + 15, Y + 8) == CELL_TRAPDOOR) {
        onTrap = 1;
        tx = (X + 15) & ~15;
        ty = (Y + 8) & ~15;
    }
    if (f->trapLatched && !(onTrap && tx == f->trapX && ty == f->trapY)) {
        if (startAnim(f->trapX, f->trapY, ANIM_TRAPDOOR)) playSFX(SND_TRDOOR);
    }
    f->trapLatched = onTrap;
    f->trapX = tx;
    f->trapY = ty;

    // spike trap under the hero's feet
    if (getBlockAtPos(X + 8, Y + 15) == CELL_SPIKES_HIDDEN) {
        if (startAnim(X + 8, Y + 15, ANIM_TRAP)) playSFX(SND_BOINK);
    }

    // pickups at the centre; one whose animation found no free slot stays for a later touch
    int cx = X + 8, cy = Y + 8;
    switch (getBlockAtPos(cx, cy)) {
    case CELL_LIFE:
        if (startAnim(cx, cy, ANIM_PICKUP)) addLife();
        break;
    case CELL_RING:
        if (startAnim(cx, cy, ANIM_PICKUP)) {
            playSFX(SND_CHEW);
            eatStar(f);
        }
        break;
    case CELL_BONUS:
        setBlock(cx >> 4, cy >> 4, CELL_BONUS_TAKEN);
        playSFX(SND_CHEW);
        addScore(20);
        break;
    default:
        break;
    }

    // checkpoint: the restart point is taken even when the flag's animation cannot start
    if (!checkpoint && getBlockAtPos(X + 8, Y + 14) == CELL_FLAG) {
        startx = (X + 8) & ~15;
        starty = (Y + 14) & ~15;
        startf = 1;
        if (startAnim(X + 8, Y + 14, ANIM_FLAG)) {
            playSFX(SND_KNIRK);
            checkpoint = 1;
        }
    }

    // head: bricks break, bump blocks shine, and the hero drops below the ceiling
    if (isSolidPos(X, Y) || isSolidPos(X + 15, Y)) {
        int v = getBlockAtPos(X + 8, Y);
        if (v == CELL_BRICK) {
            if (startAnim(X + 8, Y, ANIM_BRICK)) playSFX(SND_KRACK);
            addScore(1);
        } else if (v == CELL_BUMP) {
            if (startAnim(X + 8, Y, ANIM_SHINE)) playSFX(SND_KLONK);
        }
        f->vy = VY_REST;
        f->y = (Y + 15) & ~15;
    }

    // feet: crumbling floor
    int F = f->y + CELL;
    if (getBlockAtPos(X + 8, F) == CELL_CRUMBLE) startAnim(X + 8, F, ANIM_CRUMBLE);
    if (!isSolidPos(X + 8, F)) {
        if (getBlockAtPos(X, F) == CELL_CRUMBLE) startAnim(X, F, ANIM_CRUMBLE);
        if (getBlockAtPos(X + 15, F) == CELL_CRUMBLE) startAnim(X + 15, F, ANIM_CRUMBLE);
    }
}

void walk(Figure* f, int left, int right, int jump, int crawl, int step) {
    if (f->dying) {
        dyingMotion(f);
        return;
    }
    if (!f->alive) return;

    pickSprite(f, horizontalPhase(f, left, right, crawl, step));
    if (!verticalPhase(f, jump)) return;
    if (f->y >= 0 && f->y < appletHeight) touchProbes(f);

    if (!jump) f->jumpHeld = 0;

    // scroll
    if (f->x > step + scrollTwo)
        moveForward(2);
    else if (f->x > step + scrollOne)
        moveForward(1);

    if (f->dying) {
        dyingMotion(f);
    } else if (f->alive && f->y >= FALL_DEATH_Y) {
        f->alive = 0;
        f->idleCount = DEATH_WAIT;
        setMessage(message(MSG_FELL));
    }
}
