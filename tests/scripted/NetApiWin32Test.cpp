// The Win32 network seam (platform/win32) against the scripted netapi32.dll:
// the real calls through the real import table, with the library recording
// what they passed and every buffer it handed out. Run with the library
// loaded in place of Wine's (with-scripted-netapi.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "platform/win32/Win32Platform.h"

namespace {

using namespace platform;
using platform::win32::Narrow;

// The library's own functions, found in the netapi32 this process loaded.
struct ScriptedLibrary {
    using LoadFn = const wchar_t*(WINAPI*)(const char*);
    using CallsFn = const wchar_t*(WINAPI*)();
    using BuffersFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);

    ScriptedLibrary() {
        HMODULE module = GetModuleHandleW(L"netapi32.dll");
        load = reinterpret_cast<LoadFn>(reinterpret_cast<void*>(GetProcAddress(module, "ScriptedNetworkLoad")));
        calls = reinterpret_cast<CallsFn>(reinterpret_cast<void*>(GetProcAddress(module, "ScriptedNetworkCalls")));
        buffers = reinterpret_cast<BuffersFn>(reinterpret_cast<void*>(GetProcAddress(module, "ScriptedNetworkBuffers")));
    }
    LoadFn load = nullptr;
    CallsFn calls = nullptr;
    BuffersFn buffers = nullptr;
};

class NetApiWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(lib_.load, nullptr)
            << "this process runs Wine's netapi32, not the scripted one beside it "
               "(run it through with-scripted-netapi.sh)";
    }
    void Load(const char* script) {
        const wchar_t* fault = lib_.load(script);
        ASSERT_EQ(fault, nullptr) << Narrow(fault);
    }
    std::string Calls() { return Narrow(lib_.calls()); }
    // Handed out, freed, and freed without having been handed out.
    std::tuple<DWORD, DWORD, DWORD> Buffers() {
        DWORD out = 0, freed = 0, stray = 0;
        lib_.buffers(&out, &freed, &stray);
        return {out, freed, stray};
    }

    ScriptedLibrary lib_;
    win32::NetApiWin32 net_;
};

// Each record as field=value lines, so that a field copied into another's
// place shows by name.
std::string Describe(const UserInfo3& u) {
    std::ostringstream s;
    s << "name=" << u.name << "|password_age=" << u.password_age << "|priv=" << u.priv
      << "|home_dir=" << u.home_dir << "|comment=" << u.comment << "|flags=" << u.flags
      << "|script_path=" << u.script_path << "|auth_flags=" << u.auth_flags
      << "|full_name=" << u.full_name << "|usr_comment=" << u.usr_comment << "|parms=" << u.parms
      << "|workstations=" << u.workstations << "|last_logon=" << u.last_logon
      << "|last_logoff=" << u.last_logoff << "|acct_expires=" << u.acct_expires
      << "|max_storage=" << u.max_storage << "|user_id=" << u.user_id
      << "|primary_group_id=" << u.primary_group_id << "|profile=" << u.profile
      << "|home_dir_drive=" << u.home_dir_drive << "|password_expired=" << u.password_expired;
    return s.str();
}

std::string Describe(const UserInfo20& u) {
    std::ostringstream s;
    s << "name=" << u.name << "|full_name=" << u.full_name << "|comment=" << u.comment
      << "|flags=" << u.flags << "|user_id=" << u.user_id;
    return s.str();
}

std::string Describe(const ShareInfo2& i) {
    std::ostringstream s;
    s << "netname=" << i.netname << "|type=" << i.type << "|remark=" << i.remark
      << "|permissions=" << i.permissions << "|max_uses=" << i.max_uses
      << "|current_uses=" << i.current_uses << "|path=" << i.path << "|passwd=" << i.passwd;
    return s.str();
}

