// Images: BMP members of the graphics archive loaded into the format of `screen`, with or
// without the transparent colour, and drawn whole.
#pragma once
#include <SDL.h>

// The transparent colour of every colour-keyed image.
constexpr int KEY_R = 255, KEY_G = 0, KEY_B = 255;

// Images loaded at start-up and drawn by the stage renderer.
extern SDL_Surface* logo;       // "logo", colour-keyed, on the title screen
extern SDL_Surface* background; // "back", the stage backdrop

SDL_Surface* loadGFX(const char* name, int useColorKey, int r, int g, int b);
void setColorKey(SDL_Surface* image, int r, int g, int b);
void blitImage(SDL_Surface* image, Sint16 x, Sint16 y, SDL_Surface* dst);
// Draws `area` of `image` (all of it when null) at (x, y) of `dst`, clipped like a blit.
// An opaque image in the format of `dst` is copied row by row with memcpy, which keeps its
// speed whatever the alignment of the rows; any other image is blitted.
void copyImage(SDL_Surface* image, const SDL_Rect* area, SDL_Surface* dst, int x, int y);
void freeSurface(SDL_Surface* image);
SDL_Surface* createImage(int width, int height, int useColorKey);
