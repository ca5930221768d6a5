// The stage economy: score, extra lives, rings and the door, and the time and oxygen
// countdowns.
#pragma once

struct Figure;

constexpr int TIME_LIMIT = 9000; // frames per attempt
constexpr int AIR_LIMIT = 620;   // frames of oxygen

extern int timeLeft;
extern int airLeft;

void addScore(int points);
int addScore2(int points, int giveLife);
void eatStar(Figure* hero);
void addLife();

// The countdowns of one frame, time first; splashPlayed tracks the splash sound.
void countdowns(Figure* hero, int* splashPlayed);
