// PNG encoding: signature, IHDR, one IDAT of filter-0 rows deflated by zlib, IEND.
#include "png_writer.h"

#include <zlib.h>

namespace {

void putBE32(std::vector<unsigned char>& o, uint32_t v) {
    for (int i = 3; i >= 0; i--)
        o.push_back((v >> (8 * i)) & 0xFF);
}

void putChunk(std::vector<unsigned char>& o, const char type[4],
              const std::vector<unsigned char>& data) {
    putBE32(o, (uint32_t)data.size());
    size_t start = o.size();
    o.insert(o.end(), type, type + 4);
    o.insert(o.end(), data.begin(), data.end());
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, o.data() + start, (uInt)(o.size() - start));
    putBE32(o, (uint32_t)crc);
}

} // namespace

std::vector<unsigned char> encodePNG(const RgbImage& img, bool keyTransparent) {
    const int channels = keyTransparent ? 4 : 3;
    std::vector<unsigned char> raw;
    raw.reserve(size_t(img.height) * (1 + size_t(img.width) * channels));
    for (int y = 0; y < img.height; y++) {
        raw.push_back(0); // filter type None
        for (int x = 0; x < img.width; x++) {
            uint32_t c = img.at(x, y);
            bool clear = keyTransparent && c == RGB_MAGENTA;
            raw.push_back(clear ? 0 : (c >> 16) & 0xFF);
            raw.push_back(clear ? 0 : (c >> 8) & 0xFF);
            raw.push_back(clear ? 0 : c & 0xFF);
            if (keyTransparent) raw.push_back(clear ? 0 : 255);
        }
    }
    uLongf packedSize = compressBound((uLong)raw.size());
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), (uLong)raw.size(), 9) != Z_OK) return {};
    packed.resize(packedSize);

    std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> ihdr;
    putBE32(ihdr, (uint32_t)img.width);
    putBE32(ihdr, (uint32_t)img.height);
    ihdr.push_back(8);                      // bits per channel
    ihdr.push_back(keyTransparent ? 6 : 2); // colour type: RGBA or RGB
    ihdr.push_back(0);                      // deflate
    ihdr.push_back(0);                      // adaptive filtering
    ihdr.push_back(0);                      // no interlace
    putChunk(out, "IHDR", ihdr);
    putChunk(out, "IDAT", packed);
    putChunk(out, "IEND", {});
    return out;
}
