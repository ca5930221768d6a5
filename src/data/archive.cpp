// The ZDA archive reader: four archives in ./data, each kept open with its header block
// (12-byte header and directory of 52-byte entries) in memory. A member is found by name,
// read whole, inflated and unscrambled with the running XOR.
//
// Every field of an archive is checked against the bytes that are really there before it
// is used to seek, read or allocate: a damaged archive reads as a missing one.
#include "data/archive.h"

#include "data/xorcode.h"

#include <cstdlib>
#include <cstring>
#include <zlib.h>

const char* const archives[ZDA_COUNT] = {"gfx", "music", "maps", "sound"};
const char* zdaDirectory = "./data";

FILE* zda_file[ZDA_COUNT];
unsigned char* zda_full_header[ZDA_COUNT];

namespace {

constexpr char ZDA_SEPARATOR = '/';
constexpr int MEMBER_NAME_MAX = 1023; // "%s.%s" of base name and extension

// zlib's deflate cannot do better than about 1032 output bytes per stored byte; a directory
// entry that promises more is lying, and we will not allocate for it.
constexpr int64_t MAX_INFLATE_RATIO = 1032;

// Length of each archive file, measured when it is opened; -1 when unknown.
long zdaFileLength[ZDA_COUNT] = {-1, -1, -1, -1};

bool validArchive(int archive) {
    return archive >= 0 && archive < ZDA_COUNT;
}

int32_t get32(const unsigned char* p) {
    uint32_t v =
        (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
    return (int32_t)v;
}

long measureFile(FILE* f) {
    if (std::fseek(f, 0, SEEK_END) != 0) return -1;
    long len = std::ftell(f);
    if (std::fseek(f, 0, SEEK_SET) != 0) return -1;
    return len;
}

// The directory entry of a name, or null. Only entries wholly inside the header block
// (whose size is its own header size field) are searched.
const unsigned char* findEntry(const unsigned char* header, const char* fullName) {
    int32_t headerSize = gp_zda_headersize(header);
    if (headerSize < ZDA_HEADER_BYTES || !fullName) return nullptr;
    int32_t count = get32(header + 4);
    if (count <= 0) return nullptr;
    int32_t fits = (headerSize - ZDA_HEADER_BYTES) / ZDA_ENTRY_BYTES;
    if (count > fits) count = fits;
    size_t len = std::strlen(fullName);
    if (len >= (size_t)ZDA_NAME_BYTES) return nullptr; // no name field can hold it with its NUL
    for (int32_t i = 0; i < count; i++) {
        const unsigned char* e = header + ZDA_HEADER_BYTES + (size_t)i * ZDA_ENTRY_BYTES;
        if (std::memcmp(e, fullName, len) == 0 && e[len] == 0) return e;
    }
    return nullptr;
}

} // namespace

int32_t gp_zda_headersize(const unsigned char* header) {
    if (!header || header[0] != 'Z' || header[1] != 'D' || header[2] != 'A' || header[3] != 0)
        return 0;
    return get32(header + 8);
}

int32_t gp_zda_offset(const unsigned char* header, const char* fullName) {
    const unsigned char* e = findEntry(header, fullName);
    if (!e) return 0;
    // Offsets before the header block's end, or past what 32 bits can hold, are damage.
    int64_t dataOffset = get32(e + 48);
    int64_t offset = (int64_t)gp_zda_headersize(header) + dataOffset;
    if (dataOffset < 0 || offset > INT32_MAX) return 0;
    return (int32_t)offset;
}

int32_t gp_zda_usize(const unsigned char* header, const char* fullName) {
    const unsigned char* e = findEntry(header, fullName);
    return e ? get32(e + 40) : 0;
}

int32_t gp_zda_csize(const unsigned char* header, const char* fullName) {
    const unsigned char* e = findEntry(header, fullName);
    return e ? get32(e + 44) : 0;
}

int gp_uncompressZDA(unsigned char* dest, unsigned long* destLen, const unsigned char* src,
                     unsigned long srcLen) {
    uLongf len = *destLen;
    int result = uncompress(dest, &len, src, srcLen);
    *destLen = len;
    return result;
}

void openID(int archive) {
    if (!validArchive(archive) || zda_file[archive]) return;
    char path[FILENAME_MAX];
    std::snprintf(path, sizeof path, "%s%c%s.zda", zdaDirectory, ZDA_SEPARATOR, archives[archive]);
    zda_file[archive] = std::fopen(path, "rb");
    zdaFileLength[archive] = zda_file[archive] ? measureFile(zda_file[archive]) : -1;
}

void closeID(int archive) {
    if (!validArchive(archive) || !zda_file[archive]) return;
    std::fclose(zda_file[archive]);
    zda_file[archive] = nullptr;
    zdaFileLength[archive] = -1;
}

void closeZDA(int archive) {
    if (!validArchive(archive)) return;
    closeID(archive);
    std::free(zda_full_header[archive]);
    zda_full_header[archive] = nullptr;
}

int loadZDAHeader(int archive) {
    if (!validArchive(archive) || zda_full_header[archive]) return 1;
    openID(archive);
    FILE* f = zda_file[archive];
    if (!f) return 1;
    unsigned char head[ZDA_HEADER_BYTES];
    if (std::fread(head, 1, sizeof head, f) != sizeof head) return 1;
    int32_t headerSize = gp_zda_headersize(head);
    // The header block cannot be shorter than the header or longer than the file.
    if (headerSize < ZDA_HEADER_BYTES || headerSize > zdaFileLength[archive]) return 1;
    unsigned char* block = (unsigned char*)std::malloc((size_t)headerSize);
    if (!block) return 1;
    if (std::fseek(f, 0, SEEK_SET) != 0 ||
        std::fread(block, 1, (size_t)headerSize, f) != (size_t)headerSize) {
        std::free(block);
        return 1;
    }
    zda_full_header[archive] = block;
    return 0;
}

void openArchives() {
    for (int a = 0; a < ZDA_COUNT; a++) {
        closeZDA(a); // a second call must not leak the first one's files and blocks
        loadZDAHeader(a);
    }
}

void closeArchives() {
    for (int a = 0; a < ZDA_COUNT; a++)
        closeZDA(a);
}

unsigned char* uncompressZDA(int archive, const char* fullName, int32_t* size) {
    if (!validArchive(archive)) return nullptr;
    const unsigned char* header = zda_full_header[archive];
    int32_t csize = gp_zda_csize(header, fullName);
    if (csize < 1) return nullptr;
    int32_t offset = gp_zda_offset(header, fullName);
    int32_t usize = gp_zda_usize(header, fullName);
    if (size) *size = usize;
    if (usize < 1 || offset < ZDA_HEADER_BYTES) return nullptr;
    if ((int64_t)usize > (int64_t)csize * MAX_INFLATE_RATIO) return nullptr;

    openID(archive); // reopens the file after closeID
    FILE* f = zda_file[archive];
    if (!f || (int64_t)offset + csize > (int64_t)zdaFileLength[archive]) return nullptr;

    unsigned char* packed = (unsigned char*)std::malloc((size_t)csize);
    if (!packed) return nullptr;
    if (std::fseek(f, offset, SEEK_SET) != 0 ||
        std::fread(packed, 1, (size_t)csize, f) != (size_t)csize) {
        std::free(packed);
        return nullptr;
    }
    unsigned char* content = (unsigned char*)std::malloc((size_t)usize);
    if (!content) {
        std::free(packed);
        return nullptr;
    }
    unsigned long produced = (unsigned long)usize;
    int result = gp_uncompressZDA(content, &produced, packed, (unsigned long)csize);
    std::free(packed);
    if (size) *size = (int32_t)produced;
    // A stream that inflates to nothing holds no member: an empty member cannot be stored.
    if (result != Z_OK || produced == 0) {
        std::free(content);
        return nullptr;
    }
    codebuf(content, (int)produced, ZDA_SEED);
    return content;
}

unsigned char* loadZDAFile(int archive, const char* name, const char* ext, uint32_t* size) {
    if (!name || !ext) return nullptr;
    char fullName[MEMBER_NAME_MAX + 1];
    std::snprintf(fullName, sizeof fullName, "%s.%s", name, ext);
    int32_t got = 0;
    unsigned char* bytes = uncompressZDA(archive, fullName, &got);
    if (size) *size = (uint32_t)got;
    return bytes;
}
