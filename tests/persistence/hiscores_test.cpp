// The hiscore file: its exact bytes, loading (missing file, implausible tables, default
// names), inserting new scores, and keeping the old file when a write fails.
#include "data/hiscores.h"
#include "persist_files.h"
#include "test_env.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char HS[] = "hiscores.dat";

struct Plain {
    std::string name;
    int kind;
    int32_t score;
    unsigned char reserved0 = 0, reserved1 = 0;
};

// One 16-byte entry as the file holds it before scrambling.
std::string entryBytes(const Plain& p, unsigned char byte8 = 0) {
    std::string e(16, '\0');
    for (size_t i = 0; i < p.name.size() && i < 8; i++)
        e[i] = p.name[i];
    e[8] = (char)byte8;
    e[9] = (char)p.kind;
    e[10] = (char)p.reserved0;
    e[11] = (char)p.reserved1;
    uint32_t s = (uint32_t)p.score;
    for (int b = 0; b < 4; b++)
        e[12 + b] = (char)(s >> (8 * b));
    return e;
}

// The running XOR with seed 0xD6, written out independently of the game's own.
std::string scramble(const std::string& plain) {
    std::string out = plain;
    unsigned char r = 0xD6;
    for (char& c : out) {
        r ^= (unsigned char)c;
        c = (char)r;
    }
    return out;
}

std::string unscramble(const std::string& coded) {
    std::string out = coded;
    unsigned char q = 0xD6;
    for (char& c : out) {
        unsigned char b = (unsigned char)c;
        c = (char)(q ^ b);
        q = b;
    }
    return out;
}

// A plausible table: ten player entries from 5000 down in steps of 500.
std::string playerTable() {
    std::string plain;
    for (int i = 0; i < NUM_HISCORES; i++)
        plain += entryBytes({"P" + std::to_string(i), HS_PLAYER, 5000 - 500 * i});
    return plain;
}

bool isDefaultName(const char* name) {
    for (const char* n : score_names)
        if (std::strcmp(n, name) == 0) return true;
    return false;
}

class HiscoreFile : public ::testing::Test {
  protected:
    void SetUp() override { resetHiscoreTable(); }
    void TearDown() override { resetHiscoreTable(); }
    ScopedTempDir dir;
};

TEST(DefaultNames, SeventeenShortUpperCaseNamesAllDifferent) {
    std::set<std::string> seen;
    for (const char* n : score_names) {
        std::string s = n;
        EXPECT_GE(s.size(), 3u) << s;
        EXPECT_LE(s.size(), 7u) << s;
        for (char c : s)
            EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) << s;
        seen.insert(s);
    }
    EXPECT_EQ(seen.size(), (size_t)NUM_SCORE_NAMES);
}

TEST_F(HiscoreFile, BuiltInTableBeforeAnyFile) {
    for (int i = 0; i < NUM_HISCORES; i++) {
        EXPECT_STREQ(hiscores[i].name, "");
        EXPECT_EQ(hiscores[i].kind, HS_DEFAULT);
        EXPECT_EQ(hiscores[i].score, 1000 - 100 * i);
    }
}

TEST_F(HiscoreFile, SavedBytesAreTheScrambledTable) {
    hiscores[0] = HiscoreEntry{"AB", HS_PLAYER, {0, 0}, 0x01020304};
    saveBuffer();
    std::string file = readFile(HS);
    ASSERT_EQ(file.size(), 160u);
    // worked by hand: 0xD6^'A' = 0x97, ^'B' = 0xD5, the zero bytes repeat it, kind 0 too
    const unsigned char head[] = {0x97, 0xD5, 0xD5, 0xD5, 0xD5, 0xD5, 0xD5, 0xD5,
                                  0xD5, 0xD5, 0xD5, 0xD5, 0xD1, 0xD2, 0xD0, 0xD1};
    for (int i = 0; i < 16; i++)
        EXPECT_EQ((unsigned char)file[i], head[i]) << i;
    std::string expected;
    expected += entryBytes({"AB", HS_PLAYER, 0x01020304});
    for (int i = 1; i < NUM_HISCORES; i++)
        expected += entryBytes({"", HS_DEFAULT, 1000 - 100 * i});
    EXPECT_EQ(file, scramble(expected));
    // the table in memory stays plain
    EXPECT_STREQ(hiscores[0].name, "AB");
    EXPECT_EQ(hiscores[1].score, 900);
}

