// Pictures with transparency, and their encoding as PNG files (8-bit RGBA,
// no filtering, stored deflate blocks): the format desktop icon themes take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, row by row from the top
};

// The checksums the format uses, exposed so they can be checked alone.
uint32_t pngCrc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t adler32(const uint8_t* data, size_t size);

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<uint8_t> zlibStored(const std::vector<uint8_t>& raw);

// Packs the filtered rows into the zlib stream of the image data; a caller
// with a compressor at hand passes its own.
using ZlibPacker = std::vector<uint8_t> (*)(const std::vector<uint8_t>& raw);
std::vector<uint8_t> encodePng(const RgbaImage& image, ZlibPacker pack = zlibStored);
