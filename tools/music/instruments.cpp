// Synthesizes the instrument samples of a song from short recipes: single-cycle waves
// (pulse, saw, triangle, sine, organ), a slowly beating pad, a plucked bass, a bell, and
// noise drums. Tonal samples repeat every `cycle` samples so the tracker tunes them by
// playback rate alone; loops hold whole cycles so they join without a click.
#include "song.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double PEAK = 0.92; // of full scale, headroom for the resampler
// No recipe of ours needs a longer sample; a recipe asking for one (or for none) is a typo.
constexpr double MAX_FRAMES = 1 << 20;

// Frames of a sound of `seconds` at `rate`; 0 when that is under one or over MAX_FRAMES
// (and for lengths that are no number), which leaves the sample empty and refused.
size_t frameCount(double seconds, double rate) {
    double n = seconds * rate;
    return n >= 1 && n <= MAX_FRAMES ? (size_t)n : 0;
}

struct Params {
    std::map<std::string, double> values;
    double get(const char* key, double fallback) const {
        auto it = values.find(key);
        return it == values.end() ? fallback : it->second;
    }
};

// A recipe's number as a whole one, its fraction dropped: false when that is outside
// lo ... hi or no number; checked before the conversion, which is undefined for a number no
// int holds ("vol=1e99").
bool wholeIn(double v, int lo, int hi, int* out) {
    if (!(v > lo - 1 && v < hi + 1)) return false;
    *out = (int)v;
    return true;
}

// Deterministic noise so every build writes the same bytes.
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed * 2654435761u + 12345u) {}
    double next() {
        state = state * 1664525u + 1013904223u;
        return ((state >> 8) & 0xFFFF) / 32768.0 - 1.0;
    }
};

// Band-limited periodic wave from harmonic amplitudes, one cycle of n samples.
double additive(const std::vector<double>& harmonics, double phase) {
    double v = 0;
    for (size_t h = 0; h < harmonics.size(); h++)
        v += harmonics[h] * std::sin(2 * PI * (h + 1) * phase);
    return v;
}

std::vector<double> sawHarmonics(int count, double brightness) {
    std::vector<double> h(count);
    for (int i = 0; i < count; i++)
        h[i] = std::pow(1.0 / (i + 1), brightness);
    return h;
}

void normalise(std::vector<double>& v) {
    double peak = 0;
    for (double x : v)
        peak = std::max(peak, std::fabs(x));
    if (peak > 0)
        for (double& x : v)
            x *= PEAK / peak;
}

// Reference playback rate of a tonal sample: the rate that sounds the note `ref`.
double referenceRate(int cycle, double ref) {
    return 440.0 * std::pow(2.0, (ref - 69) / 12.0) * cycle;
}

bool singleCycle(const std::string& wave, const Params& p, int cycle, std::vector<double>& out) {
    out.resize(cycle);
    int maxHarmonic = cycle / 2 - 1;
    for (int i = 0; i < cycle; i++) {
        double phase = (double)i / cycle;
        double v = 0;
        if (wave == "pulse") {
            v = phase < p.get("duty", 0.5) ? 1.0 : -1.0;
        } else if (wave == "saw") {
            v = additive(sawHarmonics(maxHarmonic, 1.0), phase);
        } else if (wave == "triangle") {
            v = phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase;
        } else if (wave == "sine") {
            v = std::sin(2 * PI * phase);
        } else if (wave == "organ") {
            v = additive({1.0, p.get("h2", 0.5), p.get("h3", 0.35), p.get("h4", 0.2),
                          p.get("h5", 0.0), p.get("h6", 0.1)},
                         phase);
        } else {
            return false;
        }
        out[i] = v;
    }
    // no offset: a pulse of unequal halves would otherwise push the mix off centre
    double mean = 0;
    for (double v : out)
        mean += v / cycle;
    for (double& v : out)
        v -= mean;
    return true;
}

