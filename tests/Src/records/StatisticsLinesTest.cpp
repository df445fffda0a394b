#include "Src/records/StatisticsLines.h"

#include "Src/records/Settings.h"
#include "tests/support/Golden.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TimeSpan span(int64_t days, int64_t hours, int64_t minutes, int64_t seconds) {
    return TimeSpan::fromParts(days, hours, minutes, seconds);
}

} // namespace

// Parts of a second are dropped and averages truncate toward zero; values
// only a damaged file holds give no trap.
TEST(StatisticsLines, PagesAndDurations) {
    const struct {
        int32_t games, points, best;
        TimeSpan run;
        DateTime first;
    } records[] = {
        {7, 100, 42, span(1, 2, 3, 4), DateTime::fromCalendar(2003, 3, 5, 4, 7, 59)},
        {0, 9, 0, span(0, 0, 0, 3 * 86400), DateTime(0, TimeStatus::Invalid)},
        {7, 100, 0, span(0, 0, 0, 7 * 3600 + 6), DateTime::fromCalendar(2003, 3, 5, 4, 7, 59)},
        {3, -10, 0, span(0, 0, 0, 0), DateTime::fromCalendar(2003, 3, 5, 4, 7, 59)},
        {2, 1, 0, span(0, 0, 0, 2 * 86400), DateTime::fromCalendar(2003, 3, 5, 4, 7, 59)},
        {1, INT_MAX, 0, span(0, 0, 0, 59), DateTime::fromCalendar(2003, 3, 5, 4, 7, 59)},
        {-1, INT_MIN, 0, span(0, 0, 0, 60), DateTime::fromCalendar(2003, 3, 5, 4, 7, 59)},
        {-1, 0, 0, TimeSpan(INT64_MIN), DateTime::fromCalendar(2003, 3, 5, 4, 7, 59)},
    };
    std::string transcript;
    for (const auto& r : records) {
        Statistics stats;
        stats.gamesPlayed = r.games;
        stats.levelsDone = 12;
        stats.zonesCompleted = 1;
        stats.totalPoints = r.points;
        stats.bestScore = r.best;
        stats.firstStart = r.first;
        stats.totalRunTime = r.run;
        stats.maxGameTime = span(0, 0, 59, 59);
        for (const String& line : statisticsLines(stats))
            transcript += std::string(line.c_str()) + "\n";
        transcript += "--\n";
    }
    for (const TimeSpan& t : {span(0, 0, 0, 0), span(0, 0, 59, 59), span(0, 23, 59, 59),
                              span(1, 0, 0, 0), span(1, 2, 3, 4), span(400, 10, 0, 9),
                              TimeSpan(59 * TimeSpan::kTicksPerSecond + 9'999'999),
                              TimeSpan(86400 * TimeSpan::kTicksPerSecond - 1)})
        transcript += std::string(durationLine("t", t).c_str()) + "\n";
    checkGoldenText(std::string(LURVANE_TEST_GOLDEN_DIR) + "/statistics_lines.txt", transcript);
}
