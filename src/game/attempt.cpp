// One attempt: the stage map loaded afresh (a death undoes everything but the restart
// point, score and lives), the hero placed, and the frame loop. A frame reads the input,
// runs the pause menu or the world, draws, and then shows whatever sits over the picture:
// the quit dialog on a stage, the hiscore table or the options on the title.
#include "audio/music.h"
#include "audio/player.h"
#include "game/flow.h"
#include "game/hiscore_screen.h"
#include "game/options.h"
#include "game/pause.h"
#include "game/title.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "world/flowstate.h"
#include "world/ghost.h"
#include "world/map.h"
#include "world/render.h"
#include "world/stage.h"

#include <climits>

constexpr int MUSIC_FADE_IN_MS = 300;
constexpr int MUSIC_ENDLESS = -1;
constexpr int SCROLLER_STEP = 16; // sub-character steps of the title scroller

// The map of the current stage: in test mode always the test map, even for the title.
static const char* stageMapName(int testMode) {
    if (testMode) return nullptr;
    // level is 0 ... 10 whenever an attempt starts; anything else would be a flow fault,
    // and the title is the safe place to land
    if (level < 0 || level >= NUM_LEVELS) return levelNames[LEVEL_TITLE];
    return levelNames[level];
}

int attemptOver(Figure* hero) {
    if (!hero->alive) {
        // after a death the hero's idle count is the wait before the next attempt; the title
        // never places its hero and runs until a menu choice ends it
        if (hero->idleCount > INT_MIN) hero->idleCount -= 1;
        if (hero->idleCount > 0) return 0;
        return level != LEVEL_TITLE;
    }
    return hero->madeIt;
}

// The stage intro: the world stands still, the pause menu cannot open, and on a real
// stage JUMP or START cuts it short.
static void introInput() {
    checkInput();
    if (level > 0 && typedAny(CTRL_JUMP | CTRL_START)) frame = STAGE_INTRO_FRAMES;
    lastKey = 0;
    lastKeyTyped = 0;
}

static void playInput(Figure* hero) {
    checkKey(level, isActive(hero));
    if (level > 0 && typedAny(CTRL_JUMP | CTRL_START)) {
        if (hero->dying)
            hero->y = DEATH_FALL_END; // the death hop ends at the next walk
        else if (!hero->alive)
            hero->idleCount = 1; // the death message wait ends at the next frame
    }
}

static void advanceScroller() {
    scrolldx += 1;
    if (scrolldx < SCROLLER_STEP) return;
    scrolldx = 0;
    scrollidx += 1;
    if (scrollidx >= scrollmax) scrollidx = 0;
}

void attemptFrame(Figure* hero) {
    if (level != LEVEL_TITLE && frame <= STAGE_INTRO_FRAMES) {
        introInput();
    } else {
        playInput(hero);
        if (paused) {
            pauseMenuStep(hero); // nothing else moves while paused
        } else {
            StageInput in = {left, right, jump, crawl};
            stageFrame(hero, in, &splashPlayed);
            ghostAfterFrame(in, hero);
            if (level == LEVEL_TITLE) titleStep(hero);
        }
    }

    // the title presents its sub-screens itself, over the picture
    const int present = level > 0 || workflow >= 0;
    drawScreen(frame, hero, present);

    if (level != LEVEL_TITLE && escape)
        quitDialog(hero);
    else if (level == LEVEL_TITLE && workflow == WF_HISCORE_TABLE)
        hiscoreOverlay(frame);
    else if (level == LEVEL_TITLE && workflow == WF_OPTIONS_MENU)
        optionsOverlay();
    else if (level == LEVEL_TITLE)
        advanceScroller();

    frame += 1;
}

void playAttempt(Figure* hero, int testMode) {
    fillRect(screen, 0, 0, SCREEN_W, SCREEN_H, BLACK);
    beginAttempt(hero, stageMapName(testMode));
    if (restartMusic) {
        stopStageMusic();
        stageMusic = loadMusic(stageTrack(level));
        MP_FadeInMusic(stageMusic, MUSIC_ENDLESS, MUSIC_FADE_IN_MS);
    }
    paused = 0;
    frame = 0;
    splashPlayed = 0;
    restartMusic = 0;
    flowScreen = level == LEVEL_TITLE ? FLOW_TITLE : FLOW_STAGE;
    ghostBeginAttempt();
    initFPS();

    while (!attemptOver(hero)) {
        if (escape || titleChoice != CHOICE_NONE) break;
        attemptFrame(hero);
    }
    ghostEndAttempt(hero);
}
