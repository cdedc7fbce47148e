#pragma once
// The main window's logic on the scripted network, as the native tests have
// it, for the benchmark: a host list, a started tree, expanding a node.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/fakes/FakeWindowHost.h"
#include "tests/fakes/ScriptedNetwork.h"
#include "tests/fakes/ScriptedRegistry.h"
#include "tests/fakes/ScriptedServiceManager.h"

namespace bench {

using Clock = std::chrono::steady_clock;

template <typename F>
double Seconds(F&& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// "h000042": names of one length, so that every host costs the same.
inline std::string HostName(std::size_t i) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "h%06zu", i);
    return buffer;
}

// The network seam with a clock: the time spent inside its calls, so that a
// fill's own time is what is left (when they come from one thread: the
// calls of several threads overlap). The clock's own cost around each call
// counts as the network's, not the fill's.
class TimedNetwork : public platform::NetApi {
public:
    explicit TimedNetwork(platform::NetApi& net) : net_(net) {}
    double Seconds() const { return nanoseconds_ / 1e9 + calls_ * ClockCost(); }
    void Reset() { nanoseconds_ = 0; calls_ = 0; }

    using Text = std::string;
    template <typename R>
    using List = platform::NetList<R>;
    List<Text> ServerEnum(const Text& s, std::uint32_t t, const std::optional<Text>& d) override {
        return Timed([&] { return net_.ServerEnum(s, t, d); });
    }
    platform::NetRecord<std::uint32_t> ServerGetInfo101(const Text& s) override {
        return Timed([&] { return net_.ServerGetInfo101(s); });
    }
    List<Text> ServerDiskEnum(const Text& s) override {
        return Timed([&] { return net_.ServerDiskEnum(s); });
    }
    List<Text> UserEnum0(const Text& s, std::uint32_t f) override {
        return Timed([&] { return net_.UserEnum0(s, f); });
    }
    List<platform::UserInfo3> UserEnum3(const Text& s, std::uint32_t f) override {
        return Timed([&] { return net_.UserEnum3(s, f); });
    }
    List<Text> LocalGroupEnum0(const Text& s) override {
        return Timed([&] { return net_.LocalGroupEnum0(s); });
    }
    platform::NetRecord<platform::UserInfo20> UserGetInfo20(const Text& s, const Text& u) override {
        return Timed([&] { return net_.UserGetInfo20(s, u); });
    }
    platform::NetRecord<platform::UserInfo3> UserGetInfo3(const Text& s, const Text& u) override {
        return Timed([&] { return net_.UserGetInfo3(s, u); });
    }
    List<Text> UserGetGroups0(const Text& s, const Text& u) override {
        return Timed([&] { return net_.UserGetGroups0(s, u); });
    }
    List<Text> UserGetLocalGroups0(const Text& s, const Text& u) override {
        return Timed([&] { return net_.UserGetLocalGroups0(s, u); });
    }
    List<platform::ShareInfo2> ShareEnum2(const Text& s) override {
        return Timed([&] { return net_.ShareEnum2(s); });
    }
    List<platform::SessionInfo502> SessionEnum502(const Text& s) override {
        return Timed([&] { return net_.SessionEnum502(s); });
    }
    List<platform::FileInfo3> FileEnum3(const Text& s) override {
        return Timed([&] { return net_.FileEnum3(s); });
    }
    platform::NetStatus ShareDel(const Text& s, const Text& n) override {
        return Timed([&] { return net_.ShareDel(s, n); });
    }
    platform::NetStatus SessionDel(const Text& s, const Text& u) override {
        return Timed([&] { return net_.SessionDel(s, u); });
    }
    platform::NetStatus FileClose(const Text& s, std::uint32_t id) override {
        return Timed([&] { return net_.FileClose(s, id); });
    }
    platform::NetStatus AddConnection(const Text& r, const Text& u,
                                      const platform::Secret& p) override {
        return Timed([&] { return net_.AddConnection(r, u, p); });
    }
    platform::NetStatus CancelConnection(const Text& r) override {
        return Timed([&] { return net_.CancelConnection(r); });
    }

private:
    template <typename F>
    auto Timed(F&& f) -> decltype(f()) {
        const auto start = Clock::now();
        auto result = f();
        nanoseconds_ += std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
        ++calls_;
        return result;
    }
    // Seconds that one timed call costs outside the time it records: the
    // timing of calls that do nothing, less what they recorded (the fastest
    // of a few rounds).
    static double ClockCost() {
        static const double cost = [] {
            constexpr int kRounds = 5, kCalls = 100000;
            double fastest = 1e9;
            for (int r = 0; r < kRounds; ++r) {
                // The same two atomic additions as a timed call makes.
                std::atomic<long long> recorded{0}, calls{0};
                const auto begin = Clock::now();
                for (int i = 0; i < kCalls; ++i) {
                    const auto start = Clock::now();
                    recorded += std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
                    ++calls;
                }
                const double all = std::chrono::duration<double>(Clock::now() - begin).count();
                fastest = std::min(fastest, (all - recorded / 1e9) / kCalls);
            }
            return std::max(fastest, 0.0);
        }();
        return cost;
    }
    platform::NetApi& net_;
    std::atomic<long long> nanoseconds_{0};
    std::atomic<long long> calls_{0};
};

