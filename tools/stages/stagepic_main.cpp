// stagepic: a picture of a whole stage for reviewing a design, drawn from the build's block
// sheet over the backdrop (back.bmp beside the sheet, when there is one): the back plane, the
// markers as the things they become, the front plane, column numbers every ten columns, and with a
// replay the hero's path (yellow, red where he dies).
//   stagepic SHEET.bmp MAP.bin OUT.png [--stage N] [--replay FILE] [--wrap COLUMNS]
#include "digits.h"
#include "png_writer.h"
#include "stagetext.h"

#include "sim/stagerun.h"
#include "world/figure.h"
#include "world/map.h"
#include "world/replay.h"
#include "world/stage.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr uint32_t SKY = 0x1C2A3C;
constexpr uint32_t RULER = 0x9090A0;
constexpr uint32_t PATH = 0xFFE040;
constexpr uint32_t DEATH = 0xFF3030;
constexpr int GAP = 10; // px between strips, room for the column numbers

struct Sheet {
    std::vector<uint32_t> px; // 320 x 192
    int w = 0, h = 0;
    uint32_t at(int tile, int x, int y) const {
        int tx = (tile % 20) * 16 + x, ty = (tile / 20) * 16 + y;
        if (tx >= w || ty >= h) return 0xFF00FF;
        return px[size_t(ty) * w + tx];
    }
};

bool loadSheet(const char* path, Sheet* s) {
    SDL_Surface* raw = SDL_LoadBMP(path);
    if (!raw) return false;
    SDL_Surface* rgb =
        SDL_CreateRGBSurface(SDL_SWSURFACE, raw->w, raw->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_BlitSurface(raw, nullptr, rgb, nullptr);
    s->w = rgb->w;
    s->h = rgb->h;
    s->px.resize(size_t(s->w) * s->h);
    SDL_LockSurface(rgb);
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++)
            s->px[size_t(y) * s->w + x] =
                ((uint32_t*)((uint8_t*)rgb->pixels + y * rgb->pitch))[x] & 0xFFFFFF;
    SDL_UnlockSurface(rgb);
    SDL_FreeSurface(rgb);
    SDL_FreeSurface(raw);
    return true;
}

struct Canvas {
    RgbImage img;
    int wrap = 100;
    // world px to picture px
    bool place(int wx, int wy, int* px, int* py) const {
        int strip = wx / (wrap * 16);
        *px = wx - strip * wrap * 16;
        *py = strip * (192 + GAP) + GAP + wy;
        return wy >= 0 && wy < 192 && *py >= 0 && *py < img.height && *px < img.width;
    }
    void dot(int wx, int wy, uint32_t c, int r = 1) {
        for (int dy = -r; dy <= r; dy++)
            for (int dx = -r; dx <= r; dx++) {
                int x, y;
                if (place(wx + dx, wy + dy, &x, &y) && x >= 0) img.at(x, y) = c;
            }
    }
    void backdrop(const Sheet& b, int columns) {
        for (int y = 0; y < 192 && y < b.h; y++)
            for (int wx = 0; wx < columns * 16; wx++) {
                int X, Y;
                if (place(wx, y, &X, &Y)) img.at(X, Y) = b.px[size_t(y) * b.w + (wx / 2) % b.w];
            }
    }
    void tile(const Sheet& s, int value, int wx, int wy) {
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++) {
                uint32_t p = s.at(value, x, y);
                int X, Y;
                if (p != 0xFF00FF && place(wx + x, wy + y, &X, &Y)) img.at(X, Y) = p;
            }
    }
    void number(int value, int wx) {
        int px, py;
        place(wx, 0, &px, &py);
        drawDigits(img, value, px, py - GAP + 2, RULER);
    }
};

// What a cell is drawn as in the picture: markers as what they turn into.
int pictureOf(int v) {
    switch (v) {
    case CELL_SPIKES:
        return CELL_SPIKES_HIDDEN;
    case CELL_MINE:
        return 220;
    default:
        return v;
    }
}

struct Path {
    Canvas* canvas;
};

