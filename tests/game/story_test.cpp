// The story pages: which pages each call shows, the 100 ms polling of a page, the keys
// that pass it, and a quit request that skips what is left.
#include "flow_fixture.h"

#include "game/flow.h"
#include "game/story.h"
#include "gfx/video.h"
#include "world/gamestate.h"

#include <algorithm>

using StoryTest = FlowTest;

namespace {

// Passes every page with JUMP and notes the pages seen.
std::vector<int> pagesShown(void (*story)(int), int arg) {
    std::vector<int> pages;
    ScriptedPlayer player;
    player.repeat(
        "pages", [] { return false; }, [] { return flowScreen == FLOW_STORY; },
        [&pages] {
            if (pages.empty() || pages.back() != storyPage) {
                pages.push_back(storyPage);
                ScriptedPlayer::tap(K_SPACE);
            }
        },
        1);
    story(arg);
    return pages;
}

bool screenIsBlack() {
    for (int y = 0; y < 240; y += 3)
        for (int x = 0; x < 320; x += 3)
            if (pixelRGB(screen, x, y) != 0) return false;
    return true;
}

int pollsOf100ms() {
    return (int)std::count(VirtualClock::sleeps.begin(), VirtualClock::sleeps.end(), 100u);
}

} // namespace

TEST_F(StoryTest, ANewGameShowsThreePagesAContinuedGameOneAndTheEndTwo) {
    EXPECT_EQ(pagesShown(storyLine, 1), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(screenIsBlack()); // left black, ready for the stage
    EXPECT_EQ(pagesShown(storyLine, 7), std::vector<int>{2});
    EXPECT_EQ(pagesShown([](int) { closeStory(); }, 0), (std::vector<int>{3, 4}));
    EXPECT_FALSE(screenIsBlack()); // the last page stays up
    EXPECT_EQ(storyPage, -1);
}

TEST_F(StoryTest, APageWaitsPollingEveryTenthOfASecond) {
    InputScript s;
    s.key(6, K_SPACE, true).key(6, K_SPACE, false);
    showStoryPage(2);
    EXPECT_EQ(InputScript::calls, 7); // six polls, then one of the release pause
    EXPECT_EQ(pollsOf100ms(), 7);
    EXPECT_EQ(lastKeyTyped, 0);
}

TEST_F(StoryTest, PauseOrAKeyAlreadyReleasedPassesAPage) {
    {
        InputScript s;
        s.tap(2, K_TAB);
        showStoryPage(0);
        EXPECT_EQ(InputScript::calls, 3); // seen at the next look, then released
    }
    {
        InputScript s;
        lastKeyTyped = CTRL_START;
        showStoryPage(1);
        EXPECT_EQ(InputScript::calls, 1); // only the release pause
    }
}

TEST_F(StoryTest, AQuitRequestSkipsTheRemainingPagesAtOnce) {
    InputScript s;
    s.quit(1);
    storyLine(1);
    EXPECT_EQ(InputScript::calls, 1);
    EXPECT_EQ(escape, 1);
    EXPECT_TRUE(screenIsBlack());
}
