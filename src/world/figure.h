// The hero: the Figure record and its movement, once per frame in walk: walking, the
// fixed-height jump, gravity in quarter pixels, riding platforms, pushing blocks, the touch
// probes for pickups, traps and checkpoints, and death.
#pragma once
#include "world/statelist.h"

struct Figure {
    int x, y;                      // top-left corner, world px; the box is 16x16
    int vy;                        // vertical speed, quarter px per frame; 7 at rest
    int walkCount;                 // walk-cycle counter
    int idleCount;                 // frames standing; after death, the flow's countdown
    int sprite;                    // block image drawn for the hero
    int alive;                     // takes part in the stage
    int dying;                     // from a fatal hit on
    int madeIt;                    // stands in the open door
    int ringsMissing;              // stands at the closed door
    int jumpHeld;                  // jump input held since the jump began
    int bounce;                    // stomped a monster; consumed by the next walk
    int trapLatched, trapX, trapY; // trapdoor cell the hero is on
    int platform;                  // index of the carrying platform, -1 none
    int deathAnim;                 // animation kind of the current death, 0 none
};

// Hero sprites.
constexpr int SPRITE_RIGHT = 1; // 1 ... 4 walking right
constexpr int SPRITE_LEFT = 5;  // 5 ... 8 walking left
constexpr int SPRITE_STAND_RIGHT = 65;
constexpr int SPRITE_STAND_LEFT = 68;
constexpr int SPRITE_IDLE = 24;

// A dying hero's last fall ends the attempt below this y, px (the flow's skip key puts him
// there at once).
constexpr int DEATH_FALL_END = 2500;

// Scroll thresholds, px from the view's left edge.
constexpr int scrollOne = 200;
constexpr int scrollTwo = 230;

// The hero's momentum (see world/statelist.h).
#define HERO_STATE(X)                                                                              \
    X(int, last_left, 0) /* 1 while the hero keeps walking that way */                             \
    X(int, last_right, 0)                                                                          \
    X(int, pushForce, 0) /* frames of pushing against a block */
HERO_STATE(DECLARE_WORLD_GLOBAL)

int isActive(const Figure* f);   // alive and not dying
int haveMadeit(const Figure* f); // alive and in the open door

void placeFigure(Figure* f, int x, int y);
// The start position's y lowered onto the ground below it (stops at the bottom row).
int lowerOntoGround(int x, int y);
void walk(Figure* f, int left, int right, int jump, int crawl, int step);
void figureDying(Figure* f, const char* message, int animKind);
void killFigure(Figure* f, const char* message, int animKind);
