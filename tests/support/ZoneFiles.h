// A zone of our own compiled into a scratch data directory: each level from
// level source rows with its numbers for level.txt, on a sheet of grey
// blocks or on the blocks of a picture.
#pragma once

#include "gfx/GfxSurface.h"
#include "map/FmpWriter.h"
#include "tests/support/TempDir.h"
#include "tools/levelc/LevelCompiler.h"
#include "tools/levelc/LevelSource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

struct LevelSpec {
    std::vector<std::string> rows;
    std::string settings = "Time=60,50,40\nStartSpeed=4,4,4\nTopSpeed=2,2,2\nIncSpeed=5,5,5\n";
};

// Writes Data/Levels/<name> with level1 ... levelN; header holds the zone's
// lines after its name.
inline void writeZone(TempDir& dir, const std::string& name, const std::vector<LevelSpec>& levels,
                      const std::string& header = "Skill=1\n", const std::string& sheetFile = "") {
    BlockSheet sheet;
    sheet.width = 320;
    sheet.height = 40;
    for (int i = 0; i < 320 * 40; ++i)
        sheet.pixels.push_back(static_cast<uint32_t>((i % 320) / 20 * 0x101010));
    if (!sheetFile.empty()) {
        GfxSurface picture;
        ASSERT_EQ(picture.CreateFromImage(nullptr, sheetFile.c_str(), 1), 1) << sheetFile;
        picture.Lock();
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 320; ++x)
                sheet.pixels[static_cast<size_t>(y * 320 + x)] = picture.GetPixel(x, y);
        picture.Unlock();
    }
    const std::string zoneDir = "Data/Levels/" + name;
    std::filesystem::create_directories(dir.file(zoneDir));
    std::string text = "<Zone>\nName=\"" + name + "\"\n" + header + "</Zone>\n";
    for (size_t n = 0; n < levels.size(); ++n) {
        std::string source = "map\n";
        for (const std::string& row : levels[n].rows)
            source += row + "\n";
        LevelSource level;
        std::string error;
        ASSERT_TRUE(parseLevelSource(source, level, error)) << error;
        FmpMap map;
        ASSERT_TRUE(compileLevel(level, sheet, 16, map, error)) << error;
        const std::string file = "level" + std::to_string(n + 1);
        ASSERT_TRUE(writeFmpFile(map, dir.file(zoneDir + "/" + file + ".fmp")));
        text += "<Level>\nFilename=" + file + "\n" + levels[n].settings + "</Level>\n";
    }
    dir.write(zoneDir + "/level.txt", text);
}
