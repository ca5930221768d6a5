// The hiscore table and ./hiscores.dat.
//
// The file holds the ten 16-byte entries scrambled with the running XOR (seed 0xD6), so a
// casual look shows no names or scores. On loading, default entries get fresh names each
// time, and a table with any impossible field is taken as tampered with and replaced as a
// whole by "CHEATER" entries, which are saved and so stay.
#include "data/hiscores.h"

#include "data/config.h"
#include "data/safe_write.h"
#include "data/xorcode.h"

#include <SDL.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The table before any file is read.
static constexpr HiscoreEntry builtinTable[NUM_HISCORES] = {
    {"", HS_DEFAULT, {0, 0}, 1000}, {"", HS_DEFAULT, {0, 0}, 900}, {"", HS_DEFAULT, {0, 0}, 800},
    {"", HS_DEFAULT, {0, 0}, 700},  {"", HS_DEFAULT, {0, 0}, 600}, {"", HS_DEFAULT, {0, 0}, 500},
    {"", HS_DEFAULT, {0, 0}, 400},  {"", HS_DEFAULT, {0, 0}, 300}, {"", HS_DEFAULT, {0, 0}, 200},
    {"", HS_DEFAULT, {0, 0}, 100},
};

HiscoreEntry hiscores[NUM_HISCORES] = {
    builtinTable[0], builtinTable[1], builtinTable[2], builtinTable[3], builtinTable[4],
    builtinTable[5], builtinTable[6], builtinTable[7], builtinTable[8], builtinTable[9],
};

const char* const score_names[NUM_SCORE_NAMES] = {
    "KIMO",  "BLIX", "NORA",  "TEDDO", "ZUMBA", "QUILL", "MAVRO", "PIXEL", "JUNO",
    "RAFFI", "OTTO", "WENDA", "GROMP", "SILKE", "BOBO7", "LUMEN", "DAX",
};

constexpr int DEFAULT_SCORE_SPREAD = 100; // a generated entry gets 0 ... 99 on top
static const char CHEATER_NAME[] = "CHEATER";

// entry layout in the file
constexpr int OFS_NAME = 0;
constexpr int OFS_KIND = 9;
constexpr int OFS_RESERVED = 10;
constexpr int OFS_SCORE = 12;

void resetHiscoreTable() {
    for (int i = 0; i < NUM_HISCORES; i++)
        hiscores[i] = builtinTable[i];
}

static const char* hiscorePath() {
    return filename(nullptr, "hiscores", "dat");
}

// encoding

static void packTable(unsigned char* out) {
    for (int i = 0; i < NUM_HISCORES; i++) {
        unsigned char* e = out + i * HISCORE_ENTRY_BYTES;
        const HiscoreEntry& h = hiscores[i];
        std::memcpy(e + OFS_NAME, h.name, sizeof h.name);
        e[OFS_KIND] = h.kind;
        e[OFS_RESERVED] = h.reserved[0];
        e[OFS_RESERVED + 1] = h.reserved[1];
        uint32_t s = (uint32_t)h.score;
        for (int b = 0; b < 4; b++)
            e[OFS_SCORE + b] = (unsigned char)(s >> (8 * b));
    }
}

static void unpackTable(const unsigned char* in) {
    for (int i = 0; i < NUM_HISCORES; i++) {
        const unsigned char* e = in + i * HISCORE_ENTRY_BYTES;
        HiscoreEntry& h = hiscores[i];
        std::memcpy(h.name, e + OFS_NAME, sizeof h.name);
        h.kind = e[OFS_KIND];
        h.reserved[0] = e[OFS_RESERVED];
        h.reserved[1] = e[OFS_RESERVED + 1];
        uint32_t s = 0;
        for (int b = 0; b < 4; b++)
            s |= (uint32_t)e[OFS_SCORE + b] << (8 * b);
        h.score = (int32_t)s;
    }
}

// default names

// Hands out a name not yet given during this load, starting from a random one.
static void pickDefaultName(HiscoreEntry& h, bool taken[NUM_SCORE_NAMES]) {
    int i = std::rand() % NUM_SCORE_NAMES;
    while (taken[i])
        i = (i + 1) % NUM_SCORE_NAMES;
    taken[i] = true;
    std::memset(h.name, 0, sizeof h.name);
    std::strncpy(h.name, score_names[i], HISCORE_NAME_LEN);
}

static bool plausible(const HiscoreEntry& h) {
    return h.name[HISCORE_NAME_LEN] == 0 && h.score >= 0 && h.score <= HISCORE_MAX_SCORE &&
           h.kind <= HS_CHEATER;
}

static void makeDefaultTable() {
    bool taken[NUM_SCORE_NAMES] = {};
    std::srand(SDL_GetTicks());
    for (int i = 0; i < NUM_HISCORES; i++) {
        HiscoreEntry& h = hiscores[i];
        pickDefaultName(h, taken);
        h.kind = HS_DEFAULT;
        h.reserved[0] = h.reserved[1] = 0;
        h.score = builtinTable[i].score + std::rand() % DEFAULT_SCORE_SPREAD;
    }
}

static void makeCheaterTable() {
    for (HiscoreEntry& h : hiscores) {
        std::memset(h.name, 0, sizeof h.name);
        std::memcpy(h.name, CHEATER_NAME, sizeof CHEATER_NAME);
        h.kind = HS_CHEATER;
        h.score = HISCORE_MAX_SCORE;
    }
}

void loadHiscores() {
    FILE* f = std::fopen(hiscorePath(), "rb");
    if (!f) {
        // only a file that is really not there is created; one we may not read is left alone
        bool missing = errno == ENOENT;
        makeDefaultTable();
        if (missing) saveBuffer();
        return;
    }
    // a short file leaves the rest of the table's bytes as they are in memory; all of them
    // are then decoded together and checked
    unsigned char bytes[HISCORE_FILE_BYTES];
    packTable(bytes);
    size_t got = std::fread(bytes, 1, sizeof bytes, f);
    (void)got;
    std::fclose(f);
    decodebuf(bytes, HISCORE_FILE_BYTES, HISCORE_SEED);
    unpackTable(bytes);

    bool taken[NUM_SCORE_NAMES] = {};
    for (HiscoreEntry& h : hiscores) {
        if (!plausible(h)) {
            makeCheaterTable();
            saveBuffer();
            return;
        }
        if (h.name[0] == 0 || h.kind == HS_DEFAULT) pickDefaultName(h, taken);
    }
}

int saveHiscores(int score, const char* name) {
    if (score <= hiscores[NUM_HISCORES - 1].score) return -1;
    if (score > HISCORE_MAX_SCORE) score = HISCORE_MAX_SCORE;
    // the entries the new score beats move one place down; an equal score stays above
    int k = NUM_HISCORES - 2;
    while (k >= 0 && score > hiscores[k].score) {
        hiscores[k + 1] = hiscores[k];
        k--;
    }
    HiscoreEntry& h = hiscores[k + 1];
    std::memset(h.name, 0, sizeof h.name);
    if (name) std::strncpy(h.name, name, HISCORE_NAME_LEN);
    h.score = score;
    h.kind = HS_PLAYER;
    saveBuffer();
    return k + 1;
}

void saveBuffer() {
    unsigned char bytes[HISCORE_FILE_BYTES];
    packTable(bytes);
    codebuf(bytes, HISCORE_FILE_BYTES, HISCORE_SEED);
    writeFileSafely(hiscorePath(), bytes, sizeof bytes);
}