struct ScriptedWindow : FakeWindowHost {
    ScriptedNetwork net;
    TimedNetwork timedNet{net};
    std::unique_ptr<TMainWindow> w;

    ScriptedWindow() {
        net.recordCalls = false;
        registry.recordCalls = false;
        services.recordCalls = false;
    }

    std::string IpsPath() const { return "C:\\Program Files\\NetworkView\\ips.txt"; }

    void Create() {
        net.Machine("");
        w = MakeWindow(timedNet);
        w->FormCreate();
    }
    // Runs the start timer: the tree is built.
    void Start() { timers.Advance(300); }

    PVirtualNode Find(PVirtualNode parent, const std::string& text) {
        for (auto* c = parent ? w->Tree.GetFirstChild(parent) : w->Tree.GetFirst(); c;
             c = w->Tree.GetNextSibling(c))
            if (TNetTree::GetNodeData(c).Text == text) return c;
        return nullptr;
    }
};

}  // namespace bench

namespace bench {

// The categories a machine can be filled with, and what the scripted
// machine holds for n entries of each.
enum class Category { Shares, Sessions, OpenFiles, Users, GroupMembers, Services };

inline const char* CategoryText(Category c) {
    switch (c) {
        case Category::Shares: return "Shares";
        case Category::Sessions: return "Sessions";
        case Category::OpenFiles: return "Open Files";
        case Category::Users: return "Users";
        case Category::GroupMembers: return "Groups";
        case Category::Services: return "Services";
    }
    return "";
}

inline const char* CategoryName(Category c) {
    switch (c) {
        case Category::Shares: return "shares";
        case Category::Sessions: return "sessions";
        case Category::OpenFiles: return "open files";
        case Category::Users: return "users with details";
        case Category::GroupMembers: return "group members";
        case Category::Services: return "services";
    }
    return "";
}

constexpr Category kCategories[] = {Category::Shares,   Category::Sessions,
                                    Category::OpenFiles, Category::Users,
                                    Category::GroupMembers, Category::Services};

// What the node of the category's first entry shows (every entry's text is
// as long).
inline std::string EntryText(Category c) {
    const std::string name = HostName(0);
    switch (c) {
        case Category::Shares: return "share" + name + " = C:\\Data\\" + name;
        case Category::Sessions: return "user" + name + " (2)";
        case Category::OpenFiles: return "C:\\Data\\" + name + "\\report.txt (user" + name + ")";
        case Category::Users:
        case Category::GroupMembers: return "user" + name;
        case Category::Services: return "Started";
    }
    return name;
}

// The scripted system a category's entries live in.
struct ScriptedOs {
    ScriptedNetwork& net;
    ScriptedRegistry& registry;
    ScriptedServiceManager& services;
};

// A scripted system of its own that keeps no record of its calls (a fill
// makes thousands).
struct QuietOs {
    ScriptedNetwork net;
    ScriptedRegistry registry;
    ScriptedServiceManager services;
    QuietOs() { net.recordCalls = registry.recordCalls = services.recordCalls = false; }
    ScriptedOs Os() { return {net, registry, services}; }
};

inline const std::string kServicesKey = "SYSTEM\\CurrentControlSet\\Services";

// The services a machine lists: one listing of at most 65,536 bytes holds
// about 1,200 of them, and a machine with more fails to list any (234, as
// the system's fixed buffer does); the benchmark fills as many as fit.
inline std::size_t ServicesThatFit(std::size_t n) {
    // Every name has the same length: every entry takes as many bytes.
    const std::vector<ScriptedService> one{{"s" + HostName(0), "Service " + HostName(0), {}}};
    return std::min<std::size_t>(n, 65536 / ScriptedServiceManager::ListingSize(one));
}

// The machine "\\S" with n entries of the category; every account is a member
// of the one local group "G".
inline void ScriptMachine(ScriptedOs os, Category c, std::size_t n) {
    auto& m = os.net.Machine("\\\\S");
    m.serverType = 0x1003;
    const std::size_t services = ServicesThatFit(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string name = HostName(i);
        switch (c) {
            case Category::Shares:
                m.shares.push_back({"share" + name, 0, "remark of " + name, 0, 0xFFFFFFFF, 3,
                                    "C:\\Data\\" + name, ""});
                break;
            case Category::Sessions:
                m.sessions.push_back({"\\\\CLIENT" + name, "user" + name, 2, 300, 10, 0,
                                      "Windows 10", "\\Device\\NetbT_Tcpip"});
                break;
            case Category::OpenFiles:
                m.files.push_back({static_cast<std::uint32_t>(i), 1, 0,
                                   "C:\\Data\\" + name + "\\report.txt", "user" + name});
                break;
            case Category::Users:
            case Category::GroupMembers: {
                platform::UserInfo3 u;
                u.name = "user" + name;
                u.full_name = "Full Name " + name;
                u.comment = "comment";
                u.flags = 0x0201;
                // Logons spread over the last months, each at its own second.
                u.last_logon = static_cast<std::uint32_t>(1700000000 - i * 97);
                u.acct_expires = 0xFFFFFFFF;
                u.max_storage = 0xFFFFFFFF;
                u.user_id = static_cast<std::uint32_t>(1000 + i);
                u.primary_group_id = 513;
                m.users.push_back(u);
                m.globalGroupsOf[u.name] = {"None"};
                m.localGroupsOf[u.name] = {"G", "Users"};
                break;
            }
            case Category::Services: {
                if (i >= services) break;
                // Every fourth one stopped, the others running; each with its
                // key, its image path and start type.
                const std::string service = "s" + name;
                os.services.Machine("\\\\S").Add(service, i % 4 == 0 ? 1 : 4).displayName =
                    "Service " + name;
                auto& key = os.registry.KeyAt("\\\\S", platform::kHKeyLocalMachine,
                                              kServicesKey + "\\" + service);
                key.values["ImagePath"] =
                    ScriptedRegistry::String("C:\\Windows\\System32\\" + service + ".exe", 2);
                key.values["Start"] = ScriptedRegistry::Dword(2);
                break;
            }
        }
    }
    m.localGroups = {"G"};
}

// The seam calls a fill of the category makes, made bare.
inline void BareCalls(ScriptedOs os, Category c, std::size_t) {
    const std::string s = "\\\\S";
    auto& net = os.net;
    switch (c) {
        case Category::Shares: net.ShareEnum2(s); break;
        case Category::Sessions: net.SessionEnum502(s); break;
        case Category::OpenFiles: net.FileEnum3(s); break;
        case Category::Users:
            // Each account: its global and local groups and two reads.
            for (const auto& name : net.UserEnum0(s, 2).entries) {
                net.UserGetGroups0(s, name);
                net.UserGetLocalGroups0(s, name);
                net.UserGetInfo20(s, name);
                net.UserGetInfo3(s, name);
            }
            break;
        case Category::GroupMembers:
            // Each account: its local groups; each member: its groups again.
            for (const auto& user : net.UserEnum3(s, 0).entries) {
                net.UserGetLocalGroups0(s, user.name);
                net.UserGetGroups0(s, user.name);
                net.UserGetLocalGroups0(s, user.name);
            }
            break;
        case Category::Services: {
            // The listing; each service's key for its dependencies, then for
            // its image path and start type.
            auto& scm = os.services;
            auto& reg = os.registry;
            const platform::ServiceHandle manager(
                scm, scm.OpenManager(s, std::string("ServicesActive"), 0x15));
            platform::ServiceListPart part;
            scm.EnumServices(manager.Get(), platform::kServiceWin32, platform::kServiceStateAll,
                             65536, part);
            const auto& entries = part.services;
            platform::RegistryKey machine(reg);
            machine.Connect(s, platform::kHKeyLocalMachine);
            const auto readKey = [&](const std::string& path, std::initializer_list<const char*> names) {
                platform::RegistryKey key(reg);
                if (key.Open(machine.Get(), path, platform::kKeyRead) != 0) return;
                for (const char* name : names) reg.QueryValue(key.Get(), name);
            };
            for (const auto& entry : entries)
                readKey(kServicesKey + "\\" + entry.serviceName, {"DependOnService"});
            for (const auto& entry : entries) {
                readKey(kServicesKey, {});
                readKey(kServicesKey + "\\" + entry.serviceName, {"ImagePath", "Start", "Start"});
            }
            break;
        }
    }
}

}  // namespace bench
