#include "tools/levelc/LevelCompiler.h"

std::vector<uint8_t> colourCubePalette() {
    std::vector<uint8_t> palette;
    for (int i = 0; i < 256; ++i) {
        palette.push_back(static_cast<uint8_t>(((i >> 5) & 7) * 255 / 7));
        palette.push_back(static_cast<uint8_t>(((i >> 2) & 7) * 255 / 7));
        palette.push_back(static_cast<uint8_t>((i & 3) * 255 / 3));
    }
    return palette;
}

namespace {

// Nearest entry of the 3-3-2 cube, found per channel.
uint32_t cubeIndex(uint32_t rgb) {
    const uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return ((r * 7 + 127) / 255) << 5 | ((g * 7 + 127) / 255) << 2 | ((b * 3 + 127) / 255);
}

} // namespace

bool compileLevel(const LevelSource& level, const BlockSheet& sheet, int depth, FmpMap& out,
                  std::string& error, int blockSize) {
    if (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32) {
        error = "depth must be 8, 15, 16, 24 or 32";
        return false;
    }
    const int columns = sheet.width / blockSize;
    const int blockCount = columns * (sheet.height / blockSize);
    if (blockCount <= 0 || sheet.pixels.size() != static_cast<size_t>(sheet.width) *
                                                      static_cast<size_t>(sheet.height)) {
        error = "the block sheet holds no blocks";
        return false;
    }
    for (int16_t block : level.cells)
        if (block >= blockCount) {
            error = "block " + std::to_string(block) + " is not on the sheet of " +
                    std::to_string(blockCount) + " blocks";
            return false;
        }

    out = FmpMap();
    out.mapWidth = static_cast<uint16_t>(level.width);
    out.mapHeight = static_cast<uint16_t>(level.height);
    out.blockWidth = out.blockHeight = static_cast<uint16_t>(blockSize);
    out.blockDepth = static_cast<uint16_t>(depth);
    if (depth == 8)
        out.colourMap = colourCubePalette();
    for (int k = 0; k < blockCount; ++k) {
        std::vector<uint32_t> graphic;
        const int left = k % columns * blockSize, top = k / columns * blockSize;
        for (int y = 0; y < blockSize; ++y)
            for (int x = 0; x < blockSize; ++x) {
                const uint32_t rgb =
                    sheet.pixels[static_cast<size_t>((top + y) * sheet.width + left + x)];
                graphic.push_back(depth == 8 ? cubeIndex(rgb) : rgb);
            }
        out.graphics.push_back(graphic);
        FmpBlockRecord record;
        record.graphics[0] = k * out.graphicSize();
        out.blocks.push_back(record);
    }
    out.layers[0] = level.cells;
    return true;
}
