// Stages as Tiled maps (TMX): one tile layer in CSV encoding, 12 rows, one tileset whose
// image is the game's block sheet, so tile k of the sheet is cell value k. The stage text's
// header (comments, tileset, own symbols) travels along as the map property "header", which
// lets a map edited in Tiled come back as the same text.
#pragma once
#include "stagetext.h"

#include <string>

constexpr int TMX_TILE = 16;
constexpr int TMX_SHEET_COLUMNS = 20;
constexpr int TMX_SHEET_TILES = 240;

// The TMX text of a stage; sheetPath is written as the tileset image's source.
std::string writeTmx(const StageGrid& grid, const std::string& header,
                     const std::string& sheetPath);

// Reads a TMX map. Refused, with the reason: anything but one CSV tile layer of 12 rows of
// 16x16 tiles from one tileset, a flipped or rotated tile, a tile id above 255. *header is
// the "header" property, or empty when the map has none (*hasHeader tells).
bool readTmx(const std::string& xml, const std::string& file, StageGrid* grid, std::string* header,
             bool* hasHeader, std::string* error);
