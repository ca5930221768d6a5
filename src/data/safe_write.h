// Replacing one of the game's own files (configuration, hiscores, savegame) so that a full
// disk, a failed write or a crash never leaves it half-written: the new content goes into a
// temporary file beside it, which is renamed over the old file only once it is complete.
#pragma once
#include <cstddef>

// Makes `size` bytes of `data` the new content of `path`. Returns true when `path` holds them;
// on false the old file (if any) is as it was and no temporary file is left behind.
bool writeFileSafely(const char* path, const void* data, size_t size);
