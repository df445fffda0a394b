// The options menu and the key configuration through the real loop, as a
// transcript of what each frame showed and what each run left.
#include "Src/frontend/OptionsMenu.h"
#include "tests/support/Golden.h"
#include "tests/support/KeyScript.h"
#include "tests/support/MenuSounds.h"
#include "tests/support/PadScript.h"
#include "tests/support/TitleScreenFixture.h"

#include <map>
#include <sstream>

namespace {

std::string switchesOf(const Options& o) {
    return std::string() + (o.titleMusic ? '1' : '0') + (o.inGameMusic ? '1' : '0') +
           (o.soundEffects ? '1' : '0') + (o.fullScreen ? '1' : '0');
}

std::string keysOf(const KeySet& set) {
    std::string out;
    for (int key : set.keys)
        out += std::to_string(key) + " ";
    return out;
}

class OptionsMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        cwd = std::make_unique<ScopedWorkingDir>(dir.path());
        dir.write("Data/Levels/.keep", "");
        gameLog.open("log.txt");
        errorLog.open("errorLog.txt");
        app = ApplicationState();
        app.platform = &platform;
        applyDefaultSettings();
        ASSERT_TRUE(initApplication());
        ASSERT_TRUE(initScreenAndGame());
        ASSERT_NO_FATAL_FAILURE(recordMenuSounds(dir, recorder));
        menuBoxManager->reset();
        platform.closeAtFrame(20000); // safety net: whatever happens, the loops end
        platform.afterPresent = [this](int frame) {
            pad.apply(platform, frame);
            snapshot();
        };
    }
    void TearDown() override {
        delete controlsPanel;
        controlsPanel = nullptr;
        shutdownGame();
        delete app.screen;
        app = ApplicationState();
        gameLog.close();
        errorLog.close();
    }

    // What the player sees in each frame, written down as it changes; each
    // menu as it opens or shows again: where, on which entry, how.
    void snapshot() {
        const MenuBox* top = menuBoxManager ? menuBoxManager->top() : nullptr;
        std::string s = switchesOf(options) + "|" + entriesOf(top);
        s += std::string(top && top->flash ? "|flash" : "") +
             (platform.cursorVisible() ? "" : "|no cursor");
        if (s != lastSeen)
            out << "  " << s << "\n";
        lastSeen = s;
        const std::string title = top ? top->title().text.c_str() : "";
        if (top && title != lastTitle) {
            int left = 0, y = 0;
            top->position(left, y);
            out << "  open " << title << " " << left << "," << y << " on " << top->selected
                << (top->wrap ? " wrap" : "") << (top->centred ? " centred" : "")
                << (top->onMove == playMenuSound ? " sounds" : "") << "\n";
        }
        lastTitle = title;
        panelWatch.note(top);
    }

    // Pad words: "pad:plug", or a control tapped ("pad:north").
    int padWord(const std::string& word, int frame) {
        static const std::map<std::string, int> controls = {{"pad:up", kGfxPadUp},
                                                            {"pad:down", kGfxPadDown},
                                                            {"pad:south", kGfxPadSouth},
                                                            {"pad:north", kGfxPadNorth},
                                                            {"pad:east", kGfxPadEast}};
        if (word == "pad:plug")
            pad.plug(frame, platform, true);
        else if (word == "close:")
            platform.closeAtFrame(frame);
        else
            pad.tap(frame, controls.at(word));
        return word == "close:" ? 0 : 4;
    }

    // Runs the options once for each '|'-separated script, then lists the
    // result, the frames the run took, what is stored and the sounds.
    void scenario(const std::string& name, const std::string& scripts) {
        out << "== " << name << "\n";
        std::istringstream runs(scripts);
        // A scenario's keys start once the last one's are let go.
        int wait = 8;
        for (std::string script; std::getline(runs, script, '|'); wait = 0) {
            const int start = platform.framesPresented() + wait;
            playKeys(platform, start, script, 4,
                     [this](const std::string& w, int f) { return padWord(w, f); });
            runOptions(430, 10);
            out << "  ran " << (app.loopResult == kLoopChoice ? "choice" : "quit") << " in "
                << platform.framesPresented() - start << " frames, switches " << switchesOf(options)
                << " mode change " << app.modeChangeRequested << " full screen " << app.fullScreen
                << " stack " << menuBoxManager->stackSize() << "\n  keys "
                << keysOf(options.player1Keys) << "/ " << keysOf(options.player2Keys) << "\n  "
                << menuSoundsOf(recorder);
            // A framed panel, refreshed in place.
            if (!firstPanel)
                firstPanel = controlsPanel;
            out << "\n  panel " << (controlsPanel == firstPanel ? "" : "NOT THE SAME ");
            if (controlsPanel)
                out << controlsPanel->style().framed << controlsPanel->style().frameWidth
                    << (controlsPanel->style().frameColour == app.screen->ConvertColor(0x005000))
                    << (controlsPanel->style().background == panelStyle.background) << " "
                    << controlsPanel->title()->text.c_str();
            for (int i = 0; controlsPanel && i < controlsPanel->lineCount(); ++i)
                out << "|" << controlsPanel->line(i).text.c_str();
            out << "\n";
        }
        panelWatch.report(out, 8);
        lastTitle.clear();
    }

    TempDir dir;
    std::unique_ptr<ScopedWorkingDir> cwd;
    HeadlessPlatform platform;
    PadScript pad;
    std::ostringstream out;
    std::string lastSeen, lastTitle;
    TextList* firstPanel = nullptr;
    PanelWatch panelWatch;
    RecordingSoundBackEnd recorder; // outlives the sound system's shutdown
};

