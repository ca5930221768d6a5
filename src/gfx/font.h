// The two sprite fonts and text drawing. A font is a null-terminated array of glyph images;
// glyph k shows the character with code 32 + k.
#pragma once
#include <SDL.h>

typedef SDL_Surface** Font;

extern Font font;    // 8x8 glyphs, from the image "font"
extern Font fontbig; // 16x16 glyphs, from the image "fontbig"

void loadSpriteFont();
Font createFont(SDL_Surface* image, int glyphWidth, int glyphHeight);
void destroyFonts();

void drawTextAt(SDL_Surface* dst, const char* text, int x, int y, Font f);
void drawTextNAt(SDL_Surface* dst, const char* text, int n, int x, int y, Font f);
void drawTextCenterAt(SDL_Surface* dst, const char* text, int y, Font f);
void drawNumberAt(SDL_Surface* dst, int value, int x, int y, int width, int leadingZeros, Font f);
