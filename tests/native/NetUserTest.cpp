#include <gtest/gtest.h>

#include "netinfo/cmpNetUser.h"
#include "platform/DateTime.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedNetwork.h"

namespace {

platform::UserInfo3 Account(const std::string& name) {
    platform::UserInfo3 u;
    u.name = name;
    u.full_name = name + " full";
    u.comment = name + " comment";
    u.usr_comment = name + " user comment";
    u.flags = 0x0201;  // UF_SCRIPT | UF_NORMAL_ACCOUNT
    u.user_id = 1000;
    u.home_dir = "C:\\Users\\" + name;
    return u;
}

class NetUserTest : public ::testing::Test {
protected:
    NetUserTest() {
        net.Machine("\\\\PC1").users = {Account("alice"), Account("bob")};
        server.SetServerName("\\\\PC1");
        user.SetServer(&server);
        user.SetUserName("alice");
    }

    std::size_t InfoCalls(const std::string& level) {
        std::size_t n = 0;
        for (const auto& c : net.CallsOf("NetUserGetInfo"))
            if (c.args.at(1) == "level=" + level) ++n;
        return n;
    }
    std::size_t AllCalls() { return net.calls.size(); }

    // 2 January 1970 00:00 UTC in the fake's zone, one hour east.
    static double Jan2At1am() {
        return platform::EncodeDateTime({1970, 1, 2, 0, 1, 0, 0, 0});
    }

    ScriptedNetwork net;
    FakeMessages messages;
    FakeLocale locale;
    TNetServer server{net, messages, locale};
    TNetUser user{net, messages, locale};
};

}  // namespace

// ---------------------------------------------------------------- decodings

TEST(NetUserDecoding, FlagsWordSplitsIntoFlagsAndInfoFlags) {
    const std::uint32_t word = 0x0001 | 0x0200 | 0x10000;  // SCRIPT, NORMAL, DONT_EXPIRE
    EXPECT_EQ(UserFlagsFromBits(word), TNetUserFlags{ufDontExpirePassword});
    EXPECT_EQ(UserInfoFlagsFromBits(word), (TNetUserInfoFlags{uifScript, uifNormalAccount}));
    EXPECT_EQ(UserFlagsFromBits(0x0002), TNetUserFlags{ufAccountDisable});
    EXPECT_TRUE(UserInfoFlagsFromBits(0x0002).Empty());
    // Every member has its bit; bits no member names are ignored.
    EXPECT_EQ(UserFlagsFromBits(0xFFFFFFFF).Bits(), 0x7Fu);
    EXPECT_EQ(UserFlagsFromBits(0x20000 | 0x0040 | 0x0010 | 0x0004),
              (TNetUserFlags{ufLockout, ufPasswordCantChange, ufMNSLogonAccount}));
    EXPECT_EQ(UserInfoFlagsFromBits(0xFFFFFFFF).Bits(), 0x3Fu);
    EXPECT_EQ(UserInfoFlagsFromBits(0x2000 | 0x0800 | 0x0100),
              (TNetUserInfoFlags{uifTempDuplicateAccount, uifInterdomainTrustAccount,
                                 uifServerTrustAccount}));
    EXPECT_TRUE(UserFlagsFromBits(0x0001 | 0x0200 | 0x0004 | 0x0080).Empty());
}

TEST(NetUserDecoding, PrivilegeAndAuthFlags) {
    EXPECT_EQ(UserPrivFromNumber(0), upGuest);
    EXPECT_EQ(UserPrivFromNumber(1), upUser);
    EXPECT_EQ(UserPrivFromNumber(2), upAdmin);
    EXPECT_EQ(UserPrivFromNumber(3), upUnknown);
    EXPECT_EQ(UserPrivFromNumber(0xFFFFFFFF), upUnknown);
    EXPECT_EQ(UserAuthFlagsFromBits(0x0005), (TNetUserAuthFlags{afOpPrint, afOpServer}));
    EXPECT_EQ(UserAuthFlagsFromBits(0xFFFFFFF0), TNetUserAuthFlags{});
    EXPECT_EQ(UserAuthFlagsFromBits(0x000A), (TNetUserAuthFlags{afOpComm, afOpAccounts}));
}