TEST_F(HiscoreFile, MissingFileCreatesTenDefaultEntries) {
    loadHiscores();
    ASSERT_TRUE(fileExists(HS));
    std::string plain = unscramble(readFile(HS));
    ASSERT_EQ(plain.size(), 160u);
    std::set<std::string> names;
    for (int i = 0; i < NUM_HISCORES; i++) {
        const HiscoreEntry& h = hiscores[i];
        EXPECT_TRUE(isDefaultName(h.name)) << h.name;
        names.insert(h.name);
        EXPECT_EQ(h.kind, HS_DEFAULT);
        EXPECT_GE(h.score, 1000 - 100 * i);
        EXPECT_LE(h.score, 1099 - 100 * i);
        // the file holds exactly what is in memory
        EXPECT_EQ(plain.substr(16 * i, 16), entryBytes({h.name, HS_DEFAULT, h.score}));
    }
    EXPECT_EQ(names.size(), 10u);
}

TEST_F(HiscoreFile, StoredTableIsLoadedAsItIs) {
    std::string plain = playerTable();
    writeFile(HS, scramble(plain));
    loadHiscores();
    for (int i = 0; i < NUM_HISCORES; i++) {
        EXPECT_EQ(std::string(hiscores[i].name), "P" + std::to_string(i));
        EXPECT_EQ(hiscores[i].kind, HS_PLAYER);
        EXPECT_EQ(hiscores[i].score, 5000 - 500 * i);
    }
    // loading does not rewrite the file
    EXPECT_EQ(unscramble(readFile(HS)), plain);
}

TEST_F(HiscoreFile, DefaultAndNamelessEntriesGetNewNamesAtEveryLoad) {
    std::string plain;
    plain += entryBytes({"ANNA", HS_PLAYER, 3000});
    plain += entryBytes({"OLDNAME", HS_DEFAULT, 2500});
    plain += entryBytes({"", HS_PLAYER, 2000});
    plain += entryBytes({"CHEATER", HS_CHEATER, 1500});
    plain += entryBytes({"", HS_CHEATER, 1400});
    for (int i = 5; i < NUM_HISCORES; i++)
        plain += entryBytes({"KIMO", HS_DEFAULT, 1000 - 100 * i});
    writeFile(HS, scramble(plain));
    srand(1);
    loadHiscores();
    EXPECT_STREQ(hiscores[0].name, "ANNA");
    EXPECT_STREQ(hiscores[3].name, "CHEATER");
    std::set<std::string> given;
    for (int i : {1, 2, 4, 5, 6, 7, 8, 9}) {
        EXPECT_TRUE(isDefaultName(hiscores[i].name)) << i << " " << hiscores[i].name;
        given.insert(hiscores[i].name);
    }
    EXPECT_EQ(given.size(), 8u); // no name handed out twice in one load
    // scores and kinds stay as stored
    EXPECT_EQ(hiscores[1].score, 2500);
    EXPECT_EQ(hiscores[1].kind, HS_DEFAULT);
    EXPECT_EQ(hiscores[2].kind, HS_PLAYER);
    EXPECT_EQ(hiscores[4].kind, HS_CHEATER);
    EXPECT_EQ(hiscores[9].score, 100);

    // another start draws other names for the default entries only
    std::set<std::string> seenForEntry1;
    for (int run = 0; run < 20; run++) {
        srand(100 + run);
        loadHiscores();
        EXPECT_STREQ(hiscores[0].name, "ANNA");
        EXPECT_STREQ(hiscores[3].name, "CHEATER");
        seenForEntry1.insert(hiscores[1].name);
    }
    EXPECT_GT(seenForEntry1.size(), 1u);
}

