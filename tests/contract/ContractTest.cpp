// The program's components and the network management seam against a real,
// independent SMB server: the private Samba server that smb-fixture.sh starts.
// Where these tests and the native suite's scripted network disagree, the
// scripted network is wrong.
#include <algorithm>
#include <string>

#include "tests/contract/ContractFixture.h"
#include "tests/contract/SmbClient.h"

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
    EXPECT_EQ(w->Tree.ChildCount(node), 7u);
    ClickOn(node);
    const auto& info = form.infoText;
    EXPECT_EQ(info, TMainWindow::ServerFlagsText(types));
    for (auto line : {"Serverflags: Workstation\r\n", "Server\r\n", "NT\r\n", "ServerNT\r\n"})
        EXPECT_NE(info.find(line), std::string::npos) << line << " missing from:\n" << info;
    // Linux has no browse list to ask for domains: the window says so in its
    // status bar and still shows the server.
    EXPECT_EQ(statusBar.text.rfind(" Error 50", 0), 0u) << statusBar.text;
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
    EXPECT_EQ(w->Tree.ChildCount(node), 0u);
}

TEST_F(ContractTest, Seam_ReleasesEachBufferBeforeTheCallReturns) {
    const auto freedBy = [](auto call) {
        const int before = BuffersFreed();
        const auto status = call();
        EXPECT_EQ(status, 0u);
        return BuffersFreed() - before;
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

TEST_F(ContractTest, Seam_OwnsLibnetapisContextAlone) {
    // libnetapi has one context per process; a second owner would free it
    // under the first.
    EXPECT_THROW(platform::NetApiSamba(fx.user, fx.password), std::runtime_error);
    EXPECT_EQ(net.ServerGetInfo101(fx.server).status, 0u);
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
    // libnetapi cannot name the account's local group of the server's own
    // domain: the SID it finds maps to no name (1332, ERROR_NONE_MAPPED).
    // The seam passes that on as a failure, so that the account does not
    // seem to belong to nothing.
    const auto local = net.UserGetLocalGroups0(fx.server, fx.member);
    EXPECT_EQ(local.status, 1332u);
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
        EXPECT_EQ(s->path, WindowsPath(fx.shares / e.folder));
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
    const auto folder = fx.shares / share;
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
    const auto share = fx.shares / "docs";
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
