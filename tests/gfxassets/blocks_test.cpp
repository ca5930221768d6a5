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

template <size_t N>
std::vector<int> seq(const int (&t)[N]) {
    return std::vector<int>(t, t + N);
}

TEST(BlockSheet, EveryAnimationMovesFromImageToImage) {
    ASSERT_EQ(sheet().width, 320);
    EXPECT_EQ(drawnPixels(tile(0)), 0) << "tile 0 stands in for the hidden hero";
    const struct {
        std::vector<int> frames;
        const char* what;
    } anims[] = {
        {{1, 2, 3, 4, 1}, "walking right"},
        {{5, 6, 7, 8, 5}, "walking left"},
        {{65, 68, 24}, "standing and idle"},
        {seq(blobbas), "MASKY walking"},
        {{11, 12}, "MASKY stomped"},
        {{13, 14, 13, 15, 16, 15}, "BEETLE walking and turning"},
        {seq(bat), "WINGEDEYE flying"},
        {{35, 36, 37}, "WINGEDEYE hit"},
        {{53, 54, 53, 55, 56, 55}, "ACIDFISH swimming"},
        {{121, 122, 123, 124, 121}, "SKULL walking right"},
        {{144, 143, 142, 141, 144}, "SKULL walking left"},
        {{121, 125, 126}, "SKULL stomped and waking"},
        {seq(death_suicide), "suicide"},
        {seq(death_crushed), "crushed"},
        {seq(death_drowned), "drowning"},
        {seq(death_drowned2), "floating"},
        {seq(death_explode), "torn apart"},
        {seq(death_dead), "struck"},
        {seq(death_slash), "impaled"},
        {seq(explode), "explosion"},
        {seq(krack[0]), "brick breaking"},
        {seq(krack[1]), "floor crumbling"},
        {{22, 180}, "crumbling starts"},
        {seq(trap), "spike trap"},
        {seq(shine), "bump block shining"},
        {{88, 89, 69}, "gate shutting"},
        {{17, 18, 19}, "flag rising"},
        {{220, 221, 222, 220}, "mine"},
        {{137, 138}, "bonus taken"},
        {{38, 27, 39, 28, 58, 47, 59, 48}, "door opening"},
    };
    // every image has art (0 stands for nothing), and each differs from the next one that
    // is not a deliberate repeat, so the motion shows
    for (const auto& a : anims) {
        SCOPED_TRACE(a.what);
        const std::vector<int>& f = a.frames;
        for (size_t i = 0; i < f.size(); i++) {
            if (f[i] == 0) continue;
            EXPECT_GT(drawnPixels(tile(f[i])), 0) << "image " << f[i] << " is empty";
            bool moves = i + 1 < f.size() && f[i + 1] != f[i] && f[i + 1] != 0;
            EXPECT_FALSE(moves && samePixels(tile(f[i]), tile(f[i + 1])))
                << "images " << f[i] << " and " << f[i + 1] << " are the same";
        }
    }
    // walking left is walking right turned round, frame by frame
    for (int f = 0; f < 4; f++) {
        Picture r = tile(1 + f), l = tile(5 + f);
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++)
                ASSERT_EQ(r.at(x, y), l.at(15 - x, y)) << "frame " << f;
    }
}

TEST(BlockSheet, EveryCellWithARoleHasArt) {
    for (int n : {20, 22, 25, 26, 40, 41, 42, 66, 137, 140})
        EXPECT_GT(drawnPixels(tile(n)), 40) << "tile " << n;
    // the hidden spike trap shows less than the sprung one, or it would give itself away
    EXPECT_LT(drawnPixels(tile(86)), drawnPixels(tile(87)));
    EXPECT_LT(drawnPixels(tile(87)), drawnPixels(tile(105)));
    for (int v = 1; v < NUM_BLOCKS; v++) {
        SCOPED_TRACE(v);
        int drawn = drawnPixels(tile(v));
        // ground the hero stands on must look like ground: at least a third of the cell
        bool solid = block_type[v] == BLOCK_SOLID || block_type[v] == BLOCK_PUSHABLE;
        EXPECT_GE(drawn, solid ? 256 / 3 : 0) << "solid value looks too empty";
        EXPECT_FALSE(drawn == 0 && block_type[v] == BLOCK_LETHAL) << "lethal value is invisible";
        EXPECT_FALSE(drawn == 0 && block_plan[v] == 1) << "front-plane value has no art";
    }
}

TEST(BlockSheet, WaterIsOpaqueAndItsSurfaceRepeatsWithoutASeam) {
    for (int n : {85, 145, 146, 162, 163, 164, 165, 166})
        EXPECT_EQ(drawnPixels(tile(n)), 256) << "water tile " << n << " has holes";
    // The game shows the 32-pixel surface strip (tiles 160, 161) rotated by any amount, so
    // its last column must meet its first as smoothly as any two columns inside.
    const Picture& s = sheet();
    auto step = [&](int a, int b) {
        int diff = 0;
        for (int y = 128; y < 144; y++) {
            uint32_t p = s.at(a % 32, y), q = s.at(b % 32, y);
            diff += (p == CLEAR) != (q == CLEAR) ? 255
                    : p == CLEAR                 ? 0
                                                 : std::abs(luma(p) - luma(q));
        }
        return diff;
    };
    auto waterline = [&](int x) {
        int y = 128;
        while (y < 144 && s.clear(x, y))
            y++;
        return y;
    };
    int worstInside = 0;
    for (int x = 0; x < 31; x++)
        worstInside = std::max(worstInside, step(x, x + 1));
    EXPECT_LE(step(31, 32), worstInside);
    for (int x = 0; x < 32; x++) {
        EXPECT_LE(std::abs(waterline(x) - waterline((x + 1) % 32)), 1) << "column " << x;
        // its bottom row runs on into plain water
        uint32_t above = s.at(x, 128 + 15), below = tile(85).at(x % 16, 0);
        EXPECT_NE(above, CLEAR);
        EXPECT_LE(std::abs(luma(above) - luma(below)), 40) << "column " << x;
    }
}

} // namespace
