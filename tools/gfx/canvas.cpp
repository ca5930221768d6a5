// Drawing helpers of the picture builder.
#include "canvas.h"

#include <cstdio>
#include <cstdlib>
#include <map>

Palette gPal;
std::map<std::string, RgbImage> gArt;

const RgbImage& art(const std::string& name) {
    auto it = gArt.find(name);
    if (it == gArt.end()) {
        std::fprintf(stderr, "makegfx: no art file defines the image \"%s\"\n", name.c_str());
        std::exit(1);
    }
    return it->second;
}

uint32_t C(const char* name) {
    bool found = false;
    uint32_t c = gPal.named(name, &found);
    if (!found) {
        std::fprintf(stderr, "makegfx: colour \"%s\" is not in the palette\n", name);
        std::exit(1);
    }
    return c;
}

void putPixel(RgbImage& img, int x, int y, uint32_t c) {
    if (x >= 0 && y >= 0 && x < img.width && y < img.height) img.at(x, y) = c;
}

void fillRect(RgbImage& img, int x, int y, int w, int h, uint32_t c) {
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++)
            putPixel(img, i, j, c);
}

void blit(RgbImage& dst, const RgbImage& src, int x, int y) {
    for (int j = 0; j < src.height; j++)
        for (int i = 0; i < src.width; i++)
            if (src.at(i, j) != RGB_MAGENTA) putPixel(dst, x + i, y + j, src.at(i, j));
}

void copyRect(RgbImage& dst, const RgbImage& src, int sx, int sy, int w, int h, int x, int y) {
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++)
            if (sx + i >= 0 && sy + j >= 0 && sx + i < src.width && sy + j < src.height)
                putPixel(dst, x + i, y + j, src.at(sx + i, sy + j));
}

RgbImage crop(const RgbImage& src, int x, int y, int w, int h) {
    RgbImage out(w, h, RGB_MAGENTA);
    copyRect(out, src, x, y, w, h, 0, 0);
    return out;
}

RgbImage scaleNearest(const RgbImage& src, int f) {
    RgbImage out(src.width * f, src.height * f);
    for (int y = 0; y < out.height; y++)
        for (int x = 0; x < out.width; x++)
            out.at(x, y) = src.at(x / f, y / f);
    return out;
}

RgbImage scaleEPX(const RgbImage& src) {
    RgbImage out(src.width * 2, src.height * 2);
    auto px = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= src.width || y >= src.height) return RGB_MAGENTA;
        return src.at(x, y);
    };
    for (int y = 0; y < src.height; y++)
        for (int x = 0; x < src.width; x++) {
            uint32_t p = px(x, y), a = px(x, y - 1), b = px(x + 1, y), c = px(x - 1, y),
                     d = px(x, y + 1);
            uint32_t e0 = p, e1 = p, e2 = p, e3 = p;
            if (c == a && c != d && a != b) e0 = a;
            if (a == b && a != c && b != d) e1 = b;
            if (d == c && d != b && c != a) e2 = c;
            if (b == d && b != a && d != c) e3 = d;
            out.at(2 * x, 2 * y) = e0;
            out.at(2 * x + 1, 2 * y) = e1;
            out.at(2 * x, 2 * y + 1) = e2;
            out.at(2 * x + 1, 2 * y + 1) = e3;
        }
    return out;
}

RgbImage mirrored(const RgbImage& src) {
    RgbImage out(src.width, src.height);
    for (int y = 0; y < src.height; y++)
        for (int x = 0; x < src.width; x++)
            out.at(src.width - 1 - x, y) = src.at(x, y);
    return out;
}

void outline(RgbImage& img, uint32_t c) {
    RgbImage before = img;
    for (int y = 0; y < img.height; y++)
        for (int x = 0; x < img.width; x++) {
            if (before.at(x, y) != RGB_MAGENTA) continue;
            bool near = false;
            for (int j = -1; j <= 1 && !near; j++)
                for (int i = -1; i <= 1 && !near; i++) {
                    int nx = x + i, ny = y + j;
                    near = nx >= 0 && ny >= 0 && nx < img.width && ny < img.height &&
                           before.at(nx, ny) != RGB_MAGENTA;
                }
            if (near) img.at(x, y) = c;
        }
}

void dropShadow(RgbImage& img, int dx, int dy, uint32_t c) {
    RgbImage before = img;
    for (int y = 0; y < img.height; y++)
        for (int x = 0; x < img.width; x++) {
            int sx = x - dx, sy = y - dy;
            if (before.at(x, y) == RGB_MAGENTA && sx >= 0 && sy >= 0 && sx < img.width &&
                sy < img.height && before.at(sx, sy) != RGB_MAGENTA)
                img.at(x, y) = c;
        }
}

uint32_t dither(uint32_t a, uint32_t b, int t, int x, int y) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return t > bayer[y & 3][x & 3] ? b : a;
}

void verticalRamp(RgbImage& img, int x0, int x1, int y0, int y1,
                  const std::vector<uint32_t>& ramp) {
    if (ramp.empty() || y1 < y0) return;
    const int steps = (int)ramp.size() - 1;
    for (int y = y0; y <= y1; y++) {
        // position along the ramp in 16ths of a step
        int pos = steps == 0 || y1 == y0 ? 0 : (y - y0) * steps * 16 / (y1 - y0);
        int k = pos / 16, t = pos % 16;
        for (int x = x0; x <= x1; x++) {
            uint32_t c = k >= steps ? ramp[steps] : dither(ramp[k], ramp[k + 1], t, x, y);
            putPixel(img, x, y, c);
        }
    }
}

void fillEllipse(RgbImage& img, int cx, int cy, int rx, int ry, uint32_t c) {
    if (rx <= 0 || ry <= 0) return;
    for (int y = -ry; y <= ry; y++)
        for (int x = -rx; x <= rx; x++)
            if ((long)x * x * ry * ry + (long)y * y * rx * rx <= (long)rx * rx * ry * ry)
                putPixel(img, cx + x, cy + y, c);
}

void fillCircle(RgbImage& img, int cx, int cy, int r, uint32_t c) {
    fillEllipse(img, cx, cy, r, r, c);
}

void drawLine(RgbImage& img, int x0, int y0, int x1, int y1, uint32_t c) {
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
    for (;;) {
        putPixel(img, x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}
