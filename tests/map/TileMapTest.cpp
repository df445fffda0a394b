// Loading tile map files, sound and damaged, the cells, marks and layers
// read and changed, the window and scroll, and block graphics converted to
// the screen's format; each listed in a transcript.
#include "map/TileMap.h"

#include "lib/ByteOrder.h"
#include "map/FmpWriter.h"
#include "tests/support/DepthPlatform.h"
#include "tests/support/Golden.h"
#include "tests/support/StepScript.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
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

// Offset of a chunk's data within the file bytes.
size_t chunkData(const std::vector<uint8_t>& bytes, const char* id) {
    for (size_t at = 12; at + 8 <= bytes.size(); at += 8 + readBE32(&bytes[at + 4]))
        if (std::string(bytes.begin() + static_cast<long>(at),
                        bytes.begin() + static_cast<long>(at) + 4) == id)
            return at + 8;
    return 0;
}

// Inserts bytes at the offset and mends the container's length.
void insertBytes(std::vector<uint8_t>& b, size_t at, std::vector<uint8_t> bytes) {
    b.insert(b.begin() + static_cast<long>(at), bytes.begin(), bytes.end());
    writeBE32(&b[4], static_cast<uint32_t>(b.size() - 8));
}

FmpMap animated(std::vector<int32_t> frames, int currentFrame = 0) {
    FmpMap map = smallMap();
    map.frames = std::move(frames);
    FmpAnimation spin;
    spin.currentFrame = currentFrame;
    spin.lastFrame = currentFrame;
    map.animations = {spin, spin};
    return map;
}

using Bytes = std::vector<uint8_t>;

struct LoadRow {
    const char* what;
    FmpMap map;
    std::function<void(Bytes&)> patch = [](Bytes&) {};
};

std::vector<LoadRow> loadRows() {
    std::vector<LoadRow> rows;
    for (int depth : {8, 15, 16, 24, 32})
        rows.push_back({"depth", smallMap(depth)});
    FmpMap tall = smallMap();
    tall.blockHeight = 3;
    for (int k = 0; k < 3; ++k) {
        tall.graphics[static_cast<size_t>(k)].resize(6);
        tall.blocks[static_cast<size_t>(k)].graphics[0] = k * tall.graphicSize();
    }
    rows.push_back({"blocks taller than wide", tall});
    FmpMap spinning = animated({2, 1}, 1);
    spinning.layers[0][5] = -1;
    spinning.layers[0][6] = -2;
    rows.push_back({"animated cells show their current frame", spinning});
    spinning.layers[0][5] = -3;
    rows.push_back({"cell names a third animation of two", spinning});
    rows.push_back(
        {"unknown chunks skipped, a layer after the body read", smallMap(), [](Bytes& b) {
             insertBytes(b, 12, {'X', 'Y', 'Z', 'W', 0, 0, 0, 3, 1, 2, 3});
             Bytes layer = {'L', 'Y', 'R', '1', 0, 0, 0, 24};
             for (int i = 0; i < 12; ++i)
                 layer.insert(layer.end(), {64, 0}); // block 2
             insertBytes(b, b.size(), layer);
             insertBytes(b, b.size(), {'X', 'Y', 'Z', 'W', 0, 0, 0, 0});
         }});
    auto hostile = [&](const char* what, const char* chunk, std::function<void(uint8_t*)> change) {
        rows.push_back({what, smallMap(), [chunk, change](Bytes& b) {
                            change(chunk ? &b[chunkData(b, chunk)] : b.data());
                        }});
    };
    hostile("container length not the file's", nullptr, [](uint8_t* b) { b[7] += 1; });
    hostile("another form type", nullptr, [](uint8_t* b) { b[11] = 'X'; });
    hostile("chunk longer than the file", "MPHD", [](uint8_t* h) { writeBE32(h - 4, 0x7FFFFFF0); });
    hostile("negative chunk length", "MPHD", [](uint8_t* h) { writeBE32(h - 4, 0xFFFFFFF0u); });
    hostile("layer shorter than the map", "MPHD", [](uint8_t* h) { writeLE16(h + 4, 40); });
    hostile("zero width", "MPHD", [](uint8_t* h) { writeLE16(h + 4, 0); });
    hostile("huge blocks", "MPHD", [](uint8_t* h) { writeLE16(h + 12, 4000); });
    hostile("odd depth", "MPHD", [](uint8_t* h) { writeLE16(h + 16, 12); });
    hostile("more records than stored", "MPHD", [](uint8_t* h) { writeLE16(h + 20, 9); });
    hostile("more graphics than stored", "MPHD", [](uint8_t* h) { writeLE16(h + 22, 9); });
    hostile("cell past the records", "BODY", [](uint8_t* c) { writeLE16(c + 2, 3 * 32); });
    hostile("cell names a missing animation", "BODY", [](uint8_t* c) { writeLE16(c, 0xFFF0); });
    hostile("graphic offset past the graphics", "BKDT", [](uint8_t* r) { writeLE32(r, 1000); });
    hostile("negative graphic offset", "BKDT", [](uint8_t* r) { writeLE32(r + 32, 0xFFFFFFFFu); });
    hostile("foreground past the graphics", "BKDT", [](uint8_t* r) { writeLE32(r + 4, 99999); });
    rows.push_back({"header chunk too short for its fields", smallMap(), [](Bytes& b) {
                        insertBytes(b, 12, {'M', 'P', 'H', 'D', 0, 0, 0, 4, 0, 0, 0, 0});
                    }});
    rows.push_back({"truncated chunk header", smallMap(), [](Bytes& b) {
                        b.resize(b.size() - 4);
                        writeBE32(&b[4], static_cast<uint32_t>(b.size() - 8));
                    }});
    rows.push_back({"animations, one frame", animated({1})});
    rows.push_back({"frame list without an end marker", animated({1}),
                    [](Bytes& b) { b[chunkData(b, "ANDT") + 4] = 0; }});
    rows.push_back({"frame offset outside the list", animated({1}),
                    [](Bytes& b) { writeLE32(&b[chunkData(b, "ANDT") + 24], 0x7FFFFFFF); }});
    rows.push_back({"frame one past the block records", animated({3})});
    return rows;
}

