// Windows BMP output for the asset tools: 24-bit true colour and 8-bit palettized,
// bottom-up rows padded to 4 bytes, as SDL's BMP reader expects.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A picture in memory: width × height pixels, row-major from the top, each 0xRRGGBB.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    RgbImage() = default;
    RgbImage(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

constexpr uint32_t RGB_MAGENTA = 0xFF00FF; // the game's transparent colour

std::vector<unsigned char> encodeBMP24(const RgbImage& img);

// 8-bit palettized: every pixel must be one of at most 256 palette colours.
// Returns an empty vector when the picture has more colours than that.
std::vector<unsigned char> encodeBMP8(const RgbImage& img, const std::vector<uint32_t>& palette);

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes);
