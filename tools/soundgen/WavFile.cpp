#include "tools/soundgen/WavFile.h"

#include "lib/ByteOrder.h"
#include "lib/HostPath.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kHeaderSize = 44;

void putTag(std::vector<uint8_t>& bytes, size_t at, const char* tag) {
    std::memcpy(&bytes[at], tag, 4);
}

bool tagIs(const uint8_t* p, const char* tag) {
    return std::memcmp(p, tag, 4) == 0;
}

} // namespace

std::vector<uint8_t> encodeWav(const WavSound& sound) {
    const uint32_t dataBytes = static_cast<uint32_t>(sound.samples.size() * 2);
    std::vector<uint8_t> bytes(kHeaderSize + dataBytes);
    const uint16_t blockAlign = static_cast<uint16_t>(2 * sound.channels);
    putTag(bytes, 0, "RIFF");
    writeLE32(&bytes[4], 36 + dataBytes);
    putTag(bytes, 8, "WAVE");
    putTag(bytes, 12, "fmt ");
    writeLE32(&bytes[16], 16);
    writeLE16(&bytes[20], 1); // PCM
    writeLE16(&bytes[22], static_cast<uint16_t>(sound.channels));
    writeLE32(&bytes[24], static_cast<uint32_t>(sound.sampleRate));
    writeLE32(&bytes[28], static_cast<uint32_t>(sound.sampleRate) * blockAlign);
    writeLE16(&bytes[32], blockAlign);
    writeLE16(&bytes[34], 16);
    putTag(bytes, 36, "data");
    writeLE32(&bytes[40], dataBytes);
    for (size_t i = 0; i < sound.samples.size(); ++i)
        writeLE16(&bytes[kHeaderSize + 2 * i], static_cast<uint16_t>(sound.samples[i]));
    return bytes;
}

bool decodeWav(const std::vector<uint8_t>& bytes, WavSound& sound, std::string& error) {
    if (bytes.size() < 12 || !tagIs(&bytes[0], "RIFF") || !tagIs(&bytes[8], "WAVE")) {
        error = "not a RIFF WAVE file";
        return false;
    }
    int bits = 0;
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const uint8_t* chunk = &bytes[at];
        const uint32_t size = readLE32(chunk + 4);
        if (size > bytes.size() - at - 8) {
            error = "chunk runs past the end of the file";
            return false;
        }
        const uint8_t* body = chunk + 8;
        if (tagIs(chunk, "fmt ")) {
            if (size < 16 || readLE16(body) != 1) {
                error = "not PCM";
                return false;
            }
            sound.channels = readLE16(body + 2);
            sound.sampleRate = static_cast<int>(readLE32(body + 4));
            bits = readLE16(body + 14);
            if ((bits != 8 && bits != 16) || sound.channels < 1) {
                error = "unsupported sample format";
                return false;
            }
            haveFormat = true;
        } else if (tagIs(chunk, "data")) {
            if (!haveFormat) {
                error = "data before format";
                return false;
            }
            sound.samples.clear();
            if (bits == 16) {
                for (uint32_t i = 0; i + 1 < size; i += 2)
                    sound.samples.push_back(static_cast<int16_t>(readLE16(body + i)));
            } else {
                for (uint32_t i = 0; i < size; ++i)
                    sound.samples.push_back(static_cast<int16_t>((body[i] - 128) * 256));
            }
            return true;
        }
        at += 8 + size + (size & 1);
    }
    error = "no data chunk";
    return false;
}

bool writeBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(hostPath(path.c_str()).c_str(), "wb");
    if (!file)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

bool readBinaryFile(const std::string& path, std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(hostPath(path.c_str()).c_str(), "rb");
    if (!file)
        return false;
    bytes.clear();
    uint8_t block[4096];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + n);
    std::fclose(file);
    return true;
}
