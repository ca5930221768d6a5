// Stage sources as text: a legend file that gives every symbol a cell value (a common
// section and one section per terrain set), and stage files of 12 rows with one symbol per
// cell. Parsing, the rules a stage must follow to be playable, and the stage file bytes.
#pragma once
#include "world/map.h"

#include <cstdint>
#include <string>
#include <vector>

// Where something is in a source file; line and column count from 1, 0 = unknown.
struct SourcePos {
    std::string file;
    int line = 0;
    int column = 0;
};

// "file:line:column: message", leaving out what is unknown.
std::string describeAt(const SourcePos& pos, const std::string& message);

// ---- the legend

// A stage is MAP_ROWS high and MIN_MAP_COLUMNS ... MAX_MAP_COLUMNS wide, as the loader takes it.
constexpr int STAGE_MAX_VALUE = 255; // a cell is one byte in the stage file

struct LegendEntry {
    char symbol = 0;
    int value = 0;
    std::string description;
    SourcePos where;
};

// The legend file: its sections in file order; "common" is the first.
struct LegendSection {
    std::string name;
    std::vector<LegendEntry> entries;
};
struct LegendFile {
    std::string path;
    std::vector<LegendSection> sections;
    const LegendSection* find(const std::string& name) const;
};

// The symbols one stage uses: the common section, its terrain set, then its own lines.
struct Legend {
    int valueOf[256];  // by symbol, -1 = unknown
    int symbolOf[256]; // by cell value, -1 = no symbol
    Legend();
};

bool parseLegendFile(const std::string& text, const std::string& path, LegendFile* out,
                     std::string* error);
bool loadLegendFile(const std::string& path, LegendFile* out, std::string* error);

// ---- stage sources

struct StageSource {
    std::string file;
    std::string header;  // every line before "map", verbatim, each ending in '\n'
    std::string tileset; // from "tileset NAME"
    int tilesetLine = 0;
    std::vector<LegendEntry> symbols; // the stage's own "symbol" lines
    int mapLine = 0;                  // line number of "map"
    std::vector<std::string> rows;    // the 12 rows of symbols
};

bool parseStageSource(const std::string& text, const std::string& file, StageSource* out,
                      std::string* error);

// The legend of one stage; a symbol defined again replaces the earlier meaning, but two
// symbols for one value are refused, so that every map has exactly one text.
bool resolveLegend(const LegendFile& legend, const StageSource& stage, Legend* out,
                   std::string* error);

// ---- the cells

// A stage as cells: `columns` x 12 values, column after column, as in the stage file.
struct StageGrid {
    int columns = 0;
    std::vector<uint8_t> cells;
    int at(int column, int row) const { return cells[size_t(column) * MAP_ROWS + row]; }
};

bool sourceToGrid(const StageSource& stage, const Legend& legend, StageGrid* out,
                  std::string* error);

// The rows of symbols for a grid; a value without a symbol is an error naming its cell.
bool gridToRows(const StageGrid& grid, const Legend& legend, const std::string& file,
                std::vector<std::string>* rows, std::string* error);

// The stage text: header, "map", the rows.
std::string formatStageSource(const std::string& header, const std::vector<std::string>& rows);

// A broken rule of a playable stage, at a cell (column, row) or at none (-1, -1).
struct StageProblem {
    int column = -1, row = -1;
    std::string message;
};

// The rules every playable stage follows: one start marker with ground below it, one exit
// door with its four cells, no ring the hero can never reach, at most 64 lifts. The title
// (playable = false) only has to be a map the loader takes.
std::vector<StageProblem> checkStage(const StageGrid& grid, bool playable);

// Position of a problem in the text: the cell, or the "map" line.
SourcePos problemPos(const StageSource& stage, const StageProblem& p);

// ---- stage file bytes

// (columns - 1) as two bytes, low first, then the cells.
std::vector<uint8_t> encodeStage(const StageGrid& grid);
// Reads stage file bytes; extra bytes after the cells are ignored, as the game does. A width
// outside 21 ... 4096 columns is refused, as the game refuses it.
bool decodeStage(const uint8_t* bytes, size_t size, StageGrid* out, std::string* error);

// ---- the whole way from text

// Parses a stage file, resolves its legend and builds its grid; with `playable` the rules
// of checkStage are applied too. Every message carries file, line and column.
bool compileStage(const std::string& text, const std::string& file, const LegendFile& legend,
                  bool playable, StageSource* source, StageGrid* grid,
                  std::vector<std::string>* errors);

bool readTextFile(const std::string& path, std::string* text, std::string* error);
bool writeBinaryFile(const std::string& path, const void* data, size_t size, std::string* error);

// The file names of a stage tool's command line, input first: false for an unknown option
// or a third name, which the tool answers with its usage.
bool takeFileArgument(const char* arg, std::string* in, std::string* out);
