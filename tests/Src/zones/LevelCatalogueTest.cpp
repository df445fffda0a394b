#include "Src/zones/LevelCatalogue.h"

#include "Src/core/Application.h"
#include "lib/FileIO.h"
#include "lib/Log.h"
#include "tests/support/Golden.h"
#include "tests/support/LoggedTest.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Zones = std::vector<std::pair<std::string, std::string>>; // directory, level.txt

class Catalogue : public LoggedTest {
protected:
    void TearDown() override {
        LoggedTest::TearDown();
        app = ApplicationState();
    }

    bool scan() { return catalogue.scanZones((dir.path() + "/Levels").c_str()); }
    // Scans these zones ("-": no description file) and lists the zones,
    // levels and errors; with fields, the fields the log names as read.
    std::string scanned(const Zones& zones, bool collect = false, bool fields = false) {
        std::filesystem::remove_all(dir.file("Levels"));
        for (const auto& [name, text] : zones)
            dir.write("Levels/" + name + (text == "-" ? "/map.fmp" : "/level.txt"), text);
        dir.write("Levels/readme.txt", "a file among the zones");
        const size_t logged = dir.read("log.txt").size();
        const size_t reported = dir.read("errorLog.txt").size();
        app.quitPosted = false;
        std::vector<std::string> collected;
        catalogue.collectErrors(collect ? &collected : nullptr);
        const bool read = scan();
        catalogue.collectErrors(nullptr);
        std::string out = "read=" + std::to_string(read) +
                          " quit=" + std::to_string(app.quitPosted) +
                          " zones=" + std::to_string(catalogue.getZoneCount()) + "\n";
        for (int i = 0; i < catalogue.getZoneCount(); ++i) {
            String gfx;
            catalogue.getZoneSnakeGfxFile(i, gfx);
            std::ostringstream zone;
            zone << "  " << catalogue.getZoneDirName(i) << ": '" << catalogue.getZoneName(i)
                 << "' '" << catalogue.getZoneDisplayName(i) << "' skill "
                 << catalogue.getZoneSkill(i) << " colour " << std::hex
                 << catalogue.getZoneBackColour(i) << std::dec << " gfx "
                 << reportsOf(gfx.c_str(), dir.path());
            for (int n = 1; n <= catalogue.getLevelCount(i); ++n) {
                const Level* level = catalogue.getLevel(i, n);
                zone << "    " << level->number << " "
                     << catalogue.getLevelFileName(i, n) + dir.path().size() << ":";
                for (int skill = 0; skill < 3; ++skill)
                    zone << " " << level->time(skill) << "," << level->startSpeed(skill) << ","
                         << level->topSpeed(skill) << "," << level->incSpeed(skill);
                zone << " zone skill " << level->zone->skill
                     << (level->zone == catalogue.getLevel(i, 1)->zone ? "" : " other zone")
                     << "\n";
            }
            out += zone.str();
        }
        for (const std::string& error : collected)
            out += reportsOf(error, dir.path(), "  collected: ");
        if (fields) {
            std::istringstream log(reportsOf(dir.read("log.txt").substr(logged), dir.path()));
            for (std::string line; std::getline(log, line);)
                if (line[0] == '\t')
                    out += "  log: " + line.substr(line.find_first_not_of('\t')) + "\n";
            // Asked for what is not there, the catalogue gives nothing;
            // scanned again, the same catalogue, not a second copy.
            const int n = catalogue.getZoneCount();
            String gfx;
            catalogue.getZoneSnakeGfxFile(n + 2, gfx);
            out +=
                "  beyond: " +
                std::to_string(catalogue.getLevel(0, catalogue.getLevelCount(0) + 1) == nullptr) +
                std::to_string(catalogue.getLevel(n, 1) == nullptr) +
                std::to_string(catalogue.getZoneName(n) == nullptr) +
                std::to_string(catalogue.getZoneDirName(n) == nullptr) + " skill " +
                std::to_string(catalogue.getZoneSkill(n)) + " levels " +
                std::to_string(catalogue.getLevelCount(n + 4)) + " gfx " + gfx.c_str() + "\n";
            scan();
            out += "  again: zones=" + std::to_string(catalogue.getZoneCount()) + "\n";
        }
        return out + reportsOf(dir.read("errorLog.txt").substr(reported), dir.path(), "  error: ");
    }

    LevelCatalogue catalogue;
};

const char* const kFullZone = "// A zone of tests\n"
                              "<Zone>\n"
                              "Name=\"Green Hills\"\n"
                              "Author=Ada\n"
                              "Skill=3\n"
                              "SnakeGfxFile=\"snake.bmp\";\n"
                              "Backcolor=RGB(10,20,30)\n"
                              "</Zone>\n"
                              "<Level>\n"
                              "Filename=first\n"
                              "Time=90,80,70;\n"
                              "StartSpeed=12,10,8\n"
                              "</Level>\n"
                              "/* <Level> Filename=hidden </Level> */\n"
                              "<Level>\n"
                              "Filename=\"second one\"\n"
                              "TopSpeed=6,5,4\n"
                              "IncSpeed=7,6,5\n"
                              "</Level>\n";

} // namespace

