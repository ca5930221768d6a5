// The 320x240 picture everything is drawn into, its presentation (1x, or 2x through a
// scaler), the named colours, the darkening overlay and rectangle filling.
#pragma once
#include <SDL.h>

constexpr int SCREEN_W = 320;
constexpr int SCREEN_H = 240;
constexpr int VIEW_H = 192;                        // the stage view; the status line lies below
constexpr int ZOOM_W = 640, ZOOM_H = 480;          // the 2x display
constexpr int AABUF_BYTES = SCREEN_H * ZOOM_W * 4; // 240 rows x 640 words of 32 bits

extern SDL_Surface* screen;  // the picture
extern SDL_Surface* fscreen; // the 640x480 display in the 2x modes, else null
extern int aa2;              // present with antiAlias2 (wins over s2x)
extern int s2x;              // present with Scale2X
extern unsigned char* aabuf; // antiAlias2's working buffer
extern SDL_Surface* black;   // 320x192 black overlay with alpha 128

// Named colours in the format of `screen` (valid after gfxInitColors).
extern Uint32 BLACK, RED, DRED, BLUE, DBLUE;

void gfxInit();
void gfxShutdown();
void gfxInitColors();
void gfxPrepareBlackScreen();
void flipScreen();
void darken();
void fillRect(SDL_Surface* dst, Sint16 x, Sint16 y, Uint16 w, Uint16 h, Uint32 color);
