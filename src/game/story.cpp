// Story pages: picture "storya" ... "storye" from the graphics archive with its caption in
// a black band below. A page waits, polling the input every 100 ms, for JUMP or START; a
// press and release between two polls is still seen at the next one.
#include "game/story.h"

#include "game/flow.h"
#include "game/modal.h"
#include "gfx/font.h"
#include "gfx/image.h"
#include "gfx/messages.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "world/flowstate.h"

#include <cstdio>

int storyPage = -1;

namespace {

struct StoryPage {
    char letter; // image "story<letter>"
    int caption; // message number
};

const StoryPage PAGES[NUM_STORY_PAGES] = {
    {'a', MSG_HAPPILY_TOGETHER},                           // together
    {'b', MSG_SUDDENLY},                                   // she is taken
    {'c', MSG_RINGS_OR_SHE_DIES}, {'d', MSG_YOU_ARE_SAFE}, // the rescue
    {'e', MSG_THE_END},
};
constexpr int FIRST_OPENING_PAGE = 0, LAST_OPENING_PAGE = 2;
constexpr int FIRST_CLOSING_PAGE = 3, LAST_CLOSING_PAGE = 4;

constexpr int CAPTION_BAND_Y = 200, CAPTION_BAND_H = SCREEN_H - CAPTION_BAND_Y;
constexpr int CAPTION_Y = 208;
constexpr int NAME_SIZE = 32;

void drawPage(int page) {
    char name[NAME_SIZE];
    std::snprintf(name, sizeof name, "story%c", PAGES[page].letter);
    SDL_Surface* image = loadGFX(name, 0, 0, 0, 0);
    blitImage(image, 0, 0, screen);
    freeSurface(image);
    fillRect(screen, 0, CAPTION_BAND_Y, SCREEN_W, CAPTION_BAND_H, BLACK);
    drawTextCenterAt(screen, message(PAGES[page].caption), CAPTION_Y, fontbig);
}

} // namespace

void showStoryPage(int page) {
    if (page < 0 || page >= NUM_STORY_PAGES) return;
    storyPage = page;
    runStillScreen(
        FLOW_STORY, [page] { drawPage(page); },
        [] { return typedAny(CTRL_JUMP | CTRL_START | CTRL_PAUSE) || escape; },
        [] { checkKey(level, 0); });
    releasePause();
    storyPage = -1;
}

void storyLine(int level) {
    const int first = level == 1 ? FIRST_OPENING_PAGE : LAST_OPENING_PAGE;
    for (int page = first; page <= LAST_OPENING_PAGE; page++)
        showStoryPage(page);
    fillRect(screen, 0, 0, SCREEN_W, SCREEN_H, BLACK);
}

void closeStory() {
    for (int page = FIRST_CLOSING_PAGE; page <= LAST_CLOSING_PAGE; page++)
        showStoryPage(page);
}
