#include "world_fixture.h"

#include "anim/anims.h"
#include "world/gamestate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/pickups.h"

#include <fstream>
#include <stdexcept>

TestMap::TestMap(int columns) : columns_(columns), cells_(size_t(columns) * 12, 0) {}

TestMap& TestMap::set(int column, int row, int value) {
    if (column < 0 || column >= columns_ || row < 0 || row >= 12)
        throw std::out_of_range("TestMap::set outside the map");
    cells_[size_t(column) * 12 + row] = (unsigned char)value;
    return *this;
}

TestMap& TestMap::fillRow(int row, int value, int from, int to) {
    if (to < 0) to = columns_ - 1;
    for (int c = from; c <= to; c++)
        set(c, row, value);
    return *this;
}

TestMap& TestMap::draw(const std::vector<std::string>& rows, int firstColumn) {
    return draw(rows, legend(), firstColumn);
}

TestMap& TestMap::draw(const std::vector<std::string>& rows, const std::map<char, int>& key,
                       int firstColumn) {
    if (rows.size() > 12) throw std::out_of_range("TestMap::draw: more than 12 rows");
    int top = 12 - (int)rows.size();
    for (size_t r = 0; r < rows.size(); r++)
        for (size_t c = 0; c < rows[r].size(); c++) {
            auto it = key.find(rows[r][c]);
            if (it == key.end())
                throw std::invalid_argument(std::string("TestMap::draw: no cell for '") +
                                            rows[r][c] + "'");
            set(firstColumn + (int)c, top + (int)r, it->second);
        }
    return *this;
}

std::vector<unsigned char> TestMap::bytes() const {
    std::vector<unsigned char> out;
    out.push_back((unsigned char)((columns_ - 1) & 255));
    out.push_back((unsigned char)((columns_ - 1) >> 8));
    out.insert(out.end(), cells_.begin(), cells_.end());
    return out;
}

bool TestMap::writeTo(const std::string& path) const {
    std::vector<unsigned char> b = bytes();
    std::ofstream out(path, std::ios::binary);
    out.write((const char*)b.data(), (std::streamsize)b.size());
    return bool(out);
}

const std::map<char, int>& TestMap::legend() {
    static const std::map<char, int> key = {
        {'.', 0},   {'#', 21}, {'=', 20},  {'B', 40},  {'C', 22}, {'P', 25}, {'o', 41}, {'+', 26},
        {'$', 137}, {'^', 87}, {'x', 105}, {'*', 140}, {'F', 17}, {'T', 88}, {'~', 85}, {'_', 66},
        {'S', 65},  {'[', 27}, {']', 28},  {'{', 47},  {'}', 48}, {'M', 9},  {'E', 13},
    };
    return key;
}

void resetWorld(int stage) {
    freeLevel();
    prepareFirstAttempt(stage);
    killMonsters();
    clearAnims();
    timeLeft = TIME_LIMIT;
    airLeft = AIR_LIMIT;
    step = 0;
    stars = stars0 = 0;
    checkpoint = 0;
}

bool loadTestMap(const TestMap& map, int stage) {
    resetWorld(stage);
    std::vector<unsigned char> b = map.bytes();
    return loadLevelFromBytes(b.data(), (int)b.size()) != 0;
}

bool beginTestAttempt(const TestMap& map, Figure* hero, int stage) {
    resetWorld(stage);
    std::vector<unsigned char> b = map.bytes();
    return beginAttemptFromBytes(hero, b.data(), (int)b.size()) != 0;
}

Figure heroAt(int x, int y) {
    Figure f{};
    placeFigure(&f, x, y);
    f.vy = 7;
    return f;
}

void walkFrames(Figure* hero, int frames, int left, int right, int jump, int crawl) {
    for (int i = 0; i < frames; i++)
        walk(hero, left, right, jump, crawl, step);
}

void stageFrames(Figure* hero, int frames, StageInput in) {
    int splash = 0;
    for (int i = 0; i < frames; i++)
        stageFrame(hero, in, &splash);
}

void fillAnimSlots() {
    for (int i = 0; i < MAX_ANIMS; i++) {
        aos[i].active = 1;
        aos[i].kind = 20; // a floating hero: never ends, changes no cell
        aos[i].x = -1000;
        aos[i].y = -1000 - i;
        aos[i].count = 0;
    }
}
