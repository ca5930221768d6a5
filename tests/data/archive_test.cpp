// The archive reader against archives the tests build themselves: round trips, lookup
// rules, and every kind of damage a file can carry.
#include "data/archive.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

namespace {

std::vector<unsigned char> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

ZdaMember member(const std::string& name, const std::vector<unsigned char>& data) {
    ZdaMember m;
    m.name = name;
    m.data = data;
    return m;
}

std::vector<unsigned char> randomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<unsigned char> v(n);
    for (auto& b : v)
        b = (unsigned char)rng();
    return v;
}

void put32(std::vector<unsigned char>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++)
        b[at + i] = (unsigned char)(v >> (8 * i));
}

uint32_t get32(const std::vector<unsigned char>& b, size_t at) {
    return (uint32_t)b[at] | ((uint32_t)b[at + 1] << 8) | ((uint32_t)b[at + 2] << 16) |
           ((uint32_t)b[at + 3] << 24);
}

constexpr size_t entryAt(int i) {
    return 12 + 52 * (size_t)i;
}

// Reads a member of archive 0; empty optional-like result: ok = false.
struct Read {
    bool ok = false;
    std::vector<unsigned char> bytes;
    uint32_t size = 0;
};

Read readMember(const char* name, const char* ext, int archive = ZDA_GFX) {
    Read r;
    unsigned char* p = loadZDAFile(archive, name, ext, &r.size);
    if (p) {
        r.ok = true;
        r.bytes.assign(p, p + r.size);
        std::free(p);
    }
    return r;
}

class ArchiveTest : public ::testing::Test {
  protected:
    ScopedTempDir tmp;

    // Writes raw archive bytes as the gfx archive and opens the archives on them.
    void openRaw(const std::vector<unsigned char>& bytes) {
        reader.reset();
        writeWholeFile(tmp.path() + "/data/gfx.zda", bytes);
        reader = std::make_unique<ArchiveDir>(tmp.path() + "/data");
    }
    void SetUp() override { std::filesystem::create_directories(tmp.path() + "/data"); }
    void TearDown() override { reader.reset(); }
    std::unique_ptr<ArchiveDir> reader;
};

const std::vector<unsigned char> TEXT = bytesOf("a member's bytes, plain and simple");

} // namespace

TEST_F(ArchiveTest, MembersComeBackExactlyWithTheirSizes) {
    auto big = randomBytes(200000, 7); // incompressible
    std::vector<unsigned char> zeros(100000, 0);
    openRaw(buildZDA({member("one.bin", {42}), member("text.txt", TEXT), member("big.dat", big),
                      member("zeros.dat", zeros)}));
    Read one = readMember("one", "bin");
    ASSERT_TRUE(one.ok);
    EXPECT_EQ(one.size, 1u);
    EXPECT_EQ(one.bytes, std::vector<unsigned char>{42});
    Read text = readMember("text", "txt");
    ASSERT_TRUE(text.ok);
    EXPECT_EQ(text.bytes, TEXT);
    Read b = readMember("big", "dat");
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(b.size, big.size());
    EXPECT_EQ(b.bytes, big);
    Read z = readMember("zeros", "dat");
    ASSERT_TRUE(z.ok);
    EXPECT_EQ(z.bytes, zeros);
}

TEST_F(ArchiveTest, ScramblingRestartsForEveryMember) {
    // the same content at two places gives the same bytes back
    openRaw(buildZDA(
        {member("a.bin", TEXT), member("pad.bin", randomBytes(333, 1)), member("b.bin", TEXT)}));
    Read a = readMember("a", "bin"), b = readMember("b", "bin");
    ASSERT_TRUE(a.ok && b.ok);
    EXPECT_EQ(a.bytes, TEXT);
    EXPECT_EQ(b.bytes, TEXT);
}

