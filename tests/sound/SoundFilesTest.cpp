#include "lib/ByteOrder.h"
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

TEST(WavFile, WhatIsWrittenReadsBackAndBrokenFilesAreRejected) {
    WavSound sound;
    sound.sampleRate = 22050;
    sound.channels = 2;
    sound.samples = {7, 1, -1, 32767, -32768, 1234, -4321, 0};
    const std::vector<uint8_t> bytes = encodeWav(sound);
    ASSERT_EQ(bytes.size(), 44u + 16u);
    EXPECT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 36, "data", 4), 0);
    // The sizes players trust: the file's, bytes a second and a frame.
    EXPECT_EQ(readLE32(&bytes[4]), 36u + 16u);
    EXPECT_EQ(readLE32(&bytes[28]), 22050u * 4);
    EXPECT_EQ(readLE16(&bytes[32]), 4);
    TempDir dir; // a failed write is reported
    EXPECT_TRUE(writeBinaryFile(dir.file("a.wav"), bytes));
    EXPECT_EQ(readFile(dir.file("a.wav")), std::string(bytes.begin(), bytes.end()));
    EXPECT_FALSE(writeBinaryFile(dir.file("no/a.wav"), bytes));
    WavSound back;
    std::string error;
    ASSERT_TRUE(decodeWav(bytes, back, error)) << error;
    EXPECT_EQ(back, sound);

    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 50);
    EXPECT_FALSE(decodeWav(cut, back, error));
    EXPECT_EQ(error, "chunk runs past the end of the file");
    std::vector<uint8_t> notPcm = bytes;
    notPcm[20] = 3;
    EXPECT_FALSE(decodeWav(notPcm, back, error));
    EXPECT_EQ(error, "not PCM");
    EXPECT_FALSE(decodeWav({'R', 'I', 'F', 'F'}, back, error));
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
    module.samples[0].loopLength = 6;
    EXPECT_FALSE(encodeMod(module, bytes, error));
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
    EXPECT_EQ(modPeriod(2, 0), 428);
    EXPECT_EQ(modPeriod(4, 0), 0);
}
