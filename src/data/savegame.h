// The savegame ./savegame.dat: one salted, masked 32-bit word holding the number of stages
// cleared (1 ... 10).
#pragma once

// The stored value when the file is valid (1 ... 10), else 0.
int loadGame();

// Writes the file for `cleared` stages with a fresh random salt; returns `cleared`.
int writeSavegame(int cleared);