// Two or three detuned saws over a loop of `cycles` periods; an attack of whole loops leads
// into it so the loop point joins the same waveform.
void pad(const Params& p, int cycle, Instrument& inst, std::vector<double>& out) {
    double cyclesWanted = p.get("cycles", 32), attackWanted = p.get("attack", 2);
    if (!(cyclesWanted >= 1 && cyclesWanted <= 256 && attackWanted >= 0 && attackWanted <= 64))
        return;
    int cycles = (int)cyclesWanted;
    int loop = cycle * cycles;
    int attackLoops = (int)attackWanted;
    std::vector<double> harmonics = sawHarmonics(std::min(10, cycle / 2 - 1), p.get("soft", 1.6));
    out.resize(frameCount(attackLoops + 1, loop));
    for (size_t i = 0; i < out.size(); i++) {
        double t = (double)(i % loop) / loop; // position in the loop, 0 ... 1
        double v = additive(harmonics, t * cycles) + additive(harmonics, t * (cycles + 1)) +
                   0.6 * additive(harmonics, t * (cycles - 1));
        double env = std::min(1.0, (double)i / (loop * std::max(attackLoops, 1)));
        out[i] = v * (attackLoops ? env : 1.0);
    }
    inst.loopStart = loop * attackLoops;
    inst.loopLength = loop;
}

// A plucked string: harmonics that die away faster the higher they are.
void pluck(const Params& p, int cycle, std::vector<double>& out) {
    double rate = referenceRate(cycle, p.get("ref", 40));
    double seconds = p.get("length", 0.9);
    double decay = p.get("decay", 3.0);     // per second, the fundamental
    double damping = p.get("damping", 0.9); // per second and harmonic
    int harmonics = std::min(20, cycle / 2 - 1);
    out.resize(frameCount(seconds, rate));
    for (size_t i = 0; i < out.size(); i++) {
        double t = i / rate;
        double phase = (double)(i % cycle) / cycle;
        double v = 0;
        for (int h = 1; h <= harmonics; h++)
            v += std::exp(-t * (decay + damping * h)) / h * std::sin(2 * PI * h * phase);
        out[i] = v * std::min(1.0, t * 400); // a 2.5 ms onset
    }
}

// A bell: a few inharmonic partials; the fundamental repeats every `cycle` samples.
void bell(const Params& p, int cycle, std::vector<double>& out) {
    double rate = referenceRate(cycle, p.get("ref", 72));
    double seconds = p.get("length", 1.2);
    double decay = p.get("decay", 3.0);
    static const double ratio[] = {1.0, 2.0, 2.76, 4.07, 5.4};
    static const double level[] = {1.0, 0.5, 0.4, 0.2, 0.15};
    out.resize(frameCount(seconds, rate));
    for (size_t i = 0; i < out.size(); i++) {
        double t = i / rate;
        double v = 0;
        for (int k = 0; k < 5; k++)
            v += level[k] * std::exp(-t * decay * (1 + k * 0.8)) *
                 std::sin(2 * PI * ratio[k] * i / cycle);
        out[i] = v * std::min(1.0, t * 500);
    }
}

