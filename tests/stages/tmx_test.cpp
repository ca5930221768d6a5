// Stages as Tiled maps: every stage goes to TMX and back to the same text, byte for byte,
// and to the same stage file, also after Tiled has saved it; maps Tiled could write that a
// stage cannot hold are refused.
#include "stage_kit.h"
#include "test_env.h"
#include "tmx.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

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
    for (int stage = 0; stage <= LAST_STAGE; stage++) {
        SCOPED_TRACE(stageName(stage));
        const std::string text = readOrFail(stageSourcePath(stage));
        StageSource source;
        Legend legend;
        StageGrid grid;
        std::string error;
        ASSERT_TRUE(parseStageSource(text, stageSourcePath(stage), &source, &error)) << error;
        ASSERT_TRUE(resolveLegend(sourceLegend(), source, &legend, &error)) << error;
        ASSERT_TRUE(sourceToGrid(source, legend, &grid, &error)) << error;
        const std::string xml = writeTmx(grid, source.header, "../../gfx/blocks.bmp");
        EXPECT_EQ(stageTextOf(xml, legend, grid), text);
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

TEST(TmxRoundTrip, TheProgramWritesAMapTiledOpensAndReadsItBack) {
    ScopedTempDir dir;
    const std::string tool = std::string(TROBZ_BUILD_DIR) + "/stagetmx ";
    const std::string legend = " --legend '" + legendPath() + "' ";
    ASSERT_EQ(std::system((tool + "to-tmx" + legend + stageSourcePath(6) + " 6.tmx").c_str()), 0);
    const std::string xml = readOrFail("6.tmx");
    // one tileset: the block sheet of the build, 20 tiles across, magenta see-through
    EXPECT_NE(xml.find("<image source=\"../gfx/blocks.bmp\" trans=\"ff00ff\" width=\"320\" "
                       "height=\"192\"/>"),
              std::string::npos);
    EXPECT_NE(xml.find("<data encoding=\"csv\">"), std::string::npos);
    ASSERT_EQ(std::system((tool + "from-tmx" + legend + "6.tmx 6.stage").c_str()), 0);
    EXPECT_EQ(readOrFail("6.stage"), readOrFail(stageSourcePath(6)));
    // the header typed by hand into Tiled, without a line end after its last line
    std::string typed = xml;
    size_t p = typed.find("<property name=\"header\"");
    size_t e = typed.find("</property>", p);
    ASSERT_TRUE(p != std::string::npos && e != std::string::npos);
    typed.replace(p, e + 11 - p, "<property name=\"header\" value=\"tileset ice\"/>");
    std::ofstream("typed.tmx") << typed;
    ASSERT_EQ(std::system((tool + "from-tmx" + legend + "typed.tmx typed.stage").c_str()), 0);
    const std::string source = readOrFail(stageSourcePath(6));
    EXPECT_EQ(readOrFail("typed.stage"),
              "tileset ice\n" + source.substr(source.find("\nmap\n") + 1));
}

// A small map in TMX with one of its parts changed.
std::string smallMap(const std::string& from = "", const std::string& to = "") {
    StageGrid g;
    g.columns = 21;
    g.cells.assign(21 * 12, 0);
    g.cells[0 * 12 + 11] = 131;
    g.cells[3 * 12 + 5] = 41;
    std::string xml = writeTmx(g, "# a test & <map>\ntileset meadow\n", "blocks.bmp");
    if (!from.empty()) {
        size_t at = xml.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) xml.replace(at, from.size(), to);
    }
    return xml;
}

void refused(const std::string& xml, const std::string& why) {
    StageGrid g;
    std::string header, error;
    bool hasHeader;
    EXPECT_FALSE(readTmx(xml, "x.tmx", &g, &header, &hasHeader, &error)) << "accepted: " << why;
    EXPECT_NE(error.find(why), std::string::npos) << "got: " << error;
}

