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

    // Writes the text as the description file and reads it.
    bool init(const std::string& text) {
        dir_.write("sound.txt", text);
        error_ = "";
        return sound_.Init("sound.txt", error_);
    }
    std::string initError(const std::string& text) {
        EXPECT_FALSE(init(text)) << text;
        return error_.c_str();
    }
    std::string calls() { return backEnd_.takeCalls().c_str(); }
    std::string errors() const { return dir_.read("errorLog.txt"); }
    void touch(const std::string& name) { dir_.write(name, "RIFF"); }

    TempDir dir_;
    ScopedWorkingDir cwd_;
    RecordingSoundBackEnd backEnd_;
    SoundSystem sound_;
    String error_;
};

std::string syntaxError(int line, const std::string& message) {
    return "\n\nError in Textfile! Line=" + std::to_string(line) + " : " + message + "\n";
}

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
    EXPECT_TRUE(sound_.isIndexed());
    EXPECT_EQ(sound_.largestEventNumber(), 7);
    EXPECT_EQ(sound_.tableSize(), 8);

    const SoundEvent* song = sound_.findEvent(7);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->type(), SoundEvent::Song);
    ASSERT_EQ(song->fileCount(), 1);
    EXPECT_EQ(song->file(0), "a.mod");
    EXPECT_EQ(song->volume(), 255);

    const SoundEvent* eat = sound_.findEvent(3);
    ASSERT_NE(eat, nullptr);
    EXPECT_EQ(eat->name(), "Eat = good; really");
    EXPECT_EQ(eat->type(), SoundEvent::Sample);
    ASSERT_EQ(eat->fileCount(), 2);
    EXPECT_EQ(eat->file(0), "x y.wav");
    EXPECT_EQ(eat->file(1), "z.wav");
    EXPECT_EQ(eat->volume(), -12);

    const SoundEvent* loop = sound_.findEvent(5);
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->type(), SoundEvent::SampleLoop);
    EXPECT_EQ(loop->volume(), 0);
    EXPECT_EQ(sound_.findEvent(4), nullptr);
    EXPECT_EQ(calls(), "open 44100 32 0\n");
}

TEST_F(SoundSystemTest, SyntaxErrorsNameTheirLine) {
    EXPECT_EQ(
        initError("// one\n/* two\nthree */\n7 = {\n  Type = Music;\n}\n"),
        syntaxError(5, "Syntax Error : Sample,SampleLoop or Song expected for value of Type"));
    EXPECT_EQ(
        initError("7 = {\r\n  Type = Music;\r\n}\r\n"),
        syntaxError(2, "Syntax Error : Sample,SampleLoop or Song expected for value of Type"));
    EXPECT_EQ(initError("1 = {\n  File = a.wav }\n"),
              syntaxError(2, "Syntax Error in Textfile: ';' expected"));
    EXPECT_EQ(initError("\n1x = {\n}\n"), syntaxError(2, "EventNr is no number"));
    EXPECT_EQ(initError("1 {\n}\n"), syntaxError(1, "Syntax Error in Textfile: '=' expected"));
    EXPECT_EQ(initError("1 = [\n}\n"), syntaxError(1, "Syntax Error in Textfile: '{' expected"));
    EXPECT_EQ(initError("1={Name=a;}\n"), syntaxError(1, "Syntax Error in Textfile: '{' expected"));
    EXPECT_EQ(initError("1 = {\n Name x;\n}\n"),
              syntaxError(2, "Syntax Error in Textfile: '=' expected"));
    EXPECT_EQ(initError("1 = {\n Name =\n }\n"),
              syntaxError(3, "Syntax Error in Textfile: Value expected instead of '}'"));
    // A block after the first one: the second block ends with a ';' that
    // starts a new block with an empty number.
    EXPECT_EQ(initError("1 = {\n}\n2 = {\n};\n"),
              syntaxError(4, "Syntax Error in Textfile: '=' expected"));
    // The end inside a block is the reader's own end-of-file error.
    EXPECT_EQ(initError("1 = {\n Name = x;\n"), "End Of File");
    EXPECT_EQ(initError("1 = {\n Name = \"x;\n}\n"), "End Of File");
    // Nothing was opened for a file that could not be read.
    EXPECT_EQ(calls(), "");
}

