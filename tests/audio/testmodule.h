// A tiny four-channel module built in memory for the player tests: one looping square
// sample that sounds on every row, so any silence in the output is the player's doing.
#pragma once
#include <cstdint>
#include <vector>

constexpr int TEST_ROWS = 16;
constexpr int TEST_FRAMES_PER_TICK = 441; // 125 BPM at 22050 Hz
// One play at speed 1: 16 rows of one tick each.
constexpr long TEST_PLAY_FRAMES = TEST_ROWS * TEST_FRAMES_PER_TICK;
constexpr int BUFFER_FRAMES = 1024;
constexpr int BUFFER_BYTES = BUFFER_FRAMES * 4;

// The module's bytes; `extraEffect` (e.g. 0x0E60, a pattern loop) is put on row 3 when set.
std::vector<uint8_t> testModule(int extraEffect = 0);
