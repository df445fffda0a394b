#include "sound/SoundSystem.h"

#include "lib/Log.h"
#include "lib/Random.h"
#include "sound/RecordingSoundBackEnd.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

class SoundSystemTest : public ::testing::Test {
protected:
    SoundSystemTest() : cwd_(dir_.path()), sound_(backEnd_) { errorLog.open("errorLog.txt"); }
    ~SoundSystemTest() override { errorLog.close(); }

    // Writes the text as the description file, every file it names that
    // ends in ".wav" or ".mod" but "missing", and reads it.
    bool init(const std::string& text, std::initializer_list<const char*> files = {}) {
        for (const char* name : files)
            dir_.write(name, "RIFF");
        dir_.write("sound.txt", text);
        error_ = "";
        const bool ok = sound_.Init("sound.txt", error_);
        initCalls_ = calls();
        return ok;
    }
    std::string calls() { return backEnd_.takeCalls().c_str(); }
    std::string errors() const { return dir_.read("errorLog.txt"); }
    const SoundEvent& event(int32_t number) {
        const SoundEvent* found = sound_.findEvent(number);
        EXPECT_NE(found, nullptr) << number;
        static const SoundEvent none(-1);
        return found ? *found : none;
    }

    TempDir dir_;
    ScopedWorkingDir cwd_;
    RecordingSoundBackEnd backEnd_;
    SoundSystem sound_;
    String error_;
    std::string initCalls_; // what reading the file asked of the back end
};

} // namespace

TEST_F(SoundSystemTest, BlocksAreReadWithCommentsQuotesAndEitherLineEnd) {
    ASSERT_TRUE(init("// the game's sounds\r\n"
                     "/* several\r\n lines */ 7 = {\r\n"
                     "  Type = Song;   File = a.mod;\r\n"
                     "}\r\n"
                     "3={\n"
                     "\tName\t= \"Eat = good; really\";\n"
                     "\tFile = \"x y.wav\" ;\n"
                     "\tFile = z.wav;\n"
                     "\tVolume = -12abc;\n"
                     "\tColour = blue;\n"
                     "}\n"
                     // The last brace may end the file.
                     "5 = {\n Type = SampleLoop; Volume = x; }"));
    EXPECT_EQ(initCalls_, "open 44100 32 0\n");
    EXPECT_TRUE(sound_.isIndexed());
    EXPECT_EQ(sound_.largestEventNumber(), 7);
    EXPECT_EQ(sound_.tableSize(), 8);
    EXPECT_EQ(event(7).type(), SoundEvent::Song);
    ASSERT_EQ(event(7).fileCount(), 1);
    EXPECT_EQ(event(7).file(0), "a.mod");
    EXPECT_EQ(event(7).volume(), 255);
    EXPECT_EQ(event(3).name(), "Eat = good; really");
    EXPECT_EQ(event(3).type(), SoundEvent::Sample);
    ASSERT_EQ(event(3).fileCount(), 2);
    EXPECT_EQ(event(3).file(0), "x y.wav");
    EXPECT_EQ(event(3).file(1), "z.wav");
    EXPECT_EQ(event(3).volume(), -12);
    EXPECT_EQ(event(5).type(), SoundEvent::SampleLoop);
    EXPECT_EQ(event(5).volume(), 0);
    EXPECT_EQ(sound_.findEvent(4), nullptr);
}

