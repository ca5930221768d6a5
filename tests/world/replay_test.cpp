// Replay files: the runs they hold, the lines they refuse, and the input of each frame.
#include "world/replay.h"

#include "test_env.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

bool same(const StageInput& a, const StageInput& b) {
    return a.left == b.left && a.right == b.right && a.jump == b.jump && a.crawl == b.crawl;
}

TEST(ReplayParse, RunsWithCommentsBlankLinesAndAnyLetterOrder) {
    Replay r;
    std::string error;
    ASSERT_TRUE(parseReplay("# a run to the door\n"
                            "R 40\n"
                            "\n"
                            "  jr   12   # jump while running\r\n"
                            "- 30\n"
                            "LDJR 2",
                            &r, &error))
        << error;
    ASSERT_EQ(r.runs.size(), 4u);
    EXPECT_EQ(r.totalFrames, 84);
    EXPECT_TRUE(same(r.runs[0].input, StageInput{0, 1, 0, 0}));
    EXPECT_TRUE(same(r.runs[1].input, StageInput{0, 1, 1, 0}));
    EXPECT_EQ(r.runs[1].frames, 12);
    EXPECT_EQ(r.runs[1].first, 40);
    EXPECT_TRUE(same(r.runs[2].input, StageInput{0, 0, 0, 0}));
    EXPECT_TRUE(same(r.runs[3].input, StageInput{1, 1, 1, 1}));
}

TEST(ReplayParse, MalformedLinesAreRefusedWithTheirNumber) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"R 4\nX 5\n", "line 2: unknown control 'X'"},
        {"RR 4\n", "line 1: control 'R' given twice"},
        {"\n\nR\n", "line 3: expected the controls and a frame count"},
        {"R 0\n", "line 1: frame count \"0\" is outside"},
        {"R -3\n", "line 1: frame count \"-3\" is not a number"},
        {"R 12x\n", "line 1: frame count \"12x\" is not a number"},
        {"R 1000001\n", "line 1: frame count \"1000001\" is outside"},
        {"R 99999999999999999999\n", "line 1: frame count"},
        {"R 5 7\n", "line 1: unexpected \"7\""},
        {"-R 5\n", "line 1: unknown control '-'"},
    };
    for (const auto& c : cases) {
        Replay r;
        std::string error;
        EXPECT_FALSE(parseReplay(c.text, &r, &error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << "got: " << error;
        EXPECT_TRUE(r.runs.empty());
        EXPECT_EQ(r.totalFrames, 0);
    }
}

TEST(ReplayParse, TheWholeReplayHasALimit) {
    std::string text;
    for (int i = 0; i < 100; i++)
        text += (i % 2 ? "R 1000000\n" : "L 1000000\n");
    Replay r;
    std::string error;
    EXPECT_TRUE(parseReplay(text, &r, &error)) << error;
    EXPECT_EQ(r.totalFrames, REPLAY_MAX_FRAMES);
    EXPECT_FALSE(parseReplay(text + "J 1\n", &r, &error));
    EXPECT_EQ(error.rfind("line 101:", 0), 0u) << error;
}

TEST(ReplayInput, EachFrameGetsItsRunsInput) {
    Replay r;
    ASSERT_TRUE(parseReplay("R 3\nJ 1\n- 2\nL 4\n", &r, nullptr));
    EXPECT_EQ(r.totalFrames, 10);
    const StageInput none{0, 0, 0, 0}, right{0, 1, 0, 0}, jump{0, 0, 1, 0}, left{1, 0, 0, 0};
    const StageInput expected[10] = {right, right, right, jump, none, none, left, left, left, left};
    for (int f = 0; f < 10; f++)
        EXPECT_TRUE(same(replayInput(r, f), expected[f])) << f;
    EXPECT_TRUE(same(replayInput(r, 10), none));
    EXPECT_TRUE(same(replayInput(r, -1), none));
    EXPECT_TRUE(same(replayInput(Replay(), 0), none));
}

TEST(ReplayFormat, WrittenReplaysReadBackTheSame) {
    Replay r;
    ASSERT_TRUE(appendRun(&r, StageInput{0, 1, 0, 0}, 5));
    ASSERT_TRUE(appendRun(&r, StageInput{0, 1, 0, 0}, 7)); // merged
    ASSERT_TRUE(appendRun(&r, StageInput{1, 0, 1, 1}, 1));
    ASSERT_TRUE(appendRun(&r, StageInput{0, 0, 0, 0}, 9));
    EXPECT_FALSE(appendRun(&r, StageInput{0, 0, 0, 0}, 0));
    EXPECT_FALSE(appendRun(&r, StageInput{0, 0, 0, 0}, REPLAY_MAX_RUN + 1));
    ASSERT_EQ(r.runs.size(), 3u);
    std::string text = formatReplay(r);
    EXPECT_EQ(text, "R 12\nLJD 1\n- 9\n");
    Replay back;
    ASSERT_TRUE(parseReplay(text, &back, nullptr));
    ASSERT_EQ(back.runs.size(), r.runs.size());
    for (int f = 0; f < r.totalFrames + 2; f++)
        EXPECT_TRUE(same(replayInput(back, f), replayInput(r, f))) << f;
}

TEST(ReplayFile, ReadFromDiskOrRefused) {
    ScopedTempDir dir;
    std::ofstream("run.replay") << "R 10\nRJ 2\n";
    Replay r;
    std::string error;
    ASSERT_TRUE(loadReplay("run.replay", &r, &error)) << error;
    EXPECT_EQ(r.totalFrames, 12);
    EXPECT_FALSE(loadReplay("missing.replay", &r, &error));
    EXPECT_EQ(error, "cannot read missing.replay");
    EXPECT_FALSE(loadReplay(".", &r, &error));
}

} // namespace
