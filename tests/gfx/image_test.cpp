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

SDL_Surface* surfaceOf(int bpp, int w, int h) {
    return bpp == 16 ? SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0)
                     : SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, bpp, 0xFF0000, 0xFF00, 0xFF, 0);
}

RgbImage picture(bool withMagenta) {
    RgbImage img(6, 4, 0x336699);
    img.at(5, 3) = 0xFF8000;
    if (withMagenta) img.at(2, 1) = RGB_MAGENTA;
    return img;
}

} // namespace

TEST_F(ImageTest, LoadsIntoThePictureFormatWithItsColours) {
    for (int bpp : {16, 24}) {
        useTestScreen(bpp);
        useMembers({bmpMember("pic.bmp", picture(false))});
        SDL_Surface* img = loadGFX("pic", 0, 0, 0, 0);
        ASSERT_NE(img, nullptr);
        EXPECT_EQ(img->w, 6);
        EXPECT_EQ(img->h, 4);
        EXPECT_EQ(img->format->BitsPerPixel, screen->format->BitsPerPixel);
        EXPECT_EQ(img->format->Rmask, screen->format->Rmask);
        EXPECT_FALSE(keyed(img));
        EXPECT_EQ(rawPixel(img, 0, 0), SDL_MapRGB(screen->format, 0x33, 0x66, 0x99));
        EXPECT_EQ(rawPixel(img, 5, 3), SDL_MapRGB(screen->format, 0xFF, 0x80, 0x00));
        freeSurface(img);
    }
}

TEST_F(ImageTest, KeyedImagesAreTransparentInMagenta) {
    useTestScreen(16);
    useMembers({bmpMember("pic.bmp", picture(true))});
    SDL_Surface* img = loadGFX("pic", 1, KEY_R, KEY_G, KEY_B);
    ASSERT_TRUE(keyed(img));
    EXPECT_EQ(img->format->colorkey, SDL_MapRGB(screen->format, 255, 0, 255));
    // drawn over red, the magenta pixel shows the red
    SDL_FillRect(screen, nullptr, RED);
    blitImage(img, 10, 20, screen);
    EXPECT_EQ(pixelRGB(screen, 12, 21), pixelRGB(screen, 0, 0));
    EXPECT_NE(pixelRGB(screen, 11, 21), pixelRGB(screen, 0, 0));
    freeSurface(img);
}

TEST_F(ImageTest, SixteenBitImagesWithoutTheKeyColourDrawOpaque) {
    useTestScreen(16);
    SDL_Surface* plain = surfaceOf(16, 8, 8);
    SDL_FillRect(plain, nullptr, SDL_MapRGB(plain->format, 10, 200, 30));
    SDL_SetColorKey(plain, SDL_SRCCOLORKEY, 5);
    setColorKey(plain, 255, 0, 255);
    EXPECT_FALSE(keyed(plain));
    // one magenta pixel anywhere, even the last one, turns the key on
    putRawPixel(plain, 7, 7, SDL_MapRGB(plain->format, 255, 0, 255));
    setColorKey(plain, 255, 0, 255);
    EXPECT_TRUE(keyed(plain));
    EXPECT_EQ(plain->format->colorkey, SDL_MapRGB(plain->format, 255, 0, 255));
    SDL_FreeSurface(plain);
}

TEST_F(ImageTest, OtherDepthsAlwaysKeepTheKey) {
    for (int bpp : {24, 32}) {
        SDL_Surface* s = surfaceOf(bpp, 8, 8);
        SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 10, 200, 30));
        setColorKey(s, 255, 0, 255);
        EXPECT_TRUE(keyed(s)) << bpp;
        EXPECT_EQ(s->format->colorkey, SDL_MapRGB(s->format, 255, 0, 255)) << bpp;
        SDL_FreeSurface(s);
    }
}

TEST_F(ImageTest, PalettizedImagesKeyTheFirstMagentaEntryOrElseEntryZero) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 8, 0, 0, 0, 0);
    SDL_Color colours[4] = {{1, 2, 3, 0}, {255, 0, 255, 0}, {9, 9, 9, 0}, {255, 0, 255, 0}};
    SDL_SetColors(s, colours, 0, 4);
    setColorKey(s, 255, 0, 255);
    EXPECT_TRUE(keyed(s));
    EXPECT_EQ(s->format->colorkey, 1u);
    colours[1] = colours[3] = {7, 7, 7, 0};
    SDL_SetColors(s, colours, 0, 4);
    setColorKey(s, 255, 0, 255);
    EXPECT_TRUE(keyed(s));
    EXPECT_EQ(s->format->colorkey, 0u);
    SDL_FreeSurface(s);
}

