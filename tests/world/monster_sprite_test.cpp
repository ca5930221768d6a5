// What each monster looks like: the walking cycles, the stomped and waking pictures, and
// drawing at the monster's place in the scrolled view.
#include "monster_support.h"

#include <gtest/gtest.h>

namespace {

int spriteOf(int kind, int dx, int timer) {
    Monster m{};
    m.kind = kind;
    m.dx = dx;
    m.timer = timer;
    m.active = 1;
    return monsterSprite(m);
}

TEST(MonsterSprite, MaskyWalksThroughItsCycleAndBlinksOutWhenStomped) {
    const int walk[] = {9, 9, 9, 9, 9, 9, 10, 10, 10, 10, 10, 10, 11, 11, 11, 11, 11, 11, 10};
    for (int t = 0; t < 19; t++)
        EXPECT_EQ(spriteOf(MONSTER_MASKY, -1, t), walk[t]) << t;
    EXPECT_EQ(spriteOf(MONSTER_MASKY, 1, 24), 9) << "the cycle repeats every 24 frames";
    EXPECT_EQ(spriteOf(MONSTER_MASKY, 0, 0), 12);
    EXPECT_EQ(spriteOf(MONSTER_MASKY, 0, 63), 12);
    EXPECT_EQ(spriteOf(MONSTER_MASKY, 0, 64), -1); // 64 & 8 = 0
    EXPECT_EQ(spriteOf(MONSTER_MASKY, 0, 72), 12);
    EXPECT_EQ(spriteOf(MONSTER_MASKY, 0, 80), -1);
    EXPECT_EQ(spriteOf(MONSTER_MASKY, 0, 111), 12);
    EXPECT_EQ(spriteOf(MONSTER_MASKY, 0, 119), -1);
}

TEST(MonsterSprite, BeetleFacesItsWayAndStepsEveryEightFrames) {
    EXPECT_EQ(spriteOf(MONSTER_BEETLE, -1, 0), 13);
    EXPECT_EQ(spriteOf(MONSTER_BEETLE, -1, 8), 14);
    EXPECT_EQ(spriteOf(MONSTER_BEETLE, -1, 16), 13);
    EXPECT_EQ(spriteOf(MONSTER_BEETLE, 1, 7), 15);
    EXPECT_EQ(spriteOf(MONSTER_BEETLE, 1, 15), 16);
}

TEST(MonsterSprite, WingedEyeFlapsAndFallsApart) {
    const int flap[] = {33, 57, 34, 57, 33};
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(spriteOf(MONSTER_WINGEDEYE, -1, i * 6), flap[i]);
    EXPECT_EQ(spriteOf(MONSTER_WINGEDEYE_HIT, 0, 0), 35);
    EXPECT_EQ(spriteOf(MONSTER_WINGEDEYE_HIT, 0, 4), 36);
    EXPECT_EQ(spriteOf(MONSTER_WINGEDEYE_HIT, 0, 11), 37);
}

TEST(MonsterSprite, AcidfishSwimsEachWay) {
    EXPECT_EQ(spriteOf(MONSTER_ACIDFISH, -1, 0), 53);
    EXPECT_EQ(spriteOf(MONSTER_ACIDFISH, -1, 15), 54);
    EXPECT_EQ(spriteOf(MONSTER_ACIDFISH, -1, 30), 53);
    EXPECT_EQ(spriteOf(MONSTER_ACIDFISH, 1, 14), 55);
    EXPECT_EQ(spriteOf(MONSTER_ACIDFISH, 1, 29), 56);
}

TEST(MonsterSprite, SkullRollsBothWaysAndShowsWhenItWakes) {
    EXPECT_EQ(spriteOf(MONSTER_SKULL, 2, 0), 121);
    EXPECT_EQ(spriteOf(MONSTER_SKULL, 2, 15), 124);
    EXPECT_EQ(spriteOf(MONSTER_SKULL, 2, 16), 121);
    EXPECT_EQ(spriteOf(MONSTER_SKULL, -2, 0), 144);
    EXPECT_EQ(spriteOf(MONSTER_SKULL, -2, 12), 141);
    EXPECT_EQ(spriteOf(MONSTER_SKULL, 0, 185), 125);
    EXPECT_EQ(spriteOf(MONSTER_SKULL, 0, 186), 126);
}

TEST(MonsterSprite, AnUnknownKindShowsTheBumpBlock) {
    EXPECT_EQ(spriteOf(9, 0, 0), 20);
}

class MonsterDraw : public FlatArtTest {};

TEST_F(MonsterDraw, DrawsActiveSlotsAtTheirPlaceInTheView) {
    killMonsters();
    step = 20;
    setMonster(0, 100, 50, MONSTER_BEETLE);
    setMonster(1, 200, 50, MONSTER_MASKY);
    setMonster(2, 250, 90, MONSTER_MASKY);
    monst[2].dx = 0;
    monst[2].timer = 80; // blinked out
    killMonster(1);
    Uint32 none = rgb(1, 2, 3);
    clearScreen(none);
    drawMonsters();
    EXPECT_EQ(tileAt(80, 50), 13);
    EXPECT_EQ(tileAt(95, 65), 13);
    EXPECT_EQ(pixelAt(96, 50), none);
    EXPECT_EQ(pixelAt(79, 50), none);
    EXPECT_EQ(pixelAt(185, 55), none) << "an inactive slot";
    EXPECT_EQ(pixelAt(235, 95), none) << "a blinking MASKY in its off frame";
    monst[2].timer = 72;
    drawMonster(2);
    EXPECT_EQ(tileAt(235, 95), 12);
    killMonsters();
}

} // namespace
