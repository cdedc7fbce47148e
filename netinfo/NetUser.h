#pragma once
// TNetUser stands for one account on the machine of a TNetServer. It reads the
// account's details lazily, one information level at a time (level 20 for the
// full name, comment, flags and id; level 3 for everything), keeps them until
// the account or the machine changes, and decodes the interface's flag words,
// privilege numbers and times. Every failed call is raised as ENTException.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "netinfo/NetServer.h"
#include "netinfo/NetError.h"
#include "platform/Locale.h"
#include "platform/NetApi.h"
#include "platform/SystemMessages.h"
#include "toolkit/Set.h"
#include "toolkit/Strings.h"

enum TNetUserFlag {
    ufAccountDisable,       // UF_ACCOUNTDISABLE 0x0002
    ufHomedirRequired,      // UF_HOMEDIR_REQUIRED 0x0008
    ufLockout,              // UF_LOCKOUT 0x0010
    ufPasswordNotRequired,  // UF_PASSWD_NOTREQD 0x0020
    ufPasswordCantChange,   // UF_PASSWD_CANT_CHANGE 0x0040
    ufDontExpirePassword,   // UF_DONT_EXPIRE_PASSWD 0x10000
    ufMNSLogonAccount,      // UF_MNS_LOGON_ACCOUNT 0x20000
};
using TNetUserFlags = TSet<TNetUserFlag, 7>;

enum TNetUserInfoFlag {
    uifScript,                   // UF_SCRIPT 0x0001
    uifTempDuplicateAccount,     // UF_TEMP_DUPLICATE_ACCOUNT 0x0100
    uifNormalAccount,            // UF_NORMAL_ACCOUNT 0x0200
    uifInterdomainTrustAccount,  // UF_INTERDOMAIN_TRUST_ACCOUNT 0x0800
    uifWorkstationTrustAccount,  // UF_WORKSTATION_TRUST_ACCOUNT 0x1000
    uifServerTrustAccount,       // UF_SERVER_TRUST_ACCOUNT 0x2000
};
using TNetUserInfoFlags = TSet<TNetUserInfoFlag, 6>;

enum TNetUserPriv { upUnknown, upGuest, upUser, upAdmin };

enum TNetUserAuthFlag {
    afOpPrint,     // AF_OP_PRINT 0x0001
    afOpComm,      // AF_OP_COMM 0x0002
    afOpServer,    // AF_OP_SERVER 0x0004
    afOpAccounts,  // AF_OP_ACCOUNTS 0x0008
};
using TNetUserAuthFlags = TSet<TNetUserAuthFlag, 4>;

// Decodings of the interface's numbers; bits without a member are ignored.
TNetUserFlags UserFlagsFromBits(std::uint32_t flags);
TNetUserInfoFlags UserInfoFlagsFromBits(std::uint32_t flags);
TNetUserPriv UserPrivFromNumber(std::uint32_t priv);
TNetUserAuthFlags UserAuthFlagsFromBits(std::uint32_t authFlags);

// The members' names as declared ("ufAccountDisable").
std::string_view UserFlagName(TNetUserFlag flag);
std::string_view UserInfoFlagName(TNetUserInfoFlag flag);
std::string_view UserPrivName(TNetUserPriv priv);
std::string_view UserAuthFlagName(TNetUserAuthFlag flag);

// The values an account object holds, one loaded flag each.
enum TNetUserValue {
    uvFullName,
    uvComment,
    uvFlags,
    uvUserId,
    uvPasswordAge,
    uvPriv,
    uvHomeDir,
    uvScriptPath,
    uvAuthFlags,
    uvUserComment,
    uvParms,
    uvWorkstations,
    uvLastLogon,
    uvLastLogoff,
    uvAcctExpires,
    uvMaxStorage,
    uvPrimaryGroupId,
    uvProfile,
    uvHomeDirDrive,
    uvPasswordExpired,
};
inline constexpr int kNetUserValueCount = 20;
using TNetUserValues = TSet<TNetUserValue, kNetUserValueCount>;

class TNetUser {
public:
    TNetUser(platform::NetApi& net, platform::SystemMessages& messages, platform::Locale& locale);

    // An object of the account of a USER_INFO_3 entry on the server's
    // machine, with every value loaded from the entry.
    static std::unique_ptr<TNetUser> CreateFromInfo(const platform::UserInfo3& entry,
                                                     TNetServer& server);

    TNetServer* Server() const { return server_; }
    // Another server object drops the loaded values.
    void SetServer(TNetServer* server);
    const std::string& UserName() const { return userName_; }
    // Another name (compared exactly) drops the loaded values.
    void SetUserName(const std::string& name);

    // Read through level 20 when not loaded. A text stays the account's
    // until the next load replaces it.
    const std::string& FullName();
    const std::string& Comment();
    TNetUserFlags Flags();
    TNetUserInfoFlags InfoFlags();
    std::int32_t UserId();
    // Read through level 3 when not loaded.
    std::int32_t PasswordAge();  // seconds
    TNetUserPriv Priv();
    const std::string& HomeDir();
    const std::string& ScriptPath();
    TNetUserAuthFlags AuthFlags();
    const std::string& UserComment();
    const std::string& Parms();
    const std::string& Workstations();
    // Local date-times; 0 for never (no logon, no logoff, no expiry).
    double LastLogon();
    double LastLogoff();
    double AcctExpires();
    std::int32_t MaxStorage();  // -1: no limit
    std::int32_t PrimaryGroupId();
    const std::string& Profile();
    const std::string& HomeDirDrive();
    bool PasswordExpired();

    TNetUserValues Loaded() const { return loaded_; }

    void LoadBasic();  // level 20
    void LoadFull();   // level 3, which replaces every value
    void ClearInfo();

    // The global groups of the account; the lone group "None" of a machine
    // outside a domain stands for none. Asked anew at every call.
    void GetGroups(TStringList& list);
    // The local groups the account belongs to directly. Asked anew.
    void GetLocalGroups(TStringList& list);

private:
    // The server argument: "" (the local machine) while no server is set.
    const std::string& ServerArgument() const;
    // Values loaded for another machine than the server now names are
    // dropped, so that no account shows the values of a same-named account
    // elsewhere.
    void DropIfMachineChanged();
    void NeedBasic(TNetUserValue value);
    void NeedFull(TNetUserValue value);
    double DateTimeOfSeconds(std::uint32_t stored);

    platform::NetApi& net_;
    platform::SystemMessages& messages_;
    platform::Locale& locale_;
    TNetServer* server_ = nullptr;
    std::string userName_;
    TNetUserValues loaded_;
    std::string loadedFor_;  // the server argument the loaded values came from
    platform::UserInfo3 info_;
};
