// Reads the song notation. A song file is a list of directives, one per line, '#' to the end
// of a line is a comment (a '#' right after a note letter is a sharp):
//
//   title   Labyrinth              name stored in the module
//   format  mod | xm               ProTracker MOD (4 channels) or XM (up to 32)
//   channels 4
//   speed 6                        ticks per row
//   tempo 125                      BPM
//   mix 70                         the song's level: every volume scaled to 70 percent
//   inst NAME WAVE key=value ...   an instrument and its synthesis recipe
//   kit  K=kick S=snare ...        one-letter drum names for drum lines
//   phrase NAME = TOKENS           a named run of rows for one channel
//   pattern NAME ROWS              followed by channel lines "N: TOKENS" (N from 1)
//   order NAME NAME*2 ...          the patterns in play order
//
// Tokens, each one row unless stretched by "*n":
//   C4 F#3 Bb2        a note (concert pitch, C4 = middle C) of the current instrument
//   C4v40 C4:047      with a volume (0-64) or an effect (three hex digits, as trackers
//                     write); a stretched note or empty row repeats its effect on every row
//   K S H             a drum of the kit
//   .  .*8  .:A04     rows without a new note (optionally with an effect)
//   -                 note off
//   @lead             switch to instrument "lead" (takes no row)
//   riff riff+5 riff-12*2   a phrase, transposed by semitones and repeated
//   |                 a bar line, ignored
#include "song.h"

#include "audio/modformat.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace {

// A channel line or a phrase never yields more rows than the longest pattern has, and no
// module holds a longer order list; numbers in tokens have at most three digits.
constexpr int MAX_ROWS = 256;
constexpr int MAX_ORDERS = 256;
constexpr int MAX_PATTERNS = 256;
constexpr int MAX_INSTRUMENTS = 128; // an XM's, the larger of the two formats
constexpr int MAX_NOTE = 127;
// The regular expressions that read tokens recurse once per character, so a word of
// 30 000 characters overflows the stack; ours are a few characters long.
constexpr size_t MAX_WORD = 256;
// Tokens read for one channel line or phrase, phrases expanded: a phrase of phrases that
// only switch instruments adds no rows, and nested a few times it would take hours.
constexpr int MAX_TOKENS = 16 * MAX_ROWS;

struct Reader {
    std::string path;
    int line = 0;
    Song* song = nullptr;
    std::map<std::string, std::vector<std::string>> phrases;
    std::map<char, int> kit;
    std::map<std::string, int> patternIndex;
    std::string fault;
    int tokensLeft = 0; // of the channel line or phrase being expanded

    bool fail(const std::string& message) {
        fault = message;
        return false;
    }

    int instrumentIndex(const std::string& name) const {
        for (size_t i = 0; i < song->instruments.size(); i++)
            if (song->instruments[i].name == name) return (int)i;
        return -1;
    }

    bool expand(const std::vector<std::string>& tokens, int transpose, int depth, int& current,
                std::vector<Cell>& rows);
    bool directive(const std::string& text, Pattern*& pattern);
};

std::vector<std::string> split(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

bool parseInt(const std::string& text, int& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end || v < -100000 || v > 100000) return false;
    value = (int)v;
    return true;
}

