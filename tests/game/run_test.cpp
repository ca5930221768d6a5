// run itself on the test stages: test mode, a savegame that says every stage is cleared, and
// Escape on the title's sub-screens and on the main menu.
#include "flow_fixture.h"

#include "audio/player.h"
#include "data/savegame.h"
#include "game/flow.h"
#include "game/story.h"
#include "world/flowstate.h"
#include "world/map.h"

#include <filesystem>

class RunTest : public FlowTest {
  protected:
    void SetUp() override {
        FlowTest::SetUp();
        useGameArchives("./data");
    }
    GameDirectory dir; // made before SetUp opens its archives
};

TEST_F(RunTest, TestModePlaysTheTestMapAndReturnsWhenItIsCleared) {
    std::filesystem::create_directories("maps");
    writeWholeFile("maps/test.bin", ringStage().bytes());
    writeSavegame(4); // never read in test mode
    int elsewhere = 0;
    ScriptedPlayer p;
    p.repeat(
        "walk to the door", [] { return false; }, [] { return true; },
        [&] {
            elsewhere += level == LEVEL_TITLE || flowScreen == FLOW_STORY;
            if (flowScreen == FLOW_STAGE && frame > 180) ScriptedPlayer::setHeld({K_RIGHT});
        },
        1);
    run(1);
    // no tally in test mode, and the savegame is neither read nor written
    EXPECT_EQ(flowState(), "level -1 lives 6 score " + std::to_string(RING_STAGE_POINTS) +
                               " menu 0 rank -1 saved 0 escape 0 done 0");
    EXPECT_EQ(stars, 0);
    EXPECT_EQ(elsewhere, 0); // neither the title nor the story
    EXPECT_EQ(loadGame(), 4);
    EXPECT_EQ(stageMusic, nullptr);
    EXPECT_EQ(flowScreen, FLOW_NONE);
}

TEST_F(RunTest, ContinueAfterTheLastStageGoesStraightToTheEnding) {
    writeSavegame(10);
    std::vector<int> pages;
    ScriptedPlayer p;
    p.tapWhen(
        "PRESS START", [] { return flowScreen == FLOW_TITLE && workflow == 0; }, K_RETURN);
    p.tapWhen(
        "menu opens on CONTINUE", [] { return workflow == WF_CONTINUE; }, K_RETURN);
    p.repeat(
        "closing pages", [&pages] { return pages.size() == 2; },
        [] { return flowScreen == FLOW_STORY; },
        [&pages] {
            pages.push_back(storyPage);
            ScriptedPlayer::tap(K_SPACE);
        },
        3);
    p.when(
        "back on the title", [] { return flowScreen == FLOW_TITLE && frame > 2; },
        [] {
            // a score of 0 makes no entry
            EXPECT_EQ(flowState(),
                      "level 0 lives 6 score 0 menu 0 rank -1 saved 10 escape 0 done 0");
            ScriptedPlayer::tap(K_ESCAPE);
        });
    run(0);
    EXPECT_TRUE(p.finished()) << p.stuckAt();
    EXPECT_EQ(pages, (std::vector<int>{3, 4}));
    EXPECT_EQ(escape, 1);
}

TEST_F(RunTest, EscapeOnASubScreenGoesBackToItsMenuItemWithTheMusicRunningOn) {
    ModPlugFile* music = nullptr;
    int reloadedAt = 0;
    ScriptedPlayer p;
    p.tapWhen(
        "PRESS START", [] { return flowScreen == FLOW_TITLE && frame > 1; }, K_DOWN);
    p.tapWhen(
        "menu on NEW GAME", [] { return workflow == WF_NEW_GAME; }, K_DOWN);
    p.tapWhen(
        "menu on CONTINUE", [] { return workflow == WF_CONTINUE; }, K_DOWN);
    p.tapWhen(
        "menu on HISCORES", [] { return workflow == WF_HISCORES; }, K_SPACE);
    p.when(
        "the table", [] { return workflow == WF_HISCORE_TABLE && frame > 40; },
        [&] {
            music = stageMusic;
            EXPECT_NE(music, nullptr);
            mp_delta = 0;
            mp_fade = 77; // starting a track again would reset the ramp
            ScriptedPlayer::tap(K_ESCAPE);
        });
    p.when(
        "back on HISCORES", [] { return workflow == WF_HISCORES; },
        [&] {
            reloadedAt = frame;
            EXPECT_EQ(stageMusic, music);
            EXPECT_EQ(mp_fade.load(), 77);
            EXPECT_EQ(escape + done, 0);
            ScriptedPlayer::tap(K_ESCAPE);
        });
    run(0);
    EXPECT_TRUE(p.finished()) << p.stuckAt();
    EXPECT_LE(reloadedAt, 1); // a fresh attempt of the title
    EXPECT_EQ(escape, 1);
    EXPECT_EQ(stageMusic, nullptr);
    EXPECT_FALSE(std::filesystem::exists("savegame.dat"));
}
