// Small test stages for the stage tests, compiled from rows of symbols.
#pragma once
#include "stagetext.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

// The legend of the small test stages: ". @ o [ ] { } - X B m !" for nothing, start,
// ring, the door's four cells, lift, push block, brick, MASKY and flag, then the
// tile sets "grass" (= grass, # earth) and "rock" (= rock, B a rock that is not a brick).
inline const char* const TEST_LEGEND =
    "# symbols for the tests\nsymbol . 0 nothing\nsymbol @ 65 start\nsymbol o 41 ring\n"
    "symbol [ 27 door\nsymbol ] 28\nsymbol { 47\nsymbol } 48\nsymbol - 66 lift\n"
    "symbol X 25 push block\nsymbol B 40 brick\nsymbol m 9 MASKY\n"
    "symbol ! 17 flag\ntileset grass\nsymbol = 131 grass\nsymbol # 133 earth\n"
    "tileset rock\nsymbol = 151 rock\nsymbol B 149\n";

// A stage text compiled with a legend given as text.
struct Compiled {
    bool ok = false;
    StageSource source;
    StageGrid grid;
    std::vector<std::string> errors;
};

inline Compiled compileWith(const std::string& legendText, const std::string& stageText,
                            bool playable) {
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

// The stage file of a playable grass stage with these bottom rows under empty ones; the test
// fails when it is not.
inline std::vector<uint8_t> testStage(std::vector<std::string> rows) {
    if (rows.empty() || rows.size() > (size_t)MAP_ROWS)
        throw std::invalid_argument("testStage takes 1 to 12 rows");
    rows.insert(rows.begin(), MAP_ROWS - rows.size(), std::string(rows[0].size(), '.'));
    Compiled c = compileWith(TEST_LEGEND, formatStageSource("tileset grass\n", rows), true);
    EXPECT_TRUE(c.ok) << (c.errors.empty() ? "" : c.errors[0]);
    return encodeStage(c.grid);
}
