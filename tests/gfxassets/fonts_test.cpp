// The two fonts: a glyph of its own for every character from the blank to Z, and every text
// of the message table drawable.
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
    Picture glyph(int code) const { return cellOf(img, code - 32, size); }
};

TEST(Fonts, HaveADifferentGlyphForEveryCharacterOfTheMessages) {
    for (const Font& f :
         {Font{"font", 8, builtImage("font")}, Font{"fontbig", 16, builtImage("fontbig")}}) {
        SCOPED_TRACE(f.image);
        ASSERT_GE(f.count(), 'Z' - 32 + 1);
        EXPECT_EQ(f.img.width % f.size, 0) << "a partial column of cells would be cut away";
        EXPECT_EQ(f.img.height % f.size, 0);
        EXPECT_EQ(drawnPixels(f.glyph(' ')), 0) << "the blank must be empty";
        for (int a = '!'; a <= 'Z'; a++)
            for (int b = a + 1; b <= 'Z'; b++)
                EXPECT_FALSE(samePixels(f.glyph(a), f.glyph(b)))
                    << "'" << char(a) << "' and '" << char(b) << "' look alike";
        for (int m = 0; m < NUM_MESSAGES; m++)
            for (unsigned char c : std::string(translation[0][m])) {
                ASSERT_TRUE(c >= 32 && c < 32 + f.count()) << "message " << m << " uses " << c;
                EXPECT_TRUE(c == ' ' || drawnPixels(f.glyph(c)) > 0) << "message " << m << c;
            }
    }
}

} // namespace
