// Whole-file reading for plain files.
#include "data/binfile.h"

#include <climits>
#include <cstdlib>

long binfilesize(FILE* file) {
    if (!file || std::fseek(file, 0, SEEK_END) != 0) return 0;
    long size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) return 0;
    return size;
}

unsigned char* loadBINFile(const char* path, int* sizeOut) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return nullptr;
    long size = binfilesize(f);
    // The callers keep sizes in an int; a larger file is no file of ours.
    if (size <= 0 || size > INT_MAX) {
        std::fclose(f);
        return nullptr;
    }
    unsigned char* buf = (unsigned char*)std::malloc((size_t)size);
    if (!buf) {
        std::fclose(f);
        return nullptr;
    }
    size_t got = std::fread(buf, 1, (size_t)size, f);
    std::fclose(f);
    if (got != (size_t)size) {
        std::free(buf);
        return nullptr;
    }
    if (sizeOut) *sizeOut = (int)size;
    return buf;
}
