#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"
#include "tools/soundgen/ModFile.h"
#include "tools/soundgen/SoundEffects.h"
#include "tools/soundgen/Synth.h"
#include "tools/soundgen/Tunes.h"
#include "tools/soundgen/WavFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

// A stereo file written, then read whole, cut, or with a byte changed.
TEST(WavFile, WhatIsWrittenReadsBackAndBrokenFilesAreRejected) {
    WavSound sound;
    sound.sampleRate = 22050;
    sound.channels = 2;
    sound.samples = {7, 1, -1, 32767, -32768, 1234, -4321, 0};
    const std::vector<uint8_t> bytes = encodeWav(sound);
    const struct {
        size_t at;
        int value; // -1 cuts the file there, -2 puts a chunk of one byte there
    } changes[] = {{60, -1}, {50, -1}, {4, -1},   {20, 3},   {34, 12}, {22, 0},
                   {34, 8},  {40, 15}, {36, 'x'}, {12, 'x'}, {12, -2}};
    std::ostringstream out;
    for (const auto& c : changes) {
        std::vector<uint8_t> changed = bytes;
        if (c.value == -1)
            changed.resize(c.at);
        else if (c.value == -2)
            changed.insert(changed.begin() + 12, {'o', 'd', 'd', ' ', 1, 0, 0, 0, 9, 0});
        else
            changed[c.at] = static_cast<uint8_t>(c.value);
        WavSound back;
        std::string error;
        out << (c.value == -1   ? "cut at "
                : c.value == -2 ? "odd chunk at "
                                : "byte ")
            << c.at << " = " << c.value << ": " << decodeWav(changed, back, error) << " '" << error
            << "' " << back.channels << "x" << back.sampleRate << ":";
        for (int16_t sample : back.samples)
            out << " " << sample;
        out << "\n";
    }
    WavSound silence, back;
    std::string error;
    out << "nothing but an empty data chunk: " << decodeWav(encodeWav(silence), back, error);
    // The header players trust: sizes, rate, bytes a second and a frame.
    out << "\nheader:";
    for (size_t i = 0; i < 44; ++i)
        out << " " << +bytes[i];
    checkGoldenText(LURVANE_GOLDEN_DIR "/wav-files.txt", out.str() + "\n");
}

