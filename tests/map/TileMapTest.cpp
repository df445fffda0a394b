#include "map/TileMap.h"
#include "tests/support/DepthPlatform.h"

#include "lib/ByteOrder.h"
#include "map/FmpWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <vector>

namespace {

// A small sound map: 4x3 cells of 2x2 blocks, three block records.
FmpMap smallMap(int depth = 16) {
    FmpMap map;
    map.mapWidth = 4;
    map.mapHeight = 3;
    map.blockWidth = map.blockHeight = 2;
    map.blockDepth = static_cast<uint16_t>(depth);
    if (depth == 8)
        map.colourMap.assign(768, 0);
    for (int k = 0; k < 3; ++k) {
        map.graphics.push_back(std::vector<uint32_t>(4, 0x102030u * static_cast<uint32_t>(k)));
        FmpBlockRecord record;
        record.graphics[0] = k * map.graphicSize();
        map.blocks.push_back(record);
    }
    map.layers[0] = {0, 1, 2, 1, 1, 2, 2, 1, 0, 0, 1, 2};
    return map;
}

class TileMapLoad : public ::testing::Test {
protected:
    // Loads the bytes as a map file; returns the load's result.
    int loadBytes(const std::vector<uint8_t>& bytes) {
        writeFile(dir.file("m.fmp"), std::string(bytes.begin(), bytes.end()));
        return map.load(nullptr, dir.file("m.fmp").c_str(), 0, 0, -1, -1);
    }
    int loadMap(const FmpMap& source) { return loadBytes(writeFmp(source)); }
    // Offset of a chunk's data within the file bytes.
    static size_t chunkData(const std::vector<uint8_t>& bytes, const char* id) {
        for (size_t at = 12; at + 8 <= bytes.size(); at += 8 + readBE32(&bytes[at + 4]))
            if (std::string(bytes.begin() + static_cast<long>(at),
                            bytes.begin() + static_cast<long>(at) + 4) == id)
                return at + 8;
        return 0;
    }

    TempDir dir;
    TileMap map;
};

} // namespace

TEST_F(TileMapLoad, RoundTripsHeaderAndCellsInEveryDepth) {
    for (int depth : {8, 15, 16, 24, 32}) {
        ASSERT_EQ(loadMap(smallMap(depth)), 0) << depth;
        EXPECT_EQ(map.getError(), kMapErrorNone);
        EXPECT_EQ(map.getMapWidth(), 4);
        EXPECT_EQ(map.getMapHeight(), 3);
        EXPECT_EQ(map.getBlockWidth(), 2);
        EXPECT_EQ(map.getBlockDepth(), depth);
        EXPECT_EQ(map.getNumBlockStr(), 3);
        EXPECT_EQ(map.getNumBlockGfx(), 3);
        const int expected[12] = {0, 1, 2, 1, 1, 2, 2, 1, 0, 0, 1, 2};
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(map.getBlock(i % 4, i / 4), expected[i]);
    }
    FmpMap tall = smallMap();
    tall.blockHeight = 3;
    for (int k = 0; k < 3; ++k) {
        tall.graphics[static_cast<size_t>(k)].resize(6);
        tall.blocks[static_cast<size_t>(k)].graphics[0] = k * tall.graphicSize();
    }
    ASSERT_EQ(loadMap(tall), 0);
    EXPECT_EQ(map.getBlockWidth(), 2);
    EXPECT_EQ(map.getBlockHeight(), 3);
}

