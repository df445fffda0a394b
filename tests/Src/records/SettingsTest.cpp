// The settings file; expected contents are laid out from the format's offsets.
#include "Src/records/Settings.h"

#include "Src/app/GameSystems.h"
#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/TextStyles.h"
#include "Src/records/ZoneOrder.h"
#include "Src/zones/LevelCatalogue.h"
#include "gfx/HeadlessPlatform.h"
#include "lib/FileIO.h"
#include "lib/Log.h"
#include "tests/support/ByteBuilder.h"
#include "tests/support/Golden.h"
#include "tests/support/LoggedTest.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <sstream>
#include <string>

namespace {

constexpr int64_t kSecond = 10'000'000;

// The 60-byte options block.
ByteBuilder& optionsBlock(ByteBuilder& b, uint8_t title, uint8_t inGame, uint8_t effects,
                          uint8_t full, const KeySet& one, const KeySet& two) {
    b.u8(title).u8(inGame).u8(effects).u8(full);
    for (int32_t code : one.keys)
        b.i32(code);
    for (int32_t code : two.keys)
        b.i32(code);
    return b;
}

// Player 1's first key has a zero low byte, beside the full screen switch.
constexpr KeySet kKeysOne = {{256, 2, 3, 4, 5, 6, 269}};
constexpr KeySet kKeysTwo = {{256, 0, 0, 9, 8, 7, 13}};

// A file with every field away from its default.
std::string customFile() {
    ByteBuilder b;
    b.i32(2).i32(2).i32(1);
    optionsBlock(b, 0, 1, 0, 1, kKeysOne, kKeysTwo);
    b.u8(3).raw("Ann").i32(7).i32(20).i32(3).zeros(4);
    // Each time field has its own status: valid, null, invalid.
    b.i32(0).zeros(4).i64(400 * kSecond);
    b.i32(2).zeros(4).i64(3600 * kSecond);
    b.i32(1).zeros(4).i64(600 * kSecond);
    return b.i32(12345).i32(45678).data;
}

std::string keysText(const KeySet& set) {
    std::string text;
    for (int32_t code : set.keys)
        text += (text.empty() ? "" : ",") + std::to_string(code);
    return text;
}

std::string spanText(const TimeSpan& span) {
    return std::to_string(static_cast<int>(span.status())) + ":" + std::to_string(span.ticks());
}

std::string statisticsText(const Statistics& s) {
    return "counts=" + std::to_string(s.gamesPlayed) + "/" + std::to_string(s.levelsDone) + "/" +
           std::to_string(s.zonesCompleted) + " best=" + std::to_string(s.bestScore) +
           " total=" + std::to_string(s.totalPoints) + " run=" + spanText(s.totalRunTime) +
           " longest=" + spanText(s.maxGameTime);
}

struct SettingsFile : LoggedTest {
    std::string path = dir.file("settings.dat");

