// The savegame ./savegame.dat: four bytes that hold the number of stages cleared.
//
// The plain word carries a random 16-bit salt K (high byte in byte 0, low byte in byte 2) and
// the value L twice, once masked with each half of the salt (bytes 1 and 3); the whole word
// is then XORed with a fixed mask and stored little-endian. A reader accepts the file only
// when both copies of L agree, so changing any single byte by hand is always detected.
#include "data/savegame.h"

#include "data/config.h"
#include "data/safe_write.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

constexpr uint32_t SAVEGAME_MASK = 0x5A1E93C4;
// the salt must not be all zero or all one bits; after this many bad draws take a fixed one
constexpr int SALT_DRAWS = 10;
constexpr unsigned FALLBACK_SALT = 0x4E2B;
constexpr unsigned SALT_ALL_ONES = 0xFFFF;

static const char* savegamePath() {
    return filename(nullptr, "savegame", "dat");
}

static unsigned drawSalt() {
    for (int i = 0; i < SALT_DRAWS; i++) {
        unsigned k = (unsigned)std::rand() & SALT_ALL_ONES;
        if (k != 0 && k != SALT_ALL_ONES) return k;
    }
    return FALLBACK_SALT;
}

void encodeSavegame(int cleared, unsigned salt, unsigned char bytes[SAVEGAME_BYTES]) {
    unsigned kh = (salt >> 8) & 0xFF, kl = salt & 0xFF;
    unsigned l = (unsigned)cleared & 0xFF;
    uint32_t w = kh | (l ^ kl) << 8 | kl << 16 | (l ^ kh) << 24;
    uint32_t v = w ^ SAVEGAME_MASK;
    for (int b = 0; b < SAVEGAME_BYTES; b++)
        bytes[b] = (unsigned char)(v >> (8 * b));
}

int decodeSavegame(const unsigned char bytes[SAVEGAME_BYTES]) {
    uint32_t v = 0;
    for (int b = 0; b < SAVEGAME_BYTES; b++)
        v |= (uint32_t)bytes[b] << (8 * b);
    uint32_t w = v ^ SAVEGAME_MASK;
    unsigned w0 = w & 0xFF, w1 = (w >> 8) & 0xFF, w2 = (w >> 16) & 0xFF, w3 = w >> 24;
    unsigned k = w2 + 256 * w0;
    if (k == 0 || k == SALT_ALL_ONES) return 0;
    // both copies of the value must agree
    unsigned x = (w1 + 256 * w3) ^ k;
    if ((x & 0xFF) != (x >> 8)) return 0;
    int l = (int)(x & 0xFF);
    if (l < 1 || l > SAVEGAME_MAX_STAGE) return 0;
    return l;
}

int writeSavegame(int cleared) {
    if (cleared < 1 || cleared > SAVEGAME_MAX_STAGE) return cleared;
    unsigned char bytes[SAVEGAME_BYTES];
    encodeSavegame(cleared, drawSalt(), bytes);
    writeFileSafely(savegamePath(), bytes, sizeof bytes);
    return cleared;
}

int loadGame() {
    FILE* f = std::fopen(savegamePath(), "rb");
    if (!f) return 0;
    unsigned char bytes[SAVEGAME_BYTES];
    size_t got = std::fread(bytes, 1, sizeof bytes, f);
    std::fclose(f);
    if (got < sizeof bytes) return 0;
    return decodeSavegame(bytes);
}
