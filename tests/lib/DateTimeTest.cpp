#include "DateTime.h"

#include <gtest/gtest.h>

TEST(DateTime, EpochAndDayTicks) {
    EXPECT_EQ(DateTime::fromCalendar(1601, 1, 1).ticks(), 0);
    EXPECT_EQ(DateTime::fromCalendar(1601, 1, 2).ticks(), 864'000'000'000LL);
    const DateTime t = DateTime::fromCalendar(2000, 2, 29, 13, 45, 30, 250, 7, 1249);
    EXPECT_EQ(t.status(), TimeStatus::Valid);
    CalendarFields f;
    ASSERT_TRUE(t.calendar(f));
    EXPECT_EQ(f.year, 2000);
    EXPECT_EQ(f.month, 2);
    EXPECT_EQ(f.day, 29);
    EXPECT_EQ(f.hour, 13);
    EXPECT_EQ(f.minute, 45);
    EXPECT_EQ(f.second, 30);
    EXPECT_EQ(f.millisecond, 250);
    EXPECT_EQ(f.microsecond, 8); // 7 us + 1249 ns rounded to 12 units of 100 ns
    EXPECT_EQ(f.hundredNanoseconds, 2);
    EXPECT_EQ(f.dayOfYear, 60);
}

TEST(DateTime, CalendarRoundTripsOverCenturiesAndLeapDays) {
    const int dates[][3] = {{1601, 1, 1},  {1700, 3, 1},  {1900, 2, 28}, {2000, 12, 31},
                            {2024, 2, 29}, {2026, 12, 6}, {2100, 3, 1},  {1999, 1, 31}};
    for (const auto& d : dates) {
        const DateTime t = DateTime::fromCalendar(d[0], d[1], d[2], 23, 59, 59);
        EXPECT_EQ(t.getYear(), d[0]);
        EXPECT_EQ(t.getMonth(), d[1]);
        EXPECT_EQ(t.getDay(), d[2]);
        EXPECT_EQ(t.getHour(), 23);
        EXPECT_EQ(t.getMinute(), 59);
    }
    CalendarFields f;
    DateTime::fromCalendar(2026, 12, 6).calendar(f);
    EXPECT_EQ(f.dayOfWeek, 1); // a Sunday
}

TEST(DateTime, CarriesAndInvalidFields) {
    EXPECT_EQ(DateTime::fromCalendar(2020, 1, 1, 24).getDay(), 2);
    EXPECT_EQ(DateTime::fromCalendar(2020, 1, 31, 0, 0, 86400).getMonth(), 2);
    const DateTime bad = DateTime::fromCalendar(2020, 13, 1);
    EXPECT_EQ(bad.status(), TimeStatus::Invalid);
    EXPECT_EQ(bad.getYear(), -1);
    EXPECT_EQ(DateTime::fromCalendar(29001, 1, 1).status(), TimeStatus::Invalid);
    EXPECT_EQ(DateTime::null().getYear(), -1);
}

TEST(DateTime, DifferencesAndSumsPropagateStatus) {
    const DateTime a = DateTime::fromCalendar(2026, 1, 2);
    const DateTime b = DateTime::fromCalendar(2026, 1, 1, 12);
    const TimeSpan d = a - b;
    EXPECT_EQ(d.status(), TimeStatus::Valid);
    EXPECT_EQ(d.getHours(), 12);
    EXPECT_EQ((a - DateTime::null()).status(), TimeStatus::Null);
    EXPECT_EQ((a - DateTime::fromCalendar(1, 13, 1)).status(), TimeStatus::Invalid);
    EXPECT_EQ((b + d).ticks(), a.ticks());

    TimeSpan total;
    total += d;
    total += d;
    EXPECT_EQ(total.getTotalDays(), 1);
    TimeSpan nulled;
    nulled += TimeSpan(0, TimeStatus::Null);
    EXPECT_EQ(nulled.status(), TimeStatus::Null);
}

TEST(TimeSpan, ComponentsCarry) {
    const TimeSpan s = TimeSpan::fromParts(1, 25, 0, 0);
    EXPECT_EQ(s.getTotalDays(), 2);
    EXPECT_EQ(s.getHours(), 1);
    const TimeSpan m = TimeSpan::fromParts(0, 0, 61, 125, 1500);
    EXPECT_EQ(m.getHours(), 1);
    EXPECT_EQ(m.getMinutes(), 3);
    EXPECT_EQ(m.getSeconds(), 6);
    EXPECT_EQ(TimeSpan::fromParts(0, 0, 0, 0, 0, 0, 149).ticks(), 1);
}

TEST(TimeSpan, MonotonicClockNeverRunsBackwards) {
    const TimeSpan a = TimeSpan::monotonicNow();
    const TimeSpan b = TimeSpan::monotonicNow();
    EXPECT_GE((b - a).ticks(), 0);
    EXPECT_GT(DateTime::now().getYear(), 2000);
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
