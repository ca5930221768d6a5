// The game's own files: the hiscore table and the savegame byte for byte, and every file
// (those two and the configuration) replaced through a temporary file beside it, so that a
// full disk or a blocked temporary file never costs the old content.
#include "data/config.h"
#include "data/hiscores.h"
#include "data/safe_write.h"
#include "data/savegame.h"
#include "test_env.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char HS[] = "hiscores.dat";
const char SAVE[] = "savegame.dat";

void writeFile(const std::string& path, const std::string& bytes) {
    writeWholeFile(path, {bytes.begin(), bytes.end()});
}

// Also true for a link that points nowhere.
bool exists(const std::string& path) {
    return std::filesystem::exists(std::filesystem::symlink_status(path));
}

// Runs `write` while no file of this process may grow beyond `bytes`: writes past it fail
// (EFBIG) as they would on a full disk.
void onFullDisk(long bytes, const std::function<void()>& write) {
    struct rlimit old, full;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    full = old;
    full.rlim_cur = (rlim_t)bytes;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    // without this the process would be killed by the signal instead of seeing EFBIG
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    write();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
}

// One 16-byte hiscore entry as the file holds it before scrambling.
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

// The savegame's four bytes for value l and salt k, built byte by byte from the file's layout.
std::string savegameBytes(unsigned l, unsigned k) {
    const unsigned char mask[4] = {0xC4, 0x93, 0x1E, 0x5A}; // 0x5A1E93C4, low byte first
    const unsigned kh = (k >> 8) & 0xFF, kl = k & 0xFF;
    const unsigned plain[4] = {kh, (l ^ kl) & 0xFF, kl, (l ^ kh) & 0xFF};
    std::string out(4, '\0');
    for (int b = 0; b < 4; b++)
        out[b] = (char)(plain[b] ^ mask[b]);
    return out;
}

class HiscoreFile : public ::testing::Test {
  protected:
    void SetUp() override { resetHiscoreTable(); }
    void TearDown() override { resetHiscoreTable(); }
    ScopedTempDir dir;
};

