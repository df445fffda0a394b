// The audio back end for real play, on SDL2_mixer: samples on free mixer
// channels, tracker modules (MOD, S3M, XM, IT) as the one music stream.
// Without an audio device it says so once in "log.txt" and stays silent.
#pragma once

#include "lib/Array.h"
#include "sound/SoundBackEnd.h"

class SdlMixerSoundBackEnd : public SoundBackEnd {
public:
    SdlMixerSoundBackEnd() = default;
    ~SdlMixerSoundBackEnd() override;
    SdlMixerSoundBackEnd(const SdlMixerSoundBackEnd&) = delete;
    SdlMixerSoundBackEnd& operator=(const SdlMixerSoundBackEnd&) = delete;

    void open(int mixRate, int channels, int flags) override;
    void close() override;
    bool canPlay() const override { return open_; }

    SoundSample* loadSample(const char* fileName) override;
    void setSampleLoopMode(SoundSample* sample, int mode) override;
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

    // For tests: channels playing now, and whether music is playing.
    int playingChannels() const;
    bool musicPlaying() const;
    bool musicPaused() const;

private:
    bool open_ = false;
    bool audioSubsystem_ = false;
    bool reportedNoDevice_ = false;
    int channels_ = 0;
    Array<SoundSample*> samples_;
    Array<SoundSong*> songs_;
};
