#include "lib/DateTime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <tuple>
#include <vector>

TEST(DateTime, DifferencesAndSumsPropagateStatus) {
    const DateTime a = DateTime::fromCalendar(2026, 1, 2);
    const DateTime b = DateTime::fromCalendar(2026, 1, 1, 12);
    const TimeSpan d = a - b;
    EXPECT_EQ(d.status(), TimeStatus::Valid);
    EXPECT_EQ(d.ticks(), 12 * 3600 * TimeSpan::kTicksPerSecond);
    EXPECT_EQ((a - DateTime::null()).status(), TimeStatus::Null);
    EXPECT_EQ((a - DateTime::fromCalendar(1, 13, 1)).status(), TimeStatus::Invalid);
    EXPECT_EQ((b + d).ticks(), a.ticks());
    TimeSpan total(5);
    total += d;
    EXPECT_EQ(total.ticks(), d.ticks() + 5);
    EXPECT_EQ((TimeSpan(5) - TimeSpan(7)).ticks(), -2);
    total += TimeSpan(0, TimeStatus::Null);
    EXPECT_EQ(total.status(), TimeStatus::Null);
    EXPECT_EQ(DateTime::null().getYear(), -1);
}

TEST(TimeSpan, MonotonicClockNeverRunsBackwards) {
    const TimeSpan a = TimeSpan::monotonicNow();
    const TimeSpan b = TimeSpan::monotonicNow();
    EXPECT_GE((b - a).ticks(), 0);
    // The wall clock of the local time zone, to the millisecond.
    const time_t seconds = std::time(nullptr);
    tm local;
    ::localtime_r(&seconds, &local);
    const TimeSpan since =
        DateTime::now() - DateTime::fromCalendar(local.tm_year + 1900, local.tm_mon + 1,
                                                 local.tm_mday, local.tm_hour, local.tm_min,
                                                 local.tm_sec);
    EXPECT_GE(since.ticks(), 0);
    EXPECT_LT(since.ticks(), 2 * TimeSpan::kTicksPerSecond);
}

TEST(DateTime, EveryTickCountHasCalendarFields) {
    // Stored stamps come from files and may hold anything.
    struct {
        int64_t ticks;
        int year, month, day;
    } cases[] = {{INT64_MAX, 30828, 9, 14}, {INT64_MIN, -27627, 4, 19}, {-1, 1600, 12, 31}};
    for (const auto& c : cases) {
        CalendarFields f;
        ASSERT_TRUE(DateTime(c.ticks).calendar(f)) << c.ticks;
        EXPECT_EQ(f.year, c.year) << c.ticks;
        EXPECT_EQ(f.month, c.month) << c.ticks;
        EXPECT_EQ(f.day, c.day) << c.ticks;
    }
}

// The calendar against the standard library's own: every date of a wide
// sample, its day number since 1 January 1601, the fields read back, the
// day of the year and of the week.
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
        const std::vector<int> got = {f.year,        f.month,       f.day,
                                      f.hour,        f.minute,      f.second,
                                      f.millisecond, f.microsecond, f.hundredNanoseconds,
                                      f.dayOfYear,   f.dayOfWeek};
        const int sub =
            static_cast<int>((ticks % 10'000'000 + 10'000'000) % 10'000'000); // with carries
        const std::vector<int> want = {
            y,        m,         d,        hour, minute, second, sub / 10'000, sub / 10 % 1000,
            sub % 10, dayOfYear, dayOfWeek};
        ASSERT_EQ(got, want) << y << "-" << m << "-" << d;
        ++checked;
    };
    // Every day from 1596 to 2104: leap days, century years, 1600 and 2000.
    for (sys_days date = year{1596} / January / 1; date <= year{2104} / December / 31;
         date += days{1})
        check(date, checked % 24, checked % 60, checked / 60 % 60, 999, 998, 949);
    // Far years on both sides of 1601, in steps that land on every month and
    // weekday.
    for (sys_days date = year{1} / January / 1; date <= year{29000} / December / 31;
         date += days{7919})
        check(date, 13, 7, 1, 250, 7, 1249);
    check(year{29000} / December / 31, 0, 0, 0, 0, 0, 0);
    EXPECT_GT(checked, 186000);
}

TEST(DateTime, OutOfRangeFieldsAndCarriedParts) {
    // Years far before 1601 do not fit in 64-bit ticks: invalid, not wrapped.
    for (const auto& [y, m, valid] : std::vector<std::tuple<int, int, bool>>{{-27000, 1, true},
                                                                             {-29000, 1, false},
                                                                             {-29001, 1, false},
                                                                             {29000, 12, true},
                                                                             {29001, 1, false},
                                                                             {2020, 0, false},
                                                                             {2020, 13, false}}) {
        const DateTime t = DateTime::fromCalendar(y, m, 1);
        EXPECT_EQ(t.status(), valid ? TimeStatus::Valid : TimeStatus::Invalid) << y << " " << m;
        if (!valid) {
            EXPECT_EQ(t.ticks(), 0);
            EXPECT_EQ(t.getMonth(), -1);
            EXPECT_EQ(t.getDay(), -1);
            EXPECT_EQ(t.getHour(), -1);
            EXPECT_EQ(t.getMinute(), -1);
        }
    }
    // Parts carry into the next unit and keep the total; nanoseconds round
    // to the nearest 100.
    struct Parts {
        int64_t d, h, m, s, ms, us, ns;
        std::vector<int64_t> shown; // whole days, hours, minutes, seconds
    };
    for (const Parts& p : std::vector<Parts>{{0, 0, 0, 0, 0, 0, 999, {0, 0, 0, 0}},
                                             {0, 0, 0, 0, 0, 1999, 1049, {0, 0, 0, 0}},
                                             {0, 0, 61, 125, 2500, 0, 0, {0, 1, 3, 7}},
                                             {1, 49, 59, 59, 999, 999, 950, {3, 2, 0, 0}},
                                             {0, 23, 60, 0, 0, 0, 0, {1, 0, 0, 0}},
                                             {0, 0, 59, 59, 0, 0, 0, {0, 0, 59, 59}}}) {
        const int64_t ticks = ((p.d * 86400 + p.h * 3600 + p.m * 60 + p.s) * 10'000'000) +
                              p.ms * 10'000 + p.us * 10 + (p.ns + 50) / 100;
        const TimeSpan span = TimeSpan::fromParts(p.d, p.h, p.m, p.s, p.ms, p.us, p.ns);
        EXPECT_EQ(span.ticks(), ticks);
        EXPECT_EQ(span.status(), TimeStatus::Valid);
        EXPECT_EQ((std::vector<int64_t>{span.getTotalDays(), span.getHours(), span.getMinutes(),
                                        span.getSeconds()}),
                  p.shown);
        EXPECT_EQ(DateTime::fromCalendar(1601, 1, 1 + static_cast<int>(p.d), static_cast<int>(p.h),
                                         static_cast<int>(p.m), static_cast<int>(p.s),
                                         static_cast<int>(p.ms), static_cast<int>(p.us),
                                         static_cast<int>(p.ns))
                      .ticks(),
                  ticks);
    }
}
