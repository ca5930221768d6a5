// Fuzzes the configuration reader with arbitrary file contents: every value must end up in
// its range, and what the writer makes of the result must read back to the same settings.
#include "data/config.h"
#include "data/settings.h"
#include "persist_scratch.h"

#include <cstring>

namespace {

// Settings as they stand at start-up, with the delays already at their floors so that every
// value is in range before the file is read.
void startSettings() {
    resetDefaultControls();
    _mus_volume_100_ = DEFAULT_MUS_VOLUME;
    _sfx_volume_100_ = DEFAULT_SFX_VOLUME;
    cfgFullscreen = 0;
    cfgZoom = 1;
    cfgaa2 = 0;
    cfgs2x = 0;
    cfgbpp = 16;
    mpFlags = MP_FLAG_OVERSAMPLING | MP_FLAG_NOISE_REDUCTION;
    mpResamplingMode = 1;
    mpReverbDepth = 0;
    mpReverbDelay = 40;
    mpBassAmount = 0;
    mpBassRange = 10;
    mpSurroundDepth = 0;
    mpSurroundDelay = 5;
}

struct Snapshot {
    int keys[NUM_PARAMS], buttons[NUM_PARAMS];
    int mus, sfx, flags, resampling, reverbDepth, reverbDelay, bassAmount, bassRange, surroundDepth,
        surroundDelay;
    int fullscreen, zoom, aa2, s2x;
};

Snapshot take() {
    Snapshot s;
    const int keys[] = {JUMP_KEY, PAUSE_KEY, START_KEY, UP_KEY, DOWN_KEY, LEFT_KEY, RIGHT_KEY};
    const int buttons[] = {JUMP_BUTTON, PAUSE_BUTTON, START_BUTTON, UP_BUTTON,
                           DOWN_BUTTON, LEFT_BUTTON,  RIGHT_BUTTON};
    std::memcpy(s.keys, keys, sizeof keys);
    std::memcpy(s.buttons, buttons, sizeof buttons);
    s.mus = _mus_volume_100_;
    s.sfx = _sfx_volume_100_;
    s.flags = mpFlags;
    s.resampling = mpResamplingMode;
    s.reverbDepth = mpReverbDepth;
    s.reverbDelay = mpReverbDelay;
    s.bassAmount = mpBassAmount;
    s.bassRange = mpBassRange;
    s.surroundDepth = mpSurroundDepth;
    s.surroundDelay = mpSurroundDelay;
    s.fullscreen = cfgFullscreen;
    s.zoom = cfgZoom;
    s.aa2 = cfgaa2;
    s.s2x = cfgs2x;
    return s;
}

bool same(const Snapshot& a, const Snapshot& b) {
    return std::memcmp(a.keys, b.keys, sizeof a.keys) == 0 &&
           std::memcmp(a.buttons, b.buttons, sizeof a.buttons) == 0 && a.mus == b.mus &&
           a.sfx == b.sfx && a.flags == b.flags && a.resampling == b.resampling &&
           a.reverbDepth == b.reverbDepth && a.reverbDelay == b.reverbDelay &&
           a.bassAmount == b.bassAmount && a.bassRange == b.bassRange &&
           a.surroundDepth == b.surroundDepth && a.surroundDelay == b.surroundDelay &&
           a.fullscreen == b.fullscreen && a.zoom == b.zoom && a.aa2 == b.aa2 && a.s2x == b.s2x;
}

bool within(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}

void checkRanges(const Snapshot& before, const Snapshot& s) {
    FUZZ_CHECK(within(s.mus, 0, 100));
    FUZZ_CHECK(within(s.sfx, 0, 100));
    FUZZ_CHECK((s.flags & before.flags) == before.flags); // flags are only ever added
    FUZZ_CHECK(within(s.flags, 0, 31));
    FUZZ_CHECK(within(s.resampling, 0, 3));
    FUZZ_CHECK(within(s.reverbDepth, 0, 100));
    FUZZ_CHECK(within(s.reverbDelay, 40, 200));
    FUZZ_CHECK(within(s.bassAmount, 0, 100));
    FUZZ_CHECK(within(s.bassRange, 10, 100));
    FUZZ_CHECK(within(s.surroundDepth, 0, 100));
    FUZZ_CHECK(within(s.surroundDelay, 5, 40));
    for (int c = 0; c < NUM_PARAMS; c++)
        FUZZ_CHECK(s.buttons[c] >= 0); // a negative button in the file keeps the old one
    for (int v : {s.fullscreen, s.zoom, s.aa2, s.s2x})
        FUZZ_CHECK(v == 0 || v == 1);
    // the scalers only come with a zoomed picture
    FUZZ_CHECK(s.fullscreen || s.zoom || (!s.aa2 && !s.s2x));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    persist_fuzz::ScratchRun run;
    persist_fuzz::putFile("trobz3.cfg", data, size);
    startSettings();
    const Snapshot before = take();
    loadGfxConfig();
    loadConfig();
    const Snapshot loaded = take();
    checkRanges(before, loaded);

    // written and read again, the settings stay exactly as they are
    dumpConfig();
    FILE* f = std::fopen("trobz3.cfg", "rb");
    FUZZ_CHECK(f != nullptr);
    int lines = 0;
    for (int c; (c = std::fgetc(f)) != EOF;)
        lines += c == '\n';
    std::fclose(f);
    FUZZ_CHECK(lines == 29);
    startSettings();
    loadGfxConfig();
    loadConfig();
    FUZZ_CHECK(same(take(), loaded));
    return 0;
}
