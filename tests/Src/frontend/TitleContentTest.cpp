#include "Src/frontend/TitleContent.h"

#include "Src/core/Application.h"
#include "Src/zones/LevelCatalogue.h"
#include "lib/Log.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

// The information panel of each phase and for how long; the skill labels
// and steps; the zone labels, by name or folder, empty for no zone. The
// whole cycle shows in the title screen's test of its panels.
TEST(TitleContent, PanelsAndLabels) {
    std::ostringstream out;
    for (int n : {0, 1, 2, 3, 4, 5, 6, 99, -1}) {
        InfoPanelCycle cycle;
        cycle.setInfoPanel(n);
        out << "panel " << n << ": phase " << cycle.phase() << ", " << cycle.countdown()
            << " frames of " << static_cast<int>(cycle.panel()) << "\n";
    }
    for (int skill : {0, 1, 2, 3, -1}) {
        String label;
        makeSkillLabel(skill, label);
        out << "skill " << skill << ": " << label.c_str() << ", then " << nextSkill(skill)
            << ", named " << (skillName(skill) ? skillName(skill) : "nothing") << "\n";
    }
    TempDir dir;
    gameLog.open(dir.file("log.txt").c_str());
    errorLog.open(dir.file("errorLog.txt").c_str());
    dir.write("Levels/one/level.txt", "<Zone>Name=\"Green Hills\";Author=Ann;Skill=1;\n</Zone>\n");
    dir.write("Levels/two/level.txt", "<Zone>Skill=2;\n</Zone>\n");
    LevelCatalogue catalogue;
    ASSERT_TRUE(catalogue.scanZones((dir.path() + "/Levels").c_str())) << dir.read("errorLog.txt");
    for (int zone : {0, 1, 2, -1}) {
        String label;
        makeZoneLabel(catalogue, zone, label);
        out << "zone " << zone << ": " << label.c_str() << "\n";
    }
    gameLog.close();
    errorLog.close();
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/title_content.txt", out.str());
    // After a game the high scores show at once, for their full time.
    InfoPanelCycle cycle;
    cycle.setInfoPanel(1);
    for (int frame = 0; frame < 399; ++frame)
        ASSERT_EQ(cycle.advance(), InfoPanel::HighScores) << frame;
    EXPECT_EQ(cycle.advance(), InfoPanel::None);
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
