// Cutting the block sheet: every block from its place, the transparent colour per depth, and
// the water phases as rotations of the surface strip.
#include "data/archive.h"
#include "gfx/blocks.h"
#include "gfx/image.h"
#include "gfx/video.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The sheet as an image in the picture's format, as the game would have loaded it.
SDL_Surface* sheetSurface(const RgbImage& img) {
    SDL_Surface* s = createImage(img.width, img.height, 0);
    for (int y = 0; y < img.height; y++)
        for (int x = 0; x < img.width; x++) {
            uint32_t c = img.at(x, y);
            putRawPixel(s, x, y, SDL_MapRGB(s->format, c >> 16, (c >> 8) & 0xFF, c & 0xFF));
        }
    return s;
}

Uint32 mapped(uint32_t rgb) {
    return SDL_MapRGB(screen->format, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool keyed(SDL_Surface* s) {
    return (s->flags & SDL_SRCCOLORKEY) != 0;
}

// Column c (0 ... 31) of the water strip, as the sheet holds it.
std::vector<Uint32> stripColumn(SDL_Surface* sheet, int c) {
    std::vector<Uint32> col;
    for (int y = 0; y < 16; y++)
        col.push_back(rawPixel(sheet, c, 128 + y));
    return col;
}

std::vector<Uint32> column(SDL_Surface* s, int c) {
    std::vector<Uint32> col;
    for (int y = 0; y < 16; y++)
        col.push_back(rawPixel(s, c, y));
    return col;
}

// The rotation r (0 ... 15) that water phase p shows, or -1 when it shows none.
int rotationOf(SDL_Surface* sheet, int p) {
    for (int r = 0; r < 16; r++) {
        bool all = true;
        for (int c = 0; c < 32 && all; c++) {
            SDL_Surface* half = c < 16 ? wblocks[2 * p] : wblocks[2 * p + 1];
            all = column(half, c % 16) == stripColumn(sheet, (c + r) % 32);
        }
        if (all) return r;
    }
    return -1;
}

class BlocksTest : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override { useTestScreen(GetParam()); }
    void TearDown() override { freeBlocks(); }
};

} // namespace

TEST_P(BlocksTest, EveryBlockComesFromItsPlaceOnTheSheet) {
    SDL_Surface* sheet = sheetSurface(makeBlockSheet());
    cutBlocks(sheet);
    for (int i = 0; i < NUM_BLOCKS; i++) {
        ASSERT_NE(blocks[i], nullptr) << i;
        EXPECT_EQ(blocks[i]->w, 16);
        EXPECT_EQ(blocks[i]->h, 16);
        if (i == 160 || i == 161) continue; // the water strip is a gradient
        EXPECT_EQ(rawPixel(blocks[i], 5, 9), mapped(blockColour(i))) << i;
        EXPECT_EQ(rawPixel(blocks[i], 15, 15), mapped(blockColour(i))) << i;
        // the magenta corner is the transparent colour
        EXPECT_TRUE(keyed(blocks[i])) << i;
        EXPECT_EQ(blocks[i]->format->colorkey, mapped(0xFF00FF)) << i;
    }
    freeSurface(sheet);
}

TEST_P(BlocksTest, BlocksWithoutMagentaAreOpaqueOnlyAtSixteenBits) {
    RgbImage img = makeBlockSheet();
    img.at(16 * 7, 0) = blockColour(7); // block 7 loses its magenta corner
    SDL_Surface* sheet = sheetSurface(img);
    cutBlocks(sheet);
    EXPECT_EQ(keyed(blocks[7]), GetParam() != 16);
    EXPECT_TRUE(keyed(blocks[8]));
    freeSurface(sheet);
}

TEST_P(BlocksTest, ASmallSheetLeavesTheMissingBlocksBlack) {
    RgbImage img = makeBlockSheet();
    RgbImage small(40, 20);
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 40; x++)
            small.at(x, y) = img.at(x, y);
    SDL_Surface* sheet = sheetSurface(small);
    cutBlocks(sheet);
    EXPECT_EQ(rawPixel(blocks[1], 5, 5), mapped(blockColour(1)));
    EXPECT_EQ(rawPixel(blocks[2], 5, 5), mapped(blockColour(2))); // column 37 is there
    EXPECT_EQ(rawPixel(blocks[2], 12, 5), BLACK);                 // column 44 is not
    EXPECT_EQ(rawPixel(blocks[21], 5, 2), mapped(blockColour(21)));
    EXPECT_EQ(rawPixel(blocks[21], 5, 6), BLACK); // below the sheet's last row
    EXPECT_EQ(rawPixel(blocks[239], 0, 0), BLACK);
    freeSurface(sheet);
}

TEST_P(BlocksTest, AnUnrotatedWaterPhaseIsExactlyTheTwoSurfaceBlocks) {
    SDL_Surface* sheet = sheetSurface(makeBlockSheet());
    cutBlocks(sheet);
    cutWaterPhase(sheet, 2, 0);
    for (int c = 0; c < 16; c++) {
        EXPECT_EQ(column(wblocks[4], c), column(blocks[160], c)) << c;
        EXPECT_EQ(column(wblocks[5], c), column(blocks[161], c)) << c;
    }
    freeSurface(sheet);
}

TEST_P(BlocksTest, ARotatedWaterPhaseWrapsRoundTheStrip) {
    SDL_Surface* sheet = sheetSurface(makeBlockSheet());
    for (int r : {1, 5, 14, 15}) {
        cutWaterPhase(sheet, 1, r);
        for (int c = 0; c < 16; c++) {
            EXPECT_EQ(column(wblocks[2], c), stripColumn(sheet, (r + c) % 32)) << r << " " << c;
            EXPECT_EQ(column(wblocks[3], c), stripColumn(sheet, (r + 16 + c) % 32))
                << r << " " << c;
        }
        EXPECT_EQ(rotationOf(sheet, 1), r);
    }
    freeSurface(sheet);
}

TEST_P(BlocksTest, TheSheetFromTheArchiveGivesAllBlocksAndFourRandomPhases) {
    ScopedTempDir tmp;
    writeArchive(tmp.path() + "/data", "gfx", {bmpMember("blocks.bmp", makeBlockSheet())});
    ArchiveDir reader(tmp.path() + "/data");
    initBlocks();
    for (SDL_Surface* b : blocks)
        ASSERT_NE(b, nullptr);
    SDL_Surface* sheet = sheetSurface(makeBlockSheet());
    for (int p = 0; p < WATER_PHASES; p++) {
        int r = rotationOf(sheet, p);
        EXPECT_GE(r, 0) << p;
        EXPECT_LT(r, 15) << p;
    }
    freeSurface(sheet);
    freeBlocks();
    for (SDL_Surface* b : blocks)
        EXPECT_EQ(b, nullptr);
    for (SDL_Surface* w : wblocks)
        EXPECT_EQ(w, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Depths, BlocksTest, ::testing::Values(16, 24),
                         [](const auto& info) { return std::to_string(info.param) + "bpp"; });
