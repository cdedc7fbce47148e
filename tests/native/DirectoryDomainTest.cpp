// The computer's own domain from its directory, where the browse list is
// gone: the domain node, its machines, and the directory's failures.
#include "tests/native/MainWindowFixture.h"

#include "tests/fakes/ScriptedDirectory.h"

namespace {

class DirectoryDomainTest : public MainWindowTest {
protected:
    DirectoryDomainTest() {
        directory = &dir;
        dir.membership = {0, "CORP", "corp.example", "dc1.corp.example"};
        messages.systemTable[1326] = "The user name or password is incorrect.\r\n";
        messages.systemTable[8250] = "The server is not operational.\r\n";
    }
    void StartWithoutBrowseList() {
        net.Machine("").failWith["NetServerEnum"] = 6118;
        Start();
    }

    ScriptedDirectory dir;
};

platform::ComputerAccount Account(const std::string& name) {
    return {name, name + ".corp.example", "Windows 11 Pro"};
}

}  // namespace

TEST_F(DirectoryDomainTest, BrowseListFailingAndDirectoryAnsweringGiveTheDomainWithoutAFlash) {
    files.files[kIps] = "hostA\r\n";
    StartWithoutBrowseList();
    EXPECT_EQ(RootTexts(), (std::vector<std::string>{"Internet", "CORP"}));
    EXPECT_EQ(Texts(w->Tree.GetFirst()), std::vector<std::string>{"hostA"});
    // The node is a browsed domain's node.
    PVirtualNode corp = Child(nullptr, "CORP");
    EXPECT_TRUE(w->Tree.HasChildren(corp));
    EXPECT_EQ(w->Tree.ChildCount(corp), 0u);
    const auto& d = Data(corp);
    EXPECT_EQ(d.Machine, "CORP");
    EXPECT_EQ(d.Kind, nkDomain);
    EXPECT_EQ(d.Action, naUpdateTree);
    EXPECT_FALSE(d.FromHostList);
    EXPECT_FALSE(d.Refill);
    EXPECT_EQ(d.Info, "");
    EXPECT_EQ(statusBar.text, "Network View 0.2.0:9");
    EXPECT_FALSE(w->FlashTimer.Enabled());
    EXPECT_EQ(w->Tree.FocusedNode(), nullptr);
    EXPECT_TRUE(dir.listedControllers.empty());  // machines wait for the expansion
}

struct BrowseCase {
    const char* what;
    platform::NetStatus browseStatus;
    platform::NetStatus domainStatus;
    bool withDirectory;
    std::vector<std::string> roots;
    std::string statusText;  // empty: the caption stays, nothing flashes
    int domainCalls;
};

class DirectoryAskedTest : public DirectoryDomainTest,
                           public ::testing::WithParamInterface<BrowseCase> {};

TEST_P(DirectoryAskedTest, OnlyWhenTheBrowseListFails) {
    const BrowseCase& c = GetParam();
    net.Machine("").serverLists[""] = {"WORKGROUP"};
    if (c.browseStatus != 0) net.Machine("").failWith["NetServerEnum"] = c.browseStatus;
    dir.membership.status = c.domainStatus;
    if (!c.withDirectory) directory = nullptr;
    Start();
    EXPECT_EQ(RootTexts(), c.roots);
    EXPECT_EQ(statusBar.text, c.statusText.empty() ? "Network View 0.2.0:9" : c.statusText);
    EXPECT_EQ(w->FlashTimer.Enabled(), !c.statusText.empty());
    EXPECT_EQ(dir.domainCalls, c.domainCalls);
}

INSTANTIATE_TEST_SUITE_P(
    BrowseListAndDirectory, DirectoryAskedTest,
    ::testing::Values(
        BrowseCase{"browse list answers", 0, 0, true, {"Internet", "WORKGROUP"}, "", 0},
        BrowseCase{"both fail", 6118, 1355, true, {"Internet"}, " Error 6118", 1},
        BrowseCase{"no directory", 6118, 0, false, {"Internet"}, " Error 6118", 0},
        BrowseCase{"access denied, no domain", 5, 1355, true, {"Internet"},
                   " Error 5 : Access is denied.", 1}));