const KeySet kCustom{{'j', 'l', 'i', 'k', 32, 'q', 8}};

} // namespace

// Each scenario is named after the rule it shows.
TEST_F(OptionsMenuTest, Scenarios) {
    scenario("each switch acts at once", "2 down enter down enter down enter down*3 enter");
    options = Options();
    options.player2Keys.keys[kKeyFire] = 'x';
    scenario("escape in either menu gives back what was there on opening",
             "2 down enter down enter down*3 enter down enter space up enter enter down*2 enter "
             "space . esc esc");
    options.player1Keys = kCustom;
    scenario("a click beside either menu cancels it",
             "2 up enter up enter . click:20,200 . down enter|10 down enter . "
             "click:20,200");
    options = Options();
    options.titleMusic = false;
    scenario("moves, choices and the key taken sound, escape does not",
             "2 up enter up enter up enter 30 space down down enter esc");
    options = Options();
    options.player2Keys.keys[kKeyUp] = 'i';
    scenario("a wait takes only an assignable key pressed after the choosing key is up",
             "2 up enter down +enter 34 -enter 38 esc p k l . space up enter down enter");
    options = Options();
    scenario("held keys and an assigned menu key choose nothing",
             "2 +enter|30 -enter 34 up enter down enter . down enter . space up enter down enter");
    for (int entry = 0; entry < 6; ++entry) {
        options.player1Keys = kCustom;
        options.player2Keys = KeySet{{1, 2, 3, 4, 5, 6, 7}};
        scenario("this entry edits its own key, Reset To Default all of player one's: " +
                     std::to_string(entry),
                 "10 up enter down down*" + std::to_string(entry) + " enter . a down*" +
                     std::to_string(6 - entry) + " enter down enter");
    }
    for (bool full : {false, true}) {
        options = Options();
        options.fullScreen = app.fullScreen = full;
        app.modeChangeRequested = false;
        scenario(full ? "full screen off ends the options in its frame"
                      : "full screen on ends the options in its frame",
                 "10 up up enter");
    }
    app.modeChangeRequested = false;
    options = Options();
    options.titleMusic = false;
    scenario("title music switched on and escaped stops", "2 down enter esc");
    options.player1Keys = KeySet{{'a', 'd', 'w', 's', 32, 'q', 8}};
    scenario("the panel lists player one's keys", "2 esc");
    options = Options();
    scenario("a pad alone binds its buttons and east gives up a wait",
             "1 pad:plug pad:up pad:south pad:down pad:south pad:north pad:down pad:south "
             "pad:east pad:up pad:up pad:south pad:down pad:south");
    scenario("window closed while configuring keys", "2 up enter 20 close:");
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/options_menu.txt", out.str());
}
