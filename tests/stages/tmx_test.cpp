// Stages as Tiled maps: every stage goes to TMX and back to the same text, byte for byte,
// and to the same stage file, also after Tiled has saved it; maps Tiled could write that a
// stage cannot hold are refused with the place of the fault.
#include "stagetext.h"
#include "test_env.h"
#include "tmx.h"
#include "world/flowstate.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

const std::string STAGES = std::string(TROBZ_SOURCE_DIR) + "/assets/stages/";

std::string stageName(int stage) {
    return "trobz3" + std::string(stage < 10 ? "0" : "") + std::to_string(stage);
}

std::string readOrFail(const std::string& path) {
    std::string text, error;
    EXPECT_TRUE(readTextFile(path, &text, &error)) << error;
    return text;
}

// The stage text that TMX text reads back as; its cells must be those of `expect`.
std::string stageTextOf(const std::string& xml, const Legend& legend, const StageGrid& expect) {
    StageGrid back;
    std::string header, error;
    bool hasHeader = false;
    std::vector<std::string> rows;
    EXPECT_TRUE(readTmx(xml, "stage.tmx", &back, &header, &hasHeader, &error)) << error;
    EXPECT_TRUE(hasHeader);
    EXPECT_EQ(encodeStage(back), encodeStage(expect));
    EXPECT_TRUE(gridToRows(back, legend, "stage.tmx", &rows, &error)) << error;
    return formatStageSource(header, rows);
}

// Every stage goes to TMX and back to the same text. Tiled itself, as an independent judge,
// opens each map and saves it its own way, and that too converts back to the same text
// (skipped where Tiled is not installed; scripts/packages.txt lists it).
TEST(TmxRoundTrip, EveryStageComesBackByteForByteAlsoThroughTiled) {
    const bool tiled = std::system("command -v tiled >/dev/null 2>&1") == 0;
    const std::string dir = std::string(TROBZ_BUILD_DIR) + "/stages-test/tiled";
    std::system(("mkdir -p '" + dir + "'").c_str());
    LegendFile sources;
    std::string why;
    ASSERT_TRUE(loadLegendFile(STAGES + "legend.txt", &sources, &why)) << why;
    for (int stage = 0; stage <= LAST_LEVEL; stage++) { // the title's stage too
        SCOPED_TRACE(stageName(stage));
        const std::string path = STAGES + stageName(stage) + ".stage", text = readOrFail(path);
        StageSource source;
        Legend legend;
        StageGrid grid;
        std::string error;
        ASSERT_TRUE(parseStageSource(text, path, &source, &error)) << error;
        ASSERT_TRUE(resolveLegend(sources, source, &legend, &error)) << error;
        ASSERT_TRUE(sourceToGrid(source, legend, &grid, &error)) << error;
        const std::string xml = writeTmx(grid, source.header, "../../gfx/blocks.bmp");
        EXPECT_EQ(stageTextOf(xml, legend, grid), text);
        // the same map with the block sheet numbered from tile 11, as Tiled leaves it when a
        // sheet of ten tiles before it is removed, and the sheet in a folder named with quotes
        StageGrid raised = grid;
        for (uint8_t& v : raised.cells)
            v = v ? uint8_t(v + 10) : 0;
        std::string shifted = writeTmx(raised, source.header, "\"my\" sheets/blocks.bmp");
        shifted.replace(shifted.find("firstgid=\"1\""), 12, "firstgid=\"11\"");
        EXPECT_EQ(stageTextOf(shifted, legend, grid), text);
        if (!tiled) continue;
        const std::string mine = dir + "/" + stageName(stage) + ".tmx";
        const std::string theirs = dir + "/" + stageName(stage) + "-tiled.tmx";
        std::ofstream(mine) << xml;
        std::remove(theirs.c_str());
        ASSERT_EQ(
            std::system(("QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/tmp tiled --export-map '" +
                         mine + "' '" + theirs + "' >/dev/null 2>&1")
                            .c_str()),
            0);
        EXPECT_EQ(stageTextOf(readOrFail(theirs), legend, grid), text);
    }
    if (!tiled) GTEST_SKIP() << "tiled is not installed: only our own reader was tried";
}

// The program as a modder runs it: a stage goes to a map Tiled opens and comes back the
// same, also with the header typed into Tiled; what a stage cannot hold is refused, named.
TEST(TmxProgram, WritesAMapTiledOpensReadsItBackAndNamesWhatAStageCannotHold) {
    ScopedTempDir dir;
    const std::string tool = std::string(TROBZ_BUILD_DIR) + "/stagetmx ";
    const std::string legend = " --legend '" + STAGES + "legend.txt' ";
    const std::string six = STAGES + "trobz306.stage";
    ASSERT_EQ(std::system((tool + "to-tmx" + legend + six + " 6.tmx").c_str()), 0);
    const std::string xml = readOrFail("6.tmx");
    // one tileset: the block sheet of the build, 20 tiles across, magenta see-through
    EXPECT_NE(xml.find("<image source=\"../gfx/blocks.bmp\" trans=\"ff00ff\" width=\"320\" "
                       "height=\"192\"/>"),
              std::string::npos);
    ASSERT_EQ(std::system((tool + "from-tmx" + legend + "6.tmx 6.stage").c_str()), 0);
    EXPECT_EQ(readOrFail("6.stage"), readOrFail(six));
    // the map with one part changed, the header property or the first cell (nothing, 0): the
    // header typed by hand into Tiled, without a line end after its last line, is taken;
    // what a stage cannot hold is refused, and leaves the stage text as it was
    const char* const edits[][3] = {
        {"tileset ice", "0", ""},
        {"tileset ice", "240", "changed.tmx: cell value 239 at column 1, row 1 has no symbol"},
        {"tileset ice", "257", "tile id 256 at column 1, row 1 is above 255"},
        // character references are digits and nothing else, and never the character 0
        {"&#0;", "0", "unknown entity &#0;"},
        {"&#+38;", "0", "unknown entity &#+38;"},
    };
    for (const auto& edit : edits) {
        SCOPED_TRACE(std::string(edit[0]) + ", " + edit[1]);
        std::string x = xml;
        const size_t p = x.find("<property name=\"header\""), e = x.find("</property>", p);
        x.replace(p, e + 11 - p,
                  "<property name=\"header\" value=\"" + std::string(edit[0]) + "\"/>");
        const std::string csv = "<data encoding=\"csv\">\n";
        x.replace(x.find(csv + "0,"), csv.size() + 1, csv + edit[1]);
        std::ofstream("changed.tmx") << x;
        const std::string run = tool + "from-tmx" + legend + "changed.tmx 6.stage 2>errors.txt";
        EXPECT_EQ(std::system(run.c_str()) == 0, !*edit[2]);
        const std::string errors = readWholeFile("errors.txt");
        EXPECT_TRUE(*edit[2] ? errors.find(edit[2]) != std::string::npos : errors.empty())
            << errors;
    }
    const std::string source = readOrFail(six);
    EXPECT_EQ(readOrFail("6.stage"), "tileset ice\n" + source.substr(source.find("\nmap\n") + 1));
}

} // namespace
