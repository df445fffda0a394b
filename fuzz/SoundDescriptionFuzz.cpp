// The sound description file comes from players: reading it must report an
// error or succeed, never crash, and playing what was read must stay inside
// the table.
#include "fuzz/FuzzInput.h"
#include "sound/RecordingSoundBackEnd.h"
#include "sound/SoundSystem.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

// A directory named in the file stands for everything beneath it; the run
// stays in an empty directory of its own and lone path separators are
// dropped, so no input walks the whole file system.
const std::string& workDir() {
    static const std::string dir = [] {
        const std::string d = scratchPath("sound") + "/a/b";
        std::filesystem::create_directories(d);
        std::filesystem::current_path(d);
        return d;
    }();
    return dir;
}

std::string withoutLoneSeparators(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char before = i > 0 ? text[i - 1] : 0;
        const char after = i + 1 < text.size() ? text[i + 1] : 0;
        const bool comment =
            c == '/' && (before == '/' || after == '/' || before == '*' || after == '*');
        if ((c == '/' && !comment) || c == '\\')
            text[i] = '_';
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = workDir() + "/sound.txt";
    const std::string text = withoutLoneSeparators(data, size);
    if (!writeInput(path, text.data(), text.size()))
        return 0;
    RecordingSoundBackEnd backEnd;
    SoundSystem sound(backEnd);
    String error;
    if (sound.Init("sound.txt", error)) {
        for (int32_t n : {0, 1, 2, 99, 100, 150, -1, INT32_MAX}) {
            sound.PlayEvent(n);
            sound.PlaySampleEvent(n, 64);
        }
        sound.StopAll();
    }
    sound.Close();
    return 0;
}
