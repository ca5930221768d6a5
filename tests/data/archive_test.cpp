// The archive reader against archives the tests build themselves: round trips, lookup rules,
// and every kind of damage a file can carry, each of which reads as a missing member.
#include "data/archive.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

Bytes randomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes v(n);
    for (auto& b : v)
        b = (unsigned char)rng();
    return v;
}

void put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++)
        b[at + i] = (unsigned char)(v >> (8 * i));
}

uint32_t get32(const Bytes& b, size_t at) {
    return (uint32_t)b[at] | (uint32_t)b[at + 1] << 8 | (uint32_t)b[at + 2] << 16 |
           (uint32_t)b[at + 3] << 24;
}

// Fields of directory entry i.
constexpr size_t NAME = 0, USIZE = 40, CSIZE = 44, OFFSET = 48;
constexpr size_t entry(int i, size_t field) {
    return 12 + 52 * (size_t)i + field;
}

// The member's bytes, or "none" when the reader gives nothing back.
std::string readMember(const char* name, const char* ext = "bin") {
    uint32_t size = 0;
    unsigned char* p = loadZDAFile(ZDA_GFX, name, ext, &size);
    if (!p) return "none";
    std::string s((const char*)p, size);
    std::free(p);
    return s;
}

std::string str(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

class ArchiveTest : public ::testing::Test {
  protected:
    ScopedTempDir tmp;
    std::unique_ptr<ArchiveDir> reader;

    // Writes raw bytes as the gfx archive and opens the archives on them.
    void openRaw(const Bytes& bytes) {
        reader.reset();
        std::filesystem::create_directories(tmp.path() + "/data");
        writeWholeFile(tmp.path() + "/data/gfx.zda", bytes);
        reader = std::make_unique<ArchiveDir>(tmp.path() + "/data");
    }
};

const Bytes TEXT = bytesOf("a member's bytes, plain and simple");
const Bytes NOISE = randomBytes(500, 3); // incompressible, and last in the file

} // namespace

TEST_F(ArchiveTest, MembersComeBackExactlyAndLookupIsExact) {
    const Bytes big = randomBytes(200000, 7), zeros(100000, 0);
    openRaw(buildZDA({{"one.bin", {42}},
                      {"Same.bin", bytesOf("first")},
                      {"big.bin", big},
                      {"Same.bin", bytesOf("second!")},
                      {"zeros.bin", zeros},
                      {"again.bin", bytesOf("first")}}));
    EXPECT_EQ(readMember("one"), "\x2a");
    EXPECT_EQ(readMember("big"), str(big));
    EXPECT_EQ(readMember("zeros"), str(zeros));
    // the first of two equal names wins; the scrambling restarts for every member
    EXPECT_EQ(readMember("Same"), "first");
    EXPECT_EQ(readMember("again"), "first");
    for (auto [name, ext] : {std::pair{"same", "bin"}, {"Sam", "bin"}, {"", ""}})
        EXPECT_EQ(readMember(name, ext), "none") << name << "." << ext;
    const unsigned char* h = zda_full_header[ZDA_GFX];
    EXPECT_EQ(gp_zda_usize(h, "Same.bin"), 5);
    EXPECT_EQ(gp_zda_offset(h, "one.bin"), gp_zda_headersize(h));
    for (const unsigned char* block : {h, (const unsigned char*)nullptr}) {
        EXPECT_EQ(gp_zda_offset(block, "nothing.bin"), 0);
        EXPECT_EQ(gp_zda_csize(block, "nothing.bin"), 0);
    }
    EXPECT_EQ(gp_zda_headersize(nullptr), 0);
}

