#include "tools/balance/Balance.h"

#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/InputManager.h"
#include "Src/game/SegmentPool.h"
#include "Src/records/Settings.h"
#include "Src/zones/LevelCatalogue.h"
#include "lib/HostPath.h"
#include "map/TileMap.h"
#include "tools/levelc/LevelSource.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

const PlayerKind kPlayerKinds[3] = {{"quick", 8}, {"average", 12}, {"slow", 16}};

namespace {

// Far beyond any level's clock, even with every time item eaten.
constexpr int kFrameLimit = kFramesPerLevelSecond * 3600;

int livesOf(int skill) {
    return skill == kSkillEasy ? 3 : skill == kSkillNormal ? 2 : 1;
}

const char* const kSkillNames[kSkills] = {"Easy", "Normal", "Hard"};

// The same seeds on every skill, so skills differ only by the level.
uint32_t playerSeed(int zone, int level, int kind, int seed) {
    return static_cast<uint32_t>(1000003 * zone + 10007 * level + 101 * kind + seed);
}

std::string format(const char* fmt, double a = 0, double b = 0, double c = 0, double d = 0) {
    char text[256];
    std::snprintf(text, sizeof text, fmt, a, b, c, d);
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
    app.screen = screen_.get();
    app.backSurface = nullptr; // nothing is drawn
    if (!segmentPool)
        segmentPool = new SegmentPool;
    options = Options();
    options.soundEffects = false;
    options.inGameMusic = false;
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

LevelOutcome HeadlessGame::play(int zone, int level, int skill, Controller& controller, int clock) {
    LevelOutcome out;
    std::string error;
    if (!load(zone, level, skill, error))
        return out;
    out.loaded = true;
    if (clock > 0) {
        game_->setLevelTime(clock);
        game_->setTimeLeft(clock);
    }
    controller.startLevel();
    int frame = 0;
    game_->scriptControl = [&](ControlState& control) {
        control = ControlState();
        switch (controller.direction(*game_, frame)) {
        case Snake::kUp:
            control.vertical = -1;
            break;
        case Snake::kRight:
            control.horizontal = 1;
            break;
        case Snake::kDown:
            control.vertical = 1;
            break;
        case Snake::kLeft:
            control.horizontal = -1;
            break;
        default:
            break;
        }
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
    const Level* record = levelCatalogue.getLevel(zone, level);
    r.timeAllowed = record ? record->time(skill) : 0;
    Planner planner;
    const LevelOutcome planned = game.play(zone, level, skill, planner);
    r.loaded = planned.loaded;
    if (!r.loaded)
        return r;
    r.plannerCleared = planned.cleared;
    r.plannerSeconds = planned.seconds();
    // The planner plays the same way each time: it loses every snake or none.
    r.snakesLost = planned.cleared ? 0 : livesOf(skill);
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
        const Level* first = levelCatalogue.getLevel(z, 1);
        zone.rating = first && first->zone ? first->zone->skill : 0;
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
                char line[256];
                std::snprintf(line, sizeof line,
                              "%-11s %3d %-6s %4d |          %-7s %5.1f  %4.0f%% %4d |          "
                              "%4.0f%% %6.0f%% %4.0f%%  %6.1f\n",
                              zone.name.c_str(), level.number, kSkillNames[skill], r.timeAllowed,
                              r.plannerCleared ? "yes" : "no", r.plannerSeconds,
                              100 * r.timeShare(), r.snakesLost, 100 * r.clearRate[0],
                              100 * r.clearRate[1], 100 * r.clearRate[2], r.modelSeconds);
                out += line;
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
        char line[256];
        std::snprintf(line, sizeof line,
                      "%-11s %6d %6zu |        %2d/%2d/%2d      |       %3.0f%% / %3.0f%%  | "
                      "%3.0f%% %3.0f%% %3.0f%%     | %.2f\n",
                      zone.name.c_str(), zone.rating, zone.levels.size(), cleared[0], cleared[1],
                      cleared[2], 100 * shareSum / n, 100 * shareMax, 100 * rate[0] / n,
                      100 * rate[1] / n, 100 * rate[2] / n, zone.difficulty());
        out += line;
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

namespace {

constexpr int kTestSeeds = 2; // the seeds the balance test plays

// What the tries of one level on one skill needed: for each try, the net
// seconds it took off the clock (time items given back), or -1 for a try
// lost by a crash.
struct Needs {
    std::vector<int> all;   // every seed
    std::vector<int> first; // the seeds the test plays
    int planner = 0;
};

double rateUnder(const std::vector<int>& needs, int clock) {
    int cleared = 0;
    for (int n : needs)
        cleared += n >= 0 && n < clock;
    return needs.empty() ? 0 : static_cast<double>(cleared) / static_cast<double>(needs.size());
}

Needs measureNeeds(HeadlessGame& game, int zone, int level, int skill, int seeds) {
    constexpr int kNoClock = 3000;
    Needs needs;
    Planner planner;
    const LevelOutcome p = game.play(zone, level, skill, planner, kNoClock);
    needs.planner = kNoClock - game.game().timeLeft();
    (void)p;
    for (int kind = 0; kind < 3; ++kind)
        for (int seed = 0; seed < seeds; ++seed) {
            PlayerModel player(kPlayerKinds[kind].reactionFrames, kWrongTurn,
                               playerSeed(zone, level, kind, seed));
            const LevelOutcome o = game.play(zone, level, skill, player, kNoClock);
            const int need = o.cleared ? kNoClock - game.game().timeLeft() : -1;
            needs.all.push_back(need);
            if (seed < kTestSeeds)
                needs.first.push_back(need);
        }
    return needs;
}

// The largest clock in [least, most] whose clear rates stay below the
// given ones on both sets of seeds and reach no more than the target;
// least when none does.
int clockBelow(const Needs& n, int least, int most, double target, double above,
               double aboveFirst) {
    for (int t = most; t > least; --t)
        if (rateUnder(n.all, t) <= target && rateUnder(n.all, t) < above &&
            rateUnder(n.first, t) < aboveFirst)
            return t;
    return least;
}

} // namespace

std::vector<TunedZone> tuneTimes(HeadlessGame& game, int seeds) {
    std::vector<TunedZone> zones;
    const int zoneCount = levelCatalogue.getZoneCount();
    for (int z = 0; z < zoneCount; ++z) {
        const double place = zoneCount > 1 ? static_cast<double>(z) / (zoneCount - 1) : 0;
        const int count = levelCatalogue.getLevelCount(z);
        std::vector<std::array<int, kSkills>> times;
        for (int n = 1; n <= count; ++n) {
            Needs needs[kSkills];
            for (int skill = 0; skill < kSkills; ++skill)
                needs[skill] = measureNeeds(game, z, n, skill, seeds);
            // The planner always clears, with room to spare.
            int least[kSkills];
            for (int skill = 0; skill < kSkills; ++skill)
                least[skill] = static_cast<int>(needs[skill].planner * 1.15) + 2;
            // Easy: nearly every try that does not crash clears (a few
            // that wander for long are left out).
            std::vector<int> cleared;
            for (int need : needs[0].all)
                if (need >= 0)
                    cleared.push_back(need);
            std::sort(cleared.begin(), cleared.end());
            int easy = least[0];
            if (!cleared.empty())
                easy = std::max(
                    easy, static_cast<int>(cleared[(cleared.size() - 1) * 19 / 20] * 1.1) + 2);
            const double easyRate = rateUnder(needs[0].all, easy);
            // Normal and Hard below it, tighter along the zone order; on
            // Hard the planner needs half the clock on the last two levels.
            const int normal = clockBelow(needs[1], least[1], easy, easyRate * (0.85 - 0.2 * place),
                                          easyRate, rateUnder(needs[0].first, easy));
            int mostHard = normal;
            if (n + 2 > count)
                mostHard = std::min(mostHard, std::max(least[2], needs[2].planner * 2));
            const int hard =
                clockBelow(needs[2], least[2], mostHard, easyRate * (0.6 - 0.25 * place),
                           rateUnder(needs[1].all, normal), rateUnder(needs[1].first, normal));
            times.push_back({easy, normal, hard});
            std::fprintf(stderr, "%s %d: %d %d %d (planner %d %d %d)\n",
                         levelCatalogue.getZoneName(z), n, easy, normal, hard, needs[0].planner,
                         needs[1].planner, needs[2].planner);
        }
        // The zone's own file, its levels' Time values replaced in order.
        const Level* first = levelCatalogue.getLevel(z, 1);
        if (!first)
            continue;
        std::filesystem::path dir = hostPath(first->fileName.c_str()).c_str();
        dir = dir.parent_path();
        std::ifstream in(dir / "level.txt", std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        size_t at = 0;
        for (const auto& time : times) {
            at = text.find("<Level>", at);
            const size_t end = text.find("</Level>", at);
            const size_t key = text.find("Time=", at);
            if (at == std::string::npos || key == std::string::npos || key > end)
                break;
            const size_t valueEnd = text.find_first_of(";\r\n", key);
            const std::string value = std::to_string(time[0]) + "," + std::to_string(time[1]) +
                                      "," + std::to_string(time[2]);
            text.replace(key + 5, valueEnd - key - 5, value);
            at = key;
        }
        zones.push_back({dir.filename().string(), text});
    }
    return zones;
}
