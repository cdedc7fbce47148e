#include <gtest/gtest.h>

#include "netinfo/NetUser.h"
#include "platform/DateTime.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedNetwork.h"

namespace {

platform::UserInfo3 Account(const std::string& name) {
    platform::UserInfo3 u;
    u.name = name;
    u.full_name = name + " full";
    u.home_dir = "C:\\Users\\" + name;
    return u;
}

// The fake locale is one hour east of UTC.
const double kJan2At1amLocal = platform::EncodeDateTime({1970, 1, 2, 0, 1, 0, 0, 0});

class NetUserTest : public ::testing::Test {
protected:
    NetUserTest() {
        net.Machine("\\\\PC1").users = {Account("alice"), Account("bob"), Account("carol")};
        server.SetServerName("\\\\PC1");
        user.SetServer(&server);
        user.SetUserName("alice");
    }
    std::string LastInfoLevel() { return net.CallsOf("NetUserGetInfo").back().args.at(1); }

    ScriptedNetwork net;
    FakeMessages messages;
    FakeLocale locale;
    TNetServer server{net, messages, locale};
    TNetUser user{net, messages, locale};
};

}  // namespace

TEST(NetUserDecoding, FlagsPrivilegeAndAuthFlags) {
    const std::uint32_t word = 0x0001 | 0x0200 | 0x10000;  // SCRIPT, NORMAL, DONT_EXPIRE
    EXPECT_EQ(UserFlagsFromBits(word), TNetUserFlags{ufDontExpirePassword});
    EXPECT_EQ(UserInfoFlagsFromBits(word), (TNetUserInfoFlags{uifScript, uifNormalAccount}));
    EXPECT_EQ(UserFlagsFromBits(0x0002), TNetUserFlags{ufAccountDisable});
    EXPECT_TRUE(UserInfoFlagsFromBits(0x0002).Empty());
    EXPECT_EQ(UserFlagsFromBits(0x20000 | 0x0040 | 0x0010 | 0x0004 | 0x0001),
              (TNetUserFlags{ufLockout, ufPasswordCantChange, ufMNSLogonAccount}));
    EXPECT_EQ(UserInfoFlagsFromBits(0x2000 | 0x0800 | 0x0100 | 0x0002),
              (TNetUserInfoFlags{uifTempDuplicateAccount, uifInterdomainTrustAccount,
                                 uifServerTrustAccount}));
    EXPECT_EQ(UserPrivFromNumber(0), upGuest);
    EXPECT_EQ(UserPrivFromNumber(2), upAdmin);
    EXPECT_EQ(UserPrivFromNumber(3), upUnknown);
    EXPECT_EQ(UserAuthFlagsFromBits(0xFFFFFFF5), (TNetUserAuthFlags{afOpPrint, afOpServer}));
}

TEST(DateTime, CalendarPartsAndSignedSeconds) {
    EXPECT_EQ(platform::DecodeDateTime(0), (platform::CalendarTime{1899, 12, 30, 6, 0, 0, 0, 0}));
    EXPECT_EQ(platform::EncodeDateTime({2000, 2, 29, 0, 0, 0, 0, 0}), 36585.0);
    // The last second of a day stays on its day after rounding.
    EXPECT_EQ(platform::DecodeDateTime(platform::DateTimeOfUnixSeconds(86399)),
              (platform::CalendarTime{1970, 1, 1, 4, 23, 59, 59, 0}));
    EXPECT_EQ(platform::DecodeDateTime(platform::DateTimeOfUnixSeconds(-1)),
              (platform::CalendarTime{1969, 12, 31, 3, 23, 59, 59, 0}));
    const platform::CalendarTime t{2026, 12, 8, 2, 17, 29, 53, 250};
    EXPECT_EQ(platform::DecodeDateTime(platform::EncodeDateTime(t)), t);
}

TEST_F(NetUserTest, ValuesLoadOneLevelAtATimeAndStayForTheSameAccount) {
    user.FullName();
    user.Comment();
    EXPECT_EQ(user.InfoFlags(), TNetUserInfoFlags{});
    ASSERT_EQ(net.calls.size(), 1u);
    EXPECT_EQ(net.calls[0].server, "\\\\PC1");
    EXPECT_EQ(net.calls[0].args, (std::vector<std::string>{"user=alice", "level=20"}));

    // Level 3 replaces the level-20 values too.
    net.Machine("\\\\PC1").users[0].full_name = "changed";
    EXPECT_EQ(user.HomeDir(), "C:\\Users\\alice");
    EXPECT_EQ(LastInfoLevel(), "level=3");
    EXPECT_EQ(user.FullName(), "changed");
    user.SetUserName("alice");
    user.Priv();
    EXPECT_EQ(net.calls.size(), 2u);

    user.SetUserName("bob");
    EXPECT_TRUE(user.Loaded().Empty());
    EXPECT_EQ(user.HomeDir(), "C:\\Users\\bob");  // level 3 first: no level 20 at all
    EXPECT_EQ(net.calls.size(), 3u);
}

