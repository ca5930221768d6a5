// Cutting the block sheet: every block from its place, where it is transparent, and
// the water phases as rotations of the surface strip.
#include "data/archive.h"
#include "gfx/blocks.h"
#include "gfx/image.h"
#include "gfx/video.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

Uint32 mapped(uint32_t rgb) {
    return SDL_MapRGB(screen->format, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool keyed(SDL_Surface* s) {
    return (s->flags & SDL_SRCCOLORKEY) != 0;
}

std::vector<Uint32> column(SDL_Surface* s, int x, int y0) {
    std::vector<Uint32> col;
    for (int y = 0; y < 16; y++)
        col.push_back(rawPixel(s, x, y0 + y));
    return col;
}

// The rotation r (0 ... 15) that water phase p shows of the sheet's strip, or -1 for none.
// Every column of the test strip is different, so at most one r fits.
int rotationOf(SDL_Surface* sheet, int p) {
    for (int r = 0; r < 16; r++) {
        bool all = true;
        for (int c = 0; c < 32 && all; c++)
            all = column(wblocks[2 * p + c / 16], c % 16, 0) == column(sheet, (c + r) % 32, 128);
        if (all) return r;
    }
    return -1;
}

// The test sheet, in which block 7 has no magenta, from the archive.
class BlocksTest : public ::testing::Test {
  protected:
    ScopedTempDir tmp;
    std::unique_ptr<ArchiveDir> reader;
    SDL_Surface* sheet = nullptr;
    void SetUp() override {
        useTestScreen(16);
        RgbImage img = makeBlockSheet();
        img.at(16 * 7, 0) = blockColour(7);
        writeArchive(tmp.path() + "/data", "gfx", {bmpMember("blocks.bmp", img)});
        reader = std::make_unique<ArchiveDir>(tmp.path() + "/data");
        sheet = loadGFX("blocks", 0, 0, 0, 0);
    }
    void TearDown() override {
        freeSurface(sheet);
        freeBlocks();
        reader.reset();
    }
};

} // namespace

TEST_F(BlocksTest, EveryBlockComesFromItsPlaceAndIsTransparentWhereItHasMagenta) {
    cutBlocks(sheet);
    for (int i = 0; i < NUM_BLOCKS; i++) {
        SCOPED_TRACE(i);
        for (int c = 0; c < 16; c++)
            ASSERT_EQ(column(blocks[i], c, 0), column(sheet, 16 * (i % 20) + c, 16 * (i / 20)));
        // without magenta (block 7, the water) a block is opaque
        const bool key = !(i == 7 || i == 160 || i == 161);
        EXPECT_EQ(keyed(blocks[i]), key);
        EXPECT_EQ(blocks[i]->format->colorkey, key ? mapped(RGB_MAGENTA) : 0);
    }
}

TEST_F(BlocksTest, WaterPhasesAreTheStripRotatedByFourRandomAmounts) {
    initBlocks();
    for (int p = 0; p < WATER_PHASES; p++) {
        const int r = rotationOf(sheet, p);
        EXPECT_TRUE(r >= 0 && r < 15) << p << ": " << r;
    }
    for (int r : {0, 1, 5, 14, 15}) { // 0: exactly blocks 160 and 161
        cutWaterPhase(sheet, 1, r);
        EXPECT_EQ(rotationOf(sheet, 1), r);
    }
}
