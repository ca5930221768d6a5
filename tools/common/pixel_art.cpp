// Reading the palette and art files, and resolving derived tiles.
#include "pixel_art.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

std::string trimRight(const std::string& s) {
    size_t e = s.find_last_not_of(" \t\r");
    return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

namespace {

std::string at(const std::string& file, int line) {
    return file + ":" + std::to_string(line);
}

bool fail(std::string* why, const std::string& text) {
    if (why) *why = text;
    return false;
}

bool parseInt(const std::string& s, int* v) {
    if (s.empty()) return false;
    size_t used = 0;
    try {
        *v = std::stoi(s, &used);
    } catch (...) {
        return false;
    }
    return used == s.size();
}

std::vector<std::string> words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> w;
    std::string t;
    while (in >> t)
        w.push_back(t);
    return w;
}

// Parses "tile N: label", "tile N = op ...: label" or "image NAME WxH: label".
bool parseHeader(const std::string& line, const std::string& where, ArtEntry* e, std::string* why) {
    size_t colon = line.find(':');
    std::string head = line.substr(0, colon);
    if (colon != std::string::npos) {
        e->label = line.substr(colon + 1);
        size_t s = e->label.find_first_not_of(' ');
        e->label = s == std::string::npos ? "" : e->label.substr(s);
    }
    std::string derived;
    size_t eq = head.find('=');
    if (eq != std::string::npos) {
        derived = head.substr(eq + 1);
        head = head.substr(0, eq);
    }
    std::vector<std::string> w = words(head);
    e->where = where;
    if (w.size() == 2 && w[0] == "tile") {
        e->isTile = true;
        e->width = e->height = 16;
        if (!parseInt(w[1], &e->number))
            return fail(why, where + ": bad tile number \"" + w[1] + "\"");
    } else if (w.size() >= 3 && w[0] == "tiles") {
        int cols = 0, rows = 0;
        if (std::sscanf(w[1].c_str(), "%dx%d", &cols, &rows) != 2 || cols < 1 || rows < 1 ||
            cols > 20 || rows > 12)
            return fail(why, where + ": bad block size \"" + w[1] + "\"");
        if ((int)w.size() != 2 + cols * rows)
            return fail(why, where + ": a " + w[1] + " block needs " + std::to_string(cols * rows) +
                                 " tile numbers");
        for (size_t i = 2; i < w.size(); i++) {
            int n = 0;
            if (!parseInt(w[i], &n)) return fail(why, where + ": bad tile number \"" + w[i] + "\"");
            e->group.push_back(n);
        }
        e->isTile = true;
        e->width = cols * 16;
        e->height = rows * 16;
        if (eq != std::string::npos)
            return fail(why, where + ": a block of tiles cannot be derived");
        return true;
    } else if (w.size() == 3 && w[0] == "image") {
        e->isTile = false;
        e->name = w[1];
        if (std::sscanf(w[2].c_str(), "%dx%d", &e->width, &e->height) != 2 || e->width < 1 ||
            e->height < 1 || e->width > 4096 || e->height > 4096)
            return fail(why, where + ": bad image size \"" + w[2] + "\"");
    } else {
        return fail(why, where + ": expected \"tile N\" or \"image NAME WxH\"");
    }
    if (eq == std::string::npos) return true;
    if (!e->isTile) return fail(why, where + ": only tiles can be derived");
    std::vector<std::string> d = words(derived);
    if (d.size() < 2 || !parseInt(d[1], &e->source))
        return fail(why, where + ": expected \"= OP SOURCE\"");
    e->op = d[0];
    if (e->op == "mirror" || e->op == "flip" || e->op == "copy") {
        if (d.size() != 2) return fail(why, where + ": " + e->op + " takes only a source tile");
    } else if (e->op == "recolor") {
        if (d.size() < 3) return fail(why, where + ": recolor needs character pairs");
        for (size_t i = 2; i < d.size(); i++) {
            if (d[i].size() != 2)
                return fail(why, where + ": recolor pair \"" + d[i] + "\" is not two characters");
            e->mapping += d[i];
        }
    } else if (e->op == "shift") {
        if (d.size() != 4 || !parseInt(d[2], &e->dx) || !parseInt(d[3], &e->dy))
            return fail(why, where + ": shift needs a source and two offsets");
        // a tile moved further than its size is blank, and the offset stays clear of overflow
        if (e->dx < -16 || e->dx > 16 || e->dy < -16 || e->dy > 16)
            return fail(why, where + ": shift offsets are -16 to 16");
    } else {
        return fail(why, where + ": unknown operation \"" + e->op + "\"");
    }
    return true;
}

std::vector<std::string> derive(const ArtEntry& e, const std::vector<std::string>& src) {
    std::vector<std::string> rows = src;
    const int h = (int)src.size(), w = (int)src[0].size();
    if (e.op == "mirror") {
        for (auto& r : rows)
            r.assign(r.rbegin(), r.rend());
    } else if (e.op == "flip") {
        rows.assign(src.rbegin(), src.rend());
    } else if (e.op == "recolor") {
        for (auto& r : rows)
            for (auto& c : r)
                for (size_t i = 0; i + 1 < e.mapping.size(); i += 2)
                    if (c == e.mapping[i]) {
                        c = e.mapping[i + 1];
                        break;
                    }
    } else if (e.op == "shift") {
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                int sx = x - e.dx, sy = y - e.dy;
                rows[y][x] = sx >= 0 && sx < w && sy >= 0 && sy < h ? src[sy][sx] : '.';
            }
    }
    return rows;
}

} // namespace

