// The converter from stage text to stage files: the cells it writes, and the malformed
// sources it refuses, each with the file, line and column of the fault.
#include "stage_kit.h"

#include "test_env.h"
#include "world/map.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
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
    StageGrid grid;
    std::string error;
    ASSERT_TRUE(decodeStage(bytes.data(), bytes.size(), &grid, &error)) << error;
    EXPECT_EQ(grid.cells, c.grid.cells);
    // a file short of the cells its header asks for and a map narrower than the view are
    // refused; 4096 columns are the most (the picture program's test refuses 4097)
    EXPECT_FALSE(decodeStage(bytes.data(), bytes.size() - 1, &grid, &error));
    std::vector<uint8_t> wide = {0xFF, 0x0F}; // 4096 columns, the most
    wide.resize(2 + 4096 * 12, 20);
    EXPECT_TRUE(decodeStage(wide.data(), wide.size(), &grid, &error)) << error;
    EXPECT_EQ(grid.columns, 4096);
    std::vector<uint8_t> narrow = {19, 0}; // 20 columns
    narrow.resize(2 + 20 * 12, 20);
    EXPECT_FALSE(decodeStage(narrow.data(), narrow.size(), &grid, &error));
    // a tile set replaces what a common symbol means, a stage's own symbol lines add to and
    // replace the meanings of its tile set, and a value a symbol gave up is free for another
    c = compile(Map()
                    .head("# a rock stage with a lift\ntileset rock\nsymbol # 150 lit rock\n"
                          "symbol = 152\nsymbol r 151 rock\n")
                    .put(9, 6, "-B"));
    ASSERT_TRUE(c.ok) << firstError(c);
    EXPECT_EQ(c.grid.at(10, 6), 149);
    EXPECT_EQ(c.grid.at(0, 10), 152);
    EXPECT_EQ(c.grid.at(0, 11), 150);
    EXPECT_EQ(c.grid.at(9, 6), CELL_PLATFORM);
    EXPECT_EQ(c.source.tileset, "rock");
    EXPECT_EQ(c.source.mapLine, 6);
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
    EXPECT_TRUE(compile(Map().put(1, 9, ".").put(18, 8, "..").put(18, 9, ".."), false).ok);
    // the view starts a column left of the start: a ring there is in reach
    EXPECT_TRUE(compile(Map().put(1, 9, ".o@")).ok);
    // a push block is ground the hero lands on
    EXPECT_TRUE(compile(Map().put(1, 10, ".").put(1, 11, "X")).ok);
    // a legend and a stage saved with CRLF line ends read as with LF ones
    auto crlf = [](const std::string& s) {
        std::string out;
        for (char c : s)
            out += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return out;
    };
    Compiled dos = compileWith(crlf(TEST_LEGEND), crlf(Map().text()), true);
    EXPECT_EQ(dos.grid.cells, compile(Map()).grid.cells) << firstError(dos);
}

// The programs as the build and a modder run them, one after the other on what the one
// before wrote: the converter fails the build on a broken stage with the message and leaves
// no file, and with --title takes a map the rules of play refuse; the picture program draws
// a stage file and refuses, before drawing anything, one the game would not load; the
// solver hands back its furthest try where it is asked to, and says so when it cannot.
TEST(StagePrograms, RefuseWhatTheyMustWithTheReasonAndWriteTheRest) {
    ScopedTempDir dir;
    const std::string build = TROBZ_BUILD_DIR;
    std::filesystem::create_directory_symlink(build + "/gfx", "gfx");
    std::ofstream("legend.txt") << TEST_LEGEND;
    std::ofstream("bad.stage") << Map().put(6, 4, "Q").text();
    std::ofstream("good.stage") << Map(40).text();
    std::ofstream("nodoor.stage") << Map().put(18, 8, "..").put(18, 9, "..").text();
    // 4097 columns, with every byte the header asks for
    std::ofstream("wide.bin") << std::string("\x00\x10", 2) + std::string(4097 * 12, '\x14');
    const struct {
        std::string command;
        bool succeeds;
        std::string errors;       // all it prints on the error output
        std::string output;       // a part of what it prints otherwise
        std::string file, begins; // a file it writes and how that begins; "": there is none
    } runs[] = {
        {"stageconv --legend legend.txt bad.stage bad.bin", false,
         "bad.stage:" + std::to_string(lineOf(4)) + ":7: unknown symbol 'Q'\n", "", "bad.bin", ""},
        {"stageconv --legend legend.txt good.stage good.bin", true, "", "", "good.bin",
         std::string("\x27\0", 2)}, // 39 columns after the first
        {"stageconv --legend legend.txt nodoor.stage nodoor.bin", false,
         "nodoor.stage:" + std::to_string(lineOf(9)) +
             ":6: rings but no exit door for them to open\n",
         "", "nodoor.bin", ""},
        {"stageconv --legend legend.txt --title nodoor.stage nodoor.bin", true, "", "",
         "nodoor.bin", std::string("\x14\0", 2)},
        {"stagepic gfx/blocks.bmp good.bin good.png", true, "", "", "good.png", "\x89PNG"},
        {"stagepic gfx/blocks.bmp wide.bin wide.png", false,
         "wide.bin: the header says 4097 columns; a stage has 21 to 4096, and the game loads "
         "no other\n",
         "", "wide.png", ""},
        {"stagesolve nodoor.bin --best best.txt", false, "",
         "nodoor.bin: not cleared: rings but no exit door", "best.txt", "# The furthest try"},
        {"stagesolve nodoor.bin --best gone/best.txt", false, "gone/best.txt: cannot be written\n",
         "", "gone/best.txt", ""},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.command);
        const int status =
            std::system((build + "/" + r.command + " >out.txt 2>errors.txt").c_str());
        EXPECT_EQ(status == 0, r.succeeds);
        EXPECT_EQ(readWholeFile("errors.txt"), r.errors);
        EXPECT_NE(readWholeFile("out.txt").find(r.output), std::string::npos)
            << readWholeFile("out.txt");
        if (r.begins.empty())
            EXPECT_FALSE(std::ifstream(r.file).good()) << "it left " << r.file;
        else
            EXPECT_EQ(readWholeFile(r.file).substr(0, r.begins.size()), r.begins);
    }
    EXPECT_EQ(readWholeFile("good.bin").size(), 2u + 40 * MAP_ROWS) << "the header, then the cells";
}

} // namespace