std::string Describe(const SessionInfo502& i) {
    std::ostringstream s;
    s << "cname=" << i.cname << "|username=" << i.username << "|num_opens=" << i.num_opens
      << "|time=" << i.time << "|idle_time=" << i.idle_time << "|user_flags=" << i.user_flags
      << "|cltype_name=" << i.cltype_name << "|transport=" << i.transport;
    return s.str();
}

std::string Describe(const FileInfo3& i) {
    std::ostringstream s;
    s << "id=" << i.id << "|permissions=" << i.permissions << "|num_locks=" << i.num_locks
      << "|pathname=" << i.pathname << "|username=" << i.username;
    return s.str();
}

std::string Describe(const std::string& text) { return text; }

template <typename T>
std::string Describe(const NetList<T>& list) {
    std::string text = "status=" + std::to_string(list.status);
    for (const auto& entry : list.entries) {
        text += '\n';
        text += Describe(entry);
    }
    return text;
}

template <typename T>
std::string Describe(const NetRecord<T>& record) {
    return "status=" + std::to_string(record.status) + "\n" + Describe(record.value);
}

std::string Describe(const NetRecord<std::uint32_t>& record) {
    return "status=" + std::to_string(record.status) + "\n" + std::to_string(record.value);
}

// One machine whose every record holds a different value in each field, and
// a second share and session whose texts are all missing.
const char kAlpha[] = R"(
machine ALPHA type=0x00009003
  disk C:
  disk D:
  user alice password_age=3600 priv=2 home_dir=\\ALPHA\home\alice comment="Team lead" flags=0x10201 script_path=logon.cmd auth_flags=5 full_name="Alice Ämes" usr_comment="Zoë ✓ Ωmega" parms=p=1 workstations=WS1,WS2 last_logon=1700000000 last_logoff=1700003600 acct_expires=1800000000 max_storage=4096 user_id=1001 primary_group_id=513 profile=\\ALPHA\profiles\alice home_dir_drive=H: password_expired=1 groups="Domain Users,Staff"
  localgroup Administrators members=alice
  localgroup Users members=bob,alice
  share Data type=0x80000000 remark="Team data" permissions=7 max_uses=-1 current_uses=2 path=C:\Data passwd=secret
  share Empty type=3
  session cname=PC042 user=alice opens=3 time=300 idle=20 user_flags=1 cltype="Windows 10" transport=\Device\NetBT_Tcpip
  session opens=4
  file id=7 permissions=1 locks=2 path=C:\Data\plan.txt user=alice
)";

struct QueryCase {
    const char* call;
    std::function<std::string(NetApi&)> run;
    std::string expected;  // what ALPHA of kAlpha answers
};

