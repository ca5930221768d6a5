// Tiled itself as an independent judge of the stage maps: it opens the map of every stage,
// saves it again its own way, and what it saves converts back to the same stage text; its
// JSON export holds the same tiles. Without Tiled on the machine these tests are skipped.
#include "stage_kit.h"
#include "tmx.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

bool haveTiled() {
    return std::system("command -v tiled >/dev/null 2>&1") == 0;
}

// Runs Tiled without a display: it exports `in` to `out`, the format taken from the name.
bool tiledExport(const std::string& in, const std::string& out) {
    std::remove(out.c_str());
    std::string cmd = "QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/tmp tiled --export-map '" + in +
                      "' '" + out + "' >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0 && std::ifstream(out).good();
}

std::string workDir() {
    std::string dir = std::string(TROBZ_BUILD_DIR) + "/stages-test/tiled";
    std::system(("mkdir -p '" + dir + "'").c_str());
    return dir;
}

struct StageMap {
    StageSource source;
    Legend legend;
    StageGrid grid;
    std::string text;
};

StageMap readStage(int stage) {
    StageMap m;
    std::string error;
    EXPECT_TRUE(readTextFile(stageSourcePath(stage), &m.text, &error)) << error;
    EXPECT_TRUE(parseStageSource(m.text, stageSourcePath(stage), &m.source, &error)) << error;
    EXPECT_TRUE(resolveLegend(sourceLegend(), m.source, &m.legend, &error)) << error;
    EXPECT_TRUE(sourceToGrid(m.source, m.legend, &m.grid, &error)) << error;
    return m;
}

TEST(TiledItself, SavesEveryStageSoItComesBackTheSame) {
    if (!haveTiled()) GTEST_SKIP() << "tiled is not installed (scripts/packages.txt lists it)";
    const std::string dir = workDir();
    for (int stage = 0; stage <= LAST_STAGE; stage++) {
        SCOPED_TRACE(stageName(stage));
        StageMap m = readStage(stage);
        const std::string mine = dir + "/" + stageName(stage) + ".tmx";
        const std::string theirs = dir + "/" + stageName(stage) + "-tiled.tmx";
        std::ofstream(mine) << writeTmx(m.grid, m.source.header, "../../gfx/blocks.bmp");
        ASSERT_TRUE(tiledExport(mine, theirs));

        std::string xml, error, header;
        ASSERT_TRUE(readTextFile(theirs, &xml, &error)) << error;
        StageGrid back;
        bool hasHeader = false;
        ASSERT_TRUE(readTmx(xml, theirs, &back, &header, &hasHeader, &error)) << error;
        EXPECT_TRUE(hasHeader);
        std::vector<std::string> rows;
        ASSERT_TRUE(gridToRows(back, m.legend, theirs, &rows, &error)) << error;
        EXPECT_EQ(formatStageSource(header, rows), m.text);
    }
}

TEST(TiledItself, ExportsTheSameTilesAsJson) {
    if (!haveTiled()) GTEST_SKIP() << "tiled is not installed (scripts/packages.txt lists it)";
    const std::string dir = workDir();
    StageMap m = readStage(LAST_STAGE);
    const std::string tmx = dir + "/json-source.tmx", json = dir + "/json-source.json";
    std::ofstream(tmx) << writeTmx(m.grid, m.source.header, "../../gfx/blocks.bmp");
    ASSERT_TRUE(tiledExport(tmx, json));
    std::string text, error;
    ASSERT_TRUE(readTextFile(json, &text, &error)) << error;
    // the one layer's "data": global tile ids row after row, 0 for none
    size_t at = text.find("\"data\":[");
    ASSERT_NE(at, std::string::npos);
    at += 8;
    std::vector<long> ids;
    while (at < text.size() && text[at] != ']') {
        char* end = nullptr;
        ids.push_back(std::strtol(text.c_str() + at, &end, 10));
        at = size_t(end - text.c_str());
        while (at < text.size() && (text[at] == ',' || text[at] == ' ' || text[at] == '\n'))
            at++;
    }
    ASSERT_EQ(ids.size(), size_t(m.grid.columns) * STAGE_ROWS);
    for (int r = 0; r < STAGE_ROWS; r++)
        for (int c = 0; c < m.grid.columns; c++) {
            int v = m.grid.at(c, r);
            ASSERT_EQ(ids[size_t(r) * m.grid.columns + c], v == 0 ? 0 : v + 1)
                << "column " << c << ", row " << r;
        }
}

} // namespace
