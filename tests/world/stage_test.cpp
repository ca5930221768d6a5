// Stage maps: the checks that keep a bad file out, the start and monster markers, the rings
// that count after a checkpoint, and the point queries at every edge of the map. The stage
// economy: score and extra lives, rings and the door, the time and oxygen countdowns; the
// order of a stage frame, and replay files.
#include "world_kit.h"

#include "audio/sound.h"
#include "gfx/messages.h"
#include "test_env.h"
#include "world/collision.h"
#include "world/flowstate.h"
#include "world/ghostrun.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/pickups.h"
#include "world/platforms.h"
#include "world/replay.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

// A map narrower than the view, or with fewer cells than its header promises, is refused;
// the game cannot go on without its map.
TEST(MapFile, ABrokenMapIsRefusedAndEndsTheGame) {
    std::vector<unsigned char> b = TestMap(21).bytes();
    EXPECT_FALSE(loadLevelFromBytes(b.data(), (int)b.size() - 1));
    EXPECT_TRUE(loadLevelFromBytes(b.data(), (int)b.size()));
    ScopedTempDir dir;
    std::filesystem::create_directory("maps");
    writeWholeFile("maps/test.bin", TestMap(20).bytes());
    EXPECT_EQ(exitOutput("map-fatal", 1, [] { loadLevel(nullptr); }),
              "Can't load file: maps/test.bin\n");
}

TEST(MapStart, TheLastMarkerWinsAndEveryMarkerIsCleared) {
    ASSERT_TRUE(loadTestMap(TestMap().set(2, 5, 1).set(6, 3, 68).set(6, 9, 8)));
    EXPECT_EQ(Ints({startx, starty}), Ints({96, 144}));
    EXPECT_EQ(Ints({cell(2, 5), cell(6, 3), cell(6, 9), under(6, 9)}), Ints({0, 0, 0, 0}));
    // the idle hero is a marker on a stage but scenery on the title
    ASSERT_TRUE(loadTestMap(TestMap().set(4, 7, CELL_HERO_IDLE), 3));
    EXPECT_EQ(Ints({startx, cell(4, 7)}), Ints({64, 0}));
    ASSERT_TRUE(loadTestMap(TestMap().set(4, 7, CELL_HERO_IDLE), 0));
    EXPECT_EQ(Ints({startx, starty, cell(4, 7)}), Ints({16, 100, 24}));
    // a checkpoint restart keeps its place, still clears the marker and raises the flag
    startx = 144;
    starty = 160;
    startf = 1;
    ASSERT_TRUE(reloadTestMap(TestMap().set(2, 5, 65).set(9, 10, CELL_FLAG)));
    EXPECT_EQ(Ints({startx, starty, cell(2, 5), cell(9, 10), under(9, 10)}),
              Ints({144, 160, 0, 19, 19}));
    // a monster's marker goes when the scan reaches it; the fish leaves water behind
    ASSERT_TRUE(loadTestMap(TestMap(40).set(30, 4, CELL_ACIDFISH).set(30, 5, CELL_MASKY)));
    tileScan(30 * 16);
    EXPECT_EQ(Ints({monst[0].kind, monst[1].kind, cell(30, 4), cell(30, 5)}),
              Ints({MONSTER_ACIDFISH, MONSTER_MASKY, CELL_WATER, 0}));
}

TEST(MapRings, RingsOutOfTheHerosReachDoNotCountAndTheOthersCloseTheDoor) {
    TestMap m(40);
    m.set(7, 10, CELL_RING)
        .set(8, 10, CELL_RING)
        .set(9, 10, CELL_RING)
        .set(20, 2, CELL_RING)
        .draw({"[]", "{}"}, 30);
    resetWorld();
    startx = 144; // column 9: rings from column 8 on count
    startf = 1;
    ASSERT_TRUE(reloadTestMap(m));
    EXPECT_EQ(Ints({stars0, stars, door}), Ints({3, 3, 30 * 12 + 10}));
    EXPECT_EQ(Ints({cell(30, 10), cell(31, 10), cell(30, 11), cell(31, 11), under(30, 10)}),
              Ints({38, 39, 58, 59, 38}));
    // near the map's end the view stops short of the restart point, at x 159: the ring of
    // column 10 is in the hero's reach and counts, that of column 9 does not
    TestMap end = TestMap(30).floor().set(9, 10, CELL_RING).set(10, 10, CELL_RING);
    end.draw({"[]", "{}"}, 27);
    startx = 416;
    starty = 160;
    ASSERT_TRUE(reloadTestMap(end));
    EXPECT_EQ(Ints({step, stars}), Ints({159, 1}));
    Figure f = heroAt(416, 160);
    stageFrames(&f, 200, StageInput{1, 0, 0, 0});
    EXPECT_EQ(Ints({f.x, stars, cell(9, 10), cell(27, 10)}), Ints({158, 0, 41, 27}));
    ASSERT_TRUE(reloadTestMap(end.set(10, 10, 0))); // no ring counts: the door stays as stored
    EXPECT_EQ(Ints({stars, cell(27, 10)}), Ints({0, 27}));
}

