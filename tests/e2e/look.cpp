// Looks at a screenshot of the game's window (a 24-bit BMP as `import` writes it) and
// answers one question about it, with the game's own drawing code and data as the
// reference: is this the warning page (pixel for pixel, through the window's scaler)? is
// the logo where the title puts it? is the hero's sprite at his start cell? is this text
// drawn there? is the view darker than in another shot? Exit status 0 = yes, 1 = no,
// 2 = the question could not be asked.
//
//   look size  SHOT
//   look page  SHOT warning|credits 1x|x2|s2x|aa
//   look image SHOT NAME CX CY [R]          a colour-keyed image centred within R (1) of (CX, CY)
//   look block SHOT X Y RADIUS N[,N...]     one of these block images near (X, Y)
//   look text  SHOT big|small Y TEXT        the text centred on the row Y
//   look darker SHOT BEFORE X Y W H         the area at 0.3 ... 0.7 of its brightness before
//
// Coordinates are in the 320x240 picture; a 640x480 shot is read at every second pixel,
// which in all three scalers is the picture's own pixel (but for edges in Scale2x).
// Options before the command: --data DIR (the archives, default ./data), --bpp 16|24 (the
// game's colour depth; 16 allows the rounding of 5- and 6-bit channels), --window s2x (the
// shot went through Scale2x).
#include "app/intro.h"
#include "data/archive.h"
#include "gfx/blocks.h"
#include "gfx/font.h"
#include "gfx/image.h"
#include "gfx/scalers.h"
#include "gfx/video.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int MAGENTA = 0xFF00FF;
constexpr double IMAGE_MISMATCH = 0.05; // share of an image's pixels that may differ
constexpr double PAGE_MISMATCH = 0.001; // share of a page's pixels that may differ

int tolerance = 8; // per channel; 16-bit channels are rounded on the way to the screen
bool scale2xShot = false;
int bpp = 16;
std::string dataDir = "./data";

struct Rgb {
    int r, g, b;
};

// A picture as plain RGB values.
struct Picture {
    int w = 0, h = 0;
    std::vector<Rgb> px;
    const Rgb& at(int x, int y) const { return px[(size_t)y * (size_t)w + (size_t)x]; }
};

Picture fromSurface(SDL_Surface* s) {
    Picture p;
    p.w = s->w;
    p.h = s->h;
    p.px.resize((size_t)p.w * (size_t)p.h);
    SDL_LockSurface(s);
    const int bytes = s->format->BytesPerPixel;
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++) {
            const Uint8* q = (const Uint8*)s->pixels + y * s->pitch + x * bytes;
            Uint32 v = 0;
            switch (bytes) {
            case 1:
                v = *q;
                break;
            case 2:
                v = *(const Uint16*)q;
                break;
            case 3:
                v = (Uint32)q[0] | (Uint32)q[1] << 8 | (Uint32)q[2] << 16;
                break;
            default:
                v = *(const Uint32*)q;
                break;
            }
            Uint8 r, g, b;
            SDL_GetRGB(v, s->format, &r, &g, &b);
            p.px[(size_t)y * (size_t)p.w + (size_t)x] = {r, g, b};
        }
    SDL_UnlockSurface(s);
    return p;
}

bool sameRgb(const Rgb& a, const Rgb& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

// Scale2x moves a corner of a 2x2 group to a neighbour's colour; the colour most of the
// group keeps is the picture's (the top-left one on a tie).
Rgb majority(const Rgb (&four)[4]) {
    int best = 0, bestCount = 0;
    for (int i = 0; i < 4; i++) {
        int count = 0;
        for (int j = 0; j < 4; j++)
            count += sameRgb(four[i], four[j]);
        if (count > bestCount) best = i, bestCount = count;
    }
    return four[best];
}

// The screenshot at picture size: a doubled window is read at its even pixels (plainly
// doubled or anti-aliased, these are the picture's own), or by majority after Scale2x.
Picture loadShot(const char* path) {
    SDL_Surface* s = SDL_LoadBMP(path);
    if (!s) {
        std::fprintf(stderr, "look: cannot read %s: %s\n", path, SDL_GetError());
        std::exit(2);
    }
    Picture full = fromSurface(s);
    SDL_FreeSurface(s);
    if (full.w == SCREEN_W && full.h == SCREEN_H) return full;
    if (full.w != ZOOM_W || full.h != ZOOM_H) {
        std::fprintf(stderr, "look: %s is %dx%d, not a game window\n", path, full.w, full.h);
        std::exit(2);
    }
    Picture p;
    p.w = SCREEN_W;
    p.h = SCREEN_H;
    for (int y = 0; y < SCREEN_H; y++)
        for (int x = 0; x < SCREEN_W; x++) {
            const Rgb four[4] = {full.at(2 * x, 2 * y), full.at(2 * x + 1, 2 * y),
                                 full.at(2 * x, 2 * y + 1), full.at(2 * x + 1, 2 * y + 1)};
            p.px.push_back(scale2xShot ? majority(four) : four[0]);
        }
    return p;
}

bool same(const Rgb& a, const Rgb& b) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}
bool isKey(const Rgb& c) {
    return ((c.r << 16) | (c.g << 8) | c.b) == MAGENTA;
}

