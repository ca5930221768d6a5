// Writing and reading the TMX form of a stage, with a small XML reader that knows elements,
// attributes, text, comments, processing instructions, CDATA and the five named entities
// plus numeric character references: enough for what Tiled writes.
#include "tmx.h"

#include <cctype>
#include <cstdlib>
#include <memory>

namespace {

// ---- XML

struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attrs;
    std::vector<std::unique_ptr<XmlElement>> children;
    std::string text; // the text directly inside, entities decoded

    const std::string* attr(const std::string& key) const {
        for (const auto& a : attrs)
            if (a.first == key) return &a.second;
        return nullptr;
    }
    std::vector<const XmlElement*> all(const std::string& n) const {
        std::vector<const XmlElement*> out;
        for (const auto& c : children)
            if (c->name == n) out.push_back(c.get());
        return out;
    }
};

class XmlReader {
  public:
    XmlReader(const std::string& s) : s_(s) {}

    std::unique_ptr<XmlElement> document(std::string* error) {
        skipMisc();
        if (!at("<")) return fail(error, "no XML element");
        auto root = element(error);
        if (!root) return nullptr;
        skipMisc();
        if (p_ != s_.size()) return fail(error, "text after the root element");
        return root;
    }

  private:
    const std::string& s_;
    size_t p_ = 0;
    std::string why_;

