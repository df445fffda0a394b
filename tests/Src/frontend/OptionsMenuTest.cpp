// The options menu and the key configuration through the real loop on
// scripted keys: switches acting at once, escape restoring what was there on
// opening, waiting for a key, the controls panel, the full-screen switch and
// the entry routine's rebuild after it.
#include "Src/frontend/OptionsMenu.h"
#include "tests/support/MenuSounds.h"
#include "tests/support/PadScript.h"
#include "tests/support/ScanCodes.h"
#include "tests/support/TitleScreenFixture.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

namespace {

std::string switchesOf(const Options& o) {
    return std::string() + (o.titleMusic ? '1' : '0') + (o.inGameMusic ? '1' : '0') +
           (o.soundEffects ? '1' : '0') + (o.fullScreen ? '1' : '0');
}

bool sameKeys(const KeySet& a, const KeySet& b) {
    for (int i = 0; i < kKeyRoleCount; ++i)
        if (a.keys[i] != b.keys[i])
            return false;
    return true;
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
        menuBoxManager->reset();
        // Safety net: whatever happens, the loops end.
        platform.closeAtFrame(3000);
        platform.afterPresent = [this](int) { snapshot(); };
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

    // Scripted keys, counted in frames from the first frame of the next run.
    void key(int frame, int scanCode, bool down) {
        platform.keyAtFrame(platform.framesPresented() + frame, scanCode, down);
    }
    // Taps one key after another, four frames apart; returns the next frame.
    int taps(int frame, std::initializer_list<int> scanCodes) {
        for (int scanCode : scanCodes) {
            key(frame, scanCode, true);
            key(frame + 2, scanCode, false);
            frame += 4;
        }
        return frame;
    }

    // What the player sees and what is stored, in each frame; only changes
    // are kept, so the list tells what changed together.
    void snapshot() {
        const MenuBox* top = menuBoxManager ? menuBoxManager->top() : nullptr;
        std::string s = switchesOf(options) + "|" + entriesOf(top);
        if (top && top->flash)
            s += "|flash";
        if (!platform.cursorVisible())
            s += "|no cursor";
        if (seen.empty() || seen.back() != s)
            seen.push_back(s);
        // Each menu as it opens or shows again: where, on which entry, how.
        const std::string title = top ? top->title().text.c_str() : "";
        if (top && title != lastTitle) {
            int left = 0, y = 0;
            top->position(left, y);
            layouts.push_back(title + " " + std::to_string(left) + "," + std::to_string(y) + " " +
                              std::to_string(top->selected) + (top->wrap ? " wrap" : "") +
                              (top->centred ? " centred" : "") +
                              (top->onMove == playMenuSound ? " sounds" : ""));
        }
        lastTitle = title;
        if (top)
            countdowns[title].insert(panelCountdown());
    }

    void recordSounds() { recordMenuSounds(dir, recorder); }

    // What the key menu showed, without the switches.
    std::vector<std::string> keysSeen() const {
        std::vector<std::string> out;
        for (const std::string& s : seen)
            if (s.find("|Up = ") != std::string::npos)
                out.push_back(s.substr(5));
        return out;
    }

    TempDir dir;
    std::unique_ptr<ScopedWorkingDir> cwd;
    HeadlessPlatform platform;
    std::vector<std::string> seen, layouts;
    std::string lastTitle;
    std::map<std::string, std::set<int>> countdowns; // by the menu on top
    RecordingSoundBackEnd recorder;                  // outlives the sound system's shutdown
};

const char* const kKeysOpen = "Up = UP ARROW,Left = LEFT ARROW,Right = RIGHT ARROW,"
                              "Down = DOWN ARROW,Fire = RIGHT CTRL,Reset To Default,"
                              "Back To Main Menu";

} // namespace

