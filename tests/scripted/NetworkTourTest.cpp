// A tour of the real NetworkView.exe on the demo network, as a user takes it:
// real clicks through the X display (xdotool), the scripted netapi32.dll
// beside the program answering its calls and writing down what they passed.
// The tour opens two domains (one of 300 machines), every category of this
// computer, presses each action once, and checks the tree, the detail texts
// and the library's call log; it keeps a screenshot of each category.
//
// network_tour.exe PATH_TO_NetworkView.exe PATH_TO_demo-network.txt
// (Unix paths; run through with-scripted-netapi.sh)
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "tests/scripted/RemoteWindow.h"
#include "tests/win32/UiDriver.h"

namespace {

namespace fs = std::filesystem;

std::wstring gProgram;  // NetworkView.exe
std::wstring gNetwork;  // the demo network

// The path Windows programs use for a Unix path (Wine's Z: drive and the like).
std::wstring DosPath(const char* unixPath) {
    using ToDos = wchar_t* (*)(const char*);
    auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    std::wstring path;
    if (wchar_t* dos = toDos ? toDos(unixPath) : nullptr) {
        path = dos;
        HeapFree(GetProcessHeap(), 0, dos);
    }
    return path;
}

std::wstring ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(name, &size);
    return name;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Utf8(const std::wstring& text) {
    std::string out(static_cast<std::size_t>(WideCharToMultiByte(
                        CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr)),
                    '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(),
                        static_cast<int>(out.size()), nullptr, nullptr);
    return out;
}

// The system's text for a status, as the program shows it.
std::wstring SystemText(DWORD code) {
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, 512, nullptr);
    return text;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    for (int waited = 0;; waited += 20) {
        if (condition()) return true;
        if (waited >= timeoutMs) return false;
        Sleep(20);
    }
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// NetworkView.exe in a folder of its own with the scripted library beside
// it, an ips.txt, and the network it is to meet.
class RunningProgram {
public:
    RunningProgram(const std::wstring& network, const std::string& ips) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = fs::path(temp) / (L"nv-tour-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(GetTickCount()));
        fs::create_directories(folder_);
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        fs::copy_file(gProgram, folder_ / L"NetworkView.exe");
        fs::copy_file(fs::path(self).parent_path() / L"netapi32.dll", folder_ / L"netapi32.dll");
        std::ofstream(folder_ / L"ips.txt", std::ios::binary) << ips;
        SetEnvironmentVariableW(L"NV_SCRIPTED_NETWORK", network.c_str());
        SetEnvironmentVariableW(L"NV_SCRIPTED_NETWORK_LOG", (folder_ / L"calls.log").c_str());
        std::wstring line = L"\"" + (folder_ / L"NetworkView.exe").wstring() + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder_.c_str(), &si, &process_);
        if (started_)
            WaitFor([&] { return static_cast<bool>(window_ = RemoteWindow::Find(process_.hProcess)); },
                    20000);
    }
    ~RunningProgram() {
        if (started_ && !Close()) TerminateProcess(process_.hProcess, 1);
        if (process_.hProcess) CloseHandle(process_.hProcess);
        if (process_.hThread) CloseHandle(process_.hThread);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    RemoteWindow& Window() { return window_; }
    // Closes the window as a user does; true when the program then ended.
    bool Close() {
        if (window_) PostMessageW(window_.Main(), WM_CLOSE, 0, 0);
        const bool ended = WaitForSingleObject(process_.hProcess, 20000) == WAIT_OBJECT_0;
        if (ended) started_ = false;
        return ended;
    }
    std::string Calls() const { return ReadFile(folder_ / L"calls.log"); }
    std::string Ips() const { return ReadFile(folder_ / L"ips.txt"); }

private:
    fs::path folder_;
    PROCESS_INFORMATION process_{};
    bool started_ = false;
    RemoteWindow window_;
};

// ------------------------------------------------------------ a user's hands

void ClickAt(int x, int y) {
    XdoTool(L"mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y) + L" click 1");
}

void ClickItem(RemoteWindow& w, HTREEITEM item) {
    const RECT r = w.ItemOnScreen(item);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// A click on the item's expand button; waits until the item is open or shut.
void ToggleItem(RemoteWindow& w, HTREEITEM item, bool open) {
    const RECT r = w.ItemOnScreen(item);
    ClickAt(r.left - w.Indent() / 2 - 1, (r.top + r.bottom) / 2);
    EXPECT_TRUE(WaitFor([&] { return w.Expanded(item) == open; }, 60000))
        << Utf8(w.ItemText(item)) << (open ? " did not open" : " did not close");
}

void Open(RemoteWindow& w, HTREEITEM item) { ToggleItem(w, item, true); }

// Collapses and expands again, as a user lists sessions anew.
void Reopen(RemoteWindow& w, HTREEITEM item) {
    ToggleItem(w, item, false);
    ToggleItem(w, item, true);
}

// Clicks the item and waits for the detail panel to show `detail`.
void ClickAndExpectDetail(RemoteWindow& w, HTREEITEM item, const std::wstring& detail) {
    ClickItem(w, item);
    WaitFor([&] { return w.DetailText() == detail; }, 5000);
    EXPECT_EQ(Utf8(w.DetailText()), Utf8(detail)) << "detail of " << Utf8(w.ItemText(item));
}

// Clicks the item, checks the action button offers `caption`, presses it.
void PressActionOn(RemoteWindow& w, HTREEITEM item, const std::wstring& caption) {
    ClickItem(w, item);
    EXPECT_TRUE(WaitFor([&] { return w.ActionShown() && w.ActionCaption() == caption; }, 5000))
        << "the action button shows '" << Utf8(w.ActionCaption()) << "' for "
        << Utf8(w.ItemText(item));
    RECT r{};
    GetWindowRect(w.ActionButton(), &r);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void Screenshot(const wchar_t* name) { SaveScreenshot(name); }

}  // namespace

// ------------------------------------------------------------ the tour

using Texts = std::vector<std::wstring>;

// An account's detail text, line by line; the three dates (lines 5 to 7)
// only by their labels, since the user's locale writes them.
void ExpectAccountDetail(const std::wstring& text, const Texts& lines) {
    Texts shown;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        shown.push_back(text.substr(start, end - start));
    shown.push_back(text.substr(start));
    ASSERT_EQ(shown.size(), lines.size()) << Utf8(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i >= 4 && i <= 6) EXPECT_EQ(shown[i].rfind(lines[i], 0), 0u) << Utf8(shown[i]);
        else EXPECT_EQ(Utf8(shown[i]), Utf8(lines[i]));
    }
}

class NetworkTour : public ::testing::Test {
protected:
    void OpenDomains(RemoteWindow& w);
    void OpenGroupsAndUsers(RemoteWindow& w, HTREEITEM machine);
    void OpenServicesAndDisks(RemoteWindow& w, HTREEITEM machine);
    void OpenSharesSessionsAndFiles(RemoteWindow& w, HTREEITEM machine);
    void PressEveryAction(RemoteWindow& w, HTREEITEM machine);
    void CheckCalls(const std::string& calls);

    const std::wstring computer_ = ComputerName();
};

TEST_F(NetworkTour, TwoDomainsEveryCategoryOfAMachineAndEveryAction) {
    RunningProgram program(gNetwork, "GATEWAY\r\n");
    RemoteWindow& w = program.Window();
    ASSERT_TRUE(w) << "NetworkView.exe showed no window";
    // Room for a machine with its categories open, as a user would make it.
    SetWindowPos(w.Main(), nullptr, 40, 10, 720, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(w.Tree()) != FALSE; }, 20000));
    EXPECT_EQ(w.ChildTexts(nullptr), (Texts{L"Internet", L"LAB", L"OFFICE"}));

