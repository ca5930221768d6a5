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
// During play every write to the map goes through these two (the loader builds both maps
// itself, and setDoor writes the live map only). setBlock writes a cell of the live map and,
// unless the value is a push block or the marker of one in motion, the map under it too.
void setBlock(int column, int row, int value);
// The map under a cell takes what the live map shows there: a push block is about to cover
// the cell, and this is what it shows again once the block has moved on.
void keepUnder(int column, int row);
