// The five story pages, 320x200 each: scenes built from the game's own backdrop and tiles
// at double size, with the actors at four times their size (the heroine from her own art).
// The caption is drawn by the game below the picture.
#include "makegfx.h"

#include <cmath>
#include <map>

namespace {

constexpr int PAGE_W = 320, PAGE_H = 200;

RgbImage tileOf(const RgbImage& sheet, int n) {
    return crop(sheet, (n % SHEET_COLS) * TILE, (n / SHEET_COLS) * TILE, TILE, TILE);
}

// Draws an image enlarged with its bottom edge on `bottom`.
void place(RgbImage& page, const RgbImage& img, int scale, int x, int bottom) {
    RgbImage big = scaleNearest(img, scale);
    blit(page, big, x, bottom - big.height);
}

void placeTile(RgbImage& page, const RgbImage& sheet, int n, int scale, int x, int bottom) {
    place(page, tileOf(sheet, n), scale, x, bottom);
}

// A row of tiles at double size from x0 to the right edge.
void tileRow(RgbImage& page, const RgbImage& sheet, const std::vector<int>& pattern, int y) {
    for (int x = 0, k = 0; x < PAGE_W; x += 32, k++)
        placeTile(page, sheet, pattern[k % pattern.size()], 2, x, y + 32);
}

// The stage backdrop as the sky of a scene.
void sky(RgbImage& page, const RgbImage& back, int offset) {
    for (int y = 0; y < PAGE_H; y++)
        for (int x = 0; x < PAGE_W; x++)
            page.at(x, y) = back.at((x + offset) % back.width, std::min(y, back.height - 1));
}

// Night falls: every colour moves to its darker, bluer counterpart.
void nightfall(RgbImage& page) {
    static const std::map<std::string, std::string> darker = {
        {"sky1", "purple1"},  {"sky2", "purple2"},  {"sky3", "purple2"},  {"sky4", "purple3"},
        {"sky5", "purple3"},  {"haze1", "blue2"},   {"haze2", "purple2"}, {"haze3", "blue1"},
        {"white", "grey4"},   {"grey5", "grey3"},   {"grey4", "grey2"},   {"grey3", "grey2"},
        {"green5", "green3"}, {"green4", "green2"}, {"green3", "green2"}, {"green2", "green1"},
        {"brown5", "brown3"}, {"brown4", "brown2"}, {"brown3", "brown2"}, {"brown2", "brown1"},
        {"blue5", "blue3"},   {"blue4", "blue2"},   {"gold4", "gold3"},   {"gold3", "gold2"}};
    std::map<uint32_t, uint32_t> map;
    for (const auto& kv : darker)
        map[C(kv.first.c_str())] = C(kv.second.c_str());
    for (auto& p : page.pixels) {
        auto it = map.find(p);
        if (it != map.end()) p = it->second;
    }
}

void heart(RgbImage& page, int cx, int cy, int r) {
    RgbImage h(4 * r + 4, 4 * r + 4, RGB_MAGENTA);
    int ox = 2 * r + 2, oy = r + 2;
    fillCircle(h, ox - r, oy, r, C("red3"));
    fillCircle(h, ox + r, oy, r, C("red3"));
    for (int y = 0; y <= 2 * r; y++)
        for (int x = -2 * r + y; x <= 2 * r - y; x++)
            putPixel(h, ox + x, oy + y, C("red3"));
    fillCircle(h, ox - r - r / 3, oy - r / 3, std::max(1, r / 3), C("red4"));
    outline(h, C("ink"));
    blit(page, h, cx - ox, cy - oy);
}

void sparkle(RgbImage& page, int x, int y) {
    putPixel(page, x, y, C("white"));
    for (int d = 1; d <= 2; d++) {
        putPixel(page, x - d, y, C("gold4"));
        putPixel(page, x + d, y, C("gold4"));
        putPixel(page, x, y - d, C("gold4"));
        putPixel(page, x, y + d, C("gold4"));
    }
}

void meadow(RgbImage& page, const RgbImage& sheet) {
    // a tree on the left, a fence, flowers, and the grass and earth of the first stages
    placeTile(page, sheet, 73, 2, 8, 96);
    placeTile(page, sheet, 74, 2, 40, 96);
    placeTile(page, sheet, 75, 2, 8, 128);
    placeTile(page, sheet, 76, 2, 40, 128);
    // the trunk goes under the crown's left column, where its stem stands
    placeTile(page, sheet, 29, 2, 8, 160);
    placeTile(page, sheet, 30, 2, 8, 168);
    for (int x = 224; x < PAGE_W; x += 32)
        placeTile(page, sheet, x == 224 ? 175 : 176, 2, x, 168);
    tileRow(page, sheet, {131, 136, 131, 131, 136}, 168);
    placeTile(page, sheet, 82, 2, 70, 168);
    placeTile(page, sheet, 81, 2, 280, 168);
}

} // namespace

