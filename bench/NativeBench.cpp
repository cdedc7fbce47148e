// How the portable core's own work grows with the entries it shows: every
// fill through the scripted network, timed beside the bare seam calls that
// it makes, for 1,000, 10,000 and 100,000 entries. Not a test: it prints.
// Built natively, and for Windows to run under Wine without a window (there
// the heap per node is not measured).
#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchWindow.h"
#include "bench/SlowLinks.h"

namespace {

using bench::ScriptedWindow;
using bench::Seconds;

#ifdef _WIN32
constexpr bool kHeapMeasured = false;
std::size_t HeapInUse() { return 0; }
#else
constexpr bool kHeapMeasured = true;
std::size_t HeapInUse() { return mallinfo2().uordblks; }
#endif

struct Row {
    std::string name;
    std::size_t entries = 0;
    double program = 0;  // seconds
    double bare = 0;     // seconds of the bare seam calls alone
    double inside = 0;   // seconds the fill spent inside the network's calls
    std::size_t nodes = 0;
    double bytesPerNode = 0;
};

void Print(const Row& r) {
    const double n = static_cast<double>(r.entries);
    char own[16] = "-";
    if (r.inside >= 0) std::snprintf(own, sizeof own, "%.3f", (r.program - r.inside) / n * 1e6);
    char bytes[16] = "-";
    if (kHeapMeasured) std::snprintf(bytes, sizeof bytes, "%.0f", r.bytesPerNode);
    std::printf("%-34s %8zu %10.1f %9.3f %10.1f %9.3f %9s %7.2f %8s %8zu\n", r.name.c_str(),
                r.entries, r.program * 1e3, r.program / n * 1e6, r.bare * 1e3,
                (r.program - r.bare) / n * 1e6, own, r.bare > 0 ? r.program / r.bare : 0.0, bytes,
                r.nodes);
    std::fflush(stdout);
}

// One case: set up the window and the script, time the bare calls, time the
// program's fill, count the nodes it made and the heap they hold.
struct Case {
    std::string name;
    std::function<void(ScriptedWindow&, std::size_t)> script;
    std::function<void(ScriptedWindow&, std::size_t)> bareCalls;
    std::function<void(ScriptedWindow&)> fill;
    // The most entries the category can have (services: as many as one
    // listing holds).
    std::size_t maxEntries = SIZE_MAX;
    // Every call of the fill goes to the network, from the window's thread:
    // the fill's own time is told apart. (Machines asked on worker threads
    // overlap the window's work; services go to the registry and the
    // service manager.)
    bool ownTold = true;
};

// The machine is shared: each side runs five times and the fastest run
// counts; nodes and heap are the last run's.
Row Run(const Case& c, std::size_t n) {
    Row r{c.name, n, 1e9, 1e9};
    const int runs = 5;
    for (int run = 0; run < runs; ++run) {
        {
            ScriptedWindow bare;
            c.script(bare, n);
            r.bare = std::min(r.bare, Seconds([&] { c.bareCalls(bare, n); }));
        }
        ScriptedWindow win;
        c.script(win, n);
        const std::size_t nodesBefore = win.w ? win.w->Tree.TotalCount() : 0;
        const std::size_t heapBefore = HeapInUse();
        win.timedNet.Reset();
        const double program = Seconds([&] { c.fill(win); });
        if (program < r.program) {
            r.program = program;
            r.inside = c.ownTold ? win.timedNet.Seconds() : -1;
        }
        r.nodes = win.w->Tree.TotalCount() - nodesBefore;
        r.bytesPerNode = r.nodes ? static_cast<double>(HeapInUse() - heapBefore) / r.nodes : 0;
    }
    return r;
}

std::vector<Case> Cases() {
    std::vector<Case> cases;

    // ips.txt of hosts that answer (a node and its seven categories each) or
    // that fail at once (a node with the failure message).
    for (const bool answer : {false, true}) {
        cases.push_back(
            {answer ? "tree build, hosts answer" : "tree build, hosts fail at once",
             [answer](ScriptedWindow& win, std::size_t n) {
                 std::string ips;
                 for (std::size_t i = 0; i < n; ++i) {
                     ips += bench::HostName(i) + "\r\n";
                     if (answer) win.net.Machine("\\\\" + bench::HostName(i)).serverType = 0x1003;
                 }
                 win.files.files[win.IpsPath()] = ips;
                 win.Create();
             },
             [](ScriptedWindow& win, std::size_t n) {
                 for (std::size_t i = 0; i < n; ++i) win.net.ServerGetInfo101("\\\\" + bench::HostName(i));
                 win.net.ServerEnum("", 0x80000000, std::nullopt);
             },
             [](ScriptedWindow& win) { win.Start(); },
             SIZE_MAX,
             false});
    }

    // A domain whose machines fail at once.
    cases.push_back({"domain fill, machines fail at once",
                     [](ScriptedWindow& win, std::size_t n) {
                         auto& local = win.net.Machine("");
                         local.serverLists[""] = {"D"};
                         auto& machines = local.serverLists["D"];
                         for (std::size_t i = 0; i < n; ++i) machines.push_back(bench::HostName(i));
                         win.Create();
                         win.Start();
                     },
                     [](ScriptedWindow& win, std::size_t n) {
                         win.net.ServerEnum("", 0xFFFFFFFF, std::string("D"));
                         for (std::size_t i = 0; i < n; ++i) win.net.ServerGetInfo101("\\\\" + bench::HostName(i));
                     },
                     [](ScriptedWindow& win) { win.w->Tree.Expand(win.Find(nullptr, "D")); },
                     SIZE_MAX,
                     false});
    // Each category of the machine S, with as many entries; a group's
    // members are the accounts of the group G.
    for (const auto category : bench::kCategories) {
        cases.push_back(
            {bench::CategoryName(category),
             [category](ScriptedWindow& win, std::size_t n) {
                 bench::ScriptMachine({win.net, win.registry, win.services}, category, n);
                 win.files.files[win.IpsPath()] = "S\r\n";
                 win.Create();
                 win.Start();
             },
             [category](ScriptedWindow& win, std::size_t n) {
                 bench::BareCalls({win.net, win.registry, win.services}, category, n);
             },
             [category](ScriptedWindow& win) {
                 PVirtualNode node = win.Find(win.Find(win.w->Tree.GetFirst(), "S"),
                                              bench::CategoryText(category));
                 win.w->Tree.Expand(node);
                 if (category == bench::Category::GroupMembers)
                     win.w->Tree.Expand(win.w->Tree.GetFirstChild(node));
             },
             category == bench::Category::Services ? bench::ServicesThatFit(SIZE_MAX) : SIZE_MAX,
             category != bench::Category::Services});
    }
    return cases;
}

}  // namespace

