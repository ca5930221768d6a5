// The pause menu of a stage and the quit dialog.
#pragma once

struct Figure;

// One frame of the open pause menu: the cursor moves with the directions and JUMP or
// START chooses "SUICIDE", "GO ON" or "EXIT".
void pauseMenuStep(Figure* hero);

// "SURE TO QUIT?" over the stage, waiting for LEFT (yes: `escape` stays set and the
// attempt ends) or RIGHT (no: the request is dropped and the stage goes on).
void quitDialog(Figure* hero);
