// Fuzzes the TMX reader and its XML scanning with arbitrary text: a map it takes, written as
// TMX again, reads back to the same cells and header; one it refuses names the file.
#include "fuzz_check.h"
#include "tmx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StageGrid grid;
    std::string header, error;
    bool hasHeader = false;
    if (!readTmx(std::string((const char*)data, size), "f.tmx", &grid, &header, &hasHeader,
                 &error)) {
        FUZZ_CHECK(error.rfind("f.tmx: ", 0) == 0);
        return 0;
    }
    StageGrid again;
    std::string headerAgain;
    bool hasAgain = false;
    FUZZ_CHECK(readTmx(writeTmx(grid, header, "blocks.bmp"), "again.tmx", &again, &headerAgain,
                       &hasAgain, &error));
    FUZZ_CHECK(again.cells == grid.cells && headerAgain == header && hasAgain);
    return 0;
}
