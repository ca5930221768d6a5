// Fonts and text: cutting glyphs, placing, clipping and centring text, numbers with and
// without leading zeros, and characters the font has no glyph for.
#include "data/archive.h"
#include "gfx/font.h"
#include "gfx/image.h"
#include "gfx/messages.h"
#include "gfx/video.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr uint32_t PAPER = 0x000000; // what the picture holds before drawing

// The test glyphs have a one-pixel transparent border and are filled with glyphColour(k)
// inside: the pixel one in from a glyph's corner tells which glyph is there.
uint32_t glyphAt(int x, int y) {
    return pixelRGB(screen, x + 1, y + 1);
}

uint32_t expectedColour(char c) {
    uint32_t rgb = glyphColour(c - 32);
    Uint8 r, g, b;
    SDL_GetRGB(SDL_MapRGB(screen->format, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF), screen->format,
               &r, &g, &b);
    return ((uint32_t)r << 16) | ((uint32_t)g << 8) | b;
}

// Font images made in the picture's format, cut with createFont.
Font makeFont(int gw, int gh, int count, int perRow = 16) {
    RgbImage img = makeFontImage(gw, gh, count, perRow);
    SDL_Surface* s = createImage(img.width, img.height, 0);
    for (int y = 0; y < img.height; y++)
        for (int x = 0; x < img.width; x++) {
            uint32_t c = img.at(x, y);
            putRawPixel(s, x, y, SDL_MapRGB(s->format, c >> 16, (c >> 8) & 0xFF, c & 0xFF));
        }
    Font f = createFont(s, gw, gh);
    freeSurface(s);
    return f;
}

int glyphCount(Font f) {
    int n = 0;
    while (f[n])
        n++;
    return n;
}

class TextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        useTestScreen(16);
        font = makeFont(8, 8, 59);
        fontbig = makeFont(16, 16, 59);
        SDL_FillRect(screen, nullptr, BLACK);
    }
    void TearDown() override { destroyFonts(); }
};

} // namespace

TEST_F(TextTest, FontsAreCutRowByRowAndNullTerminated) {
    EXPECT_EQ(glyphCount(font), 64); // 16 x 4 cells, the last five blank
    EXPECT_EQ(font[0]->w, 8);
    EXPECT_EQ(fontbig[0]->h, 16);
    EXPECT_EQ(font[64], nullptr);
    // partial cells at the right and bottom edges are not glyphs
    SDL_Surface* odd = createImage(8 * 3 + 5, 8 * 2 + 7, 0);
    Font f = createFont(odd, 8, 8);
    EXPECT_EQ(glyphCount(f), 6);
    for (int i = 0; f[i]; i++)
        freeSurface(f[i]);
    std::free(f);
    freeSurface(odd);
}

TEST_F(TextTest, GlyphsFollowTheCharacterCodes) {
    drawTextAt(screen, "AZ09!", 16, 30, font);
    EXPECT_EQ(glyphAt(16, 30), expectedColour('A'));
    EXPECT_EQ(glyphAt(24, 30), expectedColour('Z'));
    EXPECT_EQ(glyphAt(32, 30), expectedColour('0'));
    EXPECT_EQ(glyphAt(40, 30), expectedColour('9'));
    EXPECT_EQ(glyphAt(48, 30), expectedColour('!'));
    // glyph borders are transparent
    EXPECT_EQ(pixelRGB(screen, 16, 30), PAPER);
}

TEST_F(TextTest, CentredTextStartsHalfItsWidthLeftOfTheMiddle) {
    drawTextCenterAt(screen, "TROBZ, RUN!", 50, fontbig);
    EXPECT_EQ(glyphAt(72, 50), expectedColour('T'));
    EXPECT_EQ(glyphAt(72 + 16 * 10, 50), expectedColour('!'));
    EXPECT_EQ(pixelRGB(screen, 71, 58), PAPER);
    EXPECT_EQ(pixelRGB(screen, 72 + 16 * 11 + 1, 58), PAPER);
    // an odd glyph width would be halved first; with 8 pixels, 4 per character
    drawTextCenterAt(screen, "ABC", 100, font);
    EXPECT_EQ(glyphAt(148, 100), expectedColour('A'));
}