// Pixels of `img` (its key colour skipped) that differ from the shot with the image's
// top-left corner at (x, y); counting stops past `limit`. Off-picture pixels differ.
int mismatches(const Picture& shot, const Picture& img, int x, int y, int limit) {
    int bad = 0;
    for (int j = 0; j < img.h; j++)
        for (int i = 0; i < img.w; i++) {
            const Rgb& c = img.at(i, j);
            if (isKey(c)) continue;
            const int sx = x + i, sy = y + j;
            if (sx < 0 || sy < 0 || sx >= shot.w || sy >= shot.h || !same(shot.at(sx, sy), c))
                if (++bad > limit) return bad;
        }
    return bad;
}

int opaque(const Picture& img) {
    int n = 0;
    for (const Rgb& c : img.px)
        n += !isKey(c);
    return n;
}

struct Match {
    int x = 0, y = 0, bad = -1;
};

// The best place for `img` with its corner within the given box.
Match search(const Picture& shot, const Picture& img, int x0, int y0, int x1, int y1) {
    const int limit = (int)(opaque(img) * IMAGE_MISMATCH);
    Match best;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) {
            const int bad = mismatches(shot, img, x, y, limit);
            if (bad <= limit && (best.bad < 0 || bad < best.bad)) best = {x, y, bad};
        }
    return best;
}

// ---- the game's side

void startGameGraphics() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "look: SDL: %s\n", SDL_GetError());
        std::exit(2);
    }
    screen = SDL_SetVideoMode(SCREEN_W, SCREEN_H, bpp, SDL_SWSURFACE);
    if (!screen) {
        std::fprintf(stderr, "look: no %d-bit picture: %s\n", bpp, SDL_GetError());
        std::exit(2);
    }
    gfxInitColors();
    static std::string dir;
    dir = dataDir;
    zdaDirectory = dir.c_str();
    openArchives();
}

// A surface of the picture's format filled with the key colour.
SDL_Surface* keyedSurface(int w, int h) {
    const SDL_PixelFormat* f = screen->format;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, f->BitsPerPixel, f->Rmask, f->Gmask,
                                          f->Bmask, f->Amask);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 0, 255));
    return s;
}

// ---- the questions

int askPage(const Picture&, const char* shotPath, const char* which, const char* mode) {
    startGameGraphics();
    loadSpriteFont();
    if (!std::strcmp(which, "warning"))
        warningRender(screen);
    else if (!std::strcmp(which, "credits"))
        opensourceRender(screen);
    else
        return 2;

    // the window as the game presents it
    SDL_Surface* window = screen;
    SDL_Surface* zoomed = nullptr;
    std::vector<Uint32> buf((size_t)SCREEN_W * SCREEN_H * 2);
    if (std::strcmp(mode, "1x") != 0) {
        const SDL_PixelFormat* f = screen->format;
        zoomed = SDL_CreateRGBSurface(SDL_SWSURFACE, ZOOM_W, ZOOM_H, f->BitsPerPixel, f->Rmask,
                                      f->Gmask, f->Bmask, f->Amask);
        if (!std::strcmp(mode, "x2"))
            zoom2Surface(screen, zoomed);
        else if (!std::strcmp(mode, "s2x"))
            scale2xSurface(screen, zoomed);
        else if (!std::strcmp(mode, "aa"))
            antiAlias2Surface(screen, zoomed, buf.data());
        else
            return 2;
        window = zoomed;
    }
    if (const char* dump = std::getenv("LOOK_EXPECTED")) SDL_SaveBMP(window, dump);
    const Picture want = fromSurface(window);
    SDL_Surface* s = SDL_LoadBMP(shotPath);
    if (!s) return 2;
    const Picture got = fromSurface(s);
    SDL_FreeSurface(s);
    if (got.w != want.w || got.h != want.h) {
        std::printf("the window is %dx%d, not %dx%d\n", got.w, got.h, want.w, want.h);
        return 1;
    }
    long bad = 0;
    for (size_t i = 0; i < got.px.size(); i++)
        bad += !same(got.px[i], want.px[i]);
    std::printf("%s page in %s: %ld of %zu pixels differ\n", which, mode, bad, got.px.size());
    return bad <= (long)(got.px.size() * PAGE_MISMATCH) ? 0 : 1;
}

