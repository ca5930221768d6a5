// A copy of everything a stage frame reads or writes, so that a stage attempt can be saved
// and put back: the search of the stage solver tries many inputs from one moment of play.
// The map is the big part; a snapshot may keep only a range of its columns, for callers that
// know the rest cannot matter (see saveWorld).
#pragma once
#include "anim/anims.h"
#include "world/figure.h"
#include "world/gamestate.h"
#include "world/monsters.h"
#include "world/platforms.h"

#include <vector>

struct WorldSnapshot {
    // map cells of the saved columns, both maps
    int mapLength = 0;
    int firstColumn = 0, columns = 0;
    std::vector<int> cells, ori;
    // actors
    Monster monst[MAX_MONSTERS];
    AnimObject aos[MAX_ANIMS];
    Platform platforms[MAX_PLATFORMS];
    int pcount = 0;
    Figure hero;
    // the stage's counters and flags
    int level = 0, stars = 0, stars0 = 0, door = -1, score = 0, lives = 0;
    int timeLeft = 0, airLeft = 0, step = 0;
    int startx = 0, starty = 0, startf = 0, checkpoint = 0;
    int pushForce = 0, lastLeft = 0, lastRight = 0, splashPlayed = 0;
    char messageString[MESSAGE_SIZE];
};

// Saves the world with the map columns first ... last (clipped to the map; the whole map by
// default).
void saveWorld(WorldSnapshot* s, const Figure* hero, int splashPlayed, int first = 0,
               int last = 1 << 30);

// Puts a saved world back: every global it saved and the saved map columns; the other
// columns keep what they hold. Refused (0) when the loaded map is not as wide as the saved
// one, since the saved cells would not fit it.
int restoreWorld(const WorldSnapshot& s, Figure* hero, int* splashPlayed);
