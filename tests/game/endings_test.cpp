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
#include "world/stage.h"

#include <map>

class EndingsTest : public FlowTest {
  protected:
    void SetUp() override {
        FlowTest::SetUp();
        resetHiscoreTable();
        std::vector<unsigned char> map = ringStage().bytes();
        level = 3;
        ASSERT_TRUE(beginAttemptFromBytes(&hero, map.data(), (int)map.size()));
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
    pushEvent(keyEvent(K_SPACE, true)); // the tally cannot be hurried
    pushEvent(keyEvent(K_SPACE, false));
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
        EXPECT_EQ(w.calls, TALLY_END_FRAME - TALLY_FIRST_FRAME); // 360 frames, never skipped
        EXPECT_EQ(w.scoreAt[TALLY_TIME_FRAME], c.score);
        EXPECT_EQ(w.scoreAt[TALLY_TIME_FRAME + 1], c.afterTime) << c.score;
        EXPECT_EQ(w.scoreAt[TALLY_LIFE_FRAME + 1], c.afterLives) << c.score;
        EXPECT_EQ(w.livesAt[TALLY_EXTRA_LIFE_FRAME], c.lives);
        EXPECT_EQ(lives, c.lifeAtEnd) << c.score;
        EXPECT_EQ(score, c.afterLives);
        EXPECT_EQ(level, c.stage + 1);
        EXPECT_EQ(hero.alive, 1);
        EXPECT_EQ(frame, TALLY_END_FRAME);
    }
}

TEST_F(EndingsTest, TheLastStageAnnouncesNoNextStage) {
    // the picture of frame 449 (bit 5 clear) as the hook of frame 450 finds it
    freeLevel(); // nothing but the texts over black
    int lit[2] = {0, 0};
    for (int last = 0; last < 2; last++) {
        level = last ? 10 : 9;
        hero.alive = 1;
        static int* out;
        out = &lit[last];
        inputHook = [] {
            if (frame != 450) return;
            for (int y = 160; y < 196; y++)
                for (int x = 0; x < 320; x++)
                    if (pixelRGB(screen, x, y) != 0) (*out)++;
        };
        stageClear(&hero);
        inputHook = nullptr;
    }
    EXPECT_GT(lit[0], 0);
    EXPECT_EQ(lit[1], 0);
}

namespace {

// Answers the game-over screens: a key on "GAME OVER!", START on the name entry at once,
// and LEFT or RIGHT on the question. A quit request is sent on the game-over screen.
void answerGameOver(ScriptedPlayer& p, int answer, bool quit) {
    p.when(
        "game over", [] { return flowScreen == FLOW_GAME_OVER; },
        [quit] {
            if (quit) pushEvent(SDL_Event{SDL_QUIT});
            ScriptedPlayer::tap(K_RETURN);
        });
    p.when(
        "continue?", [] { return flowScreen == FLOW_CONTINUE || flowScreen == FLOW_NAME_ENTRY; },
        [answer] {
            if (flowScreen == FLOW_NAME_ENTRY)
                ScriptedPlayer::press(K_RETURN);
            else
                ScriptedPlayer::tap(answer);
        });
    p.when(
        "answered", [] { return flowScreen == FLOW_CONTINUE; },
        [answer] { ScriptedPlayer::tap(answer); });
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
    EXPECT_EQ(level, 3);
    EXPECT_EQ(lives, 6);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(hsRank, 5); // 555 stands below 600
    EXPECT_EQ(hiscores[5].score, 555);
    EXPECT_EQ(workflow, 0);
    EXPECT_EQ(escape + done, 0); // the quit request is dropped
    EXPECT_EQ(startx, 16);
    EXPECT_EQ(startf, 0);
    EXPECT_EQ(restartMusic, 1);
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
        EXPECT_TRUE(p.finished() || !qualifying);
        EXPECT_EQ(level, 0);
        EXPECT_EQ(hsRank, qualifying ? 0 : -1);
        EXPECT_EQ(workflow, qualifying ? WF_HISCORE_TABLE : WF_PRESS_START);
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
        "closing pages", [] { return false; },
        [] { return flowScreen == FLOW_STORY || flowScreen == FLOW_NAME_ENTRY; },
        [&pages, &named, quitOnPages] {
            if (flowScreen == FLOW_NAME_ENTRY) {
                if (named) return;
                named = true;
                pushEvent(SDL_Event{SDL_QUIT});
                ScriptedPlayer::press(K_RETURN);
            } else if (pages.empty() || pages.back() != storyPage) {
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
    EXPECT_EQ(level, 0);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(lives, 6);
    EXPECT_EQ(hsRank, 0);
    EXPECT_EQ(workflow, WF_HISCORE_TABLE);
    EXPECT_EQ(escape, 1); // asked during the name entry: the program ends next
    EXPECT_EQ(restartMusic, 1);
}

TEST_F(EndingsTest, AQuitRequestOnTheClosingPagesHurriesThemAndIsDropped) {
    score = 0;
    // the second page passes without a look at the input
    EXPECT_EQ(playEnding(&hero, true), std::vector<int>{3});
    EXPECT_EQ(level, 0);
    EXPECT_EQ(hsRank, -1);
    EXPECT_EQ(workflow, WF_PRESS_START);
    EXPECT_EQ(escape + done, 0);
}
