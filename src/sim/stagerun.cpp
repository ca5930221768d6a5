// Playing a stage attempt from a replay.
#include "sim/stagerun.h"

#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/stage.h"

static StageResult resultOf(StageOutcome outcome, int frame) {
    StageResult r;
    r.outcome = outcome;
    r.frame = frame;
    r.score = score;
    r.lives = lives;
    r.rings = stars;
    r.message = outcome == STAGE_DIED ? messageString : "";
    return r;
}

StageResult playReplay(Figure* hero, const Replay& replay, FrameObserver observer, void* context) {
    int splashPlayed = 0;
    if (observer) observer(0, hero, context);
    // a hero that never came alive has nothing to play
    if (!hero->alive || hero->dying) return resultOf(STAGE_DIED, 0);
    int last = replay.totalFrames + REPLAY_GRACE_FRAMES;
    for (int frame = 1;; frame++) {
        stageFrame(hero, replayInput(replay, frame - 1), &splashPlayed);
        if (observer) observer(frame, hero, context);
        if (haveMadeit(hero)) return resultOf(STAGE_CLEARED, frame);
        if (hero->dying || !hero->alive) return resultOf(STAGE_DIED, frame);
        if (frame >= last) return resultOf(STAGE_ENDED, frame);
    }
}
