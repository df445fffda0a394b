// What the front-end tests set up: the game's pictures, three zones
// (Alpha, Beta, Gamma of skills 1, 2, 3), the headless window and screen,
// the text styles, the modules the title screen uses and fresh settings;
// and the scripted keys and recorded sounds they drive the screens with.
#pragma once

#include "tests/support/HeadlessApp.h"

#include "Src/app/GameSystems.h"
#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/InputManager.h"
#include "Src/core/TextStyles.h"
#include "Src/frontend/TitleBackground.h"
#include "Src/frontend/TitleScreen.h"
#include "Src/menus/MenuBox.h"
#include "Src/menus/MenuBoxManager.h"
#include "Src/records/HighScoreManager.h"
#include "Src/records/HighScorePanel.h"
#include "Src/records/Settings.h"
#include "Src/zones/LevelCatalogue.h"
#include "lib/Log.h"
#include "tests/support/MenuSounds.h"
#include "tests/support/TempDir.h"
#include "widgets/TextBox.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

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
        limitFrames(600);
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
    void key(int frame, int scanCode, bool down) { platform.keyAtFrame(frame, scanCode, down); }
    void click(int frame, int x, int y) { platform.clickAtFrame(frame, x, y); }
    void tap(int frame, int scanCode) {
        key(frame, scanCode, true);
        key(frame + 2, scanCode, false);
    }
    // Taps the keys one after another, ten frames apart, from the given
    // frame counted from now.
    void taps(int frame, std::initializer_list<int> scanCodes) {
        frame += platform.framesPresented();
        for (int scanCode : scanCodes) {
            tap(frame, scanCode);
            frame += 10;
        }
    }
    // The main menu's entry, or nothing while it is closed.
    std::string entry(int index) const {
        MenuBox* menu = titleMainMenu();
        return menu ? menu->entry(index).text.c_str() : "";
    }
    // Adds value to the list when it differs from the last one.
    static void note(std::vector<std::string>& seen, const std::string& value) {
        if (!value.empty() && (seen.empty() || seen.back() != value))
            seen.push_back(value);
    }
    // Calls what once per frame while the loops run.
    void eachFrame(std::function<void(int frame)> what) { platform.afterPresent = what; }

    void recordSounds() { recordMenuSounds(dir, recording); }
    // The samples played since the last call, 'm' or 'c' each; the other
    // calls to the back end go to rest.
    std::string menuSounds(std::string* rest = nullptr) { return menuSoundsOf(recording, rest); }

    TempDir dir;
    std::unique_ptr<ScopedWorkingDir> cwd;
    HeadlessPlatform platform;
    std::unique_ptr<GfxScreen> screen;
    std::unique_ptr<GfxSurface> back;
    RecordingSoundBackEnd recording; // outlives the sound system
};

inline std::string entriesOf(const MenuBox* menu) {
    std::string text;
    for (int i = 0; menu && i < menu->entryCount(); ++i)
        text += std::string(i ? "," : "") + menu->entry(i).text.c_str();
    return text;
}
