// Clicks, expansions and the action button, and the host list's actions.
#include "tests/native/MainWindowFixture.h"

#include <set>

namespace {

class DispatchTest : public MainWindowTest {
protected:
    PVirtualNode Internet() { return w->Tree.GetFirst(); }
    std::vector<std::string> Hosts() { return Texts(Internet()); }
    void Press(PVirtualNode node) {
        ClickOn(node);
        w->ActionButtonClick();
    }
    void Close() { w->FormClose(); }
};

}  // namespace

// ---------------------------------------------------------------- clicks

TEST_F(DispatchTest, ClickOffersTheCaptionOfEveryAction) {
    Start();
    PVirtualNode node = Internet();
    const std::pair<TNodeAction, const char*> table[] = {
        {naDisconnectSession, "Disconnect Session"},
        {naCloseFile, "Close File Access"},
        {naRemoveShare, "Remove Share permanently"},
        {naAddHost, "Add node by IP/Hostname"},
        {naStartService, "Start service"},
        {naStopService, "Stop service"},
        {naUpdateTree, "Update tree"},
        {naRemoveHost, "Remove IP"},
    };
    for (const auto& [action, caption] : table) {
        Data(node).Action = action;
        ClickOn(node);
        EXPECT_EQ(form.actionCaption, caption);
        EXPECT_TRUE(form.actionPanelVisible);
    }
    // No action hides the panel; an unknown one shows it with the caption
    // it had; pressing either does nothing.
    Data(node).Action = naNone;
    ClickOn(node);
    EXPECT_FALSE(form.actionPanelVisible);
    Data(node).Action = 9;
    ClickOn(node);
    EXPECT_TRUE(form.actionPanelVisible);
    EXPECT_EQ(form.actionCaption, "Remove IP");
    w->ActionButtonClick();
    EXPECT_EQ(statusBar.text, "Network View 0.2.0:9");
    EXPECT_TRUE(form.queries.empty());
}

TEST_F(DispatchTest, KeyboardFocusShowsNothingAndAPressActsOnTheFocusedNode) {
    files.files[kIps] = "M\r\n";
    net.Machine("\\\\M").sessions = {{"\\\\PC7", "alice", 1, 10, 0, 0, "", ""}};
    Start();
    PVirtualNode sessions = Child(w->Tree.GetFirstChild(Internet()), "Sessions");
    w->Tree.Expand(sessions);
    ClickOn(Internet());
    const std::string infoBefore = form.infoText;

    // The arrow keys move the focus; the tree raises no click.
    w->Tree.SetFocusedNode(w->Tree.GetFirstChild(sessions));
    EXPECT_EQ(form.actionCaption, "Add node by IP/Hostname");
    EXPECT_EQ(form.infoText, infoBefore);

    w->ActionButtonClick();
    EXPECT_TRUE(form.queries.empty());
    const auto del = net.CallsOf("NetSessionDel");
    ASSERT_EQ(del.size(), 1u);
    EXPECT_EQ(del[0].args, std::vector<std::string>{"user=alice"});
    EXPECT_EQ(statusBar.text, "The operation completed successfully.\r\n");
}

TEST_F(DispatchTest, AfterUpdateTreeAPressDoesNothingUntilAClick) {
    net.Machine("").serverLists[""] = {"D"};
    Start();
    Press(Child(nullptr, "D"));
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 2u);
    EXPECT_EQ(form.actionCaption, "Update tree");
    EXPECT_TRUE(form.actionPanelVisible);
    w->ActionButtonClick();
    w->ActionButtonClick();
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 2u);
    Press(Child(nullptr, "D"));
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 3u);
}

// ---------------------------------------------------------------- expansions

// ---------------------------------------------------------------- host list

TEST_F(DispatchTest, AddHostAsksAndAppendsANewHostOnly) {
    files.files[kIps] = "server1\r\n";
    net.Machine("\\\\server1");
    net.Machine("\\\\server2").serverType = 0x3;
    Start();
    form.answers = {"SERVER1", "server2"};
    Press(Internet());
    ASSERT_EQ(form.queries.size(), 1u);
    EXPECT_EQ(form.queries[0].caption, "Add IP/Host");
    EXPECT_EQ(form.queries[0].prompt, "IP-number/Hostname:");
    EXPECT_EQ(form.queries[0].initial, "");
    EXPECT_EQ(w->HostList, TStringList{"server1"});
    EXPECT_EQ(Hosts(), std::vector<std::string>{"server1"});
    EXPECT_EQ(net.CallsOf("NetServerGetInfo").size(), 1u);

    Press(Internet());
    EXPECT_EQ(w->HostList, (TStringList{"server1", "server2"}));
    EXPECT_EQ(Hosts(), (std::vector<std::string>{"server1", "server2"}));
    PVirtualNode added = Child(Internet(), "server2");
    EXPECT_EQ(Data(added).Action, naRemoveHost);
    EXPECT_TRUE(Data(added).FromHostList);
    EXPECT_EQ(Data(added).Info, "Serverflags: Workstation\r\nServer\r\n");
    EXPECT_EQ(Texts(added), kCategories);
    EXPECT_EQ(net.CallsOf("NetServerGetInfo").back().server, "\\\\server2");

    Close();
    EXPECT_EQ(files.files[kIps], "server1\r\nserver2\r\n");
}

