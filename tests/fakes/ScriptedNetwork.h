#pragma once
// An in-memory network behind the network management seam. Machines are
// keyed by the server argument they answer to ("" for the local machine,
// "\\NAME" otherwise); a server argument that names no machine gets status 53
// (the network path was not found). Every call is recorded with its arguments.
// Calls may come from several threads at once, as they do to the real
// interface; the script itself is written before the calls begin.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/NetApi.h"

struct ScriptedMachine {
    // Status of every call to this machine, unless FailWith names the call.
    platform::NetStatus status = 0;
    std::map<std::string, platform::NetStatus> failWith;  // call name -> status
    // Calls about one account that fail, when the machine answers them:
    // account -> call name -> status.
    std::unordered_map<std::string, std::map<std::string, platform::NetStatus>> failFor;
    // How long every call to this machine takes before it answers.
    std::chrono::milliseconds delay{0};

    std::uint32_t serverType = 0;
    // NetServerEnum answers by domain; the key "" stands for no domain given.
    std::map<std::string, std::vector<std::string>> serverLists;
    std::vector<std::string> disks;
    std::vector<std::string> localGroups;
    std::vector<platform::UserInfo3> users;
    // Where each account's record lies in users; the network keeps it.
    std::unordered_map<std::string, std::size_t> userIndex;
    std::unordered_map<std::string, std::vector<std::string>> globalGroupsOf;
    std::unordered_map<std::string, std::vector<std::string>> localGroupsOf;
    std::vector<platform::ShareInfo2> shares;
    std::vector<platform::SessionInfo502> sessions;
    std::vector<platform::FileInfo3> files;

    // While no connection to the machine's IPC$ is made, these calls answer
    // their status (call name -> status) instead of the one above: the
    // machine refuses the program's own account. A connection takes one of
    // the accounts (name -> password).
    std::map<std::string, platform::NetStatus> refusedUnconnected;
    std::map<std::string, std::string> accounts;
    std::string connectedAs;  // the account of the connection made, "" for none
};

struct NetCall {
    std::string function;
    std::string server;
    std::vector<std::string> args;  // "name=value"
};

class ScriptedNetwork : public platform::NetApi {
public:
    ScriptedMachine& Machine(const std::string& serverArgument) { return machines[serverArgument]; }
    std::map<std::string, ScriptedMachine> machines;
    std::vector<NetCall> calls;  // in the order they came
    // Off: calls are not kept (a benchmark's hundreds of thousands of them).
    bool recordCalls = true;
    // Runs inside every call, after it is recorded, on the thread that made
    // the call: what the user does while the window waits for a machine.
    std::function<void(const NetCall&)> onCall;
    // When not 0, every call of gatherFunction waits until this many of them
    // are waiting at once before it answers, so that calls made one after
    // the other never get past the first (after a minute they go on, and
    // gatheredAll stays false).
    int gatherCalls = 0;
    std::string gatherFunction = "NetServerGetInfo";
    std::atomic<bool> gatheredAll{false};
    // The most calls that were inside the network at the same time.
    std::atomic<int> maxInFlight{0};

    // Calls of one function, in order.
    std::vector<NetCall> CallsOf(const std::string& function) const;

    platform::NetList<std::string> ServerEnum(const std::string& server, std::uint32_t serverType,
                                              const std::optional<std::string>& domain) override;
    platform::NetRecord<std::uint32_t> ServerGetInfo101(const std::string& server) override;
    platform::NetList<std::string> ServerDiskEnum(const std::string& server) override;
    platform::NetList<std::string> UserEnum0(const std::string& server,
                                             std::uint32_t filter) override;
    platform::NetList<platform::UserInfo3> UserEnum3(const std::string& server,
                                                     std::uint32_t filter) override;
    platform::NetList<std::string> LocalGroupEnum0(const std::string& server) override;
    platform::NetRecord<platform::UserInfo20> UserGetInfo20(const std::string& server,
                                                            const std::string& user) override;
    platform::NetRecord<platform::UserInfo3> UserGetInfo3(const std::string& server,
                                                          const std::string& user) override;
    platform::NetList<std::string> UserGetGroups0(const std::string& server,
                                                  const std::string& user) override;
    platform::NetList<std::string> UserGetLocalGroups0(const std::string& server,
                                                       const std::string& user) override;
    platform::NetList<platform::ShareInfo2> ShareEnum2(const std::string& server) override;
    platform::NetList<platform::SessionInfo502> SessionEnum502(const std::string& server) override;
    platform::NetList<platform::FileInfo3> FileEnum3(const std::string& server) override;
    platform::NetStatus ShareDel(const std::string& server, const std::string& netname) override;
    platform::NetStatus SessionDel(const std::string& server, const std::string& username) override;
    platform::NetStatus FileClose(const std::string& server, std::uint32_t fileId) override;
    // Recorded as "WNetAddConnection2" with the remote name as server and the
    // user and password as passed; the machine of the remote name answers 0
    // for one of its accounts and 1326 (unknown user name or bad password)
    // otherwise. Made from one thread, while no other call is under way.
    platform::NetStatus AddConnection(const std::string& remote, const std::string& user,
                                      const platform::Secret& password) override;
    // "WNetCancelConnection2"; 2250 when no connection is made.
    platform::NetStatus CancelConnection(const std::string& remote) override;

private:
    // Records the call; returns the machine and the status it answers with
    // (nullptr and 53 for an unknown server).
    ScriptedMachine* Answer(const std::string& function, const std::string& server,
                            std::vector<std::string> args, platform::NetStatus& status);
    template <typename T>
    platform::NetList<T> List(const std::string& function, const std::string& server,
                              std::vector<std::string> args,
                              std::vector<T> ScriptedMachine::*field);
    // The machine that a remote name ("\\NAME\IPC$") lies on, with the call recorded.
    ScriptedMachine* ConnectionMachine(const std::string& function, const std::string& remote,
                                       std::vector<std::string> args);
    const platform::UserInfo3* FindUser(ScriptedMachine& m, const std::string& user,
                                        platform::NetStatus& status);

    mutable std::mutex mutex_;
    std::condition_variable gathered_;
    std::atomic<int> inFlight_{0};
    int gatherInFlight_ = 0;
};
