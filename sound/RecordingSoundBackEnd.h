// A back end that plays nothing and writes down every call, one line each,
// so tests can check what the sound system asked for and in which order. It
// also stands in for the audio library where the game runs without one.
#pragma once

#include "lib/Array.h"
#include "lib/String.h"
#include "sound/SoundBackEnd.h"

class RecordingSoundBackEnd : public SoundBackEnd {
public:
    RecordingSoundBackEnd() = default;
    ~RecordingSoundBackEnd() override;

    void open(int mixRate, int channels, int flags) override;
    void close() override;
    bool canPlay() const override { return open_; }

    // Loading succeeds when the file can be opened.
    SoundSample* loadSample(const char* fileName) override;
    void setSampleLoopMode(SoundSample* sample, int mode) override;
    // A one-shot sample is over at once; a looping one keeps its channel
    // until it is stopped.
    int playSample(SoundSample* sample) override;
    void setPan(int channel, int pan) override;
    void setVolume(int channel, int volume) override;
    void stopSound(int channel) override;

    SoundSong* loadSong(const char* fileName) override;
    void freeSong(SoundSong* song) override;
    void playSong(SoundSong* song) override;
    void stopSong(SoundSong* song) override;
    void stopAllSongs() override;
    void setPaused(SoundSong* song, bool paused) override;
    void setMasterVolume(SoundSong* song, int volume) override;
    void setPanSeparation(SoundSong* song, float separation) override;

    // Every call since the last takeCalls, each line ended by a line feed.
    String takeCalls();
    // The file a sample or song was loaded from.
    static const char* fileOf(const SoundSample* sample);
    static const char* fileOf(const SoundSong* song);
    int loopingChannels() const;

private:
    void record(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void freeAll();

    bool open_ = false;
    int channels_ = 0;
    Array<SoundSample*> samples_;
    Array<SoundSong*> songs_;
    Array<bool> looping_; // per channel
    String calls_;
};
