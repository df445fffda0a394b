// Time stamps and durations in 100-nanosecond ticks; stamps count from
// 1 January 1601, 00:00, local time.
#pragma once

#include <cstdint>

enum class TimeStatus : int32_t { Valid = 0, Invalid = 1, Null = 2 };

class TimeSpan {
public:
    static constexpr int64_t kTicksPerSecond = 10'000'000;

    TimeSpan() = default;
    explicit TimeSpan(int64_t ticks, TimeStatus status = TimeStatus::Valid)
        : status_(status), ticks_(ticks) {}
    static TimeSpan fromParts(int64_t days, int64_t hours, int64_t minutes, int64_t seconds,
                              int64_t milliseconds = 0, int64_t microseconds = 0,
                              int64_t nanoseconds = 0);

    TimeStatus status() const { return status_; }
    int64_t ticks() const { return ticks_; }
    // Adds the ticks, stopping at the largest or smallest span there is.
    TimeSpan& operator+=(const TimeSpan& other);
    TimeSpan operator-(const TimeSpan& other) const;
    bool operator>(const TimeSpan& other) const { return ticks_ > other.ticks_; }

    int64_t getTotalDays() const { return ticks_ / kTicksPerSecond / 86400; }
    int64_t getHours() const { return (ticks_ / kTicksPerSecond % 86400) / 3600; }
    int64_t getMinutes() const { return (ticks_ / kTicksPerSecond % 3600) / 60; }
    int64_t getSeconds() const { return ticks_ / kTicksPerSecond % 60; }

    // Time on a clock that never jumps (a clock change or a daylight-saving
    // switch leaves it alone): play time is measured with it.
    static TimeSpan monotonicNow();

private:
    TimeStatus status_ = TimeStatus::Valid;
    int64_t ticks_ = 0;
};

struct CalendarFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int millisecond = 0, microsecond = 0, hundredNanoseconds = 0;
    int dayOfYear = 0, dayOfWeek = 0;
};

class DateTime {
public:
    DateTime() = default;
    explicit DateTime(int64_t ticks, TimeStatus status = TimeStatus::Valid)
        : status_(status), ticks_(ticks) {}
    static DateTime fromCalendar(int year, int month, int day, int hour = 0, int minute = 0,
                                 int second = 0, int millisecond = 0, int microsecond = 0,
                                 int nanosecond = 0);
    static DateTime null() { return DateTime(0, TimeStatus::Null); }
    static DateTime now();

    TimeStatus status() const { return status_; }
    int64_t ticks() const { return ticks_; }
    bool calendar(CalendarFields& out) const;
    int getYear() const;
    int getMonth() const;
    int getDay() const;
    int getHour() const;
    int getMinute() const;

    TimeSpan operator-(const DateTime& other) const;
    DateTime operator+(const TimeSpan& span) const;

private:
    TimeStatus status_ = TimeStatus::Valid;
    int64_t ticks_ = 0;
};
