// The block sheet (20 x 12 tiles of 16x16) from the tile art, and the review contact
// sheet that shows every tile enlarged with its number, coloured by the cell's class.
#include "makegfx.h"

#include <cstdio>
#include <set>

namespace {

// The cell catalogue as the stage designer sees it: which values are solid, lethal,
// pushable, or drawn in front of the actors. The review sheet colours tile numbers by it.
const std::set<int> SOLID = {20,  21,  22,  23,  40,  43,  44,  63,  64,  66,  69,
                             77,  78,  79,  80,  92,  93,  95,  96,  100, 110, 111,
                             112, 113, 115, 116, 120, 130, 131, 132, 133, 134, 135,
                             136, 150, 151, 152, 153, 154, 170, 171, 172, 180, 181};
const std::set<int> LETHAL = {87, 105, 140};
const std::set<int> FRONT = {81,  82,  83,  84,  94,  97,  98,  99,  101, 102, 103, 104,
                             106, 107, 108, 109, 114, 117, 118, 119, 127, 128, 129, 147,
                             148, 149, 155, 156, 157, 167, 168, 175, 176, 177};

// Cells with a role in the game, and the terrain and scenery of the tile sets.
const std::set<int> ROLE = {
    1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16,  17,  18,
    19,  20,  21,  22,  23,  24,  25,  26,  27,  28,  33,  34,  35,  36,  37,  38,  39,  40,
    41,  42,  43,  44,  47,  48,  53,  54,  55,  56,  57,  58,  59,  63,  64,  65,  66,  67,
    68,  69,  77,  78,  79,  80,  81,  82,  83,  84,  85,  86,  87,  88,  89,  92,  93,  94,
    95,  96,  97,  98,  99,  100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112,
    113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130,
    131, 132, 133, 134, 135, 136, 137, 138, 140, 141, 142, 143, 144, 145, 146, 147, 148, 149,
    150, 151, 152, 153, 154, 155, 156, 157, 160, 161, 162, 163, 164, 165, 166, 167, 168, 170,
    171, 172, 175, 176, 177, 180, 181, 182, 183, 184, 185, 186, 187, 188, 189, 190, 191, 192,
    193, 194, 195, 196, 197, 198, 199, 200, 201, 202, 203, 204, 205, 206, 207, 208, 209, 210,
    211, 212, 213, 214, 215, 220, 221, 222, 223, 224, 225, 226, 227, 228, 229, 230};

// 3x5 digits for the tile numbers of the review sheet.
const char* const DIGITS[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"},
    {"###", "..#", "###", "#..", "###"}, {"###", "..#", "###", "..#", "###"},
    {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."},
    {"###", "#.#", "###", "#.#", "###"}, {"###", "#.#", "###", "..#", "###"}};

void drawNumber(RgbImage& img, int value, int x, int y, uint32_t c) {
    char text[8];
    std::snprintf(text, sizeof text, "%d", value);
    for (int i = 0; text[i]; i++)
        for (int r = 0; r < 5; r++)
            for (int k = 0; k < 3; k++)
                if (DIGITS[text[i] - '0'][r][k] == '#') putPixel(img, x + i * 4 + k, y + r, c);
}

} // namespace

RgbImage buildBlockSheet(const std::vector<ArtEntry>& tiles) {
    RgbImage sheet(SHEET_COLS * TILE, (TILE_COUNT / SHEET_COLS) * TILE, RGB_MAGENTA);
    std::set<int> drawn;
    for (const auto& e : tiles)
        if (e.isTile) {
            copyRect(sheet, artImage(e.rows, gPal), 0, 0, TILE, TILE,
                     (e.number % SHEET_COLS) * TILE, (e.number / SHEET_COLS) * TILE);
            drawn.insert(e.number);
        }
    // Stand-ins for tiles with a role that have no art yet: a box in the colour of the
    // cell's class with its number.
    for (int n = 1; n < TILE_COUNT; n++) {
        if (drawn.count(n) || !ROLE.count(n)) continue;
        uint32_t c = SOLID.count(n)    ? C("brown3")
                     : LETHAL.count(n) ? C("red3")
                     : FRONT.count(n)  ? C("green3")
                                       : C("blue3");
        int x = (n % SHEET_COLS) * TILE, y = (n / SHEET_COLS) * TILE;
        fillRect(sheet, x + 1, y + 1, 14, 14, c);
        fillRect(sheet, x, y, 16, 1, C("ink"));
        fillRect(sheet, x, y + 15, 16, 1, C("ink"));
        fillRect(sheet, x, y, 1, 16, C("ink"));
        fillRect(sheet, x + 15, y, 1, 16, C("ink"));
        drawNumber(sheet, n, x + 2, y + 5, C("white"));
    }
    return sheet;
}

RgbImage buildContactSheet(const RgbImage& sheet) {
    const int scale = 3, cellW = TILE * scale + 6, cellH = TILE * scale + 12;
    const int rows = TILE_COUNT / SHEET_COLS;
    RgbImage out(SHEET_COLS * cellW + 4, rows * cellH + 4, 0x202020);
    for (int n = 0; n < TILE_COUNT; n++) {
        int ox = 4 + (n % SHEET_COLS) * cellW, oy = 4 + (n / SHEET_COLS) * cellH;
        // a checkerboard shows what is clear
        for (int y = 0; y < TILE * scale; y++)
            for (int x = 0; x < TILE * scale; x++) {
                uint32_t p = sheet.at((n % SHEET_COLS) * TILE + x / scale,
                                      (n / SHEET_COLS) * TILE + y / scale);
                if (p == RGB_MAGENTA) p = ((x / 6 + y / 6) & 1) ? 0x505050 : 0x686868;
                out.at(ox + x, oy + y) = p;
            }
        uint32_t label = 0xB0B0B0;
        if (SOLID.count(n)) label = 0xFFFFFF;
        if (LETHAL.count(n)) label = 0xFF4040;
        if (n == 25) label = 0xFFA000;
        if (FRONT.count(n)) label = 0x40FF40;
        drawNumber(out, n, ox, oy + TILE * scale + 3, label);
    }
    return out;
}
