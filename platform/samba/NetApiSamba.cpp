#include "platform/samba/NetApiSamba.h"

#include <cstdint>
// netapi.h uses the fixed-width integer types without including their header.
#include <netapi.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace platform {
namespace {

// Only one NetApiSamba may own libnetapi's process-wide context.
std::atomic<bool> contextTaken{false};

constexpr std::uint32_t kMaxPreferredLength = 0xFFFFFFFF;

struct BufferFree {
    void operator()(std::uint8_t* buffer) const { NetApiBufferFree(buffer); }
};
// Owns a buffer that libnetapi allocated, until the call that asked for it
// returns.
using NetBuffer = std::unique_ptr<std::uint8_t, BufferFree>;

// An out-parameter for libnetapi that hands the buffer to a NetBuffer however
// the call ends.
class BufferOut {
public:
    explicit BufferOut(NetBuffer& owner) : owner_(owner) {}
    ~BufferOut() { owner_.reset(raw_); }
    BufferOut(const BufferOut&) = delete;
    BufferOut& operator=(const BufferOut&) = delete;
    operator std::uint8_t**() { return &raw_; }

private:
    NetBuffer& owner_;
    std::uint8_t* raw_ = nullptr;
};

// libnetapi names a remote host without the leading backslashes that the
// program writes ("\\NAME"); the local machine is no name at all.
const char* ServerArg(const std::string& server, std::string& storage) {
    if (server.empty()) return nullptr;
    storage = server.rfind("\\\\", 0) == 0 ? server.substr(2) : server;
    return storage.c_str();
}

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

NetStatus Status(NET_API_STATUS status) { return static_cast<NetStatus>(status); }

// The entries of a successful enumeration, each converted by `convert`.
template <typename Record, typename Out, typename Convert>
NetList<Out> Entries(NET_API_STATUS status, const NetBuffer& buffer, std::uint32_t read,
                     Convert convert) {
    NetList<Out> result;
    result.status = Status(status);
    if (result.status != 0 || !buffer) return result;
    const auto* records = reinterpret_cast<const Record*>(buffer.get());
    result.entries.reserve(read);
    for (std::uint32_t i = 0; i < read; ++i) result.entries.push_back(convert(records[i]));
    return result;
}

UserInfo3 FromRecord(const USER_INFO_3& u) {
    UserInfo3 v;
    v.name = Text(u.usri3_name);
    v.password_age = u.usri3_password_age;
    v.priv = u.usri3_priv;
    v.home_dir = Text(u.usri3_home_dir);
    v.comment = Text(u.usri3_comment);
    v.flags = u.usri3_flags;
    v.script_path = Text(u.usri3_script_path);
    v.auth_flags = u.usri3_auth_flags;
    v.full_name = Text(u.usri3_full_name);
    v.usr_comment = Text(u.usri3_usr_comment);
    v.parms = Text(u.usri3_parms);
    v.workstations = Text(u.usri3_workstations);
    v.last_logon = u.usri3_last_logon;
    v.last_logoff = u.usri3_last_logoff;
    v.acct_expires = u.usri3_acct_expires;
    v.max_storage = u.usri3_max_storage;
    v.user_id = u.usri3_user_id;
    v.primary_group_id = u.usri3_primary_group_id;
    v.profile = Text(u.usri3_profile);
    v.home_dir_drive = Text(u.usri3_home_dir_drive);
    v.password_expired = u.usri3_password_expired;
    return v;
}

}  // namespace

NetApiSamba::NetApiSamba(const std::string& user, const std::string& password) {
    if (contextTaken.exchange(true))
        throw std::runtime_error("libnetapi's context is already in use");
    libnetapi_ctx* ctx = nullptr;
    if (libnetapi_init(&ctx) != 0 || ctx == nullptr) {
        contextTaken = false;
        throw std::runtime_error("libnetapi could not be initialised");
    }
    ctx_ = ctx;
    // libnetapi logs to stderr at its default level; the program reports
    // failures by status, so the library stays quiet.
    libnetapi_set_debuglevel(ctx_, "0");
    libnetapi_set_username(ctx_, user.c_str());
    libnetapi_set_password(ctx_, password.c_str());
}

NetApiSamba::~NetApiSamba() {
    libnetapi_free(ctx_);
    contextTaken = false;
}

NetList<std::string> NetApiSamba::ServerEnum(const std::string&, std::uint32_t,
                                             const std::optional<std::string>&) {
    std::lock_guard<std::mutex> lock(mutex_);
    return {kNetNotSupported, {}};
}

NetRecord<std::uint32_t> NetApiSamba::ServerGetInfo101(const std::string& server) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    NetBuffer buffer;
    const auto status = NetServerGetInfo(ServerArg(server, name), 101, BufferOut(buffer));
    NetRecord<std::uint32_t> result{Status(status), 0};
    if (result.status == 0 && buffer)
        result.value = reinterpret_cast<const SERVER_INFO_101*>(buffer.get())->sv101_type;
    return result;
}

NetList<std::string> NetApiSamba::ServerDiskEnum(const std::string&) {
    std::lock_guard<std::mutex> lock(mutex_);
    return {kNetNotSupported, {}};
}

NetList<std::string> NetApiSamba::UserEnum0(const std::string& server, std::uint32_t filter) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    NetBuffer buffer;
    std::uint32_t read = 0, total = 0, resume = 0;
    const auto status = NetUserEnum(ServerArg(server, name), 0, filter, BufferOut(buffer),
                                    kMaxPreferredLength, &read, &total, &resume);
    return Entries<USER_INFO_0, std::string>(status, buffer, read, [](const USER_INFO_0& u) {
        return Text(u.usri0_name);
    });
}