TEST_F(SoundSystemTest, EventNumbersBeyondASigned32BitValueAreNoNumbers) {
    EXPECT_EQ(initError("2147483648 = {\n}\n"), syntaxError(1, "EventNr is no number"));
    EXPECT_EQ(initError("4294967297 = {\n}\n"), syntaxError(1, "EventNr is no number"));
    EXPECT_EQ(initError("99999999999999999999 = {\n}\n"), syntaxError(1, "EventNr is no number"));
    EXPECT_EQ(initError("-1 = {\n}\n"), syntaxError(1, "EventNr is no number"));
    ASSERT_TRUE(init("2147483647 = {\n}\n0002 = {\n}\n"));
    EXPECT_FALSE(sound_.isIndexed());
    EXPECT_NE(sound_.findEvent(INT32_MAX), nullptr);
    EXPECT_NE(sound_.findEvent(2), nullptr);
}

TEST_F(SoundSystemTest, ABrokenFileKeepsWhatWasReadBefore) {
    ASSERT_TRUE(init("4 = {\n File = crash.wav;\n}\n"));
    EXPECT_FALSE(init("4 = {\n File = other.wav;\n Type = Loop;\n}\n"));
    const SoundEvent* crash = sound_.findEvent(4);
    ASSERT_NE(crash, nullptr);
    EXPECT_EQ(crash->file(0), "crash.wav");
}

TEST_F(SoundSystemTest, CommentsOnlyAndEmptyFilesGiveNoEventsAndTheNumberBeforeTheEndIsDropped) {
    ASSERT_TRUE(init("// nothing here\n/* nor\n here */\n"));
    EXPECT_TRUE(sound_.isIndexed());
    EXPECT_EQ(sound_.tableSize(), 1);
    EXPECT_EQ(sound_.tableEntry(0), nullptr);
    ASSERT_TRUE(init(""));
    EXPECT_EQ(sound_.findEvent(0), nullptr);
    ASSERT_TRUE(init("1 = {\n}\n  12"));
    EXPECT_EQ(sound_.largestEventNumber(), 1);
    EXPECT_EQ(sound_.findEvent(12), nullptr);
    // An empty number counts as 0.
    ASSERT_TRUE(init("= {\n Name = zero;\n}\n"));
    ASSERT_NE(sound_.findEvent(0), nullptr);
    EXPECT_EQ(sound_.findEvent(0)->name(), "zero");
}

TEST_F(SoundSystemTest, SmallNumbersAreIndexedAndLargeOnesStayAList) {
    ASSERT_TRUE(init("1 = {\n}\n150 = {\n}\n"));
    EXPECT_FALSE(sound_.isIndexed());
    EXPECT_EQ(sound_.tableSize(), 2);
    EXPECT_NE(sound_.findEvent(150), nullptr);

    ASSERT_TRUE(init("1 = {\n}\n99 = {\n}\n"));
    EXPECT_TRUE(sound_.isIndexed());
    EXPECT_EQ(sound_.tableSize(), 100);
    EXPECT_NE(sound_.findEvent(99), nullptr);
    EXPECT_EQ(sound_.findEvent(100), nullptr);
    EXPECT_EQ(sound_.findEvent(-1), nullptr);

    ASSERT_TRUE(init("100 = {\n}\n"));
    EXPECT_FALSE(sound_.isIndexed());

    // The first block of a number wins, indexed or not.
    ASSERT_TRUE(init("5 = {\n Name = first;\n}\n5 = {\n Name = second;\n}\n"));
    EXPECT_EQ(sound_.findEvent(5)->name(), "first");
    ASSERT_TRUE(init("500 = {\n Name = first;\n}\n500 = {\n Name = second;\n}\n"));
    EXPECT_EQ(sound_.tableSize(), 2);
    EXPECT_EQ(sound_.findEvent(500)->name(), "first");
}

