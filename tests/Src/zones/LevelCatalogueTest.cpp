#include "Src/zones/LevelCatalogue.h"

#include "Src/core/Application.h"
#include "lib/FileIO.h"
#include "lib/Log.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <vector>

namespace {

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override {
        app = ApplicationState();
        gameLog.open(dir.file("log.txt").c_str());
        errorLog.open(dir.file("errorLog.txt").c_str());
    }
    void TearDown() override {
        gameLog.close();
        errorLog.close();
        app = ApplicationState();
    }

    void zone(const std::string& name, const std::string& levelTxt) {
        dir.write("Levels/" + name + "/level.txt", levelTxt);
    }
    bool scan() { return catalogue.scanZones((dir.path() + "/Levels").c_str()); }
    std::string errors() { return dir.read("errorLog.txt"); }
    std::string log() { return dir.read("log.txt"); }

    // Scans a single zone with the given header and level sections and
    // returns the error reported, or "" when it was read.
    std::string scanOne(const std::string& text) {
        std::filesystem::remove_all(dir.file("Levels"));
        writeFile(dir.file("errorLog.txt"), "");
        app.quitPosted = false;
        zone("z", text);
        if (scan())
            return "";
        EXPECT_TRUE(app.quitPosted);
        const std::string e = errors();
        const std::string head = "Error reading levels-File:\n  Filename='";
        const size_t at = e.find("'\n  ");
        return e.rfind(head, 0) == 0 && at != std::string::npos ? e.substr(at + 4) : e;
    }

    TempDir dir;
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

// Time, start, top and increase of each skill in turn.
std::vector<int32_t> settingsOf(const Level* level) {
    std::vector<int32_t> settings;
    for (int skill = 0; skill < 3; ++skill)
        for (int32_t value : {level->time(skill), level->startSpeed(skill), level->topSpeed(skill),
                              level->incSpeed(skill)})
            settings.push_back(value);
    return settings;
}

} // namespace

TEST_F(Catalogue, ReadsTheZoneHeaderLevelsAndDefaults) {
    zone("hills", kFullZone);
    ASSERT_TRUE(scan());
    ASSERT_EQ(catalogue.getZoneCount(), 1);
    EXPECT_STREQ(catalogue.getZoneName(0), "Green Hills");
    EXPECT_STREQ(catalogue.getZoneDisplayName(0), "Green Hills (by Ada)");
    EXPECT_EQ(catalogue.getZoneBackColour(0), 10u | 20u << 8 | 30u << 16);
    const std::string prefix = dir.path() + "/Levels\\hills\\";
    String gfx;
    catalogue.getZoneSnakeGfxFile(0, gfx);
    EXPECT_EQ(std::string(gfx.c_str()), prefix + "snake.bmp");

    ASSERT_EQ(catalogue.getLevelCount(0), 2);
    const Level* first = catalogue.getLevel(0, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->number, 1);
    EXPECT_EQ(std::string(first->fileName.c_str()), prefix + "first.fmp");
    EXPECT_EQ(settingsOf(first), (std::vector<int32_t>{90, 12, 5, 5, 80, 10, 4, 4, 70, 8, 3, 3}));
    const Level* second = catalogue.getLevel(0, 2);
    EXPECT_EQ(std::string(catalogue.getLevelFileName(0, 2)), prefix + "second one.fmp");
    EXPECT_EQ(settingsOf(second), (std::vector<int32_t>{60, 10, 6, 7, 50, 8, 5, 6, 40, 6, 4, 5}));
    EXPECT_EQ(second->zone, first->zone);

    EXPECT_EQ(catalogue.getLevel(0, 3), nullptr);
    EXPECT_EQ(catalogue.getLevel(1, 1), nullptr);
    EXPECT_EQ(catalogue.getZoneName(1), nullptr);
    EXPECT_EQ(catalogue.getLevelCount(5), 0);
    catalogue.getZoneSnakeGfxFile(3, gfx);
    EXPECT_STREQ(gfx.c_str(), ".\\Data\\Gfx\\items.bmp");

    // The log names each field read, and a default as such.
    EXPECT_NE(log().find("\t\tName='Green Hills'\n\t\tAuthor='Ada'\n\t\tSkill='3'\n"
                         "\t\tgfxFileName='snake.bmp'\n\t\tBackcolor=0x1e140a\n"),
              std::string::npos);
    EXPECT_NE(log().find("\t\tStartSpeed = 12,10,8\n\t\tTopSpeed (default) = 5,4,3\n"),
              std::string::npos);
    EXPECT_EQ(errors(), "");
}