TEST(WavFile, FilesAreWrittenWholeOrReportedNot) {
    TempDir dir;
    std::vector<uint8_t> back;
    EXPECT_TRUE(writeBinaryFile(dir.file("a.wav"), {1, 2, 3}));
    EXPECT_TRUE(readBinaryFile(dir.file("a.wav"), back));
    EXPECT_EQ(back, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(writeBinaryFile(dir.file("no/such/a.wav"), {1}));
    EXPECT_FALSE(readBinaryFile(dir.file("missing.wav"), back));
}

TEST(WavFile, EverySoundEffectIsAShortCleanMonoSound) {
    for (const SoundEffect& effect : makeSoundEffects()) {
        const WavSound& back = effect.sound;
        EXPECT_EQ(back.sampleRate, 44100);
        EXPECT_EQ(back.channels, 1);
        const size_t n = back.samples.size();
        EXPECT_GT(n, 2000u) << effect.file;
        EXPECT_LT(n, 44100u * 2) << effect.file;
        int peak = 0;
        for (int16_t s : back.samples)
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        EXPECT_GT(peak, 10000) << effect.file;
        EXPECT_LT(peak, 26000) << effect.file;
        // No click at the end: the sound has faded out.
        EXPECT_LT(std::abs(static_cast<int>(back.samples[n - 1])), 300) << effect.file;
    }
}

// Every tune, and a module that sets every field of cells and sample
// headers, read back as written; cut short, it is refused.
TEST(ModFile, ModulesReadBackAsWritten) {
    ModModule module;
    module.title = "a title of twenty ch";
    ModSample looped;
    looped.name = "looped";
    looped.data = {0, 0, 10, -10, 127, -128};
    looped.finetune = -3;
    looped.volume = 40;
    looped.loopStart = 2;
    looped.loopLength = 4;
    module.samples = {looped, ModSample{}};
    module.samples[1].name = "empty but named";
    module.patterns.resize(2);
    module.patterns[1].rows[63][3] = {31, 856, 0xE, 0x8F};
    module.patterns[0].rows[0][0] = {17, 113, 0xC, 0x40};
    module.orders = {1, 0, 1};
    std::vector<Tune> tunes = makeTunes();
    tunes.push_back({"every field", module});
    std::vector<uint8_t> bytes;
    std::string error;
    for (const Tune& tune : tunes) {
        ASSERT_TRUE(encodeMod(tune.module, bytes, error)) << tune.file << ": " << error;
        EXPECT_EQ(std::memcmp(bytes.data() + 1080, "M.K.", 4), 0);
        size_t sampleBytes = 0;
        for (const ModSample& s : tune.module.samples)
            sampleBytes += s.data.size();
        EXPECT_EQ(bytes.size(), 1084 + tune.module.patterns.size() * 1024 + sampleBytes);
        EXPECT_EQ(bytes[950], tune.module.orders.size());
        EXPECT_EQ(bytes[951], 127); // the restart byte players expect
        ModModule back;
        ASSERT_TRUE(decodeMod(bytes, back, error)) << tune.file << ": " << error;
        EXPECT_EQ(back, tune.module) << tune.file;
    }
    bytes.resize(bytes.size() - 1);
    EXPECT_FALSE(decodeMod(bytes, module, error));
    EXPECT_EQ(error, "sample data cut short");
    bytes.resize(1500);
    EXPECT_FALSE(decodeMod(bytes, module, error));
    EXPECT_EQ(error, "patterns cut short");
    bytes[950] = 0;
    EXPECT_FALSE(decodeMod(bytes, module, error));
    EXPECT_EQ(error, "bad song length");
    bytes.resize(1000);
    EXPECT_FALSE(decodeMod(bytes, module, error));
    EXPECT_EQ(error, "not a four-channel ProTracker module");
}

TEST(ModFile, ModulesThatBreakTheFormatAreNotWritten) {
    ModModule module;
    module.patterns.resize(2);
    module.orders = {0};
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(encodeMod(module, bytes, error));
    EXPECT_EQ(error, "a pattern is never played");
    module.orders = {0, 2};
    EXPECT_FALSE(encodeMod(module, bytes, error));
    EXPECT_EQ(error, "an order names no pattern");
    module.orders = {0, 1};
    module.samples.resize(1);
    module.samples[0].data = {1, 2, 3};
    EXPECT_FALSE(encodeMod(module, bytes, error));
    module.samples[0].data = {1, 2, 3, 4};
    for (auto change :
         {+[](ModSample& s) { s.loopLength = 6; }, +[](ModSample& s) { s.loopStart = 1; },
          +[](ModSample& s) { s.volume = 65; }, +[](ModSample& s) { s.finetune = -9; },
          +[](ModSample& s) { s.finetune = 8; }}) {
        ModSample sound = module.samples[0];
        change(module.samples[0]);
        EXPECT_FALSE(encodeMod(module, bytes, error));
        module.samples[0] = sound;
    }
    module.samples[0].loopLength = 4;
    EXPECT_TRUE(encodeMod(module, bytes, error)) << error;
}

TEST(Synth, NoteNamesFollowEqualTemperament) {
    EXPECT_DOUBLE_EQ(noteFrequency("A4"), 440.0);
    EXPECT_NEAR(noteFrequency("C4"), 261.63, 0.01);
    EXPECT_EQ(noteNumber("Bb3"), noteNumber("A#3"));
    EXPECT_EQ(noteNumber("C0"), 0);
    for (const char* bad : {"H2", "C", "C44"})
        EXPECT_EQ(noteNumber(bad), -1) << bad;
    EXPECT_EQ(modPeriod(4, 0), 0);
    EXPECT_EQ(modPeriod(1, 12), 0);
    std::string periods; // the table every player of the format uses
    for (int octave = 0; octave <= 3; ++octave)
        for (int semitone = -1; semitone < 12; ++semitone)
            periods += " " + std::to_string(modPeriod(octave, semitone));
    checkGoldenText(LURVANE_GOLDEN_DIR "/mod-periods.txt", periods + "\n");
}
