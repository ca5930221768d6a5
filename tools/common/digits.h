// Small 3x5 digits for numbering what a review picture shows: the tiles of the contact
// sheet, the columns of a stage picture. Kept in a header so the art tool, which builds
// without the tools library, can use it too.
#pragma once
#include "bmp_writer.h"

#include <cstdio>

// Writes value in 3x5 digits 4 px apart, the first digit's top left at (x, y). Whatever
// falls outside the picture is left out.
inline void drawDigits(RgbImage& img, int value, int x, int y, uint32_t colour) {
    static const char* const DIGITS[10][5] = {
        {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"},
        {"###", "..#", "###", "#..", "###"}, {"###", "..#", "###", "..#", "###"},
        {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
        {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."},
        {"###", "#.#", "###", "#.#", "###"}, {"###", "#.#", "###", "..#", "###"}};
    char text[12]; // any int
    std::snprintf(text, sizeof text, "%d", value);
    for (int i = 0; text[i]; i++) {
        if (text[i] < '0' || text[i] > '9') continue; // a minus sign has no shape
        for (int r = 0; r < 5; r++)
            for (int k = 0; k < 3; k++) {
                int px = x + i * 4 + k, py = y + r;
                if (DIGITS[text[i] - '0'][r][k] == '#' && px >= 0 && py >= 0 && px < img.width &&
                    py < img.height)
                    img.at(px, py) = colour;
            }
    }
}
