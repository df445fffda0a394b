#include "Src/records/Settings.h"

#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/records/DamagedFile.h"
#include "Src/records/ZoneOrder.h"
#include "Src/zones/LevelCatalogue.h"
#include "lib/ByteOrder.h"
#include "lib/FileIO.h"
#include "lib/HostPath.h"
#include "lib/Log.h"

#include <cstring>
#include <filesystem>

Options options;
Statistics statistics;
String lastPlayerName("");

namespace {

constexpr const char* kSource = "Settings";
constexpr int kKeySetSize = 4 * kKeyRoleCount;

void encodeKeySet(uint8_t* at, const KeySet& keys) {
    for (int i = 0; i < kKeyRoleCount; ++i)
        writeLE32(at + 4 * i, static_cast<uint32_t>(keys.keys[i]));
}

void decodeKeySet(const uint8_t* at, KeySet& keys) {
    for (int i = 0; i < kKeyRoleCount; ++i)
        keys.keys[i] = static_cast<int32_t>(readLE32(at + 4 * i));
}

void encodeStamp(uint8_t* at, TimeStatus status, int64_t ticks) {
    writeLE32(at, static_cast<uint32_t>(status));
    writeLE32(at + 4, 0);
    writeLE64(at + 8, static_cast<uint64_t>(ticks));
}

TimeStatus stampStatus(const uint8_t* at) {
    return static_cast<TimeStatus>(readLE32(at));
}

int64_t stampTicks(const uint8_t* at) {
    return static_cast<int64_t>(readLE64(at + 8));
}

bool knownStatus(TimeStatus status) {
    return status == TimeStatus::Valid || status == TimeStatus::Invalid ||
           status == TimeStatus::Null;
}

// A key set with a code the input layer does not know falls back to its
// defaults as a whole: half of a set is no use for steering.
bool checkKeySet(KeySet& keys, const KeySet& defaults, int player) {
    if (keys.hasOnlyKeyCodes())
        return true;
    reportError(kSource, __LINE__,
                "settings : key set of player %d has unknown key codes, using the defaults\n",
                player);
    keys = defaults;
    return false;
}

// The options and statistics of the session would be lost without a word.
bool reportFailedSave(const char* fileName) {
    reportError(kSource, __LINE__, "Could not write SettingsFile '%s', the old one is kept\n",
                fileName);
    return false;
}

// Set when the file last loaded could not be read whole: the next save
// would lose what it holds, so a copy is kept first.
bool fileDamaged = false;

void addUpTo(int32_t& field, int32_t amount) {
    if (__builtin_add_overflow(field, amount, &field))
        field = amount > 0 ? INT32_MAX : INT32_MIN;
}

} // namespace

void Options::encode(uint8_t* block) const {
    block[0] = titleMusic ? 1 : 0;
    block[1] = inGameMusic ? 1 : 0;
    block[2] = soundEffects ? 1 : 0;
    block[3] = fullScreen ? 1 : 0;
    encodeKeySet(block + 4, player1Keys);
    encodeKeySet(block + 4 + kKeySetSize, player2Keys);
}

void Options::decode(const uint8_t* block) {
    titleMusic = block[0] != 0;
    inGameMusic = block[1] != 0;
    soundEffects = block[2] != 0;
    fullScreen = block[3] != 0;
    decodeKeySet(block + 4, player1Keys);
    decodeKeySet(block + 4 + kKeySetSize, player2Keys);
}

void Statistics::encode(uint8_t* block) const {
    std::memset(block, 0, kSize);
    writeLE32(block, static_cast<uint32_t>(gamesPlayed));
    writeLE32(block + 4, static_cast<uint32_t>(levelsDone));
    writeLE32(block + 8, static_cast<uint32_t>(zonesCompleted));
    encodeStamp(block + 16, firstStart.status(), firstStart.ticks());
    encodeStamp(block + 32, totalRunTime.status(), totalRunTime.ticks());
    encodeStamp(block + 48, maxGameTime.status(), maxGameTime.ticks());
    writeLE32(block + 64, static_cast<uint32_t>(bestScore));
    writeLE32(block + 68, static_cast<uint32_t>(totalPoints));
}

void Statistics::decode(const uint8_t* block) {
    gamesPlayed = static_cast<int32_t>(readLE32(block));
    levelsDone = static_cast<int32_t>(readLE32(block + 4));
    zonesCompleted = static_cast<int32_t>(readLE32(block + 8));
    firstStart = DateTime(stampTicks(block + 16), stampStatus(block + 16));
    totalRunTime = TimeSpan(stampTicks(block + 32), stampStatus(block + 32));
    maxGameTime = TimeSpan(stampTicks(block + 48), stampStatus(block + 48));
    bestScore = static_cast<int32_t>(readLE32(block + 64));
    totalPoints = static_cast<int32_t>(readLE32(block + 68));
}