// An archive written byte by byte from the file format, so that the reader is held to the
// format itself and not only to our own writer: "AB" scrambled as each byte XOR the byte
// before it (0xA7 before the first), in a zlib stream of one stored block.
TEST_F(ArchiveTest, ReadsTheFileFormatWrittenByHand) {
    Bytes file = {'Z', 'D', 'A', 0, 1, 0, 0, 0, 64, 0, 0, 0}; // magic, 1 entry, 64-byte header
    const Bytes name = bytesOf("t.bin");
    file.insert(file.end(), name.begin(), name.end());
    file.resize(12 + 40);
    const Bytes sizes = {2, 0, 0, 0, 13, 0, 0, 0, 0, 0, 0, 0};     // usize, csize, offset
    const Bytes stream = {0x78,       0x01,                        // zlib header
                          0x01,       0x02,      0x00, 0xFD, 0xFF, // last block, stored, 2 bytes
                          'A' ^ 0xA7, 'B' ^ 'A',                   // the member, scrambled
                          0x01,       0xD1,      0x00, 0xEA};      // Adler-32, high byte first
    file.insert(file.end(), sizes.begin(), sizes.end());
    file.insert(file.end(), stream.begin(), stream.end());
    openRaw(file);
    EXPECT_EQ(readMember("t"), "AB");
}

// Damage to an archive of two members, a.bin (TEXT) and b.bin (NOISE), one case for each way
// the reader refuses: the whole archive, one member, or nothing. The fuzz target's corpus
// replays many more damaged archives for safety; these pin down what survives.
TEST_F(ArchiveTest, DamageMakesTheArchiveOrMemberUnavailable) {
    const Bytes good = buildZDA({{"a.bin", TEXT}, {"b.bin", NOISE}});
    const uint32_t len = (uint32_t)good.size(), aSize = (uint32_t)TEXT.size();
    const uint32_t bPacked = get32(good, entry(1, CSIZE)), BIG = 0x7FFFFF00;
    struct Damage {
        const char* what;
        const char* survives;                            // y/n: the header block, a, b
        std::vector<std::pair<size_t, uint32_t>> writes; // 32-bit fields: (offset, value)
        uint32_t keep = UINT32_MAX;                      // bytes of the file kept
    };
    const Damage cases[] = {
        {"entry count 0", "ynn", {{4, 0}}},
        {"magic", "nnn", {{0, 0x00414458}}},
        {"header block past the file", "nnn", {{8, len + 1}}},
        {"usize one short", "yny", {{entry(0, USIZE), aSize - 1}}},
        {"usize larger: the real size", "yyy", {{entry(0, USIZE), aSize + 10}}},
        {"stream past the file", "yyn", {{entry(1, CSIZE), bPacked + 1}}},
        {"sum over 32 bits", "yny", {{entry(0, CSIZE), BIG}, {entry(0, OFFSET), BIG}}},
        {"name longer than asked", "yny", {{entry(0, NAME + 5), 0x78787878}}},
        {"file cut inside b", "yyn", {}, len - 10},
        {"empty file", "nnn", {}, 0},
    };
    for (const Damage& d : cases) {
        SCOPED_TRACE(d.what);
        Bytes bad = good;
        for (auto [at, value] : d.writes)
            put32(bad, at, value);
        if (d.keep < bad.size()) bad.resize(d.keep);
        openRaw(bad);
        EXPECT_EQ(zda_full_header[ZDA_GFX] != nullptr, d.survives[0] == 'y');
        EXPECT_EQ(readMember("a"), d.survives[1] == 'y' ? str(TEXT) : "none");
        EXPECT_EQ(readMember("b"), d.survives[2] == 'y' ? str(NOISE) : "none");
    }
    // a name field without its NUL matches no name, not even one that fills the field
    Bytes unterminated = buildZDA({{std::string(35, 'x') + ".bin", TEXT}});
    std::memset(unterminated.data() + entry(0, NAME), 'x', ZDA_NAME_BYTES);
    openRaw(unterminated);
    for (int n : {39, 40})
        EXPECT_EQ(gp_zda_usize(zda_full_header[ZDA_GFX], std::string(n, 'x').c_str()), 0) << n;
}
