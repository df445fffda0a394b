// The level compiler and the map printer as a level author runs them.
#include "lib/ByteOrder.h"
#include "tests/gfx/ImageFiles.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

namespace {

class LevelTool : public ::testing::Test {
protected:
    // Sheets of four blocks; a level whose head is block 9, and one without a snake.
    void SetUp() override {
        TestPicture sheet;
        sheet.width = 80;
        sheet.height = 20;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 80; ++x)
                sheet.rgb.push_back(x < 20 ? 0x204020u : x < 40 ? 0xE0E0E0u : 0xFF0000u);
        dir.write("sheet.tga", writeTga(sheet));
        dir.write("sheet.bmp", writeBmp(sheet));
        dir.write("small.lvl", "; a small level\nmap\n#######\n#.<BBo#\n#######\n");
        dir.write("ok.lvl", "map\n###\n#o#\n###\n");
        dir.write("bad.lvl", "map\n###\n#?#\n###\n");
        dir.write("blank.lvl", "; nothing here\n");
        dir.write("notapicture.bmp", "BM but not really");
    }

    // Per command ($ the directory): status, output, maps left, whether kept.fmp is kept.
    std::string run(const std::vector<std::string>& commands) {
        std::string out;
        for (const std::string& command : commands) {
            std::string line = command, shown;
            for (size_t at; (at = line.find('$')) != std::string::npos;)
                line.replace(at, 1, dir.path());
            line.replace(0, line.find(' ') == std::string::npos ? line.size() : line.find(' '),
                         command.starts_with("levelc") ? LEVELC_PATH : FMPINFO_PATH);
            const int status =
                std::system((line + " >" + dir.file("out") + " 2>" + dir.file("err")).c_str());
            shown = command + " => " +
                    std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + " " +
                    dir.read("out") + dir.read("err");
            for (size_t at; (at = shown.find(dir.path())) != std::string::npos;)
                shown.replace(at, dir.path().size(), "$");
            for (char& c : shown)
                c = c == '\n' ? '|' : c;
            for (const auto& file : std::set<std::filesystem::path>(
                     std::filesystem::directory_iterator(dir.path()), {}))
                if (file.string().find(".fmp") != std::string::npos)
                    shown += " " + file.filename().string();
            if (kept.empty() && std::filesystem::exists(dir.file("kept.fmp")))
                kept = dir.read("kept.fmp");
            else if (!kept.empty())
                shown += dir.read("kept.fmp") == kept ? " (kept)" : " (kept.fmp changed)";
            out += shown + "\n";
        }
        return out;
    }

    TempDir dir;
    std::string kept;
};

} // namespace

// Every failure is one line and status 1 and keeps the earlier map.
TEST_F(LevelTool, CompilesLevelsThatFmpinfoPrints) {
    std::string transcript = run({
        "levelc --sheet $/sheet.tga $/small.lvl $/small.fmp",
        "levelc --sheet $/sheet.tga $/ok.lvl $/small.fmp",
        "levelc --no-check --sheet $/sheet.tga $/ok.lvl $/small.fmp",
        "fmpinfo $/small.fmp",
        "levelc --depth 8 --no-check --sheet $/sheet.bmp $/ok.lvl $/small.fmp",
        "fmpinfo $/small.fmp",
        "levelc --depth 32 --no-check --sheet $/sheet.bmp $/ok.lvl $/kept.fmp",
        "fmpinfo $/kept.fmp",
        "levelc --sheet $/sheet.bmp $/bad.lvl $/kept.fmp",
        "levelc --sheet $/sheet.bmp $/blank.lvl $/kept.fmp",
        "levelc --sheet $/sheet.bmp $/missing.lvl $/kept.fmp",
        "levelc --no-check --sheet $/nothing.bmp $/ok.lvl $/kept.fmp",
        "levelc --no-check --sheet $/notapicture.bmp $/ok.lvl $/kept.fmp",
        "levelc --depth 12 --sheet $/sheet.bmp $/ok.lvl $/kept.fmp",
        "levelc $/ok.lvl $/kept.fmp",
        "levelc --no-check --sheet $/sheet.bmp $/ok.lvl $/no/such/dir/x.fmp",
        "levelc",
    });
    // Cut short, a chunk length that runs past the end, and no bytes at all.
    std::string runaway = kept;
    writeBE32(reinterpret_cast<uint8_t*>(&runaway[16]), 0x7FFFFFF0u);
    writeFile(dir.file("kept.fmp"), kept.substr(0, kept.size() - 10));
    dir.write("runaway.fmp", runaway);
    dir.write("empty.fmp", "");
    kept.clear();
    transcript += run({"fmpinfo $/kept.fmp", "fmpinfo $/runaway.fmp", "fmpinfo $/empty.fmp",
                       "fmpinfo $/missing.fmp"});
    checkGoldenText(LURVANE_GOLDEN_DIR "/level-tools.txt", transcript);
}
