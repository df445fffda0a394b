#include "lib/DateTime.h"

#include <chrono>
#include <cstdint>
#include <ctime>
#include <sys/time.h>

namespace {

constexpr int64_t kTicksPerDay = 86400 * TimeSpan::kTicksPerSecond;
constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

bool isLeapYear(int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

TimeStatus combine(TimeStatus a, TimeStatus b) {
    if (a == TimeStatus::Null || b == TimeStatus::Null)
        return TimeStatus::Null;
    if (a == TimeStatus::Invalid || b == TimeStatus::Invalid)
        return TimeStatus::Invalid;
    return TimeStatus::Valid;
}

// Days, seconds and 100-ns units after carrying the small units upwards.
struct Carried {
    int64_t days, secondsOfDay, milliseconds, microseconds, units;
};

Carried carry(int64_t days, int64_t hours, int64_t minutes, int64_t seconds, int64_t ms, int64_t us,
              int64_t ns) {
    int64_t units = (ns + 50) / 100;
    us += units / 10;
    units %= 10;
    ms += us / 1000;
    us %= 1000;
    seconds += ms / 1000;
    ms %= 1000;
    minutes += seconds / 60;
    seconds %= 60;
    hours += minutes / 60;
    minutes %= 60;
    days += hours / 24;
    hours %= 24;
    return {days, hours * 3600 + minutes * 60 + seconds, ms, us, units};
}

int64_t toTicks(const Carried& c) {
    return (c.days * 86400 + c.secondsOfDay) * TimeSpan::kTicksPerSecond + c.milliseconds * 10000 +
           c.microseconds * 10 + c.units;
}

int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

} // namespace

TimeSpan TimeSpan::fromParts(int64_t days, int64_t hours, int64_t minutes, int64_t seconds,
                             int64_t milliseconds, int64_t microseconds, int64_t nanoseconds) {
    return TimeSpan(
        toTicks(carry(days, hours, minutes, seconds, milliseconds, microseconds, nanoseconds)));
}

TimeSpan& TimeSpan::operator+=(const TimeSpan& other) {
    status_ = combine(status_, other.status_);
    // A sum beyond the range stops at its end rather than wrapping round
    // to a span of the other sign.
    if (status_ == TimeStatus::Valid && __builtin_add_overflow(ticks_, other.ticks_, &ticks_))
        ticks_ = other.ticks_ > 0 ? INT64_MAX : INT64_MIN;
    return *this;
}

TimeSpan TimeSpan::operator-(const TimeSpan& other) const {
    const TimeStatus status = combine(status_, other.status_);
    return TimeSpan(status == TimeStatus::Valid ? ticks_ - other.ticks_ : 0, status);
}

TimeSpan TimeSpan::monotonicNow() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return TimeSpan(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count() / 100);
}

DateTime DateTime::fromCalendar(int year, int month, int day, int hour, int minute, int second,
                                int millisecond, int microsecond, int nanosecond) {
    if (year < -29000 || year > 29000 || month < 1 || month > 12)
        return DateTime(0, TimeStatus::Invalid);
    const Carried c = carry(0, hour, minute, second, millisecond, microsecond, nanosecond);
    const int64_t y = year;
    // Leap days rounded down, so that years before 1 count them as after.
    int64_t days = y * 365 + floorDiv(y, 4) - floorDiv(y, 100) + floorDiv(y, 400) +
                   kDaysBeforeMonth[month - 1] + day + c.days;
    if (isLeapYear(y) && month <= 2)
        --days;
    days -= 584754;
    // Years far before 1601 (about 27600 BC and earlier) do not fit in 64-bit
    // ticks: invalid rather than wrapped round.
    if (days <= INT64_MIN / kTicksPerDay || days >= INT64_MAX / kTicksPerDay)
        return DateTime(0, TimeStatus::Invalid);
    return DateTime(toTicks({days, c.secondsOfDay, c.milliseconds, c.microseconds, c.units}));
}

DateTime DateTime::now() {
    timeval tv;
    ::gettimeofday(&tv, nullptr);
    const time_t seconds = tv.tv_sec;
    tm local;
    ::localtime_r(&seconds, &local);
    return fromCalendar(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec, static_cast<int>(tv.tv_usec / 1000));
}

bool DateTime::calendar(CalendarFields& out) const {
    if (status_ != TimeStatus::Valid)
        return false;
    // Days rounded down and the ticks into the day, without a product that
    // could overflow at the ends of the range (a damaged file holds any value).
    int64_t days = ticks_ / kTicksPerDay;
    int64_t rest = ticks_ % kTicksPerDay;
    if (rest < 0) {
        rest += kTicksPerDay;
        --days;
    }
    out.hundredNanoseconds = static_cast<int>(rest % 10);
    out.microsecond = static_cast<int>(rest / 10 % 1000);
    out.millisecond = static_cast<int>(rest / 10000 % 1000);
    const int64_t secondOfDay = rest / TimeSpan::kTicksPerSecond;
    out.hour = static_cast<int>(secondOfDay / 3600);
    out.minute = static_cast<int>(secondOfDay / 60 % 60);
    out.second = static_cast<int>(secondOfDay % 60);
    // 1 January 1601 was a Monday; day of the week runs 1 (Sunday) to 7.
    out.dayOfWeek = static_cast<int>(((days + 1) % 7 + 7) % 7) + 1;

    // Day 0 is the first day of a 400-year cycle starting in 1601.
    const int64_t cycles400 = floorDiv(days, 146097);
    days -= cycles400 * 146097;
    int64_t cycles100 = days / 36524;
    if (cycles100 == 4)
        cycles100 = 3; // the last day of a leap 400th year
    days -= cycles100 * 36524;
    const int64_t cycles4 = days / 1461;
    days -= cycles4 * 1461;
    int64_t years = days / 365;
    if (years == 4)
        years = 3;
    days -= years * 365;
    const int64_t year = 1601 + cycles400 * 400 + cycles100 * 100 + cycles4 * 4 + years;
    out.year = static_cast<int>(year);
    out.dayOfYear = static_cast<int>(days) + 1;
    const bool leap = isLeapYear(year);
    int month = 12;
    while (month > 1) {
        const int start = kDaysBeforeMonth[month - 1] + (leap && month > 2 ? 1 : 0);
        if (days >= start)
            break;
        --month;
    }
    out.month = month;
    out.day =
        static_cast<int>(days) - kDaysBeforeMonth[month - 1] - (leap && month > 2 ? 1 : 0) + 1;
    return true;
}

int DateTime::getYear() const {
    CalendarFields f;
    return calendar(f) ? f.year : -1;
}
int DateTime::getMonth() const {
    CalendarFields f;
    return calendar(f) ? f.month : -1;
}
int DateTime::getDay() const {
    CalendarFields f;
    return calendar(f) ? f.day : -1;
}
int DateTime::getHour() const {
    CalendarFields f;
    return calendar(f) ? f.hour : -1;
}
int DateTime::getMinute() const {
    CalendarFields f;
    return calendar(f) ? f.minute : -1;
}

TimeSpan DateTime::operator-(const DateTime& other) const {
    const TimeStatus status = combine(status_, other.status_);
    return TimeSpan(status == TimeStatus::Valid ? ticks_ - other.ticks_ : 0, status);
}

DateTime DateTime::operator+(const TimeSpan& span) const {
    const TimeStatus status = combine(status_, span.status());
    return DateTime(status == TimeStatus::Valid ? ticks_ + span.ticks() : 0, status);
}
