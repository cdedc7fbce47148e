#include <gtest/gtest.h>

#include "netinfo/NetServer.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedNetwork.h"

namespace {

class NetServerTest : public ::testing::Test {
protected:
    ScriptedNetwork net;
    FakeMessages messages;
    FakeLocale locale;
    TNetServer server{net, messages, locale};

    // Runs f, which must raise ENTException, and returns its code.
    template <typename F>
    std::uint32_t RaisedCode(F f) {
        try {
            f();
        } catch (const ENTException& e) {
            return e.ErrorCode;
        }
        ADD_FAILURE() << "no ENTException raised";
        return 0;
    }
};

}  // namespace

TEST(ServerAccountType, EveryMemberHasItsInterfaceBit) {
    const std::uint32_t expected[kServerAccountTypeCount] = {
        0x1,      0x2,      0x4,      0x8,      0x10,     0x20,       0x40,
        0x80,     0x100,    0x200,    0x400,    0x800,    0x1000,     0x2000,
        0x4000,   0x8000,   0x10000,  0x20000,  0x40000,  0x80000,    0x100000,
        0x200000, 0x400000, 0x800000, 0x20000000, 0x40000000, 0x80000000, 0xFFFFFFFF};
    for (int i = 0; i < kServerAccountTypeCount; ++i) {
        const auto t = static_cast<TServerAccountType>(i);
        EXPECT_EQ(ServerTypeBits({t}), expected[i]) << ServerAccountTypeName(t);
    }
}

TEST(ServerAccountType, SetValues) {
    EXPECT_EQ(ServerTypeBits({}), 0u);
    EXPECT_EQ(ServerTypeBits({svTypeAll, svTypeServer}), 0xFFFFFFFFu);
    EXPECT_EQ(ServerTypeBits({svTypeDomainEnum}), 0x80000000u);
    EXPECT_EQ(ServerTypeBits({svTypeWorkstation, svTypeServer, svTypeNT, svTypeServerNT}),
              0x9003u);
    EXPECT_EQ(ServerTypeBits({svTypeDFS, svTypeAlternateXport, svTypeLocalListOnly}),
              0x60800000u);
}

TEST(ServerAccountType, DecodingServerTypes) {
    EXPECT_EQ(ServerTypesFromBits(0x9003),
              (TServerAccountTypes{svTypeWorkstation, svTypeServer, svTypeNT, svTypeServerNT}));
    EXPECT_TRUE(ServerTypesFromBits(0x02000000).Empty());
    EXPECT_TRUE(ServerTypesFromBits(0x1F000000).Empty());  // no member for these bits
    EXPECT_EQ(ServerTypesFromBits(0xFFFFFFFF), TServerAccountTypes{svTypeAll});
    EXPECT_EQ(ServerTypesFromBits(0xE0000000),
              (TServerAccountTypes{svTypeAlternateXport, svTypeLocalListOnly, svTypeDomainEnum}));
    // Bits 0 to 23 map one to one onto the ordinals.
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(ServerTypesFromBits(1u << i),
                  TServerAccountTypes{static_cast<TServerAccountType>(i)});
    // Everything but the all-bits value keeps its known bits.
    EXPECT_EQ(ServerTypeBits(ServerTypesFromBits(0xFFFFFFFE)), 0xE0FFFFFEu);
}

TEST(ServerAccountType, NamesFollowTheDeclaration) {
    EXPECT_EQ(ServerAccountTypeName(svTypeWorkstation), "svTypeWorkstation");
    EXPECT_EQ(ServerAccountTypeName(svTypeDomainCtrl), "svTypeDomainCtrl");
    EXPECT_EQ(ServerAccountTypeName(svTypeAll), "svTypeAll");
}

TEST(NetUserFilter, FilterValues) {
    EXPECT_EQ(UserFilterBits({nfNormalAccount}), 2u);
    EXPECT_EQ(UserFilterBits({}), 0u);
    EXPECT_EQ(UserFilterBits({nfTempDuplicateAccount, nfNormalAccount, nfReserved,
                              nfInterdomainTrustAccount, nfWorkstationTrustAccount,
                              nfServerTrustAccount}),
              0x3Fu);
    EXPECT_EQ(UserFilterBits({nfServerTrustAccount}), 0x20u);
}

TEST_F(NetServerTest, ServerTypeIsCachedUntilServerNameChanges) {
    net.Machine("\\\\A").serverType = 0x9003;
    net.Machine("\\\\B").serverType = 0x1;
    server.SetServerName("\\\\A");
    EXPECT_EQ(server.ServerType(),
              (TServerAccountTypes{svTypeWorkstation, svTypeServer, svTypeNT, svTypeServerNT}));
    server.ServerType();
    EXPECT_EQ(net.CallsOf("NetServerGetInfo").size(), 1u);

    server.SetServerName("\\\\A");  // the same name keeps the cache
    server.ServerType();
    EXPECT_EQ(net.CallsOf("NetServerGetInfo").size(), 1u);

    server.SetServerName("\\\\B");
    EXPECT_EQ(server.ServerType(), TServerAccountTypes{svTypeWorkstation});
    server.SetServerName("\\\\A");
    server.ServerType();
    const auto calls = net.CallsOf("NetServerGetInfo");
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].server, "\\\\A");
    EXPECT_EQ(calls[1].server, "\\\\B");
    EXPECT_EQ(calls[2].server, "\\\\A");
    EXPECT_EQ(calls[0].args, std::vector<std::string>{"level=101"});
}

