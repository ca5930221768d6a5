// Drawing the pictures of the graphics archive: palettized images, the row copy of opaque
// images against SDL's own blit, the block sheet cut into blocks and rotated water phases, and
// text (placing, clipping and centring it, numbers, characters the font has no glyph for).
#include "data/archive.h"
#include "gfx/blocks.h"
#include "gfx/font.h"
#include "gfx/image.h"
#include "gfx/video.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A graphics archive of test pictures: the block sheet, in which block 7 has no magenta;
// fonts of 16 x 4 cells, the last five blank, and one with glyphs up to '3' only; a palette
// of two colours without magenta.
class Drawing : public ::testing::Test {
  protected:
    ScopedTempDir tmp;
    std::unique_ptr<ArchiveDir> reader;
    void SetUp() override {
        useTestScreen(16);
        RgbImage sheet = makeBlockSheet(), pal(2, 1, 0x00FF00);
        sheet.at(16 * 7, 0) = blockColour(7);
        pal.at(1, 0) = 0xFF8000;
        writeArchive(tmp.path() + "/data", "gfx",
                     {bmpMember("blocks.bmp", sheet),
                      bmpMember("font.bmp", makeFontImage(8, 8, 59, 16)),
                      bmpMember("fontbig.bmp", makeFontImage(16, 16, 59, 16)),
                      bmpMember("digits.bmp", makeFontImage(8, 8, 20, 20)),
                      {"pal.bmp", encodeBMP8(pal, {0x00FF00, 0xFF8000})}});
        reader = std::make_unique<ArchiveDir>(tmp.path() + "/data");
    }
    void TearDown() override { freeBlocks(); } // also after a failed assertion
};

std::vector<Uint32> column(SDL_Surface* s, int x, int y0) {
    std::vector<Uint32> col;
    for (int y = 0; y < 16; y++)
        col.push_back(rawPixel(s, x, y0 + y));
    return col;
}

// The rotation r (0 ... 15) that water phase p shows of the sheet's strip, or -1 for none.
// Every column of the test strip is different, so at most one r fits.
int rotationOf(SDL_Surface* sheet, int p) {
    for (int r = 0; r < 16; r++) {
        bool all = true;
        for (int c = 0; c < 32 && all; c++)
            all = column(wblocks[2 * p + c / 16], c % 16, 0) == column(sheet, (c + r) % 32, 128);
        if (all) return r;
    }
    return -1;
}

Font digitsOnly;

} // namespace

// An 8-bit image keeps its palette's colours; with no magenta in the palette, its first
// colour is the one that lets the background show.
TEST_F(Drawing, APaletteWithoutMagentaLetsItsFirstColourShowWhatLiesBehind) {
    SDL_Surface* img = loadGFX("pal", 1, KEY_R, KEY_G, KEY_B);
    fillRect(screen, 0, 0, 320, 240, RED);
    blitImage(img, 1, 20, screen);
    EXPECT_EQ(pixelRGB(screen, 1, 20), 0xFF0000u);
    EXPECT_EQ(pixelRGB(screen, 2, 20), asShown(0xFF8000));
    freeSurface(img);
}

