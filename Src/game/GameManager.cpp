#include "Src/game/GameManager.h"

#include "Src/core/GameState.h"
#include "Src/records/HighScoreManager.h"
#include "Src/records/Settings.h"
#include "Src/zones/LevelCatalogue.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "lib/Log.h"
#include "sound/SoundSystem.h"

GameManager* gameManager = nullptr;

namespace {

constexpr int kBlockSize = 20; // the snake steps in blocks of this size
constexpr int kKeyEnter = 13;
constexpr int kKeySpace = 32;
const char* const kScorePicture = ".\\Data\\Gfx\\score.bmp";
const char* const kPalettePicture = ".\\Data\\Gfx\\items20.bmp";

enum SoundEvent : int {
    kSoundLevelStarted = 3,
    kSoundCrash = 4,
    kSoundLevelCompleted = 5,
    kSoundTimeRunningOut = 8,
    kSoundTimeUp = 7,
    kSoundGameOver = 9,
    kSoundInGameMusic = 16,
    kSoundRankImproved = 17,
    kSoundZoneCompleted = 18,
};

} // namespace

GameManager::GameManager() {
    levelLoop_.init = [] { return true; };
    levelLoop_.frame = [this] { levelFrame(); };
    levelLoop_.idle = [this] { levelIdle(); };
}

GameManager::~GameManager() {
    unloadLevel();
}

void GameManager::playEffect(int event) {
    if (options.soundEffects && soundSystem)
        soundSystem->PlayEvent(event);
}

void GameManager::playMusicEvent(int event) {
    if (options.inGameMusic && soundSystem)
        soundSystem->PlayEvent(event);
}

void GameManager::addPlayTime() {
    gameTime_ += TimeSpan::monotonicNow() - segmentStart_;
}

GfxSurface* GameManager::loadSurface(const char* path) {
    auto* surface = new GfxSurface;
    if (surface->CreateFromImage(app.screen, path, 2) < 0) {
        delete surface;
        fatalError(app.screen, "Could not load file %s into surface", path);
        return nullptr;
    }
    if (!surface->GetStore()) {
        delete surface;
        fatalError(app.screen, "Could not load %s", path);
        return nullptr;
    }
    surface->SetColorKey(0);
    return surface;
}

void GameManager::startGame() {
    levelNumber_ = 1;
    score_ = 0;
    cheatsUsed_ = false;
    lives_ = currentSkill == kSkillNormal ? 2 : currentSkill == kSkillHard ? 1 : 3;
    levelsToExtraSnake_ = 2;
    gameTime_ = TimeSpan();
    cheatLArmed_ = cheatKArmed_ = true;
}

void GameManager::run() {
    if (currentZone < 0 || currentZone >= levelCatalogue.getZoneCount()) {
        gameLog.print("No game started: there is no zone %ld (%ld zones found)\n",
                      static_cast<long>(currentZone),
                      static_cast<long>(levelCatalogue.getZoneCount()));
        return;
    }
    startGame();
    if (!loadLevel()) {
        gameLog.write("Could not init GameManager!\n");
        return;
    }
    for (;;) {
        app.framesPerSecond = 55;
        app.gamePaused = false;
        app.leaveRequested = false;
        segmentStart_ = TimeSpan::monotonicNow();
        escapeArmed_ = false;
        levelLoop_.hideCursor = app.fullScreen;
        winloop(levelLoop_, false);
        if (app.loopResult == kLoopEscape) {
            addPlayTime(); // the menu's time is no play time
            if (onEscapeMenu)
                onEscapeMenu();
            escapeMenu_.runEscapeMenu(backgroundColour_);
            if (app.loopResult == kLoopChoice) {
                // The menu may stand beside a small map; only the level's
                // own parts are drawn again each frame.
                if (app.backSurface)
                    app.backSurface->FillAll(backgroundColour_);
                continue; // the level goes on where it stopped
            }
        }
        unloadLevel();
        switch (app.loopResult) {
        case kLoopZoneCompleted:
        case kLoopGameOver:
            endOfGame();
            newHighScore_.runNewHighScore(score_, highScoreList_, currentZone, currentSkill,
                                          cheatsUsed_);
            return;
        case kLoopLevelCompleted:
            statistics.addLevel();
            ++levelNumber_;
            if (levelsToExtraSnake_ > 0 && --levelsToExtraSnake_ == 0) {
                levelsToExtraSnake_ = 2;
                ++lives_;
            }
            break;
        case kLoopSnakeLost:
            break; // the same level again, from its file
        default:
            return; // quit, or the window was closed: no statistics
        }
        if (!loadLevel()) {
            gameLog.write("Could not init GameManager!\n");
            return;
        }
    }
}

