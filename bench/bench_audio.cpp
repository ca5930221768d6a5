// The music player's cost: rendering one 1024-frame buffer through the hook with the
// default settings, against the 46 ms the buffer lasts. The "percent_of_period" counter is the part
// of the audio period the player uses, in percent (the aim is below 2).
#include "audio/music.h"
#include "audio/player.h"
#include "data/archive.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

namespace {

constexpr int RATE = 22050;
constexpr int FRAMES = 1024;
constexpr double PERIOD_SECONDS = (double)FRAMES / RATE;

// The busiest tracks: the most channels playing at once.
void renderBuffer(benchmark::State& state, int track) {
    zdaDirectory = TROBZ_BUILD_DIR "/data";
    openArchives();
    mpFrequency = RATE;
    mpChannels = 2;
    MP_VolumeMusic(128);
    ModPlugFile* music = loadMusic(track);
    if (!music) {
        state.SkipWithError("music archive missing: build the assets first");
        closeArchives();
        return;
    }
    MP_PlayMusic(music, -1);
    std::vector<Uint8> buffer(FRAMES * 4);
    double spent = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        MP_HookMusic(music, buffer.data(), (int)buffer.size());
        benchmark::DoNotOptimize(buffer.data());
        spent += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["percent_of_period"] = 100 * spent / (state.iterations() * PERIOD_SECONDS);
    stopMusic(music);
    closeArchives();
}

void BM_RenderAlmostThere(benchmark::State& state) {
    renderBuffer(state, 4);
}
void BM_RenderDeepWildness(benchmark::State& state) {
    renderBuffer(state, 6);
}
void BM_RenderTitle(benchmark::State& state) {
    renderBuffer(state, 0);
}

BENCHMARK(BM_RenderAlmostThere)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderDeepWildness)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderTitle)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
