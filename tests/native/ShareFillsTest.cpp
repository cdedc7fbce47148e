// Shares, sessions and open files of a machine: the listings, the texts of
// their nodes, and the actions on them.
#include "tests/native/MainWindowFixture.h"

namespace {

class ShareFillsTest : public MainWindowTest {
protected:
    ShareFillsTest() { files.files[kIps] = "M\r\n"; }

    ScriptedMachine& M() { return net.Machine("\\\\M"); }
    PVirtualNode Host() { return w->Tree.GetFirstChild(w->Tree.GetFirst()); }
    PVirtualNode Category(const std::string& text) { return Child(Host(), text); }
    PVirtualNode Expanded(const std::string& text) {
        PVirtualNode c = Category(text);
        w->Tree.Expand(c);
        return c;
    }
    void Reexpand(PVirtualNode node) {
        w->Tree.Collapse(node);
        w->Tree.Expand(node);
    }
    void Press(PVirtualNode node) {
        ClickOn(node);
        w->ActionButtonClick();
    }
};

platform::ShareInfo2 AdminShare() {
    return {"C$", 0x80000000, "Default share", 0, 0xFFFFFFFF, 2, "C:\\", ""};
}

platform::SessionInfo502 Session(const std::string& user, const std::string& client,
                                 std::uint32_t opens) {
    return {client, user, opens, 3600, 42, 0x1, "Windows 10 Enterprise 19045", "\\Device\\NetBT"};
}

}  // namespace

TEST_F(ShareFillsTest, ShareNodesCarryTheirNameAndEightDetailLines) {
    M().shares = {{"Data", 0, "team files", 0x7F, 10, 3, "C:\\Data", "secret"}, AdminShare()};
    Start();
    PVirtualNode shares = Expanded("Shares");
    EXPECT_EQ(Texts(shares), (std::vector<std::string>{"Data = C:\\Data", "C$ = C:\\"}));

    const auto& admin = Data(Child(shares, "C$ = C:\\"));
    EXPECT_EQ(admin.Info,
              "Netname: C$\r\n"
              "Type: 00000000000000000000000080000000\r\n"
              "Remark: Default share\r\n"
              "Permissions: 00000000000000000000000000000000\r\n"
              "max. Uses: -1\r\n"
              "cur. Uses: 2\r\n"
              "Path: C:\\\r\n"
              "Password: ");
    EXPECT_EQ(admin.Share, "C$");
    EXPECT_EQ(admin.Action, naRemoveShare);
    EXPECT_EQ(admin.Machine, "M");
    EXPECT_EQ(admin.Kind, nkNone);
    EXPECT_FALSE(w->Tree.HasChildren(Child(shares, "C$ = C:\\")));

    const auto& data = Data(Child(shares, "Data = C:\\Data"));
    EXPECT_EQ(data.Info,
              "Netname: Data\r\nType: 00000000000000000000000000000000\r\nRemark: team files\r\n"
              "Permissions: 0000000000000000000000000000007F\r\nmax. Uses: 10\r\n"
              "cur. Uses: 3\r\nPath: C:\\Data\r\nPassword: secret");

    const auto calls = net.CallsOf("NetShareEnum");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].server, "\\\\M");
    EXPECT_EQ(calls[0].args, std::vector<std::string>{"level=2"});
}

TEST_F(ShareFillsTest, SessionNodesCarryTheUserAndEightDetailLines) {
    M().sessions = {Session("alice", "\\\\PC7", 3), Session("bob", "\\\\PC8", 0)};
    M().sessions[1].idle_time = 0xFFFFFFFE;
    Start();
    PVirtualNode sessions = Expanded("Sessions");
    EXPECT_EQ(Texts(sessions), (std::vector<std::string>{"alice (3)", "bob (0)"}));
    const auto& alice = Data(Child(sessions, "alice (3)"));
    EXPECT_EQ(alice.Info,
              "CName: \\\\PC7\r\n"
              "Username: alice\r\n"
              "num opens: 3\r\n"
              "Time: 3600\r\n"
              "Idle time: 42\r\n"
              "User flags: 00000000000000000000000000000001\r\n"
              "CLType name: Windows 10 Enterprise 19045\r\n"
              "Transport: \\Device\\NetBT");
    EXPECT_EQ(alice.Session, "alice");
    EXPECT_EQ(alice.Action, naDisconnectSession);
    EXPECT_EQ(alice.Machine, "M");
    EXPECT_NE(Data(Child(sessions, "bob (0)")).Info.find("\r\nIdle time: -2\r\n"),
              std::string::npos);

    const auto calls = net.CallsOf("NetSessionEnum");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].server, "\\\\M");
    EXPECT_EQ(calls[0].args, std::vector<std::string>{"level=502"});
}

