// The main window as a user meets it: a real window under a real message
// loop, with the real Win32 seam or a scripted network behind it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <lm.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MainLayout.h"
#include "app/win32/MainForm.h"
#include "platform/win32/Win32Platform.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedNetwork.h"
#include "tests/win32/UiDriver.h"

using platform::win32::Narrow;
using platform::win32::Wide;

namespace {

namespace fs = std::filesystem;

// The test program posing as a program in a folder of its own, so that its
// ips.txt stays there; its version is the test program's own.
class RelocatedProgram : public platform::VersionResource {
public:
    explicit RelocatedProgram(std::string path) : path_(std::move(path)) {}
    std::string ModuleFileName() override { return path_; }
    std::optional<platform::FixedFileVersion> FileVersion(const std::string& path) override {
        return real_.FileVersion(path == path_ ? real_.ModuleFileName() : path);
    }

private:
    std::string path_;
    platform::win32::VersionResourceWin32 real_;
};

TBounds BoundsIn(HWND child, HWND parent) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::string WindowText(HWND hwnd) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(hwnd, buffer, 1024);
    return Narrow(buffer);
}

std::string ItemText(HWND tree, HTREEITEM item) {
    wchar_t buffer[512] = {};
    TVITEMW tvi{};
    tvi.mask = TVIF_TEXT;
    tvi.hItem = item;
    tvi.pszText = buffer;
    tvi.cchTextMax = 512;
    TreeView_GetItem(tree, &tvi);
    return Narrow(buffer);
}

std::vector<std::string> ChildTexts(HWND tree, HTREEITEM parent) {
    std::vector<std::string> texts;
    for (HTREEITEM i = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree); i;
         i = TreeView_GetNextSibling(tree, i))
        texts.push_back(ItemText(tree, i));
    return texts;
}

HTREEITEM FindItem(HWND tree, HTREEITEM parent, const std::string& text) {
    for (HTREEITEM i = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree); i;
         i = TreeView_GetNextSibling(tree, i))
        if (ItemText(tree, i) == text) return i;
    return nullptr;
}

