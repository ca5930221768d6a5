// The exact length of one play of a MOD or XM module, counted in output frames, worked out
// from its order list, rows and speed and tempo commands. The player needs it to start a
// repeat on the very frame where the previous play ends: the library itself only says where
// a module ends one buffer too late, after padding the last read with silence.
#pragma once
#include <cstddef>

// Frames that one play of the module renders at `frequency` Hz, or 0 when the length cannot
// be told exactly: the bytes are not a MOD or XM module the walk understands, or the module
// uses pattern loops, pattern delays, backward jumps or a speed of 0.
long moduleFrames(const void* bytes, size_t size, int frequency);

// Frames of one tick at the given tempo (BPM), as the library mixes them.
long framesPerTick(int frequency, int tempo);
