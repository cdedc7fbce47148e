// The domain directory through the domain controller locator (DsGetDcNameW)
// and wldap32, wide functions throughout. Every buffer and handle the system
// hands out is released before the call that asked for it returns.
#include "platform/win32/Win32Platform.h"

#include <windows.h>
#include <dsgetdc.h>
#include <lm.h>
#include <winldap.h>
#define SECURITY_WIN32
#include <rpc.h>
#include <sspi.h>

#include <memory>

namespace platform::win32 {

namespace {

struct NetBufferDeleter {
    void operator()(void* buffer) const { ::NetApiBufferFree(buffer); }
};
using ControllerInfo = std::unique_ptr<DOMAIN_CONTROLLER_INFOW, NetBufferDeleter>;

struct Unbind {
    void operator()(LDAP* ld) const { ldap_unbind(ld); }
};
struct FreeMessage {
    void operator()(LDAPMessage* m) const { ldap_msgfree(m); }
};
struct FreeValues {
    void operator()(PWCHAR* v) const { ldap_value_freeW(v); }
};
using Connection = std::unique_ptr<LDAP, Unbind>;
using Message = std::unique_ptr<LDAPMessage, FreeMessage>;
using Values = std::unique_ptr<PWCHAR, FreeValues>;

// A paged search, abandoned whether or not its last page was read.
class PagedSearch {
public:
    PagedSearch(LDAP* ld, PLDAPSearch search) : ld_(ld), search_(search) {}
    ~PagedSearch() {
        if (search_) ldap_search_abandon_page(ld_, search_);
    }
    PagedSearch(const PagedSearch&) = delete;
    PagedSearch& operator=(const PagedSearch&) = delete;
    PLDAPSearch get() const { return search_; }

private:
    LDAP* ld_;
    PLDAPSearch search_;
};

// The locator's answer for the computer's domain, or for the domain named.
DWORD Locate(const wchar_t* domain, ULONG flags, ControllerInfo& info) {
    PDOMAIN_CONTROLLER_INFOW raw = nullptr;
    const DWORD status =
        DsGetDcNameW(nullptr, domain, nullptr, nullptr, DS_DIRECTORY_SERVICE_REQUIRED | flags, &raw);
    info.reset(raw);
    return status;
}

std::string FirstValue(LDAP* ld, LDAPMessage* entry, const char* attribute) {
    std::wstring name = Wide(attribute);
    Values values(ldap_get_valuesW(ld, entry, name.data()));
    return values && values.get()[0] ? Narrow(values.get()[0]) : std::string();
}

ULONG Bind(LDAP* ld, const std::optional<DirectoryCredentials>& credentials) {
    if (!credentials) return ldap_bind_sW(ld, nullptr, nullptr, LDAP_AUTH_NEGOTIATE);
    std::wstring user = Wide(credentials->user);
    std::wstring domain = Wide(credentials->domain);
    std::wstring password = Wide(credentials->password);
    SEC_WINNT_AUTH_IDENTITY_W identity{};
    identity.User = reinterpret_cast<unsigned short*>(user.data());
    identity.UserLength = static_cast<unsigned long>(user.size());
    identity.Domain = reinterpret_cast<unsigned short*>(domain.data());
    identity.DomainLength = static_cast<unsigned long>(domain.size());
    identity.Password = reinterpret_cast<unsigned short*>(password.data());
    identity.PasswordLength = static_cast<unsigned long>(password.size());
    identity.Flags = SEC_WINNT_AUTH_IDENTITY_UNICODE;
    const ULONG result =
        ldap_bind_sW(ld, nullptr, reinterpret_cast<PWCHAR>(&identity), LDAP_AUTH_NEGOTIATE);
    SecureZeroMemory(password.data(), password.size() * sizeof(wchar_t));
    return result;
}

ULONG Connect(const std::string& controller,
              const std::optional<DirectoryCredentials>& credentials, Connection& out) {
    std::wstring host = Wide(controller);
    Connection ld(ldap_initW(host.data(), LDAP_PORT));
    if (!ld) return LdapGetLastError();
    ULONG version = LDAP_VERSION3;
    ldap_set_optionW(ld.get(), LDAP_OPT_PROTOCOL_VERSION, &version);
    // The domain's partition refers to the others; the program reads only
    // the one it asked.
    ldap_set_optionW(ld.get(), LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
    l_timeval timeout{10, 0};
    ULONG result = ldap_connect(ld.get(), &timeout);
    if (result == LDAP_SUCCESS) result = Bind(ld.get(), credentials);
    if (result == LDAP_SUCCESS) out = std::move(ld);
    return result;
}

// The naming context the controller serves by default: its domain.
ULONG DefaultNamingContext(LDAP* ld, std::wstring& base) {
    wchar_t attribute[] = L"defaultNamingContext";
    PWCHAR attributes[] = {attribute, nullptr};
    LDAPMessage* raw = nullptr;
    wchar_t empty[] = L"";
    wchar_t any[] = L"(objectClass=*)";
    const ULONG result = ldap_search_sW(ld, empty, LDAP_SCOPE_BASE, any, attributes, 0, &raw);
    Message found(raw);
    if (result != LDAP_SUCCESS) return result;
    LDAPMessage* entry = ldap_first_entry(ld, found.get());
    if (entry == nullptr) return LDAP_NO_SUCH_OBJECT;
    base = Wide(FirstValue(ld, entry, "defaultNamingContext"));
    return LDAP_SUCCESS;
}

std::vector<ComputerAccount> Accounts(LDAP* ld, LDAPMessage* page) {
    std::vector<ComputerAccount> accounts;
    for (LDAPMessage* e = ldap_first_entry(ld, page); e; e = ldap_next_entry(ld, e))
        accounts.push_back({ComputerNameOfAccount(FirstValue(ld, e, kComputerAttributes[0])),
                            FirstValue(ld, e, kComputerAttributes[1]),
                            FirstValue(ld, e, kComputerAttributes[2])});
    return accounts;
}

ULONG ReadPages(LDAP* ld, std::wstring& base,
                const std::function<void(std::vector<ComputerAccount>&&)>& onPage) {
    std::wstring filter = Wide(kComputerFilter);
    std::wstring names[3];
    PWCHAR attributes[4] = {};
    for (int i = 0; i < 3; ++i) {
        names[i] = Wide(kComputerAttributes[i]);
        attributes[i] = names[i].data();
    }
    PagedSearch search(ld, ldap_search_init_pageW(ld, base.data(), LDAP_SCOPE_SUBTREE,
                                                  filter.data(), attributes, 0, nullptr, nullptr,
                                                  0, 0, nullptr));
    if (search.get() == nullptr) return LdapGetLastError();
    for (;;) {
        ULONG total = 0;
        LDAPMessage* raw = nullptr;
        l_timeval timeout{60, 0};
        const ULONG result =
            ldap_get_next_page_s(ld, search.get(), &timeout, Directory::kPageSize, &total, &raw);
        Message page(raw);
        if (result == LDAP_NO_RESULTS_RETURNED) return LDAP_SUCCESS;
        if (result != LDAP_SUCCESS) return result;
        onPage(Accounts(ld, page.get()));
    }
}

}  // namespace

DirectoryWin32::DirectoryWin32(DirectoryCredentials credentials)
    : credentials_(std::move(credentials)) {}

DomainMembership DirectoryWin32::ComputerDomain() {
    ControllerInfo dns;
    DWORD status = Locate(nullptr, DS_RETURN_DNS_NAME, dns);
    if (status != ERROR_SUCCESS) return {status, "", "", ""};
    // The browse list names domains by their NetBIOS names; the locator
    // gives that name when asked for the same domain once more.
    ControllerInfo flat;
    status = Locate(dns->DomainName, DS_IS_DNS_NAME | DS_RETURN_FLAT_NAME, flat);
    if (status != ERROR_SUCCESS) return {status, "", "", ""};
    return {0, Narrow(flat->DomainName), Narrow(dns->DomainName),
            WithoutLeadingBackslashes(Narrow(dns->DomainControllerName))};
}

NetStatus DirectoryWin32::ListComputers(
    const std::string& controller,
    const std::function<void(std::vector<ComputerAccount>&&)>& onPage) {
    Connection ld;
    ULONG result = Connect(controller, credentials_, ld);
    std::wstring base;
    if (result == LDAP_SUCCESS) result = DefaultNamingContext(ld.get(), base);
    if (result == LDAP_SUCCESS) result = ReadPages(ld.get(), base, onPage);
    return DirectoryStatusOfLdapResult(static_cast<int>(result));
}

}  // namespace platform::win32
