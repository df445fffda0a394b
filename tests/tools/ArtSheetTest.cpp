#include "tests/tools/BmpReader.h"
#include "tools/artgen/ArtPainters.h"
#include "tools/artgen/ArtSet.h"
#include "tools/artgen/ZoneThemes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

namespace {

// The whole set is painted once for all the tests that only look at it.
const std::map<std::string, ReadBmp>& art() {
    static const std::map<std::string, ReadBmp> files = [] {
        std::map<std::string, ReadBmp> out;
        for (const ArtFile& file : generateArt())
            out[(file.isBlockSheet ? "art/" : "Gfx/") + file.path] = readBmp(file.bytes);
        return out;
    }();
    return files;
}

const ReadBmp& picture(const std::string& name) {
    static const ReadBmp missing;
    auto it = art().find(name);
    return it == art().end() ? missing : it->second;
}

// The colours of the 20x20 cell whose top left corner is at (left, top).
std::vector<uint32_t> cellAt(const ReadBmp& bmp, int left, int top) {
    std::vector<uint32_t> out;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            out.push_back(bmp.at(left + x, top + y).colorRef());
    return out;
}

// The pixels of the 20x20 cell at (left, top) that are not the key.
int countNot(const ReadBmp& bmp, int left, int top, Rgb key) {
    const std::vector<uint32_t> cell = cellAt(bmp, left, top);
    return static_cast<int>(cell.size()) -
           static_cast<int>(std::count(cell.begin(), cell.end(), key.colorRef()));
}

// Blocks a and b of a sheet of 16 blocks a row look the same.
bool sameCell(const ReadBmp& bmp, int a, int b) {
    return cellAt(bmp, a % 16 * 20, a / 16 * 20) == cellAt(bmp, b % 16 * 20, b / 16 * 20);
}

int luma(Rgb c) {
    return (c.r * 3 + c.g * 6 + c.b) / 10;
}

// Checks a snake sheet: every cell's corner shows the key, the pictures
// hold their own pixels, growth stages shrink and bulges swell.
void expectSnakeSheet(const ReadBmp& sheet, Rgb key, const std::string& name) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(sheet.ok);
    ASSERT_EQ(sheet.width, 100);
    ASSERT_EQ(sheet.height, 80);
    for (int cy = 0; cy < 4; ++cy)
        for (int cx = 0; cx < 5; ++cx) {
            EXPECT_EQ(sheet.at(cx * 20, cy * 20), key) << "cell " << cx << "," << cy;
            EXPECT_EQ(sheet.at(cx * 20 + 19, cy * 20 + 19), key) << "cell " << cx << "," << cy;
            EXPECT_NE(sheet.at(cx * 20 + 10, cy * 20 + 10), key) << "cell " << cx << "," << cy;
        }
    for (int stage = 0; stage < 3; ++stage)
        EXPECT_GT(countNot(sheet, 0, 20 * stage, key), countNot(sheet, 0, 20 * stage + 20, key))
            << "growth stage " << stage;
    for (int frame = 0; frame < 4; ++frame)
        EXPECT_GE(countNot(sheet, 20 + 20 * frame, 40, key),
                  countNot(sheet, frame ? 20 * frame : 0, frame ? 40 : 0, key))
            << "bulge frame " << frame;
    // Each mouth state has its own picture in every direction.
    for (int direction = 0; direction < 4; ++direction) {
        const int x = 20 + 20 * direction;
        EXPECT_NE(cellAt(sheet, x, 0), cellAt(sheet, x, 20));
        EXPECT_NE(cellAt(sheet, x, 0), cellAt(sheet, x, 60));
        EXPECT_NE(cellAt(sheet, x, 20), cellAt(sheet, x, 60));
    }
}

} // namespace

TEST(ArtSet, PaintsTheSameBytesEveryRun) {
    const std::vector<ArtFile> first = generateArt();
    const std::vector<ArtFile> second = generateArt();
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].path, second[i].path);
        EXPECT_TRUE(first[i].bytes == second[i].bytes) << first[i].path;
    }
}

TEST(ArtSet, ScreenPicturesHaveTheirSizes) {
    const struct {
        const char* name;
        int width, height;
    } sizes[] = {
        {"Gfx/title.bmp", 640, 480}, {"Gfx/score.bmp", 640, 40}, {"Gfx/logo.bmp", 640, 100}};
    for (const auto& s : sizes) {
        const ReadBmp& bmp = picture(s.name);
        ASSERT_TRUE(bmp.ok) << s.name;
        EXPECT_EQ(bmp.bitsPerPixel, 24) << s.name;
        EXPECT_EQ(bmp.width, s.width) << s.name;
        EXPECT_EQ(bmp.height, s.height) << s.name;
    }
    // The display strip's two bands differ: the second marks first place.
    const ReadBmp& strip = picture("Gfx/score.bmp");
    int differing = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 640; ++x)
            differing += strip.at(x, y) != strip.at(x, y + 20);
    EXPECT_GT(differing, 640 * 10);
}