class TileMapLoad : public ::testing::Test {
protected:
    std::string load(const Bytes& bytes) {
        writeFile(dir.file("m.fmp"), std::string(bytes.begin(), bytes.end()));
        return loaded(map.load(nullptr, dir.file("m.fmp").c_str(), 0, 0, -1, -1));
    }
    // The load's result and, when loaded, the header and every layer.
    std::string loaded(int result) {
        std::ostringstream out;
        out << "load " << result << " error " << map.getError() << " loaded " << map.isLoaded();
        if (map.isLoaded())
            out << " | " << map.getMapWidth() << "x" << map.getMapHeight() << " cells of "
                << map.getBlockWidth() << "x" << map.getBlockHeight() << ", depth "
                << map.getBlockDepth() << ", " << map.getNumBlockStr() << " records, "
                << map.getNumBlockGfx() << " graphics";
        for (int n = 0; n < TileMap::kLayers; ++n)
            if (map.selectLayer(n) == n) {
                out << " | layer " << n << ":";
                for (int i = 0; i < map.getMapWidth() * map.getMapHeight(); ++i)
                    out << " " << map.getBlock(i % map.getMapWidth(), i / map.getMapWidth());
            }
        map.selectLayer(0);
        return out.str() + "\n";
    }
    // Steps: get:X:Y, set:X:Y:B, layer:N, mark:X:Y:V, getmark:X:Y, clear, free.
    std::string run(const char* script) {
        std::ostringstream out;
        for (const ScriptStep& s : parseSteps(script)) {
            const int x = s.arg(0), y = s.arg(1);
            out << s.text;
            if (s.name == "get")
                out << "=" << map.getBlock(x, y);
            else if (s.name == "set")
                map.setBlock(x, y, s.arg(2));
            else if (s.name == "layer")
                out << "=" << map.selectLayer(x);
            else if (s.name == "mark")
                map.setMark(x, y, s.arg(2));
            else if (s.name == "getmark")
                out << "=" << map.getMark(x, y);
            else if (s.name == "clear")
                map.clearMarks();
            else if (s.name == "free")
                out << "=" << (map.freeMap(), map.isLoaded());
            out << " ";
        }
        return out.str() + "\n";
    }

