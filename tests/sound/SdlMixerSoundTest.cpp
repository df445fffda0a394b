#include "sound/sdl/SdlMixerSoundBackEnd.h"

#include "lib/Log.h"
#include "sound/SoundSystem.h"
#include "tests/support/TempDir.h"
#include "tools/soundgen/Tunes.h"
#include "tools/soundgen/WavFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// A tone long enough to be still playing when the test looks.
std::string toneWav(double seconds) {
    WavSound sound;
    sound.samples.resize(static_cast<size_t>(seconds * sound.sampleRate));
    for (size_t i = 0; i < sound.samples.size(); ++i)
        sound.samples[i] = static_cast<int16_t>(8000 * std::sin(i * 2 * 3.14159265 * 440 / 44100));
    const std::vector<uint8_t> bytes = encodeWav(sound);
    return std::string(bytes.begin(), bytes.end());
}

std::string tuneMod() {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(encodeMod(makeTunes()[0].module, bytes, error)) << error;
    return std::string(bytes.begin(), bytes.end());
}

// An audio driver, a working directory and both logs in a directory of
// the test's own. Each test runs in a process of its own, so the driver
// chosen need not be restored.
class MixerScene {
public:
    explicit MixerScene(const char* driver, const std::string& workDir = "")
        : cwd_(workDir.empty() ? dir.path() : workDir) {
        ::setenv("SDL_AUDIODRIVER", driver, 1);
        errorLog.open(dir.file("errorLog.txt").c_str());
        gameLog.open(dir.file("log.txt").c_str());
    }
    ~MixerScene() {
        errorLog.close();
        gameLog.close();
    }

    TempDir dir;

private:
    ScopedWorkingDir cwd_;
};

} // namespace

TEST(SdlMixerSound, SamplesLoopsAndSongsPlayOnTheDummyDriver) {
    MixerScene scene("dummy");
    TempDir& dir = scene.dir;
    dir.write("Data/Sound/beep.wav", toneWav(3.0));
    dir.write("Data/Sound/hum.wav", toneWav(0.5));
    dir.write("Data/Music/tune.mod", tuneMod());
    dir.write("Data/sound.txt", "1 = {\n File = .\\Data\\Sound\\beep.wav;\n}\n"
                                "2 = {\n Type = SampleLoop; File = .\\data\\sound\\HUM.wav;\n}\n"
                                "3 = {\n Type = Song; File = .\\Data\\Music\\tune.mod;"
                                " Volume = 128;\n}\n"
                                "4 = {\n File = .\\Data\\Sound\\gone.wav;\n}\n");
    {
        SdlMixerSoundBackEnd backEnd;
        SoundSystem sound(backEnd);
        String error;
        ASSERT_TRUE(sound.Init(".\\Data\\sound.txt", error)) << error.c_str();
        ASSERT_TRUE(backEnd.canPlay());

        EXPECT_EQ(sound.PlayEvent(1), 10000);
        EXPECT_EQ(backEnd.playingChannels(), 1);
        EXPECT_EQ(sound.PlaySampleEvent(1, 255), 10001);
        EXPECT_EQ(backEnd.playingChannels(), 2);

        const int loopChannel = sound.PlayEvent(2);
        EXPECT_GE(loopChannel, 0);
        EXPECT_EQ(sound.PlayEvent(2), loopChannel);
        EXPECT_EQ(backEnd.playingChannels(), 3);

        EXPECT_EQ(sound.PlayEvent(4), 0);
        EXPECT_EQ(backEnd.playingChannels(), 3);

        EXPECT_GT(sound.PlayEvent(3), 0);
        EXPECT_TRUE(backEnd.musicPlaying());
        sound.PauseMusic(true);
        EXPECT_TRUE(backEnd.musicPaused());
        sound.PauseMusic(false);
        EXPECT_FALSE(backEnd.musicPaused());

        sound.StopAll();
        EXPECT_EQ(backEnd.playingChannels(), 0);
        EXPECT_FALSE(backEnd.musicPlaying());
        sound.Close();
        EXPECT_FALSE(backEnd.canPlay());
    }
    EXPECT_EQ(dir.read("errorLog.txt"),
              "SoundSystem: could not load sample '.\\Data\\Sound\\gone.wav'\n");
    EXPECT_EQ(dir.read("log.txt"), "");
}

TEST(SdlMixerSound, WithoutAnAudioDeviceTheGameIsSilentAndSaysSoOnce) {
    MixerScene scene("lurvane-no-such-driver");
    TempDir& dir = scene.dir;
    dir.write("beep.wav", toneWav(0.1));
    dir.write("tune.mod", tuneMod());
    dir.write("sound.txt", "1 = {\n File = beep.wav;\n}\n2 = {\n Type = SampleLoop;"
                           " File = beep.wav;\n}\n3 = {\n Type = Song; File = tune.mod;\n}\n");
    {
        SdlMixerSoundBackEnd backEnd;
        SoundSystem sound(backEnd);
        for (int setUp = 0; setUp < 2; ++setUp) {
            String error;
            ASSERT_TRUE(sound.Init("sound.txt", error));
            EXPECT_FALSE(backEnd.canPlay());
            EXPECT_EQ(sound.PlayEvent(1), 0);
            EXPECT_EQ(sound.PlaySampleEvent(1, 0), 0);
            EXPECT_EQ(sound.PlayEvent(2), 0);
            EXPECT_EQ(sound.PlayEvent(3), -1);
            sound.PauseMusic(true);
            sound.StopAll();
            sound.Close();
        }
    }
    const std::string log = dir.read("log.txt");
    EXPECT_EQ(countOf(log, "SoundSystem: no audio device"), 1) << log;
    EXPECT_EQ(countOf(log, "playing without sound\n"), 1) << log;
    EXPECT_EQ(dir.read("errorLog.txt"), "");
}

TEST(SdlMixerSound, EveryEventOfTheGameAndMenusHasASoundThatLoads) {
    MixerScene scene("dummy", LURVANE_GAME_DIR);
    {
        SdlMixerSoundBackEnd backEnd;
        SoundSystem sound(backEnd);
        String error;
        ASSERT_TRUE(sound.Init(".\\Data\\sound.txt", error)) << error.c_str();
        ASSERT_TRUE(sound.isIndexed());
        for (int number = 1; number <= 21; ++number) {
            const SoundEvent* event = sound.findEvent(number);
            ASSERT_NE(event, nullptr) << number;
            const bool song = number >= 14 && number <= 16;
            EXPECT_EQ(event->type(), song ? SoundEvent::Song : SoundEvent::Sample) << number;
            ASSERT_GE(event->fileCount(), 1) << number;
            for (int i = 0; i < event->fileCount(); ++i) {
                const char* file = event->file(i).c_str();
                if (song)
                    EXPECT_NE(backEnd.loadSong(file), nullptr) << file;
                else
                    EXPECT_NE(backEnd.loadSample(file), nullptr) << file;
            }
            if (!song) {
                EXPECT_GT(sound.PlayEvent(number), 0) << number;
            }
        }
        EXPECT_EQ(sound.findEvent(2)->fileCount(), 3);
        EXPECT_GT(sound.PlayEvent(16), 0);
        EXPECT_TRUE(backEnd.musicPlaying());
        sound.Close();
    }
    EXPECT_EQ(scene.dir.read("errorLog.txt"), "");
}
