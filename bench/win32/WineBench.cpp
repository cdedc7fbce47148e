// The program in its real window under Wine (or on Windows), timed beside
// what the platform itself costs for the same work, measured in the same run:
// the bare tree view's insert, expand and delete of as many items, and the
// bare NetServerGetInfo call. Not a test: it prints.
#include <windows.h>
#include <commctrl.h>
#include <lm.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/win32/MainForm.h"
#include "netinfo/NetError.h"
#include "platform/win32/Win32Platform.h"
#include "bench/BenchWindow.h"
#include "tests/fakes/ScriptedNetwork.h"
#include "tests/fakes/ScriptedRegistry.h"
#include "tests/fakes/ScriptedServiceManager.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using platform::win32::Narrow;

template <typename F>
double Seconds(F&& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string HostName(std::size_t i) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "h%06zu", i);
    return buffer;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The program posing as one in a folder of its own, so that its ips.txt lies
// there; its version is this program's.
class RelocatedProgram : public platform::VersionResource {
public:
    explicit RelocatedProgram(std::string path) : path_(std::move(path)) {}
    std::string ModuleFileName() override { return path_; }
    std::optional<platform::FixedFileVersion> FileVersion(const std::string&) override {
        return std::nullopt;
    }

private:
    std::string path_;
};

// ---------------------------------------------------------------- the bare tree view

// A window of the program's size holding a tree view with the program's
// styles and font, whose items take their text by callback as the
// program's do.
class BareTree {
public:
    BareTree() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BareTreeHost";
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        RegisterClassW(&wc);
        host_ = CreateWindowExW(0, L"BareTreeHost", L"bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                0, 570, 500, nullptr, nullptr, wc.hInstance, nullptr);
        tree_ = CreateWindowExW(0, WC_TREEVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP |
                                    TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                    TVS_SHOWSELALWAYS,
                                0, 0, 377, 413, host_, nullptr, wc.hInstance, nullptr);
        // The program's font: the view measures every item's text with it.
        font_ = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif");
        SendMessageW(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        UpdateWindow(host_);
        Pump();
    }
    ~BareTree() {
        DestroyWindow(host_);
        DeleteObject(font_);
    }

    HTREEITEM Insert(HTREEITEM parent, bool hasChildren) {
        TVINSERTSTRUCTW ins{};
        ins.hParent = parent ? parent : TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_PARAM;
        ins.item.pszText = LPSTR_TEXTCALLBACKW;
        ins.item.cChildren = hasChildren ? 1 : 0;
        return TreeView_InsertItem(tree_, &ins);
    }
    void Show(bool visible) { ShowWindow(tree_, visible ? SW_SHOW : SW_HIDE); }
    HWND Tree() const { return tree_; }

private:
public:
    // Children that the next expansion inserts, as a fill does.
    static inline std::size_t pending = 0;
    // What every item shows: as long as what the program shows, since the
    // view measures every item's text when it lays them out.
    static inline std::wstring text = L"h000000";

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == TVN_ITEMEXPANDINGW) {
            auto* info = reinterpret_cast<NMTREEVIEWW*>(lp);
            HWND tree = info->hdr.hwndFrom;
            for (; pending > 0; --pending) {
                TVINSERTSTRUCTW ins{};
                ins.hParent = info->itemNew.hItem;
                ins.hInsertAfter = TVI_LAST;
                ins.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_PARAM;
                ins.item.pszText = LPSTR_TEXTCALLBACKW;
                TreeView_InsertItem(tree, &ins);
            }
            return 0;
        }
        if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == TVN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTVDISPINFOW*>(lp);
            if (info->item.mask & TVIF_TEXT) info->item.pszText = text.data();
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    HWND host_ = nullptr;
    HWND tree_ = nullptr;
    HFONT font_ = nullptr;
};

struct BareCost {
    double insert = 0, expand = 0, deleteEach = 0, deleteAll = 0;
    double fill = 0;  // inserted while the item expands, and shown: what a fill does
};

