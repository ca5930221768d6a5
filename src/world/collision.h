// Point queries against the map: every collision in the game is one of these probes.
#pragma once

struct Figure;

int getBlockAtPos(int x, int y);
int getBlock(int column, int row);
int isSolidBlock(int value);
int isPushBlock(int value);
int isSolidPos(int x, int y);
int isLeathalPos(int x, int y);
int isPushPos(int x, int y);
int isWet(const Figure* f);
void setBlock(int column, int row, int value);
