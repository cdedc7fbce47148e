// The main window as a user meets it: a real window under a real message
// loop, with the real Win32 seam or a scripted network behind it.
#include "tests/win32/MainFormFixture.h"

#include <chrono>

TEST_F(MainFormTest, StartsWithTheWaitPanelAndShowsTheTree300msLater) {
    const std::string computer = LocalComputerName();
    WriteIps(computer + "\r\n");
    const auto start = std::chrono::steady_clock::now();
    Open();
    EXPECT_EQ(WindowText(form_->Handle()), "Network View 3.14.15:926");
    EXPECT_EQ(form_->Logic().StatusBar.SimpleText(), "Network View 3.14.15:926");
    EXPECT_TRUE(IsWindowVisible(form_->WaitPanel()));
    EXPECT_EQ(WindowText(form_->WaitLabel()), "\r\nFetching net infos...\r\n\r\nPlease wait.");
    EXPECT_FALSE(IsWindowVisible(Tree()));
    EXPECT_FALSE(IsWindowVisible(form_->InfoPanel()));
    EXPECT_FALSE(IsWindowVisible(form_->ActionPanel()));

    ASSERT_TRUE(WaitForTree());
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(250));
    EXPECT_FALSE(form_->Logic().StartupTimer.Enabled());

    EXPECT_EQ(ChildTexts(Tree(), nullptr).at(0), "Internet");
    HTREEITEM internet = TreeView_GetRoot(Tree());
    EXPECT_EQ(ChildTexts(Tree(), internet), std::vector<std::string>{computer});
    HTREEITEM host = TreeView_GetChild(Tree(), internet);
    EXPECT_EQ(ChildTexts(Tree(), host),
              (std::vector<std::string>{"Groups", "Users", "Services", "Disks", "Shares",
                                        "Sessions", "Open Files"}));
    EXPECT_EQ(TreeView_GetSelection(Tree()), nullptr);
    // The tree covers the wait panel.
    POINT inWaitPanel{100, 50};
    EXPECT_EQ(ChildWindowFromPointEx(form_->Handle(), inWaitPanel, CWP_SKIPINVISIBLE), Tree());
}

TEST_F(MainFormTest, ControlsSitAtTheirPlaces) {
    Open();
    RECT client;
    GetClientRect(form_->Handle(), &client);
    EXPECT_EQ(client.right, 562);
    EXPECT_EQ(client.bottom, 466);
    EXPECT_EQ(BoundsIn(form_->WaitPanel(), form_->Handle()), (TBounds{83, 32, 396, 69}));
    EXPECT_EQ(BoundsIn(form_->StatusBar(), form_->Handle()), (TBounds{0, 447, 562, 19}));
    EXPECT_EQ(BoundsIn(Tree(), form_->Handle()), (TBounds{0, 0, 562, 447}));

    form_->SetActionPanelVisible(true);
    form_->SetInfoPanelVisible(true);
    EXPECT_EQ(BoundsIn(form_->ActionPanel(), form_->Handle()), (TBounds{0, 413, 562, 34}));
    EXPECT_EQ(BoundsIn(form_->ActionButton(), form_->ActionPanel()), (TBounds{4, 3, 237, 29}));
    EXPECT_EQ(BoundsIn(form_->AboutButton(), form_->ActionPanel()), (TBounds{484, 7, 75, 21}));
    EXPECT_EQ(WindowText(form_->AboutButton()), "About");
    EXPECT_EQ(BoundsIn(form_->InfoPanel(), form_->Handle()), (TBounds{377, 0, 185, 413}));
    EXPECT_EQ(BoundsIn(form_->Splitter(), form_->Handle()), (TBounds{372, 0, 5, 413}));
    EXPECT_EQ(BoundsIn(Tree(), form_->Handle()), (TBounds{0, 0, 372, 413}));
    EXPECT_TRUE(IsWindowVisible(form_->Splitter()));
    // The wait panel lies below everything: where it meets the detail panel
    // and the splitter, they cover it.
    EXPECT_EQ(ChildWindowFromPointEx(form_->Handle(), POINT{400, 50}, CWP_SKIPINVISIBLE),
              form_->InfoPanel());
    EXPECT_EQ(ChildWindowFromPointEx(form_->Handle(), POINT{374, 50}, CWP_SKIPINVISIBLE),
              form_->Splitter());
    EXPECT_TRUE(GetWindowLongW(form_->InfoMemo(), GWL_STYLE) & ES_READONLY);
}

