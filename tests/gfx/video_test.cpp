// The picture and its presentation: colours, the darkening overlay, rectangles, the choice
// of scaler when a frame is shown, and the fatal error report.
#include "data/fatal.h"
#include "gfx/scalers.h"
#include "gfx/video.h"
#include "test_env.h"

#include <gtest/gtest.h>

namespace {

// Sets up the doubled mode: a 640x480 display and a picture in its format.
void useZoomedScreen(int bpp) {
    useTestScreen(bpp);
    fscreen = SDL_SetVideoMode(640, 480, bpp, SDL_SWSURFACE);
    ASSERT_NE(fscreen, nullptr);
    const SDL_PixelFormat* f = fscreen->format;
    screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, f->BitsPerPixel, f->Rmask, f->Gmask,
                                  f->Bmask, f->Amask);
    ASSERT_NE(screen, nullptr);
    gfxInitColors();
}

void leaveZoomedScreen() {
    gfxShutdown();
    SDL_FreeSurface(screen);
    screen = fscreen = nullptr;
    aa2 = s2x = 0;
}

// A picture on which the three scalers give three different results.
void drawCorner() {
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    fillRect(screen, 100, 100, 40, 40, SDL_MapRGB(screen->format, 255, 255, 255));
    fillRect(screen, 140, 100, 1, 1, SDL_MapRGB(screen->format, 200, 0, 0));
}

// The display after presenting with the given flags, and the same picture scaled directly.
bool sameAsScaler(void (*scale)(SDL_Surface*, SDL_Surface*)) {
    SDL_Surface* want = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, fscreen->format->BitsPerPixel,
                                             fscreen->format->Rmask, fscreen->format->Gmask,
                                             fscreen->format->Bmask, 0);
    scale(screen, want);
    bool same = true;
    for (int y = 0; y < 480 && same; y++)
        for (int x = 0; x < 640 && same; x++)
            same = rawPixel(want, x, y) == rawPixel(fscreen, x, y);
    SDL_FreeSurface(want);
    return same;
}

std::vector<Uint32> smoothBuffer(640 * 240);
void smooth(SDL_Surface* src, SDL_Surface* dst) {
    antiAlias2Surface(src, dst, smoothBuffer.data());
}

} // namespace

TEST(Video, NamedColoursFollowThePictureFormat) {
    for (int bpp : {16, 24}) {
        useTestScreen(bpp);
        EXPECT_EQ(BLACK, SDL_MapRGB(screen->format, 0, 0, 0));
        EXPECT_EQ(RED, SDL_MapRGB(screen->format, 255, 0, 0));
        EXPECT_EQ(DRED, SDL_MapRGB(screen->format, 128, 0, 0));
        EXPECT_EQ(BLUE, SDL_MapRGB(screen->format, 0, 0, 255));
        EXPECT_EQ(DBLUE, SDL_MapRGB(screen->format, 0, 0, 128));
        EXPECT_NE(RED, BLUE);
    }
}

TEST(Video, DarkeningHalvesTheStageViewAndSparesTheStatusLine) {
    for (int bpp : {16, 24}) {
        useTestScreen(bpp);
        gfxPrepareBlackScreen();
        ASSERT_NE(black, nullptr);
        EXPECT_EQ(black->w, 320);
        EXPECT_EQ(black->h, 192);
        EXPECT_EQ(black->format->BitsPerPixel, screen->format->BitsPerPixel);
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 255, 255, 255));
        darken();
        for (int y : {0, 100, 191}) {
            uint32_t c = pixelRGB(screen, 5, y);
            for (int shift : {16, 8, 0}) {
                int ch = (c >> shift) & 0xFF;
                EXPECT_GE(ch, 110) << bpp << " row " << y;
                EXPECT_LE(ch, 140) << bpp << " row " << y;
            }
        }
        for (int y : {192, 239})
            EXPECT_EQ(pixelRGB(screen, 5, y), 0xFFFFFFu) << bpp << " row " << y;
        SDL_FreeSurface(black);
        black = nullptr;
    }
}

TEST(Video, RectanglesAreClippedToTheSurface) {
    useTestScreen(16);
    SDL_FillRect(screen, nullptr, BLACK);
    fillRect(screen, -5, -5, 10, 10, RED);
    fillRect(screen, 315, 235, 100, 100, BLUE);
    EXPECT_EQ(pixelRGB(screen, 0, 0), 0xFF0000u);
    EXPECT_EQ(pixelRGB(screen, 4, 4), 0xFF0000u);
    EXPECT_EQ(pixelRGB(screen, 5, 5), 0u);
    EXPECT_EQ(pixelRGB(screen, 319, 239), 0x0000FFu);
    EXPECT_EQ(pixelRGB(screen, 314, 239), 0u);
}

TEST(Video, PresentingPicksExactlyOneScaler) {
    for (int bpp : {16, 24}) {
        useZoomedScreen(bpp);
        drawCorner();
        aa2 = 0;
        s2x = 0;
        flipScreen();
        EXPECT_TRUE(sameAsScaler(zoom2Surface)) << bpp;
        EXPECT_FALSE(sameAsScaler(scale2xSurface)) << bpp;
        s2x = 1;
        flipScreen();
        EXPECT_TRUE(sameAsScaler(scale2xSurface)) << bpp;
        // smoothing wins over Scale2X
        aa2 = 1;
        gfxInit();
        ASSERT_NE(aabuf, nullptr);
        flipScreen();
        EXPECT_TRUE(sameAsScaler(smooth)) << bpp;
        EXPECT_FALSE(sameAsScaler(scale2xSurface)) << bpp;
        leaveZoomedScreen();
    }
}

TEST(Video, SmoothingWithoutItsBufferStillShowsThePicture) {
    useZoomedScreen(16);
    drawCorner();
    aa2 = 1;
    ASSERT_EQ(aabuf, nullptr);
    flipScreen();
    EXPECT_TRUE(sameAsScaler(zoom2Surface));
    leaveZoomedScreen();
}

TEST(Video, TheBufferExistsOnlyForSmoothing) {
    aa2 = 0;
    gfxInit();
    EXPECT_EQ(aabuf, nullptr);
    aa2 = 1;
    gfxInit();
    EXPECT_NE(aabuf, nullptr);
    gfxShutdown();
    EXPECT_EQ(aabuf, nullptr);
    aa2 = 0;
}

TEST(Video, OneToOneFlipsThePictureItself) {
    // with no display surface of its own the picture is flipped as it is, whatever the flags
    useTestScreen(16);
    aa2 = 1;
    s2x = 1;
    SDL_FillRect(screen, nullptr, RED);
    flipScreen();
    EXPECT_EQ(pixelRGB(screen, 10, 10), 0xFF0000u);
    EXPECT_EQ(aabuf, nullptr);
    aa2 = s2x = 0;
}

TEST(VideoDeathTest, FatalErrorsReportOnStandardOutputAndExitWithOne) {
    const std::string out = deathOutputPath("video-error");
    EXPECT_EXIT(
        {
            redirectStdout(out);
            error("Unable to set video mode", nullptr);
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(readWholeFile(out), "Unable to set video mode: unknown\n");
    EXPECT_EXIT(
        {
            redirectStdout(out);
            error("Error loading gfx file", "font");
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(readWholeFile(out), "Error loading gfx file: font\n");
}
