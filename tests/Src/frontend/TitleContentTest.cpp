#include "Src/frontend/TitleContent.h"

#include "Src/core/Application.h"
#include "Src/zones/LevelCatalogue.h"
#include "lib/Log.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

// The whole cycle shows in the title screen's test of its panels.
TEST(TitleContent, SetInfoPanelPhases) {
    const struct {
        int n, phase, frames;
        InfoPanel panel;
    } cases[] = {
        {0, 0, 50, InfoPanel::None},  {1, 1, 400, InfoPanel::HighScores},
        {2, 2, 50, InfoPanel::None},  {3, 3, 400, InfoPanel::Statistics},
        {4, 4, 50, InfoPanel::None},  {5, 5, 400, InfoPanel::Controls},
        {6, 0, 50, InfoPanel::None},  {99, 0, 50, InfoPanel::None},
        {-1, 0, 50, InfoPanel::None},
    };
    for (const auto& c : cases) {
        InfoPanelCycle cycle;
        cycle.setInfoPanel(c.n);
        EXPECT_EQ(cycle.phase(), c.phase) << c.n;
        EXPECT_EQ(cycle.countdown(), c.frames) << c.n;
        EXPECT_EQ(cycle.panel(), c.panel) << c.n;
    }
    // After a game the high scores show at once, for their full time.
    InfoPanelCycle cycle;
    cycle.setInfoPanel(1);
    for (int frame = 0; frame < 399; ++frame)
        ASSERT_EQ(cycle.advance(), InfoPanel::HighScores) << frame;
    EXPECT_EQ(cycle.advance(), InfoPanel::None);
}

TEST(TitleContent, SkillLabelsAndSteps) {
    const struct {
        int skill;
        const char* label;
        int next;
    } cases[] = {
        {0, "Skill = Easy", 1}, {1, "Skill = Normal", 2}, {2, "Skill = Hard", 0},
        {3, "Skill = ", 0},     {-1, "Skill = ", 0},
    };
    for (const auto& c : cases) {
        String label;
        makeSkillLabel(c.skill, label);
        EXPECT_STREQ(label.c_str(), c.label) << c.skill;
        EXPECT_EQ(nextSkill(c.skill), c.next) << c.skill;
    }
    EXPECT_EQ(skillName(3), nullptr);
    EXPECT_STREQ(skillName(1), "Normal");
}

TEST(TitleContent, ZoneLabelNamesTheZoneOrNothing) {
    TempDir dir;
    gameLog.open(dir.file("log.txt").c_str());
    errorLog.open(dir.file("errorLog.txt").c_str());
    dir.write("Levels/one/level.txt", "<Zone>Name=\"Green Hills\";Author=Ann;Skill=1;\n</Zone>\n");
    dir.write("Levels/two/level.txt", "<Zone>Skill=2;\n</Zone>\n");
    LevelCatalogue catalogue;
    ASSERT_TRUE(catalogue.scanZones((dir.path() + "/Levels").c_str())) << dir.read("errorLog.txt");
    const struct {
        int zone;
        const char* label;
    } cases[] = {{0, "Zone = Green Hills"}, {1, "Zone = two"}, {2, "Zone = "}, {-1, "Zone = "}};
    for (const auto& c : cases) {
        String label;
        makeZoneLabel(catalogue, c.zone, label);
        EXPECT_STREQ(label.c_str(), c.label) << c.zone;
    }
    gameLog.close();
    errorLog.close();
}

// The welcome text counts the zones and levels the game ships.
TEST(TitleContent, WelcomeTextCountsTheShippedLevels) {
    int zones = 0, levels = 0;
    for (const auto& zone : std::filesystem::directory_iterator(LURVANE_LEVEL_SOURCE_DIR)) {
        if (!zone.is_directory())
            continue;
        ++zones;
        for (const auto& file : std::filesystem::directory_iterator(zone.path()))
            levels += file.path().extension() == ".lvl";
    }
    const std::string counts =
        std::to_string(zones) + " zones with " + std::to_string(levels) + " levels";
    EXPECT_NE(std::string(kWelcomeText).find(counts), std::string::npos) << counts;
}
