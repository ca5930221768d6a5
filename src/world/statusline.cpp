// What drawScreen puts over and under the world: the time and oxygen bars, the status line
// with lives, score, rings and stage, the stage messages (intro, death cause, missing
// rings), the pause menu, and on the title stage the logo, scroller and main menu.
#include "gfx/blocks.h"
#include "gfx/font.h"
#include "gfx/image.h"
#include "gfx/messages.h"
#include "gfx/video.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/pickups.h"
#include "world/render.h"
#include "world/stage.h"

#include <cstring>
#include <iterator>

// Bars: 248 px long, 5 high, after their labels.
constexpr int BAR_X = 64, BAR_W = 248, BAR_H = 5;
constexpr int TIME_LABEL_Y = 196, TIME_BAR_Y = 198;
constexpr int AIR_LABEL_Y = 206, AIR_BAR_Y = 208;
constexpr int LABEL_X = 4;

// Status line, big font.
constexpr int STATUS_LINE_Y = 216;
constexpr int HERO_ICON_X = 16, TIMES_X = 40, LIVES_X = 64;
constexpr int SCORE_ICON_X = 104, SCORE_X = 124;
constexpr int RING_ICON_X = 196, RINGS_X = 216;
constexpr int FLAG_ICON_X = 256, STAGE_X = 276;

// Messages, y of each line.
constexpr int MESSAGE_Y = 96;
constexpr int HINT_Y = 120;
constexpr int PRESS_START_Y = 128;

// A menu line: the `workflow` value that puts the cursor on it (the line then blinks), its
// text and its y.
struct MenuLine {
    int item, text, y;
};
constexpr MenuLine PAUSE_MENU[] = {
    {PAUSE_SUICIDE, MSG_SUICIDE, 124},
    {PAUSE_GO_ON, MSG_GO_ON, 142},
    {PAUSE_EXIT, MSG_EXIT, 160},
};
static_assert(std::size(PAUSE_MENU) == PAUSE_EXIT, "a line for every pause menu item");
constexpr MenuLine TITLE_MENU[] = {
    {WF_NEW_GAME, MSG_NEW_GAME, 104}, {WF_CONTINUE, MSG_CONTINUE, 122},
    {WF_HISCORES, MSG_HISCORES, 140}, {WF_OPTIONS, MSG_OPTIONS, 158},
    {WF_EXIT, MSG_EXIT, 176},
};
static_assert(std::size(TITLE_MENU) == WF_EXIT, "a line for every main menu item");

// Title.
constexpr int VERSION_Y = 208;
constexpr int LOGO_RAISE = 56; // the logo sits this far above the picture's middle
constexpr int SCROLLER_Y = 196;
constexpr int SCROLLER_CHARS = 41;

static bool blinkedOut(int frame) {
    return (frame & BLINK) != 0;
}

// The filled part of a bar: value out of full, 0 ... len px.
static int barLength(int value, int full, int len) {
    if (value <= 0) return 0;
    if (value >= full) return len;
    return value * len / full;
}

static void drawBar(int y, int value, int full, Uint32 filled, Uint32 empty) {
    int n = barLength(value, full, BAR_W);
    if (n > 0) fillRect(screen, BAR_X, y, n, BAR_H, filled);
    if (n < BAR_W) fillRect(screen, BAR_X + n, y, BAR_W - n, BAR_H, empty);
}

void drawStageBars() {
    drawTextAt(screen, message(MSG_HURRY), LABEL_X, TIME_LABEL_Y, font);
    drawBar(TIME_BAR_Y, timeLeft, TIME_LIMIT, RED, DRED);
    drawTextAt(screen, message(MSG_OXYGEN), LABEL_X, AIR_LABEL_Y, font);
    drawBar(AIR_BAR_Y, airLeft, AIR_LIMIT, BLUE, DBLUE);
}

static void drawIcon(int index, int x) {
    if (blocks[index]) blitImage(blocks[index], x, STATUS_LINE_Y, screen);
}

void drawStatusLine() {
    drawIcon(CELL_HERO_IDLE, HERO_ICON_X);
    drawTextAt(screen, "X", TIMES_X, STATUS_LINE_Y, fontbig);
    drawNumberAt(screen, lives, LIVES_X, STATUS_LINE_Y, 2, 1, fontbig);
    drawIcon(CELL_SCORE_ICON, SCORE_ICON_X);
    drawNumberAt(screen, score, SCORE_X, STATUS_LINE_Y, 4, 1, fontbig);
    drawIcon(CELL_RING, RING_ICON_X);
    drawNumberAt(screen, stars, RINGS_X, STATUS_LINE_Y, 2, 1, fontbig);
    // the flag rises as the rings run out
    int flag = stars >= 2 ? CELL_FLAG : stars == 1 ? CELL_FLAG_RISING : CELL_FLAG_UP;
    drawIcon(flag, FLAG_ICON_X);
    drawNumberAt(screen, level, STAGE_X, STATUS_LINE_Y, 2, 1, fontbig);
}

template <size_t N>
static void drawMenu(const MenuLine (&menu)[N], int frame) {
    for (const MenuLine& line : menu) {
        if (workflow == line.item && blinkedOut(frame)) continue;
        drawTextCenterAt(screen, message(line.text), line.y, fontbig);
    }
}

static void drawPauseMenu(int frame) {
    drawTextCenterAt(screen, message(MSG_PAUSE), MESSAGE_Y, fontbig);
    drawMenu(PAUSE_MENU, frame);
}

void drawStageMessages(int frame, const Figure* hero) {
    if (frame < 0) return;
    const bool intro = frame <= STAGE_INTRO_FRAMES;
    const bool hasMessage = lives > 0 && messageString[0] != '\0';
    const bool gone = !hero->alive || hero->dying;
    // dim the stage behind a death message (unless a death animation is playing), the
    // stage intro and the pause menu
    if ((hasMessage && (!hero->alive || (hero->dying && hero->deathAnim == 0))) || intro || paused)
        darken();
    if (paused) {
        drawPauseMenu(frame);
        return;
    }
    if (escape) return;
    if (!blinkedOut(frame)) {
        if (hasMessage && gone)
            drawTextCenterAt(screen, messageString, MESSAGE_Y, fontbig);
        else if (intro)
            drawTextCenterAt(screen, message(MSG_RUN), MESSAGE_Y, fontbig);
    }
    if (hero->ringsMissing && isActive(hero)) {
        drawTextCenterAt(screen, message(MSG_FORGOT_RINGS), MESSAGE_Y, fontbig);
        drawTextCenterAt(screen, message(MSG_GO_SUICIDE), HINT_Y, font);
    }
}

// The 41-character window of the scroller text, half a pixel per frame.
static void drawScroller() {
    if (!scroller) return;
    const int len = (int)std::strlen(scroller);
    if (scrollidx < 0 || scrollidx >= len) return;
    drawTextNAt(screen, scroller + scrollidx, SCROLLER_CHARS, -(scrolldx / 2), SCROLLER_Y, font);
}

void drawTitle(int frame) {
    if (logo)
        blitImage(logo, (SCREEN_W - logo->w) / 2, (SCREEN_H - logo->h) / 2 - LOGO_RAISE, screen);
    drawTextCenterAt(screen, message(MSG_VERSION), VERSION_Y, fontbig);
    drawScroller();
    if (workflow == WF_PRESS_START) {
        if (!blinkedOut(frame))
            drawTextCenterAt(screen, message(MSG_PRESS_START), PRESS_START_Y, fontbig);
        return;
    }
    drawMenu(TITLE_MENU, frame);
}
