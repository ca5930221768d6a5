// BMP encoding. Headers are written field by field, little-endian.
#include "bmp_writer.h"

#include <cstdio>
#include <unordered_map>

namespace {

void put16(std::vector<unsigned char>& o, uint32_t v) {
    o.push_back(v & 0xFF);
    o.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<unsigned char>& o, uint32_t v) {
    for (int i = 0; i < 4; i++)
        o.push_back((v >> (8 * i)) & 0xFF);
}

// BITMAPFILEHEADER (14 bytes) followed by a BITMAPINFOHEADER (40 bytes).
void putHeaders(std::vector<unsigned char>& o, const RgbImage& img, int bpp,
                uint32_t paletteEntries, uint32_t rowBytes) {
    uint32_t dataOffset = 14 + 40 + 4 * paletteEntries;
    uint32_t imageBytes = rowBytes * img.height;
    o.push_back('B');
    o.push_back('M');
    put32(o, dataOffset + imageBytes);
    put32(o, 0);
    put32(o, dataOffset);
    put32(o, 40);
    put32(o, (uint32_t)img.width);
    put32(o, (uint32_t)img.height); // positive: rows stored bottom-up
    put16(o, 1);
    put16(o, (uint32_t)bpp);
    put32(o, 0); // BI_RGB
    put32(o, imageBytes);
    put32(o, 2835); // 72 dpi
    put32(o, 2835);
    put32(o, paletteEntries);
    put32(o, 0);
}

} // namespace

std::vector<unsigned char> encodeBMP24(const RgbImage& img) {
    std::vector<unsigned char> o;
    uint32_t rowBytes = (uint32_t(img.width) * 3 + 3) & ~3u;
    putHeaders(o, img, 24, 0, rowBytes);
    for (int y = img.height - 1; y >= 0; y--) {
        size_t start = o.size();
        for (int x = 0; x < img.width; x++) {
            uint32_t c = img.at(x, y);
            o.push_back(c & 0xFF);         // blue
            o.push_back((c >> 8) & 0xFF);  // green
            o.push_back((c >> 16) & 0xFF); // red
        }
        while (o.size() - start < rowBytes)
            o.push_back(0);
    }
    return o;
}

std::vector<unsigned char> encodeBMP8(const RgbImage& img, const std::vector<uint32_t>& palette) {
    if (palette.empty() || palette.size() > 256) return {};
    std::unordered_map<uint32_t, int> index;
    for (size_t i = 0; i < palette.size(); i++)
        index.emplace(palette[i] & 0xFFFFFF, (int)i);
    std::vector<unsigned char> o;
    uint32_t rowBytes = (uint32_t(img.width) + 3) & ~3u;
    putHeaders(o, img, 8, (uint32_t)palette.size(), rowBytes);
    for (uint32_t c : palette) {
        o.push_back(c & 0xFF);
        o.push_back((c >> 8) & 0xFF);
        o.push_back((c >> 16) & 0xFF);
        o.push_back(0);
    }
    for (int y = img.height - 1; y >= 0; y--) {
        size_t start = o.size();
        for (int x = 0; x < img.width; x++) {
            auto it = index.find(img.at(x, y) & 0xFFFFFF);
            if (it == index.end()) return {};
            o.push_back((unsigned char)it->second);
        }
        while (o.size() - start < rowBytes)
            o.push_back(0);
    }
    return o;
}

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return (std::fclose(f) == 0) && ok;
}