    OpenDomains(w);
    HTREEITEM machine = w.Child(w.Child(nullptr, L"LAB"), computer_);
    ASSERT_NE(machine, nullptr);
    OpenGroupsAndUsers(w, machine);
    OpenServicesAndDisks(w, machine);
    OpenSharesSessionsAndFiles(w, machine);
    PressEveryAction(w, machine);

    ASSERT_TRUE(program.Close()) << "NetworkView.exe did not end after WM_CLOSE";
    EXPECT_EQ(program.Ips(), "");
    CheckCalls(program.Calls());
}

void NetworkTour::OpenDomains(RemoteWindow& w) {
    HTREEITEM office = w.Child(nullptr, L"OFFICE");
    Open(w, office);
    const Texts machines = w.ChildTexts(office);
    ASSERT_EQ(machines.size(), 300u);
    EXPECT_EQ(machines.front(), L"WS001");
    EXPECT_EQ(machines.back(), L"WS300");
    ClickAndExpectDetail(w, w.Children(office).back(), L"Serverflags: Workstation\r\nServer\r\nNT\r\n");
    HTREEITEM first = w.Children(office).front();
    Open(w, first);
    HTREEITEM disks = w.Child(first, L"Disks");
    Open(w, disks);
    EXPECT_EQ(w.ChildTexts(disks), (Texts{L"C:"}));
    w.ItemOnScreen(w.Child(nullptr, L"Internet"));  // scrolled back to the top
    Screenshot(L"tour-office");
    ToggleItem(w, office, false);

    HTREEITEM lab = w.Child(nullptr, L"LAB");
    Open(w, lab);
    EXPECT_EQ(w.ChildTexts(lab), (Texts{computer_, L"FILESRV", L"PRINTSRV", L"OLDBOX"}));
    ClickAndExpectDetail(w, w.Child(lab, L"OLDBOX"), L"Error 53 : " + SystemText(53));
    HTREEITEM machine = w.Child(lab, computer_);
    ClickAndExpectDetail(w, machine,
                         L"Serverflags: Workstation\r\nServer\r\nDomainCtrl\r\nNT\r\nServerNT\r\n"
                         L"PotentialBrowser\r\n");
    Open(w, machine);
    EXPECT_EQ(w.ChildTexts(machine), (Texts{L"Groups", L"Users", L"Services", L"Disks", L"Shares",
                                            L"Sessions", L"Open Files"}));
}

