// The picture and its presentation: `screen` is drawn into by everything, `fscreen` is the
// 640x480 display of the doubled modes, filled by one of the scalers at every flip. Also the
// named colours, the half-dark overlay behind the pause menu and dialogs, and rectangles.
#include "gfx/video.h"

#include "data/fatal.h"
#include "gfx/scalers.h"

#include <cstdlib>

SDL_Surface* screen;
SDL_Surface* fscreen;
int aa2;
int s2x;
unsigned char* aabuf;
SDL_Surface* black;

Uint32 BLACK, RED, DRED, BLUE, DBLUE;

namespace {
constexpr Uint8 OVERLAY_ALPHA = 128; // the overlay roughly halves every channel
}

void gfxInit() {
    if (aa2 != 1 || aabuf) return;
    aabuf = (unsigned char*)std::malloc(AABUF_BYTES);
    if (!aabuf) error("Unable to allocate the anti-aliasing buffer", "out of memory");
}

void gfxShutdown() {
    std::free(aabuf);
    aabuf = nullptr;
}

void gfxInitColors() {
    const SDL_PixelFormat* f = screen->format;
    BLACK = SDL_MapRGB(f, 0, 0, 0);
    RED = SDL_MapRGB(f, 255, 0, 0);
    DRED = SDL_MapRGB(f, 128, 0, 0);
    BLUE = SDL_MapRGB(f, 0, 0, 255);
    DBLUE = SDL_MapRGB(f, 0, 0, 128);
}

void gfxPrepareBlackScreen() {
    const SDL_PixelFormat* f = screen->format;
    black = SDL_CreateRGBSurface(SDL_HWSURFACE, SCREEN_W, VIEW_H, f->BitsPerPixel, f->Rmask,
                                 f->Gmask, f->Bmask, f->Amask);
    if (!black) error("Unable to create the overlay", SDL_GetError());
    fillRect(black, 0, 0, (Uint16)black->w, (Uint16)black->h, BLACK);
    SDL_SetAlpha(black, SDL_SRCALPHA, OVERLAY_ALPHA);
}

void flipScreen() {
    if (!fscreen) {
        SDL_Flip(screen);
        return;
    }
    if (aa2 == 1)
        antiAlias2();
    else if (s2x == 1)
        Scale2X();
    else
        zoom2();
    SDL_Flip(fscreen);
}

void darken() {
    SDL_Rect at = {0, 0, 0, 0};
    SDL_BlitSurface(black, nullptr, screen, &at);
}

void fillRect(SDL_Surface* dst, Sint16 x, Sint16 y, Uint16 w, Uint16 h, Uint32 color) {
    SDL_Rect r = {x, y, w, h};
    SDL_FillRect(dst, &r, color);
}
