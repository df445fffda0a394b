#include "lib/Log.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

TEST(Log, LinesAppendAndNothingIsWrittenBeforeOpen) {
    TempDir dir;
    Log log;
    log.print("lost %d\n", 1);
    log.open(dir.file("log.txt").c_str());
    log.print("first %s\n", "line");
    log.write("100% literal\n");
    EXPECT_EQ(dir.read("log.txt"), "first line\n100% literal\n");
    log.close();
    log.print("ignored\n");
    EXPECT_EQ(dir.read("log.txt"), "first line\n100% literal\n");
}

TEST(Log, ErrorReportsAreTwoWritesWithABlankLinePair) {
    TempDir dir;
    errorLog.open(dir.file("errorLog.txt").c_str());
    reportError("Highscore", 12, "could not read HighScoreList : noOfEntries=%ld\n", 3L);
    reportError("MenuBox", 7, "MenuBox Error : No Screen\n");
    errorLog.close();
    EXPECT_EQ(dir.read("errorLog.txt"), "\n\nError in File Highscore, line 12\n"
                                        "could not read HighScoreList : noOfEntries=3\n"
                                        "\n\nError in File MenuBox, line 7\n"
                                        "MenuBox Error : No Screen\n");
}
