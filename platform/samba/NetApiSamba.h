#pragma once
// The network management seam on Linux, over Samba's libnetapi: the program's
// components ask a real SMB host (a Windows machine or a Samba server) the
// same questions they ask through netapi32 on Windows. libnetapi speaks
// UTF-8, which is what the program's strings hold, so names pass unchanged.
//
// libnetapi keeps one process-wide context (its configuration, the
// credentials every call authenticates with, its connection cache); one
// NetApiSamba owns it from construction to destruction, so only one may
// exist at a time. Calls that libnetapi does not offer (NetServerEnum,
// NetServerDiskEnum, NetSessionEnum, NetSessionDel) answer status 50, "The
// request is not supported".
//
// Accounts are kept per host: a connection to a host's IPC$ makes every later
// call to that host authenticate as the connection's account, the others as
// the account given at construction, as the system's connections do.
// libnetapi answers a session setup that the host refuses with 1003 (the
// function cannot complete), where netapi32 answers 1326 or 5, and names the
// refusal nowhere else.
#include <map>
#include <mutex>
#include <string>

#include "platform/NetApi.h"

struct libnetapi_ctx;

namespace platform {

class NetApiSamba final : public NetApi {
public:
    // Sets up libnetapi's context with the account that every call uses.
    // Throws std::runtime_error when libnetapi cannot be initialised or a
    // second instance is made.
    NetApiSamba(const std::string& user, const std::string& password);
    ~NetApiSamba() override;
    NetApiSamba(const NetApiSamba&) = delete;
    NetApiSamba& operator=(const NetApiSamba&) = delete;

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
    // The account is tried at once (NetShareEnum): a refused one is
    // answered with the host's status and not kept.
    NetStatus AddConnection(const std::string& remote, const std::string& user,
                            const Secret& password) override;
    NetStatus CancelConnection(const std::string& remote) override;

    // The account that calls to host use from now on, untried; an empty user
    // is a guest. What a test needs to meet a host as a guest.
    void UseAccountFor(const std::string& host, const std::string& user, const Secret& password);

private:
    struct Account {
        std::string user;
        Secret password;
    };
    // libnetapi's name of server's host (nullptr: the local machine), with
    // the context pointed at that host's account (lock held).
    const char* ServerFor(const std::string& server, std::string& storage);
    // Drops libnetapi's cached connections, which keep the account they were
    // made with (lock held).
    void ForgetCachedConnections();

    libnetapi_ctx* ctx_ = nullptr;
    Account defaultAccount_;
    std::map<std::string, Account> accounts_;  // by host
    const Account* inUse_ = nullptr;           // what the context holds
    // libnetapi keeps one context for the process and is not made to be
    // called from several threads at once; the window asks machines from
    // several, so the calls take turns.
    std::mutex mutex_;
};

// "The request is not supported": the answer of the calls libnetapi lacks.
inline constexpr NetStatus kNetNotSupported = 50;

}  // namespace platform
