// The sound-effect synthesizer: a recipe is a few layers (a tone or noise, an optional
// sweeping filter, an envelope) mixed, driven into a limiter until it is as loud as the recipe
// asks, and normalised to a peak level.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr int SFX_RATE = 22050;

struct Layer {
    std::string source = "sine"; // sine, square, pulse, saw, triangle, noise
    double from = 440, to = 440; // pitch in Hz, sliding exponentially over `slide` seconds
    double slide = 0;            // 0: over the layer's whole length
    double duty = 0.5;           // pulse
    double vibratoRate = 0, vibratoDepth = 0; // Hz, semitones
    std::string filter;                       // "", low, high, band
    double cutoffFrom = 1000, cutoffTo = 1000, resonance = 0.5;
    double start = 0, attack = 0.002, hold = 0, decay = 0.2; // seconds
    double level = 1.0;
    double steps = 0; // > 0: the pitch moves in this many even steps (a quick arpeggio)
};

struct Recipe {
    double length = 0.3; // seconds
    double peakDb = -1;  // normalised peak, dBFS
    // RMS over the whole length, dBFS, reached by limiting: the game plays its effects at a
    // low channel volume over the music, so they need to be dense to be heard at all.
    double loudnessDb = -9;
    int bits = 16; // 16 or 8
    std::vector<Layer> layers;
};

// Reads a recipe; on a fault prints "file:line: message" and returns false.
bool readRecipe(const std::string& path, Recipe& recipe);
// Renders the recipe as mono samples in -1 ... 1, normalised to its peak and as loud as its
// loudness asks or as the limiter can make it.
std::vector<double> render(const Recipe& recipe);
// Root mean square of the samples over their whole length.
double rms(const std::vector<double>& samples);
// RIFF WAVE, mono, SFX_RATE, 8 or 16 bits.
std::vector<uint8_t> waveFile(const std::vector<double>& samples, int bits);
