#include "test_env.h"

#include "data/archive.h"
#include "game/input.h"
#include "gfx/pacing.h"
#include "gfx/video.h"

#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

void useTestScreen(int bpp) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        if (!std::getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) throw std::runtime_error(SDL_GetError());
    }
    fscreen = nullptr;
    screen = SDL_SetVideoMode(320, 240, bpp, SDL_SWSURFACE);
    if (!screen) throw std::runtime_error(SDL_GetError());
    gfxInitColors();
}

ScopedTempDir::ScopedTempDir() {
    char pattern[] = "/tmp/trobz3-test-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    previous_ = std::filesystem::current_path().string();
    std::filesystem::current_path(dir_);
}

ScopedTempDir::~ScopedTempDir() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(dir_, ec);
}

// ---- files and archives

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string deathOutputPath(const std::string& name) {
    return std::string(TROBZ_BUILD_DIR) + "/death-" + name + ".txt";
}

void redirectStdout(const std::string& path) {
    if (!std::freopen(path.c_str(), "w", stdout)) std::abort();
}

void writeWholeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
    if (!out) throw std::runtime_error("cannot write " + path);
}

void writeArchive(const std::string& dir, const std::string& base,
                  const std::vector<ZdaMember>& members) {
    std::filesystem::create_directories(dir);
    writeWholeFile(dir + "/" + base + ".zda", buildZDA(members));
}

namespace {
std::string archiveDirHolder; // keeps the C string the reader points at alive
int archiveDirGeneration;     // the newest ArchiveDir; only it closes the archives
} // namespace

ArchiveDir::ArchiveDir(const std::string& dir) : dir_(dir), generation_(++archiveDirGeneration) {
    closeArchives();
    archiveDirHolder = dir_;
    zdaDirectory = archiveDirHolder.c_str();
    openArchives();
}

ArchiveDir::~ArchiveDir() {
    if (generation_ != archiveDirGeneration) return; // a newer one has taken over
    closeArchives();
    zdaDirectory = "./data";
}

// ---- pictures

uint32_t glyphColour(int k) {
    // distinct, never magenta, never black
    return 0x100000u * (uint32_t)(1 + k % 15) + 0x001000u * (uint32_t)(1 + (k / 15) % 15) + 0x40;
}

void expectCells(int x, int y, int w, const std::string& want) {
    for (size_t i = 0; i < want.size(); i++) {
        const uint32_t c = want[i] == ' ' ? 0 : asShown(glyphColour(want[i] - 32));
        EXPECT_EQ(pixelRGB(screen, x + (int)i * w + 1, y + 1), c)
            << "cell " << i << " of \"" << want << "\" at x " << x << ", y " << y;
    }
}

RgbImage makeFontImage(int glyphW, int glyphH, int count, int perRow) {
    int rows = (count + perRow - 1) / perRow;
    RgbImage img(glyphW * perRow, glyphH * rows, RGB_MAGENTA);
    for (int k = 1; k < count; k++) {
        int ox = (k % perRow) * glyphW, oy = (k / perRow) * glyphH;
        for (int y = 1; y < glyphH - 1; y++)
            for (int x = 1; x < glyphW - 1; x++)
                img.at(ox + x, oy + y) = glyphColour(k);
    }
    return img;
}

uint32_t blockColour(int i) {
    return ((uint32_t)(i * 7 % 256) << 16) | ((uint32_t)(i * 13 % 256) << 8) |
           (uint32_t)(i % 200 + 8);
}

RgbImage makeBlockSheet() {
    RgbImage img(320, 192, 0);
    for (int i = 0; i < 240; i++) {
        int ox = 16 * (i % 20), oy = 16 * (i / 20);
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++)
                img.at(ox + x, oy + y) = blockColour(i);
        img.at(ox, oy) = RGB_MAGENTA;
    }
    // the water strip: a gradient across its 32 columns
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 32; x++)
            img.at(x, 128 + y) = 0x000040u + 0x080000u * (uint32_t)x + (uint32_t)y * 0x0800u;
    return img;
}

ZdaMember bmpMember(const std::string& name, const RgbImage& img) {
    return {name, encodeBMP24(img)};
}

std::vector<ZdaMember> introGfxMembers(int logoWidth) {
    RgbImage vemo(40, 30, 0x30C030);
    vemo.at(0, 0) = RGB_MAGENTA;
    RgbImage zkLogo(logoWidth, 20, 0xC0C030);
    zkLogo.at(0, 0) = RGB_MAGENTA;
    RgbImage logo(200, 40, 0x2040F0);
    RgbImage back(320, 192, 0x102030);
    return {
        bmpMember("font.bmp", makeFontImage(8, 8, 59, 16)),
        bmpMember("fontbig.bmp", makeFontImage(16, 16, 59, 16)),
        bmpMember("logo.bmp", logo),
        bmpMember("back.bmp", back),
        bmpMember("zk-vemo.bmp", vemo),
        bmpMember("zk-logo.bmp", zkLogo),
        bmpMember("blocks.bmp", makeBlockSheet()),
    };
}

