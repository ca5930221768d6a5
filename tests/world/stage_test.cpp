// Setting up attempts, the order of a stage frame, replay and run files, and how an attempt
// played from a replay ends.
#include "world_kit.h"

#include "gfx/messages.h"
#include "sim/stagerun.h"
#include "test_env.h"
#include "world/collision.h"
#include "world/flowstate.h"
#include "world/ghostrun.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/pickups.h"
#include "world/platforms.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TestMap floorMap() {
    return TestMap(30).fillRow(11, 21);
}

TEST(StageAttempt, TheHeroStartsOnTheGroundBelowTheMarkerWithEverythingReset) {
    Figure f{};
    resetWorld();
    timeLeft = airLeft = 5;
    startMonster(0, 0, MONSTER_BEETLE);
    startAnim(0, 0, ANIM_BRICK);
    std::vector<unsigned char> b = floorMap().set(4, 2, 65).set(4, 7, 21).bytes();
    ASSERT_TRUE(beginAttemptFromBytes(&f, b.data(), (int)b.size()));
    EXPECT_EQ(
        Ints({f.alive, f.x, f.y, f.platform, timeLeft, airLeft, activeMonsters(), activeAnims()}),
        Ints({1, 64, 96, -1, TIME_LIMIT, AIR_LIMIT, 0, 0}));
    // without a marker the game's start is used, held on the bottom row over a hole
    ASSERT_TRUE(beginTestAttempt(floorMap().set(1, 11, 0), &f));
    EXPECT_EQ(Ints({f.x, f.y}), Ints({16, 176}));
    // the title runs without a hero, and bytes that are no map begin no attempt
    ASSERT_TRUE(beginTestAttempt(floorMap(), &f, 0));
    EXPECT_EQ(f.alive, 0);
    EXPECT_STREQ(messageString, "");
    Figure g{};
    EXPECT_EQ(Ints({beginAttemptFromBytes(&g, b.data(), 3), g.alive}), Ints({0, 0}));
}

TEST(StageFrame, TheCountdownsSeeTheHeroWhereWalkLeftHimAndTheDeadStandStill) {
    Figure f{};
    ASSERT_TRUE(beginTestAttempt(floorMap().set(5, 10, CELL_WATER), &f));
    f.x = 70;
    int splash = 0;
    stageFrame(&f, StageInput{0, 1, 0, 0}, &splash); // x 72: the centre enters the water
    EXPECT_EQ(Ints({airLeft, splash, timeLeft}), Ints({AIR_LIMIT - 1, 1, TIME_LIMIT - 1}));
    f.alive = 0;
    stageFrames(&f, 5, StageInput{0, 1, 0, 0});
    EXPECT_EQ(Ints({timeLeft, f.x}), Ints({TIME_LIMIT - 1, 72}));
}

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
    ASSERT_TRUE(beginTestAttempt(floorMap().set(3, 8, CELL_PLATFORM), &f));
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

TEST(ReplayFile, MalformedLinesAreRefusedWithTheirNumber) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {{"R 4\nX 5\n", "line 2: unknown control 'X'"},
                 {"RR 4\n", "line 1: control 'R' given twice"},
                 {"R 1000001\n", "line 1: frame count \"1000001\" is outside"}};
    for (const auto& c : cases) {
        Replay r;
        std::string error;
        ASSERT_TRUE(parseReplay("R 1\n", &r, nullptr)); // what it held is dropped too
        EXPECT_FALSE(parseReplay(c.text, &r, &error)) << c.text;
        EXPECT_EQ(Ints({error.rfind(c.error, 0) == 0, (int)r.runs.size(), r.totalFrames}),
                  Ints({1, 0, 0}))
            << "got: " << error;
    }
    std::string text; // the whole replay has a limit too
    for (int i = 0; i < 100; i++)
        text += (i % 2 ? "R 1000000\n" : "L 1000000\n");
    Replay r;
    std::string error;
    EXPECT_TRUE(parseReplay(text, &r, &error)) << error;
    EXPECT_EQ(r.totalFrames, REPLAY_MAX_FRAMES);
    EXPECT_FALSE(parseReplay(text + "J 1\n", &r, &error));
    EXPECT_EQ(error.rfind("line 101:", 0), 0u) << error;
}