TEST_F(SoundSystemTest, SyntaxErrorsNameTheirLineAndKeepWhatWasReadBefore) {
    ASSERT_TRUE(init("4 = {\n File = crash.wav;\n}\n"));
    const std::string type = "Syntax Error : Sample,SampleLoop or Song expected for value of Type";
    const struct {
        const char* text;
        int line; // 0: the reader's own end-of-file error
        std::string message;
    } cases[] = {
        {"// one\n/* two\nthree */\n7 = {\n  Type = Music;\n}\n", 5, type},
        {"7 = {\r\n  Type = Music;\r\n}\r\n", 2, type},
        {"1 = {\n  File = a.wav }\n", 2, "Syntax Error in Textfile: ';' expected"},
        {"\n1x = {\n}\n", 2, "EventNr is no number"},
        {"2147483648 = {\n}\n", 1, "EventNr is no number"},
        {"4294967297 = {\n}\n", 1, "EventNr is no number"},
        {"99999999999999999999 = {\n}\n", 1, "EventNr is no number"},
        {"-1 = {\n}\n", 1, "EventNr is no number"},
        {"1 {\n}\n", 1, "Syntax Error in Textfile: '=' expected"},
        {"1 = [\n}\n", 1, "Syntax Error in Textfile: '{' expected"},
        {"1={Name=a;}\n", 1, "Syntax Error in Textfile: '{' expected"},
        {"1 = {\n Name x;\n}\n", 2, "Syntax Error in Textfile: '=' expected"},
        {"1 = {\n Name =\n }\n", 3, "Syntax Error in Textfile: Value expected instead of '}'"},
        // The ';' after the second block starts a block with an empty number.
        {"1 = {\n}\n2 = {\n};\n", 4, "Syntax Error in Textfile: '=' expected"},
        {"1 = {\n Name = x;\n", 0, ""},
        {"1 = {\n Name = \"x;\n}\n", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_FALSE(init(c.text));
        EXPECT_EQ(std::string(error_.c_str()),
                  c.line ? "\n\nError in Textfile! Line=" + std::to_string(c.line) + " : " +
                               c.message + "\n"
                         : "End Of File");
        EXPECT_EQ(initCalls_, ""); // nothing is opened for a broken file
        ASSERT_EQ(event(4).fileCount(), 1);
        EXPECT_EQ(event(4).file(0), "crash.wav");
    }
}

TEST_F(SoundSystemTest, SmallNumbersAreIndexedAndOthersStayAListInFileOrder) {
    const struct {
        const char* text;
        bool indexed;
        int tableSize;
        std::vector<int32_t> found, missing;
    } cases[] = {
        {"// nothing here\n/* nor\n here */\n", true, 1, {}, {0}},
        {"", true, 1, {}, {0}},
        {"1 = {\n}\n  12", true, 2, {1}, {12}}, // the number before the end is dropped
        {"1 = {\n}\n150 = {\n}\n", false, 2, {1, 150}, {0, 2}},
        {"1 = {\n}\n99 = {\n}\n", true, 100, {1, 99}, {100, -1, 2}},
        {"100 = {\n}\n", false, 1, {100}, {99}},
        {"2147483647 = {\n}\n0002 = {\n}\n", false, 2, {INT32_MAX, 2}, {}},
        {"500 = {\n Name = first;\n}\n500 = {\n Name = second;\n}\n", false, 2, {500}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(init(c.text));
        EXPECT_EQ(sound_.isIndexed(), c.indexed);
        EXPECT_EQ(sound_.tableSize(), c.tableSize);
        for (int32_t n : c.found)
            EXPECT_NE(sound_.findEvent(n), nullptr) << n;
        for (int32_t n : c.missing)
            EXPECT_EQ(sound_.findEvent(n), nullptr) << n;
    }
    EXPECT_EQ(sound_.findEvent(500)->name(), "first");
    // The first block of a number wins in the table too; an empty number is 0.
    ASSERT_TRUE(
        init("5 = {\n Name = first;\n}\n5 = {\n Name = second;\n}\n= {\n Name = zero;\n}\n"));
    EXPECT_EQ(event(5).name(), "first");
    EXPECT_EQ(event(0).name(), "zero");
    EXPECT_EQ(sound_.tableEntry(1), nullptr);
}

TEST_F(SoundSystemTest, ADirectoryStandsForEveryFileBeneathItInNameOrder) {
    std::filesystem::create_directories(dir_.file("Sounds/Eat/Empty"));
    ASSERT_TRUE(init("2 = {\n File = .\\Sounds\\Eat;\n File = x.wav;\n}\n",
                     {"Sounds/Eat/b.wav", "Sounds/Eat/a.wav", "Sounds/Eat/Sub/c.wav"}));
    const SoundEvent& eat = event(2);
    ASSERT_EQ(eat.fileCount(), 4);
    EXPECT_EQ(eat.file(0), "x.wav");
    EXPECT_EQ(eat.file(1), ".\\Sounds\\Eat\\Sub\\c.wav");
    EXPECT_EQ(eat.file(2), ".\\Sounds\\Eat\\a.wav");
    EXPECT_EQ(eat.file(3), ".\\Sounds\\Eat\\b.wav");
}

TEST_F(SoundSystemTest, MissingFilesAndUnknownNumbersAreLoggedOnceAndPlayNothing) {
    String error;
    EXPECT_TRUE(sound_.Init("no-such-sound.txt", error));
    EXPECT_EQ(errors(), "SoundSystem: could not read 'no-such-sound.txt', playing no sounds\n");
    EXPECT_EQ(calls(), "open 44100 32 0\n");
    EXPECT_EQ(sound_.PlayEvent(3), -1);

    ASSERT_TRUE(init("4 = {\n File = .\\Sound\\gone.wav;\n}\n6 = {\n}\n"));
    EXPECT_EQ(sound_.PlayEvent(4), 0);
    EXPECT_EQ(sound_.PlayEvent(4), 0);
    EXPECT_EQ(calls(), "loadSample .\\Sound\\gone.wav failed\n");
    // An event without files plays nothing and still counts.
    EXPECT_EQ(sound_.PlayEvent(6), 0);
    EXPECT_EQ(sound_.playCounter(), 10003);
    EXPECT_EQ(calls(), "");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sound_.PlayEvent(42), -1);
        EXPECT_EQ(sound_.PlaySampleEvent(42, 10), -1);
    }
    EXPECT_EQ(sound_.PlayEvent(-7), -1);
    EXPECT_EQ(sound_.PlayEvent(43), -1);
    ASSERT_TRUE(init("1 = {\n}\n1000 = {\n}\n"));
    EXPECT_EQ(sound_.PlayEvent(999), -1);
    EXPECT_EQ(sound_.PlayEvent(42), -1);
    EXPECT_EQ(errors(), "SoundSystem: could not read 'no-such-sound.txt', playing no sounds\n"
                        "Unvalid EventNr=3\n"
                        "SoundSystem: could not load sample '.\\Sound\\gone.wav'\n"
                        "Unvalid EventNr=42\nUnvalid EventNr=-7\nUnvalid EventNr=43\n"
                        "Unvalid EventNr=999\n");
    EXPECT_EQ(sound_.playCounter(), 10003); // numbers naming no event do not count
}