    std::unique_ptr<XmlElement> fail(std::string* error, const std::string& why) {
        // the line of the failure helps in a file of thousands of numbers
        int line = 1;
        for (size_t i = 0; i < p_ && i < s_.size(); i++)
            if (s_[i] == '\n') line++;
        *error = "line " + std::to_string(line) + ": " + (why_.empty() ? why : why_);
        return nullptr;
    }
    bool at(const char* t) const {
        return s_.compare(p_, std::char_traits<char>::length(t), t) == 0;
    }
    void skipSpace() {
        while (p_ < s_.size() &&
               (s_[p_] == ' ' || s_[p_] == '\t' || s_[p_] == '\n' || s_[p_] == '\r'))
            p_++;
    }
    bool skipPast(const char* t) {
        size_t k = s_.find(t, p_);
        if (k == std::string::npos) return false;
        p_ = k + std::char_traits<char>::length(t);
        return true;
    }
    // declarations, comments and blanks around elements
    void skipMisc() {
        for (;;) {
            skipSpace();
            if (at("<?")) {
                if (!skipPast("?>")) p_ = s_.size();
            } else if (at("<!--")) {
                if (!skipPast("-->")) p_ = s_.size();
            } else if (at("<!DOCTYPE")) {
                if (!skipPast(">")) p_ = s_.size();
            } else {
                return;
            }
        }
    }
    static bool nameChar(char c) {
        return std::isalnum((unsigned char)c) || c == '_' || c == '-' || c == '.' || c == ':';
    }
    std::string name() {
        size_t start = p_;
        while (p_ < s_.size() && nameChar(s_[p_]))
            p_++;
        return s_.substr(start, p_ - start);
    }
    bool decode(const std::string& raw, std::string* out) {
        out->clear();
        for (size_t i = 0; i < raw.size(); i++) {
            if (raw[i] != '&') {
                *out += raw[i];
                continue;
            }
            size_t semi = raw.find(';', i);
            if (semi == std::string::npos) {
                why_ = "an '&' without ';'";
                return false;
            }
            std::string ent = raw.substr(i + 1, semi - i - 1);
            long code = -1;
            if (ent == "lt")
                code = '<';
            else if (ent == "gt")
                code = '>';
            else if (ent == "amp")
                code = '&';
            else if (ent == "quot")
                code = '"';
            else if (ent == "apos")
                code = '\'';
            else if (ent.size() > 1 && ent[0] == '#') {
                // digits only: strtol would also take "&#x;" as 0 and "&# +65;" as 65
                const bool hex = ent[1] == 'x';
                const std::string digits = ent.substr(hex ? 2 : 1);
                if (!digits.empty() && digits.size() <= 8 &&
                    digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") ==
                        std::string::npos)
                    code = std::strtol(digits.c_str(), nullptr, hex ? 16 : 10);
            }
            if (code < 1 || code > 0x10FFFF) {
                why_ = "unknown entity &" + ent + ";";
                return false;
            }
            // UTF-8 for anything beyond ASCII
            if (code < 0x80) {
                *out += char(code);
            } else if (code < 0x800) {
                *out += char(0xC0 | (code >> 6));
                *out += char(0x80 | (code & 0x3F));
            } else if (code < 0x10000) {
                *out += char(0xE0 | (code >> 12));
                *out += char(0x80 | ((code >> 6) & 0x3F));
                *out += char(0x80 | (code & 0x3F));
            } else {
                *out += char(0xF0 | (code >> 18));
                *out += char(0x80 | ((code >> 12) & 0x3F));
                *out += char(0x80 | ((code >> 6) & 0x3F));
                *out += char(0x80 | (code & 0x3F));
            }
            i = semi;
        }
        return true;
    }
    std::unique_ptr<XmlElement> element(std::string* error, int depth = 0) {
        if (depth > 64) return fail(error, "elements nested too deeply");
        p_++; // '<'
        auto e = std::make_unique<XmlElement>();
        e->name = name();
        if (e->name.empty()) return fail(error, "an element without a name");
        for (;;) {
            skipSpace();
            if (at("/>")) {
                p_ += 2;
                return e;
            }
            if (at(">")) {
                p_++;
                break;
            }
            std::string key = name();
            if (key.empty()) return fail(error, "a broken attribute in <" + e->name + ">");
            skipSpace();
            if (!at("=")) return fail(error, "attribute " + key + " has no value");
            p_++;
            skipSpace();
            if (p_ >= s_.size() || (s_[p_] != '"' && s_[p_] != '\''))
                return fail(error, "attribute " + key + " is not quoted");
            char q = s_[p_++];
            size_t end = s_.find(q, p_);
            if (end == std::string::npos) return fail(error, "attribute " + key + " is not closed");
            std::string value;
            if (!decode(s_.substr(p_, end - p_), &value)) return fail(error, "");
            p_ = end + 1;
            e->attrs.push_back({key, value});
        }
        // content
        std::string raw;
        for (;;) {
            if (p_ >= s_.size()) return fail(error, "<" + e->name + "> is not closed");
            if (at("</")) {
                p_ += 2;
                if (name() != e->name)
                    return fail(error, "<" + e->name + "> closed by another tag");
                skipSpace();
                if (!at(">")) return fail(error, "a broken closing tag");
                p_++;
                break;
            }
            if (at("<!--")) {
                if (!skipPast("-->")) return fail(error, "a comment is not closed");
            } else if (at("<![CDATA[")) {
                size_t end = s_.find("]]>", p_);
                if (end == std::string::npos) return fail(error, "CDATA is not closed");
                // kept apart from entity decoding by escaping its '&'
                std::string cdata = s_.substr(p_ + 9, end - p_ - 9);
                for (char c : cdata)
                    raw += c == '&' ? std::string("&amp;") : std::string(1, c);
                p_ = end + 3;
            } else if (at("<?")) {
                if (!skipPast("?>")) return fail(error, "a processing instruction is not closed");
            } else if (at("<")) {
                auto child = element(error, depth + 1);
                if (!child) return nullptr;
                e->children.push_back(std::move(child));
            } else {
                raw += s_[p_++];
            }
        }
        if (!decode(raw, &e->text)) return fail(error, "");
        return e;
    }
};

std::string escapeXml(const std::string& s, bool attribute) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        case '\n':
            out += attribute ? "&#10;" : "\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool intAttr(const XmlElement& e, const char* key, long* out) {
    const std::string* v = e.attr(key);
    if (!v || v->empty()) return false;
    char* end = nullptr;
    *out = std::strtol(v->c_str(), &end, 10);
    return *end == 0;
}

