#pragma once
// The program's date-time value: days since 30 December 1899, 00:00, as a
// double whose fraction is the time of day (0 stands for no date at all), and
// its calendar parts, as the system's SYSTEMTIME holds them.
#include <cstdint>

namespace platform {

struct CalendarTime {
    int year = 0;
    int month = 0;  // 1 .. 12
    int day = 0;    // 1 .. 31
    int dayOfWeek = 0;  // 0 = Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;

    friend bool operator==(const CalendarTime&, const CalendarTime&) = default;
};

// The parts of a date-time, rounded to the millisecond.
CalendarTime DecodeDateTime(double value);
// The date-time of calendar parts (the day of the week is not read).
double EncodeDateTime(const CalendarTime& time);

// The date-time of a count of seconds since 1 January 1970, 00:00 (the time
// zone stays as it is).
double DateTimeOfUnixSeconds(std::int32_t seconds);

}  // namespace platform
