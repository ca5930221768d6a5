// Fuzzes the savegame reader with arbitrary file contents: it gives 0 or a stage count of 1 to
// 10, no valid file stays valid after any single changed byte, and a write of what was read
// reads back the same.
#include "data/savegame.h"
#include "persist_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    persist_fuzz::ScratchRun run;
    persist_fuzz::putFile("savegame.dat", data, size);
    int value = loadGame();
    FUZZ_CHECK(value >= 0 && value <= SAVEGAME_MAX_STAGE);
    if (size < SAVEGAME_BYTES) {
        FUZZ_CHECK(value == 0);
    } else {
        FUZZ_CHECK(value == decodeSavegame(data));
    }
    if (value > 0) {
        unsigned char bytes[SAVEGAME_BYTES];
        for (int pos = 0; pos < SAVEGAME_BYTES; pos++)
            for (int delta = 1; delta < 256; delta++) {
                for (int b = 0; b < SAVEGAME_BYTES; b++)
                    bytes[b] = data[b];
                bytes[pos] ^= (unsigned char)delta;
                FUZZ_CHECK(decodeSavegame(bytes) == 0);
            }
    }

    int next = value > 0 ? value : size > 0 ? 1 + data[0] % SAVEGAME_MAX_STAGE : 1;
    std::srand(size > 1 ? data[1] : 0);
    FUZZ_CHECK(writeSavegame(next) == next);
    FUZZ_CHECK(loadGame() == next);
    return 0;
}
