// Drawing the map's window: every scroll offset, cells and layers changed
// between draws, and block surfaces replaced by a display mode change or
// emptied by a loss.
#include "map/FmpWriter.h"
#include "map/TileMap.h"
#include "tests/support/DepthPlatform.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

constexpr uint32_t kUntouched = 0x5A5A;

// 12x9 cells of 4x4 blocks; every pixel of every block differs, so a block
// drawn from a wrong offset or the wrong block shows. Layer 1 is the
// mirror image of layer 0.
FmpMap patternMap(int side = 4) {
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

// Compares the whole target: the window as the cells say, everything else
// untouched. Returns the number of wrong pixels.
int wrongPixels(TileMap& map, GfxSurface& target) {
    int wrong = 0;
    for (int y = 0; y < target.GetHeight(); ++y)
        for (int x = 0; x < target.GetWidth(); ++x) {
            const bool inside = x >= map.getViewX() && y >= map.getViewY() &&
                                x < map.getViewX() + map.getViewWidth() &&
                                y < map.getViewY() + map.getViewHeight();
            wrong += pixelOf(target, x, y) != (inside ? expectedPixel(map, x, y) : kUntouched);
        }
    return wrong;
}

class TileMapDraw : public ::testing::Test {
protected:
    // A screen of the depth, the pattern map of the block size loaded on it
    // with the window at (x, y), and an untouched target a little larger.
    void start(int depth, int side = 4, int x = 3, int y = 5, int width = 30, int height = 22) {
        display.emplace(depth);
        ASSERT_TRUE(writeFmpFile(patternMap(side), dir.file("p.fmp")));
        map.setTransparentColour(0xFF00FF); // a key that differs between formats
        ASSERT_EQ(map.load(&screen(), dir.file("p.fmp").c_str(), 0, 0, -1, -1), 0);
        map.setView(x, y, width, height);
        targetWidth = width + 10;
        targetHeight = height + 10;
        makeTarget(target);
    }
    GfxScreen& screen() { return display->screen; }
    void makeTarget(GfxSurface& surface) {
        ASSERT_EQ(surface.Create(&screen(), targetWidth, targetHeight, kSurfaceMemorySystem), 0);
        surface.FillAll(kUntouched);
    }

    TempDir dir;
    std::optional<DepthScreen> display;
    TileMap map;
    GfxSurface target;
    int targetWidth = 0, targetHeight = 0;
};

} // namespace

TEST_F(TileMapDraw, TheWindowShowsItsCellsAtEveryScrollOffset) {
    // The game's 20-pixel blocks have their rows copied in fixed sizes.
    const struct {
        int depth, side;
        std::vector<int> scrolls;
    } cases[] = {{15, 4, {0, 1, 2, 3, 5, 14}}, {16, 4, {0, 1, 2, 3, 5, 14}},
                 {24, 4, {0, 1, 2, 3, 5, 14}}, {32, 4, {0, 1, 2, 3, 5, 14}},
                 {16, 20, {0, 13, 40, 53}},    {32, 20, {0, 13, 40, 53}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.depth << " bits, blocks of " << c.side);
        if (c.side == 4)
            start(c.depth);
        else
            start(c.depth, c.side, 5, 3, 100, 70);
        for (int scrollY : c.scrolls)
            for (int scrollX : c.scrolls) {
                target.FillAll(kUntouched);
                map.setScroll(scrollX, scrollY);
                ASSERT_EQ(map.draw(&target), 0);
                EXPECT_EQ(wrongPixels(map, target), 0) << "scroll " << scrollX << "," << scrollY;
            }
        // A window inside the target's clip only in part is left to the
        // blitter, which keeps to the clip rectangle.
        target.FillAll(kUntouched);
        target.SetClipRect({0, 0, 20, 32});
        map.setScroll(5, 3);
        ASSERT_EQ(map.draw(&target), 0);
        EXPECT_EQ(pixelOf(target, 19, 10), expectedPixel(map, 19, 10));
        EXPECT_EQ(pixelOf(target, 20, 10), kUntouched);
    }
}

TEST_F(TileMapDraw, ChangedCellsAndLayersShowAtTheNextDraw) {
    // A cell naming no block, before the first draw or after it, leaves its
    // part of the window as it was (expectedPixel says so), the rest is
    // drawn, and the cell shows again once it names a block.
    const struct {
        int layer, x, y, block;
    } steps[] = {{0, 3, 3, 5},  {1, 1, 1, 2}, {0, 4, 4, 0},  {1, 3, 4, 0},
                 {0, 2, 2, 40}, {0, 2, 2, 1}, {0, 1, 1, 50}, {0, 1, 1, 4}};
    for (int depth : {16, 32}) {
        start(depth);
        map.setScroll(2, 3);
        if (depth == 32)
            map.setBlock(1, 1, 50); // before the first draw
        for (const auto& step : steps) {
            SCOPED_TRACE(testing::Message() << depth << " bits, layer " << step.layer << " cell "
                                            << step.x << "," << step.y << " = " << step.block);
            ASSERT_EQ(map.selectLayer(step.layer), step.layer);
            map.setBlock(step.x, step.y, step.block);
            target.FillAll(kUntouched);
            ASSERT_EQ(map.draw(&target), 0);
            EXPECT_EQ(wrongPixels(map, target), 0);
        }
        EXPECT_EQ(map.getBlock(1, 1), 4);
        // Once every cell names a block the window is the map's picture
        // again: pixels put into a block surface behind its back do not show.
        const std::vector<uint32_t> drawn = pixelsOf(target);
        map.blockSurface(4)->FillAll(screen().ConvertColor(0x00FF00, map.blockSurface(4)));
        ASSERT_EQ(map.draw(&target), 0);
        EXPECT_EQ(pixelsOf(target), drawn);
    }
}

