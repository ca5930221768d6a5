// The title and the frame loop of an attempt: the answer to "PRESS START", the self-scrolling
// view, the stage intro and the death wait.
#include "flow_fixture.h"

#include "game/flow.h"
#include "game/options.h"
#include "game/title.h"
#include "world/flowstate.h"
#include "world/map.h"

using TitleTest = FlowTest;
using AttemptTest = FlowTest;

TEST_F(TitleTest, PressStartWaitsForACalmFrameAndTheTableIgnoresDirections) {
    saved = 4;
    frame = 77;
    InputScript script;
    script.tap(1, K_SPACE); // released again while the title waits
    lastKeyTyped = CTRL_PAUSE;
    titleInput(&hero);
    EXPECT_EQ(InputScript::calls, 2); // one more frame for the second release
    EXPECT_EQ(frame, 77);             // the frame counter stands still meanwhile
    EXPECT_EQ(workflow, WF_CONTINUE); // with a savegame the menu opens on CONTINUE
    EXPECT_EQ(titleChoice, CHOICE_NONE);

    workflow = WF_HISCORE_TABLE;
    for (int control : {CTRL_LEFT, CTRL_RIGHT, CTRL_UP, CTRL_DOWN}) {
        lastKeyTyped = control;
        titleInput(&hero);
        EXPECT_EQ(workflow, WF_HISCORE_TABLE);
    }
}

TEST_F(TitleTest, TheViewScrollsByItselfUpToTheMapEnd) {
    level = LEVEL_TITLE;
    ASSERT_TRUE(begin(titleStage()));
    titleStep(&hero);
    EXPECT_EQ(step, 1);
    for (int i = 0; i < 2000; i++)
        titleStep(&hero);
    EXPECT_EQ(step, mapLength * 16 - 1 - 320);

    // a binding capture holds the view and reads no menu input
    workflow = WF_OPTIONS_MENU;
    openOptionsMenu();
    step = 0;
    cfgStatus = 1;
    cfgCount = 5;
    titleStep(&hero);
    EXPECT_EQ(step, 0);
    EXPECT_EQ(cfgCount, 4);
}

TEST_F(AttemptTest, TheIntroFreezesTheStageAndOnlyAStageLetsJumpCutIt) {
    for (int stage : {2, LEVEL_TEST}) {
        level = stage;
        ASSERT_TRUE(begin(ringStage()));
        frame = 0;
        const int x = hero.x;
        InputScript script;
        script.key(1, K_RIGHT, true).tap(5, K_RETURN).key(6, K_RIGHT, false).key(7, K_RIGHT, true);
        for (int i = 0; i < 5; i++)
            attemptFrame(&hero);
        EXPECT_EQ(hero.x, x);  // held RIGHT moves nothing during the intro
        EXPECT_EQ(paused, 0);  // and START does not pause
        EXPECT_EQ(lastKey, 0); // the intro forgets what is held
        // on a stage START cuts the intro short: the next frame is the first of play
        EXPECT_EQ(frame, stage > 0 ? 181 : 5);
        frame = 181;
        for (int i = 0; i < 3; i++) // now a held key moves the hero
            attemptFrame(&hero);
        EXPECT_GT(hero.x, x);
        ScriptedPlayer::keyUp(K_RIGHT);
        checkInput();
    }
}

TEST_F(AttemptTest, JumpEndsTheDeathWaitAndTheDeathHop) {
    level = 2;
    ASSERT_TRUE(begin(spikeStage()));
    frame = 300;
    hero.alive = 0;
    hero.idleCount = 150;
    InputScript script;
    script.tap(1, K_SPACE).tap(2, K_RETURN);
    attemptFrame(&hero);
    EXPECT_EQ(hero.idleCount, 1);
    EXPECT_TRUE(attemptOver(&hero));

    // a falling death hop (no death picture) ends at the next walk
    ASSERT_TRUE(begin(spikeStage()));
    figureDying(&hero, "TEST", 0);
    hero.vy = 8;
    attemptFrame(&hero);
    EXPECT_EQ(hero.alive, 0);
    EXPECT_EQ(paused, 0); // a dying hero cannot pause
}
