// A whole game set up for tests of what happens around the levels: a small
// zone compiled into a temporary data directory, the game's pictures, the
// modules the screens use, a recording sound back end and a script of key
// presses frame by frame through the real loop.
#pragma once

#include "Src/app/GameSystems.h"
#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/InputManager.h"
#include "Src/core/TextStyles.h"
#include "Src/game/GameManager.h"
#include "Src/game/SegmentPool.h"
#include "Src/menus/MenuBoxManager.h"
#include "Src/records/HighScoreManager.h"
#include "Src/records/HighScorePanel.h"
#include "Src/records/Settings.h"
#include "Src/zones/LevelCatalogue.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "lib/Log.h"
#include "sound/RecordingSoundBackEnd.h"
#include "sound/SoundSystem.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/ScanCodes.h"
#include "tests/support/TempDir.h"
#include "tests/support/ZoneFiles.h"
#include "widgets/TextBox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace played {

class PlayedGame : public ::testing::Test {
protected:
    void SetUp() override {
        if (!copyGamePictures(dir, {"score.bmp", "items20.bmp", "items.bmp", "GoodScore.bmp"}))
            GTEST_SKIP() << "no game data built";
        cwd = std::make_unique<ScopedWorkingDir>(dir.path());
        gameLog.open("log.txt");
        errorLog.open("errorLog.txt");
        ASSERT_NO_FATAL_FAILURE(openHeadlessApp(platform, screen, back));
        TextBox::setDefaultTarget(app.backSurface);
        setUpTextStyles(app.screen);
        if (!segmentPool)
            segmentPool = new SegmentPool;
        highScoreManager = new HighScoreManager;
        menuBoxManager = new MenuBoxManager;
        MenuBoxManager::inputState() = MenuInputState();
        inputManager = new InputManager;
        ASSERT_TRUE(inputManager->init(&platform));
        inputManager->setKeySet(0, &options.player1Keys);
        statistics = Statistics();
        options = Options();
        options.titleMusic = false;
        options.soundEffects = false;
        lastPlayerName = "";
        pendingHighlight = PendingHighlight();
        currentZone = 0;
        currentSkill = kSkillEasy;
        gameManager = &game;
    }
    void TearDown() override {
        gameManager = nullptr;
        if (soundSystem) {
            soundSystem->Close();
            delete soundSystem;
            soundSystem = nullptr;
        }
        delete inputManager;
        inputManager = nullptr;
        delete menuBoxManager;
        menuBoxManager = nullptr;
        delete highScoreManager;
        highScoreManager = nullptr;
        levelCatalogue.clearZones();
        TextBox::setDefaultTarget(nullptr);
        app = ApplicationState();
        gameLog.close();
        errorLog.close();
    }

    // Every game event gets a sample eN.wav of its own and event 16 the song
    // e16.mod, so the recording back end shows which events were raised.
    void recordSounds() {
        std::string text;
        for (int n = 1; n <= 21; ++n) {
            const bool song = n == 16;
            const std::string file = "e" + std::to_string(n) + (song ? ".mod" : ".wav");
            dir.write(file, song ? "MOD" : "RIFF");
            text += std::to_string(n) + " = {\n Type = " + (song ? "Song" : "Sample") +
                    ";\n File = " + file + ";\n}\n";
        }
        dir.write("sound.txt", text);
        delete soundSystem;
        soundSystem = new SoundSystem(sounds);
        String error;
        ASSERT_TRUE(soundSystem->Init("sound.txt", error)) << error.c_str();
        sounds.takeCalls();
    }
    // The played files and pauses of the calls since the last look.
    std::string soundsPlayed() {
        std::string out;
        const std::string calls = sounds.takeCalls().c_str();
        size_t start = 0;
        while (start < calls.size()) {
            const size_t end = calls.find('\n', start);
            const std::string line = calls.substr(start, end - start);
            start = end + 1;
            if (line.rfind("playSample ", 0) == 0)
                out += line.substr(0, line.find(" ->")) + ";";
            else if (line.rfind("playSong ", 0) == 0 || line.rfind("setPaused ", 0) == 0)
                out += line + ";";
        }
        return out;
    }

    void tap(int frame, int scanCode) { tapKey(platform, frame, scanCode); }
    // A key press that types text, as the layout gives it.
    void type(int frame, int scanCode, const char* text) {
        tapKey(platform, frame, scanCode, text);
    }
    // Frames of an empty loop past the frame, so that no key of a script
    // reaches the next game; the window's close request is let go.
    void finishScript(int until) {
        LoopCallbacks idle;
        idle.frame = [&] {
            if (frame() > until + 2)
                app.loopResult = kLoopChoice;
        };
        for (int i = 0; i < 3 && frame() <= until + 2; ++i) {
            app.quitPosted = false;
            winloop(idle, true);
        }
        app.quitPosted = false;
    }
    static const char* loopResultName(int result) {
        static const char* const kNames[] = {
            "running", "escape",     "init failed", "choice",         "level completed",
            "quit",    "snake lost", "game over",   "zone completed", "key config"};
        return result >= 0 && result <= kLoopKeyConfig ? kNames[result] : "?";
    }
    void limitFrames(int frames) { platform.closeAtFrame(frames); }
    int frame() const { return platform.framesPresented(); }

    TempDir dir;
    std::unique_ptr<ScopedWorkingDir> cwd;
    HeadlessPlatform platform{1};
    std::unique_ptr<GfxScreen> screen;
    std::unique_ptr<GfxSurface> back;
    RecordingSoundBackEnd sounds;
    GameManager game;
};

} // namespace played
