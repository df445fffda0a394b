#include "sound/SoundSystem.h"

#include "lib/FileBuffer.h"
#include "lib/FileIO.h"
#include "lib/Log.h"
#include "lib/Random.h"
#include "sound/SoundBackEnd.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

SoundSystem* soundSystem = nullptr;

namespace {

// Largest number below which the events are kept in a table indexed by
// number instead of a list searched from the start.
constexpr int32_t kIndexedLimit = 100;

// Decimal digits only (an empty token is 0), and no more than a signed
// 32-bit value holds, so a number can never become a negative index.
bool parseEventNumber(const String& token, int32_t& number) {
    unsigned ignored = 0;
    if (!token.toUnsigned(ignored))
        return false;
    int64_t value = 0;
    for (int i = 0; i < token.length(); ++i) {
        value = value * 10 + (token[i] - '0');
        if (value > INT32_MAX)
            return false;
    }
    number = static_cast<int32_t>(value);
    return true;
}

// Leading blanks and one sign allowed; reading stops at the first other
// character; no digits give 0.
int parseVolume(const String& value) {
    const long volume = std::strtol(value.c_str(), nullptr, 10);
    return volume > INT_MAX ? INT_MAX : (volume < INT_MIN ? INT_MIN : static_cast<int>(volume));
}

String nextToken(FileBuffer& buffer) {
    String token;
    buffer.readToken(token);
    token.trimRight();
    return token;
}

char nextNonBlank(FileBuffer& buffer) {
    buffer.skipSkipSet();
    return buffer.getChar();
}

} // namespace

// Reads the blocks of a description file into a list of events in file order.
class SoundDescriptionReader {
public:
    explicit SoundDescriptionReader(FileBuffer& buffer) : buffer_(buffer) {}

    // Raises the buffer's error on a syntax error or an end inside a block.
    void read(PtrArray<SoundEvent>& events, int32_t& largest) {
        buffer_.stripComments(true);
        buffer_.setSkipSet("\t\n \r");
        buffer_.setDelimiters(";=\n \r");
        buffer_.setQuotes(true);
        buffer_.rewind();
        for (;;) {
            String token;
            try {
                buffer_.readToken(token);
            } catch (const FileBufferError& error) {
                if (error.isEndOfFile())
                    return; // the end between blocks ends the file
                throw;
            }
            token.trimRight();
            int32_t number = 0;
            if (!parseEventNumber(token, number))
                buffer_.syntaxError("EventNr is no number");
            SoundEvent* event = new SoundEvent(number);
            events.add(event);
            if (number > largest)
                largest = number;
            readBlock(*event);
        }
    }

private:
    void readBlock(SoundEvent& event) {
        if (nextNonBlank(buffer_) != '=')
            buffer_.syntaxError("Syntax Error in Textfile: '=' expected");
        if (nextToken(buffer_) != "{")
            buffer_.syntaxError("Syntax Error in Textfile: '{' expected");
        for (String key = nextKey(); key != "}"; key = nextKey()) {
            if (nextNonBlank(buffer_) != '=')
                buffer_.syntaxError("Syntax Error in Textfile: '=' expected");
            const String value = nextToken(buffer_);
            if (value == "}")
                buffer_.syntaxError("Syntax Error in Textfile: Value expected instead of '}'");
            if (nextNonBlank(buffer_) != ';')
                buffer_.syntaxError("Syntax Error in Textfile: ';' expected");
            apply(event, key, value);
        }
        expandDirectories(event);
    }

    // A file may end right after its last closing brace, without the line
    // feed that would end the token.
    String nextKey() {
        buffer_.skipSkipSet();
        if (buffer_.getSize() - buffer_.position() == 1 && buffer_.peekChar() == '}') {
            buffer_.advance();
            return "}";
        }
        return nextToken(buffer_);
    }

    void apply(SoundEvent& event, const String& key, const String& value) {
        if (key == "Name") {
            event.name_ = value;
        } else if (key == "File") {
            SoundFile* file = new SoundFile;
            file->path = value;
            event.files_.add(file);
        } else if (key == "Volume") {
            event.volume_ = parseVolume(value);
        } else if (key == "Type") {
            if (value == "Sample")
                event.type_ = SoundEvent::Sample;
            else if (value == "SampleLoop")
                event.type_ = SoundEvent::SampleLoop;
            else if (value == "Song")
                event.type_ = SoundEvent::Song;
            else
                buffer_.syntaxError(
                    "Syntax Error : Sample,SampleLoop or Song expected for value of Type");
        }
        // Any other key is left for other readers of the file.
    }

