// The hiscore table and its file ./hiscores.dat (160 bytes, running XOR with seed 0xD6).
#pragma once
#include <cstdint>

constexpr int NUM_HISCORES = 10;
constexpr int HISCORE_NAME_LEN = 8;
constexpr unsigned char HISCORE_SEED = 0xD6;

enum HiscoreKind { HS_PLAYER = 0, HS_DEFAULT = 1, HS_CHEATER = 2 };

struct HiscoreEntry {
    char name[HISCORE_NAME_LEN + 1]; // NUL-terminated; byte 8 is always 0
    unsigned char kind;              // HiscoreKind
    unsigned char reserved[2];
    int32_t score; // 0 ... 50000
};

extern HiscoreEntry hiscores[NUM_HISCORES];

void loadHiscores();
int saveHiscores(int score, const char* name);
void saveBuffer();
