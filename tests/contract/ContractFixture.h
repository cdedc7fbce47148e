#pragma once
// What the contract tests share: the fixture's names (smb-fixture.sh passes
// them in through the environment), the one libnetapi seam of the test
// program, and the main window with everything but the network in memory.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/samba/NetApiSamba.h"
#include "tests/fakes/FakeWindowHost.h"

std::string Env(const char* name);

// The fixture's server, accounts, groups, shares and files.
struct Fixture {
    std::string host = Env("NV_SMB_SERVER");
    std::string server = "\\\\" + host;  // the server argument the program passes
    std::string user = Env("NV_SMB_USER");
    std::string password = Env("NV_SMB_PASSWORD");
    std::string fullName = Env("NV_SMB_FULLNAME");
    std::string comment = Env("NV_SMB_COMMENT");
    std::string group = Env("NV_SMB_GROUP");
    std::string domainGroup = Env("NV_SMB_DOMAIN_GROUP");
    std::string member = Env("NV_SMB_MEMBER");
    std::filesystem::path shares = Env("NV_SMB_SHARES");  // the shared folders lie below
};
const Fixture& The();

// The seam over libnetapi, alive as long as the test program.
platform::NetApiSamba& Samba();
// How often the seam has called NetApiBufferFree with a buffer.
int BuffersFreed();

// Samba shows a shared folder to Windows clients as a path on drive C:.
std::string WindowsPath(const std::filesystem::path& p);
bool Contains(const std::vector<std::string>& list, const std::string& value);
// The disk shares that an independent client, smbclient -L, sees.
std::vector<std::string> SharesListedBySmbclient();

const platform::ShareInfo2* FindShare(const std::vector<platform::ShareInfo2>& shares,
                                      const std::string& name);
const platform::FileInfo3* FindFile(const std::vector<platform::FileInfo3>& files,
                                    const std::string& path);

// Asks again until the answer satisfies `done` or the limit passes: the
// server acts on some requests after it has answered them.
template <typename Ask, typename Done>
auto AskUntil(Ask ask, Done done, std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    auto answer = ask();
    while (!done(answer) && std::chrono::steady_clock::now() < deadline) answer = ask();
    return answer;
}

// The main window with everything but the network in memory; its host list
// names the fixture's server.
class ContractTest : public ::testing::Test, protected FakeWindowHost {
protected:
    ContractTest() {
        version.versions[version.modulePath] = {0x00000001, 0x00000001};
        files.files[HostListPath(version.modulePath)] = fx.host + "\r\n";
        w = MakeWindow(Samba());
    }

    // Creates the window, lets the start-up timer build the tree and returns
    // the server's node under "Internet".
    PVirtualNode StartAtServer() {
        w->FormCreate();
        timers.Advance(300);
        PVirtualNode internet = w->Tree.GetFirst();
        for (auto* n = w->Tree.GetFirstChild(internet); n; n = w->Tree.GetNextSibling(n))
            if (TNetTree::GetNodeData(n).Text == fx.host) return n;
        ADD_FAILURE() << "no node for " << fx.host;
        return nullptr;
    }
    // StartAtServer, then the server's category of that name, expanded.
    PVirtualNode ExpandedCategory(const std::string& name) {
        PVirtualNode server = StartAtServer();
        PVirtualNode category = server ? Child(server, name) : nullptr;
        if (category) w->Tree.Expand(category);
        return category;
    }
    PVirtualNode Child(PVirtualNode parent, const std::string& text) {
        for (auto* c = w->Tree.GetFirstChild(parent); c; c = w->Tree.GetNextSibling(c))
            if (TNetTree::GetNodeData(c).Text == text) return c;
        ADD_FAILURE() << "no node " << text;
        return nullptr;
    }
    void ClickOn(PVirtualNode n) {
        w->Tree.SetFocusedNode(n);
        w->Tree.Click();
    }

    const Fixture& fx = The();
    platform::NetApi& net = Samba();
    std::unique_ptr<TMainWindow> w;
};