TEST_F(SoundSystemTest, ADirectoryStandsForEveryFileBeneathItInNameOrder) {
    touch("Sounds/Eat/b.wav");
    touch("Sounds/Eat/a.wav");
    touch("Sounds/Eat/Sub/c.wav");
    std::filesystem::create_directories(dir_.file("Sounds/Eat/Empty"));
    ASSERT_TRUE(init("2 = {\n File = .\\Sounds\\Eat;\n File = x.wav;\n}\n"));
    const SoundEvent* eat = sound_.findEvent(2);
    ASSERT_NE(eat, nullptr);
    ASSERT_EQ(eat->fileCount(), 4);
    EXPECT_EQ(eat->file(0), "x.wav");
    EXPECT_EQ(eat->file(1), ".\\Sounds\\Eat\\Sub\\c.wav");
    EXPECT_EQ(eat->file(2), ".\\Sounds\\Eat\\a.wav");
    EXPECT_EQ(eat->file(3), ".\\Sounds\\Eat\\b.wav");
}

TEST_F(SoundSystemTest, AMissingFileMeansSilenceAndOneLogLine) {
    String error;
    EXPECT_TRUE(sound_.Init("no-such-sound.txt", error));
    EXPECT_EQ(errors(), "SoundSystem: could not read 'no-such-sound.txt', playing no sounds\n");
    EXPECT_EQ(sound_.PlayEvent(3), -1);
    EXPECT_EQ(calls(), "open 44100 32 0\n");
}

TEST_F(SoundSystemTest, EveryFileOfAnEventPlaysOnceBeforeAnyRepeats) {
    for (const char* name : {"a.wav", "b.wav", "c.wav", "one.wav"})
        touch(name);
    ASSERT_TRUE(init("2 = {\n File = a.wav; File = b.wav; File = c.wav;\n}\n"
                     "3 = {\n File = one.wav;\n}\n4 = {\n File = a.wav; File = b.wav;\n}\n"));
    SeedRandom(1234);
    std::vector<std::string> played;
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(sound_.PlaySampleEvent(2, 40), 10000 + i);
        played.push_back(backEnd_.takeCalls().c_str());
    }
    std::set<std::string> orders;
    for (int round = 0; round < 4; ++round) {
        std::set<std::string> files;
        std::string order;
        for (int i = 0; i < 3; ++i) {
            const std::string& call = played[round * 3 + i];
            const size_t at = call.find("playSample ");
            ASSERT_NE(at, std::string::npos) << call;
            files.insert(call.substr(at + 11, 5));
            order += call.substr(at + 11, 5);
            EXPECT_NE(call.find("setPan 0 40\n"), std::string::npos);
        }
        EXPECT_EQ(files, (std::set<std::string>{"a.wav", "b.wav", "c.wav"})) << "round " << round;
        orders.insert(order);
    }
    EXPECT_GT(orders.size(), 1u) << "each round is shuffled anew";
    // Each file is loaded at its first play only.
    std::string all;
    for (const std::string& call : played)
        all += call;
    for (const char* name : {"a.wav", "b.wav", "c.wav"})
        EXPECT_EQ(all.find(std::string("loadSample ") + name),
                  all.rfind(std::string("loadSample ") + name));

    // Two files take turns too.
    std::string pair;
    for (int i = 0; i < 2; ++i) {
        sound_.PlayEvent(4);
        pair += calls();
    }
    EXPECT_NE(pair.find("playSample a.wav"), std::string::npos) << pair;
    EXPECT_NE(pair.find("playSample b.wav"), std::string::npos) << pair;

    for (int i = 0; i < 3; ++i)
        sound_.PlayEvent(3);
    EXPECT_EQ(calls(), "loadSample one.wav\nplaySample one.wav -> 0\nsetPan 0 128\n"
                       "playSample one.wav -> 0\nsetPan 0 128\n"
                       "playSample one.wav -> 0\nsetPan 0 128\n");
}

