// Walks a module's order list row by row with its speed and tempo commands and adds up the
// frames the mixer renders for each tick. Only commands that change the timing are read;
// anything the walk cannot follow exactly makes the length unknown (0) so the player falls
// back to noticing the end when the library stops rendering.
#include "audio/modtiming.h"

#include "audio/modformat.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int MOD_HEADER_BYTES = 1084; // title, 31 sample headers, orders, magic
constexpr int XM_ID_BYTES = 60;
constexpr int XM_ORDERS = 256;
constexpr int MAX_ROWS = 256;

struct Command {
    uint8_t effect;
    uint8_t param;
};

// One pattern: for each row the timing commands found on it.
typedef std::vector<std::vector<Command>> Pattern;

struct Song {
    bool xm = false;
    int speed = MOD_SPEED;
    int tempo = MOD_TEMPO;
    std::vector<int> orders;
    std::vector<Pattern> patterns;
};

unsigned u16le(const uint8_t* p) {
    return p[0] | (p[1] << 8);
}
unsigned long u32le(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | ((unsigned long)p[3] << 24);
}

bool isTimingEffect(int effect) {
    return effect == FX_JUMP || effect == FX_BREAK || effect == FX_EXTENDED || effect == FX_SPEED;
}

// Channel count from a MOD's magic: "M.K." and friends are 4, "6CHN", "8CHN", "xxCH".
int modChannels(const uint8_t* magic) {
    if (!std::memcmp(magic, "M.K.", 4) || !std::memcmp(magic, "M!K!", 4) ||
        !std::memcmp(magic, "FLT4", 4) || !std::memcmp(magic, "4CHN", 4))
        return 4;
    if (magic[0] >= '1' && magic[0] <= '9' && !std::memcmp(magic + 1, "CHN", 3))
        return magic[0] - '0';
    if (magic[0] >= '0' && magic[0] <= '9' && magic[1] >= '0' && magic[1] <= '9' &&
        magic[2] == 'C' && magic[3] == 'H')
        return (magic[0] - '0') * 10 + (magic[1] - '0');
    return 0;
}

bool readMod(const uint8_t* data, size_t size, Song& song) {
    if (size < MOD_HEADER_BYTES) return false;
    int channels = modChannels(data + 1080);
    if (channels <= 0 || channels > 32) return false;
    int length = data[950];
    if (length < 1 || length > MOD_ORDERS) return false;
    int patternCount = 0;
    for (int i = 0; i < MOD_ORDERS; i++) {
        int p = data[952 + i];
        if (p + 1 > patternCount) patternCount = p + 1;
    }
    for (int i = 0; i < length; i++)
        song.orders.push_back(data[952 + i]);
    size_t patternBytes = (size_t)MOD_ROWS * channels * 4;
    if ((size - MOD_HEADER_BYTES) / patternBytes < (size_t)patternCount) return false;
    song.patterns.resize(patternCount);
    for (int p = 0; p < patternCount; p++) {
        const uint8_t* cells = data + MOD_HEADER_BYTES + p * patternBytes;
        Pattern& pattern = song.patterns[p];
        pattern.resize(MOD_ROWS);
        for (int row = 0; row < MOD_ROWS; row++) {
            for (int c = 0; c < channels; c++) {
                const uint8_t* cell = cells + (row * channels + c) * 4;
                int effect = cell[2] & 0x0F;
                if (isTimingEffect(effect)) pattern[row].push_back({(uint8_t)effect, cell[3]});
            }
        }
    }
    return true;
}