// Zones sort by skill, stably after their directory names compared as
// capitals; an unsigned skill counts as below 0, a missing one as 5.
TEST_F(Catalogue, ZoneFoldersGiveTheirZonesLevelsAndErrors) {
    std::string crlf;
    for (char c : std::string(kFullZone))
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    const std::string level = "<Level>\nFilename=a\n";
    const std::string oneLevel = "</Zone>\n<Level>\nFilename=m\n</Level>\n";
    const std::string named = "<Zone>\nSkill=3\nName=n\n</Zone>\n";
    const struct {
        const char* what;
        Zones zones;
        bool collect = false;
        bool fields = false;
    } cases[] = {
        {"full zone", {{"hills", kFullZone}}, false, true},
        {"skills",
         {{"d", "<Zone>\nSkill=12\n" + oneLevel},
          {"a", "<Zone>\nSkill=7\n" + oneLevel},
          {"c", "<Zone>\nSkill=2\n" + oneLevel},
          {"b", "<Zone>\nSkill=2\n" + oneLevel},
          {"e", "<Zone>\nSkill=4294967295\n" + oneLevel},
          {"g", "<Zone>\n" + oneLevel},
          {"f", "<Zone>\nSkill=5\n" + oneLevel}}},
        {"names",
         {{"Zeta", named},
          {"_x", named},
          {"beta", named},
          {"\xC4", named},
          {"alpha", named},
          {"betA2", named},
          {"Beta", named}}},
        {"no header", {{"z", "nothing here\n"}}},
        {"line ends CR LF", {{"z", crlf}}},
        {"quoted name", {{"z", "<Zone>\nName=\"Two Words\"\n</Zone>\n"}}},
        {"blank before the quote", {{"z", "<Zone>\nName= \"Two Words\"\n</Zone>\n"}}},
        {"long author",
         {{"z", "<Zone>\nName=Plain\nAuthor=" + std::string(20, 'a') + "bcd\n</Zone>\n"}}},
        {"colour RGB", {{"z", "<Zone>\nBackcolor=RGB(255,0,0)\n</Zone>\n"}}},
        {"colour hex", {{"z", "<Zone>\nBackcolor=0xff0000;\n</Zone>\n"}}},
        {"colour without digits", {{"z", "<Zone>\nBackcolor=0x\n</Zone>\n"}}},
        {"every default", {{"z", "<Level>\nFilename=one\n</Level>\n"}}},
        {"time", {{"z", level + "Time=60,50,40;\n</Level>\n"}}},
        {"two numbers", {{"z", level + "Time=60,50;x\n</Level>\n"}}},
        {"blank after =", {{"z", level + "Time= 60,50,40;\n</Level>\n"}}},
        {"blanks after commas", {{"z", level + "Time=60, 50, 40;\n</Level>\n"}}},
        {"blanks around =", {{"z", "<Zone>\nSkill = 5\n</Zone>\n"}}},
        {"no file name", {{"z", "<Level>\nTime=1,2,3\n</Level>\n"}}},
        {"capital X", {{"z", "<Zone>\nBackcolor=0X0000ff\n</Zone>\n"}}},
        {"green no number", {{"z", "<Zone>\nBackcolor=RGB(1,x,3)\n</Zone>\n"}}},
        {"zone not closed", {{"z", "\n\n<Zone>\nName=x\n"}}},
        {"level not closed", {{"z", "<Level>\nFilename=a\n</Level>\n\n<Level>\nFilename=b\n"}}},
        {"value runs into the end", {{"z", "<Zone>\nName=x</Zone>\n"}}},
        {"no description file", {{"empty", "-"}, {"full", kFullZone}}},
        {"collected",
         {{"a", "<Zone>\nSkill = 5\n</Zone>\n<Level>\nTime=1,2,3\n</Level>\n"
                "<Level>\nFilename=b\nTime=1,x\n</Level>\n"},
          {"b", "<Level>\nFilename=c\n"},
          {"c", "<Zone>\nName=x</Zone>\n"},
          {"d", "<Level>\nFilename=d\n</Level>\n"},
          {"e", "<Level>\nFilename=e</Level>\n"}},
         true},
    };
    std::string transcript;
    for (const auto& c : cases)
        transcript += std::string(c.what) + ": " + scanned(c.zones, c.collect, c.fields);
    checkGoldenText(std::string(LURVANE_TEST_GOLDEN_DIR) + "/level_catalogue.txt", transcript);
}