void ClickItem(HWND tree, HTREEITEM item) {
    RECT r{};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    XClickAt(tree, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The expand button lies left of the item's text.
void ClickButtonOf(HWND tree, HTREEITEM item) {
    RECT r{};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    const int indent = static_cast<int>(TreeView_GetIndent(tree));
    XClickAt(tree, r.left - indent / 2 - 1, (r.top + r.bottom) / 2);
}

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = fs::path(temp) / (L"nv-form-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(GetTickCount()));
        fs::create_directories(folder_);
        program_ = std::make_unique<RelocatedProgram>(Narrow((folder_ / L"NetworkView.exe").wstring()));
    }
    void TearDown() override {
        form_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void WriteIps(const std::string& bytes) {
        HANDLE f = CreateFileW((folder_ / L"ips.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(f);
    }
    std::string ReadIps() {
        const auto read = os_.files.ReadFile(Narrow((folder_ / L"ips.txt").wstring()));
        return read.error == 0 ? read.bytes : "<missing>";
    }

    // The window on the real Win32 seam, or on the scripted network.
    void Open(platform::NetApi* net = nullptr) {
        form_ = std::make_unique<TNetworkViewerWin32>(TNetworkViewerPlatform{
            net ? *net : os_.net, os_.messages, *program_, os_.files, os_.locale, os_.registry,
            os_.shell});
        ASSERT_NE(form_->Create(GetModuleHandleW(nullptr)), nullptr);
        ShowWindow(form_->Handle(), SW_SHOW);
        UpdateWindow(form_->Handle());
    }
    bool WaitForTree() {
        return PumpUntil([&] { return IsWindowVisible(form_->Tree()) != FALSE; }, 5000);
    }
    HWND Tree() { return form_->Tree(); }

    std::string LocalComputerName() {
        wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
        DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
        GetComputerNameW(name, &size);
        return Narrow(name);
    }

    platform::win32::Win32Platform os_;
    fs::path folder_;
    std::unique_ptr<RelocatedProgram> program_;
    std::unique_ptr<TNetworkViewerWin32> form_;
};

}  // namespace

TEST_F(MainFormTest, StartsWithTheWaitPanelAndShowsTheTree300msLater) {
    const std::string computer = LocalComputerName();
    WriteIps(computer + "\r\n");
    const auto start = std::chrono::steady_clock::now();
    Open();
    EXPECT_EQ(WindowText(form_->Handle()), "Network View 3.14.15:926");
    EXPECT_EQ(form_->Logic().stbar.SimpleText(), "Network View 3.14.15:926");
    EXPECT_TRUE(IsWindowVisible(form_->WaitPanel()));
    EXPECT_EQ(WindowText(form_->WaitLabel()), "\r\nFetching net infos...\r\n\r\nPlease wait.");
    EXPECT_FALSE(IsWindowVisible(Tree()));
    EXPECT_FALSE(IsWindowVisible(form_->InfoPanel()));
    EXPECT_FALSE(IsWindowVisible(form_->ActionPanel()));

    ASSERT_TRUE(WaitForTree());
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(250));
    EXPECT_FALSE(form_->Logic().startticker.Enabled());

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
    Tnetworkviewer& logic = form_->Logic();
    std::string message = NetErrorMessage(os_.messages, status);
    message = message.substr(0, message.find('\r'));
    EXPECT_EQ(logic.stbar.SimpleText(), " " + message);
    EXPECT_TRUE(logic.stbarticker.Enabled());

    // Drive the flashing tick by tick and read the bar back from the screen.
    logic.stbarticker.SetEnabled(false);
    HWND bar = form_->StatusBar();
    RECT r;
    GetClientRect(bar, &r);
    const int x = r.right - 60, y = r.bottom / 2;  // clear of text and grip
    std::vector<COLORREF> seen;
    for (int tick = 0; tick < 11; ++tick) {
        logic.stbartickerTimer();
        Pump(30);
        seen.push_back(ScreenPixel(bar, x, y));
    }
    for (int tick = 0; tick < 10; ++tick)
        EXPECT_EQ(seen[tick], tick % 2 == 0 ? RGB(255, 0, 0) : RGB(255, 255, 255)) << "tick " << tick;
    EXPECT_EQ(seen[10], RGB(255, 255, 255));  // the window's colour
    EXPECT_TRUE(logic.stbar.ParentColor());
}

TEST_F(MainFormTest, ClicksShowDetailAndActionAsTheUserSeesThem) {
    ScriptedNetwork net;
    net.Machine("").serverLists[""] = {"CORP"};
    net.Machine("").serverLists["CORP"] = {"PC1"};
    net.Machine("\\\\PC1").serverType = 0x1003;
    net.Machine("\\\\hostA").serverType = 0x1;
    WriteIps("hostA\r\n");
    Open(&net);
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
    EXPECT_NE(SaveScreenshot(L"machine-clicked"), L"");

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
    Open(&net);
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
    Open(&net);
    ASSERT_TRUE(WaitForTree());
    EXPECT_EQ(ChildTexts(Tree(), TreeView_GetRoot(Tree())), (std::vector<std::string>{"a", "", "b"}));
    PostMessageW(form_->Handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return form_->Handle() == nullptr; }, 3000));
    EXPECT_EQ(ReadIps(), "a\r\n\r\nb\r\n");
}

TEST_F(MainFormTest, StartingWithoutTheFileAndClosingLeavesAnEmptyFile) {
    ScriptedNetwork net;
    net.Machine("");
    Open(&net);
    ASSERT_TRUE(WaitForTree());
    EXPECT_EQ(ChildTexts(Tree(), nullptr), std::vector<std::string>{"Internet"});
    TVITEMW tvi{};
    tvi.mask = TVIF_CHILDREN;
    tvi.hItem = TreeView_GetRoot(Tree());
    TreeView_GetItem(Tree(), &tvi);
    EXPECT_EQ(tvi.cChildren, 0);  // no expand button
    PostMessageW(form_->Handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return form_->Handle() == nullptr; }, 3000));
    EXPECT_EQ(ReadIps(), "");
}
