// The art tools: the palette and pixel-art reader, derived tiles, blocks of tiles, the PNG
// writer, and makegfx refusing broken sources with the place of the fault.
#include "art_files.h"
#include "pixel_art.h"
#include "png_writer.h"
#include "test_env.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

const char* const PAL = "# test palette\n"
                        ". FF00FF clear\n"
                        "k 080810 ink\n"
                        "r D84030 red\n"
                        "b 3070D0 blue\n";

Palette testPalette() {
    Palette p;
    std::string why;
    EXPECT_TRUE(parsePalette(PAL, "pal", &p, &why)) << why;
    return p;
}

std::string rows16(const std::string& first, char fill = '.') {
    std::string s = first + "\n";
    for (int i = 1; i < 16; i++)
        s += std::string(16, fill) + "\n";
    return s;
}

TEST(PaletteFile, ReadsColoursByCharacterAndName) {
    Palette p = testPalette();
    EXPECT_EQ(p['r'], 0xD84030u);
    EXPECT_EQ(p.named("blue"), 0x3070D0u);
    EXPECT_EQ(p.charOf(0x080810), 'k');
    bool found = true;
    p.named("green", &found);
    EXPECT_FALSE(found);
}

TEST(PaletteFile, RejectsAmbiguousOrMalformedLines) {
    struct Case {
        const char* text;
        const char* expect;
    } cases[] = {
        {"a 112233 one\na 445566 two\n", "pal:2"}, // character twice
        {"a 112233 one\nb 112233 two\n", "pal:2"}, // colour twice
        {"a 11223G one\n", "pal:1"},               // not hex
        {"ab 112233 one\n", "pal:1"},              // two characters
        {"a 112233\n", "pal:1"},                   // no name
        {"# only a comment\n", "no colours"},
    };
    for (const auto& c : cases) {
        Palette p;
        std::string why;
        EXPECT_FALSE(parsePalette(c.text, "pal", &p, &why)) << c.text;
        EXPECT_NE(why.find(c.expect), std::string::npos) << c.text << " -> " << why;
    }
}

TEST(ArtFile, ReadsTilesAndImagesWithTheirLabels) {
    std::vector<ArtEntry> e;
    std::string why;
    std::string text = "# comment\ntile 7: a red dot\n" + rows16("r...............") +
                       "\nimage thing 3x2: small\nrbk\nk.r\n";
    ASSERT_TRUE(parseArt(text, "f.art", testPalette(), &e, &why)) << why;
    ASSERT_EQ(e.size(), 2u);
    EXPECT_TRUE(e[0].isTile);
    EXPECT_EQ(e[0].number, 7);
    EXPECT_EQ(e[0].label, "a red dot");
    EXPECT_EQ(e[0].rows[0][0], 'r');
    EXPECT_FALSE(e[1].isTile);
    EXPECT_EQ(e[1].name, "thing");
    RgbImage img = artImage(e[1].rows, testPalette());
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.height, 2);
    EXPECT_EQ(img.at(0, 0), 0xD84030u);
    EXPECT_EQ(img.at(1, 1), RGB_MAGENTA);
}

TEST(ArtFile, NamesTheFileAndLineOfAFault) {
    const Palette pal = testPalette();
    struct Case {
        std::string text;
        const char* expect;
    } cases[] = {
        {"tile 1\n" + std::string(15, '.') + "\n", "f.art:2"}, // short row
        {"tile 1\n" + rows16("...............z"), "f.art:2"},  // not in the palette
        {"tile 1\n................\n", "only 1 of 16 rows"},   // cut short
        {"tile x\n", "f.art:1"},                               // bad number
        {"sprite 1\n", "f.art:1"},                             // unknown header
        {"image a 0x4\n", "f.art:1"},                          // bad size
        {"tile 2 = spin 1\n", "unknown operation"},
        {"tile 2 = recolor 1 abc\n", "not two characters"},
        {"tiles 2x1 1\n", "needs 2 tile numbers"},
    };
    for (const auto& c : cases) {
        std::vector<ArtEntry> e;
        std::string why;
        EXPECT_FALSE(parseArt(c.text, "f.art", pal, &e, &why)) << c.text;
        EXPECT_NE(why.find(c.expect), std::string::npos) << c.text << " -> " << why;
    }
}

