// Pictures as the artwork generator holds them, and their encoding as
// Windows bitmap files: 24-bit true colour, or 8-bit with a 256-colour
// palette. Rows are stored bottom-up, each padded to four bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;

    bool operator==(const Rgb&) const = default;
    // The game's colour notation: red in the low byte.
    uint32_t colorRef() const { return r | (g << 8) | (b << 16); }
};

constexpr Rgb rgbOf(uint32_t colorRef) {
    return Rgb{static_cast<uint8_t>(colorRef), static_cast<uint8_t>(colorRef >> 8),
               static_cast<uint8_t>(colorRef >> 16)};
}

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels; // row by row from the top

    RgbImage() = default;
    RgbImage(int w, int h, Rgb fill = Rgb{}) : width(w), height(h), pixels(w * h, fill) {}
    Rgb& at(int x, int y) { return pixels[y * width + x]; }
    const Rgb& at(int x, int y) const { return pixels[y * width + x]; }
};

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // palette indices, row by row from the top
    std::vector<Rgb> palette;    // 256 entries
};

constexpr int kBmpFileHeaderSize = 14;
constexpr int kBmpInfoHeaderSize = 40;

int bmpRowSize(int width, int bitsPerPixel);
std::vector<uint8_t> encodeBmp24(const RgbImage& image);
std::vector<uint8_t> encodeBmp8(const IndexedImage& image);

// Writes the bytes to a host file; false when it cannot be written whole.
bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
