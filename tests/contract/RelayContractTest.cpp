// The relay of slow links (smb-relay.py) between the seam and the fixture's
// server: through it an exchange takes at least the round trip it was
// given, and the server answers as it does directly.
#include <chrono>
#include <cstdlib>

#include "tests/contract/ContractFixture.h"

namespace {

std::vector<std::string> ShareNames(const platform::NetList<platform::ShareInfo2>& listing) {
    std::vector<std::string> names;
    for (const auto& share : listing.entries) names.push_back(share.netname + "|" + share.remark);
    return names;
}

}  // namespace

TEST_F(ContractTest, Relay_HoldsBackEachExchangeAndChangesNoAnswer) {
    const char* relay = std::getenv("NV_SMB_RELAY_50");
    if (relay == nullptr) GTEST_SKIP() << "no relay of 50 ms (NV_SMB_RELAY_MS)";
    const std::string through = std::string("\\\\") + relay;
    const auto direct = net.ShareEnum2(fx.server);
    ASSERT_EQ(direct.status, 0u);
    // The first listing opens the connection; the second goes over it, one
    // exchange at least.
    ASSERT_EQ(net.ShareEnum2(through).status, 0u);
    const auto start = std::chrono::steady_clock::now();
    const auto relayed = net.ShareEnum2(through);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(relayed.status, 0u);
    EXPECT_EQ(ShareNames(relayed), ShareNames(direct));
    EXPECT_TRUE(Contains(ShareNames(relayed), "docs|Project documents"));
    EXPECT_GE(took, std::chrono::milliseconds(50));
}
