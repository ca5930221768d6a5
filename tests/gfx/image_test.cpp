// Palettized images from the graphics archive, and the row copy of opaque images against
// SDL's own blit.
#include "data/archive.h"
#include "gfx/image.h"
#include "gfx/video.h"
#include "test_env.h"

#include <gtest/gtest.h>

// An 8-bit image keeps its palette's colours; with no magenta in the palette, its first
// colour is the one that lets the background show.
TEST(ImageTest, APaletteWithoutMagentaLetsItsFirstColourShowWhatLiesBehind) {
    useTestScreen(16);
    ScopedTempDir tmp;
    RgbImage pal(2, 1, 0x00FF00);
    pal.at(1, 0) = 0xFF8000;
    writeArchive(tmp.path() + "/data", "gfx", {{"pal.bmp", encodeBMP8(pal, {0x00FF00, 0xFF8000})}});
    ArchiveDir reader(tmp.path() + "/data");
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
