// The two sprite fonts: each glyph is its own small colour-keyed surface in the display
// format, so a character is one blit. Fonts are fixed-pitch: the blank glyph's width is the
// advance, which makes placing and centring a multiplication.
#include "gfx/font.h"

#include "data/fatal.h"
#include "gfx/image.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

Font font;
Font fontbig;

namespace {

constexpr int FIRST_CHAR = 32;     // glyph 0 is the blank
constexpr int NUMBER_BUF = 16;     // "%d" of any int32 with its NUL
constexpr int MAX_ZERO_FILL = 8;   // leading zeros drawn at most
constexpr int SCREEN_MIDDLE = 160; // centred texts are centred on this column

struct Metrics {
    int w = 0, h = 0, glyphs = 0;
};

Metrics metricsOf(Font f) {
    Metrics m;
    if (!f || !f[0]) return m;
    m.w = f[0]->w;
    m.h = f[0]->h;
    while (f[m.glyphs])
        m.glyphs++;
    return m;
}

// Draws at most n characters from x on. A character the font has no glyph for advances like
// a blank and draws nothing.
void drawChars(SDL_Surface* dst, const char* text, int n, int64_t x, int y, Font f) {
    Metrics m = metricsOf(f);
    if (!dst || !text || m.w <= 0 || y >= dst->h || y <= -m.h) return;
    for (int i = 0; i < n && text[i]; i++, x += m.w) {
        if (x >= dst->w) break; // everything further right is off the picture
        if (x <= -m.w) continue;
        int k = (unsigned char)text[i] - FIRST_CHAR;
        if (k < 0 || k >= m.glyphs) continue;
        SDL_Rect src = {0, 0, (Uint16)m.w, (Uint16)m.h};
        SDL_Rect at = {(Sint16)x, (Sint16)y, 0, 0};
        SDL_UpperBlit(f[k], &src, dst, &at);
    }
}

void destroyFont(Font& f) {
    if (!f) return;
    for (int i = 0; f[i]; i++)
        SDL_FreeSurface(f[i]);
    std::free(f);
    f = nullptr;
}

} // namespace

Font createFont(SDL_Surface* image, int glyphWidth, int glyphHeight) {
    int cols = 0, rows = 0;
    if (image && glyphWidth > 0 && glyphHeight > 0) {
        cols = image->w / glyphWidth;
        rows = image->h / glyphHeight;
    }
    Font f = (Font)std::calloc((size_t)cols * rows + 1, sizeof(SDL_Surface*));
    if (!f) error("Unable to create font", "out of memory");
    for (int r = 0; r < rows; r++) {
        for (int c = 0; c < cols; c++) {
            SDL_Surface* g = createImage(glyphWidth, glyphHeight, 1);
            SDL_Rect src = {(Sint16)(c * glyphWidth), (Sint16)(r * glyphHeight), (Uint16)glyphWidth,
                            (Uint16)glyphHeight};
            SDL_Rect at = {0, 0, 0, 0};
            SDL_BlitSurface(image, &src, g, &at);
            setColorKey(g, KEY_R, KEY_G, KEY_B);
            f[r * cols + c] = g;
        }
    }
    return f;
}

void loadSpriteFont() {
    SDL_Surface* small = loadGFX("font", 0, 0, 0, 0);
    SDL_Surface* big = loadGFX("fontbig", 0, 0, 0, 0);
    font = createFont(small, 8, 8);
    fontbig = createFont(big, 16, 16);
    freeSurface(small);
    freeSurface(big);
}

void destroyFonts() {
    destroyFont(font);
    destroyFont(fontbig);
}

void drawTextAt(SDL_Surface* dst, const char* text, int x, int y, Font f) {
    if (text) drawChars(dst, text, (int)std::strlen(text), x, y, f);
}

void drawTextNAt(SDL_Surface* dst, const char* text, int n, int x, int y, Font f) {
    if (n >= 1) drawChars(dst, text, n, x, y, f);
}

void drawTextCenterAt(SDL_Surface* dst, const char* text, int y, Font f) {
    if (!text) return;
    int64_t len = (int64_t)std::strlen(text);
    int64_t x = SCREEN_MIDDLE - (int64_t)(metricsOf(f).w / 2) * len;
    drawChars(dst, text, (int)len, x, y, f);
}

void drawNumberAt(SDL_Surface* dst, int value, int x, int y, int width, int leadingZeros, Font f) {
    char digits[NUMBER_BUF];
    std::snprintf(digits, sizeof digits, "%d", value);
    const int len = (int)std::strlen(digits);
    const int w = metricsOf(f).w;
    if (len < width && leadingZeros) {
        int zeros = width - len < MAX_ZERO_FILL ? width - len : MAX_ZERO_FILL;
        for (int i = 0; i < zeros; i++)
            drawChars(dst, "0", 1, (int64_t)x + (int64_t)i * w, y, f);
    }
    int64_t start = width > 0 ? (int64_t)x + ((int64_t)width - len) * w : x;
    drawChars(dst, digits, len, start, y, f);
}
