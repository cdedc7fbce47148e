#include "tests/contract/ContractFixture.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "tests/contract/SmbClient.h"

// gcc says it is building with the address sanitizer one way, clang another.
#if defined(__SANITIZE_ADDRESS__)
#define NV_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NV_ADDRESS_SANITIZER 1
#endif
#endif

#if defined(NV_ADDRESS_SANITIZER)
// libnetapi_init keeps two strings of its logging set-up that libnetapi_free
// does not release; the full unwinder finds them below libnetapi_init, which
// talloc's frames otherwise hide. Every other leak still fails the run.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
extern "C" const char* __lsan_default_suppressions() { return "leak:libnetapi_init\n"; }
#endif

namespace {

// The seam's calls of NetApiBufferFree, counted on their way to libnetapi
// (the test program is linked with --wrap=NetApiBufferFree). libnetapi
// hangs its buffers under its own context, which libnetapi_free releases at
// exit, so the leak checker cannot see a buffer kept too long; this can.
int buffersFreed = 0;

platform::NetApiSamba* samba = nullptr;

class SambaEnvironment : public ::testing::Environment {
public:
    void SetUp() override { samba = new platform::NetApiSamba(The().user, The().password); }
    void TearDown() override {
        delete samba;
        samba = nullptr;
    }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new SambaEnvironment);

}  // namespace

extern "C" int __real_NetApiBufferFree(void* buffer);
extern "C" int __wrap_NetApiBufferFree(void* buffer) {
    if (buffer) ++buffersFreed;
    return __real_NetApiBufferFree(buffer);
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    if (!value) throw std::runtime_error(std::string(name) + " is not set: run under smb-fixture.sh");
    return value;
}

const Fixture& The() {
    static const Fixture fixture;
    return fixture;
}

platform::NetApiSamba& Samba() { return *samba; }

int BuffersFreed() { return buffersFreed; }

std::string WindowsPath(const std::filesystem::path& p) {
    std::string s = "C:" + p.string();
    std::replace(s.begin(), s.end(), '/', '\\');
    return s;
}

bool Contains(const std::vector<std::string>& list, const std::string& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

std::vector<std::string> SharesListedBySmbclient() {
    const auto& fx = The();
    std::istringstream out(
        RunAndCapture("smbclient -L //" + fx.host + " -U '" + fx.user + "%" + fx.password + "'"));
    std::vector<std::string> shares;
    for (std::string line; std::getline(out, line);) {
        std::istringstream words(line);
        std::string name, type;
        if (words >> name >> type && type == "Disk") shares.push_back(name);
    }
    return shares;
}

const platform::ShareInfo2* FindShare(const std::vector<platform::ShareInfo2>& shares,
                                      const std::string& name) {
    for (const auto& s : shares)
        if (s.netname == name) return &s;
    return nullptr;
}

const platform::FileInfo3* FindFile(const std::vector<platform::FileInfo3>& files,
                                    const std::string& path) {
    for (const auto& f : files)
        if (f.pathname == path) return &f;
    return nullptr;
}