TEST_F(MainFormTest, FailedDomainListingFlashesRedAndWhiteThenTakesTheWindowColour) {
    // Under Wine the local machine cannot list domains (6118); on a network
    // that can, there is no failure to show.
    LPBYTE buffer = nullptr;
    DWORD read = 0, total = 0;
    const NET_API_STATUS status = NetServerEnum(nullptr, 100, &buffer, MAX_PREFERRED_LENGTH, &read,
                                                &total, SV_TYPE_DOMAIN_ENUM, nullptr, nullptr);
    if (buffer) NetApiBufferFree(buffer);
    if (status == 0) GTEST_SKIP() << "this machine lists its domains";

    Open();
    ASSERT_TRUE(WaitForTree());
    TMainWindow& logic = form_->Logic();
    std::string message = NetErrorMessage(os_.messages, status);
    message = message.substr(0, message.find('\r'));
    EXPECT_EQ(logic.StatusBar.SimpleText(), " " + message);
    EXPECT_TRUE(logic.FlashTimer.Enabled());

    // Drive the flashing tick by tick and read the bar back from the screen.
    logic.FlashTimer.SetEnabled(false);
    HWND bar = form_->StatusBar();
    RECT r;
    GetClientRect(bar, &r);
    const int x = r.right - 60, y = r.bottom / 2;  // clear of text and grip
    for (int tick = 0; tick < 10; ++tick) {
        logic.FlashTimerTick();
        const COLORREF expected = tick % 2 == 0 ? RGB(255, 0, 0) : RGB(255, 255, 255);
        EXPECT_EQ(WaitForPixel(bar, x, y, expected), expected) << "tick " << tick;
    }
    logic.FlashTimerTick();
    EXPECT_EQ(WaitForPixel(bar, x, y, RGB(255, 255, 255)), RGB(255, 255, 255));  // the window's colour
    EXPECT_TRUE(logic.StatusBar.ParentColor());
}

TEST_F(MainFormTest, ClicksShowDetailAndActionAsTheUserSeesThem) {
    ScriptedNetwork net;
    net.Machine("").serverLists[""] = {"CORP"};
    net.Machine("").serverLists["CORP"] = {"PC1"};
    net.Machine("\\\\PC1").serverType = 0x1003;
    net.Machine("\\\\hostA").serverType = 0x1;
    WriteIps("hostA\r\n");
    Open({.net = &net});
    ASSERT_TRUE(WaitForTree());
    HWND tree = Tree();
    EXPECT_EQ(ChildTexts(tree, nullptr), (std::vector<std::string>{"Internet", "CORP"}));

    HTREEITEM internet = FindItem(tree, nullptr, "Internet");
    ClickItem(tree, internet);
    EXPECT_TRUE(IsWindowVisible(form_->ActionPanel()));
    EXPECT_EQ(WindowText(form_->ActionButton()), "Add node by IP/Hostname");
    EXPECT_FALSE(IsWindowVisible(form_->InfoPanel()));

    // Expanding by the button lists the domain's machines.
    HTREEITEM corp = FindItem(tree, nullptr, "CORP");
    ClickButtonOf(tree, corp);
    EXPECT_EQ(ChildTexts(tree, corp), std::vector<std::string>{"PC1"});
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 2u);

    ClickItem(tree, FindItem(tree, corp, "PC1"));
    EXPECT_FALSE(IsWindowVisible(form_->ActionPanel()));
    EXPECT_TRUE(IsWindowVisible(form_->InfoPanel()));
    EXPECT_EQ(WindowText(form_->InfoMemo()), "Serverflags: Workstation\r\nServer\r\nNT\r\n");
    SaveScreenshot(L"machine-clicked");

    // Collapsing and expanding again does not list the domain again.
    ClickButtonOf(tree, corp);
    ClickButtonOf(tree, corp);
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 2u);
    EXPECT_EQ(ChildTexts(tree, corp), std::vector<std::string>{"PC1"});

    // "Update tree" on the domain rebuilds the tree; nothing is focused after.
    ClickItem(tree, corp);
    EXPECT_EQ(WindowText(form_->ActionButton()), "Update tree");
    RECT button;
    GetClientRect(form_->ActionButton(), &button);
    XClickAt(form_->ActionButton(), button.right / 2, button.bottom / 2);
    EXPECT_EQ(net.CallsOf("NetServerEnum").size(), 3u);
    EXPECT_EQ(TreeView_GetSelection(tree), nullptr);
    EXPECT_EQ(ChildTexts(tree, FindItem(tree, nullptr, "CORP")), std::vector<std::string>{});
}