// Drums, rendered at the fixed drum rate.
bool drum(const std::string& wave, const Params& p, uint32_t seed, std::vector<double>& out) {
    // named first: a sample too short to reach the loop below is still no drum of another name
    static const char* const DRUMS[] = {"kick", "tom", "snare", "clap", "hat", "openhat", "shaker"};
    if (std::find(std::begin(DRUMS), std::end(DRUMS), wave) == std::end(DRUMS)) return false;
    Noise noise(seed);
    double length = p.get("length", 0.3);
    out.resize(frameCount(length, DRUM_RATE));
    double phase = 0, low = 0, band = 0, previous = 0;
    for (size_t i = 0; i < out.size(); i++) {
        double t = i / DRUM_RATE;
        double v = 0;
        if (wave == "kick" || wave == "tom") {
            double high = p.get("high", wave == "kick" ? 150 : 220);
            double lowHz = p.get("low", wave == "kick" ? 45 : 110);
            double freq = lowHz + (high - lowHz) * std::exp(-t * p.get("sweep", 30));
            phase += freq / DRUM_RATE;
            v = std::sin(2 * PI * phase) * std::exp(-t * p.get("decay", 9));
            if (wave == "kick") v += 0.4 * noise.next() * std::exp(-t * 300); // the beater
        } else if (wave == "snare" || wave == "clap") {
            // noise through a band-pass, plus the shell's tone
            double n = noise.next();
            double f = 2 * std::sin(PI * p.get("tone", 1800) / DRUM_RATE);
            low += f * band;
            band += f * (n - low - 0.7 * band);
            double env = std::exp(-t * p.get("decay", 14));
            if (wave == "clap") env *= (t < 0.03 ? 0.6 + 0.4 * std::cos(2 * PI * t * 100) : 1.0);
            phase += 190 / DRUM_RATE;
            v = (band + 0.3 * n) * env +
                (wave == "snare" ? 0.5 : 0.0) * std::sin(2 * PI * phase) * std::exp(-t * 25);
        } else if (wave == "hat" || wave == "openhat" || wave == "shaker") {
            // high-passed noise: the difference of neighbours
            double n = noise.next();
            double hp = n - previous;
            previous = n;
            double decay = p.get("decay", wave == "hat" ? 60 : wave == "openhat" ? 9 : 25);
            double attack = wave == "shaker" ? std::min(1.0, t * 60) : 1.0;
            v = hp * std::exp(-t * decay) * attack;
        } else {
            return false;
        }
        out[i] = v;
    }
    return true;
}

} // namespace

bool synthesize(Instrument& inst, const std::vector<std::pair<std::string, double>>& params,
                std::string& fault) {
    Params p;
    for (const auto& kv : params)
        p.values[kv.first] = kv.second;
    if (!wholeIn(p.get("vol", 64), 0, 64, &inst.volume) ||
        !wholeIn(p.get("pan", 128), 0, 255, &inst.pan)) {
        fault = "vol is 0 to 64, pan 0 to 255";
        return false;
    }
    uint32_t seed = 0;
    for (char c : inst.name)
        seed = seed * 31 + (uint8_t)c;

    std::vector<double> wave;
    const std::string& w = inst.wave;
    if (drum(w, p, seed, wave)) {
        inst.cycle = 0;
    } else {
        if (!wholeIn(p.get("cycle", 32), 8, 256, &inst.cycle) || (inst.cycle & (inst.cycle - 1))) {
            fault = "cycle is a power of two from 8 to 256";
            return false;
        }
        if (w == "pad") {
            pad(p, inst.cycle, inst, wave);
        } else if (w == "pluck") {
            pluck(p, inst.cycle, wave);
        } else if (w == "bell") {
            bell(p, inst.cycle, wave);
        } else if (singleCycle(w, p, inst.cycle, wave)) {
            // a few cycles so the resampler has something to hold on to; all of them loop
            int copies = std::max(1, 256 / inst.cycle);
            std::vector<double> one = wave;
            for (int i = 1; i < copies; i++)
                wave.insert(wave.end(), one.begin(), one.end());
            inst.loopStart = 0;
            inst.loopLength = (int)wave.size();
        } else {
            fault = "unknown wave " + w;
            return false;
        }
    }
    if (wave.empty()) {
        fault = "no sample, or one over " + std::to_string((int)MAX_FRAMES) +
                " frames: check length, ref, cycles and attack";
        return false;
    }
    normalise(wave);
    double gain = p.get("gain", 1.0);
    inst.data.resize(wave.size());
    for (size_t i = 0; i < wave.size(); i++)
        inst.data[i] = (int16_t)std::lround(std::clamp(wave[i] * gain, -1.0, 1.0) * 32767);
    return true;
}
