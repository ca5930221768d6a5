// The ends of a stage and of a game: the stage-clear tally and its arithmetic, game over with
// the name entry and the continue question, and the ending.
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

#include <map>

// In a fresh working directory (the tests write ./hiscores.dat), on the built-in table.
class EndingsTest : public FlowTest {
  protected:
    void SetUp() override {
        FlowTest::SetUp();
        resetHiscoreTable();
        level = 3;
        ASSERT_TRUE(begin(ringStage()));
        hero.madeIt = 1;
        frame = 700;
    }
    ScopedTempDir dir;
};

namespace {

// The score and lives at the start of each frame of a blocking loop, by frame number.
struct Watch {
    std::map<int, int> scoreAt, livesAt;
    int calls = 0;
};
Watch* watching;
void watchHook() {
    watching->calls++;
    watching->scoreAt[frame] = score;
    watching->livesAt[frame] = lives;
    ScriptedPlayer::tap(K_SPACE); // the tally cannot be hurried
}

} // namespace

TEST_F(EndingsTest, TheTallyAddsSecondsAndLivesAndAtMostOneLife) {
    struct Case {
        int score, timeLeft, lives, stage;
        int afterTime, afterLives, lifeAtEnd;
    } cases[] = {
        {0, 1234, 6, 3, 20, 26, 6},          // 20 whole seconds
        {990, 19 * 60, 6, 1, 1009, 1015, 7}, // past a hundred: one life
        {9999, 5000, 6, 5, 9999, 9999, 6},   // nothing more at the top
        {190, 600, 99, 2, 200, 299, 99},     // no life beyond 99
        {50, 60 * 60, 98, 9, 110, 208, 99},  // two hundreds crossed, still one life
        {9950, 8000, 6, 10, 9999, 9999, 6},  // capped within the last hundred: no life
        {9850, 9000, 6, 10, 9999, 9999, 7},  // capped, but a new hundred was reached
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.score);
        score = c.score;
        timeLeft = c.timeLeft;
        lives = c.lives;
        level = c.stage;
        hero.alive = 1;
        Watch w;
        watching = &w;
        inputHook = watchHook;
        stageClear(&hero);
        inputHook = nullptr;
        // six seconds, never skipped; the time bonus at frame 282, the lives at 342, the extra
        // life at 492
        EXPECT_EQ(std::vector<int>({w.calls, w.scoreAt[282], w.scoreAt[283], w.scoreAt[342],
                                    w.scoreAt[343], score, w.livesAt[492], w.livesAt[493], lives}),
                  std::vector<int>({360, c.score, c.afterTime, c.afterTime, c.afterLives,
                                    c.afterLives, c.lives, c.lifeAtEnd, c.lifeAtEnd}));
        EXPECT_EQ(std::vector<int>({level, hero.alive, frame}),
                  std::vector<int>({c.stage + 1, 1, 552}));
    }
}

TEST_F(EndingsTest, GameOverKeepsTheHiscoreAndContinuesAtTheLostStageOrGoesToTheTitle) {
    struct Case {
        int score, answer;
        bool quit; // a quit request on "GAME OVER!": dropped
        const char* state;
    } cases[] = {
        {555, K_LEFT, true, "level 3 lives 6 score 0 menu 0 rank 5 saved 0 escape 0 done 0"},
        {5000, K_RIGHT, false, "level 0 lives 6 score 0 menu -3 rank 0 saved 0 escape 0 done 0"},
        {40, K_RIGHT, true, "level 0 lives 6 score 0 menu 0 rank -1 saved 0 escape 0 done 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.score);
        level = 3;
        lives = 0;
        score = c.score;
        setMessage("BLOWN UP");
        startx = 300;
        startf = 1;
        // a key on "GAME OVER!", START at once on the name entry, then the answer
        ScriptedPlayer p;
        p.when(
            "game over", [] { return flowScreen == FLOW_GAME_OVER; },
            [&c] {
                if (c.quit) pushEvent(SDL_Event{SDL_QUIT});
                ScriptedPlayer::tap(K_RETURN);
            });
        p.repeat(
            "continue?", [] { return flowScreen == FLOW_CONTINUE; }, [] { return true; },
            [] {
                if (flowScreen == FLOW_NAME_ENTRY) ScriptedPlayer::press(K_RETURN);
            },
            3);
        p.tapWhen(
            "answered", [] { return flowScreen == FLOW_CONTINUE; }, c.answer);
        gameOver(&hero);
        EXPECT_TRUE(p.finished()) << p.stuckAt();
        EXPECT_EQ(flowState(), c.state);
        EXPECT_EQ(std::vector<int>({startx, starty, startf, restartMusic}),
                  std::vector<int>({16, 100, 0, 1}));
        EXPECT_STREQ(messageString, "");
        if (hsRank >= 0) {
            EXPECT_EQ(hiscores[hsRank].score, c.score); // the score reached
        }
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
        p.repeat(
            "closing pages", [] { return false; }, [] { return true; },
            [&] {
                if (flowScreen == FLOW_NAME_ENTRY && !named) {
                    named = true;
                    pushEvent(SDL_Event{SDL_QUIT});
                    ScriptedPlayer::press(K_RETURN);
                } else if (flowScreen == FLOW_STORY &&
                           (pages.empty() || pages.back() != storyPage)) {
                    pages.push_back(storyPage);
                    if (c.quitOnPages)
                        pushEvent(SDL_Event{SDL_QUIT});
                    else
                        ScriptedPlayer::tap(K_SPACE);
                }
            },
            1);
        level = 11;
        ending(&hero);
        EXPECT_EQ(pages, c.pages);
        EXPECT_EQ(flowState(), c.state);
        EXPECT_EQ(restartMusic, 1);
    }
}