TEST_F(SoundSystemTest, AMissingSampleIsLoggedOnceAndPlaysNothing) {
    ASSERT_TRUE(init("4 = {\n File = .\\Sound\\gone.wav;\n}\n6 = {\n}\n"));
    calls();
    EXPECT_EQ(sound_.PlayEvent(4), 0);
    EXPECT_EQ(sound_.PlayEvent(4), 0);
    EXPECT_EQ(calls(), "loadSample .\\Sound\\gone.wav failed\n");
    EXPECT_EQ(errors(), "SoundSystem: could not load sample '.\\Sound\\gone.wav'\n");
    // An event without files plays nothing and still counts.
    EXPECT_EQ(sound_.PlayEvent(6), 0);
    EXPECT_EQ(sound_.playCounter(), 10003);
    EXPECT_EQ(calls(), "");
}

TEST_F(SoundSystemTest, OnlyOneShotSamplesPlayWithAPan) {
    touch("loop.wav");
    touch("song.mod");
    ASSERT_TRUE(init("1 = {\n Type = SampleLoop; File = loop.wav;\n}\n"
                     "2 = {\n Type = Song; File = song.mod;\n}\n"));
    calls();
    EXPECT_EQ(sound_.PlaySampleEvent(1, 0), -1);
    EXPECT_EQ(sound_.PlaySampleEvent(2, 255), -1);
    EXPECT_EQ(calls(), "");
}

TEST_F(SoundSystemTest, ALoopPlaysOnceAndASecondLoopReplacesItUntilEverythingStops) {
    touch("engine.wav");
    touch("wind.wav");
    ASSERT_TRUE(init("20 = {\n Type = SampleLoop; File = engine.wav;\n}\n"
                     "21 = {\n Type = SampleLoop; File = wind.wav;\n}\n"));
    calls();
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
    EXPECT_EQ(backEnd_.loopingChannels(), 2);
    calls();
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
    touch("title.mod");
    touch("game.mod");
    ASSERT_TRUE(init("14 = {\n Type = Song; File = title.mod; Volume = 200;\n}\n"
                     "16 = {\n Type = Song; File = game.mod;\n}\n"
                     "17 = {\n Type = Song; File = missing.mod;\n}\n"
                     "18 = {\n Type = Song;\n}\n"));
    calls();
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

TEST_F(SoundSystemTest, AnUnknownNumberIsLoggedOnceAndPlaysNothing) {
    ASSERT_TRUE(init("1 = {\n}\n"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sound_.PlayEvent(42), -1);
        EXPECT_EQ(sound_.PlaySampleEvent(42, 10), -1);
    }
    EXPECT_EQ(sound_.PlayEvent(-7), -1);
    EXPECT_EQ(sound_.PlayEvent(43), -1);
    EXPECT_EQ(errors(), "Unvalid EventNr=42\nUnvalid EventNr=-7\nUnvalid EventNr=43\n");

    ASSERT_TRUE(init("1 = {\n}\n1000 = {\n}\n"));
    EXPECT_EQ(sound_.PlayEvent(999), -1);
    EXPECT_EQ(sound_.PlayEvent(42), -1);
    EXPECT_EQ(errors(), "Unvalid EventNr=42\nUnvalid EventNr=-7\nUnvalid EventNr=43\n"
                        "Unvalid EventNr=999\n");
    EXPECT_EQ(sound_.playCounter(), 10000);
}

TEST_F(SoundSystemTest, AfterCloseNothingPlaysFromSamplesTheBackEndHasFreed) {
    touch("a.wav");
    ASSERT_TRUE(init("1 = {\n File = a.wav;\n}\n"));
    EXPECT_EQ(sound_.PlayEvent(1), 10000);
    sound_.Close();
    // A broken file keeps the old events but opens nothing.
    EXPECT_FALSE(init("1 = {\n Type = X;\n}\n"));
    calls();
    EXPECT_EQ(sound_.PlayEvent(1), 0);
    EXPECT_EQ(calls(), "");
    ASSERT_TRUE(init("1 = {\n File = a.wav;\n}\n"));
    calls();
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
    SUCCEED();
}
