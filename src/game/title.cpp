// The title: a live stage that scrolls by itself under the logo, with "PRESS START", the
// main menu, and the two sub-screens (hiscore table and options) opened from it. Menus act
// on released controls; the cursor wraps at both ends.
#include "game/title.h"

#include "anim/anims.h"
#include "audio/sound.h"
#include "game/flow.h"
#include "game/options.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/render.h"

constexpr int SCAN_AHEAD = appletWidth + CELL; // monsters appear just right of the view

constexpr int CHOOSE = CTRL_JUMP | CTRL_START | CTRL_PAUSE;
constexpr int NEXT_ITEM = CTRL_RIGHT | CTRL_DOWN;
constexpr int PREVIOUS_ITEM = CTRL_LEFT | CTRL_UP;

// "PRESS START" was answered: the title keeps running, without advancing its frame count,
// for as long as the choosing controls keep being released, so the press that opened the
// menu cannot also choose in it.
static void openMainMenu(Figure* hero) {
    while (typedAny(CHOOSE)) {
        updateAnims(hero);
        updateMonsters(hero);
        drawScreen(frame, hero, 1);
        checkKey(level, 0);
    }
    workflow = saved > 0 ? WF_CONTINUE : WF_NEW_GAME;
}

static void chooseMenuItem() {
    switch (workflow) {
    case WF_NEW_GAME:
        playSFX(SND_JIPIE);
        titleChoice = CHOICE_NEW_GAME;
        break;
    case WF_CONTINUE:
        playSFX(SND_JIPIE);
        titleChoice = CHOICE_CONTINUE;
        break;
    case WF_HISCORES:
        workflow = WF_HISCORE_TABLE;
        break;
    case WF_OPTIONS:
        workflow = WF_OPTIONS_MENU;
        openOptionsMenu();
        break;
    case WF_EXIT:
        playSFX(SND_AJ);
        escape = 1; // the attempt ends and run returns
        break;
    default:
        break;
    }
}

void titleInput(Figure* hero) {
    if (workflow == WF_PRESS_START) {
        if (typedAny(CHOOSE)) {
            openMainMenu(hero);
        } else if (typedAny(NEXT_ITEM)) {
            workflow = WF_NEW_GAME;
            playSFX(SND_KLONK);
        } else if (typedAny(PREVIOUS_ITEM)) {
            workflow = WF_EXIT;
            playSFX(SND_KLONK);
        }
    } else if (workflow >= WF_NEW_GAME && workflow <= WF_EXIT) {
        if (typedAny(NEXT_ITEM)) {
            workflow = workflow == WF_EXIT ? WF_NEW_GAME : workflow + 1;
            playSFX(SND_KLONK);
        } else if (typedAny(PREVIOUS_ITEM)) {
            workflow = workflow == WF_NEW_GAME ? WF_EXIT : workflow - 1;
            playSFX(SND_KLONK);
        } else if (typedAny(CHOOSE)) {
            chooseMenuItem();
        }
    } else if (workflow == WF_HISCORE_TABLE) {
        if (typedAny(CHOOSE)) {
            workflow = WF_HISCORES;
            hsRank = -1; // the new entry has been seen
        }
    } else if (workflow == WF_OPTIONS_MENU) {
        optionsStep();
    }
}

void titleStep(Figure* hero) {
    if (workflow == WF_OPTIONS_MENU && cfgStatus) {
        optionsStep(); // the view stands still while a binding is captured
        return;
    }
    if (step + appletWidth < mapLength * CELL - 1) step += 1;
    tileScan(step + SCAN_AHEAD);
    titleInput(hero);
}
