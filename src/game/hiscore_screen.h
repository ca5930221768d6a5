// The hiscore screens: the name entry at the end of a game whose score made the table, and
// the table itself as a sub-screen of the title, with the newest entry blinking.
#pragma once

struct Figure;

constexpr int NAME_ENTRY_COOLDOWN = 10; // frames between two steps of a held control

// Lets the player name a score that beats the tenth entry, stores it and saves the table.
// Returns the entry's place 0 ... 9, or -1 when the score does not qualify. The hero is
// only needed to draw the stage behind the entry.
int checkHiscore(Figure* hero);

// The letters of a name: the blank and A ... Z, stepping around in a ring.
char nextNameChar(char c);
char previousNameChar(char c);

// Draws the table over the picture (row `hsRank` blinks with the frame counter), presents
// it unless the frame is skipped, and paces.
void hiscoreOverlay(int frame);