TEST_F(ArchiveTest, LookupIsExactAndTheFirstEntryWins) {
    openRaw(buildZDA({member("Same.bin", bytesOf("first")), member("Same.bin", bytesOf("second!")),
                      member("other.bin", TEXT)}));
    Read r = readMember("Same", "bin");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, bytesOf("first"));
    EXPECT_FALSE(readMember("same", "bin").ok);
    EXPECT_FALSE(readMember("Same", "BIN").ok);
    EXPECT_FALSE(readMember("Sam", "bin").ok);
    EXPECT_FALSE(readMember("Same.bin", "x").ok);
    EXPECT_FALSE(readMember("missing", "bin").ok);
    // the directory queries agree
    const unsigned char* h = zda_full_header[ZDA_GFX];
    EXPECT_EQ(gp_zda_usize(h, "Same.bin"), 5);
    EXPECT_EQ(gp_zda_usize(h, "other.bin"), (int32_t)TEXT.size());
    EXPECT_EQ(gp_zda_csize(h, "nothing.bin"), 0);
    EXPECT_EQ(gp_zda_offset(h, "nothing.bin"), 0);
    EXPECT_EQ(gp_zda_offset(h, "Same.bin"), gp_zda_headersize(h));
}

TEST_F(ArchiveTest, AReadAfterClosingTheFileReopensIt) {
    openRaw(buildZDA({member("a.bin", TEXT)}));
    closeID(ZDA_GFX);
    EXPECT_EQ(zda_file[ZDA_GFX], nullptr);
    EXPECT_NE(zda_full_header[ZDA_GFX], nullptr);
    Read r = readMember("a", "bin");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, TEXT);
    // after closeArchives nothing reads
    closeArchives();
    EXPECT_FALSE(readMember("a", "bin").ok);
}

TEST_F(ArchiveTest, MissingArchivesAreOnlyUnavailable) {
    writeArchive(tmp.path() + "/data", "maps", {member("m.bin", TEXT)});
    reader = std::make_unique<ArchiveDir>(tmp.path() + "/data");
    EXPECT_EQ(zda_full_header[ZDA_GFX], nullptr);
    EXPECT_EQ(zda_full_header[ZDA_MUSIC], nullptr);
    EXPECT_FALSE(readMember("m", "bin", ZDA_MUSIC).ok);
    Read r = readMember("m", "bin", ZDA_MAPS);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, TEXT);
    EXPECT_EQ(loadZDAHeader(ZDA_MAPS), 1); // already present
    EXPECT_FALSE(readMember("m", "bin", 7).ok);
    EXPECT_FALSE(readMember("m", "bin", -1).ok);
}

TEST_F(ArchiveTest, EmptyOrWronglyMarkedArchivesHoldNothing) {
    auto good = buildZDA({member("a.bin", TEXT)});
    auto noEntries = good;
    put32(noEntries, 4, 0);
    openRaw(noEntries);
    EXPECT_FALSE(readMember("a", "bin").ok);
    auto negative = good;
    put32(negative, 4, 0xFFFFFFFF);
    openRaw(negative);
    EXPECT_FALSE(readMember("a", "bin").ok);
    for (size_t at : {0, 1, 2, 3}) {
        auto badMagic = good;
        badMagic[at] ^= 0x20;
        openRaw(badMagic);
        EXPECT_EQ(zda_full_header[ZDA_GFX], nullptr) << "magic byte " << at;
        EXPECT_FALSE(readMember("a", "bin").ok);
    }
    openRaw({'Z', 'D', 'A', 0, 1, 0}); // shorter than a header
    EXPECT_EQ(zda_full_header[ZDA_GFX], nullptr);
    openRaw({});
    EXPECT_EQ(zda_full_header[ZDA_GFX], nullptr);
}

TEST_F(ArchiveTest, EntriesWithoutSizesAreMissing) {
    auto good = buildZDA({member("a.bin", TEXT)});
    for (size_t field : {40, 44}) {
        for (uint32_t v : {0u, 0xFFFFFFFFu, 0x80000000u}) {
            auto bad = good;
            put32(bad, entryAt(0) + field, v);
            openRaw(bad);
            EXPECT_FALSE(readMember("a", "bin").ok) << "field " << field << " = " << v;
        }
    }
}

