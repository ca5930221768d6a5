// The stage tests' shared helpers.
#include "stage_kit.h"

#include "test_env.h"

#include "data/archive.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/pickups.h"
#include "world/stage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

std::string stageName(int stage) {
    char name[16];
    std::snprintf(name, sizeof name, "trobz3%02d", stage);
    return name;
}

std::string stageSourcePath(int stage) {
    return std::string(TROBZ_SOURCE_DIR) + "/assets/stages/" + stageName(stage) + ".stage";
}

std::string legendPath() {
    return std::string(TROBZ_SOURCE_DIR) + "/assets/stages/legend.txt";
}

std::string replayPath(int stage, bool fromCheckpoint) {
    return std::string(TROBZ_SOURCE_DIR) + "/assets/replays/" + stageName(stage) +
           (fromCheckpoint ? "-checkpoint" : "") + ".txt";
}

// The stage as the game reads it from data/maps.zda of the build; empty when it is missing.
static std::vector<uint8_t> archivedStage(int stage) {
    ArchiveDir archives(std::string(TROBZ_BUILD_DIR) + "/data");
    uint32_t size = 0;
    unsigned char* bytes = loadZDAFile(ZDA_MAPS, stageName(stage).c_str(), "bin", &size);
    std::vector<uint8_t> out(bytes, bytes + (bytes ? size : 0));
    std::free(bytes);
    return out;
}

StageGrid decodeOrFail(const std::vector<uint8_t>& bytes) {
    StageGrid grid;
    std::string error;
    EXPECT_TRUE(decodeStage(bytes.data(), bytes.size(), &grid, &error)) << error;
    return grid;
}

const char* const TEST_LEGEND =
    "# symbols for the tests\nsymbol . 0 nothing\nsymbol @ 65 start\nsymbol o 41 ring\n"
    "symbol [ 27 door\nsymbol ] 28\nsymbol { 47\nsymbol } 48\nsymbol - 66 lift\n"
    "symbol X 25 push block\nsymbol B 40 brick\nsymbol m 9 MASKY\n"
    "symbol ! 17 flag\ntileset grass\nsymbol = 131 grass\nsymbol # 133 earth\n"
    "tileset rock\nsymbol = 151 rock\n";

Compiled compileWith(const std::string& legendText, const std::string& stageText, bool playable) {
    Compiled c;
    LegendFile legend;
    std::string error;
    if (!parseLegendFile(legendText, "legend.txt", &legend, &error)) {
        c.errors.push_back(error);
        return c;
    }
    c.ok = compileStage(stageText, "test.stage", legend, playable, &c.source, &c.grid, &c.errors);
    return c;
}

std::vector<uint8_t> testStage(const std::vector<std::string>& rows) {
    Compiled c = compileWith(TEST_LEGEND, formatStageSource("tileset grass\n", rows), true);
    EXPECT_TRUE(c.ok) << (c.errors.empty() ? "" : c.errors[0]);
    return encodeStage(c.grid);
}

static void track(int, Figure* hero, void* context) {
    Playthrough* p = static_cast<Playthrough*>(context);
    p->maxX = std::max(p->maxX, hero->x);
    p->touchedFlag |= checkpoint != 0;
}

Playthrough playStage(int stage, const Replay& replay, bool fromCheckpoint) {
    Playthrough p;
    std::vector<uint8_t> bytes = archivedStage(stage);
    EXPECT_FALSE(bytes.empty()) << stageName(stage) << " is not in data/maps.zda";
    if (bytes.empty()) return p;
    prepareFirstAttempt(stage);
    if (fromCheckpoint) {
        StageGrid grid = decodeOrFail(bytes);
        auto flag = std::find(grid.cells.begin(), grid.cells.end(), CELL_FLAG);
        EXPECT_NE(flag, grid.cells.end()) << stageName(stage) << " has no flag";
        startx = int(flag - grid.cells.begin()) / MAP_ROWS * CELL;
        starty = int(flag - grid.cells.begin()) % MAP_ROWS * CELL;
        startf = 1;
    }
    // the stage is loaded by name from the archive, as the game loads it
    ArchiveDir archives(std::string(TROBZ_BUILD_DIR) + "/data");
    Figure hero{};
    beginAttempt(&hero, levelNames[stage]);
    p.startx = p.maxX = hero.x;
    p.rings = stars0;
    p.door = door;
    p.result = playReplay(&hero, replay, track, &p);
    if (door >= 0) {
        p.doorOpenTL = mapData[door];
        p.doorOpenBR = mapData[door + MAP_ROWS + 1];
    }
    p.timeLeft = timeLeft;
    p.alive = hero.alive;
    p.madeIt = hero.madeIt;
    return p;
}
