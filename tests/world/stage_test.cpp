// The order of a stage frame, and replay files.
#include "world_kit.h"

#include "test_env.h"
#include "world/collision.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/platforms.h"
#include "world/replay.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(StageFrame, TheAnimationsMoveFirstThenTheMonstersThenTheLifts) {
    // a MASKY standing still on a crumbling floor drops in the frame the floor gives way
    Figure nobody{};
    ASSERT_TRUE(beginTestAttempt(TestMap(30).set(5, 10, CELL_CRUMBLE), &nobody));
    nobody.alive = 0;
    setMonster(0, 80, 144, MONSTER_MASKY);
    monst[0].dx = 0;
    ASSERT_EQ(startAnim(80, 160, ANIM_CRUMBLE), 1);
    int frames = 0;
    while (isSolidPos(80, 160) && frames++ < 100)
        stageFrames(&nobody, 1);
    EXPECT_EQ(monst[0].y, 145);
    // a MASKY and a sinking lift meet the hero in the same frame: the MASKY comes first
    Figure f{};
    ASSERT_TRUE(beginTestAttempt(TestMap(30).fillRow(11, 21).set(3, 8, CELL_PLATFORM), &f));
    f = heroAt(48, 160);
    platforms[0].y = 143;
    setMonster(0, 50, 160, MONSTER_MASKY);
    stageFrames(&f, 1);
    EXPECT_EQ(Ints({f.dying, f.deathAnim}), Ints({1, ANIM_DEATH_DEAD}));
    EXPECT_STREQ(messageString, "STABBED BY MASKY");
}

// The input of frames `first` ... `last` in the letters of a replay file, "-" for none.
std::string inputs(const Replay& r, int first, int last) {
    std::string out;
    for (int f = first; f <= last; f++) {
        StageInput in = replayInput(r, f);
        std::string s = std::string(in.left ? "L" : "") + (in.right ? "R" : "") +
                        (in.jump ? "J" : "") + (in.crawl ? "D" : "");
        out += (s.empty() ? "-" : s) + " ";
    }
    return out;
}

TEST(ReplayFile, RunsAreReadWrittenAndReadBackTheSame) {
    Replay r;
    std::string error;
    ASSERT_TRUE(
        parseReplay("# a run\nR 3\n\n  jr   1   # jump while running\r\n- 2\nLDJR 4", &r, &error))
        << error;
    EXPECT_EQ(Ints({(int)r.runs.size(), r.totalFrames, r.runs[1].first}), Ints({4, 10, 3}));
    EXPECT_EQ(inputs(r, -1, 10), "- R R R RJ - - LRJD LRJD LRJD LRJD - ");
    EXPECT_EQ(inputs(Replay(), 0, 0), "- ");
    ASSERT_TRUE(appendRun(&r, StageInput{1, 1, 1, 1}, 7)); // merged into the last run
    ASSERT_TRUE(appendRun(&r, StageInput{0, 0, 0, 0}, 9));
    EXPECT_FALSE(appendRun(&r, StageInput{0, 0, 0, 0}, 0));
    EXPECT_FALSE(appendRun(&r, StageInput{0, 0, 0, 0}, REPLAY_MAX_RUN + 1));
    const std::string text = formatReplay(r);
    EXPECT_EQ(text, "R 3\nRJ 1\n- 2\nLRJD 11\n- 9\n");
    ScopedTempDir dir;
    std::ofstream("run.replay") << text;
    Replay back;
    ASSERT_TRUE(loadReplay("run.replay", &back, &error)) << error;
    EXPECT_EQ(inputs(back, -1, 27), inputs(r, -1, 27));
    EXPECT_FALSE(loadReplay("missing.replay", &back, &error));
    EXPECT_EQ(error, "cannot read missing.replay");
    EXPECT_FALSE(loadReplay(".", &back, &error));
}

} // namespace
