// A stage's best run as the game keeps it in runs/trobz3NN.txt: a replay that playstage
// reads as it is, headed by a comment line with the stage, the frames of play, the points
// and the rings of the run, and followed by the hero's place and sprite after every frame
// as comment lines ("#@ X Y SPRITE"), which the replay reader skips and the ghost is drawn
// from.
#pragma once
#include "world/pickups.h"
#include "world/replay.h"

#include <string>
#include <vector>

// A stage is cleared before its clock runs out, so no run is longer.
constexpr int GHOST_RUN_MAX_FRAMES = TIME_LIMIT;
// Bytes read of a run file at most; a real run holds well under a fifth of this.
constexpr long GHOST_RUN_MAX_BYTES = 1L << 20;

// The hero after one frame of play.
struct GhostFrame {
    int x, y;   // world px
    int sprite; // block image
};

struct GhostRun {
    int stage = 0;                 // 1 ... 10
    int frames = 0;                // frames of play, the first one to the one in the door
    int score = 0;                 // points scored on the way
    int rings = 0;                 // rings taken
    Replay input;                  // the controls held in each frame
    std::vector<GhostFrame> trail; // one entry per frame
};

// The text of a run file.
std::string formatGhostRun(const GhostRun& run);
// Reads the text of a run of `stage`. Anything but a whole run of that stage (a broken or
// cut line, counts that disagree, a value out of range, another stage's run, a plain
// replay) gives false and an empty *run.
bool parseGhostRun(const std::string& text, int stage, GhostRun* run);

// "runs/trobz3NN.txt", relative to the working directory.
std::string ghostRunPath(int stage);
// The run file of `stage`, read within GHOST_RUN_MAX_BYTES; false when there is no usable
// one.
bool loadGhostRun(int stage, GhostRun* run);
// Makes runs/ when needed and replaces the stage's run file whole (never half-written).
bool saveGhostRun(const GhostRun& run);

// "m:ss.hh": minutes, seconds and hundredths of a count of frames at 60 a second.
std::string formatRunTime(int frames);