bool refuse(std::string* error, const std::string& file, const std::string& why) {
    *error = file + ": " + why;
    return false;
}

} // namespace

std::string writeTmx(const StageGrid& grid, const std::string& header,
                     const std::string& sheetPath) {
    const std::string w = std::to_string(grid.columns);
    std::string x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    x += "<map version=\"1.8\" tiledversion=\"1.8.2\" orientation=\"orthogonal\" "
         "renderorder=\"right-down\" width=\"" +
         w +
         "\" height=\"12\" tilewidth=\"16\" "
         "tileheight=\"16\" infinite=\"0\" nextlayerid=\"2\" nextobjectid=\"1\">\n";
    x += " <properties>\n";
    if (header.find('\n') == std::string::npos)
        x += "  <property name=\"header\" value=\"" + escapeXml(header, true) + "\"/>\n";
    else
        x += "  <property name=\"header\">" + escapeXml(header, false) + "</property>\n";
    x += " </properties>\n";
    x += " <tileset firstgid=\"1\" name=\"blocks\" tilewidth=\"16\" tileheight=\"16\" "
         "tilecount=\"240\" columns=\"20\">\n";
    x += "  <image source=\"" + escapeXml(sheetPath, true) +
         "\" trans=\"ff00ff\" width=\"320\" height=\"192\"/>\n";
    x += " </tileset>\n";
    x += " <layer id=\"1\" name=\"cells\" width=\"" + w + "\" height=\"12\">\n";
    x += "  <data encoding=\"csv\">\n";
    for (int r = 0; r < MAP_ROWS; r++) {
        for (int c = 0; c < grid.columns; c++) {
            int v = grid.at(c, r);
            // cell 0 is no tile at all; tile k of the sheet is gid k + firstgid
            x += std::to_string(v == 0 ? 0 : v + 1);
            if (c + 1 < grid.columns || r + 1 < MAP_ROWS) x += ',';
        }
        x += '\n';
    }
    x += "</data>\n </layer>\n</map>\n";
    return x;
}

