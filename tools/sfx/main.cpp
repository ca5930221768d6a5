// trobzsfx: renders a sound-effect recipe (see synth.cpp) to a RIFF WAVE file.
//   trobzsfx RECIPE OUTPUT.wav
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: trobzsfx RECIPE OUTPUT.wav\n");
        return 2;
    }
    Recipe recipe;
    if (!readRecipe(argv[1], recipe)) return 1;
    std::vector<double> samples = render(recipe);
    double loudness = 20 * std::log10(std::max(rms(samples), 1e-9));
    if (loudness < recipe.loudnessDb - 0.1) {
        std::fprintf(stderr, "%s: reaches %.1f dBFS, not the loudness of %.1f\n", argv[1], loudness,
                     recipe.loudnessDb);
        return 1;
    }
    std::vector<uint8_t> bytes = waveFile(samples, recipe.bits);
    FILE* f = std::fopen(argv[2], "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
        std::fclose(f) != 0) {
        std::fprintf(stderr, "%s: cannot write\n", argv[2]);
        return 1;
    }
    return 0;
}
