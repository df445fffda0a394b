// The sound system on SDL2_mixer, on the dummy driver and without a device,
// and every sound of the game's own description loading.
#include "sound/sdl/SdlMixerSoundBackEnd.h"

#include "lib/Log.h"
#include "sound/SoundSystem.h"
#include "tests/sound/SoundScript.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"
#include "tools/soundgen/Tunes.h"
#include "tools/soundgen/WavFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>

namespace {

// A tone long enough to be still playing when the test looks.
std::string toneWav(double seconds) {
    WavSound sound;
    for (int i = 0; i < seconds * sound.sampleRate; ++i)
        sound.samples.push_back(i / 50 % 2 ? 8000 : -8000);
    const std::vector<uint8_t> bytes = encodeWav(sound);
    return std::string(bytes.begin(), bytes.end());
}

// A driver, working directory, logs and the sound system on the mixer; each
// test runs in a process of its own, so the driver need not be restored.
struct MixerScene {
    explicit MixerScene(const char* driver, const std::string& workDir = "")
        : cwd(workDir.empty() ? dir.path() : workDir) {
        ::setenv("SDL_AUDIODRIVER", driver, 1);
        errorLog.open(dir.file("errorLog.txt").c_str());
        gameLog.open(dir.file("log.txt").c_str());
        std::vector<uint8_t> tune;
        std::string error;
        EXPECT_TRUE(encodeMod(makeTunes()[0].module, tune, error)) << error;
        dir.write("Data/Sound/beep.wav", toneWav(3.0));
        dir.write("Data/Sound/hum.wav", toneWav(0.5));
        dir.write("Data/Music/tune.mod", std::string(tune.begin(), tune.end()));
    }
    ~MixerScene() {
        errorLog.close();
        gameLog.close();
    }
    // Reads the description and runs the script; then both logs.
    std::string run(const char* description, const char* script) {
        dir.write("Data/sound.txt", description);
        String error;
        std::string out = "read " + std::to_string(sound.Init(".\\Data\\sound.txt", error));
        out += std::string(" '") + error.c_str() + "' |" + state() + "\n";
        return out + playScript(sound, script, [this] { return state(); });
    }
    std::string state() {
        return " playing " + std::to_string(backEnd.playingChannels()) + " music " +
               std::to_string(backEnd.musicPlaying()) + " paused " +
               std::to_string(backEnd.musicPaused()) + " open " + std::to_string(backEnd.canPlay());
    }
    // Both logs, without the audio library's own words.
    std::string logs() {
        return std::regex_replace("errorLog.txt:\n" + dir.read("errorLog.txt") + "log.txt:\n" +
                                      dir.read("log.txt"),
                                  std::regex(" \\(.*\\)"), "");
    }

    TempDir dir;
    ScopedWorkingDir cwd;
    SdlMixerSoundBackEnd backEnd;
    SoundSystem sound{backEnd};
};

const char* const kDescription =
    "1 = {\n File = .\\Data\\Sound\\beep.wav;\n}\n"
    "2 = {\n Type = SampleLoop; File = .\\data\\sound\\HUM.wav;\n}\n"
    "3 = {\n Type = Song; File = .\\Data\\Music\\tune.mod; Volume = 128;\n}\n"
    "4 = {\n File = .\\Data\\Sound\\gone.wav;\n}\n";
const char* const kScript = "play:1 pan:1:255 play:2*2 play:4 play:3 pause:1 pause:0 stop close";

} // namespace

TEST(SdlMixerSound, SamplesLoopsAndSongsPlayOnTheDummyDriver) {
    MixerScene scene("dummy");
    std::string transcript = scene.run(kDescription, kScript);
    checkGoldenText(LURVANE_GOLDEN_DIR "/mixer-dummy.txt", transcript + scene.logs());
}

// Without an audio device the game is silent and says so once.
TEST(SdlMixerSound, WithoutAnAudioDeviceNothingPlays) {
    MixerScene scene("lurvane-no-such-driver");
    std::string transcript = scene.run(kDescription, kScript);
    transcript += scene.run(kDescription, kScript);
    checkGoldenText(LURVANE_GOLDEN_DIR "/mixer-no-device.txt", transcript + scene.logs());
}

TEST(SdlMixerSound, EveryEventOfTheGameAndMenusHasASoundThatLoads) {
    MixerScene scene("dummy", LURVANE_GAME_DIR);
    String error;
    ASSERT_TRUE(scene.sound.Init(".\\Data\\sound.txt", error)) << error.c_str();
    std::string transcript = "indexed " + std::to_string(scene.sound.isIndexed()) + "\n";
    for (int number = 1; number <= 21; ++number) {
        const SoundEvent* event = scene.sound.findEvent(number);
        ASSERT_NE(event, nullptr) << number;
        int loaded = 0;
        for (int i = 0; i < event->fileCount(); ++i) {
            const char* file = event->file(i).c_str();
            loaded += event->type() == SoundEvent::Song ? scene.backEnd.loadSong(file) != nullptr
                                                        : scene.backEnd.loadSample(file) != nullptr;
        }
        transcript += std::to_string(number) + ": type " + std::to_string(event->type()) +
                      " files " + std::to_string(event->fileCount()) + " loaded " +
                      std::to_string(loaded) + " played " +
                      std::to_string(scene.sound.PlayEvent(number) > 0) + "\n";
    }
    transcript +=
        "music after the last song " + std::to_string(scene.backEnd.musicPlaying()) + "\n";
    scene.sound.Close();
    checkGoldenText(LURVANE_GOLDEN_DIR "/mixer-game.txt", transcript + scene.logs());
}