    // A directory stands for every file beneath it, appended at the end in
    // name order (directory listings come in no order of their own here).
    static void expandDirectories(SoundEvent& event) {
        PtrArray<SoundFile> kept;
        PtrArray<SoundFile> found;
        for (SoundFile*& file : event.files_) {
            if (!FileIO::isDirectory(file->path.c_str())) {
                kept.add(file);
                file = nullptr;
                continue;
            }
            PtrArray<DirEntry> entries;
            FileIO::listDirectory(entries, "*", file->path.c_str(), true, true);
            std::qsort(entries.data(), static_cast<size_t>(entries.size()), sizeof(DirEntry*),
                       [](const void* a, const void* b) {
                           return std::strcmp((*static_cast<DirEntry* const*>(a))->path.c_str(),
                                              (*static_cast<DirEntry* const*>(b))->path.c_str());
                       });
            for (const DirEntry* entry : entries) {
                if (entry->isDirectory)
                    continue;
                SoundFile* expanded = new SoundFile;
                expanded->path = entry->path;
                found.add(expanded);
            }
        }
        event.files_.clear();
        for (PtrArray<SoundFile>* from : {&kept, &found}) {
            for (SoundFile* file : *from)
                event.files_.add(file);
            from->setSize(0);
        }
    }

    FileBuffer& buffer_;
};

SoundFile* SoundEvent::chooseFile() {
    const int count = files_.size();
    if (count == 0)
        return nullptr;
    if (count == 1)
        return files_[0];
    if (!shuffled_ || playIndex_ >= count) {
        shuffle();
        shuffled_ = true;
        playIndex_ = 0;
    }
    return files_[playIndex_++];
}

void SoundEvent::shuffle() {
    const int count = files_.size();
    Array<bool> taken;
    Array<SoundFile*> order;
    if (!taken.setSize(count))
        return;
    while (order.size() < count) {
        const int r = Random(count - 1);
        if (!taken[r]) {
            taken[r] = true;
            order.add(files_[r]);
        }
    }
    for (int i = 0; i < count; ++i)
        files_[i] = order[i];
}

void SoundEvent::forgetSamples() {
    for (SoundFile* file : files_) {
        file->sample = nullptr;
        file->loadFailed = false;
    }
}

SoundSystem::SoundSystem(SoundBackEnd& backEnd) : backEnd_(backEnd) {}

SoundSystem::~SoundSystem() {
    Close();
}

bool SoundSystem::Init(const char* fileName, String& errorText) {
    if (!readDescription(fileName, errorText))
        return false;
    backEnd_.open(kMixRate, kChannels, 0);
    loopEventNumber_ = kNone;
    loopChannel_ = kNone;
    return true;
}

bool SoundSystem::readDescription(const char* fileName, String& errorText) {
    PtrArray<SoundEvent> events;
    int32_t largest = 0;
    FileBuffer buffer;
    if (!buffer.load(fileName)) {
        errorLog.print("SoundSystem: could not read '%s', playing no sounds\n", fileName);
    } else {
        try {
            SoundDescriptionReader(buffer).read(events, largest);
        } catch (const FileBufferError& error) {
            errorText = error.what();
            return false;
        }
    }

    events_.clear();
    indexed_ = false;
    largestEventNumber_ = largest;
    if (largest < kIndexedLimit) {
        // Entry n is the first event with number n; later ones are dropped.
        if (!events_.setSize(largest + 1))
            return false;
        for (SoundEvent*& event : events) {
            if (!events_[event->number()]) {
                events_[event->number()] = event;
                event = nullptr;
            }
        }
        indexed_ = true;
    } else {
        for (SoundEvent*& event : events) {
            events_.add(event);
            event = nullptr;
        }
    }
    return true;
}

void SoundSystem::Close() {
    if (song_) {
        backEnd_.freeSong(song_);
        song_ = nullptr;
    }
    backEnd_.close();
    for (SoundEvent* event : events_)
        if (event)
            event->forgetSamples();
    loopEventNumber_ = kNone;
    loopChannel_ = kNone;
}

