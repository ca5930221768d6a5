// The title menu and the frame loop of an attempt: menu navigation and choices, the
// self-scrolling view, the stage intro, the end test and the death wait.
#include "flow_fixture.h"

#include "game/flow.h"
#include "game/options.h"
#include "game/title.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/stage.h"

using TitleMenuTest = FlowTest;
using AttemptTest = FlowTest;

TEST_F(TitleMenuTest, PressStartOpensOnNewGameOrOnContinueWithASavegame) {
    for (int save : {0, 4}) {
        saved = save;
        workflow = WF_PRESS_START;
        frame = 77;
        InputScript script;
        script.tap(1, K_SPACE); // released again while the title waits for a calm frame
        lastKeyTyped = CTRL_START;
        titleInput(&hero);
        EXPECT_EQ(workflow, save ? WF_CONTINUE : WF_NEW_GAME);
        EXPECT_EQ(InputScript::calls, 2); // one more frame for the second release
        EXPECT_EQ(frame, 77);             // the frame counter stands still meanwhile
        EXPECT_EQ(titleChoice, CHOICE_NONE);
    }
}

TEST_F(TitleMenuTest, CursorMovesAndWrapsAtBothEnds) {
    struct Move {
        int from, control, to;
    } moves[] = {
        {WF_PRESS_START, CTRL_RIGHT, WF_NEW_GAME}, {WF_PRESS_START, CTRL_DOWN, WF_NEW_GAME},
        {WF_PRESS_START, CTRL_LEFT, WF_EXIT},      {WF_PRESS_START, CTRL_UP, WF_EXIT},
        {WF_NEW_GAME, CTRL_DOWN, WF_CONTINUE},     {WF_OPTIONS, CTRL_RIGHT, WF_EXIT},
        {WF_EXIT, CTRL_DOWN, WF_NEW_GAME},         {WF_NEW_GAME, CTRL_UP, WF_EXIT},
        {WF_CONTINUE, CTRL_LEFT, WF_NEW_GAME},
    };
    for (const Move& m : moves) {
        workflow = m.from;
        lastKeyTyped = m.control;
        titleInput(&hero);
        EXPECT_EQ(workflow, m.to) << "from " << m.from << " with " << m.control;
    }
}

TEST_F(TitleMenuTest, ChoicesLeaveOpenSubScreensOrQuit) {
    for (int chosen : {CTRL_JUMP, CTRL_START, CTRL_PAUSE}) {
        workflow = WF_NEW_GAME;
        titleChoice = CHOICE_NONE;
        lastKeyTyped = chosen;
        titleInput(&hero);
        EXPECT_EQ(titleChoice, CHOICE_NEW_GAME);
    }
    workflow = WF_CONTINUE;
    titleChoice = CHOICE_NONE;
    lastKeyTyped = CTRL_JUMP;
    titleInput(&hero);
    EXPECT_EQ(titleChoice, CHOICE_CONTINUE);

    workflow = WF_HISCORES;
    titleInput(&hero);
    EXPECT_EQ(workflow, WF_HISCORE_TABLE);
    hsRank = 4;
    lastKeyTyped = CTRL_LEFT; // directions do nothing on the table
    titleInput(&hero);
    EXPECT_EQ(workflow, WF_HISCORE_TABLE);
    lastKeyTyped = CTRL_PAUSE;
    titleInput(&hero);
    EXPECT_EQ(workflow, WF_HISCORES);
    EXPECT_EQ(hsRank, -1); // the new entry has been seen

    // the options open with their cursor and notes reset
    cfgIndex = OPT_SCALER;
    cfgChanged = cfgRestart = cfgUsed = 1;
    workflow = WF_OPTIONS;
    lastKeyTyped = CTRL_START;
    titleInput(&hero);
    EXPECT_EQ(workflow, WF_OPTIONS_MENU);
    EXPECT_EQ(cfgIndex, OPT_KEYS);
    EXPECT_EQ(cfgChanged + cfgRestart + cfgUsed + cfgStatus + cfgCount, 0);

    workflow = WF_EXIT;
    lastKeyTyped = CTRL_START;
    titleInput(&hero);
    EXPECT_EQ(escape, 1);
}

