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

struct Domain {
    std::string server = Env("NV_AD_SERVER");
    std::string name = Env("NV_AD_DOMAIN");
    std::string dnsName = Env("NV_AD_DNS_DOMAIN");
    std::string controller = Env("NV_AD_CONTROLLER");
    platform::DirectoryCredentials account{Env("NV_AD_USER"), Env("NV_AD_DOMAIN"),
                                           Env("NV_AD_PASSWORD")};
    std::size_t computers = std::stoul(Env("NV_AD_COMPUTERS"));
    std::vector<std::string> disabled = Split(Env("NV_AD_DISABLED"));

    static std::vector<std::string> Split(const std::string& words) {
        std::istringstream in(words);
        std::vector<std::string> out;
        for (std::string w; in >> w;) out.push_back(w);
        return out;
    }
};

const Domain& TheDomain() {
    static const Domain domain;
    return domain;
}

platform::DirectoryCredentials WithPassword(const std::string& password) {
    auto account = TheDomain().account;
    account.password = password;
    return account;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](unsigned char x, unsigned char y) {
                                            return std::tolower(x) < std::tolower(y);
                                        });
}

}  // namespace

TEST(DirectoryLdap, TheComputersDomainIsTheControllersDomain) {
    const auto& d = TheDomain();
    platform::DirectoryLdap directory(d.server, d.account);
    const auto domain = directory.ComputerDomain();
    EXPECT_EQ(domain.status, 0u);
    EXPECT_EQ(domain.name, d.name);
    EXPECT_EQ(domain.dnsName, d.dnsName);
    EXPECT_EQ(domain.controller, d.server);
}

TEST(DirectoryLdap, ListsEveryEnabledComputerOnceInPagesOfAThousand) {
    const auto& d = TheDomain();
    platform::DirectoryLdap directory(d.server, d.account);
    std::vector<std::size_t> pageSizes;
    std::vector<platform::ComputerAccount> accounts;
    const auto status = directory.ListComputers(d.server, [&](auto&& page) {
        pageSizes.push_back(page.size());
        accounts.insert(accounts.end(), page.begin(), page.end());
    });
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(pageSizes, (std::vector<std::size_t>{1000, 1000, d.computers - 2000}));
    std::set<std::string> names;
    for (const auto& a : accounts) names.insert(a.name);
    EXPECT_EQ(names.size(), d.computers);
    for (const auto& name : d.disabled) EXPECT_EQ(names.count(name), 0u) << name;
    EXPECT_EQ(names.count(d.controller), 1u);
    const auto pc = std::find_if(accounts.begin(), accounts.end(),
                                 [](const auto& a) { return a.name == "PC0001"; });
    ASSERT_NE(pc, accounts.end());
    EXPECT_EQ(pc->dnsHostName, "pc0001." + d.dnsName);
    EXPECT_EQ(pc->operatingSystem, "Windows 11 Pro");
}

TEST(DirectoryLdap, ARefusedBindOrNoControllerFailsBeforeAnyPage) {
    const auto& d = TheDomain();
    const struct {
        const char* what;
        std::string host;
        platform::DirectoryCredentials account;
        platform::NetStatus status;
    } cases[] = {
        {"wrong password", d.server, WithPassword("not-the-password"), 1326},
        {"no controller there", "127.0.0.2", d.account, 8250},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform::DirectoryLdap directory(c.host, c.account);
        int pages = 0;
        EXPECT_EQ(directory.ListComputers(c.host, [&](auto&&) { ++pages; }), c.status);
        EXPECT_EQ(pages, 0);
        EXPECT_EQ(directory.ComputerDomain().status, c.status);
    }
}

namespace {

// The domain as the locator finds it (no password needed on Windows), its
// accounts read with the given account.
struct LocatedDomain : platform::Directory {
    platform::DirectoryLdap located{TheDomain().server, TheDomain().account};
    platform::DirectoryLdap reader;
    explicit LocatedDomain(const platform::DirectoryCredentials& account)
        : reader(TheDomain().server, account) {}
    platform::DomainMembership ComputerDomain() override { return located.ComputerDomain(); }
    platform::NetStatus ListComputers(
        const std::string& controller,
        const std::function<void(std::vector<platform::ComputerAccount>&&)>& onPage) override {
        return reader.ListComputers(controller, onPage);
    }
};

// The main window on a network without a browse list (as current networks
// and Wine answer) whose machines do not answer, beside the fixture's
// directory.
class DirectoryDomainFill : public ::testing::Test, protected FakeWindowHost {
protected:
    void Start(const platform::DirectoryCredentials& account) {
        net.Machine("").failWith["NetServerEnum"] = 6118;
        messages.systemTable[1326] = "The user name or password is incorrect.\r\n";
        dir = std::make_unique<LocatedDomain>(account);
        directory = dir.get();
        w = StartWindow(net, "");
    }
    PVirtualNode DomainNode() {
        PVirtualNode node = w->Tree.GetNextSibling(w->Tree.GetFirst());
        if (!node) ADD_FAILURE() << "no domain node";
        return node;
    }
    std::vector<std::string> Children(PVirtualNode parent) {
        std::vector<std::string> out;
        for (auto* c = w->Tree.GetFirstChild(parent); c; c = w->Tree.GetNextSibling(c))
            out.push_back(TNetTree::GetNodeData(c).Text);
        return out;
    }

    ScriptedNetwork net;
    std::unique_ptr<LocatedDomain> dir;
    std::unique_ptr<TMainWindow> w;
};

}  // namespace

TEST_F(DirectoryDomainFill, ExpandingTheDomainListsEveryEnabledComputerSortedOnce) {
    const auto& d = TheDomain();
    Start(d.account);
    PVirtualNode domain = DomainNode();
    ASSERT_TRUE(domain);
    EXPECT_EQ(TNetTree::GetNodeData(domain).Text, d.name);
    EXPECT_FALSE(w->FlashTimer.Enabled());
    w->Tree.Expand(domain);
    const auto machines = Children(domain);
    EXPECT_EQ(machines.size(), d.computers);
    EXPECT_TRUE(std::is_sorted(machines.begin(), machines.end(), LessIgnoringCase));
    EXPECT_EQ(std::set<std::string>(machines.begin(), machines.end()).size(), d.computers);
    for (const auto& name : d.disabled)
        EXPECT_EQ(std::count(machines.begin(), machines.end(), name), 0) << name;
    // Each asked as a browsed machine is: this network knows none of them.
    EXPECT_EQ(net.CallsOf("NetServerGetInfo").size(), d.computers);
    EXPECT_EQ(TNetTree::GetNodeData(w->Tree.GetFirstChild(domain)).Info,
              "Error 53 : The network path was not found.\r\n");
    EXPECT_FALSE(w->FlashTimer.Enabled());
}

TEST_F(DirectoryDomainFill, AWrongPasswordShowsTheBindsMessage) {
    Start(WithPassword("not-the-password"));
    PVirtualNode domain = DomainNode();
    ASSERT_TRUE(domain);
    w->Tree.Expand(domain);
    EXPECT_EQ(w->Tree.ChildCount(domain), 0u);
    EXPECT_EQ(statusBar.text, " Error 1326 : The user name or password is incorrect.");
    EXPECT_TRUE(w->FlashTimer.Enabled());
}
