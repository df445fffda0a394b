// The high score tables and their file; expected bytes are laid out from
// the format's offsets, independently of the code that encodes them.
#include "Src/records/HighScoreManager.h"

#include "lib/FileIO.h"
#include "lib/Log.h"
#include "tests/support/ByteBuilder.h"
#include "tests/support/Golden.h"
#include "tests/support/LoggedTest.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// An 88-byte entry: name (64 bytes), date, score, byPlayer, 3 zero bytes.
struct Bytes : ByteBuilder {
    Bytes& entry(const std::string& name, int32_t status, int64_t ticks, int32_t score,
                 uint8_t byPlayer) {
        raw(name).zeros(64 - name.size());
        i32(status).zeros(4).i64(ticks).i32(score).u8(byPlayer).zeros(3);
        return *this;
    }
    Bytes& list(int32_t n, int32_t skill, int32_t zone) {
        i32(n).i32(skill).i32(zone);
        return *this;
    }
    explicit Bytes(int32_t lists) { i32(lists); }
};

constexpr int64_t kDay = 864'000'000'000;

struct HighScoreFiles : LoggedTest {
    std::string path = dir.file("highscores.dat");
    void TearDown() override {
        LoggedTest::TearDown();
        FileIO::renameFile = std::rename;
    }
};

// skill/zone: then name and score of each entry, "*" when by a player.
std::string tableText(const HighScoreList& list, bool dates = false) {
    std::string text = std::to_string(list.skill) + "/" + std::to_string(list.zone) + ":";
    for (const HighScoreEntry& e : list.entries) {
        text += std::string(" ") + e.name + " " + std::to_string(e.score) + (e.byPlayer ? "*" : "");
        if (dates)
            text += "@" + std::to_string(static_cast<int>(e.date.status())) + ":" +
                    std::to_string(e.date.ticks() / kDay);
    }
    return text + "\n";
}

} // namespace

// A new table: ten fillers from 400 down to 40, dated when made.
TEST(HighScoreList, ANewTableRanksAndInsertsAheadOfEqualScores) {
    HighScoreManager manager("unused.dat");
    EXPECT_FALSE(manager.isDirty());
    const DateTime before = DateTime::now();
    HighScoreList& list = *manager.getList(1, 3);
    for (const HighScoreEntry& e : list.entries) {
        EXPECT_EQ(e.date.status(), TimeStatus::Valid);
        EXPECT_GE(e.date.ticks(), before.ticks()); // stored with the file
    }
    EXPECT_TRUE(manager.isDirty());
    // The same key gives the same table; another key a second one.
    EXPECT_EQ(manager.getList(1, 3), &list);
    EXPECT_NE(manager.getList(3, 1), &list);
    EXPECT_EQ(manager.listCount(), 2);
    struct {
        int32_t score;
        int rank;
        int32_t next; // -7 = left alone
    } ranks[] = {{1000, 0, -7}, {400, 0, -7}, {399, 1, 400}, {360, 1, 400},
                 {41, 9, 80},   {40, 9, 80},  {39, -1, 40},  {-5, -1, 40}};
    for (const auto& c : ranks) {
        int32_t next = -7;
        EXPECT_EQ(list.findRank(c.score, next), c.rank) << c.score;
        EXPECT_EQ(next, c.next) << c.score;
    }
    // Each insert: its rank, whether the table changed, the table.
    const std::string longName(100, 'x');
    std::string transcript = "new " + std::to_string(list.dirty) + " " + tableText(list);
    for (const auto& [name, score] : std::vector<std::pair<const char*, int32_t>>{
             {"Low", 39}, {"Ann", 400}, {"Bo", 80}, {longName.c_str(), 5000}}) {
        list.dirty = false;
        const int rank = list.insert(name, score);
        transcript +=
            std::to_string(rank) + " " + std::to_string(list.dirty) + " " + tableText(list);
    }
    checkGoldenText(std::string(LURVANE_TEST_GOLDEN_DIR) + "/high_score_inserts.txt", transcript);
    // A name that does not fit keeps its terminator and nothing after it.
    EXPECT_EQ(std::strlen(list.entries[0].name), 63u);
    list.entries[0].setName("Cy");
    for (int i = 2; i < HighScoreEntry::kNameSize; ++i)
        EXPECT_EQ(list.entries[0].name[i], '\0') << i;
}

