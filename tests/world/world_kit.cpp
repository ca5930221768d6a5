#include "world_kit.h"

#include "audio/sound.h"
#include "gfx/blocks.h"
#include "gfx/font.h"
#include "gfx/image.h"
#include "gfx/video.h"
#include "test_env.h"
#include "world/figure.h"
#include "world/flowstate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/pickups.h"
#include "world/stage.h"

#include <SDL_mixer.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <stdexcept>
#include <vector>

TestMap::TestMap(int columns) : columns_(columns), cells_(size_t(columns) * 12, 0) {}

TestMap& TestMap::set(int column, int row, int value) {
    if (column < 0 || column >= columns_ || row < 0 || row >= 12)
        throw std::out_of_range("TestMap::set outside the map");
    cells_[size_t(column) * 12 + row] = (unsigned char)value;
    return *this;
}

TestMap& TestMap::floor() {
    for (int c = 0; c < columns_; c++)
        set(c, 11, 21);
    return *this;
}

TestMap& TestMap::draw(const std::vector<std::string>& rows, int firstColumn) {
    static const std::map<char, int> key = {{'.', 0},  {'#', 21}, {'P', 25}, {'o', 41}, {'~', 85},
                                            {'S', 65}, {'[', 27}, {']', 28}, {'{', 47}, {'}', 48}};
    const int top = 12 - (int)rows.size();
    for (size_t r = 0; r < rows.size(); r++)
        for (size_t c = 0; c < rows[r].size(); c++)
            set(firstColumn + (int)c, top + (int)r, key.at(rows[r][c]));
    return *this;
}

std::vector<unsigned char> TestMap::bytes() const {
    std::vector<unsigned char> out(2 + cells_.size());
    out[0] = (unsigned char)((columns_ - 1) & 255);
    out[1] = (unsigned char)((columns_ - 1) >> 8);
    std::copy(cells_.begin(), cells_.end(), out.begin() + 2);
    return out;
}

void resetWorld(int stage) {
    freeLevel();
    prepareFirstAttempt(stage);
    killMonsters();
    clearAnims();
    timeLeft = TIME_LIMIT;
    airLeft = AIR_LIMIT;
    step = 0;
    stars = stars0 = 0;
    checkpoint = 0;
}

bool reloadTestMap(const TestMap& map) {
    std::vector<unsigned char> b = map.bytes();
    return loadLevelFromBytes(b.data(), (int)b.size()) != 0;
}

bool loadTestMap(const TestMap& map, int stage) {
    resetWorld(stage);
    return reloadTestMap(map);
}

bool beginTestAttempt(const TestMap& map, Figure* hero, int stage) {
    resetWorld(stage);
    std::vector<unsigned char> b = map.bytes();
    return beginAttemptFromBytes(hero, b.data(), (int)b.size()) != 0;
}

Figure heroAt(int x, int y) {
    Figure f{};
    placeFigure(&f, x, y);
    f.vy = 7;
    return f;
}

Figure heroOn(const TestMap& map, int x, int y) {
    EXPECT_TRUE(loadTestMap(map));
    return heroAt(x, y);
}

Ints walkFrames(Figure* hero, int frames, int left, int right, int jump, int Figure::*field) {
    Ints out;
    for (int i = 0; i < frames; i++) {
        walk(hero, left, right, jump, 0, step);
        out.push_back(hero->*field);
    }
    return out;
}

void stageFrames(Figure* hero, int frames, StageInput in) {
    int splash = 0;
    for (int i = 0; i < frames; i++)
        stageFrame(hero, in, &splash);
}

void animFrames(Figure* hero, int frames) {
    for (int i = 0; i < frames; i++)
        updateAnims(hero);
}

int cell(int column, int row) {
    return mapData[column * MAP_ROWS + row];
}

int under(int column, int row) {
    return mapOri[column * MAP_ROWS + row];
}

const AnimObject* animAt(int kind, int x, int y) {
    for (const AnimObject& a : aos)
        if (a.active && a.kind == kind && a.x == x && a.y == y) return &a;
    return nullptr;
}

int activeAnims() {
    int n = 0;
    for (const AnimObject& a : aos)
        n += a.active;
    return n;
}

void fillAnimSlots() {
    for (int i = 0; i < MAX_ANIMS; i++)
        aos[i] = AnimObject{-1000, -1000 - i, 0, ANIM_DROWNED_FLOAT, 1}; // never ends
}

