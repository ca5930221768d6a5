// The three scalers held bit for bit against plain per-pixel versions written straight from
// their rules, on hand-made and random pictures of many sizes, at 16 and 24 bits.
#include "gfx/scalers.h"
#include "gfx/video.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

SDL_Surface* makeSurface(int w, int h, int bpp) {
    SDL_Surface* s =
        bpp == 16 ? SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0)
                  : SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    if (!s) throw std::runtime_error(SDL_GetError());
    return s;
}

struct Pic {
    int w, h;
    std::vector<Uint32> px;
    Uint32 at(int x, int y) const { return px[(size_t)y * w + x]; }
};

Pic readPic(SDL_Surface* s) {
    Pic p{s->w, s->h, std::vector<Uint32>((size_t)s->w * s->h)};
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++)
            p.px[(size_t)y * s->w + x] = rawPixel(s, x, y);
    return p;
}

void fill(SDL_Surface* s, const std::vector<Uint32>& colours, std::mt19937& rng) {
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++)
            putRawPixel(s, x, y, colours[rng() % colours.size()]);
}

Uint32 maskFor(int bpp) {
    return bpp == 16 ? 0xF7DEu : 0xFEFEFEu;
}
Uint32 valueMask(int bpp) {
    return bpp == 16 ? 0xFFFFu : 0xFFFFFFu;
}

// ---- plain versions, one pixel at a time

Pic refZoom(const Pic& p) {
    Pic o{2 * p.w, 2 * p.h, std::vector<Uint32>((size_t)4 * p.w * p.h)};
    for (int y = 0; y < o.h; y++)
        for (int x = 0; x < o.w; x++)
            o.px[(size_t)y * o.w + x] = p.at(x / 2, y / 2);
    return o;
}

Pic refScale2x(const Pic& p) {
    Pic o{2 * p.w, 2 * p.h, std::vector<Uint32>((size_t)4 * p.w * p.h)};
    for (int y = 0; y < p.h; y++)
        for (int x = 0; x < p.w; x++) {
            Uint32 e = p.at(x, y);
            Uint32 b = y > 0 ? p.at(x, y - 1) : e;
            Uint32 h = y < p.h - 1 ? p.at(x, y + 1) : e;
            Uint32 d = x > 0 ? p.at(x - 1, y) : e;
            Uint32 f = x < p.w - 1 ? p.at(x + 1, y) : e;
            Uint32 e0 = e, e1 = e, e2 = e, e3 = e;
            if (!(b == h || d == f)) {
                e0 = d == b ? d : e;
                e1 = b == f ? f : e;
                e2 = d == h ? d : e;
                e3 = h == f ? f : e;
            }
            o.px[(size_t)(2 * y) * o.w + 2 * x] = e0;
            o.px[(size_t)(2 * y) * o.w + 2 * x + 1] = e1;
            o.px[(size_t)(2 * y + 1) * o.w + 2 * x] = e2;
            o.px[(size_t)(2 * y + 1) * o.w + 2 * x + 1] = e3;
        }
    return o;
}

// The averaging scaler's rules; the row and column it leaves to us repeat their neighbours.
Pic refAntiAlias(const Pic& p, Uint32 m) {
    auto avg = [m](Uint32 a, Uint32 b) { return ((a & m) + (b & m)) >> 1; };
    Pic o{2 * p.w, 2 * p.h, std::vector<Uint32>((size_t)4 * p.w * p.h)};
    auto out = [&o](int x, int y) -> Uint32& { return o.px[(size_t)y * o.w + x]; };
    for (int y = 0; y + 1 < p.h; y++) {
        for (int x = 0; x + 1 < p.w; x++) {
            Uint32 a = p.at(x, y), r = p.at(x + 1, y), d = p.at(x, y + 1);
            out(2 * x, 2 * y) = a;
            out(2 * x + 1, 2 * y) = avg(a, r);
            out(2 * x, 2 * y + 1) = avg(a, d);
            out(2 * x + 1, 2 * y + 1) = avg(d, r);
        }
        out(2 * p.w - 2, 2 * y) = p.at(p.w - 1, y);
        out(2 * p.w - 2, 2 * y + 1) = p.at(p.w - 1, y + 1);
    }
    for (int x = 0; x + 1 < p.w; x++) {
        out(2 * x, 2 * p.h - 1) = p.at(x, p.h - 1);
        out(2 * x + 1, 2 * p.h - 1) = avg(p.at(x, p.h - 1), p.at(x + 1, p.h - 1));
    }
    out(2 * p.w - 2, 2 * p.h - 1) = p.at(p.w - 1, p.h - 1);
    for (int y = 0; y < o.h; y++)
        out(2 * p.w - 1, y) = out(2 * p.w - 2, y);
    for (int x = 0; x < o.w; x++)
        out(x, 2 * p.h - 2) = out(x, 2 * p.h - 1);
    return o;
}