TEST_F(OptionsMenuTest, EachSwitchActsAtOnceAndItsEntryFollows) {
    // From "Back To Main Menu" down wraps to the first entry; then the three
    // switches one after another, past the full-screen switch, and back.
    taps(2, {kScanDown, kScanEnter, kScanDown, kScanEnter, kScanDown, kScanEnter, kScanDown,
             kScanDown, kScanDown, kScanEnter});
    runOptions(430, 10);

    EXPECT_EQ(app.loopResult, kLoopChoice);
    EXPECT_EQ(switchesOf(options), "0100");
    EXPECT_FALSE(app.modeChangeRequested);
    EXPECT_EQ(menuBoxManager->stackSize(), 0);
    const std::vector<std::string> expected = {
        "1010|Title Music on,InGame Music off,SoundFX on,FullScreen off,Configure Keys,"
        "Back To Main Menu",
        "0010|Title Music off,InGame Music off,SoundFX on,FullScreen off,Configure Keys,"
        "Back To Main Menu",
        "0110|Title Music off,InGame Music on,SoundFX on,FullScreen off,Configure Keys,"
        "Back To Main Menu",
        "0100|Title Music off,InGame Music on,SoundFX off,FullScreen off,Configure Keys,"
        "Back To Main Menu",
    };
    EXPECT_EQ(seen, expected);
}

TEST_F(OptionsMenuTest, EscapeRestoresTheOptionsOfOpeningInBothMenus) {
    options.player2Keys.keys[kKeyFire] = 'x';
    const Options opened = options;
    // Options: title music off, in-game music on. Keys: up becomes SPACE, then
    // "Back To Main Menu" keeps it; a second visit sets left to SPACE and
    // escapes, which undoes only that visit. Escape then leaves the options.
    int f = taps(2, {kScanDown, kScanEnter, kScanDown, kScanEnter, kScanDown, kScanDown, kScanDown,
                     kScanEnter});
    f = taps(f, {kScanDown, kScanEnter, kScanSpace, kScanUp, kScanEnter});
    f = taps(f, {kScanEnter, kScanDown, kScanDown, kScanEnter, kScanSpace});
    taps(f + 4, {kScanEscape, kScanEscape});
    runOptions(430, 10);

    EXPECT_EQ(app.loopResult, kLoopChoice);
    EXPECT_EQ(switchesOf(options), "1010");
    EXPECT_TRUE(sameKeys(options.player1Keys, opened.player1Keys));
    EXPECT_TRUE(sameKeys(options.player2Keys, opened.player2Keys));
    EXPECT_EQ(menuBoxManager->stackSize(), 0);
    // What was seen on the way: the kept up key, the left key undone.
    const std::string upKept = "0110|Up = SPACE,Left = LEFT ARROW,";
    const std::string leftSet = "0110|Up = SPACE,Left = SPACE,";
    const std::string optionsAgain = "0110|Title Music off,InGame Music on,";
    bool sawUpKept = false, sawLeftSet = false;
    for (size_t i = 0; i < seen.size(); ++i) {
        sawUpKept = sawUpKept || seen[i].rfind(upKept, 0) == 0;
        if (seen[i].rfind(leftSet, 0) == 0) {
            sawLeftSet = true;
            // Escaping the keys returns to the options with the toggles kept.
            ASSERT_LT(i + 1, seen.size());
            EXPECT_EQ(seen[i + 1].rfind(optionsAgain, 0), 0u) << seen[i + 1];
        }
    }
    EXPECT_TRUE(sawUpKept);
    EXPECT_TRUE(sawLeftSet);
    ASSERT_NE(controlsPanel, nullptr);
    // The panel follows the keys restored.
    EXPECT_EQ(std::string(controlsPanel->line(1).text.c_str()), "Up Key = UP ARROW");
    EXPECT_EQ(std::string(controlsPanel->line(2).text.c_str()), "Left Key = LEFT ARROW");
    // Both menus open on their last entry, the keys below right of the
    // options, which keep their selection; the title moves under both.
    const std::string options = "Options 445,30 4 wrap centred sounds";
    const std::string keys = "Configure Keys 460,50 6 wrap centred sounds";
    EXPECT_EQ(layouts, (std::vector<std::string>{"Options 445,30 5 wrap centred sounds", keys,
                                                 options, keys, options}));
    EXPECT_GT(countdowns["Options"].size(), 8u);
    EXPECT_GT(countdowns["Configure Keys"].size(), 8u);
}

