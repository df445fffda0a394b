#include "Src/app/GameSystems.h"
#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/TextStyles.h"
#include "gfx/GfxScreen.h"
#include "gfx/HeadlessPlatform.h"
#include "lib/Log.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>

namespace {

class NoWindowPlatform : public HeadlessPlatform {
public:
    bool createWindow(const char*, int, int) override { return false; }
};

// Each run in a scratch directory of its own; the logs closed after it.
class Entry : public ::testing::Test {
protected:
    void TearDown() override {
        gameLog.close();
        errorLog.close();
    }

    TempDir dir;
    ScopedWorkingDir cwd{dir.path()};
};

} // namespace

TEST_F(Entry, ARunEmptiesTheLogsRegistersModulesAndEndsInOrderOnClose) {
    writeFile("log.txt", "from an earlier run\n");
    writeFile("errorLog.txt", "old errors\n");
    dir.write("Data/Levels/one/level.txt", "");

    HeadlessPlatform platform;
    currentZone = 5;
    // Without a title picture the front end ends at once, and the program
    // with a failure status.
    for (int i = 0; i < 3; ++i)
        platform.pushEvent(PlatformEvent::MouseMotion);
    platform.pushEvent(PlatformEvent::CloseRequest);
    EXPECT_EQ(runLurvane(platform), 1);

    EXPECT_EQ(platform.windowTitle(), "Lurvane");
    EXPECT_FALSE(platform.hasWindow());
    EXPECT_EQ(currentZone, 0);
    EXPECT_EQ(app.screen, nullptr);
    EXPECT_EQ(app.backSurface, nullptr);
    EXPECT_EQ(readFile("errorLog.txt"),
              "SoundSystem: could not read '.\\Data\\sound.txt', playing no sounds\n");
    const std::string log = readFile("log.txt");
    const std::string added = "GameModuleManager:: adding 'HighScoreManager'\n"
                              "GameModuleManager:: adding 'MenuBoxManager'\n"
                              "GameModuleManager:: adding 'InputManager'\n"
                              "\nSearching for Levels...\n"
                              "reading Zone : dirname='one', pathname='.\\Data\\Levels\\one'\n"
                              "\treadingZoneHeader (file=.\\Data\\Levels\\one/level.txt)\n"
                              "\n";
    const std::string removed = "GameModuleManager:: removing 'InputManager'\n"
                                "GameModuleManager:: removing 'MenuBoxManager'\n"
                                "GameModuleManager:: removing 'HighScoreManager'\n";
    EXPECT_EQ(log.substr(0, added.size()), added);
    ASSERT_GE(log.size(), removed.size());
    EXPECT_EQ(log.substr(log.size() - removed.size()), removed);
    EXPECT_EQ(countOf(log, "adding"), 3);
}

TEST_F(Entry, AFailedStartUpIsReportedAndShutsDownWhatExists) {
    NoWindowPlatform platform;
    EXPECT_EQ(runLurvane(platform), 1);
    const std::string log = readFile("log.txt");
    EXPECT_NE(log.find("could not create the main window\n"), std::string::npos);
    EXPECT_NE(log.find("could not initialize application"), std::string::npos);
    EXPECT_NE(log.find("Could not set windowed mode 640x480\n"), std::string::npos);
    // The front end still comes up and reports the missing title picture.
    EXPECT_NE(log.find("Could not load titlepic '.\\Data\\Gfx\\title.bmp'\n"), std::string::npos);
    EXPECT_EQ(countOf(log, "adding"), countOf(log, "removing"));
    EXPECT_EQ(app.screen, nullptr);
}

TEST_F(Entry, ABrokenSoundFileEndsTheProgramInOrderWithTheReadersMessage) {
    ::mkdir("Data", 0755);
    writeFile("Data/sound.txt", "// sounds\n3 = {\n  Type = Music;\n}\n");
    HeadlessPlatform platform;
    EXPECT_EQ(runLurvane(platform), 1);

    const std::string message =
        "\n\nError in Textfile! Line=3 : Syntax Error : Sample,SampleLoop or Song expected for "
        "value of Type\n";
    const std::string log = readFile("log.txt");
    EXPECT_NE(log.find(message), std::string::npos);
    EXPECT_EQ(countOf(log, "adding"), countOf(log, "removing"));
    EXPECT_EQ(app.backSurface, nullptr);
}