void NetworkTour::OpenGroupsAndUsers(RemoteWindow& w, HTREEITEM machine) {
    HTREEITEM groups = w.Child(machine, L"Groups");
    Open(w, groups);
    EXPECT_EQ(w.ChildTexts(groups),
              (Texts{L"Administrators", L"Users", L"Guests", L"Remote Desktop Users"}));
    HTREEITEM admins = w.Child(groups, L"Administrators");
    Open(w, admins);
    EXPECT_EQ(w.ChildTexts(admins), (Texts{L"Administrator", L"alice"}));
    Screenshot(L"tour-groups");
    ToggleItem(w, groups, false);

    HTREEITEM users = w.Child(machine, L"Users");
    Open(w, users);
    EXPECT_EQ(w.ChildTexts(users), (Texts{L"Administrator", L"Guest", L"alice", L"bob", L"carol"}));
    ClickItem(w, w.Child(users, L"alice"));
    WaitFor([&] { return w.DetailText().rfind(L"Username: alice\r\n", 0) == 0; }, 5000);
    const std::wstring unc = L"\\\\" + computer_;
    ExpectAccountDetail(w.DetailText(),
                        {L"Username: alice", L"Fullname: Alice Ames", L"Comment: Team lead",
                         L"UsrComment: Back on Monday", L"Last logon: ", L"Last logoff: ",
                         L"Account expires: ", L"Password age: 86400", L"Password expired: false",
                         L"Auth flags: OpPrint ", L"", L"Local groups: Administrators Users ",
                         L"Global groups: Domain Users Staff ", L"primary groud ID: 513",
                         L"RID: 1001", L"", L"Home dir: " + unc + L"\\home\\alice",
                         L"Home dir drive: H:", L"max. Storage: -1", L"Script path: logon.cmd",
                         L"Parms: ", L"Profil: " + unc + L"\\profiles\\alice", L"Workstations: ",
                         L"Flags: DontExpirePassword ", L"Infoflags: Script NormalAccount ",
                         L"Priv: User", L""});
    HTREEITEM bob = w.Child(users, L"bob");
    Open(w, bob);
    EXPECT_EQ(w.ChildTexts(bob), (Texts{L"Users", L"Remote Desktop Users"}));
    Screenshot(L"tour-users");
    ToggleItem(w, bob, false);
}

void NetworkTour::OpenServicesAndDisks(RemoteWindow& w, HTREEITEM machine) {
    // The services are the Wine prefix's own, grouped by state.
    HTREEITEM services = w.Child(machine, L"Services");
    Open(w, services);
    const Texts states = w.ChildTexts(services);
    EXPECT_FALSE(states.empty());
    for (const auto& state : states)
        EXPECT_TRUE(state == L"Stopped" || state == L"Started") << Utf8(state);
    if (HTREEITEM started = w.Child(services, L"Started")) Open(w, started);
    Screenshot(L"tour-services");
    ToggleItem(w, services, false);

    HTREEITEM disks = w.Child(machine, L"Disks");
    Open(w, disks);
    EXPECT_EQ(w.ChildTexts(disks), (Texts{L"C:", L"D:", L"E:"}));
    Screenshot(L"tour-disks");
    ToggleItem(w, disks, false);
}

