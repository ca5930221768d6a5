// The savegame: exact bytes, round trips, and rejection of damaged or edited files.
#include "data/savegame.h"
#include "persist_files.h"
#include "test_env.h"

#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace {

const char SAVE[] = "savegame.dat";

// The stored bytes for value l and salt k, built byte by byte from the file's layout.
std::string savegameBytes(unsigned l, unsigned k) {
    const unsigned char mask[4] = {0xC4, 0x93, 0x1E, 0x5A}; // 0x5A1E93C4, low byte first
    unsigned kh = (k >> 8) & 0xFF, kl = k & 0xFF;
    const unsigned plain[4] = {kh, (l ^ kl) & 0xFF, kl, (l ^ kh) & 0xFF};
    std::string out(4, '\0');
    for (int b = 0; b < 4; b++)
        out[b] = (char)(plain[b] ^ mask[b]);
    return out;
}

// The salt the writer draws after srand(seed).
unsigned saltAfterSeed(unsigned seed) {
    srand(seed);
    for (int i = 0; i < 10; i++) {
        unsigned k = (unsigned)rand() & 0xFFFF;
        if (k != 0 && k != 0xFFFF) return k;
    }
    return 0x4E2B;
}

class SavegameFile : public ::testing::Test {
  protected:
    ScopedTempDir dir;
};

TEST_F(SavegameFile, MissingShortOrZeroFilesHoldNoSavegame) {
    EXPECT_EQ(loadGame(), 0);
    writeFile(SAVE, "");
    EXPECT_EQ(loadGame(), 0);
    writeFile(SAVE, savegameBytes(3, 0x1234).substr(0, 3));
    EXPECT_EQ(loadGame(), 0);
    writeFile(SAVE, std::string(4, '\0'));
    EXPECT_EQ(loadGame(), 0);
}

TEST_F(SavegameFile, HandBuiltFileIsRead) {
    // salt 0x1234, value 3: plain word 0x11343712, masked 0x4B2AA4D6
    writeFile(SAVE, std::string("\xD6\xA4\x2A\x4B", 4));
    EXPECT_EQ(loadGame(), 3);
    EXPECT_EQ(savegameBytes(3, 0x1234), std::string("\xD6\xA4\x2A\x4B", 4));
}

TEST_F(SavegameFile, WriterStoresTheDrawnSaltAndValue) {
    for (unsigned seed : {1u, 7u, 12345u}) {
        for (int l = 1; l <= 10; l++) {
            unsigned k = saltAfterSeed(seed + l);
            srand(seed + l);
            EXPECT_EQ(writeSavegame(l), l);
            EXPECT_EQ(readFile(SAVE), savegameBytes(l, k)) << "seed " << seed << " value " << l;
            EXPECT_EQ(loadGame(), l);
        }
    }
}

TEST_F(SavegameFile, TwoSavesOfOneStageDifferButLoadAlike) {
    srand(42);
    writeSavegame(5);
    std::string first = readFile(SAVE);
    writeSavegame(5);
    std::string second = readFile(SAVE);
    EXPECT_NE(first, second);
    EXPECT_EQ(loadGame(), 5);
    writeFile(SAVE, first);
    EXPECT_EQ(loadGame(), 5);
}

TEST(SavegameCode, EncoderMatchesTheHandBuiltBytes) {
    unsigned char bytes[SAVEGAME_BYTES];
    encodeSavegame(3, 0x1234, bytes);
    EXPECT_EQ(std::string((const char*)bytes, 4), std::string("\xD6\xA4\x2A\x4B", 4));
    for (unsigned k : {0x0001u, 0x00FFu, 0x8000u, 0xFFFEu, 0x5A3Cu})
        for (unsigned l = 1; l <= 10; l++) {
            encodeSavegame((int)l, k, bytes);
            EXPECT_EQ(std::string((const char*)bytes, 4), savegameBytes(l, k));
            EXPECT_EQ(decodeSavegame(bytes), (int)l);
        }
}

TEST(SavegameCode, EveryChangedByteIsDetected) {
    // every value under a spread of salts, each byte changed to each other value
    for (unsigned k = 1; k < 0xFFFF; k += 251) {
        for (unsigned l = 1; l <= 10; l++) {
            const std::string good = savegameBytes(l, k);
            unsigned char bytes[SAVEGAME_BYTES];
            for (int pos = 0; pos < 4; pos++) {
                for (int delta = 1; delta < 256; delta++) {
                    for (int b = 0; b < 4; b++)
                        bytes[b] = (unsigned char)good[b];
                    bytes[pos] ^= (unsigned char)delta;
                    ASSERT_EQ(decodeSavegame(bytes), 0)
                        << "salt " << k << " value " << l << " byte " << pos << " ^ " << delta;
                }
            }
        }
    }
}

TEST_F(SavegameFile, EditedFileIsNoSavegame) {
    const std::string good = savegameBytes(7, 0xBEEF);
    writeFile(SAVE, good);
    ASSERT_EQ(loadGame(), 7);
    for (int pos = 0; pos < 4; pos++) {
        std::string bad = good;
        bad[pos] = (char)(bad[pos] + 1);
        writeFile(SAVE, bad);
        EXPECT_EQ(loadGame(), 0) << pos;
    }
}

TEST_F(SavegameFile, ValuesOutsideOneToTenAndForbiddenSaltsAreRejected) {
    for (unsigned l : {0u, 11u, 12u, 200u, 255u}) {
        writeFile(SAVE, savegameBytes(l, 0x3C5A));
        EXPECT_EQ(loadGame(), 0) << l;
    }
    writeFile(SAVE, savegameBytes(4, 0x0000));
    EXPECT_EQ(loadGame(), 0);
    writeFile(SAVE, savegameBytes(4, 0xFFFF));
    EXPECT_EQ(loadGame(), 0);
    writeFile(SAVE, savegameBytes(10, 0x3C5A));
    EXPECT_EQ(loadGame(), 10);
}

TEST_F(SavegameFile, ValueThatWouldReadBackAsNothingIsNotWritten) {
    writeFile(SAVE, savegameBytes(6, 0x2222));
    EXPECT_EQ(writeSavegame(0), 0);
    EXPECT_EQ(writeSavegame(11), 11);
    EXPECT_EQ(writeSavegame(-2), -2);
    EXPECT_EQ(loadGame(), 6);
}

TEST_F(SavegameFile, FailedWriteLeavesTheOldSavegame) {
    writeFile(SAVE, savegameBytes(6, 0x2222));
    {
        ScopedFileSizeLimit limit(2);
        EXPECT_EQ(writeSavegame(7), 7);
    }
    EXPECT_EQ(loadGame(), 6);
    EXPECT_FALSE(fileExists("savegame.dat.tmp"));
    mkdir("savegame.dat.tmp", 0700);
    writeSavegame(8);
    EXPECT_EQ(loadGame(), 6);
    rmdir("savegame.dat.tmp");
    writeSavegame(8);
    EXPECT_EQ(loadGame(), 8);
}

} // namespace
