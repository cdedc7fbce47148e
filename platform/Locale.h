#pragma once
// The user's locale: the system's ANSI code page and text comparison.
#include <optional>
#include <string>
#include <string_view>

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
};

}  // namespace platform