TEST(DateTime, CalendarPartsAndBack) {
    EXPECT_EQ(platform::DecodeDateTime(0), (platform::CalendarTime{1899, 12, 30, 6, 0, 0, 0, 0}));
    EXPECT_EQ(platform::DecodeDateTime(25569.5),
              (platform::CalendarTime{1970, 1, 1, 4, 12, 0, 0, 0}));
    EXPECT_EQ(platform::EncodeDateTime({2000, 2, 29, 0, 0, 0, 0, 0}), 36585.0);
    EXPECT_EQ(platform::DecodeDateTime(36585.0).dayOfWeek, 2);  // a Tuesday
    // A second before midnight stays on its day; the rounding to the
    // millisecond does not push it over.
    const double late = platform::DateTimeOfUnixSeconds(86399);
    EXPECT_EQ(platform::DecodeDateTime(late), (platform::CalendarTime{1970, 1, 1, 4, 23, 59, 59, 0}));
    // Seconds are signed: before 1970 as well.
    EXPECT_EQ(platform::DecodeDateTime(platform::DateTimeOfUnixSeconds(-1)),
              (platform::CalendarTime{1969, 12, 31, 3, 23, 59, 59, 0}));
    EXPECT_EQ(platform::DecodeDateTime(platform::DateTimeOfUnixSeconds(0x7FFFFFFF)),
              (platform::CalendarTime{2038, 1, 19, 2, 3, 14, 7, 0}));
    const platform::CalendarTime t{2026, 12, 8, 2, 17, 29, 53, 250};
    EXPECT_EQ(platform::DecodeDateTime(platform::EncodeDateTime(t)), t);
}

// ---------------------------------------------------------------- loading

TEST_F(NetUserTest, BasicValuesCostOneLevel20CallAndLevel3ValuesOneMore) {
    EXPECT_EQ(user.FullName(), "alice full");
    EXPECT_EQ(user.Comment(), "alice comment");
    EXPECT_EQ(user.Flags(), TNetUserFlags{});
    EXPECT_EQ(user.InfoFlags(), (TNetUserInfoFlags{uifScript, uifNormalAccount}));
    EXPECT_EQ(user.UserId(), 1000);
    EXPECT_EQ(AllCalls(), 1u);
    EXPECT_EQ(InfoCalls("20"), 1u);
    const auto call = net.CallsOf("NetUserGetInfo").at(0);
    EXPECT_EQ(call.server, "\\\\PC1");
    EXPECT_EQ(call.args.at(0), "user=alice");

    EXPECT_EQ(user.HomeDir(), "C:\\Users\\alice");
    EXPECT_EQ(InfoCalls("3"), 1u);
    EXPECT_EQ(user.FullName(), "alice full");
    EXPECT_EQ(user.UserComment(), "alice user comment");
    EXPECT_EQ(user.Priv(), upGuest);
    EXPECT_EQ(AllCalls(), 2u);
}

TEST_F(NetUserTest, Level3ValuesFirstNeedNoLevel20Call) {
    EXPECT_EQ(user.UserComment(), "alice user comment");
    EXPECT_EQ(user.FullName(), "alice full");
    EXPECT_EQ(user.UserId(), 1000);
    EXPECT_EQ(InfoCalls("20"), 0u);
    EXPECT_EQ(InfoCalls("3"), 1u);
}

TEST_F(NetUserTest, Level3ReadReplacesTheLevel20Values) {
    EXPECT_EQ(user.FullName(), "alice full");
    net.Machine("\\\\PC1").users[0].full_name = "Alice Changed";
    EXPECT_EQ(user.FullName(), "alice full");
    user.HomeDir();
    EXPECT_EQ(user.FullName(), "Alice Changed");
}

TEST_F(NetUserTest, SameNameKeepsTheValuesAnotherNameDropsThem) {
    user.HomeDir();
    user.SetUserName("alice");
    user.FullName();
    user.HomeDir();
    EXPECT_EQ(AllCalls(), 1u);

    user.SetUserName("bob");
    EXPECT_TRUE(user.Loaded().Empty());
    EXPECT_EQ(user.FullName(), "bob full");
    EXPECT_EQ(net.calls.back().args.at(0), "user=bob");
    EXPECT_EQ(AllCalls(), 2u);

    // Names compare exactly: another case is another name.
    user.SetUserName("BOB");
    EXPECT_TRUE(user.Loaded().Empty());
}

TEST_F(NetUserTest, AnotherServerObjectDropsTheValuesTheSameKeepsThem) {
    user.FullName();
    user.SetServer(&server);
    EXPECT_FALSE(user.Loaded().Empty());
    TNetServer other{net, messages, locale};
    other.SetServerName("\\\\PC1");
    user.SetServer(&other);
    EXPECT_TRUE(user.Loaded().Empty());
}

