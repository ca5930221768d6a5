// The sine and cosine tables of the logo screen's mascot: 512 steps to a full turn, scaled
// by 1024 and truncated toward zero, (int)(sin(2 pi i / 512) x 1024).
//
// The compiler works them out, from a series on the first eighth of the turn and the
// circle's symmetries, so they depend on no maths library or floating-point unit: the
// corners of the turn come out exactly 0 and +-1024, and no other entry lies nearer than
// 0.0028 to a whole number, far more than the series' error.
#include "app/intro.h"

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr int QUARTER = TRIG_STEPS / 4;
constexpr int EIGHTH = TRIG_STEPS / 8;
constexpr int SCALE = 1024;
constexpr int SERIES_TERMS = 9; // the first term left out is below 1e-17 for |x| <= pi/4

constexpr double sinSeries(double x) {
    double term = x, sum = x;
    for (int n = 1; n < SERIES_TERMS; n++) {
        term *= -x * x / ((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

constexpr double cosSeries(double x) {
    double term = 1, sum = 1;
    for (int n = 1; n < SERIES_TERMS; n++) {
        term *= -x * x / ((2 * n - 1) * (2 * n));
        sum += term;
    }
    return sum;
}

// sin of step k of the first quarter turn, 0 <= k <= QUARTER: past the eighth it is the cosine
// of what is left to the quarter, so that both series stay within pi/4.
constexpr double quarterSine(int k) {
    return k <= EIGHTH ? sinSeries(2 * PI * k / TRIG_STEPS)
                       : cosSeries(2 * PI * (QUARTER - k) / TRIG_STEPS);
}

constexpr double sineOfStep(int i) {
    i %= TRIG_STEPS;
    if (i <= QUARTER) return quarterSine(i);
    if (i <= 2 * QUARTER) return quarterSine(2 * QUARTER - i);
    if (i <= 3 * QUARTER) return -quarterSine(i - 2 * QUARTER);
    return -quarterSine(TRIG_STEPS - i);
}

// The table of sin(2 pi (i + shift) / 512) x 1024; a shift of a quarter turn gives the cosine.
constexpr std::array<int, TRIG_STEPS> scaledSines(int shift) {
    std::array<int, TRIG_STEPS> table{};
    for (int i = 0; i < TRIG_STEPS; i++)
        table[i] = (int)(sineOfStep(i + shift) * SCALE);
    return table;
}

} // namespace

constexpr std::array<int, TRIG_STEPS> tsin = scaledSines(0);
constexpr std::array<int, TRIG_STEPS> tcos = scaledSines(QUARTER);