// A click beside either menu cancels it as escape does: the keys menu gives
// its keys back and the options show again, the options give their switches
// back and end.
TEST_F(OptionsMenuTest, AClickBesideEitherMenuCancelsIt) {
    options.player1Keys = KeySet{{'j', 'l', 'i', 'k', 32, 'q', 8}};
    const KeySet custom = options.player1Keys;
    // Keys, "Reset To Default", a click beside; then "Back To Main Menu".
    int f = taps(2, {kScanUp, kScanEnter, kScanUp, kScanEnter});
    platform.clickAtFrame(platform.framesPresented() + f + 4, 20, 200);
    taps(f + 10, {kScanDown, kScanEnter});
    runOptions(430, 10);
    EXPECT_EQ(app.loopResult, kLoopChoice);
    EXPECT_TRUE(sameKeys(options.player1Keys, custom));
    EXPECT_NE(std::find(seen.begin(), seen.end(), std::string("1010|") + kKeysOpen), seen.end());
    // The title music switched off, then a click beside.
    f = taps(10, {kScanDown, kScanEnter});
    platform.clickAtFrame(platform.framesPresented() + f + 4, 20, 200);
    runOptions(430, 10);
    EXPECT_EQ(app.loopResult, kLoopChoice);
    EXPECT_EQ(switchesOf(options), "1010");
    EXPECT_EQ(seen.back().rfind("0010|Title Music off,", 0), 0u) << seen.back();
}

// Every move and every choice in both menus sounds, the wait's key too; an
// escape does not.
TEST_F(OptionsMenuTest, MovesAndChoicesOfBothMenusSound) {
    ASSERT_NO_FATAL_FAILURE(recordSounds());
    options.titleMusic = false;
    // Keys, "Reset To Default", "Fire" waits for SPACE, back, escape.
    taps(2, {kScanUp, kScanEnter, kScanUp, kScanEnter, kScanUp, kScanEnter});
    taps(30, {kScanSpace, kScanDown, kScanDown, kScanEnter, kScanEscape});
    runOptions(430, 10);
    EXPECT_EQ(menuSoundsOf(recorder), "mcmcmccmmc");
}

TEST_F(OptionsMenuTest, ClosingTheWindowInTheKeyConfigurationEndsTheOptionsToo) {
    const int start = platform.framesPresented();
    taps(2, {kScanUp, kScanEnter});
    platform.closeAtFrame(start + 20);
    runOptions(430, 10);
    EXPECT_EQ(app.loopResult, kLoopQuit);
    EXPECT_FALSE(app.modeChangeRequested);
    EXPECT_EQ(menuBoxManager->stackSize(), 0);
    EXPECT_LT(platform.framesPresented(), start + 30);
}

TEST_F(OptionsMenuTest, AWaitTakesOnlyAnAssignableKeyPressedAfterTheChoosingKeyIsReleased) {
    options.player2Keys.keys[kKeyUp] = 'i';
    const KeySet player2 = options.player2Keys;
    // Open the keys, wrap down to "Up", and hold ENTER for 20 frames.
    int f = taps(2, {kScanUp, kScanEnter, kScanDown});
    key(f, kScanEnter, true);
    key(f + 20, kScanEnter, false);
    // ESC, 'p' and the cheat keys keep waiting; SPACE is taken; then back
    // out of both menus.
    f = taps(f + 24, {kScanEscape, kScanP, kScanK, kScanL});
    taps(f + 4, {kScanSpace, kScanUp, kScanEnter, kScanDown, kScanEnter});
    runOptions(430, 10);

    EXPECT_EQ(app.loopResult, kLoopChoice);
    EXPECT_EQ(options.player1Keys.keys[kKeyUp], 32);
    EXPECT_TRUE(sameKeys(options.player2Keys, player2));
    // The up entry flashed until SPACE, and no other key was ever stored.
    const std::vector<std::string> expected = {
        kKeysOpen,
        std::string(kKeysOpen) + "|flash",
        "Up = SPACE,Left = LEFT ARROW,Right = RIGHT ARROW,Down = DOWN ARROW,Fire = RIGHT CTRL,"
        "Reset To Default,Back To Main Menu",
    };
    EXPECT_EQ(keysSeen(), expected);
    ASSERT_NE(controlsPanel, nullptr);
    EXPECT_EQ(std::string(controlsPanel->line(1).text.c_str()), "Up Key = SPACE");
}

