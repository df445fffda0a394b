#include "lib/DateTime.h"

#include "tests/support/Golden.h"
#include "tests/support/LineTranscript.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

namespace {

std::string show(TimeStatus s) {
    return s == TimeStatus::Valid ? "valid" : s == TimeStatus::Null ? "null" : "invalid";
}

// The status, the ticks and the calendar fields of a stamp.
std::string show(const DateTime& t) {
    CalendarFields f;
    const bool fields = t.calendar(f);
    return joined(show(t.status()), t.ticks(), fields ? joined(f.year, f.month, f.day) : "none",
                  "getters", t.getYear(), t.getMonth(), t.getDay(), t.getHour(), t.getMinute());
}

std::string show(const TimeSpan& span) {
    return joined(show(span.status()), span.ticks(), "shown", span.getTotalDays(), span.getHours(),
                  span.getMinutes(), span.getSeconds());
}

} // namespace

// Stored stamps may hold anything: every tick count has fields; a sum is as bad as its parts.
TEST(DateTime, StampsAndSpansWithTheirFields) {
    LineTranscript t;
    const DateTime a = DateTime::fromCalendar(2026, 1, 2);
    const DateTime b = DateTime::fromCalendar(2026, 1, 1, 12);
    const TimeSpan d = a - b;
    t.note("2026-1-2 less 2026-1-1 12:00", show(d));
    t.note("less a null stamp", show(a - DateTime::null()));
    t.note("less an invalid stamp", show(a - DateTime::fromCalendar(1, 13, 1)));
    t.note("2026-1-1 12:00 and the difference", show(b + d));
    TimeSpan total(5);
    total += d;
    t.note("5 ticks and the difference", show(total));
    t.note("5 ticks less 7", show(TimeSpan(5) - TimeSpan(7)));
    total += TimeSpan(0, TimeStatus::Null);
    t.note("and a null span", show(total));
    TimeSpan high(INT64_MAX), low(INT64_MIN + 1);
    high += TimeSpan(1);
    low += TimeSpan(-5);
    t.note("past the largest and smallest", show(high), show(low));
    t.note("null stamp", show(DateTime::null()));
    for (int64_t ticks : {INT64_MAX, INT64_MIN, int64_t{-1}})
        t.note("ticks " + std::to_string(ticks), show(DateTime(ticks)));
    for (auto [y, m] : {std::pair{-27000, 1},
                        {-29000, 1},
                        {-29001, 1},
                        {29000, 12},
                        {29001, 1},
                        {2020, 0},
                        {2020, 13}})
        t.note("calendar " + std::to_string(y) + "-" + std::to_string(m) + "-1",
               show(DateTime::fromCalendar(y, m, 1)));
    // Parts carry and keep the total, nanoseconds round to 100, in stamps as in spans.
    for (const std::vector<int>& p : {std::vector{0, 0, 0, 0, 0, 0, 999},
                                      {0, 0, 0, 0, 0, 1999, 1049},
                                      {0, 0, 61, 125, 2500, 0, 0},
                                      {1, 49, 59, 59, 999, 999, 950},
                                      {0, 23, 60, 0, 0, 0, 0},
                                      {0, 0, 59, 59, 0, 0, 0}}) {
        const TimeSpan span = TimeSpan::fromParts(p[0], p[1], p[2], p[3], p[4], p[5], p[6]);
        const DateTime stamp =
            DateTime::fromCalendar(1601, 1, 1 + p[0], p[1], p[2], p[3], p[4], p[5], p[6]);
        t.note(joined("parts", p[0], p[1], p[2], p[3], p[4], p[5], p[6]), show(span),
               stamp.ticks() == span.ticks());
    }
    checkGoldenText(LURVANE_GOLDEN_DIR "/date-time.txt", t.text());
}

// The wall clock of the local time zone, to the millisecond.
TEST(DateTime, NowIsTheLocalTime) {
    const time_t seconds = std::time(nullptr);
    tm l;
    ::localtime_r(&seconds, &l);
    const int64_t since =
        (DateTime::now() - DateTime::fromCalendar(l.tm_year + 1900, l.tm_mon + 1, l.tm_mday,
                                                  l.tm_hour, l.tm_min, l.tm_sec))
            .ticks();
    EXPECT_TRUE(since >= 0 && since < 2 * TimeSpan::kTicksPerSecond) << since;
}

// Day numbers since 1601 and every field against the standard library's calendar.
TEST(DateTime, DayNumbersAndFieldsMatchTheGregorianCalendar) {
    using namespace std::chrono;
    const sys_days epoch = year{1601} / January / 1;
    int checked = 0;
    auto check = [&](sys_days date, int hour, int minute, int second, int ms, int us, int ns) {
        const year_month_day ymd(date);
        const int y = static_cast<int>(ymd.year());
        const int m = static_cast<int>(static_cast<unsigned>(ymd.month()));
        const int d = static_cast<int>(static_cast<unsigned>(ymd.day()));
        const int64_t days = (date - epoch).count();
        const DateTime t = DateTime::fromCalendar(y, m, d, hour, minute, second, ms, us, ns);
        const int64_t ticks = ((days * 86400 + hour * 3600 + minute * 60 + second) * 10'000'000) +
                              ms * 10'000 + us * 10 + (ns + 50) / 100;
        ASSERT_EQ(t.ticks(), ticks) << y << "-" << m << "-" << d;
        CalendarFields f;
        ASSERT_TRUE(t.calendar(f));
        const int dayOfYear = (date - sys_days(ymd.year() / January / 1)).count() + 1;
        const int dayOfWeek = static_cast<int>(weekday(date).c_encoding()) + 1; // Sunday 1
        const int sub =
            static_cast<int>((ticks % 10'000'000 + 10'000'000) % 10'000'000); // with carries
        ASSERT_EQ((std::array{f.year, f.month, f.day, f.hour, f.minute, f.second, f.millisecond,
                              f.microsecond, f.hundredNanoseconds, f.dayOfYear, f.dayOfWeek}),
                  (std::array{y, m, d, hour, minute, second, sub / 10'000, sub / 10 % 1000,
                              sub % 10, dayOfYear, dayOfWeek}));
        ++checked;
    };
    // Every day from 1596 to 2104: leap days, century years, 1600 and 2000.
    for (sys_days date = year{1596} / January / 1; date <= year{2104} / December / 31;
         date += days{1})
        check(date, checked % 24, checked % 60, checked / 60 % 60, 999, 998, 949);
    // Far years on both sides, in steps that land on every month and weekday.
    for (sys_days date = year{-27000} / January / 1; date <= year{29000} / December / 31;
         date += days{7919})
        check(date, 13, 7, 1, 250, 7, 1249);
    check(year{29000} / December / 31, 0, 0, 0, 0, 0, 0);
    EXPECT_GT(checked, 186000);
}
