// The five story pages, 320x200 each: painted landscapes with the actors of the game
// enlarged from their tiles (and the heroine from her own art). The caption is drawn by
// the game below the picture.
#include "makegfx.h"

#include <cmath>

namespace {

constexpr int PAGE_W = 320, PAGE_H = 200;

RgbImage tileOf(const RgbImage& sheet, int n) {
    return crop(sheet, (n % SHEET_COLS) * TILE, (n / SHEET_COLS) * TILE, TILE, TILE);
}

void sprite(RgbImage& page, const RgbImage& img, int scale, int x, int bottom) {
    RgbImage big = scaleNearest(img, scale);
    blit(page, big, x, bottom - big.height);
}

void ground(RgbImage& page, int top, uint32_t grass, uint32_t lit, uint32_t earth, uint32_t deep) {
    for (int x = 0; x < PAGE_W; x++) {
        int t = top + (int)std::lround(2 * std::sin(x * 0.05));
        for (int y = t; y < PAGE_H; y++) {
            int d = y - t;
            uint32_t c = d < 2   ? lit
                         : d < 7 ? grass
                         : d < 9 ? dither(grass, earth, 8, x, y)
                                 : earth;
            if (d > 30) c = dither(earth, deep, std::min(16, d - 30), x, y);
            page.at(x, y) = c;
        }
    }
}

void hills(RgbImage& page, int base, double amp, double freq, double phase, uint32_t c) {
    for (int x = 0; x < PAGE_W; x++) {
        int top = base - (int)std::lround(amp * (1 + std::sin(x * freq + phase)));
        for (int y = std::max(0, top); y < PAGE_H; y++)
            page.at(x, y) = c;
    }
}

void heart(RgbImage& page, int cx, int cy, int r) {
    fillCircle(page, cx - r / 2, cy, r / 2 + 1, C("red3"));
    fillCircle(page, cx + r / 2, cy, r / 2 + 1, C("red3"));
    for (int y = 0; y <= r; y++)
        for (int x = -r + y; x <= r - y; x++)
            putPixel(page, cx + x, cy + y, C("red3"));
    fillCircle(page, cx - r / 2 - 1, cy - 1, r / 4, C("red4"));
}

RgbImage heroine(const RgbImage& sheet) {
    if (gArt.count("heroine")) return art("heroine");
    // a stand-in until her art exists: the hero in her colours
    RgbImage h = tileOf(sheet, 24);
    for (auto& p : h.pixels)
        if (p == C("blue3") || p == C("blue2") || p == C("red3") || p == C("red2")) p = C("pink1");
    return mirrored(h);
}

} // namespace

RgbImage buildStory(char page, const RgbImage& sheet) {
    RgbImage img(PAGE_W, PAGE_H, C("sky1"));
    RgbImage hero = tileOf(sheet, 24), her = heroine(sheet);
    switch (page) {
    case 'a': // happily together on a sunny meadow
        verticalRamp(img, 0, PAGE_W - 1, 0, 150, {C("sky2"), C("sky3"), C("sky4"), C("sky5")});
        fillCircle(img, 256, 40, 18, C("gold4"));
        hills(img, 140, 10, 0.03, 0.5, C("haze1"));
        ground(img, 150, C("green3"), C("green4"), C("brown3"), C("brown2"));
        sprite(img, hero, 4, 100, 156);
        sprite(img, her, 4, 164, 156);
        heart(img, 160, 70, 10);
        break;
    case 'b': // suddenly: the sky darkens and a skull grabs her
        verticalRamp(img, 0, PAGE_W - 1, 0, 150,
                     {C("purple1"), C("purple2"), C("red2"), C("orange")});
        hills(img, 140, 10, 0.03, 0.5, C("purple1"));
        ground(img, 150, C("green2"), C("green3"), C("brown2"), C("brown1"));
        sprite(img, hero, 4, 60, 156);
        sprite(img, her, 4, 190, 120);
        sprite(img, tileOf(sheet, 125), 5, 200, 100);
        break;
    case 'c': // rings or she dies: she is caged in a cave, rings all around
        verticalRamp(img, 0, PAGE_W - 1, 0, PAGE_H - 1, {C("grey1"), C("purple1"), C("ink")});
        sprite(img, her, 4, 136, 150);
        for (int x = 126; x <= 194; x += 8)
            fillRect(img, x, 70, 3, 84, C("grey4"));
        fillRect(img, 122, 66, 78, 6, C("grey3"));
        fillRect(img, 122, 152, 78, 6, C("grey3"));
        for (int k = 0; k < 8; k++) {
            double a = k * 6.2831853 / 8;
            sprite(img, tileOf(sheet, 41), 2, 144 + (int)(110 * std::cos(a)),
                   118 + (int)(70 * std::sin(a)));
        }
        break;
    case 'd': // you are safe: the cage lies open, they meet again
        verticalRamp(img, 0, PAGE_W - 1, 0, 150, {C("sky2"), C("sky3"), C("sky5")});
        ground(img, 150, C("green3"), C("green4"), C("brown3"), C("brown2"));
        sprite(img, hero, 4, 110, 156);
        sprite(img, her, 4, 150, 156);
        heart(img, 150, 60, 12);
        heart(img, 120, 84, 6);
        heart(img, 186, 80, 7);
        break;
    default: // the end: together into the sunset
        verticalRamp(img, 0, PAGE_W - 1, 0, 140,
                     {C("purple2"), C("purple3"), C("pink1"), C("orange"), C("gold3")});
        fillCircle(img, 160, 140, 30, C("gold4"));
        hills(img, 146, 6, 0.02, 1.0, C("purple1"));
        ground(img, 156, C("green2"), C("green3"), C("brown2"), C("brown1"));
        sprite(img, tileOf(sheet, 2), 3, 130, 160);
        sprite(img, mirrored(her), 3, 162, 160);
        break;
    }
    return img;
}
