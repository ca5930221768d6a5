// Game over. The monsters and animations of the stage go on moving under "GAME OVER!" and
// the cause of the last death; a key leads to the name entry when the score qualifies, and
// then "CONTINUE?" asks whether to go on at the same stage with a fresh score and six
// lives. A quit request made anywhere in here is dropped.
#include "game/gameover.h"

#include "anim/anims.h"
#include "audio/music.h"
#include "audio/player.h"
#include "game/flow.h"
#include "game/hiscore_screen.h"
#include "game/modal.h"
#include "gfx/font.h"
#include "gfx/messages.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "world/flowstate.h"
#include "world/monsters.h"
#include "world/render.h"
#include "world/stage.h"

#include <cstdio>

constexpr int PLAY_ENDLESS = -1;
constexpr int SCORE_LINE_SIZE = 64;
constexpr int GAME_OVER_Y = 96, CAUSE_Y = 116, SCORE_Y = 136;
constexpr int CONTINUE_Y = 96, QUESTION_Y = 128;

// The stage goes on behind the screens, without its hero or platforms.
static void stageBehind(Figure* hero) {
    checkKey(level, 0);
    updateAnims(hero);
    updateMonsters(hero);
    drawScreen(frame, hero, 0);
}

static void gameOverScreen(Figure* hero) {
    char scoreLine[SCORE_LINE_SIZE];
    std::snprintf(scoreLine, sizeof scoreLine, "%s: %d", message(MSG_SCORE), score);
    auto update = [hero] {
        if (typedAny(CTRL_JUMP | CTRL_START | CTRL_PAUSE)) return 1;
        stageBehind(hero);
        frame += 1;
        return 0;
    };
    auto draw = [&scoreLine] {
        drawTextCenterAt(screen, message(MSG_GAME_OVER), GAME_OVER_Y, fontbig);
        drawTextCenterAt(screen, scoreLine, SCORE_Y, fontbig);
        if (!(frame & BLINK) && messageString[0])
            drawTextCenterAt(screen, messageString, CAUSE_Y, fontbig);
    };
    runModalScreen({FLOW_GAME_OVER, update, draw});
}

// Returns 1 for LEFT (yes), 0 for RIGHT.
static int continueQuestion(Figure* hero) {
    auto update = [hero] {
        if (typedAny(CTRL_LEFT | CTRL_RIGHT)) return 1;
        stageBehind(hero);
        return 0;
    };
    auto draw = [] {
        darken();
        drawTextCenterAt(screen, message(MSG_CONTINUE_Q), CONTINUE_Y, fontbig);
        drawTextCenterAt(screen, message(MSG_LEFT_YES_RIGHT_NO), QUESTION_Y, font);
    };
    // the frame that brought the answer is not counted
    auto frameEnd = [] {
        if (!typedAny(CTRL_LEFT | CTRL_RIGHT)) frame += 1;
    };
    runModalScreen({FLOW_CONTINUE, update, draw, frameEnd});
    return typedAny(CTRL_LEFT);
}

void resetAfterGame(int place) {
    escape = 0;
    done = 0;
    initVars0(place);
}

void gameOver(Figure* hero) {
    const int lostStage = level;
    stopStageMusic();
    stageMusic = loadMusic(MUS_TITLE);
    MP_PlayMusic(stageMusic, PLAY_ENDLESS);
    releasePause();

    gameOverScreen(hero);

    releasePause();
    setMessage(nullptr);
    hsRank = checkHiscore(hero); // the score reached, before continuing resets it
    const int again = continueQuestion(hero);

    resetAfterGame(hsRank);
    if (again)
        level = lostStage; // from the stage's beginning, with score 0 and six lives
    else if (hsRank >= 0)
        workflow = WF_HISCORE_TABLE; // the title opens on the new entry
    resetStartPosition();
    stopStageMusic();
    restartMusic = 1;
}
