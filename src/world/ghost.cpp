// Recording attempts, keeping the best run of each stage and drawing its ghost. Only an
// attempt that starts where the stage starts is recorded: one that restarts from a
// checkpoint has skipped part of the stage and proves nothing about the whole. The best
// run is read from its file at the start of every attempt of a stage, so the file is the
// one record of it; a file that cannot be read counts as no best run at all.
#include "world/ghost.h"

#include "gfx/blocks.h"
#include "gfx/messages.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/ghostrun.h"
#include "world/map.h"
#include "world/render.h"

#include <cstdio>

int ghostMode = 0;

namespace {

constexpr Uint8 GHOST_ALPHA = 112; // of 255: the stage shows through the ghost

// The attempt in progress.
bool active;      // a stage attempt from its start, with ghostMode
int played;       // frames of play so far
GhostRun best;    // the stage's best run; best.frames 0 when there is none
GhostRun current; // this attempt so far
int scoreAtStart;

// The last clear, for the tally.
struct Clear {
    bool made;    // a stage was cleared with ghostMode
    bool timed;   // from the stage's start
    bool newBest; // and faster than any before
    int frames;   // its time
    int best;     // the best time afterwards, 0 for none
} lastClear;

const char* const NO_TIME = "-:--.--";

} // namespace

void ghostBeginAttempt() {
    active = false;
    lastClear = Clear();
    if (!ghostMode || level < 1 || level > LAST_LEVEL) return;
    loadGhostRun(level, &best); // a clear from a checkpoint still shows the best time
    if (startf) return;
    active = true;
    played = 0;
    current = GhostRun();
    current.stage = level;
    current.rings = stars;
    scoreAtStart = score;
}

void ghostAfterFrame(const StageInput& in, const Figure* hero) {
    if (!active) return;
    if (played >= GHOST_RUN_MAX_FRAMES) {
        active = false; // the clock has run out: no clear left to time, nothing more to record
        return;
    }
    played++;
    appendRun(&current.input, in, 1);
    current.trail.push_back({hero->x, hero->y, hero->sprite});
}

void ghostEndAttempt(const Figure* hero) {
    if (ghostMode && level >= 1 && level <= LAST_LEVEL && haveMadeit(hero) && !escape) {
        lastClear.made = true;
        lastClear.timed = active;
        if (active && (best.frames == 0 || played < best.frames)) {
            current.frames = played;
            current.score = score - scoreAtStart;
            current.rings -= stars;
            saveGhostRun(current); // a run that cannot be kept still counts for this tally
            best = std::move(current);
            lastClear.newBest = true;
        }
        lastClear.frames = played;
        lastClear.best = best.frames;
    }
    active = false;
    current = GhostRun();
}

void drawGhost() {
    if (!active || played < 1 || played > best.frames || played > (int)best.trail.size()) return;
    const GhostFrame& g = best.trail[played - 1];
    SDL_Surface* image = blocks[g.sprite];
    if (!image) return;
    // the sheet's own image drawn see-through for this one blit
    const Uint32 hadAlpha = image->flags & SDL_SRCALPHA;
    const Uint8 alpha = image->format->alpha;
    SDL_SetAlpha(image, SDL_SRCALPHA, GHOST_ALPHA);
    drawSprite(g.x, g.y, g.sprite);
    SDL_SetAlpha(image, hadAlpha, alpha);
}

bool ghostTallyLine(char* text, int size) {
    if (!lastClear.made || size < 1) return false;
    const std::string time = lastClear.timed ? formatRunTime(lastClear.frames) : NO_TIME;
    const std::string bestTime = lastClear.best > 0 ? formatRunTime(lastClear.best) : NO_TIME;
    std::snprintf(text, (size_t)size, "%s %s  %s %s%s%s", message(MSG_CLEAR_TIME), time.c_str(),
                  message(MSG_BEST_TIME), bestTime.c_str(), lastClear.newBest ? "  " : "",
                  lastClear.newBest ? message(MSG_NEW_BEST) : "");
    return true;
}
