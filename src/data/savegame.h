// The savegame ./savegame.dat: one salted, masked 32-bit word holding the number of stages
// cleared (1 ... 10).
#pragma once

constexpr int SAVEGAME_MAX_STAGE = 10;
constexpr int SAVEGAME_BYTES = 4;

// The stored value when the file is valid (1 ... 10), else 0.
int loadGame();

// Writes the file for `cleared` stages with a fresh random salt; returns `cleared`. A value
// outside 1 ... 10 would read back as no savegame, so it is not written and the old file stays.
int writeSavegame(int cleared);

// The file's four bytes for `cleared` stages under the 16-bit salt `salt`.
void encodeSavegame(int cleared, unsigned salt, unsigned char bytes[SAVEGAME_BYTES]);

// The value the four bytes of a file hold (1 ... 10), or 0 when they are no valid savegame.
int decodeSavegame(const unsigned char bytes[SAVEGAME_BYTES]);