// ---- running the real scalers

enum Which { ZOOM, SCALE2X, ANTIALIAS };

// simd 0 runs the portable paths.
Pic runScaler(Which which, SDL_Surface* src, int extraRows = 0, int simd = 1) {
    SDL_Surface* dst = makeSurface(2 * src->w, 2 * src->h + extraRows, src->format->BitsPerPixel);
    SDL_FillRect(dst, nullptr, 0x123456 & valueMask(src->format->BitsPerPixel));
    std::vector<Uint32> buf((size_t)src->w * src->h * 2);
    const int saved = scalerUseSimd;
    scalerUseSimd = simd;
    switch (which) {
    case ZOOM:
        zoom2Surface(src, dst);
        break;
    case SCALE2X:
        scale2xSurface(src, dst);
        break;
    case ANTIALIAS:
        antiAlias2Surface(src, dst, buf.data());
        break;
    }
    scalerUseSimd = saved;
    Pic o = readPic(dst);
    SDL_FreeSurface(dst);
    return o;
}

Pic expected(Which which, const Pic& p, int bpp) {
    switch (which) {
    case ZOOM:
        return refZoom(p);
    case ANTIALIAS:
        return refAntiAlias(p, maskFor(bpp));
    default:
        return refScale2x(p);
    }
}

const char* nameOf(Which w) {
    static const char* names[] = {"zoom2", "Scale2X", "antiAlias2"};
    return names[w];
}

void expectSame(const Pic& got, const Pic& want, const std::string& what) {
    ASSERT_EQ(got.w, want.w) << what;
    ASSERT_EQ(got.h, want.h) << what;
    int bad = 0;
    for (int y = 0; y < got.h && bad < 5; y++)
        for (int x = 0; x < got.w && bad < 5; x++)
            if (got.at(x, y) != want.at(x, y)) {
                ADD_FAILURE() << what << ": out(" << x << ", " << y << ") = " << std::hex
                              << got.at(x, y) << ", want " << want.at(x, y);
                bad++;
            }
}

class ScalerTest : public ::testing::TestWithParam<int> {
  protected:
    int bpp() const { return GetParam(); }
    void SetUp() override { useTestScreen(16); }
};

} // namespace

TEST_P(ScalerTest, MatchPlainVersionsOnRandomPicturesOfManySizes) {
    std::mt19937 rng(99);
    const int sizes[][2] = {{320, 240}, {1, 1}, {2, 1}, {1, 2},  {7, 5},  {9, 3},  {17, 13},
                            {33, 1},    {1, 9}, {8, 8}, {15, 2}, {24, 7}, {31, 31}};
    for (auto [w, h] : sizes) {
        for (int palette : {3, 0}) {
            SDL_Surface* src = makeSurface(w, h, bpp());
            std::vector<Uint32> colours;
            if (palette) // few colours: lots of equal neighbours
                colours = {0x0000, 0xF800 & valueMask(bpp()), 0x07E0, 0xABCDEF & valueMask(bpp())};
            else
                for (int i = 0; i < 4096; i++)
                    colours.push_back(rng() & valueMask(bpp()));
            fill(src, colours, rng);
            Pic p = readPic(src);
            for (Which which : {ZOOM, SCALE2X, ANTIALIAS})
                for (int simd : {1, 0}) {
                    std::string what = std::string(nameOf(which)) + (simd ? "" : " portable") +
                                       " " + std::to_string(w) + "x" + std::to_string(h) +
                                       (palette ? " few colours" : " noise") + " at " +
                                       std::to_string(bpp());
                    expectSame(runScaler(which, src, 0, simd), expected(which, p, bpp()), what);
                }
            SDL_FreeSurface(src);
        }
    }
}

TEST_P(ScalerTest, Scale2xKeepsTheCornerBetweenTwoEdges) {
    // B = D = X and F = H = Y around E: X, E on top and E, Y below
    const Uint32 X = 0x1111 & valueMask(bpp()), Y = 0x2222, E = 0x3333, Z = 0x4444;
    SDL_Surface* src = makeSurface(3, 3, bpp());
    const Uint32 grid[3][3] = {{Z, X, Z}, {X, E, Y}, {Z, Y, Z}};
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 3; x++)
            putRawPixel(src, x, y, grid[y][x]);
    for (int simd : {1, 0}) {
        Pic o = runScaler(SCALE2X, src, 0, simd);
        EXPECT_EQ(o.at(2, 2), X) << simd;
        EXPECT_EQ(o.at(3, 2), E) << simd;
        EXPECT_EQ(o.at(2, 3), E) << simd;
        EXPECT_EQ(o.at(3, 3), Y) << simd;
    }
    SDL_FreeSurface(src);
}

