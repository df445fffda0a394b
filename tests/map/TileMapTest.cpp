// Tile maps, sound and damaged, loaded with or without a screen and driven
// by a script of steps; the transcript lists every step's result.
#include "map/TileMap.h"

#include "lib/ByteOrder.h"
#include "map/FmpWriter.h"
#include "tests/support/DepthPlatform.h"
#include "tests/support/Golden.h"
#include "tests/support/StepScript.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint32_t kUntouched = 0x5A5A;

// A small sound map: 4x3 cells of 2x2 blocks, three block records, each
// block of one colour.
FmpMap smallMap(int depth = 16, std::vector<uint32_t> colours = {0, 0x102030, 0x204060},
                int blockHeight = 2) {
    FmpMap map;
    map.mapWidth = 4;
    map.mapHeight = 3;
    map.blockWidth = 2;
    map.blockHeight = static_cast<uint16_t>(blockHeight);
    map.blockDepth = static_cast<uint16_t>(depth);
    if (depth == 8)
        map.colourMap.assign(768, 0);
    for (int k = 0; k < 3; ++k) {
        map.graphics.push_back(
            std::vector<uint32_t>(2 * blockHeight, colours[static_cast<size_t>(k)]));
        FmpBlockRecord record;
        record.graphics[0] = k * map.graphicSize();
        map.blocks.push_back(record);
    }
    map.layers[0] = {0, 1, 2, 1, 1, 2, 2, 1, 0, 0, 1, 2};
    return map;
}

FmpMap animated(std::vector<int32_t> frames, int currentFrame = 0) {
    FmpMap map = smallMap();
    map.frames = std::move(frames);
    FmpAnimation spin;
    spin.currentFrame = spin.lastFrame = currentFrame;
    map.animations = {spin, spin};
    return map;
}

// 12x9 cells of square blocks whose pixels all differ, so a wrong offset or
// block shows; layer 1 is the mirror image of layer 0.
FmpMap patternMap(int side) {
    FmpMap map;
    map.mapWidth = 12;
    map.mapHeight = 9;
    map.blockWidth = map.blockHeight = static_cast<uint16_t>(side);
    map.blockDepth = 32;
    for (uint32_t k = 0; k < 6; ++k) {
        std::vector<uint32_t> graphic;
        for (uint32_t i = 0; i < static_cast<uint32_t>(side * side); ++i)
            graphic.push_back((k * 40 + 8) << 16 | (i * 16 % 256) << 8 | (255 - i * 12 % 256));
        map.graphics.push_back(graphic);
        FmpBlockRecord record;
        record.graphics[0] = static_cast<int32_t>(k) * map.graphicSize();
        map.blocks.push_back(record);
    }
    for (int i = 0; i < 12 * 9; ++i) {
        map.layers[0].push_back(static_cast<int16_t>((i * 5 + i / 12) % 6));
        map.layers[1].push_back(static_cast<int16_t>(5 - (i * 5 + i / 12) % 6));
    }
    return map;
}

// Offset of a chunk's data within the file bytes.
size_t chunkData(const Bytes& bytes, const char* id) {
    for (size_t at = 12; at + 8 <= bytes.size(); at += 8 + readBE32(&bytes[at + 4]))
        if (std::equal(id, id + 4, bytes.begin() + static_cast<long>(at)))
            return at + 8;
    return 0;
}

// Inserts bytes at the offset and mends the container's length.
void insertBytes(Bytes& b, size_t at, Bytes bytes) {
    b.insert(b.begin() + static_cast<long>(at), bytes.begin(), bytes.end());
    writeBE32(&b[4], static_cast<uint32_t>(b.size() - 8));
}

// A bitmap holding only a colour table of one entry: loading it gives an
// 8-bit screen its palette, the standard one but for entry 0.
std::string paletteBitmap() {
    Bytes b(54 + 4, 0);
    b[0] = 'B';
    b[1] = 'M';
    writeLE32(&b[14], 40);
    writeLE16(&b[28], 8);
    writeLE32(&b[46], 1);
    return std::string(b.begin(), b.end());
}