TEST(MapQueries, PointQueriesAtEveryEdge) {
    TestMap m;
    m.set(0, 0, 21).set(3, 11, CELL_SPIKES_UP).set(4, 11, CELL_MINE).set(5, 6, CELL_PUSH);
    m.set(6, 6, CELL_RESERVED).set(2, 0, 241); // past the catalogue: rock, whatever it is
    ASSERT_TRUE(loadTestMap(m.set(20, 0, CELL_BRICK)));
    const int W = 21 * 16;
    // x, y: the cell there, solid, lethal, pushable
    const int cases[][6] = {
        {15, 15, 21, 1, 0, 0},     {16, 0, 0, 0, 0, 0},     {32, 0, 241, 1, 0, 0},
        {48, 191, 105, 0, 105, 0}, {48, 192, 0, 0, 0, 0},   {64, 176, 140, 0, 140, 0},
        {W, 0, 0, 1, 0, 0},        {-1, 50, 0, 1, 0, 0},    {5, -40, 0, 1, 0, 0},
        {20, -40, 0, 0, 0, 0},     {0, 100000, 0, 0, 0, 0}, {95, 111, 25, 1, 0, 1},
        {96, 96, 240, 1, 0, 0},    {47, 191, 0, 0, 0, 0},   {W - 1, 0, 40, 1, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(Ints({getBlockAtPos(c[0], c[1]), isSolidPos(c[0], c[1]), isLeathalPos(c[0], c[1]),
                        isPushPos(c[0], c[1])}),
                  Ints({c[2], c[3], c[4], c[5]}))
            << "(" << c[0] << ", " << c[1] << ")";
    EXPECT_EQ(
        Ints({getBlock(3, 11), getBlock(-1, 0), getBlock(0, -1), getBlock(21, 0), getBlock(3, 12)}),
        Ints({105, 0, 0, 0, 0}));
    // the hero is wet when his centre is in water 160 ... 166, 145, 146 or 85: the value of
    // cell (8, 3), the hero's place, wet
    const int wet[][4] = {{160, 128, 48, 1}, {166, 128, 48, 1}, {145, 128, 48, 1},
                          {146, 128, 48, 1}, {85, 128, 48, 1},  {167, 128, 48, 0},
                          {160, 120, 48, 1}, {160, 119, 48, 0}, // the cell's first pixel
                          {160, 128, 40, 1}, {160, 128, 39, 0}, // its top row: not the feet
                          {160, -8, 0, 0}};
    for (const auto& c : wet) {
        setBlock(8, 3, c[0]);
        Figure f = heroAt(c[1], c[2]);
        EXPECT_EQ(isWet(&f), c[3]) << c[0] << " at (" << c[1] << ", " << c[2] << ")";
    }
}

TEST(Score, AnExtraLifeForEveryNewHundredUpToTheCaps) {
    const struct {
        int score, lives, points, scoreAfter, livesAfter;
    } cases[] = {
        {95, 6, 3, 98, 6},       {98, 6, 3, 101, 7},
        {101, 6, 250, 351, 7},   // one life per call, however many hundreds
        {9950, 6, 100, 9999, 6}, // capped: the hundreds stay 99
        {9850, 6, 200, 9999, 7}, // capped, but the hundreds grew from 98 to 99
        {99, 99, 1, 100, 99}     // no life, and no sound, past 99
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.score << " + " << c.points);
        resetWorld();
        SoundProbe sounds;
        score = c.score;
        lives = c.lives;
        addScore(c.points);
        EXPECT_EQ(Ints({score, lives, sounds.playing(SND_TADA)}),
                  Ints({c.scoreAfter, c.livesAfter, c.livesAfter - c.lives}));
    }
    // the second form tells whether the hundreds grew and gives the life only when asked
    score = 190;
    lives = 6;
    EXPECT_EQ(Ints({addScore2(5, 1), addScore2(5, 0), lives}), Ints({0, 1, 6}));
    EXPECT_EQ(Ints({addScore2(100, 1), lives}), Ints({1, 7}));
}

TEST(Rings, EachRingScoresAndTheLastOpensTheDoorInTheLiveMapOnly) {
    ASSERT_TRUE(loadTestMap(
        TestMap(30).set(10, 10, CELL_RING).set(11, 10, CELL_RING).draw({"[]", "{}"}, 20)));
    ASSERT_EQ(stars, 2);
    Figure f = heroAt(16, 160);
    f.ringsMissing = 1;
    score = 99;
    eatStar(&f);
    EXPECT_EQ(Ints({score, lives, stars, cell(20, 10), f.ringsMissing}), Ints({100, 7, 1, 38, 1}));
    eatStar(&f);
    EXPECT_EQ(Ints({stars, f.ringsMissing}), Ints({0, 0}));
    EXPECT_EQ(Ints({cell(20, 10), cell(21, 10), cell(20, 11), cell(21, 11), under(20, 10)}),
              Ints({27, 28, 47, 48, 38}))
        << "a death brings the closed door back";
    setBlock(20, 10, 5);
    eatStar(&f); // a ring beyond the count opens nothing again
    EXPECT_EQ(Ints({stars, cell(20, 10)}), Ints({-1, 5}));
    // a door cell that cannot hold a 2x2 door is never written
    ASSERT_TRUE(loadTestMap(TestMap().set(10, 10, CELL_RING).set(20, 11, CELL_DOOR_OPEN_TL)));
    Ints before(mapData, mapData + 21 * 12);
    eatStar(&f);
    EXPECT_EQ(stars, 0);
    EXPECT_EQ(Ints(mapData, mapData + 21 * 12), before);
}

class Countdowns : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(loadTestMap(TestMap().floor().set(5, 10, CELL_WATER)));
        dry = heroAt(16, 160);
        wet = heroAt(80, 160);
    }
    Figure dry, wet;
    int splash = 0;
};

