// Start-up and shutdown: the command line, the subsystems in their fixed order, the intro
// screens, and the hand-over to the game.
#pragma once

// The whole program; returns the process status.
int gameMain(int argc, char** argv);

// Releases everything in the fixed shutdown order; returns 0.
int exitGame();
