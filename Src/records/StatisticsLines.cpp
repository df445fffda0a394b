#include "Src/records/StatisticsLines.h"

#include "Src/records/Settings.h"

#include <cstdint>

namespace {

String formatted(const char* format, long value) {
    String line;
    line.format(format, value);
    return line;
}

// An average that truncates toward zero; the one quotient that overflows
// (the smallest value over -1, only from a damaged settings file) wraps
// as the game's 32-bit arithmetic would instead of trapping.
int32_t averagePoints(int32_t total, int32_t games) {
    if (games == 0)
        return 0;
    return static_cast<int32_t>(static_cast<int64_t>(total) / games);
}

int64_t averageTicks(int64_t total, int32_t games) {
    if (games == 0)
        return 0;
    if (games == -1)
        return static_cast<int64_t>(0 - static_cast<uint64_t>(total));
    return total / games;
}

} // namespace

String durationLine(const char* label, const TimeSpan& span) {
    String line;
    const long days = static_cast<long>(span.getTotalDays());
    if (days != 0)
        line.format("%s = %ld days and %02ld:%02ld:%02ld", label, days,
                    static_cast<long>(span.getHours()), static_cast<long>(span.getMinutes()),
                    static_cast<long>(span.getSeconds()));
    else
        line.format("%s = %02ld:%02ld:%02ld", label, static_cast<long>(span.getHours()),
                    static_cast<long>(span.getMinutes()), static_cast<long>(span.getSeconds()));
    return line;
}

std::vector<String> statisticsLines(const Statistics& stats) {
    std::vector<String> lines;
    lines.emplace_back(" ");
    lines.push_back(formatted("%ld games played", stats.gamesPlayed));
    lines.push_back(formatted("%ld levels done", stats.levelsDone));
    lines.push_back(formatted("%ld zones completed", stats.zonesCompleted));
    lines.push_back(formatted("total points = %ld", stats.totalPoints));
    lines.push_back(formatted("best high score = %ld", stats.bestScore));
    lines.push_back(formatted("average points per game = %ld",
                              averagePoints(stats.totalPoints, stats.gamesPlayed)));
    lines.emplace_back(" ");
    String firstStart;
    firstStart.format("first start = %02ld/%02ld/%04ld %02ld:%02ld",
                      static_cast<long>(stats.firstStart.getMonth()),
                      static_cast<long>(stats.firstStart.getDay()),
                      static_cast<long>(stats.firstStart.getYear()),
                      static_cast<long>(stats.firstStart.getHour()),
                      static_cast<long>(stats.firstStart.getMinute()));
    lines.push_back(firstStart);
    lines.push_back(durationLine("total snake runtime", stats.totalRunTime));
    lines.push_back(durationLine("max. game time", stats.maxGameTime));
    lines.push_back(
        durationLine("average game time",
                     TimeSpan(averageTicks(stats.totalRunTime.ticks(), stats.gamesPlayed))));
    lines.emplace_back(" ");
    return lines;
}
