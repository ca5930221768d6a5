// Stage clear: "CONGRATULATIONS" over the frozen stage while the fanfare plays, then one
// point per whole second left and one per life, and at most one extra life when the bonuses
// carried the score past a hundred. Input is read and thrown away: the tally cannot be
// skipped, and a quit request waits for the next stage.
#include "game/stageclear.h"

#include "audio/music.h"
#include "audio/player.h"
#include "audio/sound.h"
#include "game/flow.h"
#include "game/modal.h"
#include "gfx/font.h"
#include "gfx/messages.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "world/flowstate.h"
#include "world/ghost.h"
#include "world/pickups.h"
#include "world/render.h"

#include <cstdio>

constexpr int LINE_SIZE = 32;
constexpr int PLAY_ONCE = 0;
constexpr int CONGRATULATIONS_Y = 70, TIME_LINE_Y = 110, LIFE_LINE_Y = 130;
constexpr int NEXT_STAGE_Y = 160, COMING_UP_Y = 180;
constexpr int GHOST_LINE_Y = 92; // small font, between the congratulations and the bonuses

void stageClear(Figure* hero) {
    frame = TALLY_FIRST_FRAME;
    int hundreds = 0; // a bonus carried the score into a new hundred
    playSFX(SND_JIPIE);

    const int timeBonus = timeLeft / FRAMES_PER_SECOND;
    const int lifeBonus = lives;
    char timeLine[LINE_SIZE], lifeLine[LINE_SIZE];
    std::snprintf(timeLine, sizeof timeLine, "%s: %d", message(MSG_TIME_BONUS), timeBonus);
    std::snprintf(lifeLine, sizeof lifeLine, "%s: %d", message(MSG_LIFE_BONUS), lifeBonus);
    char ghostLine[2 * LINE_SIZE];
    const bool timed = ghostTallyLine(ghostLine, sizeof ghostLine);

    stopStageMusic();
    stageMusic = loadMusic(MUS_STAGE_CLEAR);
    MP_PlayMusic(stageMusic, PLAY_ONCE);

    hero->alive = 0; // no longer drawn
    auto count = [&] {
        if (frame >= TALLY_END_FRAME) return 1;
        checkInput();
        lastKey = 0;
        lastKeyTyped = 0;

        if (frame == TALLY_TIME_FRAME) hundreds = addScore2(timeBonus, 0);
        if (frame == TALLY_LIFE_FRAME) hundreds |= addScore2(lifeBonus, 0);
        if (frame == TALLY_EXTRA_LIFE_FRAME && hundreds && lives < MAX_LIVES) {
            // one life however many hundreds were crossed
            playSFX(SND_TADA);
            lives += 1;
        }
        return 0;
    };
    auto draw = [&] {
        drawScreen(frame, hero, 0);
        darken();
        drawTextCenterAt(screen, message(MSG_CONGRATULATIONS), CONGRATULATIONS_Y, fontbig);
        if (timed) drawTextCenterAt(screen, ghostLine, GHOST_LINE_Y, font);
        if (frame >= TALLY_TIME_FRAME) drawTextCenterAt(screen, timeLine, TIME_LINE_Y, fontbig);
        if (frame >= TALLY_LIFE_FRAME) drawTextCenterAt(screen, lifeLine, LIFE_LINE_Y, fontbig);
        if (level < LAST_LEVEL && !(frame & BLINK)) {
            drawTextCenterAt(screen, message(MSG_NEXT_STAGE), NEXT_STAGE_Y, fontbig);
            drawTextCenterAt(screen, message(MSG_COMING_UP), COMING_UP_Y, fontbig);
        }
    };
    runModalScreen({FLOW_TALLY, count, draw, [] { frame += 1; }});
    hero->alive = 1;
    level += 1;
}
