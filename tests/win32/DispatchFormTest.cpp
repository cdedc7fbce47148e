// The action button, the "Add IP/Host" dialog and the categories of a real
// machine, driven by real mouse and keyboard input.
#include "tests/win32/MainFormFixture.h"

#include "app/win32/resource.h"
#include "netinfo/NetError.h"

namespace {

class DispatchFormTest : public MainFormTest {
protected:
    // The window on the scripted network, with the tree shown and "Internet"
    // expanded.
    void OpenScripted(const std::string& ips) {
        net_.Machine("");
        WriteIps(ips);
        Open({.net = &net_});
        ASSERT_TRUE(WaitForTree());
        HTREEITEM internet = TreeView_GetRoot(Tree());
        if (TreeView_GetChild(Tree(), internet)) ClickButtonOf(Tree(), internet);
    }
    HTREEITEM Internet() { return TreeView_GetRoot(Tree()); }
    void PressAction(Where where = Where::current()) { XClickCenter(form_->ActionButton(), where); }

    ScriptedNetwork net_;
};

}  // namespace

TEST_F(DispatchFormTest, AddHostDialogTakesTypedTextAndEnter) {
    net_.Machine("\\\\host-b").serverType = 0x1003;
    OpenScripted("");
    ClickItem(Tree(), Internet());
    ASSERT_EQ(WindowText(form_->ActionButton()), "Add node by IP/Hostname");

    std::string prompt;
    bool editFocused = false;
    ModalDriver dialog(
        L"#32770", L"Add IP/Host",
        {[&](HWND window) {
             prompt = WindowText(GetDlgItem(window, IDC_INPUT_PROMPT));
             editFocused = GetFocus() == GetDlgItem(window, IDC_INPUT_VALUE);
             return true;
         },
         // No click into the dialog: the keys go where the focus is.
         TypeInto(IDC_INPUT_VALUE, L"host-b", L"host-b"),
         [](HWND) {
             SaveScreenshot(L"add-host-dialog");
             return true;
         },
         Press(L"Return")});
    PressAction();
    ASSERT_EQ(dialog.Shown(), 1);
    EXPECT_FALSE(dialog.LeftOpen()) << "steps done: " << dialog.StepsDone();
    EXPECT_EQ(prompt, "IP-number/Hostname:");
    EXPECT_TRUE(editFocused);

    EXPECT_EQ(ChildTexts(Tree(), Internet()), std::vector<std::string>{"host-b"});
    EXPECT_EQ(form_->Logic().HostList, TStringList{"host-b"});
    // The new host is queried at once and gets its categories.
    HTREEITEM host = FindItem(Tree(), Internet(), "host-b");
    EXPECT_EQ(ChildTexts(Tree(), host).size(), 7u);
    ClickButtonOf(Tree(), Internet());
    ClickItem(Tree(), host);
    EXPECT_EQ(WindowText(form_->ActionButton()), "Remove IP");
    EXPECT_EQ(WindowText(form_->InfoMemo()), "Serverflags: Workstation\r\nServer\r\nNT\r\n");
    SaveScreenshot(L"host-added");

    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(ReadIps(), "host-b\r\n");
}

TEST_F(DispatchFormTest, EscapeInTheAddHostDialogAddsNothing) {
    OpenScripted("a\r\n");
    ClickItem(Tree(), Internet());
    ModalDriver dialog(L"#32770", L"Add IP/Host",
                       {TypeInto(IDC_INPUT_VALUE, L"not-this-one", L"not-this-one"),
                        Press(L"Escape")});
    PressAction();
    ASSERT_EQ(dialog.Shown(), 1);
    EXPECT_FALSE(dialog.LeftOpen()) << "steps done: " << dialog.StepsDone();
    EXPECT_EQ(ChildTexts(Tree(), Internet()), std::vector<std::string>{"a"});
    EXPECT_EQ(form_->Logic().HostList, TStringList{"a"});
    EXPECT_EQ(net_.CallsOf("NetServerGetInfo").size(), 1u);
    // The window takes input again.
    ClickItem(Tree(), FindItem(Tree(), Internet(), "a"));
    EXPECT_EQ(WindowText(form_->ActionButton()), "Remove IP");
}

TEST_F(DispatchFormTest, AddHostEditTakesAtMost255Characters) {
    OpenScripted("");
    ClickItem(Tree(), Internet());
    const std::wstring typed = std::wstring(250, L'h') + L"123456789";
    ModalDriver dialog(L"#32770", L"Add IP/Host",
                       {TypeInto(IDC_INPUT_VALUE, typed, typed.substr(0, 255)),
                        Press(L"Return")});
    PressAction();
    ASSERT_EQ(dialog.Shown(), 1);
    EXPECT_FALSE(dialog.LeftOpen()) << "steps done: " << dialog.StepsDone();
    std::string stored(255, 'h');
    stored.replace(250, 5, "12345");
    EXPECT_EQ(form_->Logic().HostList, TStringList{stored});
    // Shown cut to 200, stored whole.
    EXPECT_EQ(ChildTexts(Tree(), Internet()), std::vector<std::string>{std::string(200, 'h')});
}