int noteNumber(char letter, char accidental, int octave) {
    static const int semitone[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    int n = semitone[letter - 'A'] + (octave + 1) * 12;
    if (accidental == '#') n++;
    if (accidental == 'b') n--;
    return n;
}

// Sets the volume, effect and length parts shared by notes, drums and empty rows.
bool tail(const std::smatch& m, int volumeGroup, int effectGroup, int lengthGroup, Cell& cell,
          int& length, std::string& fault) {
    if (volumeGroup && m[volumeGroup].matched) {
        cell.volume = std::stoi(m[volumeGroup].str());
        if (cell.volume > 64) return (fault = "volume above 64"), false;
    }
    if (m[effectGroup].matched) {
        int code = std::stoi(m[effectGroup].str(), nullptr, 16);
        cell.effect = code >> 8;
        cell.param = code & 0xFF;
    }
    length = 1;
    if (m[lengthGroup].matched) length = std::stoi(m[lengthGroup].str());
    if (length < 1 || length > MAX_ROWS) return (fault = "length out of range"), false;
    return true;
}

bool Reader::expand(const std::vector<std::string>& tokens, int transpose, int depth, int& current,
                    std::vector<Cell>& rows) {
    static const std::regex note(
        "([A-G])([#b]?)([0-9])(?:v([0-9]{1,3}))?(?::([0-9A-F]{3}))?(?:\\*([0-9]{1,3}))?");
    static const std::regex drum(
        "([A-Z])(?:v([0-9]{1,3}))?(?::([0-9A-F]{3}))?(?:\\*([0-9]{1,3}))?");
    static const std::regex empty("\\.(?::([0-9A-F]{3}))?(?:\\*([0-9]{1,3}))?");
    static const std::regex off("-(?:\\*([0-9]{1,3}))?");
    static const std::regex phrase("([a-z][A-Za-z0-9_]*)([+-][0-9]{1,3})?(?:\\*([0-9]{1,3}))?");
    if (depth > 16) return fail("phrases nested too deep");
    if (depth == 0) tokensLeft = MAX_TOKENS;
    for (const std::string& t : tokens) {
        if (--tokensLeft < 0)
            return fail("phrases expand to more than " + std::to_string(MAX_TOKENS) + " tokens");
        std::smatch m;
        Cell cell;
        int length = 1;
        if (t == "|") continue;
        if (t[0] == '@') {
            current = instrumentIndex(t.substr(1));
            if (current < 0) return fail("unknown instrument " + t);
            continue;
        }
        if (std::regex_match(t, m, note)) {
            if (current < 0) return fail("note " + t + " before any @instrument");
            cell.note = noteNumber(m[1].str()[0], m[2].matched && m[2].length() ? m[2].str()[0] : 0,
                                   m[3].str()[0] - '0') +
                        transpose;
            if (cell.note < 0 || cell.note > MAX_NOTE)
                return fail("note " + t + " transposed out of range");
            cell.instrument = current;
            if (!tail(m, 4, 5, 6, cell, length, fault)) return false;
        } else if (std::regex_match(t, m, drum)) {
            auto k = kit.find(m[1].str()[0]);
            if (k == kit.end()) return fail("no drum " + m[1].str() + " in the kit");
            cell.note = DRUM_NOTE;
            cell.instrument = k->second;
            if (!tail(m, 2, 3, 4, cell, length, fault)) return false;
        } else if (std::regex_match(t, m, empty)) {
            if (!tail(m, 0, 1, 2, cell, length, fault)) return false;
        } else if (std::regex_match(t, m, off)) {
            cell.note = NOTE_OFF;
            if (m[1].matched) length = std::stoi(m[1].str());
            if (length < 1 || length > MAX_ROWS) return fail("length out of range");
        } else if (std::regex_match(t, m, phrase)) {
            auto p = phrases.find(m[1].str());
            if (p == phrases.end()) return fail("unknown phrase " + m[1].str());
            int shift = m[2].matched ? std::stoi(m[2].str()) : 0;
            int times = m[3].matched ? std::stoi(m[3].str()) : 1;
            for (int i = 0; i < times; i++) {
                size_t before = rows.size();
                if (!expand(p->second, transpose + shift, depth + 1, current, rows)) return false;
                // a phrase without rows only switches instruments: once is as good as ever
                if (rows.size() == before) break;
            }
            continue;
        } else {
            return fail("cannot read token '" + t + "'");
        }
        // a stretched row keeps its effect going (arpeggio, vibrato, slides)
        rows.push_back(cell);
        Cell held;
        held.effect = cell.effect;
        held.param = cell.param;
        for (int i = 1; i < length; i++)
            rows.push_back(held);
        // checked as the rows grow, so that nested repeats cannot run away
        if ((int)rows.size() > MAX_ROWS) return fail("more than 256 rows");
    }
    return true;
}

bool Reader::directive(const std::string& text, Pattern*& pattern) {
    std::vector<std::string> w = split(text);
    if (w.empty()) return true;
    for (const std::string& word : w)
        if (word.size() > MAX_WORD) return fail("a word longer than 256 characters");
    const std::string& key = w[0];
    // a channel line of the pattern being read
    if (pattern && key.size() >= 2 && key.back() == ':') {
        int channel = 0;
        if (!parseInt(key.substr(0, key.size() - 1), channel) || channel < 1 ||
            channel > song->channels)
            return fail("no channel " + key);
        std::vector<Cell> rows;
        int current = -1;
        if (!expand(std::vector<std::string>(w.begin() + 1, w.end()), 0, 0, current, rows))
            return false;
        if ((int)rows.size() > pattern->rows)
            return fail("channel " + key + " has " + std::to_string(rows.size()) +
                        " rows, the pattern " + std::to_string(pattern->rows));
        for (size_t r = 0; r < rows.size(); r++)
            pattern->cells[r][channel - 1] = rows[r];
        return true;
    }
    pattern = nullptr;
    int value = 0;
    if (key == "title" && w.size() >= 2) {
        song->title = text.substr(text.find(w[1]));
    } else if (key == "format" && w.size() == 2 && (w[1] == "mod" || w[1] == "xm")) {
        song->format = w[1];
    } else if (key == "mix" && w.size() == 2 && parseInt(w[1], value)) {
        if (value < 1 || value > 100) return fail("mix must be 1 to 100 percent");
        song->mix = value;
    } else if ((key == "channels" || key == "speed" || key == "tempo") && w.size() == 2 &&
               parseInt(w[1], value)) {
        if (key == "channels" && (value < 1 || value > 32)) return fail("channels must be 1 to 32");
        // the patterns read so far have their cells for the old number of channels
        if (key == "channels" && !song->patterns.empty())
            return fail("channels must come before the first pattern");
        if (key == "speed" && (value < 1 || value > 31)) return fail("speed must be 1 to 31");
        if (key == "tempo" && (value < 33 || value > 255)) return fail("tempo must be 33 to 255");
        (key == "channels" ? song->channels : key == "speed" ? song->speed : song->tempo) = value;
    } else if (key == "inst" && w.size() >= 3) {
        // each may hold a sample of a million frames: no more than a module can use
        if ((int)song->instruments.size() >= MAX_INSTRUMENTS)
            return fail("more than " + std::to_string(MAX_INSTRUMENTS) + " instruments");
        if (instrumentIndex(w[1]) >= 0) return fail("instrument " + w[1] + " defined twice");
        Instrument inst;
        inst.name = w[1];
        inst.wave = w[2];
        std::vector<std::pair<std::string, double>> params;
        for (size_t i = 3; i < w.size(); i++) {
            size_t eq = w[i].find('=');
            if (eq == std::string::npos) return fail("expected key=value, got " + w[i]);
            params.push_back({w[i].substr(0, eq), std::atof(w[i].c_str() + eq + 1)});
        }
        if (!synthesize(inst, params, fault)) return false;
        song->instruments.push_back(inst);
    } else if (key == "kit") {
        for (size_t i = 1; i < w.size(); i++) {
            if (w[i].size() < 3 || w[i][1] != '=' || w[i][0] < 'A' || w[i][0] > 'Z' ||
                (w[i][0] >= 'A' && w[i][0] <= 'G'))
                return fail("kit entries are X=instrument with X a capital past G");
            int index = instrumentIndex(w[i].substr(2));
            if (index < 0) return fail("unknown instrument in kit: " + w[i]);
            kit[w[i][0]] = index;
        }
    } else if (key == "phrase" && w.size() >= 3 && w[2] == "=") {
        if (phrases.count(w[1])) return fail("phrase " + w[1] + " defined twice");
        phrases[w[1]] = std::vector<std::string>(w.begin() + 3, w.end());
        // check it now so a fault names this line
        std::vector<Cell> rows;
        int current = -1;
        std::vector<std::string> probe = {
            "@" + (song->instruments.empty() ? std::string("?") : song->instruments[0].name)};
        probe.insert(probe.end(), w.begin() + 3, w.end());
        if (!expand(probe, 0, 0, current, rows)) return false;
    } else if (key == "pattern" && w.size() == 3 && parseInt(w[2], value)) {
        if (value < 1 || value > 256) return fail("a pattern has 1 to 256 rows");
        // counted here, however the line is indented: each pattern holds all its cells
        if ((int)song->patterns.size() >= MAX_PATTERNS) return fail("too many patterns");
        if (patternIndex.count(w[1])) return fail("pattern " + w[1] + " defined twice");
        Pattern p;
        p.name = w[1];
        p.rows = value;
        p.cells.assign(value, std::vector<Cell>(song->channels));
        patternIndex[w[1]] = (int)song->patterns.size();
        song->patterns.push_back(p);
        pattern = &song->patterns.back();
    } else if (key == "order") {
        static const std::regex entry("([A-Za-z0-9_]+)(?:\\*([0-9]{1,3}))?");
        for (size_t i = 1; i < w.size(); i++) {
            std::smatch m;
            if (!std::regex_match(w[i], m, entry) || !patternIndex.count(m[1].str()))
                return fail("unknown pattern in order: " + w[i]);
            int times = m[2].matched ? std::stoi(m[2].str()) : 1;
            if (times > MAX_ORDERS - (int)song->order.size())
                return fail("more than 256 patterns in the order list");
            for (int t = 0; t < times; t++)
                song->order.push_back(patternIndex[m[1].str()]);
        }
    } else {
        return fail("cannot read line: " + text);
    }
    return true;
}

} // namespace

