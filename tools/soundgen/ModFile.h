// ProTracker modules ("M.K.": four channels, 31 samples, patterns of 64
// rows): the music format our songs are written in. The reader takes back
// what the writer writes, so the round trip can be checked.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct ModSample {
    std::string name;         // up to 22 characters
    std::vector<int8_t> data; // signed 8-bit; an even number of bytes
    int finetune = 0;         // -8 .. 7
    int volume = 64;          // 0 .. 64
    int loopStart = 0;        // in bytes, even
    int loopLength = 0;       // in bytes, even; 0 for a sample that plays once

    bool operator==(const ModSample&) const = default;
};

struct ModCell {
    int sample = 0; // 1 .. 31, 0 for none
    int period = 0; // Amiga period, 0 for no note
    int effect = 0; // 0 .. 15
    int param = 0;  // 0 .. 255

    bool operator==(const ModCell&) const = default;
};

struct ModPattern {
    static constexpr int kRows = 64;
    static constexpr int kChannels = 4;
    std::array<std::array<ModCell, kChannels>, kRows> rows{};

    bool operator==(const ModPattern&) const = default;
};

struct ModModule {
    static constexpr int kSamples = 31;
    std::string title;              // up to 20 characters
    std::vector<ModSample> samples; // at most 31; sample n of a cell is samples[n - 1]
    std::vector<int> orders;        // pattern numbers, 1 .. 128 of them
    std::vector<ModPattern> patterns;

    bool operator==(const ModModule&) const = default;
};

// Effect numbers used by our songs.
enum ModEffect {
    kModVibrato = 0x4,
    kModSetVolume = 0xC,
    kModExtended = 0xE,
    kModSetSpeed = 0xF,
};

// Period of a note: octave 1 .. 3, semitone 0 (C) .. 11 (B); 0 outside.
int modPeriod(int octave, int semitone);
// Playback rate in Hz of a sample played at the given period.
double modRate(int period);

// False with a reason when the module breaks a limit of the format.
bool encodeMod(const ModModule& module, std::vector<uint8_t>& bytes, std::string& error);
bool decodeMod(const std::vector<uint8_t>& bytes, ModModule& module, std::string& error);
