// The Users, Groups and Disks categories of a machine in the main window,
// against a scripted network. The fake locale is one hour east of UTC with
// the formats "dd.MM.yyyy" and "HH:mm:ss".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <thread>

#include "tests/native/MainWindowFixture.h"

namespace {

// What an appending rendering writes into an empty text.
template <typename Append>
std::string Rendered(Append append) {
    std::string text;
    append(text);
    return text;
}

platform::UserInfo3 Account(const std::string& name, std::uint32_t flags = 0x0201) {
    platform::UserInfo3 u;
    u.name = name;
    u.full_name = name + " full";
    u.flags = flags;
    return u;
}

class UserFillsTest : public MainWindowTest {
protected:
    UserFillsTest() {
        net.Machine("");
        files.files[kIps] = "PC1\r\n";
        pc1.serverType = 0x1003;
    }
    void Start() {
        MainWindowTest::Start();
        host = w->Tree.GetFirstChild(w->Tree.GetFirst());
    }
    // Expands a node; CallsSince() counts the calls from here on.
    PVirtualNode Expand(PVirtualNode node) {
        callsBefore = net.calls.size();
        w->Tree.Expand(node);
        return node;
    }
    std::size_t CallsSince() const { return net.calls.size() - callsBefore; }

    ScriptedMachine& pc1 = net.Machine("\\\\PC1");
    PVirtualNode host = nullptr;
    std::size_t callsBefore = 0;
};

}  // namespace

TEST_F(UserFillsTest, RenderingsOfSetsPrivilegeBooleansAndDates) {
    using W = TMainWindow;
    EXPECT_EQ(Rendered([](auto& t) { W::AppendUserFlags(t, {ufAccountDisable, ufDontExpirePassword}); }),
              "AccountDisable DontExpirePassword ");
    EXPECT_EQ(Rendered([](auto& t) { W::AppendUserInfoFlags(t, {uifNormalAccount}); }),
              "NormalAccount ");
    EXPECT_EQ(Rendered([](auto& t) { W::AppendUserAuthFlags(t, {afOpComm, afOpAccounts}); }),
              "OpComm OpAccounts ");
    EXPECT_EQ(Rendered([](auto& t) { W::AppendUserFlags(t, {}); }), "");
    EXPECT_EQ(TMainWindow::UserPrivText(UserPrivFromNumber(3)), "Unknown");
    EXPECT_EQ(TMainWindow::UserPrivText(upUser), "User");
    EXPECT_EQ(TMainWindow::BoolText(true), "true");
    Start();
    EXPECT_EQ(Rendered([&](auto& t) { w->AppendDateTime(t, 0); }), "30.12.1899");
    // Written after what the text holds.
    EXPECT_EQ(Rendered([&](auto& t) {
                  t = "at ";
                  w->AppendDateTime(t, platform::EncodeDateTime({2026, 12, 8, 0, 0, 0, 1, 0}));
              }),
              "at 08.12.2026 00:00:01");
}

TEST_F(UserFillsTest, DetailTextOfAnAccountWithKnownValues) {
    platform::UserInfo3 u;
    u.name = "alice";
    u.full_name = "Alice Liddell";
    u.comment = "Reads a lot";
    u.usr_comment = "Through the glass";
    u.last_logon = 86400;
    u.last_logoff = 82800;  // midnight local
    u.acct_expires = 0xFFFFFFFF;
    u.password_age = 3600;
    u.auth_flags = 0x0003;
    u.primary_group_id = 513;
    u.user_id = 1001;
    u.home_dir = "\\\\FS\\alice";
    u.home_dir_drive = "H:";
    u.max_storage = 0xFFFFFFFF;
    u.script_path = "logon.cmd";
    u.profile = "C:\\Profiles\\alice";
    u.workstations = "PC1,PC2";
    u.flags = 0x0001 | 0x0200 | 0x10000 | 0x0002;
    u.priv = 2;
    pc1.users = {u};
    pc1.localGroupsOf["alice"] = {"Administrators", "Users"};
    pc1.globalGroupsOf["alice"] = {"None"};
    Start();
    PVirtualNode users = Expand(Child(host, "Users"));
    EXPECT_EQ(Data(Child(users, "alice")).Info,
              "Username: alice\r\n"
              "Fullname: Alice Liddell\r\n"
              "Comment: Reads a lot\r\n"
              "UsrComment: Through the glass\r\n"
              "Last logon: 02.01.1970 01:00:00\r\n"
              "Last logoff: 02.01.1970\r\n"
              "Account expires: 30.12.1899\r\n"
              "Password age: 3600\r\n"
              "Password expired: false\r\n"
              "Auth flags: OpPrint OpComm \r\n"
              "\r\n"
              "Local groups: Administrators Users \r\n"
              "Global groups: \r\n"
              "primary groud ID: 513\r\n"
              "RID: 1001\r\n"
              "\r\n"
              "Home dir: \\\\FS\\alice\r\n"
              "Home dir drive: H:\r\n"
              "max. Storage: -1\r\n"
              "Script path: logon.cmd\r\n"
              "Parms: \r\n"
              "Profil: C:\\Profiles\\alice\r\n"
              "Workstations: PC1,PC2\r\n"
              "Flags: AccountDisable DontExpirePassword \r\n"
              "Infoflags: Script NormalAccount \r\n"
              "Priv: Admin\r\n");
}

