#pragma once
// The domain directory as the program uses it: which domain this computer is
// a member of and a controller that serves it, and the computer accounts that
// the domain's directory holds. Where the browse list is gone (current
// networks answer NetServerEnum with 6118), the directory still knows every
// machine of the domain, and any domain user may read it over LDAP.
//
// Statuses are system error codes, as the network management seam's are: 0 is
// success, and an LDAP result is given as the system code that says the same
// (DirectoryStatusOfLdapResult), so the program shows it as every other
// failure.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/NetApi.h"

namespace platform {

struct DomainMembership {
    NetStatus status = 0;
    std::string name;        // the domain's NetBIOS name, as the browse list shows domains
    std::string dnsName;     // the domain's DNS name
    std::string controller;  // the DNS name of a controller with the directory, no backslashes
};

struct ComputerAccount {
    std::string name;             // the machine's NetBIOS name (the account name less its "$")
    std::string dnsHostName;      // empty when the account has none
    std::string operatingSystem;  // empty when the account has none
};

// Who the directory is asked as: the user's own logon (negotiate), or an
// account given by name and password.
struct DirectoryCredentials {
    std::string user;
    std::string domain;
    std::string password;
};

class Directory {
public:
    virtual ~Directory() = default;

    // The directory hands out at most this many entries at a time.
    static constexpr std::uint32_t kPageSize = 1000;

    // The domain of this computer and a controller of it (DsGetDcName, the
    // directory service required). A computer in no domain answers with the
    // locator's status, 1355 (the domain does not exist) as a rule.
    virtual DomainMembership ComputerDomain() = 0;

    // Reads the domain's computer accounts from the controller's directory
    // (the naming context the controller serves by default), disabled
    // accounts left out, with a paged search of kPageSize entries a page.
    // Each page is handed to onPage as it arrives, in the directory's order.
    // Returns 0 once the last page is in, or the status of the step that
    // failed (connecting, binding, a page): the pages handed out before stay
    // handed out.
    virtual NetStatus ListComputers(
        const std::string& controller,
        const std::function<void(std::vector<ComputerAccount>&&)>& onPage) = 0;
};

// What the program asks the directory for, the same for every implementation.
// Computers, less the accounts whose userAccountControl has ACCOUNTDISABLE (2)
// set; the bit test is LDAP_MATCHING_RULE_BIT_AND.
inline constexpr const char* kComputerFilter =
    "(&(objectCategory=computer)(!(userAccountControl:1.2.840.113556.1.4.803:=2)))";
inline constexpr const char* kComputerAttributes[] = {"sAMAccountName", "dNSHostName",
                                                      "operatingSystem"};

// The system error code that tells the same as an LDAP result code; 0 for
// success, and "a directory service error has occurred" (8341) for a result
// without a nearer code.
NetStatus DirectoryStatusOfLdapResult(int ldapResult);

// The machine's name from its account name: "PC01$" is PC01.
std::string ComputerNameOfAccount(const std::string& accountName);

// "\\\\dc.example.org" as "dc.example.org".
std::string WithoutLeadingBackslashes(const std::string& name);

}  // namespace platform
