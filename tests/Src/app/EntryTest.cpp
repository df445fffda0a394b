// Runs of the entry routine in a scratch directory of their own, each
// written as a transcript: the exit status, the state left, the error log
// and the log's lines about modules, zones and failures.
#include "Src/app/GameSystems.h"
#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/TextStyles.h"
#include "gfx/GfxScreen.h"
#include "gfx/HeadlessPlatform.h"
#include "lib/Log.h"
#include "tests/support/Golden.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

class NoWindowPlatform : public HeadlessPlatform {
public:
    bool createWindow(const char*, int, int) override { return false; }
};

} // namespace

TEST(Entry, RunsStartAndEndInOrderAsTheTranscriptSays) {
    const struct {
        const char* what;
        std::vector<std::pair<const char*, const char*>> files;
        bool window;
    } cases[] = {
        // Without a title picture the front end ends at once, and the
        // program with a failure status; the logs of an earlier run go.
        {"no title picture",
         {{"log.txt", "from an earlier run\n"},
          {"errorLog.txt", "old errors\n"},
          {"Data/Levels/one/level.txt", ""}},
         true},
        {"no window", {}, false},
        {"a broken sound file",
         {{"Data/sound.txt", "// sounds\n3 = {\n  Type = Music;\n}\n"}},
         true},
    };
    std::string transcript;
    for (const auto& c : cases) {
        TempDir dir;
        ScopedWorkingDir cwd(dir.path());
        for (const auto& [name, text] : c.files)
            dir.write(name, text);
        std::unique_ptr<HeadlessPlatform> platform =
            c.window ? std::make_unique<HeadlessPlatform>() : std::make_unique<NoWindowPlatform>();
        currentZone = 5;
        for (int i = 0; i < 3; ++i)
            platform->pushEvent(PlatformEvent::MouseMotion);
        platform->pushEvent(PlatformEvent::CloseRequest);
        const int status = runLurvane(*platform);
        gameLog.close();
        errorLog.close();
        transcript += std::string("# ") + c.what + "\nstatus=" + std::to_string(status) +
                      " title=" + platform->windowTitle() +
                      " window left=" + std::to_string(platform->hasWindow()) +
                      " zone=" + std::to_string(currentZone) +
                      " screen=" + std::to_string(app.screen != nullptr) +
                      " back=" + std::to_string(app.backSurface != nullptr) +
                      "\nerrors: " + readFile("errorLog.txt") + "log:\n";
        std::istringstream log(readFile("log.txt"));
        for (std::string line; std::getline(log, line);)
            for (const char* mark : {"adding", "removing", "ould", "Error", "Levels", "Zone"})
                if (line.find(mark) != std::string::npos) {
                    transcript += "  " + line + "\n";
                    break;
                }
    }
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/entry.txt", transcript);
}