TEST_F(TileMapLoad, CellsMarksAndLayers) {
    FmpMap source = smallMap();
    source.layers[2] = std::vector<int16_t>(12, 2);
    ASSERT_EQ(loadMap(source), 0);
    for (int block : {5, 40, 1000, 0}) {
        map.setBlock(1, 1, block);
        EXPECT_EQ(map.getBlock(1, 1), block);
    }
    // Outside the map everything reads as wall and nothing is written.
    EXPECT_EQ(map.getBlock(-1, 0), 0);
    EXPECT_EQ(map.getBlock(4, 0), 0);
    map.setBlock(4, 2, 1);
    map.setBlock(0, -1, 1);

    EXPECT_EQ(map.selectLayer(8), -1);
    EXPECT_EQ(map.selectLayer(1), -1);
    EXPECT_EQ(map.getBlock(2, 0), 2); // layer 0 stays current
    EXPECT_EQ(map.selectLayer(2), 2);
    EXPECT_EQ(map.getBlock(0, 0), 2);
    EXPECT_EQ(map.selectLayer(0), 0);

    map.setMark(3, 2, 4);
    EXPECT_EQ(map.getMark(3, 2), 4);
    EXPECT_EQ(map.getMark(9, 9), 0);
    map.clearMarks();
    EXPECT_EQ(map.getMark(3, 2), 0);
    map.freeMap();
    EXPECT_EQ(map.getMark(0, 0), 0);
    EXPECT_FALSE(map.isLoaded());
}

TEST_F(TileMapLoad, AnimatedCellsResolveTheirCurrentFrame) {
    FmpMap source = smallMap();
    source.frames = {2, 1};
    FmpAnimation spin;
    spin.currentFrame = 1;
    spin.firstFrame = 0;
    spin.lastFrame = 1;
    source.animations = {spin, spin};
    source.layers[0][5] = -1; // animation 0
    source.layers[0][6] = -2; // animation 1
    ASSERT_EQ(loadMap(source), 0);
    EXPECT_EQ(map.getBlock(1, 1), 0); // the first animation reads as 0
    EXPECT_EQ(map.getBlock(2, 1), -1);
    map.setBlock(0, 0, -3);
    EXPECT_EQ(map.getBlock(0, 0), -2);

    source.layers[0][5] = -3; // no third animation
    EXPECT_EQ(loadMap(source), -1);
    EXPECT_EQ(map.getError(), kMapErrorFormat);
}

// Unknown chunks are skipped by their length, chunks after the layer are
// read, and a missing file is its own error.
TEST_F(TileMapLoad, UnknownChunksAreSkippedAndLaterLayersRead) {
    std::vector<uint8_t> extra = writeFmp(smallMap());
    const uint8_t unknown[] = {'X', 'Y', 'Z', 'W', 0, 0, 0, 3, 1, 2, 3};
    extra.insert(extra.begin() + 12, unknown, unknown + sizeof unknown);
    const uint8_t layer1[] = {'L', 'Y', 'R', '1', 0, 0, 0, 24};
    extra.insert(extra.end(), layer1, layer1 + 8);
    for (int i = 0; i < 12; ++i) {
        extra.push_back(64); // block 2
        extra.push_back(0);
    }
    const uint8_t empty[] = {'X', 'Y', 'Z', 'W', 0, 0, 0, 0}; // the last chunk holds nothing
    extra.insert(extra.end(), empty, empty + 8);
    writeBE32(&extra[4], static_cast<uint32_t>(extra.size() - 8));
    ASSERT_EQ(loadBytes(extra), 0);
    EXPECT_EQ(map.selectLayer(1), 1);
    EXPECT_EQ(map.getBlock(3, 2), 2);

    EXPECT_EQ(map.load(nullptr, dir.file("missing.fmp").c_str(), 0, 0, -1, -1), -1);
    EXPECT_EQ(map.getError(), kMapErrorOpen);
}

