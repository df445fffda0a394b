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
#include "Src/frontend/TextPageScreen.h"
#include "Src/frontend/TitleBackground.h"
#include "Src/frontend/TitleScreen.h"
#include "Src/menus/MenuBox.h"
#include "Src/menus/MenuBoxManager.h"
#include "Src/records/HighScoreManager.h"
#include "Src/records/HighScorePanel.h"
#include "Src/records/Settings.h"
#include "Src/zones/LevelCatalogue.h"
#include "lib/Log.h"
#include "tests/support/KeyScript.h"
#include "tests/support/MenuSounds.h"
#include "tests/support/TempDir.h"
#include "widgets/TextBox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

inline std::string entriesOf(const MenuBox* menu) {
    std::string text;
    for (int i = 0; menu && i < menu->entryCount(); ++i)
        text += std::string(i ? "," : "") + menu->entry(i).text.c_str();
    return text;
}

// Whether the title's information panel kept counting down under each menu.
struct PanelWatch {
    void note(const MenuBox* top) {
        if (top)
            seen[top->title().text.c_str()].insert(panelCountdown());
    }
    void report(std::ostream& out, size_t atLeast) {
        for (const auto& [title, values] : seen)
            out << "  " << title << " saw " << (values.size() > atLeast ? "the" : "NO")
                << " panel countdown move\n";
        seen.clear();
    }
    std::map<std::string, std::set<int>> seen; // by the menu on top
};

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
        // The panel cycle outlives a title screen: start each test on the first panel.
        setInfoPanel(0);
        currentZone = 0;
        currentSkill = kSkillEasy;
        ASSERT_TRUE(levelCatalogue.scanZones());
        ASSERT_NO_FATAL_FAILURE(recordMenuSounds(dir, recording));
        platform.closeAtFrame(5000); // safety net: whatever happens, the loops end
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
    // Keys from the next frame on, as KeyScript.h reads them; other words
    // act at their frame (see act), those at the start before the run.
    void script(const std::string& keys) {
        const int start = platform.framesPresented();
        playKeys(platform, start, keys, 10, [this, start](const std::string& word, int frame) {
            if (frame == start)
                act(word);
            else
                actions.insert({frame, word});
            return 0;
        });
    }
    virtual void act(const std::string& word) {
        if (word == "close:")
            platform.closeAtFrame(platform.framesPresented());
        else if (word == "music:on" || word == "music:off")
            options.titleMusic = word == "music:on";
        else if (word.rfind("zone:", 0) == 0)
            zone(word.substr(5), 4);
        else if (word.rfind("drop:", 0) == 0)
            std::filesystem::remove_all(dir.file(word.substr(5)));
        else if (word.rfind("broken:", 0) == 0) // a zone without its end tag
            dir.write("Data/Levels/" + word.substr(7) + "/level.txt", "<Zone>\nName=\"x\"\n");
        else if (word.rfind("pages:", 0) == 0)
            dir.write("Data/Text/" + word.substr(6) + ".txt", "Title\nOne\n<p>\nTwo\n");
        else if (word.rfind("best:", 0) == 0)
            highScoreManager->getList(currentSkill, 0)->insert(word.substr(5).c_str(), 99999);
        else
            ADD_FAILURE() << "no action " << word;
    }
    // What the front end shows, written down in each frame that changes it:
    // the menu on top, the zone and skill entries, the best score shown,
    // the information panel, the text page, the rate and a hidden cursor.
    std::string state() {
        MenuBox* top = menuBoxManager->top();
        std::ostringstream s;
        s << menuBoxManager->stackSize() << " menus";
        int left = 0, y = 0;
        if (top && (top->position(left, y), true))
            s << ", " << top->title().text.c_str() << " at " << left << "," << y
              << (top->wrap ? " wrap" : "") << (top->centred ? " centred" : "") << ": "
              << entriesOf(top) << " on " << top->selected;
        if (titleMainMenu() && top != titleMainMenu())
            s << ", " << entry(1) << ", " << entry(2);
        if (HighScorePanel* panel = titleHighScorePanel(); panel && panel->column(1).lineCount())
            s << ", best " << panel->column(1).line(0).text.c_str();
        s << ", panel " << infoPanel();
        if (textPageCount() > 0)
            s << ", page " << textPageIndex() + 1 << "/" << textPageCount();
        s << ", " << app.framesPerSecond << " fps"
          << (platform.cursorVisible() ? "" : ", no cursor");
        return s.str();
    }
    // Runs the front end on the script, with a transcript of what changed,
    // frame by frame, and how it ended.
    void frontEnd(const std::string& name, const std::string& keys) {
        out << "== " << name << "\n";
        const int start = platform.framesPresented();
        const size_t logged = readFile("log.txt").size();
        script(keys);
        std::string last;
        eachFrame([&](int frame) {
            for (auto [at, end] = actions.equal_range(frame); at != end; ++at)
                act(at->second);
            if (watch)
                watch(frame);
            panelWatch.note(menuBoxManager->top());
            const std::string now = state();
            if (now != last)
                out << "  " << frame - start << ": " << now << "\n";
            last = now;
        });
        const bool started = runTitleScreen();
        eachFrame(nullptr);
        actions.clear();
        const char* results[] = {"running", "escape", "", "choice", "", "quit"};
        out << "  ended" << (started ? " to play," : "") << " result " << results[app.loopResult]
            << (app.quitPosted ? " quit posted" : "") << " after "
            << platform.framesPresented() - start << " frames, " << state() << ", zone "
            << currentZone << " skill " << currentSkill << ", " << platform.messageBoxes().size()
            << " message boxes, " << menuSoundsOf(recording) << "\n";
        std::istringstream log(readFile("log.txt").substr(logged));
        for (std::string line; std::getline(log, line);)
            if (line.find("Could not") != std::string::npos || line.find("Search") == 0)
                out << "  logged " << line << "\n";
        panelWatch.report(out, 5);
    }
    // The main menu's entry, or nothing while it is closed.
    std::string entry(int index) const {
        MenuBox* menu = titleMainMenu();
        return menu ? menu->entry(index).text.c_str() : "";
    }
    // Calls what once per frame while the loops run.
    void eachFrame(std::function<void(int frame)> what) { platform.afterPresent = what; }

    std::ostringstream out;
    std::multimap<int, std::string> actions; // by frame
    PanelWatch panelWatch;
    std::function<void(int frame)> watch; // called in each frame of frontEnd
    TempDir dir;
    std::unique_ptr<ScopedWorkingDir> cwd;
    HeadlessPlatform platform;
    std::unique_ptr<GfxScreen> screen;
    std::unique_ptr<GfxSurface> back;
    RecordingSoundBackEnd recording; // outlives the sound system
};