TEST_F(SoundSystemTest, EveryFileOfAnEventPlaysOnceBeforeAnyRepeats) {
    ASSERT_TRUE(init("2 = {\n File = a.wav; File = b.wav; File = c.wav;\n}\n"
                     "3 = {\n File = one.wav;\n}\n4 = {\n File = a.wav; File = b.wav;\n}\n",
                     {"a.wav", "b.wav", "c.wav", "one.wav"}));
    SeedRandom(1234);
    std::string all;
    std::set<std::string> orders;
    for (int round = 0; round < 4; ++round) {
        std::set<std::string> files;
        std::string order;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(sound_.PlaySampleEvent(2, 40), 10000 + round * 3 + i);
            const std::string call = calls();
            const size_t at = call.find("playSample ");
            ASSERT_NE(at, std::string::npos) << call;
            files.insert(call.substr(at + 11, 5));
            order += call.substr(at + 11, 5);
            EXPECT_NE(call.find("setPan 0 40\n"), std::string::npos);
            all += call;
        }
        EXPECT_EQ(files, (std::set<std::string>{"a.wav", "b.wav", "c.wav"})) << "round " << round;
        orders.insert(order);
    }
    EXPECT_GT(orders.size(), 1u) << "each round is shuffled anew";
    // Each file is loaded at its first play only.
    for (const char* name : {"a.wav", "b.wav", "c.wav"})
        EXPECT_EQ(countOf(all, std::string("loadSample ") + name), 1) << name;
    // Two files take turns too.
    sound_.PlayEvent(4);
    sound_.PlayEvent(4);
    const std::string pair = calls();
    EXPECT_EQ(countOf(pair, "playSample a.wav"), 1) << pair;
    EXPECT_EQ(countOf(pair, "playSample b.wav"), 1) << pair;
    for (int i = 0; i < 3; ++i)
        sound_.PlayEvent(3);
    EXPECT_EQ(calls(), "loadSample one.wav\nplaySample one.wav -> 0\nsetPan 0 128\n"
                       "playSample one.wav -> 0\nsetPan 0 128\n"
                       "playSample one.wav -> 0\nsetPan 0 128\n");
}