TEST_F(TitleMenuTest, TheViewScrollsByItselfUpToTheMapEnd) {
    level = LEVEL_TITLE;
    std::vector<unsigned char> map = titleStage().bytes();
    ASSERT_TRUE(beginAttemptFromBytes(&hero, map.data(), (int)map.size()));
    const int last = mapLength * 16 - 1 - 320;
    int before = step;
    titleStep(&hero);
    EXPECT_EQ(step, before + 1);
    for (int i = 0; i < 2000; i++)
        titleStep(&hero);
    EXPECT_EQ(step, last);

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

TEST_F(AttemptTest, TheEndTestCountsTheDeathWaitExceptOnTheTitle) {
    level = 3;
    hero.alive = 0;
    hero.idleCount = 2;
    EXPECT_FALSE(attemptOver(&hero));
    EXPECT_TRUE(attemptOver(&hero));

    level = LEVEL_TITLE;
    hero.idleCount = 1;
    for (int i = 0; i < 5; i++)
        EXPECT_FALSE(attemptOver(&hero));
    EXPECT_EQ(hero.idleCount, -4);

    level = 3;
    hero.alive = 1;
    hero.madeIt = 0;
    EXPECT_FALSE(attemptOver(&hero));
    hero.madeIt = 1;
    EXPECT_TRUE(attemptOver(&hero));
}

TEST_F(AttemptTest, TheIntroFreezesTheStageAndOnlyAStageLetsJumpCutIt) {
    std::vector<unsigned char> map = ringStage().bytes();
    for (int stage : {2, LEVEL_TEST}) {
        level = stage;
        ASSERT_TRUE(beginAttemptFromBytes(&hero, map.data(), (int)map.size()));
        frame = 0;
        const int x = hero.x;
        InputScript script;
        script.key(1, K_RIGHT, true).tap(5, K_RETURN);
        for (int i = 0; i < 5; i++)
            attemptFrame(&hero);
        EXPECT_EQ(hero.x, x);  // held RIGHT moves nothing during the intro
        EXPECT_EQ(paused, 0);  // and START does not pause
        EXPECT_EQ(lastKey, 0); // the intro forgets what is held
        // on a stage START cuts the intro short: the next frame is the first of play
        EXPECT_EQ(frame, stage > 0 ? 181 : 5);
    }
    // after the intro a held key moves the hero
    level = 2;
    ASSERT_TRUE(beginAttemptFromBytes(&hero, map.data(), (int)map.size()));
    frame = 181;
    InputScript script;
    script.key(1, K_RIGHT, true);
    const int x = hero.x;
    attemptFrame(&hero);
    attemptFrame(&hero);
    EXPECT_GT(hero.x, x);
}

TEST_F(AttemptTest, JumpEndsTheDeathWaitAndTheDeathHop) {
    std::vector<unsigned char> map = spikeStage().bytes();
    level = 2;
    ASSERT_TRUE(beginAttemptFromBytes(&hero, map.data(), (int)map.size()));
    frame = 300;
    hero.alive = 0;
    hero.idleCount = 150;
    {
        InputScript script;
        script.tap(1, K_SPACE);
        attemptFrame(&hero);
    }
    EXPECT_EQ(hero.idleCount, 1);
    EXPECT_TRUE(attemptOver(&hero));

    // a falling death hop (no death picture) ends at the next walk
    ASSERT_TRUE(beginAttemptFromBytes(&hero, map.data(), (int)map.size()));
    figureDying(&hero, "TEST", 0);
    hero.vy = 8;
    InputScript script;
    script.tap(1, K_RETURN);
    attemptFrame(&hero);
    EXPECT_EQ(hero.alive, 0);
    EXPECT_EQ(paused, 0); // a dying hero cannot pause
}