TEST_F(DirectoryDomainTest, DomainListsItsComputersSortedEachAskedAsABrowsedMachine) {
    dir.pages = {{Account("PC3"), Account("srv")}, {Account("pc1")}, {Account("PC2")}};
    net.Machine("\\\\PC3").serverType = 0x1003;
    net.Machine("\\\\srv").serverType = 0x3;
    net.Machine("\\\\pc1").serverType = 0x1;
    StartWithoutBrowseList();
    net.gatherCalls = 4;  // all four asked at once, side by side
    PVirtualNode corp = Child(nullptr, "CORP");
    w->Tree.Expand(corp);

    EXPECT_TRUE(net.gatheredAll);
    EXPECT_EQ(dir.listedControllers, std::vector<std::string>{"dc1.corp.example"});
    EXPECT_EQ(Texts(corp), (std::vector<std::string>{"pc1", "PC2", "PC3", "srv"}));
    // Only the domains were asked of the browse list.
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 1u);
    const auto asked = net.CallsOf("NetServerGetInfo");
    ASSERT_EQ(asked.size(), 4u);
    PVirtualNode pc3 = Child(corp, "PC3");
    EXPECT_EQ(Data(pc3).Machine, "PC3");
    EXPECT_FALSE(Data(pc3).FromHostList);
    EXPECT_EQ(Data(pc3).Action, naNone);
    EXPECT_EQ(Data(pc3).Info, "Serverflags: Workstation\r\nServer\r\nNT\r\n");
    EXPECT_EQ(Texts(pc3), kCategories);
    PVirtualNode pc2 = Child(corp, "PC2");
    EXPECT_EQ(Data(pc2).Info, "Error 53 : The network path was not found.\r\n");
    EXPECT_EQ(w->Tree.ChildCount(pc2), 0u);
    EXPECT_FALSE(w->FlashTimer.Enabled());

    // Filled once, as a browsed domain.
    EXPECT_EQ(Data(corp).Kind, nkNone);
    w->Tree.Collapse(corp);
    w->Tree.Expand(corp);
    EXPECT_EQ(dir.listedControllers.size(), 1u);
    EXPECT_EQ(w->Tree.ChildCount(corp), 4u);
}

struct FailureCase {
    const char* what;
    std::size_t failAfterPages;
    platform::NetStatus status;
    std::vector<std::string> machines;
    std::string statusText;
};

class DirectoryFailureTest : public DirectoryDomainTest,
                             public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DirectoryFailureTest, KeepsTheMachinesReadAndFlashesTheMessage) {
    const FailureCase& c = GetParam();
    dir.pages = {{Account("B1"), Account("A1")}, {Account("B2"), Account("A2")}, {Account("C")}};
    dir.failWith = c.status;
    dir.failAfterPages = c.failAfterPages;
    StartWithoutBrowseList();
    PVirtualNode corp = Child(nullptr, "CORP");
    w->Tree.Expand(corp);
    EXPECT_EQ(Texts(corp), c.machines);
    EXPECT_EQ(statusBar.text, c.statusText);
    EXPECT_TRUE(w->FlashTimer.Enabled());
    EXPECT_EQ(Data(corp).Kind, nkNone);
    EXPECT_EQ(form.cursor, crDefault);
}

INSTANTIATE_TEST_SUITE_P(
    Directory, DirectoryFailureTest,
    ::testing::Values(
        FailureCase{"bind refused", 0, 1326, {},
                    " Error 1326 : The user name or password is incorrect."},
        FailureCase{"second page fails", 1, 8250, {"A1", "B1"},
                    " Error 8250 : The server is not operational."},
        FailureCase{"last page fails", 2, 1460, {"A1", "A2", "B1", "B2"}, " Error 1460"}));

TEST_F(DirectoryDomainTest, UpdateTreeWithTheBrowseListBackListsTheDomainFromIt) {
    StartWithoutBrowseList();
    auto& local = net.Machine("");
    local.failWith.clear();
    local.serverLists[""] = {"CORP"};
    local.serverLists["CORP"] = {"OLDPC"};
    PVirtualNode corp = Child(nullptr, "CORP");
    ClickOn(corp);
    w->ActionButtonClick();  // "Update tree"
    corp = Child(nullptr, "CORP");
    w->Tree.Expand(corp);
    EXPECT_EQ(Texts(corp), std::vector<std::string>{"OLDPC"});
    EXPECT_TRUE(dir.listedControllers.empty());
}

TEST(DirectorySeam, LdapResultsReadAsTheSystemsCodes) {
    const std::pair<int, platform::NetStatus> table[] = {
        {0x00, 0},       // success
        {0x31, 1326},    // invalid credentials: the user name or password is incorrect
        {0x32, 5},       // insufficient access: access is denied
        {0x51, 8250},    // server down: the server is not operational
        {0x5B, 8250},    // cannot connect
        {0x55, 1460},    // timeout
        {0x50, 8341},    // no nearer code: a directory service error
        {-1, 8341},
    };
    for (const auto& [ldap, status] : table)
        EXPECT_EQ(platform::DirectoryStatusOfLdapResult(ldap), status) << ldap;
}

TEST(DirectorySeam, NamesOfAccountsAndControllers) {
    const std::pair<std::string, std::string> accounts[] = {
        {"PC01$", "PC01"}, {"PC01", "PC01"}, {"$", ""}, {"", ""}, {"A$$", "A$"}};
    for (const auto& [account, name] : accounts)
        EXPECT_EQ(platform::ComputerNameOfAccount(account), name) << account;
    const std::pair<std::string, std::string> controllers[] = {
        {"\\\\dc1.corp.example", "dc1.corp.example"}, {"dc1", "dc1"}, {"\\\\", ""}, {"", ""}};
    for (const auto& [given, name] : controllers)
        EXPECT_EQ(platform::WithoutLeadingBackslashes(given), name) << given;
}
