// The sound system on the recording back end: each row reads a description
// and plays a script; the transcript lists the events, back end calls,
// errors logged and the loop, song and play counter after each step.
#include "sound/SoundSystem.h"

#include "lib/Log.h"
#include "lib/Random.h"
#include "sound/RecordingSoundBackEnd.h"
#include "tests/sound/SoundScript.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Row {
    const char* what;
    const char* text; // the description file; null for one that is not there
    // Steps: play:N, pan:N:P, stop, pause:0|1, close and find:N; "*K"
    // repeats a step K times.
    const char* script = "";
    std::vector<const char*> files = {}; // a name ending in '/' is a directory
};

const char* const kCrash = "4 = {\n File = crash.wav;\n}\n";

const Row kRows[] = {
    {"blocks with comments, quotes and either line end",
     "// the game's sounds\r\n/* several\r\n lines */ 7 = {\r\n  Type = Song;   File = a.mod;\r\n"
     "}\r\n3={\n\tName\t= \"Eat = good; really\";\n\tFile = \"x y.wav\" ;\n\tFile = z.wav;\n"
     "\tVolume = -12abc;\n\tColour = blue;\n}\n5 = {\n Type = SampleLoop; Volume = x; }",
     "find:4"},
    // Each broken file below keeps event 4 of this one and opens nothing.
    {"kept by the broken files", kCrash},
    {"bad type", "// one\n/* two\nthree */\n7 = {\n  Type = Music;\n}\n"},
    {"bad type, CR LF", "7 = {\r\n  Type = Music;\r\n}\r\n"},
    {"no ';'", "1 = {\n  File = a.wav }\n"},
    {"letter in number", "\n1x = {\n}\n"},
    {"number past 32 bits", "2147483648 = {\n}\n"},
    {"number past 32 bits, wrapping", "4294967297 = {\n}\n"},
    {"number past 64 bits", "99999999999999999999 = {\n}\n"},
    {"negative number", "-1 = {\n}\n"},
    {"no '='", "1 {\n}\n"},
    {"no '{'", "1 = [\n}\n"},
    {"'{' glued to a key", "1={Name=a;}\n"},
    {"no '=' in a pair", "1 = {\n Name x;\n}\n"},
    {"no value", "1 = {\n Name =\n }\n"},
    {"';' after a block", "1 = {\n}\n2 = {\n};\n"},
    {"end inside a block", "1 = {\n Name = x;\n"},
    {"end inside quotes", "1 = {\n Name = \"x;\n}\n"},
    {"only comments", "// nothing here\n/* nor\n here */\n", "find:0"},
    {"empty", "", "find:0"},
    {"number before the end dropped", "1 = {\n}\n  12", "find:12"},
    {"150 keeps a list", "1 = {\n}\n150 = {\n}\n", "find:0 find:2"},
    {"99 makes a table", "1 = {\n}\n99 = {\n}\n", "find:100 find:-1 find:2"},
    {"100 keeps a list", "100 = {\n}\n", "find:99"},
    {"largest number, leading zeros", "2147483647 = {\n}\n0002 = {\n}\n"},
    {"first of a number wins in a list",
     "500 = {\n Name = first;\n}\n500 = {\n Name = second;\n}\n", "find:500"},
    {"first of a number wins in a table, empty number is 0",
     "5 = {\n Name = first;\n}\n5 = {\n Name = second;\n}\n= {\n Name = zero;\n}\n"},
    {"a directory stands for its files in name order",
     "2 = {\n File = .\\Sounds\\Eat;\n File = x.wav;\n}\n",
     "",
     {"Sounds/Eat/b.wav", "Sounds/Eat/a.wav", "Sounds/Eat/Sub/c.wav", "Sounds/Eat/Empty/"}},
    {"missing description", nullptr, "play:3 play:3"},
    {"missing sample and unknown numbers, each logged once",
     "4 = {\n File = .\\Sound\\gone.wav;\n}\n6 = {\n}\n",
     "play:4*2 play:6 play:42 pan:42:10 play:42 pan:42:10 play:-7 play:43"},
    {"list misses", "1 = {\n}\n1000 = {\n}\n", "play:999 play:42"},
    {"every file once before any repeats",
     "2 = {\n File = a.wav; File = b.wav; File = c.wav;\n}\n3 = {\n File = one.wav;\n}\n"
     "4 = {\n File = a.wav; File = b.wav;\n}\n",
     "pan:2:40*12 play:4*2 play:3*3",
     {"a.wav", "b.wav", "c.wav", "one.wav"}},
    {"one loop, replaced by a second",
     "20 = {\n Type = SampleLoop; File = engine.wav;\n}\n"
     "21 = {\n Type = SampleLoop; File = wind.wav;\n}\n"
     "22 = {\n Type = Song; File = engine.wav;\n}\n",
     "pan:20:0 pan:22:255 play:20*2 play:21 play:20 stop play:20",
     {"engine.wav", "wind.wav"}},
    {"read anew forgets the loop", "20 = {\n Type = SampleLoop; File = engine.wav;\n}\n"},
    {"songs replace each other and pause",
     "14 = {\n Type = Song; File = title.mod; Volume = 200;\n}\n"
     "16 = {\n Type = Song; File = game.mod;\n}\n17 = {\n Type = Song; File = missing.mod;\n}\n"
     "18 = {\n Type = Song;\n}\n",
     "pause:1 play:14 pause:1 pause:0 play:16 play:17 play:14 play:18 play:14 close",
     {"title.mod", "game.mod"}},
    {"after close", "1 = {\n File = a.wav;\n}\n", "play:1 close"},
    {"broken file after close", "1 = {\n Type = X;\n}\n", "play:1"},
    {"read again after close", "1 = {\n File = a.wav;\n}\n", "play:1"},
};

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    return out;
}

