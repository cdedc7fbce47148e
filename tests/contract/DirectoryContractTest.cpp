// The directory seam over OpenLDAP and the domain fill, against the private
// Samba domain controller of ad-fixture.sh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ldap/DirectoryLdap.h"
#include "tests/fakes/FakeWindowHost.h"
#include "tests/fakes/ScriptedNetwork.h"

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    if (!value) throw std::runtime_error(std::string(name) + " is not set: run under ad-fixture.sh");
    return value;
}

const std::string kServer = Env("NV_AD_SERVER");
const std::string kDomain = Env("NV_AD_DOMAIN");

platform::DirectoryCredentials Account(const std::string& password = Env("NV_AD_PASSWORD")) {
    return {Env("NV_AD_USER"), kDomain, password};
}

// The domain as the locator finds it (with no password, on Windows), its
// accounts read with the account given; the sizes of the pages read.
struct LocatedDomain : platform::Directory {
    explicit LocatedDomain(const platform::DirectoryCredentials& account)
        : reader(kServer, account) {}
    platform::DomainMembership ComputerDomain() override { return located.ComputerDomain(); }
    platform::NetStatus ListComputers(
        const std::string& controller,
        const std::function<void(std::vector<platform::ComputerAccount>&&)>& onPage) override {
        return reader.ListComputers(controller, [&](auto&& page) {
            pageSizes.push_back(page.size());
            onPage(std::move(page));
        });
    }
    platform::DirectoryLdap located{kServer, Account()};
    platform::DirectoryLdap reader;
    std::vector<std::size_t> pageSizes;
};

// The main window on a network without a browse list whose machines do not
// answer, beside the fixture's directory; its domain node expanded.
class DirectoryDomainFill : public ::testing::Test, protected FakeWindowHost {
protected:
    void ExpandDomain(const platform::DirectoryCredentials& account) {
        net.Machine("").failWith["NetServerEnum"] = 6118;
        messages.systemTable[1326] = "The user name or password is incorrect.\r\n";
        dir = std::make_unique<LocatedDomain>(account);
        directory = dir.get();
        w = StartWindow(net, "");
        domain = w->Tree.GetNextSibling(w->Tree.GetFirst());
        ASSERT_TRUE(domain);
        EXPECT_EQ(TNetTree::GetNodeData(domain).Text, kDomain);
        EXPECT_FALSE(w->FlashTimer.Enabled());
        w->Tree.Expand(domain);
    }

    ScriptedNetwork net;
    std::unique_ptr<LocatedDomain> dir;
    std::unique_ptr<TMainWindow> w;
    PVirtualNode domain = nullptr;
};

}  // namespace

TEST(DirectoryLdap, TheComputersDomainIsTheControllersDomain) {
    const auto domain = platform::DirectoryLdap(kServer, Account()).ComputerDomain();
    EXPECT_EQ(domain.status, 0u);
    EXPECT_EQ(domain.name, kDomain);
    EXPECT_EQ(domain.dnsName, Env("NV_AD_DNS_DOMAIN"));
    EXPECT_EQ(domain.controller, kServer);
    // Where no controller answers: the server is not operational.
    EXPECT_EQ(platform::DirectoryLdap("127.0.0.2", Account()).ComputerDomain().status, 8250u);
}

TEST_F(DirectoryDomainFill, ListsEveryEnabledComputerSortedOnceFromThreePages) {
    ASSERT_NO_FATAL_FAILURE(ExpandDomain(Account()));
    const std::size_t enabled = std::stoul(Env("NV_AD_COMPUTERS"));
    EXPECT_EQ(dir->pageSizes, (std::vector<std::size_t>{1000, 1000, enabled - 2000}));
    std::vector<std::string> machines;
    for (auto* c = w->Tree.GetFirstChild(domain); c; c = w->Tree.GetNextSibling(c))
        machines.push_back(TNetTree::GetNodeData(c).Text);
    EXPECT_EQ(machines.size(), enabled);
    EXPECT_TRUE(std::is_sorted(machines.begin(), machines.end()));  // all upper case
    const std::set<std::string> names(machines.begin(), machines.end());
    EXPECT_EQ(names.size(), enabled);
    EXPECT_EQ(names.count(Env("NV_AD_CONTROLLER")), 1u);
    std::istringstream disabled(Env("NV_AD_DISABLED"));
    for (std::string name; disabled >> name;) EXPECT_EQ(names.count(name), 0u) << name;
    // Each asked as a browsed machine is: this network knows none of them.
    EXPECT_EQ(net.CallsOf("NetServerGetInfo").size(), enabled);
    EXPECT_EQ(TNetTree::GetNodeData(w->Tree.GetFirstChild(domain)).Info,
              "Error 53 : The network path was not found.\r\n");
    EXPECT_FALSE(w->FlashTimer.Enabled());
}

TEST_F(DirectoryDomainFill, AWrongPasswordShowsTheBindsMessage) {
    ASSERT_NO_FATAL_FAILURE(ExpandDomain(Account("not-the-password")));
    EXPECT_TRUE(dir->pageSizes.empty());
    EXPECT_EQ(w->Tree.ChildCount(domain), 0u);
    EXPECT_EQ(statusBar.text, " Error 1326 : The user name or password is incorrect.");
    EXPECT_TRUE(w->FlashTimer.Enabled());
}
