// Drawing a stage frame: backdrop, the two tile planes with the actors between them, the
// status line, the stage messages, the pause menu and the title screen.
#pragma once

struct Figure;

void drawScreen(int frame, Figure* hero, int present);
void drawTiles(int frame, int plane);
void drawBlock(int x, int y, int index);
void drawWBlock(int x, int y, int frame, int kind);
void drawFigure(const Figure* hero);
void drawSprite(int x, int y, int index);