// n children inserted under a collapsed item, expanded and shown, then
// deleted one by one (last first); and once more all at once, as a refill
// deletes them.
BareCost MeasureBareTree(std::size_t n, bool visible, const std::string& text = "h000000") {
    BareTree::text = platform::win32::Wide(text);
    BareCost c;
    BareTree bare;
    bare.Show(visible);
    HTREEITEM root = bare.Insert(nullptr, true);
    std::vector<HTREEITEM> items(n);
    c.insert = Seconds([&] {
        for (std::size_t i = 0; i < n; ++i) items[i] = bare.Insert(root, false);
    });
    c.expand = Seconds([&] {
        TreeView_Expand(bare.Tree(), root, TVE_EXPAND);
        UpdateWindow(bare.Tree());
    });
    TreeView_Expand(bare.Tree(), root, TVE_COLLAPSE);
    c.deleteEach = Seconds([&] {
        for (std::size_t i = n; i-- > 0;) TreeView_DeleteItem(bare.Tree(), items[i]);
    });
    for (std::size_t i = 0; i < n; ++i) bare.Insert(root, false);
    c.deleteAll = Seconds([&] { TreeView_Expand(bare.Tree(), root, TVE_COLLAPSE | TVE_COLLAPSERESET); });
    HTREEITEM filled = bare.Insert(nullptr, true);
    BareTree::pending = n;
    c.fill = Seconds([&] {
        TreeView_Expand(bare.Tree(), filled, TVE_EXPAND);
        UpdateWindow(bare.Tree());
    });
    return c;
}

// The bare tree view's fill alone: n children inserted while their item
// expands, and shown.
double MeasureBareFill(std::size_t n, const std::string& text) {
    BareTree::text = platform::win32::Wide(text);
    BareTree bare;
    bare.Show(true);
    HTREEITEM filled = bare.Insert(nullptr, true);
    BareTree::pending = n;
    return Seconds([&] {
        TreeView_Expand(bare.Tree(), filled, TVE_EXPAND);
        UpdateWindow(bare.Tree());
    });
}

// ---------------------------------------------------------------- the program

class ProgramWindow {
public:
    // The real system, but for what is given.
    ProgramWindow(const fs::path& folder, platform::NetApi* net,
                  platform::Registry* registry = nullptr,
                  platform::ServiceManager* services = nullptr) {
        program_ = std::make_unique<RelocatedProgram>(Narrow((folder / L"NetworkView.exe").wstring()));
        form_ = std::make_unique<TNetworkViewerWin32>(TNetworkViewerPlatform{
            net ? *net : os_.net, os_.messages, *program_, os_.files, os_.locale,
            registry ? *registry : os_.registry, os_.shell, services ? *services : os_.services});
        form_->Create(GetModuleHandleW(nullptr));
        ShowWindow(form_->Handle(), SW_SHOW);
        UpdateWindow(form_->Handle());
        Pump();
    }
    ~ProgramWindow() {
        if (form_->Handle()) {
            form_->Logic().StartupTimer.SetEnabled(false);
            form_.reset();
        }
    }
    // The start timer's work, and the tree painted.
    double Build() {
        return Seconds([&] {
            form_->Logic().StartupTimerTick();
            UpdateWindow(form_->Tree());
        });
    }
    HTREEITEM Find(HTREEITEM parent, const std::string& text) {
        for (HTREEITEM i = parent ? TreeView_GetChild(Tree(), parent) : TreeView_GetRoot(Tree()); i;
             i = TreeView_GetNextSibling(Tree(), i)) {
            wchar_t buffer[256] = {};
            TVITEMW tvi{};
            tvi.mask = TVIF_TEXT;
            tvi.hItem = i;
            tvi.pszText = buffer;
            tvi.cchTextMax = 256;
            TreeView_GetItem(Tree(), &tvi);
            if (Narrow(buffer) == text) return i;
        }
        return nullptr;
    }
    double Collapse(HTREEITEM item) {
        return Seconds([&] {
            TreeView_Expand(Tree(), item, TVE_COLLAPSE);
            UpdateWindow(Tree());
        });
    }
    HTREEITEM Item(HTREEITEM parent, std::size_t index) {
        HTREEITEM i = parent ? TreeView_GetChild(Tree(), parent) : TreeView_GetRoot(Tree());
        while (i && index-- > 0) i = TreeView_GetNextSibling(Tree(), i);
        return i;
    }
    double Expand(HTREEITEM item) {
        return Seconds([&] {
            TreeView_Expand(Tree(), item, TVE_EXPAND);
            UpdateWindow(Tree());
        });
    }
    void Close() {
        PostMessageW(form_->Handle(), WM_CLOSE, 0, 0);
        Pump();
    }
    HWND Tree() { return form_->Tree(); }
    TMainWindow& Logic() { return form_->Logic(); }

private:
    platform::win32::Win32Platform os_;
    std::unique_ptr<RelocatedProgram> program_;
    std::unique_ptr<TNetworkViewerWin32> form_;
};

