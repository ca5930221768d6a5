// The converter from stage text to stage files: the cells it writes, and the malformed
// sources it refuses, each with the file, line and column of the fault.
#include "stage_kit.h"

#include "test_env.h"
#include "world/map.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

// A stage of `width` columns: ground on rows 10 and 11, the start at column 1, a ring at
// column 5 and the door at the far end, all on row 9 (the door on rows 8 and 9).
struct Map {
    std::vector<std::string> rows;
    std::string header = "tileset grass\n";
    explicit Map(int width = 21) : rows(MAP_ROWS, std::string(size_t(width), '.')) {
        rows[10].assign(size_t(width), '=');
        rows[11].assign(size_t(width), '#');
        rows[9][1] = '@';
        rows[9][5] = 'o';
        put(width - 3, 8, "[]");
        put(width - 3, 9, "{}");
    }
    Map& put(int column, int row, const std::string& s) {
        rows[row].replace(size_t(column), s.size(), s);
        return *this;
    }
    Map& head(const std::string& text) {
        header = text;
        return *this;
    }
    std::string text() const { return formatStageSource(header, rows); }
};

// The line of map row r when the header is one line: "map" is line 2.
int lineOf(int row) {
    return 3 + row;
}

Compiled compile(const Map& m, bool playable = true) {
    return compileWith(TEST_LEGEND, m.text(), playable);
}

std::string firstError(const Compiled& c) {
    return c.errors.empty() ? std::string("(no error)") : c.errors[0];
}

std::string at(int line, int column, const std::string& message) {
    return "test.stage:" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
}

TEST(StageText, BuildsTheCellsColumnAfterColumnWithTheStagesOwnSymbols) {
    Compiled c = compile(Map(277));
    ASSERT_TRUE(c.ok) << firstError(c);
    std::vector<uint8_t> bytes = encodeStage(c.grid);
    // (columns - 1) low byte first, 276 = 20 + 256, then each column top down
    ASSERT_EQ(bytes.size(), 2u + 277 * 12);
    EXPECT_EQ(bytes[0], 20);
    EXPECT_EQ(bytes[1], 1);
    const int cells[][3] = {
        {1, 9, 65}, {5, 9, CELL_RING}, {0, 10, 131}, {276, 11, 133}, {274, 8, CELL_DOOR_OPEN_TL}};
    for (const auto& x : cells)
        EXPECT_EQ(bytes[size_t(2 + x[0] * 12 + x[1])], x[2]) << x[0] << "," << x[1];
    EXPECT_EQ(decodeOrFail(bytes).cells, c.grid.cells);
    // a file short of the cells its header asks for and a map narrower than the view are
    // refused; 4096 columns are the most (the picture program's test refuses 4097)
    StageGrid grid;
    std::string error;
    EXPECT_FALSE(decodeStage(bytes.data(), bytes.size() - 1, &grid, &error));
    std::vector<uint8_t> wide = {0xFF, 0x0F}; // 4096 columns, the most
    wide.resize(2 + 4096 * 12, 20);
    EXPECT_TRUE(decodeStage(wide.data(), wide.size(), &grid, &error)) << error;
    EXPECT_EQ(grid.columns, 4096);
    std::vector<uint8_t> narrow = {19, 0}; // 20 columns
    narrow.resize(2 + 20 * 12, 20);
    EXPECT_FALSE(decodeStage(narrow.data(), narrow.size(), &grid, &error));
    // a stage's own symbol lines add to and replace the meanings of its tile set
    c = compile(Map()
                    .head("# a rock stage with a lift\ntileset rock\nsymbol # 150 lit rock\n"
                          "symbol = 152\n")
                    .put(9, 6, "-"));
    ASSERT_TRUE(c.ok) << firstError(c);
    EXPECT_EQ(c.grid.at(0, 10), 152);
    EXPECT_EQ(c.grid.at(0, 11), 150);
    EXPECT_EQ(c.grid.at(9, 6), CELL_PLATFORM);
    EXPECT_EQ(c.source.tileset, "rock");
    EXPECT_EQ(c.source.mapLine, 5);
}

// One case for each kind of fault: in the header, in the size of the map, against the rules
// of play at a cell or with none, and in the legend.
TEST(StageText, FaultsAreRefusedWhereTheyAre) {
    const std::string base = "symbol . 0\nsymbol @ 65\nsymbol o 41\n";
    const struct {
        std::string legend, text, error;
    } cases[] = {
        {TEST_LEGEND, "tileset grass\ntileset rock\nmap\n", at(2, 1, "a second \"tileset\" line")},
        {TEST_LEGEND, Map(20).text(),
         at(lineOf(0), 1, "the map is 20 columns wide; a stage has 21 to 4096")},
        {TEST_LEGEND, Map().put(1, 10, ".").put(1, 11, ".").text(),
         at(lineOf(9), 2, "no ground under the start: the hero would fall out")},
        {TEST_LEGEND, Map().put(18, 8, "..").put(18, 9, "..").put(5, 9, ".").text(),
         at(2, 1, "no exit door")},
        {TEST_LEGEND, Map().put(1, 9, "o.@").text(),
         at(lineOf(9), 2, "a ring left of the view at the start can never be reached")},
        {TEST_LEGEND, Map(70).put(2, 3, std::string(65, '-')).text(),
         at(lineOf(3), 67,
            "the 65th lift: a stage has at most 64, and the game ignores every cell after the "
            "64th")},
        {base + "symbol Q 256 too big\n", Map().head("").text(),
         "legend.txt:4:10: \"256\" is not a cell value (0 ... 255)"},
    };
    for (const auto& c : cases) {
        Compiled got = compileWith(c.legend, c.text, true);
        EXPECT_FALSE(got.ok) << c.error;
        EXPECT_EQ(firstError(got), c.error);
    }
    // 64 lifts are allowed; the title has no hero, so none of the rules of play apply to it
    EXPECT_TRUE(compile(Map(70).put(2, 3, std::string(64, '-'))).ok);
    // the view starts a column left of the start: a ring there is in reach
    EXPECT_TRUE(compile(Map().put(1, 9, ".o@")).ok);
    EXPECT_TRUE(compile(Map().put(1, 9, ".").put(18, 8, "..").put(18, 9, ".."), false).ok);
}