TEST_F(HiscoreFile, AMissingFileIsCreatedAnUnreadableOneIsLeftAndAForgedOneIsReplaced) {
    loadHiscores();
    std::set<std::string> names;
    std::string plain;
    for (int i = 0; i < NUM_HISCORES; i++) {
        const HiscoreEntry& h = hiscores[i];
        EXPECT_TRUE(isDefaultName(h.name) && h.kind == HS_DEFAULT) << h.name;
        EXPECT_TRUE(h.score >= 1000 - 100 * i && h.score < 1100 - 100 * i) << h.score;
        names.insert(h.name);
        plain += entryBytes(h.name, HS_DEFAULT, h.score);
    }
    EXPECT_EQ(names.size(), 10u);
    // the file holds what is in memory, scrambled; memory stays plain
    EXPECT_EQ(readWholeFile(HS), scramble(plain));
    // a link that points to itself cannot be opened, yet is no missing file
    std::filesystem::remove(HS);
    ASSERT_EQ(symlink(HS, HS), 0);
    resetHiscoreTable();
    loadHiscores();
    EXPECT_TRUE(isDefaultName(hiscores[9].name));
    EXPECT_TRUE(std::filesystem::is_symlink(HS));
    // a score past the limit is forged: the whole table goes to CHEATER, in the file too
    std::filesystem::remove(HS);
    writeFile(HS, scramble(entryBytes("ME", HS_PLAYER, HISCORE_MAX_SCORE + 1) +
                           std::string(HISCORE_FILE_BYTES - HISCORE_ENTRY_BYTES, 0)));
    loadHiscores();
    std::string cheaters;
    for (int i = 0; i < NUM_HISCORES; i++)
        cheaters += entryBytes("CHEATER", HS_CHEATER, HISCORE_MAX_SCORE);
    EXPECT_EQ(readWholeFile(HS), scramble(cheaters));
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

TEST_F(HiscoreFile, InsertedScoresTakeTheirPlaceAndAreSaved) {
    std::string plain; // P0 ... P9 from 5000 down in steps of 500
    for (int i = 0; i < NUM_HISCORES; i++)
        plain += entryBytes("P" + std::to_string(i), HS_PLAYER, 5000 - 500 * i);
    writeFile(HS, scramble(plain));
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

TEST(SavegameFile, WrittenWithARandomSaltReadBackAndRefusedWhenEdited) {
    ScopedTempDir dir;
    EXPECT_EQ(loadGame(), 0); // no file
    EXPECT_EQ(savegameBytes(3, 0x1234), std::string("\xD6\xA4\x2A\x4B", 4)) << "worked by hand";
    writeFile(SAVE, savegameBytes(3, 0x1234));
    EXPECT_EQ(loadGame(), 3);
    EXPECT_EQ(writeSavegame(10), 10);
    const std::string file = readWholeFile(SAVE);
    ASSERT_EQ(file.size(), 4u);
    const unsigned k = ((unsigned char)file[2] ^ 0x1E) | ((unsigned char)file[0] ^ 0xC4) << 8;
    EXPECT_TRUE(k != 0 && k != 0xFFFF) << k;
    EXPECT_EQ(file, savegameBytes(10, k));
    EXPECT_EQ(loadGame(), 10);
    writeFile(SAVE, savegameBytes(11, k)); // a stage past the last, as an edited file holds
    EXPECT_EQ(loadGame(), 0);
}

TEST(SafeWrite, ReplacesKeepingPermissionsOrReportsFailureAndKeepsTheOldFile) {
    ScopedTempDir dir;
    EXPECT_TRUE(writeFileSafely("./f.dat", "first", 5));
    chmod("f.dat", 0640);
    writeFile("f.dat.tmp", std::string(300, 'z')); // left by a crash
    EXPECT_TRUE(writeFileSafely("./f.dat", "", 0));
    EXPECT_TRUE(writeFileSafely("./f.dat", "old", 3));
    EXPECT_EQ(readWholeFile("f.dat"), "old");
    EXPECT_EQ(std::filesystem::status("f.dat").permissions(), std::filesystem::perms(0640));
    const std::string big(5000, 'x');
    onFullDisk(1000, [&] { EXPECT_FALSE(writeFileSafely("./f.dat", big.data(), big.size())); });
    EXPECT_EQ(readWholeFile("f.dat"), "old");
    EXPECT_FALSE(exists("f.dat.tmp"));
    for (const char* path : {"./no/such/dir/f.dat", "", (const char*)nullptr})
        EXPECT_FALSE(writeFileSafely(path, "x", 1)) << (path ? path : "null");
    // a directory in the target's place is not replaced
    std::filesystem::create_directory("d");
    EXPECT_FALSE(writeFileSafely("./d", "x", 1));
    EXPECT_FALSE(exists("d.tmp"));
    EXPECT_TRUE(std::filesystem::is_directory("d"));
    // a link in the temporary file's place is replaced, never written through
    writeFile("other.txt", "keep me");
    ASSERT_EQ(symlink("other.txt", "f.dat.tmp"), 0);
    EXPECT_TRUE(writeFileSafely("./f.dat", "new", 3));
    EXPECT_EQ(readWholeFile("other.txt"), "keep me");
    EXPECT_EQ(readWholeFile("f.dat"), "new");
    EXPECT_FALSE(exists("f.dat.tmp"));
}

TEST(SafeWrite, EveryGameFileKeepsItsOldContentWhenTheWriteFails) {
    ScopedTempDir dir;
    resetHiscoreTable();
    const struct {
        std::string file;
        long limit; // bytes the disk takes
        std::function<void()> write;
    } writers[] = {
        {"trobz3.cfg", 100, [] { dumpConfig(); }},
        {SAVE, 2, [] { writeSavegame(7); }},
        {HS, 100, [] { saveHiscores(4800, "FULL"); }},
    };
    for (const auto& w : writers) {
        SCOPED_TRACE(w.file);
        writeFile(w.file, "old");
        onFullDisk(w.limit, w.write);
        EXPECT_EQ(readWholeFile(w.file), "old");
        EXPECT_FALSE(exists(w.file + ".tmp"));
        // a temporary file that cannot even be started
        std::filesystem::create_directory(w.file + ".tmp");
        w.write();
        EXPECT_EQ(readWholeFile(w.file), "old");
        std::filesystem::remove(w.file + ".tmp");
        w.write();
        EXPECT_NE(readWholeFile(w.file), "old");
    }
    EXPECT_EQ(loadGame(), 7);
    // the table in memory is right and plain: one entry for each of the three writes
    EXPECT_EQ(table(), "FULL:4800:0 FULL:4800:0 FULL:4800:0 :1000:1 :900:1 :800:1 :700:1 "
                       ":600:1 :500:1 :400:1 ");
    resetHiscoreTable();
}

} // namespace