// The pixel the window must show at target (x, y), read from the block
// surfaces: the cell under it and the pixel within that block.
uint32_t expectedPixel(TileMap& map, int x, int y) {
    const int mapX = map.getScrollX() + x - map.getViewX();
    const int mapY = map.getScrollY() + y - map.getViewY();
    const int bw = map.getBlockWidth(), bh = map.getBlockHeight();
    GfxSurface* block = bw ? map.blockSurface(map.getBlock(mapX / bw, mapY / bh)) : nullptr;
    return block ? pixelOf(*block, mapX % bw, mapY % bh) : kUntouched;
}

// The pixels of the target that are not as they must be: the window inside
// the clip rectangle as the cells say, everything else untouched.
int wrongPixels(TileMap& map, GfxSurface& target) {
    const GfxRect& clip = target.GetClipRect();
    int wrong = 0;
    for (int y = 0; y < target.GetHeight(); ++y)
        for (int x = 0; x < target.GetWidth(); ++x) {
            const bool inside = x >= map.getViewX() && y >= map.getViewY() &&
                                x < map.getViewX() + map.getViewWidth() &&
                                y < map.getViewY() + map.getViewHeight() && x >= clip.left &&
                                y >= clip.top && x < clip.right && y < clip.bottom;
            wrong += pixelOf(target, x, y) != (inside ? expectedPixel(map, x, y) : kUntouched);
        }
    return wrong;
}

struct Row {
    const char* what;
    FmpMap map;
    // Steps as TileMapTest::step reads them; sweep:A:B:.. draws at every
    // pair of the offsets.
    std::string script = "load";
    std::function<void(Bytes&)> patch = [](Bytes&) {};
};

