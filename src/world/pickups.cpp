// The stage economy: points with an extra life at every new hundred, rings that open the
// door when the last one is taken, the extra-life pickup, and the time and oxygen that run
// down every frame the hero takes part in the stage.
#include "world/pickups.h"

#include "anim/anims.h"
#include "audio/sound.h"
#include "gfx/messages.h"
#include "world/collision.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"

COUNTDOWN_STATE(DEFINE_WORLD_GLOBAL)

constexpr int POINTS_PER_LIFE = 100;
constexpr int AIR_REFILL = 2;                            // per frame out of the water
constexpr int AIR_REFILL_BELOW = AIR_LIMIT - AIR_REFILL; // refills while at or under this

// Adds points up to the cap; returns 1 when the number of whole hundreds grew. A capped
// score counts as 99 hundreds, so passing 9999 from the 9900s gives nothing.
static int raiseScore(int points) {
    if (score > MAX_SCORE - 1) return 0;
    int before = score / POINTS_PER_LIFE;
    score += points;
    if (score > MAX_SCORE) score = MAX_SCORE;
    return score / POINTS_PER_LIFE > before;
}

void addLife() {
    if (lives > MAX_LIVES - 1) return;
    playSFX(SND_TADA);
    lives++;
}

void addScore(int points) {
    if (raiseScore(points)) addLife();
}

int addScore2(int points, int giveLife) {
    int grew = raiseScore(points);
    if (grew && giveLife) addLife();
    return grew;
}

void eatStar(Figure* hero) {
    addScore(1);
    stars--;
    if (stars == 0) {
        playSFX(SND_KLACK);
        // only the live map: a death brings the closed door back with the rings
        setDoor(CELL_DOOR_OPEN_TL, CELL_DOOR_OPEN_TR, CELL_DOOR_OPEN_BL, CELL_DOOR_OPEN_BR);
        hero->ringsMissing = 0;
    }
}

void countdowns(Figure* hero, int* splashPlayed) {
    if (!hero->alive) return;

    // time
    timeLeft--;
    if (timeLeft <= 0) {
        timeLeft = 0;
        killFigure(hero, message(MSG_TIME_UP), ANIM_NONE);
    }

    // oxygen
    if (isWet(hero)) {
        if (!*splashPlayed && isActive(hero)) {
            playSFX(SND_SPLASH);
            *splashPlayed = 1;
        }
        // the gauge stops at empty; the bar cannot show less
        if (airLeft > 0) airLeft--;
        if (airLeft == 0 && !hero->dying)
            figureDying(hero, message(MSG_DROWNED), ANIM_DEATH_DROWNED);
    } else {
        *splashPlayed = 0;
        if (isActive(hero) && airLeft <= AIR_REFILL_BELOW) airLeft += AIR_REFILL;
    }
}
