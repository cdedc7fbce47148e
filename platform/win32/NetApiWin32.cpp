// The network management interface (netapi32), wide functions throughout.
// Each function makes its one call, copies the records out of the buffer the
// system allocated and hands that buffer back to NetApiBufferFree before it
// returns, whatever the status.
#include "platform/win32/Win32Platform.h"

#include <windows.h>
#include <lm.h>

#include <iterator>
#include <memory>

#include "platform/NetRecords.h"

namespace platform::win32 {

namespace {

struct NetBufferDeleter {
    void operator()(void* buffer) const { ::NetApiBufferFree(buffer); }
};
using NetBuffer = std::unique_ptr<void, NetBufferDeleter>;

// NetServerDiskEnum's level 0 returns an array of fixed three-character
// slots: the drive letter, a colon and a terminating zero.
struct DiskSlot {
    wchar_t text[3];
};
static_assert(sizeof(DiskSlot) == 3 * sizeof(wchar_t));

// One enumeration: `call` gets the addresses of the buffer pointer, the
// entries-read count and the total count and returns the status; `copy`
// turns each record into an owned entry. A buffer is released even when the
// call failed after allocating it. A call that passes a resume handle may
// get a long list in parts (ERROR_MORE_DATA, the handle moved on): it is
// called again until the list is complete, and the parts are joined in
// order. A list that ends in a failure is no list at all.
template <typename Record, typename Entry, typename Call, typename Copy>
NetList<Entry> Enumerate(Call call, Copy copy, bool resumable = false) {
    NetList<Entry> list;
    for (;;) {
        LPBYTE data = nullptr;
        DWORD read = 0;
        DWORD total = 0;
        list.status = call(&data, &read, &total);
        const NetBuffer buffer(data);
        const bool part = list.status == ERROR_MORE_DATA && resumable && read > 0;
        auto got = CopyList<Record, Entry>(part ? NERR_Success : list.status, data, read, copy);
        list.entries.insert(list.entries.end(), std::make_move_iterator(got.entries.begin()),
                            std::make_move_iterator(got.entries.end()));
        if (!part) break;
    }
    if (list.status != NERR_Success) list.entries.clear();
    return list;
}

// One information query: `call` gets the address of the buffer pointer.
template <typename Record, typename Value, typename Call, typename Copy>
NetRecord<Value> Query(Call call, Copy copy) {
    LPBYTE data = nullptr;
    const NET_API_STATUS status = call(&data);
    const NetBuffer buffer(data);
    return CopyRecord<Record, Value>(status, data, copy);
}

std::string Text(const wchar_t* text) { return Narrow(text); }

std::string DriveName(const DiskSlot& slot) {
    std::size_t length = 0;
    while (length < std::size(slot.text) && slot.text[length] != L'\0') ++length;
    return Narrow(std::wstring(slot.text, length));
}

UserInfo3 CopyUserInfo3(const USER_INFO_3& u) { return platform::CopyUserInfo3(u, Text); }
UserInfo20 CopyUserInfo20(const USER_INFO_20& u) { return platform::CopyUserInfo20(u, Text); }
ShareInfo2 CopyShareInfo2(const SHARE_INFO_2& s) { return platform::CopyShareInfo2(s, Text); }
FileInfo3 CopyFileInfo3(const FILE_INFO_3& f) { return platform::CopyFileInfo3(f, Text); }

SessionInfo502 CopySessionInfo502(const SESSION_INFO_502& s) {
    SessionInfo502 info;
    info.cname = Narrow(s.sesi502_cname);
    info.username = Narrow(s.sesi502_username);
    info.num_opens = s.sesi502_num_opens;
    info.time = s.sesi502_time;
    info.idle_time = s.sesi502_idle_time;
    info.user_flags = s.sesi502_user_flags;
    info.cltype_name = Narrow(s.sesi502_cltype_name);
    info.transport = Narrow(s.sesi502_transport);
    return info;
}

}  // namespace

NetList<std::string> NetApiWin32::ServerEnum(const std::string& server, std::uint32_t serverType,
                                             const std::optional<std::string>& domain) {
    const std::wstring name = Wide(server);
    // Without a domain the call gets a null pointer and lists the primary
    // domain.
    const std::optional<std::wstring> domainName =
        domain ? std::optional<std::wstring>(Wide(*domain)) : std::nullopt;
    return Enumerate<SERVER_INFO_100, std::string>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return ::NetServerEnum(name.c_str(), 100, data, MAX_PREFERRED_LENGTH, read, total,
                                   serverType, domainName ? domainName->c_str() : nullptr,
                                   nullptr);
        },
        [](const SERVER_INFO_100& s) { return Narrow(s.sv100_name); });
}

NetRecord<std::uint32_t> NetApiWin32::ServerGetInfo101(const std::string& server) {
    std::wstring name = Wide(server);
    return Query<SERVER_INFO_101, std::uint32_t>(
        [&](LPBYTE* data) { return ::NetServerGetInfo(name.data(), 101, data); },
        [](const SERVER_INFO_101& s) { return static_cast<std::uint32_t>(s.sv101_type); });
}

NetList<std::string> NetApiWin32::ServerDiskEnum(const std::string& server) {
    std::wstring name = Wide(server);
    return Enumerate<DiskSlot, std::string>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return ::NetServerDiskEnum(name.data(), 0, data, MAX_PREFERRED_LENGTH, read, total,
                                       nullptr);
        },
        DriveName);
}

