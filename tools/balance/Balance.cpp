#include "tools/balance/Balance.h"

#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/InputManager.h"
#include "Src/game/SegmentPool.h"
#include "Src/records/Settings.h"
#include "Src/zones/LevelCatalogue.h"
#include "map/TileMap.h"
#include "tools/levelc/LevelSource.h"

#include <cstdio>
#include <filesystem>

const PlayerKind kPlayerKinds[3] = {{"quick", 8}, {"average", 12}, {"slow", 16}};

namespace {

// Far beyond any level's clock, even with every time item eaten.
constexpr int kFrameLimit = kFramesPerLevelSecond * 3600;

const char* const kSkillNames[kSkills] = {"Easy", "Normal", "Hard"};

// The same seeds on every skill, so skills differ only by the level.
uint32_t playerSeed(int zone, int level, int kind, int seed) {
    return static_cast<uint32_t>(1000003 * zone + 10007 * level + 101 * kind + seed);
}

template <typename... Values> std::string format(const char* fmt, Values... values) {
    char text[256];
    std::snprintf(text, sizeof text, fmt, values...);
    return text;
}

// The text of the last message box after the first ones, without its
// caption; otherwise the fallback.
std::string lastBox(const BoxPlatform& platform, size_t after, const char* fallback) {
    const std::vector<std::string>& boxes = platform.messageBoxes();
    if (boxes.size() <= after)
        return fallback;
    const std::string caption = "Error: ";
    const std::string& box = boxes.back();
    return box.compare(0, caption.size(), caption) == 0 ? box.substr(caption.size()) : box;
}

} // namespace

HeadlessGame::~HeadlessGame() {
    game_.reset();
    levelCatalogue.collectErrors(nullptr);
    levelCatalogue.clearZones();
    app = ApplicationState();
    if (!previousDir_.empty()) {
        std::error_code ignored;
        std::filesystem::current_path(previousDir_, ignored);
    }
}

bool HeadlessGame::open(const std::string& gameDir, const std::string& levelsDir,
                        std::string& error, std::vector<std::string>* errors) {
    std::error_code ec;
    const std::string levels = std::filesystem::absolute(levelsDir, ec).string();
    previousDir_ = std::filesystem::current_path(ec).string();
    std::filesystem::current_path(gameDir, ec);
    if (ec) {
        error = "cannot enter the game directory '" + gameDir + "'";
        return false;
    }
    app = ApplicationState();
    app.platform = &platform_;
    app.appActive = 1;
    platform_.createWindow("Lurvane", 640, 480);
    screen_ = std::make_unique<GfxScreen>(&platform_);
    if (screen_->CreateWindowed(&platform_, 640, 480) != 0) {
        error = "no screen";
        return false;
    }
    app.screen = screen_.get(); // and no back surface: nothing is drawn
    if (!segmentPool)
        segmentPool = new SegmentPool;
    options = Options(); // no sound system is made: nothing plays
    game_ = std::make_unique<GameManager>();
    levelCatalogue.collectErrors(errors);
    const bool read = levelCatalogue.scanZones(levels.c_str());
    levelCatalogue.collectErrors(nullptr);
    if (!read && !errors) {
        error = lastBox(platform_, 0, "the zones cannot be read");
        return false;
    }
    return true;
}

bool HeadlessGame::load(int zone, int level, int skill, std::string& error) {
    currentZone = zone;
    currentSkill = skill;
    app.loopResult = kLoopRunning;
    app.gamePaused = false;
    const size_t boxes = platform_.messageBoxes().size();
    game_->startGame();
    game_->setLevelNumber(level);
    if (game_->loadLevel())
        return true;
    error = lastBox(platform_, boxes, "the level cannot be loaded");
    return false;
}

LevelOutcome HeadlessGame::play(int zone, int level, int skill, Controller& controller) {
    LevelOutcome out;
    std::string error;
    if (!load(zone, level, skill, error))
        return out;
    out.loaded = true;
    out.lives = game_->lives();
    out.timeAllowed = game_->levelTime();
    controller.startLevel();
    int frame = 0;
    game_->scriptControl = [&](ControlState& control) {
        holdDirection(controller.direction(*game_, frame), control);
    };
    while (!game_->messageShown() && frame < kFrameLimit) {
        game_->levelFrame();
        ++frame;
    }
    game_->scriptControl = nullptr;
    out.frames = frame;
    out.cleared = app.loopResult == kLoopLevelCompleted || app.loopResult == kLoopZoneCompleted;
    game_->unloadLevel();
    return out;
}

