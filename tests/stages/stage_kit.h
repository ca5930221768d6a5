// What the stage tests share: where the stage sources, replays and built archives are, the
// stages read back from the maps archive, and attempts played from a replay with a record of
// what happened on the way.
#pragma once
#include "stagetext.h"

#include "world/figure.h"
#include "world/replay.h"
#include "world/stagerun.h"

#include <string>
#include <vector>

constexpr int FIRST_STAGE = 1;
constexpr int LAST_STAGE = 10;

std::string stageSourcePath(int stage); // assets/stages/trobz3NN.stage
std::string legendPath();
std::string replayPath(int stage, bool fromCheckpoint = false);
std::string stageName(int stage); // "trobz3NN"

// The legend file of the sources; the test fails at the caller when it cannot be read.
const LegendFile& sourceLegend();

// The stage as the game reads it from data/maps.zda of the build; empty when it is missing.
std::vector<uint8_t> archivedStage(int stage);

// A stage text compiled with a legend given as text (for malformed-input tests).
struct Compiled {
    bool ok = false;
    StageSource source;
    StageGrid grid;
    std::vector<std::string> errors;
};
Compiled compileWith(const std::string& legendText, const std::string& stageText, bool playable,
                     const std::string& file = "test.stage");

// The column and row of the first cell holding a value, or false.
bool findCell(const StageGrid& grid, int value, int* column, int* row);

// What an attempt played from a replay went through.
struct Playthrough {
    StageResult result;
    int startx = 0, starty = 0; // where the hero was placed
    int rings = 0;              // rings that counted at the start
    int door = -1;
    int doorOpenTL = 0, doorOpenBR = 0; // the door's cells at the end
    int maxX = 0;                       // furthest the hero got
    bool touchedFlag = false;           // a checkpoint was taken on the way
    int timeLeft = 0;
    bool alive = false, madeIt = false;
};

// Plays a stage of the built archive from its start (or from its checkpoint flag, as after
// a death past it) with the given input.
Playthrough playStage(int stage, const Replay& replay, bool fromCheckpoint = false);