TEST_F(HighScoreFiles, SavedTablesMatchTheFileLayoutByteForByteAndReadBack) {
    HighScoreManager manager(path.c_str());
    ASSERT_TRUE(manager.load()); // no file yet: no tables, no failure
    EXPECT_EQ(manager.listCount(), 0);
    HighScoreList* a = manager.getList(0, 2);
    HighScoreList* b = manager.getList(2, 0);
    for (int i = 0; i < 10; ++i) {
        a->entries[i].date = DateTime(kDay * (i + 1));
        b->entries[i].date = DateTime(kDay * 2, TimeStatus::Null);
    }
    a->entries[3].setName("Ann");
    a->entries[3].score = -3;
    a->entries[3].byPlayer = true;
    b->entries[0].score = 123456;
    ASSERT_TRUE(manager.save());
    Bytes expected(2);
    expected.list(10, 0, 2);
    for (int i = 0; i < 10; ++i)
        i == 3 ? expected.entry("Ann", 0, kDay * 4, -3, 1)
               : expected.entry("----------", 0, kDay * (i + 1), 400 - 40 * i, 0);
    expected.list(10, 2, 0);
    for (int i = 0; i < 10; ++i)
        expected.entry("----------", 2, kDay * 2, i == 0 ? 123456 : 400 - 40 * i, 0);
    ASSERT_EQ(expected.data.size(), 4u + 2 * (12 + 880));
    EXPECT_EQ(readFile(path), expected.data);

    HighScoreManager again(path.c_str());
    ASSERT_TRUE(again.load());
    ASSERT_EQ(again.listCount(), 2);
    EXPECT_EQ(tableText(*again.list(0), true), tableText(*a, true));
    EXPECT_EQ(tableText(*again.getList(2, 0), true), tableText(*b, true));
    EXPECT_FALSE(again.isDirty()); // finding a stored table changes nothing
    // Only a score that enters or a new table makes a save write the file.
    auto written = [&] {
        EXPECT_TRUE(again.save());
        const uintmax_t size = std::filesystem::exists(path) ? std::filesystem::file_size(path) : 0;
        std::filesystem::remove(path);
        return size;
    };
    std::filesystem::remove(path);
    EXPECT_EQ(written(), 0u);
    EXPECT_EQ(again.getList(2, 0)->insert("Bo", -100), -1);
    EXPECT_EQ(written(), 0u);
    EXPECT_EQ(again.getList(2, 0)->insert("Bo", 100), 8);
    EXPECT_EQ(written(), 4u + 2 * 892);
    again.getList(1, 0);
    EXPECT_EQ(written(), 4u + 3 * 892);
    EXPECT_EQ(written(), 0u);
    EXPECT_EQ(errorText(), "");
}

TEST_F(HighScoreFiles, AFailedSaveKeepsTheOldFileAndTriesAgainLater) {
    HighScoreManager manager(path.c_str());
    manager.getList(0, 0);
    ASSERT_TRUE(manager.save());
    const std::string before = readFile(path);

    // A failed save keeps the old file and the change; on a full disk the
    // first record that cannot be written ends the save with one report.
    manager.getList(0, 0)->insert("Ann", 1000);
    std::string transcript;
    auto failure = [&](const char* what) {
        transcript += std::string(what) + ": saved=" + std::to_string(manager.save()) +
                      " kept=" + std::to_string(readFile(path) == before) +
                      " dirty=" + std::to_string(manager.isDirty()) +
                      " new=" + std::to_string(std::filesystem::exists(path + ".new")) + "\n";
        std::filesystem::remove_all(path + ".new");
    };
    FileIO::renameFile = [](const char*, const char*) { return -1; };
    failure("rename fails");
    FileIO::renameFile = std::rename;
    std::filesystem::create_directories(path + ".new/x");
    failure("new version is a directory");
    for (int zone = 1; zone < 40; ++zone)
        manager.getList(0, zone);
    std::filesystem::create_symlink("/dev/full", path + ".new");
    failure("full disk");
    checkGoldenText(std::string(LURVANE_TEST_GOLDEN_DIR) + "/high_score_failed_saves.txt",
                    transcript + reports());
    EXPECT_TRUE(manager.save());
    HighScoreManager again(path.c_str());
    ASSERT_TRUE(again.load());
    EXPECT_STREQ(again.getList(0, 0)->entries[0].name, "Ann");
}

