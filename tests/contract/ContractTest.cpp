// The program's components and the network management seam against a real,
// independent SMB server: the private Samba server that smb-fixture.sh starts
// (its names come in through the environment). Where these tests and the
// native suite's scripted network disagree, the scripted network is wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "app/fvelmora.h"
#include "platform/samba/NetApiSamba.h"
#include "tests/contract/SmbClient.h"
#include "tests/fakes/FakeForm.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedRegistry.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
// libnetapi_init keeps two strings of its logging set-up that libnetapi_free
// does not release; the full unwinder finds them below libnetapi_init, which
// talloc's frames otherwise hide. Every other leak still fails the run.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
extern "C" const char* __lsan_default_suppressions() { return "leak:libnetapi_init\n"; }
#endif

// The seam's calls of NetApiBufferFree, counted on their way to libnetapi
// (the test program is linked with --wrap=NetApiBufferFree). libnetapi
// hangs its buffers under its own context, which libnetapi_free releases at
// exit, so the leak checker cannot see a buffer kept too long; this can.
int buffersFreed = 0;
extern "C" int __real_NetApiBufferFree(void* buffer);
extern "C" int __wrap_NetApiBufferFree(void* buffer) {
    if (buffer) ++buffersFreed;
    return __real_NetApiBufferFree(buffer);
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    if (!value) throw std::runtime_error(std::string(name) + " is not set: run under smb-fixture.sh");
    return value;
}

// The fixture's server, account, group, shares and files.
struct Fixture {
    std::string host = Env("NV_SMB_SERVER");
    std::string server = "\\\\" + host;  // the server argument the program passes
    std::string user = Env("NV_SMB_USER");
    std::string password = Env("NV_SMB_PASSWORD");
    std::string fullName = Env("NV_SMB_FULLNAME");
    std::string comment = Env("NV_SMB_COMMENT");
    std::string group = Env("NV_SMB_GROUP");
    std::string domainGroup = Env("NV_SMB_DOMAIN_GROUP");
    std::string member = Env("NV_SMB_MEMBER");
    std::filesystem::path root = Env("NV_SMB_ROOT");
};

const Fixture& The() {
    static const Fixture fixture;
    return fixture;
}

// libnetapi's context lives as long as the test program.
platform::NetApiSamba* samba = nullptr;

class SambaEnvironment : public ::testing::Environment {
public:
    void SetUp() override { samba = new platform::NetApiSamba(The().user, The().password); }
    void TearDown() override {
        delete samba;
        samba = nullptr;
    }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new SambaEnvironment);

// Samba shows a shared folder to Windows clients as a path on drive C:.
std::string WindowsPath(const std::filesystem::path& p) {
    std::string s = "C:" + p.string();
    std::replace(s.begin(), s.end(), '/', '\\');
    return s;
}

bool Contains(const std::vector<std::string>& list, const std::string& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// Asks again until the answer satisfies `done` or the limit passes: the
// server acts on some requests after it has answered them.
template <typename Ask, typename Done>
auto AskUntil(Ask ask, Done done, std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    auto answer = ask();
    while (!done(answer) && std::chrono::steady_clock::now() < deadline) answer = ask();
    return answer;
}

const platform::ShareInfo2* FindShare(const std::vector<platform::ShareInfo2>& shares,
                                      const std::string& name) {
    for (const auto& s : shares)
        if (s.netname == name) return &s;
    return nullptr;
}

const platform::FileInfo3* FindFile(const std::vector<platform::FileInfo3>& files,
                                    const std::string& path) {
    for (const auto& f : files)
        if (f.pathname == path) return &f;
    return nullptr;
}

// The disk shares that an independent client, smbclient -L, sees.
std::vector<std::string> SharesListedBySmbclient() {
    const auto& fx = The();
    std::istringstream out(
        RunAndCapture("smbclient -L //" + fx.host + " -U '" + fx.user + "%" + fx.password + "'"));
    std::vector<std::string> shares;
    for (std::string line; std::getline(out, line);) {
        std::istringstream words(line);
        std::string name, type;
        if (words >> name >> type && type == "Disk") shares.push_back(name);
    }
    return shares;
}

// The main window with everything but the network in memory; its host list
// names the fixture's server.
class ContractTest : public ::testing::Test {
protected:
    ContractTest() {
        version.versions[version.modulePath] = {0x00000001, 0x00000001};
        files.files[HostListPath(version.modulePath)] = fx.host + "\r\n";
        w = std::make_unique<Tnetworkviewer>(
            TNetworkViewerPlatform{*samba, messages, version, files, locale, registry, shell},
            form, stbar);
        w->startticker.SetBackend(&timers);
        w->stbarticker.SetBackend(&timers);
    }

    // Creates the window, lets the start-up timer build the tree and returns
    // the server's node under "Internet".
    PVirtualNode StartAtServer() {
        w->FormCreate();
        timers.Advance(300);
        PVirtualNode internet = w->ntreeview.GetFirst();
        for (auto* n = w->ntreeview.GetFirstChild(internet); n; n = w->ntreeview.GetNextSibling(n))
            if (TNetTree::GetNodeData(n).Text == fx.host) return n;
        ADD_FAILURE() << "no node for " << fx.host;
        return nullptr;
    }
    PVirtualNode Child(PVirtualNode parent, const std::string& text) {
        for (auto* c = w->ntreeview.GetFirstChild(parent); c; c = w->ntreeview.GetNextSibling(c))
            if (TNetTree::GetNodeData(c).Text == text) return c;
        ADD_FAILURE() << "no node " << text;
        return nullptr;
    }
    void ClickOn(PVirtualNode n) {
        w->ntreeview.SetFocusedNode(n);
        w->ntreeview.Click();
    }

    const Fixture& fx = The();
    platform::NetApi& net = *samba;
    FakeMessages messages;
    FakeVersion version;
    FakeFiles files;
    FakeLocale locale;
    ScriptedRegistry registry;
    FakeShell shell;
    FakeForm form;
    FakeStatusBar stbar;
    FakeTimers timers;
    std::unique_ptr<Tnetworkviewer> w;
};

}  // namespace

