// The stage solver: a beam search over held inputs that plays a stage through the game's own
// stage runner, saving and restoring the world between tries, until the hero stands in the
// open door with every ring taken. Its guide is the distance, over a map of where the hero
// can walk, fall and jump, from the hero to the next goal: the leftmost ring still there, or
// the door once all are taken.
#pragma once
#include "world/replay.h"

#include <cstdint>
#include <string>
#include <vector>

struct SolverOptions {
    int stage = 1;               // the stage number the map is played as (1 ... 10; -1 test map)
    int beam = 400;              // states kept after each decision
    int stepFrames = 4;          // frames an input is held before the next decision
    int maxFrames = 9000;        // give up when the clock would run out
    double seconds = 600;        // give up after this much search time
    bool fromCheckpoint = false; // start at the checkpoint flag, as after a death past it
    bool verbose = false;        // progress on stderr
};

struct RingCell {
    int column, row;
};

struct SolverResult {
    bool cleared = false;
    Replay replay;      // the input that clears the stage, or the best try when not cleared
    int frames = 0;     // frames the clear takes
    int timeLeft = 0;   // frames left on the clock then
    int rings = 0;      // rings that count in this attempt
    int bestRings = 0;  // most rings any try collected
    int layers = 0;     // decisions searched
    double seconds = 0; // search time
    std::vector<RingCell> unreached; // rings no try ever collected
    std::string problem;             // why there is no answer
};

// Solves the stage in these stage-file bytes.
SolverResult solveStage(const std::vector<uint8_t>& stageBytes, const SolverOptions& options);
