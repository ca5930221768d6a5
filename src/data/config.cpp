// The configuration file ./trobz3.cfg and the names of the game's own files.
//
// The file is plain text of key=value lines, but the reader does not go by lines: it looks
// for every key anywhere in the file, so hand-edited files with odd spacing, stray text or
// repeated lines still read sensibly. Settings take the last occurrence; a control's
// bindings are taken from the lines found until both its key and its button are known.
// Values out of range are brought back into range here, so the rest of the game can trust
// them. The writer always writes all 29 lines in one fixed order.
#include "data/config.h"

#include "data/binfile.h"
#include "data/safe_write.h"
#include "data/settings.h"

#include <climits>
#include <cstdlib>
#include <cstring>

char fname_buf[FNAME_BUF_SIZE];

const char* filename(const char* dir, const char* name, const char* ext) {
    if (dir && *dir)
        std::snprintf(fname_buf, sizeof fname_buf, "./%s/%s.%s", dir, name, ext);
    else
        std::snprintf(fname_buf, sizeof fname_buf, "./%s.%s", name, ext);
    return fname_buf;
}

static const char* configPath() {
    return filename(nullptr, "trobz3", "cfg");
}

// controls

const char* const params[NUM_PARAMS] = {"jump", "pause", "start", "up", "down", "left", "right"};

// The bindings of each control, in the order of params.
static int* const keyBindings[NUM_PARAMS] = {&JUMP_KEY, &PAUSE_KEY, &START_KEY, &UP_KEY,
                                             &DOWN_KEY, &LEFT_KEY,  &RIGHT_KEY};
static int* const buttonBindings[NUM_PARAMS] = {&JUMP_BUTTON, &PAUSE_BUTTON, &START_BUTTON,
                                                &UP_BUTTON,   &DOWN_BUTTON,  &LEFT_BUTTON,
                                                &RIGHT_BUTTON};

// Room for a binding prefix: "k_" or "j_", a control name and "=" (8 characters at most).
constexpr int MAX_PREFIX = 16;

// settings

// How a value read from the file is brought into range.
enum SettingRule {
    RULE_RESET, // outside lo..hi the value becomes `alt`
    RULE_CLAMP, // below lo becomes lo, above hi becomes hi
    RULE_FLAG,  // exactly 1 sets the bit `alt`; anything else changes nothing
};

struct Setting {
    const char* key;
    int* value;
    SettingRule rule;
    int lo, hi;
    int alt; // the replacement value (RULE_RESET) or the flag bit (RULE_FLAG)
};

// The volumes come first in the file, then the bindings, then the music player's rows.
constexpr int NUM_VOLUME_SETTINGS = 2;
static const Setting settings[] = {
    // volumes: anything outside 0..100 means full volume
    {"mus_volume=", &_mus_volume_100_, RULE_RESET, 0, 100, 100},
    {"sfx_volume=", &_sfx_volume_100_, RULE_RESET, 0, 100, 100},
    // music player: the file can only switch features on; delays and the bass range have
    // floors above zero
    {"mpFlagsOVERSAMPLING=", &mpFlags, RULE_FLAG, 0, 0, MP_FLAG_OVERSAMPLING},
    {"mpResamplingMode=", &mpResamplingMode, RULE_RESET, 0, 3, 1},
    {"mpFlagsNOISE_REDUCTION=", &mpFlags, RULE_FLAG, 0, 0, MP_FLAG_NOISE_REDUCTION},
    {"mpFlagsREVERB=", &mpFlags, RULE_FLAG, 0, 0, MP_FLAG_REVERB},
    {"mpReverbDepth=", &mpReverbDepth, RULE_CLAMP, 0, 100, 0},
    {"mpReverbDelay=", &mpReverbDelay, RULE_CLAMP, 40, 200, 0},
    {"mpFlagsMEGABASS=", &mpFlags, RULE_FLAG, 0, 0, MP_FLAG_MEGABASS},
    {"mpBassAmount=", &mpBassAmount, RULE_CLAMP, 0, 100, 0},
    {"mpBassRange=", &mpBassRange, RULE_CLAMP, 10, 100, 0},
    {"mpFlagsSURROUND=", &mpFlags, RULE_FLAG, 0, 0, MP_FLAG_SURROUND},
    {"mpSurroundDepth=", &mpSurroundDepth, RULE_CLAMP, 0, 100, 0},
    {"mpSurroundDelay=", &mpSurroundDelay, RULE_CLAMP, 5, 40, 0},
};
constexpr int NUM_SETTINGS = sizeof settings / sizeof settings[0];
static_assert(NUM_SETTINGS == 14, "two volumes and twelve music player rows");

static void applySetting(const Setting& s, int v) {
    switch (s.rule) {
    case RULE_RESET:
        *s.value = (v < s.lo || v > s.hi) ? s.alt : v;
        break;
    case RULE_CLAMP:
        *s.value = v < s.lo ? s.lo : v > s.hi ? s.hi : v;
        break;
    case RULE_FLAG:
        if (v == 1) *s.value |= s.alt;
        break;
    }
}

// screen mode bits of "gfxmode="
static const char GFXMODE_KEY[] = "gfxmode=";
constexpr int GFX_FULLSCREEN = 1;
constexpr int GFX_ZOOM = 2;
constexpr int GFX_DEEP = 4; // not 16 bits per pixel: written for information, never read
constexpr int GFX_AA2 = 8;
constexpr int GFX_S2X = 16;

// reading