int askImage(const Picture& shot, const char* name, int cx, int cy, int radius) {
    startGameGraphics();
    SDL_Surface* s = loadGFX(name, 1, 255, 0, 255);
    const Picture img = fromSurface(s);
    const Match m = search(shot, img, 0, 0, SCREEN_W - img.w, SCREEN_H - img.h);
    if (m.bad < 0) {
        std::printf("%s (%dx%d) is nowhere in the picture\n", name, img.w, img.h);
        return 1;
    }
    const int mx = m.x + img.w / 2, my = m.y + img.h / 2;
    std::printf("%s centred at (%d, %d), %d of %d pixels differ\n", name, mx, my, m.bad,
                opaque(img));
    return std::abs(mx - cx) <= radius && std::abs(my - cy) <= radius ? 0 : 1;
}

int askBlock(const Picture& shot, int x, int y, int radius, const char* list) {
    startGameGraphics();
    initBlocks(); // cut from the sheet as the game does
    for (const char* p = list; *p;) {
        char* end;
        const long n = std::strtol(p, &end, 10);
        if (end == p || n < 0 || n >= NUM_BLOCKS) return 2;
        const Picture img = fromSurface(blocks[n]);
        const Match m = search(shot, img, x - radius, y - radius, x + radius, y + radius);
        if (m.bad >= 0) {
            std::printf("block %ld at (%d, %d), %d of %d pixels differ\n", n, m.x, m.y, m.bad,
                        opaque(img));
            return 0;
        }
        p = *end == ',' ? end + 1 : end;
    }
    std::printf("none of the blocks %s within %d px of (%d, %d)\n", list, radius, x, y);
    return 1;
}

int askText(const Picture& shot, const char* which, int y, const char* text) {
    startGameGraphics();
    loadSpriteFont();
    const Font f = !std::strcmp(which, "big") ? fontbig : font;
    SDL_Surface* s = keyedSurface(SCREEN_W, SCREEN_H);
    drawTextCenterAt(s, text, y, f);
    const Picture img = fromSurface(s);
    const int n = opaque(img);
    const int bad = mismatches(shot, img, 0, 0, n);
    std::printf("\"%s\": %d of %d pixels differ\n", text, bad, n);
    return n > 0 && bad <= n * IMAGE_MISMATCH ? 0 : 1;
}

double brightness(const Picture& p, int x, int y, int w, int h) {
    double sum = 0;
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++) {
            const Rgb& c = p.at(i, j);
            sum += 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
        }
    return sum / (w * h);
}

int askDarker(const Picture& before, const Picture& after, int x, int y, int w, int h) {
    if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > SCREEN_W || y + h > SCREEN_H) return 2;
    const double a = brightness(before, x, y, w, h), b = brightness(after, x, y, w, h);
    const double ratio = a > 0 ? b / a : 0;
    std::printf("brightness %.1f, then %.1f: %.2f of it\n", a, b, ratio);
    return a > 8 && ratio >= 0.3 && ratio <= 0.7 ? 0 : 1;
}

int usage() {
    std::fprintf(stderr, "usage: look [--data DIR] [--bpp 16|24] [--window s2x] "
                         "size|page|image|block|text|"
                         "darker SHOT ...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int a = 1;
    for (; a + 1 < argc && !std::strncmp(argv[a], "--", 2); a += 2) {
        if (!std::strcmp(argv[a], "--data"))
            dataDir = argv[a + 1];
        else if (!std::strcmp(argv[a], "--bpp"))
            bpp = std::atoi(argv[a + 1]);
        else if (!std::strcmp(argv[a], "--window"))
            scale2xShot = !std::strcmp(argv[a + 1], "s2x");
        else
            return usage();
    }
    if (bpp != 16 && bpp != 24) return usage();
    if (bpp == 24) tolerance = 2;
    if (argc - a < 2) return usage();
    const std::string cmd = argv[a];
    const char* shotPath = argv[a + 1];
    char** rest = argv + a + 2;
    const int n = argc - a - 2;

    if (cmd == "size") {
        SDL_Surface* s = SDL_LoadBMP(shotPath);
        if (!s) return 2;
        std::printf("%dx%d\n", s->w, s->h);
        return 0;
    }
    const Picture shot = loadShot(shotPath);
    if (cmd == "page" && n == 2) return askPage(shot, shotPath, rest[0], rest[1]);
    if (cmd == "image" && (n == 3 || n == 4))
        return askImage(shot, rest[0], std::atoi(rest[1]), std::atoi(rest[2]),
                        n == 4 ? std::atoi(rest[3]) : 1);
    if (cmd == "block" && n == 4)
        return askBlock(shot, std::atoi(rest[0]), std::atoi(rest[1]), std::atoi(rest[2]), rest[3]);
    if (cmd == "text" && n == 3) return askText(shot, rest[0], std::atoi(rest[1]), rest[2]);
    if (cmd == "darker" && n == 5)
        return askDarker(loadShot(rest[0]), shot, std::atoi(rest[1]), std::atoi(rest[2]),
                         std::atoi(rest[3]), std::atoi(rest[4]));
    return usage();
}