TEST_F(OptionsMenuTest, APadAloneBindsItsButtonsAndEastGivesUpAWait) {
    PadScript pad;
    platform.afterPresent = [&](int frame) {
        pad.apply(platform, frame);
        snapshot();
    };
    int f = platform.framesPresented() + 1;
    pad.plug(f, platform, true);
    auto taps = [&](std::initializer_list<int> controls) {
        for (int control : controls) {
            pad.tap(f += 4, control);
        }
    };
    // Up to "Configure Keys", choose it, wrap down to "Up" and wait: north
    // is taken. Then "Left" waits and east gives up; back out of both menus.
    taps({kGfxPadUp, kGfxPadSouth, kGfxPadDown, kGfxPadSouth, kGfxPadNorth});
    taps({kGfxPadDown, kGfxPadSouth, kGfxPadEast});
    taps({kGfxPadUp, kGfxPadUp, kGfxPadSouth, kGfxPadDown, kGfxPadSouth});
    runOptions(430, 10);

    EXPECT_EQ(app.loopResult, kLoopChoice);
    KeySet expected = kDefaultKeysPlayer1;
    expected.keys[kKeyUp] = kGfxKeyJoystickFirst + kGfxPadNorth;
    EXPECT_TRUE(sameKeys(options.player1Keys, expected));
    // The pad hid the cursor from its first press on.
    const std::string bound = "Up = JOY BUTN 3,Left = LEFT ARROW,Right = RIGHT ARROW,"
                              "Down = DOWN ARROW,Fire = RIGHT CTRL,Reset To Default,"
                              "Back To Main Menu";
    const std::vector<std::string> expectedSeen = {
        std::string(kKeysOpen) + "|no cursor", std::string(kKeysOpen) + "|flash|no cursor",
        bound + "|no cursor", bound + "|flash|no cursor", bound + "|no cursor"};
    EXPECT_EQ(keysSeen(), expectedSeen);
}

TEST_F(OptionsMenuTest, KeysHeldOnOpeningAndAnAssignedMenuKeyChooseNothing) {
    // The ENTER that chose "Back To Main Menu" stays held into the next
    // opening: it must not choose there again when it would repeat.
    key(2, kScanEnter, true);
    runOptions(430, 10);
    ASSERT_EQ(app.loopResult, kLoopChoice);
    key(30, kScanEnter, false);
    // Then: keys, wrap down to "Up", wait, and press DOWN ARROW: it becomes
    // the up key and moves nothing, so ENTER waits on "Up" again for SPACE.
    int f = taps(34, {kScanUp, kScanEnter, kScanDown, kScanEnter});
    f = taps(f + 4, {kScanDown, kScanEnter});
    taps(f + 4, {kScanSpace, kScanUp, kScanEnter, kScanDown, kScanEnter});
    runOptions(430, 10);
    EXPECT_EQ(app.loopResult, kLoopChoice);
    EXPECT_EQ(options.player1Keys.keys[kKeyUp], 32);
    EXPECT_EQ(options.player1Keys.keys[kKeyLeft], kDefaultKeysPlayer1.keys[kKeyLeft]);
    EXPECT_EQ(options.player1Keys.keys[kKeyDown], kDefaultKeysPlayer1.keys[kKeyDown]);
}

// Entries 0..4 edit up, left, right, down and fire in that order; "Reset To
// Default" restores all seven keys of player one, and only those.
TEST_F(OptionsMenuTest, EachKeyEntryEditsItsOwnKey) {
    const int scanA = 0x1E; // 'a'
    const KeySet custom{{'j', 'l', 'i', 'k', 32, 'q', 8}}, player2{{1, 2, 3, 4, 5, 6, 7}};
    const std::pair<int, int> cases[] = {{0, kKeyUp},   {1, kKeyLeft}, {2, kKeyRight},
                                         {3, kKeyDown}, {4, kKeyFire}, {5, -1}};
    for (const auto& [entry, role] : cases) {
        SCOPED_TRACE(entry);
        options.player1Keys = custom;
        options.player2Keys = player2;
        // The ENTER that left the last run is let go first.
        int f = taps(10, {kScanUp, kScanEnter, kScanDown});
        for (int i = 0; i < entry; ++i)
            f = taps(f, {kScanDown});
        f = taps(f, {kScanEnter});
        f = taps(f + 4, {scanA});
        for (int i = entry; i < 6; ++i)
            f = taps(f, {kScanDown});
        taps(f, {kScanEnter, kScanDown, kScanEnter});
        runOptions(430, 10);
        EXPECT_EQ(app.loopResult, kLoopChoice);
        KeySet expected = role < 0 ? kDefaultKeysPlayer1 : custom;
        if (role >= 0)
            expected.keys[role] = 'a';
        EXPECT_TRUE(sameKeys(options.player1Keys, expected));
        EXPECT_TRUE(sameKeys(options.player2Keys, player2));
    }
}

