// The 2x scalers: `screen` (320x240) into `fscreen` (640x480), 16 or 24 bits per pixel.
#pragma once
#include <SDL.h>

void zoom2();      // plain pixel doubling
void Scale2X();    // Scale2x edge-preserving enlargement
void antiAlias2(); // averaging of neighbours; needs aabuf

// The same scalers on any pair of surfaces of one pixel format, 2 bytes per pixel or
// (anything else) 3 bytes per pixel; dst must be at least twice as wide and as high as src,
// else nothing happens. antiAlias2Surface centres the picture vertically in a taller dst and
// needs a buffer of 2 words per source pixel.
void zoom2Surface(SDL_Surface* src, SDL_Surface* dst);
void scale2xSurface(SDL_Surface* src, SDL_Surface* dst);
void antiAlias2Surface(SDL_Surface* src, SDL_Surface* dst, Uint32* buf);

// The mask that clears the lowest bit of each colour channel, so that
// (((a & m) + (b & m)) >> 1) + (a & b & ~m) averages two pixels channel by channel.
Uint32 halvingMask(const SDL_PixelFormat* format);

// 1 (the default where the processor has it) = the scalers take their SSE2 paths.
extern int scalerUseSimd;
