// Setting up attempts, the order of a stage frame, and whole attempts played from replays.
#include "world_fixture.h"

#include "anim/anims.h"
#include "gfx/messages.h"
#include "world/collision.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/pickups.h"
#include "world/stagerun.h"

#include <gtest/gtest.h>

namespace {

TestMap floorMap(int columns = 30) {
    TestMap m(columns);
    m.fillRow(11, 21);
    return m;
}

TEST(StageAttempt, TheHeroStartsOnTheGroundBelowTheMarker) {
    TestMap m = floorMap();
    m.set(4, 2, 65).set(4, 7, 21);
    Figure f{};
    timeLeft = 5;
    airLeft = 5;
    startMonster(0, 0, MONSTER_BEETLE);
    startAnim(0, 0, ANIM_BRICK);
    ASSERT_TRUE(beginTestAttempt(m, &f));
    EXPECT_EQ(f.alive, 1);
    EXPECT_EQ(f.x, 64);
    EXPECT_EQ(f.y, 96);
    EXPECT_EQ(f.sprite, 24);
    EXPECT_EQ(f.platform, -1);
    EXPECT_EQ(timeLeft, TIME_LIMIT);
    EXPECT_EQ(airLeft, AIR_LIMIT);
    for (const Monster& mo : monst)
        EXPECT_EQ(mo.active, 0);
    for (const AnimObject& a : aos)
        EXPECT_EQ(a.active, 0);
}

TEST(StageAttempt, WithoutAMarkerTheGameStartIsUsed) {
    TestMap m = floorMap();
    m.set(1, 11, 0);
    Figure f{};
    ASSERT_TRUE(beginTestAttempt(m, &f));
    EXPECT_EQ(f.x, 16);
    EXPECT_EQ(f.y, 176); // no ground below: held on the bottom row
}

TEST(StageAttempt, TheTitleHasNoHeroAndBadBytesNoAttempt) {
    Figure f = heroAt(50, 50);
    ASSERT_TRUE(beginTestAttempt(floorMap(), &f, 0));
    EXPECT_EQ(f.alive, 0);
    EXPECT_EQ(f.idleCount, 180);
    EXPECT_STREQ(messageString, "");

    Figure g{};
    resetWorld();
    unsigned char junk[3] = {0, 0, 0};
    EXPECT_EQ(beginAttemptFromBytes(&g, junk, 3), 0);
    EXPECT_EQ(g.alive, 0);
}

TEST(StageFrame, TheCountdownsSeeTheHeroWhereWalkLeftHim) {
    TestMap m = floorMap();
    m.set(4, 10, 85);
    Figure f{};
    ASSERT_TRUE(beginTestAttempt(m, &f));
    f.x = 54;
    int splash = 0;
    stageFrame(&f, StageInput{0, 1, 0, 0}, &splash); // x 56: the centre enters the water
    EXPECT_EQ(airLeft, AIR_LIMIT - 1);
    EXPECT_EQ(splash, 1);
    EXPECT_EQ(timeLeft, TIME_LIMIT - 1);
}

TEST(StageFrame, AnimationsRunBeforeTheHeroAndNothingMovesForTheDead) {
    TestMap m = floorMap();
    m.set(2, 10, 41).set(3, 10, 41);
    Figure f{};
    ASSERT_TRUE(beginTestAttempt(m, &f));
    f.x = 28; // centre in column 2
    stageFrames(&f, 1);
    EXPECT_EQ(stars, 1);
    EXPECT_EQ(getBlock(2, 10), 41); // the pickup starts; the cell clears next frame
    stageFrames(&f, 1);
    EXPECT_EQ(getBlock(2, 10), 0);

    f.alive = 0;
    int t = timeLeft, x = f.x;
    stageFrames(&f, 5, StageInput{0, 1, 0, 0});
    EXPECT_EQ(timeLeft, t);
    EXPECT_EQ(f.x, x);
}

TEST(StageFrame, ADyingHeroStillFallsAndTheClockRuns) {
    Figure f{};
    ASSERT_TRUE(beginTestAttempt(floorMap(), &f));
    figureDying(&f, message(MSG_SUICIDE), 0);
    int y = f.y;
    stageFrames(&f, 3);
    EXPECT_LT(f.y, y);
    EXPECT_EQ(timeLeft, TIME_LIMIT - 3);
}

// A stage with three rings (one up high), a gap and the door at the end.
TestMap demoMap() {
    TestMap m(40);
    m.draw({
        "........................................",
        "........................................",
        "........................................",
        "............o.....................[]....",
        ".S...o.........o..................{}....",
        "##################...###################",
    });
    return m;
}

TEST(StageReplay, ARunThroughTheStageClearsIt) {
    Figure f{};
    ASSERT_TRUE(beginTestAttempt(demoMap(), &f));
    ASSERT_EQ(stars, 3);
    Replay r;
    std::string error;
    ASSERT_TRUE(parseReplay("R 84\n"   // under the high ring
                            "J 45\n"   // straight up through it and down again
                            "R 40\n"   // the ring before the gap
                            "RJ 30\n"  // over the gap
                            "R 250\n", // to the door
                            &r, &error))
        << error;
    std::vector<int> doorCells;
    auto watch = [](int, Figure*, void* ctx) {
        static_cast<std::vector<int>*>(ctx)->push_back(getBlock(34, 9));
    };
    StageResult res = playReplay(&f, r, watch, &doorCells);
    EXPECT_EQ(res.outcome, STAGE_CLEARED) << res.message << " at x " << f.x << " y " << f.y;
    EXPECT_EQ(res.rings, 0);
    EXPECT_EQ(res.score, 3);
    EXPECT_EQ(res.lives, START_LIVES);
    ASSERT_FALSE(doorCells.empty());
    EXPECT_EQ(doorCells.front(), 38); // closed at the start
    EXPECT_EQ(doorCells.back(), 27);  // open at the end
    EXPECT_EQ((int)doorCells.size(), res.frame + 1);

    // the same replay plays the same way again
    Figure g{};
    ASSERT_TRUE(beginTestAttempt(demoMap(), &g));
    StageResult again = playReplay(&g, r, nullptr, nullptr);
    EXPECT_EQ(again.outcome, STAGE_CLEARED);
    EXPECT_EQ(again.frame, res.frame);
    EXPECT_EQ(again.score, res.score);
}

TEST(StageReplay, DeathsAndRunsThatEndTooSoon) {
    Figure f{};
    ASSERT_TRUE(beginTestAttempt(demoMap(), &f));
    Replay r;
    ASSERT_TRUE(parseReplay("R 400\n", &r, nullptr)); // no jump: into the gap
    StageResult res = playReplay(&f, r, nullptr, nullptr);
    EXPECT_EQ(res.outcome, STAGE_DIED);
    EXPECT_EQ(res.message, message(MSG_FELL));
    EXPECT_EQ(res.rings, 1); // the high ring

    ASSERT_TRUE(beginTestAttempt(demoMap(), &f));
    ASSERT_TRUE(parseReplay("R 10\n", &r, nullptr));
    res = playReplay(&f, r, nullptr, nullptr);
    EXPECT_EQ(res.outcome, STAGE_ENDED);
    EXPECT_EQ(res.frame, 10 + REPLAY_GRACE_FRAMES);
    EXPECT_EQ(res.rings, 3);
    EXPECT_EQ(res.message, "");

    TestMap spikes = floorMap();
    spikes.set(5, 10, 105);
    ASSERT_TRUE(beginTestAttempt(spikes, &f));
    ASSERT_TRUE(parseReplay("R 100\n", &r, nullptr));
    res = playReplay(&f, r, nullptr, nullptr);
    EXPECT_EQ(res.outcome, STAGE_DIED);
    EXPECT_EQ(res.message, message(MSG_IMPALED));
    EXPECT_LT(res.frame, 40);
}

} // namespace