void GameManager::endOfGame() {
    statistics.addGame(score_, gameTime_, app.loopResult == kLoopZoneCompleted);
}

void GameManager::unloadLevel() {
    display_.deleteStrip();
    snake_.clear();
    delete itemsSurface_;
    itemsSurface_ = nullptr;
    map_.freeMap();
}

bool GameManager::loadLevel() {
    drawTarget_ = app.backSurface;
    if (app.screen) {
        backgroundColour_ = app.screen->ConvertColor(levelCatalogue.getZoneBackColour(currentZone));
        if (app.screen->GetFrontSurface())
            app.screen->GetFrontSurface()->FillAll(backgroundColour_);
    }
    if (app.backSurface)
        app.backSurface->FillAll(backgroundColour_);
    display_.setFonts({"Arial", 18, 0, 700}, {"Times New Roman", 25, 0, 700});
    messageShown_ = false;
    fireArmed_ = false;
    zoneCompletedFlag_ = false;
    display_.resetRank();
    unloadLevel();

    GfxSurface* strip = loadSurface(kScorePicture);
    if (!strip)
        return false;
    display_.setStrip(strip);
    if (app.screen && app.screen->LoadPalette(kPalettePicture) < 0) {
        fatalError(app.screen, "Could not load palette from file %s", kPalettePicture);
        return false;
    }

    const char* zoneName = levelCatalogue.getZoneName(currentZone);
    const String name(zoneName ? zoneName : "");
    const long count = levelCatalogue.getLevelCount(currentZone);
    if (name.length() > 12)
        levelTitle_.format("      Level %ld / %ld", static_cast<long>(levelNumber_), count);
    else if (name.length() > 7)
        levelTitle_.format("%s %ld / %ld", name.c_str(), static_cast<long>(levelNumber_), count);
    else
        levelTitle_.format("%s Zone %ld / %ld", name.c_str(), static_cast<long>(levelNumber_),
                           count);
    highScoreList_ =
        highScoreManager ? highScoreManager->getList(currentSkill, currentZone) : nullptr;

    levelRecord_ = levelCatalogue.getLevel(currentZone, levelNumber_);
    if (!levelRecord_) {
        fatalError(app.screen, "Could not find level for zone=%ld, zonenr=%ld!",
                   static_cast<long>(currentZone), static_cast<long>(levelNumber_));
        return false;
    }
    const char* path = levelRecord_->fileName.c_str();
    map_.setTransparentColour(0);
    // The snake steps in 20-pixel blocks, so maps of other blocks cannot
    // be played.
    if (map_.load(app.screen, path, 0, 0, -1, -1) != 0 || map_.getBlockWidth() != kBlockSize ||
        map_.getBlockHeight() != kBlockSize) {
        map_.freeMap();
        fatalError(app.screen, "Could not load level!!\n %s", path);
        return false;
    }

    map_.selectLayer(0);
    scrollX_ = scrollY_ = 0;
    mapPixelWidth_ = map_.getMapWidthPixels();
    mapPixelHeight_ = map_.getMapHeightPixels();
    blockWidth_ = map_.getBlockWidth();
    blockHeight_ = map_.getBlockHeight();
    viewWidth_ = mapPixelWidth_ < 640 ? mapPixelWidth_ : 640;
    viewHeight_ = mapPixelHeight_ < 460 ? mapPixelHeight_ : 460;
    viewX_ = (640 - viewWidth_) / 2;
    viewY_ = (460 - viewHeight_) / 2 + 20;
    map_.setView(viewX_, viewY_, viewWidth_, viewHeight_);
    map_.clearMarks();

    levelTime_ = timeLeft_ = levelRecord_->time(currentSkill);
    snake_.setSpeeds(levelRecord_->startSpeed(currentSkill), levelRecord_->topSpeed(currentSkill),
                     levelRecord_->incSpeed(currentSkill));
    tickCounter_ = app.framesPerSecond;

    String snakeFile;
    levelCatalogue.getZoneSnakeGfxFile(currentZone, snakeFile);
    itemsSurface_ = loadSurface(snakeFile.c_str());
    if (!itemsSurface_)
        return false;
    itemsSurface_->SetColorKey(backgroundColour_);
    if (!snake_.init(&map_, this, itemsSurface_, app.framesPerSecond))
        return false;
    itemsLeft_ = snake_.buildFromMap();

    int column = 0, row = 0;
    snake_.headCell(column, row);
    scrollX_ = column * blockWidth_ - viewWidth_ / 2;
    scrollY_ = row * blockHeight_ - viewHeight_ / 2;
    clampScroll();
    map_.setScroll(scrollX_, scrollY_);

    playEffect(kSoundLevelStarted);
    playMusicEvent(kSoundInGameMusic);
    display_.resetRank();
    if (inputManager)
        inputManager->clearStates();
    clearInputNextIdle_ = false;
    return true;
}

