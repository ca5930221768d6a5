// The 2x scalers at 16 and 24 bits on three 320x240 pictures (flat, stage-like tiles, noise),
// next to a memcpy of the same output size, which is the floor any scaler can reach. After
// the benchmarks a table gives each scaler's time per frame as a multiple of that floor.
//
// For instruction counts under callgrind, run a fixed number of frames of one case:
//   bench_scalers --frames=<n> <scaler> <bpp> <picture>
// with scaler zoom2|scale2x|scale2x-portable|antialias|memcpy, picture flat|stage|noise.
#include "gfx/scalers.h"
#include "gfx/video.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

enum Picture { FLAT, STAGE, NOISE };
const char* const PICTURE_NAMES[] = {"flat", "stage", "noise"};

enum Scaler { MEMCPY, ZOOM2, SCALE2X, SCALE2X_PORTABLE, ANTIALIAS };
const char* const SCALER_NAMES[] = {"memcpy", "zoom2", "scale2x", "scale2x-portable", "antialias"};

SDL_Surface* makeSurface(int w, int h, int bpp) {
    return bpp == 16
               ? SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0)
               : SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
}

void putPixel(SDL_Surface* s, int x, int y, Uint32 v) {
    Uint8* p = (Uint8*)s->pixels + (size_t)y * s->pitch + (size_t)x * s->format->BytesPerPixel;
    if (s->format->BytesPerPixel == 2) {
        Uint16 w = (Uint16)v;
        std::memcpy(p, &w, 2);
    } else {
        p[0] = (Uint8)v;
        p[1] = (Uint8)(v >> 8);
        p[2] = (Uint8)(v >> 16);
    }
}

// Flat: one colour. Stage: 16x16 tiles, each a dozen-colour pattern of large areas and
// edges, with one pixel in 50 changed. Noise: every pixel random.
void paint(SDL_Surface* s, Picture pic) {
    std::mt19937 rng(2024);
    std::vector<Uint32> palette;
    for (int i = 0; i < 12; i++)
        palette.push_back(SDL_MapRGB(s->format, (Uint8)(rng() & 0xFF), (Uint8)(rng() & 0xFF),
                                     (Uint8)(rng() & 0xFF)));
    std::vector<int> tileKind(20 * 15);
    for (int& k : tileKind)
        k = (int)(rng() % 6);
    for (int y = 0; y < s->h; y++) {
        for (int x = 0; x < s->w; x++) {
            Uint32 v = palette[0];
            if (pic == NOISE) {
                v = SDL_MapRGB(s->format, (Uint8)(rng() & 0xFF), (Uint8)(rng() & 0xFF),
                               (Uint8)(rng() & 0xFF));
            } else if (pic == STAGE) {
                int k = tileKind[(y / 16) * 20 + x / 16], tx = x % 16, ty = y % 16;
                switch (k) {
                case 0: // sky
                    v = palette[1];
                    break;
                case 1: // brick with mortar lines
                    v = (ty % 8 == 0 || (tx + (ty / 8) * 8) % 16 == 0) ? palette[2] : palette[3];
                    break;
                case 2: // ground with a grass top
                    v = ty < 3 ? palette[4] : palette[5 + (tx * 3 + ty * 5) % 2];
                    break;
                case 3: // a ring
                    v = ((tx - 8) * (tx - 8) + (ty - 8) * (ty - 8) < 30 &&
                         (tx - 8) * (tx - 8) + (ty - 8) * (ty - 8) > 12)
                            ? palette[7]
                            : palette[1];
                    break;
                case 4: // water
                    v = palette[8 + (ty / 4) % 2];
                    break;
                default: // diagonal steps
                    v = tx > ty ? palette[10] : palette[11];
                }
                if (rng() % 50 == 0) v = palette[rng() % 12];
            }
            putPixel(s, x, y, v);
        }
    }
}

struct Setup {
    SDL_Surface* src = nullptr;
    SDL_Surface* dst = nullptr;
    std::vector<unsigned char> floorSrc;
    size_t outBytes = 0;
    Setup(int bpp, Picture pic) {
        src = makeSurface(SCREEN_W, SCREEN_H, bpp);
        dst = makeSurface(ZOOM_W, ZOOM_H, bpp);
        paint(src, pic);
        outBytes = (size_t)ZOOM_W * ZOOM_H * (bpp / 8);
        floorSrc.assign(outBytes, 0x5A);
        screen = src;
        fscreen = dst;
        aa2 = 1;
        gfxInit();
    }
    ~Setup() {
        gfxShutdown();
        SDL_FreeSurface(src);
        SDL_FreeSurface(dst);
        screen = fscreen = nullptr;
    }
};

