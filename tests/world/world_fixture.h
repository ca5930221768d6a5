// Small stage maps built in memory by each test, and the world state of a fresh game.
#pragma once
#include "world/figure.h"
#include "world/stage.h"

#include <map>
#include <string>
#include <vector>

// A stage map of 12 rows. Rows are drawn as text, one character per cell, looked up in
// the legend below (or in the test's own legend).
class TestMap {
  public:
    explicit TestMap(int columns = 21);

    TestMap& set(int column, int row, int value);
    // Fills row `row` from column `from` to column `to` (inclusive; -1 = the last).
    TestMap& fillRow(int row, int value, int from = 0, int to = -1);
    // Draws text rows whose last string is row 11; columns start at `firstColumn`.
    TestMap& draw(const std::vector<std::string>& rows, int firstColumn = 0);
    TestMap& draw(const std::vector<std::string>& rows, const std::map<char, int>& legend,
                  int firstColumn = 0);

    int columns() const { return columns_; }
    int at(int column, int row) const { return cells_[column * 12 + row]; }
    // The bytes of a stage file.
    std::vector<unsigned char> bytes() const;
    bool writeTo(const std::string& path) const;

    // '.' empty, '#' solid 21, '=' bump 20, 'B' brick 40, 'C' crumbling 22, 'P' push 25,
    // 'o' ring 41, '+' extra life 26, '$' bonus 137, '^' spikes 87, 'x' spikes 105,
    // '*' mine 140, 'F' flag 17, 'T' trapdoor 88, '~' water 85, '_' platform 66,
    // 'S' start 65, '[' ']' '{' '}' the open door 27 28 / 47 48, 'M' MASKY 9, 'E' BEETLE 13.
    static const std::map<char, int>& legend();

  private:
    int columns_;
    std::vector<unsigned char> cells_;
};

// The state of a new game on `stage`, with every slot free and no map loaded.
void resetWorld(int stage = 1);
// resetWorld, then the map loaded as a stage file; false when the loader refused it.
bool loadTestMap(const TestMap& map, int stage = 1);
// resetWorld, then an attempt begun on the map as the game begins one.
bool beginTestAttempt(const TestMap& map, Figure* hero, int stage = 1);
// A hero placed at (x, y) at rest (vy 7, as on the ground).
Figure heroAt(int x, int y);
// Runs `frames` calls of walk with the same input.
void walkFrames(Figure* hero, int frames, int left, int right, int jump, int crawl = 0);
// Runs `frames` stage frames with the same input.
void stageFrames(Figure* hero, int frames, StageInput in = StageInput{0, 0, 0, 0});
// Takes every animation slot, so that nothing new can start.
void fillAnimSlots();
