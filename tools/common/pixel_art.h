// Pixel art as readable text: a palette file maps one character to one colour, and art files
// hold pictures as rows of those characters. The asset tools turn them into images.
//
// Palette file, one colour a line:     <char> <RRGGBB> <name>
// Art file:
//   # a comment
//   tile 41: ring                       followed by 16 rows of 16 characters
//   image zk-vemo 32x24: the mascot     followed by 24 rows of 32 characters
//   tiles 2x2 38 39 58 59: door         a block of 2 x 2 tiles drawn as one picture
//                                       (32 rows of 32), numbered left to right, top down
//   tile 5 = mirror 1: ...              left-right mirror of tile 1
//   tile 9 = flip 3                     upside down
//   tile 7 = copy 3
//   tile 8 = recolor 3 ab cd            tile 3 with every 'a' drawn as 'b', 'c' as 'd'
//   tile 9 = shift 3 1 -2               tile 3 moved 1 px right and 2 up, '.' fills in
// Derived tiles may refer to tiles defined later or in other files; see resolveTiles.
#pragma once
#include "bmp_writer.h"

#include <map>
#include <string>
#include <vector>

struct Palette {
    std::map<char, uint32_t> colour;
    std::map<char, std::string> name;
    std::string order; // characters in file order

    bool has(char c) const { return colour.count(c) != 0; }
    uint32_t operator[](char c) const { return colour.at(c); }
    // The colour named so in the palette file; 0 (and *found false) when there is none.
    uint32_t named(const std::string& n, bool* found = nullptr) const;
    char charOf(uint32_t rgb) const; // 0 when the colour is not in the palette
};

// Parses a palette file's text; file names the source in error messages.
bool parsePalette(const std::string& text, const std::string& file, Palette* out, std::string* why);

struct ArtEntry {
    bool isTile = true;
    int number = -1;     // tile number
    std::string name;    // image name
    std::string label;   // text after the colon
    std::string op;      // "" for drawn art, else mirror, flip, copy, recolor, shift
    int source = -1;     // source tile of a derived tile
    std::string mapping; // recolor: pairs of characters
    int dx = 0, dy = 0;  // shift
    int width = 0, height = 0;
    std::vector<std::string> rows;
    std::string where;      // "file:line" of the header
    std::vector<int> group; // "tiles": the numbers of the block's tiles (while parsing)
};

// Appends the entries of one art file. Every row must have the stated width and only
// palette characters; errors name the file and line.
bool parseArt(const std::string& text, const std::string& file, const Palette& pal,
              std::vector<ArtEntry>* out, std::string* why);

// Gives every tile entry its rows, following derived tiles to their sources. Fails on a tile
// defined twice, a number outside 0 ... count-1, a missing source or a cycle.
bool resolveTiles(std::vector<ArtEntry>& entries, int count, std::string* why);

// The picture of a set of rows.
RgbImage artImage(const std::vector<std::string>& rows, const Palette& pal);

bool readTextFile(const std::string& path, std::string* out);
// The line without its trailing blanks, tabs and carriage return (text files from any
// system read alike).
std::string trimRight(const std::string& s);
