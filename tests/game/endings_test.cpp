// The ends of a stage and of a game: the stage-clear tally and its arithmetic, game over with
// the name entry and the continue question, and the ending.
#include "flow_fixture.h"

#include "data/hiscores.h"
#include "game/ending.h"
#include "game/flow.h"
#include "game/gameover.h"
#include "game/stageclear.h"
#include "game/story.h"
#include "gfx/video.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/pickups.h"

#include <map>

class EndingsTest : public FlowTest {
  protected:
    void SetUp() override {
        FlowTest::SetUp();
        resetHiscoreTable(); // 1000, 900, ... 100
        level = 3;
        ASSERT_TRUE(begin(ringStage()));
        hero.madeIt = 1;
        frame = 700;
    }
    ScopedTempDir dir;
};

namespace {

// The score and lives at the start of each frame of a blocking loop, by frame number, and
// lit pixels where "NEXT STAGE" and "COMING UP" stand.
struct Watch {
    std::map<int, int> scoreAt, livesAt, announcedAt;
    int calls = 0;
};
Watch* watching;
void watchHook() {
    watching->calls++;
    watching->scoreAt[frame] = score;
    watching->livesAt[frame] = lives;
    if (frame == 450 || frame == 481)
        for (int y = 160; y < 196; y++)
            for (int x = 0; x < 320; x++)
                watching->announcedAt[frame] += pixelRGB(screen, x, y) != 0;
    ScriptedPlayer::tap(K_SPACE); // the tally cannot be hurried
}

} // namespace

TEST_F(EndingsTest, TheTallyAddsSecondsAndLivesAndAtMostOneLife) {
    freeLevel(); // nothing but the texts over black
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
        // the picture of frame 449 (bit 5 clear): the last stage announces no next one
        EXPECT_EQ(w.announcedAt[450] > 0, c.stage < 10);
        EXPECT_EQ(w.announcedAt[481], 0); // the picture of frame 480: blinked away
    }
}

namespace {

// Answers the game-over screens: a key on "GAME OVER!" (with a quit request when asked),
// START on the name entry at once, and LEFT or RIGHT on the question.
void answerGameOver(ScriptedPlayer& p, int answer, bool quit) {
    p.when(
        "game over", [] { return flowScreen == FLOW_GAME_OVER; },
        [quit] {
            if (quit) pushEvent(SDL_Event{SDL_QUIT});
            ScriptedPlayer::tap(K_RETURN);
        });
    p.repeat(
        "continue?", [] { return flowScreen == FLOW_CONTINUE; }, [] { return true; },
        [] {
            if (flowScreen == FLOW_NAME_ENTRY) ScriptedPlayer::press(K_RETURN);
        },
        3);
    p.tapWhen(
        "answered", [] { return flowScreen == FLOW_CONTINUE; }, answer);
}

} // namespace

TEST_F(EndingsTest, GameOverThenContinueAtTheLostStageWithTheHiscoreKept) {
    lives = 0;
    score = 555;
    setMessage("BLOWN UP");
    startx = 300;
    startf = 1;
    ScriptedPlayer p;
    answerGameOver(p, K_LEFT, true);
    gameOver(&hero);
    EXPECT_TRUE(p.finished()) << p.stuckAt();
    // the entry for 555 below 600 stays; the quit request is dropped
    EXPECT_EQ(flowState(), "level 3 lives 6 score 0 menu 0 rank 5 saved 0 escape 0 done 0");
    EXPECT_EQ(hiscores[5].score, 555);
    EXPECT_EQ(std::vector<int>({startx, starty, startf, restartMusic}),
              std::vector<int>({16, 100, 0, 1}));
    EXPECT_STREQ(messageString, "");
}

TEST_F(EndingsTest, GameOverThenTheTitleOnTheTableOrOnPressStart) {
    for (int qualifying : {1, 0}) {
        level = 4;
        lives = 0;
        score = qualifying ? 5000 : 40;
        ScriptedPlayer p;
        answerGameOver(p, K_RIGHT, false);
        gameOver(&hero);
        EXPECT_TRUE(p.finished()) << p.stuckAt();
        EXPECT_EQ(flowState(),
                  qualifying ? "level 0 lives 6 score 0 menu -3 rank 0 saved 0 escape 0 done 0"
                             : "level 0 lives 6 score 0 menu 0 rank -1 saved 0 escape 0 done 0");
    }
}

namespace {

// Plays the ending: on each closing page JUMP or a quit request, and START at once on the
// name entry together with a quit request. Returns the pages seen.
std::vector<int> playEnding(Figure* hero, bool quitOnPages) {
    std::vector<int> pages;
    bool named = false;
    ScriptedPlayer p;
    p.repeat(
        "closing pages", [] { return false; }, [] { return true; },
        [&pages, &named, quitOnPages] {
            if (flowScreen == FLOW_NAME_ENTRY && !named) {
                named = true;
                pushEvent(SDL_Event{SDL_QUIT});
                ScriptedPlayer::press(K_RETURN);
            } else if (flowScreen == FLOW_STORY && (pages.empty() || pages.back() != storyPage)) {
                pages.push_back(storyPage);
                if (quitOnPages)
                    pushEvent(SDL_Event{SDL_QUIT});
                else
                    ScriptedPlayer::tap(K_SPACE);
            }
        },
        1);
    level = 11;
    ending(hero);
    return pages;
}

} // namespace

TEST_F(EndingsTest, TheEndingShowsTheClosingPagesAndOpensTheTitleOnANewHiscore) {
    score = 1500;
    EXPECT_EQ(playEnding(&hero, false), (std::vector<int>{3, 4}));
    // a quit asked during the name entry stays: the program ends next
    EXPECT_EQ(flowState(), "level 0 lives 6 score 0 menu -3 rank 0 saved 0 escape 1 done 1");
    EXPECT_EQ(restartMusic, 1);
}

TEST_F(EndingsTest, AQuitRequestOnTheClosingPagesHurriesThemAndIsDropped) {
    score = 0;
    // the second page passes without a look at the input
    EXPECT_EQ(playEnding(&hero, true), std::vector<int>{3});
    EXPECT_EQ(flowState(), "level 0 lives 6 score 0 menu 0 rank -1 saved 0 escape 0 done 0");
}
