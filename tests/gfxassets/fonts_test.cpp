// The two fonts: a glyph of its own for every character from the blank to Z, letters that
// stay inside their cells, a dark outline that keeps them readable over any background, and
// every text of the message table drawable.
#include "art_files.h"
#include "gfx/messages.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct Font {
    const char* image;
    int size; // glyph width and height
    Picture img;
    int count() const { return (img.width / size) * (img.height / size); }
    Picture glyph(int code) const {
        int k = code - 32, cols = img.width / size;
        Picture g;
        g.width = g.height = size;
        for (int y = 0; y < size; y++)
            for (int x = 0; x < size; x++)
                g.px.push_back(img.at((k % cols) * size + x, (k / cols) * size + y));
        return g;
    }
};

std::vector<Font> fonts() {
    return {{"font", 8, builtImage("font")}, {"fontbig", 16, builtImage("fontbig")}};
}

TEST(Fonts, HaveADifferentGlyphForEveryCharacterOfTheMessages) {
    for (const Font& f : fonts()) {
        SCOPED_TRACE(f.image);
        ASSERT_GE(f.count(), 'Z' - 32 + 1);
        EXPECT_EQ(f.img.width % f.size, 0) << "a partial column of cells would be cut away";
        EXPECT_EQ(f.img.height % f.size, 0);
        EXPECT_EQ(drawnPixels(f.glyph(' ')), 0) << "the blank must be empty";
        for (int a = '!'; a <= 'Z'; a++) {
            EXPECT_GT(drawnPixels(f.glyph(a)), 0) << "no glyph for '" << char(a) << "'";
            for (int b = a + 1; b <= 'Z'; b++)
                EXPECT_FALSE(samePixels(f.glyph(a), f.glyph(b)))
                    << "'" << char(a) << "' and '" << char(b) << "' look alike";
        }
        for (int m = 0; m < NUM_MESSAGES; m++)
            for (unsigned char c : std::string(translation[0][m])) {
                ASSERT_TRUE(c >= 32 && c < 32 + f.count()) << "message " << m << " uses " << c;
                EXPECT_TRUE(c == ' ' || drawnPixels(f.glyph(c)) > 0) << "message " << m << c;
            }
    }
}

TEST(Fonts, LettersStayInTheirCellsOutlinedInInk) {
    // Glyphs are drawn edge to edge at their cell width. The last column of every cell stays
    // clear, so two letters never touch; only the dark outline may reach a cell edge, so no
    // cell shows a piece of the next; and every light pixel is walled off from the clear
    // background by the outline, so text reads over bright sky and the dark overlay alike.
    const uint32_t ink = gamePalette().named("ink");
    for (const Font& f : fonts()) {
        const int n = f.size;
        for (int c = 32; c < 32 + f.count(); c++) {
            SCOPED_TRACE(std::string(f.image) + " '" + char(c) + "'");
            Picture g = f.glyph(c);
            int inkPixels = 0;
            for (int y = 0; y < n; y++)
                for (int x = 0; x < n; x++) {
                    uint32_t p = g.at(x, y);
                    bool edge = x == 0 || y == 0 || x == n - 1 || y == n - 1;
                    // the big font also leaves a clear bottom row under its drop shadow
                    bool keptClear = x == n - 1 || (n == 16 && y == n - 1);
                    EXPECT_TRUE(!keptClear || p == CLEAR) << x << "," << y;
                    inkPixels += p == ink;
                    if (p == CLEAR || p == ink) continue;
                    EXPECT_FALSE(edge) << "body at the edge " << x << "," << y;
                    EXPECT_GT(luma(p), 120) << "dull letter";
                    for (int d = 0; d < 4 && !edge; d++) {
                        int nx = x + (d == 0) - (d == 1), ny = y + (d == 2) - (d == 3);
                        EXPECT_FALSE(g.clear(nx, ny))
                            << "touches the background at " << x << "," << y;
                    }
                }
            EXPECT_TRUE(c == ' ' || c > 'Z' || inkPixels > 0) << "no outline";
        }
    }
}

} // namespace