// A framed panel of player one's keys; a refresh replaces the lines of the
// same panel.
TEST_F(OptionsMenuTest, TheControlsPanelListsPlayerOnesKeys) {
    const auto lines = [] {
        std::string out = std::string(controlsPanel->title()->text.c_str()) + ":";
        for (int i = 0; i < controlsPanel->lineCount(); ++i)
            out += std::string(i ? "|" : "") + controlsPanel->line(i).text.c_str();
        return out;
    };
    options.player1Keys = KeySet{{'a', 'd', 'w', 's', 32, 'q', 8}};
    options.player2Keys = KeySet{{'j', 'l', 'i', 'k', 13, 0, 0}};
    buildControlsPanel();
    TextList* first = controlsPanel;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(lines(), "Keyboard Controls: |Up Key = W|Left Key = A|Right Key = D|Down Key = S"
                       "|Fire Key = SPACE| |Pause Game = P|Quit Game = Esc| ");
    const TextStyle& style = first->style();
    EXPECT_EQ(std::make_tuple(style.framed, style.frameWidth, style.frameColour, style.background),
              std::make_tuple(1, 2, app.screen->ConvertColor(0x005000), panelStyle.background));
    options.player1Keys = kDefaultKeysPlayer1;
    buildControlsPanel();
    EXPECT_EQ(controlsPanel, first);
    EXPECT_EQ(lines(), "Keyboard Controls: |Up Key = UP ARROW|Left Key = LEFT ARROW"
                       "|Right Key = RIGHT ARROW|Down Key = DOWN ARROW|Fire Key = RIGHT CTRL| "
                       "|Pause Game = P|Quit Game = Esc| ");
}

TEST_F(OptionsMenuTest, TheFullScreenSwitchEndsTheOptionsForAModeChange) {
    for (bool startFullScreen : {false, true}) {
        SCOPED_TRACE(startFullScreen);
        options = Options();
        options.fullScreen = startFullScreen;
        app.fullScreen = startFullScreen;
        app.modeChangeRequested = false;
        // Up twice to "FullScreen" and choose it.
        const int start = platform.framesPresented();
        taps(10, {kScanUp, kScanUp, kScanEnter});
        runOptions(430, 10);
        // The loop ended in the frame that saw the choice.
        EXPECT_EQ(platform.framesPresented(), start + 19);
        EXPECT_EQ(app.loopResult, kLoopQuit);
        EXPECT_TRUE(app.modeChangeRequested);
        EXPECT_EQ(options.fullScreen, !startFullScreen);
        EXPECT_EQ(app.fullScreen, !startFullScreen);
        EXPECT_EQ(menuBoxManager->stackSize(), 0);
        EXPECT_EQ(switchesOf(options).substr(0, 3), "101");
    }
}

TEST_F(OptionsMenuTest, TitleMusicSwitchedOnThenEscapedStopsAgain) {
    ASSERT_NO_FATAL_FAILURE(recordSounds());
    options.titleMusic = false;

    // Title music on, then escape.
    taps(2, {kScanDown, kScanEnter, kScanEscape});
    runOptions(430, 10);
    EXPECT_TRUE(options.titleMusic == false);
    const std::string calls = recorder.takeCalls().c_str();
    const size_t play = calls.find("playSong");
    ASSERT_NE(play, std::string::npos) << calls;
    EXPECT_NE(calls.find("stop", play), std::string::npos) << calls;
}
