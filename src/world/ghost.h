// Time trials, asked for with -ghost. Every attempt of a stage from its start is recorded:
// the controls and the hero's place in each frame of play. A clear that beats the stage's
// best run replaces its run file, and while the stage is played from its start the best
// run's hero runs along as a translucent ghost, drawn from the recorded places. Without
// -ghost none of it happens.
#pragma once
#include "world/stage.h"

struct Figure;

extern int ghostMode; // 1 with -ghost on the command line (set at start-up)

// The flow calls these at the start of every attempt (map loaded, hero placed), after every
// frame in which the world ran, and once the attempt is over.
void ghostBeginAttempt();
void ghostAfterFrame(const StageInput& in, const Figure* hero);
void ghostEndAttempt(const Figure* hero);

// The best run's hero as it was after as many frames of play as this attempt has run; not
// before the first, nor after the run's last.
void drawGhost();

// The stage-clear tally's line for the clear just made: its time, the best time, and
// "NEW BEST" when it was. False when there is nothing to show.
bool ghostTallyLine(char* text, int size);
