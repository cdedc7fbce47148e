#pragma once
// Everything the main window's logic needs besides the network, in memory:
// message tables, version resource, files, locale, registry, shell, service
// manager, form, status bar and timers on a virtual clock. The native tests,
// the contract tests, the fuzz targets and the benchmark build their window
// on it with the network they need.
#include <memory>
#include <string>

#include "app/MainWindow.h"
#include "tests/fakes/FakeForm.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedRegistry.h"
#include "tests/fakes/ScriptedServiceManager.h"

struct FakeWindowHost {
    // A main window on the network, its timers on the virtual clock; its
    // FormCreate has not run yet.
    std::unique_ptr<TMainWindow> MakeWindow(platform::NetApi& net) {
        auto w = std::make_unique<TMainWindow>(
            TNetworkViewerPlatform{net, messages, version, files, locale, registry, shell,
                                   services, directory},
            form, statusBar);
        w->StartupTimer.SetBackend(&timers);
        w->FlashTimer.SetBackend(&timers);
        return w;
    }
    // The same window with the host list ips, created and past its start
    // timer: its tree is built.
    std::unique_ptr<TMainWindow> StartWindow(platform::NetApi& net, const std::string& ips) {
        files.files["C:\\Program Files\\NetworkView\\ips.txt"] = ips;
        auto w = MakeWindow(net);
        w->FormCreate();
        timers.Advance(300);
        return w;
    }

    FakeMessages messages;
    FakeVersion version;
    FakeFiles files;
    FakeLocale locale;
    ScriptedRegistry registry;
    FakeShell shell;
    ScriptedServiceManager services;
    FakeForm form;
    FakeStatusBar statusBar;
    FakeTimers timers;
    // The domain directory the window is given; none unless a test sets one.
    platform::Directory* directory = nullptr;
};
