// Text: placing, clipping and centring it, numbers with and without leading zeros, and
// characters the font has no glyph for.
#include "data/archive.h"
#include "gfx/font.h"
#include "gfx/image.h"
#include "gfx/video.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void freeFont(Font f) {
    for (int i = 0; f[i]; i++)
        freeSurface(f[i]);
    std::free(f);
}

Font digitsOnly; // glyphs up to '3'

// The fonts from an archive of test font images (16 x 4 cells, the last five blank).
class TextTest : public ::testing::Test {
  protected:
    ScopedTempDir tmp;
    void SetUp() override {
        useTestScreen(16);
        writeArchive(tmp.path() + "/data", "gfx",
                     {bmpMember("font.bmp", makeFontImage(8, 8, 59, 16)),
                      bmpMember("fontbig.bmp", makeFontImage(16, 16, 59, 16)),
                      bmpMember("digits.bmp", makeFontImage(8, 8, 20, 20))});
        ArchiveDir reader(tmp.path() + "/data");
        loadSpriteFont();
        SDL_Surface* digits = loadGFX("digits", 0, 0, 0, 0);
        digitsOnly = createFont(digits, 8, 8);
        freeSurface(digits);
    }
    void TearDown() override {
        destroyFonts();
        freeFont(digitsOnly);
    }
};

const std::string LONG(5000, 'W');

} // namespace

TEST_F(TextTest, TextAndNumbersLandInTheirCells) {
    struct Case {
        void (*draw)();
        int x, y, w;      // where the expected cells start, and their width
        std::string want; // the glyphs in the cells; a blank for none
    };
    const Case cases[] = {
        {[] { drawTextAt(screen, "AZ09!", 16, 30, font); }, 8, 30, 8, " AZ09! "},
        {[] { drawTextCenterAt(screen, "TROBZ, RUN!", 50, fontbig); }, 56, 50, 16, " TROBZ, RUN! "},
        {[] { drawTextAt(screen, "ABCD", -20, 10, font); }, 4, 10, 8, "D "},
        {[] { drawTextNAt(screen, std::string(100, 'M').c_str(), 41, -240, 30, font); }, 72, 30, 8,
         "MM "},
        // characters without a glyph take their cell and show nothing
        {[] { drawTextAt(screen, "A\nB\310C{~D", 0, 20, font); }, 0, 20, 8, "A B C  D"},
        {[] { drawTextAt(screen, "0Z1", 0, 20, digitsOnly); }, 0, 20, 8, "0 1"},
        {[] {
             drawTextAt(screen, LONG.c_str(), 30000, 10, font);
             drawTextAt(screen, LONG.c_str(), -40000, 10, font);
             drawTextCenterAt(screen, LONG.c_str(), 65536 + 10, fontbig);
         },
         0, 10, 8, std::string(40, ' ')},
        // a number ends at the right of its field of `width` cells from x, running out to the
        // left when longer; leading zeros fill the field when asked
        {[] { drawNumberAt(screen, 7, 40, 10, 2, 1, font); }, 32, 10, 8, " 07 "},
        {[] { drawNumberAt(screen, 123, 40, 10, 2, 1, font); }, 24, 10, 8, " 123 "},
        {[] { drawNumberAt(screen, 5, 40, 10, 4, 0, font); }, 40, 10, 8, "   5 "},
        {[] { drawNumberAt(screen, -42, 100, 10, 0, 1, font); }, 100, 10, 8, "-42 "},
        {[] { drawNumberAt(screen, 1, 0, 10, 12, 1, font); }, 0, 10, 8, "00000000   1 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.want);
        SDL_FillRect(screen, nullptr, BLACK);
        c.draw();
        expectCells(c.x, c.y, c.w, c.want);
    }
    // the glyph at -4 is clipped, not skipped
    SDL_FillRect(screen, nullptr, BLACK);
    drawTextAt(screen, "ABCD", -20, 10, font);
    EXPECT_EQ(pixelRGB(screen, 0, 11), asShown(glyphColour('C' - 32)));
}