// ---------------------------------------------------------------- server component

TEST_F(ContractTest, ServerFlags_DecodeToTheSetTheirBitsNameAndTheNodeShowsThem) {
    const auto raw = net.ServerGetInfo101(fx.server);
    ASSERT_EQ(raw.status, 0u);

    w->NetServer.SetServerName(fx.server);
    const auto types = w->NetServer.ServerType();
    // Every bit with a member survives the round trip; only the bits
    // 0x01000000 to 0x10000000, which have none, are dropped.
    EXPECT_EQ(ServerTypeBits(types), raw.value & ~0x1F000000u);
    // A Samba file server presents itself as an NT server and workstation.
    for (auto t : {svTypeWorkstation, svTypeServer, svTypeNT, svTypeServerNT})
        EXPECT_TRUE(types.Contains(t)) << ServerAccountTypeName(t);
    EXPECT_FALSE(types.Contains(svTypeAll));

    // The user clicks the server's node: the detail panel shows the flags.
    PVirtualNode node = StartAtServer();
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(w->ntreeview.ChildCount(node), 7u);
    ClickOn(node);
    const auto& info = form.infoText;
    EXPECT_EQ(info, Tnetworkviewer::ServerFlagsText(types));
    for (auto line : {"Serverflags: Workstation\r\n", "Server\r\n", "NT\r\n", "ServerNT\r\n"})
        EXPECT_NE(info.find(line), std::string::npos) << line << " missing from:\n" << info;
    // Linux has no browse list to ask for domains: the window says so in its
    // status bar and still shows the server.
    EXPECT_EQ(stbar.text.rfind(" Error 50", 0), 0u) << stbar.text;
}

TEST_F(ContractTest, ServerComponent_ListsTheAccountAndTheLocalGroup) {
    w->NetServer.SetServerName(fx.server);
    TStringList users{"stale"};
    w->NetServer.GetUserNames({nfNormalAccount}, users);
    EXPECT_TRUE(Contains(users, fx.user));
    EXPECT_FALSE(Contains(users, "stale"));

    TStringList groups;
    w->NetServer.GetLocalGroups(groups);
    // libnetapi lists the local groups of the server's own domain, not the
    // builtin ones.
    EXPECT_TRUE(Contains(groups, fx.domainGroup));
}

TEST_F(ContractTest, ServerComponent_CallsLibnetapiLacksRaiseNotSupported) {
    w->NetServer.SetServerName(fx.server);
    TStringList disks{"C:"};
    try {
        w->NetServer.GetDisks(disks);
        ADD_FAILURE() << "GetDisks raised nothing";
    } catch (const ENTException& e) {
        EXPECT_EQ(e.ErrorCode, 50u);
    }
    EXPECT_TRUE(disks.empty());
    EXPECT_EQ(net.SessionEnum502(fx.server).status, 50u);
    EXPECT_EQ(net.SessionDel(fx.server, fx.user), 50u);
}

