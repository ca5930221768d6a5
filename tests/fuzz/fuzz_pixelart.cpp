// Fuzzes the pixel-art readers with a palette file and an art file, the input split at its
// first NUL byte: every tile and image they take, derived ones too, has the size its header
// gives and only colours of the palette.
#include "fuzz_check.h"
#include "pixel_art.h"

namespace {
constexpr int TILE_COUNT = 240; // tiles of the block sheet
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input((const char*)data, size);
    const size_t split = input.find('\0');
    if (split == std::string::npos) return 0;
    Palette pal;
    std::vector<ArtEntry> entries;
    std::string why;
    if (!parsePalette(input.substr(0, split), "palette.txt", &pal, &why) ||
        !parseArt(input.substr(split + 1), "f.art", pal, &entries, &why) ||
        !resolveTiles(entries, TILE_COUNT, &why)) {
        FUZZ_CHECK(!why.empty());
        return 0;
    }
    for (const ArtEntry& e : entries) {
        FUZZ_CHECK((int)e.rows.size() == e.height);
        for (const std::string& row : e.rows) {
            FUZZ_CHECK((int)row.size() == e.width);
            for (char c : row)
                FUZZ_CHECK(pal.has(c));
        }
        const RgbImage image = artImage(e.rows, pal);
        FUZZ_CHECK(image.width == e.width && image.height == e.height);
    }
    return 0;
}