TEST_F(MainFormTest, ClosingWhileAFillLetsMessagesRunWaitsForTheFill) {
    ScriptedNetwork net;
    net.Machine("").serverLists[""] = {"CORP"};
    net.Machine("").serverLists["CORP"] = {"PC1"};
    Open({.net = &net});
    ASSERT_TRUE(WaitForTree());
    bool stillThere = false;
    net.onCall = [&](const NetCall& call) {
        if (call.function != "NetServerEnum") return;
        PostMessageW(form_->Handle(), WM_CLOSE, 0, 0);
        form_->ProcessMessages();
        stillThere = form_->Handle() != nullptr;
    };
    HWND tree = Tree();
    ClickButtonOf(tree, FindItem(tree, nullptr, "CORP"));
    net.onCall = nullptr;
    EXPECT_TRUE(stillThere);
    EXPECT_TRUE(PumpUntil([&] { return form_->Handle() == nullptr; }, 3000));
    EXPECT_EQ(ReadIps(), "");
}

TEST_F(MainFormTest, HourglassHoldsWhileBusy) {
    Open();
    form_->SetScreenCursor(crHourGlass);
    SendMessageW(Tree(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Tree()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    form_->SetScreenCursor(crDefault);
    SendMessageW(form_->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form_->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(MainFormTest, ClosingWritesTheHostListBack) {
    WriteIps("a\r\n\r\nb");  // the last line without a line break
    ScriptedNetwork net;
    net.Machine("");
    Open({.net = &net});
    ASSERT_TRUE(WaitForTree());
    EXPECT_EQ(ChildTexts(Tree(), TreeView_GetRoot(Tree())), (std::vector<std::string>{"a", "", "b"}));
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(ReadIps(), "a\r\n\r\nb\r\n");
}

TEST_F(MainFormTest, StartingWithoutTheFileAndClosingLeavesAnEmptyFile) {
    ScriptedNetwork net;
    net.Machine("");
    Open({.net = &net});
    ASSERT_TRUE(WaitForTree());
    EXPECT_EQ(ChildTexts(Tree(), nullptr), std::vector<std::string>{"Internet"});
    TVITEMW tvi{};
    tvi.mask = TVIF_CHILDREN;
    tvi.hItem = TreeView_GetRoot(Tree());
    TreeView_GetItem(Tree(), &tvi);
    EXPECT_EQ(tvi.cChildren, 0);  // no expand button
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(ReadIps(), "");
}

// ---------------------------------------------------------------- Users, Groups, Disks

namespace {

// The names of an enumeration as the system itself answers it (none when
// it fails).
template <typename Record, typename Call, typename Name>
std::vector<std::string> SystemNames(Call call, Name name, NET_API_STATUS& status) {
    LPBYTE raw = nullptr;
    DWORD read = 0, total = 0;
    std::vector<std::string> names;
    status = call(&raw, &read, &total);
    for (DWORD i = 0; status == NERR_Success && i < read; ++i)
        names.push_back(name(reinterpret_cast<const Record*>(raw)[i]));
    if (raw != nullptr) NetApiBufferFree(raw);
    return names;
}

// The text the status bar control holds; in simple mode the control answers
// for part 0 with its simple text.
std::string StatusText(HWND bar) {
    wchar_t buffer[512] = {};
    if (LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, 0, 0)) >= 512) return "<too long>";
    SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(buffer));
    return Narrow(buffer);
}

// Expands an item by its button as a user does, and waits (bounded) until
// its one fill has run and, when it has children, they show.
void Expand(HWND tree, HTREEITEM item) {
    const auto& data = TNetTree::GetNodeData(TTreeViewBinding::NodeOf(tree, item));
    ClickButtonOf(tree, item);
    PumpUntil(
        [&] {
            return data.Kind == nkNone &&
                   (TreeView_GetChild(tree, item) == nullptr ||
                    (TreeView_GetItemState(tree, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0);
        },
        5000);
}

// Clicks an item and waits (bounded) until the tree view has selected it,
// which it does after it reported the click.
void Click(HWND tree, HTREEITEM item) {
    ClickItem(tree, item);
    PumpUntil([&] { return TreeView_GetSelection(tree) == item; }, 5000);
}

}  // namespace

TEST_F(MainFormTest, UsersGroupsAndDisksOfThisMachineFillOrShowTheFailure) {
    const std::string computer = LocalComputerName();
    const std::wstring self = L"\\\\" + Wide(computer);
    WriteIps(computer + "\r\n");
    Open();
    ASSERT_TRUE(WaitForTree());
    HWND tree = Tree();
    TMainWindow& logic = form_->Logic();
    const auto failureShown = [&](NET_API_STATUS status) {
        const std::string message = NetErrorMessage(os_.messages, status);
        return StatusText(form_->StatusBar()) == " " + message.substr(0, message.find('\r')) &&
               logic.FlashTimer.Enabled();
    };
    HTREEITEM internet = TreeView_GetRoot(tree);
    Expand(tree, internet);
    HTREEITEM host = FindItem(tree, internet, computer);
    ASSERT_NE(host, nullptr);
    Expand(tree, host);

    // Users: the normal accounts in the system's order, each with its
    // details, up to the first account whose details the machine refuses
    // (Wine answers NetUserGetGroups with 124); that one's node stays,
    // without details.
    NET_API_STATUS status = 0;
    const auto accounts = SystemNames<USER_INFO_0>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return NetUserEnum(self.c_str(), 0, FILTER_NORMAL_ACCOUNT, data, MAX_PREFERRED_LENGTH,
                               read, total, nullptr);
        },
        [](const USER_INFO_0& u) { return Narrow(u.usri0_name); }, status);
    ASSERT_FALSE(accounts.empty());
    HTREEITEM users = FindItem(tree, host, "Users");
    Expand(tree, users);
    const std::vector<std::string> shown = ChildTexts(tree, users);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown, std::vector<std::string>(accounts.begin(), accounts.begin() + shown.size()));
    SystemNames<GROUP_USERS_INFO_0>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return NetUserGetGroups(self.c_str(), Wide(shown.back()).c_str(), 0, data,
                                    MAX_PREFERRED_LENGTH, read, total);
        },
        [](const GROUP_USERS_INFO_0& g) { return Narrow(g.grui0_name); }, status);
    if (status != NERR_Success) {
        EXPECT_TRUE(failureShown(status)) << logic.StatusBar.SimpleText();
    }
    HTREEITEM account = FindItem(tree, users, shown.back());
    Click(tree, account);
    EXPECT_EQ(IsWindowVisible(form_->InfoPanel()) != FALSE, status == NERR_Success);
    EXPECT_FALSE(logic.FlashTimer.Enabled());  // the click stopped the flash

    // The account's local groups (Wine knows these).
    const auto memberships = SystemNames<LOCALGROUP_USERS_INFO_0>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return NetUserGetLocalGroups(self.c_str(), Wide(shown.back()).c_str(), 0, 0, data,
                                         MAX_PREFERRED_LENGTH, read, total);
        },
        [](const LOCALGROUP_USERS_INFO_0& g) { return Narrow(g.lgrui0_name); }, status);
    Expand(tree, account);
    EXPECT_EQ(ChildTexts(tree, account), memberships);

    // Groups: the local groups as the system lists them.
    const auto localGroups = SystemNames<LOCALGROUP_INFO_0>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return NetLocalGroupEnum(self.c_str(), 0, data, MAX_PREFERRED_LENGTH, read, total,
                                     nullptr);
        },
        [](const LOCALGROUP_INFO_0& g) { return Narrow(g.lgrpi0_name); }, status);
    HTREEITEM groups = FindItem(tree, host, "Groups");
    Expand(tree, groups);
    EXPECT_EQ(ChildTexts(tree, groups), localGroups);

    // Disks: the drives, or the failure (Wine answers 6118) and no children.
    const auto drives = SystemNames<wchar_t[3]>(
        [&](LPBYTE* data, DWORD* read, DWORD* total) {
            return NetServerDiskEnum(const_cast<LPWSTR>(self.c_str()), 0, data,
                                     MAX_PREFERRED_LENGTH, read, total, nullptr);
        },
        [](const wchar_t (&slot)[3]) { return Narrow(std::wstring(slot, 2)); }, status);
    HTREEITEM disks = FindItem(tree, host, "Disks");
    Expand(tree, disks);
    EXPECT_EQ(ChildTexts(tree, disks), drives);
    if (status != NERR_Success) {
        EXPECT_TRUE(failureShown(status)) << logic.StatusBar.SimpleText();
    }
    SaveScreenshot(L"users-groups-disks");

    // The window goes on: a click shows the machine's own details.
    Click(tree, host);
    EXPECT_TRUE(IsWindowVisible(form_->InfoPanel()));
    EXPECT_EQ(WindowText(form_->InfoMemo()).rfind("Serverflags: ", 0), 0u);
}

