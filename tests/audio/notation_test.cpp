// The song notation tool: a broken song stops it with the file and line of the fault and no
// module, however large the numbers in it, and the same song mended makes a module.
#include "test_env.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

const std::string HEAD = "title Test\nformat xm\nchannels 2\n"
                         "inst lead pulse duty=0.5 cycle=16 vol=30\ninst kick kick vol=60\n"
                         "kit K=kick\n";

struct ToolRun {
    int status;
    std::string err;
};

ToolRun trobzmod(const std::string& song) {
    std::ofstream("t.song") << song;
    std::filesystem::remove("t.mod");
    const std::string tool = std::string(TROBZ_BUILD_DIR) + "/trobzmod";
    int status = std::system((tool + " t.song t.mod >out.txt 2>err.txt").c_str());
    return {status, readWholeFile("err.txt")};
}

TEST(SongNotation, ABrokenSongNamesItsLineAndWritesNoModule) {
    ScopedTempDir dir;
    const ToolRun good =
        trobzmod(HEAD + "pattern a 16\n1: @lead C4*8 K*8\n2: K . K .\norder a*3\n");
    ASSERT_EQ(good.status, 0) << good.err;
    EXPECT_GT(std::filesystem::file_size("t.mod"), 336u);

    // the song head has six lines, so a fault in the first line after it is on line 7
    struct Case {
        const char* body;
        int line;
        const char* says;
    };
    const Case cases[] = {
        // lengths and repeats no pattern or order list can hold
        {"pattern a 16\n1: -*0\n", 8, "length out of range"},
        {"pattern a 16\n1: K . K\norder a*200 a*57\n", 9, "more than 256 patterns"},
        // notes transposed below or above what a module can play
        {"phrase r = @lead C0 |\npattern a 16\n1: r-13\n", 9, "note C0 transposed out of range"},
        // instrument recipes asking for a sample of no length or of an absurd one
        {"inst t kick length=-1\n", 7, "no sample"},
        // a mix level that would silence the song or push its volumes past 64
        {"mix 0\n", 7, "mix must be 1 to 100"},
        // a pattern read for fewer channels than the song would end up with
        {"pattern a 16\n1: K . K\nchannels 4\norder a\n", 9, "channels must come before"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        const ToolRun r = trobzmod(HEAD + c.body);
        EXPECT_NE(r.status, 0);
        const std::string want = "t.song:" + std::to_string(c.line) + ": " + c.says;
        EXPECT_NE(r.err.find(want), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists("t.mod"));
    }
}

TEST(SongNotation, NestedRepeatsStopAtThePatternLength) {
    ScopedTempDir dir;
    // a thousand million rows, or a million million empty expansions, are never attempted
    const std::string nested = "phrase a = @lead C4\nphrase b = a*999\nphrase c = b*999\n"
                               "phrase d = c*999\npattern p 16\n1: d*999\n";
    ToolRun r = trobzmod(HEAD + nested);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("t.song:8: more than 256 rows"), std::string::npos) << r.err;
    r = trobzmod(HEAD + "phrase a = @lead C4*200\npattern p 16\n1: a*2\n");
    EXPECT_NE(r.err.find("t.song:9: more than 256 rows"), std::string::npos) << r.err;

    const std::string empty = "phrase a = @lead |\nphrase b = a*999\nphrase c = b*999\n"
                              "phrase d = c*999\nphrase e = d*999\npattern p 16\n"
                              "1: e*999 C4\norder p\n";
    r = trobzmod(HEAD + empty);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists("t.mod"));
}

} // namespace
