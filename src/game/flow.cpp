// The game flow: run and its loop of attempts. Each attempt loads a stage (stage 0 is the
// title, a live stage of its own), runs frames until the attempt ends, and then one
// decision says what comes next: the next stage, a retry from the checkpoint, game over,
// the ending, the title, or the end of the program. Between any two screens the release
// pause makes sure the key that ended one does not act again on the next.
#include "game/flow.h"

#include "audio/music.h"
#include "audio/sound.h"
#include "data/savegame.h"
#include "game/ending.h"
#include "game/gameover.h"
#include "game/options.h"
#include "game/stageclear.h"
#include "game/story.h"
#include "gfx/blocks.h"
#include "gfx/messages.h"
#include "gfx/pacing.h"
#include "world/flowstate.h"
#include "world/stage.h"

#include <cstring>

int saved = 0;
int hsRank = -1;

Figure theHero;
int frame = 0;
ModPlugFile* stageMusic = nullptr;
int restartMusic = 1;
int splashPlayed = 0;
int titleChoice = CHOICE_NONE;
int flowScreen = FLOW_NONE;

constexpr int RELEASE_POLL_MS = 100; // the release pause looks at the input this often

void initVars() {
    jump = left = right = crawl = space = 0;
    escape = 0;
    paused = 0;
    resetWorldState();
}

void initVars0(int place) {
    hsRank = place;
    resetGameProgress();
    workflow = WF_PRESS_START;
    scrollidx = 0;
    scrolldx = 0;
    if (!scroller) scroller = message(MSG_SCROLLER);
    scrollmax = (int)std::strlen(scroller);
}

void initStuff() {
    useSound = 1;
    initVars();
    initVars0(-1);
    initBlocks();
    loadSFX();
}

void releasePause() {
    while (typedAny(CTRL_JUMP | CTRL_START | CTRL_PAUSE)) {
        checkKey(level, 0);
        sleepMs(RELEASE_POLL_MS);
    }
}

int saveGame() {
    saved = writeSavegame(level - 1);
    return saved;
}

void stopStageMusic() {
    stopMusic(stageMusic);
    stageMusic = nullptr;
}

void abandonGame() {
    initVars0(-1);
    done = 0;
    escape = 0;
    resetStartPosition();
    stopStageMusic();
    restartMusic = 1;
}

// The title was left through "NEW GAME" or "CONTINUE": the story, then the first stage.
static void startGame(Figure* hero, int choice) {
    level = choice == CHOICE_CONTINUE ? saved + 1 : 1;
    if (level > LAST_LEVEL) {
        // every stage is already cleared: straight to the ending
        ending(hero);
        return;
    }
    releasePause();
    storyLine(level);
    if (escape)
        abandonGame();
    else
        resetStartPosition();
    stopStageMusic();
    restartMusic = 1;
}

static void stageCleared(Figure* hero) {
    stageClear(hero);
    if (level > LAST_LEVEL) {
        ending(hero);
        return;
    }
    saveGame();
    resetStartPosition();
    stopStageMusic();
    restartMusic = 1;
}

int decideAfterAttempt(Figure* hero, int testMode) {
    // a quit request or a menu choice that leaves
    if (escape) {
        if (level > 0) {
            abandonGame(); // no hiscore entry for an abandoned game
        } else if (workflow < 0) {
            // Escape on a title sub-screen goes back to the main menu
            if (workflow == WF_OPTIONS_MENU) cancelCapture();
            done = 0;
            escape = 0;
            workflow = -workflow;
        }
        return 0; // else it stays set and run returns at the next attempt
    }
    if (titleChoice != CHOICE_NONE) {
        int choice = titleChoice;
        titleChoice = CHOICE_NONE;
        startGame(hero, choice);
        return 0;
    }
    if (haveMadeit(hero)) {
        if (testMode) {
            stopStageMusic();
            return 1;
        }
        stageCleared(hero);
        return 0;
    }
    // the countdown after a death ran out
    lives -= 1;
    if (lives <= 0)
        gameOver(hero);
    else
        setMessage(nullptr); // same stage again, from the last checkpoint, music running on
    return 0;
}

void run(int testMode) {
    initStuff();
    if (testMode) {
        saved = 0;
        level = LEVEL_TEST;
    } else {
        saved = loadGame();
    }
    resetStartPosition();
    stageMusic = nullptr;
    restartMusic = 1;
    titleChoice = CHOICE_NONE;

    for (;;) {
        if (escape) {
            stopStageMusic();
            flowScreen = FLOW_NONE;
            return;
        }
        playAttempt(&theHero, testMode);
        if (decideAfterAttempt(&theHero, testMode)) {
            flowScreen = FLOW_NONE;
            return;
        }
        releasePause();
    }
}
