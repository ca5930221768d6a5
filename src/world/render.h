// Drawing a stage frame: backdrop, the two tile planes with the actors between them, the
// status line, the stage messages, the pause menu and the title screen.
#pragma once

struct Figure;

// Blinking items are left out while this bit of the frame counter is set: 32 frames shown,
// 32 hidden. Every screen over a stage blinks to it.
constexpr int BLINK = 32;

// One whole frame; with present set it is shown (unless the pacer skips it) and paced.
void drawScreen(int frame, Figure* hero, int present);
void drawTiles(int frame, int plane);
void drawBlock(int x, int y, int index);
void drawWBlock(int x, int y, int frame, int kind);
void drawFigure(const Figure* hero);
// Block image `index` at world position (x, y): the sprites of the hero, monsters,
// platforms and animations.
void drawSprite(int x, int y, int index);

// The parts of drawScreen below the world (statusline.cpp).
void drawStageBars();                                  // time and oxygen bars
void drawStatusLine();                                 // lives, score, rings, stage
void drawStageMessages(int frame, const Figure* hero); // messages and the pause menu
void drawTitle(int frame);                             // logo, version, scroller, menu
