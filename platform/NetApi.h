#pragma once
// The network management interface as the program uses it: one function per
// call and information level, the machine named by a server argument (empty
// for the local machine, otherwise "\\" and its name). Every call is made once
// with the largest preferred length; a list that the system still hands out
// in parts (ERROR_MORE_DATA with a resume handle) is asked for part by part
// and joined. The implementation copies what the system returned into owned
// values and releases the system's buffer before it returns. Status 0 is
// success; any other status is a failure, and then no entries are returned.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Secret.h"

namespace platform {

using NetStatus = std::uint32_t;

template <typename T>
struct NetList {
    NetStatus status = 0;
    std::vector<T> entries;
};

template <typename T>
struct NetRecord {
    NetStatus status = 0;
    T value{};
};

struct UserInfo20 {
    std::string name;
    std::string full_name;
    std::string comment;
    std::uint32_t flags = 0;
    std::uint32_t user_id = 0;
};

struct UserInfo3 {
    std::string name;
    std::uint32_t password_age = 0;
    std::uint32_t priv = 0;
    std::string home_dir;
    std::string comment;
    std::uint32_t flags = 0;
    std::string script_path;
    std::uint32_t auth_flags = 0;
    std::string full_name;
    std::string usr_comment;
    std::string parms;
    std::string workstations;
    std::uint32_t last_logon = 0;
    std::uint32_t last_logoff = 0;
    std::uint32_t acct_expires = 0;
    std::uint32_t max_storage = 0;
    std::uint32_t user_id = 0;
    std::uint32_t primary_group_id = 0;
    std::string profile;
    std::string home_dir_drive;
    std::uint32_t password_expired = 0;
};

struct ShareInfo2 {
    std::string netname;
    std::uint32_t type = 0;
    std::string remark;
    std::uint32_t permissions = 0;
    std::uint32_t max_uses = 0;
    std::uint32_t current_uses = 0;
    std::string path;
    std::string passwd;
};

struct SessionInfo502 {
    std::string cname;
    std::string username;
    std::uint32_t num_opens = 0;
    std::uint32_t time = 0;
    std::uint32_t idle_time = 0;
    std::uint32_t user_flags = 0;
    std::string cltype_name;
    std::string transport;
};

struct FileInfo3 {
    std::uint32_t id = 0;
    std::uint32_t permissions = 0;
    std::uint32_t num_locks = 0;
    std::string pathname;
    std::string username;
};

class NetApi {
public:
    virtual ~NetApi() = default;

    // NetServerEnum, level 100; domain nullopt passes no domain at all.
    virtual NetList<std::string> ServerEnum(const std::string& server, std::uint32_t serverType,
                                            const std::optional<std::string>& domain) = 0;
    // NetServerGetInfo, level 101: sv101_type.
    virtual NetRecord<std::uint32_t> ServerGetInfo101(const std::string& server) = 0;
    // NetServerDiskEnum, level 0: the drives, such as "C:".
    virtual NetList<std::string> ServerDiskEnum(const std::string& server) = 0;
    // NetUserEnum, level 0: usri0_name.
    virtual NetList<std::string> UserEnum0(const std::string& server, std::uint32_t filter) = 0;
    // NetUserEnum, level 3.
    virtual NetList<UserInfo3> UserEnum3(const std::string& server, std::uint32_t filter) = 0;
    // NetLocalGroupEnum, level 0: lgrpi0_name.
    virtual NetList<std::string> LocalGroupEnum0(const std::string& server) = 0;
    // NetUserGetInfo, level 20 and level 3.
    virtual NetRecord<UserInfo20> UserGetInfo20(const std::string& server,
                                                const std::string& user) = 0;
    virtual NetRecord<UserInfo3> UserGetInfo3(const std::string& server,
                                              const std::string& user) = 0;
    // NetUserGetGroups, level 0: grui0_name.
    virtual NetList<std::string> UserGetGroups0(const std::string& server,
                                                const std::string& user) = 0;
    // NetUserGetLocalGroups, level 0, flags 0: lgrui0_name.
    virtual NetList<std::string> UserGetLocalGroups0(const std::string& server,
                                                     const std::string& user) = 0;
    // NetShareEnum level 2; NetSessionEnum level 502 and NetFileEnum level 3,
    // each for all clients and users.
    virtual NetList<ShareInfo2> ShareEnum2(const std::string& server) = 0;
    virtual NetList<SessionInfo502> SessionEnum502(const std::string& server) = 0;
    virtual NetList<FileInfo3> FileEnum3(const std::string& server) = 0;
    // NetShareDel (reserved 0), NetSessionDel (no client name), NetFileClose.
    virtual NetStatus ShareDel(const std::string& server, const std::string& netname) = 0;
    virtual NetStatus SessionDel(const std::string& server, const std::string& username) = 0;
    virtual NetStatus FileClose(const std::string& server, std::uint32_t fileId) = 0;

    // A temporary connection to remote ("\\NAME\IPC$") as user (WNetAddConnection2,
    // remembered nowhere): until it ends, the calls above that name the
    // machine run as that user. The seam reads the password during the call
    // and keeps no copy that it does not wipe.
    virtual NetStatus AddConnection(const std::string& remote, const std::string& user,
                                    const Secret& password) = 0;
    // Ends a connection made by AddConnection (WNetCancelConnection2), even
    // while a call is using it.
    virtual NetStatus CancelConnection(const std::string& remote) = 0;
};

}  // namespace platform