TEST_F(TileMapLoad, HostileFilesAreRejectedWithoutReadingOutside) {
    const std::vector<uint8_t> good = writeFmp(smallMap());
    const size_t header = chunkData(good, "MPHD");
    const size_t records = chunkData(good, "BKDT");
    const size_t body = chunkData(good, "BODY");
    ASSERT_TRUE(header && records && body);

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    auto with = [&](const char* what, auto change) {
        std::vector<uint8_t> b = good;
        change(b);
        cases.push_back({what, b});
    };
    with("container length not the file's", [&](auto& b) { b[7] += 1; });
    with("another form type", [&](auto& b) { b[11] = 'X'; });
    with("chunk longer than the file", [&](auto& b) { writeBE32(&b[header - 4], 0x7FFFFFF0u); });
    with("negative chunk length", [&](auto& b) { writeBE32(&b[header - 4], 0xFFFFFFF0u); });
    with("layer shorter than the map", [&](auto& b) { writeLE16(&b[header + 4], 40); });
    with("zero width", [&](auto& b) { writeLE16(&b[header + 4], 0); });
    with("huge blocks", [&](auto& b) { writeLE16(&b[header + 12], 4000); });
    with("odd depth", [&](auto& b) { writeLE16(&b[header + 16], 12); });
    with("more records than stored", [&](auto& b) { writeLE16(&b[header + 20], 9); });
    with("more graphics than stored", [&](auto& b) { writeLE16(&b[header + 22], 9); });
    with("cell past the records", [&](auto& b) { writeLE16(&b[body + 2], 3 * 32); });
    with("cell names a missing animation", [&](auto& b) { writeLE16(&b[body], 0xFFF0); });
    with("graphic offset past the graphics", [&](auto& b) { writeLE32(&b[records], 1000); });
    with("negative graphic offset", [&](auto& b) { writeLE32(&b[records + 32], 0xFFFFFFFFu); });
    with("foreground past the graphics", [&](auto& b) { writeLE32(&b[records + 4], 99999); });
    with("header chunk too short for its fields", [&](auto& b) {
        const uint8_t shortHeader[] = {'M', 'P', 'H', 'D', 0, 0, 0, 4, 0, 0, 0, 0};
        b.insert(b.begin() + 12, shortHeader, shortHeader + sizeof shortHeader);
        writeBE32(&b[4], static_cast<uint32_t>(b.size() - 8));
    });
    with("truncated chunk header", [&](auto& b) {
        b.resize(b.size() - 4);
        writeBE32(&b[4], static_cast<uint32_t>(b.size() - 8));
    });
    for (const Case& c : cases) {
        EXPECT_EQ(loadBytes(c.bytes), -1) << c.what;
        EXPECT_EQ(map.getError(), kMapErrorFormat) << c.what;
        EXPECT_FALSE(map.isLoaded()) << c.what;
    }

    // A frame list without an end marker, and frame offsets outside it.
    FmpMap animated = smallMap();
    animated.frames = {1};
    FmpAnimation a;
    animated.animations = {a};
    std::vector<uint8_t> b = writeFmp(animated);
    const size_t andt = chunkData(b, "ANDT");
    ASSERT_NE(andt, 0u);
    b[andt + 4] = 0; // the end marker's type byte
    EXPECT_EQ(loadBytes(b), -1);
    b = writeFmp(animated);
    writeLE32(&b[andt + 4 + 16 + 4], 0x7FFFFFFFu);
    EXPECT_EQ(loadBytes(b), -1);
    EXPECT_EQ(loadBytes(writeFmp(animated)), 0);
    animated.frames = {3}; // one past the block records
    EXPECT_EQ(loadMap(animated), -1);
}

TEST_F(TileMapLoad, WindowAndScrollClamping) {
    FmpMap big;
    big.mapWidth = 20;
    big.mapHeight = 15;
    big.blockWidth = big.blockHeight = 32;
    big.graphics.push_back(std::vector<uint32_t>(32 * 32, 0));
    big.blocks.push_back(FmpBlockRecord());
    big.layers[0].assign(300, 0);
    ASSERT_EQ(loadMap(big), 0);
    map.setView(0, 0, 640, 480);
    map.setScroll(100, 100);
    EXPECT_EQ(map.getScrollX(), 0);
    EXPECT_EQ(map.getScrollY(), 0);
    map.setView(0, 0, 320, 240);
    map.setScroll(500, -4);
    EXPECT_EQ(map.getScrollX(), 320);
    EXPECT_EQ(map.getScrollY(), 0);
    map.setView(7, 9, -1, 10000);
    EXPECT_EQ(map.getViewX(), 7);
    EXPECT_EQ(map.getViewWidth(), 640);
    EXPECT_EQ(map.getViewHeight(), 480);

    FmpMap narrow = big;
    narrow.mapWidth = 10;
    narrow.blockWidth = narrow.blockHeight = 16;
    narrow.graphics[0].assign(256, 0);
    narrow.layers[0].assign(150, 0);
    ASSERT_EQ(loadMap(narrow), 0);
    map.setView(0, 0, -1, -1);
    EXPECT_EQ(map.getViewWidth(), 160);
    map.setView(0, 0, 20, 20);
    EXPECT_EQ(map.getViewWidth(), 48);
    EXPECT_EQ(map.getViewHeight(), 48);
}

