// Plain PCM WAV files: 16-bit mono, the format every sample of the game is
// made in. The reader takes what the writer writes (and any 8- or 16-bit
// PCM file with its chunks in any order) so the round trip can be checked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct WavSound {
    int sampleRate = 44100;
    int channels = 1;
    std::vector<int16_t> samples; // interleaved when more than one channel

    bool operator==(const WavSound&) const = default;
};

std::vector<uint8_t> encodeWav(const WavSound& sound);
// False with a reason when the bytes are no PCM WAV file.
bool decodeWav(const std::vector<uint8_t>& bytes, WavSound& sound, std::string& error);

bool writeBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool readBinaryFile(const std::string& path, std::vector<uint8_t>& bytes);