TEST_F(ShareFillsTest, OpenFileNodesCarryTheIdAndFiveDetailLines) {
    M().files = {{0x80000001, 0x3, 2, "C:\\Data\\plan.xlsx", "alice"}};
    Start();
    PVirtualNode open = Expanded("Open Files");
    EXPECT_EQ(Texts(open), std::vector<std::string>{"C:\\Data\\plan.xlsx (alice)"});
    const auto& file = Data(w->Tree.GetFirstChild(open));
    EXPECT_EQ(file.Info,
              "File-ID: -2147483647\r\n"
              "Permissions: 00000000000000000000000000000003\r\n"
              "Num of Locks: 2\r\n"
              "Pathname: C:\\Data\\plan.xlsx\r\n"
              "Username: alice");
    EXPECT_EQ(file.OpenFile, 0x80000001u);
    EXPECT_EQ(file.Action, naCloseFile);
    EXPECT_EQ(file.Machine, "M");

    const auto calls = net.CallsOf("NetFileEnum");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].server, "\\\\M");
    EXPECT_EQ(calls[0].args, std::vector<std::string>{"level=3"});
}

TEST_F(ShareFillsTest, NodeTextsAreCutWhileTheKeptNameStaysWhole) {
    const std::string path = "C:\\" + std::string(250, 'p');
    M().shares = {{"S", 0, "", 0, 0, 0, path, ""}};
    M().sessions = {Session(std::string(230, 'u'), "\\\\PC", 1)};
    Start();
    const auto& share = Data(w->Tree.GetFirstChild(Expanded("Shares")));
    EXPECT_EQ(share.Text, ("S = " + path).substr(0, 200));
    EXPECT_NE(share.Info.find("Path: " + path), std::string::npos);
    const auto& session = Data(w->Tree.GetFirstChild(Expanded("Sessions")));
    EXPECT_EQ(session.Text, std::string(200, 'u'));
    EXPECT_EQ(session.Session, std::string(230, 'u'));
}

TEST_F(ShareFillsTest, SharesAreListedOnceAndSessionsAndFilesAtEveryExpansion) {
    M().shares = {AdminShare()};
    M().sessions = {Session("alice", "\\\\PC7", 1)};
    M().files = {{7, 1, 0, "C:\\a.txt", "alice"}};
    Start();
    PVirtualNode shares = Expanded("Shares");
    PVirtualNode sessions = Expanded("Sessions");
    PVirtualNode open = Expanded("Open Files");
    EXPECT_EQ(Data(shares).Kind, nkNone);
    EXPECT_EQ(Data(sessions).Kind, nkSessions);
    EXPECT_EQ(Data(open).Kind, nkOpenFiles);

    M().shares.push_back({"New", 0, "", 0, 0, 0, "D:\\", ""});
    M().sessions = {Session("bob", "\\\\PC8", 2), Session("carol", "\\\\PC9", 0)};
    M().files = {{8, 1, 0, "C:\\b.txt", "bob"}};
    Reexpand(shares);
    Reexpand(sessions);
    Reexpand(open);

    EXPECT_EQ(net.CallsOf("NetShareEnum").size(), 1u);
    EXPECT_EQ(Texts(shares), std::vector<std::string>{"C$ = C:\\"});
    EXPECT_EQ(net.CallsOf("NetSessionEnum").size(), 2u);
    EXPECT_EQ(Texts(sessions), (std::vector<std::string>{"bob (2)", "carol (0)"}));
    EXPECT_EQ(net.CallsOf("NetFileEnum").size(), 2u);
    EXPECT_EQ(Texts(open), std::vector<std::string>{"C:\\b.txt (bob)"});
}

TEST_F(ShareFillsTest, FailedShareListingIsToldAndNotAskedAgain) {
    M().failWith["NetShareEnum"] = 5;
    Start();
    PVirtualNode shares = Expanded("Shares");
    EXPECT_EQ(statusBar.text, " Error 5 : Access is denied.");
    EXPECT_TRUE(w->FlashTimer.Enabled());
    EXPECT_EQ(w->Tree.ChildCount(shares), 0u);
    EXPECT_EQ(form.cursor, crDefault);
    Reexpand(shares);
    EXPECT_EQ(net.CallsOf("NetShareEnum").size(), 1u);
}