void observe(int frame, Figure* hero, void* context) {
    Canvas* c = ((Path*)context)->canvas;
    if (frame % 2 == 0 && hero->alive && !hero->dying) c->dot(hero->x + 8, hero->y + 8, PATH, 1);
    if (hero->dying || !hero->alive) c->dot(hero->x + 8, hero->y + 8, DEATH, 2);
}

} // namespace

static int usage() {
    std::fprintf(stderr, "usage: stagepic SHEET.bmp MAP.bin OUT.png [--stage N] [--replay FILE] "
                         "[--wrap COLUMNS]\n");
    return 2;
}

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    int stage = 1, wrap = 100;
    std::string replayPath;
    for (int i = 4; i < argc; i += 2) {
        std::string a = argv[i];
        if (i + 1 >= argc) return usage();
        if (a == "--stage")
            stage = std::atoi(argv[i + 1]);
        else if (a == "--replay")
            replayPath = argv[i + 1];
        else if (a == "--wrap")
            wrap = std::max(21, std::atoi(argv[i + 1]));
        else
            return usage();
    }
    Sheet sheet;
    if (!loadSheet(argv[1], &sheet)) {
        std::fprintf(stderr, "%s: not a readable BMP\n", argv[1]);
        return 1;
    }
    // the same reader as the converter's, so a width the game refuses never makes a picture
    std::string text, error;
    StageGrid grid;
    if (!readTextFile(argv[2], &text, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (!decodeStage((const uint8_t*)text.data(), text.size(), &grid, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[2], error.c_str());
        return 1;
    }
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    const int columns = grid.columns;
    Canvas canvas;
    canvas.wrap = wrap;
    int strips = (columns + wrap - 1) / wrap;
    canvas.img = RgbImage(std::min(columns, wrap) * 16, strips * (192 + GAP), 0x000000);
    for (int s = 0; s < strips; s++)
        for (int y = 0; y < 192; y++)
            for (int x = 0; x < canvas.img.width; x++)
                if (s * wrap + x / 16 < columns) canvas.img.at(x, s * (192 + GAP) + GAP + y) = SKY;
    // the backdrop moves at half speed in the game; here it is spread at half speed too
    std::string backPath = argv[1];
    size_t slash = backPath.find_last_of('/');
    backPath =
        (slash == std::string::npos ? std::string() : backPath.substr(0, slash + 1)) + "back.bmp";
    Sheet back;
    if (loadSheet(backPath.c_str(), &back) && back.w > 0) canvas.backdrop(back, columns);
    for (int plane = 0; plane < 2; plane++)
        for (int c = 0; c < columns; c++)
            for (int r = 0; r < 12; r++) {
                int v = grid.at(c, r);
                if (v == 0 || v >= 240 || blockPlane(v) != plane) continue;
                canvas.tile(sheet, pictureOf(v), c * 16, r * 16);
            }
    for (int c = 0; c < columns; c += 10)
        canvas.number(c, c * 16);

    if (!replayPath.empty()) {
        Replay replay;
        if (!loadReplay(replayPath.c_str(), &replay, &error)) {
            std::fprintf(stderr, "%s: %s\n", replayPath.c_str(), error.c_str());
            return 1;
        }
        Figure hero{};
        prepareFirstAttempt(stage);
        if (!beginAttemptFromBytes(&hero, bytes.data(), int(bytes.size()))) {
            std::fprintf(stderr, "%s: the game cannot load it\n", argv[2]);
            return 1;
        }
        Path path{&canvas};
        StageResult r = playReplay(&hero, replay, observe, &path);
        const char* what[] = {"cleared", "died", "ended"};
        std::printf("%s frame=%d rings=%d %s\n", what[r.outcome], r.frame, r.rings,
                    r.message.c_str());
    }
    std::vector<unsigned char> png = encodePNG(canvas.img);
    if (!writeFile(argv[3], png)) {
        std::fprintf(stderr, "%s: cannot be written\n", argv[3]);
        return 1;
    }
    return 0;
}
