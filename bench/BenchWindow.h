#pragma once
// The main window's logic on the scripted network, as the native tests have
// it, for the benchmark: a host list, a started tree, expanding a node.
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

#include "app/fvelmora.h"
#include "tests/fakes/FakeForm.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedNetwork.h"
#include "tests/fakes/ScriptedRegistry.h"

namespace bench {

using Clock = std::chrono::steady_clock;

template <typename F>
double Seconds(F&& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// "h000042": names of one length, so that every host costs the same.
inline std::string HostName(std::size_t i) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "h%06zu", i);
    return buffer;
}

struct ScriptedWindow {
    ScriptedNetwork net;
    FakeMessages messages;
    FakeVersion version;
    FakeFiles files;
    FakeLocale locale;
    ScriptedRegistry registry;
    FakeShell shell;
    FakeForm form;
    FakeStatusBar stbar;
    FakeTimers timers;
    std::unique_ptr<Tnetworkviewer> w;

    std::string IpsPath() const { return "C:\\Program Files\\NetworkView\\ips.txt"; }

    void Create() {
        net.Machine("");
        w = std::make_unique<Tnetworkviewer>(
            TNetworkViewerPlatform{net, messages, version, files, locale, registry, shell}, form,
            stbar);
        w->startticker.SetBackend(&timers);
        w->stbarticker.SetBackend(&timers);
        w->FormCreate();
    }
    // Runs the start timer: the tree is built.
    void Start() { timers.Advance(300); }

    PVirtualNode Find(PVirtualNode parent, const std::string& text) {
        for (auto* c = parent ? w->ntreeview.GetFirstChild(parent) : w->ntreeview.GetFirst(); c;
             c = w->ntreeview.GetNextSibling(c))
            if (TNetTree::GetNodeData(c).Text == text) return c;
        return nullptr;
    }
};

}  // namespace bench
