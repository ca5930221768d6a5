// The game: run is the loop of attempts from the title screen through the stages, with the
// menus, the pause menu, the quit dialog and the end-of-attempt decisions.
#pragma once
#include "game/input.h"
#include "world/figure.h"
#include "world/flowstate.h"

#include <libmodplug/modplug.h>

extern int saved;  // stages cleared according to the savegame, 0 = none
extern int hsRank; // place of the last new hiscore entry, -1 = none

// The attempt in progress.
extern Figure theHero;          // the one hero record, passed to every world routine
extern int frame;               // frames since the attempt began; 0 ... 180 are the intro
extern ModPlugFile* stageMusic; // the music playing, or null
extern int restartMusic;        // 1: the next attempt starts its stage's music
extern int splashPlayed;        // the hero is under water and the splash was heard

// How the title was left by the menu: set by the title input, read by the decision.
enum TitleChoice { CHOICE_NONE = 0, CHOICE_NEW_GAME = 1, CHOICE_CONTINUE = 2 };
extern int titleChoice;

// Which loop of the flow is running, for a scripted player (tests and demo tools) that
// has to know what is on the screen. The game itself never reads it. Written by the loops
// that run: the modal screens' loops (game/modal.h) from the screen they run, playAttempt
// (title or stage), the quit dialog when it hands back to the stage, and run when it
// returns. It is global because the player watches it from the input hook, inside those
// loops, where nothing else can be passed.
enum FlowScreen {
    FLOW_NONE = 0,    // run is not running
    FLOW_TITLE,       // the title stage with its menu, hiscore table and options
    FLOW_STAGE,       // a stage attempt: intro, play and pause menu
    FLOW_QUIT_DIALOG, // "SURE TO QUIT?"
    FLOW_STORY,       // a story page
    FLOW_TALLY,       // the stage-clear bonus tally
    FLOW_GAME_OVER,   // "GAME OVER!"
    FLOW_NAME_ENTRY,  // a new hiscore is named
    FLOW_CONTINUE,    // "CONTINUE?"
};
extern int flowScreen;

// The game; returns when the player quits (in test mode also when the test stage is
// cleared or abandoned).
void run(int testMode);

// The start of run: sound, blocks, flags, slots and a fresh game.
void initStuff();
// The control flags and requests back to rest, and the world with them (resetWorldState).
void initVars();
// A fresh game on the title: hsRank = place, score 0, six lives, level 0 and no stage
// message (resetGameProgress), menu closed, scroller at its start.
void initVars0(int place);

// Waits (polling every 100 ms) while the last typed control is JUMP, START or PAUSE, so the
// key that ended one screen does not act again on the next.
void releasePause();

// Stores the stage just cleared (level - 1) in the savegame; returns it, also in `saved`.
int saveGame();

// Small pieces of the decisions, shared by the end sequences.
void stopStageMusic();
void abandonGame(); // back to a fresh title: no hiscore, the title music starts again

// One attempt of the current `level`: the map loaded, the hero placed, the music started
// when asked, then frames until the attempt ends.
void playAttempt(Figure* hero, int testMode);
// One frame of an attempt (the frame loop calls it until attemptOver).
void attemptFrame(Figure* hero);
// The end test made before every frame; counts the hero's countdown after a death.
int attemptOver(Figure* hero);
// What follows an attempt; returns 1 when run must return.
int decideAfterAttempt(Figure* hero, int testMode);

// 1 when the control released during the latest checkInput is one of `controls` (a set
// of control codes).
inline int typedAny(int controls) {
    return (lastKeyTyped & controls) != 0;
}