// A socket cannot be opened as a file, whoever runs the game.
TEST_F(HighScoreFiles, AFileThatIsThereButCannotBeOpenedFailsTheLoadAndIsLeftAlone) {
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(socket, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(socket);
    HighScoreManager manager(path.c_str());
    manager.getList(1, 1);
    EXPECT_FALSE(manager.load());
    EXPECT_EQ(manager.listCount(), 0);
    EXPECT_EQ(reports(), "[Highscore] Could not open HighScoreFile '~/highscores.dat' for read\n");
    EXPECT_TRUE(std::filesystem::is_socket(path));
}

TEST_F(HighScoreFiles, DamagedFilesGiveWhatWasReadWholeAndFillTheRest) {
    Bytes good(1);
    good.list(10, 1, 1);
    for (int i = 0; i < 10; ++i)
        good.entry("P" + std::to_string(i), 0, kDay, 900 - i, 1);
    auto with = [&](size_t at, const std::string& bytes) {
        return std::string(good.data).replace(at, bytes.size(), bytes);
    };
    Bytes negativeEntries(2);
    negativeEntries.list(-1, 1, 1).zeros(200);
    Bytes hugeEntries(1); // claims 2^31-1 entries, holds two
    hugeEntries.list(0x7FFFFFFF, 1, 1).entry("A", 0, kDay, 900, 1).entry("B", 0, kDay, 800, 1);
    Bytes shortList(2); // 3 entries, then a second list of 12
    shortList.list(3, 1, 1).entry("A", 0, 0, 900, 1).entry("B", 0, 0, 800, 1);
    shortList.entry("C", 0, 0, 700, 1).list(12, 2, 2);
    for (int i = 0; i < 12; ++i)
        shortList.entry("Q", 0, 0, 1200 - i, 1);
    const std::string cutEntry = good.data.substr(0, 4 + 12 + 88 * 4 + 50);
    Bytes cutHeader(3);
    cutHeader.list(1, 1, 1).entry("A", 0, 0, 900, 1).i32(7).zeros(1);
    Bytes emptyList(1); // exactly as many lists as the bytes can hold
    emptyList.list(0, 2, 1);
    Bytes noTerminator(1);
    noTerminator.list(1, 1, 1);
    noTerminator.raw(std::string(64, 'N')).i32(0).zeros(4).i64(kDay).i32(900).u8(7).zeros(3);

    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"three bytes", std::string("\1\0\0", 3)},
        {"list count past the end", with(0, ByteBuilder().i32(0x7FFFFFFF).data)},
        {"negative list count", with(0, ByteBuilder().i32(-4).data)},
        {"negative entry count", negativeEntries.data},
        {"entry count past the end", hugeEntries.data},
        {"short and long lists", shortList.data},
        {"cut inside an entry", cutEntry},
        {"cut inside a list header", cutHeader.data},
        // A sound list, then 4 bytes of a second.
        {"cut inside a second list header", with(0, "\2") + ByteBuilder().i32(10).data},
        {"name without terminator", noTerminator.data},
        {"one empty list", emptyList.data},
        {"sound file", good.data},
        {"no tables", std::string(4, '\0')},
    };
    // Read one after the other: a damaged file stays as it was until
    // something changes; the first save after that keeps it aside.
    std::string transcript;
    HighScoreManager manager(path.c_str());
    const std::string seeds = std::string(LURVANE_FUZZ_CORPUS_DIR) + "/highscores";
    std::filesystem::create_directories(seeds);
    for (const auto& c : cases) {
        writeFile(seeds + "/" + c.what + ".dat", c.bytes); // for the fuzzer
        writeFile(path, "\1"); // a damaged file read just before, never saved
        ASSERT_TRUE(manager.load());
        std::filesystem::remove(errors);
        std::filesystem::remove(path + ".damaged");
        writeFile(path, c.bytes);
        manager.getList(5, 5); // dropped by the load
        const bool loaded = manager.load();
        transcript += std::string(c.what) + ": loaded=" + std::to_string(loaded) +
                      " dirty=" + std::to_string(manager.isDirty()) + "\n";
        for (int i = 0; i < manager.listCount(); ++i)
            transcript += "  " + tableText(*manager.list(i));
        transcript += reports();
        const bool saved = manager.save();
        const bool untouched = readFile(path) == c.bytes;
        manager.getList(7, 7);
        const bool savedAgain = manager.save();
        const std::string aside = std::filesystem::exists(path + ".damaged")
                                      ? readFile(path + ".damaged") == c.bytes ? "same" : "other"
                                      : "none";
        transcript += "  saved=" + std::to_string(saved) + std::to_string(savedAgain) +
                      " untouched=" + std::to_string(untouched) + " aside=" + aside +
                      " rewritten=" + std::to_string(readFile(path) != c.bytes) + "\n";
    }
    checkGoldenText(std::string(LURVANE_TEST_GOLDEN_DIR) + "/high_score_damaged.txt", transcript);

    // Missing lines are fillers any score beats; saved, every table has ten.
    writeFile(path, shortList.data);
    ASSERT_TRUE(manager.load());
    EXPECT_EQ(manager.getList(1, 1)->insert("Z", 1), 3);
    EXPECT_EQ(manager.getList(2, 2)->insert("Z", 1191), 9);
    ASSERT_TRUE(manager.save());
    EXPECT_EQ(std::filesystem::file_size(path), 4u + 2 * 892);
}

