// The Services category and the registry against the real service control
// manager and registry of this machine (Wine's, under Wine): real windows,
// real clicks through the X display.
#include "tests/win32/MainFormFixture.h"

#include <winsvc.h>

#include <set>
#include <string>
#include <vector>

#include "services/RegistryAccess.h"

namespace {

const std::wstring kServicesKey = L"SYSTEM\\CurrentControlSet\\Services";

// The service node whose text starts with the name and " (", and its group.
HTREEITEM FindService(HWND tree, HTREEITEM category, const std::string& name,
                      std::string* group = nullptr) {
    for (HTREEITEM g = TreeView_GetChild(tree, category); g; g = TreeView_GetNextSibling(tree, g))
        for (HTREEITEM s = TreeView_GetChild(tree, g); s; s = TreeView_GetNextSibling(tree, s))
            if (ItemText(tree, s).rfind(name + " (", 0) == 0) {
                if (group) *group = ItemText(tree, g);
                return s;
            }
    return nullptr;
}

bool Expanded(HWND tree, HTREEITEM item) {
    return (TreeView_GetItemState(tree, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

std::wstring RegistryText(const std::wstring& key, const std::wstring& value) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), value.c_str(),
                       RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buffer,
                       &size) != ERROR_SUCCESS)
        return L"";
    return buffer;
}

// The current state of a service of this machine, 0 when it cannot be asked.
DWORD ServiceState(const wchar_t* name) {
    DWORD state = 0;
    if (SC_HANDLE scm = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT)) {
        if (SC_HANDLE service = ::OpenServiceW(scm, name, SERVICE_QUERY_STATUS)) {
            SERVICE_STATUS status{};
            if (::QueryServiceStatus(service, &status)) state = status.dwCurrentState;
            ::CloseServiceHandle(service);
        }
        ::CloseServiceHandle(scm);
    }
    return state;
}

// The program in a folder of its own whose ips.txt names this computer,
// with "Internet" and the computer expanded.
class ServicesTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        WriteIps(computer_ + "\r\n");
        Open();
        ASSERT_TRUE(WaitForTree());
        tree_ = Tree();
        ClickButtonOf(tree_, TreeView_GetRoot(tree_));
        HTREEITEM host = FindItem(tree_, TreeView_GetRoot(tree_), computer_);
        ASSERT_NE(host, nullptr);
        ClickButtonOf(tree_, host);
        services_ = FindItem(tree_, host, "Services");
        ASSERT_NE(services_, nullptr);
    }

    // Expands "Services" by its button, as the user does.
    void ExpandServices() {
        ClickButtonOf(tree_, services_);
        PumpUntil([&] { return TreeView_GetChild(tree_, services_) != nullptr; }, 5000);
    }

    std::string computer_ = LocalComputerName();
    HWND tree_ = nullptr;
    HTREEITEM services_ = nullptr;
};

}  // namespace

TEST_F(ServicesTest, LocalServicesAreGroupedByStateWithTheirImagePaths) {
    ExpandServices();
    const std::vector<std::string> groups = ChildTexts(tree_, services_);
    ASSERT_FALSE(groups.empty()) << form_->Logic().StatusBar.SimpleText();
    const std::set<std::string> known{"Stopped", "Stopping", "Started",    "Starting",
                                      "Paused",  "Pausing",  "Continuing", "Unknown"};
    EXPECT_EQ(std::set<std::string>(groups.begin(), groups.end()).size(), groups.size());
    int listed = 0;
    for (HTREEITEM g = TreeView_GetChild(tree_, services_); g;
         g = TreeView_GetNextSibling(tree_, g)) {
        const std::string group = ItemText(tree_, g);
        EXPECT_TRUE(known.count(group)) << group;
        EXPECT_FALSE(ChildTexts(tree_, g).empty()) << group;  // only states that occur
        listed += static_cast<int>(ChildTexts(tree_, g).size());
    }
    EXPECT_GE(listed, 5);

    // Spooler's node shows the image path its registry key holds, unexpanded.
    std::string group;
    HTREEITEM spooler = FindService(tree_, services_, "Spooler", &group);
    ASSERT_NE(spooler, nullptr);
    const std::wstring path = RegistryText(kServicesKey + L"\\Spooler", L"ImagePath");
    EXPECT_FALSE(path.empty());
    EXPECT_EQ(ItemText(tree_, spooler), "Spooler (" + Narrow(path) + ")");
    EXPECT_EQ(group, ServiceState(L"Spooler") == SERVICE_RUNNING ? "Started" : "Stopped");
    EXPECT_FALSE(form_->Logic().ServiceDatabase.Active());

    TreeView_Expand(tree_, FindItem(tree_, services_, group), TVE_EXPAND);
    TreeView_EnsureVisible(tree_, spooler);
    ClickItem(tree_, spooler);
    EXPECT_TRUE(::IsWindowVisible(form_->ActionPanel()));
    SaveScreenshot(L"services-expanded");
}

