// The art tools: derived tiles and blocks of tiles of the pixel-art reader, the PNG writer,
// and makegfx refusing a broken source with the place of the fault.
#include "pixel_art.h"
#include "png_writer.h"
#include "test_env.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

std::string rows16(const std::string& first) {
    std::string s = first + "\n";
    for (int i = 1; i < 16; i++)
        s += std::string(16, '.') + "\n";
    return s;
}

// Parses and resolves art text drawn with a palette of four colours; false with the error.
bool buildArt(const std::string& text, std::vector<ArtEntry>* e, std::string* why) {
    Palette p;
    return parsePalette("# test palette\n. FF00FF clear\nk 080810 ink\nr D84030 red\n"
                        "b 3070D0 blue\n",
                        "pal", &p, why) &&
           parseArt(text, "f.art", p, e, why) && resolveTiles(*e, 240, why);
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
    std::string crlf; // as saved by an editor that ends lines with CR LF: read the same
    for (char c : text)
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    std::vector<ArtEntry> e;
    std::string why;
    ASSERT_TRUE(buildArt(crlf, &e, &why)) << why;
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
    // a shift further than a tile is wide is refused at its line, not left to overflow
    EXPECT_FALSE(buildArt("tile 2 = shift 1 -2147483648 0\n", &e, &why));
    EXPECT_NE(why.find("f.art:1: shift offsets are -16 to 16"), std::string::npos) << why;
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