TEST(TileMapCorpus, WritesSeedsForTheFuzzer) {
    const std::string dir = std::string(LURVANE_FUZZ_CORPUS_DIR) + "/tilemap";
    std::filesystem::create_directories(dir);
    FmpMap animated = smallMap(8);
    animated.frames = {1, 2};
    FmpAnimation a;
    a.lastFrame = 1;
    animated.animations = {a};
    animated.layers[0][0] = -1;
    animated.layers[3] = std::vector<int16_t>(12, 1);
    int n = 0;
    for (const FmpMap& m : {smallMap(16), smallMap(24), smallMap(32), smallMap(15), animated}) {
        const std::vector<uint8_t> bytes = writeFmp(m);
        writeFile(dir + "/seed" + std::to_string(n++) + ".fmp",
                  std::string(bytes.begin(), bytes.end()));
    }
    EXPECT_TRUE(std::filesystem::exists(dir + "/seed4.fmp"));
}

namespace {

// Four blocks of 2x2 pixels, each of one colour.
FmpMap colouredMap(int depth) {
    FmpMap map = smallMap(depth);
    const uint32_t colours[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    for (int k = 0; k < 3; ++k)
        map.graphics[static_cast<size_t>(k)].assign(4, colours[k]);
    return map;
}

// Writes the map into the directory and loads it on the screen.
int loadOn(TileMap& map, GfxScreen& screen, const FmpMap& source, const TempDir& dir) {
    EXPECT_TRUE(writeFmpFile(source, dir.file("on.fmp")));
    return map.load(&screen, dir.file("on.fmp").c_str(), 0, 0, -1, -1);
}

} // namespace

TEST(TileMapGraphics, BlocksAreConvertedToTheScreenFormat) {
    TempDir dir;
    for (int screenDepth : {16, 32}) {
        DepthScreen display(screenDepth);
        for (int depth : {15, 16, 24, 32}) {
            TileMap map;
            ASSERT_EQ(loadOn(map, display.screen, colouredMap(depth), dir), 0);
            GfxSurface* red = map.blockSurface(0);
            GfxSurface* blue = map.blockSurface(2);
            ASSERT_TRUE(red && blue);
            // 15- and 16-bit pixels fill a wider mask with the bits that
            // follow their field, so blue takes a little green.
            const uint32_t expectedRed = screenDepth == 16 ? 0xF800u
                                         : depth <= 16     ? 0xF80000u
                                                           : 0xFF0000u;
            const uint32_t blue16[4] = {0x003F, 0x001F, 0x001F, 0x001F};
            const uint32_t blue32[4] = {0x07F8, 0x03F8, 0x00FF, 0x00FF};
            const int d = depth == 15 ? 0 : depth == 16 ? 1 : depth == 24 ? 2 : 3;
            EXPECT_EQ(pixelOf(*red, 1, 1), expectedRed) << depth;
            EXPECT_EQ(pixelOf(*blue, 0, 0), screenDepth == 16 ? blue16[d] : blue32[d]) << depth;
            EXPECT_EQ(map.blockSurface(3), nullptr);
        }
    }
    // The colour key is the transparent colour in the screen's format.
    DepthScreen display(16);
    TileMap map;
    map.setTransparentColour(0xFF00FF);
    ASSERT_EQ(loadOn(map, display.screen, colouredMap(16), dir), 0);
    EXPECT_EQ(map.blockSurface(1)->GetColorKey(), 0xF81Fu);
}

namespace {

// A bitmap holding only a colour table of one entry: loading it gives an
// 8-bit screen its palette, the standard one but for entry 0.
std::string paletteBitmap() {
    std::vector<uint8_t> b(54 + 4, 0);
    b[0] = 'B';
    b[1] = 'M';
    writeLE32(&b[14], 40);
    writeLE16(&b[28], 8);
    writeLE32(&b[46], 1);
    return std::string(b.begin(), b.end());
}

} // namespace

TEST(TileMapGraphics, PaletteMapsAndPaletteScreens) {
    TempDir dir;
    writeFile(dir.file("palette.bmp"), paletteBitmap());
    FmpMap indexed = smallMap(8);
    indexed.colourMap.clear();
    for (int k = 0; k < 256; ++k)
        indexed.colourMap.insert(
            indexed.colourMap.end(),
            {static_cast<uint8_t>(k), static_cast<uint8_t>(255 - k), static_cast<uint8_t>(k / 2)});

    // On a screen of more bits an indexed map shows its colour map's colours.
    {
        DepthScreen display(32);
        TileMap map;
        ASSERT_EQ(loadOn(map, display.screen, indexed, dir), 0);
        EXPECT_EQ(pixelOf(*map.blockSurface(1), 1, 1), 0x30CF18u); // index 0x30
    }

    DepthScreen display(8);
    GfxScreen& screen = display.screen;
    ASSERT_EQ(screen.LoadPalette(dir.file("palette.bmp").c_str()), 0);

    // An indexed map keeps its indices, sets the whole palette, and keys
    // its blocks with the transparent index.
    TileMap map;
    map.setTransparentColour(0x00FF07);
    ASSERT_EQ(loadOn(map, screen, indexed, dir), 0);
    const GfxPaletteEntry* table = screen.GetColorTable();
    int wrongEntries = 0;
    for (int k = 0; k < 256; ++k)
        wrongEntries += table[k].red != k || table[k].green != 255 - k || table[k].blue != k / 2;
    EXPECT_EQ(wrongEntries, 0);
    EXPECT_EQ(map.blockSurface(0)->GetColorKey(), 7u);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(pixelOf(*map.blockSurface(k), 0, 1), 0x30u * static_cast<uint32_t>(k)) << k;

    // Colours take the nearest entry of the palette the screen had; a map
    // without a colour map then leaves the palette black.
    for (int depth : {15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        ASSERT_EQ(screen.LoadPalette(dir.file("palette.bmp").c_str()), 0);
        const uint32_t top5 = depth <= 16 ? 0xF8 : 0xFF;
        const uint32_t green = depth == 15 ? 0xF8 : depth == 16 ? 0xFC : 0xFF;
        const uint32_t colours[3] = {top5, green << 8, top5 << 16};
        uint32_t nearest[3];
        for (int k = 0; k < 3; ++k)
            nearest[k] = screen.NearestPaletteIndex(colours[k]);
        ASSERT_EQ(loadOn(map, screen, colouredMap(depth), dir), 0);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(pixelOf(*map.blockSurface(k), 1, 0), nearest[k]) << k;
        for (int k : {0, 100, 255})
            EXPECT_EQ(table[k].red | table[k].green | table[k].blue, 0) << k;
    }

    // A colour map cut inside an entry sets only its whole entries.
    FmpMap cut = colouredMap(16);
    cut.colourMap = {1, 2, 3, 4, 5};
    ASSERT_EQ(loadOn(map, screen, cut, dir), 0);
    EXPECT_EQ(table[0].red + table[0].green + table[0].blue, 1 + 2 + 3);
    EXPECT_EQ(table[1].red | table[1].green | table[1].blue, 0);
}