const SoundEvent* SoundSystem::findEvent(int32_t eventNumber) const {
    if (indexed_)
        return eventNumber >= 0 && eventNumber < events_.size() ? events_[eventNumber] : nullptr;
    for (const SoundEvent* event : events_)
        if (event->number() == eventNumber)
            return event;
    return nullptr;
}

SoundEvent* SoundSystem::lookUp(int32_t eventNumber) {
    SoundEvent* event = const_cast<SoundEvent*>(findEvent(eventNumber));
    if (!event && reportedNumbers_.indexOf(eventNumber) < 0) {
        // A game in progress goes on; the data error is reported once.
        reportedNumbers_.add(eventNumber);
        errorLog.print("Unvalid EventNr=%ld\n", static_cast<long>(eventNumber));
    }
    return event;
}

int SoundSystem::PlayEvent(int32_t eventNumber) {
    if (eventNumber == loopEventNumber_ && loopChannel_ >= 0) {
        // The loop is already playing: no second copy.
        backEnd_.setVolume(loopChannel_, 255);
        return loopChannel_;
    }
    SoundEvent* event = lookUp(eventNumber);
    if (!event)
        return -1;
    switch (event->type()) {
    case SoundEvent::Song:
        return playSong(*event);
    case SoundEvent::Sample:
        return playSample(*event, kCentrePan);
    case SoundEvent::SampleLoop:
        return playLoop(*event, kCentrePan);
    }
    return -1;
}

int SoundSystem::PlaySampleEvent(int32_t eventNumber, int pan) {
    SoundEvent* event = lookUp(eventNumber);
    if (!event || event->type() != SoundEvent::Sample)
        return -1;
    return playSample(*event, pan);
}

void SoundSystem::StopAll() {
    backEnd_.stopAllSongs();
    backEnd_.stopSound(SoundBackEnd::kAllChannels);
    loopEventNumber_ = kNone;
}

void SoundSystem::PauseMusic(bool paused) {
    if (song_)
        backEnd_.setPaused(song_, paused);
}

bool SoundSystem::loadSample(SoundFile& file) {
    if (file.sample)
        return true;
    if (file.loadFailed || !backEnd_.canPlay())
        return false;
    file.sample = backEnd_.loadSample(file.path.c_str());
    if (!file.sample) {
        file.loadFailed = true;
        errorLog.print("SoundSystem: could not load sample '%s'\n", file.path.c_str());
    }
    return file.sample != nullptr;
}

int SoundSystem::playSample(SoundEvent& event, int pan) {
    const int32_t count = playCounter_++;
    SoundFile* file = event.chooseFile();
    if (!file || !loadSample(*file))
        return 0;
    const int channel = backEnd_.playSample(file->sample);
    if (channel >= 0)
        backEnd_.setPan(channel, pan);
    return count;
}

int SoundSystem::playLoop(SoundEvent& event, int pan) {
    ++playCounter_;
    SoundFile* file = event.chooseFile();
    if (!file || !loadSample(*file))
        return 0;
    backEnd_.setSampleLoopMode(file->sample, SoundBackEnd::kLoopNormal);
    const int channel = backEnd_.playSample(file->sample);
    if (channel >= 0)
        backEnd_.setPan(channel, pan);
    // A second loop replaces the remembered one; the first plays on until
    // everything is stopped.
    loopChannel_ = channel;
    loopEventNumber_ = event.number();
    return channel;
}

int SoundSystem::playSong(SoundEvent& event) {
    const int32_t count = playCounter_++;
    if (song_) {
        backEnd_.stopSong(song_);
        backEnd_.freeSong(song_);
        song_ = nullptr;
    }
    const SoundFile* file = event.chooseFile();
    if (!file || !backEnd_.canPlay())
        return -1;
    song_ = backEnd_.loadSong(file->path.c_str());
    if (!song_) {
        errorLog.print("SoundSystem: could not load song '%s'\n", file->path.c_str());
        return -1;
    }
    backEnd_.stopAllSongs();
    backEnd_.setPanSeparation(song_, 0.1f);
    if (event.volume() < 255)
        backEnd_.setMasterVolume(song_, event.volume());
    backEnd_.playSong(song_);
    backEnd_.setPaused(song_, true);
    backEnd_.setPaused(song_, false);
    return count;
}