SkillResult measureLevel(HeadlessGame& game, int zone, int level, int skill, int seeds) {
    SkillResult r;
    Planner planner;
    const LevelOutcome planned = game.play(zone, level, skill, planner);
    r.loaded = planned.loaded;
    if (!r.loaded)
        return r;
    r.timeAllowed = planned.timeAllowed;
    r.plannerCleared = planned.cleared;
    r.plannerSeconds = planned.seconds();
    // The planner plays the same way each time: it loses every snake or none.
    r.snakesLost = planned.cleared ? 0 : planned.lives;
    int clearedAverage = 0;
    for (int kind = 0; kind < 3; ++kind) {
        int cleared = 0;
        for (int seed = 0; seed < seeds; ++seed) {
            PlayerModel player(kPlayerKinds[kind].reactionFrames, kWrongTurn,
                               playerSeed(zone, level, kind, seed));
            const LevelOutcome o = game.play(zone, level, skill, player);
            if (!o.cleared)
                continue;
            ++cleared;
            if (kind == 1) {
                ++clearedAverage;
                r.modelSeconds += o.seconds();
            }
        }
        r.clearRate[kind] = seeds > 0 ? static_cast<double>(cleared) / seeds : 0;
    }
    if (clearedAverage > 0)
        r.modelSeconds /= clearedAverage;
    return r;
}

std::vector<ZoneResult> measureZones(HeadlessGame& game, int seeds) {
    std::vector<ZoneResult> zones;
    for (int z = 0; z < levelCatalogue.getZoneCount(); ++z) {
        ZoneResult zone;
        zone.name = levelCatalogue.getZoneName(z);
        zone.rating = levelCatalogue.getZoneSkill(z);
        for (int n = 1; n <= levelCatalogue.getLevelCount(z); ++n) {
            LevelResult level;
            level.number = n;
            for (int skill = 0; skill < kSkills; ++skill)
                level.skill[skill] = measureLevel(game, z, n, skill, seeds);
            zone.levels.push_back(level);
        }
        zones.push_back(zone);
    }
    return zones;
}

double ZoneResult::difficulty(int skill) const {
    double sum = 0;
    for (const LevelResult& level : levels)
        sum += 1 - level.skill[skill].meanClearRate();
    return levels.empty() ? 0 : sum / static_cast<double>(levels.size());
}

double ZoneResult::difficulty() const {
    return (difficulty(0) + difficulty(1) + difficulty(2)) / kSkills;
}

std::vector<std::string> balanceProblems(const std::vector<ZoneResult>& zones) {
    std::vector<std::string> problems;
    for (size_t z = 0; z < zones.size(); ++z) {
        const ZoneResult& zone = zones[z];
        for (const LevelResult& level : zone.levels) {
            const std::string where = zone.name + " " + std::to_string(level.number);
            if (!level.skill[0].loaded) {
                problems.push_back(where + ": the level cannot be loaded (see balance --check)");
                continue;
            }
            for (int skill = 0; skill < kSkills; ++skill)
                if (!level.skill[skill].plannerCleared)
                    problems.push_back(where + " on " + kSkillNames[skill] +
                                       ": the planner does not clear it");
            const double easy = level.skill[0].meanClearRate();
            const double normal = level.skill[1].meanClearRate();
            const double hard = level.skill[2].meanClearRate();
            if (!(easy > normal && normal > hard))
                problems.push_back(where + format(": clear rate does not fall (%.2f, %.2f, %.2f)",
                                                  easy, normal, hard));
            const bool lastLevels = level.number + 2 > static_cast<int>(zone.levels.size());
            if (lastLevels && level.skill[2].timeShare() < 0.5)
                problems.push_back(where + format(" on Hard: the planner uses %.0f%% of the time",
                                                  100 * level.skill[2].timeShare()));
        }
        if (z > 0 && !(zone.difficulty() > zones[z - 1].difficulty()))
            problems.push_back(zone.name + format(": difficulty %.2f, not above the zone before",
                                                  zone.difficulty()));
    }
    return problems;
}

