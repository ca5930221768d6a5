// The art tools: the palette and pixel-art reader, derived tiles, blocks of tiles, the PNG
// writer, and makegfx refusing broken sources with the place of the fault.
#include "art_files.h"
#include "pixel_art.h"
#include "png_writer.h"
#include "test_env.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

Palette testPalette() {
    Palette p;
    std::string why;
    EXPECT_TRUE(parsePalette("# test palette\n. FF00FF clear\nk 080810 ink\nr D84030 red\n"
                             "b 3070D0 blue\n",
                             "pal", &p, &why))
        << why;
    return p;
}

std::string rows16(const std::string& first) {
    std::string s = first + "\n";
    for (int i = 1; i < 16; i++)
        s += std::string(16, '.') + "\n";
    return s;
}

// Parses and resolves art text; the rows of each tile by number, or the error.
bool buildArt(const std::string& text, std::vector<ArtEntry>* e, std::string* why) {
    return parseArt(text, "f.art", testPalette(), e, why) && resolveTiles(*e, 240, why);
}

TEST(PaletteFile, ReadsColoursByCharacterAndNameAndRefusesAmbiguousLines) {
    Palette p = testPalette();
    EXPECT_EQ(p['r'], 0xD84030u);
    EXPECT_EQ(p.named("blue"), 0x3070D0u);
    EXPECT_EQ(p.charOf(0x080810), 'k');
    bool found = true;
    p.named("green", &found);
    EXPECT_FALSE(found);
    const char* const cases[][2] = {
        {"a 112233 one\na 445566 two\n", "pal:2"}, // character twice
        {"a 112233 one\nb 112233 two\n", "pal:2"}, // colour twice
        {"a 11223G one\n", "pal:1"},               // not hex
        {"# only a comment\n", "no colours"},
    };
    for (const auto& c : cases) {
        Palette fresh;
        std::string why;
        EXPECT_FALSE(parsePalette(c[0], "pal", &fresh, &why)) << c[0];
        EXPECT_NE(why.find(c[1]), std::string::npos) << c[0] << " -> " << why;
    }
}

TEST(ArtFile, NamesTheFileAndLineOrTheTileOfAFault) {
    const struct {
        std::string text;
        const char* expect;
    } cases[] = {
        {"tile 1\n" + std::string(15, '.') + "\n", "f.art:2"}, // short row
        {"tile 1\n" + rows16("...............z"), "f.art:2"},  // not in the palette
        {"tile 1\n................\n", "only 1 of 16 rows"},   // cut short
        {"sprite 1\n", "f.art:1"},                             // unknown header
        {"tile 2 = shift 1 -2147483648 0\n", "f.art:1: shift offsets are -16 to 16"},
        {"tile 2 = copy 9\n", "source tile 9 is not defined"},
        {"tile 2 = copy 3\ntile 3 = copy 2\n", "refer to each other"},
        {"tile 1\n" + rows16("................") + "tile 1 = copy 1\n", "already defined"},
        {"tile 240\n" + rows16("................"), "outside 0 ... 239"},
    };
    for (const auto& c : cases) {
        std::vector<ArtEntry> e;
        std::string why;
        EXPECT_FALSE(buildArt(c.text, &e, &why)) << c.text;
        EXPECT_NE(why.find(c.expect), std::string::npos) << c.text << " -> " << why;
    }
}

TEST(ArtFile, DerivedTilesAndBlocksOfTilesFollowTheirSources) {
    std::string text = "tile 1: source\n" + rows16("rb..............") +
                       "tile 2 = mirror 1\ntile 3 = flip 1\ntile 4 = recolor 1 rb br\n"
                       "tile 5 = shift 1 2 1\n"
                       "tile 6 = mirror 7\n" // refers to a tile defined later
                       "tile 7 = copy 1\n"
                       "tiles 2x2 10 11 30 31: four\n";
    for (int y = 0; y < 32; y++)
        text += std::string(16, y < 16 ? 'r' : 'k') + std::string(16, y < 16 ? 'b' : '.') + "\n";
    std::vector<ArtEntry> e;
    std::string why;
    ASSERT_TRUE(buildArt(text, &e, &why)) << why;
    auto row = [&](int n, int r) {
        for (auto& x : e)
            if (x.number == n && x.rows.size() == 16) return x.rows[size_t(r)];
        return std::string("(no tile)");
    };
    const std::string blank(16, '.');
    const struct {
        int tile, row;
        std::string expect;
    } cases[] = {
        {2, 0, "..............br"},    {3, 15, "rb.............."},
        {4, 0, "br.............."},    {5, 1, "..rb............"},
        {6, 0, "..............br"},    {10, 15, std::string(16, 'r')},
        {30, 0, std::string(16, 'k')}, {31, 15, blank},
    };
    for (const auto& c : cases)
        EXPECT_EQ(row(c.tile, c.row), c.expect) << "tile " << c.tile << " row " << c.row;
}

// What ImageMagick reads from a PNG as raw bytes of `format` (rgb or rgba); empty when it
// refuses the file.
std::string pngAs(const RgbImage& img, bool key, const char* format) {
    const std::vector<unsigned char> png = encodePNG(img, key);
    writeWholeFile("t.png", png);
    const std::string cmd =
        std::string("convert -regard-warnings t.png -depth 8 ") + format + ":t.raw 2>/dev/null";
    return std::system(cmd.c_str()) == 0 ? readWholeFile("t.raw") : "";
}

TEST(PngWriter, WritesTheExactPixelsWithMagentaTransparentWhenAsked) {
    ScopedTempDir dir;
    RgbImage img(3, 2);
    img.at(0, 0) = 0x102030;
    img.at(2, 1) = RGB_MAGENTA;
    EXPECT_EQ(pngAs(img, false, "rgb"), std::string("\x10\x20\x30", 3) + std::string(12, '\0') +
                                            std::string("\xFF\0\xFF", 3));
    const std::string rgba = pngAs(img, true, "rgba");
    ASSERT_EQ(rgba.size(), 24u);
    EXPECT_EQ(rgba.substr(0, 8), std::string("\x10\x20\x30\xFF\0\0\0\xFF", 8));
    EXPECT_EQ(rgba[23], '\0'); // magenta fully transparent
}

TEST(Makegfx, StopsOnABrokenSourceAndNamesIt) {
    ScopedTempDir dir;
    namespace fs = std::filesystem;
    fs::copy(fs::path(TROBZ_SOURCE_DIR) / "assets/gfx", "gfx", fs::copy_options::recursive);
    std::ofstream("gfx/tiles/bad.art") << "tile 235: a colour the palette lacks\n"
                                       << rows16("...@............");
    const std::string tool = std::string(TROBZ_BUILD_DIR) + "/makegfx";
    EXPECT_NE(std::system((tool + " gfx out 2>err.txt").c_str()), 0);
    std::string message = readWholeFile("err.txt");
    EXPECT_NE(message.find("bad.art:2"), std::string::npos) << message;
    EXPECT_FALSE(fs::exists("out/blocks.bmp"));
}

} // namespace
