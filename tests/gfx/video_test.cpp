// Presenting the picture: the choice of scaler when a frame is shown.
#include "gfx/scalers.h"
#include "gfx/video.h"
#include "test_env.h"

#include <gtest/gtest.h>

namespace {

std::vector<Uint32> smoothBuffer(640 * 240);
void smooth(SDL_Surface* src, SDL_Surface* dst) {
    antiAlias2Surface(src, dst, smoothBuffer.data());
}

// True when the display shows the picture as this scaler enlarges it.
bool shownThrough(void (*scale)(SDL_Surface*, SDL_Surface*)) {
    const SDL_PixelFormat* f = fscreen->format;
    SDL_Surface* want = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, f->BitsPerPixel, f->Rmask,
                                             f->Gmask, f->Bmask, 0);
    scale(screen, want);
    bool same = true;
    for (int y = 0; y < 480 && same; y++)
        for (int x = 0; x < 640 && same; x++)
            same = rawPixel(want, x, y) == rawPixel(fscreen, x, y);
    SDL_FreeSurface(want);
    return same;
}

} // namespace

TEST(Video, PresentingPicksExactlyOneScaler) {
    for (int bpp : {16, 24}) {
        SCOPED_TRACE(bpp);
        useTestScreen(bpp);
        // a display and a picture in its format, showing a corner and a dot on which the
        // three scalers differ
        fscreen = SDL_SetVideoMode(640, 480, bpp, SDL_SWSURFACE);
        const SDL_PixelFormat* f = fscreen->format;
        screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, f->BitsPerPixel, f->Rmask, f->Gmask,
                                      f->Bmask, f->Amask);
        gfxInitColors();
        fillRect(screen, 0, 0, 320, 240, BLACK);
        fillRect(screen, 100, 100, 40, 40, SDL_MapRGB(f, 255, 255, 255));
        fillRect(screen, 140, 100, 1, 1, RED);
        void (*const scalers[])(SDL_Surface*, SDL_Surface*) = {zoom2Surface, scale2xSurface,
                                                               smooth};
        struct {
            int aa2, s2x, shown; // the flags, and the scaler that must be used
        } cases[] = {{1, 0, 0}, {0, 0, 0}, {0, 1, 1}, {1, 1, 2}};
        for (const auto& c : cases) {
            aa2 = c.aa2;
            s2x = c.s2x;
            if (&c == &cases[3]) gfxInit(); // smoothing needs its buffer, else plain doubling
            flipScreen();
            for (int k = 0; k < 3; k++)
                EXPECT_EQ(shownThrough(scalers[k]), k == c.shown) << c.aa2 << c.s2x << " " << k;
        }
        gfxShutdown();
        SDL_FreeSurface(screen);
        screen = fscreen = nullptr;
        aa2 = s2x = 0;
    }
}