TEST_F(ShareFillsTest, FailedSessionAndFileListingsAreToldAndAskedAgain) {
    M().sessions = {Session("alice", "\\\\PC7", 1)};
    M().files = {{7, 1, 0, "C:\\a.txt", "alice"}};
    Start();
    PVirtualNode sessions = Expanded("Sessions");
    PVirtualNode open = Expanded("Open Files");
    ASSERT_EQ(w->Tree.ChildCount(sessions), 1u);

    // The earlier listing goes, and the category stays empty: a failure
    // must not look like a machine without sessions.
    M().failWith["NetSessionEnum"] = 5;
    M().failWith["NetFileEnum"] = 234;
    Reexpand(sessions);
    EXPECT_EQ(statusBar.text, " Error 5 : Access is denied.");
    EXPECT_EQ(w->Tree.ChildCount(sessions), 0u);
    Reexpand(open);
    EXPECT_EQ(statusBar.text, " Error 234 : More data is available.");
    EXPECT_EQ(w->Tree.ChildCount(open), 0u);

    M().failWith.clear();
    Reexpand(sessions);
    EXPECT_EQ(Texts(sessions), std::vector<std::string>{"alice (1)"});
    EXPECT_EQ(net.CallsOf("NetSessionEnum").size(), 3u);
}

TEST_F(ShareFillsTest, RemovingAShareReportsTheResultAndKeepsTheNode) {
    M().shares = {AdminShare()};
    Start();
    PVirtualNode share = w->Tree.GetFirstChild(Expanded("Shares"));
    ClickOn(share);
    EXPECT_EQ(form.actionCaption, "Remove Share permanently");
    w->ActionButtonClick();
    const auto del = net.CallsOf("NetShareDel");
    ASSERT_EQ(del.size(), 1u);
    EXPECT_EQ(del[0].server, "\\\\M");
    EXPECT_EQ(del[0].args, std::vector<std::string>{"netname=C$"});
    EXPECT_EQ(statusBar.text, "The operation completed successfully.\r\n");
    EXPECT_FALSE(w->FlashTimer.Enabled());
    EXPECT_TRUE(M().shares.empty());

    // The node still offers the removal; a second press reports the failure
    // (a status without text by its number).
    ClickOn(Host());
    Press(share);
    EXPECT_EQ(form.actionCaption, "Remove Share permanently");
    EXPECT_EQ(net.CallsOf("NetShareDel").size(), 2u);
    EXPECT_EQ(statusBar.text, "Error 2310");
    EXPECT_FALSE(w->FlashTimer.Enabled());
}

TEST_F(ShareFillsTest, DisconnectingEndsEverySessionOfTheUser) {
    M().sessions = {Session("alice", "\\\\PC7", 1), Session("bob", "\\\\PC8", 0),
                    Session("alice", "\\\\PC9", 2)};
    Start();
    PVirtualNode sessions = Expanded("Sessions");
    Press(Child(sessions, "alice (2)"));
    EXPECT_EQ(form.actionCaption, "Disconnect Session");
    const auto del = net.CallsOf("NetSessionDel");
    ASSERT_EQ(del.size(), 1u);
    EXPECT_EQ(del[0].server, "\\\\M");
    EXPECT_EQ(del[0].args, std::vector<std::string>{"user=alice"});
    EXPECT_EQ(statusBar.text, "The operation completed successfully.\r\n");
    // The tree shows the sessions of the moment at the next expansion only.
    EXPECT_EQ(w->Tree.ChildCount(sessions), 3u);
    Reexpand(sessions);
    EXPECT_EQ(Texts(sessions), std::vector<std::string>{"bob (0)"});
}

TEST_F(ShareFillsTest, ClosingAFileTwiceReportsTheSecondStatus) {
    M().files = {{7, 1, 0, "C:\\a.txt", "alice"}};
    messages.netmsgTable[2314] = "There is not an open file with that identification number.\r\n";
    Start();
    PVirtualNode file = w->Tree.GetFirstChild(Expanded("Open Files"));
    Press(file);
    EXPECT_EQ(form.actionCaption, "Close File Access");
    EXPECT_EQ(statusBar.text, "The operation completed successfully.\r\n");
    w->ActionButtonClick();
    const auto closes = net.CallsOf("NetFileClose");
    ASSERT_EQ(closes.size(), 2u);
    EXPECT_EQ(closes[1].server, "\\\\M");
    EXPECT_EQ(closes[1].args, std::vector<std::string>{"id=7"});
    EXPECT_EQ(statusBar.text, "There is not an open file with that identification number.\r\n");
    EXPECT_EQ(Data(file).Action, naCloseFile);
}
