#include "tools/soundgen/ModFile.h"

#include "lib/ByteOrder.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kTitleSize = 20;
constexpr int kNameSize = 22;
constexpr int kSampleHeaderSize = 30;
constexpr int kOrderTableSize = 128;
constexpr size_t kOrdersAt = kTitleSize + ModModule::kSamples * kSampleHeaderSize; // 950
constexpr size_t kTagAt = kOrdersAt + 2 + kOrderTableSize;                         // 1080
constexpr size_t kPatternsAt = kTagAt + 4;                                         // 1084
constexpr size_t kPatternSize = ModPattern::kRows * ModPattern::kChannels * 4;     // 1024
constexpr int kMaxSampleBytes = 0xFFFF * 2;

const int kPeriods[3][12] = {
    {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453},
    {428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226},
    {214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113},
};

void putText(uint8_t* at, const std::string& text, size_t size) {
    std::memset(at, 0, size);
    std::memcpy(at, text.data(), std::min(text.size(), size));
}

std::string getText(const uint8_t* at, size_t size) {
    size_t n = 0;
    while (n < size && at[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(at), n);
}

} // namespace

int modPeriod(int octave, int semitone) {
    if (octave < 1 || octave > 3 || semitone < 0 || semitone > 11)
        return 0;
    return kPeriods[octave - 1][semitone];
}

double modRate(int period) {
    // The PAL Amiga's clock, which every player of the format follows.
    return period > 0 ? 7093789.2 / (2.0 * period) : 0.0;
}

bool encodeMod(const ModModule& module, std::vector<uint8_t>& bytes, std::string& error) {
    if (module.samples.size() > ModModule::kSamples || module.orders.empty() ||
        module.orders.size() > kOrderTableSize || module.patterns.empty() ||
        module.patterns.size() > 64) {
        error = "too many samples, orders or patterns, or none";
        return false;
    }
    int highest = -1;
    for (int order : module.orders) {
        if (order < 0 || order >= static_cast<int>(module.patterns.size())) {
            error = "an order names no pattern";
            return false;
        }
        highest = std::max(highest, order);
    }
    // Players count the patterns by the highest order, so one never played
    // would be lost.
    if (highest + 1 != static_cast<int>(module.patterns.size())) {
        error = "a pattern is never played";
        return false;
    }
    for (const ModSample& s : module.samples) {
        const int size = static_cast<int>(s.data.size());
        if (size % 2 || size > kMaxSampleBytes || s.loopStart % 2 || s.loopLength % 2 ||
            s.loopStart + s.loopLength > size || s.volume < 0 || s.volume > 64 || s.finetune < -8 ||
            s.finetune > 7) {
            error = "sample '" + s.name + "' breaks a limit of the format";
            return false;
        }
    }

    size_t total = kPatternsAt + module.patterns.size() * kPatternSize;
    for (const ModSample& s : module.samples)
        total += s.data.size();
    bytes.assign(total, 0);

    putText(&bytes[0], module.title, kTitleSize);
    for (size_t i = 0; i < module.samples.size(); ++i) {
        const ModSample& s = module.samples[i];
        uint8_t* header = &bytes[kTitleSize + i * kSampleHeaderSize];
        putText(header, s.name, kNameSize);
        writeBE16(header + 22, static_cast<uint16_t>(s.data.size() / 2));
        header[24] = static_cast<uint8_t>(s.finetune & 0x0F);
        header[25] = static_cast<uint8_t>(s.volume);
        writeBE16(header + 26, static_cast<uint16_t>(s.loopStart / 2));
        writeBE16(header + 28, static_cast<uint16_t>(s.loopLength > 0 ? s.loopLength / 2 : 1));
    }
    for (size_t i = module.samples.size(); i < ModModule::kSamples; ++i)
        writeBE16(&bytes[kTitleSize + i * kSampleHeaderSize + 28], 1);

    bytes[kOrdersAt] = static_cast<uint8_t>(module.orders.size());
    bytes[kOrdersAt + 1] = 127; // the customary restart byte: play again from the start
    for (size_t i = 0; i < module.orders.size(); ++i)
        bytes[kOrdersAt + 2 + i] = static_cast<uint8_t>(module.orders[i]);
    std::memcpy(&bytes[kTagAt], "M.K.", 4);

    uint8_t* cell = &bytes[kPatternsAt];
    for (const ModPattern& pattern : module.patterns) {
        for (const auto& row : pattern.rows) {
            for (const ModCell& c : row) {
                cell[0] = static_cast<uint8_t>((c.sample & 0xF0) | ((c.period >> 8) & 0x0F));
                cell[1] = static_cast<uint8_t>(c.period & 0xFF);
                cell[2] = static_cast<uint8_t>(((c.sample & 0x0F) << 4) | (c.effect & 0x0F));
                cell[3] = static_cast<uint8_t>(c.param);
                cell += 4;
            }
        }
    }
    for (const ModSample& s : module.samples) {
        if (!s.data.empty())
            std::memcpy(cell, s.data.data(), s.data.size());
        cell += s.data.size();
    }
    return true;
}