TEST_F(ImageTest, APalettizedBmpWithoutMagentaLosesItsFirstColour) {
    useTestScreen(16);
    RgbImage img(4, 2, 0x00FF00);
    img.at(0, 0) = 0x0000FF;
    ZdaMember m;
    m.name = "pal.bmp";
    m.data = encodeBMP8(img, {0x00FF00, 0x0000FF});
    ASSERT_FALSE(m.data.empty());
    useMembers({m});
    SDL_Surface* s = loadGFX("pal", 1, KEY_R, KEY_G, KEY_B);
    ASSERT_TRUE(keyed(s));
    EXPECT_EQ(s->format->colorkey, SDL_MapRGB(screen->format, 0, 255, 0));
    SDL_FillRect(screen, nullptr, RED);
    blitImage(s, 0, 0, screen);
    EXPECT_EQ(pixelRGB(screen, 1, 0), 0xFF0000u); // green was entry 0: transparent
    EXPECT_EQ(pixelRGB(screen, 0, 0), 0x0000FFu);
    freeSurface(s);
}

TEST_F(ImageTest, TrueColourBmpsKeepTheKeyEvenWithoutMagenta) {
    // the rule applies to the file's own 24-bit format, before conversion
    useTestScreen(16);
    useMembers({bmpMember("pic.bmp", picture(false))});
    SDL_Surface* s = loadGFX("pic", 1, KEY_R, KEY_G, KEY_B);
    EXPECT_TRUE(keyed(s));
    freeSurface(s);
}

TEST_F(ImageTest, NewImagesAreBlack) {
    for (int bpp : {16, 24}) {
        useTestScreen(bpp);
        SDL_Surface* a = createImage(16, 16, 1);
        SDL_Surface* b = createImage(5, 3, 0);
        EXPECT_EQ(a->w, 16);
        EXPECT_EQ(b->h, 3);
        EXPECT_EQ(a->format->BitsPerPixel, bpp);
        // the key itself comes with setColorKey
        EXPECT_FALSE(keyed(b));
        EXPECT_EQ(rawPixel(a, 15, 15), BLACK);
        EXPECT_EQ(rawPixel(b, 4, 2), BLACK);
        freeSurface(a);
        freeSurface(b);
    }
}

TEST_F(ImageTest, BlitsAreClippedAtEveryEdge) {
    useTestScreen(16);
    SDL_Surface* a = createImage(10, 10, 0);
    SDL_FillRect(a, nullptr, BLUE);
    SDL_FillRect(screen, nullptr, BLACK);
    blitImage(a, -5, -5, screen);
    blitImage(a, 315, 235, screen);
    EXPECT_EQ(pixelRGB(screen, 4, 4), 0x0000FFu);
    EXPECT_EQ(pixelRGB(screen, 5, 5), 0u);
    EXPECT_EQ(pixelRGB(screen, 319, 239), 0x0000FFu);
    freeSurface(a);
}

TEST_F(ImageTest, AMissingImageIsFatal) {
    useTestScreen(16);
    useMembers({bmpMember("pic.bmp", picture(false))});
    const std::string out = deathOutputPath("image-missing");
    EXPECT_EXIT(
        {
            redirectStdout(out);
            loadGFX("nosuch", 0, 0, 0, 0);
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(readWholeFile(out), "Error loading gfx file: nosuch\n");
}

TEST_F(ImageTest, AnUndecodableImageIsKeptForInspectionThenFatal) {
    useTestScreen(16);
    ZdaMember junk;
    junk.name = "junk.bmp";
    junk.data = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9};
    useMembers({junk});
    const std::string out = deathOutputPath("image-junk");
    EXPECT_EXIT(
        {
            redirectStdout(out);
            loadGFX("junk", 0, 0, 0, 0);
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(readWholeFile(out).rfind("Unable to load bitmap: ", 0), 0u) << readWholeFile(out);
    std::string dumped = readWholeFile(tmp.path() + "/fuu.xxx");
    EXPECT_EQ(dumped, std::string(junk.data.begin(), junk.data.end()));
}

TEST_F(ImageTest, AnImageThatCannotBeCreatedIsFatal) {
    useTestScreen(16);
    const std::string out = deathOutputPath("image-create");
    EXPECT_EXIT(
        {
            redirectStdout(out);
            createImage(20000, 16, 1);
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(readWholeFile(out).rfind("Unable to create image: ", 0), 0u) << readWholeFile(out);
}
