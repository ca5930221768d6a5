// The block sheet: tile 0 is empty, every image the animations and monsters show has art and
// moves from one frame to the next, the terrain the hero stands on looks solid, and the water
// surface repeats without a seam.
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
    const std::vector<int> anims[] = {
        seq(blobbas),       seq(bat),           seq(death_suicide),
        seq(death_crushed), seq(death_drowned), seq(death_drowned2),
        seq(death_explode), seq(death_dead),    seq(death_slash),
        seq(explode),       seq(krack[0]),      seq(krack[1]),
        seq(trap),          seq(shine),
    };
    // every image has art (0 stands for nothing), and each differs from the next one that
    // is not a deliberate repeat, so the motion shows
    for (const std::vector<int>& f : anims)
        for (size_t i = 0; i < f.size(); i++) {
            if (f[i] == 0) continue;
            EXPECT_GT(drawnPixels(tile(f[i])), 0) << "image " << f[i] << " is empty";
            bool moves = i + 1 < f.size() && f[i + 1] != f[i] && f[i + 1] != 0;
            EXPECT_FALSE(moves && samePixels(tile(f[i]), tile(f[i + 1])))
                << "images " << f[i] << " and " << f[i + 1] << " are the same";
        }
}

TEST(BlockSheet, SolidGroundLooksSolidAndNothingDangerousIsInvisible) {
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

TEST(BlockSheet, TheWaterSurfaceRepeatsWithoutASeam) {
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
    int worstInside = 0;
    for (int x = 0; x < 31; x++)
        worstInside = std::max(worstInside, step(x, x + 1));
    EXPECT_LE(step(31, 32), worstInside);
}

} // namespace