bool parseSong(const std::string& text, const std::string& path, Song& song, std::string& fault) {
    Reader reader;
    reader.path = path;
    reader.song = &song;
    song.patterns.reserve(MAX_PATTERNS); // channel lines keep a pointer to the pattern being read
    Pattern* pattern = nullptr;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        reader.line++;
        // a comment starts with '#' at the start of a line or after a blank (F#4 is a note)
        for (size_t i = 0; i < line.size(); i++) {
            if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
                line.erase(i);
                break;
            }
        }
        if (!reader.directive(line, pattern)) {
            fault = path + ":" + std::to_string(reader.line) + ": " + reader.fault;
            return false;
        }
    }
    if (song.order.empty()) {
        fault = path + ": no order list";
        return false;
    }
    // the mix level, applied once everything it scales has been read
    auto scaled = [&song](int volume) { return (int)std::lround(volume * song.mix / 100.0); };
    for (Instrument& inst : song.instruments)
        inst.volume = scaled(inst.volume);
    for (Pattern& p : song.patterns)
        for (std::vector<Cell>& row : p.cells)
            for (Cell& cell : row) {
                if (cell.volume >= 0) cell.volume = scaled(cell.volume);
                if (cell.effect == FX_VOLUME) cell.param = scaled(cell.param);
            }
    return true;
}

bool readSong(const std::string& path, Song& song) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: cannot open\n", path.c_str());
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string fault;
    if (!parseSong(text.str(), path, song, fault)) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        return false;
    }
    return true;
}

double songSeconds(const Song& song) {
    long rows = 0;
    for (int p : song.order)
        rows += song.patterns[p].rows;
    return rows * song.speed * 2.5 / song.tempo;
}
