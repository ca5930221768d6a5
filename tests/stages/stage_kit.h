// What the stage tests share: where the stage sources, replays and built archives are, the
// stages read back from the maps archive, small test stages compiled from rows of symbols,
// and attempts played from a replay with a record of what happened on the way.
#pragma once
#include "stagetext.h"

#include "sim/stagerun.h"
#include "world/replay.h"

#include <string>
#include <vector>

constexpr int LAST_STAGE = 10;

std::string stageName(int stage); // "trobz3NN"
std::string stageSourcePath(int stage);
std::string legendPath();
std::string replayPath(int stage, bool fromCheckpoint = false);
// Stage file bytes, decoded; the test fails at the caller when they are not a stage.
StageGrid decodeOrFail(const std::vector<uint8_t>& bytes);

// The legend of the small test stages: ". @ o [ ] { } - X B m !" for nothing, start,
// ring, the door's four cells, lift, push block, brick, MASKY and flag, then the
// tile sets "grass" (= grass, # earth) and "rock" (= rock).
extern const char* const TEST_LEGEND;

// A stage text compiled with a legend given as text.
struct Compiled {
    bool ok = false;
    StageSource source;
    StageGrid grid;
    std::vector<std::string> errors;
};
Compiled compileWith(const std::string& legendText, const std::string& stageText, bool playable);
// The stage file of a playable grass stage with these rows; the test fails when it is not.
std::vector<uint8_t> testStage(const std::vector<std::string>& rows);

// What an attempt played from a replay went through.
struct Playthrough {
    StageResult result;
    int startx = 0;                     // where the hero was placed
    int rings = 0;                      // rings that counted at the start
    int door = -1;                      // the door's top left cell
    int doorOpenTL = 0, doorOpenBR = 0; // the door's cells at the end
    int maxX = 0;                       // furthest the hero got
    bool touchedFlag = false;           // a checkpoint was taken on the way
    int timeLeft = 0;
    bool alive = false, madeIt = false;
};

// Plays a stage of the built archive from its start (or from its checkpoint flag, as after
// a death past it) with the given input.
Playthrough playStage(int stage, const Replay& replay, bool fromCheckpoint = false);
