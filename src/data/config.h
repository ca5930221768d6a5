// The configuration file ./trobz3.cfg: key=value lines for volumes, bindings, the music
// player's parameters and the screen mode. Also builds the names of the game's own files.
#pragma once
#include <cstdio>

constexpr int FNAME_BUF_SIZE = 1024;
extern char fname_buf[FNAME_BUF_SIZE];

// "./dir/name.ext", or "./name.ext" without a directory, in fname_buf.
const char* filename(const char* dir, const char* name, const char* ext);

constexpr int NUM_PARAMS = 7;
// Control names, in the order of the bindings in the file: "jump", "pause", "start", "up",
// "down", "left", "right".
extern const char* const params[NUM_PARAMS];

void loadGfxConfig();
void loadConfig();
void dumpConfig();
void dumpKey(const char* name, int key, FILE* file);
