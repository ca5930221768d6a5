// The hiscore file: its exact bytes, loading (missing file, default names, a file that cannot
// be opened) and inserting new scores.
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

// One 16-byte entry as the file holds it before scrambling.
std::string entryBytes(const std::string& name, int kind, int32_t score) {
    std::string e = name.substr(0, 8);
    e.resize(16, '\0');
    e[9] = (char)kind;
    for (int b = 0; b < 4; b++)
        e[12 + b] = (char)((uint32_t)score >> (8 * b));
    return e;
}

// The running XOR with seed 0xD6, written out independently of the game's own.
std::string scramble(std::string bytes) {
    unsigned char r = 0xD6;
    for (char& c : bytes)
        c = (char)(r ^= (unsigned char)c);
    return bytes;
}

// A plausible table: ten player entries P0 ... P9 from 5000 down in steps of 500.
std::string playerTable() {
    std::string plain;
    for (int i = 0; i < NUM_HISCORES; i++)
        plain += entryBytes("P" + std::to_string(i), HS_PLAYER, 5000 - 500 * i);
    return plain;
}

bool isDefaultName(const char* name) {
    for (const char* n : score_names)
        if (std::strcmp(n, name) == 0) return true;
    return false;
}

// The table in memory as "name:score:kind" entries, each followed by a blank; with
// `masked`, default names show as "*".
std::string table(bool masked = false) {
    std::string text;
    for (const HiscoreEntry& h : hiscores)
        text += (masked && isDefaultName(h.name) ? std::string("*") : std::string(h.name)) + ":" +
                std::to_string(h.score) + ":" + std::to_string(h.kind) + " ";
    return text;
}

class HiscoreFile : public ::testing::Test {
  protected:
    void SetUp() override { resetHiscoreTable(); }
    void TearDown() override { resetHiscoreTable(); }
    ScopedTempDir dir;
};

TEST_F(HiscoreFile, MissingFileCreatesTenDefaultEntriesWithDifferentNames) {
    loadHiscores();
    std::set<std::string> names;
    std::string plain;
    for (int i = 0; i < NUM_HISCORES; i++) {
        const HiscoreEntry& h = hiscores[i];
        EXPECT_TRUE(isDefaultName(h.name)) << h.name;
        names.insert(h.name);
        EXPECT_EQ(h.kind, HS_DEFAULT);
        EXPECT_GE(h.score, 1000 - 100 * i);
        EXPECT_LE(h.score, 1099 - 100 * i);
        plain += entryBytes(h.name, HS_DEFAULT, h.score);
    }
    EXPECT_EQ(names.size(), 10u);
    // the file holds what is in memory, scrambled; memory stays plain
    EXPECT_EQ(readWholeFile(HS), scramble(plain));
}

TEST_F(HiscoreFile, DefaultAndNamelessEntriesGetNewNamesAtEveryLoad) {
    std::string plain = entryBytes("ANNA", HS_PLAYER, 3000) +
                        entryBytes("OLDNAME", HS_DEFAULT, 2500) + entryBytes("", HS_PLAYER, 2000) +
                        entryBytes("CHEATER", HS_CHEATER, 1500) + entryBytes("", HS_CHEATER, 1400);
    for (int i = 5; i < NUM_HISCORES; i++)
        plain += entryBytes("KIMO", HS_DEFAULT, 1000 - 100 * i);
    writeFile(HS, scramble(plain));
    std::set<std::string> seenForEntry1;
    for (unsigned seed = 1; seed <= 20; seed++) {
        srand(seed);
        loadHiscores();
        EXPECT_EQ(table(true), "ANNA:3000:0 *:2500:1 *:2000:0 CHEATER:1500:2 *:1400:2 *:500:1 "
                               "*:400:1 *:300:1 *:200:1 *:100:1 ");
        std::set<std::string> given; // no name handed out twice in one load
        for (const HiscoreEntry& h : hiscores)
            given.insert(h.name);
        EXPECT_EQ(given.size(), 10u);
        seenForEntry1.insert(hiscores[1].name);
    }
    EXPECT_GT(seenForEntry1.size(), 1u);
}

TEST_F(HiscoreFile, FileThatExistsButCannotBeOpenedIsNotReplaced) {
    // a link that points to itself cannot be opened, yet is no missing file
    ASSERT_EQ(symlink(HS, HS), 0);
    loadHiscores();
    EXPECT_TRUE(isDefaultName(hiscores[9].name));
    struct stat st;
    ASSERT_EQ(lstat(HS, &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(HiscoreFile, InsertedScoresTakeTheirPlaceAndAreSaved) {
    writeFile(HS, scramble(playerTable())); // 5000, 4500, ... 500
    loadHiscores();
    const std::string file = readWholeFile(HS), before = table();
    for (int score : {500, -20}) { // not beating the last entry changes nothing
        EXPECT_EQ(saveHiscores(score, "NOPE"), -1) << score;
        EXPECT_EQ(table(), before);
        EXPECT_EQ(readWholeFile(HS), file);
    }
    // a score the file could not hold is stored at the limit, so the next start accepts it
    EXPECT_EQ(saveHiscores(75000, "BEST"), 0);
    EXPECT_EQ(saveHiscores(4500, "TIE"), 3);  // below the entry it ties with
    EXPECT_EQ(saveHiscores(1800, "LAST"), 9); // beats entry 9 but not entry 8
    const std::string expected = "BEST:50000:0 P0:5000:0 P1:4500:0 TIE:4500:0 P2:4000:0 "
                                 "P3:3500:0 P4:3000:0 P5:2500:0 P6:2000:0 LAST:1800:0 ";
    EXPECT_EQ(table(), expected);
    resetHiscoreTable();
    loadHiscores();
    EXPECT_EQ(table(), expected);
}

} // namespace
