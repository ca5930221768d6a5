// The two fonts: a glyph for every character from the blank to Z, letters that stay
// inside their cells, a dark outline that keeps them readable over any background, and
// every text of the message table drawable.
#include "art_files.h"
#include "gfx/messages.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct FontCase {
    const char* image;
    int size; // glyph width and height
};
const FontCase FONTS[] = {{"font", 8}, {"fontbig", 16}};

Picture glyph(const Picture& img, int size, int code) {
    int k = code - 32, cols = img.width / size;
    Picture g;
    g.width = g.height = size;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++)
            g.px.push_back(img.at((k % cols) * size + x, (k / cols) * size + y));
    return g;
}

int glyphCount(const Picture& img, int size) {
    return (img.width / size) * (img.height / size);
}

TEST(Fonts, HaveEveryCharacterFromBlankToZ) {
    for (const auto& f : FONTS) {
        SCOPED_TRACE(f.image);
        Picture img = builtImage(f.image);
        ASSERT_GE(glyphCount(img, f.size), 'Z' - 32 + 1);
        EXPECT_EQ(img.width % f.size, 0) << "a partial column of cells would be cut away";
        EXPECT_EQ(img.height % f.size, 0);
        EXPECT_EQ(drawnPixels(glyph(img, f.size, ' ')), 0) << "the blank must be empty";
        for (int c = '!'; c <= 'Z'; c++)
            EXPECT_GT(drawnPixels(glyph(img, f.size, c)), 0) << "no glyph for '" << char(c) << "'";
    }
}

TEST(Fonts, LettersAreAllDifferent) {
    for (const auto& f : FONTS) {
        Picture img = builtImage(f.image);
        for (int a = '!'; a <= 'Z'; a++)
            for (int b = a + 1; b <= 'Z'; b++)
                EXPECT_FALSE(samePixels(glyph(img, f.size, a), glyph(img, f.size, b)))
                    << f.image << ": '" << char(a) << "' and '" << char(b) << "' look alike";
    }
}

TEST(Fonts, NoGlyphBleedsIntoItsNeighbour) {
    // Glyphs are drawn edge to edge at their cell width. The last column of every cell
    // stays clear, so two letters never touch, and the light body of a letter never
    // reaches a cell edge: only its outline may, so no cell shows a piece of the next.
    const uint32_t ink = gamePalette().named("ink");
    for (const auto& f : FONTS) {
        Picture img = builtImage(f.image);
        for (int c = 32; c < 32 + glyphCount(img, f.size); c++) {
            Picture g = glyph(img, f.size, c);
            for (int i = 0; i < f.size; i++) {
                EXPECT_TRUE(g.clear(f.size - 1, i)) << f.image << " '" << char(c) << "' right edge";
                const int edge[4][2] = {{0, i}, {i, 0}, {i, f.size - 1}, {f.size - 1, i}};
                for (const auto& e : edge) {
                    uint32_t p = g.at(e[0], e[1]);
                    EXPECT_TRUE(p == CLEAR || p == ink)
                        << f.image << " '" << char(c) << "' body at the edge " << e[0] << ","
                        << e[1];
                }
            }
        }
        if (f.size == 16) {
            // the big font also leaves a clear bottom row under its drop shadow
            for (int c = 32; c < 32 + glyphCount(img, f.size); c++)
                for (int x = 0; x < 16; x++)
                    EXPECT_TRUE(glyph(img, 16, c).clear(x, 15)) << "'" << char(c) << "'";
        }
    }
}

TEST(Fonts, LettersAreOutlinedInInk) {
    // Every light letter pixel is walled off from the clear background by the dark
    // outline, so the text reads over bright sky and the darkened overlay alike.
    const uint32_t ink = gamePalette().named("ink");
    for (const auto& f : FONTS) {
        Picture img = builtImage(f.image);
        for (int c = '!'; c <= 'Z'; c++) {
            Picture g = glyph(img, f.size, c);
            int inkPixels = 0;
            for (int y = 0; y < f.size; y++)
                for (int x = 0; x < f.size; x++) {
                    uint32_t p = g.at(x, y);
                    if (p == ink) inkPixels++;
                    if (p == CLEAR || p == ink) continue;
                    EXPECT_GT(luma(p), 120) << f.image << " '" << char(c) << "' dull letter";
                    for (int d = 0; d < 4; d++) {
                        int nx = x + (d == 0) - (d == 1), ny = y + (d == 2) - (d == 3);
                        bool outside = nx < 0 || ny < 0 || nx >= f.size || ny >= f.size;
                        EXPECT_FALSE(outside || g.clear(nx, ny))
                            << f.image << " '" << char(c) << "' letter touches the background at "
                            << x << "," << y;
                    }
                }
            EXPECT_GT(inkPixels, 0) << f.image << " '" << char(c) << "'";
        }
    }
}

TEST(Fonts, CoverEveryTextOfTheMessageTable) {
    for (const auto& f : FONTS) {
        Picture img = builtImage(f.image);
        const int last = 32 + glyphCount(img, f.size) - 1;
        for (int m = 0; m < NUM_MESSAGES; m++) {
            const std::string text = translation[0][m];
            for (unsigned char c : text) {
                ASSERT_GE(c, 32) << "message " << m;
                ASSERT_LE(c, last) << "message " << m << " uses '" << c << "' beyond " << f.image;
                if (c != ' ') {
                    EXPECT_GT(drawnPixels(glyph(img, f.size, c)), 0)
                        << "message " << m << " needs '" << c << "' from " << f.image;
                }
            }
        }
    }
}

} // namespace