std::vector<Row> rows() {
    std::vector<Row> rows;
    for (int depth : {8, 15, 16, 24, 32})
        rows.push_back({"depth", smallMap(depth)});
    rows.push_back({"blocks taller than wide", smallMap(16, {0, 0x102030, 0x204060}, 3)});
    FmpMap spinning = animated({2, 1}, 1);
    spinning.layers[0][5] = -1;
    spinning.layers[0][6] = -2;
    rows.push_back({"animated cells show their current frame", spinning});
    spinning.layers[0][5] = -3;
    rows.push_back({"cell names a third animation of two", spinning});
    rows.push_back(
        {"unknown chunks skipped, a layer after the body read", smallMap(), "load", [](Bytes& b) {
             insertBytes(b, 12, {'X', 'Y', 'Z', 'W', 0, 0, 0, 3, 1, 2, 3});
             Bytes layer = {'L', 'Y', 'R', '1', 0, 0, 0, 24};
             for (int i = 0; i < 12; ++i)
                 layer.insert(layer.end(), {64, 0}); // block 2
             insertBytes(b, b.size(), layer);
             insertBytes(b, b.size(), {'X', 'Y', 'Z', 'W', 0, 0, 0, 0});
         }});
    auto hostile = [&](const char* what, const char* chunk, std::function<void(uint8_t*)> change) {
        rows.push_back({what, smallMap(), "load", [chunk, change](Bytes& b) {
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
    rows.push_back({"header chunk too short for its fields", smallMap(), "load", [](Bytes& b) {
                        insertBytes(b, 12, {'M', 'P', 'H', 'D', 0, 0, 0, 4, 0, 0, 0, 0});
                    }});
    rows.push_back({"truncated chunk header", smallMap(), "load", [](Bytes& b) {
                        b.resize(b.size() - 4);
                        writeBE32(&b[4], static_cast<uint32_t>(b.size() - 8));
                    }});
    rows.push_back({"animations, one frame", animated({1})});
    rows.push_back({"frame list without an end marker", animated({1}), "load",
                    [](Bytes& b) { b[chunkData(b, "ANDT") + 4] = 0; }});
    rows.push_back({"frame offset outside the list", animated({1}), "load",
                    [](Bytes& b) { writeLE32(&b[chunkData(b, "ANDT") + 24], 0x7FFFFFFF); }});
    rows.push_back({"frame one past the block records", animated({3})});
    rows.push_back({"missing file", smallMap(), "missing"});

    // Outside the map everything reads as wall and nothing is written.
    FmpMap layered = animated({2, 1}, 1);
    layered.layers[2] = std::vector<int16_t>(12, 2);
    rows.push_back({"cells", layered,
                    "load set:1:1:5 get:1:1 set:1:1:40 get:1:1 set:1:1:1000 get:1:1 set:1:1:0 "
                    "get:1:1 get:-1:0 get:4:0 set:4:2:1 set:0:-1:1 get:0:2 get:3:0 set:0:0:-1 "
                    "get:0:0 set:0:0:-2 get:0:0 set:0:0:-3 get:0:0 layer:8 layer:1 get:2:0 "
                    "layer:2 get:0:0 layer:0 mark:3:2:4 getmark:3:2 getmark:9:9 clear "
                    "getmark:3:2 mark:1:1:7 free getmark:1:1 get:1:1"});
    rows.push_back({"window and scroll stay inside the map", patternMap(20),
                    "load view:0:0:640:480 scroll:100:100 window view:0:0:120:90 scroll:500:-4 "
                    "window view:7:9:-1:10000 window view:0:0:-1:-1 window view:0:0:20:20 "
                    "scroll:200:300 window"});

    // 15- and 16-bit pixels fill a wider mask with the bits after their
    // field; the colour key is the transparent colour's (0xFF00FF unless set).
    const std::vector<uint32_t> rgb = {0xFF0000, 0x00FF00, 0x0000FF};
    for (const char* script :
         {"screen:16 load blocks:0:0 blocks:1:1", "screen:32 load blocks:0:0 blocks:1:1"})
        for (int depth : {15, 16, 24, 32})
            rows.push_back({"colours", smallMap(depth, rgb), script});
    FmpMap indexed = smallMap(8, {0, 0x30, 0x60});
    indexed.colourMap.clear();
    for (int k = 0; k < 256; ++k)
        indexed.colourMap.insert(
            indexed.colourMap.end(),
            {static_cast<uint8_t>(k), static_cast<uint8_t>(255 - k), static_cast<uint8_t>(k / 2)});
    rows.push_back({"indexed", indexed, "screen:32 load blocks:1:1"});
    // On an 8-bit screen an indexed map keeps its indices and sets the palette;
    // colours take the nearest entry of the screen's and leave it black.
    rows.push_back({"indexed", indexed,
                    "screen:8 palette transparent:0x00FF07 load blocks:0:1 "
                    "entries:0:1:2:127:128:254:255"});
    for (const char* nearest : {"15:0xF8:0xF800:0xF80000", "16:0xF8:0xFC00:0xF80000",
                                "24:0xFF:0xFF00:0xFF0000", "32:0xFF:0xFF00:0xFF0000"})
        rows.push_back({"colours", smallMap(std::stoi(nearest), rgb),
                        std::string("screen:8 palette nearest") + (nearest + 2) +
                            " load blocks:1:0 entries:0:100:255"});
    // A colour map cut inside an entry sets only its whole entries.
    FmpMap cut = smallMap(16, rgb);
    cut.colourMap = {1, 2, 3, 4, 5};
    rows.push_back({"cut colour map", cut, "screen:8 palette load entries:0:1"});

    // Blocks of 20 pixels, as the game's, are copied in fixed sizes; a window
    // the target's clip cuts goes through the blitter: no lock.
    for (const char* depth : {"15", "16", "24", "32"})
        rows.push_back({"scrolled", patternMap(4),
                        std::string("screen:") + depth +
                            " load view:3:5:30:22 sweep:0:1:2:3:5:14 scroll:5:3 clip:20:32"});
    for (const char* depth : {"16", "32"})
        rows.push_back({"scrolled", patternMap(20),
                        std::string("screen:") + depth +
                            " load view:5:3:100:70 sweep:0:13:40:53 scroll:5:3 clip:20:32"});
    // A cell naming no block, before the first draw or after it, leaves its
    // part of the window as it was, and shows again once it names a block;
    // pixels put into a block surface behind the map's back do not show.
    for (const char* script : {"screen:16 load view:3:5:30:22 scroll:2:3",
                               "screen:32 load view:3:5:30:22 scroll:2:3 set:1:1:50"})
        rows.push_back({"cells changed", patternMap(4),
                        std::string(script) +
                            " set:3:3:5 draw layer:1 set:1:1:2 draw layer:0 set:4:4:0 draw "
                            "layer:1 set:3:4:0 draw layer:0 set:2:2:40 draw set:2:2:1 draw "
                            "set:1:1:50 draw set:1:1:4 draw fill:4 draw"});
    // A display mode change gives the blocks new stores: drawing must not read
    // the old ones (the sanitizer catches that); new lost stores are keyed.
    rows.push_back({"display mode changed", patternMap(4),
                    "screen:32 load view:3:5:30:22 scroll:5:2 draw mode:16 set:0:1:3 draw mode:0 "
                    "set:0:1:3 draw mode:16 mode:0 draw mode:16 lose:0 draw key:0 key:1"});
    // The same map loaded afresh in those modes draws the same pictures.
    for (const char* script : {"screen:16 load view:3:5:30:22 scroll:5:2 set:0:1:3 draw",
                               "screen:32 load view:3:5:30:22 scroll:5:2 set:0:1:3 draw"})
        rows.push_back({"loaded afresh", patternMap(4), script});
    // A window ending on the target's edges is one locked copy of the map's
    // picture; lost blocks are filled again.
    rows.push_back({"one locked copy", patternMap(4),
                    "screen:16 view:0:0:30:22 draw load drawnull view:10:10:30:22 scroll:3:2 "
                    "draw fill:0 fill:1 fill:2 fill:3 fill:4 fill:5 lose:0 lose:2 draw "
                    "key:0 key:2 clip:39:32"});
    return rows;
}

class TileMapTest : public ::testing::Test {
protected:
    TileMapTest() { writeFile(dir.file("palette.bmp"), paletteBitmap()); }

    // The load's result and, when loaded, the header and every layer.
    std::string loaded(int result) {
        std::ostringstream out;
        out << "=" << result << " error " << map.getError() << " loaded " << map.isLoaded();
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
        return out.str();
    }
    int loadFile(TileMap& into, const char* name) {
        return into.load(display ? &screen() : nullptr, dir.file(name).c_str(), 0, 0, -1, -1);
    }
    GfxScreen& screen() { return display->screen; }
    // A target a little larger than the window, every pixel untouched.
    void makeTarget(GfxSurface& surface) {
        ASSERT_EQ(surface.Create(&screen(), map.getViewWidth() + 10, map.getViewHeight() + 10,
                                 kSurfaceMemorySystem),
                  0);
        surface.FillAll(kUntouched);
    }
    std::string draw() {
        target->FillAll(kUntouched);
        const int locks = target->GetStore()->lockCalls();
        const int result = map.draw(&*target);
        const int locked = target->GetStore()->lockCalls() - locks;
        const std::vector<uint32_t> drawn = pixelsOf(*target);
        uint32_t hash = 2166136261u; // the picture, for comparing draws in the transcript
        for (uint32_t pixel : drawn)
            hash = (hash ^ pixel) * 16777619u;
        std::ostringstream out;
        out << "=" << result << " wrong " << wrongPixels(map, *target) << " black "
            << std::count(drawn.begin(), drawn.end(), 0u) << " locks " << locked << " held "
            << target->GetLockCount() << " picture " << std::hex << hash;
        return out.str();
    }
    std::string step(const ScriptStep& s, const Bytes& bytes) {
        std::ostringstream out;
        const int a = s.arg(0), b = s.arg(1);
        GfxSurface* block = map.blockSurface(a);
        if (s.name == "screen") {
            target.reset(); // surfaces go before the screen they belong to
            map.freeMap();
            display.emplace(a);
        } else if (s.name == "transparent") {
            map.setTransparentColour(static_cast<uint32_t>(a));
        } else if (s.name == "palette") {
            out << "=" << screen().LoadPalette(dir.file("palette.bmp").c_str());
        } else if (s.name == "load" || s.name == "missing") {
            writeFile(dir.file("m.fmp"), std::string(bytes.begin(), bytes.end()));
            out << loaded(loadFile(map, s.name == "load" ? "m.fmp" : "missing.fmp"));
        } else if (s.name == "get") {
            out << "=" << map.getBlock(a, b);
        } else if (s.name == "set") {
            map.setBlock(a, b, s.arg(2));
        } else if (s.name == "layer") {
            out << "=" << map.selectLayer(a);
        } else if (s.name == "mark") {
            map.setMark(a, b, s.arg(2));
        } else if (s.name == "getmark") {
            out << "=" << map.getMark(a, b);
        } else if (s.name == "clear") {
            map.clearMarks();
        } else if (s.name == "free") {
            out << "=" << (map.freeMap(), map.isLoaded());
        } else if (s.name == "view") {
            map.setView(a, b, s.arg(2), s.arg(3));
            if (display)
                makeTarget(target.emplace());
        } else if (s.name == "scroll") {
            map.setScroll(a, b);
        } else if (s.name == "window") {
            out << "=" << map.getViewX() << "," << map.getViewY() << " " << map.getViewWidth()
                << "x" << map.getViewHeight() << " scroll " << map.getScrollX() << ","
                << map.getScrollY();
        } else if (s.name == "blocks") {
            for (int k = 0; k < 4; ++k)
                if (GfxSurface* surface = map.blockSurface(k))
                    out << std::hex << " " << k << ": " << pixelOf(*surface, a, b) << " key "
                        << surface->GetColorKey();
        } else if (s.name == "entries" || s.name == "nearest") {
            for (int i : s.args) {
                const GfxPaletteEntry& e = screen().GetColorTable()[i & 255];
                if (s.name == "nearest")
                    out << " " << +screen().NearestPaletteIndex(static_cast<uint32_t>(i));
                else
                    out << " " << +e.red << "," << +e.green << "," << +e.blue;
            }
        } else if (s.name == "draw" || s.name == "clip") {
            if (s.name == "clip")
                target->SetClipRect({0, 0, a, b});
            out << draw();
        } else if (s.name == "drawnull") {
            out << "=" << map.draw(nullptr);
        } else if (s.name == "sweep") {
            int wrong = 0;
            for (int y : s.args)
                for (int x : s.args) {
                    map.setScroll(x, y);
                    EXPECT_EQ(map.draw(&*target), 0);
                    wrong += wrongPixels(map, *target);
                    target->FillAll(kUntouched);
                }
            out << " wrong " << wrong;
        } else if (s.name == "fill") {
            block->FillAll(screen().ConvertColor(0x00FF00, block));
        } else if (s.name == "lose") {
            block->MarkLost();
        } else if (s.name == "key") {
            out << " lost " << block->GetStore()->isLost() << " store "
                << block->GetStore()->colorKey() << " surface " << block->GetColorKey();
        } else if (s.name == "mode") {
            out << "=" << screen().ChangeVideoMode(64, 48, a, 0);
            makeTarget(target.emplace());
        } else {
            ADD_FAILURE() << s.name;
        }
        return out.str();
    }

    TempDir dir;
    std::optional<DepthScreen> display;
    TileMap map;
    std::optional<GfxSurface> target;
};

} // namespace

TEST_F(TileMapTest, ScriptsGiveTheirTranscript) {
    const std::string corpus = std::string(LURVANE_FUZZ_CORPUS_DIR) + "/tilemap";
    std::filesystem::create_directories(corpus);
    std::string transcript;
    int seeds = 0;
    for (const Row& row : rows()) {
        Bytes bytes = writeFmp(row.map);
        row.patch(bytes);
        transcript +=
            std::string("# ") + row.what + ", depth " + std::to_string(row.map.blockDepth) + "\n";
        for (const ScriptStep& s : parseSteps(row.script))
            transcript += s.text + step(s, bytes) + "\n";
        if (map.isLoaded() && !display) // the fuzzer starts from the sound files
            writeFile(corpus + "/seed" + std::to_string(seeds++) + ".fmp",
                      std::string(bytes.begin(), bytes.end()));
        target.reset();
        map.freeMap();
        map.setTransparentColour(0xFF00FF);
        display.reset();
    }
    checkGoldenText(LURVANE_GOLDEN_DIR "/tile-map.txt", transcript);
}
