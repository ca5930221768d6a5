// Shared set-up of the monster tests: a stage drawn as text rows and a hero far away.
#pragma once
#include "render_kit.h"
#include "world/figure.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world_fixture.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

class MonsterTest : public ::testing::Test {
  protected:
    Figure idle{}; // no hero: not alive, so nobody is touched
    // The rows given end with row 11.
    void load(const std::vector<std::string>& rows, int columns = 24) {
        TestMap m(columns);
        m.draw(rows);
        ASSERT_TRUE(loadTestMap(m));
        killMonsters();
    }
    void setBlocks(int c, int r, int v) {
        mapData[c * MAP_ROWS + r] = v;
        mapOri[c * MAP_ROWS + r] = v;
    }
    void run(int frames, Figure* hero = nullptr) {
        for (int i = 0; i < frames; i++)
            updateMonsters(hero ? hero : &idle);
    }
};
