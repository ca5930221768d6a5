// Reading the legend and the stage sources, turning symbols into cells and back, the rules a
// playable stage follows, and the stage file bytes.
#include "stagetext.h"

#include "world/map.h"
#include "world/platforms.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

// Cell values that stand for the hero where the map starts him.
static bool isStartValue(int v) {
    return (v >= 1 && v <= 8) || v == 65 || v == 68 || v == CELL_HERO_IDLE;
}

static bool isSolidValue(int v) {
    int c = blockClass(v);
    return v >= CELL_RESERVED || c == BLOCK_SOLID || c == BLOCK_PUSHABLE;
}

std::string describeAt(const SourcePos& pos, const std::string& message) {
    std::string s = pos.file.empty() ? std::string("(stage)") : pos.file;
    if (pos.line > 0) {
        s += ":" + std::to_string(pos.line);
        if (pos.column > 0) s += ":" + std::to_string(pos.column);
    }
    return s + ": " + message;
}

static std::string showSymbol(char c) {
    unsigned char u = (unsigned char)c;
    if (u > 32 && u < 127) return std::string("'") + c + "'";
    if (c == ' ') return "' ' (a blank)";
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%02X", u);
    return buf;
}

static bool isSymbolChar(char c) {
    unsigned char u = (unsigned char)c;
    return u > 32 && u < 127;
}

// Splits text into lines without their '\n' (and a '\r' before it).
static std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

static bool blankOrComment(const std::string& line) {
    size_t k = line.find_first_not_of(" \t");
    return k == std::string::npos || line[k] == '#';
}

static std::string firstWord(const std::string& line) {
    size_t k = line.find_first_of(" \t");
    return line.substr(0, k);
}

// "symbol C VALUE description": the symbol is the one character after "symbol ".
static bool parseSymbolLine(const std::string& line, const SourcePos& at, LegendEntry* e,
                            std::string* error) {
    const std::string word = "symbol ";
    size_t k = word.size();
    if (line.size() <= k || !isSymbolChar(line[k]) ||
        (line.size() > k + 1 && line[k + 1] != ' ' && line[k + 1] != '\t')) {
        *error = describeAt({at.file, at.line, int(k) + 1},
                            "expected one symbol character after \"symbol\", as in "
                            "\"symbol o 41 ring\"");
        return false;
    }
    e->symbol = line[k];
    e->where = {at.file, at.line, int(k) + 1};
    size_t v = line.find_first_not_of(" \t", k + 1);
    size_t vend = v == std::string::npos ? v : line.find_first_of(" \t", v);
    std::string number = v == std::string::npos ? "" : line.substr(v, vend - v);
    int col = v == std::string::npos ? int(line.size()) + 1 : int(v) + 1;
    bool digits = !number.empty() && number.size() <= 4 &&
                  number.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::stoi(number) > STAGE_MAX_VALUE) {
        *error = describeAt({at.file, at.line, col},
                            number.empty() ? std::string("the symbol has no cell value")
                                           : "\"" + number + "\" is not a cell value (0 ... 255)");
        return false;
    }
    e->value = std::stoi(number);
    size_t d = vend == std::string::npos ? vend : line.find_first_not_of(" \t", vend);
    e->description = d == std::string::npos ? "" : line.substr(d);
    return true;
}

// "tileset NAME", in the legend and in a stage's header alike.
static bool parseTilesetLine(const std::string& line, const SourcePos& at, std::string* name,
                             std::string* error) {
    std::istringstream in(line);
    std::string kw, extra;
    in >> kw >> *name;
    if (name->empty() || (in >> extra)) {
        *error = describeAt(at, "expected \"tileset NAME\"");
        return false;
    }
    return true;
}

const LegendSection* LegendFile::find(const std::string& name) const {
    for (const LegendSection& s : sections)
        if (s.name == name) return &s;
    return nullptr;
}

Legend::Legend() {
    for (int i = 0; i < 256; i++)
        valueOf[i] = symbolOf[i] = -1;
}

