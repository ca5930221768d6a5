// The two fonts. The small font draws the 5x6 shapes of assets/gfx/glyphs.txt 1:1 inside an
// 8x8 cell with a dark outline; the big font draws the 12x12 shapes of glyphsbig.txt inside
// a 16x16 cell with an outline and a drop shadow. Both leave the last column of every cell
// clear (the big font its last row too), so neighbouring letters never touch.
#include "makegfx.h"

#include <sstream>

namespace {

// The letter of one cell as a mask image (white where the letter is).
RgbImage shapeImage(const std::vector<std::string>& rows) {
    const int w = rows.empty() ? 0 : (int)rows[0].size(), h = (int)rows.size();
    RgbImage img(w, h, RGB_MAGENTA);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if (rows[y][x] == '#') img.at(x, y) = 0xFFFFFF;
    return img;
}

// Colours the letter's pixels by row: a light top fading to a deeper bottom.
void shade(RgbImage& img, const std::vector<uint32_t>& rowColours) {
    for (int y = 0; y < img.height; y++)
        for (int x = 0; x < img.width; x++)
            if (img.at(x, y) == 0xFFFFFF)
                img.at(x, y) = rowColours[std::min<int>(y, (int)rowColours.size() - 1)];
}

RgbImage glyph(const std::vector<std::string>& rows, bool big) {
    RgbImage shape = shapeImage(rows);
    if (!big) {
        RgbImage cell(8, 8, RGB_MAGENTA);
        blit(cell, shape, 1, 1);
        shade(cell, {C("white"), C("white"), C("white"), C("white"), C("grey5"), C("grey5"),
                     C("grey4"), C("grey4")});
        outline(cell, C("ink"));
        return cell;
    }
    // body in columns and rows 1 ... 12: outline to 13, shadow to 14, column 15 clear
    RgbImage cell(16, 16, RGB_MAGENTA);
    blit(cell, shape, 1, 1);
    shade(cell,
          {C("gold4"), C("gold4"), C("gold4"), C("gold4"), C("gold3"), C("gold3"), C("gold3"),
           C("gold3"), C("gold3"), C("orange"), C("orange"), C("orange"), C("gold2"), C("gold2")});
    outline(cell, C("ink"));
    dropShadow(cell, 1, 1, C("ink"));
    return cell;
}

} // namespace

bool parseGlyphs(const std::string& text, const std::string& file, int width, int height,
                 GlyphShapes* out, std::string* why) {
    std::istringstream in(text);
    std::string line;
    int n = 0, code = -1;
    std::vector<std::string> rows;
    auto where = [&] { return file + ":" + std::to_string(n); };
    while (std::getline(in, line)) {
        n++;
        line = trimRight(line);
        if (code >= 0) {
            if ((int)line.size() != width || line.find_first_not_of("#.") != std::string::npos) {
                *why = where() + ": a letter row is " + std::to_string(width) +
                       " characters of '#' and '.'";
                return false;
            }
            rows.push_back(line);
            if ((int)rows.size() == height) {
                (*out)[code] = rows;
                rows.clear();
                code = -1;
            }
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        if (line == "char space")
            code = ' ';
        else if (line.size() == 6 && line.compare(0, 5, "char ") == 0)
            code = (unsigned char)line[5];
        else {
            *why = where() + ": expected \"char X\"";
            return false;
        }
        if (code < GLYPH_FIRST || code > GLYPH_LAST) {
            *why = where() + ": character outside the font's range";
            return false;
        }
        if (out->count(code)) {
            *why = where() + ": character given twice";
            return false;
        }
    }
    if (code >= 0) {
        *why = file + ": the last letter is cut short";
        return false;
    }
    for (int c = GLYPH_FIRST; c <= GLYPH_LAST; c++)
        if (!out->count(c)) {
            *why = file + ": no shape for character code " + std::to_string(c);
            return false;
        }
    return true;
}

RgbImage buildFont(const GlyphShapes& shapes, bool big) {
    const int size = big ? 16 : 8;
    const int count = GLYPH_LAST - GLYPH_FIRST + 1;
    const int rows = (count + GLYPH_COLUMNS - 1) / GLYPH_COLUMNS;
    RgbImage sheet(GLYPH_COLUMNS * size, rows * size, RGB_MAGENTA);
    for (int k = 0; k < count; k++)
        blit(sheet, glyph(shapes.at(GLYPH_FIRST + k), big), (k % GLYPH_COLUMNS) * size,
             (k / GLYPH_COLUMNS) * size);
    return sheet;
}

RgbImage bigText(const GlyphShapes& shapes, const std::string& text) {
    RgbImage line((int)text.size() * 16, 16, RGB_MAGENTA);
    for (size_t i = 0; i < text.size(); i++) {
        int c = (unsigned char)text[i];
        if (c >= GLYPH_FIRST && c <= GLYPH_LAST)
            blit(line, glyph(shapes.at(c), true), (int)i * 16, 0);
    }
    return line;
}