std::string formatReport(const std::vector<ZoneResult>& zones, int seeds) {
    std::string out = "Balance report: planner, and " + std::to_string(seeds) +
                      " seeds of each player (quick/average/slow react every 8/12/16 frames)\n\n";
    out += "zone        lvl skill  time | planner: cleared  used  share lost | players: quick "
           "average slow  avg.used\n";
    for (const ZoneResult& zone : zones)
        for (const LevelResult& level : zone.levels)
            for (int skill = 0; skill < kSkills; ++skill) {
                const SkillResult& r = level.skill[skill];
                out += format("%-11s %3d %-6s %4d |          %-7s %5.1f  %4.0f%% %4d |          "
                              "%4.0f%% %6.0f%% %4.0f%%  %6.1f\n",
                              zone.name.c_str(), level.number, kSkillNames[skill], r.timeAllowed,
                              r.plannerCleared ? "yes" : "no", r.plannerSeconds,
                              100 * r.timeShare(), r.snakesLost, 100 * r.clearRate[0],
                              100 * r.clearRate[1], 100 * r.clearRate[2], r.modelSeconds);
            }
    out += "\n" + formatSummary(zones);
    const std::vector<std::string> problems = balanceProblems(zones);
    out += "\nRules kept: planner clears all; clear rate falls Easy > Normal > Hard; difficulty "
           "rises along the zones; on Hard the last two levels use half the time or more.\n";
    if (problems.empty())
        out += "All kept.\n";
    for (const std::string& p : problems)
        out += "  " + p + "\n";
    return out;
}

std::string formatSummary(const std::vector<ZoneResult>& zones) {
    std::string out = "zone        rating levels | planner cleared E/N/H | Hard share mean/max | "
                      "clear rate E/N/H     | difficulty\n";
    for (const ZoneResult& zone : zones) {
        int cleared[kSkills] = {};
        double rate[kSkills] = {};
        double shareSum = 0, shareMax = 0;
        for (const LevelResult& level : zone.levels) {
            for (int skill = 0; skill < kSkills; ++skill) {
                cleared[skill] += level.skill[skill].plannerCleared;
                rate[skill] += level.skill[skill].meanClearRate();
            }
            const double share = level.skill[2].timeShare();
            shareSum += share;
            shareMax = share > shareMax ? share : shareMax;
        }
        const double n = zone.levels.empty() ? 1 : static_cast<double>(zone.levels.size());
        out += format("%-11s %6d %6zu |        %2d/%2d/%2d      |       %3.0f%% / %3.0f%%  | "
                      "%3.0f%% %3.0f%% %3.0f%%     | %.2f\n",
                      zone.name.c_str(), zone.rating, zone.levels.size(), cleared[0], cleared[1],
                      cleared[2], 100 * shareSum / n, 100 * shareMax, 100 * rate[0] / n,
                      100 * rate[1] / n, 100 * rate[2] / n, zone.difficulty());
    }
    return out;
}

std::vector<std::string> checkZones(const std::string& gameDir, const std::string& levelsDir) {
    std::vector<std::string> problems;
    HeadlessGame game;
    std::string error;
    if (!game.open(gameDir, levelsDir, error, &problems)) {
        problems.push_back(error);
        return problems;
    }
    for (int z = 0; z < levelCatalogue.getZoneCount(); ++z)
        for (int n = 1; n <= levelCatalogue.getLevelCount(z); ++n) {
            if (!game.load(z, n, kSkillEasy, error)) {
                problems.push_back(error);
                continue;
            }
            // The level's start as its map gives it, before the snake is
            // built from it.
            const std::string path = levelCatalogue.getLevelFileName(z, n);
            TileMap map;
            map.setTransparentColour(0);
            if (map.load(app.screen, path.c_str(), 0, 0, -1, -1) != 0)
                continue;
            map.selectLayer(0);
            LevelSource start;
            start.width = map.getMapWidth();
            start.height = map.getMapHeight();
            for (int y = 0; y < start.height; ++y)
                for (int x = 0; x < start.width; ++x)
                    start.cells.push_back(static_cast<int16_t>(map.getBlock(x, y)));
            if (!checkLevelPlayable(start, error))
                problems.push_back(path + ": " + error);
        }
    game.game().unloadLevel();
    return problems;
}