TEST_F(NetUserTest, SameNamedAccountOfAnotherMachineIsAskedAnew) {
    auto twin = Account("alice");
    twin.full_name = "the other alice";
    net.Machine("\\\\PC2").users = {twin};
    EXPECT_EQ(user.HomeDir(), "C:\\Users\\alice");

    // The server object stays; only the machine it names changes.
    server.SetServerName("\\\\PC2");
    EXPECT_EQ(user.FullName(), "the other alice");
    EXPECT_EQ(net.calls.back().server, "\\\\PC2");
    // What level 20 brought is all that is loaded now: nothing of PC1 stays.
    EXPECT_EQ(user.Loaded(), (TNetUserValues{uvFullName, uvComment, uvFlags, uvUserId}));
    user.HomeDir();
    EXPECT_EQ(net.calls.back().server, "\\\\PC2");
    EXPECT_EQ(AllCalls(), 3u);
}

TEST_F(NetUserTest, FailedReadRaisesKeepsTheValuesAndCanBeRetried) {
    user.FullName();
    net.Machine("\\\\PC1").failWith["NetUserGetInfo"] = 5;
    try {
        user.HomeDir();
        FAIL() << "no exception";
    } catch (const ENTException& e) {
        EXPECT_EQ(e.ErrorCode, 5u);
        EXPECT_EQ(e.Message(), "Error 5 : Access is denied.\r\n");
    }
    EXPECT_EQ(user.FullName(), "alice full");
    net.Machine("\\\\PC1").failWith.clear();
    EXPECT_EQ(user.HomeDir(), "C:\\Users\\alice");

    user.SetUserName("nobody");
    try {
        user.Comment();
        FAIL() << "no exception";
    } catch (const ENTException& e) {
        EXPECT_EQ(e.ErrorCode, 2221u);
    }
    EXPECT_TRUE(user.Loaded().Empty());
}

TEST_F(NetUserTest, WithoutServerTheLocalMachineIsAsked) {
    TNetUser lone{net, messages, locale};
    lone.SetUserName("alice");
    EXPECT_THROW(lone.FullName(), ENTException);  // "" is no scripted machine here
    EXPECT_EQ(net.calls.back().server, "");
}

// ---------------------------------------------------------------- values

TEST_F(NetUserTest, TimesAreLocalDateTimesAndZeroMeansNever) {
    auto& u = net.Machine("\\\\PC1").users[0];
    u.last_logon = 86400;
    u.last_logoff = 0;
    u.acct_expires = 0xFFFFFFFF;
    EXPECT_DOUBLE_EQ(user.LastLogon(), Jan2At1am());
    EXPECT_EQ(user.LastLogoff(), 0.0);
    EXPECT_EQ(user.AcctExpires(), 0.0);

    // A stored 0 is no special value for the expiry: 1 January 1970, 01:00
    // local.
    u.acct_expires = 0;
    user.LoadFull();
    EXPECT_EQ(platform::DecodeDateTime(user.AcctExpires()),
              (platform::CalendarTime{1970, 1, 1, 4, 1, 0, 0, 0}));
}

TEST_F(NetUserTest, RefusedTimeConversionRaises) {
    net.Machine("\\\\PC1").users[0].last_logon = 86400;
    locale.refuseTimeConversion = true;
    messages.lastError = 5;
    EXPECT_THROW(user.LastLogon(), ENTException);
}

TEST_F(NetUserTest, NumbersAreSignedAndPasswordExpiredIsAnyNonZero) {
    auto& u = net.Machine("\\\\PC1").users[0];
    u.max_storage = 0xFFFFFFFF;
    u.password_age = 3600;
    u.primary_group_id = 513;
    u.password_expired = 2;
    u.priv = 2;
    u.auth_flags = 0x0009;
    EXPECT_EQ(user.MaxStorage(), -1);
    EXPECT_EQ(user.PasswordAge(), 3600);
    EXPECT_EQ(user.PrimaryGroupId(), 513);
    EXPECT_TRUE(user.PasswordExpired());
    EXPECT_EQ(user.Priv(), upAdmin);
    EXPECT_EQ(user.AuthFlags(), (TNetUserAuthFlags{afOpPrint, afOpAccounts}));
}

// ---------------------------------------------------------------- groups

