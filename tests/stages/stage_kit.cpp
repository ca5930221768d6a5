// The stage tests' shared helpers.
#include "stage_kit.h"

#include "test_env.h"

#include "data/archive.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/pickups.h"
#include "world/stage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

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

const LegendFile& sourceLegend() {
    static LegendFile legend;
    static bool loaded = false;
    if (!loaded) {
        std::string error;
        loaded = loadLegendFile(legendPath(), &legend, &error);
        EXPECT_TRUE(loaded) << error;
    }
    return legend;
}

std::vector<uint8_t> archivedStage(int stage) {
    ArchiveDir archives(std::string(TROBZ_BUILD_DIR) + "/data");
    uint32_t size = 0;
    unsigned char* bytes = loadZDAFile(ZDA_MAPS, stageName(stage).c_str(), "bin", &size);
    std::vector<uint8_t> out;
    if (bytes) out.assign(bytes, bytes + size);
    std::free(bytes);
    return out;
}

Compiled compileWith(const std::string& legendText, const std::string& stageText, bool playable,
                     const std::string& file) {
    Compiled c;
    LegendFile legend;
    std::string error;
    if (!parseLegendFile(legendText, "legend.txt", &legend, &error)) {
        c.errors.push_back(error);
        return c;
    }
    c.ok = compileStage(stageText, file, legend, playable, &c.source, &c.grid, &c.errors);
    return c;
}

bool findCell(const StageGrid& grid, int value, int* column, int* row) {
    for (int c = 0; c < grid.columns; c++)
        for (int r = 0; r < STAGE_ROWS; r++)
            if (grid.at(c, r) == value) {
                *column = c;
                *row = r;
                return true;
            }
    return false;
}

static void track(int, Figure* hero, void* context) {
    Playthrough* p = static_cast<Playthrough*>(context);
    if (hero->x > p->maxX) p->maxX = hero->x;
    if (checkpoint) p->touchedFlag = true;
}

Playthrough playStage(int stage, const Replay& replay, bool fromCheckpoint) {
    Playthrough p;
    std::vector<uint8_t> bytes = archivedStage(stage);
    EXPECT_FALSE(bytes.empty()) << stageName(stage) << " is not in data/maps.zda";
    if (bytes.empty()) return p;
    prepareFirstAttempt(stage);
    if (fromCheckpoint) {
        StageGrid grid;
        std::string error;
        int c = -1, r = -1;
        EXPECT_TRUE(decodeStage(bytes.data(), bytes.size(), &grid, &error)) << error;
        EXPECT_TRUE(findCell(grid, CELL_FLAG, &c, &r)) << stageName(stage) << " has no flag";
        startx = c * CELL;
        starty = r * CELL;
        startf = 1;
    }
    // the stage is loaded by name from the archive, as the game loads it
    ArchiveDir archives(std::string(TROBZ_BUILD_DIR) + "/data");
    Figure hero{};
    beginAttempt(&hero, levelNames[stage]);
    p.startx = hero.x;
    p.starty = hero.y;
    p.rings = stars0;
    p.door = door;
    p.maxX = hero.x;
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