    TempDir dir;
    TileMap map;
};

} // namespace

TEST_F(TileMapLoad, FilesSoundAndDamagedGiveTheirTranscript) {
    const std::string corpus = std::string(LURVANE_FUZZ_CORPUS_DIR) + "/tilemap";
    std::filesystem::create_directories(corpus);
    std::string transcript;
    int seeds = 0;
    for (const LoadRow& row : loadRows()) {
        Bytes bytes = writeFmp(row.map);
        row.patch(bytes);
        transcript +=
            std::string(row.what) + " " + std::to_string(row.map.blockDepth) + ": " + load(bytes);
        if (map.isLoaded()) // the fuzzer starts from the sound files
            writeFile(corpus + "/seed" + std::to_string(seeds++) + ".fmp",
                      std::string(bytes.begin(), bytes.end()));
    }
    transcript +=
        "missing file: " + loaded(map.load(nullptr, dir.file("missing.fmp").c_str(), 0, 0, -1, -1));

    // Outside the map everything reads as wall and nothing is written.
    FmpMap layered = animated({2, 1}, 1);
    layered.layers[2] = std::vector<int16_t>(12, 2);
    transcript += "cells: " + load(writeFmp(layered));
    transcript += run("set:1:1:5 get:1:1 set:1:1:40 get:1:1 set:1:1:1000 get:1:1 set:1:1:0 "
                      "get:1:1 get:-1:0 get:4:0 set:4:2:1 set:0:-1:1 get:0:2 get:3:0 "
                      "set:0:0:-1 get:0:0 set:0:0:-2 get:0:0 set:0:0:-3 get:0:0 layer:8 layer:1 "
                      "get:2:0 layer:2 get:0:0 layer:0 mark:3:2:4 getmark:3:2 getmark:9:9 "
                      "clear getmark:3:2 mark:1:1:7 free getmark:1:1 get:1:1");
    checkGoldenText(LURVANE_GOLDEN_DIR "/tile-map-load.txt", transcript);
}

TEST_F(TileMapLoad, TheWindowAndScrollStayInsideTheMap) {
    const struct {
        int width, height, side, viewX, viewY, viewWidth, viewHeight, scrollX, scrollY;
    } rows[] = {
        {20, 15, 32, 0, 0, 640, 480, 100, 100}, {20, 15, 32, 0, 0, 320, 240, 500, -4},
        {20, 15, 32, 7, 9, -1, 10000, 3, 3},    {10, 15, 16, 0, 0, -1, -1, 50, 50},
        {10, 15, 16, 0, 0, 20, 20, 200, 300},
    };
    std::ostringstream out;
    for (const auto& r : rows) {
        FmpMap source;
        source.mapWidth = static_cast<uint16_t>(r.width);
        source.mapHeight = static_cast<uint16_t>(r.height);
        source.blockWidth = source.blockHeight = static_cast<uint16_t>(r.side);
        source.graphics.push_back(std::vector<uint32_t>(static_cast<size_t>(r.side * r.side)));
        source.blocks.push_back(FmpBlockRecord());
        source.layers[0].assign(static_cast<size_t>(r.width * r.height), 0);
        ASSERT_EQ(load(writeFmp(source)).substr(0, 6), "load 0");
        map.setView(r.viewX, r.viewY, r.viewWidth, r.viewHeight);
        map.setScroll(r.scrollX, r.scrollY);
        out << r.width << "x" << r.height << " of " << r.side << " view " << r.viewX << ","
            << r.viewY << " " << r.viewWidth << "x" << r.viewHeight << " scroll " << r.scrollX
            << "," << r.scrollY << " -> view " << map.getViewX() << "," << map.getViewY() << " "
            << map.getViewWidth() << "x" << map.getViewHeight() << " scroll " << map.getScrollX()
            << "," << map.getScrollY() << "\n";
    }
    checkGoldenText(LURVANE_GOLDEN_DIR "/tile-map-window.txt", out.str());
}

