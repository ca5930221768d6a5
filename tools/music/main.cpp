// trobzmod: turns a song written in the notation (see notation.cpp) into a MOD or XM module.
//   trobzmod SONG OUTPUT      writes the module and prints its play length
#include "song.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: trobzmod SONG OUTPUT\n");
        return 2;
    }
    Song song;
    if (!readSong(argv[1], song)) return 1;
    std::vector<uint8_t> bytes;
    std::string fault;
    bool ok = song.format == "xm" ? writeXm(song, bytes, fault) : writeMod(song, bytes, fault);
    if (!ok) {
        std::fprintf(stderr, "%s: %s\n", argv[1], fault.c_str());
        return 1;
    }
    FILE* f = std::fopen(argv[2], "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
        std::fclose(f) != 0) {
        std::fprintf(stderr, "%s: cannot write\n", argv[2]);
        return 1;
    }
    std::printf("%s: %s, %d channels, %zu patterns, %.2f s\n", argv[2], song.format.c_str(),
                song.channels, song.order.size(), songSeconds(song));
    return 0;
}
