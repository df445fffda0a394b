#include "sound/sdl/SdlMixerSoundBackEnd.h"

#include "lib/HostPath.h"
#include "lib/Log.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace {

class MixerSample : public SoundSample {
public:
    explicit MixerSample(Mix_Chunk* chunk) : chunk(chunk) {}
    ~MixerSample() override { Mix_FreeChunk(chunk); }
    Mix_Chunk* chunk;
    bool loops = false;
};

class MixerSong : public SoundSong {
public:
    explicit MixerSong(Mix_Music* music) : music(music) {}
    ~MixerSong() override { Mix_FreeMusic(music); }
    Mix_Music* music;
    int volume = 255; // the mixer has one music volume; each module keeps its own
};

int mixerVolume(int volume) {
    if (volume < 0)
        volume = 0;
    if (volume > 255)
        volume = 255;
    return (volume * MIX_MAX_VOLUME + 127) / 255;
}

// Mixing buffer in sample frames: short enough that a blip follows its key
// press at once, long enough not to starve on a busy machine.
constexpr int kChunkFrames = 1024;

} // namespace

SdlMixerSoundBackEnd::~SdlMixerSoundBackEnd() {
    close();
}

void SdlMixerSoundBackEnd::open(int mixRate, int channels, int /*flags*/) {
    if (open_)
        return;
    const char* failure = nullptr;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        failure = SDL_GetError();
    } else {
        audioSubsystem_ = true;
        Mix_Init(MIX_INIT_MOD);
        if (Mix_OpenAudio(mixRate, MIX_DEFAULT_FORMAT, 2, kChunkFrames) != 0)
            failure = Mix_GetError();
    }
    if (failure) {
        if (!reportedNoDevice_)
            gameLog.print("SoundSystem: no audio device (%s), playing without sound\n", failure);
        reportedNoDevice_ = true;
        close();
        return;
    }
    channels_ = Mix_AllocateChannels(channels);
    Mix_VolumeMusic(MIX_MAX_VOLUME);
    open_ = true;
}

void SdlMixerSoundBackEnd::close() {
    if (open_) {
        Mix_HaltMusic();
        Mix_HaltChannel(-1);
    }
    for (SoundSong* song : songs_)
        delete song;
    songs_.setSize(0);
    for (SoundSample* sample : samples_)
        delete sample;
    samples_.setSize(0);
    if (open_)
        Mix_CloseAudio();
    open_ = false;
    if (audioSubsystem_) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioSubsystem_ = false;
    }
}

SoundSample* SdlMixerSoundBackEnd::loadSample(const char* fileName) {
    if (!open_)
        return nullptr;
    Mix_Chunk* chunk = Mix_LoadWAV(hostPath(fileName).c_str());
    if (!chunk)
        return nullptr;
    MixerSample* sample = new MixerSample(chunk);
    samples_.add(sample);
    return sample;
}

void SdlMixerSoundBackEnd::setSampleLoopMode(SoundSample* sample, int mode) {
    if (sample)
        static_cast<MixerSample*>(sample)->loops = mode != kLoopOff;
}

int SdlMixerSoundBackEnd::playSample(SoundSample* sample) {
    if (!open_ || !sample)
        return -1;
    MixerSample* mixerSample = static_cast<MixerSample*>(sample);
    const int channel = Mix_PlayChannel(-1, mixerSample->chunk, mixerSample->loops ? -1 : 0);
    if (channel >= 0) {
        // A channel keeps its volume and pan from its last sound otherwise.
        Mix_Volume(channel, MIX_MAX_VOLUME);
        Mix_SetPanning(channel, 255, 255);
    }
    return channel;
}

void SdlMixerSoundBackEnd::setPan(int channel, int pan) {
    if (!open_ || channel < 0 || channel >= channels_)
        return;
    if (pan < 0)
        pan = 0;
    if (pan > 255)
        pan = 255;
    // Full level on the near side, so a centred sound is as loud as an
    // unpanned one.
    const int left = pan <= 128 ? 255 : 255 * (255 - pan) / 127;
    const int right = pan >= 128 ? 255 : 255 * pan / 128;
    Mix_SetPanning(channel, static_cast<Uint8>(left), static_cast<Uint8>(right));
}

void SdlMixerSoundBackEnd::setVolume(int channel, int volume) {
    if (open_ && channel >= 0 && channel < channels_)
        Mix_Volume(channel, mixerVolume(volume));
}

void SdlMixerSoundBackEnd::stopSound(int channel) {
    if (!open_)
        return;
    if (channel == kAllChannels)
        Mix_HaltChannel(-1);
    else if (channel >= 0 && channel < channels_)
        Mix_HaltChannel(channel);
}

SoundSong* SdlMixerSoundBackEnd::loadSong(const char* fileName) {
    if (!open_)
        return nullptr;
    Mix_Music* music = Mix_LoadMUS(hostPath(fileName).c_str());
    if (!music)
        return nullptr;
    MixerSong* song = new MixerSong(music);
    songs_.add(song);
    return song;
}

void SdlMixerSoundBackEnd::freeSong(SoundSong* song) {
    const int i = songs_.indexOf(song);
    if (i < 0)
        return;
    songs_.removeAt(i);
    delete song; // halts the music first when it is playing
}

void SdlMixerSoundBackEnd::playSong(SoundSong* song) {
    if (!open_ || !song)
        return;
    MixerSong* mixerSong = static_cast<MixerSong*>(song);
    Mix_VolumeMusic(mixerVolume(mixerSong->volume));
    Mix_PlayMusic(mixerSong->music, -1); // modules repeat until stopped
}

void SdlMixerSoundBackEnd::stopSong(SoundSong* /*song*/) {
    if (open_)
        Mix_HaltMusic();
}

void SdlMixerSoundBackEnd::stopAllSongs() {
    if (open_)
        Mix_HaltMusic();
}

void SdlMixerSoundBackEnd::setPaused(SoundSong* song, bool paused) {
    if (!open_ || !song)
        return;
    if (paused)
        Mix_PauseMusic();
    else
        Mix_ResumeMusic();
}

void SdlMixerSoundBackEnd::setMasterVolume(SoundSong* song, int volume) {
    if (!song)
        return;
    static_cast<MixerSong*>(song)->volume = volume;
    if (open_)
        Mix_VolumeMusic(mixerVolume(volume));
}

void SdlMixerSoundBackEnd::setPanSeparation(SoundSong* /*song*/, float /*separation*/) {
    // The mixer offers no stereo width for modules; our modules set narrow
    // channel panning of their own.
}

int SdlMixerSoundBackEnd::playingChannels() const {
    return open_ ? Mix_Playing(-1) : 0;
}

bool SdlMixerSoundBackEnd::musicPlaying() const {
    return open_ && Mix_PlayingMusic() != 0;
}

bool SdlMixerSoundBackEnd::musicPaused() const {
    return open_ && Mix_PausedMusic() != 0;
}
