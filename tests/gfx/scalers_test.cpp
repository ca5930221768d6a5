// The three scalers held bit for bit against a plain per-pixel version written straight from
// their rules, on random pictures of many sizes at 16 and 24 bits (red or blue in the high
// bits), with and without the SIMD paths, into a display taller than the picture (smoothing
// centres it there).
#include "gfx/scalers.h"
#include "gfx/video.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
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

const Uint32 UNTOUCHED = 0x3456;
std::vector<Uint32> buffer;

// Runs a scaler into a target `extraRows` taller than twice the source.
SDL_Surface* scaled(Which which, SDL_Surface* src, int depth, int simd, int extraRows) {
    SDL_Surface* dst = makeSurface(2 * src->w, 2 * src->h + extraRows, depth);
    SDL_FillRect(dst, nullptr, UNTOUCHED);
    buffer.assign((size_t)src->w * src->h * 2, 0);
    const int saved = scalerUseSimd;
    scalerUseSimd = simd;
    which == ZOOM      ? zoom2Surface(src, dst)
    : which == SCALE2X ? scale2xSurface(src, dst)
                       : antiAlias2Surface(src, dst, buffer.data());
    scalerUseSimd = saved;
    return dst;
}

class ScalerTest : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override { useTestScreen(16); }
    SDL_Surface* picture(int w, int h, const std::vector<Uint32>& px) {
        SDL_Surface* s = makeSurface(w, h, GetParam());
        for (int i = 0; i < w * h; i++)
            putRawPixel(s, i % w, i / w,
                        px[i] & (s->format->BitsPerPixel == 16 ? 0xFFFFu : 0xFFFFFFu));
        return s;
    }
};

} // namespace

TEST_P(ScalerTest, MatchThePlainVersionOnPicturesOfManySizes) {
    std::mt19937 rng(99);
    const int sizes[][2] = {{320, 240}, {1, 1}, {2, 1}, {1, 2},  {7, 5},  {9, 3},  {17, 13},
                            {33, 1},    {1, 9}, {8, 8}, {15, 2}, {24, 7}, {31, 31}};
    const Uint32 few[] = {0, 0xF800, 0x07E0, 0xABCDEF}; // many equal neighbours
    for (auto [w, h] : sizes)
        for (bool noise : {false, true}) {
            std::vector<Uint32> px(w * h);
            for (Uint32& v : px)
                v = noise ? rng() : few[rng() % 4];
            SDL_Surface* src = picture(w, h, px);
            for (Which which : {ZOOM, SCALE2X, ANTIALIAS})
                for (int simd : {1, 0}) {
                    SCOPED_TRACE(::testing::Message()
                                 << "scaler " << which << " simd " << simd << " " << w << "x" << h
                                 << " noise " << noise);
                    SDL_Surface* dst = scaled(which, src, GetParam(), simd, 6);
                    const int top = which == ANTIALIAS ? 3 : 0;
                    [&] { // stops at the first difference
                        for (int Y = 0; Y < 2 * h + 6; Y++)
                            for (int X = 0; X < 2 * w; X++)
                                ASSERT_EQ(rawPixel(dst, X, Y), Y < top || Y >= top + 2 * h
                                                                   ? UNTOUCHED
                                                                   : plain(which, src, X, Y - top))
                                    << "out(" << X << ", " << Y << ")";
                    }();
                    SDL_FreeSurface(dst);
                }
            SDL_FreeSurface(src);
        }
}

INSTANTIATE_TEST_SUITE_P(Depths, ScalerTest, ::testing::Values(16, 24, -16, -24),
                         [](const auto& info) {
                             return (info.param < 0 ? "bgr" : "") +
                                    std::to_string(std::abs(info.param)) + "bpp";
                         });
