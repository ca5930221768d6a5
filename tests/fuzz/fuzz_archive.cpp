// Fuzzes the archive reader with arbitrary bytes as data/gfx.zda: every member its directory
// names (up to a limit) is read, and one the game asks for; a read gives nothing or a member
// no longer than its entry says, never a read outside the file or an allocation the file
// cannot back.
#include "data/archive.h"
#include "persist_scratch.h"

#include <cstring>

namespace {
constexpr int MAX_MEMBERS = 64; // entries read per input, so a long directory stays quick
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    persist_fuzz::ScratchRun run;
    persist_fuzz::putFile("gfx.zda", data, size);
    zdaDirectory = ".";
    openArchives();
    const unsigned char* header = zda_full_header[ZDA_GFX];
    const int32_t headerSize = gp_zda_headersize(header);
    for (int i = 0; i < MAX_MEMBERS && ZDA_HEADER_BYTES + (i + 1) * ZDA_ENTRY_BYTES <= headerSize;
         i++) {
        char name[ZDA_NAME_BYTES + 1] = {};
        std::memcpy(name, header + ZDA_HEADER_BYTES + i * ZDA_ENTRY_BYTES, ZDA_NAME_BYTES);
        int32_t got = 0;
        unsigned char* member = uncompressZDA(ZDA_GFX, name, &got);
        FUZZ_CHECK(!member || (got > 0 && got <= gp_zda_usize(header, name)));
        std::free(member);
        closeID(ZDA_GFX); // the next read opens the file again, as after a pause
    }
    // a name the game asks for, which the directory may lack
    uint32_t got = 0;
    unsigned char* blocks = loadZDAFile(ZDA_GFX, "blocks", "bmp", &got);
    FUZZ_CHECK(!blocks || got > 0);
    std::free(blocks);
    closeArchives();
    return 0;
}