TEST_F(Catalogue, SortsBySkillStablyAfterSortingNames) {
    // Directory, skill line, and the place and skill after sorting: e's
    // skill does not fit a signed number and counts as below 0, g has none.
    struct Row {
        const char* name;
        const char* skill;
        int place;
        int32_t stored;
    };
    const Row rows[] = {
        {"d", "Skill=12\n", 6, 9}, {"a", "Skill=7\n", 5, 7},          {"c", "Skill=2\n", 2, 2},
        {"b", "Skill=2\n", 1, 2},  {"e", "Skill=4294967295\n", 0, 0}, {"g", "", 4, 5},
        {"f", "Skill=5\n", 3, 5},
    };
    // Written in an order the directory listing would not keep.
    for (const Row& row : rows)
        zone(row.name,
             std::string("<Zone>\n") + row.skill + "</Zone>\n<Level>\nFilename=m\n</Level>\n");
    dir.write("Levels/readme.txt", "a file among the zones");
    ASSERT_TRUE(scan());
    ASSERT_EQ(catalogue.getZoneCount(), 7);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_STREQ(catalogue.getZoneName(row.place), row.name);
        EXPECT_EQ(catalogue.getLevel(row.place, 1)->zone->skill, row.stored);
    }

    // Scanning again gives the same catalogue, not a second copy.
    ASSERT_TRUE(scan());
    EXPECT_EQ(catalogue.getZoneCount(), 7);

    // Zones of one skill come in the order of their names, whatever order
    // the directory lists them in: letter case aside, letters compared as
    // capitals (so "_" comes after them), bytes only between names that
    // differ in nothing else. The directory names the zone, not its Name.
    std::filesystem::remove_all(dir.file("Levels"));
    const std::vector<std::string> names = {"alpha", "Beta", "beta", "betA2", "Zeta", "_x", "\xC4"};
    for (const std::string& name : names)
        zone(name, "<Zone>\nSkill=3\nName=n\n</Zone>\n");
    ASSERT_TRUE(scan());
    std::vector<std::string> order;
    for (int i = 0; i < catalogue.getZoneCount(); ++i)
        order.push_back(catalogue.getZoneDirName(i));
    EXPECT_EQ(order, names);
    EXPECT_EQ(catalogue.getZoneSkill(6), 3);
    EXPECT_EQ(catalogue.getZoneDirName(7), nullptr);
    EXPECT_EQ(catalogue.getZoneSkill(7), 0);
}

TEST_F(Catalogue, MissingDescriptionFileEndsTheScan) {
    dir.write("Levels/empty/map.fmp", "");
    EXPECT_FALSE(scan());
    EXPECT_EQ(errors(), "Cannot load level.txt in directory '" + dir.path() + "/Levels\\empty'\n");
    EXPECT_TRUE(app.quitPosted);
    EXPECT_NE(log().find("Cannot load level.txt"), std::string::npos);
    EXPECT_EQ(catalogue.getZoneCount(), 0);
}

