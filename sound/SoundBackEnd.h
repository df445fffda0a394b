// What the sound system needs from an audio library: one-shot and looping
// samples on free channels with pan and volume, and one tracker music module
// at a time with master volume, pause and stop. The SDL2_mixer back end plays
// for real; the recording back end writes down each call for tests and for
// runs without audio.
#pragma once

// A loaded sample or music module; owned by the back end that made it.
class SoundSample {
public:
    virtual ~SoundSample() = default;
};

class SoundSong {
public:
    virtual ~SoundSong() = default;
};

class SoundBackEnd {
public:
    // Channel value that asks for any free channel when playing.
    static constexpr int kFreeChannel = -1;
    // Channel value that means every channel when stopping.
    static constexpr int kAllChannels = -3;
    // Loop mode of a sample that plays once, and of one that repeats.
    static constexpr int kLoopOff = 0;
    static constexpr int kLoopNormal = 2;

    virtual ~SoundBackEnd() = default;

    // Opens the audio device. A back end that finds no device stays usable:
    // it loads nothing and plays nothing.
    virtual void open(int mixRate, int channels, int flags) = 0;
    // Stops everything, frees every sample and module and closes the device.
    virtual void close() = 0;
    // Whether anything can be heard: false before open, after close and when
    // no device could be opened.
    virtual bool canPlay() const = 0;

    // Null when the file cannot be loaded (or nothing can be played).
    virtual SoundSample* loadSample(const char* fileName) = 0;
    virtual void setSampleLoopMode(SoundSample* sample, int mode) = 0;
    // The channel it plays on, or a negative number when none was free.
    virtual int playSample(SoundSample* sample) = 0;
    // 0 left, 128 centre, 255 right.
    virtual void setPan(int channel, int pan) = 0;
    // 0 to 255.
    virtual void setVolume(int channel, int volume) = 0;
    virtual void stopSound(int channel) = 0;

    // Null when the file cannot be loaded.
    virtual SoundSong* loadSong(const char* fileName) = 0;
    virtual void freeSong(SoundSong* song) = 0;
    virtual void playSong(SoundSong* song) = 0;
    virtual void stopSong(SoundSong* song) = 0;
    virtual void stopAllSongs() = 0;
    virtual void setPaused(SoundSong* song, bool paused) = 0;
    // 0 to 255.
    virtual void setMasterVolume(SoundSong* song, int volume) = 0;
    // 0 mono to 1 full stereo.
    virtual void setPanSeparation(SoundSong* song, float separation) = 0;
};