TEST(ArtFile, DerivedTilesFollowTheirSource) {
    std::string text = "tile 1: source\n" + rows16("rb..............") +
                       "tile 2 = mirror 1\n"
                       "tile 3 = flip 1\n"
                       "tile 4 = recolor 1 rb br\n"
                       "tile 5 = shift 1 2 1\n"
                       "tile 6 = mirror 7\n" // refers to a tile defined later
                       "tile 7 = copy 1\n";
    std::vector<ArtEntry> e;
    std::string why;
    ASSERT_TRUE(parseArt(text, "f.art", testPalette(), &e, &why)) << why;
    ASSERT_TRUE(resolveTiles(e, 240, &why)) << why;
    auto rowsOf = [&](int n) {
        for (auto& x : e)
            if (x.number == n) return x.rows;
        return std::vector<std::string>();
    };
    EXPECT_EQ(rowsOf(2)[0], "..............br");
    EXPECT_EQ(rowsOf(3)[15], "rb..............");
    EXPECT_EQ(rowsOf(3)[0], std::string(16, '.'));
    EXPECT_EQ(rowsOf(4)[0], "br.............."); // swapped, not chained back
    EXPECT_EQ(rowsOf(5)[0], std::string(16, '.'));
    EXPECT_EQ(rowsOf(5)[1], "..rb............");
    EXPECT_EQ(rowsOf(6)[0], "..............br");
}

TEST(ArtFile, RejectsBrokenTileReferences) {
    struct Case {
        std::string text;
        const char* expect;
    } cases[] = {
        {"tile 2 = copy 9\n", "source tile 9 is not defined"},
        {"tile 2 = copy 3\ntile 3 = copy 2\n", "refer to each other"},
        {"tile 1\n" + rows16("................") + "tile 1 = copy 1\n", "already defined"},
        {"tile 240\n" + rows16("................"), "outside 0 ... 239"},
    };
    for (const auto& c : cases) {
        std::vector<ArtEntry> e;
        std::string why;
        ASSERT_TRUE(parseArt(c.text, "f.art", testPalette(), &e, &why)) << why;
        EXPECT_FALSE(resolveTiles(e, 240, &why)) << c.text;
        EXPECT_NE(why.find(c.expect), std::string::npos) << c.text << " -> " << why;
    }
}

TEST(ArtFile, BlocksOfTilesSplitLeftToRightTopDown) {
    std::string text = "tiles 2x2 10 11 30 31: four\n";
    for (int y = 0; y < 32; y++)
        text += std::string(16, y < 16 ? 'r' : 'k') + std::string(16, y < 16 ? 'b' : '.') + "\n";
    std::vector<ArtEntry> e;
    std::string why;
    ASSERT_TRUE(parseArt(text, "f.art", testPalette(), &e, &why)) << why;
    ASSERT_TRUE(resolveTiles(e, 240, &why)) << why;
    ASSERT_EQ(e.size(), 4u);
    const char expect[4] = {'r', 'b', 'k', '.'};
    const int numbers[4] = {10, 11, 30, 31};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(e[i].number, numbers[i]);
        ASSERT_EQ(e[i].rows.size(), 16u);
        EXPECT_EQ(e[i].rows[15], std::string(16, expect[i]));
    }
}