TEST_F(DispatchTest, EmptyOrCancelledAnswerAddsNothing) {
    Start();
    form.answers = {"", std::nullopt};
    Press(Internet());
    Press(Internet());
    EXPECT_EQ(form.queries.size(), 2u);
    EXPECT_TRUE(w->HostList.empty());
    EXPECT_EQ(w->Tree.ChildCount(Internet()), 0u);
    EXPECT_TRUE(net.CallsOf("NetServerGetInfo").empty());
    Close();
    EXPECT_EQ(files.files[kIps], "");
}

TEST_F(DispatchTest, RemoveIpTakesTheFirstMatchingEntryAndTheChosenNodeOnly) {
    files.files[kIps] = "a\r\ndup\r\nb\r\nDUP\r\n";
    net.Machine("\\\\dup");
    net.Machine("\\\\DUP");
    Start();
    PVirtualNode second = w->Tree.GetFirstChild(Internet());
    for (int i = 0; i < 3; ++i) second = w->Tree.GetNextSibling(second);
    ASSERT_EQ(Data(second).Text, "DUP");
    Press(second);
    EXPECT_EQ(w->HostList, (TStringList{"a", "b", "DUP"}));
    EXPECT_EQ(Hosts(), (std::vector<std::string>{"a", "dup", "b"}));
    EXPECT_EQ(Texts(Child(Internet(), "dup")), kCategories);
    // The removed node was focused; now nothing is.
    EXPECT_EQ(w->Tree.FocusedNode(), nullptr);
    w->ActionButtonClick();
    EXPECT_EQ(Hosts().size(), 3u);
}

TEST_F(DispatchTest, RemovingEveryHostLeavesAnEmptyFile) {
    files.files[kIps] = "a\r\nb\r\n";
    Start();
    Press(Child(Internet(), "b"));
    Press(Child(Internet(), "a"));
    EXPECT_TRUE(w->HostList.empty());
    EXPECT_EQ(w->Tree.ChildCount(Internet()), 0u);
    EXPECT_FALSE(w->Tree.HasChildren(Internet()));
    Close();
    EXPECT_EQ(files.files[kIps], "");
}

TEST_F(DispatchTest, RemoveIpFindsTheEntryOfANameCutTo200) {
    const std::string longName(250, 'h');
    files.files[kIps] = "keep\r\n" + longName + "\r\n";
    Start();
    PVirtualNode node = Child(Internet(), std::string(200, 'h'));
    Press(node);
    EXPECT_EQ(w->HostList, TStringList{"keep"});
    EXPECT_EQ(Hosts(), std::vector<std::string>{"keep"});
    Close();
    EXPECT_EQ(files.files[kIps], "keep\r\n");
}

// A host of 250 characters shows cut to 200, while every listing below it,
// one level further down and every action ask that machine by its whole name.
TEST_F(DispatchTest, EveryFillAndActionBelowALongHostGoesToItsWholeName) {
    const std::string name(250, 'L');
    const std::string server = "\\\\" + name;
    files.files[kIps] = name + "\r\n";
    auto& m = net.Machine(server);
    m.serverType = 0x1;
    m.disks = {"C:"};
    m.localGroups = {"Admins"};
    m.users.resize(1);
    m.users[0].name = "alice";
    m.localGroupsOf["alice"] = {"Admins"};
    m.shares = {{"Data", 0, "", 0, 1, 0, "C:\\Data", ""}};
    m.sessions = {{"\\\\PC7", "bob", 0, 1, 0, 0, "", ""}};
    m.files = {{7, 1, 0, "C:\\Data\\a.txt", "bob"}};
    services.Machine(server).Add("Svc", platform::kServiceStopped);
    Start();
    PVirtualNode host = w->Tree.GetFirstChild(Internet());
    EXPECT_EQ(Data(host).Text, std::string(200, 'L'));
    for (const auto& category : kCategories) w->Tree.Expand(Child(host, category));
    for (const char* category : {"Groups", "Users", "Shares", "Sessions", "Open Files"})
        ASSERT_EQ(w->Tree.ChildCount(Child(host, category)), 1u) << category;
    ASSERT_EQ(Texts(Child(host, "Services")), std::vector<std::string>{"Stopped"});
    w->Tree.Expand(w->Tree.GetFirstChild(Child(host, "Groups")));
    w->Tree.Expand(w->Tree.GetFirstChild(Child(host, "Users")));
    for (const char* category : {"Shares", "Sessions", "Open Files"})
        Press(w->Tree.GetFirstChild(Child(host, category)));
    Press(w->Tree.GetFirstChild(Child(Child(host, "Services"), "Stopped")));

    std::set<std::string> asked;
    for (const auto& call : net.calls) {
        if (call.function == "NetServerEnum") continue;  // the domains, from this machine
        asked.insert(call.function);
        EXPECT_EQ(call.server, server) << call.function;
    }
    EXPECT_EQ(asked, (std::set<std::string>{"NetServerGetInfo", "NetServerDiskEnum",
                                            "NetLocalGroupEnum", "NetUserEnum", "NetUserGetInfo",
                                            "NetUserGetGroups", "NetUserGetLocalGroups",
                                            "NetShareEnum", "NetSessionEnum", "NetFileEnum",
                                            "NetShareDel", "NetSessionDel", "NetFileClose"}));
    const auto managers = services.CallsOf("OpenSCManager");
    ASSERT_EQ(managers.size(), 2u);  // the listing, then the start
    for (const auto& call : managers) EXPECT_EQ(call.machine, server);
    EXPECT_EQ(services.CallsOf("StartService").size(), 1u);
    EXPECT_EQ(registry.CallsOf("ConnectRegistry").at(0).machine, server);
}
