// The three intro screens. The logo screen clears the picture once and then erases only
// what it drew the frame before: the mascot circling on a small Lissajous figure and the
// logo sliding in from the right, with the jingle starting when it comes to rest. The
// warning and credits pages are static texts left with JUMP or UP.
#include "app/intro.h"

#include "audio/music.h"
#include "audio/player.h"
#include "game/input.h"
#include "gfx/font.h"
#include "gfx/image.h"
#include "gfx/messages.h"
#include "gfx/video.h"

namespace {

// logo screen layout (px) and motion
constexpr int LOGO_START_X = 360; // off the right edge of the picture
constexpr int LOGO_SPEED = 2;     // px per frame
constexpr int LOGO_BOTTOM = 180;  // the logo's bottom edge lies on row 179
constexpr int MASCOT_X = 160;     // centre of the mascot's circling
constexpr int MASCOT_Y = 100;
constexpr int MASCOT_SWING_SHIFT = 7; // 1024 >> 7: +-8 px
constexpr int MASCOT_Y_SPEED = 3;     // vertical swings per horizontal one

SDL_Surface* vemo;
SDL_Surface* zk_logo;
ModPlugFile* music;
int j;      // x of the logo's left edge
int dj;     // frame counter of the mascot
int gx, gy; // where the mascot was drawn last

// arithmetic shift, rounding toward minus infinity
int logoRest() {
    return (SCREEN_W - zk_logo->w) >> 1;
}

struct PageLine {
    int message;
    int y;
    bool big;
};

const PageLine warningPage[] = {
    {MSG_ATTENTION, 40, true}, {82, 90, false},  {83, 110, false},
    {84, 120, false},          {85, 130, false}, {86, 150, false},
    {87, 160, false},          {88, 170, false}, {MSG_PRESS_UP, 200, false},
};

const PageLine creditsPage[] = {
    {MSG_CREDITS, 40, true},
    {71, 80, false},
    {72, 90, false},
    {73, 100, false},
    {74, 120, false},
    {75, 130, false},
    {76, 150, false},
    {77, 160, false},
    {78, 170, false},
    {79, 180, false},
    {MSG_PRESS_UP, 210, false},
};

template <size_t N>
void drawPage(SDL_Surface* target, const PageLine (&page)[N]) {
    fillRect(target, 0, 0, (Uint16)target->w, (Uint16)target->h, BLACK);
    for (const PageLine& line : page)
        drawTextCenterAt(target, message(line.message), line.y, line.big ? fontbig : font);
}

// The pages are left when JUMP or UP is released.
int pageUpdate() {
    return lastKeyTyped == CTRL_JUMP || lastKeyTyped == CTRL_UP;
}

} // namespace

int vemoInit() {
    vemo = loadGFX("zk-vemo", 1, KEY_R, KEY_G, KEY_B);
    zk_logo = loadGFX("zk-logo", 1, KEY_R, KEY_G, KEY_B);
    music = loadMusic(MUS_JINGLE);
    fillRect(screen, 0, 0, (Uint16)screen->w, (Uint16)screen->h, BLACK);
    j = LOGO_START_X;
    dj = 0;
    gx = 0;
    gy = 0;
    return 0;
}

int vemoUpdate() {
    if (j <= logoRest()) {
        // controls count only once the logo has arrived
        if (lastKeyTyped == CTRL_START || lastKeyTyped == CTRL_JUMP) return 1;
        if (music && !MP_PlayingMusic()) return 1;
    }
    dj++;
    return 0;
}

int vemoRender(SDL_Surface* target) {
    const int logoY = LOGO_BOTTOM - zk_logo->h;
    fillRect(target, (Sint16)gx, (Sint16)gy, (Uint16)vemo->w, (Uint16)vemo->h, BLACK);
    fillRect(target, (Sint16)j, (Sint16)logoY, (Uint16)zk_logo->w, (Uint16)zk_logo->h, BLACK);

    gx = MASCOT_X - vemo->w / 2 + (tcos[dj % TRIG_STEPS] >> MASCOT_SWING_SHIFT);
    gy = MASCOT_Y - vemo->h / 2 + (tsin[(MASCOT_Y_SPEED * dj) % TRIG_STEPS] >> MASCOT_SWING_SHIFT);
    blitImage(vemo, (Sint16)gx, (Sint16)gy, target);

    // The logo stops exactly at its rest, whatever the parity of its width: a logo that
    // stepped past it would never start the jingle and the screen would end at once.
    const int rest = logoRest();
    if (j > rest) {
        j = j - LOGO_SPEED > rest ? j - LOGO_SPEED : rest;
        if (j == rest && music) MP_PlayMusic(music, 1);
    }
    blitImage(zk_logo, (Sint16)j, (Sint16)logoY, target);
    return 0;
}

int vemoShutdown() {
    freeSurface(vemo);
    freeSurface(zk_logo);
    vemo = zk_logo = nullptr;
    if (music) stopMusic(music);
    music = nullptr;
    return 0;
}

int warningInit() {
    return 0;
}
int warningUpdate() {
    return pageUpdate();
}
int warningRender(SDL_Surface* target) {
    drawPage(target, warningPage);
    return 0;
}
int warningShutdown() {
    return 0;
}

int opensourceInit() {
    return 0;
}
int opensourceUpdate() {
    return pageUpdate();
}
int opensourceRender(SDL_Surface* target) {
    drawPage(target, creditsPage);
    return 0;
}
int opensourceShutdown() {
    return 0;
}
