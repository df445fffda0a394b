#include "Src/app/GameSystems.h"

#include "Src/app/RunLoop.h"
#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/InputManager.h"
#include "Src/core/TextStyles.h"
#include "Src/game/SegmentPool.h"
#include "Src/menus/MenuBoxManager.h"
#include "Src/records/HighScoreManager.h"
#include "Src/records/Settings.h"
#include "Src/records/ZoneOrder.h"
#include "Src/zones/LevelCatalogue.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/Platform.h"
#include "lib/Log.h"
#include "lib/Random.h"
#include "sound/RecordingSoundBackEnd.h"
#include "sound/SoundSystem.h"
#include "widgets/TextBox.h"

#include <cstdio>
#include <ctime>

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kFullScreenDepth = 16;

// The audio library the sound system plays through; a silent stand-in when
// the caller gives none.
SoundBackEnd* soundBackEnd = nullptr;

SoundBackEnd& soundOutput() {
    static RecordingSoundBackEnd silence;
    return soundBackEnd ? *soundBackEnd : silence;
}

void openLog(Log& log, const char* fileName) {
    std::remove(fileName);
    log.open(fileName);
}

bool initGameSystems() {
    SeedRandom(static_cast<unsigned>(std::time(nullptr)));

    if (!highScoreManager)
        highScoreManager = new HighScoreManager;
    if (!highScoreManager->load())
        return false;
    if (!menuBoxManager)
        menuBoxManager = new MenuBoxManager;
    if (!inputManager)
        inputManager = new InputManager;
    if (!inputManager->init(app.platform))
        return false;

    if (!soundSystem)
        soundSystem = new SoundSystem(soundOutput());
    String soundError;
    if (!soundSystem->Init(".\\Data\\sound.txt", soundError)) {
        fatalError(app.screen, "%s", soundError.c_str());
        return false;
    }
    app.pauseMusic = [](bool pause) { soundSystem->PauseMusic(pause); };

    setUpTextStyles(app.screen);
    TextBox::setFatalErrorHandler([](const char* text) { fatalError(app.screen, "%s", text); });

    app.framesPerSecond = 55;

    app.backSurface = new GfxSurface;
    if (app.backSurface->Create(app.screen, kScreenWidth, kScreenHeight, 2) < 0) {
        delete app.backSurface;
        app.backSurface = nullptr;
        fatalError(app.screen, "Game : Could not create BackSurface");
        return false;
    }
    app.backSurface->SetColorKey(0);
    TextBox::setDefaultTarget(app.backSurface);
    if (!levelCatalogue.scanZones())
        return false;
    followZones();
    return true;
}

} // namespace

bool initApplication() {
    if (!app.platform->createWindow("Lurvane", kScreenWidth, kScreenHeight)) {
        fatalError(nullptr, "could not create the main window");
        return false;
    }
    app.appActive = 1;
    return true;
}

bool initScreenAndGame() {
    if (!app.screen) {
        app.screen = new GfxScreen(app.platform);
        if (app.screen->CreateWindowed(app.platform, kScreenWidth, kScreenHeight) < 0)
            fatalError(nullptr, "Could not set windowed mode 640x480");
        if (app.fullScreen &&
            app.screen->ChangeVideoMode(kScreenWidth, kScreenHeight, kFullScreenDepth, 0) < 0) {
            fatalError(nullptr, "GfxScreen->ChangeVideoMode\nCould not set video mode 640x480x%ld",
                       static_cast<long>(kFullScreenDepth));
            return false;
        }
    }
    // SDL's timer already has millisecond resolution; nothing to raise.
    return initGameSystems();
}

void shutdownGame() {
    TextBox::setDefaultTarget(nullptr);
    delete app.backSurface;
    app.backSurface = nullptr;
    saveSettings();
    levelCatalogue.clearZones();
    app.pauseMusic = nullptr;
    if (soundSystem)
        soundSystem->Close();
    delete soundSystem;
    soundSystem = nullptr;
    if (inputManager)
        inputManager->shutdown();
    delete inputManager;
    inputManager = nullptr;
    delete menuBoxManager;
    menuBoxManager = nullptr;
    if (highScoreManager) {
        // Changes not yet written when the title screen was left (the window
        // closed during a game) are kept too.
        highScoreManager->save();
        highScoreManager->clear();
    }
    delete highScoreManager;
    highScoreManager = nullptr;
}

bool changeWinMode() {
    if (!app.screen)
        return false;
    if (app.fullScreen) {
        if (app.screen->ChangeVideoMode(kScreenWidth, kScreenHeight, kFullScreenDepth, 0) < 0) {
            fatalError(app.screen, "Could not set video mode 640x480x%ld",
                       static_cast<long>(kFullScreenDepth));
            return false;
        }
    } else if (app.screen->ChangeVideoMode(kScreenWidth, kScreenHeight, 0, 0) < 0) {
        fatalError(app.screen, "Could not set windowed mode 640x480");
        return false;
    }
    return true;
}

int runLurvane(Platform& platform, SoundBackEnd* sound) {
    soundBackEnd = sound;
    openLog(gameLog, "log.txt");
    openLog(errorLog, "errorLog.txt");

    app = ApplicationState();
    app.platform = &platform;
    if (!segmentPool)
        segmentPool = new SegmentPool;
    currentSkill = kSkillEasy;
    currentZone = 0;
    lastPlayerName = "";
    applyDefaultSettings();
    resetStatistics();
    loadSettings();

    if (!initApplication()) {
        gameLog.write("could not initialize application");
        fatalError(nullptr, "could not initialize application");
    }

    for (;;) {
        app.modeChangeRequested = false;
        if (initScreenAndGame())
            runFrontEndAndGames();
        shutdownGame();
        if (!app.modeChangeRequested)
            break;
        if (!changeWinMode()) {
            gameLog.write("Error : could not changeWinMode()\n");
            break;
        }
    }

    delete app.screen;
    app.screen = nullptr;
    platform.destroyWindow();
    delete segmentPool;
    segmentPool = nullptr;
    postQuit();
    app.platform = nullptr;
    soundBackEnd = nullptr;
    return app.fatalErrorShown ? 1 : 0;
}