TEST_F(SoundSystemTest, ALoopPlaysOnceAndASecondLoopReplacesItUntilEverythingStops) {
    ASSERT_TRUE(init("20 = {\n Type = SampleLoop; File = engine.wav;\n}\n"
                     "21 = {\n Type = SampleLoop; File = wind.wav;\n}\n"
                     "22 = {\n Type = Song; File = engine.wav;\n}\n",
                     {"engine.wav", "wind.wav"}));
    // Only one-shot samples play with a pan.
    EXPECT_EQ(sound_.PlaySampleEvent(20, 0), -1);
    EXPECT_EQ(sound_.PlaySampleEvent(22, 255), -1);
    EXPECT_EQ(calls(), "");
    EXPECT_EQ(sound_.loopEventNumber(), SoundSystem::kNone);
    EXPECT_EQ(sound_.PlayEvent(20), 0);
    EXPECT_EQ(calls(), "loadSample engine.wav\nsetSampleLoopMode engine.wav 2\n"
                       "playSample engine.wav -> 0\nsetPan 0 128\n");
    EXPECT_EQ(sound_.PlayEvent(20), 0);
    EXPECT_EQ(calls(), "setVolume 0 255\n");
    EXPECT_EQ(backEnd_.loopingChannels(), 1);

    EXPECT_EQ(sound_.PlayEvent(21), 1);
    EXPECT_EQ(sound_.loopEventNumber(), 21);
    EXPECT_EQ(sound_.loopChannel(), 1);
    // The replaced loop is forgotten: asking for it again starts a copy.
    EXPECT_EQ(sound_.PlayEvent(20), 2);
    EXPECT_EQ(backEnd_.loopingChannels(), 3);
    calls();

    sound_.StopAll();
    EXPECT_EQ(calls(), "stopAllSongs\nstopSound -3\n");
    EXPECT_EQ(backEnd_.loopingChannels(), 0);
    EXPECT_EQ(sound_.loopEventNumber(), SoundSystem::kNone);
    EXPECT_EQ(sound_.PlayEvent(20), 0);
    EXPECT_EQ(calls(),
              "setSampleLoopMode engine.wav 2\nplaySample engine.wav -> 0\nsetPan 0 128\n");
    // A description read anew forgets the loop.
    ASSERT_EQ(sound_.loopEventNumber(), 20);
    ASSERT_TRUE(init("20 = {\n Type = SampleLoop; File = engine.wav;\n}\n"));
    EXPECT_EQ(sound_.loopEventNumber(), SoundSystem::kNone);
    EXPECT_EQ(sound_.loopChannel(), SoundSystem::kNone);
}

