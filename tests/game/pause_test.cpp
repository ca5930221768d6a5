// The pause menu, the quit dialog and the decisions they lead to.
#include "flow_fixture.h"

#include "anim/anims.h"
#include "game/flow.h"
#include "game/pause.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/pickups.h"

class PauseTest : public FlowTest {
  protected:
    void SetUp() override {
        FlowTest::SetUp();
        level = 2;
        ASSERT_TRUE(begin(spikeStage()));
        frame = 200;
    }
};

TEST_F(PauseTest, NothingMovesWhilePausedAndTheCursorWraps) {
    InputScript script;
    script.tap(1, K_RETURN).key(2, K_RIGHT, true);
    attemptFrame(&hero);
    ASSERT_EQ(paused, 1);
    EXPECT_EQ(workflow, PAUSE_GO_ON);
    const int x = hero.x, time = timeLeft;
    for (int i = 0; i < 10; i++)
        attemptFrame(&hero);
    EXPECT_EQ(hero.x, x);
    EXPECT_EQ(timeLeft, time);
    EXPECT_EQ(frame, 211); // the frames still count (blinking)

    const int moves[][2] = {{CTRL_RIGHT, PAUSE_EXIT}, {CTRL_DOWN, PAUSE_SUICIDE},
                            {CTRL_LEFT, PAUSE_EXIT},  {CTRL_UP, PAUSE_GO_ON},
                            {CTRL_UP, PAUSE_SUICIDE}, {CTRL_UP, PAUSE_EXIT}};
    for (const auto& m : moves) {
        lastKeyTyped = m[0];
        pauseMenuStep(&hero);
        EXPECT_EQ(workflow, m[1]);
        EXPECT_EQ(paused, 1);
    }
}

TEST_F(PauseTest, SuicideLeavesAHeroWhoIsDyingAlreadyHisOwnDeath) {
    figureDying(&hero, "DROWNED", 0);
    paused = 1;
    workflow = PAUSE_SUICIDE;
    lastKeyTyped = CTRL_START;
    pauseMenuStep(&hero);
    EXPECT_EQ(paused + workflow, 0);
    EXPECT_STREQ(messageString, "DROWNED");
    EXPECT_NE(hero.deathAnim, ANIM_DEATH_SUICIDE);
}

TEST_F(PauseTest, ExitAsksAtOnceAndNoGoesOnUnpaused) {
    paused = 1;
    workflow = PAUSE_EXIT;
    InputScript script;
    script.tap(1, K_SPACE).tap(4, K_RIGHT);
    attemptFrame(&hero);
    EXPECT_EQ(InputScript::calls, 4); // answered in the same frame, after two idle polls
    EXPECT_EQ(polls100ms(), 3);
    EXPECT_EQ(escape + done + paused, 0);
    EXPECT_EQ(flowScreen, FLOW_STAGE);
    EXPECT_FALSE(attemptOver(&hero));
}

TEST_F(PauseTest, YesAbandonsTheGameWithoutAHiscoreAndTheTestStageEndsRun) {
    score = 4321;
    lives = 3;
    startx = 80;
    startf = 1;
    hsRank = 2;
    InputScript script; // the answer comes with the request: taken without waiting
    script.key(1, K_ESCAPE, true).key(1, K_LEFT, true).key(1, K_LEFT, false);
    attemptFrame(&hero);
    EXPECT_EQ(InputScript::calls, 1);
    EXPECT_EQ(polls100ms(), 0);
    EXPECT_EQ(escape, 1); // the attempt ends at the next frame
    EXPECT_EQ(decideAfterAttempt(&hero, 0), 0);
    EXPECT_EQ(flowState(), "level 0 lives 6 score 0 menu 0 rank -1 saved 0 escape 0 done 0");
    EXPECT_EQ(std::vector<int>({startx, starty, startf, restartMusic}),
              std::vector<int>({16, 100, 0, 1}));

    level = LEVEL_TEST;
    escape = 1;
    EXPECT_EQ(decideAfterAttempt(&hero, 1), 0);
    EXPECT_EQ(escape, 1); // run returns at the next attempt
}
