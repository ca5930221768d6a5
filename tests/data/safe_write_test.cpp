// Replacing a file through a temporary file beside it, and the game's three files written
// that way: a full disk or a blocked temporary file never costs the old file.
#include "data/config.h"
#include "data/hiscores.h"
#include "data/safe_write.h"
#include "data/savegame.h"
#include "persist_files.h"
#include "test_env.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace {

bool exists(const std::string& path) {
    return std::filesystem::exists(std::filesystem::symlink_status(path));
}

TEST(SafeWrite, ReplacesKeepingPermissionsOrReportsFailureAndKeepsTheOldFile) {
    ScopedTempDir dir;
    EXPECT_TRUE(writeFileSafely("./f.dat", "first", 5));
    chmod("f.dat", 0640);
    writeFile("f.dat.tmp", std::string(300, 'z')); // left by a crash
    EXPECT_TRUE(writeFileSafely("./f.dat", "", 0));
    EXPECT_TRUE(writeFileSafely("./f.dat", "old", 3));
    EXPECT_EQ(readWholeFile("f.dat"), "old");
    struct stat st;
    ASSERT_EQ(stat("f.dat", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    const std::string big(5000, 'x');
    {
        ScopedFileSizeLimit limit(1000);
        EXPECT_FALSE(writeFileSafely("./f.dat", big.data(), big.size()));
    }
    EXPECT_EQ(readWholeFile("f.dat"), "old");
    EXPECT_FALSE(exists("f.dat.tmp"));
    EXPECT_FALSE(writeFileSafely("./no/such/dir/f.dat", "x", 1));
    EXPECT_FALSE(writeFileSafely("", "x", 1));
    EXPECT_FALSE(writeFileSafely(nullptr, "x", 1));
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
    restoreStartSettings();
    resetHiscoreTable();
    struct Writer {
        std::string file;
        long limit; // bytes the disk takes
        std::function<void()> write;
    } writers[] = {
        {"trobz3.cfg", 100, [] { dumpConfig(); }},
        {"savegame.dat", 2, [] { writeSavegame(7); }},
        {"hiscores.dat", 100, [] { saveHiscores(4800, "FULL"); }},
    };
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.file);
        const std::string old = w.file == "savegame.dat" ? "\xD6\xA4\x2A\x4B" : "old";
        writeFile(w.file, old);
        {
            ScopedFileSizeLimit limit(w.limit);
            w.write();
        }
        EXPECT_EQ(readWholeFile(w.file), old);
        EXPECT_FALSE(exists(w.file + ".tmp"));
        // a temporary file that cannot even be started
        std::filesystem::create_directory(w.file + ".tmp");
        w.write();
        EXPECT_EQ(readWholeFile(w.file), old);
        std::filesystem::remove(w.file + ".tmp");
        w.write();
        EXPECT_NE(readWholeFile(w.file), old);
    }
    EXPECT_EQ(loadGame(), 7);
    // the table in memory is right and plain: one entry for each of the three writes
    EXPECT_STREQ(hiscores[2].name, "FULL");
    EXPECT_EQ(hiscores[2].score, 4800);
    EXPECT_EQ(hiscores[3].score, 1000);
    resetHiscoreTable();
}

} // namespace
