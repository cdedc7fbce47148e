// Connections as another user through the seam over libnetapi: the fixture's
// server, named "localhost" so that the seam meets it with an account of its
// own, refuses a guest and lets the fixture's account in once a connection
// is made. libnetapi answers a refused session setup with 1003.
#include "tests/contract/ContractFixture.h"

TEST_F(ContractTest, Connection_LetsInTheAccountThatAHostRefusingGuestsKnows) {
    const std::string server = "\\\\localhost";
    const std::string remote = server + "\\IPC$";
    Samba().UseAccountFor("localhost", "", platform::Secret(""));
    const auto shares = [&] {
        std::vector<std::string> names;
        const auto listing = net.ShareEnum2(server);
        for (const auto& share : listing.entries) names.push_back(share.netname);
        return std::make_pair(listing.status, names);
    };
    using Listing = std::pair<platform::NetStatus, std::vector<std::string>>;
    EXPECT_EQ(shares(), (Listing{1003, {}}));
    EXPECT_EQ(net.AddConnection(remote, fx.user, platform::Secret("not the password")), 1003u);
    EXPECT_EQ(shares(), (Listing{1003, {}})) << "a refused logon keeps the account before it";

    ASSERT_EQ(net.AddConnection(remote, fx.user, platform::Secret(fx.password)), 0u);
    const auto connected = shares();
    EXPECT_EQ(connected.first, 0u);
    EXPECT_TRUE(Contains(connected.second, "docs"));
    EXPECT_TRUE(Contains(connected.second, "public"));
    // The host's other name keeps its own account.
    EXPECT_EQ(net.ShareEnum2(fx.server).status, 0u);

    EXPECT_EQ(net.CancelConnection(remote), 0u);
    EXPECT_EQ(net.CancelConnection(remote), 2250u);
}
