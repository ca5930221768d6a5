// Numbers the MOD and XM formats fix: the timing walk reads modules by them and the music
// tool writes modules with them.
#pragma once

// Pattern effects, the same numbers in MOD and XM.
constexpr int FX_JUMP = 0x0B;
constexpr int FX_VOLUME = 0x0C;
constexpr int FX_BREAK = 0x0D;
constexpr int FX_EXTENDED = 0x0E;
constexpr int FX_SPEED = 0x0F; // below 0x20 ticks per row, from 0x20 on BPM
// Extended effects: FX_EXTENDED with this in the parameter's high nibble.
constexpr int EXT_LOOP = 0x6;
constexpr int EXT_DELAY = 0xE;

// ProTracker starts every module at speed 6, 125 BPM.
constexpr int MOD_SPEED = 6;
constexpr int MOD_TEMPO = 125;
constexpr int MOD_ROWS = 64;    // rows of every MOD pattern
constexpr int MOD_ORDERS = 128; // entries of a MOD's order list
