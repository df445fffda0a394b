#include "lib/HostPath.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

TEST(HostPath, BackslashesBecomeSlashesAndLetterCaseIsForgiven) {
    TempDir dir;
    dir.write("Data/Gfx/Items.bmp", "x");
    ScopedWorkingDir cwd(dir.path());

    EXPECT_STREQ(hostPath(".\\Data\\Gfx\\Items.bmp").c_str(), "./Data/Gfx/Items.bmp");
    EXPECT_STREQ(hostPath(".\\data\\GFX\\items.BMP").c_str(), "./Data/Gfx/Items.bmp");
    EXPECT_STREQ(hostPath("Data\\Gfx\\..\\Gfx\\items.bmp").c_str(), "Data/Gfx/../Gfx/Items.bmp");
    EXPECT_EQ(readFile(hostPath("DATA\\gfx\\ITEMS.bmp").c_str()), "x");
    // A file about to be written keeps the part that was found and the rest as given.
    EXPECT_STREQ(hostPath(".\\data\\New.dat").c_str(), "./Data/New.dat");
    EXPECT_STREQ(hostPath("Missing\\x").c_str(), "Missing/x");
    EXPECT_STREQ(hostPath("").c_str(), "");
    const std::string absolute = dir.path() + "\\DATA\\gfx";
    EXPECT_EQ(std::string(hostPath(absolute.c_str()).c_str()), dir.path() + "/Data/Gfx");
}
