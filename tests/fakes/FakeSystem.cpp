#include "tests/fakes/FakeSystem.h"

#include <cctype>
#include <cstdio>

#include "platform/Text.h"

platform::SystemMessages::Module FakeMessages::LoadLibraryAsDataFile(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (name != "netmsg.dll") return 0;
    ++loads;
    return netmsgLoads ? kNetmsgModule : 0;
}

void FakeMessages::FreeLibrary(Module module) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (module == kNetmsgModule) ++frees;
}

platform::FormattedText FakeMessages::FormatText(std::uint32_t flags, Module module,
                                                std::uint32_t messageId,
                                                std::uint32_t languageId) {
    std::lock_guard<std::mutex> lock(mutex_);
    formatCalls.push_back({flags, module, messageId, languageId});
    if (auto failure = failNextLookup.find(messageId); failure != failNextLookup.end()) {
        const std::uint32_t error = failure->second;
        failNextLookup.erase(failure);
        return {std::nullopt, error};
    }
    if ((flags & 0x0800) != 0 && module == kNetmsgModule) {
        auto it = netmsgTable.find(messageId);
        if (it != netmsgTable.end()) return {it->second, 0};
    }
    if ((flags & 0x1000) != 0) {
        auto it = systemTable.find(messageId);
        if (it != systemTable.end()) return {it->second, 0};
    }
    return {std::nullopt, platform::kErrorMessageNotFound};
}

std::optional<platform::FixedFileVersion> FakeVersion::FileVersion(const std::string& path) {
    auto it = versions.find(path);
    if (it == versions.end()) return std::nullopt;
    return it->second;
}

platform::FileRead FakeFiles::ReadFile(const std::string& path) {
    platform::FileRead r;
    if (auto e = readErrors.find(path); e != readErrors.end()) {
        r.error = e->second;
        return r;
    }
    auto it = files.find(path);
    if (it == files.end()) {
        r.error = 2;
        return r;
    }
    r.bytes = it->second;
    return r;
}

std::uint32_t FakeFiles::ReplaceWhole(const std::string& path, const std::string& bytes) {
    ++replaceCalls;
    if (auto e = writeErrors.find(path); e != writeErrors.end()) return e->second;
    files[path] = bytes;
    return 0;
}

std::optional<std::string> FakeLocale::Utf8ToAnsi(std::string_view text) {
    std::string out;
    for (char16_t c : platform::Utf8ToUtf16(text)) {
        if (c > 0xFF) return std::nullopt;
        out += static_cast<char>(c);
    }
    return out;
}

std::string FakeLocale::AnsiToUtf8(std::string_view text) {
    std::u16string wide;
    for (char c : text) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    return platform::Utf16ToUtf8(wide);
}

bool FakeLocale::SameTextIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::optional<platform::CalendarTime> FakeLocale::UtcToLocal(const platform::CalendarTime& utc) {
    if (refuseTimeConversion) return std::nullopt;
    return platform::DecodeDateTime(platform::EncodeDateTime(utc) + kUtcOffsetMinutes / 1440.0);
}

std::string FakeLocale::ShortDateText(const platform::CalendarTime& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", date.day, date.month, date.year);
    return text;
}

std::string FakeLocale::LongTimeText(const platform::CalendarTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}