TEST_F(ServicesTest, StoppingAndStartingSpoolerByTheButtonMovesItToTheOtherGroup) {
    if (SC_HANDLE scm = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS))
        ::CloseServiceHandle(scm);
    else
        GTEST_SKIP() << "starting and stopping services needs an administrator";
    // A message box the window shows is read and closed, so that a failure
    // is reported instead of waiting for a press that never comes.
    std::vector<std::wstring> boxes;
    ModalDriver watch(L"#32770", L"Network View", {[&](HWND box) {
                          boxes.push_back(StaticTexts(box));
                          PostMessageW(box, WM_COMMAND, IDOK, 0);
                          return true;
                      }});
    ExpandServices();
    // Two rounds: the second undoes the first.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        std::string before;
        HTREEITEM spooler = FindService(tree_, services_, "Spooler", &before);
        ASSERT_NE(spooler, nullptr);
        ASSERT_TRUE(before == "Started" || before == "Stopped") << before;
        ClickButtonOf(tree_, FindItem(tree_, services_, before));
        TreeView_EnsureVisible(tree_, spooler);
        ClickItem(tree_, spooler);
        wchar_t caption[64] = {};
        ::GetWindowTextW(form_->ActionButton(), caption, 64);
        EXPECT_EQ(Narrow(caption), before == "Started" ? "Stop service" : "Start service");

        XClickCenter(form_->ActionButton());
        ASSERT_TRUE(boxes.empty()) << Narrow(boxes.front());
        // The category is emptied and collapsed; the new state shows at the
        // next expansion, once the service has reached it.
        EXPECT_EQ(ChildTexts(tree_, services_), std::vector<std::string>{});
        EXPECT_FALSE(Expanded(tree_, services_));
        const DWORD wanted = before == "Started" ? SERVICE_STOPPED : SERVICE_RUNNING;
        ASSERT_TRUE(PumpUntil([&] { return ServiceState(L"Spooler") == wanted; }, 10000));

        ExpandServices();
        // Nothing is focused until the user clicks a node.
        EXPECT_EQ(form_->Logic().Tree.FocusedNode(), nullptr);
        std::string after;
        ASSERT_NE(FindService(tree_, services_, "Spooler", &after), nullptr);
        EXPECT_EQ(after, before == "Started" ? "Stopped" : "Started");
    }
}

// --- The registry -----------------------------------------------------------

class ServiceKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        name_ = L"NetworkViewTest" + std::to_wstring(::GetCurrentProcessId());
        path_ = kServicesKey + L"\\" + name_;
        const LSTATUS made = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0,
                                               KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        if (made == ERROR_ACCESS_DENIED)
            GTEST_SKIP() << "making a service key needs an administrator";
        ASSERT_EQ(made, ERROR_SUCCESS);
    }
    void TearDown() override {
        if (key_) ::RegCloseKey(key_);
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, path_.c_str());
    }
    void Set(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(::RegSetValueExW(key_, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }

    std::wstring name_;
    std::wstring path_;
    HKEY key_ = nullptr;
    platform::win32::RegistryWin32 registry_;
    platform::win32::SystemMessagesWin32 messages_;
};

TEST_F(ServiceKeyTest, ValuesWrittenToAServiceKeyReadBackAsWritten) {
    const wchar_t depends[] = L"RpcSs\0Tcpip\0";  // with the list's final terminator
    Set(L"DependOnService", REG_MULTI_SZ, depends, sizeof depends);
    const DWORD start = 3;
    Set(L"Start", REG_DWORD, &start, sizeof start);
    const wchar_t image[] = L"%SystemRoot%\\system32\\nvtest.exe";
    Set(L"ImagePath", REG_EXPAND_SZ, image, sizeof image);
    // Stored without any terminator: exactly the bytes of "A", a null, "BC".
    const wchar_t bare[] = {L'A', 0, L'B', L'C'};
    Set(L"Bare", REG_MULTI_SZ, bare, sizeof bare);

    // Read from this machine, and through a connection to it by its name.
    for (const std::string& machine : {std::string(), "\\\\" + LocalComputerName()}) {
        SCOPED_TRACE(machine);
        TExRegistry r(registry_, messages_, KEY_READ);
        r.SetRootKey(platform::kHKeyLocalMachine);
        if (!machine.empty()) {
            ASSERT_TRUE(r.RegistryConnect(machine));
        }
        ASSERT_TRUE(r.OpenKey("\\" + Narrow(path_), false));
        TStringList list;
        r.ReadStrings("DependOnService", list);
        EXPECT_EQ(list, (TStringList{"RpcSs", "Tcpip"}));
        r.ReadStrings("Bare", list);
        EXPECT_EQ(list, (TStringList{"A", "BC"}));
        EXPECT_EQ(r.ReadInteger("Start"), 3);
        EXPECT_EQ(r.ReadString("ImagePath"), "%SystemRoot%\\system32\\nvtest.exe");
        EXPECT_THROW(r.ReadStrings("Start", list), ERegistryException);
        try {
            r.ReadStrings("Absent", list);
            ADD_FAILURE() << "no exception";
        } catch (const EExRegistryException& e) {
            EXPECT_EQ(e.ErrorCode, 2u);
            const std::string tail = ":Unable read MULTI_SZ value";
            EXPECT_EQ(e.Message().substr(e.Message().size() - tail.size()), tail);
            EXPECT_EQ(e.Message().rfind("Error 2 : ", 0), 0u) << e.Message();
        }
    }
}
