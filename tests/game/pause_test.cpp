// The pause menu, the quit dialog and the decisions they lead to.
#include "flow_fixture.h"

#include "anim/anims.h"
#include "game/flow.h"
#include "game/pause.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/pickups.h"
#include "world/stage.h"

#include <algorithm>

class PauseTest : public FlowTest {
  protected:
    void SetUp() override {
        FlowTest::SetUp();
        level = 2;
        std::vector<unsigned char> map = spikeStage().bytes();
        ASSERT_TRUE(beginAttemptFromBytes(&hero, map.data(), (int)map.size()));
        frame = 200;
    }
};

TEST_F(PauseTest, StartOpensTheMenuOnGoOnAndTheCursorWraps) {
    InputScript script;
    script.tap(1, K_RETURN);
    attemptFrame(&hero);
    ASSERT_EQ(paused, 1);
    EXPECT_EQ(workflow, PAUSE_GO_ON);

    struct Move {
        int control, to;
    } moves[] = {{CTRL_RIGHT, PAUSE_EXIT}, {CTRL_DOWN, PAUSE_SUICIDE}, {CTRL_LEFT, PAUSE_EXIT},
                 {CTRL_UP, PAUSE_GO_ON},   {CTRL_UP, PAUSE_SUICIDE},   {CTRL_UP, PAUSE_EXIT}};
    for (const Move& m : moves) {
        lastKeyTyped = m.control;
        pauseMenuStep(&hero);
        EXPECT_EQ(workflow, m.to);
        EXPECT_EQ(paused, 1);
    }
}

TEST_F(PauseTest, NothingMovesWhilePaused) {
    paused = 1;
    workflow = PAUSE_GO_ON;
    const int x = hero.x, time = timeLeft;
    InputScript script;
    script.key(1, K_RIGHT, true);
    for (int i = 0; i < 10; i++)
        attemptFrame(&hero);
    EXPECT_EQ(hero.x, x);
    EXPECT_EQ(timeLeft, time);
    EXPECT_EQ(frame, 210); // the frames still count (blinking)
}

TEST_F(PauseTest, GoOnAndSuicide) {
    paused = 1;
    workflow = PAUSE_GO_ON;
    lastKeyTyped = CTRL_JUMP;
    pauseMenuStep(&hero);
    EXPECT_EQ(paused, 0);
    EXPECT_EQ(workflow, 0);
    EXPECT_TRUE(isActive(&hero));

    paused = 1;
    workflow = PAUSE_SUICIDE;
    lastKeyTyped = CTRL_START;
    pauseMenuStep(&hero);
    EXPECT_EQ(paused, 0);
    EXPECT_EQ(hero.dying, 1);
    EXPECT_EQ(hero.deathAnim, ANIM_DEATH_SUICIDE);
    EXPECT_STREQ(messageString, "SUICIDE");

    // a hero already dying keeps his own death
    setMessage("DROWNED");
    paused = 1;
    workflow = PAUSE_SUICIDE;
    pauseMenuStep(&hero);
    EXPECT_STREQ(messageString, "DROWNED");
}

TEST_F(PauseTest, ExitAsksAtOnceAndNoGoesOnUnpaused) {
    paused = 1;
    workflow = PAUSE_EXIT;
    InputScript script;
    script.tap(1, K_SPACE).tap(4, K_RIGHT);
    attemptFrame(&hero);
    EXPECT_EQ(InputScript::calls, 4); // answered in the same frame, after two idle polls
    EXPECT_EQ(escape, 0);
    EXPECT_EQ(done, 0);
    EXPECT_EQ(paused, 0);
    EXPECT_EQ(flowScreen, FLOW_STAGE);
    const int polls =
        (int)std::count(VirtualClock::sleeps.begin(), VirtualClock::sleeps.end(), 100u);
    EXPECT_EQ(polls, 3);
    EXPECT_FALSE(attemptOver(&hero));
}

TEST_F(PauseTest, EscapeAndYesAbandonTheGameWithoutAHiscore) {
    score = 4321;
    lives = 3;
    startx = 80;
    startf = 1;
    InputScript script;
    script.tap(1, K_ESCAPE).tap(2, K_LEFT);
    attemptFrame(&hero);
    EXPECT_EQ(escape, 1); // the attempt ends at the next frame

    EXPECT_EQ(decideAfterAttempt(&hero, 0), 0);
    EXPECT_EQ(level, 0);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(lives, 6);
    EXPECT_EQ(workflow, 0);
    EXPECT_EQ(hsRank, -1);
    EXPECT_EQ(escape + done, 0);
    EXPECT_EQ(startx, 16);
    EXPECT_EQ(startf, 0);
    EXPECT_EQ(restartMusic, 1);
}

TEST_F(PauseTest, AnAnswerGivenWithTheRequestIsTakenWithoutWaiting) {
    InputScript script;
    script.key(1, K_ESCAPE, true).key(1, K_LEFT, true).key(1, K_LEFT, false);
    attemptFrame(&hero);
    EXPECT_EQ(InputScript::calls, 1);
    EXPECT_EQ(std::count(VirtualClock::sleeps.begin(), VirtualClock::sleeps.end(), 100u), 0);
    EXPECT_EQ(escape, 1);
}

TEST_F(PauseTest, EscapeInTheTestStageEndsRunAndOnTheTitleSubScreensGoesBack) {
    level = LEVEL_TEST;
    escape = 1;
    EXPECT_EQ(decideAfterAttempt(&hero, 1), 0);
    EXPECT_EQ(escape, 1); // run returns at the next attempt

    level = LEVEL_TITLE;
    for (int sub : {WF_HISCORE_TABLE, WF_OPTIONS_MENU}) {
        escape = done = 1;
        workflow = sub;
        EXPECT_EQ(decideAfterAttempt(&hero, 0), 0);
        EXPECT_EQ(workflow, -sub);
        EXPECT_EQ(escape + done, 0);
        EXPECT_EQ(restartMusic, 0); // the title music runs on
    }
}
