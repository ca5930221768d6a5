// The images makegfx builds, as a player sees them: every one reaches the game through the
// graphics archive unchanged at the size the game draws it, the block sheet shows every
// animation moving and every cell that matters, the water surface and the backdrop repeat
// without a seam, and the two fonts have a glyph of their own for every character of the
// messages.
#include "anim/anims.h"
#include "data/archive.h"
#include "gfx/blocks.h"
#include "gfx/messages.h"
#include "test_env.h"
#include "world/map.h"
#include "world/monsters.h"

#include <SDL.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr uint32_t CLEAR = 0xFF00FF; // magenta, the transparent colour

// A picture as plain 0xRRGGBB pixels.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> px;
    uint32_t at(int x, int y) const { return px[size_t(y) * width + x]; }
    bool operator==(const Picture& o) const { return width == o.width && px == o.px; }
};

// BMP bytes as SDL's own reader takes them, whatever the file's depth; empty when it rejects
// them.
Picture decodeBMP(const std::string& bytes) {
    Picture p;
    SDL_Surface* s = SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
    if (!s) return p;
    p.width = s->w;
    p.height = s->h;
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++)
            p.px.push_back(pixelRGB(s, x, y));
    SDL_FreeSurface(s);
    return p;
}

// gfx/<name>.bmp of the build directory (the tests' working directory).
Picture builtImage(const std::string& name) {
    return decodeBMP(readWholeFile("gfx/" + name + ".bmp"));
}

// Cell n of a picture cut into size x size cells, row after row: a tile of the block sheet,
// a glyph of a font.
Picture cellOf(const Picture& sheet, int n, int size) {
    const int columns = sheet.width / size;
    Picture t;
    t.width = t.height = size;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++)
            t.px.push_back(sheet.at((n % columns) * size + x, (n / columns) * size + y));
    return t;
}

int drawnPixels(const Picture& p) {
    int n = 0;
    for (uint32_t c : p.px)
        n += c != CLEAR;
    return n;
}

TEST(BuiltImages, ReachTheGameUnchangedAtTheirSizes) {
    const struct {
        const char* name;
        int width, height; // 0: any
        bool keyed;        // drawn over other pictures with magenta see-through
    } images[] = {
        {"font", 0, 0, true},        {"fontbig", 0, 0, true},     {"logo", 0, 0, true},
        {"back", 0, 192, false},     {"zk-vemo", 0, 0, true},     {"zk-logo", 0, 0, true},
        {"blocks", 320, 192, true},  {"storya", 320, 200, false}, {"storyb", 320, 200, false},
        {"storyc", 320, 200, false}, {"storyd", 320, 200, false}, {"storye", 320, 200, false},
    };
    openArchives();
    for (const auto& i : images) {
        SCOPED_TRACE(i.name);
        Picture p = builtImage(i.name);
        ASSERT_GT(p.width, 0) << "SDL could not read gfx/" << i.name << ".bmp";
        EXPECT_EQ(p.width, i.width ? i.width : std::min(p.width, i.keyed ? 320 : p.width));
        EXPECT_EQ(p.height, i.height ? i.height : p.height);
        // no magenta may show through a picture without colour key
        EXPECT_TRUE(i.keyed || drawnPixels(p) == int(p.px.size()));
        uint32_t size = 0;
        unsigned char* data = loadZDAFile(ZDA_GFX, i.name, "bmp", &size);
        ASSERT_NE(data, nullptr) << "data/gfx.zda has no " << i.name << ".bmp";
        EXPECT_TRUE(decodeBMP(std::string((const char*)data, size)) == p)
            << "the archive's copy differs from the built image";
        std::free(data);
    }
    closeArchives();
}

