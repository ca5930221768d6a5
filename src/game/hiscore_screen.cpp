// Naming a new hiscore with the direction controls, letter by letter, and the table shown
// from the title. The entry reads held controls, so a held key repeats every 11 frames;
// it ends with START or by moving past the eighth letter.
#include "game/hiscore_screen.h"

#include "data/hiscores.h"
#include "game/flow.h"
#include "game/modal.h"
#include "gfx/font.h"
#include "gfx/messages.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "world/flowstate.h"
#include "world/render.h"

#include <cstdio>
#include <cstring>

constexpr int START_POLL_MS = 100; // the wait for START to be let go
constexpr int NO_STAGE_FRAME = -1; // draws the stage without hero and messages

// name entry layout, big font
constexpr int ENTRY_TITLE_Y = 96, ENTRY_NAME_Y = 136, ENTRY_CURSOR_Y = 148;
// table layout, big font
constexpr int TABLE_TITLE_Y = 16;
constexpr int TABLE_TOP = 48, TABLE_ROW = 18;
constexpr int TABLE_NAME_X = 48, TABLE_SCORE_X = 192;

constexpr char UNVISITED = '.'; // a place of the name the cursor has not reached yet

char nextNameChar(char c) {
    if (c == 'Z') return ' ';
    if (c == ' ') return 'A';
    if (c >= 'A' && c < 'Z') return (char)(c + 1);
    return 'A';
}

char previousNameChar(char c) {
    if (c == 'A') return ' ';
    if (c == ' ') return 'Z';
    if (c > 'A' && c <= 'Z') return (char)(c - 1);
    return 'A';
}

static void drawNameEntry(Figure* hero, const char* name, const char* cursor) {
    drawScreen(NO_STAGE_FRAME, hero, 0);
    darken();
    drawTextCenterAt(screen, message(MSG_ENTER_NAME), ENTRY_TITLE_Y, fontbig);
    drawTextCenterAt(screen, name, ENTRY_NAME_Y, fontbig);
    drawTextCenterAt(screen, cursor, ENTRY_CURSOR_Y, fontbig);
}

int checkHiscore(Figure* hero) {
    hsRank = -1;
    if (score <= hiscores[NUM_HISCORES - 1].score) return -1;

    char name[HISCORE_NAME_LEN + 1] = "A.......";
    char cursor[HISCORE_NAME_LEN + 1] = "-       ";
    int p = 0;
    int cooldown = 0;

    // START already held when the entry begins keeps the name "A"
    auto update = [&] {
        if (space) return 1;
        if (cooldown > 0) {
            cooldown -= 1;
            return 0;
        }
        checkKey(level, 0); // a quit request only sets `escape`; the caller decides
        const int k = lastKey;
        if (k & CTRL_DOWN) {
            name[p] = previousNameChar(name[p]);
            cooldown = NAME_ENTRY_COOLDOWN;
        } else if (k & CTRL_UP) {
            name[p] = nextNameChar(name[p]);
            cooldown = NAME_ENTRY_COOLDOWN;
        } else if ((k & CTRL_LEFT) && p > 0) {
            cursor[p] = ' ';
            p -= 1;
            cursor[p] = '-';
            cooldown = NAME_ENTRY_COOLDOWN;
        } else if (k & (CTRL_RIGHT | CTRL_JUMP | CTRL_PAUSE)) {
            cursor[p] = ' ';
            p += 1;
            if (p == HISCORE_NAME_LEN) return 1; // past the last letter: the name is full
            cursor[p] = '-';
            if (name[p] == UNVISITED) name[p] = 'A';
            cooldown = NAME_ENTRY_COOLDOWN;
        }
        return 0;
    };
    runModalScreen({FLOW_NAME_ENTRY, update, [&] { drawNameEntry(hero, name, cursor); }});
    while (space) {
        checkKey(level, 0);
        sleepMs(START_POLL_MS);
    }

    // the letter under the cursor is the last one kept
    if (p < HISCORE_NAME_LEN) name[p + 1] = '\0';
    return saveHiscores(score, name);
}

void hiscoreOverlay(int frame) {
    if (!skipFrame) {
        darken();
        drawTextCenterAt(screen, message(MSG_HISCORES), TABLE_TITLE_Y, fontbig);
        for (int i = 0; i < NUM_HISCORES; i++) {
            if (i == hsRank && (frame & BLINK)) continue; // the new entry blinks
            const int y = TABLE_TOP + TABLE_ROW * i;
            char line[16];
            std::snprintf(line, sizeof line, "%.8s", hiscores[i].name);
            drawTextAt(screen, line, TABLE_NAME_X, y, fontbig);
            std::snprintf(line, sizeof line, "%05d", (int)hiscores[i].score);
            drawTextAt(screen, line, TABLE_SCORE_X, y, fontbig);
        }
        flipScreen();
    }
    controlFPS();
}