bool readXm(const uint8_t* data, size_t size, Song& song) {
    if (size < XM_ID_BYTES + 20 || std::memcmp(data, "Extended Module: ", 17) != 0) return false;
    if (u16le(data + 58) != 0x0104) return false;
    unsigned long headerSize = u32le(data + 60);
    if (headerSize < 20 + XM_ORDERS || headerSize > size - XM_ID_BYTES) return false;
    const uint8_t* h = data + XM_ID_BYTES;
    unsigned length = u16le(h + 4);
    unsigned channels = u16le(h + 8);
    unsigned patternCount = u16le(h + 10);
    song.speed = u16le(h + 16);
    song.tempo = u16le(h + 18);
    if (length < 1 || length > XM_ORDERS || channels < 1 || channels > 32 || patternCount > 256 ||
        song.speed < 1 || song.tempo < 32)
        return false;
    for (unsigned i = 0; i < length; i++)
        song.orders.push_back(h[20 + i]);
    song.xm = true;
    size_t at = XM_ID_BYTES + headerSize;
    song.patterns.resize(patternCount);
    for (unsigned p = 0; p < patternCount; p++) {
        if (size - at < 9) return false;
        unsigned long patternHeader = u32le(data + at);
        unsigned rows = u16le(data + at + 5);
        unsigned packed = u16le(data + at + 7);
        if (patternHeader < 9 || rows < 1 || rows > MAX_ROWS || patternHeader > size - at ||
            packed > size - at - patternHeader)
            return false;
        const uint8_t* cell = data + at + patternHeader;
        const uint8_t* end = cell + packed;
        Pattern& pattern = song.patterns[p];
        pattern.resize(rows);
        for (unsigned row = 0; packed && row < rows; row++) {
            for (unsigned c = 0; c < channels; c++) {
                // A packed cell starts with a mask byte (top bit set) naming the fields
                // that follow; otherwise all five fields follow in full.
                if (cell >= end) return false;
                uint8_t mask = 0x1F;
                if (*cell & 0x80) mask = *cell++;
                uint8_t field[5] = {0, 0, 0, 0, 0};
                for (int f = 0; f < 5; f++) {
                    if (mask & (1 << f)) {
                        if (cell >= end) return false;
                        field[f] = *cell++;
                    }
                }
                if (isTimingEffect(field[3])) pattern[row].push_back({field[3], field[4]});
            }
        }
        at += patternHeader + packed;
    }
    return true;
}

// Plays the order list through without sound. Order numbers only ever grow (a backward or
// same-order jump is a loop inside the module and makes the length unknown), so the walk
// ends after at most every order once.
long walk(const Song& song, int frequency) {
    int speed = song.speed;
    int tempo = song.tempo;
    long frames = 0;
    size_t order = 0;
    int row = 0;
    while (order < song.orders.size()) {
        int index = song.orders[order];
        if (index >= (int)song.patterns.size()) return 0;
        const Pattern& pattern = song.patterns[index];
        if (row >= (int)pattern.size()) return 0;
        long jumpTo = -1;
        int breakTo = -1;
        for (; row < (int)pattern.size(); row++) {
            for (const Command& c : pattern[row]) {
                switch (c.effect) {
                case FX_SPEED:
                    // Small values set ticks per row, large ones the BPM; MOD's 0x20 is
                    // read differently by different players, so it is not followed.
                    if (c.param == 0 || (!song.xm && c.param == 0x20)) return 0;
                    if (c.param < 0x20)
                        speed = c.param;
                    else
                        tempo = c.param;
                    break;
                case FX_JUMP:
                    jumpTo = c.param;
                    break;
                case FX_BREAK:
                    if (c.param != 0) return 0;
                    breakTo = 0;
                    break;
                case FX_EXTENDED:
                    if ((c.param >> 4) == EXT_LOOP || (c.param >> 4) == EXT_DELAY) return 0;
                    break;
                }
            }
            frames += speed * framesPerTick(frequency, tempo);
            if (jumpTo >= 0 || breakTo >= 0) break;
        }
        if (jumpTo >= 0) {
            if (jumpTo <= (long)order) return 0;
            order = jumpTo;
        } else {
            order++;
        }
        row = breakTo >= 0 ? breakTo : 0;
    }
    return frames;
}

} // namespace

long framesPerTick(int frequency, int tempo) {
    if (tempo <= 0) return 0;
    return (long)frequency * 5 * 128 / (tempo * 256);
}

long moduleFrames(const void* bytes, size_t size, int frequency) {
    if (!bytes || frequency <= 0) return 0;
    const uint8_t* data = static_cast<const uint8_t*>(bytes);
    Song song;
    bool ok = readXm(data, size, song);
    if (!ok) {
        song = Song();
        ok = readMod(data, size, song);
    }
    return ok ? walk(song, frequency) : 0;
}
