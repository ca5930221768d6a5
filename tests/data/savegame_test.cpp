// The savegame: exact bytes, round trips, and rejection of damaged or edited files.
#include "data/savegame.h"
#include "persist_files.h"
#include "test_env.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const char SAVE[] = "savegame.dat";

// The stored bytes for value l and salt k, built byte by byte from the file's layout.
std::string savegameBytes(unsigned l, unsigned k) {
    const unsigned char mask[4] = {0xC4, 0x93, 0x1E, 0x5A}; // 0x5A1E93C4, low byte first
    const unsigned kh = (k >> 8) & 0xFF, kl = k & 0xFF;
    const unsigned plain[4] = {kh, (l ^ kl) & 0xFF, kl, (l ^ kh) & 0xFF};
    std::string out(4, '\0');
    for (int b = 0; b < 4; b++)
        out[b] = (char)(plain[b] ^ mask[b]);
    return out;
}

class SavegameFile : public ::testing::Test {
  protected:
    ScopedTempDir dir;
};

TEST_F(SavegameFile, WhatIsReadAndWhatIsNot) {
    EXPECT_EQ(loadGame(), 0); // no file
    struct Case {
        std::string bytes;
        int value;
    } cases[] = {
        {std::string("\xD6\xA4\x2A\x4B", 4), 3}, // worked by hand: salt 0x1234, value 3
        {savegameBytes(3, 0x1234).substr(0, 3), 0},
        {std::string(4, '\0'), 0},
        {savegameBytes(10, 0x3C5A), 10},
        {savegameBytes(11, 0x3C5A), 0},
        {savegameBytes(4, 0x0000), 0}, // a salt of all zero bits
        {savegameBytes(4, 0x0001), 4},
    };
    for (const Case& c : cases) {
        writeFile(SAVE, c.bytes);
        EXPECT_EQ(loadGame(), c.value) << testing::PrintToString(c.bytes);
    }
}

TEST_F(SavegameFile, WriterStoresARandomSaltAndTheValueButNothingUnreadable) {
    std::string first;
    for (int l = 1; l <= 10; l++) {
        EXPECT_EQ(writeSavegame(l), l);
        const std::string file = readWholeFile(SAVE);
        ASSERT_EQ(file.size(), 4u);
        const unsigned k = ((unsigned char)file[2] ^ 0x1E) | ((unsigned char)file[0] ^ 0xC4) << 8;
        EXPECT_TRUE(k != 0 && k != 0xFFFF) << k;
        EXPECT_EQ(file, savegameBytes(l, k)) << l;
        EXPECT_EQ(loadGame(), l);
        if (l == 1) first = file;
    }
    // a value that would read back as no savegame is not written
    for (int value : {0, 11, -2})
        EXPECT_EQ(writeSavegame(value), value);
    EXPECT_EQ(loadGame(), 10);
    // two saves of one stage differ but load alike
    writeSavegame(1);
    EXPECT_NE(readWholeFile(SAVE), first);
    EXPECT_EQ(loadGame(), 1);
}

} // namespace
