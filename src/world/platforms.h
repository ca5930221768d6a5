// Moving platforms: one-cell lifts going up and down their column at 1 px per frame.
#pragma once

struct Figure;

struct Platform {
    int x;  // left edge, world px
    int y;  // top edge, world px
    int dy; // +1 down, -1 up
};

constexpr int MAX_PLATFORMS = 64;
extern Platform platforms[MAX_PLATFORMS];

int updatePlatform(Platform* p, Figure* hero);
void updatePlatforms(Figure* hero);
void drawPlatform(const Platform* p);
void drawPlatforms();