// Every list and information call of the seam, each asking ALPHA.
std::vector<QueryCase> Queries() {
    const std::string alpha = "\\\\ALPHA";
    const std::string alice3 =
        "name=alice|password_age=3600|priv=2|home_dir=\\\\ALPHA\\home\\alice|comment=Team lead"
        "|flags=66049|script_path=logon.cmd|auth_flags=5|full_name=Alice Ämes"
        "|usr_comment=Zoë ✓ Ωmega|parms=p=1|workstations=WS1,WS2|last_logon=1700000000"
        "|last_logoff=1700003600|acct_expires=1800000000|max_storage=4096|user_id=1001"
        "|primary_group_id=513|profile=\\\\ALPHA\\profiles\\alice|home_dir_drive=H:"
        "|password_expired=1";
    return {
        {"NetServerGetInfo", [=](NetApi& n) { return Describe(n.ServerGetInfo101(alpha)); },
         "status=0\n36867"},
        {"NetServerDiskEnum", [=](NetApi& n) { return Describe(n.ServerDiskEnum(alpha)); },
         "status=0\nC:\nD:"},
        {"NetUserEnum 0", [=](NetApi& n) { return Describe(n.UserEnum0(alpha, 0)); },
         "status=0\nalice"},
        {"NetUserEnum 3", [=](NetApi& n) { return Describe(n.UserEnum3(alpha, 0)); },
         "status=0\n" + alice3},
        {"NetUserGetInfo 3", [=](NetApi& n) { return Describe(n.UserGetInfo3(alpha, "alice")); },
         "status=0\n" + alice3},
        {"NetUserGetInfo 20", [=](NetApi& n) { return Describe(n.UserGetInfo20(alpha, "alice")); },
         "status=0\nname=alice|full_name=Alice Ämes|comment=Team lead|flags=66049|user_id=1001"},
        {"NetLocalGroupEnum", [=](NetApi& n) { return Describe(n.LocalGroupEnum0(alpha)); },
         "status=0\nAdministrators\nUsers"},
        {"NetUserGetGroups", [=](NetApi& n) { return Describe(n.UserGetGroups0(alpha, "alice")); },
         "status=0\nDomain Users\nStaff"},
        {"NetUserGetLocalGroups",
         [=](NetApi& n) { return Describe(n.UserGetLocalGroups0(alpha, "alice")); },
         "status=0\nAdministrators\nUsers"},
        {"NetShareEnum", [=](NetApi& n) { return Describe(n.ShareEnum2(alpha)); },
         "status=0\nnetname=Data|type=2147483648|remark=Team data|permissions=7"
         "|max_uses=4294967295|current_uses=2|path=C:\\Data|passwd=secret\n"
         "netname=Empty|type=3|remark=|permissions=0|max_uses=0|current_uses=0|path=|passwd="},
        {"NetSessionEnum", [=](NetApi& n) { return Describe(n.SessionEnum502(alpha)); },
         "status=0\ncname=PC042|username=alice|num_opens=3|time=300|idle_time=20|user_flags=1"
         "|cltype_name=Windows 10|transport=\\Device\\NetBT_Tcpip\n"
         "cname=|username=|num_opens=4|time=0|idle_time=0|user_flags=0|cltype_name=|transport="},
        {"NetFileEnum", [=](NetApi& n) { return Describe(n.FileEnum3(alpha)); },
         "status=0\nid=7|permissions=1|num_locks=2|pathname=C:\\Data\\plan.txt|username=alice"},
    };
}

TEST_F(NetApiWin32Test, EveryRecordIsCopiedFieldByField) {
    Load(kAlpha);
    for (const auto& q : Queries()) EXPECT_EQ(q.run(net_), q.expected) << q.call;
}

TEST_F(NetApiWin32Test, EveryBufferIsGivenBackOnSuccessAndOnFailure) {
    // Answered; failed with a buffer handed out all the same; answered in
    // parts of one (a failure, 234, where the call cannot resume).
    const char* const endings[] = {"", "  fail * 5 buffer\n", "  parts * 1\n"};
    for (const char* ending : endings) {
        Load((std::string(kAlpha) + ending).c_str());
        for (const auto& q : Queries()) {
            const auto [outBefore, freedBefore, strayBefore] = Buffers();
            const std::string result = q.run(net_);
            const auto [out, freed, stray] = Buffers();
            EXPECT_GT(out, outBefore) << q.call << " after '" << ending << "': " << result;
            EXPECT_EQ(freed, out) << q.call << " after '" << ending << "'";
            EXPECT_EQ(stray, strayBefore) << q.call << " after '" << ending << "'";
        }
    }
}

