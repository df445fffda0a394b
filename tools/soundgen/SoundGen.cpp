// Makes the game's sounds and music: synthesises every sample as a WAV
// file, writes the tunes as modules and writes the default sound
// description file that names them, all below the Data directory given.
//
// Usage: lurvane_soundgen <Data directory>

#include "tools/soundgen/SoundEffects.h"
#include "tools/soundgen/Tunes.h"
#include "tools/soundgen/WavFile.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

struct EventEntry {
    int number;
    const char* name;
    const char* type; // null for a one-shot sample
    const char* file; // Windows-style path as the game reads it
    int volume;       // songs only; 255 leaves it out
};

// Every event the game and the menus raise.
const EventEntry kEvents[] = {
    {1, "Menu choice", nullptr, ".\\Data\\Sound\\choice.wav", 255},
    {2, "Food eaten, menu move", nullptr, ".\\Data\\Sound\\Eat", 255},
    {3, "Level started", nullptr, ".\\Data\\Sound\\levelstart.wav", 255},
    {4, "Snake crashed", nullptr, ".\\Data\\Sound\\crash.wav", 255},
    {5, "Level completed", nullptr, ".\\Data\\Sound\\levelcompleted.wav", 255},
    {6, "Bonus count goes on", nullptr, ".\\Data\\Sound\\countphase.wav", 255},
    {7, "Time is up", nullptr, ".\\Data\\Sound\\timeup.wav", 255},
    {8, "Last seconds", nullptr, ".\\Data\\Sound\\tick.wav", 255},
    {9, "Game over", nullptr, ".\\Data\\Sound\\gameover.wav", 255},
    {10, "Speed reset", nullptr, ".\\Data\\Sound\\speedreset.wav", 255},
    {11, "Shrink", nullptr, ".\\Data\\Sound\\shrink.wav", 255},
    {12, "Points", nullptr, ".\\Data\\Sound\\points.wav", 255},
    {13, "Extra time", nullptr, ".\\Data\\Sound\\timeitem.wav", 255},
    {14, "Title music", "Song", ".\\Data\\Music\\title.mod", 210},
    {15, "High score music", "Song", ".\\Data\\Music\\highscore.mod", 210},
    {16, "In-game music", "Song", ".\\Data\\Music\\ingame.mod", 170},
    {17, "Rank improved", nullptr, ".\\Data\\Sound\\rankup.wav", 255},
    {18, "Zone completed", nullptr, ".\\Data\\Sound\\zonecompleted.wav", 255},
    {19, "New high score", nullptr, ".\\Data\\Sound\\highscore.wav", 255},
    {20, "Boost", nullptr, ".\\Data\\Sound\\boost.wav", 255},
    {21, "Snake waits for a direction", nullptr, ".\\Data\\Sound\\stuck.wav", 255},
};

std::string descriptionFile() {
    std::string text = "// Lurvane's sound events. Each block starts with the number the game\n"
                       "// raises, then gives a name, a type (Sample, the default, SampleLoop or\n"
                       "// Song), one or more files and, for songs, a volume from 0 to 255.\n"
                       "// Several files, or a directory standing for every file in it, are\n"
                       "// played in turn in a random order. Quote values with blanks in them.\n";
    for (const EventEntry& e : kEvents) {
        text += "\n" + std::to_string(e.number) + " = {\n";
        text += std::string("    Name = \"") + e.name + "\";\n";
        if (e.type)
            text += std::string("    Type = ") + e.type + ";\n";
        text += std::string("    File = \"") + e.file + "\";\n";
        if (e.volume < 255)
            text += "    Volume = " + std::to_string(e.volume) + ";\n";
        text += "}\n";
    }
    return text;
}

bool write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    if (writeBinaryFile(path.string(), bytes))
        return true;
    std::fprintf(stderr, "lurvane_soundgen: could not write %s\n", path.string().c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lurvane_soundgen <Data directory>\n");
        return 2;
    }
    const std::filesystem::path data(argv[1]);
    bool ok = true;
    // The eating sounds are found by listing their directory: one left over
    // from an earlier build would play too.
    std::error_code ignored;
    std::filesystem::remove_all(data / "Sound" / "Eat", ignored);
    try {
        for (const SoundEffect& effect : makeSoundEffects())
            ok = write(data / effect.file, encodeWav(effect.sound)) && ok;
        for (const Tune& tune : makeTunes()) {
            std::vector<uint8_t> bytes;
            std::string error;
            if (!encodeMod(tune.module, bytes, error)) {
                std::fprintf(stderr, "lurvane_soundgen: %s: %s\n", tune.file.c_str(),
                             error.c_str());
                ok = false;
                continue;
            }
            ok = write(data / tune.file, bytes) && ok;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "lurvane_soundgen: %s\n", error.what());
        return 1;
    }
    const std::string text = descriptionFile();
    ok = write(data / "sound.txt", std::vector<uint8_t>(text.begin(), text.end())) && ok;
    return ok ? 0 : 1;
}