TEST_F(UserFillsTest, DisksAreLeavesAndGroupsMarkedNodesOnTheHostsMachine) {
    pc1.disks = {"A:", "C:", "D:"};
    pc1.localGroups = {"Administrators", "Users"};
    Start();
    PVirtualNode disks = Expand(Child(host, "Disks"));
    EXPECT_EQ(Texts(disks), (std::vector<std::string>{"A:", "C:", "D:"}));
    EXPECT_EQ(net.calls.back().server, "\\\\PC1");
    PVirtualNode c = Child(disks, "C:");
    EXPECT_FALSE(w->Tree.HasChildren(c));
    EXPECT_EQ(Data(c).Machine, "PC1");
    EXPECT_EQ(Data(c).Kind, nkNone);

    PVirtualNode groups = Expand(Child(host, "Groups"));
    EXPECT_EQ(Texts(groups), (std::vector<std::string>{"Administrators", "Users"}));
    PVirtualNode admins = Child(groups, "Administrators");
    EXPECT_TRUE(w->Tree.HasChildren(admins));
    EXPECT_EQ(Data(admins).Kind, nkGroup);
    EXPECT_EQ(Data(admins).Machine, "PC1");
    EXPECT_EQ(net.calls.back().function, "NetLocalGroupEnum");
}

TEST_F(UserFillsTest, UsersCostOneListingAndFourCallsPerAccountOnce) {
    pc1.users = {Account("Administrator"), Account("Guest", 0x0201 | 0x0002), Account("svc")};
    Start();
    PVirtualNode users = Expand(Child(host, "Users"));
    EXPECT_EQ(Texts(users), (std::vector<std::string>{"Administrator", "Guest", "svc"}));
    // Per account: global groups, local groups, level 20 (the full name),
    // level 3 (the user comment).
    EXPECT_EQ(CallsSince(), 1u + 4u * 3u);
    EXPECT_EQ(net.calls[callsBefore].args, (std::vector<std::string>{"level=0", "filter=2"}));
    PVirtualNode guest = Child(users, "Guest");
    EXPECT_TRUE(w->Tree.HasChildren(guest));
    EXPECT_EQ(Data(guest).Kind, nkUser);
    EXPECT_EQ(Data(guest).Machine, "PC1");
    EXPECT_EQ(Data(guest).Info.rfind("Username: Guest\r\nFullname: Guest full\r\n", 0), 0u);
    EXPECT_NE(Data(guest).Info.find("\r\nFlags: AccountDisable \r\n"), std::string::npos);

    w->Tree.Collapse(users);
    Expand(users);
    EXPECT_EQ(CallsSince(), 0u);
}

TEST_F(UserFillsTest, FailedDetailsKeepTheAccountsNodeWithoutDetailAndEndTheFill) {
    pc1.users = {Account("alice"), Account("bob"), Account("carol")};
    pc1.failFor["bob"]["NetUserGetInfo"] = 5;
    pc1.failFor["carol"]["NetUserGetInfo"] = 5;
    Start();
    PVirtualNode users = Expand(Child(host, "Users"));
    EXPECT_EQ(Texts(users), (std::vector<std::string>{"alice", "bob"}));
    EXPECT_NE(Data(Child(users, "alice")).Info, "");
    EXPECT_EQ(Data(Child(users, "bob")).Info, "");
    EXPECT_EQ(statusBar.text, " Error 5 : Access is denied.");
    EXPECT_EQ(form.cursor, crDefault);
}

