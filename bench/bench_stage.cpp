// One frame of a busy stage: 32 monsters, 16 animations, 64 moving platforms and a hero
// running right so that the view scrolls, updated by the stage runner and drawn by
// drawScreen into a 320x240 16-bit picture (no presenting). Each frame is timed on its
// own; the counters give the median and the 99th percentile in nanoseconds and as a share
// of the 16.7 ms a frame may take. A second case times the update alone.
//
// The real block sheet, backdrop and fonts are used when <build>/data/gfx.zda has them,
// else flat-coloured stand-ins of the same sizes.
//
// Other modes:
//   bench_stage --frames=<n>       runs n frames and nothing else, for instruction counts:
//       valgrind --tool=callgrind --toggle-collect='*measuredFrames*' bench_stage --frames=1000
//   bench_stage --bmp=<file>       writes the 300th busy frame as a BMP picture
#include "anim/anims.h"
#include "data/archive.h"
#include "gfx/blocks.h"
#include "gfx/font.h"
#include "gfx/image.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/pickups.h"
#include "world/platforms.h"
#include "world/render.h"
#include "world/stage.h"

#include <benchmark/benchmark.h>

#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double FRAME_NS = 1e9 / 60; // 16.7 ms
constexpr int COLUMNS = 160;          // the busy part; the run restarts near its end
constexpr int RESTART_X = (COLUMNS - 30) * 16;
constexpr int FIRST_DRAWN_FRAME = 200; // past the stage intro

// --frames: at most about two days of play
constexpr int MAX_RUN_FRAMES = 10000000;

// The stage: a floor for the hero, a shelf at row 7 for the walkers, 64 platforms riding
// between the top and the shelf, and a monster marker in every column above the shelf.
std::vector<unsigned char> busyStage() {
    std::vector<unsigned char> b(2 + COLUMNS * MAP_ROWS, 0);
    b[0] = (COLUMNS - 1) & 255;
    b[1] = (COLUMNS - 1) >> 8;
    auto at = [&](int c, int r) -> unsigned char& { return b[2 + c * MAP_ROWS + r]; };
    for (int c = 0; c < COLUMNS; c++) {
        at(c, 11) = 21;
        at(c, 7) = 21;
    }
    at(1, 10) = 65; // the start
    for (int i = 0; i < MAX_PLATFORMS; i++)
        at(2 + 2 * i, 1 + i % 3) = 66;
    const int markers[] = {33, 9, 13, 67, 33, 53};
    for (int c = 4; c < COLUMNS; c++)
        at(c, 4 + c % 3) = (unsigned char)markers[c % 6];
    // something to see in both planes and the water surface
    for (int c = 3; c < COLUMNS; c += 5) {
        at(c, 8) = 81;
        at(c, 9) = 160 + c % 2;
    }
    return b;
}

SDL_Surface* flatImage(int w, int h, Uint32 colour) {
    SDL_Surface* s = createImage(w, h, 1);
    fillRect(s, 0, 0, (Uint16)w, (Uint16)h, colour);
    return s;
}

Font flatFont(int size) {
    Font f = (Font)std::calloc(65, sizeof(SDL_Surface*));
    for (int k = 0; k < 64; k++)
        f[k] = flatImage(size, size, SDL_MapRGB(screen->format, 200, (Uint8)(k * 4), 40));
    return f;
}

bool hasMember(const char* name) {
    uint32_t size = 0;
    unsigned char* bytes = loadZDAFile(ZDA_GFX, name, "bmp", &size);
    std::free(bytes);
    return bytes != nullptr;
}

// The picture, the colours, the overlay and the art.
void setUpVideo() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        std::exit(1);
    }
    screen = SDL_SetVideoMode(SCREEN_W, SCREEN_H, 16, SDL_SWSURFACE);
    gfxInitColors();
    gfxPrepareBlackScreen();
    zdaDirectory = TROBZ_BUILD_DIR "/data";
    openArchives();
    if (hasMember("blocks")) {
        initBlocks();
    } else {
        for (int i = 0; i < NUM_BLOCKS; i++)
            blocks[i] = flatImage(16, 16, SDL_MapRGB(screen->format, (Uint8)i, 90, 160));
        for (int i = 0; i < NUM_WBLOCKS; i++)
            wblocks[i] = flatImage(16, 16, SDL_MapRGB(screen->format, 20, 40, (Uint8)(i * 30)));
    }
    background = hasMember("back") ? loadGFX("back", 0, 0, 0, 0)
                                   : flatImage(320, 192, SDL_MapRGB(screen->format, 30, 30, 90));
    if (hasMember("font") && hasMember("fontbig")) {
        loadSpriteFont();
    } else {
        font = flatFont(8);
        fontbig = flatFont(16);
    }
}

struct BusyRun {
    Figure hero{};
    int splash = 0;
    int frame = FIRST_DRAWN_FRAME;
    std::vector<unsigned char> stage = busyStage();

