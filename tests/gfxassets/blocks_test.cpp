// The block sheet: tile 0 is empty, every cell value and sprite with a role has art, each
// animation moves from image to image, the water surface repeats without a seam, and the
// terrain the hero stands on looks solid.
#include "anim/anims.h"
#include "art_files.h"
#include "gfx/blocks.h"
#include "world/map.h"
#include "world/monsters.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

const Picture& sheet() {
    static Picture s = builtImage("blocks");
    return s;
}

Picture tile(int n) {
    return tileOf(sheet(), n);
}

// Every image in the sequence has art (0 stands for nothing and is skipped), and each
// differs from the next image that is not a deliberate repeat, so the motion shows.
void expectAnimates(const std::vector<int>& frames, const char* what) {
    SCOPED_TRACE(what);
    for (size_t i = 0; i < frames.size(); i++) {
        if (frames[i] == 0) continue;
        EXPECT_GT(drawnPixels(tile(frames[i])), 0) << "image " << frames[i] << " is empty";
        size_t j = i + 1;
        if (j < frames.size() && frames[j] != frames[i] && frames[j] != 0) {
            EXPECT_FALSE(samePixels(tile(frames[i]), tile(frames[j])))
                << "images " << frames[i] << " and " << frames[j] << " are the same";
        }
    }
}

template <size_t N>
std::vector<int> table(const int (&t)[N]) {
    return std::vector<int>(t, t + N);
}

TEST(BlockSheet, TileZeroIsEmpty) {
    ASSERT_EQ(sheet().width, 320);
    EXPECT_EQ(drawnPixels(tile(0)), 0);
}

TEST(BlockSheet, HeroWalksStandsAndIdles) {
    expectAnimates({1, 2, 3, 4, 1}, "walking right");
    expectAnimates({5, 6, 7, 8, 5}, "walking left");
    expectAnimates({65, 68, 24}, "standing and idle");
    // walking left is walking right turned round, frame by frame
    for (int f = 0; f < 4; f++) {
        Picture r = tile(1 + f), l = tile(5 + f);
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++)
                ASSERT_EQ(r.at(x, y), l.at(15 - x, y)) << "frame " << f;
    }
}

TEST(BlockSheet, MonstersMoveInEveryDirection) {
    expectAnimates(table(blobbas), "MASKY walking");
    expectAnimates({11, 12}, "MASKY stomped");
    expectAnimates({13, 14, 13}, "BEETLE walking left");
    expectAnimates({15, 16, 15}, "BEETLE walking right");
    expectAnimates({13, 15}, "BEETLE turning");
    expectAnimates(table(bat), "WINGEDEYE flying");
    expectAnimates({35, 36, 37}, "WINGEDEYE hit");
    expectAnimates({53, 54, 53, 55, 56, 55}, "ACIDFISH swimming");
    expectAnimates({121, 122, 123, 124, 121}, "SKULL walking right");
    expectAnimates({144, 143, 142, 141, 144}, "SKULL walking left");
    expectAnimates({121, 125, 126}, "SKULL stomped and waking");
}

TEST(BlockSheet, DeathsAndEffectsAnimate) {
    expectAnimates(table(death_suicide), "suicide");
    expectAnimates(table(death_crushed), "crushed");
    expectAnimates(table(death_drowned), "drowning");
    expectAnimates(table(death_drowned2), "floating");
    expectAnimates(table(death_explode), "torn apart");
    expectAnimates(table(death_dead), "struck");
    expectAnimates(table(death_slash), "impaled");
    expectAnimates(table(explode), "explosion");
    expectAnimates(table(krack[0]), "brick breaking");
    expectAnimates(table(krack[1]), "floor crumbling");
    expectAnimates({22, 180}, "crumbling starts");
    expectAnimates(table(trap), "spike trap");
    expectAnimates(table(shine), "bump block shining");
    expectAnimates({88, 89, 69}, "gate shutting");
    expectAnimates({17, 18, 19}, "flag rising");
    expectAnimates({220, 221, 222, 220}, "mine");
    expectAnimates({137, 138}, "bonus taken");
    expectAnimates({38, 27, 39, 28, 58, 47, 59, 48}, "door opening");
}

TEST(BlockSheet, ItemsAndTrapsHaveArt) {
    for (int n : {20,  22,  25,  26,  40,  41,  42,  66,  85,  137,
                  140, 145, 146, 160, 161, 162, 163, 164, 165, 166})
        EXPECT_GT(drawnPixels(tile(n)), 40) << "tile " << n;
    // the hidden spike trap shows less than the sprung one, or it would give itself away
    EXPECT_LT(drawnPixels(tile(86)), drawnPixels(tile(87)));
    EXPECT_LT(drawnPixels(tile(87)), drawnPixels(tile(105)));
}

TEST(BlockSheet, EveryClassedCellHasArt) {
    for (int v = 1; v < NUM_BLOCKS; v++) {
        SCOPED_TRACE(v);
        int drawn = drawnPixels(tile(v));
        // ground the hero stands on must look like ground: at least a third of the cell
        if (block_type[v] == BLOCK_SOLID || block_type[v] == BLOCK_PUSHABLE) {
            EXPECT_GE(drawn, 256 / 3) << "solid value " << v << " looks too empty";
        }
        if (block_type[v] == BLOCK_LETHAL) {
            EXPECT_GT(drawn, 0) << "lethal value " << v << " is invisible";
        }
        if (block_plan[v] == 1) {
            EXPECT_GT(drawn, 0) << "front-plane value " << v << " has no art";
        }
    }
}

TEST(BlockSheet, WaterIsOpaqueAndJoins) {
    for (int n : {85, 145, 146, 162, 163, 164, 165, 166})
        EXPECT_EQ(drawnPixels(tile(n)), 256) << "water tile " << n << " has holes";
    // the surface strip's bottom row runs on into plain water
    for (int x = 0; x < 32; x++) {
        uint32_t above = sheet().at(x, 128 + 15), below = tile(85).at(x % 16, 0);
        EXPECT_NE(above, CLEAR);
        EXPECT_LE(std::abs(luma(above) - luma(below)), 40) << "column " << x;
    }
}

TEST(BlockSheet, WaterSurfaceRepeatsWithoutASeam) {
    // The game shows the 32-pixel strip rotated by any amount, so it must join where its
    // last column meets its first just as well as anywhere inside.
    const Picture& s = sheet();
    auto column = [&](int x) { return x % 32; };
    auto step = [&](int a, int b) {
        int diff = 0;
        for (int y = 128; y < 144; y++) {
            uint32_t p = s.at(column(a), y), q = s.at(column(b), y);
            if ((p == CLEAR) != (q == CLEAR))
                diff += 255;
            else if (p != CLEAR)
                diff += std::abs(luma(p) - luma(q));
        }
        return diff;
    };
    int worstInside = 0;
    for (int x = 0; x < 31; x++)
        worstInside = std::max(worstInside, step(x, x + 1));
    EXPECT_LE(step(31, 32), worstInside);
    // and the waterline (first drawn row) never jumps by more than a pixel
    auto waterline = [&](int x) {
        for (int y = 128; y < 144; y++)
            if (s.at(x, y) != CLEAR) return y;
        return 144;
    };
    for (int x = 0; x < 32; x++)
        EXPECT_LE(std::abs(waterline(x) - waterline((x + 1) % 32)), 1) << "column " << x;
}

} // namespace
