// The world's scalar globals come in lists, one in the header of each owner (PROGRESS_STATE
// in world/flowstate.h, MAP_STATE in world/map.h, HERO_STATE in world/figure.h,
// COUNTDOWN_STATE in world/pickups.h), each entry X(type, name, value at start-up). The
// owner declares and defines its globals from its list and the snapshot saves and restores
// them from all the lists, so a global added to a list cannot be left out of a saved world.
#pragma once

#define DECLARE_WORLD_GLOBAL(type, name, init) extern type name;
#define DEFINE_WORLD_GLOBAL(type, name, init) type name = init;
