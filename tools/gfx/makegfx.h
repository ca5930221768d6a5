// The picture builder: every image of the graphics archive, made from the sources under
// assets/gfx (palette, pixel art as text, letter shapes) and the drawing code of this tool.
#pragma once
#include "canvas.h"

#include <map>
#include <string>
#include <vector>

// ---- fonts (fonts.cpp)
constexpr int GLYPH_FIRST = 32, GLYPH_LAST = 95;             // codes with a letter shape
constexpr int GLYPH_COLUMNS = 16;                            // glyphs per row of a font image
typedef std::map<int, std::vector<std::string>> GlyphShapes; // code -> 6 rows of 5

bool parseGlyphs(const std::string& text, const std::string& file, GlyphShapes* out,
                 std::string* why);
RgbImage buildFont(const GlyphShapes& shapes, bool big);
// A line of text in the big font's style, for pictures that carry words.
RgbImage bigText(const GlyphShapes& shapes, const std::string& text);

// ---- block sheet (sheet.cpp)
constexpr int TILE_COUNT = 240, TILE = 16, SHEET_COLS = 20;
RgbImage buildBlockSheet(const std::vector<ArtEntry>& tiles);
RgbImage buildContactSheet(const RgbImage& sheet);

// ---- large pictures
RgbImage buildBackdrop();                                                    // backdrop.cpp
RgbImage buildLogo(const GlyphShapes& shapes);                               // titles.cpp
RgbImage buildMascot();                                                      // titles.cpp
RgbImage buildMakerLogo(const GlyphShapes& shapes);                          // titles.cpp
RgbImage buildIcon(int size, const RgbImage& sheet);                         // titles.cpp
RgbImage buildStory(char page, const RgbImage& sheet, const RgbImage& back); // story.cpp
