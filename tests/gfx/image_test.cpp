// Images from the graphics archive: what shows through where they are drawn, the fatal cases,
// and the row copy of opaque images.
#include "data/archive.h"
#include "gfx/image.h"
#include "gfx/video.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ImageTest : public ::testing::Test {
  protected:
    ScopedTempDir tmp;
    std::unique_ptr<ArchiveDir> reader;

    void useMembers(const std::vector<ZdaMember>& members) {
        reader.reset();
        writeArchive(tmp.path() + "/data", "gfx", members);
        reader = std::make_unique<ArchiveDir>(tmp.path() + "/data");
    }
    void TearDown() override { reader.reset(); }
};

// 6x4 blue-grey with an orange last pixel and one magenta pixel at (2, 1).
RgbImage picture() {
    RgbImage img(6, 4, 0x336699);
    img.at(5, 3) = 0xFF8000;
    img.at(2, 1) = RGB_MAGENTA;
    return img;
}

} // namespace

TEST_F(ImageTest, MagentaOrElseAPalettesFirstColourShowsWhatLiesBehind) {
    RgbImage pal(4, 2, 0x00FF00); // a palette without magenta: its first entry, green, goes
    pal.at(0, 0) = 0x0000FF;
    for (int bpp : {16, 24}) {
        useTestScreen(bpp);
        useMembers(
            {bmpMember("rgb.bmp", picture()), {"pal.bmp", encodeBMP8(pal, {0x00FF00, 0xFF})}});
        const struct {
            const char* name;
            int key, x, y;
            uint32_t shown;
        } cases[] = {
            {"rgb", 1, 2, 1, 0xFF0000},          {"rgb", 1, 0, 0, asShown(0x336699)},
            {"rgb", 1, 5, 3, asShown(0xFF8000)}, {"rgb", 0, 2, 1, asShown(RGB_MAGENTA)},
            {"pal", 1, 1, 0, 0xFF0000},          {"pal", 1, 0, 0, 0x0000FF},
        };
        for (const auto& c : cases) {
            SDL_Surface* img = loadGFX(c.name, c.key, KEY_R, KEY_G, KEY_B);
            EXPECT_EQ(img->format->BitsPerPixel, bpp);
            fillRect(screen, 0, 0, 320, 240, RED);
            blitImage(img, 1, 20, screen);
            EXPECT_EQ(pixelRGB(screen, c.x + 1, c.y + 20), c.shown)
                << bpp << " " << c.name << c.key << " " << c.x << "," << c.y;
            freeSurface(img);
        }
    }
}

TEST_F(ImageTest, MissingOrUndecodableImagesAreFatal) {
    useTestScreen(16);
    const ZdaMember junk{"junk.bmp", {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9}};
    useMembers({junk});
    EXPECT_EQ(exitOutput("image-missing", 1, [] { loadGFX("nosuch", 0, 0, 0, 0); }),
              "Error loading gfx file: nosuch\n");
    // an undecodable member is kept for inspection
    EXPECT_EQ(exitOutput("image-junk", 1, [] { loadGFX("junk", 0, 0, 0, 0); })
                  .rfind("Unable to load bitmap: ", 0),
              0u);
    EXPECT_EQ(readWholeFile(tmp.path() + "/fuu.xxx"),
              std::string(junk.data.begin(), junk.data.end()));
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
