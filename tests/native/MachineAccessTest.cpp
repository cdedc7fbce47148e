// Connecting as another user when a machine refuses the program's account:
// the question, the logon dialog, the connection, the one repeat of the fill
// or action, and the connections ended at close.
#include "tests/native/MainWindowFixture.h"

namespace {

const std::string kQuestion = "Access to \\\\M was refused. Connect as another user?";
const std::string kBadLogon = "Error 1326 : The user name or password is incorrect.\r\n";
using Prompt = FakeForm::LogonPrompt;
using Account = FakeForm::Account;

class MachineAccessTest : public MainWindowTest {
protected:
    MachineAccessTest() {
        files.files[kIps] = "M\r\nN\r\n";
        messages.systemTable[1326] = "The user name or password is incorrect.\r\n";
        for (const char* name : {"\\\\M", "\\\\N"}) {
            ScriptedMachine& m = net.Machine(name);
            m.serverType = 0x1003;
            m.shares = {{"Data", 0, "", 0, 0, 0, "C:\\Data", ""}};
            m.localGroups = {"Administrators"};
            m.accounts = {{"LAB\\ada", "right"}};
        }
    }
    PVirtualNode Host(const std::string& name) { return Child(w->Tree.GetFirst(), name); }
    PVirtualNode Expanded(const std::string& host, const std::string& category) {
        PVirtualNode node = Child(Host(host), category);
        w->Tree.Expand(node);
        return node;
    }
    void Press(PVirtualNode node) {
        ClickOn(node);
        w->ActionButtonClick();
    }
    // The connection calls, one line each: "function remote user= password=".
    std::vector<std::string> Connections() {
        std::vector<std::string> out;
        for (const auto& call : net.calls) {
            if (call.function.rfind("WNet", 0) != 0) continue;
            std::string line = call.function + " " + call.server;
            for (const auto& arg : call.args) line += " " + arg;
            out.push_back(line);
        }
        return out;
    }
    const std::string connectAda = "WNetAddConnection2 \\\\M\\IPC$ user=LAB\\ada password=";
};

}  // namespace

