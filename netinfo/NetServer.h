#pragma once
// TNetServer asks one machine about itself through the network management
// interface: the servers or domains it sees, its server types, disks, user
// accounts and local groups. Every failure is raised as ENTException.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "netinfo/NetError.h"
#include "platform/Locale.h"
#include "platform/NetApi.h"
#include "toolkit/Set.h"
#include "toolkit/Strings.h"

enum TServerAccountType {
    svTypeWorkstation,
    svTypeServer,
    svTypeSQLServer,
    svTypeDomainCtrl,
    svTypeDomainBakCtrl,
    svTypeTimeSource,
    svTypeAFP,
    svTypeNovell,
    svTypeDomainMember,
    svTypePrint,
    svTypeDialin,
    svTypeXenixServer,
    svTypeNT,
    svTypeWFW,
    svTypeMFPN,
    svTypeServerNT,
    svTypePotentialBrowser,
    svTypeBackupBrowser,
    svTypeMasterBrowser,
    svTypeDomainMaster,
    svTypeServerOSF,
    svTypeServerVMS,
    svTypeWindows,
    svTypeDFS,
    svTypeAlternateXport,
    svTypeLocalListOnly,
    svTypeDomainEnum,
    svTypeAll,
};
inline constexpr int kServerAccountTypeCount = 28;
using TServerAccountTypes = TSet<TServerAccountType, kServerAccountTypeCount>;

// The member's name as declared ("svTypeWorkstation").
std::string_view ServerAccountTypeName(TServerAccountType type);
// The SV_TYPE_* bit of one member (0xFFFFFFFF for svTypeAll).
std::uint32_t ServerTypeBit(TServerAccountType type);
// The server type mask of a set: 0xFFFFFFFF when svTypeAll is in it, else the
// OR of its members' bits.
std::uint32_t ServerTypeBits(TServerAccountTypes types);
// The set of an sv101_type: 0xFFFFFFFF is {svTypeAll}; bits without a member
// are dropped.
TServerAccountTypes ServerTypesFromBits(std::uint32_t bits);

enum TNetUserFilterKind {
    nfTempDuplicateAccount,
    nfNormalAccount,
    nfReserved,
    nfInterdomainTrustAccount,
    nfWorkstationTrustAccount,
    nfServerTrustAccount,
};
using TNetUserFilter = TSet<TNetUserFilterKind, 6>;
// The enumeration filter value: member i stands for bit 1 shl i.
std::uint32_t UserFilterBits(TNetUserFilter filter);

// Progress callback of the account listing.
using TNetProgressEvent = std::function<void(const std::string&)>;

class TNetUser;
// User objects that GetUsers makes; they belong to the list.
using TNetUserList = std::vector<std::unique_ptr<TNetUser>>;

class TNetServer {
public:
    // The locale converts the account times of the user objects it makes.
    TNetServer(platform::NetApi& net, platform::SystemMessages& messages,
               platform::Locale& locale);

    // The machine every operation asks: "" for the local machine, otherwise
    // "\\" and its name. Writing another value drops the cached server type.
    const std::string& ServerName() const { return serverName_; }
    void SetServerName(const std::string& name);

    TServerAccountTypes ServerType();

    void GetServerList(TServerAccountTypes types, const std::string& domain, TStringList& list);
    void GetDisks(TStringList& list);
    void GetUserNames(TNetUserFilter filter, TStringList& list);
    void GetLocalGroups(TStringList& list);
    // One user object per account, made from the one level-3 listing, so it
    // needs no further call for its values; it asks this component's machine
    // for its groups. onProgress, when set, hears each step.
    void GetUsers(TNetUserFilter filter, TNetUserList& list, const TNetProgressEvent& onProgress);

    platform::NetApi& Net() { return net_; }
    platform::SystemMessages& Messages() { return messages_; }
    platform::Locale& Locale() { return locale_; }

private:
    // Raises the status of a failed call, or fills the list with the names.
    void TakeNames(platform::NetList<std::string> result, TStringList& list);

    platform::NetApi& net_;
    platform::SystemMessages& messages_;
    platform::Locale& locale_;
    std::string serverName_;
    bool serverTypeCached_ = false;
    TServerAccountTypes serverType_;
};
