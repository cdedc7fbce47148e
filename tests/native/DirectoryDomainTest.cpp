// The computer's own domain from its directory, where the browse list is
// gone: the domain node, its machines, and the directory's failures.
#include "tests/native/MainWindowFixture.h"

#include "tests/fakes/ScriptedDirectory.h"

namespace {

const std::string kCaption = "Network View 0.2.0:9";

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
    static platform::ComputerAccount Account(const std::string& name) {
        return {name, name + ".corp.example", "Windows 11 Pro"};
    }

    ScriptedDirectory dir;
};

}  // namespace

struct BrowseCase {
    const char* what;
    platform::NetStatus browseStatus;
    platform::NetStatus domainStatus;  // the locator's
    bool withDirectory;
    std::vector<std::string> roots;
    std::string flashed;  // empty: the caption stays, nothing flashes
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
    EXPECT_EQ(statusBar.text, c.flashed.empty() ? kCaption : c.flashed);
    EXPECT_EQ(w->FlashTimer.Enabled(), !c.flashed.empty());
    EXPECT_EQ(dir.domainCalls, c.domainCalls);
}

INSTANTIATE_TEST_SUITE_P(
    BrowseListAndDirectory, DirectoryAskedTest,
    ::testing::Values(
        BrowseCase{"browse list answers", 0, 0, true, {"Internet", "WORKGROUP"}, "", 0},
        BrowseCase{"directory answers", 6118, 0, true, {"Internet", "CORP"}, "", 1},
        BrowseCase{"both fail", 6118, 1355, true, {"Internet"}, " Error 6118", 1},
        BrowseCase{"no directory", 6118, 0, false, {"Internet"}, " Error 6118", 0}));

TEST_F(DirectoryDomainTest, DomainListsItsComputersSortedEachAskedAsABrowsedMachine) {
    dir.pages = {{Account("PC3"), Account("srv")}, {Account("pc1")}, {Account("PC2")}};
    net.Machine("\\\\PC3").serverType = 0x1003;
    net.Machine("\\\\srv").serverType = 0x3;
    net.Machine("\\\\pc1").serverType = 0x1;
    StartWithoutBrowseList();
    // A browsed domain's node, its machines left for the expansion.
    PVirtualNode corp = Child(nullptr, "CORP");
    EXPECT_EQ(Data(corp).Machine, "CORP");
    EXPECT_EQ(Data(corp).Kind, nkDomain);
    EXPECT_EQ(Data(corp).Action, naUpdateTree);
    EXPECT_TRUE(w->Tree.HasChildren(corp));
    EXPECT_TRUE(dir.listedControllers.empty());
    net.gatherCalls = 4;  // all four asked at once, side by side
    w->Tree.Expand(corp);

    EXPECT_TRUE(net.gatheredAll);
    EXPECT_EQ(dir.listedControllers, std::vector<std::string>{"dc1.corp.example"});
    EXPECT_EQ(Texts(corp), (std::vector<std::string>{"pc1", "PC2", "PC3", "srv"}));
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 1u);  // the domains alone
    PVirtualNode pc3 = Child(corp, "PC3");
    EXPECT_EQ(Data(pc3).Machine, "PC3");
    EXPECT_EQ(Data(pc3).Action, naNone);
    EXPECT_EQ(Data(pc3).Info, "Serverflags: Workstation\r\nServer\r\nNT\r\n");
    EXPECT_EQ(Texts(pc3), kCategories);
    PVirtualNode pc2 = Child(corp, "PC2");
    EXPECT_EQ(Data(pc2).Info, "Error 53 : The network path was not found.\r\n");
    EXPECT_EQ(w->Tree.ChildCount(pc2), 0u);
    EXPECT_FALSE(w->FlashTimer.Enabled());

    // Filled once, as a browsed domain is.
    w->Tree.Collapse(corp);
    w->Tree.Expand(corp);
    EXPECT_EQ(dir.listedControllers.size(), 1u);
}

struct FailureCase {
    const char* what;
    std::size_t failAfterPages;
    platform::NetStatus status;
    std::vector<std::string> machines;
    std::string flashed;
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
    EXPECT_EQ(statusBar.text, c.flashed);
    EXPECT_TRUE(w->FlashTimer.Enabled());
    EXPECT_EQ(Data(corp).Kind, nkNone);
}

INSTANTIATE_TEST_SUITE_P(
    Directory, DirectoryFailureTest,
    ::testing::Values(
        FailureCase{"bind refused", 0, 1326, {},
                    " Error 1326 : The user name or password is incorrect."},
        FailureCase{"unreachable midway", 1, 8250, {"A1", "B1"},
                    " Error 8250 : The server is not operational."}));

TEST_F(DirectoryDomainTest, UpdateTreeWithTheBrowseListBackListsTheDomainFromIt) {
    StartWithoutBrowseList();
    auto& local = net.Machine("");
    local.failWith.clear();
    local.serverLists[""] = {"CORP"};
    local.serverLists["CORP"] = {"OLDPC"};
    ClickOn(Child(nullptr, "CORP"));
    w->ActionButtonClick();  // "Update tree"
    PVirtualNode corp = Child(nullptr, "CORP");
    w->Tree.Expand(corp);
    EXPECT_EQ(Texts(corp), std::vector<std::string>{"OLDPC"});
    EXPECT_TRUE(dir.listedControllers.empty());
}
