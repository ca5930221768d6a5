// A copy of everything a stage frame reads or writes, so that a stage attempt can be saved
// and put back: the search of the stage solver tries many inputs from one moment of play.
// The map is the big part; a snapshot may keep only a range of its columns, for callers that
// know the rest cannot matter (see saveWorld).
#pragma once
#include "anim/anims.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/pickups.h"
#include "world/platforms.h"

#include <vector>

// Every scalar global of the world, from the lists of their owners (world/statelist.h).
#define WORLD_STATE(X) PROGRESS_STATE(X) MAP_STATE(X) HERO_STATE(X) COUNTDOWN_STATE(X)

struct WorldSnapshot {
    // map cells of the saved columns, both maps
    int mapLength = 0;
    int firstColumn = 0, columns = 0;
    std::vector<int> cells, ori;
    // actors
    Monster monst[MAX_MONSTERS];
    AnimObject aos[MAX_ANIMS];
    Platform platforms[MAX_PLATFORMS];
    Figure hero;
    // the stage's counters and flags
#define WORLD_SNAPSHOT_FIELD(type, name, init) type name = init;
    WORLD_STATE(WORLD_SNAPSHOT_FIELD)
#undef WORLD_SNAPSHOT_FIELD
    int splashPlayed = 0;
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
