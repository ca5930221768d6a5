// The stage backdrop: a sky fading to the horizon, clouds, two ranges of hazy mountains and
// rolling hills. It scrolls at half speed and repeats, so every shape is a sum of waves
// with whole periods over the width and every cloud is drawn on both sides of the seam:
// the left and right edges join without a visible step.
#include "makegfx.h"

#include <cmath>

namespace {

constexpr int BACK_W = 512, BACK_H = 192;
constexpr double TAU = 6.283185307179586;

struct Wave {
    int periods; // whole waves over the width
    double amplitude, phase;
};

// Height of a range above the bottom at column x (wraps at BACK_W).
double rangeHeight(double base, const std::vector<Wave>& waves, int x) {
    double h = base;
    for (const auto& w : waves)
        h += w.amplitude * std::sin(TAU * w.periods * x / BACK_W + w.phase);
    return h;
}

// A range of hills: lit faces (rising to the right, facing the light from the upper
// left) get the light colour, the rest the body colour; an optional dithered fade to a
// deeper colour towards the bottom.
void drawRange(RgbImage& img, double base, const std::vector<Wave>& waves, uint32_t lit,
               uint32_t body, uint32_t deep, uint32_t rim) {
    for (int x = 0; x < BACK_W; x++) {
        double h = rangeHeight(base, waves, x);
        double slope = rangeHeight(base, waves, x + 1) - rangeHeight(base, waves, x - 1);
        int top = BACK_H - (int)std::lround(h);
        for (int y = std::max(top, 0); y < BACK_H; y++) {
            int depth = y - top;
            uint32_t c = body;
            if (depth < 10 && slope < -0.15)
                c = depth < 6 ? lit : dither(lit, body, (depth - 5) * 3, x, y);
            if (depth == 0 && rim != RGB_MAGENTA) c = rim;
            int fade = depth - 24;
            if (fade > 0 && deep != RGB_MAGENTA)
                c = fade >= 16 ? deep : dither(c, deep, fade, x, y);
            img.at(x, y) = c;
        }
    }
}

// A cloud of overlapping puffs with a bright top and a shaded belly, drawn on both sides
// of the seam.
void drawCloud(RgbImage& img, int cx, int cy, int size) {
    for (int wrap = -BACK_W; wrap <= BACK_W; wrap += BACK_W) {
        RgbImage c(size * 6, size * 3, RGB_MAGENTA);
        int mx = size * 3, my = size * 2;
        const int puffs[][3] = {{-2, 0, 5}, {0, -1, 7}, {2, 0, 6}, {-1, 1, 5}, {1, 1, 5}};
        for (const auto& p : puffs)
            fillEllipse(c, mx + p[0] * size / 2, my + p[1] * size / 3 - 2, p[2] * size / 6 + 2,
                        p[2] * size / 9 + 2, C("white"));
        // shade the lower part of the cloud
        for (int y = 0; y < c.height; y++)
            for (int x = 0; x < c.width; x++) {
                if (c.at(x, y) == RGB_MAGENTA) continue;
                int below = y - my;
                if (below > 2)
                    c.at(x, y) = below > 5 ? C("sky4") : dither(C("sky5"), C("sky4"), 8, x, y);
                else if (below > -1)
                    c.at(x, y) = C("sky5");
            }
        blit(img, c, cx - mx + wrap, cy - my);
    }
}

} // namespace

RgbImage buildBackdrop() {
    RgbImage img(BACK_W, BACK_H, C("sky1"));
    verticalRamp(img, 0, BACK_W - 1, 0, 130,
                 {C("sky1"), C("sky2"), C("sky3"), C("sky4"), C("sky5")});
    fillRect(img, 0, 131, BACK_W, BACK_H - 131, C("sky5"));

    drawCloud(img, 40, 34, 14);
    drawCloud(img, 150, 62, 9);
    drawCloud(img, 260, 26, 12);
    drawCloud(img, 360, 70, 8);
    drawCloud(img, 440, 44, 16);

    // far mountains with snowy tops
    std::vector<Wave> far = {{3, 22, 0.4}, {7, 9, 1.7}, {13, 4, 0.2}, {29, 1.5, 2.0}};
    drawRange(img, 86, far, C("haze2"), C("haze1"), RGB_MAGENTA, RGB_MAGENTA);
    for (int x = 0; x < BACK_W; x++) {
        double h = rangeHeight(86, far, x);
        if (h > 100) {
            int top = BACK_H - (int)std::lround(h);
            int snow = (int)((h - 100) / 3);
            for (int y = top; y < top + snow; y++)
                img.at(x, y) = img.at(x, y) == C("haze2") ? C("white") : C("sky4");
        }
    }
    // nearer range
    drawRange(img, 58, {{2, 12, 2.1}, {5, 8, 0.9}, {11, 3, 1.3}}, C("haze1"), C("haze3"),
              RGB_MAGENTA, RGB_MAGENTA);
    // rolling hills in front
    drawRange(img, 30, {{4, 7, 0.3}, {9, 4, 2.5}, {17, 1.5, 0.7}}, C("haze3"), C("grey3"),
              C("grey2"), C("haze1"));
    return img;
}