RgbImage buildStory(char page, const RgbImage& sheet, const RgbImage& back) {
    RgbImage img(PAGE_W, PAGE_H, C("sky1"));
    const RgbImage her = art("heroine");
    switch (page) {
    case 'a': // happily together on a sunny meadow
        sky(img, back, 90);
        meadow(img, sheet);
        placeTile(img, sheet, 65, 4, 104, 170);
        place(img, her, 4, 164, 170);
        heart(img, 160, 70, 7);
        heart(img, 132, 86, 3);
        heart(img, 190, 80, 4);
        break;
    case 'b': // suddenly: night falls and a skull carries her off
        sky(img, back, 90);
        meadow(img, sheet);
        placeTile(img, sheet, 184, 4, 60, 170);
        place(img, art("heroine-cry"), 4, 196, 118);
        placeTile(img, sheet, 126, 5, 180, 84);
        nightfall(img);
        for (int k = 0; k < 5; k++)
            sparkle(img, 30 + k * 61, 20 + (k * 37) % 50);
        break;
    case 'c': // rings or she dies: caged in a cave, the rings all around
        for (int y = 0; y < PAGE_H; y += 32)
            for (int x = 0; x < PAGE_W; x += 32)
                placeTile(img, sheet, (x / 32 + y / 32) % 3 ? 49 : 50, 2, x, y + 32);
        tileRow(img, sheet, {150, 172, 150}, 168);
        tileRow(img, sheet, {153}, 0);
        for (int x = 40; x < PAGE_W; x += 96)
            placeTile(img, sheet, 147, 2, x, 64);
        place(img, her, 4, 128, 170);
        // the cage: bars over her, a lid and a floor
        fillRect(img, 112, 88, 98, 8, C("ink"));
        fillRect(img, 113, 89, 96, 6, C("grey3"));
        fillRect(img, 113, 89, 96, 2, C("grey5"));
        for (int x = 116; x <= 204; x += 11) {
            fillRect(img, x, 96, 5, 72, C("ink"));
            fillRect(img, x + 1, 96, 3, 72, C("grey4"));
            fillRect(img, x + 1, 96, 1, 72, C("grey5"));
        }
        fillRect(img, 112, 166, 98, 4, C("ink"));
        placeTile(img, sheet, 121, 3, 236, 170);
        for (int k = 0; k < 9; k++) {
            double a = 3.14159 + k * 3.14159 / 8;
            int x = 152 + (int)(120 * std::cos(a)), y = 104 + (int)(78 * std::sin(a));
            placeTile(img, sheet, 41, 2, x, y + 16);
            sparkle(img, x + 6, y - 12);
        }
        break;
    case 'd': // you are safe: out of the temple door, together again
        sky(img, back, 250);
        for (int y = 40; y < 168; y += 32)
            for (int x = 0; x < 128; x += 32)
                placeTile(img, sheet, y == 40 ? 110 : 111, 2, x, y + 32);
        placeTile(img, sheet, 27, 2, 24, 136);
        placeTile(img, sheet, 28, 2, 56, 136);
        placeTile(img, sheet, 47, 2, 24, 168);
        placeTile(img, sheet, 48, 2, 56, 168);
        tileRow(img, sheet, {131, 131, 136}, 168);
        placeTile(img, sheet, 65, 4, 128, 170);
        place(img, her, 4, 180, 170);
        heart(img, 176, 66, 8);
        for (int k = 0; k < 6; k++)
            sparkle(img, 140 + k * 14, 40 + (k % 2) * 10);
        break;
    default: // the end: into the sunset together
        sky(img, back, 90);
        for (auto& p : img.pixels) {
            if (p == C("sky1") || p == C("sky2"))
                p = C("purple2");
            else if (p == C("sky3"))
                p = C("pink2");
            else if (p == C("sky4"))
                p = C("pink1");
            else if (p == C("sky5") || p == C("white"))
                p = C("orange");
            else if (p == C("haze2") || p == C("haze1"))
                p = C("purple3");
            else if (p == C("haze3") || p == C("grey3") || p == C("grey2"))
                p = C("purple1");
        }
        // the sun sinks behind the mountains: drawn only where the sky shows
        for (int y = 0; y < PAGE_H; y++)
            for (int x = 0; x < PAGE_W; x++) {
                int dx = x - 236, dy = y - 112, d = dx * dx + dy * dy;
                uint32_t& p = img.at(x, y);
                bool skyPixel =
                    p == C("purple2") || p == C("pink2") || p == C("pink1") || p == C("orange");
                if (skyPixel && d < 26 * 26) p = d < 20 * 20 ? C("gold4") : C("gold3");
            }
        meadow(img, sheet);
        placeTile(img, sheet, 3, 3, 120, 170);
        place(img, mirrored(art("heroine")), 3, 148, 170);
        heart(img, 150, 110, 4);
        break;
    }
    return img;
}
