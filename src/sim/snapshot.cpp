// Saving and restoring the world of a stage attempt.
#include "sim/snapshot.h"

#include "world/map.h"
#include "world/pickups.h"

#include <algorithm>
#include <cstring>

void saveWorld(WorldSnapshot* s, const Figure* hero, int splashPlayed, int first, int last) {
    s->mapLength = mapLength;
    first = std::max(first, 0);
    last = std::min(last, mapLength - 1);
    s->firstColumn = first;
    s->columns = last >= first ? last - first + 1 : 0;
    const size_t begin = size_t(first) * MAP_ROWS, count = size_t(s->columns) * MAP_ROWS;
    if (mapData && mapOri && count) {
        s->cells.assign(mapData + begin, mapData + begin + count);
        s->ori.assign(mapOri + begin, mapOri + begin + count);
    } else {
        s->cells.clear();
        s->ori.clear();
        s->columns = 0;
    }
    std::memcpy(s->monst, monst, sizeof monst);
    std::memcpy(s->aos, aos, sizeof aos);
    std::memcpy(s->platforms, platforms, sizeof platforms);
    s->hero = *hero;
#define SAVE(type, name, init) s->name = name;
    WORLD_STATE(SAVE)
#undef SAVE
    s->splashPlayed = splashPlayed;
    std::memcpy(s->messageString, messageString, sizeof messageString);
}

int restoreWorld(const WorldSnapshot& s, Figure* hero, int* splashPlayed) {
    if (s.mapLength != mapLength || (s.columns > 0 && (!mapData || !mapOri))) return 0;
    // the saved columns must lie inside the map, or the copy would write past it
    const size_t begin = size_t(std::max(s.firstColumn, 0)) * MAP_ROWS;
    if (s.firstColumn < 0 || s.cells.size() != size_t(std::max(s.columns, 0)) * MAP_ROWS ||
        s.ori.size() != s.cells.size() ||
        begin + s.cells.size() > size_t(std::max(mapLength, 0)) * MAP_ROWS || s.pcount < 0 ||
        s.pcount > MAX_PLATFORMS)
        return 0;
    std::copy(s.cells.begin(), s.cells.end(), mapData + begin);
    std::copy(s.ori.begin(), s.ori.end(), mapOri + begin);
    std::memcpy(monst, s.monst, sizeof monst);
    std::memcpy(aos, s.aos, sizeof aos);
    std::memcpy(platforms, s.platforms, sizeof platforms);
    *hero = s.hero;
#define RESTORE(type, name, init) name = s.name;
    WORLD_STATE(RESTORE)
#undef RESTORE
    if (splashPlayed) *splashPlayed = s.splashPlayed;
    std::memcpy(messageString, s.messageString, sizeof messageString);
    return 1;
}