namespace {

constexpr int GLYPHS = 64; // ' ' ... '_': every character the game's texts use

// Colours that stay distinct in the 5-6-5 format; the blue component tells the families
// apart.
constexpr int TILE_BLUE = 200, WATER_BLUE = 96, SMALL_BLUE = 40, BIG_BLUE = 144;

Uint32 rgb(int r, int g, int b) {
    return SDL_MapRGB(screen->format, r, g, b);
}

Uint32 tileColour(int index) {
    return rgb((index % 16) * 16 + 8, (index / 16) * 16 + 8, TILE_BLUE);
}

Uint32 waterColour(int index) {
    return rgb(index * 32 + 8, 200, WATER_BLUE);
}

Uint32 glyphColour(int k, bool big) {
    return rgb((k % 16) * 16 + 8, (k / 16) * 32 + 16, big ? BIG_BLUE : SMALL_BLUE);
}

SDL_Surface* flatImage(int w, int h, Uint32 colour) {
    SDL_Surface* s = createImage(w, h, 1);
    fillRect(s, 0, 0, (Uint16)w, (Uint16)h, colour);
    setColorKey(s, 255, 0, 255); // no magenta in it: drawn opaque
    return s;
}

Font flatFont(int size, bool big) {
    Font f = (Font)std::calloc(GLYPHS + 1, sizeof(SDL_Surface*));
    for (int k = 0; k < GLYPHS; k++)
        f[k] = flatImage(size, size, glyphColour(k, big));
    return f;
}

void freeFont(Font& f) {
    for (int k = 0; f && f[k]; k++)
        SDL_FreeSurface(f[k]);
    std::free(f);
    f = nullptr;
}

void freeImage(SDL_Surface*& s) {
    if (s) SDL_FreeSurface(s);
    s = nullptr;
}

} // namespace

Uint32 markColour() {
    return rgb(40, 40, 248);
}

void useFlatArt() {
    useTestScreen(16);
    freeFlatArt();
    for (int i = 0; i < NUM_BLOCKS; i++)
        blocks[i] = flatImage(16, 16, tileColour(i));
    for (int i = 0; i < NUM_WBLOCKS; i++)
        wblocks[i] = flatImage(16, 16, waterColour(i));
    font = flatFont(8, false);
    fontbig = flatFont(16, true);
    if (!black) gfxPrepareBlackScreen();
}

void freeFlatArt() {
    for (SDL_Surface*& s : blocks)
        freeImage(s);
    for (SDL_Surface*& s : wblocks)
        freeImage(s);
    freeFont(font);
    freeFont(fontbig);
    freeImage(background);
    freeImage(logo);
}

Uint32 pixelAt(int x, int y) {
    if (x < 0 || y < 0 || x >= screen->w || y >= screen->h)
        throw std::out_of_range("pixelAt outside the screen");
    return rawPixel(screen, x, y);
}

void clearScreen(Uint32 colour) {
    fillRect(screen, 0, 0, SCREEN_W, SCREEN_H, colour);
}

int tileAt(int x, int y) {
    Uint32 v = pixelAt(x, y);
    for (int i = 0; i < NUM_BLOCKS; i++)
        if (tileColour(i) == v) return i;
    return -1;
}

Ints tilesAlong(int y, std::initializer_list<int> xs) {
    Ints out;
    for (int x : xs)
        out.push_back(tileAt(x, y));
    return out;
}

std::string readText(int x, int y, int length, bool big) {
    const int size = big ? 16 : 8;
    std::string out;
    for (int i = 0; i < length; i++) {
        Uint32 v = pixelAt(x + i * size + size / 2, y + size / 2);
        char c = '~';
        for (int k = 0; k < GLYPHS; k++)
            if (glyphColour(k, big) == v) c = (char)(32 + k);
        out += c;
    }
    return out;
}

namespace {
// Four seconds of silence at 22050 Hz, 16-bit stereo, shared by all samples.
std::vector<Uint8> silence(22050 * 4 * 4, 0);
Mix_Chunk* probeChunks[NUM_SOUNDS];
} // namespace

SoundProbe::SoundProbe() {
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        if (!std::getenv("SDL_AUDIODRIVER")) setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) throw std::runtime_error(SDL_GetError());
    }
    int freq = 0, channels = 0;
    Uint16 format = 0;
    if (!Mix_QuerySpec(&freq, &format, &channels)) {
        if (Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 1024) != 0)
            throw std::runtime_error(Mix_GetError());
        Mix_AllocateChannels(16);
    }
    for (int i = 0; i < NUM_SOUNDS; i++) {
        if (!probeChunks[i])
            probeChunks[i] = Mix_QuickLoad_RAW(silence.data(), (Uint32)silence.size());
        snd_data[i] = probeChunks[i];
    }
    reset();
}

int SoundProbe::playing(int sound) const {
    int n = 0;
    for (int c = 0; c < Mix_AllocateChannels(-1); c++)
        if (Mix_Playing(c) && Mix_GetChunk(c) == probeChunks[sound]) n++;
    return n;
}

void SoundProbe::reset() {
    Mix_HaltChannel(-1);
}
