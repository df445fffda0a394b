// One game: from the first level of the chosen zone, level after level,
// until the zone is completed, the last snake is lost or the player quits.
#pragma once

#include "Src/core/Application.h"
#include "Src/core/InputManager.h"
#include "Src/frontend/NewHighScore.h"
#include "Src/game/EscapeMenu.h"
#include "Src/game/GameDisplay.h"
#include "Src/game/Snake.h"
#include "lib/DateTime.h"
#include "lib/String.h"
#include "map/TileMap.h"

#include <cstdint>
#include <functional>

class GfxSurface;
class HighScoreList;
struct Level;

class GameManager : public SnakeHost {
public:
    GameManager();
    ~GameManager() override;
    GameManager(const GameManager&) = delete;
    GameManager& operator=(const GameManager&) = delete;

    // Plays one game of currentZone at currentSkill.
    void run();

    // The pieces of a game, for the run loop and for tests that drive the
    // level loop themselves.
    void startGame();
    bool loadLevel();
    void unloadLevel();
    // The level loop's callbacks.
    void levelFrame();
    void levelIdle();
    const LoopCallbacks& levelLoop() const { return levelLoop_; }

    void showMessage(const char* text);
    void loseSnake();
    bool scrollFollow(int column, int row);

    // SnakeHost.
    int itemsLeft() const override { return itemsLeft_; }
    bool eatItem(int block, int headColumn) override;
    void playEffect(int event) override;

    // One step of the level-end count, and finishing it at once.
    void bonusStep();
    void finishBonus();

    // State, for the display and for tests.
    int32_t levelNumber() const { return levelNumber_; }
    int32_t lives() const { return lives_; }
    int32_t score() const { return score_; }
    int32_t timeLeft() const { return timeLeft_; }
    int32_t levelTime() const { return levelTime_; }
    bool cheatsUsed() const { return cheatsUsed_; }
    bool messageShown() const { return messageShown_; }
    const String& messageText() const { return messageText_; }
    const String& levelTitle() const { return levelTitle_; }
    int32_t scrollX() const { return scrollX_; }
    int32_t scrollY() const { return scrollY_; }
    const TimeSpan& gameTime() const { return gameTime_; }
    int32_t levelsToExtraSnake() const { return levelsToExtraSnake_; }
    Snake& snake() { return snake_; }
    TileMap& map() { return map_; }
    GameDisplay& display() { return display_; }
    HighScoreList* highScoreList() const { return highScoreList_; }

    // Test hooks: set values a level would reach by playing.
    void setTimeLeft(int32_t seconds) { timeLeft_ = seconds; }
    void setLevelTime(int32_t seconds) { levelTime_ = seconds; }
    void setItemsLeft(int32_t items) { itemsLeft_ = items; }
    void setLives(int32_t lives) { lives_ = lives; }
    void setLevelNumber(int32_t number) { levelNumber_ = number; }
    // Sets the control state of each frame after the input manager's, for
    // players that are scripts.
    std::function<void(ControlState&)> scriptControl;
    // Called as the escape menu opens, with the level stopped.
    std::function<void()> onEscapeMenu;
    EscapeMenu& escapeMenu() { return escapeMenu_; }
    NewHighScore& newHighScore() { return newHighScore_; }

private:
    void playMusicEvent(int event);
    void clampScroll();
    void levelTimer();
    void cheatKeys();
    void endOfGame();
    void addPlayTime();
    GfxSurface* loadSurface(const char* path);

    LoopCallbacks levelLoop_;
    TileMap map_;
    Snake snake_;
    GameDisplay display_;
    EscapeMenu escapeMenu_;
    NewHighScore newHighScore_;
    GfxSurface* itemsSurface_ = nullptr;

    int32_t levelNumber_ = 1;
    int32_t lives_ = 3;
    int32_t levelsToExtraSnake_ = 2;
    int32_t score_ = 0;
    bool cheatsUsed_ = false;
    int32_t itemsLeft_ = 0;
    int32_t timeLeft_ = 0;
    int32_t levelTime_ = 0;
    int32_t tickCounter_ = 0;
    bool messageShown_ = false;
    String messageText_;
    bool fireArmed_ = false;
    bool escapeArmed_ = false;
    bool pauseLatched_ = false;
    bool zoneCompletedFlag_ = false;
    bool clearInputNextIdle_ = false;
    bool cheatLArmed_ = true;
    bool cheatKArmed_ = true;
    int32_t bonusPhase_ = 0;
    int32_t bonusDelay_ = 0;
    TimeSpan gameTime_;
    TimeSpan segmentStart_;
    const Level* levelRecord_ = nullptr;
    HighScoreList* highScoreList_ = nullptr;
    String levelTitle_;
    uint32_t backgroundColour_ = 0;
    GfxSurface* drawTarget_ = nullptr;

    int32_t mapPixelWidth_ = 0, mapPixelHeight_ = 0;
    int32_t blockWidth_ = 20, blockHeight_ = 20;
    int32_t viewWidth_ = 640, viewHeight_ = 460, viewX_ = 0, viewY_ = 20;
    int32_t scrollX_ = 0, scrollY_ = 0;
};

extern GameManager* gameManager;
