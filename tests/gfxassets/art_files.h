// Helpers of the art tests: the images makegfx wrote into the build directory, read back
// with SDL's own BMP reader as plain 0xRRGGBB pixels.
#pragma once
#include <SDL.h>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

constexpr uint32_t CLEAR = 0xFF00FF; // magenta, the transparent colour

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> px;
    uint32_t at(int x, int y) const { return px[size_t(y) * width + x]; }
};

inline std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Decodes BMP bytes with SDL_LoadBMP_RW, through a 32-bit surface whatever the file's depth;
// an empty picture when SDL rejects them.
inline Picture decodeBMP(const std::vector<unsigned char>& bytes) {
    Picture p;
    SDL_Surface* s = bytes.empty()
                         ? nullptr
                         : SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
    if (!s) return p;
    SDL_Surface* rgb =
        SDL_CreateRGBSurface(SDL_SWSURFACE, s->w, s->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_BlitSurface(s, nullptr, rgb, nullptr);
    p.width = s->w;
    p.height = s->h;
    SDL_LockSurface(rgb);
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++)
            p.px.push_back(((const Uint32*)((const Uint8*)rgb->pixels + y * rgb->pitch))[x] &
                           0xFFFFFF);
    SDL_UnlockSurface(rgb);
    SDL_FreeSurface(rgb);
    SDL_FreeSurface(s);
    return p;
}

// gfx/<name>.bmp of the build directory (the tests' working directory).
inline Picture builtImage(const std::string& name) {
    return decodeBMP(readBytes("gfx/" + name + ".bmp"));
}

// Cell n of a picture cut into size x size cells, row after row: a tile of the block sheet,
// a glyph of a font.
inline Picture cellOf(const Picture& sheet, int n, int size) {
    const int columns = sheet.width / size;
    Picture t;
    t.width = t.height = size;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++)
            t.px.push_back(sheet.at((n % columns) * size + x, (n / columns) * size + y));
    return t;
}

inline int drawnPixels(const Picture& p) {
    int n = 0;
    for (uint32_t c : p.px)
        n += c != CLEAR;
    return n;
}

inline bool samePixels(const Picture& a, const Picture& b) {
    return a.width == b.width && a.height == b.height && a.px == b.px;
}

// Brightness 0 ... 255 of a colour, for edge comparisons.
inline int luma(uint32_t c) {
    return int((((c >> 16) & 0xFF) * 299 + ((c >> 8) & 0xFF) * 587 + (c & 0xFF) * 114) / 1000);
}