TEST_F(UserFillsTest, GroupMembersAreFoundWhateverTheCaseWithProgressShown) {
    pc1.localGroups = {"administrators"};
    pc1.users = {Account("alice"), Account("bob"), Account("carol")};
    pc1.localGroupsOf["alice"] = {"Users", "Administrators"};
    pc1.localGroupsOf["bob"] = {"Users"};
    pc1.localGroupsOf["carol"] = {"ADMINISTRATORS"};
    Start();
    PVirtualNode group = Child(Expand(Child(host, "Groups")), "administrators");
    std::vector<std::string> shown;
    form.onProcessMessages = [&] { shown.push_back(statusBar.text); };
    Expand(group);
    EXPECT_EQ(Texts(group), (std::vector<std::string>{"alice", "carol"}));
    // Painted in order; texts that come quicker than they can be seen are
    // skipped, but never the first or the last.
    const std::vector<std::string> all{"Getting account details", "Creating user objects",
                                       "Got user #0", "Got user #1", "Got user #2",
                                       "Got user objects"};
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown.front(), all.front());
    EXPECT_EQ(shown.back(), all.back());
    auto at = all.begin();
    for (const auto& text : shown) {
        at = std::find(at, all.end(), text);
        EXPECT_NE(at, all.end()) << text << " out of order";
    }
    EXPECT_EQ(statusBar.text, "Got user objects");
    // The listing, each account's local groups, and two group lists for
    // each member's detail text; the values came with the listing.
    EXPECT_EQ(CallsSince(), 1u + 3u + 2u * 2u);
    PVirtualNode carol = Child(group, "carol");
    EXPECT_FALSE(w->Tree.HasChildren(carol));
    EXPECT_EQ(Data(carol).Machine, "PC1");
    EXPECT_EQ(Data(carol).Info.rfind("Username: carol\r\nFullname: carol full\r\n", 0), 0u);
}

TEST_F(UserFillsTest, FailedMemberListingKeepsTheMembersFoundSoFar) {
    pc1.localGroups = {"Users"};
    pc1.users = {Account("alice"), Account("bob")};
    pc1.localGroupsOf["alice"] = {"Users"};
    pc1.failFor["bob"]["NetUserGetLocalGroups"] = 53;
    Start();
    PVirtualNode group = Child(Expand(Child(host, "Groups")), "Users");
    Expand(group);
    EXPECT_EQ(Texts(group), std::vector<std::string>{"alice"});
    EXPECT_EQ(statusBar.text, " Error 53 : The network path was not found.");
}

TEST_F(UserFillsTest, UserNodeListsItsLocalGroups) {
    pc1.users = {Account("alice")};
    pc1.localGroupsOf["alice"] = {"Administrators", "Users"};
    Start();
    PVirtualNode alice = Expand(Child(Expand(Child(host, "Users")), "alice"));
    EXPECT_EQ(Texts(alice), (std::vector<std::string>{"Administrators", "Users"}));
    EXPECT_EQ(CallsSince(), 1u);
    EXPECT_EQ(net.calls.back().args.at(0), "user=alice");
    EXPECT_FALSE(w->Tree.HasChildren(Child(alice, "Users")));
    EXPECT_EQ(Data(Child(alice, "Users")).Machine, "PC1");
}

// Accounts whose logons fall on many different days: each detail text shows
// its own account's date, however many dates the listing has seen before.
TEST_F(UserFillsTest, EveryAccountShowsItsOwnLogonDateAmongManyDays) {
    using namespace std::chrono;
    const sys_days first = 2024y / January / 1;
    for (int i = 0; i < 300; ++i) {
        auto u = Account("u" + std::to_string(i));
        const auto day = first + days{i};
        u.last_logon = static_cast<std::uint32_t>(
            duration_cast<seconds>(day.time_since_epoch()).count() + 12 * 3600 + i);
        pc1.users.push_back(u);
    }
    Start();
    PVirtualNode users = Expand(Child(host, "Users"));
    ASSERT_EQ(w->Tree.ChildCount(users), 300u);
    int i = 0;
    for (auto* n = w->Tree.GetFirstChild(users); n; n = w->Tree.GetNextSibling(n), ++i) {
        const year_month_day date{first + days{i}};
        char expected[64];
        std::snprintf(expected, sizeof expected, "\r\nLast logon: %02u.%02u.%04d 13:%02d:%02d\r\n",
                      static_cast<unsigned>(date.day()), static_cast<unsigned>(date.month()),
                      static_cast<int>(date.year()), i / 60, i % 60);
        EXPECT_NE(Data(n).Info.find(expected), std::string::npos) << i << Data(n).Info;
        EXPECT_NE(Data(n).Info.find("\r\nLast logoff: 30.12.1899\r\n"), std::string::npos);
    }
}