// One zone in directory "z": what it shows, or the error that ends the scan.
TEST_F(Catalogue, SingleZoneTextsAndTheirErrors) {
    std::string crlf;
    for (char c : std::string(kFullZone)) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    const std::string level = "<Level>\nFilename=a\n";
    const struct {
        std::string text;
        const char* error;
        const char* display = ""; // name, and author when there is one
        uint32_t colour = 0;
        int levels = 0;
    } cases[] = {
        // No header: the directory names the zone.
        {"nothing here\n", "", "z", 0, 0},
        {crlf, "", "Green Hills (by Ada)", 10u | 20u << 8 | 30u << 16, 2},
        {"<Zone>\nName=\"Two Words\"\n</Zone>\n", "", "Two Words", 0, 0},
        {"<Zone>\nName= \"Two Words\"\n</Zone>\n", "", " ", 0, 0},
        {"<Zone>\nName=Plain\nAuthor=" + std::string(20, 'a') + "bcd\n</Zone>\n", "",
         "Plain (by aaaaaaaaaaaaaaaaaaaa)", 0, 0},
        {"<Zone>\nBackcolor=RGB(255,0,0)\n</Zone>\n", "", "z", 0x0000FF, 0},
        {"<Zone>\nBackcolor=0xff0000;\n</Zone>\n", "", "z", 0xFF0000, 0},
        {"<Zone>\nBackcolor=0x\n</Zone>\n", "", "z", 0, 0}, // no digits: black
        {level + "Time=60,50,40;\n</Level>\n", "", "z", 0, 1},
        // Numbers follow their separators directly.
        {level + "Time=60,50;x\n</Level>\n", "Keyword='Time', expected 3 integers afterwards!"},
        {level + "Time= 60,50,40;\n</Level>\n", "Keyword='Time', expected 3 integers afterwards!"},
        {level + "Time=60, 50, 40;\n</Level>\n", "Keyword='Time', expected 3 integers afterwards!"},
        {"<Zone>\nSkill = 5\n</Zone>\n", "no number after 'Skill='"},
        {"<Level>\nTime=1,2,3\n</Level>\n", "For each level a filename is needed!"},
        {"<Zone>\nBackcolor=0X0000ff\n</Zone>\n",
         "no color-number after 'Backcolor='\n  must be 0xrrggbb or RGB(r,g,b)"},
        {"<Zone>\nBackcolor=RGB(1,x,3)\n</Zone>\n",
         "Backcolor : 'RGB(1,x,3)' : green is no number?"},
        {"\n\n<Zone>\nName=x\n", "Found <Zone> (line 3) but no matching </Zone>\n"},
        {"<Level>\nFilename=a\n</Level>\n\n<Level>\nFilename=b\n",
         "Found <Level> (line 5) but no matching </Level>\n"},
        // The last value runs into the end of its section.
        {"<Zone>\nName=x</Zone>\n", "End Of File"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(scanOne(c.text), c.error);
        if (*c.error)
            continue;
        EXPECT_STREQ(catalogue.getZoneDisplayName(0), c.display);
        EXPECT_EQ(catalogue.getZoneBackColour(0), c.colour);
        ASSERT_EQ(catalogue.getLevelCount(0), c.levels);
        if (c.levels > 0) {
            EXPECT_EQ(catalogue.getLevel(0, c.levels)->time(1), 50);
        }
    }
    // The default snake sheet is found from the zone's directory as well.
    scanOne("");
    String gfx;
    catalogue.getZoneSnakeGfxFile(0, gfx);
    EXPECT_EQ(std::string(gfx.c_str()), dir.path() + "/Levels\\z\\..\\..\\Gfx\\items.bmp");
}

TEST_F(Catalogue, CompletionFlagsRoundTripAndSurviveCorruptCountsAndPlaces) {
    zone("a", "");
    zone("b", "");
    zone("c", "");
    ASSERT_TRUE(scan());
    catalogue.markZoneCompleted(7);
    catalogue.markZoneCompleted(-1);
    catalogue.markZoneCompleted(1);
    auto read = [&](const std::string& bytes) {
        dir.write("flags.dat", bytes);
        FileIO in;
        ASSERT_TRUE(in.openRead(dir.file("flags.dat").c_str()));
        catalogue.readCompletionFlags(in);
    };
    {
        FileIO out;
        ASSERT_TRUE(out.openWrite(dir.file("flags.dat").c_str()));
        catalogue.writeCompletionFlags(out);
    }
    EXPECT_EQ(dir.read("flags.dat"), std::string("\3\0\0\0\0\1\0", 7));
    ASSERT_TRUE(scan()); // clears every flag
    EXPECT_FALSE(catalogue.isZoneCompleted(1));
    // Fewer flags than zones, more, a truncated block, a negative count.
    read(std::string("\1\0\0\0\1\1", 6));
    EXPECT_TRUE(catalogue.isZoneCompleted(0));
    EXPECT_FALSE(catalogue.isZoneCompleted(1));
    read(std::string("\5\0\0\0\1\1\1", 7));
    read(std::string("\xff\xff\xff\xff\0", 5));
    EXPECT_TRUE(catalogue.isZoneCompleted(1));
    EXPECT_TRUE(catalogue.isZoneCompleted(2));
    EXPECT_FALSE(catalogue.isZoneCompleted(3));
}

// Collecting errors, a scan reads on past each one and keeps every zone;
// nothing goes to the error log and the program goes on.
TEST_F(Catalogue, CollectedErrorsLetTheScanReadOn) {
    zone("a", "<Zone>\nSkill = 5\n</Zone>\n<Level>\nTime=1,2,3\n</Level>\n"
              "<Level>\nFilename=b\nTime=1,x\n</Level>\n");
    zone("b", "<Level>\nFilename=c\n");
    zone("c", "<Zone>\nName=x</Zone>\n");
    zone("d", "<Level>\nFilename=d\n</Level>\n");
    std::vector<std::string> collected;
    catalogue.collectErrors(&collected);
    EXPECT_TRUE(scan());
    catalogue.collectErrors(nullptr);
    const char* const ends[] = {
        "a/level.txt'\n  no number after 'Skill='",
        "a/level.txt'\n  For each level a filename is needed!",
        "a/level.txt'\n  Keyword='Time', expected 3 integers afterwards!",
        "b/level.txt'\n  Found <Level> (line 1) but no matching </Level>\n",
        "c/level.txt'\n  End Of File",
    };
    ASSERT_EQ(collected.size(), std::size(ends));
    for (size_t i = 0; i < collected.size(); ++i) {
        const std::string end = ends[i];
        ASSERT_GE(collected[i].size(), end.size());
        EXPECT_EQ(collected[i].substr(collected[i].size() - end.size()), end);
    }
    // Levels with a map file are kept, with defaults for what was wrong.
    std::string levels;
    for (int i = 0; i < catalogue.getZoneCount(); ++i)
        levels += catalogue.getZoneDirName(i) + std::to_string(catalogue.getLevelCount(i));
    EXPECT_EQ(levels, "a1b0c0d1");
    EXPECT_EQ(errors(), "");
    EXPECT_FALSE(app.quitPosted);
}

TEST_F(Catalogue, EveryDefaultSetting) {
    ASSERT_EQ(scanOne("<Level>\nFilename=one\n</Level>\n"), "");
    EXPECT_EQ(settingsOf(catalogue.getLevel(0, 1)),
              (std::vector<int32_t>{60, 10, 5, 5, 50, 8, 4, 4, 40, 6, 3, 3}));
}