void NetworkTour::OpenSharesSessionsAndFiles(RemoteWindow& w, HTREEITEM machine) {
    HTREEITEM shares = w.Child(machine, L"Shares");
    Open(w, shares);
    EXPECT_EQ(w.ChildTexts(shares), (Texts{L"ADMIN$ = C:\\Windows", L"C$ = C:\\", L"IPC$ = ",
                                           L"Data = C:\\Data", L"Projects = D:\\Projects"}));
    ClickAndExpectDetail(w, w.Child(shares, L"Data = C:\\Data"),
                         L"Netname: Data\r\nType: 00000000000000000000000000000000\r\n"
                         L"Remark: Team data\r\nPermissions: 00000000000000000000000000000000\r\n"
                         L"max. Uses: -1\r\ncur. Uses: 2\r\nPath: C:\\Data\r\nPassword: ");
    Screenshot(L"tour-shares");

    HTREEITEM sessions = w.Child(machine, L"Sessions");
    Open(w, sessions);
    EXPECT_EQ(w.ChildTexts(sessions), (Texts{L"alice (2)", L"bob (1)", L"carol (0)"}));
    ClickAndExpectDetail(w, w.Child(sessions, L"alice (2)"),
                         L"CName: PC042\r\nUsername: alice\r\nnum opens: 2\r\nTime: 5400\r\n"
                         L"Idle time: 60\r\nUser flags: 00000000000000000000000000000000\r\n"
                         L"CLType name: Windows 10 Enterprise\r\nTransport: \\Device\\NetbiosSmb");
    Screenshot(L"tour-sessions");

    HTREEITEM files = w.Child(machine, L"Open Files");
    Open(w, files);
    EXPECT_EQ(w.ChildTexts(files), (Texts{L"C:\\Data\\budget.xlsx (alice)",
                                          L"C:\\Data\\minutes.docx (alice)",
                                          L"D:\\Projects\\plan.txt (bob)"}));
    ClickAndExpectDetail(w, w.Child(files, L"C:\\Data\\budget.xlsx (alice)"),
                         L"File-ID: 101\r\nPermissions: 00000000000000000000000000000003\r\n"
                         L"Num of Locks: 1\r\nPathname: C:\\Data\\budget.xlsx\r\nUsername: alice");
    Screenshot(L"tour-open-files");
}

void NetworkTour::PressEveryAction(RemoteWindow& w, HTREEITEM machine) {
    // The status bar holds one line: the text's line break reads as blanks.
    std::wstring done = SystemText(0);
    for (auto& c : done)
        if (c == L'\r' || c == L'\n') c = L' ';
    HTREEITEM files = w.Child(machine, L"Open Files");
    PressActionOn(w, w.Child(files, L"D:\\Projects\\plan.txt (bob)"), L"Close File Access");
    EXPECT_TRUE(WaitFor([&] { return w.StatusText() == done; }, 5000)) << Utf8(w.StatusText());
    Reopen(w, files);
    EXPECT_EQ(w.ChildTexts(files), (Texts{L"C:\\Data\\budget.xlsx (alice)", L"C:\\Data\\minutes.docx (alice)"}));

    HTREEITEM sessions = w.Child(machine, L"Sessions");
    PressActionOn(w, w.Child(sessions, L"alice (2)"), L"Disconnect Session");
    Reopen(w, sessions);
    EXPECT_EQ(w.ChildTexts(sessions), (Texts{L"bob (1)", L"carol (0)"}));

    // The share goes; its node stays until the tree is built anew.
    HTREEITEM shares = w.Child(machine, L"Shares");
    PressActionOn(w, w.Child(shares, L"Projects = D:\\Projects"), L"Remove Share permanently");
    EXPECT_TRUE(WaitFor([&] { return w.StatusText() == done; }, 5000)) << Utf8(w.StatusText());
    EXPECT_EQ(w.ChildTexts(shares).size(), 5u);

    HTREEITEM internet = w.Child(nullptr, L"Internet");
    Open(w, internet);
    ASSERT_EQ(w.ChildTexts(internet), (Texts{L"GATEWAY"}));
    ClickAndExpectDetail(w, w.Child(internet, L"GATEWAY"), L"Serverflags: Workstation\r\nServer\r\n");
    PressActionOn(w, w.Child(internet, L"GATEWAY"), L"Remove IP");
    EXPECT_TRUE(WaitFor([&] { return w.Children(internet).empty(); }, 5000));
}

