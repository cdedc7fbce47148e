#include "tests/fakes/ScriptedNetwork.h"

#include <cstdio>
#include <thread>

namespace {

std::string Hex(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", v);
    return buf;
}

}  // namespace

std::vector<NetCall> ScriptedNetwork::CallsOf(const std::string& function) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<NetCall> out;
    for (const auto& c : calls)
        if (c.function == function) out.push_back(c);
    return out;
}

ScriptedMachine* ScriptedNetwork::Answer(const std::string& function, const std::string& server,
                                         std::vector<std::string> args,
                                         platform::NetStatus& status) {
    NetCall call{function, server, std::move(args)};
    // The script is not written to while calls come: it is read unlocked, and
    // the lock is taken only for what calls share (many threads hammering
    // one lock would measure the lock, not the caller).
    ScriptedMachine* m = nullptr;
    auto it = machines.find(server);
    if (it != machines.end()) m = &it->second;
    const int now = ++inFlight_;
    for (int most = maxInFlight; now > most && !maxInFlight.compare_exchange_weak(most, now);) {
    }
    const bool gathering = gatherCalls > 0 && call.function == gatherFunction;
    if (recordCalls || gathering) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (recordCalls) calls.push_back(call);
        if (gathering) {
            if (++gatherInFlight_ >= gatherCalls) gatheredAll = true;
            gathered_.notify_all();
            gathered_.wait_for(lock, std::chrono::minutes(1), [this] { return gatheredAll.load(); });
        }
    }
    if (onCall) onCall(call);
    if (m != nullptr && m->delay.count() > 0) std::this_thread::sleep_for(m->delay);
    --inFlight_;
    if (gathering) {
        std::lock_guard<std::mutex> lock(mutex_);
        --gatherInFlight_;
    }
    if (m == nullptr) {
        status = 53;
        return nullptr;
    }
    if (m->connectedAs.empty())
        if (auto r = m->refusedUnconnected.find(function); r != m->refusedUnconnected.end()) {
            status = r->second;
            return m;
        }
    auto f = m->failWith.find(function);
    status = f != m->failWith.end() ? f->second : m->status;
    if (status == 0 && !m->failFor.empty() && !call.args.empty() &&
        call.args[0].rfind("user=", 0) == 0) {
        const auto account = m->failFor.find(call.args[0].substr(5));
        if (account != m->failFor.end()) {
            const auto rule = account->second.find(function);
            if (rule != account->second.end()) status = rule->second;
        }
    }
    return m;
}

template <typename T>
platform::NetList<T> ScriptedNetwork::List(const std::string& function, const std::string& server,
                                           std::vector<std::string> args,
                                           std::vector<T> ScriptedMachine::*field) {
    platform::NetList<T> result;
    ScriptedMachine* m = Answer(function, server, std::move(args), result.status);
    if (m && result.status == 0) result.entries = m->*field;
    return result;
}

platform::NetList<std::string> ScriptedNetwork::ServerEnum(const std::string& server,
                                                           std::uint32_t serverType,
                                                           const std::optional<std::string>& domain) {
    platform::NetList<std::string> result;
    ScriptedMachine* m = Answer("NetServerEnum", server,
                                {"type=" + Hex(serverType),
                                 "domain=" + (domain ? "\"" + *domain + "\"" : "<none>")},
                                result.status);
    if (m && result.status == 0) {
        auto it = m->serverLists.find(domain.value_or(""));
        if (it != m->serverLists.end()) result.entries = it->second;
    }
    return result;
}

platform::NetRecord<std::uint32_t> ScriptedNetwork::ServerGetInfo101(const std::string& server) {
    platform::NetRecord<std::uint32_t> result;
    ScriptedMachine* m = Answer("NetServerGetInfo", server, {"level=101"}, result.status);
    if (m && result.status == 0) result.value = m->serverType;
    return result;
}

platform::NetList<std::string> ScriptedNetwork::ServerDiskEnum(const std::string& server) {
    return List("NetServerDiskEnum", server, {"level=0"}, &ScriptedMachine::disks);
}

platform::NetList<std::string> ScriptedNetwork::UserEnum0(const std::string& server,
                                                          std::uint32_t filter) {
    platform::NetList<std::string> result;
    ScriptedMachine* m =
        Answer("NetUserEnum", server, {"level=0", "filter=" + std::to_string(filter)}, result.status);
    if (m && result.status == 0)
        for (const auto& u : m->users) result.entries.push_back(u.name);
    return result;
}

platform::NetList<platform::UserInfo3> ScriptedNetwork::UserEnum3(const std::string& server,
                                                                  std::uint32_t filter) {
    return List("NetUserEnum", server, {"level=3", "filter=" + std::to_string(filter)},
                &ScriptedMachine::users);
}

platform::NetList<std::string> ScriptedNetwork::LocalGroupEnum0(const std::string& server) {
    return List("NetLocalGroupEnum", server, {"level=0"}, &ScriptedMachine::localGroups);
}

const platform::UserInfo3* ScriptedNetwork::FindUser(ScriptedMachine& m, const std::string& user,
                                                     platform::NetStatus& status) {
    // Looked up by name, so that asking for each of many accounts does not
    // walk the list each time; the index is made again when users changed.
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = m.userIndex.find(user);
    if (it == m.userIndex.end() || it->second >= m.users.size() ||
        m.users[it->second].name != user || m.userIndex.size() != m.users.size()) {
        m.userIndex.clear();
        for (std::size_t i = 0; i < m.users.size(); ++i) m.userIndex.emplace(m.users[i].name, i);
        it = m.userIndex.find(user);
    }
    if (it != m.userIndex.end()) return &m.users[it->second];
    status = 2221;  // the user name could not be found
    return nullptr;
}

