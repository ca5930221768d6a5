// Fuzzes the hiscore reader with arbitrary file contents: whatever the file holds, the table
// afterwards is plausible, survives a save and a new load, and takes a new entry correctly.
#include "data/hiscores.h"
#include "persist_scratch.h"

#include <cstring>

namespace {

bool plausible(const HiscoreEntry& h) {
    return h.name[HISCORE_NAME_LEN] == 0 && h.name[0] != 0 && h.score >= 0 &&
           h.score <= HISCORE_MAX_SCORE && h.kind <= HS_CHEATER;
}

bool isDefaultName(const char* name) {
    for (const char* n : score_names)
        if (std::strcmp(n, name) == 0) return true;
    return false;
}

bool sameEntry(const HiscoreEntry& a, const HiscoreEntry& b) {
    return std::memcmp(a.name, b.name, sizeof a.name) == 0 && a.kind == b.kind &&
           a.score == b.score && std::memcmp(a.reserved, b.reserved, sizeof a.reserved) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    persist_fuzz::ScratchRun run;
    persist_fuzz::putFile("hiscores.dat", data, size);
    resetHiscoreTable();
    std::srand(1);
    loadHiscores();
    for (const HiscoreEntry& h : hiscores) {
        FUZZ_CHECK(plausible(h));
        FUZZ_CHECK(h.kind != HS_DEFAULT || isDefaultName(h.name));
    }

    // whatever is on disk now loads to the same scores and kinds
    HiscoreEntry loaded[NUM_HISCORES];
    std::memcpy(loaded, hiscores, sizeof loaded);
    resetHiscoreTable();
    loadHiscores();
    for (int i = 0; i < NUM_HISCORES; i++) {
        FUZZ_CHECK(hiscores[i].score == loaded[i].score);
        FUZZ_CHECK(hiscores[i].kind == loaded[i].kind);
    }

    // a new entry: the score comes from the input too
    int32_t score = 0;
    if (size >= 4)
        score = (int32_t)((uint32_t)data[0] | (uint32_t)data[1] << 8 | (uint32_t)data[2] << 16 |
                          (uint32_t)data[3] << 24);
    char name[24] = {};
    if (size > 4)
        std::memcpy(name, data + 4, size - 4 < sizeof name - 1 ? size - 4 : sizeof name - 1);
    HiscoreEntry before[NUM_HISCORES];
    std::memcpy(before, hiscores, sizeof before);
    int pos = saveHiscores(score, name);
    if (score <= before[NUM_HISCORES - 1].score) {
        FUZZ_CHECK(pos == -1);
        FUZZ_CHECK(std::memcmp(before, hiscores, sizeof before) == 0);
        return 0;
    }
    FUZZ_CHECK(pos >= 0 && pos < NUM_HISCORES);
    const HiscoreEntry& h = hiscores[pos];
    FUZZ_CHECK(h.kind == HS_PLAYER);
    FUZZ_CHECK(h.score == (score > HISCORE_MAX_SCORE ? HISCORE_MAX_SCORE : score));
    FUZZ_CHECK(std::strncmp(h.name, name, HISCORE_NAME_LEN) == 0 && h.name[8] == 0);
    // everything else keeps its order, and only the old last entry is gone
    for (int i = 0, j = 0; i < NUM_HISCORES; i++) {
        if (i == pos) continue;
        FUZZ_CHECK(sameEntry(hiscores[i], before[j]));
        j++;
    }
    // the saved table is still one the reader accepts
    HiscoreEntry saved[NUM_HISCORES];
    std::memcpy(saved, hiscores, sizeof saved);
    resetHiscoreTable();
    loadHiscores();
    for (int i = 0; i < NUM_HISCORES; i++) {
        FUZZ_CHECK(hiscores[i].score == saved[i].score);
        FUZZ_CHECK(hiscores[i].kind == saved[i].kind);
        FUZZ_CHECK(hiscores[i].kind == HS_DEFAULT || !saved[i].name[0] ||
                   std::strcmp(hiscores[i].name, saved[i].name) == 0);
    }
    return 0;
}