void runOnce(Setup& s, Scaler which) {
    switch (which) {
    case MEMCPY:
        std::memcpy(s.dst->pixels, s.floorSrc.data(), s.outBytes);
        break;
    case ZOOM2:
        zoom2();
        break;
    case SCALE2X:
        scalerUseSimd = 1;
        Scale2X();
        break;
    case SCALE2X_PORTABLE:
        scalerUseSimd = 0;
        Scale2X();
        scalerUseSimd = 1;
        break;
    case ANTIALIAS:
        antiAlias2();
        break;
    }
}

void BM_Scaler(benchmark::State& state) {
    const Scaler which = (Scaler)state.range(0);
    const int bpp = (int)state.range(1);
    const Picture pic = (Picture)state.range(2);
    Setup s(bpp, pic);
    for (auto _ : state) {
        runOnce(s, which);
        benchmark::DoNotOptimize(s.dst->pixels);
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::string(SCALER_NAMES[which]) + "/" + std::to_string(bpp) + "/" +
                   PICTURE_NAMES[pic]);
}

void registerAll() {
    for (int bpp : {16, 24})
        for (int pic : {FLAT, STAGE, NOISE})
            for (int which : {MEMCPY, ZOOM2, SCALE2X, SCALE2X_PORTABLE, ANTIALIAS})
                benchmark::RegisterBenchmark((std::string("BM_Scaler/") + SCALER_NAMES[which] +
                                              "/" + std::to_string(bpp) + "/" + PICTURE_NAMES[pic])
                                                 .c_str(),
                                             BM_Scaler)
                    ->Args({which, bpp, pic})
                    ->Unit(benchmark::kMicrosecond);
}

// Keeps every run's time per frame, keyed by its label, for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> nsPerFrame;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                nsPerFrame[r.report_label] = r.cpu_accumulated_time * 1e9 / (double)r.iterations;
        ConsoleReporter::ReportRuns(runs);
    }
};

void printRatios(const RatioReporter& rep) {
    std::printf("\n%-18s %4s %-6s %12s %10s\n", "scaler", "bpp", "pic", "ns/frame", "x memcpy");
    for (int bpp : {16, 24})
        for (int pic : {FLAT, STAGE, NOISE}) {
            auto label = [&](int which) {
                return std::string(SCALER_NAMES[which]) + "/" + std::to_string(bpp) + "/" +
                       PICTURE_NAMES[pic];
            };
            auto floorIt = rep.nsPerFrame.find(label(MEMCPY));
            if (floorIt == rep.nsPerFrame.end()) continue;
            for (int which : {MEMCPY, ZOOM2, SCALE2X, SCALE2X_PORTABLE, ANTIALIAS}) {
                auto it = rep.nsPerFrame.find(label(which));
                if (it == rep.nsPerFrame.end()) continue;
                std::printf("%-18s %4d %-6s %12.0f %10.2f\n", SCALER_NAMES[which], bpp,
                            PICTURE_NAMES[pic], it->second, it->second / floorIt->second);
            }
        }
    // Scale2X on noise against the same scaler on tiles
    for (int bpp : {16, 24})
        for (int which : {SCALE2X, SCALE2X_PORTABLE}) {
            auto n = rep.nsPerFrame.find(std::string(SCALER_NAMES[which]) + "/" +
                                         std::to_string(bpp) + "/noise");
            auto t = rep.nsPerFrame.find(std::string(SCALER_NAMES[which]) + "/" +
                                         std::to_string(bpp) + "/stage");
            if (n != rep.nsPerFrame.end() && t != rep.nsPerFrame.end())
                std::printf("%s at %d bits: noise / stage = %.2f\n", SCALER_NAMES[which], bpp,
                            n->second / t->second);
        }
}

int lookup(const char* const* names, int count, const char* name) {
    for (int i = 0; i < count; i++)
        if (!std::strcmp(names[i], name)) return i;
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && !std::strncmp(argv[1], "--frames=", 9)) {
        int frames = std::atoi(argv[1] + 9);
        int which = lookup(SCALER_NAMES, 5, argv[2]);
        int bpp = std::atoi(argv[3]);
        int pic = lookup(PICTURE_NAMES, 3, argv[4]);
        if (frames < 0 || which < 0 || pic < 0 || (bpp != 16 && bpp != 24)) {
            std::fprintf(stderr, "usage: %s --frames=N scaler bpp picture\n", argv[0]);
            return 2;
        }
        Setup s(bpp, (Picture)pic);
        for (int i = 0; i < frames; i++)
            runOnce(s, (Scaler)which);
        return 0;
    }
    registerAll();
    benchmark::Initialize(&argc, argv);
    RatioReporter rep;
    benchmark::RunSpecifiedBenchmarks(&rep);
    printRatios(rep);
    benchmark::Shutdown();
    return 0;
}
