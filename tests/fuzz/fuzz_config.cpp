// Fuzzes the configuration reader with arbitrary file contents: every value must end up in
// its range, and what the writer makes of the result must read back to the same settings.
#include "data/config.h"
#include "data/settings.h"
#include "persist_scratch.h"

#include <vector>

namespace {

// The settings with the range each must be in after reading.
struct Setting {
    int* value;
    int lo, hi;
};
const Setting RANGED[] = {{&_mus_volume_100_, 0, 100},
                          {&_sfx_volume_100_, 0, 100},
                          {&mpFlags, 0, 31},
                          {&mpResamplingMode, 0, 3},
                          {&mpReverbDepth, 0, 100},
                          {&mpReverbDelay, 40, 200},
                          {&mpBassAmount, 0, 100},
                          {&mpBassRange, 10, 100},
                          {&mpSurroundDepth, 0, 100},
                          {&mpSurroundDelay, 5, 40},
                          {&cfgFullscreen, 0, 1},
                          {&cfgZoom, 0, 1},
                          {&cfgaa2, 0, 1},
                          {&cfgs2x, 0, 1}};
// A negative button in the file keeps the old one; a key may be anything.
int* const BUTTONS[] = {&JUMP_BUTTON, &PAUSE_BUTTON, &START_BUTTON, &UP_BUTTON,
                        &DOWN_BUTTON, &LEFT_BUTTON,  &RIGHT_BUTTON};
int* const KEYS[] = {&JUMP_KEY, &PAUSE_KEY, &START_KEY, &UP_KEY, &DOWN_KEY, &LEFT_KEY, &RIGHT_KEY};

std::vector<int> snapshot() {
    std::vector<int> values;
    for (const Setting& s : RANGED)
        values.push_back(*s.value);
    for (int* const* b : {BUTTONS, KEYS})
        for (int c = 0; c < 7; c++)
            values.push_back(*b[c]);
    return values;
}
constexpr int START_FLAGS = MP_FLAG_OVERSAMPLING | MP_FLAG_NOISE_REDUCTION;

// The settings at start-up, with the delays already at their floors so that every value is
// in range before the file is read; then both readers.
void startAndRead() {
    resetDefaultControls();
    _mus_volume_100_ = DEFAULT_MUS_VOLUME;
    _sfx_volume_100_ = DEFAULT_SFX_VOLUME;
    cfgbpp = 16;
    mpFlags = START_FLAGS;
    mpResamplingMode = 1;
    mpReverbDepth = mpBassAmount = mpSurroundDepth = 0;
    mpReverbDelay = 40;
    mpBassRange = 10;
    mpSurroundDelay = 5;
    loadGfxConfig();
    loadConfig();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    persist_fuzz::ScratchRun run;
    persist_fuzz::putFile("trobz3.cfg", data, size);
    startAndRead();
    for (const Setting& s : RANGED)
        FUZZ_CHECK(*s.value >= s.lo && *s.value <= s.hi);
    for (int* b : BUTTONS)
        FUZZ_CHECK(*b >= 0);
    FUZZ_CHECK((mpFlags & START_FLAGS) == START_FLAGS); // flags are only ever added
    // the scalers only come with a zoomed picture
    FUZZ_CHECK(cfgFullscreen || cfgZoom || (!cfgaa2 && !cfgs2x));
    const std::vector<int> loaded = snapshot();

    // written and read again, the settings stay exactly as they are
    dumpConfig();
    FILE* f = std::fopen("trobz3.cfg", "rb");
    FUZZ_CHECK(f != nullptr);
    int lines = 0;
    for (int c; (c = std::fgetc(f)) != EOF;)
        lines += c == '\n';
    std::fclose(f);
    FUZZ_CHECK(lines == 29);
    startAndRead();
    FUZZ_CHECK(snapshot() == loaded);
    return 0;
}
