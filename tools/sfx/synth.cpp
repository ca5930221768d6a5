// Renders sound-effect recipes. A recipe file lists, one per line ('#' starts a comment):
//
//   length 0.25            seconds
//   peak -1                dBFS after normalising
//   bits 16                16 or 8
//   layer SOURCE key=value ...
//
// SOURCE is sine, square, pulse, saw, triangle or noise. Keys: from/to (Hz, exponential
// slide over `slide` seconds), steps (the slide in even steps), duty, vibrato/depth (Hz,
// semitones), filter=low|high|band with cutoff/cutoff_to (Hz) and q, start/attack/hold/decay
// (seconds; decay is the time to fall 60 dB), level.
//
//   loudness -9            RMS over the whole length, dBFS (the default -9): the mix is
//                          driven into a limiter as hard as it takes, up to MAX_DRIVE_DB
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

constexpr double PI = 3.14159265358979323846;

// The limiter sees a peak this long before it arrives and brings its gain down over the
// same span, so no sample ever goes over full scale and the gain never jumps; it recovers
// with the release time constant, quickly enough to lift a decaying tail.
constexpr double LOOKAHEAD = 0.0015; // seconds
constexpr double RELEASE = 0.02;     // seconds
constexpr double MAX_DRIVE_DB = 30;  // beyond this a sound is no longer itself

bool setKey(Layer& l, const std::string& key, const std::string& value) {
    if (key == "filter") {
        if (value != "low" && value != "high" && value != "band") return false;
        l.filter = value;
        return true;
    }
    char* end = nullptr;
    double v = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || *end) return false;
    if (key == "from")
        l.from = l.to = v;
    else if (key == "to")
        l.to = v;
    else if (key == "slide")
        l.slide = v;
    else if (key == "steps")
        l.steps = v;
    else if (key == "duty")
        l.duty = v;
    else if (key == "vibrato")
        l.vibratoRate = v;
    else if (key == "depth")
        l.vibratoDepth = v;
    else if (key == "cutoff")
        l.cutoffFrom = l.cutoffTo = v;
    else if (key == "cutoff_to")
        l.cutoffTo = v;
    else if (key == "q")
        l.resonance = v;
    else if (key == "start")
        l.start = v;
    else if (key == "attack")
        l.attack = v;
    else if (key == "hold")
        l.hold = v;
    else if (key == "decay")
        l.decay = v;
    else if (key == "level")
        l.level = v;
    else
        return false;
    return v >= -1000 && v <= 100000;
}

double envelope(const Layer& l, double t) {
    if (t < 0) return 0;
    if (t < l.attack) return t / l.attack;
    t -= l.attack;
    if (t < l.hold) return 1;
    t -= l.hold;
    return l.decay > 0 ? std::pow(10.0, -3.0 * t / l.decay) : 0; // -60 dB after `decay`
}

// Exponential glide from `a` to `b` over `time` seconds, optionally in even steps.
double glide(double a, double b, double t, double time, double steps) {
    double x = time > 0 ? std::min(1.0, t / time) : 1.0;
    if (steps > 0) x = std::min(1.0, std::floor(x * steps) / (steps - 1 > 0 ? steps - 1 : 1));
    return a * std::pow(b / a, x);
}

void renderLayer(const Layer& l, double length, uint32_t seed, std::vector<double>& mix) {
    double phase = 0, low = 0, band = 0, previous = 0, held = 0;
    bool started = false;
    uint32_t noise = seed * 2654435761u + 1;
    double slide = l.slide > 0 ? l.slide : length - l.start;
    for (size_t i = 0; i < mix.size(); i++) {
        double t = (double)i / SFX_RATE - l.start;
        if (t < 0) continue;
        double freq = glide(l.from, l.to, t, slide, l.steps);
        if (l.vibratoRate > 0)
            freq *= std::pow(2.0, l.vibratoDepth / 12 * std::sin(2 * PI * l.vibratoRate * t));
        phase += freq / SFX_RATE;
        phase -= std::floor(phase);
        double v = 0;
        if (l.source == "sine") {
            v = std::sin(2 * PI * phase);
        } else if (l.source == "square" || l.source == "pulse") {
            v = phase < (l.source == "square" ? 0.5 : l.duty) ? 1 : -1;
        } else if (l.source == "saw") {
            v = 2 * phase - 1;
        } else if (l.source == "triangle") {
            v = phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase;
        } else { // noise, a new value every period of `from` (every sample at full rate)
            if (l.from >= SFX_RATE || phase < previous || !started) {
                noise = noise * 1664525u + 1013904223u;
                held = ((noise >> 8) & 0xFFFF) / 32768.0 - 1.0;
            }
            previous = phase;
            started = true;
            v = held;
        }
        if (!l.filter.empty()) {
            // state-variable filter, the cutoff gliding like the pitch
            double cutoff = glide(l.cutoffFrom, l.cutoffTo, t, slide, 0);
            double f = 2 * std::sin(PI * std::min(cutoff, SFX_RATE / 6.0) / SFX_RATE);
            double high = v - low - (1 - std::clamp(l.resonance, 0.0, 0.95)) * 2 * band;
            band += f * high;
            low += f * band;
            v = l.filter == "low" ? low : l.filter == "high" ? high : band;
        }
        mix[i] += v * envelope(l, t) * l.level;
    }
}

void normalise(std::vector<double>& mix, double peakDb) {
    double peak = 0;
    for (double v : mix)
        peak = std::max(peak, std::fabs(v));
    double gain = peak > 0 ? std::pow(10.0, peakDb / 20) / peak : 0;
    for (double& v : mix)
        v *= gain;
}