TEST_F(MainFormTest, GroupMembersShowProgressAndTheirDetailsInTheRealWindow) {
    ScriptedNetwork net;
    net.Machine("");
    auto& pc1 = net.Machine("\\\\PC1");
    pc1.serverType = 0x1003;
    pc1.localGroups = {"Administrators"};
    platform::UserInfo3 alice;
    alice.name = "alice";
    alice.full_name = "Alice Liddell";
    alice.last_logon = 1700000000;
    alice.acct_expires = 0xFFFFFFFF;
    pc1.users = {alice};
    pc1.localGroupsOf["alice"] = {"administrators", "Users"};
    WriteIps("PC1\r\n");
    Open({.net = &net});
    ASSERT_TRUE(WaitForTree());
    HWND tree = Tree();
    Expand(tree, TreeView_GetRoot(tree));
    HTREEITEM host = FindItem(tree, TreeView_GetRoot(tree), "PC1");
    Expand(tree, host);
    HTREEITEM groups = FindItem(tree, host, "Groups");
    Expand(tree, groups);

    // The progress reaches the status bar while the listing runs.
    std::vector<std::string> shown;
    net.onCall = [&](const NetCall&) { shown.push_back(StatusText(form_->StatusBar())); };
    HTREEITEM admins = FindItem(tree, groups, "Administrators");
    Expand(tree, admins);
    net.onCall = nullptr;
    EXPECT_EQ(shown.front(), "Getting account details");
    EXPECT_EQ(shown.back(), "Got user objects");
    ASSERT_EQ(ChildTexts(tree, admins), std::vector<std::string>{"alice"});

    Click(tree, FindItem(tree, admins, "alice"));
    const std::string detail = WindowText(form_->InfoMemo());
    EXPECT_EQ(detail.rfind("Username: alice\r\nFullname: Alice Liddell\r\n", 0), 0u);
    // "Never" is 30 December 1899 in the user's short date format.
    const std::string never = os_.locale.ShortDateText({1899, 12, 30, 6, 0, 0, 0, 0});
    EXPECT_NE(detail.find("\r\nAccount expires: " + never + "\r\n"), std::string::npos);
    SaveScreenshot(L"group-member-detail");
}