bool decodeMod(const std::vector<uint8_t>& bytes, ModModule& module, std::string& error) {
    if (bytes.size() < kPatternsAt || std::memcmp(&bytes[kTagAt], "M.K.", 4) != 0) {
        error = "not a four-channel ProTracker module";
        return false;
    }
    module = ModModule();
    module.title = getText(&bytes[0], kTitleSize);

    const int orderCount = bytes[kOrdersAt];
    if (orderCount < 1 || orderCount > kOrderTableSize) {
        error = "bad song length";
        return false;
    }
    int patternCount = 0;
    for (int i = 0; i < kOrderTableSize; ++i)
        patternCount = std::max(patternCount, bytes[kOrdersAt + 2 + i] + 1);
    for (int i = 0; i < orderCount; ++i)
        module.orders.push_back(bytes[kOrdersAt + 2 + i]);

    const size_t samplesAt = kPatternsAt + static_cast<size_t>(patternCount) * kPatternSize;
    if (bytes.size() < samplesAt) {
        error = "patterns cut short";
        return false;
    }
    const uint8_t* cell = &bytes[kPatternsAt];
    module.patterns.resize(static_cast<size_t>(patternCount));
    for (ModPattern& pattern : module.patterns) {
        for (auto& row : pattern.rows) {
            for (ModCell& c : row) {
                c.sample = (cell[0] & 0xF0) | (cell[2] >> 4);
                c.period = ((cell[0] & 0x0F) << 8) | cell[1];
                c.effect = cell[2] & 0x0F;
                c.param = cell[3];
                cell += 4;
            }
        }
    }

    // Trailing empty sample slots are not part of the module's sample list.
    int used = 0;
    for (int i = 0; i < ModModule::kSamples; ++i) {
        const uint8_t* header = &bytes[kTitleSize + i * kSampleHeaderSize];
        if (readBE16(header + 22) > 0 || header[0] != 0)
            used = i + 1;
    }
    size_t at = samplesAt;
    for (int i = 0; i < used; ++i) {
        const uint8_t* header = &bytes[kTitleSize + i * kSampleHeaderSize];
        ModSample s;
        s.name = getText(header, kNameSize);
        const size_t size = static_cast<size_t>(readBE16(header + 22)) * 2;
        s.finetune = (header[24] & 0x08) ? (header[24] & 0x0F) - 16 : (header[24] & 0x0F);
        s.volume = header[25];
        s.loopStart = readBE16(header + 26) * 2;
        const int repeat = readBE16(header + 28);
        s.loopLength = repeat > 1 ? repeat * 2 : 0;
        if (size > bytes.size() - at) {
            error = "sample data cut short";
            return false;
        }
        s.data.resize(size);
        for (size_t k = 0; k < size; ++k)
            s.data[k] = static_cast<int8_t>(bytes[at + k]);
        at += size;
        module.samples.push_back(std::move(s));
    }
    return true;
}
