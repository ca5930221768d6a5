// What the animation slots draw: a sliding or falling block over the cells it passes, the
// explosion and the death pictures at their positions, relative to the scrolled view.
#include "../world/render_kit.h"
#include "../world/world_fixture.h"
#include "anim/anims.h"
#include "gfx/video.h"
#include "world/map.h"

#include <gtest/gtest.h>

namespace {

class AnimDraw : public FlatArtTest {
  protected:
    Figure hero{};
    Uint32 none = 0;
    void SetUp() override {
        FlatArtTest::SetUp();
        TestMap m(30);
        m.fillRow(11, 21).set(5, 10, 25).set(6, 10, 85).set(9, 5, 25).set(9, 6, 160);
        m.set(12, 3, 140);
        ASSERT_TRUE(loadTestMap(m));
        none = rgb(1, 2, 3);
        clearScreen(none);
    }
    void frames(int n) {
        for (int i = 0; i < n; i++)
            updateAnims(&hero);
    }
    void redraw() {
        clearScreen(none);
        drawAnimations();
    }
};

TEST_F(AnimDraw, ASlidingBlockGlidesFourPixelsAFrameOverWhatLiesUnder) {
    startAnim(5 * 16, 10 * 16, ANIM_PUSH_RIGHT);
    frames(2);
    redraw();
    const int y = 10 * 16 + 8;
    EXPECT_EQ(pixelAt(87, y), none) << "the cell it leaves held only the block";
    EXPECT_EQ(tileAt(88, y), 25);
    EXPECT_EQ(tileAt(103, y), 25);
    EXPECT_EQ(tileAt(104, y), 85) << "the water of the cell it enters shows beside it";
    EXPECT_EQ(tileAt(111, y), 85);
    EXPECT_EQ(pixelAt(112, y), none);
    // scrolled: everything moves left with the view
    step = 8;
    redraw();
    EXPECT_EQ(tileAt(80, y), 25);
    EXPECT_EQ(tileAt(96, y), 85);
    EXPECT_EQ(pixelAt(104, y), none);
}

TEST_F(AnimDraw, ALeftSlideGlidesLeft) {
    startAnim(5 * 16, 10 * 16, ANIM_PUSH_LEFT);
    frames(3);
    redraw();
    EXPECT_EQ(tileAt(80 - 12, 165), 25);
    EXPECT_EQ(tileAt(80 + 3, 165), 25);
    EXPECT_EQ(pixelAt(80 + 4, 165), none);
}

TEST_F(AnimDraw, AFallingBlockGlidesDown) {
    startAnim(9 * 16, 5 * 16, ANIM_BLOCK_FALL);
    frames(1);
    redraw();
    EXPECT_EQ(pixelAt(150, 83), none);
    EXPECT_EQ(tileAt(150, 84), 25);
    EXPECT_EQ(tileAt(150, 99), 25);
    EXPECT_EQ(tileAt(150, 100), 160) << "the water surface under it, as a plain block";
}

TEST_F(AnimDraw, TheMineExplodesThroughEightImages) {
    startAnim(12 * 16, 3 * 16, ANIM_EXPLODE);
    const int images[8] = {223, 224, 225, 226, 227, 228, 229, 230};
    for (int i = 0; i < 8; i++) {
        frames(i == 0 ? 1 : 4);
        redraw();
        EXPECT_EQ(tileAt(12 * 16 + 8, 3 * 16 + 8), images[i]) << "image " << i;
    }
}

TEST_F(AnimDraw, DeathPicturesFollowTheirTables) {
    struct Case {
        int kind, updates, image;
    } cases[] = {
        {ANIM_DEATH_SUICIDE, 0, 24},        {ANIM_DEATH_SUICIDE, 24, 184},
        {ANIM_DEATH_SUICIDE, 63, 186},      {ANIM_DEATH_CRUSHED, 4, 189},
        {ANIM_DEATH_CRUSHED, 17, 0},        {ANIM_DEATH_DROWNED, 40, 214},
        {ANIM_DEATH_EXPLODE, 8, 197},       {ANIM_DEATH_DEAD, 31, 207},
        {ANIM_DEATH_SLASH, 16, 210},        {ANIM_DEATH_DROWNED, 64, 212},
        {ANIM_DEATH_DROWNED, 64 + 16, 213}, {ANIM_DEATH_DROWNED, 64 + 63, 215},
        {ANIM_DEATH_DROWNED, 64 + 64, 212},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " after " << c.updates);
        clearAnims();
        step = 40;
        startAnim(137, 61, c.kind);
        frames(c.updates);
        redraw();
        EXPECT_EQ(tileAt(137 - 40, 61), c.image);
        EXPECT_EQ(tileAt(137 - 40 + 15, 61 + 15), c.image);
        EXPECT_EQ(pixelAt(137 - 40 + 16, 61), none);
    }
}

TEST_F(AnimDraw, CellEffectsDrawNothingThemselves) {
    startAnim(16, 16, ANIM_BRICK);
    startAnim(48, 16, ANIM_FLAG);
    frames(3);
    redraw();
    for (int x = 0; x < 64; x += 4)
        EXPECT_EQ(pixelAt(x, 24), none);
}

TEST_F(AnimDraw, FarAwayAnimationsDoNotWrapOntoTheScreen) {
    // 65536 px to the right is 0 in 16-bit screen coordinates
    startAnim(65536 + 20, 50, ANIM_DEATH_DEAD);
    startAnim(-65536 + 20, 80, ANIM_DEATH_DEAD);
    redraw();
    EXPECT_EQ(pixelAt(25, 55), none);
    EXPECT_EQ(pixelAt(25, 85), none);
}

} // namespace
