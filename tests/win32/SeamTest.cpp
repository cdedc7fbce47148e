// The Win32 side of the seam against the real system: the network management
// interface, the message tables, the version resource, files and the locale.
// Where Wine answers differently from Windows the code follows Windows, and
// the case is skipped under Wine with the reason.
#include <gtest/gtest.h>

#include <windows.h>
#include <lm.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "netinfo/NetServer.h"
#include "netinfo/NetError.h"
#include "platform/win32/Win32Platform.h"

using platform::win32::Narrow;
using platform::win32::Wide;

namespace {

namespace fs = std::filesystem;

bool RunningUnderWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

struct NetBufferDeleter {
    void operator()(void* buffer) const { ::NetApiBufferFree(buffer); }
};
using NetBuffer = std::unique_ptr<void, NetBufferDeleter>;

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// "\\" and this computer's NetBIOS name, as the program names a machine.
std::string ThisMachine() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    ::GetComputerNameW(name, &size);
    return "\\\\" + Narrow(name);
}

// --- Text at the boundary ---------------------------------------------------

TEST(Win32Text, EveryUtf16SequenceSurvivesNarrowAndWide) {
    const std::vector<std::wstring> texts{
        {L'a', 0xD800, L'b'},             // high surrogate alone
        {0xDC00, L'x'},                   // low surrogate alone, at the start
        {L'x', 0xDBFF},                   // high surrogate at the end
        {0xDC00, 0xD800},                 // a pair in the wrong order
        L"\u6587\u4EF6\u5171\u4EAB",      // CJK
        L"\U0001F5A7 \U0001F600",         // emoji (surrogate pairs)
        std::wstring(L"a\0b", 3),         // an embedded zero
    };
    for (const std::wstring& text : texts) EXPECT_EQ(Wide(Narrow(text)), text);
}

TEST(Win32Text, NarrowGivesUtf8AndReadsAZeroTerminatedTextToItsEnd) {
    EXPECT_EQ(Narrow(L"\u6587"), "\xE6\x96\x87");
    EXPECT_EQ(Narrow(L"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Narrow(std::wstring{L'a', 0xD800}), "a\xED\xA0\x80");
    EXPECT_EQ(Wide("caf\xC3\xA9"), L"caf\u00E9");
    const wchar_t* nothing = nullptr;
    EXPECT_EQ(Narrow(nothing), "");
    EXPECT_EQ(Narrow(L"Server \u00C5"), "Server \xC3\x85");
}

TEST(Win32Text, LongTextsComeThroughWhole) {
    std::wstring text;
    const std::wstring pattern = L"\\\\host-\u00E9\u6587\U0001F600";
    while (text.size() < 100000) text += pattern;
    text.resize(100000);  // ends in the middle of a surrogate pair
    const std::string narrow = Narrow(text);
    EXPECT_EQ(Narrow(text.c_str()), narrow);
    EXPECT_EQ(Wide(narrow), text);
}

// --- Message tables and error text --------------------------------------------

TEST(SystemMessagesWin32, AccessDeniedCarriesTheSystemsTextWithItsLineBreak) {
    platform::win32::SystemMessagesWin32 messages;
    wchar_t* raw = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, ERROR_ACCESS_DENIED, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<LPWSTR>(&raw), 0, nullptr);
    ASSERT_GT(length, 0u);
    const std::string systemText = Narrow(std::wstring(raw, length));
    ::LocalFree(raw);

    const std::string message = NetErrorMessage(messages, ERROR_ACCESS_DENIED);
    EXPECT_EQ(message, "Error 5 : " + systemText);
    EXPECT_EQ(message.rfind("Error 5 : ", 0), 0u) << message;
    ASSERT_GT(message.size(), std::string("Error 5 : \r\n").size());
    EXPECT_EQ(message.substr(message.size() - 2), "\r\n");
}

TEST(SystemMessagesWin32, NetworkStatusWithoutNetmsgIsTheNumberAlone) {
    platform::win32::SystemMessagesWin32 messages;
    // A library that is there loads, so a missing netmsg.dll is not a loader
    // that never loads anything.
    const auto present = messages.LoadLibraryAsDataFile("netapi32.dll");
    ASSERT_NE(present, 0u);
    messages.FreeLibrary(present);

    // Wine has no netmsg.dll, and its system table has no text for the
    // network status 2102.
    const auto netmsg = messages.LoadLibraryAsDataFile("netmsg.dll");
    if (netmsg != 0) {
        messages.FreeLibrary(netmsg);
        GTEST_SKIP() << "netmsg.dll loads here, so 2102 has its text";
    }
    EXPECT_EQ(NetErrorMessage(messages, 2102), "Error 2102");
}

// The system says of a number it has no text for that it has none: the
// texts kept for the run rely on that answer.
TEST(SystemMessagesWin32, UnknownMessageIsNoTextWithTheTablesAnswerAndLastErrorIsTheThreads) {
    platform::win32::SystemMessagesWin32 messages;
    const auto unknown = messages.FormatText(kFormatFromSystem | kFormatIgnoreInserts, 0,
                                             0x2FFF1234, kLangNeutralSublangDefault);
    EXPECT_EQ(unknown.text, std::nullopt);
    EXPECT_EQ(unknown.error, platform::kErrorMessageNotFound);

    ::SetLastError(ERROR_BAD_NETPATH);
    const ENTException error = ENTException::CreateLastError(messages);
    EXPECT_EQ(error.ErrorCode, static_cast<std::uint32_t>(ERROR_BAD_NETPATH));
    EXPECT_EQ(error.Message(), NetErrorMessage(messages, ERROR_BAD_NETPATH));
}

// --- Version resource -------------------------------------------------------

TEST(VersionResourceWin32, ReadsTheTestProgramsOwnVersion) {
    platform::win32::VersionResourceWin32 version;
    platform::win32::FileSystemWin32 files;
    const std::string program = version.ModuleFileName();
    ASSERT_TRUE(files.FileExists(program)) << program;

    const auto fixed = version.FileVersion(program);
    ASSERT_TRUE(fixed.has_value());
    EXPECT_EQ(fixed->ms >> 16, 3u);
    EXPECT_EQ(fixed->ms & 0xFFFF, 14u);
    EXPECT_EQ(fixed->ls >> 16, 15u);
    EXPECT_EQ(fixed->ls & 0xFFFF, 926u);
}

// --- Files ------------------------------------------------------------------

// A fresh folder of its own for each test, removed with what is left in it.
class FileSystemWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  (L"nv-seam-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                   Wide(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        ASSERT_TRUE(fs::create_directories(folder_));
    }
    void TearDown() override {
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(folder_, ignored))
            ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(folder_, ignored);
    }

    std::string PathOf(const std::wstring& name) const {
        return Narrow((folder_ / name).wstring());
    }

    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().wstring());
        return names;
    }

    fs::path folder_;
    platform::win32::FileSystemWin32 files_;
};

