// Helpers of the art tests: the images makegfx wrote into the build directory, read back
// with SDL's own BMP reader as plain 0xRRGGBB pixels, and the game palette.
#pragma once
#include "pixel_art.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t CLEAR = 0xFF00FF; // magenta, the transparent colour

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> px;
    uint32_t at(int x, int y) const { return px[size_t(y) * width + x]; }
    bool clear(int x, int y) const { return at(x, y) == CLEAR; }
};

// Decodes BMP bytes with SDL_LoadBMP_RW; an empty picture when SDL rejects them.
Picture decodeBMP(const std::vector<unsigned char>& bytes);
// gfx/<name>.bmp of the build directory (the tests' working directory).
Picture builtImage(const std::string& name);
std::vector<unsigned char> readBytes(const std::string& path);

// The 16x16 tile n of the block sheet.
Picture tileOf(const Picture& sheet, int n);
int drawnPixels(const Picture& p);
bool samePixels(const Picture& a, const Picture& b);

// assets/gfx/palette.txt of the source tree.
const Palette& gamePalette();

// Brightness 0 ... 255 of a colour, for edge comparisons.
int luma(uint32_t c);