TEST_F(NetApiWin32Test, ListsInPartsAreJoinedInOrder) {
    Load(R"(
machine ALPHA
  parts * 2
  user u1 flags=0x200
  user u2 flags=0x200
  user u3 flags=0x200
  user u4 flags=0x200
  user u5 flags=0x200
  localgroup g1
  localgroup g2
  localgroup g3
  share s1
  share s2
  share s3
  share s4
  session cname=c1
  session cname=c2
  session cname=c3
  file id=1
  file id=2
  file id=3
  file id=4
  file id=5
)");
    // The status and each entry's first field.
    auto names = [](const auto& list) {
        std::string text = std::to_string(list.status) + ":";
        for (const auto& e : list.entries) {
            const std::string fields = Describe(e);
            text += ' ';
            text += fields.substr(0, fields.find('|'));
        }
        return text;
    };
    EXPECT_EQ(names(net_.UserEnum0("\\\\ALPHA", 2)), "0: u1 u2 u3 u4 u5");
    EXPECT_EQ(names(net_.UserEnum3("\\\\ALPHA", 0)), "0: name=u1 name=u2 name=u3 name=u4 name=u5");
    EXPECT_EQ(names(net_.LocalGroupEnum0("\\\\ALPHA")), "0: g1 g2 g3");
    EXPECT_EQ(names(net_.ShareEnum2("\\\\ALPHA")), "0: netname=s1 netname=s2 netname=s3 netname=s4");
    EXPECT_EQ(names(net_.SessionEnum502("\\\\ALPHA")), "0: cname=c1 cname=c2 cname=c3");
    EXPECT_EQ(names(net_.FileEnum3("\\\\ALPHA")), "0: id=1 id=2 id=3 id=4 id=5");
    // Each part asked from where the one before ended.
    const std::string alpha = R"(servername="\\ALPHA", )";
    const std::string most = ", prefmaxlen=0xFFFFFFFF, resume";
    auto parts = [&](const std::string& call, const std::string& args, const char* handle,
                     std::initializer_list<int> starts) {
        std::string lines;
        for (int start : starts)
            lines += call + "(" + alpha + args + most + handle + "=" + std::to_string(start) + ")\n";
        return lines;
    };
    EXPECT_EQ(Calls(), parts("NetUserEnum", "level=0, filter=2", "_handle", {0, 2, 4}) +
                           parts("NetUserEnum", "level=3, filter=0", "_handle", {0, 2, 4}) +
                           parts("NetLocalGroupEnum", "level=0", "handle", {0, 2}) +
                           parts("NetShareEnum", "level=2", "_handle", {0, 2}) +
                           parts("NetSessionEnum", "UncClientName=null, username=null, level=502",
                                 "_handle", {0, 2}) +
                           parts("NetFileEnum", "basepath=null, username=null, level=3", "_handle",
                                 {0, 2, 4}));
    const auto [out, freed, stray] = Buffers();
    EXPECT_EQ(out, 15u);  // three parts for five entries, two for three or four
    EXPECT_EQ(freed, out);
    EXPECT_EQ(stray, 0u);
}

TEST_F(NetApiWin32Test, AListWhoseLaterPartFailsIsNoList) {
    Load(R"(
machine ALPHA
  parts NetShareEnum 1
  fail NetShareEnum 59 from=2
  share s1
  share s2
)");
    const auto shares = net_.ShareEnum2("\\\\ALPHA");
    EXPECT_EQ(shares.status, 59u);
    EXPECT_TRUE(shares.entries.empty());
    const auto [out, freed, stray] = Buffers();
    EXPECT_EQ(out, 1u);
    EXPECT_EQ(freed, 1u);
}

struct ArgumentCase {
    std::function<NetStatus(NetApi&)> run;
    NetStatus status;
    const char* call;  // as the library saw it
};

