// Drawing helpers of the picture builder: everything works on RgbImage (0xRRGGBB pixels,
// magenta = clear) and draws only colours of the game palette.
#pragma once
#include "bmp_writer.h"
#include "pixel_art.h"

#include <map>
#include <string>

// The palette every builder draws with, loaded once by main.
extern Palette gPal;
uint32_t C(const char* name); // a palette colour by name; aborts on a name not in the palette

void fillRect(RgbImage& img, int x, int y, int w, int h, uint32_t c);
void putPixel(RgbImage& img, int x, int y, uint32_t c); // clipped
// Draws src at (x, y); magenta pixels of src are skipped.
void blit(RgbImage& dst, const RgbImage& src, int x, int y);
// Copies a rectangle of src (magenta included) to (x, y) of dst.
void copyRect(RgbImage& dst, const RgbImage& src, int sx, int sy, int w, int h, int x, int y);
RgbImage crop(const RgbImage& src, int x, int y, int w, int h);
RgbImage scaleNearest(const RgbImage& src, int factor);
RgbImage scaleEPX(const RgbImage& src); // 2x with smoothed diagonals
RgbImage mirrored(const RgbImage& src);

// Every clear pixel next to (8-neighbourhood) a drawn one becomes c: a one-pixel outline.
void outline(RgbImage& img, uint32_t c);
// Clear pixels at (x+dx, y+dy) of drawn ones become c.
void dropShadow(RgbImage& img, int dx, int dy, uint32_t c);

// Ordered (4x4 Bayer) choice between two colours: t = 0 gives a, 16 gives b.
uint32_t dither(uint32_t a, uint32_t b, int t, int x, int y);
// A vertical ramp through the colours over rows y0 ... y1, dithered between neighbours.
void verticalRamp(RgbImage& img, int x0, int x1, int y0, int y1, const std::vector<uint32_t>& ramp);
void fillEllipse(RgbImage& img, int cx, int cy, int rx, int ry, uint32_t c);
void fillCircle(RgbImage& img, int cx, int cy, int r, uint32_t c);
void drawLine(RgbImage& img, int x0, int y0, int x1, int y1, uint32_t c);

// Art images by name, loaded by main from the art files ("image NAME WxH").
extern std::map<std::string, RgbImage> gArt;
const RgbImage& art(const std::string& name); // aborts on a name no art file defines
