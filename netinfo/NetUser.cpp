#include "netinfo/NetUser.h"

#include <array>
#include <utility>

namespace {

struct FlagRow {
    std::string_view name;
    std::uint32_t bit;
};

// Rows in the members' ordinal order.
constexpr std::array<FlagRow, 7> kUserFlags{{
    {"ufAccountDisable", 0x0002},
    {"ufHomedirRequired", 0x0008},
    {"ufLockout", 0x0010},
    {"ufPasswordNotRequired", 0x0020},
    {"ufPasswordCantChange", 0x0040},
    {"ufDontExpirePassword", 0x10000},
    {"ufMNSLogonAccount", 0x20000},
}};

constexpr std::array<FlagRow, 6> kUserInfoFlags{{
    {"uifScript", 0x0001},
    {"uifTempDuplicateAccount", 0x0100},
    {"uifNormalAccount", 0x0200},
    {"uifInterdomainTrustAccount", 0x0800},
    {"uifWorkstationTrustAccount", 0x1000},
    {"uifServerTrustAccount", 0x2000},
}};

constexpr std::array<FlagRow, 4> kUserAuthFlags{{
    {"afOpPrint", 0x0001},
    {"afOpComm", 0x0002},
    {"afOpServer", 0x0004},
    {"afOpAccounts", 0x0008},
}};

constexpr std::array<std::string_view, 4> kUserPrivNames{"upUnknown", "upGuest", "upUser",
                                                          "upAdmin"};

template <typename E, int N, std::size_t K>
TSet<E, N> SetOfBits(std::uint32_t bits, const std::array<FlagRow, K>& rows) {
    static_assert(N == static_cast<int>(K));
    TSet<E, N> set;
    for (std::size_t i = 0; i < K; ++i)
        if ((bits & rows[i].bit) != 0) set.Include(static_cast<E>(i));
    return set;
}

// USER_INFO_3's acct_expires of an account that never expires.
constexpr std::uint32_t kTimeqForever = 0xFFFFFFFF;

constexpr TNetUserValues kBasicValues{uvFullName, uvComment, uvFlags, uvUserId};
constexpr TNetUserValues kAllValues = TNetUserValues::FromBits(~std::uint64_t{0});

}  // namespace

TNetUserFlags UserFlagsFromBits(std::uint32_t flags) {
    return SetOfBits<TNetUserFlag, 7>(flags, kUserFlags);
}

TNetUserInfoFlags UserInfoFlagsFromBits(std::uint32_t flags) {
    return SetOfBits<TNetUserInfoFlag, 6>(flags, kUserInfoFlags);
}

TNetUserPriv UserPrivFromNumber(std::uint32_t priv) {
    switch (priv) {
        case 0: return upGuest;  // USER_PRIV_GUEST
        case 1: return upUser;   // USER_PRIV_USER
        case 2: return upAdmin;  // USER_PRIV_ADMIN
        default: return upUnknown;
    }
}

TNetUserAuthFlags UserAuthFlagsFromBits(std::uint32_t authFlags) {
    return SetOfBits<TNetUserAuthFlag, 4>(authFlags, kUserAuthFlags);
}

std::string_view UserFlagName(TNetUserFlag flag) { return kUserFlags[flag].name; }
std::string_view UserInfoFlagName(TNetUserInfoFlag flag) { return kUserInfoFlags[flag].name; }
std::string_view UserPrivName(TNetUserPriv priv) { return kUserPrivNames[priv]; }
std::string_view UserAuthFlagName(TNetUserAuthFlag flag) { return kUserAuthFlags[flag].name; }

TNetUser::TNetUser(platform::NetApi& net, platform::SystemMessages& messages,
                   platform::Locale& locale)
    : net_(net), messages_(messages), locale_(locale) {}

std::unique_ptr<TNetUser> TNetUser::CreateFromInfo(const platform::UserInfo3& entry,
                                                   TNetServer& server) {
    auto user = std::make_unique<TNetUser>(server.Net(), server.Messages(), server.Locale());
    user->userName_ = entry.name;
    user->server_ = &server;
    user->info_ = entry;
    user->loaded_ = kAllValues;
    user->loadedFor_ = server.ServerName();
    return user;
}

void TNetUser::SetServer(TNetServer* server) {
    if (server == server_) return;
    server_ = server;
    ClearInfo();
}

void TNetUser::SetUserName(const std::string& name) {
    if (name == userName_) return;
    userName_ = name;
    ClearInfo();
}

const std::string& TNetUser::ServerArgument() const {
    static const std::string kLocal;
    return server_ ? server_->ServerName() : kLocal;
}

void TNetUser::ClearInfo() {
    loaded_ = {};
    info_ = {};
    loadedFor_.clear();
}

void TNetUser::DropIfMachineChanged() {
    if (!loaded_.Empty() && loadedFor_ != ServerArgument()) ClearInfo();
}

