// Saving and restoring the world of a stage attempt: play goes on after a restore exactly as
// it went the first time, a snapshot of a few columns leaves the others alone, and one taken
// on another map is refused.
#include "stage_kit.h"

#include "anim/anims.h"
#include "world/figure.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/pickups.h"
#include "world/snapshot.h"
#include "world/stage.h"

#include <gtest/gtest.h>

namespace {

// A short stage with a brick to break, a ring, a push block, a MASKY and a lift.
const char* const MAP[] = {
    "................................", "................................",
    "................................", "................................",
    "......B.........................", "................................",
    "...................-............", "..........o.....................",
    ".@......X.......m..........[]...", "...........................{}...",
    "================================", "################################",
};

std::vector<uint8_t> testStage() {
    std::vector<std::string> rows(std::begin(MAP), std::end(MAP));
    Compiled c = compileWith("symbol . 0\nsymbol @ 65\nsymbol o 41\nsymbol [ 27\nsymbol ] 28\n"
                             "symbol { 47\nsymbol } 48\nsymbol B 40\nsymbol X 25\nsymbol m 9\n"
                             "symbol - 66\nsymbol = 131\nsymbol # 133\n",
                             formatStageSource("", rows), true);
    EXPECT_TRUE(c.ok) << (c.errors.empty() ? "" : c.errors[0]);
    return encodeStage(c.grid);
}

// Everything that play changes, as one string to compare.
std::string worldState(const Figure& hero) {
    std::string s;
    auto add = [&s](int v) { s += std::to_string(v) + ","; };
    for (int i = 0; i < mapLength * MAP_ROWS; i++) {
        add(mapData[i]);
        add(mapOri[i]);
    }
    for (const Monster& m : monst)
        for (int v : {m.x, m.y, m.dx, m.fall, m.timer, m.kind, m.active})
            add(v);
    for (const AnimObject& a : aos)
        for (int v : {a.x, a.y, a.count, a.kind, a.active})
            add(v);
    for (int i = 0; i < pcount; i++)
        for (int v : {platforms[i].y, platforms[i].dy})
            add(v);
    for (int v : {hero.x, hero.y, hero.vy, hero.sprite, hero.alive, hero.platform, stars, score,
                  timeLeft, airLeft, step, pushForce, last_left, last_right, checkpoint})
        add(v);
    return s;
}

// Right with a jump every so often: it breaks the brick, pushes the block, meets the MASKY.
StageInput inputAt(int frame) {
    return StageInput{0, 1, (frame / 12) % 3 == 0, 0};
}

TEST(WorldSnapshot, PlayAfterARestoreGoesAsItDidBefore) {
    std::vector<uint8_t> bytes = testStage();
    prepareFirstAttempt(1);
    Figure hero{};
    ASSERT_TRUE(beginAttemptFromBytes(&hero, bytes.data(), int(bytes.size())));
    int splash = 0;
    for (int f = 0; f < 40; f++)
        stageFrame(&hero, inputAt(f), &splash);
    WorldSnapshot saved;
    saveWorld(&saved, &hero, splash);
    const std::string atSave = worldState(hero);

    std::vector<std::string> first;
    for (int f = 40; f < 160; f++) {
        stageFrame(&hero, inputAt(f), &splash);
        first.push_back(worldState(hero));
    }
    // the world really moved on: bricks, blocks, the ring, the clock
    ASSERT_NE(first.back(), atSave);

    ASSERT_TRUE(restoreWorld(saved, &hero, &splash));
    EXPECT_EQ(worldState(hero), atSave);
    for (int f = 40; f < 160; f++) {
        stageFrame(&hero, inputAt(f), &splash);
        ASSERT_EQ(worldState(hero), first[size_t(f - 40)]) << "differs at frame " << f;
    }
}

TEST(WorldSnapshot, AWindowOfColumnsLeavesTheOthersAlone) {
    std::vector<uint8_t> bytes = testStage();
    prepareFirstAttempt(1);
    Figure hero{};
    ASSERT_TRUE(beginAttemptFromBytes(&hero, bytes.data(), int(bytes.size())));
    WorldSnapshot s;
    saveWorld(&s, &hero, 0, 4, 9);
    EXPECT_EQ(s.firstColumn, 4);
    EXPECT_EQ(s.columns, 6);
    // cells changed inside and outside the window
    mapData[6 * MAP_ROWS + 4] = 0;   // the brick, inside
    mapData[20 * MAP_ROWS + 3] = 99; // outside
    score = 77;
    ASSERT_TRUE(restoreWorld(s, &hero, nullptr));
    EXPECT_EQ(mapData[6 * MAP_ROWS + 4], CELL_BRICK);
    EXPECT_EQ(mapData[20 * MAP_ROWS + 3], 99);
    EXPECT_EQ(score, 0);
    // a window reaching past the map is cut to it
    saveWorld(&s, &hero, 0, -5, 1000);
    EXPECT_EQ(s.firstColumn, 0);
    EXPECT_EQ(s.columns, mapLength);
}

TEST(WorldSnapshot, ASnapshotOfAnotherMapIsRefused) {
    std::vector<uint8_t> bytes = testStage();
    prepareFirstAttempt(1);
    Figure hero{};
    ASSERT_TRUE(beginAttemptFromBytes(&hero, bytes.data(), int(bytes.size())));
    WorldSnapshot s;
    saveWorld(&s, &hero, 0);
    // the same stage, a column wider
    std::vector<uint8_t> wider = bytes;
    wider[0]++;
    wider.insert(wider.end(), 12, 0);
    ASSERT_TRUE(beginAttemptFromBytes(&hero, wider.data(), int(wider.size())));
    const std::string before = worldState(hero);
    EXPECT_FALSE(restoreWorld(s, &hero, nullptr));
    EXPECT_EQ(worldState(hero), before);
}

} // namespace
