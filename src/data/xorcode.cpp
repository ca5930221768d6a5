// The running XOR and its inverse.
#include "data/xorcode.h"

void codebuf(unsigned char* bytes, int len, unsigned char seed) {
    unsigned char r = seed;
    for (int i = 0; i < len; i++) {
        r ^= bytes[i];
        bytes[i] = r;
    }
}

void decodebuf(unsigned char* bytes, int len, unsigned char seed) {
    unsigned char q = seed;
    for (int i = 0; i < len; i++) {
        unsigned char b = bytes[i];
        bytes[i] = q ^ b;
        q = b;
    }
}
