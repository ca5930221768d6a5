// demostage: writes the small demonstration stage that tools/stages/demo.replay clears:
// rings on the ground, on a ledge and in a pool, bricks and a bump block to hit, a bonus
// over a gap, a lift up a wall too high to jump, and the door.
//   demostage OUT.bin
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int ROWS = 12;

// One string per row, top to bottom, one character per column.
const char* const STAGE[ROWS] = {
    "............................................................",
    "............................................................",
    "............................................................",
    "............................................................",
    "....................................................#.......",
    "......B=B...........................................#.......",
    "....................................................#.......",
    ".................o........$.........................#.......",
    "...............#####..............................._#.....[]",
    ".S..o.............................~~o~~~......o.....#.....{}",
    "##########################..##.########################..###",
    "##########################..##.########################..###",
};

const std::map<char, int> CELLS = {
    {'.', 0},  {'#', 21}, {'B', 40}, {'=', 20}, {'o', 41}, {'$', 137}, {'~', 85},
    {'_', 66}, {'S', 65}, {'[', 27}, {']', 28}, {'{', 47}, {'}', 48},
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demostage OUT.bin\n");
        return 2;
    }
    const int columns = (int)std::string(STAGE[0]).size();
    // every row as long as the first, before any cell of a short one is read
    for (int r = 1; r < ROWS; r++)
        if ((int)std::string(STAGE[r]).size() != columns) {
            std::fprintf(stderr, "demostage: row %d is not %d columns long\n", r, columns);
            return 1;
        }
    std::vector<unsigned char> bytes = {(unsigned char)((columns - 1) & 255),
                                        (unsigned char)((columns - 1) >> 8)};
    for (int c = 0; c < columns; c++)
        for (int r = 0; r < ROWS; r++) {
            auto it = CELLS.find(STAGE[r][c]);
            if (it == CELLS.end()) {
                std::fprintf(stderr, "demostage: bad cell in row %d, column %d\n", r, c);
                return 1;
            }
            bytes.push_back((unsigned char)it->second);
        }
    FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
        std::fclose(f) != 0) {
        std::fprintf(stderr, "demostage: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