TEST(TmxRead, TakesWhatTiledWritesAndDecodesTheHeader) {
    StageGrid g;
    std::string header, error;
    bool hasHeader = false;
    ASSERT_TRUE(readTmx(smallMap(), "x.tmx", &g, &header, &hasHeader, &error)) << error;
    EXPECT_EQ(header, "# a test & <map>\ntileset meadow\n");
    EXPECT_EQ(g.at(0, 11), 131);
    EXPECT_EQ(g.at(3, 5), 41);
    // a tileset starting at another gid, the header as an attribute with entities, a comment
    std::string other = smallMap("firstgid=\"1\"", "firstgid=\"11\"");
    other.replace(other.find("132,"), 4, "142,"); // 131 + 11
    other.replace(other.find(",42,"), 4, ",52,"); // 41 + 11
    size_t p = other.find("<property name=\"header\">");
    size_t e = other.find("</property>");
    other.replace(p, e + 11 - p,
                  "<property name=\"header\" value=\"tileset&#32;meadow&#10;\"/>"
                  "<!-- edited -->");
    ASSERT_TRUE(readTmx(other, "x.tmx", &g, &header, &hasHeader, &error)) << error;
    EXPECT_EQ(header, "tileset meadow\n");
    EXPECT_EQ(g.at(0, 11), 131);
    EXPECT_EQ(g.at(3, 5), 41);
    // a map made in Tiled from scratch has no header
    std::string bare = smallMap("<property name=\"header\">", "<property name=\"note\">");
    ASSERT_TRUE(readTmx(bare, "x.tmx", &g, &header, &hasHeader, &error)) << error;
    EXPECT_FALSE(hasHeader);
}

TEST(TmxRead, RefusesWhatAStageCannotHold) {
    // flip and rotation flags in the top bits of a tile
    refused(smallMap("132,", std::to_string(132u | 0x80000000u) + ","), "flipped or rotated tile");
    refused(smallMap(",42,", ",257,"), "tile id 256 at column 4, row 6 is above 255");
    refused(smallMap("encoding=\"csv\"", "encoding=\"base64\""), "not in CSV encoding");
    refused(smallMap("height=\"12\" tilewidth", "height=\"11\" tilewidth"),
            "the map is 11 tiles high; a stage has 12 rows");
    refused(smallMap("tilewidth=\"16\" tileheight=\"16\" infinite",
                     "tilewidth=\"32\" tileheight=\"32\" infinite"),
            "the tiles are not 16x16");
    refused(smallMap("infinite=\"0\"", "infinite=\"1\""), "an infinite map");
    refused(smallMap(" </tileset>", " </tileset>\n <tileset firstgid=\"300\" source=\"x.tsx\"/>"),
            "uses 2 tilesets");
    refused(smallMap(" </layer>", " </layer>\n <layer id=\"2\" name=\"more\" width=\"21\" "
                                  "height=\"12\"><data encoding=\"csv\">0</data></layer>"),
            "the map has 2 tile layers");
    refused(smallMap("orientation=\"orthogonal\"", "orientation=\"isometric\""),
            "the map is isometric");
    refused(smallMap("132,", "132,7,"), "more tiles than the map's 252");
    refused(smallMap(",42,", ",4x2,"), "\"4x2\" is not a tile number");
    refused(smallMap("</data>", "0\n</data>").substr(0, 300), "not readable XML");
    std::string mop = smallMap("<map ", "<mop ");
    mop.replace(mop.find("</map>"), 6, "</mop>");
    refused(mop, "the root element is not <map>");
    refused(smallMap("&amp;", "&bogus;"), "unknown entity &bogus;");
    // character references are digits and nothing else, and never the character 0
    refused(smallMap("&amp;", "&#+38;"), "unknown entity &#+38;");
    refused(smallMap("&amp;", "&#0;"), "unknown entity &#0;");
}

TEST(TmxRead, ACellWithoutASymbolIsNamed) {
    StageGrid g;
    g.columns = 21;
    g.cells.assign(21 * 12, 0);
    g.cells[7 * 12 + 2] = 239; // no symbol in any terrain set
    StageSource source;
    Legend legend;
    std::string error;
    ASSERT_TRUE(parseStageSource(
        formatStageSource("tileset meadow\n", std::vector<std::string>(12, std::string(21, '.'))),
        "x", &source, &error));
    ASSERT_TRUE(resolveLegend(sourceLegend(), source, &legend, &error)) << error;
    std::vector<std::string> rows;
    EXPECT_FALSE(gridToRows(g, legend, "x.tmx", &rows, &error));
    EXPECT_EQ(error,
              "x.tmx: cell value 239 at column 8, row 3 has no symbol; add a \"symbol\" line "
              "for it");
}

} // namespace
