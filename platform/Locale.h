#pragma once
// The user's locale: the system's ANSI code page, text comparison, the time
// zone and the user's date and time formats.
#include <optional>
#include <string>
#include <string_view>

#include "platform/DateTime.h"

namespace platform {

class Locale {
public:
    virtual ~Locale() = default;
    // The UTF-8 text in the ANSI code page; nullopt when a character of it
    // has no exact counterpart there.
    virtual std::optional<std::string> Utf8ToAnsi(std::string_view text) = 0;
    virtual std::string AnsiToUtf8(std::string_view text) = 0;
    // Case-insensitive comparison in the user's locale.
    virtual bool SameTextIgnoreCase(std::string_view a, std::string_view b) = 0;

    // A calendar time in UTC as local time in the current time zone, with the
    // daylight saving rule of that date; nullopt when the system refuses it.
    virtual std::optional<CalendarTime> UtcToLocal(const CalendarTime& utc) = 0;
    // The date in the user's short date format, and the time of day in the
    // user's long time format.
    virtual std::string ShortDateText(const CalendarTime& date) = 0;
    virtual std::string LongTimeText(const CalendarTime& time) = 0;
};

}  // namespace platform