// The decimal number at text[pos], where the text ends at `size`: blanks, an optional sign and
// digits, never past the end. No digits read as 0; a number too large for an int saturates.
// Unlike strtol it does not skip line ends, so an empty value never takes the next line's.
static int readNumber(const unsigned char* text, int size, int pos) {
    while (pos < size && (text[pos] == ' ' || text[pos] == '\t'))
        pos++;
    bool negative = false;
    if (pos < size && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        pos++;
    }
    long long v = 0;
    for (; pos < size && text[pos] >= '0' && text[pos] <= '9'; pos++) {
        v = v * 10 + (text[pos] - '0');
        if (v > (long long)INT_MAX + 1) v = (long long)INT_MAX + 1;
    }
    if (negative) v = -v;
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : (int)v;
}

// A key binding is written as the letter itself for a lower-case letter, else as its code.
static int readKey(const unsigned char* text, int size, int pos) {
    if (pos < size && text[pos] >= 'a' && text[pos] <= 'z') return text[pos];
    return readNumber(text, size, pos);
}

static bool standsAt(const unsigned char* text, int size, int pos, const char* key, int len) {
    return pos + len <= size && std::memcmp(text + pos, key, (size_t)len) == 0;
}

void loadGfxConfig() {
    int size = 0;
    unsigned char* text = loadBINFile(configPath(), &size);
    // without a screen mode line: a doubled window
    cfgFullscreen = 0;
    cfgZoom = 1;
    cfgaa2 = 0;
    cfgs2x = 0;
    if (!text) return;
    const int len = (int)sizeof GFXMODE_KEY - 1;
    for (int p = 0; p + len <= size; p++) {
        if (!standsAt(text, size, p, GFXMODE_KEY, len)) continue;
        int m = readNumber(text, size, p + len);
        cfgFullscreen = (m & GFX_FULLSCREEN) ? 1 : 0;
        cfgZoom = (m & GFX_ZOOM) ? 1 : 0;
        // the scalers exist only for the zoomed picture
        if (cfgFullscreen || cfgZoom) {
            cfgaa2 = (m & GFX_AA2) ? 1 : 0;
            cfgs2x = (m & GFX_S2X) ? 1 : 0;
        }
        break;
    }
    std::free(text);
}

void loadConfig() {
    int size = 0;
    unsigned char* text = loadBINFile(configPath(), &size);
    if (!text) return;

    // bindings: the scan of one control ends once both its key and its button are known, and
    // two bytes must follow a prefix for it to count
    int foundKey[NUM_PARAMS], foundButton[NUM_PARAMS];
    bool keyLine[NUM_PARAMS] = {};
    for (int c = 0; c < NUM_PARAMS; c++) {
        char keyPrefix[MAX_PREFIX + 1], buttonPrefix[MAX_PREFIX + 1];
        int len = std::snprintf(keyPrefix, sizeof keyPrefix, "k_%s=", params[c]);
        std::snprintf(buttonPrefix, sizeof buttonPrefix, "j_%s=", params[c]);
        foundKey[c] = foundButton[c] = -1;
        for (int p = 0; p + len + 2 <= size; p++) {
            if (foundKey[c] >= 0 && foundButton[c] >= 0) break;
            if (standsAt(text, size, p, keyPrefix, len)) {
                foundKey[c] = readKey(text, size, p + len);
                keyLine[c] = true;
            } else if (standsAt(text, size, p, buttonPrefix, len))
                foundButton[c] = readNumber(text, size, p + len);
        }
    }

    // settings: every occurrence in file order, so the last one wins (flags only add up)
    for (int p = 0; p < size; p++) {
        for (const Setting& s : settings) {
            int len = (int)std::strlen(s.key);
            if (standsAt(text, size, p, s.key, len))
                applySetting(s, readNumber(text, size, p + len));
        }
    }

    // A control without a key line keeps its key, as one without a button line keeps its
    // button: a hand-edited or cut-short file must not leave the keyboard dead. A key line
    // of -1 (written for a key left unbound) still unbinds it.
    for (int c = 0; c < NUM_PARAMS; c++) {
        if (keyLine[c]) *keyBindings[c] = foundKey[c];
        if (foundButton[c] >= 0) *buttonBindings[c] = foundButton[c];
    }
    std::free(text);
}

// writing

void dumpKey(const char* name, int key, FILE* file) {
    if (key >= 'a' && key <= 'z')
        std::fprintf(file, "k_%s=%c\n", name, key);
    else
        std::fprintf(file, "k_%s=%d\n", name, key);
}

static int gfxMode() {
    return (cfgFullscreen ? GFX_FULLSCREEN : 0) | (cfgZoom ? GFX_ZOOM : 0) |
           (cfgbpp != 16 ? GFX_DEEP : 0) | (cfgaa2 ? GFX_AA2 : 0) | (cfgs2x ? GFX_S2X : 0);
}

static void writeSetting(const Setting& s, FILE* out) {
    int v = *s.value;
    if (s.rule == RULE_FLAG) v = (v & s.alt) ? 1 : 0;
    std::fprintf(out, "%s%d\n", s.key, v);
}

void dumpConfig() {
    // compose the whole text first, then replace the file in one step
    char* text = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    if (!out) return;
    for (int i = 0; i < NUM_VOLUME_SETTINGS; i++)
        writeSetting(settings[i], out);
    for (int c = 0; c < NUM_PARAMS; c++)
        std::fprintf(out, "j_%s=%d\n", params[c], *buttonBindings[c]);
    for (int c = 0; c < NUM_PARAMS; c++)
        dumpKey(params[c], *keyBindings[c], out);
    for (int i = NUM_VOLUME_SETTINGS; i < NUM_SETTINGS; i++)
        writeSetting(settings[i], out);
    std::fprintf(out, "%s%d\n", GFXMODE_KEY, gfxMode());
    bool complete = !std::ferror(out);
    if (std::fclose(out) == 0 && complete) writeFileSafely(configPath(), text, size);
    std::free(text);
}