void Statistics::addLevel() {
    addUpTo(levelsDone, 1);
}

void Statistics::addGame(int32_t score, const TimeSpan& playTime, bool zoneCompleted) {
    totalRunTime += playTime;
    if (playTime > maxGameTime)
        maxGameTime = playTime;
    if (zoneCompleted) {
        addLevel();
        addUpTo(zonesCompleted, 1);
    }
    addUpTo(totalPoints, score);
    if (score > bestScore)
        bestScore = score;
    addUpTo(gamesPlayed, 1);
}

bool Statistics::isPlausible() const {
    for (int32_t count : {gamesPlayed, levelsDone, zonesCompleted, bestScore, totalPoints})
        if (count < 0)
            return false;
    for (const TimeSpan& span : {totalRunTime, maxGameTime})
        if (span.ticks() < 0 || !knownStatus(span.status()))
            return false;
    return knownStatus(firstStart.status());
}

void applyDefaultSettings() {
    fileDamaged = false; // no file read over them yet
    options = Options();
    app.fullScreen = options.fullScreen;
}

void resetStatistics() {
    statistics = Statistics();
    statistics.firstStart = DateTime::now();
}

void loadSettings(const char* fileName) {
    FileIO file;
    std::error_code error;
    fileDamaged = false;
    chosenZoneOrder.forget();
    if (!file.openRead(fileName)) {
        // There, but not to be read.
        fileDamaged = std::filesystem::exists(hostPath(fileName).c_str(), error);
        return;
    }
    fileDamaged = true; // until it has been read whole
    int32_t version = 0;
    if (!file.readInt(version) || version != kSettingsVersion)
        return;

    int32_t skill = 0;
    int32_t zone = 0;
    bool whole = file.readInt(skill) && skill >= kSkillEasy && skill <= kSkillHard;
    currentSkill = whole ? skill : kSkillEasy;
    // Checked against the zones once they are scanned, and moved with its
    // zone when the side file tells which zone it meant.
    if (file.readInt(zone)) {
        currentZone = zone;
        chosenZoneOrder.load(fileName);
    } else {
        whole = false;
    }

    // The two blocks are taken only whole: a cut-off block would mix stored
    // and default values at random.
    uint8_t block[Statistics::kSize];
    const int optionBytes = file.read(block, Options::kSize);
    if (optionBytes == Options::kSize) {
        options.decode(block);
        whole = checkKeySet(options.player1Keys, kDefaultKeysPlayer1, 1) && whole;
        whole = checkKeySet(options.player2Keys, kDefaultKeysPlayer2, 2) && whole;
        app.fullScreen = options.fullScreen;
    } else {
        reportError(kSource, __LINE__,
                    "settings : Options cut short (%d of %d bytes), using the defaults\n",
                    optionBytes, Options::kSize);
        return;
    }
    String name;
    if (file.readString(name))
        lastPlayerName = name;
    else
        whole = false;

    const int statisticsBytes = file.read(block, Statistics::kSize);
    if (statisticsBytes != Statistics::kSize) {
        reportError(kSource, __LINE__,
                    "settings : Statistics cut short (%d of %d bytes), kept as they were\n",
                    statisticsBytes, Statistics::kSize);
        return;
    }
    Statistics stored;
    stored.decode(block);
    if (stored.isPlausible()) {
        statistics = stored;
        fileDamaged = fileDamaged && !whole;
    } else {
        reportError(kSource, __LINE__,
                    "settings : Statistics out of range, starting them afresh\n");
        resetStatistics();
    }

    if (levelCatalogue.hasCompletionFlags())
        levelCatalogue.readCompletionFlags(file);
}

bool saveSettings(const char* fileName) {
    options.fullScreen = app.fullScreen;
    if (fileDamaged && !keepDamagedFile(fileName))
        return false;
    fileDamaged = false;
    FileIO file;
    if (!file.openReplace(fileName))
        return reportFailedSave(fileName);
    uint8_t block[Statistics::kSize];
    file.writeInt(kSettingsVersion);
    file.writeInt(currentSkill);
    file.writeInt(currentZone);
    options.encode(block);
    file.write(block, Options::kSize);
    file.writeString(lastPlayerName);
    statistics.encode(block);
    file.write(block, Statistics::kSize);
    if (levelCatalogue.hasCompletionFlags())
        levelCatalogue.writeCompletionFlags(file);
    // Put in place only when every write above went through.
    if (!file.commit())
        return reportFailedSave(fileName);
    chosenZoneOrder.save(fileName);
    return true;
}
