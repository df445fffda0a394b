// The run loop between the front end and the games, through the real entry
// routine on the built game's pictures and zones: the information panel it
// starts the title screen on and the one it shows after a game, the key sets
// a game reads, a window closed during a game, and the full-screen switch
// from the options: the settings saved, the systems built again, and the
// title screen and a game in the new mode.
#include "Src/app/GameSystems.h"
#include "Src/core/Application.h"
#include "Src/core/InputManager.h"
#include "Src/core/TextStyles.h"
#include "Src/frontend/TitleBackground.h"
#include "Src/frontend/TitleScreen.h"
#include "Src/game/GameManager.h"
#include "Src/records/Settings.h"
#include "gfx/GfxScreen.h"
#include "gfx/HeadlessPlatform.h"
#include "lib/Log.h"
#include "tests/support/Golden.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

// Byte of the full-screen switch in the settings file.
constexpr size_t kFullScreenByte = 15;

// What one presented frame shows: the screen that drew it and its mode.
struct Seen {
    enum Screen { Other, Title, Game } screen = Other;
    bool fullScreen = false;
    int bitsPerPixel = 0;
    int panel = -1;
    int countdown = -1;
    bool keySetsConfigured = false;
    int colours = 0; // below the display strip
};

class RecordingPlatform : public HeadlessPlatform {
public:
    RecordingPlatform() : HeadlessPlatform(1) {}
    void present(const uint32_t* pixels, int width, int height, int pitch, bool stretch) override {
        HeadlessPlatform::present(pixels, width, height, pitch, stretch);
        Seen s;
        s.screen = gameManager ? Seen::Game : titleMainMenu() ? Seen::Title : Seen::Other;
        s.fullScreen = isFullScreen();
        s.bitsPerPixel = app.screen ? app.screen->GetBitsPerPixel() : 0;
        s.panel = infoPanel();
        s.countdown = panelCountdown();
        s.keySetsConfigured = inputManager && inputManager->keySet(0) == &options.player1Keys &&
                              inputManager->keySet(1) == &options.player2Keys;
        if (s.screen == Seen::Game) {
            std::set<uint32_t> colours;
            for (int y = 20; y < height; y += 3)
                for (int x = 0; x < width; x += 3)
                    colours.insert(lastFrame()[static_cast<size_t>(y * width + x)] & 0xFFFFFF);
            s.colours = static_cast<int>(colours.size());
        }
        frames.push_back(s);
    }
    bool setFullScreen(bool fullScreen) override {
        const std::string stored = readFile("Data/settings.dat");
        if (fullScreen)
            savedFullScreen.push_back(stored.size() > kFullScreenByte ? stored[kFullScreenByte]
                                                                      : -1);
        return HeadlessPlatform::setFullScreen(fullScreen);
    }

    std::vector<Seen> frames;
    std::vector<int> savedFullScreen; // the stored switch whenever full screen begins
};

class RunLoopFlow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!copyGameData(dir, {"Gfx", "Levels"}))
            GTEST_SKIP() << "no game data built";
        cwd = std::make_unique<ScopedWorkingDir>(dir.path());
        // Left over from an earlier front end; the run loop must choose.
        setInfoPanel(3);
        // Safety net: whatever happens, the program ends.
        platform.closeAtFrame(1500);
    }
    void TearDown() override {
        gameLog.close();
        errorLog.close();
    }

    TempDir dir;
    std::unique_ptr<ScopedWorkingDir> cwd;
    RecordingPlatform platform;
};

} // namespace

TEST_F(RunLoopFlow, TheFullScreenSwitchComesBackToTheTitleScreenAndAGameInTheNewMode) {
    // Options (down three times), up twice to "FullScreen", choose it; in
    // the new mode: Start, a little play, escape and "Quit Game", then
    // "Quit" from the main menu.
    scriptKeys(platform, "5:down 10:down 15:down 20:enter 30:up 35:up 40:enter 70:enter 130:esc "
                         "145:down 155:enter 180:up 190:enter");
    EXPECT_EQ(runLurvane(platform), 0);

    // Runs of equal frames: the front end in the window, again in full
    // screen, the game (its map shown, both players' keys read), and the
    // front end once more; each front end opens on a panel.
    const std::vector<Seen>& frames = platform.frames;
    static const char* const kScreens[] = {"other", "title", "game"};
    std::string transcript, last;
    int run = 0;
    for (size_t i = 0; i <= frames.size(); ++i) {
        std::string line;
        if (i < frames.size()) {
            const Seen& f = frames[i];
            line = std::string(kScreens[f.screen]) + " full=" + std::to_string(f.fullScreen) +
                   " bpp=" + std::to_string(f.screen == Seen::Other ? 0 : f.bitsPerPixel) +
                   " both key sets=" + std::to_string(f.keySetsConfigured) +
                   " map shown=" + std::to_string(f.colours > 8);
            if (f.screen == Seen::Title &&
                (i == 0 || frames[i - 1].screen != Seen::Title ||
                 frames[i - 1].fullScreen != f.fullScreen) &&
                i + 1 < frames.size())
                line += " opens on panel " + std::to_string(frames[i + 1].panel) + ", countdown " +
                        std::to_string(frames[i + 1].countdown);
        }
        if (line == last && ++run)
            continue;
        if (run)
            transcript += std::to_string(run) + " x " + last + "\n";
        last = line;
        run = 1;
    }
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/run_loop_flow.txt", transcript);
    // The switch was written down before the display changed, and kept.
    EXPECT_EQ(platform.savedFullScreen, std::vector<int>{1});
    const std::string settings = readFile("Data/settings.dat");
    ASSERT_GT(settings.size(), kFullScreenByte);
    EXPECT_EQ(settings[kFullScreenByte], 1);
    const std::string log = readFile("log.txt");
    EXPECT_EQ(countOf(log, "adding 'InputManager'"), 2);
    EXPECT_EQ(countOf(log, "removing 'InputManager'"), 2);
    EXPECT_EQ(log.find("could not changeWinMode"), std::string::npos);
    EXPECT_TRUE(platform.messageBoxes().empty());
}

TEST_F(RunLoopFlow, AWindowClosedDuringAGameEndsTheProgramWithoutTheTitleScreen) {
    scriptKeys(platform, "5:enter");
    platform.closeAtFrame(40);
    EXPECT_EQ(runLurvane(platform), 0);
    // The last frame is the game's.
    ASSERT_FALSE(platform.frames.empty());
    EXPECT_EQ(platform.frames.back().screen, Seen::Game);
    // Start-up and the one front end scan the zones; nothing enters the
    // front end after the game.
    EXPECT_EQ(countOf(readFile("log.txt"), "Searching for Levels"), 2);
}
