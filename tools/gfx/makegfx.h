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
typedef std::map<int, std::vector<std::string>> GlyphShapes; // code -> rows of a letter
constexpr int SMALL_GLYPH_W = 5, SMALL_GLYPH_H = 6;          // glyphs.txt
constexpr int BIG_GLYPH_W = 12, BIG_GLYPH_H = 12;            // glyphsbig.txt

// Reads a letter file whose shapes are width x height; every code must have one.
bool parseGlyphs(const std::string& text, const std::string& file, int width, int height,
                 GlyphShapes* out, std::string* why);
// The small font from small shapes, the big font from big shapes.
RgbImage buildFont(const GlyphShapes& shapes, bool big);
// A line of text in the big font (big shapes), for pictures that carry words.
RgbImage bigText(const GlyphShapes& shapes, const std::string& text);

// ---- block sheet (sheet.cpp)
constexpr int TILE_COUNT = 240, TILE = 16, SHEET_COLS = 20;
RgbImage buildBlockSheet(const std::vector<ArtEntry>& tiles);
RgbImage buildContactSheet(const RgbImage& sheet);

// ---- large pictures
RgbImage buildBackdrop();                                                    // backdrop.cpp
RgbImage buildLogo(const GlyphShapes& shapes);                               // titles.cpp
RgbImage buildMascot();                                                      // titles.cpp
RgbImage buildMakerLogo(const GlyphShapes& bigShapes);                       // titles.cpp
RgbImage buildIcon(int size, const RgbImage& sheet);                         // titles.cpp
RgbImage buildStory(char page, const RgbImage& sheet, const RgbImage& back); // story.cpp