bool readTmx(const std::string& xml, const std::string& file, StageGrid* grid, std::string* header,
             bool* hasHeader, std::string* error) {
    std::string why;
    std::unique_ptr<XmlElement> root = XmlReader(xml).document(&why);
    if (!root) return refuse(error, file, "not readable XML: " + why);
    const XmlElement& map = *root;
    if (map.name != "map") return refuse(error, file, "the root element is not <map>");

    long width = 0, height = 0, tw = 0, th = 0, infinite = 0;
    const std::string* orient = map.attr("orientation");
    if (orient && *orient != "orthogonal")
        return refuse(error, file, "the map is " + *orient + "; a stage is orthogonal");
    if (intAttr(map, "infinite", &infinite) && infinite != 0)
        return refuse(error, file, "an infinite map; a stage has a fixed size (Map Properties)");
    if (!intAttr(map, "width", &width) || !intAttr(map, "height", &height))
        return refuse(error, file, "<map> has no width or height");
    if (!intAttr(map, "tilewidth", &tw) || !intAttr(map, "tileheight", &th) || tw != TMX_TILE ||
        th != TMX_TILE)
        return refuse(error, file, "the tiles are not 16x16");
    if (height != MAP_ROWS)
        return refuse(error, file,
                      "the map is " + std::to_string(height) + " tiles high; a stage has 12 rows");
    if (width < MIN_MAP_COLUMNS || width > MAX_MAP_COLUMNS)
        return refuse(error, file,
                      "the map is " + std::to_string(width) +
                          " tiles wide; a stage has 21 to 4096 columns");
    if (!map.all("group").empty())
        return refuse(error, file, "layer groups; a stage has one tile layer");

    auto tilesets = map.all("tileset");
    if (tilesets.size() != 1)
        return refuse(error, file,
                      "the map uses " + std::to_string(tilesets.size()) +
                          " tilesets; a stage uses exactly one, the block sheet");
    long firstgid = 0;
    if (!intAttr(*tilesets[0], "firstgid", &firstgid) || firstgid < 1)
        return refuse(error, file, "the tileset has no firstgid");

    auto layers = map.all("layer");
    if (layers.size() != 1)
        return refuse(error, file,
                      "the map has " + std::to_string(layers.size()) +
                          " tile layers; a stage has exactly one");
    const XmlElement& layer = *layers[0];
    long lw = 0, lh = 0;
    if (intAttr(layer, "width", &lw) && intAttr(layer, "height", &lh) &&
        (lw != width || lh != height))
        return refuse(error, file, "the tile layer is not the size of the map");
    auto datas = layer.all("data");
    if (datas.size() != 1) return refuse(error, file, "the tile layer has no <data>");
    const XmlElement& data = *datas[0];
    const std::string* enc = data.attr("encoding");
    if (!enc || *enc != "csv" || data.attr("compression"))
        return refuse(error, file,
                      "the tile layer is not in CSV encoding (in Tiled: Map "
                      "Properties, Tile Layer Format: CSV)");
    if (!data.children.empty())
        return refuse(error, file, "the tile layer holds chunks or tiles, not CSV");

    StageGrid g;
    g.columns = int(width);
    g.cells.assign(size_t(width) * MAP_ROWS, 0);
    const std::string& csv = data.text;
    size_t p = 0;
    long count = 0, total = width * MAP_ROWS;
    for (;;) {
        while (p < csv.size() && std::isspace((unsigned char)csv[p]))
            p++;
        if (p >= csv.size()) break;
        size_t end = csv.find(',', p);
        if (end == std::string::npos) end = csv.size();
        std::string field = csv.substr(p, end - p);
        while (!field.empty() && std::isspace((unsigned char)field.back()))
            field.pop_back();
        int c = int(count % width), r = int(count / width);
        std::string where =
            " at column " + std::to_string(c + 1) + ", row " + std::to_string(r + 1);
        if (field.empty() || field.size() > 10 ||
            field.find_first_not_of("0123456789") != std::string::npos)
            return refuse(error, file, "\"" + field + "\" is not a tile number" + where);
        unsigned long long gid = std::strtoull(field.c_str(), nullptr, 10);
        if (gid > 0xFFFFFFFFull) return refuse(error, file, "tile number out of range" + where);
        if (count >= total)
            return refuse(error, file, "more tiles than the map's " + std::to_string(total));
        if (gid & 0xF0000000ull)
            return refuse(error, file,
                          "a flipped or rotated tile" + where +
                              "; the game draws every tile as it is");
        int value = 0;
        if (gid != 0) {
            if ((long long)gid < firstgid)
                return refuse(error, file, "a tile of no tileset" + where);
            unsigned long long id = gid - (unsigned long long)firstgid;
            if (id > STAGE_MAX_VALUE)
                return refuse(error, file,
                              "tile id " + std::to_string(id) + where +
                                  " is above 255; a cell holds 0 ... 255");
            value = int(id);
        }
        g.cells[size_t(c) * MAP_ROWS + r] = uint8_t(value);
        count++;
        p = end + 1;
        if (end == csv.size()) break;
    }
    if (count != total)
        return refuse(error, file,
                      "the tile layer has " + std::to_string(count) + " tiles; the map needs " +
                          std::to_string(total));

    *hasHeader = false;
    header->clear();
    for (const XmlElement* props : map.all("properties"))
        for (const XmlElement* prop : props->all("property")) {
            const std::string* n = prop->attr("name");
            if (!n || *n != "header") continue;
            const std::string* v = prop->attr("value");
            *header = v ? *v : prop->text;
            *hasHeader = true;
        }
    *grid = std::move(g);
    return true;
}
