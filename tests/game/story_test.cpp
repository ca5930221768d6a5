// The story pages: the 100 ms polling of a page, the keys that pass it, and a quit request
// that skips what is left.
#include "flow_fixture.h"

#include "game/flow.h"
#include "game/story.h"
#include "gfx/video.h"
#include "world/flowstate.h"

using StoryTest = FlowTest;

TEST_F(StoryTest, APageWaitsPollingEveryTenthOfASecondForJumpStartOrPause) {
    struct Case {
        int typedBefore, call, sym, calls;
    } cases[] = {
        {0, 6, K_SPACE, 7},          // six polls, then one of the release pause
        {0, 2, K_TAB, 3},            // PAUSE is seen at the next look, then released
        {CTRL_START, 0, 0, 1},       // a key already released: only the release pause
        {CTRL_LEFT, 3, K_RETURN, 4}, // other keys do not pass it
    };
    for (const Case& c : cases) {
        VirtualClock::sleeps.clear();
        InputScript s;
        if (c.call) s.tap(c.call, c.sym);
        lastKeyTyped = c.typedBefore;
        showStoryPage(2);
        EXPECT_EQ(InputScript::calls, c.calls) << c.sym;
        EXPECT_EQ(polls100ms(), c.calls) << c.sym;
        EXPECT_EQ(lastKeyTyped, 0);
        EXPECT_EQ(storyPage, -1);
    }
}

TEST_F(StoryTest, AQuitRequestSkipsTheRemainingPagesAtOnceAndLeavesTheScreenBlack) {
    InputScript s;
    s.quit(1);
    storyLine(1);
    EXPECT_EQ(InputScript::calls, 1);
    EXPECT_EQ(escape, 1);
    for (int y = 0; y < 240; y += 3)
        for (int x = 0; x < 320; x += 3)
            ASSERT_EQ(pixelRGB(screen, x, y), 0u) << x << "," << y;
}
