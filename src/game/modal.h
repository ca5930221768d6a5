// The modal screens of the flow (game over, "CONTINUE?", the tally, the name entry, the
// quit dialog, the story pages) block the attempt until they are over. Each is a row of
// its own rules; the two loops here run them, and set `flowScreen` to the screen running.
#pragma once

#include <functional>

struct ModalScreen {
    int flow;                               // the FlowScreen shown while it runs
    std::function<int()> update;            // one frame's rules; nonzero: the screen is over
    std::function<void()> draw;             // the picture, drawn unless the frame is skipped
    std::function<void()> frameEnd = [] {}; // after the picture, before the pacing
};

// A screen that lives at the game's pace, like the stage behind it: update, then (unless
// the frame is skipped) draw and present, then the frame end and the pacing.
void runModalScreen(const ModalScreen& s);

// A still picture waiting for an answer: drawn and presented once, then `poll` reads the
// input every 100 ms until `answered`. A wait this slow leaves nothing to pace.
void runStillScreen(int flow, const std::function<void()>& draw,
                    const std::function<int()>& answered, const std::function<void()>& poll);
