// The directory seam over wldap32, against a real domain controller when one
// is there: ad-fixture.sh runs these tests beside its private Samba
// controller. The test names the controller; finding it through the locator
// needs a computer in a domain, and the core's use of it is tested with the
// fakes. Without a controller, this computer is in no domain, as a
// newcomer's Wine is, and the program shows the browse list's failure as
// before.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The fixture's controller and account, or an empty server without it.
struct Controller {
    std::string server = Env("NV_AD_SERVER");
    std::string domain = Env("NV_AD_DOMAIN");
    std::string user = Env("NV_AD_USER");
    std::string password = Env("NV_AD_PASSWORD");
    std::string controller = Env("NV_AD_CONTROLLER");
    std::size_t computers = std::strtoul(Env("NV_AD_COMPUTERS").c_str(), nullptr, 10);
    std::string disabled = Env("NV_AD_DISABLED");
};

}  // namespace

TEST(DirectoryWin32, AComputerInNoDomainHasNoDomainToShow) {
    if (!Controller().server.empty()) GTEST_SKIP() << "beside a controller";
    const auto domain = platform::win32::DirectoryWin32().ComputerDomain();
    EXPECT_NE(domain.status, 0u);
    EXPECT_EQ(domain.name, "");
    EXPECT_EQ(domain.controller, "");
}

TEST(DirectoryWin32, ListsTheControllersEnabledComputersInPagesOfAThousand) {
    const Controller c;
    if (c.server.empty()) GTEST_SKIP() << "no domain controller: run under ad-fixture.sh";
    platform::win32::DirectoryWin32 directory({c.user, c.domain, c.password});
    std::vector<std::size_t> pageSizes;
    std::set<std::string> names;
    const auto status = directory.ListComputers(c.server, [&](auto&& page) {
        pageSizes.push_back(page.size());
        for (const auto& account : page) names.insert(account.name);
    });
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(pageSizes, (std::vector<std::size_t>{1000, 1000, c.computers - 2000}));
    EXPECT_EQ(names.size(), c.computers);
    EXPECT_EQ(names.count(c.controller), 1u);
    std::istringstream disabled(c.disabled);
    for (std::string name; disabled >> name;) EXPECT_EQ(names.count(name), 0u) << name;
}

TEST(DirectoryWin32, AWrongPasswordIsRefusedBeforeAnyPage) {
    const Controller c;
    if (c.server.empty()) GTEST_SKIP() << "no domain controller: run under ad-fixture.sh";
    platform::win32::DirectoryWin32 directory({c.user, c.domain, "not-the-password"});
    int pages = 0;
    EXPECT_EQ(directory.ListComputers(c.server, [&](auto&&) { ++pages; }), 1326u);
    EXPECT_EQ(pages, 0);
}
