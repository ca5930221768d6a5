// Saving and restoring the world of a stage attempt, as the solver does from every state it
// tries: play goes on after a restore exactly as it went the first time.
#include "stage_kit.h"

#include "anim/anims.h"
#include "sim/snapshot.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/pickups.h"
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

class SavedWorld : public ::testing::Test {
  protected:
    void SetUp() override {
        bytes = testStage({std::begin(MAP), std::end(MAP)});
        prepareFirstAttempt(1);
        ASSERT_TRUE(beginAttemptFromBytes(&hero, bytes.data(), int(bytes.size())));
    }
    // Everything that play changes, as one string to compare.
    std::string worldState() const {
        std::string s;
        auto add = [&s](int v) { s += std::to_string(v) + ","; };
        for (int i = 0; i < mapLength * MAP_ROWS; i++)
            add(mapData[i]), add(mapOri[i]);
        for (const Monster& m : monst)
            for (int v : {m.x, m.y, m.dx, m.fall, m.timer, m.kind, m.active})
                add(v);
        for (const AnimObject& a : aos)
            for (int v : {a.x, a.y, a.count, a.kind, a.active})
                add(v);
        for (int i = 0; i < pcount; i++)
            add(platforms[i].y), add(platforms[i].dy);
        for (int v : {hero.x, hero.y, hero.vy, hero.sprite, hero.alive, hero.platform, stars, score,
                      timeLeft, airLeft, step, pushForce, last_left, last_right, checkpoint})
            add(v);
        return s;
    }
    std::vector<uint8_t> bytes;
    Figure hero{};
};

// Right with a jump every so often: it breaks the brick, pushes the block, meets the MASKY.
StageInput inputAt(int frame) {
    return StageInput{0, 1, (frame / 12) % 3 == 0, 0};
}

TEST_F(SavedWorld, PlayAfterARestoreGoesAsItDidBefore) {
    int splash = 0;
    for (int f = 0; f < 40; f++)
        stageFrame(&hero, inputAt(f), &splash);
    WorldSnapshot saved;
    saveWorld(&saved, &hero, splash);
    const std::string atSave = worldState();
    std::vector<std::string> first;
    for (int f = 40; f < 160; f++) {
        stageFrame(&hero, inputAt(f), &splash);
        first.push_back(worldState());
    }
    ASSERT_NE(first.back(), atSave) << "the world should have moved on";
    ASSERT_TRUE(restoreWorld(saved, &hero, &splash));
    EXPECT_EQ(worldState(), atSave);
    for (int f = 40; f < 160; f++) {
        stageFrame(&hero, inputAt(f), &splash);
        ASSERT_EQ(worldState(), first[size_t(f - 40)]) << "differs at frame " << f;
    }
}

} // namespace