TEST_F(TextTest, GlyphsLeftOfThePictureAreSkippedAndTheNextClipped) {
    drawTextAt(screen, "ABCD", -20, 10, font);
    // A at -20 and B at -12 are skipped; C at -4 shows its right part; D at 4
    EXPECT_EQ(pixelRGB(screen, 0, 11), expectedColour('C'));
    EXPECT_EQ(pixelRGB(screen, 2, 11), expectedColour('C'));
    EXPECT_EQ(glyphAt(4, 10), expectedColour('D'));
}

TEST_F(TextTest, AtMostNCharactersAreDrawn) {
    std::string ten(10, 'K'), hundred(100, 'M');
    drawTextNAt(screen, ten.c_str(), 41, 0, 10, font);
    EXPECT_EQ(glyphAt(72, 10), expectedColour('K'));
    EXPECT_EQ(pixelRGB(screen, 81, 11), PAPER);
    // the 41st character is at -240 + 40 * 8 = 80, the 42nd would be at 88
    drawTextNAt(screen, hundred.c_str(), 41, -240, 30, font);
    EXPECT_EQ(glyphAt(80, 30), expectedColour('M'));
    EXPECT_EQ(pixelRGB(screen, 89, 31), PAPER);
    drawTextNAt(screen, "XYZ", 0, 200, 50, font);
    drawTextNAt(screen, "XYZ", -3, 200, 50, font);
    EXPECT_EQ(glyphAt(200, 50), PAPER);
}

TEST_F(TextTest, NumbersAreRightAlignedInTheirField) {
    // 7 in two places with zeros: "07"
    drawNumberAt(screen, 7, 40, 10, 2, 1, font);
    EXPECT_EQ(glyphAt(40, 10), expectedColour('0'));
    EXPECT_EQ(glyphAt(48, 10), expectedColour('7'));
    // 123 in two places: one glyph left of x
    drawNumberAt(screen, 123, 40, 30, 2, 1, font);
    EXPECT_EQ(glyphAt(32, 30), expectedColour('1'));
    EXPECT_EQ(glyphAt(48, 30), expectedColour('3'));
    // 5 in four places without zeros: at x + 3w, nothing before it
    drawNumberAt(screen, 5, 40, 50, 4, 0, font);
    EXPECT_EQ(glyphAt(64, 50), expectedColour('5'));
    for (int x : {40, 48, 56})
        EXPECT_EQ(glyphAt(x, 50), PAPER) << x;
    // no field: the number starts at x
    drawNumberAt(screen, -42, 100, 70, 0, 1, font);
    EXPECT_EQ(glyphAt(100, 70), expectedColour('-'));
    EXPECT_EQ(glyphAt(116, 70), expectedColour('2'));
}

TEST_F(TextTest, LeadingZerosStopAfterEight) {
    drawNumberAt(screen, 1, 0, 10, 12, 1, font);
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(glyphAt(8 * i, 10), expectedColour('0')) << i;
    for (int i = 8; i < 11; i++)
        EXPECT_EQ(glyphAt(8 * i, 10), PAPER) << i;
    EXPECT_EQ(glyphAt(88, 10), expectedColour('1'));
}