TEST_F(ArchiveTest, StreamsShorterOrLongerThanTheDirectorySays) {
    auto good = buildZDA({member("a.bin", TEXT)});
    // inflates to fewer bytes than promised: returned with the real size
    auto more = good;
    put32(more, entryAt(0) + 40, (uint32_t)TEXT.size() + 10);
    openRaw(more);
    Read r = readMember("a", "bin");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.size, TEXT.size());
    EXPECT_EQ(r.bytes, TEXT);
    // would inflate to more than promised: fails
    auto fewer = good;
    put32(fewer, entryAt(0) + 40, (uint32_t)TEXT.size() - 1);
    openRaw(fewer);
    EXPECT_FALSE(readMember("a", "bin").ok);
}

TEST_F(ArchiveTest, FieldsTheFileContradictsMakeTheArchiveOrMemberUnavailable) {
    auto good = buildZDA({member("a.bin", TEXT), member("b.bin", bytesOf("bee"))});
    const uint32_t fileLen = (uint32_t)good.size();

    // header block longer than the file: the whole archive is unavailable
    auto longHeader = good;
    put32(longHeader, 8, fileLen + 1);
    openRaw(longHeader);
    EXPECT_EQ(zda_full_header[ZDA_GFX], nullptr);
    EXPECT_FALSE(readMember("a", "bin").ok);

    // header block shorter than a header
    auto shortHeader = good;
    put32(shortHeader, 8, 11);
    openRaw(shortHeader);
    EXPECT_EQ(zda_full_header[ZDA_GFX], nullptr);

    // a stream that starts past the end of the file
    auto farOffset = good;
    put32(farOffset, entryAt(0) + 48, fileLen);
    openRaw(farOffset);
    EXPECT_FALSE(readMember("a", "bin").ok);
    EXPECT_TRUE(readMember("b", "bin").ok);

    // a stream that runs past the end of the file
    auto longStream = good;
    put32(longStream, entryAt(1) + 44, get32(good, entryAt(1) + 44) + 1);
    openRaw(longStream);
    EXPECT_FALSE(readMember("b", "bin").ok);
    EXPECT_TRUE(readMember("a", "bin").ok);

    // offsets that are negative, or whose sum with the header size overflows 32 bits
    for (uint32_t off : {0xFFFFFFF0u, 0x7FFFFFF8u, 0x80000000u}) {
        auto bad = good;
        put32(bad, entryAt(0) + 48, off);
        openRaw(bad);
        EXPECT_EQ(gp_zda_offset(zda_full_header[ZDA_GFX], "a.bin"), 0) << off;
        EXPECT_FALSE(readMember("a", "bin").ok) << off;
    }
    // offset plus compressed size overflowing 32 bits
    auto sumOverflow = good;
    put32(sumOverflow, entryAt(0) + 48, 0x7FFFFF00u);
    put32(sumOverflow, entryAt(0) + 44, 0x7FFFFF00u);
    openRaw(sumOverflow);
    EXPECT_FALSE(readMember("a", "bin").ok);
}

TEST_F(ArchiveTest, AnUncompressedSizeNoStreamCanReachIsRefused) {
    std::vector<unsigned char> zeros(50000, 0);
    auto good = buildZDA({member("z.bin", zeros)});
    uint32_t csize = get32(good, entryAt(0) + 44);
    // exactly at the limit still reads (the stream inflates to its real size)
    auto atLimit = good;
    put32(atLimit, entryAt(0) + 40, csize * 1032);
    openRaw(atLimit);
    Read r = readMember("z", "bin");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, zeros);
    // beyond it, the member is unavailable rather than a huge allocation
    for (uint32_t usize : {csize * 1032 + 1, 0x7FFFFFFFu}) {
        auto bad = good;
        put32(bad, entryAt(0) + 40, usize);
        openRaw(bad);
        EXPECT_FALSE(readMember("z", "bin").ok) << usize;
    }
}