TEST_F(Countdowns, OxygenDrainsUnderWaterAndRefillsToTheTop) {
    SoundProbe sounds;
    const struct {
        bool inWater;
        int air, splash;
    } frames[] = {{true, 619, 1},  {false, 619, 0}, // no refill above 619
                  {true, 618, 1},  {true, 617, 1},  {false, 619, 0},
                  {false, 619, 0}, {true, 618, 1},  {false, 620, 0}};
    for (const auto& f : frames) {
        countdowns(f.inWater ? &wet : &dry, &splash);
        EXPECT_EQ(Ints({airLeft, splash}), Ints({f.air, f.splash}));
    }
    EXPECT_EQ(sounds.playing(SND_SPLASH), 3) << "once per dive";
    // a dying hero still uses air under water but gets none back above it; the clock runs on
    figureDying(&wet, "X", 0);
    figureDying(&dry, "X", 0);
    airLeft = 100;
    countdowns(&wet, &splash);
    countdowns(&dry, &splash);
    EXPECT_EQ(Ints({airLeft, timeLeft, sounds.playing(SND_SPLASH)}),
              Ints({99, TIME_LIMIT - 10, 3}));
}

TEST_F(Countdowns, TheHeroIsOutWhenTheAirOrTheTimeRunsOutAndTheNextAttemptHasBoth) {
    airLeft = 2;
    countdowns(&wet, &splash);
    EXPECT_EQ(wet.dying, 0);
    countdowns(&wet, &splash);
    EXPECT_EQ(Ints({airLeft, wet.dying, wet.deathAnim}), Ints({0, 1, ANIM_DEATH_DROWNED}));
    EXPECT_STREQ(messageString, message(MSG_DROWNED));
    countdowns(&wet, &splash);
    EXPECT_EQ(airLeft, 0) << "the gauge stays at empty while the death plays on";
    timeLeft = 2;
    countdowns(&dry, &splash);
    EXPECT_EQ(dry.alive, 1);
    countdowns(&dry, &splash);
    EXPECT_EQ(Ints({timeLeft, dry.alive, dry.dying, dry.idleCount}), Ints({0, 0, 0, 180}));
    EXPECT_STREQ(messageString, message(MSG_TIME_UP));
    // the next attempt has its full supply of both again
    const std::vector<unsigned char> b = TestMap().floor().bytes();
    ASSERT_TRUE(beginAttemptFromBytes(&dry, b.data(), (int)b.size()));
    EXPECT_EQ(Ints({airLeft, timeLeft}), Ints({AIR_LIMIT, TIME_LIMIT}));
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
    ASSERT_TRUE(beginTestAttempt(TestMap(30).floor().set(3, 8, CELL_PLATFORM), &f));
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
    // a best run's time: minutes, seconds and hundredths of 60 frames a second
    EXPECT_EQ(formatRunTime(3599) + " " + formatRunTime(75 * 60 + 30), "0:59.98 1:15.50");
}

} // namespace