TEST_P(ScalerTest, Scale2xBorderPairsRepeatTheEdgePixel) {
    std::mt19937 rng(5);
    SDL_Surface* src = makeSurface(320, 240, bpp());
    fill(src, {0x0001, 0x0002, 0x0003}, rng);
    Pic p = readPic(src);
    for (int simd : {1, 0}) {
        Pic o = runScaler(SCALE2X, src, 0, simd);
        for (int x = 0; x < 320; x++) {
            EXPECT_EQ(o.at(2 * x, 0), p.at(x, 0));
            EXPECT_EQ(o.at(2 * x + 1, 0), p.at(x, 0));
            EXPECT_EQ(o.at(2 * x, 479), p.at(x, 239));
            EXPECT_EQ(o.at(2 * x + 1, 479), p.at(x, 239));
        }
        for (int y = 0; y < 240; y++) {
            EXPECT_EQ(o.at(0, 2 * y), p.at(0, y));
            EXPECT_EQ(o.at(0, 2 * y + 1), p.at(0, y));
            EXPECT_EQ(o.at(639, 2 * y), p.at(319, y));
            EXPECT_EQ(o.at(639, 2 * y + 1), p.at(319, y));
        }
    }
    SDL_FreeSurface(src);
}

TEST_P(ScalerTest, UniformPicturesStayUniform) {
    SDL_Surface* src = makeSurface(320, 240, bpp());
    // (the averaging drops each channel's lowest bit, so the colour has none set)
    const Uint32 c = 0x5A5A5A & maskFor(bpp());
    SDL_FillRect(src, nullptr, c);
    for (Which which : {ZOOM, SCALE2X, ANTIALIAS})
        for (int simd : {1, 0}) {
            Pic o = runScaler(which, src, 0, simd);
            for (Uint32 v : o.px)
                ASSERT_EQ(v, c) << nameOf(which) << " simd " << simd;
        }
    SDL_FreeSurface(src);
}

TEST_P(ScalerTest, OneWhitePixelSmoothsIntoItsNeighbours) {
    SDL_Surface* src = makeSurface(320, 240, bpp());
    SDL_FillRect(src, nullptr, 0);
    const Uint32 white = valueMask(bpp());
    const Uint32 half = bpp() == 16 ? 0x7BEFu : 0x7F7F7Fu;
    putRawPixel(src, 10, 10, white);
    for (int simd : {1, 0}) {
        Pic o = runScaler(ANTIALIAS, src, 0, simd);
        EXPECT_EQ(o.at(20, 20), white);
        for (auto [x, y] : {std::pair{21, 20}, {20, 21}, {19, 20}, {19, 21}, {20, 19}, {21, 19}})
            EXPECT_EQ(o.at(x, y), half) << x << ", " << y;
        for (auto [x, y] : {std::pair{21, 21}, {19, 19}, {18, 20}})
            EXPECT_EQ(o.at(x, y), 0u) << x << ", " << y;
    }
    SDL_FreeSurface(src);
}

TEST_P(ScalerTest, AntiAliasCentresInATallerDisplay) {
    std::mt19937 rng(3);
    SDL_Surface* src = makeSurface(20, 10, bpp());
    fill(src, {0x10, 0x20, 0x0400}, rng);
    Pic want = refAntiAlias(readPic(src), maskFor(bpp()));
    for (int simd : {1, 0}) {
        Pic o = runScaler(ANTIALIAS, src, 6, simd); // 3 rows above and below stay as they were
        for (int x = 0; x < o.w; x++) {
            for (int y : {0, 1, 2, 23, 24, 25})
                EXPECT_EQ(o.at(x, y), 0x123456 & valueMask(bpp())) << x << ", " << y;
            for (int y = 0; y < 20; y++)
                ASSERT_EQ(o.at(x, y + 3), want.at(x, y)) << x << ", " << y;
        }
    }
    SDL_FreeSurface(src);
}

TEST_P(ScalerTest, MismatchedOrSmallTargetsAreLeftAlone) {
    SDL_Surface* src = makeSurface(10, 10, bpp());
    SDL_FillRect(src, nullptr, 0x77);
    SDL_Surface* small = makeSurface(19, 20, bpp());
    SDL_Surface* other = makeSurface(20, 20, bpp() == 16 ? 24 : 16);
    SDL_FillRect(small, nullptr, 1);
    SDL_FillRect(other, nullptr, 1);
    std::vector<Uint32> buf(200);
    for (SDL_Surface* dst : {small, other}) {
        zoom2Surface(src, dst);
        scale2xSurface(src, dst);
        antiAlias2Surface(src, dst, buf.data());
        for (Uint32 v : readPic(dst).px)
            ASSERT_EQ(v, 1u);
    }
    SDL_FreeSurface(src);
    SDL_FreeSurface(small);
    SDL_FreeSurface(other);
}

INSTANTIATE_TEST_SUITE_P(Depths, ScalerTest, ::testing::Values(16, 24),
                         [](const auto& info) { return std::to_string(info.param) + "bpp"; });
