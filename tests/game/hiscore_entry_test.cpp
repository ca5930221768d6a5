// The hiscore name entry (letters, cursor, the cut after the cursor, the eighth letter, START
// held at once) and the table with its blinking new entry.
#include "flow_fixture.h"

#include "data/hiscores.h"
#include "game/flow.h"
#include "game/hiscore_screen.h"
#include "gfx/font.h"
#include "gfx/video.h"
#include "world/gamestate.h"

#include <cstring>
#include <filesystem>

class NameEntryTest : public FlowTest {
  protected:
    void SetUp() override {
        FlowTest::SetUp();
        resetHiscoreTable(); // 1000, 900, ... 100
        score = 150;
    }
    ScopedTempDir dir;
};

namespace {

// One key held for whole input frames of the entry: the entry reads the input only when
// its cooldown is over, so each call of the hook is one step of the entry.
struct Hold {
    int sym, from, to; // held from call `from` up to call `to`
};

void script(InputScript& s, const std::vector<Hold>& holds) {
    for (const Hold& h : holds) {
        s.key(h.from, h.sym, true);
        s.key(h.to + 1, h.sym, false);
    }
}

} // namespace

TEST_F(NameEntryTest, NamesAreCutAfterTheCursorOrFullAfterTheEighthLetter) {
    struct Case {
        const char* what;
        std::vector<Hold> holds;
        const char* name;
    } cases[] = {
        {"START at once", {{K_RETURN, 1, 1}}, "A"},
        {"two steps right", {{K_RIGHT, 1, 2}, {K_RETURN, 3, 3}}, "AAA"},
        {"JUMP and PAUSE step right too",
         {{K_SPACE, 1, 1}, {K_TAB, 2, 2}, {K_RETURN, 3, 3}},
         "AAA"},
        {"past the eighth letter", {{K_RIGHT, 1, 8}}, "AAAAAAAA"},
        {"back left cuts what lies right",
         {{K_RIGHT, 1, 3}, {K_UP, 4, 4}, {K_LEFT, 5, 6}, {K_RETURN, 7, 7}},
         "AA"},
        {"letters step around through the blank",
         {{K_DOWN, 1, 2},
          {K_RIGHT, 3, 3},
          {K_DOWN, 4, 4},
          {K_RIGHT, 5, 5},
          {K_UP, 6, 6},
          {K_RETURN, 7, 7}},
         "Z B"},
    };
    int rank = 9;
    for (const Case& c : cases) {
        resetHiscoreTable();
        InputScript s;
        script(s, c.holds);
        space = 0;
        EXPECT_EQ(checkHiscore(&hero), rank) << c.what;
        EXPECT_EQ(hsRank, -1); // the caller stores the place
        EXPECT_STREQ(hiscores[rank].name, c.name) << c.what;
        EXPECT_EQ(hiscores[rank].score, 150);
        EXPECT_EQ(space, 0) << c.what; // START was waited out
    }
    EXPECT_TRUE(std::filesystem::exists("hiscores.dat"));
}

TEST_F(NameEntryTest, StartAlreadyHeldStoresAAndAPoorScoreNothing) {
    space = 1;
    lastKey = CTRL_START;
    InputScript s;
    s.key(2, K_RETURN, false);
    EXPECT_EQ(checkHiscore(&hero), 9);
    EXPECT_STREQ(hiscores[9].name, "A");
    EXPECT_EQ(InputScript::calls, 2); // only the wait for START to go up

    for (int poor : {100, 0}) {
        std::filesystem::remove("hiscores.dat");
        resetHiscoreTable();
        score = poor; // equal to the tenth entry is not enough
        hsRank = 5;
        EXPECT_EQ(checkHiscore(&hero), -1);
        EXPECT_EQ(hsRank, -1);
        EXPECT_FALSE(std::filesystem::exists("hiscores.dat"));
    }
}

TEST_F(NameEntryTest, AQuitRequestDoesNotStopTheEntry) {
    InputScript s;
    s.quit(1);
    script(s, {{K_RIGHT, 2, 2}, {K_RETURN, 3, 3}});
    score = 2000;
    EXPECT_EQ(checkHiscore(&hero), 0);
    EXPECT_STREQ(hiscores[0].name, "AA");
    EXPECT_EQ(escape, 1); // left for the caller
}

TEST(NameLetters, StepAroundTheAlphabetThroughTheBlank) {
    EXPECT_EQ(nextNameChar('A'), 'B');
    EXPECT_EQ(nextNameChar('Y'), 'Z');
    EXPECT_EQ(nextNameChar('Z'), ' ');
    EXPECT_EQ(nextNameChar(' '), 'A');
    EXPECT_EQ(previousNameChar('A'), ' ');
    EXPECT_EQ(previousNameChar(' '), 'Z');
    EXPECT_EQ(previousNameChar('B'), 'A');
    for (char c : {'.', 'a', '\0'}) { // never in a name; a letter again at once
        EXPECT_EQ(nextNameChar(c), 'A');
        EXPECT_EQ(previousNameChar(c), 'A');
    }
}

namespace {

// Pixels that are not black in a band of rows of the picture.
int litPixels(int y, int h, int x0 = 0, int x1 = 320) {
    int n = 0;
    for (int yy = y; yy < y + h; yy++)
        for (int x = x0; x < x1; x++)
            if (pixelRGB(screen, x, yy) != 0) n++;
    return n;
}

} // namespace

TEST_F(FlowTest, TheHiscoreTableBlinksOnlyTheNewEntry) {
    resetHiscoreTable();
    std::strcpy(hiscores[2].name, "NEWBIE");
    hsRank = 2;
    const int rowY[3] = {48 + 18, 48 + 36, 48 + 54}; // entries 1, 2 and 3
    int shown[2][3];
    for (int blink = 0; blink < 2; blink++) {
        fillRect(screen, 0, 0, 320, 240, BLACK);
        hiscoreOverlay(blink ? 32 : 0);
        for (int r = 0; r < 3; r++)
            shown[blink][r] = litPixels(rowY[r], 16);
    }
    EXPECT_GT(shown[0][1], 0);
    EXPECT_EQ(shown[1][1], 0); // the new entry is left out while bit 5 is set
    EXPECT_EQ(shown[0][0], shown[1][0]);
    EXPECT_EQ(shown[0][2], shown[1][2]);
    EXPECT_GT(shown[1][2], 0);

    // scores have five digits with leading zeros
    fillRect(screen, 0, 0, 320, 240, BLACK);
    hsRank = -1;
    hiscoreOverlay(0);
    std::vector<uint32_t> table;
    for (int x = 192; x < 192 + 80; x++)
        table.push_back(pixelRGB(screen, x, 48 + 8));
    fillRect(screen, 0, 0, 320, 240, BLACK);
    drawTextAt(screen, "01000", 192, 48, fontbig);
    for (int x = 192; x < 192 + 80; x++)
        EXPECT_EQ(pixelRGB(screen, x, 48 + 8), table[x - 192]) << x;
}
