// The images makegfx builds: every one decodes with SDL and passes ImageMagick's strict
// check, has the size the game expects, draws only colours of the game palette, and
// reaches the game through the graphics archive.
#include "art_files.h"
#include "data/archive.h"

#include <SDL.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>

namespace {

const char* const IMAGES[] = {"font",   "fontbig", "logo",   "back",   "zk-vemo", "zk-logo",
                              "blocks", "storya",  "storyb", "storyc", "storyd",  "storye"};

TEST(BuiltImages, DecodeWithSdlAndPassImageMagick) {
    for (const char* name : IMAGES) {
        SCOPED_TRACE(name);
        Picture p = builtImage(name);
        ASSERT_GT(p.width, 0) << "SDL could not read gfx/" << name << ".bmp";
        std::string cmd =
            std::string("identify -regard-warnings gfx/") + name + ".bmp >/dev/null 2>&1";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }
}

TEST(BuiltImages, HaveTheSizesTheGameDrawsThemAt) {
    Picture blocks = builtImage("blocks");
    EXPECT_EQ(blocks.width, 320);
    EXPECT_EQ(blocks.height, 192);
    for (const char* page : {"storya", "storyb", "storyc", "storyd", "storye"}) {
        Picture p = builtImage(page);
        EXPECT_EQ(p.width, 320) << page;
        EXPECT_EQ(p.height, 200) << page;
    }
    Picture back = builtImage("back");
    EXPECT_EQ(back.height, 192);
    EXPECT_GE(back.width, 320);
    // the title logo sits above the menu (which starts at y 104) and inside the picture
    Picture logo = builtImage("logo");
    EXPECT_LE(logo.width, 320);
    EXPECT_LE((240 - logo.height) / 2 - 56 + logo.height, 100);
    // the mascot circles around (160, 100) and must clear the maker's mark below it,
    // whose bottom edge sits on row 179
    Picture vemo = builtImage("zk-vemo"), mark = builtImage("zk-logo");
    EXPECT_LE(100 + vemo.height / 2 + 8, 180 - mark.height);
    EXPECT_LE(mark.width, 320);
}

TEST(BuiltImages, UseOnlyThePaletteAndKeepColoursApartAt16Bits) {
    const Palette& pal = gamePalette();
    std::set<uint32_t> colours;
    for (char c : pal.order)
        colours.insert(pal[c]);
    for (const char* name : IMAGES) {
        Picture p = builtImage(name);
        int strays = 0;
        for (uint32_t c : p.px)
            strays += !colours.count(c);
        EXPECT_EQ(strays, 0) << name << " has colours outside the palette";
    }
    // the 16-bit screen keeps 5 bits of red and blue and 6 of green: no two palette
    // colours may fall together there
    std::set<uint32_t> reduced;
    for (uint32_t c : colours)
        reduced.insert(((c >> 19) & 0x1F) << 11 | ((c >> 10) & 0x3F) << 5 | ((c >> 3) & 0x1F));
    EXPECT_EQ(reduced.size(), colours.size());
}

TEST(BuiltImages, ColourKeyedPicturesHaveClearBorders) {
    // the logo and the maker's pictures are drawn over other pictures: their corners
    // must be transparent, or they would show as boxes
    for (const char* name : {"logo", "zk-vemo", "zk-logo"}) {
        Picture p = builtImage(name);
        ASSERT_GT(p.width, 0) << name;
        EXPECT_TRUE(p.clear(0, 0)) << name;
        EXPECT_TRUE(p.clear(p.width - 1, 0)) << name;
        EXPECT_TRUE(p.clear(0, p.height - 1)) << name;
        EXPECT_TRUE(p.clear(p.width - 1, p.height - 1)) << name;
        EXPECT_GT(drawnPixels(p), p.width * p.height / 8) << name << " is nearly empty";
    }
    // story pages and the backdrop have no colour key: no magenta may show through
    for (const char* name : {"back", "storya", "storyb", "storyc", "storyd", "storye"})
        EXPECT_EQ(drawnPixels(builtImage(name)), (int)builtImage(name).px.size()) << name;
}

TEST(BuiltImages, BackdropJoinsAcrossItsSeam) {
    // it repeats side by side: the step from the last column to the first must look
    // like any step inside the picture
    Picture b = builtImage("back");
    ASSERT_GT(b.width, 1);
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
    // a backdrop of one flat colour would pass the above: it must show something
    std::set<uint32_t> colours(b.px.begin(), b.px.end());
    EXPECT_GE(colours.size(), 8u);
}

TEST(BuiltImages, StoryPagesAreFiveDifferentScenes) {
    std::vector<Picture> pages;
    for (const char* page : {"storya", "storyb", "storyc", "storyd", "storye"})
        pages.push_back(builtImage(page));
    for (size_t i = 0; i < pages.size(); i++)
        for (size_t j = i + 1; j < pages.size(); j++) {
            int differ = 0;
            for (size_t k = 0; k < pages[i].px.size(); k++)
                differ += pages[i].px[k] != pages[j].px[k];
            EXPECT_GT(differ, 320 * 200 / 4) << "pages " << i << " and " << j;
        }
}

TEST(GraphicsArchive, HoldsEveryImageTheGameLoads) {
    openArchives();
    for (const char* name : IMAGES) {
        SCOPED_TRACE(name);
        uint32_t size = 0;
        unsigned char* data = loadZDAFile(ZDA_GFX, name, "bmp", &size);
        ASSERT_NE(data, nullptr) << "data/gfx.zda has no " << name << ".bmp";
        std::vector<unsigned char> bytes(data, data + size);
        std::free(data);
        Picture fromArchive = decodeBMP(bytes);
        EXPECT_TRUE(samePixels(fromArchive, builtImage(name)))
            << "the archive's copy differs from the built image";
    }
    closeArchives();
}

TEST(GameIcon, ComesInTheUsualSizes) {
    for (int size : {16, 32, 48, 64, 128}) {
        std::string path = "gfx/icon-" + std::to_string(size) + ".png";
        std::string cmd = "identify -regard-warnings -format '%w %h' " + path + " 2>/dev/null";
        FILE* f = popen(cmd.c_str(), "r");
        ASSERT_NE(f, nullptr);
        int w = 0, h = 0;
        int got = std::fscanf(f, "%d %d", &w, &h);
        EXPECT_EQ(pclose(f), 0) << path;
        EXPECT_EQ(got, 2) << path;
        EXPECT_EQ(w, size) << path;
        EXPECT_EQ(h, size) << path;
    }
}

} // namespace
