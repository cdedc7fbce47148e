#pragma once
// The directory seam on Linux, over OpenLDAP's client library: the program's
// domain fill reads a real domain controller's directory, as it does through
// wldap32 on Windows. Linux has no logon to bind with, so this one binds with
// the account it is given (a simple bind, which the controller must allow
// without TLS), and the computer's domain is the domain of the controller it
// is given.
#include <string>

#include "platform/Directory.h"

namespace platform {

class DirectoryLdap final : public Directory {
public:
    // controller: a host name or address that answers LDAP on port 389.
    DirectoryLdap(std::string controller, DirectoryCredentials credentials);

    // The controller's domain: its NetBIOS and DNS names from the directory's
    // partitions, and the controller as given.
    DomainMembership ComputerDomain() override;
    NetStatus ListComputers(
        const std::string& controller,
        const std::function<void(std::vector<ComputerAccount>&&)>& onPage) override;

private:
    std::string controller_;
    DirectoryCredentials credentials_;
};

}  // namespace platform
