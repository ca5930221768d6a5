// Playing one stage attempt from a replay instead of a player, frame by frame in the
// game's own order, until the hero makes it out, dies, or the replay has long run out.
// The stage tools and the tests use it to prove stages clearable.
#pragma once
#include "world/replay.h"

#include <string>

struct Figure;

// After the last input the hero gets this many frames to finish what he started.
constexpr int REPLAY_GRACE_FRAMES = 60;

enum StageOutcome {
    STAGE_CLEARED, // the hero stands in the open door
    STAGE_DIED,    // the hero started dying or left the stage
    STAGE_ENDED,   // the replay and the grace frames ran out
};

struct StageResult {
    StageOutcome outcome;
    int frame; // the frame it ended in; play starts with frame 1
    int score, lives;
    int rings;           // rings still missing
    std::string message; // the death message
};

// Called after each frame; frame 0 is the stage as the intro leaves it, before any play.
typedef void (*FrameObserver)(int frame, Figure* hero, void* context);

// Plays an attempt already begun (beginAttempt) with the replay's input.
StageResult playReplay(Figure* hero, const Replay& replay, FrameObserver observer, void* context);
