// The stage runner: the set-up of an attempt and one frame of the world. Every attempt
// reloads the map, so a death undoes everything but the restart point, score and lives.
// The order of a frame matters: the animations change the map first, the monsters then
// test the hero's position of the previous frame, the platforms pick the one carrying the
// hero, and only then does the hero move and the clock run.
#include "world/stage.h"

#include "anim/anims.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/pickups.h"
#include "world/platforms.h"

// Frames the title waits before it may end (it never does: the menu ends it).
constexpr int TITLE_IDLE = 180;

void resetStartPosition() {
    startx = START_X;
    starty = START_Y;
    startf = 0;
}

void resetWorldState() {
    last_left = last_right = 0;
    step = 0;
    stars = 0;
    pushForce = 0;
    clearAnims();
    killMonsters();
    // no map loaded yet: the first attempt loads one
    freeLevel();
}

void resetGameProgress() {
    level = LEVEL_TITLE;
    score = 0;
    lives = START_LIVES;
    setMessage(nullptr);
}

void prepareFirstAttempt(int stage) {
    resetWorldState();
    resetGameProgress();
    resetStartPosition();
    level = stage;
    paused = 0;
    escape = 0;
}

static void resetAttempt() {
    timeLeft = TIME_LIMIT;
    airLeft = AIR_LIMIT;
    pushForce = 0;
    killMonsters();
    clearAnims();
}

static void placeHero(Figure* hero) {
    if (level == LEVEL_TITLE) {
        // the title runs its stage without a hero
        hero->alive = 0;
        hero->dying = 0;
        hero->idleCount = TITLE_IDLE;
        hero->platform = -1;
        setMessage(nullptr);
        return;
    }
    placeFigure(hero, startx, lowerOntoGround(startx, starty));
}

void beginAttempt(Figure* hero, const char* mapName) {
    resetAttempt();
    loadLevel(mapName);
    placeHero(hero);
}

int beginAttemptFromBytes(Figure* hero, const unsigned char* bytes, int size) {
    resetAttempt();
    if (!loadLevelFromBytes(bytes, size)) return 0;
    placeHero(hero);
    return 1;
}

void stageFrame(Figure* hero, const StageInput& in, int* splashPlayed) {
    updateAnims(hero);
    updateMonsters(hero);
    updatePlatforms(hero);
    if (!hero->alive) return;
    walk(hero, in.left, in.right, in.jump, in.crawl, step);
    countdowns(hero, splashPlayed);
}