TEST(GhostRunFile, ARunIsAReplayWithItsTrailAndOnlyAWholeRunOfItsStageIsRead) {
    GhostRun run;
    run.stage = 3;
    run.frames = 3;
    run.score = 21;
    run.rings = 4;
    ASSERT_TRUE(appendRun(&run.input, StageInput{0, 1, 0, 0}, 2));
    ASSERT_TRUE(appendRun(&run.input, StageInput{0, 1, 1, 0}, 1));
    run.trail = {{16, 160, 1}, {18, 160, 2}, {20, -40, 239}};
    const std::string text = formatGhostRun(run);
    EXPECT_EQ(text.substr(0, text.find('\n')),
              "# trobz3 run stage=3 frames=3 time=0:00.05 score=21 rings=4");
    Replay plain; // any replay reader takes it for its controls
    ASSERT_TRUE(parseReplay(text, &plain, nullptr));
    EXPECT_EQ(inputs(plain, 0, 3), "R R RJ - ");
    GhostRun back;
    ASSERT_TRUE(parseGhostRun(text, 3, &back)) << text;
    EXPECT_EQ(formatGhostRun(back), text);

    auto cut = [&](size_t from) { return text.substr(0, text.rfind("#@") + from); };
    auto swap = [&](const std::string& a, const std::string& b) {
        std::string t = text;
        return t.replace(t.find(a), a.size(), b);
    };
    const std::string broken[] = {
        cut(7),                       // cut inside the last frame's place
        swap("frames=3", "frames=2"), // frames that do not match the input
        swap("stage=3", "stage=4"),   // another stage's run
    };
    for (const std::string& t : broken) {
        GhostRun r = run;
        EXPECT_FALSE(parseGhostRun(t, 3, &r)) << t;
        EXPECT_EQ(Ints({r.frames, (int)r.trail.size(), r.input.totalFrames}), Ints({0, 0, 0}));
    }
    // 60 frames a second, shown as minutes, seconds and hundredths
    EXPECT_EQ(formatRunTime(0) + " " + formatRunTime(59) + " " + formatRunTime(3661) + " " +
                  formatRunTime(9000),
              "0:00.00 0:00.98 1:01.01 2:30.00");
}

// A stage with three rings (one up high), a gap and the door at the end.
TestMap demoMap() {
    return TestMap(40).draw({"............o.....................[]....",
                             ".S...o.........o..................{}....",
                             "##################...###################"});
}

TEST(StageReplay, DeathsAndRunsThatEndTooSoon) {
    const struct {
        TestMap map;
        const char* replay;
        StageOutcome outcome;
        std::string message;
        int rings;
    } cases[] = {
        {demoMap(), "R 400\n", STAGE_DIED, message(MSG_FELL), 1}, // no jump: into the gap
        {demoMap(), "R 10\n", STAGE_ENDED, "", 3},
        {floorMap().set(5, 10, CELL_SPIKES_UP), "R 100\n", STAGE_DIED, message(MSG_IMPALED), 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.replay);
        Figure f{};
        Replay r;
        ASSERT_TRUE(beginTestAttempt(c.map, &f));
        ASSERT_TRUE(parseReplay(c.replay, &r, nullptr));
        StageResult res = playReplay(&f, r, nullptr, nullptr);
        EXPECT_EQ(Ints({res.outcome, res.rings}), Ints({c.outcome, c.rings}));
        EXPECT_EQ(res.message, c.message);
        EXPECT_TRUE(c.outcome != STAGE_ENDED || res.frame == 10 + REPLAY_GRACE_FRAMES);
    }
}

} // namespace