namespace {
Uint8* pixelAt(SDL_Surface* s, int x, int y) {
    return (Uint8*)s->pixels + (size_t)y * s->pitch + (size_t)x * s->format->BytesPerPixel;
}
uint32_t rgbOf(Uint32 v, const SDL_PixelFormat* f) {
    Uint8 r, g, b;
    SDL_GetRGB(v, const_cast<SDL_PixelFormat*>(f), &r, &g, &b);
    return ((uint32_t)r << 16) | ((uint32_t)g << 8) | b;
}
} // namespace

Uint32 rawPixel(SDL_Surface* s, int x, int y) {
    const Uint8* p = pixelAt(s, x, y);
    const int n = s->format->BytesPerPixel;
    if (n == 2) return *(const Uint16*)p;
    if (n == 4) return *(const Uint32*)p;
    return n == 3 ? (Uint32)(p[0] | p[1] << 8 | p[2] << 16) : *p;
}

void putRawPixel(SDL_Surface* s, int x, int y, Uint32 v) {
    Uint8* p = pixelAt(s, x, y);
    const int n = s->format->BytesPerPixel;
    if (n == 2)
        *(Uint16*)p = (Uint16)v;
    else if (n == 4)
        *(Uint32*)p = v;
    else
        for (int i = 0; i < n; i++)
            p[i] = (Uint8)(v >> 8 * i);
}

uint32_t pixelRGB(SDL_Surface* s, int x, int y) {
    SDL_LockSurface(s);
    const Uint32 v = rawPixel(s, x, y);
    SDL_UnlockSurface(s);
    return rgbOf(v, s->format);
}

uint32_t asShown(uint32_t rgb) {
    return rgbOf(SDL_MapRGB(screen->format, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF),
                 screen->format);
}

// ---- the time seam

Uint32 VirtualClock::now;
int VirtualClock::overrunMs;
int VirtualClock::realSleepUs;
std::vector<Uint32> VirtualClock::sleeps;

namespace {
Uint32 virtualTicks() {
    return VirtualClock::now;
}
void virtualSleep(Uint32 ms) {
    VirtualClock::sleeps.push_back(ms);
    VirtualClock::now += ms + (Uint32)VirtualClock::overrunMs;
    if (VirtualClock::realSleepUs > 0) usleep((useconds_t)VirtualClock::realSleepUs);
}
} // namespace

VirtualClock::VirtualClock(Uint32 start) {
    now = start;
    overrunMs = 0;
    realSleepUs = 0;
    sleeps.clear();
    clockTicks = virtualTicks;
    clockSleep = virtualSleep;
}

VirtualClock::~VirtualClock() {
    resetClock();
}

// ---- scripted input

int InputScript::calls;
std::vector<std::pair<int, SDL_Event>> InputScript::steps;

SDL_Event keyEvent(int sym, bool down) {
    SDL_Event ev = {};
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.type = ev.type;
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.keysym.sym = (SDLKey)sym;
    return ev;
}

void pushEvent(SDL_Event ev) {
    if (SDL_PushEvent(&ev) != 0) throw std::runtime_error("SDL_PushEvent failed");
}

void drainEvents() {
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
    }
}

InputScript::InputScript() {
    calls = 0;
    steps.clear();
    drainEvents();
    inputHook = hook;
}

InputScript::~InputScript() {
    inputHook = nullptr;
    steps.clear();
}

void InputScript::hook() {
    constexpr int IDLE_CALLS = 3000; // a minute of frames
    calls++;
    int last = 0;
    for (const auto& s : steps) {
        if (s.first == calls) pushEvent(s.second);
        last = std::max(last, s.first);
    }
    if (calls > last + IDLE_CALLS) {
        ADD_FAILURE() << "the game still waits for input " << IDLE_CALLS
                      << " calls after the script's last step";
        std::exit(1);
    }
}

InputScript& InputScript::key(int call, int sym, bool down) {
    steps.push_back({call, keyEvent(sym, down)});
    return *this;
}

InputScript& InputScript::tap(int call, int sym) {
    key(call, sym, true);
    return key(call, sym, false);
}

InputScript& InputScript::quit(int call) {
    SDL_Event ev = {};
    ev.type = SDL_QUIT;
    steps.push_back({call, ev});
    return *this;
}
