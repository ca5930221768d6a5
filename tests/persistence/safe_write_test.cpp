// Replacing a file through a temporary file beside it.
#include "data/safe_write.h"
#include "persist_files.h"
#include "test_env.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace {

TEST(SafeWrite, CreatesAndReplacesWithoutLeftovers) {
    ScopedTempDir dir;
    EXPECT_TRUE(writeFileSafely("./f.dat", "first", 5));
    EXPECT_EQ(readFile("f.dat"), "first");
    EXPECT_TRUE(writeFileSafely("./f.dat", "2", 1));
    EXPECT_EQ(readFile("f.dat"), "2");
    EXPECT_TRUE(writeFileSafely("./f.dat", "", 0));
    EXPECT_EQ(readFile("f.dat"), "");
    EXPECT_FALSE(fileExists("f.dat.tmp"));
}

TEST(SafeWrite, ShortWriteReportsFailureAndKeepsTheOldFile) {
    ScopedTempDir dir;
    writeFile("f.dat", "old content");
    std::string big(5000, 'x');
    {
        ScopedFileSizeLimit limit(1000);
        EXPECT_FALSE(writeFileSafely("./f.dat", big.data(), big.size()));
    }
    EXPECT_EQ(readFile("f.dat"), "old content");
    EXPECT_FALSE(fileExists("f.dat.tmp"));
}

TEST(SafeWrite, LeftoverTemporaryFileIsOverwritten) {
    ScopedTempDir dir;
    writeFile("f.dat.tmp", std::string(300, 'z'));
    EXPECT_TRUE(writeFileSafely("./f.dat", "new", 3));
    EXPECT_EQ(readFile("f.dat"), "new");
    EXPECT_FALSE(fileExists("f.dat.tmp"));
}

TEST(SafeWrite, UnwritablePlacesFail) {
    ScopedTempDir dir;
    EXPECT_FALSE(writeFileSafely("./no/such/dir/f.dat", "x", 1));
    EXPECT_FALSE(writeFileSafely("", "x", 1));
    EXPECT_FALSE(writeFileSafely(nullptr, "x", 1));
    // a directory in the target's place is not replaced
    mkdir("d", 0700);
    EXPECT_FALSE(writeFileSafely("./d", "x", 1));
    EXPECT_FALSE(fileExists("d.tmp"));
    struct stat st;
    ASSERT_EQ(stat("d", &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

} // namespace