TEST_F(HighScoreFiles, EachDamagedFileGetsACopyOfItsOwnAndIsNeverWrittenOverWithoutOne) {
    std::string transcript;
    auto damageAndSave = [&](const std::string& file, const std::string& bytes) {
        writeFile(file, bytes);
        HighScoreManager manager(file.c_str());
        EXPECT_TRUE(manager.load());
        manager.getList(0, 0);
        const bool saved = manager.save();
        EXPECT_EQ(manager.save(), saved); // a failed keep is tried again
        transcript += std::to_string(bytes.size()) + " bytes: saved=" + std::to_string(saved) +
                      " left alone=" + std::to_string(readFile(file) == bytes) + "\n";
    };
    for (int i = 1; i <= 3; ++i)
        damageAndSave(path, std::string(static_cast<size_t>(i), '\7'));
    // The numbers end somewhere; with every one taken nothing is replaced.
    for (int i = 4; i <= 999; ++i)
        writeFile(path + ".damaged." + std::to_string(i), "");
    damageAndSave(path, "\7\7\7\7");
    std::filesystem::remove(path + ".damaged.999");
    damageAndSave(path, "\7\7\7\7");
    // A copy whose name is too long for the file system cannot be made.
    damageAndSave(dir.file(std::string(248, 'h')), "\7");
    for (const std::string copy : {".damaged", ".damaged.2", ".damaged.3", ".damaged.999"})
        transcript += copy + " holds " + std::to_string(readFile(path + copy).size()) + "\n";
    checkGoldenText(std::string(LURVANE_TEST_GOLDEN_DIR) + "/high_score_copies.txt",
                    transcript + reports());
}
