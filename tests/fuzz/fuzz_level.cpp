// Arbitrary bytes as a stage file: when the loader takes them, the stage is played for a
// few hundred frames with input taken from the same bytes. Nothing may crash or read or
// write outside the map, whatever the cells, the header or the hero do.
#include "anim/anims.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/stage.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr int FRAMES = 400;

// The input of a frame: four bits of the bytes after the map's cells, or of the whole
// input when there are none.
StageInput inputOf(const uint8_t* data, size_t size, size_t first, int frame) {
    if (size == 0) return StageInput{0, 0, 0, 0};
    size_t span = first < size ? size - first : size;
    size_t base = first < size ? first : 0;
    uint8_t b = data[base + (size_t(frame) / 2) % span];
    int bits = frame % 2 ? b >> 4 : b & 15;
    return StageInput{bits & 1, (bits >> 1) & 1, (bits >> 2) & 1, (bits >> 3) & 1};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    int n = (int)size;
    int columns = mapColumnsOf(data, n);
    // the last header bits choose the stage, so the title's rules get a turn too
    prepareFirstAttempt(size > 0 && (data[size - 1] & 0x80) ? 0 : 1 + (n % 10));
    Figure hero{};
    if (!beginAttemptFromBytes(&hero, data, n)) {
        if (columns) __builtin_trap(); // a usable map must load
        return 0;
    }
    size_t first = 2 + size_t(columns) * 12;
    int splash = 0;
    for (int frame = 0; frame < FRAMES; frame++) {
        stageFrame(&hero, inputOf(data, size, first, frame), &splash);
        // the flow's own steps: title scrolling, and a retry after a death
        if (level == LEVEL_TITLE) {
            moveForward(1);
        } else if (!hero.alive && frame % 97 == 0) {
            killMonsters();
            clearAnims();
            if (!beginAttemptFromBytes(&hero, data, n)) __builtin_trap();
        }
    }
    freeLevel();
    return 0;
}
