// The text conversions at the API boundary, the message tables, the version
// resource and the locale, with the real Windows API.
#include "platform/win32/Win32Platform.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/Text.h"

namespace platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be UTF-16");

namespace {

struct LocalFreeDeleter {
    void operator()(void* memory) const { ::LocalFree(memory); }
};
using LocalBuffer = std::unique_ptr<void, LocalFreeDeleter>;

std::string FromUtf16(const wchar_t* text, std::size_t length) {
    // Copied unit by unit rather than read through a char16_t pointer, since
    // the two character types may not alias each other; a short text through
    // the stack.
    char16_t units[128];
    if (length <= std::size(units)) {
        std::copy(text, text + length, units);
        return Utf16ToUtf8(std::u16string_view(units, length));
    }
    return Utf16ToUtf8(std::u16string(text, text + length));
}

std::wstring ToUtf16(std::string_view text) {
    const std::u16string utf16 = Utf8ToUtf16(text);
    return std::wstring(utf16.begin(), utf16.end());
}

}  // namespace

std::wstring Wide(const std::string& text) { return ToUtf16(text); }

std::string Narrow(const wchar_t* text) {
    if (text == nullptr) return {};
    return FromUtf16(text, std::wcslen(text));
}

std::string Narrow(const std::wstring& text) { return FromUtf16(text.data(), text.size()); }

// --- Message tables ---------------------------------------------------------

SystemMessages::Module SystemMessagesWin32::LoadLibraryAsDataFile(const std::string& name) {
    const HMODULE module = ::LoadLibraryExW(Wide(name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return reinterpret_cast<Module>(module);
}

void SystemMessagesWin32::FreeLibrary(Module module) {
    ::FreeLibrary(reinterpret_cast<HMODULE>(module));
}

FormattedText SystemMessagesWin32::FormatText(std::uint32_t flags, Module module,
                                              std::uint32_t messageId, std::uint32_t languageId) {
    // With FORMAT_MESSAGE_ALLOCATE_BUFFER the buffer argument receives the
    // address of a buffer that the system allocated with LocalAlloc.
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(flags | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                          reinterpret_cast<LPCVOID>(module), messageId,
                                          languageId, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    const DWORD error = length == 0 ? ::GetLastError() : 0;
    const LocalBuffer buffer(text);
    if (length == 0 || text == nullptr) return {std::nullopt, error};
    return {FromUtf16(text, length), 0};
}

std::uint32_t SystemMessagesWin32::GetLastError() { return ::GetLastError(); }

// --- Version resource -------------------------------------------------------

std::string VersionResourceWin32::ModuleFileName() {
    // GetModuleFileNameW truncates silently when the buffer is too small and
    // then returns the buffer's size; grow until the whole path fits. A path
    // is at most 32767 characters long.
    std::vector<wchar_t> path(MAX_PATH);
    while (true) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0) return {};
        if (length < size) return FromUtf16(path.data(), length);
        if (size > 32768) return {};
        path.resize(path.size() * 2);
    }
}

std::optional<FixedFileVersion> VersionResourceWin32::FileVersion(const std::string& path) {
    const std::wstring file = Wide(path);
    DWORD unused = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &unused);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return std::nullopt;

    void* block = nullptr;
    UINT blockSize = 0;
    if (!::VerQueryValueW(data.data(), L"\\", &block, &blockSize) || block == nullptr ||
        blockSize < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
    if (info->dwSignature != VS_FFI_SIGNATURE) return std::nullopt;
    return FixedFileVersion{info->dwFileVersionMS, info->dwFileVersionLS};
}

// --- Locale -----------------------------------------------------------------

std::optional<std::string> LocaleWin32::Utf8ToAnsi(std::string_view text) {
    const std::wstring wide = ToUtf16(text);
    if (wide.empty()) return std::string();
    const int wideLength = static_cast<int>(wide.size());

    // WC_NO_BEST_FIT_CHARS keeps the system from putting a look-alike in place
    // of a character the code page lacks (an "a" for an "ā"); such a character
    // then sets usedDefault. When the ANSI code page is UTF-8 the flag is
    // refused and the call fails, which reads as "does not fit" as well.
    BOOL usedDefault = FALSE;
    const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength,
                                           nullptr, 0, nullptr, &usedDefault);
    if (size == 0 || usedDefault) return std::nullopt;
    std::string ansi(static_cast<std::size_t>(size), '\0');
    if (::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, ansi.data(),
                              size, nullptr, &usedDefault) != size ||
        usedDefault)
        return std::nullopt;

    // Some code pages map more than one character to the same bytes; only a
    // text that reads back as itself fits.
    const int backSize = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    std::wstring back(static_cast<std::size_t>(backSize), L'\0');
    if (backSize == 0 ||
        ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, back.data(), backSize) != backSize ||
        back != wide)
        return std::nullopt;
    return ansi;
}