TEST_F(ContractTest, UnreachableServer_IsAFailureTheNodeShows) {
    // Nothing listens on this loopback address inside the fixture's network.
    PVirtualNode node = w->AddServerNode(nullptr, "127.0.0.9", true);
    const auto& data = TNetTree::GetNodeData(node);
    EXPECT_EQ(data.Info.rfind("Error ", 0), 0u) << data.Info;
    EXPECT_EQ(w->ntreeview.ChildCount(node), 0u);
}

TEST_F(ContractTest, Seam_ReleasesEachBufferBeforeTheCallReturns) {
    const auto freedBy = [](auto call) {
        const int before = buffersFreed;
        const auto status = call();
        EXPECT_EQ(status, 0u);
        return buffersFreed - before;
    };
    EXPECT_EQ(freedBy([&] { return net.ServerGetInfo101(fx.server).status; }), 1);
    EXPECT_EQ(freedBy([&] { return net.UserEnum0(fx.server, 0).status; }), 1);
    EXPECT_EQ(freedBy([&] { return net.UserEnum3(fx.server, 2).status; }), 1);
    EXPECT_EQ(freedBy([&] { return net.LocalGroupEnum0(fx.server).status; }), 1);
    EXPECT_EQ(freedBy([&] { return net.UserGetInfo20(fx.server, fx.user).status; }), 1);
    EXPECT_EQ(freedBy([&] { return net.UserGetInfo3(fx.server, fx.user).status; }), 1);
    EXPECT_EQ(freedBy([&] { return net.UserGetGroups0(fx.server, fx.user).status; }), 1);
    EXPECT_EQ(freedBy([&] { return net.UserGetLocalGroups0(fx.server, fx.user).status; }), 1);
    EXPECT_EQ(freedBy([&] { return net.ShareEnum2(fx.server).status; }), 1);
}

// ---------------------------------------------------------------- accounts

TEST_F(ContractTest, AccountRecords_CarryTheFullNameAndCommentSetOnTheServer) {
    const auto l20 = net.UserGetInfo20(fx.server, fx.user);
    ASSERT_EQ(l20.status, 0u);
    EXPECT_EQ(l20.value.name, fx.user);
    EXPECT_EQ(l20.value.full_name, fx.fullName);
    EXPECT_EQ(l20.value.comment, fx.comment);
    EXPECT_NE(l20.value.flags & 0x0200u, 0u) << "UF_NORMAL_ACCOUNT";

    const auto l3 = net.UserGetInfo3(fx.server, fx.user);
    ASSERT_EQ(l3.status, 0u);
    EXPECT_EQ(l3.value.full_name, fx.fullName);
    EXPECT_EQ(l3.value.comment, fx.comment);
    EXPECT_EQ(l3.value.user_id, l20.value.user_id);

    const auto all = net.UserEnum3(fx.server, 2);
    ASSERT_EQ(all.status, 0u);
    const auto it = std::find_if(all.entries.begin(), all.entries.end(),
                                 [&](const auto& u) { return u.name == fx.user; });
    ASSERT_NE(it, all.entries.end());
    EXPECT_EQ(it->full_name, fx.fullName);
    EXPECT_EQ(it->comment, fx.comment);
    EXPECT_EQ(it->user_id, l20.value.user_id);
}

TEST_F(ContractTest, AccountGroups_LocalGroupsNameTheFixturesGroup) {
    const auto local = net.UserGetLocalGroups0(fx.server, fx.user);
    ASSERT_EQ(local.status, 0u);
    EXPECT_EQ(local.entries, std::vector<std::string>{fx.group});

    // A standalone server has no global groups of its own; the account's
    // primary group still answers.
    const auto global = net.UserGetGroups0(fx.server, fx.user);
    ASSERT_EQ(global.status, 0u);
    EXPECT_FALSE(Contains(global.entries, fx.group));
}

TEST_F(ContractTest, AccountGroups_NeverPassAnUnreadableMembershipForNone) {
    // libnetapi cannot name a local group of the server's own domain; what
    // matters is that the account does not seem to belong to nothing.
    const auto local = net.UserGetLocalGroups0(fx.server, fx.member);
    if (local.status == 0)
        EXPECT_TRUE(Contains(local.entries, fx.domainGroup));
    else
        EXPECT_TRUE(local.entries.empty());
}

TEST_F(ContractTest, UnknownAccount_IsAFailureNotAnEmptyAnswer) {
    const std::string ghost = "no-such-account";
    EXPECT_NE(net.UserGetInfo20(fx.server, ghost).status, 0u);
    EXPECT_NE(net.UserGetInfo3(fx.server, ghost).status, 0u);
    const auto global = net.UserGetGroups0(fx.server, ghost);
    EXPECT_NE(global.status, 0u);
    EXPECT_TRUE(global.entries.empty());
    const auto local = net.UserGetLocalGroups0(fx.server, ghost);
    EXPECT_NE(local.status, 0u);
    EXPECT_TRUE(local.entries.empty());
}