    void SetUp() override {
        LoggedTest::SetUp();
        app = ApplicationState();
        defaults();
    }
    void TearDown() override {
        LoggedTest::TearDown();
        levelCatalogue.clearZones();
        FileIO::renameFile = std::rename;
        defaults();
        app = ApplicationState();
    }
    void defaults() {
        currentSkill = 0;
        currentZone = 0;
        applyDefaultSettings();
        resetStatistics();
        lastPlayerName = "";
    }
    // Loads these bytes (a fuzzer seed too) over the defaults and saves
    // twice (the file first removed when gone): the values taken, the saves'
    // results, what was kept aside, the reports. A first start "77" is the
    // default's, untouched; "now" one started afresh.
    std::string scenario(const std::string& what, const std::string& bytes, bool gone = false) {
        const std::string seeds = std::string(LURVANE_FUZZ_CORPUS_DIR) + "/settings";
        std::filesystem::create_directories(seeds);
        writeFile(seeds + "/" + what + ".dat", bytes);
        writeFile(path, bytes);
        defaults();
        statistics.firstStart = DateTime(77);
        std::filesystem::remove(errors);
        std::filesystem::remove(path + ".damaged");
        loadSettings(path.c_str());
        const int64_t first = statistics.firstStart.ticks();
        std::ostringstream out;
        out << what << ": skill=" << currentSkill << " zone=" << currentZone
            << " music=" << options.titleMusic << options.inGameMusic
            << " fx=" << options.soundEffects << " full=" << app.fullScreen
            << " keys1=" << keysText(options.player1Keys)
            << " keys2=" << keysText(options.player2Keys) << " name=" << lastPlayerName.c_str()
            << " " << statisticsText(statistics)
            << " first=" << static_cast<int>(statistics.firstStart.status()) << ":"
            << (first == 77             ? "77"
                : first > 400 * kSecond ? "now"
                                        : std::to_string(first / kSecond) + "s");
        if (gone)
            std::filesystem::remove(path);
        out << " saved=" << saveSettings(path.c_str()) << saveSettings(path.c_str()) << " aside="
            << (!std::filesystem::exists(path + ".damaged") ? "none"
                : readFile(path + ".damaged") == bytes      ? "same"
                                                            : "other")
            << (std::filesystem::exists(path + ".damaged.2") ? "+2" : "") << "\n";
        return out.str() + reports("  ");
    }
    // Scanned zones give the catalogue completion flags.
    void scanZones(int count) {
        std::filesystem::remove_all(dir.file("Levels"));
        std::filesystem::create_directories(dir.file("Levels"));
        for (int i = 0; i < count; ++i)
            dir.write("Levels/z" + std::to_string(i) + "/level.txt", "");
        ASSERT_TRUE(levelCatalogue.scanZones(dir.file("Levels").c_str()));
        followZones();
        ASSERT_EQ(levelCatalogue.getZoneCount(), count);
    }
};

// Remembers whether the display ever went full screen.
class DisplayModePlatform : public HeadlessPlatform {
public:
    bool wentFullScreen = false;
    bool setFullScreen(bool fullScreen) override {
        wentFullScreen = wentFullScreen || fullScreen;
        return HeadlessPlatform::setFullScreen(fullScreen);
    }
};

} // namespace

// Read and saved anew, the custom file comes out byte for byte the same.
TEST_F(SettingsFile, WholeForeignCutAndOutOfRangeFilesGiveTheirValuesAndAreKeptAside) {
    const std::string custom = customFile();
    ASSERT_EQ(custom.size(), 12u + 60 + 4 + 72);
    std::string transcript = scenario("custom", custom);
    EXPECT_EQ(readFile(path), custom);
    transcript += scenario("custom and bytes after it", custom + std::string(9, '\0'));
    transcript += scenario("cut, then gone", "\1", true);
    for (int32_t version : {1, 3, -2, 0x02000000})
        transcript += scenario("version " + std::to_string(version),
                               std::string(custom).replace(0, 4, ByteBuilder().i32(version).data));
    for (size_t length : {0, 3, 4, 7, 8, 11, 12, 13, 71, 72, 73, 75, 76, 77, 100, 147})
        transcript += scenario("cut at " + std::to_string(length), custom.substr(0, length));
    const ByteBuilder minusOne = ByteBuilder().i32(-1);
    const struct {
        const char* what;
        size_t at;
        std::string bytes;
    } ranges[] = {
        {"skill 3", 4, "\3"},
        {"skill -1", 4, minusOne.data},
        {"key 270 of player 1", 40, ByteBuilder().i32(270).data},
        {"key -1 of player 2", 68, minusOne.data},
        {"cheat keys", 20, "l"},
        {"negative count", 76, minusOne.data},
        {"zero run time", 116, std::string(8, '\0')},
        {"negative longest game", 132, ByteBuilder().i64(-5).data},
        {"unknown run time status", 108, "\3"},
        {"unknown longest game status", 124, "\3"},
        {"unknown first start status", 92, "\3"},
        {"negative best score", 140, minusOne.data},
        {"negative total", 144, minusOne.data},
    };
    for (const auto& c : ranges)
        transcript += scenario(c.what, std::string(custom).replace(c.at, c.bytes.size(), c.bytes));
    checkGoldenText(std::string(LURVANE_TEST_GOLDEN_DIR) + "/settings_files.txt", transcript);

    // The display's state is what gets stored, not the option.
    app.fullScreen = false;
    options.fullScreen = true;
    ASSERT_TRUE(saveSettings(path.c_str()));
    EXPECT_EQ(readFile(path)[15], '\0');
}