TEST_F(FileSystemWin32Test, ReplaceCreatesAndReplacesByteExact) {
    const std::string path = PathOf(L"ips.txt");
    const std::string first("alpha\r\n\0beta\xFF\xFE\x80\x1A\r\n", 17);
    ASSERT_EQ(files_.ReplaceWhole(path, first), 0u);
    EXPECT_TRUE(files_.FileExists(path));
    auto read = files_.ReadFile(path);
    EXPECT_EQ(read.error, 0u);
    EXPECT_EQ(read.bytes, first);

    // Larger than one piece of reading and writing, and shorter again.
    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
    ASSERT_EQ(files_.ReplaceWhole(path, big), 0u);
    EXPECT_EQ(files_.ReadFile(path).bytes, big);
    ASSERT_EQ(files_.ReplaceWhole(path, "x"), 0u);
    EXPECT_EQ(files_.ReadFile(path).bytes, "x");
    ASSERT_EQ(files_.ReplaceWhole(path, ""), 0u);
    read = files_.ReadFile(path);
    EXPECT_EQ(read.error, 0u);
    EXPECT_EQ(read.bytes, "");

    EXPECT_EQ(Names(), std::vector<std::wstring>{L"ips.txt"});
}

TEST_F(FileSystemWin32Test, ReadOnlyFileIsNotReplacedAndNoTemporaryFileStays) {
    const std::string path = PathOf(L"ips.txt");
    ASSERT_EQ(files_.ReplaceWhole(path, "old\r\n"), 0u);
    ASSERT_TRUE(::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY));

    const std::uint32_t error = files_.ReplaceWhole(path, "new\r\n");
    if (error == 0 && RunningUnderWine())
        GTEST_SKIP() << "Wine's MoveFileExW replaces a read-only file; Windows refuses with "
                        "access denied";
    EXPECT_NE(error, 0u);
    EXPECT_EQ(files_.ReadFile(path).bytes, "old\r\n");
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"ips.txt"});
}

