#pragma once
// In-memory stand-ins for the message tables, the version resource, the file
// system and the locale.
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/Shell.h"
#include "platform/SystemMessages.h"
#include "platform/VersionResource.h"

// Safe to use from several threads, as the real one is.
class FakeMessages : public platform::SystemMessages {
public:
    ~FakeMessages() override {
        FreeKeptDataFiles();
        if (onDestroy) onDestroy(*this);
    }
    // Sees the counts once the kept library has been freed.
    std::function<void(const FakeMessages&)> onDestroy;

    // The system's table and netmsg.dll's table; netmsg.dll loads when
    // netmsgLoads is true.
    std::map<std::uint32_t, std::string> systemTable{
        {0, "The operation completed successfully.\r\n"},
        {5, "Access is denied.\r\n"},
        {53, "The network path was not found.\r\n"},
        {234, "More data is available.\r\n"},
    };
    std::map<std::uint32_t, std::string> netmsgTable{
        {2102, "The workstation driver is not installed.\r\n"},
        {2221, "The user name could not be found.\r\n"},
    };
    bool netmsgLoads = true;
    // Message numbers whose next lookup fails with the error (once), as for
    // want of memory; any other number without text fails with 317.
    std::map<std::uint32_t, std::uint32_t> failNextLookup;
    std::uint32_t lastError = 0;

    struct FormatCall {
        std::uint32_t flags;
        Module module;
        std::uint32_t id;
        std::uint32_t language;
    };
    std::vector<FormatCall> formatCalls;
    int loads = 0;  // every try to load netmsg.dll, whether it loads or not
    int frees = 0;

    Module LoadLibraryAsDataFile(const std::string& name) override;
    void FreeLibrary(Module module) override;
    platform::FormattedText FormatText(std::uint32_t flags, Module module, std::uint32_t messageId,
                                       std::uint32_t languageId) override;
    std::uint32_t GetLastError() override { return lastError; }

    static constexpr Module kNetmsgModule = 0x4E45;

private:
    std::mutex mutex_;
};

class FakeVersion : public platform::VersionResource {
public:
    std::string modulePath = "C:\\Program Files\\NetworkView\\NetworkView.exe";
    std::map<std::string, platform::FixedFileVersion> versions;
    int moduleNameCalls = 0;

    std::string ModuleFileName() override {
        ++moduleNameCalls;
        return modulePath;
    }
    std::optional<platform::FixedFileVersion> FileVersion(const std::string& path) override;
};

class FakeFiles : public platform::FileSystem {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, std::uint32_t> readErrors;   // path -> error when read
    std::map<std::string, std::uint32_t> writeErrors;  // path -> error when replaced
    int replaceCalls = 0;

    bool FileExists(const std::string& path) override {
        return files.count(path) != 0 || readErrors.count(path) != 0;
    }
    platform::FileRead ReadFile(const std::string& path) override;
    std::uint32_t ReplaceWhole(const std::string& path, const std::string& bytes) override;
};

// ANSI here is Latin-1: a character fits when its code point is below 256.
// The time zone is one hour east of UTC all year (no daylight saving), the
// short date format "dd.MM.yyyy" and the long time format "HH:mm:ss".
class FakeLocale : public platform::Locale {
public:
    static constexpr int kUtcOffsetMinutes = 60;

    std::optional<std::string> Utf8ToAnsi(std::string_view text) override;
    std::string AnsiToUtf8(std::string_view text) override;
    bool SameTextIgnoreCase(std::string_view a, std::string_view b) override;
    std::optional<platform::CalendarTime> UtcToLocal(const platform::CalendarTime& utc) override;
    std::string ShortDateText(const platform::CalendarTime& date) override;
    std::string LongTimeText(const platform::CalendarTime& time) override;

    // The system refuses to convert times.
    bool refuseTimeConversion = false;
};

// The shell: records every target it is asked to open and answers as told.
class FakeShell : public platform::Shell {
public:
    std::vector<std::string> opened;
    bool openSucceeds = true;
    std::set<std::string> loadableLibraries;
    std::vector<std::string> probed;

    bool Open(const std::string& target) override {
        opened.push_back(target);
        return openSucceeds;
    }
    bool LibraryLoads(const std::string& name) override {
        probed.push_back(name);
        return loadableLibraries.count(name) != 0;
    }
};
