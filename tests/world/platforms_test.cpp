// Moving platforms: their turning points, the catch window and crushing.
#include "world_fixture.h"

#include "anim/anims.h"
#include "gfx/messages.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/platforms.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A hero far away from every platform.
Figure bystander() {
    return heroAt(300, 160);
}

TEST(Platforms, TurnAtTheTopAndBottomRows) {
    TestMap m;
    m.set(2, 1, 66).set(5, 10, 66);
    ASSERT_TRUE(loadTestMap(m));
    ASSERT_EQ(pcount, 2);
    Figure f = bystander();
    Platform& up = platforms[0];
    up.dy = -1; // send it up through free cells
    for (int i = 0; i < 16; i++)
        updatePlatform(&up, &f);
    EXPECT_EQ(up.y, 0);
    EXPECT_EQ(up.dy, 1);
    Platform& down = platforms[1];
    for (int i = 0; i < 16; i++)
        updatePlatform(&down, &f);
    EXPECT_EQ(down.y, 176);
    EXPECT_EQ(down.dy, -1);
    updatePlatform(&down, &f);
    EXPECT_EQ(down.y, 175);
}

TEST(Platforms, OscillateBetweenCeilingAndFloor) {
    // ceiling on row 3, floor on row 6: the platform has rows 4 and 5
    TestMap m;
    m.set(4, 3, 21).set(4, 4, 66).set(4, 6, 105); // a lethal floor turns it too
    ASSERT_TRUE(loadTestMap(m));
    Figure f = bystander();
    int lowest = 0, highest = 1000;
    for (int i = 0; i < 200; i++) {
        updatePlatforms(&f);
        lowest = std::max(lowest, platforms[0].y);
        highest = std::min(highest, platforms[0].y);
    }
    EXPECT_EQ(highest, 64);
    EXPECT_EQ(lowest, 80);
}

TEST(Platforms, ACatchWindowThatGrowsWithTheFall) {
    TestMap m;
    m.set(3, 6, 66);
    ASSERT_TRUE(loadTestMap(m));
    Platform& p = platforms[0];
    for (int dy : {-11, -10, 0, 10, 11}) {
        p.y = 100;
        p.dy = -1; // after the move: y 99, top 83
        Figure f = heroAt(48, 83 + dy);
        f.vy = 40;
        EXPECT_EQ(updatePlatform(&p, &f), std::abs(dy) <= 10 ? 1 : 0) << dy;
    }
    // at rest the tolerance is one pixel
    for (int dy : {-2, -1, 1, 2}) {
        p.y = 100;
        p.dy = -1;
        Figure f = heroAt(48, 83 + dy);
        EXPECT_EQ(updatePlatform(&p, &f), std::abs(dy) <= 1 ? 1 : 0) << dy;
    }
    // rising heroes are never caught
    p.y = 100;
    Figure rising = heroAt(48, 83);
    rising.vy = -3;
    EXPECT_EQ(updatePlatform(&p, &rising), 0);
    // the hero's x must be level with the platform: from x - 11 to x + 12
    for (int dx : {-12, -11, 12, 13}) {
        p.y = 100;
        p.dy = -1;
        Figure f = heroAt(48 + dx, 83);
        EXPECT_EQ(updatePlatform(&p, &f), (dx >= -11 && dx <= 12) ? 1 : 0) << dx;
    }
    // dying heroes are left alone
    p.y = 100;
    Figure dying = heroAt(48, 83);
    dying.dying = 1;
    EXPECT_EQ(updatePlatform(&p, &dying), 0);
}

TEST(Platforms, TheLaterOfTwoOverlappingPlatformsCarries) {
    TestMap m;
    m.set(3, 6, 66).set(4, 6, 66);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(56, 81);
    updatePlatforms(&f);
    EXPECT_EQ(f.platform, 1);
    f.x = 40;
    updatePlatforms(&f);
    EXPECT_EQ(f.platform, 0);
    f.x = 200;
    updatePlatforms(&f);
    EXPECT_EQ(f.platform, -1);
}

TEST(Platforms, ADescendingPlatformCrushesAHeroOnTheGround) {
    // ground on row 11; the hero stands in row 10 under the platform's column
    TestMap m;
    m.fillRow(11, 21).set(3, 5, 66);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(48, 160);
    int frames = 0;
    while (!f.dying && frames++ < 200) {
        updatePlatforms(&f);
        walk(&f, 0, 0, 0, 0, step);
    }
    // crushed as soon as the platform is a whole cell above the hero's cell
    EXPECT_EQ(platforms[0].y, 144);
    EXPECT_EQ(frames, 64);
    EXPECT_STREQ(messageString, message(MSG_SMASHED));
    EXPECT_EQ(f.deathAnim, ANIM_DEATH_CRUSHED);
    // the platform goes on as if nothing were there
    Figure gone = bystander();
    updatePlatforms(&gone);
    EXPECT_EQ(platforms[0].y, 145);
}

TEST(Platforms, NoCrushingWhileACellIsStillFree) {
    TestMap m;
    m.fillRow(11, 21).set(3, 5, 66);
    ASSERT_TRUE(loadTestMap(m));
    Figure f = heroAt(48, 160);
    Platform& p = platforms[0];
    p.y = 127;
    p.dy = 1;
    updatePlatform(&p, &f); // y 128: two cells above the hero
    EXPECT_EQ(f.dying, 0);
    p.y = 143;
    updatePlatform(&p, &f); // y 144: one cell above
    EXPECT_EQ(f.dying, 1);
}

} // namespace
