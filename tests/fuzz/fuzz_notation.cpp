// Fuzzes the song notation reader with arbitrary text: a song it takes is written as a module
// or refused by the writer with a reason, and one it refuses names the file and line.
#include "fuzz_check.h"
#include "song.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Song song;
    std::string fault;
    if (!parseSong(std::string((const char*)data, size), "f.song", song, fault)) {
        FUZZ_CHECK(fault.rfind("f.song:", 0) == 0);
        return 0;
    }
    FUZZ_CHECK(songSeconds(song) > 0);
    // no more patterns, orders or instruments than a module holds, and so a bounded size
    FUZZ_CHECK(song.patterns.size() <= 256 && song.order.size() <= 256 &&
               song.instruments.size() <= 128);
    std::vector<uint8_t> module;
    const bool written =
        song.format == "xm" ? writeXm(song, module, fault) : writeMod(song, module, fault);
    FUZZ_CHECK(written ? !module.empty() : !fault.empty());
    return 0;
}