TEST_F(NetUserTest, LoneGroupNoneIsNoGroup) {
    auto& pc = net.Machine("\\\\PC1");
    TStringList list{"left over"};
    pc.globalGroupsOf["alice"] = {"None"};
    user.GetGroups(list);
    EXPECT_TRUE(list.empty());

    pc.globalGroupsOf["alice"] = {"None", "Staff"};
    user.GetGroups(list);
    EXPECT_EQ(list, (TStringList{"None", "Staff"}));

    pc.globalGroupsOf["alice"] = {"none"};  // exact comparison
    user.GetGroups(list);
    EXPECT_EQ(list, TStringList{"none"});

    // Never kept: every call asks.
    EXPECT_EQ(net.CallsOf("NetUserGetGroups").size(), 3u);
    EXPECT_EQ(net.calls.back().args, (std::vector<std::string>{"user=alice", "level=0"}));
}

TEST_F(NetUserTest, LocalGroupsInTheOrderReturnedAndFailuresEmptyTheList) {
    auto& pc = net.Machine("\\\\PC1");
    pc.localGroupsOf["alice"] = {"Users", "Administrators"};
    TStringList list{"left over"};
    user.GetLocalGroups(list);
    EXPECT_EQ(list, (TStringList{"Users", "Administrators"}));
    EXPECT_EQ(net.calls.back().args,
              (std::vector<std::string>{"user=alice", "level=0", "flags=0"}));

    pc.failWith["NetUserGetLocalGroups"] = 234;  // more data: a partial list is no list
    EXPECT_THROW(user.GetLocalGroups(list), ENTException);
    EXPECT_TRUE(list.empty());
    pc.failWith["NetUserGetGroups"] = 53;
    list = {"left over"};
    EXPECT_THROW(user.GetGroups(list), ENTException);
    EXPECT_TRUE(list.empty());
}

// ---------------------------------------------------------------- GetUsers

TEST_F(NetUserTest, GetUsersReportsEachStepAndMakesLoadedObjects) {
    auto& pc = net.Machine("\\\\PC1");
    pc.users.push_back(Account("carol"));
    pc.users[2].last_logon = 86400;
    std::vector<std::string> progress;
    TNetUserList users;
    server.GetUsers({}, users, [&](const std::string& text) { progress.push_back(text); });
    EXPECT_EQ(progress, (std::vector<std::string>{"Getting account details",
                                                  "Creating user objects", "Got user #0",
                                                  "Got user #1", "Got user #2",
                                                  "Got user objects"}));
    EXPECT_EQ(net.calls.back().args, (std::vector<std::string>{"level=3", "filter=0"}));
    ASSERT_EQ(users.size(), 3u);
    EXPECT_EQ(users[1]->UserName(), "bob");
    EXPECT_EQ(users[1]->Server(), &server);

    // The objects never ask for a value.
    const std::size_t before = AllCalls();
    for (const auto& u : users) {
        EXPECT_EQ(u->FullName(), u->UserName() + " full");
        EXPECT_EQ(u->HomeDir(), "C:\\Users\\" + u->UserName());
        u->Flags();
        u->AcctExpires();
    }
    EXPECT_DOUBLE_EQ(users[2]->LastLogon(), Jan2At1am());
    EXPECT_EQ(AllCalls(), before);

    // Their group lists ask the machine the server names.
    TStringList groups;
    users[0]->GetLocalGroups(groups);
    EXPECT_EQ(net.calls.back().server, "\\\\PC1");
}

TEST_F(NetUserTest, FailedGetUsersReportsTwoStepsAndLeavesNoObjects) {
    net.Machine("\\\\PC1").failWith["NetUserEnum"] = 5;
    std::vector<std::string> progress;
    TNetUserList users;
    users.push_back(std::make_unique<TNetUser>(net, messages, locale));
    EXPECT_THROW(
        server.GetUsers({nfNormalAccount}, users,
                        [&](const std::string& text) { progress.push_back(text); }),
        ENTException);
    EXPECT_EQ(progress,
              (std::vector<std::string>{"Getting account details", "Creating user objects"}));
    EXPECT_TRUE(users.empty());
    EXPECT_EQ(net.calls.back().args, (std::vector<std::string>{"level=3", "filter=2"}));

    // No callback: nothing to report, the same listing.
    net.Machine("\\\\PC1").failWith.clear();
    server.GetUsers({}, users, nullptr);
    EXPECT_EQ(users.size(), 2u);
}
