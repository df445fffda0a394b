// What the front-end tests set up: the game's pictures, three zones
// (Alpha, Beta, Gamma of skills 1, 2, 3), the headless window and screen,
// the text styles, the modules the title screen uses and fresh settings.
#pragma once

#include "tests/support/HeadlessApp.h"

#include "Src/app/GameSystems.h"
#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/InputManager.h"
#include "Src/core/TextStyles.h"
#include "Src/frontend/TitleBackground.h"
#include "Src/frontend/TitleScreen.h"
#include "Src/menus/MenuBoxManager.h"
#include "Src/records/HighScoreManager.h"
#include "Src/records/HighScorePanel.h"
#include "Src/records/Settings.h"
#include "Src/zones/LevelCatalogue.h"
#include "lib/Log.h"
#include "sound/SoundSystem.h"
#include "tests/support/TempDir.h"
#include "widgets/TextBox.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class TitleScreenFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!copyGamePictures(dir, {"title.bmp", "logo.bmp"}))
            GTEST_SKIP() << "no game data built";
        zone("Alpha", 1);
        zone("Beta", 2);
        zone("Gamma", 3);
        cwd = std::make_unique<ScopedWorkingDir>(dir.path());
        gameLog.open("log.txt");
        errorLog.open("errorLog.txt");
        ASSERT_NO_FATAL_FAILURE(openHeadlessApp(platform, screen, back));
        app.framesPerSecond = 55;
        setUpTextStyles(app.screen);
        TextBox::setDefaultTarget(app.backSurface);
        highScoreManager = new HighScoreManager;
        menuBoxManager = new MenuBoxManager;
        inputManager = new InputManager;
        ASSERT_TRUE(inputManager->init(&platform));
        options = Options();
        options.titleMusic = false;
        statistics = Statistics();
        pendingHighlight = PendingHighlight();
        currentZone = 0;
        currentSkill = kSkillEasy;
        ASSERT_TRUE(levelCatalogue.scanZones());
    }
    void TearDown() override {
        leaveTitleScreen();
        delete inputManager;
        inputManager = nullptr;
        delete menuBoxManager;
        menuBoxManager = nullptr;
        delete highScoreManager;
        highScoreManager = nullptr;
        if (soundSystem)
            soundSystem->Close();
        delete soundSystem;
        soundSystem = nullptr;
        levelCatalogue.clearZones();
        TextBox::setDefaultTarget(nullptr);
        app = ApplicationState();
        gameLog.close();
        errorLog.close();
    }

    void zone(const std::string& name, int skill) {
        dir.write("Data/Levels/" + name + "/level.txt",
                  "<Zone>\nName=\"" + name + "\"\nSkill=" + std::to_string(skill) + "\n</Zone>\n");
    }
    // Safety net: the loops end once this many frames have been presented,
    // whatever happens.
    void limitFrames(int frames) { platform.closeAtFrame(frames); }

    TempDir dir;
    std::unique_ptr<ScopedWorkingDir> cwd;
    HeadlessPlatform platform;
    std::unique_ptr<GfxScreen> screen;
    std::unique_ptr<GfxSurface> back;
};
