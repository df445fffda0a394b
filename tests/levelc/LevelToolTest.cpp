// The level compiler and the map printer as a level author runs them.
#include "lib/ByteOrder.h"
#include "tests/gfx/ImageFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct ToolRun {
    int status = -1;
    std::string out, err;
};

class LevelTool : public ::testing::Test {
protected:
    ToolRun run(const std::string& program, const std::string& arguments) {
        ToolRun result;
        const std::string command = "'" + program + "' " + arguments + " >'" + dir.file("out") +
                                    "' 2>'" + dir.file("err") + "'";
        const int status = std::system(command.c_str());
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = readFile(dir.file("out"));
        result.err = readFile(dir.file("err"));
        return result;
    }
    ToolRun levelc(const std::string& arguments) { return run(LEVELC_PATH, arguments); }
    // Compiles the level in the test's directory into the map there.
    ToolRun compile(const std::string& options, const std::string& level, const std::string& map) {
        return levelc(options + " '" + dir.file(level) + "' '" + dir.file(map) + "'");
    }
    std::string sheet(const char* name) const { return "--sheet '" + dir.file(name) + "'"; }
    ToolRun fmpinfo(const std::string& file) { return run(FMPINFO_PATH, "'" + file + "'"); }
    bool exists(const std::string& name) const { return std::filesystem::exists(dir.file(name)); }

    // A sheet of four 20x20 blocks in a row, in a format of the caller's choice.
    static TestPicture sheetPicture() {
        TestPicture picture;
        picture.width = 80;
        picture.height = 20;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 80; ++x)
                picture.rgb.push_back(x < 20 ? 0x204020u : x < 40 ? 0xE0E0E0u : 0xFF0000u);
        return picture;
    }
    // Both sheets, and a level without a snake that compiles without the check.
    void SetUp() override {
        dir.write("sheet.tga", writeTga(sheetPicture()));
        dir.write("sheet.bmp", writeBmp(sheetPicture()));
        dir.write("ok.lvl", "map\n###\n#o#\n###\n");
    }

    TempDir dir;
};

const char kLevel[] = "; a small level\n"
                      "map\n"
                      "#######\n"
                      "#.<BBo#\n"
                      "#######\n";

} // namespace

TEST_F(LevelTool, CompilesALevelThatFmpinfoPrints) {
    dir.write("small.lvl", kLevel);
    // The head, block 9, is beyond a sheet of four blocks.
    ToolRun compiled = compile(sheet("sheet.tga"), "small.lvl", "small.fmp");
    EXPECT_EQ(compiled.status, 1);
    EXPECT_EQ(compiled.err,
              "levelc: " + dir.file("small.lvl") + ": block 9 is not on the sheet of 4 blocks\n");
    EXPECT_FALSE(exists("small.fmp"));

    // Without a head the check refuses it; without the check it compiles.
    compiled = compile(sheet("sheet.tga"), "ok.lvl", "small.fmp");
    EXPECT_EQ(compiled.status, 1);
    EXPECT_EQ(compiled.err, "levelc: " + dir.file("ok.lvl") + ": no snake head\n");
    // The depth is 16 unless asked for.
    for (auto [options, depth] : {std::pair{"", "16"},
                                  {"--depth 8", "8"},
                                  {"--depth 15", "15"},
                                  {"--depth 24", "24"},
                                  {"--depth 32", "32"}}) {
        const std::string picture = *options ? "sheet.bmp" : "sheet.tga";
        compiled = compile(std::string(options) + " --no-check " + sheet(picture.c_str()), "ok.lvl",
                           "small.fmp");
        EXPECT_EQ(compiled.status, 0) << compiled.err;
        EXPECT_EQ(compiled.err, "");
        const ToolRun info = fmpinfo(dir.file("small.fmp"));
        EXPECT_EQ(info.status, 0) << info.out;
        EXPECT_EQ(info.out, std::string("mapWidth=3\nmapHeight=3\nblockWidth=20\nblockHeight=20\n"
                                        "blockDepth=") +
                                depth + "\nnumBlockStr=4\nnumBlockGfx=4\n3 3 3\n3 2 3\n3 3 3\n");
    }
    EXPECT_FALSE(exists("small.fmp.part"));
}

TEST_F(LevelTool, BadInputGivesOneLineAndKeepsTheEarlierMap) {
    ASSERT_EQ(compile("--no-check " + sheet("sheet.bmp"), "ok.lvl", "kept.fmp").status, 0);
    const std::string kept = dir.read("kept.fmp");

    struct Case {
        std::string level, options, reason;
    };
    dir.write("bad.lvl", "map\n###\n#?#\n###\n");
    dir.write("blank.lvl", "; nothing here\n");
    dir.write("notapicture.bmp", "BM but not really");
    const std::string bmp = sheet("sheet.bmp");
    const Case cases[] = {
        {"bad.lvl", bmp, "map row 2: no block for '?'"},
        {"blank.lvl", bmp, "no map"},
        {"missing.lvl", bmp, "cannot read the level source"},
        {"ok.lvl", "--no-check " + sheet("nothing.bmp"),
         "cannot read the block sheet " + dir.file("nothing.bmp")},
        {"ok.lvl", "--no-check " + sheet("notapicture.bmp"),
         "cannot read the block sheet " + dir.file("notapicture.bmp")},
        {"ok.lvl", "--depth 12 " + bmp, "depth must be 8, 15, 16, 24 or 32"},
        {"ok.lvl", "", "no --sheet given"},
    };
    for (const Case& c : cases) {
        const ToolRun result = compile(c.options, c.level, "kept.fmp");
        EXPECT_EQ(result.status, 1) << c.level << " " << c.options;
        EXPECT_EQ(result.err, "levelc: " + dir.file(c.level) + ": " + c.reason + "\n");
        EXPECT_EQ(dir.read("kept.fmp"), kept) << c.level << " " << c.options;
    }
    // An output that cannot be written is an error too.
    const ToolRun unwritable = compile("--no-check " + bmp, "ok.lvl", "no/such/dir/x.fmp");
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err, "levelc: " + dir.file("ok.lvl") + ": cannot write " +
                                  dir.file("no/such/dir/x.fmp") + "\n");
    EXPECT_EQ(levelc("").status, 1);
}

TEST_F(LevelTool, FmpinfoPrintsTheLoadersErrorForRejectedFiles) {
    ASSERT_EQ(compile("--no-check " + sheet("sheet.bmp"), "ok.lvl", "good.fmp").status, 0);
    const std::string good = dir.read("good.fmp");

    // Cut short: the container length no longer matches.
    dir.write("short.fmp", good.substr(0, good.size() - 10));
    // A sound container, but a chunk length that runs past the end.
    std::string runaway = good;
    writeBE32(reinterpret_cast<uint8_t*>(&runaway[16]), 0x7FFFFFF0u);
    dir.write("runaway.fmp", runaway);
    dir.write("empty.fmp", "");
    for (const char* name : {"short.fmp", "runaway.fmp", "empty.fmp"}) {
        const ToolRun info = fmpinfo(dir.file(name));
        EXPECT_EQ(info.status, 1) << name;
        EXPECT_EQ(info.out, "error=2\n") << name;
    }
    const ToolRun missing = fmpinfo(dir.file("missing.fmp"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "error=3\n");
}