// A display mode change gives the block surfaces new stores in the new
// format; drawing must neither read the old stores (the sanitizer build
// catches that) nor show empty blocks.
TEST_F(TileMapDraw, AMapDrawnAfterADisplayModeChangeShowsItsBlocks) {
    start(32);
    map.setScroll(5, 2);
    ASSERT_EQ(map.draw(&target), 0);
    for (int bitsPerPixel : {16, 0}) {
        ASSERT_EQ(screen().ChangeVideoMode(64, 48, bitsPerPixel, 0), 0);
        map.setBlock(0, 1, 3); // before the first draw in the new mode
        GfxSurface after;
        makeTarget(after);
        ASSERT_EQ(map.draw(&after), 0);

        // The same map loaded afresh in the new mode draws the same.
        TileMap fresh;
        fresh.setTransparentColour(0xFF00FF);
        ASSERT_EQ(fresh.load(&screen(), dir.file("p.fmp").c_str(), 0, 0, -1, -1), 0);
        fresh.setView(3, 5, 30, 22);
        fresh.setScroll(5, 2);
        fresh.setBlock(0, 1, 3);
        GfxSurface reference;
        makeTarget(reference);
        ASSERT_EQ(fresh.draw(&reference), 0);
        const std::vector<uint32_t> drawn = pixelsOf(after);
        EXPECT_EQ(drawn, pixelsOf(reference)) << bitsPerPixel;
        EXPECT_EQ(std::count(drawn.begin(), drawn.end(), 0u), 0) << bitsPerPixel;
        EXPECT_EQ(wrongPixels(map, after), 0) << bitsPerPixel;
        // The colour key is set again in the new format.
        EXPECT_EQ(map.blockSurface(1)->GetColorKey(), fresh.blockSurface(1)->GetColorKey());
    }
    // Two changes between draws: the stores of the first change are gone
    // too, and their memory may be handed out again.
    ASSERT_EQ(screen().ChangeVideoMode(64, 48, 16, 0), 0);
    ASSERT_EQ(screen().ChangeVideoMode(64, 48, 0, 0), 0);
    GfxSurface last;
    makeTarget(last);
    ASSERT_EQ(map.draw(&last), 0);
    EXPECT_EQ(wrongPixels(map, last), 0);
    EXPECT_NE(pixelOf(last, 10, 10), 0u);
    // A new store that is lost before the first draw is keyed too.
    ASSERT_EQ(screen().ChangeVideoMode(64, 48, 16, 0), 0);
    map.blockSurface(0)->MarkLost();
    ASSERT_EQ(map.draw(&last), 0);
    EXPECT_EQ(map.blockSurface(0)->GetStore()->colorKey(), map.blockSurface(1)->GetColorKey());
}

TEST_F(TileMapDraw, AWindowInsideTheTargetIsOneLockedCopyOfTheMapsPicture) {
    start(16);
    TileMap unloaded;
    EXPECT_EQ(unloaded.draw(&target), -1);
    EXPECT_EQ(map.draw(nullptr), -1);

    // The window ends on the target's right and bottom edges.
    map.setView(10, 10, 30, 22);
    map.setScroll(3, 2);
    const int locks = target.GetStore()->lockCalls();
    ASSERT_EQ(map.draw(&target), 0);
    EXPECT_EQ(target.GetStore()->lockCalls(), locks + 1);
    EXPECT_EQ(target.GetLockCount(), 0);
    EXPECT_EQ(wrongPixels(map, target), 0);
    // The picture is the map's own: pixels put into a block surface behind
    // the map's back do not show, and lost blocks are filled again.
    const std::vector<uint32_t> drawn = pixelsOf(target);
    for (int k = 0; k < 6; ++k)
        map.blockSurface(k)->FillAll(0x1234);
    map.blockSurface(0)->MarkLost();
    map.blockSurface(2)->MarkLost();
    target.FillAll(kUntouched);
    ASSERT_EQ(map.draw(&target), 0);
    EXPECT_EQ(pixelsOf(target), drawn);
    EXPECT_FALSE(map.blockSurface(0)->GetStore()->isLost());
    EXPECT_FALSE(map.blockSurface(2)->GetStore()->isLost());

    // A window the target's clip cuts goes through the blitter: no lock.
    target.SetClipRect({0, 0, 39, 32});
    const int before = target.GetStore()->lockCalls();
    ASSERT_EQ(map.draw(&target), 0);
    EXPECT_EQ(target.GetStore()->lockCalls(), before);
}
