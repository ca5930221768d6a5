// The game: run is the loop of attempts from the title screen through the stages, with the
// menus, the pause menu, the quit dialog and the end-of-attempt decisions.
#pragma once

extern int saved;  // stages cleared according to the savegame, 0 = none
extern int hsRank; // place of the last new hiscore entry, -1 = none

void run(int testMode);