bool parseLegendFile(const std::string& text, const std::string& path, LegendFile* out,
                     std::string* error) {
    LegendFile result;
    result.path = path;
    result.sections.push_back({"common", {}});
    std::vector<std::string> lines = splitLines(text);
    for (size_t i = 0; i < lines.size(); i++) {
        const std::string& line = lines[i];
        SourcePos at{path, int(i) + 1, 1};
        if (blankOrComment(line)) continue;
        std::string word = firstWord(line);
        if (word == "tileset") {
            std::string name;
            if (!parseTilesetLine(line, at, &name, error)) return false;
            if (result.find(name)) {
                *error = describeAt(at, "tileset \"" + name + "\" is defined twice");
                return false;
            }
            result.sections.push_back({name, {}});
        } else if (word == "symbol") {
            LegendEntry e;
            if (!parseSymbolLine(line, at, &e, error)) return false;
            for (const LegendEntry& old : result.sections.back().entries)
                if (old.symbol == e.symbol) {
                    *error = describeAt(e.where, "symbol " + showSymbol(e.symbol) +
                                                     " is already defined in this section");
                    return false;
                }
            result.sections.back().entries.push_back(e);
        } else {
            *error = describeAt(at, "expected \"symbol C VALUE\", \"tileset NAME\" or a comment");
            return false;
        }
    }
    *out = std::move(result);
    return true;
}

bool readTextFile(const std::string& path, std::string* text, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path + ": cannot be read";
        return false;
    }
    text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        *error = path + ": cannot be read";
        return false;
    }
    return true;
}

