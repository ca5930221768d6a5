// Title pictures: the game's logo, the maker's mascot and mark for the logo screen, and the
// desktop icon. Letters come from the font shapes, enlarged with smoothed diagonals and
// given a bevel lit from the upper left, a thick outline and a drop shadow.
#include "makegfx.h"

namespace {

// The mask of a text: white where a letter is, letters enlarged by EPX `doublings` times
// and spaced by `gap` pixels.
RgbImage textMask(const GlyphShapes& shapes, const std::string& text, int doublings, int gap) {
    const int w = 5 << doublings, h = 6 << doublings;
    RgbImage mask((int)text.size() * (w + gap), h, RGB_MAGENTA);
    for (size_t i = 0; i < text.size(); i++) {
        const auto& rows = shapes.at((unsigned char)text[i]);
        RgbImage g(5, 6, RGB_MAGENTA);
        for (int y = 0; y < 6; y++)
            for (int x = 0; x < 5; x++)
                if (rows[y][x] == '#') g.at(x, y) = 0xFFFFFF;
        for (int d = 0; d < doublings; d++)
            g = scaleEPX(g);
        blit(mask, g, (int)i * (w + gap), 0);
    }
    return mask;
}

bool solid(const RgbImage& m, int x, int y) {
    return x >= 0 && y >= 0 && x < m.width && y < m.height && m.at(x, y) != RGB_MAGENTA;
}

// Colours a mask: top-left edges catch the light, bottom-right edges fall into shade, the
// face runs through the ramp from top to bottom.
RgbImage bevel(const RgbImage& mask, const std::vector<uint32_t>& face, uint32_t light,
               uint32_t shade) {
    RgbImage out(mask.width, mask.height, RGB_MAGENTA);
    for (int y = 0; y < mask.height; y++)
        for (int x = 0; x < mask.width; x++) {
            if (!solid(mask, x, y)) continue;
            int pos = y * (int)(face.size() - 1) * 16 / std::max(1, mask.height - 1);
            int k = pos / 16;
            uint32_t c = k + 1 < (int)face.size() ? dither(face[k], face[k + 1], pos % 16, x, y)
                                                  : face.back();
            if (!solid(mask, x, y - 1) || !solid(mask, x - 1, y) || !solid(mask, x, y - 2))
                c = light;
            else if (!solid(mask, x, y + 1) || !solid(mask, x + 1, y) || !solid(mask, x + 1, y + 1))
                c = shade;
            out.at(x, y) = c;
        }
    return out;
}

RgbImage framed(const RgbImage& img, int border) {
    RgbImage out(img.width + 2 * border, img.height + 2 * border, RGB_MAGENTA);
    blit(out, img, border, border);
    return out;
}

} // namespace

RgbImage buildLogo(const GlyphShapes& shapes) {
    RgbImage mask = textMask(shapes, "TROBZ 3", 2, 4);
    RgbImage letters =
        bevel(mask, {C("gold4"), C("gold3"), C("orange"), C("red3")}, C("white"), C("red2"));
    RgbImage out = framed(letters, 6);
    outline(out, C("ink"));
    outline(out, C("ink"));
    dropShadow(out, 2, 3, C("purple1"));
    dropShadow(out, 1, 1, C("purple1"));
    return out;
}

RgbImage buildMascot() {
    if (gArt.count("zk-vemo")) return scaleNearest(art("zk-vemo"), 2);
    RgbImage img(64, 64, RGB_MAGENTA);
    fillEllipse(img, 32, 36, 24, 22, C("purple2"));
    fillEllipse(img, 29, 33, 20, 18, C("purple3"));
    fillEllipse(img, 24, 26, 8, 6, C("purple4"));
    fillEllipse(img, 24, 34, 6, 7, C("white"));
    fillEllipse(img, 40, 34, 6, 7, C("white"));
    fillEllipse(img, 25, 35, 3, 4, C("ink"));
    fillEllipse(img, 41, 35, 3, 4, C("ink"));
    outline(img, C("ink"));
    return img;
}

RgbImage buildMakerLogo() {
    if (gArt.count("zk-logo")) return scaleNearest(art("zk-logo"), 2);
    RgbImage img(160, 32, RGB_MAGENTA);
    for (int y = 0; y < 30; y++) {
        int half = y < 15 ? y : 29 - y;
        for (int x = 15 - half; x <= 15 + half; x++)
            img.at(x + 1, y + 1) =
                x < 15 ? (y < 15 ? C("blue5") : C("blue3")) : (y < 15 ? C("blue4") : C("blue2"));
    }
    outline(img, C("ink"));
    return img;
}

RgbImage buildIcon(int size, const RgbImage& sheet) {
    RgbImage hero = crop(sheet, (24 % SHEET_COLS) * TILE, (24 / SHEET_COLS) * TILE, TILE, TILE);
    RgbImage icon(size, size, RGB_MAGENTA);
    if (size < 32) {
        blit(icon, hero, (size - TILE) / 2, (size - TILE) / 2);
        return icon;
    }
    // a rounded tile of sky and grass behind the hero
    int r = size / 6;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            int cx = x < r ? r - x : (x >= size - r ? x - (size - 1 - r) : 0);
            int cy = y < r ? r - y : (y >= size - r ? y - (size - 1 - r) : 0);
            if (cx * cx + cy * cy <= r * r)
                icon.at(x, y) = y > size * 3 / 4 ? C("green3") : C("sky3");
        }
    verticalRamp(icon, 0, size - 1, 0, size * 3 / 4 - 1, {C("sky2"), C("sky3"), C("sky5")});
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            int cx = x < r ? r - x : (x >= size - r ? x - (size - 1 - r) : 0);
            int cy = y < r ? r - y : (y >= size - r ? y - (size - 1 - r) : 0);
            if (cx * cx + cy * cy > r * r)
                icon.at(x, y) = RGB_MAGENTA;
            else if (y >= size * 3 / 4)
                icon.at(x, y) = y < size * 3 / 4 + size / 32 + 1 ? C("green4") : C("brown3");
        }
    int f = size / 20;
    RgbImage big = scaleNearest(hero, std::max(1, f));
    blit(icon, big, (size - big.width) / 2, size * 3 / 4 - big.height + f);
    return icon;
}