TEST_F(NetApiWin32Test, EveryCallPassesExactlyItsArguments) {
    const std::string alpha = "\\\\ALPHA";
    const ArgumentCase cases[] = {
        {[](NetApi& n) { return n.ServerEnum("", 0x80000000, std::nullopt).status; }, 0,
         R"(NetServerEnum(servername="", level=100, prefmaxlen=0xFFFFFFFF, servertype=0x80000000, domain=null, resume_handle=null))"},
        {[](NetApi& n) { return n.ServerEnum("", 0xFFFFFFFF, "LAB").status; }, 0,
         R"(NetServerEnum(servername="", level=100, prefmaxlen=0xFFFFFFFF, servertype=0xFFFFFFFF, domain="LAB", resume_handle=null))"},
        {[&](NetApi& n) { return n.ServerGetInfo101(alpha).status; }, 0,
         R"(NetServerGetInfo(servername="\\ALPHA", level=101))"},
        {[&](NetApi& n) { return n.ServerDiskEnum(alpha).status; }, 0,
         R"(NetServerDiskEnum(servername="\\ALPHA", level=0, prefmaxlen=0xFFFFFFFF, resume_handle=null))"},
        {[&](NetApi& n) { return n.UserEnum0(alpha, 2).status; }, 0,
         R"(NetUserEnum(servername="\\ALPHA", level=0, filter=2, prefmaxlen=0xFFFFFFFF, resume_handle=0))"},
        {[&](NetApi& n) { return n.UserEnum3(alpha, 0).status; }, 0,
         R"(NetUserEnum(servername="\\ALPHA", level=3, filter=0, prefmaxlen=0xFFFFFFFF, resume_handle=0))"},
        {[&](NetApi& n) { return n.LocalGroupEnum0(alpha).status; }, 0,
         R"(NetLocalGroupEnum(servername="\\ALPHA", level=0, prefmaxlen=0xFFFFFFFF, resumehandle=0))"},
        {[&](NetApi& n) { return n.UserGetInfo20(alpha, "alice").status; }, 0,
         R"(NetUserGetInfo(servername="\\ALPHA", username="alice", level=20))"},
        {[&](NetApi& n) { return n.UserGetInfo3(alpha, "bob").status; }, 2221,
         R"(NetUserGetInfo(servername="\\ALPHA", username="bob", level=3))"},
        {[&](NetApi& n) { return n.UserGetGroups0(alpha, "alice").status; }, 0,
         R"(NetUserGetGroups(servername="\\ALPHA", username="alice", level=0, prefmaxlen=0xFFFFFFFF))"},
        {[&](NetApi& n) { return n.UserGetLocalGroups0(alpha, "alice").status; }, 0,
         R"(NetUserGetLocalGroups(servername="\\ALPHA", username="alice", level=0, flags=0, prefmaxlen=0xFFFFFFFF))"},
        {[&](NetApi& n) { return n.ShareEnum2(alpha).status; }, 0,
         R"(NetShareEnum(servername="\\ALPHA", level=2, prefmaxlen=0xFFFFFFFF, resume_handle=0))"},
        {[&](NetApi& n) { return n.SessionEnum502(alpha).status; }, 0,
         R"(NetSessionEnum(servername="\\ALPHA", UncClientName=null, username=null, level=502, prefmaxlen=0xFFFFFFFF, resume_handle=0))"},
        {[&](NetApi& n) { return n.FileEnum3(alpha).status; }, 0,
         R"(NetFileEnum(servername="\\ALPHA", basepath=null, username=null, level=3, prefmaxlen=0xFFFFFFFF, resume_handle=0))"},
        {[&](NetApi& n) { return n.ShareDel(alpha, "Data"); }, 0,
         R"(NetShareDel(servername="\\ALPHA", netname="Data", reserved=0))"},
        {[&](NetApi& n) { return n.ShareDel(alpha, "Data"); }, 2310,
         R"(NetShareDel(servername="\\ALPHA", netname="Data", reserved=0))"},
        {[&](NetApi& n) { return n.FileClose(alpha, 7); }, 0,
         R"(NetFileClose(servername="\\ALPHA", fileid=7))"},
        {[&](NetApi& n) { return n.SessionDel(alpha, "alice"); }, 0,
         R"(NetSessionDel(servername="\\ALPHA", UncClientName=null, username="alice"))"},
        {[&](NetApi& n) { return n.SessionDel("\\\\BETA", "alice"); }, 53,
         R"(NetSessionDel(servername="\\BETA", UncClientName=null, username="alice"))"},
    };
    Load((std::string("domain LAB\n") + kAlpha).c_str());
    for (const auto& c : cases) {
        const std::size_t before = Calls().size();
        EXPECT_EQ(c.run(net_), c.status) << c.call;
        EXPECT_EQ(Calls().substr(before), std::string(c.call) + "\n");
    }
}

}  // namespace
