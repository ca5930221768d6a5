// The hiscore table and its file ./hiscores.dat (160 bytes, running XOR with seed 0xD6).
#pragma once
#include <cstdint>

constexpr int NUM_HISCORES = 10;
constexpr int HISCORE_NAME_LEN = 8;
constexpr unsigned char HISCORE_SEED = 0xD6;
constexpr int HISCORE_ENTRY_BYTES = 16; // name[9], kind, reserved[2], score (int32 LE)
constexpr int HISCORE_FILE_BYTES = NUM_HISCORES * HISCORE_ENTRY_BYTES;
constexpr int32_t HISCORE_MAX_SCORE = 50000; // a higher stored score marks a forged table

enum HiscoreKind { HS_PLAYER = 0, HS_DEFAULT = 1, HS_CHEATER = 2 };

struct HiscoreEntry {
    char name[HISCORE_NAME_LEN + 1]; // NUL-terminated; byte 8 is always 0
    unsigned char kind;              // HiscoreKind
    unsigned char reserved[2];
    int32_t score; // 0 ... 50000
};

extern HiscoreEntry hiscores[NUM_HISCORES];

// Names given to default entries (3 to 7 upper-case letters or digits).
constexpr int NUM_SCORE_NAMES = 17;
extern const char* const score_names[NUM_SCORE_NAMES];

// Fills the table from the file; creates the file with generated entries when there is none,
// and replaces an implausible table by "CHEATER" entries.
void loadHiscores();

// Inserts a new entry and saves the file. Returns its position 0 ... 9, or -1 (and changes
// nothing) when the score does not beat entry 9. Scores above HISCORE_MAX_SCORE are stored
// as HISCORE_MAX_SCORE so that the file stays valid.
int saveHiscores(int score, const char* name);

// Writes the table to the file; the old file stays as it was when that fails.
void saveBuffer();

// The table as it is before any file is read: empty names, kind 1, 1000, 900, ... 100.
void resetHiscoreTable();
