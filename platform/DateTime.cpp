#include "platform/DateTime.h"

#include <cmath>

namespace platform {

namespace {

constexpr long long kMsPerDay = 86'400'000;
// 1 January 1970 as a date-time.
constexpr double kUnixEpoch = 25569.0;

// Days from 1 March of year 0 of the proleptic Gregorian calendar to the
// date, and back; counting from March puts the leap day at the end of the
// year.
constexpr long long DaysFromCivil(long long y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

constexpr long long kDay0 = DaysFromCivil(1899, 12, 30);

}  // namespace

CalendarTime DecodeDateTime(double value) {
    const long long total = std::llround(value * static_cast<double>(kMsPerDay));
    long long days = total / kMsPerDay;
    long long ms = total % kMsPerDay;
    if (ms < 0) {
        ms += kMsPerDay;
        --days;
    }
    CalendarTime t;
    CivilFromDays(kDay0 + days, t.year, t.month, t.day);
    // 30 December 1899 was a Saturday.
    t.dayOfWeek = static_cast<int>(((days + 6) % 7 + 7) % 7);
    t.hour = static_cast<int>(ms / 3'600'000);
    t.minute = static_cast<int>(ms / 60'000 % 60);
    t.second = static_cast<int>(ms / 1000 % 60);
    t.milliseconds = static_cast<int>(ms % 1000);
    return t;
}

double EncodeDateTime(const CalendarTime& t) {
    const long long days = DaysFromCivil(t.year, t.month, t.day) - kDay0;
    const long long ms =
        ((t.hour * 60LL + t.minute) * 60 + t.second) * 1000 + t.milliseconds;
    return static_cast<double>(days) + static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

double DateTimeOfUnixSeconds(std::int32_t seconds) { return kUnixEpoch + seconds / 86400.0; }

}  // namespace platform
