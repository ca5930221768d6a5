#include "art_files.h"

#include <SDL.h>
#include <fstream>
#include <iterator>
#include <stdexcept>

std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

Picture decodeBMP(const std::vector<unsigned char>& bytes) {
    Picture p;
    if (bytes.empty()) return p;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), (int)bytes.size());
    SDL_Surface* s = SDL_LoadBMP_RW(rw, 1);
    if (!s) return p;
    // through a 32-bit surface, whatever the file's depth
    SDL_Surface* rgb =
        SDL_CreateRGBSurface(SDL_SWSURFACE, s->w, s->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_BlitSurface(s, nullptr, rgb, nullptr);
    p.width = s->w;
    p.height = s->h;
    p.px.resize(size_t(p.width) * p.height);
    SDL_LockSurface(rgb);
    for (int y = 0; y < p.height; y++) {
        const Uint32* row = (const Uint32*)((const Uint8*)rgb->pixels + y * rgb->pitch);
        for (int x = 0; x < p.width; x++)
            p.px[size_t(y) * p.width + x] = row[x] & 0xFFFFFF;
    }
    SDL_UnlockSurface(rgb);
    SDL_FreeSurface(rgb);
    SDL_FreeSurface(s);
    return p;
}

Picture builtImage(const std::string& name) {
    return decodeBMP(readBytes("gfx/" + name + ".bmp"));
}

Picture tileOf(const Picture& sheet, int n) {
    Picture t;
    t.width = t.height = 16;
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
            t.px.push_back(sheet.at((n % 20) * 16 + x, (n / 20) * 16 + y));
    return t;
}

int drawnPixels(const Picture& p) {
    int n = 0;
    for (uint32_t c : p.px)
        n += c != CLEAR;
    return n;
}

bool samePixels(const Picture& a, const Picture& b) {
    return a.width == b.width && a.height == b.height && a.px == b.px;
}

const Palette& gamePalette() {
    static Palette pal;
    static bool loaded = false;
    if (!loaded) {
        std::string text, why;
        if (!readTextFile(std::string(TROBZ_SOURCE_DIR) + "/assets/gfx/palette.txt", &text) ||
            !parsePalette(text, "palette.txt", &pal, &why))
            throw std::runtime_error("cannot read the palette: " + why);
        loaded = true;
    }
    return pal;
}

int luma(uint32_t c) {
    return (int)((((c >> 16) & 0xFF) * 299 + ((c >> 8) & 0xFF) * 587 + (c & 0xFF) * 114) / 1000);
}
