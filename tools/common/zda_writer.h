// Writing ZDA archives: the packer tool and the tests build archives with this.
// Each member is scrambled with the inverse of the reader's running XOR, compressed with
// zlib and placed after the header and the directory, in the layout of data/archive.h.
#pragma once
#include "data/archive.h"

#include <string>
#include <vector>

struct ZdaMember {
    std::string name;                // full member name, e.g. "blocks.bmp"
    std::vector<unsigned char> data; // the member's plain bytes
};

// Longest member name the 40-byte name field holds with its NUL.
constexpr size_t ZDA_MAX_NAME = ZDA_NAME_BYTES - 1;

// Checks one member; returns an empty string when it can be stored, else the reason.
std::string zdaMemberProblem(const ZdaMember& m);

// Builds the bytes of a whole archive. Members must pass zdaMemberProblem.
std::vector<unsigned char> buildZDA(const std::vector<ZdaMember>& members);

// Writes an archive file; on failure returns false and describes why in *why.
bool writeZDA(const std::string& path, const std::vector<ZdaMember>& members, std::string* why);
