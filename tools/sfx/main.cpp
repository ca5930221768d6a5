// trobzsfx: renders a sound-effect recipe (see synth.cpp) to a RIFF WAVE file.
//   trobzsfx RECIPE OUTPUT.wav
#include "synth.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: trobzsfx RECIPE OUTPUT.wav\n");
        return 2;
    }
    Recipe recipe;
    if (!readRecipe(argv[1], recipe)) return 1;
    std::vector<uint8_t> bytes = waveFile(render(recipe), recipe.bits);
    FILE* f = std::fopen(argv[2], "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
        std::fclose(f) != 0) {
        std::fprintf(stderr, "%s: cannot write\n", argv[2]);
        return 1;
    }
    return 0;
}
