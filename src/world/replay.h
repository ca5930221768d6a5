// Replays: the input of a stage attempt as a small text file of runs, one per line: the
// controls held (L left, R right, J jump, D down, in any order, or "-" for none) and for
// how many frames, e.g. "RJ 12". Blank lines and text after '#' are ignored. Frame 0 is
// the first frame after the stage intro.
#pragma once
#include "world/stage.h"

#include <string>
#include <vector>

constexpr int REPLAY_MAX_RUN = 1000000;      // frames in one line
constexpr int REPLAY_MAX_FRAMES = 100000000; // frames in a whole replay

struct ReplayRun {
    StageInput input;
    int frames; // 1 ... REPLAY_MAX_RUN
    int first;  // frame number of the run's first frame
};

struct Replay {
    std::vector<ReplayRun> runs;
    int totalFrames = 0;
};

// Reads replay text. A malformed line makes it return false with "line N: reason" in
// *error; *replay is then left empty.
bool parseReplay(const std::string& text, Replay* replay, std::string* error);
// The same for a file; an unreadable file is an error too.
bool loadReplay(const char* path, Replay* replay, std::string* error);
// The input of a frame; nothing is held before frame 0 or after the last run.
StageInput replayInput(const Replay& replay, int frame);
// Appends a run, merging it into the last one when the input is the same. Counts that
// would break the limits are refused (false).
bool appendRun(Replay* replay, const StageInput& input, int frames);
// The text of a replay, one line per run.
std::string formatReplay(const Replay& replay);