TEST(BlockSheet, EveryAnimationMovesAndNothingThatMattersIsInvisible) {
    const Picture sheet = builtImage("blocks");
    ASSERT_EQ(sheet.width, 320);
    auto tile = [&](int n) { return cellOf(sheet, n, 16); };
    auto seq = [](const auto& t) { return std::vector<int>(std::begin(t), std::end(t)); };
    EXPECT_EQ(drawnPixels(tile(0)), 0) << "tile 0 stands in for the hidden hero";
    const std::vector<int> anims[] = {
        seq(blobbas),       seq(bat),           seq(death_suicide),
        seq(death_crushed), seq(death_drowned), seq(death_drowned2),
        seq(death_explode), seq(death_dead),    seq(death_slash),
        seq(explode),       seq(krack[0]),      seq(krack[1]),
        seq(trap),          seq(shine),
    };
    // every image has art (0 stands for nothing), and each differs from the next one that
    // is not a deliberate repeat, so the motion shows
    for (const std::vector<int>& f : anims)
        for (size_t i = 0; i < f.size(); i++) {
            if (f[i] == 0) continue;
            EXPECT_GT(drawnPixels(tile(f[i])), 0) << "image " << f[i] << " is empty";
            bool moves = i + 1 < f.size() && f[i + 1] != f[i] && f[i + 1] != 0;
            EXPECT_FALSE(moves && tile(f[i]) == tile(f[i + 1]))
                << "images " << f[i] << " and " << f[i + 1] << " are the same";
        }
    for (int v = 1; v < NUM_BLOCKS; v++) {
        SCOPED_TRACE(v);
        int drawn = drawnPixels(tile(v));
        // ground the hero stands on must look like ground: at least a third of the cell
        bool solid = block_type[v] == BLOCK_SOLID || block_type[v] == BLOCK_PUSHABLE;
        EXPECT_GE(drawn, solid ? 256 / 3 : 0) << "solid value looks too empty";
        EXPECT_FALSE(drawn == 0 && block_type[v] == BLOCK_LETHAL) << "lethal value is invisible";
        EXPECT_FALSE(drawn == 0 && block_plan[v] == 1) << "front-plane value has no art";
    }
}

// The step in brightness (0 ... 255) between two columns of a picture, rows y0 ... y1 - 1; a
// see-through pixel beside a drawn one is the biggest step.
int columnStep(const Picture& p, int a, int b, int y0, int y1) {
    auto luma = [](uint32_t c) {
        return int((((c >> 16) & 0xFF) * 299 + ((c >> 8) & 0xFF) * 587 + (c & 0xFF) * 114) / 1000);
    };
    int sum = 0;
    for (int y = y0; y < y1; y++) {
        uint32_t c = p.at(a, y), d = p.at(b, y);
        sum += (c == CLEAR) != (d == CLEAR) ? 255 : c == CLEAR ? 0 : std::abs(luma(c) - luma(d));
    }
    return sum;
}

// Both repeat side by side, the water's 32-pixel surface strip (tiles 160, 161) rotated by
// any amount: the step from the last column to the first must look like any step inside.
TEST(RepeatedPictures, TheWaterSurfaceAndTheBackdropJoinWithoutASeam) {
    const Picture sheet = builtImage("blocks"), back = builtImage("back");
    const struct {
        const Picture& p;
        int width, y0, y1;
    } strips[] = {{sheet, 32, 128, 144}, {back, back.width, 0, back.height}};
    for (const auto& s : strips) {
        ASSERT_GE(s.p.width, s.width);
        int worstInside = 0;
        for (int x = 0; x + 1 < s.width; x++)
            worstInside = std::max(worstInside, columnStep(s.p, x, x + 1, s.y0, s.y1));
        EXPECT_LE(columnStep(s.p, s.width - 1, 0, s.y0, s.y1), worstInside) << s.width;
    }
    // a flat backdrop that passes trivially is refused
    EXPECT_GE(std::set<uint32_t>(back.px.begin(), back.px.end()).size(), 8u);
}

TEST(Fonts, HaveADifferentGlyphForEveryCharacterOfTheMessages) {
    const struct {
        const char* image;
        int size; // glyph width and height
    } fonts[] = {{"font", 8}, {"fontbig", 16}};
    for (const auto& f : fonts) {
        SCOPED_TRACE(f.image);
        const Picture img = builtImage(f.image);
        const int count = (img.width / f.size) * (img.height / f.size);
        auto glyph = [&](int code) { return cellOf(img, code - 32, f.size); };
        ASSERT_GE(count, 'Z' - 32 + 1);
        EXPECT_EQ(img.width % f.size, 0) << "a partial column of cells would be cut away";
        EXPECT_EQ(img.height % f.size, 0);
        EXPECT_EQ(drawnPixels(glyph(' ')), 0) << "the blank must be empty";
        for (int a = '!'; a <= 'Z'; a++)
            for (int b = a + 1; b <= 'Z'; b++)
                EXPECT_FALSE(glyph(a) == glyph(b))
                    << "'" << char(a) << "' and '" << char(b) << "' look alike";
        for (int m = 0; m < NUM_MESSAGES; m++)
            for (unsigned char c : std::string(translation[0][m])) {
                ASSERT_TRUE(c >= 32 && c < 32 + count) << "message " << m << " uses " << c;
                EXPECT_TRUE(c == ' ' || drawnPixels(glyph(c)) > 0) << "message " << m << c;
            }
    }
}

} // namespace
