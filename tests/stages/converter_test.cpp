// The converter from stage text to stage files: the cells it writes, and every malformed
// source it refuses, each with the file, line and column of the fault.
#include "stage_kit.h"

#include "world/map.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

const char* const LEGEND = "# symbols for the tests\n"
                           "symbol . 0 nothing\n"
                           "symbol @ 65 start\n"
                           "symbol o 41 ring\n"
                           "symbol [ 27 door\n"
                           "symbol ] 28\n"
                           "symbol { 47\n"
                           "symbol } 48\n"
                           "symbol - 66 lift\n"
                           "symbol X 25 push block\n"
                           "symbol ~ 85 water\n"
                           "tileset grass\n"
                           "symbol = 131 grass\n"
                           "symbol # 133 earth\n"
                           "tileset rock\n"
                           "symbol = 151 rock\n";

// A stage of `width` columns: ground on rows 10 and 11, the start at column 1, a ring at
// column 5 and the door at the far end, all on row 9 (the door on rows 8 and 9).
struct Map {
    std::vector<std::string> rows;
    std::string header = "tileset grass\n";
    explicit Map(int width = 21) : rows(STAGE_ROWS, std::string(size_t(width), '.')) {
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
    std::string text() const { return formatStageSource(header, rows); }
};

// The line of map row r when the header is one line: "map" is line 2.
int lineOf(int row) {
    return 3 + row;
}

Compiled compile(const Map& m, bool playable = true) {
    return compileWith(LEGEND, m.text(), playable);
}

std::string firstError(const Compiled& c) {
    return c.errors.empty() ? std::string("(no error)") : c.errors[0];
}

std::string at(int line, int column, const std::string& message) {
    return "test.stage:" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
}

TEST(StageText, BuildsTheCellsColumnAfterColumn) {
    Map m(277);
    Compiled c = compile(m);
    ASSERT_TRUE(c.ok) << firstError(c);
    ASSERT_EQ(c.grid.columns, 277);
    EXPECT_EQ(c.grid.at(1, 9), 65);
    EXPECT_EQ(c.grid.at(5, 9), CELL_RING);
    EXPECT_EQ(c.grid.at(0, 10), 131);
    EXPECT_EQ(c.grid.at(276, 11), 133);
    std::vector<uint8_t> bytes = encodeStage(c.grid);
    // (columns - 1) low byte first: 276 = 20 + 256
    ASSERT_EQ(bytes.size(), 2u + 277 * 12);
    EXPECT_EQ(bytes[0], 20);
    EXPECT_EQ(bytes[1], 1);
    EXPECT_EQ(bytes[2 + 1 * 12 + 9], 65);
    EXPECT_EQ(bytes[2 + 274 * 12 + 8], CELL_DOOR_OPEN_TL);
    StageGrid back;
    std::string error;
    ASSERT_TRUE(decodeStage(bytes.data(), bytes.size(), &back, &error)) << error;
    EXPECT_EQ(back.cells, c.grid.cells);
}

TEST(StageText, TheStagesOwnSymbolsExtendAndReplaceTheLegend) {
    Map m;
    m.header = "# a rock stage with a lift\ntileset rock\nsymbol # 150 lit rock\nsymbol = 152\n";
    m.put(9, 6, "-");
    Compiled c = compileWith(LEGEND, m.text(), true);
    ASSERT_TRUE(c.ok) << firstError(c);
    EXPECT_EQ(c.grid.at(0, 10), 152);
    EXPECT_EQ(c.grid.at(0, 11), 150);
    EXPECT_EQ(c.grid.at(9, 6), CELL_PLATFORM);
    EXPECT_EQ(c.source.tileset, "rock");
    EXPECT_EQ(c.source.mapLine, 5);
}

TEST(StageText, MalformedMapsAreRefusedWhereTheyGoWrong) {
    const int row4 = lineOf(4);
    struct Case {
        std::string text;
        std::string error;
    };
    std::vector<Case> cases;
    cases.push_back({Map().put(6, 4, "Q").text(), at(row4, 7, "unknown symbol 'Q'")});
    cases.push_back({Map().put(2, 4, " ").text(), at(row4, 3, "unknown symbol ' ' (a blank)")});
    cases.push_back({Map().put(3, 4, "\t").text(), at(row4, 4, "unknown symbol 0x09")});
    {
        Map m;
        m.rows[6].pop_back();
        cases.push_back({m.text(), at(lineOf(6), 21, "this row has 20 symbols, the first row 21")});
        Map n;
        n.rows[11] += "#";
        cases.push_back(
            {n.text(), at(lineOf(11), 22, "this row has 22 symbols, the first row 21")});
    }
    {
        Map narrow(21);
        for (std::string& r : narrow.rows)
            r.erase(0, 1);
        cases.push_back({narrow.text(),
                         at(lineOf(0), 1, "the map is 20 columns wide; a stage has 21 to 4096")});
        Map wide(4097);
        cases.push_back({wide.text(),
                         at(lineOf(0), 1, "the map is 4097 columns wide; a stage has 21 to 4096")});
    }
    {
        Map m;
        m.rows.pop_back();
        cases.push_back({m.text(), at(lineOf(11), 1, "the map has 11 rows; a stage has 12")});
        Map n;
        cases.push_back({n.text() + "#####################\n",
                         at(lineOf(12), 1, "text after the 12 rows of the map")});
    }
    cases.push_back({"tileset grass\n", "test.stage:1: no \"map\" line: the 12 rows of the stage "
                                        "follow a line \"map\""});
    cases.push_back(
        {"tileset grass\nsize 21\nmap\n",
         at(2, 1, "expected \"tileset NAME\", \"symbol C VALUE\", a comment or \"map\"")});
    cases.push_back({"tileset grass\ntileset rock\nmap\n", at(2, 1, "a second \"tileset\" line")});
    for (const Case& c : cases) {
        Compiled got = compileWith(LEGEND, c.text, true);
        EXPECT_FALSE(got.ok);
        EXPECT_EQ(firstError(got), c.error);
    }
}

TEST(StageText, PlayableStagesNeedOneStartWithGroundUnderIt) {
    Map none;
    none.put(1, 9, ".");
    EXPECT_EQ(firstError(compile(none)), at(2, 1, "no start marker"));

    Map two;
    two.put(3, 7, "@");
    EXPECT_EQ(firstError(compile(two)),
              at(lineOf(7), 4, "a second start marker; the first is at column 2, row 10"));

    Map hole;
    hole.put(1, 10, ".").put(1, 11, ".");
    EXPECT_EQ(firstError(compile(hole)),
              at(lineOf(9), 2, "no ground under the start: the hero would fall out"));

    // ground further down is ground all the same, and a push block counts
    Map high;
    high.put(1, 9, ".").put(1, 3, "@").put(1, 10, "X");
    EXPECT_TRUE(compile(high).ok) << firstError(compile(high));

    // the title has no hero: nothing of this applies
    EXPECT_TRUE(compile(none, false).ok);
}

TEST(StageText, PlayableStagesNeedOneDoorWithItsFourCells) {
    Map noDoor;
    noDoor.put(18, 8, "..").put(18, 9, "..");
    EXPECT_EQ(firstError(compile(noDoor)),
              at(lineOf(9), 6, "rings but no exit door for them to open"));
    Map noRings = noDoor;
    noRings.put(5, 9, ".");
    EXPECT_EQ(firstError(compile(noRings)), at(2, 1, "no exit door"));

    Map lastColumn;
    lastColumn.put(18, 8, "..").put(18, 9, "..").put(20, 5, "[");
    EXPECT_EQ(
        firstError(compile(lastColumn)),
        at(lineOf(5), 21, "no room for the exit door's 2x2 cells right of and below its top left"));
    Map bottomRow;
    bottomRow.put(18, 8, "..").put(18, 9, "..").put(12, 11, "[]");
    EXPECT_EQ(firstError(compile(bottomRow)),
              at(lineOf(11), 13,
                 "no room for the exit door's 2x2 cells right of and below its top left"));

    Map broken;
    broken.put(18, 9, "{.");
    EXPECT_EQ(firstError(compile(broken)),
              at(lineOf(8), 19,
                 "the exit door needs its four cells: top right beside the top "
                 "left, the bottom pair below them"));

    Map second;
    second.put(9, 4, "[]").put(9, 5, "{}");
    EXPECT_EQ(firstError(compile(second)), at(lineOf(8), 19, "a second exit door; only one opens"));

    Map stray;
    stray.put(9, 5, "}");
    EXPECT_EQ(firstError(compile(stray)),
              at(lineOf(5), 10, "a piece of an exit door away from the door's top left"));
}

TEST(StageText, RingsBehindTheStartAndTooManyLiftsAreRefused) {
    Map behind(30);
    behind.put(1, 9, ".").put(5, 9, ".").put(8, 9, "@").put(3, 6, "o").put(7, 6, "o");
    Compiled c = compile(behind);
    ASSERT_EQ(c.errors.size(), 1u) << firstError(c);
    EXPECT_EQ(c.errors[0],
              at(lineOf(6), 4, "a ring left of the view at the start can never be reached"));

    Map lifts(70);
    for (int col = 2; col < 67; col++)
        lifts.put(col, 3, "-");
    EXPECT_EQ(firstError(compile(lifts)),
              at(lineOf(3), 67,
                 "the 65th lift: a stage has at most 64, and the game ignores "
                 "every cell after the 64th"));
    Map sixtyFour(70);
    for (int col = 2; col < 66; col++)
        sixtyFour.put(col, 3, "-");
    EXPECT_TRUE(compile(sixtyFour).ok);
}

TEST(StageText, LegendFaultsAreRefusedWhereTheyAre) {
    struct Case {
        std::string legend;
        std::string stageHeader;
        std::string error;
    };
    const std::string base = "symbol . 0\nsymbol @ 65\nsymbol o 41\n";
    const Case cases[] = {
        {base + "symbol Q 256 too big\n", "",
         "legend.txt:4:10: \"256\" is not a cell value (0 ... 255)"},
        {base + "symbol Q\n", "", "legend.txt:4:9: the symbol has no cell value"},
        {base + "symbol QQ 5\n", "",
         "legend.txt:4:8: expected one symbol character after "
         "\"symbol\", as in \"symbol o 41 ring\""},
        {base + "symbol o 42\n", "",
         "legend.txt:4:8: symbol 'o' is already defined in this section"},
        {base + "tileset a\ntileset a\n", "", "legend.txt:5:1: tileset \"a\" is defined twice"},
        {base + "colour red\n", "",
         "legend.txt:4:1: expected \"symbol C VALUE\", \"tileset NAME\" "
         "or a comment"},
        {base, "symbol Z 41\n",
         "test.stage:1:8: symbol 'Z' would mean 41, which 'o' already "
         "stands for"},
        {base, "tileset rock\n", "test.stage:1:9: tileset \"rock\" is not in legend.txt"},
    };
    for (const Case& c : cases) {
        Map m;
        m.header = c.stageHeader;
        Compiled got = compileWith(c.legend, m.text(), false);
        EXPECT_FALSE(got.ok) << c.error;
        EXPECT_EQ(firstError(got), c.error);
    }
}

// The program itself, as the build runs it: a broken stage fails the build with the
// message, a good one becomes its stage file.
TEST(StageConverterProgram, FailsOnABrokenStageAndWritesAGoodOne) {
    const std::string dir = std::string(TROBZ_BUILD_DIR) + "/stages-test";
    std::system(("mkdir -p '" + dir + "'").c_str());
    const std::string legend = dir + "/legend.txt", bad = dir + "/bad.stage",
                      good = dir + "/good.stage", out = dir + "/good.bin",
                      errors = dir + "/errors.txt";
    std::ofstream(legend) << LEGEND;
    Map broken;
    broken.put(6, 4, "Q");
    std::ofstream(bad) << broken.text();
    std::ofstream(good) << Map(40).text();
    std::remove(out.c_str());

    const std::string tool = std::string(TROBZ_BUILD_DIR) + "/stageconv --legend '" + legend + "' ";
    int status =
        std::system((tool + "'" + bad + "' '" + dir + "/bad.bin' 2>'" + errors + "'").c_str());
    EXPECT_NE(status, 0);
    std::ifstream e(errors);
    std::string message((std::istreambuf_iterator<char>(e)), std::istreambuf_iterator<char>());
    EXPECT_EQ(message, bad + ":" + std::to_string(lineOf(4)) + ":7: unknown symbol 'Q'\n");
    EXPECT_FALSE(std::ifstream(dir + "/bad.bin").good()) << "a broken stage left a file";

    EXPECT_EQ(std::system((tool + "'" + good + "' '" + out + "'").c_str()), 0);
    std::ifstream o(out, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(o)),
                               std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 2u + 40 * 12);
    EXPECT_EQ(bytes[0], 39);
    EXPECT_EQ(bytes[1], 0);
    // the title form accepts a map without hero or door
    Map title(40);
    title.put(1, 9, ".").put(37, 8, "..").put(37, 9, "..").put(5, 9, ".");
    std::ofstream(good) << title.text();
    EXPECT_NE(std::system((tool + "'" + good + "' 2>/dev/null").c_str()), 0);
    EXPECT_EQ(std::system((tool + "--title '" + good + "'").c_str()), 0);
}

} // namespace