NetList<std::string> NetApiWin32::UserEnum0(const std::string& server, std::uint32_t filter) {
    const std::wstring name = Wide(server);
    DWORD resume = 0;
    return Enumerate<USER_INFO_0, std::string>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return ::NetUserEnum(name.c_str(), 0, filter, data, MAX_PREFERRED_LENGTH, read, total,
                                 &resume);
        },
        [](const USER_INFO_0& u) { return Narrow(u.usri0_name); }, true);
}

NetList<UserInfo3> NetApiWin32::UserEnum3(const std::string& server, std::uint32_t filter) {
    const std::wstring name = Wide(server);
    DWORD resume = 0;
    return Enumerate<USER_INFO_3, UserInfo3>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return ::NetUserEnum(name.c_str(), 3, filter, data, MAX_PREFERRED_LENGTH, read, total,
                                 &resume);
        },
        CopyUserInfo3, true);
}

NetList<std::string> NetApiWin32::LocalGroupEnum0(const std::string& server) {
    const std::wstring name = Wide(server);
    DWORD_PTR resume = 0;
    return Enumerate<LOCALGROUP_INFO_0, std::string>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return ::NetLocalGroupEnum(name.c_str(), 0, data, MAX_PREFERRED_LENGTH, read, total,
                                       &resume);
        },
        [](const LOCALGROUP_INFO_0& g) { return Narrow(g.lgrpi0_name); }, true);
}

NetRecord<UserInfo20> NetApiWin32::UserGetInfo20(const std::string& server,
                                                 const std::string& user) {
    const std::wstring name = Wide(server);
    const std::wstring account = Wide(user);
    return Query<USER_INFO_20, UserInfo20>(
        [&](LPBYTE* data) { return ::NetUserGetInfo(name.c_str(), account.c_str(), 20, data); },
        CopyUserInfo20);
}

NetRecord<UserInfo3> NetApiWin32::UserGetInfo3(const std::string& server,
                                               const std::string& user) {
    const std::wstring name = Wide(server);
    const std::wstring account = Wide(user);
    return Query<USER_INFO_3, UserInfo3>(
        [&](LPBYTE* data) { return ::NetUserGetInfo(name.c_str(), account.c_str(), 3, data); },
        CopyUserInfo3);
}

NetList<std::string> NetApiWin32::UserGetGroups0(const std::string& server,
                                                 const std::string& user) {
    const std::wstring name = Wide(server);
    const std::wstring account = Wide(user);
    return Enumerate<GROUP_USERS_INFO_0, std::string>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return ::NetUserGetGroups(name.c_str(), account.c_str(), 0, data,
                                      MAX_PREFERRED_LENGTH, read, total);
        },
        [](const GROUP_USERS_INFO_0& g) { return Narrow(g.grui0_name); });
}

NetList<std::string> NetApiWin32::UserGetLocalGroups0(const std::string& server,
                                                      const std::string& user) {
    const std::wstring name = Wide(server);
    const std::wstring account = Wide(user);
    return Enumerate<LOCALGROUP_USERS_INFO_0, std::string>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return ::NetUserGetLocalGroups(name.c_str(), account.c_str(), 0, 0, data,
                                           MAX_PREFERRED_LENGTH, read, total);
        },
        [](const LOCALGROUP_USERS_INFO_0& g) { return Narrow(g.lgrui0_name); });
}

NetList<ShareInfo2> NetApiWin32::ShareEnum2(const std::string& server) {
    std::wstring name = Wide(server);
    DWORD resume = 0;
    return Enumerate<SHARE_INFO_2, ShareInfo2>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return ::NetShareEnum(name.data(), 2, data, MAX_PREFERRED_LENGTH, read, total,
                                  &resume);
        },
        CopyShareInfo2, true);
}

NetList<SessionInfo502> NetApiWin32::SessionEnum502(const std::string& server) {
    std::wstring name = Wide(server);
    DWORD resume = 0;
    return Enumerate<SESSION_INFO_502, SessionInfo502>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return ::NetSessionEnum(name.data(), nullptr, nullptr, 502, data,
                                    MAX_PREFERRED_LENGTH, read, total, &resume);
        },
        CopySessionInfo502, true);
}

NetList<FileInfo3> NetApiWin32::FileEnum3(const std::string& server) {
    std::wstring name = Wide(server);
    DWORD_PTR resume = 0;
    return Enumerate<FILE_INFO_3, FileInfo3>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return ::NetFileEnum(name.data(), nullptr, nullptr, 3, data, MAX_PREFERRED_LENGTH,
                                 read, total, &resume);
        },
        CopyFileInfo3, true);
}

NetStatus NetApiWin32::ShareDel(const std::string& server, const std::string& netname) {
    std::wstring name = Wide(server);
    std::wstring share = Wide(netname);
    return ::NetShareDel(name.data(), share.data(), 0);
}

NetStatus NetApiWin32::SessionDel(const std::string& server, const std::string& username) {
    std::wstring name = Wide(server);
    std::wstring user = Wide(username);
    return ::NetSessionDel(name.data(), nullptr, user.data());
}

NetStatus NetApiWin32::FileClose(const std::string& server, std::uint32_t fileId) {
    std::wstring name = Wide(server);
    return ::NetFileClose(name.data(), fileId);
}

}  // namespace platform::win32