namespace {

using FailRules = std::map<std::string, std::map<std::string, platform::NetStatus>>;

// A fill of the machine PC1, whose accounts are amy, ben, cat, dan, eve and
// fay; amy, cat, dan and fay are members of its local group "Staff".
struct AccountsCase {
    const char* name;
    bool members;  // the members of "Staff", else the Users category
    FailRules failFor;
    std::map<std::string, platform::NetStatus> failWith;
    std::vector<std::string> nodes;
    std::vector<std::string> withoutDetails;
    std::string status;  // the status bar at the end
};

// What a fill gave, on a window and network of its own.
struct AccountsOutcome {
    std::vector<std::string> nodes;
    std::vector<std::string> details;
    std::string status;                    // the status bar at the end
    std::vector<std::string> statusTexts;  // every text it showed meanwhile, in order
    std::map<std::string, std::vector<std::string>> callsOf;  // by account, in order
};

// Side by side, every call takes 10 ms: the first account keeps the window
// long enough that the others are asked side by side.
AccountsOutcome FillAccounts(const AccountsCase& c, std::size_t threads) {
    FakeWindowHost host;
    ScriptedNetwork net;
    net.Machine("");
    ScriptedMachine& pc1 = net.Machine("\\\\PC1");
    pc1.serverType = 0x1003;
    pc1.localGroups = {"Staff"};
    for (const char* name : {"amy", "ben", "cat", "dan", "eve", "fay"}) {
        pc1.users.push_back(Account(name));
        pc1.users.back().last_logon = 86400 * static_cast<std::uint32_t>(pc1.users.size());
        pc1.globalGroupsOf[name] = {"Domain Users", std::string(name) + " team"};
        const bool staff = std::string("amy cat dan fay").find(name) != std::string::npos;
        pc1.localGroupsOf[name] = staff ? std::vector<std::string>{"Users", "STAFF"}
                                        : std::vector<std::string>{"Users"};
    }
    pc1.failFor.insert(c.failFor.begin(), c.failFor.end());
    pc1.failWith = c.failWith;
    if (threads > 0) pc1.delay = std::chrono::milliseconds(10);
    auto w = host.StartWindow(net, "PC1\r\n");
    w->AccountQueryThreads = threads;
    PVirtualNode category = w->Tree.GetFirstChild(w->Tree.GetFirstChild(w->Tree.GetFirst()));
    while (TNetTree::GetNodeData(category).Text != (c.members ? "Groups" : "Users"))
        category = w->Tree.GetNextSibling(category);
    PVirtualNode parent = category;
    if (c.members) {
        w->Tree.Expand(category);
        parent = w->Tree.GetFirstChild(category);
    }
    const std::size_t callsBefore = net.calls.size();
    host.statusBar.text = "as before";
    host.statusBar.texts.clear();
    w->Tree.Expand(parent);

    AccountsOutcome out;
    for (auto* n = w->Tree.GetFirstChild(parent); n; n = w->Tree.GetNextSibling(n)) {
        out.nodes.push_back(TNetTree::GetNodeData(n).Text);
        out.details.push_back(TNetTree::GetNodeData(n).Info);
    }
    out.status = host.statusBar.text;
    out.statusTexts = host.statusBar.texts;
    for (std::size_t i = callsBefore; i < net.calls.size(); ++i) {
        const NetCall& call = net.calls[i];
        if (call.args.empty() || call.args[0].rfind("user=", 0) != 0) continue;
        std::string text = call.function;
        for (const auto& arg : call.args) text += " " + arg;
        out.callsOf[call.args[0].substr(5)].push_back(text);
    }
    return out;
}

// Each text of shown is one of all, in the order of all.
bool InOrderOf(const std::vector<std::string>& shown, const std::vector<std::string>& all) {
    auto at = all.begin();
    for (const auto& text : shown)
        if ((at = std::find(at, all.end(), text)) == all.end()) return false;
    return true;
}

}  // namespace