// The information panels are drawn keyed over the middle of the title
// picture in white and yellow: it stays dark and calm there.
TEST(ArtSet, TitlePictureKeepsThePanelAreaDark) {
    const ReadBmp& title = picture("Gfx/title.bmp");
    ASSERT_TRUE(title.ok);
    long sum = 0, count = 0, brightest = 0;
    for (int y = 200; y < 450; ++y)
        for (int x = 90; x < 550; ++x) {
            sum += luma(title.at(x, y));
            brightest = std::max<long>(brightest, luma(title.at(x, y)));
            ++count;
        }
    EXPECT_LT(sum / count, 40);
    EXPECT_LT(brightest, 160);
    // The sky above holds the name in bright letters.
    int bright = 0;
    for (int y = 0; y < 130; ++y)
        for (int x = 0; x < 430; ++x)
            bright += luma(title.at(x, y)) > 160;
    EXPECT_GT(bright, 5000);
}

TEST(ArtSet, HighScoreStampShowsOnlyItsShapeOverTheKey) {
    const ReadBmp& stamp = picture("Gfx/GoodScore.bmp");
    ASSERT_TRUE(stamp.ok);
    const int w = stamp.width, h = stamp.height;
    EXPECT_LE(w, 640);
    EXPECT_LE(h, 480);
    for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
        EXPECT_EQ(stamp.at(x, y), kGoodScoreKey);
    EXPECT_NE(stamp.at(w / 2, h / 2), kGoodScoreKey);
}

TEST(ArtSet, SnakeSheetsAreKeyedByTheirZoneColour) {
    expectSnakeSheet(picture("Gfx/items.bmp"), Rgb{0, 0, 0}, "items.bmp");
    for (const ZoneTheme& zone : zoneThemes()) {
        const std::string name = std::string("Gfx/snake_") + zone.directory + ".bmp";
        expectSnakeSheet(picture(name), zone.background, name);
    }
}

TEST(ArtSet, BlockSheetsHoldEveryBlockInItsCell) {
    std::set<std::vector<uint32_t>> floors;
    for (const ZoneTheme& zone : zoneThemes()) {
        const std::string name = std::string("art/") + zone.directory + "/blocks.bmp";
        SCOPED_TRACE(name);
        const ReadBmp& sheet = picture(name);
        ASSERT_TRUE(sheet.ok);
        EXPECT_EQ(sheet.bitsPerPixel, 24);
        ASSERT_EQ(sheet.width, 320);
        ASSERT_EQ(sheet.height, 40);
        // The snake's start blocks turn into floor, so they look like it.
        for (int block = 5; block <= 9; ++block)
            EXPECT_TRUE(sameCell(sheet, block, 1)) << "block " << block;
        // Everything else has a picture of its own.
        std::vector<int> distinct = {0, 1, 2, 3, 4, 10, 11, 12, 13};
        for (int block = 14; block < 32; ++block)
            distinct.push_back(block);
        for (size_t i = 0; i < distinct.size(); ++i)
            for (size_t j = i + 1; j < distinct.size(); ++j)
                EXPECT_FALSE(sameCell(sheet, distinct[i], distinct[j]))
                    << "blocks " << distinct[i] << " and " << distinct[j];
        floors.insert(cellAt(sheet, 20, 0));
    }
    EXPECT_EQ(floors.size(), zoneThemes().size()) << "each zone has a floor of its own";
}

TEST(ArtSet, ScreenPaletteKeepsTheFixedColours) {
    const ReadBmp& palette = picture("Gfx/items20.bmp");
    ASSERT_TRUE(palette.ok);
    EXPECT_EQ(palette.bitsPerPixel, 8);
    ASSERT_EQ(palette.palette.size(), 256u);
    EXPECT_EQ(palette.palette[0], (Rgb{0, 0, 0}));
    std::set<uint32_t> entries;
    for (const Rgb& c : palette.palette)
        entries.insert(c.colorRef());
    EXPECT_GT(entries.size(), 240u) << "the palette uses its room";
    for (Rgb fixed : {Rgb{255, 255, 255}, Rgb{255, 40, 20}, kGoodScoreKey})
        EXPECT_TRUE(entries.count(fixed.colorRef())) << fixed.colorRef();
    for (const ZoneTheme& zone : zoneThemes())
        EXPECT_TRUE(entries.count(zone.background.colorRef())) << zone.name;
    // The picture itself is the default snake sheet through the palette.
    EXPECT_EQ(palette.width, 100);
    EXPECT_EQ(palette.height, 80);
    EXPECT_EQ(palette.at(0, 0), (Rgb{0, 0, 0}));
}
