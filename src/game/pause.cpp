// The pause menu (drawn by the stage renderer from `paused` and `workflow`) and the quit
// dialog, which blocks the stage until the player answers it.
#include "game/pause.h"

#include "anim/anims.h"
#include "audio/sound.h"
#include "game/flow.h"
#include "game/modal.h"
#include "gfx/font.h"
#include "gfx/messages.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "world/flowstate.h"
#include "world/render.h"

constexpr int QUIT_FRAME = 32; // drawn as a frame whose blinking items are all hidden
constexpr int QUIT_TITLE_Y = 96;
constexpr int QUIT_QUESTION_Y = 128;
constexpr int QUIT_WARNING_Y = 140;

void pauseMenuStep(Figure* hero) {
    if (typedAny(CTRL_RIGHT | CTRL_DOWN)) {
        workflow = workflow >= PAUSE_EXIT ? PAUSE_SUICIDE : workflow + 1;
        playSFX(SND_KLONK);
    } else if (typedAny(CTRL_LEFT | CTRL_UP)) {
        workflow = workflow <= PAUSE_SUICIDE ? PAUSE_EXIT : workflow - 1;
        playSFX(SND_KLONK);
    } else if (typedAny(CTRL_JUMP | CTRL_START)) {
        paused = 0;
        if (workflow == PAUSE_SUICIDE) {
            if (!hero->dying) figureDying(hero, message(MSG_SUICIDE), ANIM_DEATH_SUICIDE);
            playSFX(SND_AJ);
        } else if (workflow == PAUSE_EXIT) {
            escape = 1; // the quit dialog asks in this same frame
        } else {
            playSFX(SND_JIPIE);
        }
        workflow = WF_PRESS_START;
    }
}

void quitDialog(Figure* hero) {
    // the picture stays as it is until the answer
    auto draw = [hero] {
        skipFrame = 0;
        drawScreen(QUIT_FRAME, hero, 0);
        darken();
        drawTextCenterAt(screen, message(MSG_SURE_TO_QUIT), QUIT_TITLE_Y, fontbig);
        drawTextCenterAt(screen, message(MSG_LEFT_YES_RIGHT_NO), QUIT_QUESTION_Y, font);
        drawTextCenterAt(screen, message(MSG_HISCORE_LOST), QUIT_WARNING_Y, font);
    };
    runStillScreen(
        FLOW_QUIT_DIALOG, draw, [] { return typedAny(CTRL_LEFT | CTRL_RIGHT); }, checkInput);
    if (typedAny(CTRL_RIGHT)) {
        initFPS(); // the wait must not count as a slow frame
        done = 0;
        escape = 0;
        playSFX(SND_JIPIE);
    } else {
        playSFX(SND_AJ);
    }
    flowScreen = FLOW_STAGE;
}
