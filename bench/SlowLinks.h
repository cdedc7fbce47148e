#pragma once
// The Users fill and a group's members fill of many accounts on a slow link,
// where every call to the machine takes a set time: the accounts asked one
// after the other and side by side, timed, and their trees compared. Shared
// by the native benchmark (on the scripted network) and the one under Wine
// (on the scripted netapi32.dll).
#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
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
    std::string status;  // the status bar's text after the fill
};

// The child of parent with that text, or the first child when text is empty.
inline PVirtualNode ChildNamed(TMainWindow& w, PVirtualNode parent, const std::string& text) {
    PVirtualNode node = parent ? w.Tree.GetFirstChild(parent) : nullptr;
    while (node && !text.empty() && TNetTree::GetNodeData(node).Text != text)
        node = w.Tree.GetNextSibling(node);
    return node;
}

// The Users fill, or the members fill of the group of that name (the first
// group when empty), of the machine named host in the host list.
inline SlowFill FillOnSlowLink(platform::NetApi& net, bool members, std::size_t threads,
                               const std::string& host = "S", const std::string& group = "") {
    FakeWindowHost window;
    auto w = window.StartWindow(net, host + "\r\n");
    w->AccountQueryThreads = threads;
    PVirtualNode node = ChildNamed(*w, ChildNamed(*w, w->Tree.GetFirst(), host),
                                   members ? "Groups" : "Users");
    if (node == nullptr) return {};
    if (members) {
        w->Tree.Expand(node);
        node = ChildNamed(*w, node, group);
        if (node == nullptr) return {};
    }
    SlowFill fill;
    fill.seconds = Seconds([&] { w->Tree.Expand(node); });
    for (auto* c = w->Tree.GetFirstChild(node); c; c = w->Tree.GetNextSibling(c))
        fill.texts.push_back(TNetTree::GetNodeData(c).Text.str() + "\n" +
                             TNetTree::GetNodeData(c).Info);
    fill.status = window.statusBar.text;
    return fill;
}

// Where the accounts are and how often each fill runs.
struct SlowLink {
    SlowNetwork network;
    // The machine's name in the host list at each delay.
    std::function<std::string(int delayMs)> host = [](int) { return std::string("S"); };
    std::string group;  // whose members are filled; the first group when empty
    std::vector<int> delaysMs{std::begin(kSlowLinkDelaysMs), std::end(kSlowLinkDelaysMs)};
    int runsAtZero = 11;
    std::string delayed = "every call of the machine";  // what takes the time shown
    // Lines of the detail text that change between runs on a real server
    // (a password's age in seconds, the last logon of the account that
    // connects), left out when the two ways are compared.
    std::vector<std::string> changing;
};

// The fill's node texts without the detail lines that begin with one of
// the prefixes.
inline SlowFill Without(SlowFill fill, const std::vector<std::string>& prefixes) {
    for (auto& text : fill.texts) {
        std::string kept;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = std::min(text.find('\n', at), text.size() - 1) + 1;
            const std::string line = text.substr(at, end - at);
            if (std::none_of(prefixes.begin(), prefixes.end(),
                             [&](const std::string& p) { return line.rfind(p, 0) == 0; }))
                kept += line;
            at = end;
        }
        text = std::move(kept);
    }
    return fill;
}

// Where two fills differ: the first node (or the status bar text) each gave.
inline std::string FirstDifference(const SlowFill& a, const SlowFill& b) {
    const auto [ia, ib] =
        std::mismatch(a.texts.begin(), a.texts.end(), b.texts.begin(), b.texts.end());
    if (ia != a.texts.end() || ib != b.texts.end())
        return (ia != a.texts.end() ? *ia : "(none)") + "\n  side by side:\n" +
               (ib != b.texts.end() ? *ib : "(none)");
    return a.status + "\n  side by side:\n" + b.status;
}

// One row per fill and delay: one by one, side by side (each the fastest of
// the link's runs taking turns at 0 ms, one run otherwise), the nodes, and
// whether both gave the same nodes, texts and status bar text (where not,
// the first difference).
inline void PrintSlowLinks(const char* where, const SlowLink& link, std::size_t accounts) {
    std::printf("\nslow links, %s: %zu accounts, %s taking the time shown\n", where, accounts,
                link.delayed.c_str());
    std::printf("%-20s %8s %14s %15s %7s %6s %5s\n", "fill", "ms/call", "one by one ms",
                "side by side ms", "ratio", "nodes", "same");
    for (const bool members : {false, true}) {
        for (const int delay : link.delaysMs) {
            const int runs = delay == 0 ? link.runsAtZero : 1;
            SlowFill best[2];
            for (int run = 0; run < runs; ++run) {
                for (int side = 0; side < 2; ++side) {
                    SlowFill fill = FillOnSlowLink(link.network(delay), members,
                                                   side ? TMainWindow::kQueryThreads : 0,
                                                   link.host(delay), link.group);
                    if (run == 0 || fill.seconds < best[side].seconds) best[side] = std::move(fill);
                }
            }
            best[0] = Without(std::move(best[0]), link.changing);
            best[1] = Without(std::move(best[1]), link.changing);
            const bool same = best[0].texts == best[1].texts && best[0].status == best[1].status;
            std::printf("%-20s %8d %14.1f %15.1f %7.2f %6zu %5s\n",
                        members ? "group members" : "users with details", delay,
                        best[0].seconds * 1e3, best[1].seconds * 1e3,
                        best[0].seconds / best[1].seconds, best[1].texts.size(),
                        same ? "yes" : "NO");
            if (!same)
                std::printf("  one by one:\n%s\n", FirstDifference(best[0], best[1]).c_str());
            std::fflush(stdout);
        }
    }
}

inline void PrintSlowLinks(const char* where, const SlowNetwork& network, std::size_t accounts) {
    SlowLink link;
    link.network = network;
    PrintSlowLinks(where, link, accounts);
}

}  // namespace bench