NetList<UserInfo3> NetApiSamba::UserEnum3(const std::string& server, std::uint32_t filter) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    NetBuffer buffer;
    std::uint32_t read = 0, total = 0, resume = 0;
    const auto status = NetUserEnum(ServerArg(server, name), 3, filter, BufferOut(buffer),
                                    kMaxPreferredLength, &read, &total, &resume);
    return Entries<USER_INFO_3, UserInfo3>(status, buffer, read, FromRecord);
}

NetList<std::string> NetApiSamba::LocalGroupEnum0(const std::string& server) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    NetBuffer buffer;
    std::uint32_t read = 0, total = 0, resume = 0;
    const auto status = NetLocalGroupEnum(ServerArg(server, name), 0, BufferOut(buffer),
                                          kMaxPreferredLength, &read, &total, &resume);
    return Entries<LOCALGROUP_INFO_0, std::string>(
        status, buffer, read, [](const LOCALGROUP_INFO_0& g) { return Text(g.lgrpi0_name); });
}

NetRecord<UserInfo20> NetApiSamba::UserGetInfo20(const std::string& server,
                                                 const std::string& user) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    NetBuffer buffer;
    const auto status = NetUserGetInfo(ServerArg(server, name), user.c_str(), 20, BufferOut(buffer));
    NetRecord<UserInfo20> result;
    result.status = Status(status);
    if (result.status == 0 && buffer) {
        const auto& u = *reinterpret_cast<const USER_INFO_20*>(buffer.get());
        result.value = {Text(u.usri20_name), Text(u.usri20_full_name), Text(u.usri20_comment),
                        u.usri20_flags, u.usri20_user_id};
    }
    return result;
}

NetRecord<UserInfo3> NetApiSamba::UserGetInfo3(const std::string& server,
                                               const std::string& user) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    NetBuffer buffer;
    const auto status = NetUserGetInfo(ServerArg(server, name), user.c_str(), 3, BufferOut(buffer));
    NetRecord<UserInfo3> result;
    result.status = Status(status);
    if (result.status == 0 && buffer)
        result.value = FromRecord(*reinterpret_cast<const USER_INFO_3*>(buffer.get()));
    return result;
}

NetList<std::string> NetApiSamba::UserGetGroups0(const std::string& server,
                                                 const std::string& user) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    NetBuffer buffer;
    std::uint32_t read = 0, total = 0;
    const auto status = NetUserGetGroups(ServerArg(server, name), user.c_str(), 0,
                                         BufferOut(buffer), kMaxPreferredLength, &read, &total);
    return Entries<GROUP_USERS_INFO_0, std::string>(
        status, buffer, read, [](const GROUP_USERS_INFO_0& g) { return Text(g.grui0_name); });
}

NetList<std::string> NetApiSamba::UserGetLocalGroups0(const std::string& server,
                                                      const std::string& user) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    NetBuffer buffer;
    std::uint32_t read = 0, total = 0;
    const auto status =
        NetUserGetLocalGroups(ServerArg(server, name), user.c_str(), 0, 0, BufferOut(buffer),
                              kMaxPreferredLength, &read, &total);
    // libnetapi looks every alias the account belongs to up in the builtin
    // domain, so an account in a local group of the server's own domain gets
    // 1332 (or 1301 beside builtin groups) instead of its groups. That
    // failure is passed on: an empty list would pass for "member of nothing",
    // and libnetapi offers no other call that names an alias's members
    // (NetLocalGroupGetMembers answers 50).
    return Entries<LOCALGROUP_USERS_INFO_0, std::string>(
        status, buffer, read,
        [](const LOCALGROUP_USERS_INFO_0& g) { return Text(g.lgrui0_name); });
}

NetList<ShareInfo2> NetApiSamba::ShareEnum2(const std::string& server) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    NetBuffer buffer;
    std::uint32_t read = 0, total = 0, resume = 0;
    const auto status = NetShareEnum(ServerArg(server, name), 2, BufferOut(buffer),
                                     kMaxPreferredLength, &read, &total, &resume);
    return Entries<SHARE_INFO_2, ShareInfo2>(status, buffer, read, [](const SHARE_INFO_2& s) {
        return ShareInfo2{Text(s.shi2_netname), s.shi2_type,         Text(s.shi2_remark),
                          s.shi2_permissions,   s.shi2_max_uses,     s.shi2_current_uses,
                          Text(s.shi2_path),    Text(s.shi2_passwd)};
    });
}

NetList<SessionInfo502> NetApiSamba::SessionEnum502(const std::string&) {
    std::lock_guard<std::mutex> lock(mutex_);
    return {kNetNotSupported, {}};
}

NetList<FileInfo3> NetApiSamba::FileEnum3(const std::string& server) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    NetBuffer buffer;
    std::uint32_t read = 0, total = 0, resume = 0;
    const auto status = NetFileEnum(ServerArg(server, name), nullptr, nullptr, 3,
                                    BufferOut(buffer), kMaxPreferredLength, &read, &total, &resume);
    return Entries<FILE_INFO_3, FileInfo3>(status, buffer, read, [](const FILE_INFO_3& f) {
        return FileInfo3{f.fi3_id, f.fi3_permissions, f.fi3_num_locks, Text(f.fi3_pathname),
                         Text(f.fi3_username)};
    });
}

NetStatus NetApiSamba::ShareDel(const std::string& server, const std::string& netname) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    return Status(NetShareDel(ServerArg(server, name), netname.c_str(), 0));
}

NetStatus NetApiSamba::SessionDel(const std::string&, const std::string&) {
    std::lock_guard<std::mutex> lock(mutex_);
    return kNetNotSupported;
}

NetStatus NetApiSamba::FileClose(const std::string& server, std::uint32_t fileId) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    return Status(NetFileClose(ServerArg(server, name), fileId));
}

}  // namespace platform