    void restart() {
        prepareFirstAttempt(1);
        lives = 5;
        score = 120;
        beginAttemptFromBytes(&hero, stage.data(), (int)stage.size());
        frame = FIRST_DRAWN_FRAME;
    }

    // Outside the timed part: keeps every table full and the hero inside the busy part.
    void topUp() {
        if (!hero.alive || hero.dying || hero.x > RESTART_X) restart();
        for (int i = 0; i < MAX_MONSTERS; i++)
            if (!monst[i].active) setMonster(i, step + 30 + 9 * i, 48, MONSTER_WINGEDEYE);
        for (int i = 0; i < MAX_ANIMS; i++) {
            if (aos[i].active) continue;
            int x = step + 24 * (i + 1);
            switch (i % 3) {
            case 0:
                setAnimation(i, x, 0, ANIM_BRICK);
                break;
            case 1:
                setAnimation(i, x, 8 * 16, ANIM_EXPLODE);
                break;
            default:
                setAnimation(i, x, 40, ANIM_DROWNED_FLOAT);
                break;
            }
        }
    }

    void update() {
        StageInput in{0, 1, 0, 0};
        stageFrame(&hero, in, &splash);
    }

    void draw() {
        drawScreen(frame, &hero, 0);
        frame++;
    }
};

BusyRun& busy() {
    static BusyRun run;
    static bool started = false;
    if (!started) {
        setUpVideo();
        run.restart();
        started = true;
    }
    return run;
}

using Clock = std::chrono::steady_clock;

void report(benchmark::State& state, std::vector<double>& ns) {
    if (ns.empty()) return;
    std::sort(ns.begin(), ns.end());
    double median = ns[ns.size() / 2];
    double p99 = ns[std::min(ns.size() - 1, ns.size() * 99 / 100)];
    state.counters["median_ns"] = median;
    state.counters["p99_ns"] = p99;
    state.counters["median_pct"] = 100.0 * median / FRAME_NS;
    state.counters["p99_pct"] = 100.0 * p99 / FRAME_NS;
    state.counters["monsters"] = (double)std::count_if(
        monst, monst + MAX_MONSTERS, [](const Monster& m) { return m.active != 0; });
    state.counters["anims"] = (double)std::count_if(
        aos, aos + MAX_ANIMS, [](const AnimObject& a) { return a.active != 0; });
    state.counters["platforms"] = pcount;
}

void BM_StageFrame(benchmark::State& state) {
    BusyRun& run = busy();
    std::vector<double> ns;
    ns.reserve(1 << 16);
    for (auto _ : state) {
        state.PauseTiming();
        run.topUp();
        state.ResumeTiming();
        auto t0 = Clock::now();
        run.update();
        run.draw();
        auto t1 = Clock::now();
        ns.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count());
    }
    report(state, ns);
}
BENCHMARK(BM_StageFrame)->MinTime(2.0);

void BM_StageUpdate(benchmark::State& state) {
    BusyRun& run = busy();
    std::vector<double> ns;
    ns.reserve(1 << 16);
    for (auto _ : state) {
        state.PauseTiming();
        run.topUp();
        state.ResumeTiming();
        auto t0 = Clock::now();
        run.update();
        auto t1 = Clock::now();
        ns.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count());
    }
    report(state, ns);
}
BENCHMARK(BM_StageUpdate)->MinTime(1.0);

// Kept out of line and named, so that callgrind can count just this.
__attribute__((noinline)) void measuredFrames(BusyRun& run) {
    run.update();
    run.draw();
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; i++) {
        if (std::strncmp(argv[i], "--frames=", 9) == 0) {
            // digits only: a typo must not pass for a run of no frames
            const char* digits = argv[i] + 9;
            bool number = *digits != '\0';
            long n = 0;
            for (const char* p = digits; *p && number && n <= MAX_RUN_FRAMES; p++) {
                number = *p >= '0' && *p <= '9';
                n = n * 10 + (*p - '0');
            }
            if (!number || n < 1 || n > MAX_RUN_FRAMES) {
                std::fprintf(stderr, "--frames wants a whole number 1 ... %d, not \"%s\"\n",
                             MAX_RUN_FRAMES, digits);
                return 2;
            }
            BusyRun& run = busy();
            for (int f = 0; f < n; f++) {
                run.topUp();
                measuredFrames(run);
            }
            std::printf("%ld frames\n", n);
            return 0;
        }
        if (std::strncmp(argv[i], "--bmp=", 6) == 0) {
            BusyRun& run = busy();
            for (int f = 0; f < 300; f++) {
                run.topUp();
                run.update();
            }
            run.topUp();
            run.draw();
            if (SDL_SaveBMP(screen, argv[i] + 6) != 0) {
                std::fprintf(stderr, "cannot write %s\n", argv[i] + 6);
                return 1;
            }
            return 0;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