// Flags of zones that are not there are ignored; the name takes its 21
// bytes, and the file ends with the count and 3 flags.
TEST_F(SettingsFile, CompletionFlagsFollowTheScannedZones) {
    scanZones(3);
    for (int zone : {7, -1, 1})
        levelCatalogue.markZoneCompleted(zone);
    lastPlayerName = std::string(20, 'n').c_str();
    ASSERT_TRUE(saveSettings(path.c_str()));
    const std::string bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 12u + 60 + 21 + 72 + 4 + 3);
    EXPECT_EQ(bytes.substr(72, 21), "\x14" + std::string(20, 'n'));
    EXPECT_EQ(bytes.substr(bytes.size() - 7), std::string("\3\0\0\0\0\1\0", 7));
    // Fewer flags than zones, more (skipped), a cut block, a negative count.
    scanZones(3);
    std::string flags;
    for (const std::string& block :
         {std::string("\1\0\0\0\1\1", 6), ByteBuilder().i32(5).u8(1).u8(0).u8(9).u8(1).u8(1).data,
          std::string("\5\0\0\0\1\1\1", 7), std::string("\xff\xff\xff\xff\0", 5)}) {
        writeFile(path, bytes.substr(0, bytes.size() - 7) + block);
        loadSettings(path.c_str());
        for (int zone = 0; zone < 4; ++zone)
            flags += levelCatalogue.isZoneCompleted(zone) ? '1' : '0';
        flags += ' ';
    }
    EXPECT_EQ(flags, "1000 1010 1110 1110 ");
}

TEST_F(SettingsFile, TheChosenZoneIsCheckedAfterEveryScan) {
    struct {
        int32_t stored;
        int zones;
        int32_t after;
    } cases[] = {{2, 3, 2}, {3, 3, 0}, {-1, 3, 0}, {0, 1, 0}, {5, 0, 0}};
    for (const auto& c : cases) {
        currentZone = c.stored;
        levelCatalogue.clearZones();
        scanZones(c.zones);
        EXPECT_EQ(currentZone, c.after) << c.stored << " of " << c.zones;
    }
}

TEST_F(SettingsFile, AFailedSaveKeepsTheOldFileAndSaysSo) {
    writeFile(path, customFile());
    currentSkill = 1;
    FileIO::renameFile = [](const char*, const char*) { return -1; };
    EXPECT_FALSE(saveSettings(path.c_str()));
    EXPECT_EQ(readFile(path), customFile());
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));
    FileIO::renameFile = std::rename;
    // The new version's place is taken by a directory.
    std::filesystem::create_directory(path + ".new");
    EXPECT_FALSE(saveSettings(path.c_str()));
    EXPECT_EQ(readFile(path), customFile());
    const std::string message =
        "[Settings] Could not write SettingsFile '~/settings.dat', the old one is kept\n";
    EXPECT_EQ(reports(), message + message); // both failures
    std::filesystem::remove(path + ".new");
    EXPECT_TRUE(saveSettings(path.c_str()));
    EXPECT_EQ(readFile(path).substr(4, 4), std::string("\1\0\0\0", 4));
}

// The copy's name is too long for the file system, the file's is not.
TEST_F(SettingsFile, ADamagedFileThatCannotBeCopiedStays) {
    const std::string longName = dir.file(std::string(248, 's'));
    writeFile(longName, "\1");
    loadSettings(longName.c_str());
    EXPECT_FALSE(saveSettings(longName.c_str()));
    EXPECT_EQ(readFile(longName), "\1");
}

