#include "tools/artgen/Bitmap.h"

#include "lib/ByteOrder.h"
#include "lib/FileIO.h"

int bmpRowSize(int width, int bitsPerPixel) {
    return (bitsPerPixel * width + 31) / 32 * 4;
}

namespace {

// Both headers; the caller appends the colour table and the pixel rows.
std::vector<uint8_t> bmpHeaders(int width, int height, int bitsPerPixel, int paletteEntries) {
    const int tableSize = paletteEntries * 4;
    const int dataOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize + tableSize;
    const int imageSize = bmpRowSize(width, bitsPerPixel) * height;
    std::vector<uint8_t> out(dataOffset + imageSize, 0);
    uint8_t* p = out.data();
    p[0] = 'B';
    p[1] = 'M';
    writeLE32(p + 2, static_cast<uint32_t>(out.size()));
    writeLE32(p + 10, static_cast<uint32_t>(dataOffset));
    uint8_t* info = p + kBmpFileHeaderSize;
    writeLE32(info + 0, kBmpInfoHeaderSize);
    writeLE32(info + 4, static_cast<uint32_t>(width));
    writeLE32(info + 8, static_cast<uint32_t>(height)); // positive: bottom-up rows
    writeLE16(info + 12, 1);
    writeLE16(info + 14, static_cast<uint16_t>(bitsPerPixel));
    writeLE32(info + 16, 0); // no compression
    writeLE32(info + 20, static_cast<uint32_t>(imageSize));
    writeLE32(info + 24, 2835); // 72 dots per inch
    writeLE32(info + 28, 2835);
    writeLE32(info + 32, static_cast<uint32_t>(paletteEntries));
    writeLE32(info + 36, 0);
    return out;
}

} // namespace

std::vector<uint8_t> encodeBmp24(const RgbImage& image) {
    std::vector<uint8_t> out = bmpHeaders(image.width, image.height, 24, 0);
    const int rowSize = bmpRowSize(image.width, 24);
    uint8_t* data = out.data() + kBmpFileHeaderSize + kBmpInfoHeaderSize;
    for (int y = 0; y < image.height; ++y) {
        uint8_t* row = data + (image.height - 1 - y) * rowSize;
        for (int x = 0; x < image.width; ++x) {
            const Rgb& c = image.at(x, y);
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
    }
    return out;
}

std::vector<uint8_t> encodeBmp8(const IndexedImage& image) {
    // Screens read a full table of 256 entries, whatever the picture uses.
    std::vector<uint8_t> out = bmpHeaders(image.width, image.height, 8, 256);
    uint8_t* table = out.data() + kBmpFileHeaderSize + kBmpInfoHeaderSize;
    for (int i = 0; i < 256 && i < static_cast<int>(image.palette.size()); ++i) {
        table[4 * i] = image.palette[i].b;
        table[4 * i + 1] = image.palette[i].g;
        table[4 * i + 2] = image.palette[i].r;
    }
    const int rowSize = bmpRowSize(image.width, 8);
    uint8_t* data = table + 256 * 4;
    for (int y = 0; y < image.height; ++y) {
        uint8_t* row = data + (image.height - 1 - y) * rowSize;
        for (int x = 0; x < image.width; ++x)
            row[x] = image.pixels[y * image.width + x];
    }
    return out;
}

bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FileIO file;
    if (!file.openWrite(path.c_str()))
        return false;
    const int n = static_cast<int>(bytes.size());
    return file.write(bytes.data(), n) == n;
}