// ---------------------------------------------------------------- shares

TEST_F(ContractTest, Shares_CarryNetNamesPathsRemarksAndNoUserLimit) {
    const auto shares = net.ShareEnum2(fx.server);
    ASSERT_EQ(shares.status, 0u);
    struct Expected {
        std::string name, remark, folder;
    };
    for (const Expected& e : {Expected{Env("NV_SMB_SHARE1"), Env("NV_SMB_REMARK1"), "docs"},
                              Expected{Env("NV_SMB_SHARE2"), Env("NV_SMB_REMARK2"), "public"}}) {
        const auto* s = FindShare(shares.entries, e.name);
        ASSERT_NE(s, nullptr) << e.name;
        EXPECT_EQ(s->type, 0u) << "STYPE_DISKTREE";
        EXPECT_EQ(s->remark, e.remark);
        EXPECT_EQ(s->path, WindowsPath(fx.root / "shares" / e.folder));
        EXPECT_EQ(s->max_uses, 0xFFFFFFFFu);
    }
    // The interprocess share is listed too, as a special share, and the
    // listing itself uses it.
    const auto* ipc = FindShare(shares.entries, "IPC$");
    ASSERT_NE(ipc, nullptr);
    EXPECT_EQ(ipc->type, 0x80000003u);
    EXPECT_GE(ipc->current_uses, 1u);
}

TEST_F(ContractTest, ShareDel_RemovesTheShareOnTheServerAndLeavesItsFolder) {
    const std::string share = Env("NV_SMB_SCRATCH");
    const auto folder = fx.root / "shares" / share;
    ASSERT_TRUE(Contains(SharesListedBySmbclient(), share));

    EXPECT_EQ(net.ShareDel(fx.server, share), 0u);

    const auto after = SharesListedBySmbclient();
    EXPECT_FALSE(Contains(after, share));
    EXPECT_TRUE(Contains(after, Env("NV_SMB_SHARE1")));
    EXPECT_TRUE(std::filesystem::exists(folder / "keep.txt"));
    EXPECT_EQ(FindShare(net.ShareEnum2(fx.server).entries, share), nullptr);
    // A share that is gone cannot be removed twice.
    EXPECT_NE(net.ShareDel(fx.server, share), 0u);
}

// ---------------------------------------------------------------- open files

TEST_F(ContractTest, FileClose_EndsTheHoldersAccessToThatFileOnly) {
    const std::string file = Env("NV_SMB_FILE");
    const std::string other = Env("NV_SMB_OTHER_FILE");
    const auto share = fx.root / "shares" / "docs";
    SmbClientSession holder(fx.host, Env("NV_SMB_SHARE1"), fx.user, fx.password);
    ASSERT_TRUE(holder.Ask("open " + file, "fnum 1")) << "smbclient could not open " << file;
    ASSERT_TRUE(holder.Ask("open " + other, "fnum 2")) << "smbclient could not open " << other;

    const auto path = WindowsPath(share / file);
    const auto otherPath = WindowsPath(share / other);
    auto open = AskUntil([&] { return net.FileEnum3(fx.server); },
                         [&](const auto& r) { return FindFile(r.entries, otherPath) != nullptr; });
    ASSERT_EQ(open.status, 0u);
    const auto* held = FindFile(open.entries, path);
    ASSERT_NE(held, nullptr) << path;
    EXPECT_EQ(held->username, fx.user);
    const auto id = held->id;

    EXPECT_EQ(net.FileClose(fx.server, id), 0u);
    // The server closes the file in the process that serves the holder,
    // after it has answered.
    open = AskUntil([&] { return net.FileEnum3(fx.server); },
                    [&](const auto& r) { return FindFile(r.entries, path) == nullptr; });
    EXPECT_EQ(FindFile(open.entries, path), nullptr);
    EXPECT_NE(FindFile(open.entries, otherPath), nullptr);

    const auto refused = holder.Ask("close 1", "close 1:");
    ASSERT_TRUE(refused) << "the holder could still close its handle";
    EXPECT_NE(refused->find("NT_STATUS_FILE_CLOSED"), std::string::npos) << *refused;
    const auto rest = holder.Finish("close 2\n");
    EXPECT_EQ(rest.find("close 2:"), std::string::npos) << rest;

    // Closing what is already closed is a failure.
    EXPECT_NE(net.FileClose(fx.server, id), 0u);
}
