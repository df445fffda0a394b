// The balance of a set of zones, found by playing: every level on every
// skill with the planner and with player models of three speeds, over many
// seeds, through the real game headless and without any clock.
#pragma once

#include "Src/game/GameManager.h"
#include "gfx/GfxScreen.h"
#include "gfx/HeadlessPlatform.h"
#include "tools/balance/Bot.h"

#include <memory>
#include <string>
#include <vector>

constexpr int kSkills = 3;
constexpr int kFramesPerLevelSecond = 56; // the level clock takes a second every 56 frames

// A headless platform that takes message boxes, so a fatal error's text
// can be read back.
class BoxPlatform : public HeadlessPlatform {
public:
    bool hasDisplay() const override { return true; }
};

struct LevelOutcome {
    bool loaded = false;
    bool cleared = false;
    int frames = 0;
    int lives = 0, timeAllowed = 0; // what the level starts with
    double seconds() const { return static_cast<double>(frames) / kFramesPerLevelSecond; }
};

// The game's globals set up for play without a window: the pictures come
// from gameDir's Data/Gfx (the working directory while it is open), the
// zones from levelsDir.
class HeadlessGame {
public:
    HeadlessGame() = default;
    ~HeadlessGame();
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    // False with the reason when the pictures or the zones cannot be read;
    // with errors, each error of a description file goes there instead.
    bool open(const std::string& gameDir, const std::string& levelsDir, std::string& error,
              std::vector<std::string>* errors = nullptr);
    // One try at a level from its start.
    LevelOutcome play(int zone, int level, int skill, Controller& controller);
    // Loads a level as a game would; the fatal error's text if it fails.
    bool load(int zone, int level, int skill, std::string& error);

    GameManager& game() { return *game_; }
    BoxPlatform& platform() { return platform_; }

private:
    std::string previousDir_;
    BoxPlatform platform_;
    std::unique_ptr<GfxScreen> screen_;
    std::unique_ptr<GameManager> game_;
};

struct PlayerKind {
    const char* name;
    int reactionFrames;
};
// Quick, average and slow players.
extern const PlayerKind kPlayerKinds[3];
constexpr double kWrongTurn = 0.01;

struct SkillResult {
    bool loaded = false;
    int timeAllowed = 0;
    bool plannerCleared = false;
    double plannerSeconds = 0; // of the try that cleared, or the last
    int snakesLost = 0;
    double clearRate[3] = {}; // per player kind
    double modelSeconds = 0;  // the average player's cleared tries, mean
    double meanClearRate() const { return (clearRate[0] + clearRate[1] + clearRate[2]) / 3; }
    double timeShare() const { return timeAllowed > 0 ? plannerSeconds / timeAllowed : 0; }
};

struct LevelResult {
    int number = 0;
    SkillResult skill[kSkills];
};

struct ZoneResult {
    std::string name;
    int rating = 0;
    std::vector<LevelResult> levels;
    // 1 - the players' clear rate, over the zone's levels.
    double difficulty(int skill) const;
    double difficulty() const;
};

// Plays every level of every zone the game has open; seeds player models
// per level, skill and kind.
std::vector<ZoneResult> measureZones(HeadlessGame& game, int seeds);
SkillResult measureLevel(HeadlessGame& game, int zone, int level, int skill, int seeds);

// The rules the shipped zones keep; one line per rule broken.
std::vector<std::string> balanceProblems(const std::vector<ZoneResult>& zones);

std::string formatReport(const std::vector<ZoneResult>& zones, int seeds);
std::string formatSummary(const std::vector<ZoneResult>& zones);
// The difficulty of every level along the zone order, as a PNG file.
std::vector<uint8_t> plotDifficulty(const std::vector<ZoneResult>& zones);

// Every problem of the zones below levelsDir, read as the game reads them:
// the description files, each map and each level's start.
std::vector<std::string> checkZones(const std::string& gameDir, const std::string& levelsDir);