// `drive` times the mix, its gain pulled down wherever that would go over full scale.
std::vector<double> limit(const std::vector<double>& mix, double drive) {
    size_t n = mix.size(), ahead = std::max<size_t>(1, (size_t)(LOOKAHEAD * SFX_RATE));
    std::vector<double> least(n, 1.0), out(n);
    for (size_t i = 0; i < n; i++) {
        double need = std::min(1.0, 1.0 / std::max(1e-12, drive * std::fabs(mix[i])));
        // every gain that the peak at i falls within the look-ahead of
        for (size_t k = i + 1 > ahead ? i + 1 - ahead : 0; k <= i; k++)
            least[k] = std::min(least[k], need);
    }
    // the mean of the last `ahead` least gains, each of which covers sample i (before the
    // start, the first one stands in: it covers the first samples too)
    double gain = 1, recover = 1 - std::exp(-1 / (RELEASE * SFX_RATE));
    double sum = n ? least[0] * ahead : 0;
    for (size_t i = 0; i < n; i++) {
        sum += least[i] - least[i >= ahead ? i - ahead : 0];
        gain = std::min(sum / ahead, gain + (1 - gain) * recover);
        out[i] = drive * mix[i] * gain;
    }
    return out;
}

} // namespace

bool readRecipe(const std::string& path, Recipe& recipe) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "%s: cannot open\n", path.c_str());
        return false;
    }
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        line++;
        text.erase(std::min(text.size(), text.find('#')));
        std::istringstream words(text);
        std::string key;
        if (!(words >> key)) continue;
        bool ok = true;
        if (key == "length") {
            ok = (bool)(words >> recipe.length) && recipe.length > 0 && recipe.length <= 4;
        } else if (key == "loudness") {
            ok = (bool)(words >> recipe.loudnessDb) && recipe.loudnessDb <= 0 &&
                 recipe.loudnessDb >= -40;
        } else if (key == "peak") {
            ok = (bool)(words >> recipe.peakDb) && recipe.peakDb <= 0 && recipe.peakDb >= -40;
        } else if (key == "bits") {
            ok = (bool)(words >> recipe.bits) && (recipe.bits == 8 || recipe.bits == 16);
        } else if (key == "layer") {
            Layer l;
            ok = (bool)(words >> l.source);
            static const char* sources[] = {"sine", "square", "pulse", "saw", "triangle", "noise"};
            ok = ok &&
                 std::find(std::begin(sources), std::end(sources), l.source) != std::end(sources);
            std::string kv;
            while (ok && words >> kv) {
                size_t eq = kv.find('=');
                ok = eq != std::string::npos && setKey(l, kv.substr(0, eq), kv.substr(eq + 1));
            }
            ok = ok && l.from > 0 && l.to > 0 && l.cutoffFrom > 0 && l.cutoffTo > 0;
            recipe.layers.push_back(l);
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "%s:%d: cannot read: %s\n", path.c_str(), line, text.c_str());
            return false;
        }
    }
    if (recipe.layers.empty()) {
        std::fprintf(stderr, "%s: no layer\n", path.c_str());
        return false;
    }
    return true;
}

std::vector<double> render(const Recipe& recipe) {
    std::vector<double> mix((size_t)(recipe.length * SFX_RATE), 0.0);
    for (size_t k = 0; k < recipe.layers.size(); k++)
        renderLayer(recipe.layers[k], recipe.length, (uint32_t)k + 7, mix);
    // a 5 ms fade at the end so a cut layer does not click
    size_t fade = std::min(mix.size(), (size_t)(0.005 * SFX_RATE));
    for (size_t i = 0; i < fade; i++)
        mix[mix.size() - 1 - i] *= (double)i / fade;
    normalise(mix, 0); // a drive of 0 dB limits nothing
    std::vector<double> out = mix;
    normalise(out, recipe.peakDb);
    double target = std::pow(10.0, recipe.loudnessDb / 20);
    if (rms(out) >= target) return out;
    // the least drive that makes it as loud as asked: more only costs more of its shape
    auto driven = [&](double db) {
        std::vector<double> v = limit(mix, std::pow(10.0, db / 20));
        normalise(v, recipe.peakDb);
        return v;
    };
    out = driven(MAX_DRIVE_DB);
    if (rms(out) < target) return out; // as loud as it goes; trobzsfx says it falls short
    double low = 0, high = MAX_DRIVE_DB;
    while (high - low > 0.05) {
        double middle = (low + high) / 2;
        std::vector<double> v = driven(middle);
        if (rms(v) >= target) {
            high = middle;
            out = v;
        } else {
            low = middle;
        }
    }
    return out;
}

double rms(const std::vector<double>& samples) {
    double sum = 0;
    for (double x : samples)
        sum += x * x;
    return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

std::vector<uint8_t> waveFile(const std::vector<double>& samples, int bits) {
    std::vector<uint8_t> out;
    auto put = [&out](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; i++)
            out.push_back((v >> (8 * i)) & 0xFF);
    };
    uint32_t dataBytes = (uint32_t)samples.size() * (bits / 8);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put(36 + dataBytes + (dataBytes & 1), 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // mono
    put(SFX_RATE, 4);
    put(SFX_RATE * (bits / 8), 4);
    put(bits / 8, 2);
    put(bits, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put(dataBytes, 4);
    for (double v : samples) {
        double c = std::clamp(v, -1.0, 1.0);
        if (bits == 16)
            put((uint16_t)(int16_t)std::lround(c * 32767), 2);
        else
            put((uint8_t)std::lround(128 + c * 127), 1);
    }
    if (dataBytes & 1) out.push_back(0);
    return out;
}
