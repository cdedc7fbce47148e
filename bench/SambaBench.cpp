// The Users fill and a group's members fill against the private Samba
// server of the contract tests, holding its many accounts, through relays
// that make every exchange with the server take 0 and 5 ms more: asked one
// by one and side by side, timed, and their trees compared. Not a test: it
// prints. Runs inside smb-fixture.sh (scripts/bench.sh starts it so).
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/SlowLinks.h"
#include "platform/samba/NetApiSamba.h"

namespace {

std::string Env(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::string user = Env("NV_SMB_USER"), password = Env("NV_SMB_PASSWORD");
    // The Groups category of the server lists its own local groups only
    // (libnetapi's answer); no account's membership in them can be named,
    // so this fill asks every account and finds no member.
    const std::string group = Env("NV_SMB_DOMAIN_GROUP");
    const long accounts = std::atol(Env("NV_SMB_ACCOUNTS").c_str());
    if (user.empty() || Env("NV_SMB_RELAY_0").empty() || Env("NV_SMB_RELAY_5").empty() ||
        accounts <= 0) {
        std::fprintf(stderr,
                     "samba_bench: run it under tests/contract/smb-fixture.sh with "
                     "NV_SMB_ACCOUNTS=200 and NV_SMB_RELAY_MS=\"0 5\"\n");
        return 2;
    }
    // Each fill has a context of its own, so that each opens its connection
    // as a user's first look at the machine would.
    std::unique_ptr<platform::NetApiSamba> net;
    bench::SlowLink link{[&](int) -> platform::NetApi& {
                             net.reset();
                             net = std::make_unique<platform::NetApiSamba>(user, password);
                             return *net;
                         },
                         [](int delayMs) { return Env("NV_SMB_RELAY_" + std::to_string(delayMs)); },
                         group,
                         {0, 5},
                         3,
                         "every exchange with the server",
                         {"Password age: ", "Last logon: "}};
    // The fixture's own two accounts beside the many.
    bench::PrintSlowLinks("the Samba fixture through its relay",
                          link, static_cast<std::size_t>(accounts) + 2);
    return 0;
}
