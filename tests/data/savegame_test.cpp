// The savegame: its exact bytes, a round trip, and the refusal of an edited file.
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

TEST(SavegameFile, WrittenWithARandomSaltReadBackAndRefusedWhenEdited) {
    ScopedTempDir dir;
    EXPECT_EQ(loadGame(), 0);                            // no file
    writeFile(SAVE, std::string("\xD6\xA4\x2A\x4B", 4)); // worked by hand: salt 0x1234, value 3
    EXPECT_EQ(loadGame(), 3);
    EXPECT_EQ(writeSavegame(10), 10);
    const std::string file = readWholeFile(SAVE);
    ASSERT_EQ(file.size(), 4u);
    const unsigned k = ((unsigned char)file[2] ^ 0x1E) | ((unsigned char)file[0] ^ 0xC4) << 8;
    EXPECT_TRUE(k != 0 && k != 0xFFFF) << k;
    EXPECT_EQ(file, savegameBytes(10, k));
    EXPECT_EQ(loadGame(), 10);
    // a stage past the last, as an edited file would hold, is no savegame
    writeFile(SAVE, savegameBytes(11, k));
    EXPECT_EQ(loadGame(), 0);
}

} // namespace
