// Numbered sound events. Which file an event plays, whether it is a one-shot
// sample, a looping sample or a tracker music module, and its volume come
// from the sound description file; game code only asks to play event n.
#pragma once

#include "lib/Array.h"
#include "lib/String.h"

#include <cstdint>

class SoundBackEnd;
class SoundSample;
class SoundSong;

// One file of an event, with the sample loaded from it at its first play.
struct SoundFile {
    String path;
    SoundSample* sample = nullptr; // owned by the back end
    bool loadFailed = false;       // reported once, never tried again
};

class SoundEvent {
public:
    enum Type { Sample = 0, SampleLoop = 1, Song = 2 };

    explicit SoundEvent(int32_t number) : number_(number) {}

    int32_t number() const { return number_; }
    const String& name() const { return name_; }
    Type type() const { return type_; }
    int volume() const { return volume_; }
    int fileCount() const { return files_.size(); }
    const String& file(int i) const { return files_[i]->path; }

    // The file of this play: with two or more, every file once in a random
    // order before any repeats. Null when the event names no file.
    SoundFile* chooseFile();
    // Forgets the loaded samples (the back end has freed them).
    void forgetSamples();

private:
    friend class SoundDescriptionReader;

    void shuffle();

    int32_t number_;
    String name_;
    Type type_ = Sample;
    PtrArray<SoundFile> files_;
    bool shuffled_ = false;
    int playIndex_ = 0;
    int volume_ = 255;
};

class SoundSystem {
public:
    static constexpr int kNone = -2; // no looping sample, no channel
    static constexpr int kCentrePan = 128;
    static constexpr int kMixRate = 44100;
    static constexpr int kChannels = 32;

    explicit SoundSystem(SoundBackEnd& backEnd);
    ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    // Reads the description file, then opens the audio device. A file that
    // cannot be read means silence and one line in the error log. A broken
    // file keeps the events read before, opens nothing and returns false
    // with the reader's message in errorText.
    bool Init(const char* fileName, String& errorText);
    void Close();

    // Plays the event by its type. The result is the channel of a looping
    // sample, the play count of a sample or song, 0 when the sample could not
    // be loaded and -1 when nothing could be played.
    int PlayEvent(int32_t eventNumber);
    // Plays a one-shot sample event at the pan (0 left, 128 centre, 255
    // right); -1 when the event is not a one-shot sample.
    int PlaySampleEvent(int32_t eventNumber, int pan);
    void StopAll();
    void PauseMusic(bool paused);

    bool isIndexed() const { return indexed_; }
    int32_t largestEventNumber() const { return largestEventNumber_; }
    // Events in file order, or the indexed table with null holes.
    int tableSize() const { return events_.size(); }
    const SoundEvent* tableEntry(int i) const { return events_[i]; }
    // Null (and nothing reported) when the number names no event.
    const SoundEvent* findEvent(int32_t eventNumber) const;
    int32_t playCounter() const { return playCounter_; }
    int32_t loopEventNumber() const { return loopEventNumber_; }
    int loopChannel() const { return loopChannel_; }
    bool hasSong() const { return song_ != nullptr; }

private:
    bool readDescription(const char* fileName, String& errorText);
    SoundEvent* lookUp(int32_t eventNumber);
    bool loadSample(SoundFile& file);
    int playSample(SoundEvent& event, int pan);
    int playLoop(SoundEvent& event, int pan);
    int playSong(SoundEvent& event);

    SoundBackEnd& backEnd_;
    PtrArray<SoundEvent> events_;
    bool indexed_ = false;
    int32_t largestEventNumber_ = 0;
    SoundSong* song_ = nullptr;
    int32_t loopEventNumber_ = kNone;
    int loopChannel_ = kNone;
    int32_t playCounter_ = 10000;
    // Numbers already reported as naming no event, so each is logged once.
    Array<int32_t> reportedNumbers_;
};

// The game's one sound system; made and released with the game systems.
extern SoundSystem* soundSystem;