TEST_F(FileSystemWin32Test, FileHeldOpenWithoutSharingIsNotReplaced) {
    const std::string path = PathOf(L"ips.txt");
    ASSERT_EQ(files_.ReplaceWhole(path, "old\r\n"), 0u);
    const HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    UniqueHandle holder(handle);

    const std::uint32_t error = files_.ReplaceWhole(path, "new\r\n");
    if (error == 0 && RunningUnderWine())
        GTEST_SKIP() << "Wine renames over a file that another handle holds without sharing; "
                        "Windows refuses";
    EXPECT_NE(error, 0u);
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"ips.txt"});

    // The holder shares nothing, so the content is read once it lets go.
    holder.reset();
    EXPECT_EQ(files_.ReadFile(path).bytes, "old\r\n");
}

TEST_F(FileSystemWin32Test, MissingFolderOrFileFails) {
    const std::string inMissingFolder = PathOf(L"missing\\ips.txt");
    EXPECT_EQ(files_.ReplaceWhole(inMissingFolder, "x"),
              static_cast<std::uint32_t>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(Names().empty());

    const auto read = files_.ReadFile(PathOf(L"ips.txt"));
    EXPECT_EQ(read.error, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(read.bytes, "");
    EXPECT_FALSE(files_.FileExists(PathOf(L"ips.txt")));
    EXPECT_FALSE(files_.FileExists(Narrow(folder_.wstring())));  // a folder is no file
}

TEST_F(FileSystemWin32Test, NamesOutsideTheAnsiCodePageWork) {
    const std::wstring name = L"\u0444\u0430\u0439\u043B-\u6587\u4EF6-\U0001F600.txt";
    const std::string path = PathOf(name);
    ASSERT_EQ(files_.ReplaceWhole(path, "\xE6\x96\x87\r\n"), 0u);
    EXPECT_TRUE(files_.FileExists(path));
    EXPECT_EQ(files_.ReadFile(path).bytes, "\xE6\x96\x87\r\n");
    EXPECT_EQ(Names(), std::vector<std::wstring>{name});
}

TEST_F(FileSystemWin32Test, FileWithoutVersionResourceHasNoVersion) {
    platform::win32::VersionResourceWin32 version;
    const std::string path = PathOf(L"plain.exe");
    ASSERT_EQ(files_.ReplaceWhole(path, "MZ"), 0u);
    EXPECT_EQ(version.FileVersion(path), std::nullopt);
    EXPECT_EQ(version.FileVersion(PathOf(L"missing.exe")), std::nullopt);
}

// --- Locale -----------------------------------------------------------------

TEST(LocaleWin32, TextFitsTheAnsiCodePageOnlyWhenEveryCharacterDoes) {
    if (::GetACP() != 1252)
        GTEST_SKIP() << "the ANSI code page here is " << ::GetACP() << ", not 1252";
    platform::win32::LocaleWin32 locale;
    const auto cafe = locale.Utf8ToAnsi("caf\xC3\xA9");
    ASSERT_TRUE(cafe.has_value());
    EXPECT_EQ(*cafe, "caf\xE9");
    EXPECT_EQ(locale.AnsiToUtf8(*cafe), "caf\xC3\xA9");
    EXPECT_EQ(locale.AnsiToUtf8("\x80 \x9F"), "\xE2\x82\xAC \xC5\xB8");  // euro sign, Y diaeresis

    EXPECT_EQ(locale.Utf8ToAnsi("\xE6\x96\x87\xE4\xBB\xB6"), std::nullopt);    // CJK
    EXPECT_EQ(locale.Utf8ToAnsi("host-\xC4\x81"), std::nullopt);  // a macron: no "a" instead
    EXPECT_EQ(locale.Utf8ToAnsi("a\xED\xA0\x80"), std::nullopt);  // a lone surrogate
    EXPECT_EQ(locale.Utf8ToAnsi(""), std::optional<std::string>(""));
}

TEST(LocaleWin32, SameTextIgnoresCaseOnly) {
    platform::win32::LocaleWin32 locale;
    EXPECT_TRUE(locale.SameTextIgnoreCase("server1", "SERVER1"));
    EXPECT_TRUE(locale.SameTextIgnoreCase("\xC3\xA9" "cole", "\xC3\x89" "COLE"));
    EXPECT_FALSE(locale.SameTextIgnoreCase("a", "b"));
    EXPECT_FALSE(locale.SameTextIgnoreCase("server1", "server10"));
    EXPECT_TRUE(locale.SameTextIgnoreCase("", ""));
}

TEST(LocaleWin32, FormatsTheNeverDateOf1899AndTimesWithSeconds) {
    platform::win32::LocaleWin32 locale;
    // Date-time 0, which stands for "never", is 30 December 1899; the
    // system's date formatting takes it (it refuses years before 1601).
    const std::string never = locale.ShortDateText({1899, 12, 30, 6, 0, 0, 0, 0});
    EXPECT_NE(never.find("1899"), std::string::npos) << never;
    EXPECT_NE(never.find("30"), std::string::npos) << never;
    EXPECT_NE(never.find("12"), std::string::npos) << never;
    // The long time format carries the seconds.
    const std::string time = locale.LongTimeText({1970, 1, 2, 5, 13, 5, 9, 0});
    EXPECT_NE(time.find("05"), std::string::npos) << time;
    EXPECT_NE(time.find("09"), std::string::npos) << time;
}

TEST(LocaleWin32, ATimeLongerThanTheFirstBufferComesWhole) {
    // The user's long time format with a literal text that makes the time
    // longer than most: the text is asked for again with its size.
    wchar_t saved[100] = {};
    ASSERT_GT(GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STIMEFORMAT, saved, 100), 0);
    const std::string tail = " and with words enough to make this time longer than sixty-four";
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT,
                               L"HH:mm:ss' and with words enough to make this time longer than sixty-four'"));
    platform::win32::LocaleWin32 locale;
    const std::string morning = locale.LongTimeText({1970, 1, 2, 5, 7, 5, 9, 0});
    const std::string night = locale.LongTimeText({1970, 1, 2, 5, 23, 59, 58, 0});
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, saved);
    EXPECT_EQ(morning, "07:05:09" + tail);
    EXPECT_EQ(night, "23:59:58" + tail);
}

