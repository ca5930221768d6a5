// Moving platforms: their turning points, the catch window and crushing.
#include "world_kit.h"

#include "gfx/messages.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/platforms.h"

#include <gtest/gtest.h>

namespace {

TEST(Platforms, TurnAtTheTopAndBottomRowsAndAtAnyCellThatIsNotPassable) {
    ASSERT_TRUE(loadTestMap(TestMap().set(2, 1, CELL_PLATFORM).set(5, 10, CELL_PLATFORM)));
    Figure away = heroAt(300, 160);
    platforms[0].dy = -1; // up through free cells
    for (int i = 0; i < 16; i++) {
        updatePlatform(&platforms[0], &away);
        updatePlatform(&platforms[1], &away);
    }
    EXPECT_EQ(Ints({platforms[0].y, platforms[0].dy, platforms[1].y, platforms[1].dy}),
              Ints({0, 1, 176, -1}));
    // a ceiling on row 3 and spikes on row 6 leave rows 4 and 5
    ASSERT_TRUE(
        loadTestMap(TestMap().set(4, 3, 21).set(4, 4, CELL_PLATFORM).set(4, 6, CELL_SPIKES_UP)));
    int lowest = 0, highest = 1000;
    for (int i = 0; i < 200; i++) {
        updatePlatforms(&away);
        lowest = std::max(lowest, platforms[0].y);
        highest = std::min(highest, platforms[0].y);
    }
    EXPECT_EQ(Ints({highest, lowest}), Ints({64, 80}));
}

TEST(Platforms, TheCatchWindowGrowsWithTheFall) {
    ASSERT_TRUE(loadTestMap(TestMap().set(3, 6, CELL_PLATFORM)));
    const struct {
        int dx, dy, vy, dying, caught;
    } cases[] = {
        {0, -10, 40, 0, 1}, {0, 10, 40, 0, 1}, {0, -11, 40, 0, 0},
        {0, 11, 40, 0, 0},  {0, -1, 7, 0, 1},  {0, 1, 7, 0, 1},
        {0, -2, 7, 0, 0},   {0, 2, 7, 0, 0},   {0, 0, -3, 0, 0}, // rising heroes are never caught
        {-11, 0, 7, 0, 1},  {12, 0, 7, 0, 1},  {-12, 0, 7, 0, 0},
        {13, 0, 7, 0, 0},   {0, 0, 7, 1, 0} // dying heroes are left alone
    };
    for (const auto& c : cases) {
        platforms[0] = Platform{48, 100, -1}; // after the move: y 99, the top 83
        Figure f = heroAt(48 + c.dx, 83 + c.dy);
        f.vy = c.vy;
        f.dying = c.dying;
        EXPECT_EQ(updatePlatform(&platforms[0], &f), c.caught)
            << "hero at " << c.dx << ", " << c.dy << " vy " << c.vy;
    }
}

TEST(Platforms, TheLaterOfTwoOverlappingPlatformsCarries) {
    ASSERT_TRUE(loadTestMap(TestMap().set(3, 6, CELL_PLATFORM).set(4, 6, CELL_PLATFORM)));
    const int xs[][2] = {{56, 1}, {40, 0}, {200, -1}};
    Figure f = heroAt(0, 81);
    for (const auto& c : xs) {
        f.x = c[0];
        updatePlatforms(&f);
        EXPECT_EQ(f.platform, c[1]) << "x " << c[0];
    }
}

TEST(Platforms, ADescendingPlatformCrushesAHeroOnTheGroundAndGoesOn) {
    ASSERT_TRUE(loadTestMap(TestMap().fillRow(11, 21).set(3, 5, CELL_PLATFORM)));
    Figure f = heroAt(48, 160);
    platforms[0].y = 127;
    updatePlatform(&platforms[0], &f); // y 128: a free cell is left between them
    EXPECT_EQ(f.dying, 0);
    platforms[0].y = 80;
    int frames = 0;
    while (!f.dying && frames++ < 200) {
        updatePlatforms(&f);
        walk(&f, 0, 0, 0, 0, step);
    }
    EXPECT_EQ(Ints({platforms[0].y, frames, f.deathAnim}), Ints({144, 64, ANIM_DEATH_CRUSHED}))
        << "crushed at once a whole cell above the hero";
    EXPECT_STREQ(messageString, message(MSG_SMASHED));
    Figure away = heroAt(300, 160);
    updatePlatforms(&away);
    EXPECT_EQ(platforms[0].y, 145);
    // anything a lift cannot pass pins the hero: a push block, spikes or a mine too
    const int under[][2] = {{CELL_PUSH, 1}, {CELL_SPIKES_UP, 1}, {CELL_MINE, 1}, {CELL_WATER, 0}};
    for (const auto& c : under) {
        ASSERT_TRUE(loadTestMap(TestMap().set(3, 11, c[0]).set(3, 8, CELL_PLATFORM)));
        f = heroAt(48, 160);
        platforms[0].y = 143;
        updatePlatform(&platforms[0], &f);
        EXPECT_EQ(f.dying, c[1]) << "on cell " << c[0];
    }
}

} // namespace
