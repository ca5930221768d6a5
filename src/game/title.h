// The title screen's own frame step: the self-scrolling view and the input of the main
// menu and its sub-screens.
#pragma once

struct Figure;

// The title part of a frame, after the world update: the options step alone while a
// binding capture runs, else the view scrolls on and the menu reads its input.
void titleStep(Figure* hero);
// The input of the title for the current `workflow`.
void titleInput(Figure* hero);