TEST_F(NetUserTest, AnotherMachineOrServerObjectDropsTheValues) {
    auto twin = Account("alice");
    twin.full_name = "PC2's alice";
    net.Machine("\\\\PC2").users = {twin};
    user.HomeDir();
    // The same server object, now naming another machine.
    server.SetServerName("\\\\PC2");
    EXPECT_EQ(user.FullName(), "PC2's alice");
    EXPECT_EQ(user.Loaded(), (TNetUserValues{uvFullName, uvComment, uvFlags, uvUserId}));
    EXPECT_EQ(net.calls.back().server, "\\\\PC2");

    TNetServer other{net, messages, locale};
    user.SetServer(&server);
    EXPECT_FALSE(user.Loaded().Empty());
    user.SetServer(&other);
    EXPECT_TRUE(user.Loaded().Empty());
}

TEST_F(NetUserTest, FailedReadRaisesAndKeepsWhatWasLoaded) {
    user.FullName();
    net.Machine("\\\\PC1").failWith["NetUserGetInfo"] = 5;
    try {
        user.HomeDir();
        FAIL() << "no exception";
    } catch (const ENTException& e) {
        EXPECT_EQ(e.ErrorCode, 5u);
    }
    EXPECT_EQ(user.FullName(), "alice full");
    net.Machine("\\\\PC1").failWith.clear();
    EXPECT_EQ(user.HomeDir(), "C:\\Users\\alice");
}

TEST_F(NetUserTest, TimesNumbersAndBooleans) {
    auto& u = net.Machine("\\\\PC1").users[0];
    u.last_logon = 86400;
    u.acct_expires = 0xFFFFFFFF;
    u.max_storage = 0xFFFFFFFF;
    u.password_expired = 2;
    EXPECT_DOUBLE_EQ(user.LastLogon(), kJan2At1amLocal);
    EXPECT_EQ(user.LastLogoff(), 0.0);  // never
    EXPECT_EQ(user.AcctExpires(), 0.0);
    EXPECT_EQ(user.MaxStorage(), -1);
    EXPECT_TRUE(user.PasswordExpired());
    // A stored expiry of 0 is an ordinary time.
    u.acct_expires = 0;
    user.LoadFull();
    EXPECT_EQ(platform::DecodeDateTime(user.AcctExpires()).hour, 1);

    locale.refuseTimeConversion = true;
    EXPECT_THROW(user.LastLogon(), ENTException);
}

TEST_F(NetUserTest, LoneGroupNoneIsNoGroupAndGroupsAreAlwaysAsked) {
    auto& pc = net.Machine("\\\\PC1");
    TStringList list{"left over"};
    pc.globalGroupsOf["alice"] = {"None"};
    user.GetGroups(list);
    EXPECT_TRUE(list.empty());
    pc.globalGroupsOf["alice"] = {"None", "Staff"};
    user.GetGroups(list);
    EXPECT_EQ(list, (TStringList{"None", "Staff"}));
    pc.localGroupsOf["alice"] = {"Users"};
    user.GetLocalGroups(list);
    EXPECT_EQ(list, TStringList{"Users"});
    user.GetLocalGroups(list);
    EXPECT_EQ(net.calls.size(), 4u);

    pc.failWith["NetUserGetLocalGroups"] = 234;  // more data: a partial list is no list
    EXPECT_THROW(user.GetLocalGroups(list), ENTException);
    EXPECT_TRUE(list.empty());
}

TEST_F(NetUserTest, GetUsersReportsEachStepAndItsObjectsNeverAskForValues) {
    net.Machine("\\\\PC1").users[2].last_logon = 86400;
    std::vector<std::string> progress;
    const auto report = [&](const std::string& text) { progress.push_back(text); };
    TNetUserList users;
    server.GetUsers({}, users, report);
    EXPECT_EQ(progress, (std::vector<std::string>{"Getting account details",
                                                  "Creating user objects", "Got user #0",
                                                  "Got user #1", "Got user #2",
                                                  "Got user objects"}));
    EXPECT_EQ(net.calls.back().args, (std::vector<std::string>{"level=3", "filter=0"}));
    ASSERT_EQ(users.size(), 3u);
    for (const auto& u : users) {
        EXPECT_EQ(u->FullName(), u->UserName() + " full");
        EXPECT_EQ(u->HomeDir(), "C:\\Users\\" + u->UserName());
    }
    EXPECT_DOUBLE_EQ(users[2]->LastLogon(), kJan2At1amLocal);
    EXPECT_EQ(net.calls.size(), 1u);

    progress.clear();
    net.Machine("\\\\PC1").failWith["NetUserEnum"] = 5;
    EXPECT_THROW(server.GetUsers({nfNormalAccount}, users, report), ENTException);
    EXPECT_EQ(progress,
              (std::vector<std::string>{"Getting account details", "Creating user objects"}));
    EXPECT_TRUE(users.empty());
}
