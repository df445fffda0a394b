// The shipped help and credits files: every page fits the screen below the
// logo when measured with the fonts the pages are drawn in.
#include "Src/frontend/TextPages.h"

#include "Src/core/TextStyles.h"
#include "Src/zones/LevelCatalogue.h"
#include "gfx/GfxFont.h"
#include "lib/Log.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/TempDir.h"
#include "tools/levelc/LevelSource.h"
#include "widgets/TextBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string fileText(const std::string& name) {
    return readFile(std::string(LURVANE_TEXT_DIR) + "/" + name);
}

int widthOf(const GfxFont& font, const std::string& text) {
    int width = 0, height = 0;
    EXPECT_TRUE(font.measure(text.c_str(), static_cast<int>(text.size()), width, height));
    return width;
}

} // namespace

// Each page made into the box the pages screen draws.
TEST(TextPageFiles, EveryPageFitsBelowTheLogo) {
    HeadlessPlatform platform;
    std::unique_ptr<GfxScreen> screen;
    std::unique_ptr<GfxSurface> back;
    ASSERT_NO_FATAL_FAILURE(openHeadlessApp(platform, screen, back));
    setUpTextStyles(app.screen);
    for (const char* name : {"help.txt", "credits.txt"}) {
        SCOPED_TRACE(name);
        const std::string text = fileText(name);
        ASSERT_FALSE(text.empty());
        // Every line ends in CR LF, so blank lines stay blank.
        EXPECT_EQ(text.find("\n\n"), std::string::npos);
        EXPECT_EQ(text.find_first_of('\n') - 1, text.find_first_of('\r'));
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
            SCOPED_TRACE(p + 1);
            const TextPage& page = pages.page(p);
            EXPECT_TRUE(page.hasTitle);
            EXPECT_GT(page.lines.size(), 0);
            TextList box(app.screen, textPageStyle);
            box.setTitle(page.title.c_str());
            for (int i = 0; i < page.lines.size(); ++i)
                box.addLine(page.lines[i]->text.c_str());
            int width = 0, height = 0;
            ASSERT_TRUE(box.getSize(width, height));
            EXPECT_LE(width, 640);
            EXPECT_LE(height, 480 - 100); // below the logo
        }
    }
    app = ApplicationState();
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
    const int wallWidth = widthOf(*textFont, rows.front());
    for (const std::string& row : rows)
        EXPECT_NEAR(widthOf(*textFont, row), wallWidth, 4) << row;
}
