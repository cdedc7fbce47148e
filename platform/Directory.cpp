#include "platform/Directory.h"

namespace platform {

NetStatus DirectoryStatusOfLdapResult(int ldapResult) {
    struct Pair {
        int ldap;
        NetStatus status;
    };
    // The result codes of LDAP (the last ones are the client library's own)
    // and the system codes that the user reads for them.
    static constexpr Pair kStatuses[] = {
        {0x00, 0},     // success
        {0x01, 8224},  // operationsError
        {0x02, 8225},  // protocolError
        {0x03, 8226},  // timeLimitExceeded
        {0x04, 8227},  // sizeLimitExceeded
        {0x07, 8231},  // authMethodNotSupported
        {0x08, 8232},  // strongerAuthRequired
        {0x20, 8240},  // noSuchObject
        {0x31, 1326},  // invalidCredentials: the user name or password is incorrect
        {0x32, 5},     // insufficientAccessRights
        {0x33, 8206},  // busy
        {0x34, 8207},  // unavailable
        {0x35, 8245},  // unwillingToPerform
        {0x51, 8250},  // server down: the server is not operational
        {0x52, 8251},  // local error
        {0x55, 1460},  // timeout
        {0x56, 8231},  // unknown authentication method
        {0x5A, 8},     // no memory
        {0x5B, 8250},  // connect error
        {0x5C, 50},    // not supported
    };
    for (const auto& p : kStatuses)
        if (p.ldap == ldapResult) return p.status;
    return 8341;
}

std::string ComputerNameOfAccount(const std::string& accountName) {
    if (!accountName.empty() && accountName.back() == '$')
        return accountName.substr(0, accountName.size() - 1);
    return accountName;
}

std::string WithoutLeadingBackslashes(const std::string& name) {
    const auto start = name.find_first_not_of('\\');
    return start == std::string::npos ? std::string() : name.substr(start);
}

}  // namespace platform
