#include "sound/RecordingSoundBackEnd.h"

#include "lib/HostPath.h"

#include <cstdarg>
#include <cstdio>

namespace {

bool canOpen(const char* fileName) {
    FILE* file = std::fopen(hostPath(fileName).c_str(), "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

class RecordedSample : public SoundSample {
public:
    explicit RecordedSample(const char* fileName) : fileName(fileName) {}
    String fileName;
    bool loops = false;
};

class RecordedSong : public SoundSong {
public:
    explicit RecordedSong(const char* fileName) : fileName(fileName) {}
    String fileName;
};

} // namespace

RecordingSoundBackEnd::~RecordingSoundBackEnd() {
    freeAll();
}

void RecordingSoundBackEnd::record(const char* format, ...) {
    String line;
    va_list args;
    va_start(args, format);
    line.formatList(format, args);
    va_end(args);
    calls_ += line;
    calls_ += '\n';
}

String RecordingSoundBackEnd::takeCalls() {
    String calls(calls_);
    calls_ = "";
    return calls;
}

const char* RecordingSoundBackEnd::fileOf(const SoundSample* sample) {
    return sample ? static_cast<const RecordedSample*>(sample)->fileName.c_str() : "";
}

const char* RecordingSoundBackEnd::fileOf(const SoundSong* song) {
    return song ? static_cast<const RecordedSong*>(song)->fileName.c_str() : "";
}

int RecordingSoundBackEnd::loopingChannels() const {
    int n = 0;
    for (bool loops : looping_)
        n += loops ? 1 : 0;
    return n;
}

void RecordingSoundBackEnd::freeAll() {
    for (SoundSample* sample : samples_)
        delete sample;
    samples_.setSize(0);
    for (SoundSong* song : songs_)
        delete song;
    songs_.setSize(0);
    looping_.setSize(0);
}

void RecordingSoundBackEnd::open(int mixRate, int channels, int flags) {
    record("open %d %d %d", mixRate, channels, flags);
    open_ = true;
    channels_ = channels;
    looping_.setSize(channels);
}

void RecordingSoundBackEnd::close() {
    record("close");
    open_ = false;
    freeAll();
}

SoundSample* RecordingSoundBackEnd::loadSample(const char* fileName) {
    const bool ok = open_ && canOpen(fileName);
    record("loadSample %s%s", fileName, ok ? "" : " failed");
    if (!ok)
        return nullptr;
    RecordedSample* sample = new RecordedSample(fileName);
    samples_.add(sample);
    return sample;
}

void RecordingSoundBackEnd::setSampleLoopMode(SoundSample* sample, int mode) {
    record("setSampleLoopMode %s %d", fileOf(sample), mode);
    static_cast<RecordedSample*>(sample)->loops = mode != kLoopOff;
}

int RecordingSoundBackEnd::playSample(SoundSample* sample) {
    int channel = 0;
    while (channel < channels_ && looping_[channel])
        ++channel;
    if (channel == channels_)
        channel = -1;
    else if (static_cast<RecordedSample*>(sample)->loops)
        looping_[channel] = true;
    record("playSample %s -> %d", fileOf(sample), channel);
    return channel;
}

void RecordingSoundBackEnd::setPan(int channel, int pan) {
    record("setPan %d %d", channel, pan);
}

void RecordingSoundBackEnd::setVolume(int channel, int volume) {
    record("setVolume %d %d", channel, volume);
}

void RecordingSoundBackEnd::stopSound(int channel) {
    record("stopSound %d", channel);
    for (int i = 0; i < looping_.size(); ++i)
        if (channel == kAllChannels || channel == i)
            looping_[i] = false;
}

SoundSong* RecordingSoundBackEnd::loadSong(const char* fileName) {
    const bool ok = open_ && canOpen(fileName);
    record("loadSong %s%s", fileName, ok ? "" : " failed");
    if (!ok)
        return nullptr;
    RecordedSong* song = new RecordedSong(fileName);
    songs_.add(song);
    return song;
}

void RecordingSoundBackEnd::freeSong(SoundSong* song) {
    record("freeSong %s", fileOf(song));
    const int i = songs_.indexOf(song);
    if (i >= 0) {
        songs_.removeAt(i);
        delete song;
    }
}

void RecordingSoundBackEnd::playSong(SoundSong* song) {
    record("playSong %s", fileOf(song));
}

void RecordingSoundBackEnd::stopSong(SoundSong* song) {
    record("stopSong %s", fileOf(song));
}

void RecordingSoundBackEnd::stopAllSongs() {
    record("stopAllSongs");
}

void RecordingSoundBackEnd::setPaused(SoundSong* song, bool paused) {
    record("setPaused %s %d", fileOf(song), paused ? 1 : 0);
}

void RecordingSoundBackEnd::setMasterVolume(SoundSong* song, int volume) {
    record("setMasterVolume %s %d", fileOf(song), volume);
}

void RecordingSoundBackEnd::setPanSeparation(SoundSong* song, float separation) {
    record("setPanSeparation %s %.1f", fileOf(song), static_cast<double>(separation));
}
