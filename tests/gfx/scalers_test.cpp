// The three scalers held bit for bit against a plain per-pixel version written straight from
// their rules, on random pictures of many sizes at 16 and 24 bits (red or blue in the high
// bits), with and without the SIMD paths; and the choice of scaler when a frame is shown.
#include "gfx/scalers.h"
#include "gfx/video.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

enum Which { ZOOM, SCALE2X, ANTIALIAS };

// A picture of 16 or 24 bits, red in the high bits; a negative depth puts blue there, as
// some displays have it.
SDL_Surface* makeSurface(int w, int h, int depth) {
    const Uint32 high = depth == 16 || depth == -16 ? 0xF800 : 0xFF0000;
    const Uint32 mid = high == 0xF800 ? 0x07E0 : 0xFF00, low = high == 0xF800 ? 0x1F : 0xFF;
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, high == 0xF800 ? 16 : 24,
                                depth > 0 ? high : low, mid, depth > 0 ? low : high, 0);
}

// Target pixel (X, Y) of a scaler, one pixel at a time from the source `src`.
Uint32 plain(Which which, SDL_Surface* src, int X, int Y) {
    const int w = src->w, h = src->h;
    auto P = [src](int x, int y) { return rawPixel(src, x, y); };
    auto avg = [src](Uint32 a, Uint32 b) { // each channel on its own, rounded down
        const SDL_PixelFormat* f = src->format;
        Uint32 out = 0;
        for (auto [mask, shift] : {std::pair{f->Rmask, f->Rshift}, std::pair{f->Gmask, f->Gshift},
                                   std::pair{f->Bmask, f->Bshift}})
            out |= ((((a & mask) >> shift) + ((b & mask) >> shift)) / 2) << shift;
        return out;
    };
    if (which == ANTIALIAS) { // the row and column it leaves to us repeat their neighbours
        X = X == 2 * w - 1 ? X - 1 : X;
        Y = Y == 2 * h - 2 ? Y + 1 : Y;
    }
    const int x = X / 2, y = Y / 2, right = X % 2, down = Y % 2;
    const Uint32 e = P(x, y);
    if (which == ZOOM) return e;
    if (which == SCALE2X) {
        const Uint32 b = y > 0 ? P(x, y - 1) : e, hh = y < h - 1 ? P(x, y + 1) : e;
        const Uint32 d = x > 0 ? P(x - 1, y) : e, f = x < w - 1 ? P(x + 1, y) : e;
        if (b == hh || d == f) return e;
        const Uint32 side = right ? f : d, edge = down ? hh : b;
        return side == edge ? side : e;
    }
    if (y == h - 1) return right && x < w - 1 ? avg(e, P(x + 1, y)) : e; // last source row
    if (x == w - 1) return down ? P(x, y + 1) : e;                       // last source column
    const Uint32 r = P(x + 1, y), d = P(x, y + 1);
    return right ? (down ? avg(d, r) : avg(e, r)) : (down ? avg(e, d) : e);
}

// Enlarges `src` with one scaler into a target six rows taller than twice the source (which
// smoothing centres in it) and returns the first pixel that differs from the plain version,
// or "" when none does.
std::string firstDifference(Which which, SDL_Surface* src, int depth) {
    const Uint32 untouched = 0x3456;
    const int w = src->w, h = src->h, top = which == ANTIALIAS ? 3 : 0;
    SDL_Surface* dst = makeSurface(2 * w, 2 * h + 6, depth);
    SDL_FillRect(dst, nullptr, untouched);
    std::vector<Uint32> buffer(2 * w * h);
    which == ZOOM      ? zoom2Surface(src, dst)
    : which == SCALE2X ? scale2xSurface(src, dst)
                       : antiAlias2Surface(src, dst, buffer.data());
    std::string diff;
    for (int Y = 0; Y < 2 * h + 6 && diff.empty(); Y++)
        for (int X = 0; X < 2 * w && diff.empty(); X++)
            if (rawPixel(dst, X, Y) !=
                (Y < top || Y >= top + 2 * h ? untouched : plain(which, src, X, Y - top)))
                diff = "out(" + std::to_string(X) + ", " + std::to_string(Y) + ")";
    SDL_FreeSurface(dst);
    return diff;
}

} // namespace

TEST(Scalers, MatchThePlainVersionOnPicturesOfManySizesAndDepths) {
    useTestScreen(16);
    std::mt19937 rng(99);
    const int simdAtStart = scalerUseSimd;
    const int sizes[][2] = {{320, 240}, {1, 1}, {2, 1}, {1, 2},  {7, 5},  {9, 3},  {17, 13},
                            {33, 1},    {1, 9}, {8, 8}, {15, 2}, {24, 7}, {31, 31}};
    const Uint32 few[] = {0, 0xF800, 0x07E0, 0xABCDEF}; // many equal neighbours
    for (int depth : {16, 24, -16, -24})
        for (auto [w, h] : sizes)
            for (bool noise : {false, true}) {
                SDL_Surface* src = makeSurface(w, h, depth);
                for (int i = 0; i < w * h; i++)
                    putRawPixel(src, i % w, i / w,
                                (noise ? rng() : few[rng() % 4]) &
                                    (src->format->BitsPerPixel == 16 ? 0xFFFFu : 0xFFFFFFu));
                for (Which which : {ZOOM, SCALE2X, ANTIALIAS})
                    for (int simd : {1, 0}) {
                        scalerUseSimd = simd;
                        EXPECT_EQ(firstDifference(which, src, depth), "")
                            << "scaler " << which << " simd " << simd << " depth "
                            << std::abs(depth) << (depth > 0 ? " red" : " blue") << " high " << w
                            << "x" << h << " noise " << noise;
                    }
                SDL_FreeSurface(src);
            }
    scalerUseSimd = simdAtStart;
}

// True when the display shows the picture as this scaler's rule enlarges it.
bool shownThrough(Which which) {
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++)
            if (rawPixel(fscreen, x, y) != plain(which, screen, x, y)) return false;
    return true;
}

TEST(Video, PresentingPicksExactlyOneScaler) {
    for (int bpp : {16, 24}) {
        SCOPED_TRACE(bpp);
        useTestScreen(bpp);
        // a display and a picture in its format, showing a corner and a dot on which the
        // three scalers differ
        fscreen = SDL_SetVideoMode(640, 480, bpp, SDL_SWSURFACE);
        const SDL_PixelFormat* f = fscreen->format;
        screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, f->BitsPerPixel, f->Rmask, f->Gmask,
                                      f->Bmask, f->Amask);
        gfxInitColors();
        fillRect(screen, 0, 0, 320, 240, BLACK);
        fillRect(screen, 100, 100, 40, 40, SDL_MapRGB(f, 255, 255, 255));
        fillRect(screen, 140, 100, 1, 1, RED);
        struct {
            int aa2, s2x;
            Which shown; // the flags, and the scaler that must be used
        } cases[] = {{1, 0, ZOOM}, {0, 0, ZOOM}, {0, 1, SCALE2X}, {1, 1, ANTIALIAS}};
        for (const auto& c : cases) {
            aa2 = c.aa2;
            s2x = c.s2x;
            if (&c == &cases[3]) gfxInit(); // smoothing needs its buffer, else plain doubling
            flipScreen();
            for (Which k : {ZOOM, SCALE2X, ANTIALIAS})
                EXPECT_EQ(shownThrough(k), k == c.shown) << c.aa2 << c.s2x << " " << k;
        }
        gfxShutdown();
        SDL_FreeSurface(screen);
        screen = fscreen = nullptr;
        aa2 = s2x = 0;
    }
}
