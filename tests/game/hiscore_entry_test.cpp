// The hiscore name entry (letters, cursor, the cut after the cursor, the eighth letter, START
// held at once) and the table with its blinking new entry.
#include "flow_fixture.h"

#include "data/hiscores.h"
#include "game/flow.h"
#include "game/hiscore_screen.h"
#include "gfx/font.h"
#include "gfx/video.h"
#include "world/flowstate.h"

#include <cstring>
#include <filesystem>

class NameEntryTest : public HiscoreFlowTest {
  protected:
    void SetUp() override {
        HiscoreFlowTest::SetUp();
        score = 150;
    }
};

namespace {

// Holds one key per input frame of the entry, by letter: U, D, L, R, J(ump), P(ause),
// S(tart), or nothing for a blank; a run of one letter holds the key through the run. The
// entry reads the input only when its cooldown is over, so each frame is one step of it.
void script(InputScript& s, const std::string& keys) {
    const std::string letters = "UDLRJPS";
    const int syms[] = {K_UP, K_DOWN, K_LEFT, K_RIGHT, K_SPACE, K_TAB, K_RETURN};
    for (size_t i = 0; i < keys.size(); i++) {
        const size_t k = letters.find(keys[i]);
        if (k == std::string::npos) continue;
        if (i == 0 || keys[i - 1] != keys[i]) s.key((int)i + 1, syms[k], true);
        if (i + 1 == keys.size() || keys[i + 1] != keys[i]) s.key((int)i + 2, syms[k], false);
    }
}

} // namespace

TEST_F(NameEntryTest, NamesAreCutAfterTheCursorOrFullAfterTheEighthLetter) {
    const std::pair<const char*, const char*> cases[] = {
        {"S", "A"},               // START at once
        {"RRS", "AAA"},           // two steps right
        {"JPS", "AAA"},           // JUMP and PAUSE step right too
        {"RRRRRRRR", "AAAAAAAA"}, // past the eighth letter the entry ends by itself
        {"RRRULLS", "AA"},        // back left cuts what lies right
        // A down to the blank and Z, up to the blank and A, down to the blank; then B
        {"DDUUDRUS", " B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        resetHiscoreTable();
        InputScript s;
        script(s, c.first);
        space = 0;
        EXPECT_EQ(checkHiscore(&hero), 9);
        EXPECT_EQ(hsRank, -1); // the caller stores the place
        EXPECT_STREQ(hiscores[9].name, c.second);
        EXPECT_EQ(hiscores[9].score, 150);
        EXPECT_EQ(space, 0); // START was waited out
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

    std::filesystem::remove("hiscores.dat");
    resetHiscoreTable();
    score = 100; // equal to the tenth entry is not enough
    hsRank = 5;
    EXPECT_EQ(checkHiscore(&hero), -1);
    EXPECT_EQ(hsRank, -1);
    EXPECT_FALSE(std::filesystem::exists("hiscores.dat"));
}

TEST_F(NameEntryTest, AQuitRequestDoesNotStopTheEntry) {
    InputScript s;
    s.quit(1);
    script(s, " RS");
    score = 2000;
    EXPECT_EQ(checkHiscore(&hero), 0);
    EXPECT_STREQ(hiscores[0].name, "AA");
    EXPECT_EQ(escape, 1); // left for the caller
}

namespace {

// Lit pixels in the rows of the first four entries of the table drawn over black at `frame`.
std::vector<int> drawTable(int frame) {
    fillRect(screen, 0, 0, 320, 240, BLACK);
    hiscoreOverlay(frame);
    std::vector<int> lit(4, 0);
    for (int r = 0; r < 4; r++)
        for (int y = 48 + 18 * r; y < 48 + 18 * r + 16; y++)
            for (int x = 0; x < 320; x++)
                lit[r] += pixelRGB(screen, x, y) != 0;
    return lit;
}

// The pixels across the first score.
std::vector<uint32_t> firstScore() {
    std::vector<uint32_t> row;
    for (int x = 192; x < 192 + 80; x++)
        row.push_back(pixelRGB(screen, x, 48 + 8));
    return row;
}

} // namespace

TEST_F(FlowTest, TheHiscoreTableBlinksOnlyTheNewEntryAndShowsFiveDigits) {
    resetHiscoreTable();
    std::strcpy(hiscores[2].name, "NEWBIE");
    hsRank = 2;
    const std::vector<int> shown = drawTable(0), blinked = drawTable(32);
    EXPECT_GT(shown[2], 0);
    EXPECT_GT(shown[3], 0);
    // the new entry is left out while bit 5 is set
    EXPECT_EQ(blinked, (std::vector<int>{shown[0], shown[1], 0, shown[3]}));
    // 1000 shows as 01000
    const std::vector<uint32_t> drawn = firstScore();
    fillRect(screen, 0, 0, 320, 240, BLACK);
    drawTextAt(screen, "01000", 192, 48, fontbig);
    EXPECT_EQ(drawn, firstScore());
}
