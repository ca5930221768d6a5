// The archive writer: the inverse of the game's reader. Integers are written byte by byte
// in little-endian order so the result does not depend on the host.
#include "zda_writer.h"

#include "data/archive.h"
#include "data/xorcode.h"

#include <cstdio>
#include <zlib.h>

namespace {

void put32(std::vector<unsigned char>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++)
        out[at + i] = (unsigned char)(v >> (8 * i));
}

// The inverse of the running XOR, so that the reader's codebuf gives the plain bytes back.
std::vector<unsigned char> scramble(std::vector<unsigned char> bytes) {
    decodebuf(bytes.data(), (int)bytes.size(), ZDA_SEED);
    return bytes;
}

} // namespace

std::string zdaMemberProblem(const ZdaMember& m) {
    if (m.name.empty()) return "member name is empty";
    if (m.name.size() > ZDA_MAX_NAME)
        return "member name \"" + m.name + "\" is longer than 39 characters";
    if (m.name.find('\0') != std::string::npos) return "member name contains a NUL byte";
    if (m.data.empty()) return "member \"" + m.name + "\" is empty";
    if (m.data.size() > 0x7fffffffu) return "member \"" + m.name + "\" is too large";
    return "";
}

std::vector<unsigned char> buildZDA(const std::vector<ZdaMember>& members) {
    size_t headerSize = ZDA_HEADER_BYTES + ZDA_ENTRY_BYTES * members.size();
    std::vector<unsigned char> out(headerSize, 0);
    out[0] = 'Z';
    out[1] = 'D';
    out[2] = 'A';
    out[3] = 0;
    put32(out, 4, (uint32_t)members.size());
    put32(out, 8, (uint32_t)headerSize);

    size_t dataOffset = 0;
    for (size_t i = 0; i < members.size(); i++) {
        const ZdaMember& m = members[i];
        std::vector<unsigned char> plain = scramble(m.data);
        uLongf packedLen = compressBound(plain.size());
        std::vector<unsigned char> packed(packedLen);
        compress2(packed.data(), &packedLen, plain.data(), plain.size(), Z_BEST_COMPRESSION);
        packed.resize(packedLen);

        size_t e = ZDA_HEADER_BYTES + ZDA_ENTRY_BYTES * i;
        for (size_t k = 0; k < m.name.size() && k < ZDA_MAX_NAME; k++)
            out[e + k] = (unsigned char)m.name[k];
        put32(out, e + 40, (uint32_t)m.data.size());
        put32(out, e + 44, (uint32_t)packed.size());
        put32(out, e + 48, (uint32_t)dataOffset);
        out.insert(out.end(), packed.begin(), packed.end());
        dataOffset += packed.size();
    }
    return out;
}

bool writeZDA(const std::string& path, const std::vector<ZdaMember>& members, std::string* why) {
    for (const ZdaMember& m : members) {
        std::string problem = zdaMemberProblem(m);
        if (!problem.empty()) {
            if (why) *why = problem;
            return false;
        }
    }
    std::vector<unsigned char> bytes = buildZDA(members);
    std::string tmp = path + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        if (why) *why = "cannot create " + tmp;
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        if (why) *why = "cannot write " + path;
        return false;
    }
    return true;
}