// The row copy of opaque images must draw exactly what SDL's blit draws, for every part of
// the image, any position (half outside included) and a clip rectangle on the target.
TEST(CopyImageTest, DrawsWhatTheBlitDraws) {
    for (int bpp : {16, 24}) {
        useTestScreen(bpp);
        SDL_Surface* img = createImage(37, 23, 0);
        for (int i = 0; i < 37 * 23; i++)
            putRawPixel(img, i % 37, i / 37, SDL_MapRGB(img->format, i * 7, i / 37 * 11, i));
        SDL_Surface* want = createImage(64, 48, 0);
        SDL_Surface* got = createImage(64, 48, 0);
        const SDL_Rect areas[] = {{0, 0, 37, 23}, {5, 3, 20, 10}, {-4, -2, 50, 40}, {30, 20, 9, 9}};
        const SDL_Rect clips[] = {{0, 0, 64, 48}, {3, 5, 40, 30}};
        for (const SDL_Rect& area : areas)
            for (const SDL_Rect& clip : clips)
                for (int y : {-30, -7, 0, 9, 40})
                    for (int x : {-40, -3, 0, 1, 2, 3, 17, 50, 70}) {
                        for (SDL_Surface* s : {want, got}) {
                            SDL_SetClipRect(s, nullptr);
                            fillRect(s, 0, 0, 64, 48, SDL_MapRGB(s->format, 1, 2, 3));
                            SDL_SetClipRect(s, &clip);
                        }
                        SDL_Rect src = area, at = {(Sint16)x, (Sint16)y, 0, 0};
                        SDL_BlitSurface(img, &src, want, &at);
                        copyImage(img, &area, got, x, y);
                        for (int i = 0; i < 64 * 48; i++)
                            ASSERT_EQ(rawPixel(want, i % 64, i / 64), rawPixel(got, i % 64, i / 64))
                                << bpp << " area " << area.x << " clip " << clip.x << " at " << x
                                << "," << y;
                    }
        // a colour-keyed image keeps its transparent pixels
        SDL_SetColorKey(img, SDL_SRCCOLORKEY, rawPixel(img, 0, 0));
        SDL_SetClipRect(got, nullptr);
        fillRect(got, 0, 0, 64, 48, SDL_MapRGB(got->format, 1, 2, 3));
        copyImage(img, nullptr, got, 0, 0);
        EXPECT_EQ(rawPixel(got, 0, 0), SDL_MapRGB(got->format, 1, 2, 3));
        EXPECT_EQ(rawPixel(got, 1, 0), rawPixel(img, 1, 0));
        for (SDL_Surface* s : {img, want, got})
            freeSurface(s);
    }
}

TEST_F(Drawing, EveryBlockComesFromItsPlaceAndWaterPhasesAreTheStripRotated) {
    std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> owned(loadGFX("blocks", 0, 0, 0, 0),
                                                               SDL_FreeSurface);
    SDL_Surface* sheet = owned.get();
    initBlocks();
    for (int i = 0; i < NUM_BLOCKS; i++) {
        SCOPED_TRACE(i);
        for (int c = 0; c < 16; c++)
            ASSERT_EQ(column(blocks[i], c, 0), column(sheet, 16 * (i % 20) + c, 16 * (i / 20)));
        // a block is transparent where it has magenta; without it (block 7, the water) opaque
        const bool key = !(i == 7 || i == 160 || i == 161);
        EXPECT_EQ(blocks[i]->flags & SDL_SRCCOLORKEY, key ? SDL_SRCCOLORKEY : 0u);
        EXPECT_EQ(blocks[i]->format->colorkey, key ? SDL_MapRGB(screen->format, 0xFF, 0, 0xFF) : 0);
    }
    for (int p = 0; p < WATER_PHASES; p++) { // each phase by a random amount
        const int r = rotationOf(sheet, p);
        EXPECT_TRUE(r >= 0 && r < 15) << p << ": " << r;
    }
    for (int r : {0, 1, 5, 14, 15}) { // 0: exactly blocks 160 and 161
        cutWaterPhase(sheet, 1, r);
        EXPECT_EQ(rotationOf(sheet, 1), r);
    }
}

TEST_F(Drawing, TextAndNumbersLandInTheirCells) {
    loadSpriteFont();
    SDL_Surface* digits = loadGFX("digits", 0, 0, 0, 0);
    digitsOnly = createFont(digits, 8, 8);
    freeSurface(digits);
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
             const std::string LONG(5000, 'W');
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
    destroyFonts();
    for (int i = 0; digitsOnly[i]; i++)
        freeSurface(digitsOnly[i]);
    std::free(digitsOnly);
}
