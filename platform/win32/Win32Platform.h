#pragma once
// The seam implemented with the real Windows API. This is the only code that
// includes lm.h for the network management interface. Every string crosses
// the boundary through the wide API; every buffer the system hands out is
// released before the call that asked for it returns.
#include <cstddef>
#include <optional>
#include <string>

#include "platform/Directory.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/NetApi.h"
#include "platform/Registry.h"
#include "platform/ServiceManager.h"
#include "platform/Shell.h"
#include "platform/SystemMessages.h"
#include "platform/VersionResource.h"

namespace platform::win32 {

// UTF-8 <-> UTF-16 at the API boundary (wchar_t is UTF-16 on Windows).
std::wstring Wide(const std::string& text);
std::string Narrow(const wchar_t* text);  // null reads as ""
std::string Narrow(const std::wstring& text);

class NetApiWin32 : public NetApi {
public:
    NetList<std::string> ServerEnum(const std::string& server, std::uint32_t serverType,
                                    const std::optional<std::string>& domain) override;
    NetRecord<std::uint32_t> ServerGetInfo101(const std::string& server) override;
    NetList<std::string> ServerDiskEnum(const std::string& server) override;
    NetList<std::string> UserEnum0(const std::string& server, std::uint32_t filter) override;
    NetList<UserInfo3> UserEnum3(const std::string& server, std::uint32_t filter) override;
    NetList<std::string> LocalGroupEnum0(const std::string& server) override;
    NetRecord<UserInfo20> UserGetInfo20(const std::string& server,
                                        const std::string& user) override;
    NetRecord<UserInfo3> UserGetInfo3(const std::string& server, const std::string& user) override;
    NetList<std::string> UserGetGroups0(const std::string& server,
                                        const std::string& user) override;
    NetList<std::string> UserGetLocalGroups0(const std::string& server,
                                             const std::string& user) override;
    NetList<ShareInfo2> ShareEnum2(const std::string& server) override;
    NetList<SessionInfo502> SessionEnum502(const std::string& server) override;
    NetList<FileInfo3> FileEnum3(const std::string& server) override;
    NetStatus ShareDel(const std::string& server, const std::string& netname) override;
    NetStatus SessionDel(const std::string& server, const std::string& username) override;
    NetStatus FileClose(const std::string& server, std::uint32_t fileId) override;
    NetStatus AddConnection(const std::string& remote, const std::string& user,
                            const Secret& password) override;
    NetStatus CancelConnection(const std::string& remote) override;
};

// A password in UTF-16 for one call of the system, in a buffer of its own
// that is wiped (SecureZeroMemory) when it goes: on the caller's stack, so
// that no heap block with the password is ever handed back.
class WidePassword {
public:
    static constexpr std::size_t kMaxChars = 256;  // as the system's logon dialog takes
    explicit WidePassword(const Secret& password);
    ~WidePassword();
    WidePassword(const WidePassword&) = delete;
    WidePassword& operator=(const WidePassword&) = delete;
    // False for a password longer than kMaxChars, which is not converted.
    bool Fits() const { return fits_; }
    const wchar_t* Get() const { return chars_; }

private:
    wchar_t chars_[kMaxChars + 1] = {};
    bool fits_ = true;
};
// The UTF-8 Secret of length UTF-16 units (at most WidePassword::kMaxChars;
// more give an empty one); the conversion's own buffer is wiped.
Secret SecretFromWide(const wchar_t* text, std::size_t length);

class SystemMessagesWin32 : public SystemMessages {
public:
    ~SystemMessagesWin32() override { FreeKeptDataFiles(); }
    Module LoadLibraryAsDataFile(const std::string& name) override;
    void FreeLibrary(Module module) override;
    FormattedText FormatText(std::uint32_t flags, Module module, std::uint32_t messageId,
                             std::uint32_t languageId) override;
    std::uint32_t GetLastError() override;
};

class VersionResourceWin32 : public VersionResource {
public:
    std::string ModuleFileName() override;
    std::optional<FixedFileVersion> FileVersion(const std::string& path) override;
};

class FileSystemWin32 : public FileSystem {
public:
    bool FileExists(const std::string& path) override;
    FileRead ReadFile(const std::string& path) override;
    std::uint32_t ReplaceWhole(const std::string& path, const std::string& bytes) override;
};

class LocaleWin32 : public Locale {
public:
    std::optional<std::string> Utf8ToAnsi(std::string_view text) override;
    std::string AnsiToUtf8(std::string_view text) override;
    bool SameTextIgnoreCase(std::string_view a, std::string_view b) override;
    std::optional<CalendarTime> UtcToLocal(const CalendarTime& utc) override;
    std::string ShortDateText(const CalendarTime& date) override;
    std::string LongTimeText(const CalendarTime& time) override;
};

class RegistryWin32 : public Registry {
public:
    std::uint32_t ConnectRegistry(const std::string& machine, RegKey root, RegKey& key) override;
    std::uint32_t OpenKey(RegKey parent, const std::string& path, std::uint32_t access,
                          RegKey& key) override;
    RegValue QueryValue(RegKey key, const std::string& name) override;
    void CloseKey(RegKey key) override;
};

class ServiceManagerWin32 : public ServiceManager {
public:
    ScHandle OpenManager(const std::optional<std::string>& machine,
                         const std::optional<std::string>& database,
                         std::uint32_t access) override;
    bool EnumServices(ScHandle manager, std::uint32_t serviceType, std::uint32_t serviceState,
                      std::uint32_t bufferSize, ServiceListPart& part) override;
    ScHandle OpenServiceByName(ScHandle manager, const std::string& serviceName,
                               std::uint32_t access) override;
    bool Start(ScHandle service) override;
    bool ControlService(ScHandle service, std::uint32_t control, ServiceStatus& status) override;
    bool CloseServiceHandle(ScHandle handle) override;
    std::uint32_t LastError() override;

private:
    // Keeps GetLastError of the call that just failed; returns false.
    bool Failed();
    std::uint32_t lastError_ = 0;
};

class ShellWin32 : public Shell {
public:
    bool Open(const std::string& target) override;
    bool LibraryLoads(const std::string& name) override;
};

class DirectoryWin32 : public Directory {
public:
    // Binds as the user's own logon.
    DirectoryWin32() = default;
    // Binds as the account given (negotiate, with its name and password).
    explicit DirectoryWin32(DirectoryCredentials credentials);

    DomainMembership ComputerDomain() override;
    NetStatus ListComputers(
        const std::string& controller,
        const std::function<void(std::vector<ComputerAccount>&&)>& onPage) override;

private:
    std::optional<DirectoryCredentials> credentials_;
};

// One of each, as the program uses them.
struct Win32Platform {
    NetApiWin32 net;
    SystemMessagesWin32 messages;
    VersionResourceWin32 version;
    FileSystemWin32 files;
    LocaleWin32 locale;
    RegistryWin32 registry;
    ShellWin32 shell;
    ServiceManagerWin32 services;
    DirectoryWin32 directory;
};

}  // namespace platform::win32
