// The images makegfx builds: every one decodes with SDL and passes ImageMagick's strict
// check, has the size the game draws it at, draws only colours of the game palette, and
// reaches the game through the graphics archive unchanged; the backdrop repeats without a
// seam.
#include "art_files.h"
#include "data/archive.h"

#include <SDL.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>

namespace {

TEST(BuiltImages, DecodeAtTheirSizesUseOnlyThePaletteAndMatchTheArchive) {
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
    const Palette& pal = gamePalette();
    std::set<uint32_t> colours;
    for (char c : pal.order)
        colours.insert(pal[c]);
    openArchives();
    for (const auto& i : images) {
        SCOPED_TRACE(i.name);
        Picture p = builtImage(i.name);
        ASSERT_GT(p.width, 0) << "SDL could not read gfx/" << i.name << ".bmp";
        std::string cmd = std::string("identify -regard-warnings gfx/") + i.name + ".bmp";
        EXPECT_EQ(std::system((cmd + " >/dev/null 2>&1").c_str()), 0) << cmd;
        EXPECT_EQ(p.width, i.width ? i.width : std::min(p.width, i.keyed ? 320 : p.width));
        EXPECT_EQ(p.height, i.height ? i.height : p.height);
        int strays = 0;
        for (uint32_t c : p.px)
            strays += !colours.count(c);
        EXPECT_EQ(strays, 0) << "colours outside the palette";
        // no magenta may show through a picture without colour key
        EXPECT_TRUE(i.keyed || drawnPixels(p) == int(p.px.size()));

        uint32_t size = 0;
        unsigned char* data = loadZDAFile(ZDA_GFX, i.name, "bmp", &size);
        ASSERT_NE(data, nullptr) << "data/gfx.zda has no " << i.name << ".bmp";
        EXPECT_TRUE(samePixels(decodeBMP(std::vector<unsigned char>(data, data + size)), p))
            << "the archive's copy differs from the built image";
        std::free(data);
    }
    closeArchives();
    // the 16-bit screen keeps 5 bits of red and blue and 6 of green: no two palette
    // colours may fall together there
    std::set<uint32_t> reduced;
    for (uint32_t c : colours)
        reduced.insert(((c >> 19) & 0x1F) << 11 | ((c >> 10) & 0x3F) << 5 | ((c >> 3) & 0x1F));
    EXPECT_EQ(reduced.size(), colours.size());
}

TEST(BuiltImages, TheBackdropJoinsAcrossItsSeam) {
    // the backdrop repeats side by side: the step from its last column to its first must
    // look like any step inside it, and a flat picture that passes trivially is refused
    Picture b = builtImage("back");
    ASSERT_GE(b.width, 320);
    auto step = [&](int x0, int x1) {
        long sum = 0;
        for (int y = 0; y < b.height; y++)
            sum += std::abs(luma(b.at(x0, y)) - luma(b.at(x1, y)));
        return sum;
    };
    long worstInside = 0;
    for (int x = 0; x + 1 < b.width; x++)
        worstInside = std::max(worstInside, step(x, x + 1));
    EXPECT_LE(step(b.width - 1, 0), worstInside);
    EXPECT_GE(std::set<uint32_t>(b.px.begin(), b.px.end()).size(), 8u);
}

} // namespace
