#include "netinfo/NetServer.h"

#include <array>

#include "netinfo/NetUser.h"

namespace {

struct ServerTypeRow {
    std::string_view name;
    std::uint32_t bit;
};

constexpr std::array<ServerTypeRow, kServerAccountTypeCount> kServerTypes{{
    {"svTypeWorkstation", 0x00000001},
    {"svTypeServer", 0x00000002},
    {"svTypeSQLServer", 0x00000004},
    {"svTypeDomainCtrl", 0x00000008},
    {"svTypeDomainBakCtrl", 0x00000010},
    {"svTypeTimeSource", 0x00000020},
    {"svTypeAFP", 0x00000040},
    {"svTypeNovell", 0x00000080},
    {"svTypeDomainMember", 0x00000100},
    {"svTypePrint", 0x00000200},
    {"svTypeDialin", 0x00000400},
    {"svTypeXenixServer", 0x00000800},
    {"svTypeNT", 0x00001000},
    {"svTypeWFW", 0x00002000},
    {"svTypeMFPN", 0x00004000},
    {"svTypeServerNT", 0x00008000},
    {"svTypePotentialBrowser", 0x00010000},
    {"svTypeBackupBrowser", 0x00020000},
    {"svTypeMasterBrowser", 0x00040000},
    {"svTypeDomainMaster", 0x00080000},
    {"svTypeServerOSF", 0x00100000},
    {"svTypeServerVMS", 0x00200000},
    {"svTypeWindows", 0x00400000},
    {"svTypeDFS", 0x00800000},
    {"svTypeAlternateXport", 0x20000000},
    {"svTypeLocalListOnly", 0x40000000},
    {"svTypeDomainEnum", 0x80000000},
    {"svTypeAll", 0xFFFFFFFF},
}};

}  // namespace

std::string_view ServerAccountTypeName(TServerAccountType type) { return kServerTypes[type].name; }

std::uint32_t ServerTypeBit(TServerAccountType type) { return kServerTypes[type].bit; }

std::uint32_t ServerTypeBits(TServerAccountTypes types) {
    if (types.Contains(svTypeAll)) return 0xFFFFFFFF;
    std::uint32_t bits = 0;
    types.ForEach([&](TServerAccountType t) { bits |= ServerTypeBit(t); });
    return bits;
}

TServerAccountTypes ServerTypesFromBits(std::uint32_t bits) {
    if (bits == 0xFFFFFFFF) return {svTypeAll};
    TServerAccountTypes types;
    for (int i = 0; i < kServerAccountTypeCount; ++i) {
        const auto t = static_cast<TServerAccountType>(i);
        if (t != svTypeAll && (bits & ServerTypeBit(t)) != 0) types.Include(t);
    }
    return types;
}

std::uint32_t UserFilterBits(TNetUserFilter filter) {
    return static_cast<std::uint32_t>(filter.Bits());
}

TNetServer::TNetServer(platform::NetApi& net, platform::SystemMessages& messages,
                       platform::Locale& locale)
    : net_(net), messages_(messages), locale_(locale) {}

void TNetServer::SetServerName(const std::string& name) {
    if (name == serverName_) return;
    serverTypeCached_ = false;
    serverName_ = name;
}

TServerAccountTypes TNetServer::ServerType() {
    if (serverTypeCached_) return serverType_;
    const auto info = net_.ServerGetInfo101(serverName_);
    if (info.status != 0) throw ENTException::CreateError(messages_, info.status);
    serverType_ = ServerTypesFromBits(info.value);
    serverTypeCached_ = true;
    return serverType_;
}

void TNetServer::TakeNames(platform::NetList<std::string> result, TStringList& list) {
    if (result.status != 0) throw ENTException::CreateError(messages_, result.status);
    list = std::move(result.entries);
}

void TNetServer::GetServerList(TServerAccountTypes types, const std::string& domain,
                               TStringList& list) {
    list.clear();
    std::optional<std::string> domainArg;
    if (!domain.empty()) domainArg = domain;
    TakeNames(net_.ServerEnum(serverName_, ServerTypeBits(types), domainArg), list);
}

void TNetServer::GetDisks(TStringList& list) {
    list.clear();
    TakeNames(net_.ServerDiskEnum(serverName_), list);
}

void TNetServer::GetUserNames(TNetUserFilter filter, TStringList& list) {
    list.clear();
    TakeNames(net_.UserEnum0(serverName_, UserFilterBits(filter)), list);
}

void TNetServer::GetLocalGroups(TStringList& list) {
    list.clear();
    TakeNames(net_.LocalGroupEnum0(serverName_), list);
}

void TNetServer::GetUsers(TNetUserFilter filter, TNetUserList& list,
                          const TNetProgressEvent& onProgress) {
    list.clear();
    if (onProgress) onProgress("Getting account details");
    const auto result = net_.UserEnum3(serverName_, UserFilterBits(filter));
    if (onProgress) onProgress("Creating user objects");
    if (result.status != 0) throw ENTException::CreateError(messages_, result.status);
    for (std::size_t i = 0; i < result.entries.size(); ++i) {
        list.push_back(TNetUser::CreateFromInfo(result.entries[i], *this));
        if (onProgress) onProgress("Got user #" + std::to_string(i));
    }
    if (onProgress) onProgress("Got user objects");
}