platform::NetRecord<platform::UserInfo20> ScriptedNetwork::UserGetInfo20(const std::string& server,
                                                                         const std::string& user) {
    platform::NetRecord<platform::UserInfo20> result;
    ScriptedMachine* m =
        Answer("NetUserGetInfo", server, {"user=" + user, "level=20"}, result.status);
    if (m && result.status == 0)
        if (const auto* u = FindUser(*m, user, result.status))
            result.value = {u->name, u->full_name, u->comment, u->flags, u->user_id};
    return result;
}

platform::NetRecord<platform::UserInfo3> ScriptedNetwork::UserGetInfo3(const std::string& server,
                                                                       const std::string& user) {
    platform::NetRecord<platform::UserInfo3> result;
    ScriptedMachine* m = Answer("NetUserGetInfo", server, {"user=" + user, "level=3"}, result.status);
    if (m && result.status == 0)
        if (const auto* u = FindUser(*m, user, result.status)) result.value = *u;
    return result;
}

platform::NetList<std::string> ScriptedNetwork::UserGetGroups0(const std::string& server,
                                                               const std::string& user) {
    platform::NetList<std::string> result;
    ScriptedMachine* m =
        Answer("NetUserGetGroups", server, {"user=" + user, "level=0"}, result.status);
    // A real server fails the call for an account it does not have.
    if (m && result.status == 0 && FindUser(*m, user, result.status))
        if (auto it = m->globalGroupsOf.find(user); it != m->globalGroupsOf.end()) result.entries = it->second;
    return result;
}

platform::NetList<std::string> ScriptedNetwork::UserGetLocalGroups0(const std::string& server,
                                                                    const std::string& user) {
    platform::NetList<std::string> result;
    ScriptedMachine* m = Answer("NetUserGetLocalGroups", server,
                                {"user=" + user, "level=0", "flags=0"}, result.status);
    if (m && result.status == 0 && FindUser(*m, user, result.status))
        if (auto it = m->localGroupsOf.find(user); it != m->localGroupsOf.end()) result.entries = it->second;
    return result;
}

platform::NetList<platform::ShareInfo2> ScriptedNetwork::ShareEnum2(const std::string& server) {
    return List("NetShareEnum", server, {"level=2"}, &ScriptedMachine::shares);
}

platform::NetList<platform::SessionInfo502> ScriptedNetwork::SessionEnum502(
    const std::string& server) {
    return List("NetSessionEnum", server, {"level=502"}, &ScriptedMachine::sessions);
}

platform::NetList<platform::FileInfo3> ScriptedNetwork::FileEnum3(const std::string& server) {
    return List("NetFileEnum", server, {"level=3"}, &ScriptedMachine::files);
}

platform::NetStatus ScriptedNetwork::ShareDel(const std::string& server,
                                              const std::string& netname) {
    platform::NetStatus status = 0;
    ScriptedMachine* m = Answer("NetShareDel", server, {"netname=" + netname}, status);
    if (m && status == 0) {
        status = 2310;  // the share does not exist
        for (auto it = m->shares.begin(); it != m->shares.end(); ++it)
            if (it->netname == netname) {
                m->shares.erase(it);
                status = 0;
                break;
            }
    }
    return status;
}

platform::NetStatus ScriptedNetwork::SessionDel(const std::string& server,
                                                const std::string& username) {
    platform::NetStatus status = 0;
    ScriptedMachine* m = Answer("NetSessionDel", server, {"user=" + username}, status);
    if (m && status == 0) {
        std::erase_if(m->sessions, [&](const auto& s) { return s.username == username; });
    }
    return status;
}

platform::NetStatus ScriptedNetwork::FileClose(const std::string& server, std::uint32_t fileId) {
    platform::NetStatus status = 0;
    ScriptedMachine* m = Answer("NetFileClose", server, {"id=" + std::to_string(fileId)}, status);
    if (m && status == 0) {
        const auto before = m->files.size();
        std::erase_if(m->files, [&](const auto& f) { return f.id == fileId; });
        if (m->files.size() == before) status = 2314;  // no open file with that id
    }
    return status;
}

ScriptedMachine* ScriptedNetwork::ConnectionMachine(const std::string& function,
                                                   const std::string& remote,
                                                   std::vector<std::string> args) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls.push_back({function, remote, std::move(args)});
    }
    const auto share = remote.find('\\', 2);
    auto it = machines.find(remote.substr(0, share));
    return it != machines.end() ? &it->second : nullptr;
}

platform::NetStatus ScriptedNetwork::AddConnection(const std::string& remote,
                                                   const std::string& user,
                                                   const platform::Secret& password) {
    ScriptedMachine* m = ConnectionMachine(
        "WNetAddConnection2", remote, {"user=" + user, "password=" + std::string(password.View())});
    if (m == nullptr) return 53;
    auto account = m->accounts.find(user);
    if (account == m->accounts.end() || account->second != password.View()) return 1326;
    m->connectedAs = user;
    return 0;
}

platform::NetStatus ScriptedNetwork::CancelConnection(const std::string& remote) {
    ScriptedMachine* m = ConnectionMachine("WNetCancelConnection2", remote, {});
    if (m == nullptr || m->connectedAs.empty()) return 2250;
    m->connectedAs.clear();
    return 0;
}