// Reads the chunks of a PNG, checking each CRC; returns false on any damage.
bool readPng(const std::vector<unsigned char>& png, int* w, int* h, int* type,
             std::vector<unsigned char>* raw) {
    static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || !std::equal(sig, sig + 8, png.begin())) return false;
    auto be32 = [&](size_t at) {
        return uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 | uint32_t(png[at + 2]) << 8 |
               png[at + 3];
    };
    std::vector<unsigned char> idat;
    size_t at = 8;
    bool ended = false;
    while (at + 12 <= png.size()) {
        uint32_t len = be32(at);
        if (at + 12 + len > png.size()) return false;
        std::string type4(png.begin() + at + 4, png.begin() + at + 8);
        uLong crc = crc32(0L, png.data() + at + 4, len + 4);
        if (crc != be32(at + 8 + len)) return false;
        if (type4 == "IHDR") {
            *w = (int)be32(at + 8);
            *h = (int)be32(at + 12);
            *type = png[at + 17];
        } else if (type4 == "IDAT") {
            idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + len);
        } else if (type4 == "IEND") {
            ended = true;
        }
        at += 12 + len;
    }
    uLongf size = 1 << 20;
    raw->resize(size);
    if (uncompress(raw->data(), &size, idat.data(), (uLong)idat.size()) != Z_OK) return false;
    raw->resize(size);
    return ended;
}

TEST(PngWriter, WritesCheckedChunksAndTheExactPixels) {
    RgbImage img(3, 2);
    img.at(0, 0) = 0x102030;
    img.at(2, 1) = RGB_MAGENTA;
    int w = 0, h = 0, type = -1;
    std::vector<unsigned char> raw;
    ASSERT_TRUE(readPng(encodePNG(img), &w, &h, &type, &raw));
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(type, 2); // RGB
    ASSERT_EQ(raw.size(), 2u * (1 + 3 * 3));
    EXPECT_EQ(raw[0], 0); // filter byte
    EXPECT_EQ(raw[1], 0x10);
    EXPECT_EQ(raw[2], 0x20);
    EXPECT_EQ(raw[3], 0x30);
    EXPECT_EQ(raw[10 + 1 + 6], 0xFF); // magenta stays magenta without the key

    ASSERT_TRUE(readPng(encodePNG(img, true), &w, &h, &type, &raw));
    EXPECT_EQ(type, 6); // RGBA
    ASSERT_EQ(raw.size(), 2u * (1 + 3 * 4));
    EXPECT_EQ(raw[4], 255);            // drawn pixel opaque
    EXPECT_EQ(raw[13 + 1 + 8 + 3], 0); // magenta pixel fully transparent
}

TEST(Makegfx, StopsOnABrokenSourceAndNamesIt) {
    ScopedTempDir dir;
    namespace fs = std::filesystem;
    const fs::path src = fs::path(TROBZ_SOURCE_DIR) / "assets/gfx";
    fs::copy(src, "gfx", fs::copy_options::recursive);
    {
        std::ofstream bad("gfx/tiles/bad.art");
        bad << "tile 235: a colour the palette lacks\n" << rows16("...@............");
    }
    const std::string tool = std::string(TROBZ_BUILD_DIR) + "/makegfx";
    std::string cmd = tool + " gfx out 2>err.txt";
    int status = std::system(cmd.c_str());
    EXPECT_NE(status, 0);
    std::ifstream err("err.txt");
    std::string message((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    EXPECT_NE(message.find("bad.art:2"), std::string::npos) << message;
    EXPECT_FALSE(fs::exists("out/blocks.bmp"));

    // with the fault mended, the same sources build every image
    {
        std::ofstream good("gfx/tiles/bad.art");
        good << "tile 235: a dot\n" << rows16("...k............");
    }
    EXPECT_EQ(std::system((tool + " gfx out").c_str()), 0);
    Picture blocks = decodeBMP(readBytes("out/blocks.bmp"));
    ASSERT_EQ(blocks.width, 320);
    EXPECT_EQ(blocks.at(15 * 16 + 3, 11 * 16), gamePalette().named("ink"));
    EXPECT_EQ(drawnPixels(tileOf(blocks, 235)), 1);
}

} // namespace