bool writeBinaryFile(const std::string& path, const void* data, size_t size, std::string* error) {
    // written beside the target first, so a failed write never leaves half a file
    std::string tmp = path + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    bool ok = f && std::fwrite(data, 1, size, f) == size;
    if (f && std::fclose(f) != 0) ok = false;
    if (ok && std::rename(tmp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        std::remove(tmp.c_str());
        *error = path + ": cannot be written";
    }
    return ok;
}

bool loadLegendFile(const std::string& path, LegendFile* out, std::string* error) {
    std::string text;
    return readTextFile(path, &text, error) && parseLegendFile(text, path, out, error);
}

bool parseStageSource(const std::string& text, const std::string& file, StageSource* out,
                      std::string* error) {
    StageSource s;
    s.file = file;
    std::vector<std::string> lines = splitLines(text);
    size_t i = 0;
    bool haveTileset = false;
    for (; i < lines.size(); i++) {
        const std::string& line = lines[i];
        SourcePos at{file, int(i) + 1, 1};
        if (line == "map") break;
        s.header += line + "\n";
        if (blankOrComment(line)) continue;
        std::string word = firstWord(line);
        if (word == "tileset") {
            std::string name;
            if (!parseTilesetLine(line, at, &name, error)) return false;
            if (haveTileset) {
                *error = describeAt(at, "a second \"tileset\" line");
                return false;
            }
            haveTileset = true;
            s.tileset = name;
            s.tilesetLine = at.line;
        } else if (word == "symbol") {
            LegendEntry e;
            if (!parseSymbolLine(line, at, &e, error)) return false;
            s.symbols.push_back(e);
        } else {
            *error = describeAt(at, "expected \"tileset NAME\", \"symbol C VALUE\", a comment "
                                    "or \"map\"");
            return false;
        }
    }
    if (i == lines.size()) {
        *error = describeAt({file, int(lines.size()), 0}, "no \"map\" line: the 12 rows of the "
                                                          "stage follow a line \"map\"");
        return false;
    }
    s.mapLine = int(i) + 1;
    size_t first = i + 1;
    for (i = first; i < lines.size() && s.rows.size() < MAP_ROWS; i++) {
        const std::string& row = lines[i];
        if (!s.rows.empty() && row.size() != s.rows[0].size()) {
            size_t col = std::min(row.size(), s.rows[0].size()) + 1;
            *error = describeAt({file, int(i) + 1, int(col)},
                                "this row has " + std::to_string(row.size()) +
                                    " symbols, the first row " + std::to_string(s.rows[0].size()));
            return false;
        }
        s.rows.push_back(row);
    }
    if (s.rows.size() < MAP_ROWS) {
        *error =
            describeAt({file, int(lines.size()) + 1, 1},
                       "the map has " + std::to_string(s.rows.size()) + " rows; a stage has 12");
        return false;
    }
    for (; i < lines.size(); i++)
        if (!lines[i].empty()) {
            *error = describeAt({file, int(i) + 1, 1}, "text after the 12 rows of the map");
            return false;
        }
    int width = int(s.rows[0].size());
    if (width < MIN_MAP_COLUMNS || width > MAX_MAP_COLUMNS) {
        *error = describeAt({file, s.mapLine + 1, 1}, "the map is " + std::to_string(width) +
                                                          " columns wide; a stage has 21 to 4096");
        return false;
    }
    *out = std::move(s);
    return true;
}

// Adds one symbol to a legend being built; a symbol defined again loses its old value.
static bool addSymbol(Legend* l, const LegendEntry& e, std::string* error) {
    unsigned char sym = (unsigned char)e.symbol;
    int old = l->valueOf[sym];
    if (old >= 0 && l->symbolOf[old] == sym) l->symbolOf[old] = -1;
    int other = l->symbolOf[e.value];
    if (other >= 0 && other != sym) {
        *error = describeAt(e.where, "symbol " + showSymbol(e.symbol) + " would mean " +
                                         std::to_string(e.value) + ", which " +
                                         showSymbol(char(other)) + " already stands for");
        return false;
    }
    l->valueOf[sym] = e.value;
    l->symbolOf[e.value] = sym;
    return true;
}

bool resolveLegend(const LegendFile& legend, const StageSource& stage, Legend* out,
                   std::string* error) {
    Legend l;
    const LegendSection* common = legend.find("common");
    const LegendSection* set = nullptr;
    if (!stage.tileset.empty()) {
        set = legend.find(stage.tileset);
        if (!set || set == common) {
            *error = describeAt({stage.file, stage.tilesetLine, 9},
                                "tileset \"" + stage.tileset + "\" is not in " + legend.path);
            return false;
        }
    }
    for (const LegendSection* s : {common, set})
        if (s)
            for (const LegendEntry& e : s->entries)
                if (!addSymbol(&l, e, error)) return false;
    for (const LegendEntry& e : stage.symbols)
        if (!addSymbol(&l, e, error)) return false;
    *out = l;
    return true;
}

bool sourceToGrid(const StageSource& stage, const Legend& legend, StageGrid* out,
                  std::string* error) {
    StageGrid g;
    g.columns = int(stage.rows[0].size());
    g.cells.assign(size_t(g.columns) * MAP_ROWS, 0);
    for (int r = 0; r < MAP_ROWS; r++)
        for (int c = 0; c < g.columns; c++) {
            char sym = stage.rows[r][c];
            int v = legend.valueOf[(unsigned char)sym];
            if (v < 0) {
                *error = describeAt({stage.file, stage.mapLine + 1 + r, c + 1},
                                    "unknown symbol " + showSymbol(sym));
                return false;
            }
            g.cells[size_t(c) * MAP_ROWS + r] = uint8_t(v);
        }
    *out = std::move(g);
    return true;
}

bool gridToRows(const StageGrid& grid, const Legend& legend, const std::string& file,
                std::vector<std::string>* rows, std::string* error) {
    std::vector<std::string> out(MAP_ROWS, std::string(size_t(grid.columns), '.'));
    for (int c = 0; c < grid.columns; c++)
        for (int r = 0; r < MAP_ROWS; r++) {
            int v = grid.at(c, r);
            int sym = legend.symbolOf[v];
            if (sym < 0) {
                *error = file + ": cell value " + std::to_string(v) + " at column " +
                         std::to_string(c + 1) + ", row " + std::to_string(r + 1) +
                         " has no symbol; add a \"symbol\" line for it";
                return false;
            }
            out[r][c] = char(sym);
        }
    *rows = std::move(out);
    return true;
}

std::string formatStageSource(const std::string& header, const std::vector<std::string>& rows) {
    std::string text = header + "map\n";
    for (const std::string& r : rows)
        text += r + "\n";
    return text;
}

std::vector<StageProblem> checkStage(const StageGrid& grid, bool playable) {
    std::vector<StageProblem> problems;
    auto problem = [&](int c, int r, const std::string& m) { problems.push_back({c, r, m}); };
    if (grid.columns < MIN_MAP_COLUMNS || grid.columns > MAX_MAP_COLUMNS) {
        problem(-1, -1,
                "the map is " + std::to_string(grid.columns) +
                    " columns wide; a stage has 21 to 4096");
        return problems;
    }
    int lifts = 0;
    for (int c = 0; c < grid.columns; c++)
        for (int r = 0; r < MAP_ROWS; r++)
            if (grid.at(c, r) == CELL_PLATFORM && ++lifts == MAX_PLATFORMS + 1)
                problem(c, r,
                        "the 65th lift: a stage has at most 64, and the game ignores every "
                        "cell after the 64th");
    if (!playable) return problems;

    // the start: exactly one marker, in file order (column after column)
    int sc = -1, sr = -1;
    for (int c = 0; c < grid.columns; c++)
        for (int r = 0; r < MAP_ROWS; r++) {
            if (!isStartValue(grid.at(c, r))) continue;
            if (sc < 0) {
                sc = c;
                sr = r;
            } else {
                problem(c, r,
                        "a second start marker; the first is at column " + std::to_string(sc + 1) +
                            ", row " + std::to_string(sr + 1));
            }
        }
    if (sc < 0) {
        problem(-1, -1, "no start marker");
    } else {
        bool ground = false;
        for (int r = sr + 1; r < MAP_ROWS && !ground; r++)
            ground = isSolidValue(grid.at(sc, r));
        if (!ground) problem(sc, sr, "no ground under the start: the hero would fall out");
    }

    // the door and the rings
    int dc = -1, dr = -1, rings = 0, firstRingC = -1, firstRingR = -1;
    for (int c = 0; c < grid.columns; c++)
        for (int r = 0; r < MAP_ROWS; r++) {
            int v = grid.at(c, r);
            if (v == CELL_RING) {
                if (rings++ == 0) {
                    firstRingC = c;
                    firstRingR = r;
                }
                // the view starts one column left of the start; the hero never gets further
                if (sc >= 0 && c < sc - 1)
                    problem(c, r, "a ring left of the view at the start can never be reached");
            } else if (v == CELL_DOOR_OPEN_TL) {
                if (dc >= 0)
                    problem(c, r, "a second exit door; only one opens");
                else {
                    dc = c;
                    dr = r;
                }
            }
        }
    if (dc < 0) {
        if (rings > 0)
            problem(firstRingC, firstRingR, "rings but no exit door for them to open");
        else
            problem(-1, -1, "no exit door");
    } else if (dc + 1 >= grid.columns || dr + 1 >= MAP_ROWS) {
        problem(dc, dr, "no room for the exit door's 2x2 cells right of and below its top left");
    } else if (grid.at(dc + 1, dr) != CELL_DOOR_OPEN_TR ||
               grid.at(dc, dr + 1) != CELL_DOOR_OPEN_BL ||
               grid.at(dc + 1, dr + 1) != CELL_DOOR_OPEN_BR) {
        problem(dc, dr,
                "the exit door needs its four cells: top right beside the top left, "
                "the bottom pair below them");
    }
    // door parts without their top left are a door that never opens
    for (int c = 0; c < grid.columns; c++)
        for (int r = 0; r < MAP_ROWS; r++) {
            int v = grid.at(c, r);
            if (v != CELL_DOOR_OPEN_TR && v != CELL_DOOR_OPEN_BL && v != CELL_DOOR_OPEN_BR)
                continue;
            bool part = dc >= 0 && (c == dc || c == dc + 1) && (r == dr || r == dr + 1);
            if (!part) problem(c, r, "a piece of an exit door away from the door's top left");
        }
    return problems;
}

SourcePos problemPos(const StageSource& stage, const StageProblem& p) {
    if (p.column < 0) return {stage.file, stage.mapLine, 1};
    return {stage.file, stage.mapLine + 1 + p.row, p.column + 1};
}

std::vector<uint8_t> encodeStage(const StageGrid& grid) {
    std::vector<uint8_t> bytes;
    bytes.reserve(2 + grid.cells.size());
    int n = grid.columns - 1;
    bytes.push_back(uint8_t(n & 0xff));
    bytes.push_back(uint8_t((n >> 8) & 0xff));
    bytes.insert(bytes.end(), grid.cells.begin(), grid.cells.end());
    return bytes;
}

bool decodeStage(const uint8_t* bytes, size_t size, StageGrid* out, std::string* error) {
    if (size < 2) {
        *error = "a stage file starts with two bytes of width";
        return false;
    }
    int columns = bytes[0] + 256 * bytes[1] + 1;
    if (columns < MIN_MAP_COLUMNS || columns > MAX_MAP_COLUMNS) {
        *error = "the header says " + std::to_string(columns) +
                 " columns; a stage has 21 to 4096, and the game loads no other";
        return false;
    }
    size_t need = 2 + size_t(columns) * MAP_ROWS;
    if (size < need) {
        *error = "the header says " + std::to_string(columns) + " columns, which need " +
                 std::to_string(need) + " bytes; the file has " + std::to_string(size);
        return false;
    }
    StageGrid g;
    g.columns = columns;
    g.cells.assign(bytes + 2, bytes + need);
    *out = std::move(g);
    return true;
}

bool compileStage(const std::string& text, const std::string& file, const LegendFile& legend,
                  bool playable, StageSource* source, StageGrid* grid,
                  std::vector<std::string>* errors) {
    std::string error;
    Legend l;
    if (!parseStageSource(text, file, source, &error) ||
        !resolveLegend(legend, *source, &l, &error) || !sourceToGrid(*source, l, grid, &error)) {
        errors->push_back(error);
        return false;
    }
    for (const StageProblem& p : checkStage(*grid, playable))
        errors->push_back(describeAt(problemPos(*source, p), p.message));
    return errors->empty();
}

bool takeFileArgument(const char* arg, std::string* in, std::string* out) {
    if (arg[0] == '-') return false;
    std::string* slot = in->empty() ? in : out->empty() ? out : nullptr;
    if (!slot) return false;
    *slot = arg;
    return true;
}
