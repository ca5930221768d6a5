// The block sheet (20 x 12 tiles of 16x16) from the tile art, and the review contact
// sheet that shows every tile enlarged with its number, coloured by the cell's class.
#include "digits.h"
#include "makegfx.h"

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

} // namespace

RgbImage buildBlockSheet(const std::vector<ArtEntry>& tiles) {
    RgbImage sheet(SHEET_COLS * TILE, (TILE_COUNT / SHEET_COLS) * TILE, RGB_MAGENTA);
    for (const auto& e : tiles)
        if (e.isTile) {
            copyRect(sheet, artImage(e.rows, gPal), 0, 0, TILE, TILE,
                     (e.number % SHEET_COLS) * TILE, (e.number / SHEET_COLS) * TILE);
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
        drawDigits(out, n, ox, oy + TILE * scale + 3, label);
    }
    return out;
}