// The program itself, as the build runs it: a broken stage fails the build with the
// message and leaves no file, a good one becomes its stage file.
TEST(StageConverterProgram, FailsOnABrokenStageAndWritesAGoodOne) {
    ScopedTempDir dir;
    std::ofstream("legend.txt") << TEST_LEGEND;
    std::ofstream("bad.stage") << Map().put(6, 4, "Q").text();
    std::ofstream("good.stage") << Map(40).text();
    const std::string tool = std::string(TROBZ_BUILD_DIR) + "/stageconv --legend legend.txt ";
    EXPECT_NE(std::system((tool + "bad.stage bad.bin 2>errors.txt").c_str()), 0);
    EXPECT_EQ(readWholeFile("errors.txt"),
              "bad.stage:" + std::to_string(lineOf(4)) + ":7: unknown symbol 'Q'\n");
    EXPECT_FALSE(std::ifstream("bad.bin").good()) << "a broken stage left a file";
    EXPECT_EQ(std::system((tool + "good.stage good.bin").c_str()), 0);
    std::string bytes = readWholeFile("good.bin");
    ASSERT_EQ(bytes.size(), 2u + 40 * 12);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\x27\0", 2)); // 39 columns after the first
    // the title form accepts a map without hero or door
    std::ofstream("good.stage") << Map(40).put(1, 9, ".").put(37, 8, "..").put(37, 9, "..").text();
    EXPECT_NE(std::system((tool + "good.stage title.bin 2>/dev/null").c_str()), 0);
    EXPECT_EQ(std::system((tool + "--title good.stage title.bin").c_str()), 0);
}

// The picture program draws a stage file and refuses, before drawing anything, one the
// game would not load.
TEST(StagePictureProgram, DrawsAStageAndRefusesWhatTheGameWouldNotLoad) {
    ScopedTempDir dir;
    const std::string build = TROBZ_BUILD_DIR;
    const std::string tool = build + "/stagepic " + build + "/gfx/blocks.bmp ";
    Compiled c = compile(Map(40));
    ASSERT_TRUE(c.ok) << firstError(c);
    std::vector<uint8_t> good = encodeStage(c.grid);
    std::ofstream("good.bin", std::ios::binary).write((const char*)good.data(), good.size());
    ASSERT_EQ(std::system((tool + "good.bin good.png").c_str()), 0);
    EXPECT_EQ(readWholeFile("good.png").substr(1, 3), "PNG");
    // 4097 columns, with every byte the header asks for
    std::string wide = std::string("\x00\x10", 2) + std::string(4097 * 12, '\x14');
    std::ofstream("wide.bin", std::ios::binary) << wide;
    EXPECT_NE(std::system((tool + "wide.bin wide.png 2>errors.txt").c_str()), 0);
    EXPECT_NE(readWholeFile("errors.txt").find("4097 columns"), std::string::npos)
        << readWholeFile("errors.txt");
    EXPECT_FALSE(std::ifstream("wide.png").good()) << "a stage the game refuses was drawn";
}

// The solver program hands back its furthest try where it is asked to, and says so when it
// cannot write it.
TEST(StageSolverProgram, WritesItsBestTryOrSaysWhyNot) {
    ScopedTempDir dir;
    Compiled c = compile(Map().put(18, 8, "..").put(18, 9, ".."), false); // no door
    ASSERT_TRUE(c.ok) << firstError(c);
    std::vector<uint8_t> bytes = encodeStage(c.grid);
    std::ofstream("nodoor.bin", std::ios::binary).write((const char*)bytes.data(), bytes.size());
    const std::string tool = std::string(TROBZ_BUILD_DIR) + "/stagesolve nodoor.bin --best ";
    EXPECT_NE(std::system((tool + "best.txt >out.txt").c_str()), 0);
    EXPECT_NE(readWholeFile("out.txt").find("not cleared: rings but no exit door"),
              std::string::npos)
        << readWholeFile("out.txt");
    EXPECT_EQ(readWholeFile("best.txt").rfind("# The furthest try", 0), 0u);
    EXPECT_NE(std::system((tool + "gone/best.txt >out.txt 2>errors.txt").c_str()), 0);
    EXPECT_EQ(readWholeFile("errors.txt"), "gone/best.txt: cannot be written\n");
}

} // namespace