void TNetUser::LoadBasic() {
    DropIfMachineChanged();
    const std::string server = ServerArgument();
    auto result = net_.UserGetInfo20(server, userName_);
    if (result.status != 0) throw ENTException::CreateError(messages_, result.status);
    info_.full_name = std::move(result.value.full_name);
    info_.comment = std::move(result.value.comment);
    info_.flags = result.value.flags;
    info_.user_id = result.value.user_id;
    loaded_ = loaded_ + kBasicValues;
    loadedFor_ = server;
}

void TNetUser::LoadFull() {
    const std::string server = ServerArgument();
    auto result = net_.UserGetInfo3(server, userName_);
    if (result.status != 0) throw ENTException::CreateError(messages_, result.status);
    // Every value is replaced.
    info_ = std::move(result.value);
    loaded_ = kAllValues;
    loadedFor_ = server;
}

void TNetUser::NeedBasic(TNetUserValue value) {
    DropIfMachineChanged();
    if (!loaded_.Contains(value)) LoadBasic();
}

void TNetUser::NeedFull(TNetUserValue value) {
    DropIfMachineChanged();
    if (!loaded_.Contains(value)) LoadFull();
}

const std::string& TNetUser::FullName() {
    NeedBasic(uvFullName);
    return info_.full_name;
}

const std::string& TNetUser::Comment() {
    NeedBasic(uvComment);
    return info_.comment;
}

TNetUserFlags TNetUser::Flags() {
    NeedBasic(uvFlags);
    return UserFlagsFromBits(info_.flags);
}

TNetUserInfoFlags TNetUser::InfoFlags() {
    NeedBasic(uvFlags);
    return UserInfoFlagsFromBits(info_.flags);
}

std::int32_t TNetUser::UserId() {
    NeedBasic(uvUserId);
    return static_cast<std::int32_t>(info_.user_id);
}

std::int32_t TNetUser::PasswordAge() {
    NeedFull(uvPasswordAge);
    return static_cast<std::int32_t>(info_.password_age);
}

TNetUserPriv TNetUser::Priv() {
    NeedFull(uvPriv);
    return UserPrivFromNumber(info_.priv);
}

const std::string& TNetUser::HomeDir() {
    NeedFull(uvHomeDir);
    return info_.home_dir;
}

const std::string& TNetUser::ScriptPath() {
    NeedFull(uvScriptPath);
    return info_.script_path;
}

TNetUserAuthFlags TNetUser::AuthFlags() {
    NeedFull(uvAuthFlags);
    return UserAuthFlagsFromBits(info_.auth_flags);
}

const std::string& TNetUser::UserComment() {
    NeedFull(uvUserComment);
    return info_.usr_comment;
}

const std::string& TNetUser::Parms() {
    NeedFull(uvParms);
    return info_.parms;
}

const std::string& TNetUser::Workstations() {
    NeedFull(uvWorkstations);
    return info_.workstations;
}

double TNetUser::LastLogon() {
    NeedFull(uvLastLogon);
    return info_.last_logon == 0 ? 0 : DateTimeOfSeconds(info_.last_logon);
}

double TNetUser::LastLogoff() {
    NeedFull(uvLastLogoff);
    return info_.last_logoff == 0 ? 0 : DateTimeOfSeconds(info_.last_logoff);
}

double TNetUser::AcctExpires() {
    NeedFull(uvAcctExpires);
    return info_.acct_expires == kTimeqForever ? 0 : DateTimeOfSeconds(info_.acct_expires);
}

std::int32_t TNetUser::MaxStorage() {
    NeedFull(uvMaxStorage);
    return static_cast<std::int32_t>(info_.max_storage);
}

std::int32_t TNetUser::PrimaryGroupId() {
    NeedFull(uvPrimaryGroupId);
    return static_cast<std::int32_t>(info_.primary_group_id);
}

const std::string& TNetUser::Profile() {
    NeedFull(uvProfile);
    return info_.profile;
}

const std::string& TNetUser::HomeDirDrive() {
    NeedFull(uvHomeDirDrive);
    return info_.home_dir_drive;
}

bool TNetUser::PasswordExpired() {
    NeedFull(uvPasswordExpired);
    return info_.password_expired != 0;
}

double TNetUser::DateTimeOfSeconds(std::uint32_t stored) {
    // The interface counts seconds since 1970 in UTC, as a signed number.
    const double utc = platform::DateTimeOfUnixSeconds(static_cast<std::int32_t>(stored));
    const auto local = locale_.UtcToLocal(platform::DecodeDateTime(utc));
    if (!local) throw ENTException::CreateLastError(messages_);
    return platform::EncodeDateTime(*local);
}

void TNetUser::GetGroups(TStringList& list) {
    list.clear();
    auto result = net_.UserGetGroups0(ServerArgument(), userName_);
    if (result.status != 0) throw ENTException::CreateError(messages_, result.status);
    // A machine outside a domain puts every account into the one global
    // group "None".
    if (result.entries.size() == 1 && result.entries[0] == "None") return;
    list = std::move(result.entries);
}

void TNetUser::GetLocalGroups(TStringList& list) {
    list.clear();
    auto result = net_.UserGetLocalGroups0(ServerArgument(), userName_);
    if (result.status != 0) throw ENTException::CreateError(messages_, result.status);
    list = std::move(result.entries);
}
