// The stage economy: score, extra lives, rings and the door, and the time and oxygen
// countdowns.
#pragma once
#include "world/statelist.h"

struct Figure;

constexpr int TIME_LIMIT = 9000; // frames per attempt
constexpr int AIR_LIMIT = 620;   // frames of oxygen

// The countdowns (see world/statelist.h).
#define COUNTDOWN_STATE(X)                                                                         \
    X(int, timeLeft, TIME_LIMIT) /* frames left of the attempt */                                  \
    X(int, airLeft, AIR_LIMIT)   /* frames of oxygen left */
COUNTDOWN_STATE(DECLARE_WORLD_GLOBAL)

void addScore(int points);
int addScore2(int points, int giveLife);
void eatStar(Figure* hero);
void addLife();

// The countdowns of one frame, time first; splashPlayed tracks the splash sound.
void countdowns(Figure* hero, int* splashPlayed);