void NetworkTour::CheckCalls(const std::string& calls) {
    const std::string unc = "servername=\"\\\\" + Utf8(computer_) + "\"";
    const std::string most = "prefmaxlen=0xFFFFFFFF";
    const std::pair<std::string, std::size_t> expected[] = {
        {"NetServerGetInfo(servername=\"\\\\GATEWAY\", level=101)\n", 1},
        {"NetServerEnum(servername=\"\", level=100, " + most +
             ", servertype=0x80000000, domain=null, resume_handle=null)\n", 1},
        {"NetServerEnum(servername=\"\", level=100, " + most +
             ", servertype=0xFFFFFFFF, domain=\"OFFICE\", resume_handle=null)\n", 1},
        {"NetServerEnum(servername=\"\", level=100, " + most +
             ", servertype=0xFFFFFFFF, domain=\"LAB\", resume_handle=null)\n", 1},
        {"NetServerGetInfo(servername=\"\\\\WS", 300},
        {"NetShareEnum(" + unc + ", level=2, " + most + ", resume_handle=0)\n", 1},
        {"NetSessionEnum(" + unc + ", UncClientName=null, username=null, level=502, " + most +
             ", resume_handle=0)\n", 2},
        {"NetFileEnum(" + unc + ", basepath=null, username=null, level=3, " + most +
             ", resume_handle=0)\n", 2},
        {"NetFileClose(" + unc + ", fileid=103)\n", 1},
        {"NetSessionDel(" + unc + ", UncClientName=null, username=\"alice\")\n", 1},
        {"NetShareDel(" + unc + ", netname=\"Projects\", reserved=0)\n", 1},
    };
    for (const auto& [call, times] : expected) EXPECT_EQ(Count(calls, call), times) << call;
    // Every buffer handed to the program came back, and nothing else did.
    unsigned out = 0, freed = 0, stray = 1, left = 1;
    const std::size_t at = calls.rfind("buffers: ");
    ASSERT_NE(at, std::string::npos) << "the library wrote no buffer count as the program ended";
    sscanf(calls.c_str() + at, "buffers: handed out %u, freed %u, stray frees %u, still out %u", &out,
           &freed, &stray, &left);
    EXPECT_GT(out, 300u);
    EXPECT_EQ(freed, out);
    EXPECT_EQ(stray, 0u);
    EXPECT_EQ(left, 0u);
}

TEST_F(NetworkTour, UpdateTreeRebuildsWhileTheTreeStaysShown) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const fs::path network =
        fs::path(temp) / (L"nv-slow-browse-" + std::to_wstring(GetCurrentProcessId()) + L".txt");
    // The browse list takes two seconds to answer.
    std::ofstream(network, std::ios::binary) << "delay NetServerEnum 2000\ndomain LAB\nmachine PC1 type=3\n";
    RunningProgram program(network.wstring(), "");
    RemoteWindow& w = program.Window();
    ASSERT_TRUE(w) << "NetworkView.exe showed no window";
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(w.Tree()) != FALSE; }, 20000));

    PressActionOn(w, w.Child(nullptr, L"LAB"), L"Update tree");
    bool hidden = false;
    for (int sample = 0; sample < 75; ++sample, Sleep(20)) hidden = hidden || !IsWindowVisible(w.Tree());
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(w.Tree()) && w.Child(nullptr, L"LAB"); }, 20000));
    EXPECT_EQ(Count(program.Calls(), "servertype=0x80000000"), 2u);
    std::error_code ignored;
    fs::remove(network, ignored);
    EXPECT_FALSE(hidden) << "the tree was hidden while it was built anew";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        fprintf(stderr, "usage: network_tour.exe NetworkView.exe demo-network.txt\n");
        return 2;
    }
    gProgram = DosPath(argv[1]);
    gNetwork = DosPath(argv[2]);
    return RUN_ALL_TESTS();
}