void GameManager::clampScroll() {
    // Also keeps a map smaller than its window at 0, never outside it.
    if (scrollX_ > mapPixelWidth_ - viewWidth_)
        scrollX_ = mapPixelWidth_ - viewWidth_;
    if (scrollX_ < 0)
        scrollX_ = 0;
    if (scrollY_ > mapPixelHeight_ - viewHeight_)
        scrollY_ = mapPixelHeight_ - viewHeight_;
    if (scrollY_ < 0)
        scrollY_ = 0;
}

bool GameManager::scrollFollow(int column, int row) {
    const int32_t oldX = scrollX_, oldY = scrollY_;
    const int margin = 8 * blockWidth_;
    int d = margin + scrollX_ - column * blockWidth_;
    if (d >= 1) {
        scrollX_ -= d / 10 + 1;
    } else {
        const int e = margin - viewWidth_ + column * blockWidth_ - scrollX_;
        if (e >= 1)
            scrollX_ += e / 10 + 1;
    }
    d = margin + scrollY_ - row * blockHeight_;
    if (d >= 1) {
        scrollY_ -= d / 10 + 1;
    } else {
        const int e = margin - viewHeight_ + row * blockHeight_ - scrollY_;
        if (e >= 1)
            scrollY_ += e / 10 + 1;
    }
    clampScroll();
    return scrollX_ != oldX || scrollY_ != oldY;
}

void GameManager::levelIdle() {
    if (!inputManager)
        return;
    if (clearInputNextIdle_) {
        inputManager->clearStates();
        clearInputNextIdle_ = false;
    }
    inputManager->updateForGame();
}

void GameManager::showMessage(const char* text) {
    addPlayTime();
    messageShown_ = true;
    fireArmed_ = false;
    messageText_ = text;
    bonusPhase_ = 0;
}

void GameManager::loseSnake() {
    app.loopResult = kLoopSnakeLost;
    if (--lives_ < 1) {
        lives_ = 0;
        app.loopResult = kLoopGameOver;
        playEffect(kSoundGameOver);
    }
}

void GameManager::levelTimer() {
    if (tickCounter_ > 0) {
        --tickCounter_;
        return;
    }
    --timeLeft_;
    snake_.secondTick();
    if (timeLeft_ < 11)
        playEffect(kSoundTimeRunningOut);
    if (timeLeft_ < 1) {
        timeLeft_ = 0;
        app.loopResult = kLoopSnakeLost;
        showMessage("Time is up!");
        playEffect(kSoundTimeUp);
        loseSnake();
    }
    tickCounter_ = app.framesPerSecond;
}