TEST_F(MachineAccessTest, RefusedListingAsksConnectsAndListsOnce) {
    struct Case {
        const char* what;
        platform::NetStatus refusal;  // of NetShareEnum while not connected
        platform::NetStatus alsoConnected;  // of NetShareEnum after connecting
        std::deque<bool> yesNo;
        std::deque<std::optional<Account>> logons;
        std::vector<Prompt> prompts;
        std::vector<std::string> passwords;  // one connection each
        std::vector<std::string> shares;
        std::string status;  // "" for the text the bar had before
    } const cases[] = {
        {"yes, the right account", 5, 0, {true}, {Account{"LAB\\ada", "right"}},
         {{"M", "", ""}}, {"right"}, {"Data = C:\\Data"}, ""},
        {"a wrong password asks again with its message and the name", 1326, 0, {true},
         {Account{"LAB\\ada", "wrong"}, Account{"LAB\\ada", "right"}},
         {{"M", "", ""}, {"M", "LAB\\ada", kBadLogon}}, {"wrong", "right"},
         {"Data = C:\\Data"}, ""},
        {"no", 5, 0, {false}, {}, {}, {}, {}, " Error 5 : Access is denied."},
        {"cancel in the logon dialog", 1909, 0, {true}, {std::nullopt}, {{"M", "", ""}}, {}, {},
         " Error 1909"},
        {"a wrong password, then cancel", 1331, 0, {true},
         {Account{"LAB\\ada", "wrong"}, std::nullopt},
         {{"M", "", ""}, {"M", "LAB\\ada", kBadLogon}}, {"wrong"}, {}, " Error 1331"},
        {"the connected account refused too: no second question", 5, 5, {true, true},
         {Account{"LAB\\ada", "right"}}, {{"M", "", ""}}, {"right"}, {},
         " Error 5 : Access is denied."},
        {"no refusal: no question", 53, 0, {true}, {}, {}, {}, {},
         " Error 53 : The network path was not found."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        net.calls.clear();
        net.Machine("\\\\M").connectedAs.clear();
        net.Machine("\\\\M").refusedUnconnected = {{"NetShareEnum", c.refusal}};
        net.Machine("\\\\M").failWith = {{"NetShareEnum", c.alsoConnected}};
        form.questions.clear();
        form.logonPrompts.clear();
        form.yesNo = c.yesNo;
        form.logons = c.logons;
        Start();
        const std::string before = statusBar.text;

        PVirtualNode shares = Expanded("M", "Shares");
        const bool asks = c.refusal != 53;
        EXPECT_EQ(form.questions, asks ? std::vector<std::string>{kQuestion}
                                       : std::vector<std::string>{});
        EXPECT_EQ(form.logonPrompts, c.prompts);
        std::vector<std::string> expected;
        for (const auto& password : c.passwords) expected.push_back(connectAda + password);
        EXPECT_EQ(Connections(), expected);
        EXPECT_EQ(Texts(shares), c.shares);
        EXPECT_EQ(statusBar.text, c.status.empty() ? before : c.status);
        const bool connected = !c.shares.empty() || c.alsoConnected != 0;
        EXPECT_EQ(net.CallsOf("NetShareEnum").size(), connected ? 2u : 1u);
        EXPECT_EQ(Data(shares).Kind, nkNone);
        EXPECT_TRUE(form.logons.empty());
    }
}

TEST_F(MachineAccessTest, DeclinedMachineIsNotAskedAgainUntilUpdateTree) {
    net.Machine("").serverLists[""] = {"D"};
    net.Machine("\\\\M").refusedUnconnected = {{"NetShareEnum", 5}, {"NetLocalGroupEnum", 5}};
    net.Machine("\\\\N").refusedUnconnected = {{"NetLocalGroupEnum", 5}};
    form.yesNo = {false, false, false};
    Start();
    Expanded("M", "Shares");
    Expanded("M", "Groups");
    EXPECT_EQ(statusBar.text, " Error 5 : Access is denied.");
    // Another machine is asked about on its own.
    Expanded("N", "Groups");
    EXPECT_EQ(form.questions,
              (std::vector<std::string>{kQuestion,
                                        "Access to \\\\N was refused. Connect as another user?"}));

    Press(Child(nullptr, "D"));  // "Update tree"
    Expanded("M", "Groups");
    EXPECT_EQ(form.questions.size(), 3u);
    EXPECT_EQ(form.questions.back(), kQuestion);
    EXPECT_TRUE(Connections().empty());
}

TEST_F(MachineAccessTest, RefusedActionIsRepeatedOnceConnected) {
    net.Machine("\\\\M").refusedUnconnected = {{"NetShareDel", 5}};
    form.yesNo = {true};
    form.logons = {Account{"LAB\\ada", "right"}};
    Start();
    PVirtualNode share = w->Tree.GetFirstChild(Expanded("M", "Shares"));
    std::vector<std::string> shown;
    net.onCall = [&](const NetCall& call) {
        if (call.function == "NetShareDel") shown.push_back(statusBar.text);
    };
    Press(share);
    // The refused status shows before the question, as it would without it.
    EXPECT_EQ(shown, (std::vector<std::string>{shown.at(0), "Access is denied.\r\n"}));
    EXPECT_EQ(form.questions, std::vector<std::string>{kQuestion});
    EXPECT_EQ(Connections(), std::vector<std::string>{connectAda + "right"});
    EXPECT_EQ(statusBar.text, "The operation completed successfully.\r\n");
    EXPECT_TRUE(net.Machine("\\\\M").shares.empty());
}

TEST_F(MachineAccessTest, RefusedServiceActionAsksAboutTheServicesMachine) {
    services.Machine("\\\\M").Add("Spooler", platform::kServiceStopped);
    form.yesNo = {true};
    form.logons = {Account{"LAB\\ada", "right"}};
    Start();
    PVirtualNode stopped = w->Tree.GetFirstChild(Expanded("M", "Services"));
    services.Machine("\\\\M").openError = 5;
    Press(w->Tree.GetFirstChild(stopped));
    EXPECT_EQ(form.questions, std::vector<std::string>{kQuestion});
    EXPECT_EQ(Connections(), std::vector<std::string>{connectAda + "right"});
    // The scripted service manager knows no connections: the repeat is
    // refused too, and told as before.
    EXPECT_EQ(form.errors,
              (std::vector<std::string>{"Error: OpenSCManager", "Error: OpenSCManager"}));
}

TEST_F(MachineAccessTest, ClosingEndsEveryConnectionMadeAndNoOther) {
    for (const char* name : {"\\\\M", "\\\\N"})
        net.Machine(name).refusedUnconnected = {{"NetShareEnum", 5}, {"NetLocalGroupEnum", 5}};
    // M refuses its groups to the first account it lets in.
    net.Machine("\\\\M").accounts["LAB\\bob"] = "other";
    form.yesNo = {true, true, true};
    form.logons = {Account{"LAB\\ada", "right"}, Account{"LAB\\ada", "right"},
                   Account{"LAB\\bob", "other"}};
    Start();
    Expanded("M", "Shares");
    Expanded("N", "Shares");
    net.Machine("\\\\M").failWith = {{"NetLocalGroupEnum", 5}};
    Expanded("M", "Groups");
    net.Machine("\\\\M").failWith.clear();
    net.Machine("\\\\M").refusedUnconnected.clear();
    Expanded("M", "Disks");  // no refusal: no connection
    EXPECT_EQ(form.logonPrompts.back(), (Prompt{"M", "LAB\\ada", ""}));
    net.calls.clear();
    w->FormClose();
    EXPECT_EQ(Connections(), (std::vector<std::string>{"WNetCancelConnection2 \\\\N\\IPC$",
                                                       "WNetCancelConnection2 \\\\M\\IPC$"}));
    // Neither an account nor a password goes into a file.
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{{kIps, "M\r\nN\r\n"}}));
}

TEST(SecretTest, WipeZerosTheBytesAndAMoveLeavesNothingBehind) {
    platform::Secret secret("Analytical");
    const char* bytes = secret.CStr();
    platform::Secret moved(std::move(secret));
    EXPECT_TRUE(secret.Empty());
    EXPECT_EQ(moved.View(), "Analytical");
    EXPECT_EQ(moved.CStr(), bytes);  // the one buffer, not a copy
    moved.Wipe();
    EXPECT_TRUE(moved.Empty());
    EXPECT_EQ(std::string(bytes, 11), std::string(11, '\0'));
}