TEST_F(TextTest, CharactersWithoutAGlyphAdvanceLikeABlank) {
    // codes below the blank and past the last glyph (the test font ends after 'Z' + 5)
    const char text[] = {'A', '\n', 'B', (char)200, 'C', '{', '~', 'D', 0};
    drawTextAt(screen, text, 0, 20, font);
    EXPECT_EQ(glyphAt(0, 20), expectedColour('A'));
    EXPECT_EQ(glyphAt(8, 20), PAPER);
    EXPECT_EQ(glyphAt(16, 20), expectedColour('B'));
    EXPECT_EQ(glyphAt(24, 20), PAPER);
    EXPECT_EQ(glyphAt(32, 20), expectedColour('C'));
    EXPECT_EQ(glyphAt(40, 20), PAPER); // '{' and '~' lie past the font's 64 cells
    EXPECT_EQ(glyphAt(48, 20), PAPER);
    EXPECT_EQ(glyphAt(56, 20), expectedColour('D'));
    // a font that ends after '3': letters and the higher digits draw nothing
    Font small = makeFont(8, 8, 20, 20);
    ASSERT_EQ(glyphCount(small), 20);
    SDL_FillRect(screen, nullptr, BLACK);
    drawTextAt(screen, "0Z1", 0, 100, small);
    drawNumberAt(screen, 42, 100, 120, 4, 1, small);
    EXPECT_EQ(glyphAt(0, 100), expectedColour('0'));
    EXPECT_EQ(glyphAt(8, 100), PAPER);
    EXPECT_EQ(glyphAt(16, 100), expectedColour('1'));
    EXPECT_EQ(glyphAt(100, 120), expectedColour('0'));
    EXPECT_EQ(glyphAt(116, 120), PAPER);
    EXPECT_EQ(glyphAt(124, 120), expectedColour('2'));
    for (int i = 0; small[i]; i++)
        freeSurface(small[i]);
    std::free(small);
}

TEST_F(TextTest, EmptyTextsDrawNothing) {
    drawTextAt(screen, "", 10, 10, font);
    drawTextCenterAt(screen, message(82), 90, font);
    drawTextAt(screen, nullptr, 10, 10, font);
    for (int y = 88; y < 100; y++)
        for (int x = 0; x < 320; x += 7)
            ASSERT_EQ(pixelRGB(screen, x, y), PAPER);
}

TEST_F(TextTest, TextFarOffThePictureIsHarmless) {
    // positions beyond 16 bits must not wrap round onto the picture
    std::string longText(5000, 'W');
    drawTextAt(screen, longText.c_str(), 30000, 10, font);
    drawTextAt(screen, longText.c_str(), -40000, 10, font);
    drawTextAt(screen, "W", 0, 65536 + 10, font);
    drawTextAt(screen, "W", 0, -65536 + 10, font);
    drawTextCenterAt(screen, longText.c_str(), 65536 + 10, fontbig);
    for (int x = 0; x < 320; x++)
        ASSERT_EQ(pixelRGB(screen, x, 11), PAPER) << x;
    // a field wider than anything: the zeros (at most eight) show, the digit is far right
    drawNumberAt(screen, 1, 0, 10, 2000000000, 1, font);
    EXPECT_EQ(glyphAt(0, 10), expectedColour('0'));
    EXPECT_EQ(glyphAt(56, 10), expectedColour('0'));
    EXPECT_EQ(glyphAt(64, 10), PAPER);
}

TEST_F(TextTest, FontsComeFromTheArchiveAndGoAway) {
    destroyFonts();
    ScopedTempDir tmp;
    writeArchive(tmp.path() + "/data", "gfx",
                 {bmpMember("font.bmp", makeFontImage(8, 8, 59, 16)),
                  bmpMember("fontbig.bmp", makeFontImage(16, 16, 59, 16))});
    ArchiveDir reader(tmp.path() + "/data");
    loadSpriteFont();
    ASSERT_NE(font, nullptr);
    ASSERT_NE(fontbig, nullptr);
    EXPECT_EQ(glyphCount(font), 64);
    EXPECT_EQ(fontbig[1]->w, 16);
    drawTextAt(screen, "Q", 0, 0, fontbig);
    EXPECT_EQ(glyphAt(0, 0), expectedColour('Q'));
    destroyFonts();
    EXPECT_EQ(font, nullptr);
    EXPECT_EQ(fontbig, nullptr);
}