void GameManager::levelFrame() {
    clearInputNextIdle_ = true;
    ControlState control;
    if (inputManager) {
        inputManager->updateForGame();
        control = *inputManager->state(0);
    }
    if (scriptControl)
        scriptControl(control);
    const bool fire = (control.buttons & kControlFire) != 0;
    const bool pause = (control.buttons & kControlPause) != 0;
    const bool escape = (control.buttons & kControlEscape) != 0;
    auto keyDown = [](int code) { return inputManager && inputManager->isKeyDown(code); };

    if (messageShown_) {
        const bool continueDown = fire || keyDown(kKeyEnter) || keyDown(kKeySpace);
        if (!fireArmed_) {
            // Held keys do not skip the message: they must be let go first.
            if (!continueDown || escape)
                fireArmed_ = true;
        } else if (continueDown || escape) {
            app.leaveRequested = true;
            if (app.loopResult == kLoopLevelCompleted || app.loopResult == kLoopZoneCompleted)
                finishBonus();
        }
    } else {
        // A game whose pad was pulled out does not run on without its player.
        const bool padLost = inputManager && inputManager->takePadLoss();
        if ((escape && escapeArmed_) || padLost) {
            app.leaveRequested = true;
            app.loopResult = kLoopEscape;
        }
        if (!escape)
            escapeArmed_ = true;
    }

    if (pause || (fire && app.gamePaused)) {
        if (!pauseLatched_) {
            pauseLatched_ = true;
            if (!messageShown_ || app.gamePaused) {
                app.gamePaused = !app.gamePaused;
                if (soundSystem)
                    soundSystem->PauseMusic(app.gamePaused);
            }
            fireArmed_ = false;
        }
    } else if (!fire) {
        pauseLatched_ = false;
    }

    if (!messageShown_) {
        if (!app.gamePaused) {
            display_.allowRankSound();
            if (snake_.update(control)) {
                playEffect(kSoundCrash);
                showMessage("Sorry, that snake is done!");
                loseSnake();
            }
        }
        // A snake lost in this very frame stands; the level is not also won.
        if (itemsLeft_ == 0 && !messageShown_) {
            if (levelNumber_ >= levelCatalogue.getLevelCount(currentZone)) {
                showMessage("Congratulations! Zone completed!");
                app.loopResult = kLoopZoneCompleted;
                zoneCompletedFlag_ = true;
                if (!cheatsUsed_)
                    levelCatalogue.markZoneCompleted(currentZone);
                playEffect(kSoundZoneCompleted);
            } else {
                app.loopResult = kLoopLevelCompleted;
                showMessage("Level completed!");
                playEffect(kSoundLevelCompleted);
            }
        }
        int column = 0, row = 0;
        snake_.headCell(column, row);
        if (scrollFollow(column, row))
            map_.setScroll(scrollX_, scrollY_);
    }

    if (drawTarget_)
        map_.draw(drawTarget_);
    snake_.frameStep(control, drawTarget_, map_.getViewX(), map_.getViewY(), map_.getViewWidth(),
                     map_.getViewHeight(), map_.getScrollX(), map_.getScrollY(), app.gamePaused);

    if (messageShown_) {
        display_.drawMessage(drawTarget_, messageText_.c_str(), app.loopResult == kLoopGameOver);
        if (app.loopResult == kLoopLevelCompleted || app.loopResult == kLoopZoneCompleted)
            bonusStep();
    } else if (!app.gamePaused) {
        levelTimer();
    }
    if (app.gamePaused)
        display_.drawPause(drawTarget_);

    if (display_.updateRank(score_, highScoreList_))
        playEffect(kSoundRankImproved);
    GameDisplay::StripValues values;
    values.lives = lives_;
    values.timeLeft = timeLeft_;
    values.itemsLeft = itemsLeft_;
    values.score = score_;
    values.title = levelTitle_.c_str();
    values.messageShown = messageShown_;
    display_.drawStrip(drawTarget_, values);

    if (!app.gamePaused && !messageShown_)
        cheatKeys();
    if (app.loopResult == kLoopEscape)
        escapeMenu_.takeEscapeSnapshot(app.backSurface);
}