TEST_F(NetServerTest, ServerNameComparesCaseSensitively) {
    net.Machine("\\\\a").serverType = 1;
    net.Machine("\\\\A").serverType = 2;
    server.SetServerName("\\\\a");
    server.ServerType();
    server.SetServerName("\\\\A");
    EXPECT_EQ(server.ServerType(), TServerAccountTypes{svTypeServer});
    EXPECT_EQ(net.CallsOf("NetServerGetInfo").size(), 2u);
}

TEST_F(NetServerTest, FailedServerTypeIsNotCached) {
    auto& m = net.Machine("\\\\A");
    m.status = 5;
    server.SetServerName("\\\\A");
    EXPECT_EQ(RaisedCode([&] { server.ServerType(); }), 5u);
    m.status = 0;
    m.serverType = 0x2;
    EXPECT_EQ(server.ServerType(), TServerAccountTypes{svTypeServer});
    EXPECT_EQ(net.CallsOf("NetServerGetInfo").size(), 2u);
}

TEST_F(NetServerTest, EmptyServerNameAsksTheLocalMachine) {
    net.Machine("").serverType = 0x1000;
    EXPECT_EQ(server.ServerType(), TServerAccountTypes{svTypeNT});
    EXPECT_EQ(net.calls.at(0).server, "");
}

TEST_F(NetServerTest, ServerListPassesTypeAndDomain) {
    auto& local = net.Machine("");
    local.serverLists[""] = {"WORKGROUP", "CORP"};
    local.serverLists["CORP"] = {"PC1", "PC2", "SRV"};
    TStringList list{"stale"};
    server.GetServerList({svTypeDomainEnum}, "", list);
    EXPECT_EQ(list, (TStringList{"WORKGROUP", "CORP"}));
    server.GetServerList({svTypeAll, svTypeServer}, "CORP", list);
    EXPECT_EQ(list, (TStringList{"PC1", "PC2", "SRV"}));

    const auto calls = net.CallsOf("NetServerEnum");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].args, (std::vector<std::string>{"type=0x80000000", "domain=<none>"}));
    EXPECT_EQ(calls[1].args, (std::vector<std::string>{"type=0xFFFFFFFF", "domain=\"CORP\""}));
}

TEST_F(NetServerTest, FailuresRaiseTheirStatusAndLeaveTheListEmpty) {
    auto& m = net.Machine("\\\\A");
    m.disks = {"A:", "C:"};
    m.localGroups = {"Administrators"};
    m.serverLists[""] = {"X"};
    server.SetServerName("\\\\A");

    TStringList list;
    server.GetDisks(list);
    EXPECT_EQ(list, (TStringList{"A:", "C:"}));

    m.status = 5;
    EXPECT_EQ(RaisedCode([&] { server.GetDisks(list); }), 5u);
    EXPECT_TRUE(list.empty());

    m.status = 234;  // more data: a partial answer is a failure too
    list = {"old"};
    EXPECT_EQ(RaisedCode([&] { server.GetLocalGroups(list); }), 234u);
    EXPECT_TRUE(list.empty());
    list = {"old"};
    EXPECT_EQ(RaisedCode([&] { server.GetServerList({svTypeAll}, "", list); }), 234u);
    EXPECT_TRUE(list.empty());
    list = {"old"};
    EXPECT_EQ(RaisedCode([&] { server.GetUserNames({}, list); }), 234u);
    EXPECT_TRUE(list.empty());
}

TEST_F(NetServerTest, RaisedMessageCarriesTheSystemText) {
    server.SetServerName("\\\\NOWHERE");
    try {
        server.ServerType();
        FAIL() << "no exception";
    } catch (const ENTException& e) {
        EXPECT_EQ(e.ErrorCode, 53u);
        EXPECT_EQ(e.Message(), "Error 53 : The network path was not found.\r\n");
    }
}

TEST_F(NetServerTest, UserNamesAndLocalGroupsInInterfaceOrder) {
    auto& m = net.Machine("\\\\A");
    m.users.resize(3);
    m.users[0].name = "Guest";
    m.users[1].name = "Administrator";
    m.users[2].name = "zed";
    m.localGroups = {"Users", "Administrators", "Guests"};
    server.SetServerName("\\\\A");

    TStringList list;
    server.GetUserNames({nfNormalAccount}, list);
    EXPECT_EQ(list, (TStringList{"Guest", "Administrator", "zed"}));
    EXPECT_EQ(net.CallsOf("NetUserEnum").back().args,
              (std::vector<std::string>{"level=0", "filter=2"}));
    server.GetUserNames({}, list);
    EXPECT_EQ(net.CallsOf("NetUserEnum").back().args,
              (std::vector<std::string>{"level=0", "filter=0"}));

    server.GetLocalGroups(list);
    EXPECT_EQ(list, (TStringList{"Users", "Administrators", "Guests"}));
}

TEST_F(NetServerTest, NamesOutsideAnyCodePageComeThroughUnchanged) {
    const std::string name = "\\\\\xE5\xA0\xB4\xF0\x9F\x96\xA5";  // CJK and an emoji
    auto& m = net.Machine(name);
    m.localGroups = {"Gr\xC3\xBC\xC3\x9F" "e", "\xD0\x90\xD0\xB4\xD0\xBC"};
    server.SetServerName(name);
    TStringList list;
    server.GetLocalGroups(list);
    EXPECT_EQ(list, m.localGroups);
    EXPECT_EQ(net.calls.back().server, name);
}
