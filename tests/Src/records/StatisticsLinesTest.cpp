#include "Src/records/StatisticsLines.h"

#include "Src/records/Settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

std::vector<std::string> lines(const Statistics& stats) {
    std::vector<std::string> out;
    for (const String& line : statisticsLines(stats))
        out.push_back(line.c_str());
    return out;
}

TimeSpan span(int64_t days, int64_t hours, int64_t minutes, int64_t seconds) {
    return TimeSpan::fromParts(days, hours, minutes, seconds);
}

} // namespace

TEST(StatisticsLines, AllLinesInTheirOrder) {
    Statistics stats;
    stats.gamesPlayed = 7;
    stats.levelsDone = 12;
    stats.zonesCompleted = 1;
    stats.totalPoints = 100;
    stats.bestScore = 42;
    stats.firstStart = DateTime::fromCalendar(2003, 3, 5, 4, 7, 59);
    stats.totalRunTime = span(1, 2, 3, 4);
    stats.maxGameTime = span(0, 0, 59, 59);
    const std::vector<std::string> expected = {
        " ",
        "7 games played",
        "12 levels done",
        "1 zones completed",
        "total points = 100",
        "best high score = 42",
        "average points per game = 14",
        " ",
        "first start = 03/05/2003 04:07",
        "total snake runtime = 1 days and 02:03:04",
        "max. game time = 00:59:59",
        // 93784 seconds / 7 = 13397.7 seconds: 3:43:17
        "average game time = 03:43:17",
        " ",
    };
    EXPECT_EQ(lines(stats), expected);
    stats.firstStart = DateTime(0, TimeStatus::Invalid);
    EXPECT_EQ(lines(stats)[8], "first start = -1/-1/-001 -1:-1");
}

TEST(StatisticsLines, DurationForms) {
    const struct {
        TimeSpan span;
        const char* line;
    } cases[] = {
        {span(0, 0, 0, 0), "t = 00:00:00"},
        {span(0, 0, 59, 59), "t = 00:59:59"},
        {span(0, 23, 59, 59), "t = 23:59:59"},
        {span(1, 0, 0, 0), "t = 1 days and 00:00:00"},
        {span(1, 2, 3, 4), "t = 1 days and 02:03:04"},
        {span(400, 10, 0, 9), "t = 400 days and 10:00:09"},
        // Parts of a second are dropped, never rounded up.
        {TimeSpan(59 * TimeSpan::kTicksPerSecond + 9'999'999), "t = 00:00:59"},
        {TimeSpan(86400 * TimeSpan::kTicksPerSecond - 1), "t = 23:59:59"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(durationLine("t", c.span).c_str(), c.line) << c.line;
}

TEST(StatisticsLines, AveragesTruncateTowardZero) {
    const struct {
        int32_t games, points;
        int64_t runSeconds;
        const char* points_line;
        const char* time_line;
    } cases[] = {
        // Nothing played yet, also with a run time (a damaged file): no average.
        {0, 0, 0, "average points per game = 0", "average game time = 00:00:00"},
        {0, 9, 3 * 86400, "average points per game = 0", "average game time = 00:00:00"},
        {7, 100, 7 * 3600 + 6, "average points per game = 14", "average game time = 01:00:00"},
        {3, -10, 0, "average points per game = -3", "average game time = 00:00:00"},
        {2, 1, 2 * 86400, "average points per game = 0", "average game time = 1 days and 00:00:00"},
        {1, INT_MAX, 59, "average points per game = 2147483647", "average game time = 00:00:59"},
        // Values only a damaged settings file holds: no trap, no garbage.
        {-1, INT_MIN, 60, "average points per game = -2147483648", "average game time = 00:-1:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.games);
        Statistics stats;
        stats.gamesPlayed = c.games;
        stats.totalPoints = c.points;
        stats.totalRunTime = TimeSpan(c.runSeconds * TimeSpan::kTicksPerSecond);
        const std::vector<std::string> got = lines(stats);
        EXPECT_EQ(got[6], c.points_line);
        EXPECT_EQ(got[11], c.time_line);
    }
    Statistics stats;
    stats.gamesPlayed = -1;
    stats.totalRunTime = TimeSpan(INT64_MIN);
    EXPECT_EQ(lines(stats).size(), 13u) << "the one overflowing quotient wraps";
}
