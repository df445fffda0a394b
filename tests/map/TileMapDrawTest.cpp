// Drawing the map's window: every scroll offset, cells and layers changed
// between draws, and block surfaces replaced by a display mode change or
// emptied by a loss. Each row runs a script; the transcript lists per draw
// the pixels that differ from what the cells say, black pixels and locks.
#include "map/FmpWriter.h"
#include "map/TileMap.h"
#include "tests/support/DepthPlatform.h"
#include "tests/support/Golden.h"
#include "tests/support/StepScript.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <vector>

namespace {

constexpr uint32_t kUntouched = 0x5A5A;

// 12x9 cells of square blocks; every pixel of every block differs, so a
// block drawn from a wrong offset or the wrong block shows. Layer 1 is the
// mirror image of layer 0.
FmpMap patternMap(int side) {
    FmpMap map;
    map.mapWidth = 12;
    map.mapHeight = 9;
    map.blockWidth = map.blockHeight = static_cast<uint16_t>(side);
    map.blockDepth = 32;
    const uint32_t pixels = static_cast<uint32_t>(side * side);
    for (uint32_t k = 0; k < 6; ++k) {
        std::vector<uint32_t> graphic;
        for (uint32_t i = 0; i < pixels; ++i)
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

// The pixel the window must show at target (x, y), read from the block
// surfaces: the cell under it and the pixel within that block.
uint32_t expectedPixel(TileMap& map, int x, int y) {
    const int mapX = map.getScrollX() + x - map.getViewX();
    const int mapY = map.getScrollY() + y - map.getViewY();
    const int bw = map.getBlockWidth(), bh = map.getBlockHeight();
    GfxSurface* block = map.blockSurface(map.getBlock(mapX / bw, mapY / bh));
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
    int depth, side;
    // view:X:Y:W:H, scroll:X:Y, layer:N, set:X:Y:B, draw, clip:W:H, sweep:A:B:..
    // (draws at every pair of the offsets), keep and same (a draw showing
    // the kept picture), fill:K and lose:K (a block's surface), key:K,
    // mode:BPP (a display mode change) and fresh (the map loaded anew in
    // the current mode, with the same cells, draws the same).
    const char* script;
};

class TileMapDraw : public ::testing::Test {
protected:
    // A screen of the depth and the pattern map of the block size loaded
    // on it.
    void start(const Row& row) {
        target.reset(); // surfaces go before the screen they belong to
        map.freeMap();
        display.emplace(row.depth);
        ASSERT_TRUE(writeFmpFile(patternMap(row.side), dir.file("p.fmp")));
        load(map);
    }
    GfxScreen& screen() { return display->screen; }
    void load(TileMap& into) {
        into.setTransparentColour(0xFF00FF); // a key that differs between formats
        ASSERT_EQ(into.load(&screen(), dir.file("p.fmp").c_str(), 0, 0, -1, -1), 0);
    }
    // A target a little larger than the window, every pixel untouched.
    void makeTarget(GfxSurface& surface) {
        ASSERT_EQ(surface.Create(&screen(), map.getViewWidth() + 10, map.getViewHeight() + 10,
                                 kSurfaceMemorySystem),
                  0);
        surface.FillAll(kUntouched);
    }
    std::string draw(TileMap& from, GfxSurface& into) {
        into.FillAll(kUntouched);
        const int locks = into.GetStore()->lockCalls();
        const int result = from.draw(&into);
        const int locked = into.GetStore()->lockCalls() - locks;
        const std::vector<uint32_t> drawn = pixelsOf(into);
        std::ostringstream out;
        out << "=" << result << " wrong " << wrongPixels(from, into) << " black "
            << std::count(drawn.begin(), drawn.end(), 0u) << " locks " << locked << " held "
            << into.GetLockCount();
        return out.str();
    }
    std::string fresh() {
        TileMap again;
        load(again);
        again.setView(map.getViewX(), map.getViewY(), map.getViewWidth(), map.getViewHeight());
        again.setScroll(map.getScrollX(), map.getScrollY());
        for (int y = 0; y < map.getMapHeight(); ++y)
            for (int x = 0; x < map.getMapWidth(); ++x)
                again.setBlock(x, y, map.getBlock(x, y));
        GfxSurface reference;
        makeTarget(reference);
        again.draw(&reference);
        std::ostringstream out;
        out << " same " << (pixelsOf(*target) == pixelsOf(reference)) << " keys same "
            << (map.blockSurface(1)->GetColorKey() == again.blockSurface(1)->GetColorKey());
        return out.str();
    }
    std::string step(const ScriptStep& s) {
        std::ostringstream out;
        const int a = s.arg(0), b = s.arg(1);
        if (s.name == "view") {
            map.setView(a, b, s.arg(2), s.arg(3));
            target.emplace();
            makeTarget(*target);
        } else if (s.name == "scroll") {
            map.setScroll(a, b);
        } else if (s.name == "layer") {
            out << "=" << map.selectLayer(a);
        } else if (s.name == "set") {
            map.setBlock(a, b, s.arg(2));
        } else if (s.name == "draw" || s.name == "same") {
            out << draw(map, *target);
            if (s.name == "same")
                out << " same " << (pixelsOf(*target) == kept);
        } else if (s.name == "clip") {
            target->SetClipRect({0, 0, a, b});
            out << draw(map, *target);
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
        } else if (s.name == "keep") {
            kept = pixelsOf(*target);
        } else if (s.name == "fill") {
            map.blockSurface(a)->FillAll(screen().ConvertColor(0x00FF00, map.blockSurface(a)));
        } else if (s.name == "lose") {
            map.blockSurface(a)->MarkLost();
        } else if (s.name == "key") {
            out << " lost " << map.blockSurface(a)->GetStore()->isLost() << " store "
                << map.blockSurface(a)->GetStore()->colorKey() << " surface "
                << map.blockSurface(a)->GetColorKey();
        } else if (s.name == "mode") {
            out << "=" << screen().ChangeVideoMode(64, 48, a, 0);
            target.emplace();
            makeTarget(*target);
        } else if (s.name == "fresh") {
            out << fresh();
        } else {
            ADD_FAILURE() << s.name;
        }
        return out.str();
    }

    TempDir dir;
    std::optional<DepthScreen> display;
    TileMap map;
    std::optional<GfxSurface> target;
    std::vector<uint32_t> kept;
};

// Blocks of 20 pixels, as the game's, have their rows copied in fixed sizes.
// A window the target's clip cuts goes through the blitter: no lock.
const Row kRows[] = {
    {15, 4, "view:3:5:30:22 sweep:0:1:2:3:5:14 scroll:5:3 clip:20:32"},
    {16, 4, "view:3:5:30:22 sweep:0:1:2:3:5:14 scroll:5:3 clip:20:32"},
    {24, 4, "view:3:5:30:22 sweep:0:1:2:3:5:14 scroll:5:3 clip:20:32"},
    {32, 4, "view:3:5:30:22 sweep:0:1:2:3:5:14 scroll:5:3 clip:20:32"},
    {16, 20, "view:5:3:100:70 sweep:0:13:40:53 scroll:5:3 clip:20:32"},
    {32, 20, "view:5:3:100:70 sweep:0:13:40:53 scroll:5:3 clip:20:32"},
    // A cell naming no block leaves its part of the window as it was, and
    // shows again once it names a block; pixels put into a block surface
    // behind the map's back do not show.
    {16, 4,
     "view:3:5:30:22 scroll:2:3 layer:0 set:3:3:5 draw layer:1 set:1:1:2 draw layer:0 set:4:4:0 "
     "draw layer:1 set:3:4:0 draw layer:0 set:2:2:40 draw set:2:2:1 draw set:1:1:50 draw "
     "set:1:1:4 draw keep fill:4 same"},
    {32, 4,
     "view:3:5:30:22 scroll:2:3 set:1:1:50 layer:0 set:3:3:5 draw layer:1 set:1:1:2 draw layer:0 "
     "set:4:4:0 draw layer:1 set:3:4:0 draw layer:0 set:2:2:40 draw set:2:2:1 draw set:1:1:50 "
     "draw set:1:1:4 draw keep fill:4 same"},
    // A display mode change gives the block surfaces new stores in the new
    // format: drawing must neither read the old ones (the sanitizer build
    // catches that) nor show empty blocks; a new store lost before the first
    // draw is keyed too.
    {32, 4,
     "view:3:5:30:22 scroll:5:2 draw mode:16 set:0:1:3 draw fresh mode:0 set:0:1:3 draw fresh "
     "mode:16 mode:0 draw mode:16 lose:0 draw key:0 key:1"},
    // A window ending on the target's edges is one locked copy of the map's
    // picture; lost blocks are filled again.
    {16, 4,
     "view:10:10:30:22 scroll:3:2 draw keep fill:0 fill:1 fill:2 fill:3 fill:4 fill:5 lose:0 "
     "lose:2 same key:0 key:2 clip:39:32"},
};

} // namespace

TEST_F(TileMapDraw, ScriptsGiveTheirTranscript) {
    std::string transcript;
    for (const Row& row : kRows) {
        start(row);
        transcript += "# " + std::to_string(row.depth) + " bits, blocks of " +
                      std::to_string(row.side) + "\n";
        for (const ScriptStep& s : parseSteps(row.script))
            transcript += s.text + step(s) + "\n";
    }
    checkGoldenText(LURVANE_GOLDEN_DIR "/tile-map-draw.txt", transcript);
}

TEST_F(TileMapDraw, NothingIsDrawnWithoutAMapOrATarget) {
    start({16, 4, ""});
    map.setView(3, 5, 30, 22);
    TileMap unloaded;
    GfxSurface surface;
    makeTarget(surface);
    EXPECT_EQ(unloaded.draw(&surface), -1);
    EXPECT_EQ(map.draw(nullptr), -1);
}