TEST_F(HiscoreFile, ImplausibleTableBecomesCheaterEntries) {
    struct Forgery {
        const char* what;
        Plain entry;
        unsigned char byte8;
    };
    const Forgery forgeries[] = {
        {"score above the limit", {"X", HS_PLAYER, 50001}, 0},
        {"negative score", {"X", HS_PLAYER, -1}, 0},
        {"unknown kind", {"X", 3, 100}, 0},
        {"unterminated name", {"ABCDEFGH", HS_PLAYER, 100}, 'I'},
    };
    for (const Forgery& f : forgeries) {
        resetHiscoreTable();
        std::string plain = playerTable();
        Plain last = f.entry;
        last.reserved0 = 0x5A; // reserved bytes survive the replacement
        plain.replace(16 * 9, 16, entryBytes(last, f.byte8));
        writeFile(HS, scramble(plain));
        loadHiscores();
        for (int i = 0; i < NUM_HISCORES; i++) {
            EXPECT_STREQ(hiscores[i].name, "CHEATER") << f.what;
            EXPECT_EQ(hiscores[i].name[8], 0) << f.what;
            EXPECT_EQ(hiscores[i].kind, HS_CHEATER) << f.what;
            EXPECT_EQ(hiscores[i].score, 50000) << f.what;
        }
        EXPECT_EQ(hiscores[9].reserved[0], 0x5A) << f.what;
        EXPECT_EQ(hiscores[8].reserved[0], 0) << f.what;
        // saved at once, and a later start keeps it
        resetHiscoreTable();
        loadHiscores();
        EXPECT_STREQ(hiscores[0].name, "CHEATER") << f.what;
        EXPECT_EQ(hiscores[5].score, 50000) << f.what;
    }
}

TEST_F(HiscoreFile, LimitScoresArePlausible) {
    std::string plain = playerTable();
    plain.replace(0, 16, entryBytes({"TOP", HS_PLAYER, 50000}));
    plain.replace(16 * 9, 16, entryBytes({"LOW", HS_PLAYER, 0}));
    writeFile(HS, scramble(plain));
    loadHiscores();
    EXPECT_STREQ(hiscores[0].name, "TOP");
    EXPECT_EQ(hiscores[0].score, 50000);
    EXPECT_STREQ(hiscores[9].name, "LOW");
    EXPECT_EQ(hiscores[9].score, 0);
}

