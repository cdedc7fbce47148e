#include "platform/ldap/DirectoryLdap.h"

#include <ldap.h>

#include <memory>
#include <utility>

namespace platform {
namespace {

struct Unbind {
    void operator()(LDAP* ld) const { ldap_unbind_ext_s(ld, nullptr, nullptr); }
};
struct FreeMessage {
    void operator()(LDAPMessage* m) const { ldap_msgfree(m); }
};
struct FreeControls {
    void operator()(LDAPControl** c) const { ldap_controls_free(c); }
};
struct FreeControl {
    void operator()(LDAPControl* c) const { ldap_control_free(c); }
};
using Connection = std::unique_ptr<LDAP, Unbind>;
using Message = std::unique_ptr<LDAPMessage, FreeMessage>;

// OpenLDAP numbers the client's own failures -1 to -12; the LDAP C API that
// the system codes are made for numbers them 0x51 to 0x5C.
NetStatus StatusOf(int result) {
    if (result < 0 && result >= -12) result = 0x50 - result;
    return DirectoryStatusOfLdapResult(result);
}

// The account as a simple bind names it: "DOMAIN\user", or the user's name
// alone when no domain is given.
std::string BindName(const DirectoryCredentials& c) {
    return c.domain.empty() ? c.user : c.domain + "\\" + c.user;
}

int Connect(const std::string& host, const DirectoryCredentials& credentials, Connection& out) {
    LDAP* raw = nullptr;
    const std::string uri = "ldap://" + host;
    int rc = ldap_initialize(&raw, uri.c_str());
    if (rc != LDAP_SUCCESS) return rc;
    Connection ld(raw);
    const int version = LDAP_VERSION3;
    ldap_set_option(ld.get(), LDAP_OPT_PROTOCOL_VERSION, &version);
    // The domain's partition refers to the others; the program reads only
    // the one it asked.
    ldap_set_option(ld.get(), LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
    timeval timeout{10, 0};
    ldap_set_option(ld.get(), LDAP_OPT_NETWORK_TIMEOUT, &timeout);
    berval password{credentials.password.size(), const_cast<char*>(credentials.password.data())};
    rc = ldap_sasl_bind_s(ld.get(), BindName(credentials).c_str(), LDAP_SASL_SIMPLE, &password,
                          nullptr, nullptr, nullptr);
    if (rc == LDAP_SUCCESS) out = std::move(ld);
    return rc;
}

std::string FirstValue(LDAP* ld, LDAPMessage* entry, const char* attribute) {
    berval** values = ldap_get_values_len(ld, entry, attribute);
    if (values == nullptr) return {};
    std::string value = values[0] ? std::string(values[0]->bv_val, values[0]->bv_len) : "";
    ldap_value_free_len(values);
    return value;
}

// One attribute of the first entry that a search finds.
int ReadOne(LDAP* ld, const std::string& base, int scope, const std::string& filter,
            const char* attribute, std::string& value) {
    char* attributes[] = {const_cast<char*>(attribute), nullptr};
    LDAPMessage* raw = nullptr;
    const int rc = ldap_search_ext_s(ld, base.c_str(), scope, filter.c_str(), attributes, 0,
                                     nullptr, nullptr, nullptr, 1, &raw);
    Message result(raw);
    if (rc != LDAP_SUCCESS) return rc;
    LDAPMessage* entry = ldap_first_entry(ld, result.get());
    if (entry == nullptr) return LDAP_NO_SUCH_OBJECT;
    value = FirstValue(ld, entry, attribute);
    return LDAP_SUCCESS;
}

std::vector<ComputerAccount> Accounts(LDAP* ld, LDAPMessage* result) {
    std::vector<ComputerAccount> accounts;
    for (LDAPMessage* e = ldap_first_entry(ld, result); e; e = ldap_next_entry(ld, e))
        accounts.push_back({ComputerNameOfAccount(FirstValue(ld, e, kComputerAttributes[0])),
                            FirstValue(ld, e, kComputerAttributes[1]),
                            FirstValue(ld, e, kComputerAttributes[2])});
    return accounts;
}

// One page of the computers below base; cookie goes in as the directory's
// mark of where the page starts and comes out as the next one's (empty
// after the last page).
int ReadPage(LDAP* ld, const std::string& base, std::string& cookie,
             std::vector<ComputerAccount>& page) {
    berval in{cookie.size(), cookie.data()};
    LDAPControl* pagingRaw = nullptr;
    int rc = ldap_create_page_control(ld, Directory::kPageSize, cookie.empty() ? nullptr : &in,
                                      1, &pagingRaw);
    if (rc != LDAP_SUCCESS) return rc;
    std::unique_ptr<LDAPControl, FreeControl> paging(pagingRaw);
    LDAPControl* serverControls[] = {paging.get(), nullptr};
    char* attributes[] = {const_cast<char*>(kComputerAttributes[0]),
                          const_cast<char*>(kComputerAttributes[1]),
                          const_cast<char*>(kComputerAttributes[2]), nullptr};
    LDAPMessage* raw = nullptr;
    rc = ldap_search_ext_s(ld, base.c_str(), LDAP_SCOPE_SUBTREE, kComputerFilter, attributes, 0,
                           serverControls, nullptr, nullptr, LDAP_NO_LIMIT, &raw);
    Message result(raw);
    if (rc != LDAP_SUCCESS) return rc;
    LDAPControl** returnedRaw = nullptr;
    int code = LDAP_SUCCESS;
    rc = ldap_parse_result(ld, result.get(), &code, nullptr, nullptr, nullptr, &returnedRaw, 0);
    std::unique_ptr<LDAPControl*, FreeControls> returned(returnedRaw);
    if (rc != LDAP_SUCCESS) return rc;
    if (code != LDAP_SUCCESS) return code;
    LDAPControl* response = ldap_control_find(LDAP_CONTROL_PAGEDRESULTS, returned.get(), nullptr);
    if (response == nullptr) return LDAP_PROTOCOL_ERROR;
    berval next{0, nullptr};
    ber_int_t estimate = 0;
    rc = ldap_parse_pageresponse_control(ld, response, &estimate, &next);
    if (rc != LDAP_SUCCESS) return rc;
    cookie.assign(next.bv_val ? next.bv_val : "", next.bv_len);
    ber_memfree(next.bv_val);
    page = Accounts(ld, result.get());
    return LDAP_SUCCESS;
}

}  // namespace

DirectoryLdap::DirectoryLdap(std::string controller, DirectoryCredentials credentials)
    : controller_(std::move(controller)), credentials_(std::move(credentials)) {}

DomainMembership DirectoryLdap::ComputerDomain() {
    Connection ld;
    int rc = Connect(controller_, credentials_, ld);
    std::string naming, configuration;
    DomainMembership domain;
    if (rc == LDAP_SUCCESS)
        rc = ReadOne(ld.get(), "", LDAP_SCOPE_BASE, "(objectClass=*)", "defaultNamingContext",
                     naming);
    if (rc == LDAP_SUCCESS)
        rc = ReadOne(ld.get(), "", LDAP_SCOPE_BASE, "(objectClass=*)",
                     "configurationNamingContext", configuration);
    // The domain's entry among the forest's partitions names it both ways.
    const std::string partitions = "CN=Partitions," + configuration;
    const std::string crossRef = "(&(objectClass=crossRef)(nCName=" + naming + "))";
    if (rc == LDAP_SUCCESS)
        rc = ReadOne(ld.get(), partitions, LDAP_SCOPE_ONELEVEL, crossRef, "nETBIOSName",
                     domain.name);
    if (rc == LDAP_SUCCESS)
        rc = ReadOne(ld.get(), partitions, LDAP_SCOPE_ONELEVEL, crossRef, "dnsRoot",
                     domain.dnsName);
    if (rc != LDAP_SUCCESS) return {StatusOf(rc), "", "", ""};
    domain.controller = controller_;
    return domain;
}

NetStatus DirectoryLdap::ListComputers(
    const std::string& controller,
    const std::function<void(std::vector<ComputerAccount>&&)>& onPage) {
    Connection ld;
    int rc = Connect(controller, credentials_, ld);
    std::string base;
    if (rc == LDAP_SUCCESS)
        rc = ReadOne(ld.get(), "", LDAP_SCOPE_BASE, "(objectClass=*)", "defaultNamingContext",
                     base);
    std::string cookie;
    while (rc == LDAP_SUCCESS) {
        std::vector<ComputerAccount> page;
        rc = ReadPage(ld.get(), base, cookie, page);
        if (rc != LDAP_SUCCESS) break;
        onPage(std::move(page));
        if (cookie.empty()) return 0;
    }
    return StatusOf(rc);
}

}  // namespace platform
