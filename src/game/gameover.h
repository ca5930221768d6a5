// Game over: the screen over the still living stage, the name entry for a good score, and
// the question whether to go on at the stage just lost.
#pragma once

struct Figure;

// Runs when the last life is lost. Afterwards a fresh game stands either at the lost stage
// (LEFT: continue) or on the title (RIGHT), opening on the hiscore table when the score
// made it there.
void gameOver(Figure* hero);

// A fresh game that keeps `place` as the newest hiscore entry.
void resetAfterGame(int place);