namespace {

// Three blocks of 2x2 pixels, each of one colour.
FmpMap colouredMap(int depth) {
    FmpMap map = smallMap(depth);
    const uint32_t colours[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    for (int k = 0; k < 3; ++k)
        map.graphics[static_cast<size_t>(k)].assign(4, colours[k]);
    return map;
}

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

class TileMapGraphics : public ::testing::Test {
protected:
    TileMapGraphics() { writeFile(dir.file("palette.bmp"), paletteBitmap()); }
    // Loads the map on the screen; lists its blocks' pixels at (x, y), each
    // block's colour key and the palette entries asked for.
    std::string show(const char* what, const FmpMap& source, GfxScreen& screen, int x, int y,
                     std::vector<int> entries = {}) {
        EXPECT_TRUE(writeFmpFile(source, dir.file("on.fmp")));
        std::ostringstream out;
        out << what << " " << source.blockDepth << " on " << screen.GetBitsPerPixel() << ": load "
            << map.load(&screen, dir.file("on.fmp").c_str(), 0, 0, -1, -1) << std::hex;
        for (int k = 0; k < 4; ++k)
            if (GfxSurface* block = map.blockSurface(k))
                out << " | " << k << ": " << pixelOf(*block, x, y) << " key "
                    << block->GetColorKey();
        for (int k : entries) {
            const GfxPaletteEntry& e = screen.GetColorTable()[k];
            out << " | entry " << std::dec << k << ": " << +e.red << " " << +e.green << " "
                << +e.blue;
        }
        return out.str() + "\n";
    }

    TempDir dir;
    DepthScreen screen16{16}, screen32{32}, screen8{8};
    TileMap map; // freed before the screens its blocks belong to
};

} // namespace

TEST_F(TileMapGraphics, BlocksAreConvertedToTheScreensFormatAndPalette) {
    std::string transcript;
    // 15- and 16-bit pixels fill a wider mask with the bits that follow
    // their field; the colour key is the transparent colour's.
    map.setTransparentColour(0xFF00FF);
    for (GfxScreen* on : {&screen16.screen, &screen32.screen})
        for (int depth : {15, 16, 24, 32})
            transcript += show("colours", colouredMap(depth), *on, 0, 0) +
                          show("colours", colouredMap(depth), *on, 1, 1);
    FmpMap indexed = smallMap(8);
    indexed.colourMap.clear();
    for (int k = 0; k < 256; ++k)
        indexed.colourMap.insert(
            indexed.colourMap.end(),
            {static_cast<uint8_t>(k), static_cast<uint8_t>(255 - k), static_cast<uint8_t>(k / 2)});
    transcript += show("indexed", indexed, screen32.screen, 1, 1);

    // An indexed map on an 8-bit screen keeps its indices and sets the whole
    // palette; colours take the nearest entry of the palette the screen
    // had, and leave the palette black.
    GfxScreen& screen = screen8.screen;
    map.setTransparentColour(0x00FF07);
    ASSERT_EQ(screen.LoadPalette(dir.file("palette.bmp").c_str()), 0);
    transcript += show("indexed", indexed, screen, 0, 1, {0, 1, 128, 255});
    int wrongEntries = 0;
    for (int k = 0; k < 256; ++k) {
        const GfxPaletteEntry& e = screen.GetColorTable()[k];
        wrongEntries += e.red != k || e.green != 255 - k || e.blue != k / 2;
    }
    EXPECT_EQ(wrongEntries, 0);
    for (int depth : {15, 16, 24, 32}) {
        ASSERT_EQ(screen.LoadPalette(dir.file("palette.bmp").c_str()), 0);
        const uint32_t top = depth <= 16 ? 0xF8 : 0xFF;
        const uint32_t green = depth == 15 ? 0xF8 : depth == 16 ? 0xFC : 0xFF;
        transcript += "nearest: " + std::to_string(screen.NearestPaletteIndex(top)) + " " +
                      std::to_string(screen.NearestPaletteIndex(green << 8)) + " " +
                      std::to_string(screen.NearestPaletteIndex(top << 16)) + "\n";
        transcript += show("colours", colouredMap(depth), screen, 1, 0, {0, 100, 255});
    }
    // A colour map cut inside an entry sets only its whole entries.
    FmpMap cut = colouredMap(16);
    cut.colourMap = {1, 2, 3, 4, 5};
    transcript += show("cut colour map", cut, screen, 0, 0, {0, 1});
    checkGoldenText(LURVANE_GOLDEN_DIR "/tile-map-graphics.txt", transcript);
}
