#pragma once
// The main window on a scripted network, with a fake form, file system and
// timers: what the native tests of the window logic start from.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/fakes/FakeWindowHost.h"
#include "tests/fakes/ScriptedNetwork.h"

const std::string kIps = "C:\\Program Files\\NetworkView\\ips.txt";

class MainWindowTest : public ::testing::Test, protected FakeWindowHost {
protected:
    MainWindowTest() {
        version.versions[version.modulePath] = {0x00000002, 0x00000009};  // 0.2.0.9
        net.Machine("");  // the local machine, which sees no domain
    }

    void Create() {
        w = MakeWindow(net);
        w->FormCreate();
    }
    // Creates the window and lets the start-up timer build the tree.
    void Start() {
        Create();
        timers.Advance(300);
    }

    TNetNodeData& Data(PVirtualNode n) { return TNetTree::GetNodeData(n); }
    std::vector<std::string> Texts(PVirtualNode parent) {
        std::vector<std::string> out;
        for (auto* c = w->Tree.GetFirstChild(parent ? parent : nullptr); c;
             c = w->Tree.GetNextSibling(c))
            out.push_back(w->TreeGetText(c));
        return out;
    }
    std::vector<std::string> RootTexts() {
        std::vector<std::string> out;
        for (auto* c = w->Tree.GetFirst(); c; c = w->Tree.GetNextSibling(c))
            out.push_back(w->TreeGetText(c));
        return out;
    }
    PVirtualNode Child(PVirtualNode parent, const std::string& text) {
        for (auto* c = parent ? w->Tree.GetFirstChild(parent) : w->Tree.GetFirst(); c;
             c = w->Tree.GetNextSibling(c))
            if (Data(c).Text == text) return c;
        ADD_FAILURE() << "no node " << text;
        return nullptr;
    }
    void ClickOn(PVirtualNode n) {
        w->Tree.SetFocusedNode(n);
        w->Tree.Click();
    }

    ScriptedNetwork net;
    std::unique_ptr<TMainWindow> w;
};

const std::vector<std::string> kCategories{"Groups",   "Users",    "Services",  "Disks",
                                           "Shares",   "Sessions", "Open Files"};
