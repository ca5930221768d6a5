// The frame pacer on the real clock: how many frames a loop really shows in 10 seconds, with
// frames that take no time and with frames that take 8 ms of work. The game is meant to run
// at 60 frames per second; the counters give the measured rate and its deviation in percent.
#include "gfx/pacing.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int FRAMES = 600; // 10 s at 60 frames per second
constexpr double TARGET_FPS = 60.0;

void BM_FrameRate(benchmark::State& state) {
    const int workUs = (int)state.range(0);
    SDL_Init(0);
    resetClock();
    int drawn = 0;
    double fps = 0;
    for (auto _ : state) {
        initFPS();
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < FRAMES; i++) {
            if (workUs > 0) usleep((useconds_t)workUs);
            drawn += !skipFrame;
            controlFPS();
        }
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        fps = FRAMES / seconds;
    }
    state.counters["fps"] = fps;
    state.counters["deviation_pct"] = (fps - TARGET_FPS) / TARGET_FPS * 100.0;
    state.counters["drawn_pct"] = 100.0 * drawn / FRAMES;
    std::printf("frames taking %d us: %.3f frames per second (%+.2f %% from 60), %s\n", workUs, fps,
                (fps - TARGET_FPS) / TARGET_FPS * 100.0,
                std::fabs(fps - TARGET_FPS) <= TARGET_FPS / 100 ? "within 1 %" : "OUTSIDE 1 %");
}

BENCHMARK(BM_FrameRate)->Arg(0)->Arg(8000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