TEST(LocaleWin32, LocalTimeDiffersFromUtcByTheZonesWholeQuarterHours) {
    platform::win32::LocaleWin32 locale;
    const platform::CalendarTime utc{1970, 1, 2, 5, 0, 0, 0, 0};
    const auto local = locale.UtcToLocal(utc);
    ASSERT_TRUE(local.has_value());
    const double offsetMinutes =
        (platform::EncodeDateTime(*local) - platform::EncodeDateTime(utc)) * 1440.0;
    const long long rounded = std::llround(offsetMinutes);
    EXPECT_NEAR(offsetMinutes, static_cast<double>(rounded), 1e-6);
    EXPECT_EQ(rounded % 15, 0);
    EXPECT_LE(std::llabs(rounded), 14 * 60);
}

// --- Network management interface -------------------------------------------

TEST(NetApiWin32, LocalMachineAnswersWithTheSystemsStatus) {
    platform::win32::NetApiWin32 net;
    const auto groups = net.LocalGroupEnum0("");
    EXPECT_EQ(groups.status, 0u);

    // Wine's NetShareEnum answers 50 (not supported); Windows lists the
    // shares. Either way the seam passes on exactly what the system says.
    LPBYTE raw = nullptr;
    DWORD read = 0;
    DWORD total = 0;
    wchar_t local[] = L"";
    const NET_API_STATUS status =
        ::NetShareEnum(local, 2, &raw, MAX_PREFERRED_LENGTH, &read, &total, nullptr);
    const NetBuffer buffer(raw);
    const auto shares = net.ShareEnum2("");
    EXPECT_EQ(shares.status, status);
    if (status != NERR_Success) {
        EXPECT_TRUE(shares.entries.empty());
    } else {
        ASSERT_EQ(shares.entries.size(), read);
        const auto* records = reinterpret_cast<const SHARE_INFO_2*>(raw);
        for (DWORD i = 0; i < read; ++i) {
            EXPECT_EQ(shares.entries[i].netname, Narrow(records[i].shi2_netname));
            EXPECT_EQ(shares.entries[i].path, Narrow(records[i].shi2_path));
            EXPECT_EQ(shares.entries[i].type, records[i].shi2_type);
        }
    }
}

TEST(NetApiWin32, MachineThatDoesNotExistFailsWithNoEntries) {
    platform::win32::NetApiWin32 net;
    const std::string nowhere = "\\\\nosuchhost-nv";
    const auto users = net.UserEnum0(nowhere, 0);
    EXPECT_NE(users.status, 0u);
    EXPECT_TRUE(users.entries.empty());
    const auto shares = net.ShareEnum2(nowhere);
    EXPECT_NE(shares.status, 0u);
    EXPECT_TRUE(shares.entries.empty());
    const auto info = net.ServerGetInfo101(nowhere);
    EXPECT_NE(info.status, 0u);
    EXPECT_EQ(info.value, 0u);
}