TEST_F(DispatchFormTest, RemoveIpRemovesTheClickedHost) {
    OpenScripted("a\r\nb\r\nc\r\n");
    ClickItem(Tree(), FindItem(Tree(), Internet(), "b"));
    ASSERT_EQ(WindowText(form_->ActionButton()), "Remove IP");
    PressAction();
    EXPECT_EQ(ChildTexts(Tree(), Internet()), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(form_->Logic().HostList, (TStringList{"a", "c"}));
    // Nothing is focused now: a second press removes nothing more.
    EXPECT_EQ(TreeView_GetSelection(Tree()), nullptr);
    PressAction();
    EXPECT_EQ(ChildTexts(Tree(), Internet()), (std::vector<std::string>{"a", "c"}));
    SaveScreenshot(L"host-removed");
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(ReadIps(), "a\r\nc\r\n");
}

TEST_F(DispatchFormTest, KeyboardMovesTheFocusAndThePressActsOnIt) {
    net_.Machine("\\\\M").sessions = {{"\\\\PC7", "alice", 1, 10, 0, 0, "", ""}};
    OpenScripted("M\r\n");
    HTREEITEM host = FindItem(Tree(), Internet(), "M");
    ClickButtonOf(Tree(), host);
    HTREEITEM sessions = FindItem(Tree(), host, "Sessions");
    ClickButtonOf(Tree(), sessions);
    ASSERT_EQ(ChildTexts(Tree(), sessions), std::vector<std::string>{"alice (1)"});

    ClickItem(Tree(), Internet());
    // Internet, M, Groups, Users, Services, Disks, Shares, Sessions, alice (1)
    XKey(L"Down Down Down Down Down Down Down Down");
    ASSERT_EQ(ItemText(Tree(), TreeView_GetSelection(Tree())), "alice (1)");
    EXPECT_EQ(WindowText(form_->ActionButton()), "Add node by IP/Hostname");
    EXPECT_FALSE(IsWindowVisible(form_->InfoPanel()));

    PressAction();
    const auto del = net_.CallsOf("NetSessionDel");
    ASSERT_EQ(del.size(), 1u);
    EXPECT_EQ(del[0].server, "\\\\M");
    EXPECT_EQ(del[0].args, std::vector<std::string>{"user=alice"});
    EXPECT_EQ(form_->Logic().StatusBar.SimpleText(), NetErrorText(os_.messages, 0));
    SaveScreenshot(L"session-disconnected");

    // Closed and opened again, "Sessions" lists anew: the tree view's items
    // of the first listing go while it expands.
    net_.Machine("\\\\M").sessions = {{"\\\\PC8", "bob", 0, 5, 0, 0, "", ""}};
    ClickButtonOf(Tree(), sessions);
    ClickButtonOf(Tree(), sessions);
    EXPECT_EQ(ChildTexts(Tree(), sessions), std::vector<std::string>{"bob (0)"});
    EXPECT_EQ(net_.CallsOf("NetSessionEnum").size(), 2u);
    ClickItem(Tree(), FindItem(Tree(), sessions, "bob (0)"));
    EXPECT_EQ(WindowText(form_->ActionButton()), "Disconnect Session");
    EXPECT_EQ(WindowText(form_->InfoMemo()).rfind("CName: \\\\PC8\r\nUsername: bob\r\n", 0), 0u);

    // And again with more sessions, the first now with a longer name: each
    // item shows its new text, and a click on the longest one where the old
    // text had ended selects that session.
    net_.Machine("\\\\M").sessions = {{"\\\\PC9", "carol.from.accounting", 2, 5, 0, 0, "", ""},
                                       {"\\\\PC8", "bob", 0, 5, 0, 0, "", ""}};
    ClickButtonOf(Tree(), sessions);
    ClickButtonOf(Tree(), sessions);
    EXPECT_EQ(ChildTexts(Tree(), sessions),
              (std::vector<std::string>{"carol.from.accounting (2)", "bob (0)"}));
    HTREEITEM carol = FindItem(Tree(), sessions, "carol.from.accounting (2)");
    RECT text{};
    ASSERT_TRUE(TreeView_GetItemRect(Tree(), carol, &text, TRUE));
    // Three quarters into the label: far beyond the end of "bob (0)".
    XClickAt(Tree(), text.left + (text.right - text.left) * 3 / 4, (text.top + text.bottom) / 2);
    EXPECT_EQ(TreeView_GetSelection(Tree()), carol);
    EXPECT_EQ(WindowText(form_->InfoMemo()).rfind("CName: \\\\PC9\r\nUsername: carol.from.accounting\r\n", 0), 0u);
    SaveScreenshot(L"sessions-refilled");
}

TEST_F(DispatchFormTest, FailedShareListingOfThisMachineIsToldAndTheWindowGoesOn) {
    const std::string computer = LocalComputerName();
    // Under Wine this machine refuses to list its shares (50); where it lists
    // them there is no failure to show.
    LPBYTE buffer = nullptr;
    DWORD read = 0, total = 0;
    const std::wstring server = L"\\\\" + Wide(computer);
    const NET_API_STATUS status = NetShareEnum(const_cast<wchar_t*>(server.c_str()), 2, &buffer,
                                               MAX_PREFERRED_LENGTH, &read, &total, nullptr);
    if (buffer) NetApiBufferFree(buffer);
    if (status == 0) GTEST_SKIP() << "this machine lists its shares";
    std::string message = NetErrorMessage(os_.messages, status);
    message = message.substr(0, message.find('\r'));
    WriteIps(computer + "\r\n");
    Open();
    ASSERT_TRUE(WaitForTree());
    ClickButtonOf(Tree(), Internet());
    HTREEITEM host = FindItem(Tree(), Internet(), computer);
    ClickButtonOf(Tree(), host);
    HTREEITEM shares = FindItem(Tree(), host, "Shares");
    ClickButtonOf(Tree(), shares);

    const std::string shown = form_->Logic().StatusBar.SimpleText();
    EXPECT_EQ(shown, " " + message);
    EXPECT_TRUE(form_->Logic().FlashTimer.Enabled());
    EXPECT_EQ(ChildTexts(Tree(), shares), std::vector<std::string>{});
    SaveScreenshot(L"shares-refused");

    // The window goes on: a click shows the machine and stops the flashing.
    ClickItem(Tree(), host);
    EXPECT_EQ(WindowText(form_->InfoMemo()).rfind("Serverflags: ", 0), 0u);
    EXPECT_FALSE(form_->Logic().FlashTimer.Enabled());
    EXPECT_EQ(form_->Logic().StatusBar.SimpleText(), shown);
    // The one-time fill is not tried again.
    ClickButtonOf(Tree(), shares);
    ClickButtonOf(Tree(), shares);
    EXPECT_FALSE(form_->Logic().FlashTimer.Enabled());
}

TEST_F(DispatchFormTest, RefusedSharesAskConnectAsTheTypedAccountAndList) {
    ScriptedMachine& m = net_.Machine("\\\\M");
    m.shares = {{"Data", 0, "", 0, 0, 0, "C:\\Data", ""}};
    m.refusedUnconnected = {{"NetShareEnum", 5}};
    m.accounts = {{"ada", "Engine-1843"}};
    OpenScripted("M\r\n");
    HTREEITEM host = FindItem(Tree(), Internet(), "M");
    ClickButtonOf(Tree(), host);

    std::wstring question;
    ModalDriver box(L"#32770", L"Network View",
                    {[&](HWND window) {
                         question = StaticTexts(window);
                         return true;
                     },
                     Press(L"Return")});
    // Wine offers no credential dialog of its own: the program's shows.
    ModalDriver logon(L"#32770", L"Connect as another user",
                      {TypeInto(IDC_LOGON_USER, L"ada", L"ada"),
                       [](HWND window) {
                           SetFocus(GetDlgItem(window, IDC_LOGON_PASSWORD));
                           return true;
                       },
                       TypeInto(IDC_LOGON_PASSWORD, L"Engine-1843", L"Engine-1843"),
                       [](HWND) {
                           SaveScreenshot(L"logon-dialog");
                           return true;
                       },
                       Press(L"Return")});
    HTREEITEM shares = FindItem(Tree(), host, "Shares");
    ClickButtonOf(Tree(), shares);
    ASSERT_EQ(box.Shown(), 1);
    ASSERT_EQ(logon.Shown(), 1);
    EXPECT_FALSE(logon.LeftOpen()) << "steps done: " << logon.StepsDone();
    EXPECT_NE(question.find(L"Access to \\\\M was refused. Connect as another user?"),
              std::wstring::npos);
    EXPECT_EQ(ChildTexts(Tree(), shares), std::vector<std::string>{"Data = C:\\Data"});
    const auto connects = net_.CallsOf("WNetAddConnection2");
    ASSERT_EQ(connects.size(), 1u);
    EXPECT_EQ(connects[0].args, (std::vector<std::string>{"user=ada", "password=Engine-1843"}));

    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(net_.CallsOf("WNetCancelConnection2").size(), 1u);
}
