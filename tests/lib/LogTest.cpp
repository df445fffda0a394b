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