class SoundSystemTest : public ::testing::Test {
protected:
    SoundSystemTest() : cwd_(dir_.path()), sound_(backEnd_) { errorLog.open("errorLog.txt"); }
    ~SoundSystemTest() override { errorLog.close(); }

    // The back end's calls and the error log's new lines since last asked.
    std::string news() {
        std::string calls = backEnd_.takeCalls().c_str();
        std::string out = escaped(calls.substr(0, calls.empty() ? 0 : calls.size() - 1));
        const std::string errors = dir_.read("errorLog.txt");
        if (errors.size() > logged_)
            out += " | log: " + escaped(errors.substr(logged_));
        logged_ = errors.size();
        return out;
    }
    std::string state() {
        std::ostringstream out;
        out << " [loop " << sound_.loopEventNumber() << "@" << sound_.loopChannel() << " looping "
            << backEnd_.loopingChannels() << " song " << sound_.hasSong() << " count "
            << sound_.playCounter() << "]";
        return out.str();
    }
    std::string table() {
        std::ostringstream out;
        out << "indexed " << sound_.isIndexed() << " largest " << sound_.largestEventNumber()
            << " size " << sound_.tableSize() << "\n";
        for (int i = 0; i < sound_.tableSize(); ++i) {
            const SoundEvent* event = sound_.tableEntry(i);
            if (!event)
                continue;
            out << "  " << i << ": #" << event->number() << " '" << event->name().c_str()
                << "' type " << event->type() << " volume " << event->volume() << " files";
            for (int f = 0; f < event->fileCount(); ++f)
                out << " '" << event->file(f).c_str() << "'";
            out << "\n";
        }
        return out.str();
    }
    std::string find(const ScriptStep& step) {
        EXPECT_EQ(step.name, "find");
        const SoundEvent* event = sound_.findEvent(step.arg(0));
        return std::string("= ") + (event ? event->name().c_str() : "none");
    }
    std::string read(const char* text) {
        String error;
        const bool ok = text ? (dir_.write("sound.txt", text), sound_.Init("sound.txt", error))
                             : sound_.Init("no-such-sound.txt", error);
        return std::string(ok ? "ok" : "fail") + " '" + escaped(error.c_str()) + "'";
    }
    std::string run(const Row& row) {
        std::string out = std::string("# ") + row.what + "\n";
        for (const std::string name : row.files)
            name.back() == '/' ? (void)std::filesystem::create_directories(dir_.file(name))
                               : dir_.write(name, "RIFF");
        out += "read " + read(row.text);
        out += " | " + news() + state() + "\n";
        out += table();
        return out + playScript(
                         sound_, row.script, [this] { return " " + news() + state(); },
                         [this](const ScriptStep& step) { return find(step); });
    }

    TempDir dir_;
    ScopedWorkingDir cwd_;
    RecordingSoundBackEnd backEnd_;
    SoundSystem sound_;
    size_t logged_ = 0;
};

} // namespace

TEST_F(SoundSystemTest, ScenariosGiveTheirTranscript) {
    SeedRandom(1234);
    std::string transcript;
    for (const Row& row : kRows)
        transcript += run(row);
    checkGoldenText(LURVANE_GOLDEN_DIR "/sound-system.txt", transcript);

    // The description files are the fuzzer's seeds.
    std::filesystem::create_directories(LURVANE_SOUND_CORPUS_DIR);
    int n = 0;
    for (const Row& row : kRows)
        if (row.text)
            writeFile(std::string(LURVANE_SOUND_CORPUS_DIR) + "/seed" + std::to_string(n++),
                      row.text);
}
