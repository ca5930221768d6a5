// The ends of a game: game over with the name entry and the continue question, the wait
// after a death, the tally's extra life, and the ending, also reached by CONTINUE with every
// stage cleared.
#include "flow_fixture.h"

#include "data/hiscores.h"
#include "game/ending.h"
#include "game/flow.h"
#include "game/gameover.h"
#include "game/stageclear.h"
#include "game/story.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/pickups.h"
#include "world/stage.h"

// In a fresh working directory (the tests write ./hiscores.dat), on the built-in table.
class EndingsTest : public FlowTest {
  protected:
    void SetUp() override {
        FlowTest::SetUp();
        resetHiscoreTable();
        level = 3;
        const Bytes map = ringStage();
        ASSERT_TRUE(beginAttemptFromBytes(&hero, map.data(), (int)map.size()));
        hero.madeIt = 1;
        frame = 700;
    }
    ScopedTempDir dir;
};

TEST_F(EndingsTest, GameOverKeepsTheHiscoreAndContinuesAtTheLostStageOrGoesToTheTitle) {
    struct Case {
        int score, answer;
        bool quit; // a quit request on "GAME OVER!": dropped
        const char* state;
    } cases[] = {
        {555, K_LEFT, true,
         "level 3 lives 6 score 0 menu 0 rank 5 saved 0 escape 0 done 0 named 1 kept 555"},
        {40, K_RIGHT, true,
         "level 0 lives 6 score 0 menu 0 rank -1 saved 0 escape 0 done 0 named 0 kept -1"},
        // as many points as the last entry: no place, and so no name asked
        {100, K_RIGHT, false,
         "level 0 lives 6 score 0 menu 0 rank -1 saved 0 escape 0 done 0 named 0 kept -1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.score);
        resetHiscoreTable(); // the last of 1000, 900, ... 100 again
        level = 3;
        lives = 0;
        score = c.score;
        setMessage("BLOWN UP");
        startx = 300;
        startf = 1;
        // a key on "GAME OVER!", START at once on the name entry, then the answer
        bool named = false;
        ScriptedPlayer p;
        p.when(
            "game over", [] { return flowScreen == FLOW_GAME_OVER; },
            [&c] {
                if (c.quit) pushEvent(SDL_Event{SDL_QUIT});
                ScriptedPlayer::tap(K_RETURN);
            });
        p.repeat(
            "continue?", [] { return flowScreen == FLOW_CONTINUE; },
            [&named] {
                if (flowScreen != FLOW_NAME_ENTRY) return;
                named = true;
                ScriptedPlayer::press(K_RETURN);
            },
            3);
        p.tapWhen(
            "answered", [] { return flowScreen == FLOW_CONTINUE; }, c.answer);
        gameOver(&hero);
        EXPECT_TRUE(p.finished()) << p.stuckAt();
        // a name is asked only for a place in the table, which keeps the score reached
        EXPECT_EQ(flowState() + describe(" named %d kept %d", named,
                                         hsRank >= 0 ? hiscores[hsRank].score : -1),
                  c.state);
        // the next attempt starts afresh at the stage's start, with its music
        EXPECT_EQ(describe("restart %d %d flag %d music %d message '%s'", startx, starty, startf,
                           restartMusic, messageString),
                  "restart 16 100 flag 0 music 1 message ''");
    }
}

TEST_F(EndingsTest, TheEndingShowsTheClosingPagesAndOpensTheTitleOnANewHiscore) {
    struct Case {
        int score;
        bool quitOnPages; // the second page then passes without a look at the input
        std::vector<int> pages;
        const char* state;
    } cases[] = {
        // a quit asked during the name entry stays: the program ends next
        {1500, false, {3, 4}, "level 0 lives 6 score 0 menu -3 rank 0 saved 0 escape 1 done 1"},
        // one asked on the closing pages is dropped
        {0, true, {3}, "level 0 lives 6 score 0 menu 0 rank -1 saved 0 escape 0 done 0"},
    };
    for (const Case& c : cases) {
        score = c.score;
        escape = done = lastKeyTyped = lastKey = space = 0;
        // on each closing page JUMP or a quit request, and START at once on the name entry
        // together with a quit request
        std::vector<int> pages;
        bool named = false;
        ScriptedPlayer p;
        p.always([&] {
            if (flowScreen == FLOW_NAME_ENTRY && !named) {
                named = true;
                pushEvent(SDL_Event{SDL_QUIT});
                ScriptedPlayer::press(K_RETURN);
            } else if (notePage(pages)) {
                if (c.quitOnPages)
                    pushEvent(SDL_Event{SDL_QUIT});
                else
                    ScriptedPlayer::tap(K_SPACE);
            }
        });
        level = 11;
        ending(&hero);
        EXPECT_EQ(pages, c.pages);
        EXPECT_EQ(flowState(), c.state);
        EXPECT_EQ(restartMusic, 1);
    }
}

// A time-out leaves its message up for a while before the next attempt, unless JUMP ends it.
TEST_F(EndingsTest, JumpEndsTheWaitAfterATimeOutAtTheNextFrame) {
    timeLeft = 1;
    attemptFrame(&hero);
    EXPECT_FALSE(attemptOver(&hero));
    ScriptedPlayer::tap(K_SPACE);
    attemptFrame(&hero);
    EXPECT_TRUE(attemptOver(&hero));
}

// A bonus that carries the score into a new hundred gives one life, up to 99 and no further.
TEST_F(EndingsTest, TheTallyGivesALifeForANewHundredButNeverAHundredth) {
    for (int before : {98, 99}) {
        SCOPED_TRACE(before);
        score = 50;
        lives = before;
        timeLeft = 10 * FRAMES_PER_SECOND;
        stageClear(&hero);
        EXPECT_EQ(lives, 99);
    }
}

// CONTINUE starts the stage after the last one cleared, the last stage too; only a game
// with all ten cleared goes straight to the closing pages.
TEST_F(EndingsTest, ContinueAfterNineClearedStagesStartsTheLastOne) {
    struct Case {
        int cleared, level;
        Ints pages;
    };
    for (const Case& c : {Case{9, LAST_LEVEL, {2}}, Case{LAST_LEVEL, 0, {3, 4}}}) {
        SCOPED_TRACE(c.cleared);
        saved = c.cleared;
        score = 0;
        std::vector<int> pages;
        ScriptedPlayer p;
        p.always([&pages] {
            if (notePage(pages)) ScriptedPlayer::tap(K_SPACE);
        });
        titleChoice = CHOICE_CONTINUE;
        decideAfterAttempt(&hero, 0);
        EXPECT_EQ(pages, c.pages);
        EXPECT_EQ(level, c.level);
    }
}
