// Images from the graphics archive: conversion to the picture's format, the transparent
// colour rules for 16-bit, other depths and palettized images, and the fatal cases.
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

bool keyed(SDL_Surface* s) {
    return (s->flags & SDL_SRCCOLORKEY) != 0;
}

// 6x4 blue-grey with an orange last pixel and, when asked, one magenta pixel.
RgbImage picture(bool withMagenta) {
    RgbImage img(6, 4, 0x336699);
    img.at(5, 3) = 0xFF8000;
    if (withMagenta) img.at(2, 1) = RGB_MAGENTA;
    return img;
}

} // namespace

TEST_F(ImageTest, ImagesLoadIntoThePictureFormatAndDrawTransparentInMagenta) {
    for (int bpp : {16, 24}) {
        SCOPED_TRACE(bpp);
        useTestScreen(bpp);
        useMembers({bmpMember("plain.bmp", picture(false)), bmpMember("keyed.bmp", picture(true))});
        SDL_Surface* img = loadGFX("plain", 0, 0, 0, 0);
        EXPECT_EQ(img->w * 100 + img->h, 604);
        EXPECT_EQ(img->format->BitsPerPixel, bpp);
        EXPECT_FALSE(keyed(img));
        EXPECT_EQ(rawPixel(img, 0, 0), SDL_MapRGB(screen->format, 0x33, 0x66, 0x99));
        EXPECT_EQ(rawPixel(img, 5, 3), SDL_MapRGB(screen->format, 0xFF, 0x80, 0x00));
        freeSurface(img);
        // drawn over red, only the magenta pixel shows the red
        img = loadGFX("keyed", 1, KEY_R, KEY_G, KEY_B);
        EXPECT_EQ(img->format->colorkey, SDL_MapRGB(screen->format, 255, 0, 255));
        fillRect(screen, 0, 0, 320, 240, RED);
        blitImage(img, -1, 20, screen);
        EXPECT_EQ(pixelRGB(screen, 1, 21), 0xFF0000u);
        EXPECT_EQ(pixelRGB(screen, 0, 21), asShown(0x336699));
        freeSurface(img);
        // the key rule applies to the file's own 24-bit format, before conversion: a true
        // colour image keeps the key even without magenta
        img = loadGFX("plain", 1, KEY_R, KEY_G, KEY_B);
        EXPECT_TRUE(keyed(img));
        freeSurface(img);
    }
}

TEST_F(ImageTest, TheKeyIsMagentaOrElseDependsOnTheDepth) {
    useTestScreen(16);
    struct Case {
        const char* what;
        int bpp;
        Uint32 r, g, b; // channel masks
        bool magenta, wantKeyed;
    };
    const Case cases[] = {
        {"16-bit without magenta: opaque", 16, 0xF800, 0x07E0, 0x1F, false, false},
        {"16-bit with magenta in the last pixel", 16, 0xF800, 0x07E0, 0x1F, true, true},
        {"24-bit without magenta", 24, 0xFF0000, 0xFF00, 0xFF, false, true},
        {"32-bit without magenta", 32, 0xFF0000, 0xFF00, 0xFF, false, true},
        {"palette: the first magenta entry", 8, 0, 0, 0, true, true},
        {"palette without magenta: entry 0", 8, 0, 0, 0, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SDL_Surface* s = SDL_CreateRGBSurface(0, 8, 8, c.bpp, c.r, c.g, c.b, 0);
        Uint32 key = SDL_MapRGB(s->format, 255, 0, 255);
        if (c.bpp == 8) {
            SDL_Color colours[3] = {{1, 2, 3, 0}, {255, 0, 255, 0}, {255, 0, 255, 0}};
            if (!c.magenta) colours[1] = colours[2] = {7, 7, 7, 0};
            SDL_SetColors(s, colours, 0, 3);
            key = c.magenta ? 1 : 0;
        } else {
            SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 10, 200, 30));
            if (c.magenta) putRawPixel(s, 7, 7, key);
            SDL_SetColorKey(s, SDL_SRCCOLORKEY, 5); // an earlier key does not survive
        }
        setColorKey(s, 255, 0, 255);
        EXPECT_EQ(keyed(s), c.wantKeyed);
        EXPECT_EQ(s->format->colorkey, c.wantKeyed ? key : 0u);
        SDL_FreeSurface(s);
    }
    // a palettized BMP without magenta loses its first colour
    RgbImage img(4, 2, 0x00FF00);
    img.at(0, 0) = 0x0000FF;
    useMembers({{"pal.bmp", encodeBMP8(img, {0x00FF00, 0x0000FF})}});
    SDL_Surface* s = loadGFX("pal", 1, KEY_R, KEY_G, KEY_B);
    fillRect(screen, 0, 0, 320, 240, RED);
    blitImage(s, 0, 0, screen);
    EXPECT_EQ(pixelRGB(screen, 1, 0), 0xFF0000u);
    EXPECT_EQ(pixelRGB(screen, 0, 0), 0x0000FFu);
    freeSurface(s);
}

TEST_F(ImageTest, MissingUndecodableOrUncreatableImagesAreFatal) {
    useTestScreen(16);
    const ZdaMember junk{"junk.bmp", {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9}};
    useMembers({bmpMember("pic.bmp", picture(false)), junk});
    EXPECT_EQ(exitOutput("image-missing", 1, [] { loadGFX("nosuch", 0, 0, 0, 0); }),
              "Error loading gfx file: nosuch\n");
    // an undecodable member is kept for inspection
    EXPECT_EQ(exitOutput("image-junk", 1, [] { loadGFX("junk", 0, 0, 0, 0); })
                  .rfind("Unable to load bitmap: ", 0),
              0u);
    EXPECT_EQ(readWholeFile(tmp.path() + "/fuu.xxx"),
              std::string(junk.data.begin(), junk.data.end()));
    EXPECT_EQ(exitOutput("image-create", 1, [] { createImage(20000, 16, 1); })
                  .rfind("Unable to create image: ", 0),
              0u);
}

// The row copy of opaque images must draw exactly what SDL's blit draws, for every part of
// the image, any position (half outside included) and a clip rectangle on the target.
TEST(CopyImageTest, DrawsWhatTheBlitDraws) {
    for (int bpp : {16, 24}) {
        SCOPED_TRACE(bpp);
        useTestScreen(bpp);
        SDL_Surface* img = createImage(37, 23, 0);
        for (int y = 0; y < img->h; y++)
            for (int x = 0; x < img->w; x++)
                fillRect(img, (Sint16)x, (Sint16)y, 1, 1,
                         SDL_MapRGB(img->format, (Uint8)(x * 7), (Uint8)(y * 11), (Uint8)(x ^ y)));
        SDL_Surface* want = createImage(64, 48, 0);
        SDL_Surface* got = createImage(64, 48, 0);
        const SDL_Rect areas[] = {{0, 0, 37, 23}, {5, 3, 20, 10}, {-4, -2, 50, 40}, {30, 20, 9, 9}};
        const SDL_Rect clips[] = {{0, 0, 64, 48}, {3, 5, 40, 30}};
        int differing = 0, cases = 0;
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
                        cases++;
                        for (int py = 0; py < 48; py++)
                            for (int px = 0; px < 64; px++)
                                if (rawPixel(want, px, py) != rawPixel(got, px, py)) {
                                    differing++;
                                    py = 48;
                                    break;
                                }
                    }
        EXPECT_EQ(differing, 0) << "of " << cases << " placements";
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