TEST_F(SoundSystemTest, SongsReplaceEachOtherAndPauseWithTheApplication) {
    ASSERT_TRUE(init("14 = {\n Type = Song; File = title.mod; Volume = 200;\n}\n"
                     "16 = {\n Type = Song; File = game.mod;\n}\n"
                     "17 = {\n Type = Song; File = missing.mod;\n}\n"
                     "18 = {\n Type = Song;\n}\n",
                     {"title.mod", "game.mod"}));
    sound_.PauseMusic(true);
    EXPECT_EQ(calls(), "");

    EXPECT_EQ(sound_.PlayEvent(14), 10000);
    EXPECT_EQ(calls(), "loadSong title.mod\nstopAllSongs\nsetPanSeparation title.mod 0.1\n"
                       "setMasterVolume title.mod 200\nplaySong title.mod\n"
                       "setPaused title.mod 1\nsetPaused title.mod 0\n");
    sound_.PauseMusic(true);
    sound_.PauseMusic(false);
    EXPECT_EQ(calls(), "setPaused title.mod 1\nsetPaused title.mod 0\n");

    EXPECT_EQ(sound_.PlayEvent(16), 10001);
    EXPECT_EQ(calls(), "stopSong title.mod\nfreeSong title.mod\nloadSong game.mod\n"
                       "stopAllSongs\nsetPanSeparation game.mod 0.1\nplaySong game.mod\n"
                       "setPaused game.mod 1\nsetPaused game.mod 0\n");

    EXPECT_EQ(sound_.PlayEvent(17), -1);
    EXPECT_FALSE(sound_.hasSong());
    EXPECT_EQ(calls(), "stopSong game.mod\nfreeSong game.mod\nloadSong missing.mod failed\n");
    EXPECT_EQ(errors(), "SoundSystem: could not load song 'missing.mod'\n");

    // A song without a file stops the one playing and leaves none.
    EXPECT_EQ(sound_.PlayEvent(14), 10003);
    calls();
    EXPECT_EQ(sound_.PlayEvent(18), -1);
    EXPECT_FALSE(sound_.hasSong());
    EXPECT_EQ(calls(), "stopSong title.mod\nfreeSong title.mod\n");

    EXPECT_EQ(sound_.PlayEvent(14), 10005);
    calls();
    sound_.Close();
    EXPECT_EQ(calls(), "freeSong title.mod\nclose\n");
    EXPECT_FALSE(sound_.hasSong());
}

TEST_F(SoundSystemTest, AfterCloseNothingPlaysFromSamplesTheBackEndHasFreed) {
    ASSERT_TRUE(init("1 = {\n File = a.wav;\n}\n", {"a.wav"}));
    EXPECT_EQ(sound_.PlayEvent(1), 10000);
    sound_.Close();
    // A broken file keeps the old events but opens nothing.
    EXPECT_FALSE(init("1 = {\n Type = X;\n}\n"));
    EXPECT_EQ(sound_.PlayEvent(1), 0);
    EXPECT_EQ(calls(), "");
    ASSERT_TRUE(init("1 = {\n File = a.wav;\n}\n"));
    sound_.PlayEvent(1);
    EXPECT_EQ(calls(), "loadSample a.wav\nplaySample a.wav -> 0\nsetPan 0 128\n");
}

TEST(SoundFuzzSeeds, AreWritten) {
    std::filesystem::create_directories(LURVANE_SOUND_CORPUS_DIR);
    const char* seeds[] = {
        "1 = {\n Name = \"Menu\";\n File = \".\\Data\\Sound\\a.wav\";\n}\n",
        "/* c */ 7 = {\r\n Type = Song; File = a.mod; Volume = 200;\r\n}\r\n",
        "2 = {\n Type = SampleLoop; File = a.wav;\n}\n150 = {\n}\n",
        "1x = {\n}\n",
    };
    int i = 0;
    for (const char* seed : seeds)
        writeFile(std::string(LURVANE_SOUND_CORPUS_DIR) + "/seed" + std::to_string(i++), seed);
}