TEST(NetApiWin32, AccountsOfThisMachineByNameAreTheSystemsNames) {
    platform::win32::NetApiWin32 net;
    const std::string self = ThisMachine();
    LPBYTE raw = nullptr;
    DWORD read = 0;
    DWORD total = 0;
    const NET_API_STATUS status = ::NetUserEnum(Wide(self).c_str(), 0, FILTER_NORMAL_ACCOUNT, &raw,
                                                MAX_PREFERRED_LENGTH, &read, &total, nullptr);
    const NetBuffer buffer(raw);
    ASSERT_EQ(status, static_cast<NET_API_STATUS>(NERR_Success));
    std::vector<std::string> expected;
    for (DWORD i = 0; i < read; ++i)
        expected.push_back(Narrow(reinterpret_cast<const USER_INFO_0*>(raw)[i].usri0_name));
    ASSERT_FALSE(expected.empty());

    const auto users = net.UserEnum0(self, FILTER_NORMAL_ACCOUNT);
    EXPECT_EQ(users.status, 0u);
    EXPECT_EQ(users.entries, expected);

    // Windows takes the empty server name for the local machine; Wine's
    // NetUserEnum takes only a null pointer for it and answers "" with 53.
    const auto local = net.UserEnum0("", FILTER_NORMAL_ACCOUNT);
    if (local.status == ERROR_BAD_NETPATH && RunningUnderWine())
        GTEST_SKIP() << "Wine's NetUserEnum does not take \"\" for the local machine";
    EXPECT_EQ(local.status, 0u);
    EXPECT_EQ(local.entries, expected);
}

TEST(NetServerWin32, LocalServerTypeIsTheSystemsAndNamesAnNtMachine) {
    platform::win32::NetApiWin32 net;
    platform::win32::SystemMessagesWin32 messages;
    LPBYTE raw = nullptr;
    wchar_t local[] = L"";
    const NET_API_STATUS status = ::NetServerGetInfo(local, 101, &raw);
    const NetBuffer buffer(raw);
    ASSERT_EQ(status, static_cast<NET_API_STATUS>(NERR_Success));
    const DWORD bits = reinterpret_cast<const SERVER_INFO_101*>(raw)->sv101_type;

    platform::win32::LocaleWin32 locale;
    TNetServer server(net, messages, locale);
    server.SetServerName("");
    const TServerAccountTypes types = server.ServerType();
    EXPECT_FALSE(types.Empty());
    EXPECT_TRUE(types.Contains(svTypeNT));  // Wine answers SV_TYPE_NT alone
    EXPECT_EQ(types, ServerTypesFromBits(bits));
}

TEST(NetServerWin32, DomainListingRaisesTheSystemsStatusOrListsItsNames) {
    platform::win32::NetApiWin32 net;
    platform::win32::SystemMessagesWin32 messages;
    LPBYTE raw = nullptr;
    DWORD read = 0;
    DWORD total = 0;
    const NET_API_STATUS status = ::NetServerEnum(L"", 100, &raw, MAX_PREFERRED_LENGTH, &read,
                                                  &total, SV_TYPE_DOMAIN_ENUM, nullptr, nullptr);
    const NetBuffer buffer(raw);

    platform::win32::LocaleWin32 locale;
    TNetServer server(net, messages, locale);
    TStringList list{"left over"};
    if (status != NERR_Success) {
        // Wine answers 6118: no browser lists the workgroups.
        try {
            server.GetServerList({svTypeDomainEnum}, "", list);
            FAIL() << "no exception for status " << status;
        } catch (const ENTException& e) {
            EXPECT_EQ(e.ErrorCode, status);
            EXPECT_EQ(e.Message(), NetErrorMessage(messages, status));
        }
        EXPECT_TRUE(list.empty());
    } else {
        std::vector<std::string> expected;
        for (DWORD i = 0; i < read; ++i)
            expected.push_back(Narrow(reinterpret_cast<const SERVER_INFO_100*>(raw)[i].sv100_name));
        server.GetServerList({svTypeDomainEnum}, "", list);
        EXPECT_EQ(list, expected);
    }
}

}  // namespace