namespace {

// The fills of Cases() at each size, with the growth from 10,000 to 100,000.
void PrintFills(const std::vector<std::size_t>& sizes, const std::string& only) {
    std::printf("%-34s %8s %10s %9s %10s %9s %9s %7s %8s %8s\n", "fill", "entries", "ms", "us/entry",
                "bare ms", "+us/entry", "own us", "ratio", "B/node", "nodes");
    for (const auto& c : Cases()) {
        if (c.name.find(only) == std::string::npos) continue;
        std::vector<Row> rows;
        for (auto n : sizes) {
            n = std::min(n, c.maxEntries);
            if (!rows.empty() && rows.back().entries == n) continue;
            rows.push_back(Run(c, n));
            Print(rows.back());
        }
        if (rows.size() == 3 && rows[2].entries == 100000) {
            std::printf("%-34s 100,000 entries take %.1f times as long as 10,000", "",
                        rows[2].program / rows[1].program);
            if (rows[1].inside >= 0)
                std::printf(" (its own time %.1f times)", (rows[2].program - rows[2].inside) /
                                                              (rows[1].program - rows[1].inside));
            std::printf("\n");
        }
    }
}

#ifndef _WIN32
// Under Wine the slow links are timed on the scripted netapi32.dll, by a
// program of their own (SlowLinksBench).
void PrintSlowLinksNatively() {
    std::unique_ptr<bench::QuietOs> os;
    bench::PrintSlowLinks("natively, on the scripted network",
                          [&os](int delayMs) -> platform::NetApi& {
                              os = std::make_unique<bench::QuietOs>();
                              os->net.Machine("");
                              bench::ScriptMachine(os->Os(), bench::Category::Users, 1000);
                              os->net.Machine("\\\\S").delay =
                                  std::chrono::milliseconds(delayMs);
                              return os->net;
                          },
                          1000);
}
#endif

// Twenty hosts that each take a second to answer.
void PrintSlowHosts() {
    ScriptedWindow slow;
    std::string ips;
    for (int i = 0; i < 20; ++i) {
        ips += bench::HostName(i) + "\r\n";
        auto& m = slow.net.Machine("\\\\" + bench::HostName(i));
        m.serverType = 0x1003;
        m.delay = std::chrono::seconds(1);
    }
    slow.files.files[slow.IpsPath()] = ips;
    slow.Create();
    const double t = Seconds([&] { slow.Start(); });
    std::printf("twenty hosts answering after 1 s each: tree built in %.2f s (%zu nodes)\n", t,
                slow.w->Tree.TotalCount());
}

}  // namespace

int main(int argc, char** argv) {
    // The status bar's progress texts have no window to paint here.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // Freed memory stays with the process, so that a run after the first
    // reuses it instead of having the kernel hand out and clear fresh pages:
    // the fastest run shows the program's own work.
#ifndef _WIN32
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
#endif
    std::vector<std::size_t> sizes{1000, 10000, 100000};
    if (argc > 1 && std::atol(argv[1]) > 0) sizes = {static_cast<std::size_t>(std::atol(argv[1]))};
    // A second argument: only the fills whose name contains it.
    const std::string only = argc > 2 ? argv[2] : "";

    PrintFills(sizes, only);
#ifndef _WIN32
    if (only.empty() || only == "slow links") PrintSlowLinksNatively();
#endif
    if (!only.empty()) return 0;
    PrintSlowHosts();
    return 0;
}