// Asked one after the other or side by side, the accounts give the same
// nodes, detail texts and status bar messages, whichever of them fail: the
// first failure in the listing's order ends the fill there.
TEST(UserFillsSideBySideTest, SameNodesTextsAndMessagesAsAskingOneByOne) {
    const std::string denied = " Error 5 : Access is denied.";
    const std::string noPath = " Error 53 : The network path was not found.";
    const std::vector<std::string> all{"amy", "ben", "cat", "dan", "eve", "fay"};
    const std::vector<AccountsCase> cases{
        {"users, all answer", false, {}, {}, all, {}, "as before"},
        {"users, one account's information fails midway", false,
         {{"cat", {{"NetUserGetInfo", 5}}}}, {}, {"amy", "ben", "cat"}, {"cat"}, denied},
        {"users, two fail: the first ends the fill", false,
         {{"ben", {{"NetUserGetGroups", 53}}}, {"eve", {{"NetUserGetLocalGroups", 5}}}}, {},
         {"amy", "ben"}, {"ben"}, noPath},
        {"users, the first account fails", false, {{"amy", {{"NetUserGetGroups", 5}}}}, {},
         {"amy"}, {"amy"}, denied},
        {"users, the listing fails", false, {}, {{"NetUserEnum", 5}}, {}, {}, denied},
        {"members, all answer", true, {}, {}, {"amy", "cat", "dan", "fay"}, {},
         "Got user objects"},
        {"members, a member's details fail", true, {{"cat", {{"NetUserGetGroups", 5}}}}, {},
         {"amy", "cat"}, {"cat"}, denied},
        {"members, an account's groups fail midway, a later one's too", true,
         {{"ben", {{"NetUserGetLocalGroups", 53}}}, {"dan", {{"NetUserGetLocalGroups", 5}}}},
         {}, {"amy"}, {}, noPath},
        {"members, the listing fails", true, {}, {{"NetUserEnum", 5}}, {}, {}, denied},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const AccountsOutcome oneByOne = FillAccounts(c, 0);
        const AccountsOutcome sideBySide = FillAccounts(c, TMainWindow::kQueryThreads);
        std::vector<std::string> messages{"Getting account details", "Creating user objects"};
        for (int i = 0; i < 6; ++i) messages.push_back("Got user #" + std::to_string(i));
        messages.insert(messages.end(), {"Got user objects", c.status});
        for (const AccountsOutcome* o : {&oneByOne, &sideBySide}) {
            EXPECT_EQ(o->nodes, c.nodes);
            for (std::size_t i = 0; i < o->nodes.size(); ++i) {
                const bool without = std::count(c.withoutDetails.begin(), c.withoutDetails.end(),
                                                o->nodes[i]) != 0;
                EXPECT_EQ(o->details[i].empty(), without) << o->nodes[i];
                if (!without) {
                    EXPECT_EQ(o->details[i].rfind("Username: " + o->nodes[i] + "\r\n", 0), 0u);
                }
            }
            EXPECT_EQ(o->status, c.status);
            EXPECT_TRUE(InOrderOf(o->statusTexts, c.members ? messages
                                                             : std::vector{c.status}));
        }
        EXPECT_EQ(sideBySide.details, oneByOne.details);
        // The accounts that got a node were asked the same calls in the same
        // order, each through its own object.
        for (const auto& node : c.nodes)
            EXPECT_EQ(sideBySide.callsOf.at(node), oneByOne.callsOf.at(node)) << node;
    }
}

// While the accounts of a slow machine are asked, the window handles its
// messages, and input that would start another fill is refused.
TEST_F(UserFillsTest, WindowAnswersWhileAccountsAreAskedAndRefusesAnotherFill) {
    for (const char* name : {"amy", "ben", "cat", "dan", "eve", "fay"})
        pc1.users.push_back(Account(name));
    pc1.disks = {"C:"};
    pc1.delay = std::chrono::milliseconds(10);
    Start();
    PVirtualNode disks = Child(host, "Disks");
    int pumps = 0;
    form.onProcessMessages = [&] {
        ++pumps;
        w->Tree.Expand(disks);
        w->Tree.SetFocusedNode(w->Tree.GetFirst());
        w->ActionButtonClick();
    };
    net.maxInFlight = 0;
    PVirtualNode users = Expand(Child(host, "Users"));
    EXPECT_EQ(Texts(users), (std::vector<std::string>{"amy", "ben", "cat", "dan", "eve", "fay"}));
    EXPECT_GT(net.maxInFlight, 1);
    EXPECT_GT(pumps, 0);
    EXPECT_EQ(w->Tree.ChildCount(disks), 0u);
    EXPECT_EQ(Data(disks).Kind, nkDisks);
    EXPECT_TRUE(form.queries.empty());  // "Add IP/Host" was not asked
    EXPECT_EQ(form.cursor, crDefault);
}

// Accounts that answer at once are asked on the window's thread: no other
// thread is waited for, and the window is not asked to handle its messages.
TEST_F(UserFillsTest, AccountsThatAnswerAtOnceAreAskedOnTheWindowsThread) {
    pc1.users = {Account("amy"), Account("ben")};
    Start();
    const auto window = std::this_thread::get_id();
    bool elsewhere = false;
    net.onCall = [&](const NetCall&) { elsewhere |= std::this_thread::get_id() != window; };
    form.processMessagesCalls = 0;
    Expand(Child(host, "Users"));
    EXPECT_FALSE(elsewhere);
    EXPECT_EQ(form.processMessagesCalls, 0);
}
