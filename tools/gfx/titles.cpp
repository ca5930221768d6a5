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
    // "TROBZ" in gold and a great red "3", each letter the font's shape enlarged eight
    // times with its diagonals smoothed at every doubling
    RgbImage name = bevel(textMask(shapes, "TROBZ", 3, 3),
                          {C("gold4"), C("gold3"), C("gold3"), C("orange"), C("gold2")}, C("white"),
                          C("gold1"));
    RgbImage three = bevel(textMask(shapes, "3", 3, 0),
                           {C("red4"), C("red3"), C("red3"), C("red2")}, C("gold4"), C("red1"));
    const int gap = 10;
    RgbImage letters(name.width + gap + three.width, name.height, RGB_MAGENTA);
    blit(letters, name, 0, 0);
    blit(letters, three, name.width + gap, 0);
    // a band of shine across the upper third of every letter
    for (int x = 0; x < letters.width; x++)
        for (int y = letters.height / 5; y < letters.height / 5 + 3; y++)
            if (letters.at(x, y) != RGB_MAGENTA && letters.at(x, y) != C("white") &&
                letters.at(x, y) != C("gold4") && (x + y) % 7 != 0)
                letters.at(x, y) = y == letters.height / 5 + 2 ? letters.at(x, y) : C("gold4");
    RgbImage out = framed(letters, 6);
    outline(out, C("ink"));
    outline(out, C("ink"));
    dropShadow(out, 2, 3, C("purple1"));
    dropShadow(out, 1, 1, C("purple1"));
    return out;
}

RgbImage buildMascot() {
    return scaleNearest(art("zk-vemo"), 2);
}

RgbImage buildMakerLogo(const GlyphShapes& bigShapes) {
    // the gem at double size, and PRESENTS in the big font beside it, centred on it
    RgbImage mark = scaleNearest(art("zk-mark"), 2);
    RgbImage word = bigText(bigShapes, "PRESENTS");
    const int gap = 10;
    RgbImage out(mark.width + gap + word.width, mark.height, RGB_MAGENTA);
    blit(out, mark, 0, 0);
    blit(out, word, mark.width + gap, (mark.height - word.height) / 2);
    return out;
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