std::string LocaleWin32::AnsiToUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (size == 0) return {};
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size);
    return Narrow(wide);
}

bool LocaleWin32::SameTextIgnoreCase(std::string_view a, std::string_view b) {
    // Converted into buffers kept by the thread: a group's members are found
    // by comparing every account's group names.
    thread_local std::u16string wideA, wideB;
    wideA.clear();
    wideB.clear();
    AppendUtf16(wideA, a);
    AppendUtf16(wideB, b);
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                            reinterpret_cast<const wchar_t*>(wideA.data()),
                            static_cast<int>(wideA.size()),
                            reinterpret_cast<const wchar_t*>(wideB.data()),
                            static_cast<int>(wideB.size())) == CSTR_EQUAL;
}

namespace {

SYSTEMTIME ToSystemTime(const CalendarTime& t) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wDayOfWeek = static_cast<WORD>(t.dayOfWeek);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    st.wMilliseconds = static_cast<WORD>(t.milliseconds);
    return st;
}

// A text of GetDateFormatEx or GetTimeFormatEx: `format` gets the buffer and
// its size in characters and returns the characters written, terminator
// included, or 0; with no buffer it returns the size needed. "" when the
// system refuses.
template <typename Format>
std::string FormattedText(Format format) {
    // A date or a time fits a small buffer: one call then. Only a longer
    // text asks for its size first.
    wchar_t small[64];
    const int fitted = format(small, static_cast<int>(std::size(small)));
    if (fitted > 0) return FromUtf16(small, static_cast<std::size_t>(fitted - 1));
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
    const int size = format(nullptr, 0);
    if (size <= 0) return {};
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    const int written = format(text.data(), size);
    if (written <= 0) return {};
    text.resize(static_cast<std::size_t>(written - 1));
    return Narrow(text);
}

// The current time zone, asked for again once a second at most: the
// conversion without a zone asks the system for it at every call, which
// costs far more than the conversion itself (under Wine, a registry read),
// and an account list converts up to three dates per account.
class TCurrentZone {
public:
    std::optional<TIME_ZONE_INFORMATION> Get() {
        std::lock_guard<std::mutex> lock(mutex_);
        const ULONGLONG now = ::GetTickCount64();
        if (!zone_ || now - asked_ >= 1000) {
            TIME_ZONE_INFORMATION zone{};
            if (::GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) return std::nullopt;
            zone_ = zone;
            asked_ = now;
        }
        return zone_;
    }

private:
    std::mutex mutex_;
    std::optional<TIME_ZONE_INFORMATION> zone_;
    ULONGLONG asked_ = 0;
};

}  // namespace

std::optional<CalendarTime> LocaleWin32::UtcToLocal(const CalendarTime& utc) {
    static TCurrentZone current;
    const SYSTEMTIME in = ToSystemTime(utc);
    SYSTEMTIME out{};
    // The current zone, with the daylight saving rule it has for that date.
    const auto zone = current.Get();
    if (!zone || !::SystemTimeToTzSpecificLocalTime(&*zone, &in, &out)) return std::nullopt;
    return CalendarTime{out.wYear, out.wMonth,  out.wDay,    out.wDayOfWeek,
                        out.wHour, out.wMinute, out.wSecond, out.wMilliseconds};
}

std::string LocaleWin32::ShortDateText(const CalendarTime& date) {
    const SYSTEMTIME st = ToSystemTime(date);
    return FormattedText([&](wchar_t* buffer, int size) {
        return ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer,
                                 size, nullptr);
    });
}

std::string LocaleWin32::LongTimeText(const CalendarTime& time) {
    const SYSTEMTIME st = ToSystemTime(time);
    // Flags 0 and no format: the user's long time format.
    return FormattedText([&](wchar_t* buffer, int size) {
        return ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, buffer, size);
    });
}

}  // namespace platform::win32
