// playstage: plays one stage with a replay instead of a player and tells how it ended.
//   playstage MAP REPLAY [--bmp FRAME:FILE]... [--trace]
// MAP is a stage file (.bin) or a stage name such as trobz301, read from data/maps.zda in
// the working directory. The hero starts as on a stage's first attempt of a new game;
// frame 1 is the first frame after the stage intro and replay line 1 drives it.
// --bmp writes the picture of a frame (0: the stage as the intro leaves it) as a BMP.
// Prints one line and exits with 0 (cleared), 1 (died, or ended with the stage unfinished)
// or 2 (bad arguments, an unreadable map or replay, missing graphics).
#include "bmp_writer.h"

#include "data/archive.h"
#include "data/binfile.h"
#include "gfx/blocks.h"
#include "gfx/font.h"
#include "gfx/image.h"
#include "gfx/pacing.h"
#include "gfx/video.h"
#include "sim/stagerun.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/render.h"
#include "world/stage.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <sys/stat.h>

namespace {

constexpr int EXIT_CLEARED = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

const char* const USAGE =
    "usage: playstage MAP REPLAY [--bmp FRAME:FILE]... [--trace]\n"
    "  MAP     a stage file (.bin) or a stage name such as trobz301 from data/maps.zda\n"
    "  REPLAY  lines of held controls and frame counts: \"R 40\", \"RJ 12\", \"- 30\"\n"
    "          (L left, R right, J jump, D down, - none; '#' starts a comment)\n"
    "  --bmp FRAME:FILE  writes the picture of that frame as a BMP file; frame 1 is the\n"
    "          first frame of play, 0 the stage as the intro leaves it\n"
    "  --trace prints the hero's position, speed and the rings missing after every frame\n"
    "          on standard error\n"
    "Prints \"cleared frame=N score=S lives=L\" (exit 0), \"died frame=N message=TEXT\" or\n"
    "\"ended frame=N rings=R\" (exit 1); bad input: a message and exit 2.\n";

int fail(const std::string& why) {
    std::fprintf(stderr, "playstage: %s\n", why.c_str());
    return EXIT_USAGE;
}

bool isFile(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

// "FRAME:FILE" with FRAME a whole number 0 ... 10^8.
bool parseShot(const std::string& arg, std::multimap<int, std::string>* shots) {
    size_t colon = arg.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= arg.size()) return false;
    long frame = 0;
    for (size_t i = 0; i < colon; i++) {
        if (arg[i] < '0' || arg[i] > '9') return false;
        frame = frame * 10 + (arg[i] - '0');
        if (frame > REPLAY_MAX_FRAMES + REPLAY_GRACE_FRAMES) return false;
    }
    // every request is kept: two pictures of one frame are both written
    shots->emplace((int)frame, arg.substr(colon + 1));
    return true;
}

// The stage number a map name stands for: its place in levelNames, else 1.
int stageOf(const char* map) {
    std::string base = map;
    size_t slash = base.find_last_of('/');
    if (slash != std::string::npos) base = base.substr(slash + 1);
    if (base.size() > 4 && base.compare(base.size() - 4, 4, ".bin") == 0)
        base.resize(base.size() - 4);
    for (int i = 0; i < NUM_LEVELS; i++)
        if (base == levelNames[i]) return i;
    return 1;
}

// The bytes of the map: a file when one exists at that path, else a member of maps.zda.
unsigned char* readMap(const char* map, int* size, std::string* why) {
    if (isFile(map)) {
        unsigned char* bytes = loadBINFile(map, size);
        if (!bytes) *why = std::string("cannot read map file ") + map;
        return bytes;
    }
    if (std::strchr(map, '/') || std::strchr(map, '.')) {
        *why = std::string("no map file ") + map;
        return nullptr;
    }
    openArchives();
    if (!zda_full_header[ZDA_MAPS]) {
        *why = std::string("no stage ") + map + ": cannot open data/maps.zda";
        return nullptr;
    }
    uint32_t got = 0;
    unsigned char* bytes = loadZDAFile(ZDA_MAPS, map, "bin", &got);
    if (!bytes) {
        *why = std::string("no stage ") + map + " in data/maps.zda";
        return nullptr;
    }
    *size = (int)got;
    return bytes;
}

// Everything drawScreen needs, from data/gfx.zda. Missing images are reported here rather
// than by the game's fatal error, so that they read as a usage problem.
bool startGraphics(std::string* why) {
    if (!std::getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        *why = std::string("cannot start video: ") + SDL_GetError();
        return false;
    }
    screen = SDL_SetVideoMode(SCREEN_W, SCREEN_H, 16, SDL_SWSURFACE);
    if (!screen) {
        *why = std::string("cannot set a video mode: ") + SDL_GetError();
        return false;
    }
    gfxInitColors();
    gfxPrepareBlackScreen();
    openArchives();
    const unsigned char* header = zda_full_header[ZDA_GFX];
    for (const char* name : {"blocks.bmp", "back.bmp", "font.bmp", "fontbig.bmp"}) {
        if (!header || gp_zda_csize(header, name) < 1) {
            *why = std::string("pictures need ") + name + " in data/gfx.zda";
            return false;
        }
    }
    std::srand(1); // the water's phases: the same picture on every run
    initBlocks();
    loadSpriteFont();
    background = loadGFX("back", 0, 0, 0, 0);
    skipFrame = 0;
    return true;
}

bool writeScreen(const std::string& path) {
    RgbImage img(SCREEN_W, SCREEN_H);
    if (SDL_LockSurface(screen) != 0) return false;
    const int bpp = screen->format->BytesPerPixel;
    for (int y = 0; y < SCREEN_H; y++)
        for (int x = 0; x < SCREEN_W; x++) {
            const Uint8* p = (const Uint8*)screen->pixels + y * screen->pitch + x * bpp;
            Uint32 pixel = 0;
            std::memcpy(&pixel, p, bpp < 4 ? bpp : 4);
            Uint8 r, g, b;
            SDL_GetRGB(pixel, screen->format, &r, &g, &b);
            img.at(x, y) = (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
        }
    SDL_UnlockSurface(screen);
    return writeFile(path, encodeBMP24(img));
}

struct Shots {
    std::multimap<int, std::string> wanted;
    int written = 0;
    bool failed = false;
    bool trace = false;
};

void afterFrame(int frame, Figure* hero, void* context) {
    Shots* shots = static_cast<Shots*>(context);
    if (shots->trace)
        std::fprintf(stderr, "frame=%d x=%d y=%d vy=%d step=%d rings=%d score=%d\n", frame, hero->x,
                     hero->y, hero->vy, step, stars, score);
    auto range = shots->wanted.equal_range(frame);
    if (range.first == range.second) return;
    drawScreen(STAGE_INTRO_FRAMES + frame, hero, 0);
    for (auto it = range.first; it != range.second; ++it) {
        if (writeScreen(it->second)) {
            shots->written++;
        } else {
            std::fprintf(stderr, "playstage: cannot write %s\n", it->second.c_str());
            shots->failed = true;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const char* positional[2] = {nullptr, nullptr};
    int count = 0;
    Shots shots;
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(USAGE, stdout);
            return EXIT_CLEARED;
        }
        if (arg == "--bmp" || arg.rfind("--bmp=", 0) == 0) {
            std::string value = arg == "--bmp" ? (i + 1 < argc ? argv[++i] : "") : arg.substr(6);
            if (!parseShot(value, &shots.wanted))
                return fail("--bmp wants FRAME:FILE with a frame number, not \"" + value + "\"");
            continue;
        }
        if (arg == "--trace") {
            shots.trace = true;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') return fail("unknown option " + arg + "\n" + USAGE);
        if (count == 2) return fail("too many arguments\n" + std::string(USAGE));
        positional[count++] = argv[i];
    }
    if (count < 2) return fail(std::string("a map and a replay are needed\n") + USAGE);

    Replay replay;
    std::string why;
    if (!loadReplay(positional[1], &replay, &why))
        return fail(std::string(positional[1]) + ": " + why);

    int size = 0;
    unsigned char* bytes = readMap(positional[0], &size, &why);
    if (!bytes) return fail(why);
    if (!mapColumnsOf(bytes, size)) {
        std::free(bytes);
        return fail(std::string(positional[0]) +
                    ": not a stage map (too short for its header, or narrower than 21 or "
                    "wider than 4096 columns)");
    }
    int stage = stageOf(positional[0]);
    if (stage == LEVEL_TITLE) {
        std::free(bytes);
        return fail(std::string(positional[0]) + " is the title's backdrop, which has no hero");
    }
    if (!shots.wanted.empty() && !startGraphics(&why)) {
        std::free(bytes);
        return fail(why);
    }

    prepareFirstAttempt(stage);
    Figure hero{};
    int loaded = beginAttemptFromBytes(&hero, bytes, size);
    std::free(bytes);
    if (!loaded) return fail(std::string(positional[0]) + ": no memory for the map");
    StageResult result = playReplay(&hero, replay, afterFrame, &shots);

    for (const auto& s : shots.wanted)
        if (s.first > result.frame)
            std::fprintf(stderr, "playstage: frame %d was never reached; %s not written\n", s.first,
                         s.second.c_str());
    switch (result.outcome) {
    case STAGE_CLEARED:
        std::printf("cleared frame=%d score=%d lives=%d\n", result.frame, result.score,
                    result.lives);
        break;
    case STAGE_DIED:
        std::printf("died frame=%d message=%s\n", result.frame, result.message.c_str());
        break;
    case STAGE_ENDED:
        std::printf("ended frame=%d rings=%d\n", result.frame, result.rings);
        break;
    }
    if (shots.failed) return EXIT_USAGE;
    return result.outcome == STAGE_CLEARED ? EXIT_CLEARED : EXIT_FAILED;
}