TEST_F(HiscoreFile, FileThatExistsButCannotBeOpenedIsNotReplaced) {
    // a link that points to itself cannot be opened, yet is no missing file
    ASSERT_EQ(symlink(HS, HS), 0);
    loadHiscores();
    for (int i = 0; i < NUM_HISCORES; i++) {
        EXPECT_TRUE(isDefaultName(hiscores[i].name));
        EXPECT_EQ(hiscores[i].kind, HS_DEFAULT);
    }
    struct stat st;
    ASSERT_EQ(lstat(HS, &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(HiscoreFile, TruncatedFileIsDecodedWithTheTableInMemoryAndRejected) {
    // the built-in bytes behind one valid entry do not decode to a plausible table
    writeFile(HS, scramble(playerTable()).substr(0, 16));
    loadHiscores();
    EXPECT_STREQ(hiscores[0].name, "CHEATER");
    EXPECT_EQ(readFile(HS).size(), 160u);
    resetHiscoreTable();
    writeFile(HS, "");
    loadHiscores();
    EXPECT_EQ(hiscores[9].kind, HS_CHEATER);
}

// inserting

class HiscoreInsert : public HiscoreFile {
  protected:
    void SetUp() override {
        writeFile(HS, scramble(playerTable())); // 5000, 4500, ... 500
        loadHiscores();
    }
};

TEST_F(HiscoreInsert, PositionsAndShifts) {
    EXPECT_EQ(saveHiscores(9000, "BEST"), 0);
    EXPECT_STREQ(hiscores[0].name, "BEST");
    EXPECT_STREQ(hiscores[1].name, "P0");
    EXPECT_STREQ(hiscores[9].name, "P8"); // P9 dropped out
    EXPECT_EQ(hiscores[9].score, 1000);

    // an equal score goes below the entry it ties with
    EXPECT_EQ(saveHiscores(4500, "TIE"), 3);
    EXPECT_STREQ(hiscores[2].name, "P1");
    EXPECT_STREQ(hiscores[3].name, "TIE");
    EXPECT_EQ(hiscores[3].kind, HS_PLAYER);
    EXPECT_STREQ(hiscores[4].name, "P2");

    // beating entry 9 but not entry 8 replaces entry 9
    EXPECT_EQ(hiscores[8].score, 2000);
    EXPECT_EQ(saveHiscores(1800, "LAST"), 9);
    EXPECT_STREQ(hiscores[8].name, "P6");
    EXPECT_STREQ(hiscores[9].name, "LAST");
    EXPECT_EQ(hiscores[9].score, 1800);

    // the file holds the new table
    HiscoreEntry before[NUM_HISCORES];
    std::memcpy(before, hiscores, sizeof before);
    resetHiscoreTable();
    loadHiscores();
    for (int i = 0; i < NUM_HISCORES; i++) {
        EXPECT_STREQ(hiscores[i].name, before[i].name);
        EXPECT_EQ(hiscores[i].score, before[i].score);
    }
}

TEST_F(HiscoreInsert, ScoreThatDoesNotBeatTheLastEntryChangesNothing) {
    std::string file = readFile(HS);
    HiscoreEntry before[NUM_HISCORES];
    std::memcpy(before, hiscores, sizeof before);
    for (int score : {500, 499, 0, -20}) {
        EXPECT_EQ(saveHiscores(score, "NOPE"), -1) << score;
        EXPECT_EQ(std::memcmp(before, hiscores, sizeof before), 0) << score;
        EXPECT_EQ(readFile(HS), file) << score;
    }
    EXPECT_EQ(saveHiscores(501, "JUST"), 9);
}

TEST_F(HiscoreInsert, NamesAreCutToEightCharacters) {
    EXPECT_EQ(saveHiscores(6000, "ABCDEFGHIJK"), 0);
    EXPECT_STREQ(hiscores[0].name, "ABCDEFGH");
    EXPECT_EQ(hiscores[0].name[8], 0);
    // a short name clears what the longer one before it left in the field
    EXPECT_EQ(saveHiscores(7000, "Z"), 0);
    EXPECT_STREQ(hiscores[0].name, "Z");
    for (int b = 1; b < 9; b++)
        EXPECT_EQ(hiscores[0].name[b], 0) << b;
    EXPECT_STREQ(hiscores[1].name, "ABCDEFGH");
    EXPECT_EQ(saveHiscores(8000, nullptr), 0);
    EXPECT_STREQ(hiscores[0].name, "");
}

TEST_F(HiscoreInsert, ScoreAboveTheFileLimitIsKeptValid) {
    EXPECT_EQ(saveHiscores(75000, "HUGE"), 0);
    EXPECT_EQ(hiscores[0].score, 50000);
    // the next start does not take the table for a forgery
    resetHiscoreTable();
    loadHiscores();
    EXPECT_STREQ(hiscores[0].name, "HUGE");
    EXPECT_STREQ(hiscores[1].name, "P0");
}

TEST_F(HiscoreInsert, FailedWriteKeepsTheOldFileAndTheNewTable) {
    std::string file = readFile(HS);
    {
        ScopedFileSizeLimit limit(100);
        EXPECT_EQ(saveHiscores(4800, "FULL"), 1);
    }
    EXPECT_EQ(readFile(HS), file);
    EXPECT_FALSE(fileExists("hiscores.dat.tmp"));
    EXPECT_STREQ(hiscores[1].name, "FULL"); // memory is right and plain
    mkdir("hiscores.dat.tmp", 0700);
    saveBuffer();
    EXPECT_EQ(readFile(HS), file);
}

} // namespace