TEST_F(ArchiveTest, OnlyEntriesInsideTheHeaderBlockAreSearched) {
    auto good = buildZDA({member("a.bin", TEXT), member("b.bin", bytesOf("bee"))});
    // the count claims three entries; the block holds two
    auto counted = good;
    put32(counted, 4, 3);
    openRaw(counted);
    EXPECT_TRUE(readMember("a", "bin").ok);
    EXPECT_TRUE(readMember("b", "bin").ok);
    EXPECT_FALSE(readMember("", "").ok);
    // a block cut short after the first entry: the second is not searched
    auto cut = good;
    put32(cut, 8, (uint32_t)entryAt(1));
    // move the data offsets so the first member still lies where the entry says
    uint32_t shift = 52;
    put32(cut, entryAt(0) + 48, get32(good, entryAt(0) + 48) + shift);
    openRaw(cut);
    EXPECT_TRUE(readMember("a", "bin").ok);
    EXPECT_FALSE(readMember("b", "bin").ok);
}

TEST_F(ArchiveTest, NameFieldsWithoutTheirNulNeverMatch) {
    auto bytes = buildZDA({member("a.bin", TEXT)});
    std::memset(bytes.data() + entryAt(0), 'x', 40);
    openRaw(bytes);
    std::string forty(40, 'x');
    EXPECT_FALSE(readMember(forty.c_str(), "bin").ok);
    EXPECT_EQ(gp_zda_usize(zda_full_header[ZDA_GFX], forty.c_str()), 0);
    EXPECT_EQ(gp_zda_usize(zda_full_header[ZDA_GFX], std::string(39, 'x').c_str()), 0);
}

TEST_F(ArchiveTest, TruncatedFilesLoseOnlyTheMembersTheyCut) {
    auto good = buildZDA({member("a.bin", TEXT), member("b.bin", randomBytes(500, 3))});
    auto cut = good;
    cut.resize(cut.size() - 10);
    openRaw(cut);
    EXPECT_TRUE(readMember("a", "bin").ok);
    EXPECT_FALSE(readMember("b", "bin").ok);
}

TEST_F(ArchiveTest, DirectoryQueriesOnNoBlockReadAsZero) {
    EXPECT_EQ(gp_zda_headersize(nullptr), 0);
    EXPECT_EQ(gp_zda_offset(nullptr, "a.bin"), 0);
    EXPECT_EQ(gp_zda_usize(nullptr, "a.bin"), 0);
    EXPECT_EQ(gp_zda_csize(nullptr, "a.bin"), 0);
    const unsigned char wrong[12] = {'Z', 'D', 'B', 0, 1, 0, 0, 0, 64, 0, 0, 0};
    EXPECT_EQ(gp_zda_headersize(wrong), 0);
}

// Random damage anywhere in the file: the reader may refuse members but never misbehaves
// (run under the sanitizers this also checks every read stays inside its buffers).
TEST_F(ArchiveTest, RandomDamageNeverBreaksTheReader) {
    auto good = buildZDA({member("a.bin", TEXT), member("b.bin", randomBytes(300, 5)),
                          member("c.bin", std::vector<unsigned char>(2000, 9))});
    std::mt19937 rng(12345);
    for (int round = 0; round < 300; round++) {
        auto bad = good;
        int hits = 1 + (int)(rng() % 4);
        for (int k = 0; k < hits; k++)
            bad[rng() % (rng() % 2 ? 12 + 3 * 52 : bad.size())] = (unsigned char)rng();
        if (rng() % 5 == 0) bad.resize(rng() % bad.size());
        openRaw(bad);
        for (const char* n : {"a", "b", "c"}) {
            Read r = readMember(n, "bin");
            if (r.ok) {
                EXPECT_GT(r.size, 0u);
            }
        }
    }
}