fs::path MakeFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    fs::path folder = fs::path(temp) / (std::wstring(name) + L"-" + std::to_wstring(GetCurrentProcessId()));
    fs::create_directories(folder);
    return folder;
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// ips.txt of n hosts that Wine answers at once with a failure; the real
// network management interface.
void HostListBuild(std::size_t n) {
    const fs::path folder = MakeFolder(L"nv-bench-hosts");
    std::string ips;
    for (std::size_t i = 0; i < n; ++i) ips += HostName(i) + "\r\n";
    std::ofstream(folder / L"ips.txt", std::ios::binary) << ips;

    // The bare calls: NetServerGetInfo level 101 for every host. The machine
    // is shared: each side is measured more than once (but 100,000 hosts
    // once) and the fastest run counts.
    std::vector<std::wstring> names;
    for (std::size_t i = 0; i < n; ++i) names.push_back(L"\\\\" + platform::win32::Wide(HostName(i)));
    const int runs = n <= 10000 ? 3 : 1;
    DWORD status = 0;
    double calls = 1e9, insert = 1e9, program = 1e9;
    std::size_t nodes = 0;
    for (int run = 0; run < runs; ++run) {
        calls = std::min(calls, Seconds([&] {
            for (const auto& name : names) {
                LPBYTE buffer = nullptr;
                status = NetServerGetInfo(const_cast<wchar_t*>(name.c_str()), 101, &buffer);
                if (buffer) NetApiBufferFree(buffer);
            }
        }));
        // The bare inserts, into a hidden tree as the program's is while it builds.
        insert = std::min(insert, MeasureBareTree(n, false).insert);
        ProgramWindow w(folder, nullptr);
        program = std::min(program, w.Build());
        nodes = w.Logic().Tree.TotalCount();
        w.Close();
    }
    const bool same = ReadAll(folder / L"ips.txt") == ips;
    const double bare = calls + insert;
    std::printf("%-28s %7zu %9.1f %8.1f %9.1f %8.1f %8.1f %6.2f  (status %lu, %zu nodes, ips.txt %s)\n",
                "tree build, hosts fail", n, program * 1e3, program / n * 1e6, calls * 1e3,
                calls / n * 1e6, insert / n * 1e6, program / bare, status, nodes,
                same ? "written back the same" : "CHANGED");
    std::fflush(stdout);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

// A domain of n machines on the scripted network (each fails at once), expanded
// in the real window, beside the bare tree view doing the same.
// The machine is shared and its speed wanders: the program's fills and the
// bare tree view's run this many times each, taking turns. The fastest of
// each is shown, and the median of each fill's ratio to the bare fill just
// before it, which follows the machine's changes of speed less.
constexpr int kRuns = 5;

class TTurns {
public:
    void Add(double bare, double fill) {
        bares_.push_back(bare);
        fills_.push_back(fill);
    }
    double FastestFill() const { return *std::min_element(fills_.begin(), fills_.end()); }
    double FastestBare() const { return *std::min_element(bares_.begin(), bares_.end()); }
    // The median of (fill - less) / bare.
    double MedianRatio(double less = 0) const {
        std::vector<double> ratios;
        for (std::size_t i = 0; i < fills_.size(); ++i) ratios.push_back((fills_[i] - less) / bares_[i]);
        std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
        return ratios[ratios.size() / 2];
    }

private:
    std::vector<double> bares_, fills_;
};

void DomainFill(std::size_t n) {
    const fs::path folder = MakeFolder(L"nv-bench-domain");
    ScriptedNetwork net;
    net.recordCalls = false;
    auto& local = net.Machine("");
    local.serverLists[""] = {"D"};
    auto& machines = local.serverLists["D"];
    for (std::size_t i = 0; i < n; ++i) machines.push_back(HostName(i));

    const BareCost tree = MeasureBareTree(n, true);
    // The machines listed and each asked once, with its failure's text, on
    // one thread.
    platform::win32::SystemMessagesWin32 messages;
    const double seam = Seconds([&] {
        net.ServerEnum("", 0xFFFFFFFF, std::string("D"));
        for (std::size_t i = 0; i < n; ++i)
            NetErrorMessage(messages, net.ServerGetInfo101("\\\\" + HostName(i)).status);
    });
    TTurns turns;
    for (int run = 0; run < kRuns; ++run) {
        const double bare = run == 0 ? tree.fill : MeasureBareFill(n, HostName(0));
        ProgramWindow w(folder, &net);
        w.Build();
        turns.Add(bare, w.Expand(w.Item(nullptr, 1)));
        w.Close();
    }
    const double fill = turns.FastestFill();
    std::printf("%-24s %7zu %9.1f %8.2f %9.1f %9.1f %8.1f %9.1f %9.1f %6.2f %8.1f %6.2f\n",
                "domain, machines fail", n, fill * 1e3, fill / n * 1e6, turns.FastestBare() * 1e3,
                tree.insert * 1e3, tree.expand * 1e3, tree.deleteEach * 1e3,
                tree.deleteAll * 1e3, turns.MedianRatio(), seam * 1e3, turns.MedianRatio(seam));
    std::fflush(stdout);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

// The scripted seam's own answers to the calls a fill of the category
// makes: with the real interface these are the network's time, not the
// program's.
double SeamTime(bench::Category category, std::size_t n) {
    bench::QuietOs bare;
    bench::ScriptMachine(bare.Os(), category, n);
    return Seconds([&] { bench::BareCalls(bare.Os(), category, n); });
}

// Opens down to the category as a user does: its entries are then laid out
// and shown when it expands, as the bare tree view's are.
HTREEITEM OpenCategory(ProgramWindow& w, bench::Category category) {
    HTREEITEM internet = w.Find(nullptr, "Internet");
    w.Expand(internet);
    HTREEITEM server = w.Find(internet, "S");
    w.Expand(server);
    HTREEITEM item = w.Find(server, bench::CategoryText(category));
    if (category == bench::Category::GroupMembers) {
        w.Expand(item);
        item = w.Find(item, "G");
    }
    return item;
}

// Collapsed and expanded again as a user does: the view tells its owner of
// an expansion once per item unless that is cleared.
double Refill(ProgramWindow& w, HTREEITEM item) {
    w.Collapse(item);
    w.Logic().Tree.Collapse(TTreeViewBinding::NodeOf(w.Tree(), item));
    TVITEMW tvi{};
    tvi.mask = TVIF_STATE;
    tvi.hItem = item;
    tvi.stateMask = TVIS_EXPANDEDONCE;
    TreeView_SetItem(w.Tree(), &tvi);
    return w.Expand(item);
}

struct CategoryRuns {
    TTurns fills;
    // A refill of "Sessions" beside the first fill in the same window.
    TTurns refills;
    bool refillListed = true;
};

// The program's fills of the category, taking turns with the bare tree
// view's (the first turn's bare fill is the one measured with the tree).
CategoryRuns RunCategoryFills(const fs::path& folder, bench::QuietOs& os,
                              bench::Category category, std::size_t n, const BareCost& tree) {
    CategoryRuns runs;
    for (int run = 0; run < kRuns; ++run) {
        const double bare = run == 0 ? tree.fill : MeasureBareFill(n, bench::EntryText(category));
        ProgramWindow w(folder, &os.net, &os.registry, &os.services);
        w.Build();
        HTREEITEM item = OpenCategory(w, category);
        const double first = w.Expand(item);
        runs.fills.Add(bare, first);
        if (category == bench::Category::Sessions) {
            runs.refills.Add(first, Refill(w, item));
            runs.refillListed = runs.refillListed && TreeView_GetCount(w.Tree()) >= n;
        }
        w.Close();
    }
    return runs;
}

// A category of n entries on the scripted network, expanded in the real
// window, beside the bare tree view's insert and expand of n items; and for
// "Sessions" a refill (collapse and expand again) beside the first fill.
void CategoryFill(bench::Category category, std::size_t n) {
    const fs::path folder = MakeFolder(L"nv-bench-category");
    std::ofstream(folder / L"ips.txt", std::ios::binary) << "S\r\n";
    bench::QuietOs os;
    os.net.Machine("");
    bench::ScriptMachine(os.Os(), category, n);

    const BareCost tree = MeasureBareTree(n, true, bench::EntryText(category));
    const double seam = SeamTime(category, n);
    const CategoryRuns runs = RunCategoryFills(folder, os, category, n, tree);
    const double fill = runs.fills.FastestFill();
    std::printf("%-24s %7zu %9.1f %8.2f %9.1f %9.1f %8.1f %9.1f %9.1f %6.2f %8.1f %6.2f",
                bench::CategoryName(category), n, fill * 1e3, fill / n * 1e6,
                runs.fills.FastestBare() * 1e3, tree.insert * 1e3, tree.expand * 1e3,
                tree.deleteEach * 1e3, tree.deleteAll * 1e3, runs.fills.MedianRatio(),
                seam * 1e3, runs.fills.MedianRatio(seam));
    if (category == bench::Category::Sessions) {
        if (runs.refillListed)
            std::printf("   refill %.1f ms = %.2f x the first fill",
                        runs.refills.FastestFill() * 1e3, runs.refills.MedianRatio());
        else
            std::printf("   refill did not list the sessions again");
    }
    std::printf("\n");
    std::fflush(stdout);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

// What one host that does not answer costs, part by part, on one thread: the
// call, its error text (kept per code; asked of the system each time, with
// netmsg.dll kept, as it was before; and looking for netmsg.dll, as each
// text once did), the hourglass that used to be set per host, and the
// tree view's insert into a hidden and into a shown tree.
void PerHostParts() {
    constexpr std::size_t n = 10000;
    platform::win32::SystemMessagesWin32 messages;
    auto perCall = [](double seconds) { return seconds / n * 1e6; };
    const std::wstring name = L"\\\\h000001";
    const double call = Seconds([&] {
        for (std::size_t i = 0; i < n; ++i) {
            LPBYTE buffer = nullptr;
            NetServerGetInfo(const_cast<wchar_t*>(name.c_str()), 101, &buffer);
            if (buffer) NetApiBufferFree(buffer);
        }
    });
    std::string text;
    const double kept = Seconds([&] {
        for (std::size_t i = 0; i < n; ++i) text = NetErrorMessage(messages, 124);
    });
    const auto netmsg = messages.KeptDataFile("netmsg.dll");
    const double asked = Seconds([&] {
        for (std::size_t i = 0; i < n; ++i)
            messages.FormatText(FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM |
                                    (netmsg ? FORMAT_MESSAGE_FROM_HMODULE : 0),
                                netmsg, 124, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT));
    });
    const double search = Seconds([&] {
        for (std::size_t i = 0; i < n; ++i) {
            HMODULE m = LoadLibraryExW(L"netmsg.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
            if (m) FreeLibrary(m);
        }
    });
    const double cursor = Seconds([&] {
        for (std::size_t i = 0; i < n; ++i) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        }
    });
    const BareCost hidden = MeasureBareTree(n, false);
    const BareCost shown = MeasureBareTree(n, true);
    std::printf("one host that does not answer, part by part (us, mean of %zu):\n", n);
    std::printf("  NetServerGetInfo %.1f | error text kept %.1f, asked each time %.1f |"
                " looking for netmsg.dll %.1f |"
                " hourglass set and restored %.1f | insert into hidden tree %.1f, into shown tree %.1f\n",
                perCall(call), perCall(kept), perCall(asked), perCall(search), perCall(cursor),
                perCall(hidden.insert), perCall(shown.insert));
    std::fflush(stdout);
}

// What the locale calls of one account's detail text cost, each on its own:
// three dates (1 February 2024, 10:20:30 UTC and the following days)
// converted to local time and written in the user's formats, and the group
// name comparison of a group's member search.
void AccountParts() {
    constexpr std::size_t n = 10000;
    platform::win32::LocaleWin32 locale;
    auto perCall = [](double seconds) { return seconds / n * 1e6; };
    std::vector<platform::CalendarTime> times(n);
    for (std::size_t i = 0; i < n; ++i)
        times[i] = {2024, 2, static_cast<int>(1 + i % 28), 4, static_cast<int>(i % 24),
                    static_cast<int>(i % 60), static_cast<int>((i * 7) % 60), 0};
    const double utc = Seconds([&] {
        for (const auto& t : times) locale.UtcToLocal(t);
    });
    const double date = Seconds([&] {
        for (const auto& t : times) locale.ShortDateText(t);
    });
    const double time = Seconds([&] {
        for (const auto& t : times) locale.LongTimeText(t);
    });
    const double same = Seconds([&] {
        for (std::size_t i = 0; i < n; ++i) locale.SameTextIgnoreCase("Administrators", "G");
    });
    std::printf("one account's locale calls (us, mean of %zu): to local time %.1f | short date %.1f |"
                " long time %.1f | group name compared %.1f\n",
                n, perCall(utc), perCall(date), perCall(time), perCall(same));
    std::fflush(stdout);
}

// From CreateProcess to a visible tree view in a window of the class, 5 runs
// of the program started in the folder; sorted.
std::vector<double> StartToTree(const fs::path& exe, const std::wstring& arguments,
                                const fs::path& folder, const wchar_t* windowClass) {
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::wstring cmd = L"\"" + exe.wstring() + L"\" " + arguments;
        const auto start = Clock::now();
        if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &si, &pi))
            return {};
        HWND window = nullptr;
        bool shown = false;
        while (!shown && Clock::now() - start < std::chrono::seconds(20)) {
            window = FindWindowW(windowClass, nullptr);
            HWND tree = window ? FindWindowExW(window, nullptr, WC_TREEVIEWW, nullptr) : nullptr;
            shown = tree && IsWindowVisible(tree);
            if (!shown) Sleep(1);
        }
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        if (window) PostMessageW(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(pi.hProcess, 10000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    std::sort(times.begin(), times.end());
    return times;
}

// NetworkView.exe beside this program, started in a folder of its own without
// an ips.txt, beside this program showing the bare tree view at once: what
// starting any program with a window and a tree view costs here.
void StartToTree(const fs::path& self) {
    const fs::path folder = MakeFolder(L"nv-bench-start");
    const fs::path copy = folder / L"NetworkView.exe";
    std::error_code error;
    fs::copy_file(self.parent_path() / L"NetworkView.exe", copy, fs::copy_options::overwrite_existing,
                  error);
    if (error) {
        std::printf("start to tree shown: NetworkView.exe not found beside the benchmark\n");
        return;
    }
    const auto program = StartToTree(copy, L"", folder, L"TMainWindow");
    const auto bare = StartToTree(self, L"0 --bare-window", folder, L"BareTreeHost");
    fs::remove_all(folder, error);
    if (program.size() != 5 || bare.size() != 5) {
        std::printf("start to tree shown: a program did not start\n");
        return;
    }
    std::printf("start to tree shown (5 runs, start timer 300 ms): median %.0f ms, fastest %.0f ms,"
                " slowest %.0f ms; a bare window with a tree view: median %.0f ms\n",
                program[2] * 1e3, program.front() * 1e3, program.back() * 1e3, bare[2] * 1e3);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    if (argc > 2 && std::wstring(argv[2]) == L"--bare-window") {
        // The start-up reference: a window with a tree view, shown at once.
        BareTree bare;
        MSG msg;
        while (IsWindow(bare.Tree()) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return 0;
    }
    std::vector<std::size_t> sizes{1000, 10000, 100000};
    if (argc > 1 && _wtol(argv[1]) > 0) sizes = {static_cast<std::size_t>(_wtol(argv[1]))};
    // A second argument: only the parts whose name contains it ("hosts",
    // "domain", a category's name, "parts", "start").
    const std::string only = argc > 2 ? Narrow(argv[2]) : "";
    const auto wanted = [&](const std::string& name) { return name.find(only) != std::string::npos; };

    std::printf("%-28s %7s %9s %8s %9s %8s %8s %6s\n", "real API", "hosts", "ms", "us/host",
                "calls ms", "us/call", "us/ins", "ratio");
    if (wanted("hosts"))
        for (auto n : sizes) HostListBuild(n);

    std::printf("\n%-24s %7s %9s %8s %9s %9s %8s %9s %9s %6s %8s %6s\n", "real window, scripted",
                "entries", "fill ms", "us/entry", "bare fill", "bare ins", "expand", "del each",
                "del all", "ratio", "seam ms", "-seam");
    std::printf("(bare fill: the bare tree view inserting as many items while its item expands, and"
                " showing them; then inserting under a collapsed item, expanding it, deleting the"
                " items one by one and all at once; seam: the scripted network answering the fill's calls"
                " bare, and the ratio without them; each fill and bare fill the fastest of five taking turns,"
                " ratios the median of each fill's over the bare fill just before it)\n");
    if (wanted("domain"))
        for (auto n : sizes) DomainFill(n);
    for (const auto category : bench::kCategories) {
        if (!wanted(bench::CategoryName(category))) continue;
        std::size_t last = 0;
        for (auto n : sizes) {
            // Services: as many as one listing holds.
            if (category == bench::Category::Services) n = bench::ServicesThatFit(n);
            if (n != last) CategoryFill(category, n);
            last = n;
        }
    }

    std::printf("\n");
    if (wanted("parts")) {
        PerHostParts();
        AccountParts();
    }
    std::printf("\n");
    if (!wanted("start")) return 0;
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    StartToTree(fs::path(self));
    return 0;
}
