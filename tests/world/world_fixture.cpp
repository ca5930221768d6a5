#include "world_fixture.h"

#include "world/flowstate.h"
#include "world/map.h"
#include "world/monsters.h"
#include "world/pickups.h"

#include <map>
#include <stdexcept>

TestMap::TestMap(int columns) : columns_(columns), cells_(size_t(columns) * 12, 0) {}

TestMap& TestMap::set(int column, int row, int value) {
    if (column < 0 || column >= columns_ || row < 0 || row >= 12)
        throw std::out_of_range("TestMap::set outside the map");
    cells_[size_t(column) * 12 + row] = (unsigned char)value;
    return *this;
}

TestMap& TestMap::fillRow(int row, int value, int from, int to) {
    for (int c = from; c <= (to < 0 ? columns_ - 1 : to); c++)
        set(c, row, value);
    return *this;
}

TestMap& TestMap::draw(const std::vector<std::string>& rows, int firstColumn) {
    static const std::map<char, int> key = {{'.', 0},  {'#', 21}, {'P', 25}, {'o', 41}, {'~', 85},
                                            {'S', 65}, {'[', 27}, {']', 28}, {'{', 47}, {'}', 48}};
    const int top = 12 - (int)rows.size();
    for (size_t r = 0; r < rows.size(); r++)
        for (size_t c = 0; c < rows[r].size(); c++)
            set(firstColumn + (int)c, top + (int)r, key.at(rows[r][c]));
    return *this;
}

std::vector<unsigned char> TestMap::bytes() const {
    std::vector<unsigned char> out(2 + cells_.size());
    out[0] = (unsigned char)((columns_ - 1) & 255);
    out[1] = (unsigned char)((columns_ - 1) >> 8);
    std::copy(cells_.begin(), cells_.end(), out.begin() + 2);
    return out;
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

bool reloadTestMap(const TestMap& map) {
    std::vector<unsigned char> b = map.bytes();
    return loadLevelFromBytes(b.data(), (int)b.size()) != 0;
}

bool loadTestMap(const TestMap& map, int stage) {
    resetWorld(stage);
    return reloadTestMap(map);
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

Ints walkFrames(Figure* hero, int frames, int left, int right, int jump, int Figure::*field,
                int crawl) {
    Ints out;
    for (int i = 0; i < frames; i++) {
        walk(hero, left, right, jump, crawl, step);
        out.push_back(hero->*field);
    }
    return out;
}

void stageFrames(Figure* hero, int frames, StageInput in) {
    int splash = 0;
    for (int i = 0; i < frames; i++)
        stageFrame(hero, in, &splash);
}

void animFrames(Figure* hero, int frames) {
    for (int i = 0; i < frames; i++)
        updateAnims(hero);
}

int cell(int column, int row) {
    return mapData[column * MAP_ROWS + row];
}

int under(int column, int row) {
    return mapOri[column * MAP_ROWS + row];
}

const AnimObject* animAt(int kind, int x, int y) {
    for (const AnimObject& a : aos)
        if (a.active && a.kind == kind && a.x == x && a.y == y) return &a;
    return nullptr;
}

int activeAnims() {
    int n = 0;
    for (const AnimObject& a : aos)
        n += a.active;
    return n;
}

int activeMonsters() {
    int n = 0;
    for (const Monster& m : monst)
        n += m.active;
    return n;
}

void fillAnimSlots() {
    for (int i = 0; i < MAX_ANIMS; i++)
        aos[i] = AnimObject{-1000, -1000 - i, 0, ANIM_DROWNED_FLOAT, 1}; // never ends
}
