// The shipped help and credits files: every page fits the screen below the
// logo when measured with the fonts the pages are drawn in.
#include "Src/frontend/TextPages.h"

#include "Src/zones/LevelCatalogue.h"
#include "gfx/GfxFont.h"
#include "lib/Log.h"
#include "tests/support/TempDir.h"
#include "tools/levelc/LevelSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// The page box: a 4-pixel frame, 10-pixel side margins, 5 pixels above and
// below the title, lines 2 pixels closer than their height.
constexpr int kFrame = 4, kMarginX = 10, kMarginY = 0, kTitleGap = 5, kLineSpacing = -2;
constexpr int kLogoHeight = 100;

struct Measured {
    int width = 0, height = 0;
};

Measured measure(const GfxFont& font, const char* text) {
    Measured m;
    EXPECT_TRUE(font.measure(text, static_cast<int>(std::string(text).size()), m.width, m.height));
    return m;
}

Measured pageSize(const TextPage& page, const GfxFont& titleFont, const GfxFont& textFont) {
    int w = 0, h = 0;
    if (page.hasTitle) {
        const Measured t = measure(titleFont, page.title.isEmpty() ? " " : page.title.c_str());
        w = t.width;
        h = t.height;
    }
    for (int i = 0; i < page.lines.size(); ++i) {
        const Measured m = measure(textFont, page.lines[i]->text.c_str());
        w = std::max(w, m.width);
        h += m.height + kLineSpacing;
    }
    if (page.lines.size() > 0)
        h -= kLineSpacing;
    Measured box{w + 2 * (kMarginX + kFrame), h + 2 * (kMarginY + kFrame)};
    if (page.hasTitle)
        box.height += 2 * kTitleGap;
    return box;
}

std::string fileText(const std::string& name) {
    return readFile(std::string(LURVANE_TEXT_DIR) + "/" + name);
}

} // namespace

TEST(TextPageFiles, EveryPageFitsBelowTheLogo) {
    const std::unique_ptr<GfxFont> titleFont(GfxFont::create("Arial Black", 0, 20, 400));
    const std::unique_ptr<GfxFont> textFont(GfxFont::create("Times New Roman", 0, 18, 400));
    ASSERT_TRUE(titleFont && textFont);
    for (const char* name : {"help.txt", "credits.txt"}) {
        SCOPED_TRACE(name);
        const std::string text = fileText(name);
        ASSERT_FALSE(text.empty());
        // Nothing may fall to the ten-page cut.
        int breaks = 0;
        for (size_t at = text.find("\r\n<p>\r\n"); at != std::string::npos;
             at = text.find("\r\n<p>\r\n", at + 1))
            ++breaks;
        EXPECT_LE(breaks, TextPages::kMaxPages - 1);
        TextPages pages;
        pages.parse(text.data(), static_cast<int>(text.size()));
        EXPECT_EQ(pages.pageCount(), breaks + 1);
        for (int p = 0; p < pages.pageCount(); ++p) {
            const TextPage& page = pages.page(p);
            EXPECT_TRUE(page.hasTitle) << "page " << p + 1;
            EXPECT_GT(page.lines.size(), 0) << "page " << p + 1;
            const Measured box = pageSize(page, *titleFont, *textFont);
            std::printf("%s page %d: %d x %d\n", name, p + 1, box.width, box.height);
            EXPECT_LE(box.width, 640) << "page " << p + 1;
            EXPECT_LE(box.height, 480 - kLogoHeight) << "page " << p + 1;
        }
    }
}

TEST(TextPageFiles, ShowTheirPercentSignsAndKeepTheirLayout) {
    const std::string help = fileText("help.txt");
    TextPages pages;
    pages.parse(help.data(), static_cast<int>(help.size()));
    // Every line of the source ends in CR LF, so blank lines stay blank.
    EXPECT_EQ(help.find("\n\n"), std::string::npos);
    EXPECT_EQ(help.find_first_of('\n') - 1, help.find_first_of('\r'));
    bool percentShown = false;
    for (int p = 0; p < pages.pageCount(); ++p)
        for (int i = 0; i < pages.page(p).lines.size(); ++i) {
            const std::string line = pages.page(p).lines[i]->text.c_str();
            EXPECT_EQ(line.find("%%"), std::string::npos) << line;
            percentShown |= line.find('%') != std::string::npos;
        }
    EXPECT_TRUE(percentShown) << "the wall character of the level example";
}

namespace {

// The lines of the help page whose heading is the given text.
std::vector<std::string> helpPage(const std::string& heading) {
    const std::string help = fileText("help.txt");
    TextPages pages;
    pages.parse(help.data(), static_cast<int>(help.size()));
    for (int p = 0; p < pages.pageCount(); ++p) {
        const TextPage& page = pages.page(p);
        if (page.lines.size() == 0 || page.lines[0]->text != heading.c_str())
            continue;
        std::vector<std::string> lines;
        for (int i = 1; i < page.lines.size(); ++i)
            lines.push_back(page.lines[i]->text.c_str());
        return lines;
    }
    return {};
}

} // namespace

// The worked example of the help pages does what the pages say.
TEST(TextPageFiles, HelpExampleZoneAndLevelWork) {
    const std::vector<std::string> zoneLines = helpPage("A level.txt");
    ASSERT_FALSE(zoneLines.empty());
    std::string levelTxt;
    for (const std::string& line : zoneLines)
        levelTxt += line + "\r\n";
    TempDir dir;
    gameLog.open(dir.file("log.txt").c_str());
    errorLog.open(dir.file("errorLog.txt").c_str());
    dir.write("Levels/myzone/level.txt", levelTxt);
    LevelCatalogue catalogue;
    ASSERT_TRUE(catalogue.scanZones((dir.path() + "/Levels").c_str())) << dir.read("errorLog.txt");
    gameLog.close();
    errorLog.close();
    ASSERT_EQ(catalogue.getZoneCount(), 1);
    EXPECT_STREQ(catalogue.getZoneDisplayName(0), "Isle (by Me)");
    // The background colour of the snake pictures named.
    EXPECT_EQ(catalogue.getZoneBackColour(0), 14u | 36u << 8 | 80u << 16);
    ASSERT_EQ(catalogue.getLevelCount(0), 1);
    EXPECT_EQ(catalogue.getLevel(0, 1)->time(0), 60);
    EXPECT_EQ(catalogue.getLevel(0, 1)->incSpeed(2), 3);

    const std::vector<std::string> mapLines = helpPage("Making maps with the level compiler");
    std::string source;
    std::vector<std::string> rows;
    bool inSource = false;
    int walls = 0;
    for (const std::string& line : mapLines) {
        inSource |= line.rfind("; ", 0) == 0;
        if (!inSource)
            continue;
        source += line + "\n";
        if (line.rfind("####", 0) == 0 || !rows.empty())
            rows.push_back(line);
        if (line.rfind("####", 0) == 0 && ++walls == 2)
            break;
    }
    LevelSource level;
    std::string error;
    ASSERT_TRUE(parseLevelSource(source, level, error)) << error;
    EXPECT_TRUE(checkLevelPlayable(level, error)) << error;
    EXPECT_EQ(level.width, 12);
    EXPECT_EQ(level.height, 6);
    // In the page's proportional letters every row ends under the wall row.
    const std::unique_ptr<GfxFont> textFont(GfxFont::create("Times New Roman", 0, 18, 400));
    ASSERT_TRUE(textFont);
    const int wallWidth = measure(*textFont, rows.front().c_str()).width;
    for (const std::string& row : rows)
        EXPECT_NEAR(measure(*textFont, row.c_str()).width, wallWidth, 4) << row;
}