// Sums stop at the ends of their fields; the longest game and the best
// score stay after shorter and lower ones.
TEST(StatisticsSums, StopAtTheEndsOfTheirFieldsAndKeepTheLongestGameAndBestScore) {
    constexpr int32_t kTop = std::numeric_limits<int32_t>::max();
    constexpr int64_t kLongest = std::numeric_limits<int64_t>::max();
    Statistics s;
    std::string transcript;
    auto step = [&](const std::string& what) {
        transcript += what + ": " + statisticsText(s) +
                      " plausible=" + std::to_string(s.isPlausible()) + "\n";
    };
    for (const auto& [score, ticks] :
         std::vector<std::pair<int32_t, int64_t>>{{50, 30}, {20, 10}, {-5, 0}, {60, 40}}) {
        s.addGame(score, TimeSpan(ticks), false);
        step("game " + std::to_string(score) + " in " + std::to_string(ticks));
    }
    s = Statistics();
    s.gamesPlayed = kTop - 1;
    s.levelsDone = kTop - 2;
    s.zonesCompleted = kTop - 1;
    s.totalPoints = kTop - 100;
    s.totalRunTime = TimeSpan(kLongest - 10);
    s.addLevel();
    step("level near the top");
    for (int32_t score : {100, 1, kTop}) {
        s.addGame(score, TimeSpan(10), true);
        step("zone game " + std::to_string(score));
    }
    s.totalPoints = std::numeric_limits<int32_t>::min() + 1;
    s.totalRunTime = TimeSpan(std::numeric_limits<int64_t>::min() + 1);
    s.addGame(-5, TimeSpan(-5), false);
    step("game -5 near the bottom");
    checkGoldenText(std::string(LURVANE_TEST_GOLDEN_DIR) + "/statistics_sums.txt", transcript);
}

TEST(SettingsRun, SettingsLastFromOneRunToTheNext) {
    TempDir dir;
    ScopedWorkingDir cwd(dir.path());
    dir.write("Data/Levels/one/level.txt", "");
    auto run = [] {
        DisplayModePlatform platform;
        platform.pushEvent(PlatformEvent::CloseRequest);
        EXPECT_EQ(runLurvane(platform), 1); // no title picture
        return platform.wentFullScreen;
    };

    // A first run leaves the defaults and the one zone's flag; a damaged
    // high score file is reported and kept aside, and the program starts.
    const std::string damaged("\2\0\0\0\12\0\0", 7);
    dir.write("Data/highscores.dat", damaged);
    EXPECT_FALSE(run());
    EXPECT_NE(readFile("errorLog.txt").find("\n\nError in File Highscore, line "),
              std::string::npos);
    EXPECT_EQ(readFile("Data/highscores.dat.damaged"), damaged);
    EXPECT_EQ(readFile("Data/highscores.dat").size(), 4u + 12 + 880);
    ByteBuilder defaults; // and an empty name, statistics of this run, one flag
    optionsBlock(defaults.i32(2).i32(0).i32(0), 1, 0, 1, 0, {{134, 135, 136, 137, 131, 112, 27}},
                 {{97, 100, 119, 115, 130, 0, 0}});
    const std::string first = readFile("Data/settings.dat");
    EXPECT_EQ(first.substr(0, 73) + first.substr(145), defaults.u8(0).i32(1).u8(0).data);

    // Stored settings are in force from the start and go back as they came;
    // completion flags last only until the zones are scanned again.
    ByteBuilder stored;
    stored.raw(customFile()).i32(1).u8(1);
    std::string custom = stored.data;
    custom.replace(8, 4, std::string(4, '\0')); // zone 0: the only one
    writeFile("Data/settings.dat", custom);
    EXPECT_TRUE(run());
    std::string expected = custom;
    expected.back() = '\0';
    EXPECT_EQ(readFile("Data/settings.dat"), expected);

    gameLog.close();
    errorLog.close();
}