uint32_t Palette::named(const std::string& n, bool* found) const {
    for (const auto& kv : name)
        if (kv.second == n) {
            if (found) *found = true;
            return colour.at(kv.first);
        }
    if (found) *found = false;
    return 0;
}

char Palette::charOf(uint32_t rgb) const {
    for (char c : order)
        if (colour.at(c) == rgb) return c;
    return 0;
}

bool parsePalette(const std::string& text, const std::string& file, Palette* out,
                  std::string* why) {
    std::istringstream in(text);
    std::string line;
    int n = 0;
    while (std::getline(in, line)) {
        n++;
        line = trimRight(line);
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> w = words(line);
        if (w.size() < 3 || w[0].size() != 1 || w[1].size() != 6)
            return fail(why, at(file, n) + ": expected \"CHAR RRGGBB NAME\"");
        char c = w[0][0];
        unsigned rgb = 0;
        if (std::sscanf(w[1].c_str(), "%6x", &rgb) != 1 ||
            w[1].find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return fail(why, at(file, n) + ": bad colour \"" + w[1] + "\"");
        if (out->has(c))
            return fail(why, at(file, n) + ": character '" + std::string(1, c) + "' given twice");
        for (char o : out->order)
            if (out->colour[o] == rgb)
                return fail(why, at(file, n) + ": colour " + w[1] + " given twice");
        out->colour[c] = rgb;
        out->name[c] = w[2];
        out->order += c;
    }
    if (out->order.empty()) return fail(why, file + ": no colours");
    return true;
}

bool parseArt(const std::string& text, const std::string& file, const Palette& pal,
              std::vector<ArtEntry>* out, std::string* why) {
    std::istringstream in(text);
    std::string line;
    int n = 0;
    ArtEntry* open = nullptr; // entry still collecting rows
    while (std::getline(in, line)) {
        n++;
        line = trimRight(line);
        if (open) {
            if ((int)line.size() != open->width)
                return fail(why, at(file, n) + ": row of " + std::to_string(line.size()) +
                                     " characters, expected " + std::to_string(open->width));
            for (char c : line)
                if (!pal.has(c))
                    return fail(why, at(file, n) + ": '" + std::string(1, c) +
                                         "' is not in the palette");
            open->rows.push_back(line);
            if ((int)open->rows.size() < open->height) continue;
            if (!open->group.empty()) {
                // split the block into its tiles
                ArtEntry block = *open;
                out->pop_back();
                const int cols = block.width / 16;
                for (size_t k = 0; k < block.group.size(); k++) {
                    ArtEntry t;
                    t.number = block.group[k];
                    t.label = block.label;
                    t.where = block.where;
                    t.width = t.height = 16;
                    for (int y = 0; y < 16; y++)
                        t.rows.push_back(
                            block.rows[(k / cols) * 16 + y].substr((k % cols) * 16, 16));
                    out->push_back(t);
                }
            }
            open = nullptr;
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        ArtEntry e;
        if (!parseHeader(line, at(file, n), &e, why)) return false;
        // a derived tile draws only palette colours too: a character outside it would come
        // out as the sheet's see-through magenta
        for (char c : e.mapping)
            if (!pal.has(c))
                return fail(why, at(file, n) + ": recolor character '" + std::string(1, c) +
                                     "' is not in the palette");
        if (e.op == "shift" && !pal.has('.'))
            return fail(why,
                        at(file, n) + ": shift fills in with '.', which is not in the palette");
        out->push_back(e);
        if (e.op.empty()) open = &out->back();
    }
    if (open)
        return fail(why, open->where + ": only " + std::to_string(open->rows.size()) + " of " +
                             std::to_string(open->height) + " rows");
    return true;
}

bool resolveTiles(std::vector<ArtEntry>& entries, int count, std::string* why) {
    std::map<int, ArtEntry*> byNumber;
    for (auto& e : entries) {
        if (!e.isTile) continue;
        if (e.number < 0 || e.number >= count)
            return fail(why, e.where + ": tile number " + std::to_string(e.number) +
                                 " outside 0 ... " + std::to_string(count - 1));
        if (byNumber.count(e.number))
            return fail(why, e.where + ": tile " + std::to_string(e.number) +
                                 " already defined at " + byNumber[e.number]->where);
        byNumber[e.number] = &e;
    }
    // Each pass resolves the tiles whose source is ready; a pass without progress means
    // a cycle.
    bool pending = true;
    while (pending) {
        pending = false;
        bool progress = false;
        for (auto& kv : byNumber) {
            ArtEntry* e = kv.second;
            if (!e->rows.empty()) continue;
            auto src = byNumber.find(e->source);
            if (src == byNumber.end())
                return fail(why, e->where + ": source tile " + std::to_string(e->source) +
                                     " is not defined");
            if (src->second->rows.empty()) {
                pending = true;
                continue;
            }
            e->rows = derive(*e, src->second->rows);
            progress = true;
        }
        if (pending && !progress) {
            for (auto& kv : byNumber)
                if (kv.second->rows.empty())
                    return fail(why, kv.second->where + ": derived tiles refer to each other");
        }
    }
    return true;
}

RgbImage artImage(const std::vector<std::string>& rows, const Palette& pal) {
    if (rows.empty()) return RgbImage();
    RgbImage img((int)rows[0].size(), (int)rows.size(), RGB_MAGENTA);
    for (int y = 0; y < img.height; y++)
        for (int x = 0; x < img.width && x < (int)rows[y].size(); x++)
            img.at(x, y) = pal.has(rows[y][x]) ? pal[rows[y][x]] : RGB_MAGENTA;
    return img;
}

bool readTextFile(const std::string& path, std::string* out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    *out = s.str();
    return true;
}
