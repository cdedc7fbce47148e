#include "platform/samba/NetApiSamba.h"

#include <cstdint>
// netapi.h uses the fixed-width integer types without including their header.
#include <netapi.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>

#include "platform/NetRecords.h"

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

// The entries of an enumeration, each converted by `convert`.
template <typename Record, typename Out, typename Convert>
NetList<Out> Entries(NET_API_STATUS status, const NetBuffer& buffer, std::uint32_t read,
                     Convert convert) {
    return CopyList<Record, Out>(Status(status), buffer.get(), read, convert);
}

// The record of an information query, converted by `convert`.
template <typename Record, typename Out, typename Convert>
NetRecord<Out> Value(NET_API_STATUS status, const NetBuffer& buffer, Convert convert) {
    return CopyRecord<Record, Out>(Status(status), buffer.get(), convert);
}

UserInfo3 FromRecord(const USER_INFO_3& u) { return CopyUserInfo3(u, Text); }

// The host of a remote name ("\\HOST\IPC$").
std::string HostOf(const std::string& remote) {
    std::string storage;
    const char* host = ServerArg(remote, storage);
    return host ? std::string(host).substr(0, std::string(host).find('\\')) : std::string();
}

constexpr NetStatus kNotConnected = 2250;

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
    defaultAccount_ = {user, Secret(password)};
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
    const auto status = NetServerGetInfo(ServerFor(server, name), 101, BufferOut(buffer));
    return Value<SERVER_INFO_101, std::uint32_t>(
        status, buffer, [](const SERVER_INFO_101& s) { return s.sv101_type; });
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
    const auto status = NetUserEnum(ServerFor(server, name), 0, filter, BufferOut(buffer),
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
    const auto status = NetUserEnum(ServerFor(server, name), 3, filter, BufferOut(buffer),
                                    kMaxPreferredLength, &read, &total, &resume);
    return Entries<USER_INFO_3, UserInfo3>(status, buffer, read, FromRecord);
}

NetList<std::string> NetApiSamba::LocalGroupEnum0(const std::string& server) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    NetBuffer buffer;
    std::uint32_t read = 0, total = 0, resume = 0;
    const auto status = NetLocalGroupEnum(ServerFor(server, name), 0, BufferOut(buffer),
                                          kMaxPreferredLength, &read, &total, &resume);
    return Entries<LOCALGROUP_INFO_0, std::string>(
        status, buffer, read, [](const LOCALGROUP_INFO_0& g) { return Text(g.lgrpi0_name); });
}

NetRecord<UserInfo20> NetApiSamba::UserGetInfo20(const std::string& server,
                                                 const std::string& user) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    NetBuffer buffer;
    const auto status = NetUserGetInfo(ServerFor(server, name), user.c_str(), 20, BufferOut(buffer));
    return Value<USER_INFO_20, UserInfo20>(
        status, buffer, [](const USER_INFO_20& u) { return CopyUserInfo20(u, Text); });
}

NetRecord<UserInfo3> NetApiSamba::UserGetInfo3(const std::string& server,
                                               const std::string& user) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    NetBuffer buffer;
    const auto status = NetUserGetInfo(ServerFor(server, name), user.c_str(), 3, BufferOut(buffer));
    return Value<USER_INFO_3, UserInfo3>(status, buffer, FromRecord);
}

NetList<std::string> NetApiSamba::UserGetGroups0(const std::string& server,
                                                 const std::string& user) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    NetBuffer buffer;
    std::uint32_t read = 0, total = 0;
    const auto status = NetUserGetGroups(ServerFor(server, name), user.c_str(), 0,
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
        NetUserGetLocalGroups(ServerFor(server, name), user.c_str(), 0, 0, BufferOut(buffer),
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
    const auto status = NetShareEnum(ServerFor(server, name), 2, BufferOut(buffer),
                                     kMaxPreferredLength, &read, &total, &resume);
    return Entries<SHARE_INFO_2, ShareInfo2>(
        status, buffer, read, [](const SHARE_INFO_2& s) { return CopyShareInfo2(s, Text); });
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
    const auto status = NetFileEnum(ServerFor(server, name), nullptr, nullptr, 3,
                                    BufferOut(buffer), kMaxPreferredLength, &read, &total, &resume);
    return Entries<FILE_INFO_3, FileInfo3>(
        status, buffer, read, [](const FILE_INFO_3& f) { return CopyFileInfo3(f, Text); });
}

NetStatus NetApiSamba::ShareDel(const std::string& server, const std::string& netname) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    return Status(NetShareDel(ServerFor(server, name), netname.c_str(), 0));
}

NetStatus NetApiSamba::SessionDel(const std::string&, const std::string&) {
    std::lock_guard<std::mutex> lock(mutex_);
    return kNetNotSupported;
}

NetStatus NetApiSamba::FileClose(const std::string& server, std::uint32_t fileId) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string name;
    return Status(NetFileClose(ServerFor(server, name), fileId));
}

}  // namespace platform

namespace platform {

const char* NetApiSamba::ServerFor(const std::string& server, std::string& storage) {
    const char* host = ServerArg(server, storage);
    const auto it = host ? accounts_.find(host) : accounts_.end();
    const Account* account = it != accounts_.end() ? &it->second : &defaultAccount_;
    if (account != inUse_) {
        libnetapi_set_username(ctx_, account->user.c_str());
        libnetapi_set_password(ctx_, account->password.CStr());
        inUse_ = account;
    }
    return host;
}

void NetApiSamba::ForgetCachedConnections() {
    // libnetapi ends its connections only with its context.
    libnetapi_free(ctx_);
    ctx_ = nullptr;
    inUse_ = nullptr;
    if (libnetapi_init(&ctx_) != 0 || ctx_ == nullptr)
        throw std::runtime_error("libnetapi could not be initialised again");
    libnetapi_set_debuglevel(ctx_, "0");
}

void NetApiSamba::UseAccountFor(const std::string& host, const std::string& user,
                                const Secret& password) {
    std::lock_guard<std::mutex> lock(mutex_);
    accounts_[host] = {user, Secret(password.View())};
    ForgetCachedConnections();
}

NetStatus NetApiSamba::AddConnection(const std::string& remote, const std::string& user,
                                     const Secret& password) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string host = HostOf(remote);
    std::optional<Account> earlier;
    if (auto it = accounts_.find(host); it != accounts_.end()) earlier = std::move(it->second);
    accounts_[host] = {user, Secret(password.View())};
    ForgetCachedConnections();
    std::string name;
    NetBuffer buffer;
    std::uint32_t read = 0, total = 0, resume = 0;
    // A share listing always asks the host: libnetapi answers some calls for
    // a name of this machine ("localhost") itself.
    const auto status = Status(NetShareEnum(ServerFor("\\\\" + host, name), 1, BufferOut(buffer),
                                            kMaxPreferredLength, &read, &total, &resume));
    if (status == 0) return 0;
    if (earlier)
        accounts_[host] = std::move(*earlier);
    else
        accounts_.erase(host);
    ForgetCachedConnections();
    return status;
}

NetStatus NetApiSamba::CancelConnection(const std::string& remote) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (accounts_.erase(HostOf(remote)) == 0) return kNotConnected;
    ForgetCachedConnections();
    return 0;
}

}  // namespace platform
