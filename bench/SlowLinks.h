#pragma once
// The Users fill and a group's members fill of many accounts on a slow link,
// where every call to the machine takes a set time: the accounts asked one
// after the other and side by side, timed, and their trees compared. Shared
// by the native benchmark (on the scripted network) and the one under Wine
// (on the scripted netapi32.dll).
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchWindow.h"

namespace bench {

inline constexpr int kSlowLinkDelaysMs[] = {0, 1, 5, 10};

// A network whose machine "\\S" holds the accounts of ScriptMachine (every
// one a member of the local group "G"), every call to it taking delayMs.
using SlowNetwork = std::function<platform::NetApi&(int delayMs)>;

// What one fill gave: its time, and every node's text and detail text.
struct SlowFill {
    double seconds = 0;
    std::vector<std::string> texts;
};

inline SlowFill FillOnSlowLink(platform::NetApi& net, bool members, std::size_t threads) {
    FakeWindowHost host;
    auto w = host.StartWindow(net, "S\r\n");
    w->AccountQueryThreads = threads;
    PVirtualNode node = w->Tree.GetFirstChild(w->Tree.GetFirstChild(w->Tree.GetFirst()));
    while (node && TNetTree::GetNodeData(node).Text != (members ? "Groups" : "Users"))
        node = w->Tree.GetNextSibling(node);
    if (node == nullptr) return {};
    if (members) {
        w->Tree.Expand(node);
        node = w->Tree.GetFirstChild(node);
    }
    SlowFill fill;
    fill.seconds = Seconds([&] { w->Tree.Expand(node); });
    for (auto* c = w->Tree.GetFirstChild(node); c; c = w->Tree.GetNextSibling(c))
        fill.texts.push_back(TNetTree::GetNodeData(c).Text.str() + "\n" +
                             TNetTree::GetNodeData(c).Info);
    return fill;
}

// One row per fill and delay: one by one, side by side (each the fastest of
// eleven runs taking turns at 0 ms, one run otherwise), the nodes, and
// whether both gave the same nodes and texts.
inline void PrintSlowLinks(const char* where, const SlowNetwork& network, std::size_t accounts) {
    std::printf("\nslow links, %s: %zu accounts, every call of the machine taking the time shown\n",
                where, accounts);
    std::printf("%-20s %8s %14s %15s %7s %6s %5s\n", "fill", "ms/call", "one by one ms",
                "side by side ms", "ratio", "nodes", "same");
    for (const bool members : {false, true}) {
        for (const int delay : kSlowLinkDelaysMs) {
            const int runs = delay == 0 ? 11 : 1;
            SlowFill best[2];
            for (int run = 0; run < runs; ++run) {
                for (int side = 0; side < 2; ++side) {
                    SlowFill fill = FillOnSlowLink(network(delay), members,
                                                   side ? TMainWindow::kQueryThreads : 0);
                    if (run == 0 || fill.seconds < best[side].seconds) best[side] = std::move(fill);
                }
            }
            std::printf("%-20s %8d %14.1f %15.1f %7.2f %6zu %5s\n",
                        members ? "group members" : "users with details", delay,
                        best[0].seconds * 1e3, best[1].seconds * 1e3,
                        best[0].seconds / best[1].seconds,
                        best[1].texts.size(), best[0].texts == best[1].texts ? "yes" : "NO");
            std::fflush(stdout);
        }
    }
}

}  // namespace bench
