// The Users fill and a group's members fill of 1,000 accounts under Wine, on
// the scripted netapi32.dll through the program's real network seam, every
// call of the machine taking 0, 1, 5 and 10 ms: asked one after the other
// and side by side. Not a test: it prints. Run it with the scripted library
// loaded in place of Wine's (tests/scripted/with-scripted-netapi.sh).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "bench/SlowLinks.h"
#include "platform/win32/Win32Platform.h"

namespace {

// The machine S of the native benchmark's accounts (bench::ScriptMachine),
// as the scripted library reads it: every account a member of the local
// groups G and Users, in the global group "None" alone.
std::string Script(std::size_t accounts, int delayMs) {
    std::string script = "machine S type=0x1003\n";
    if (delayMs > 0) script += "  delay * " + std::to_string(delayMs) + "\n";
    std::string members;
    for (std::size_t i = 0; i < accounts; ++i) {
        const std::string name = bench::HostName(i);
        members += (i ? ",user" : "user") + name;
        script += "  user user" + name + " full_name=\"Full Name " + name +
                  "\" comment=comment flags=0x201 last_logon=" +
                  std::to_string(1700000000 - i * 97) +
                  " acct_expires=-1 max_storage=-1 user_id=" + std::to_string(1000 + i) +
                  " primary_group_id=513 groups=None\n";
    }
    script += "  localgroup G members=" + members + "\n";
    script += "  localgroup Users members=" + members + "\n";
    return script;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::size_t accounts = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 1000;
    using LoadFn = const wchar_t*(WINAPI*)(const char*);
    const auto load = reinterpret_cast<LoadFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"netapi32.dll"), "ScriptedNetworkLoad")));
    if (load == nullptr) {
        std::fprintf(stderr, "Wine's netapi32 is loaded, not the scripted one: run this through "
                             "tests/scripted/with-scripted-netapi.sh\n");
        return 1;
    }
    platform::win32::NetApiWin32 net;
    bench::PrintSlowLinks(
        "under Wine, on the scripted netapi32.dll",
        [&](int delayMs) -> platform::NetApi& {
            if (const wchar_t* fault = load(Script(accounts, delayMs).c_str()))
                throw std::runtime_error(platform::win32::Narrow(fault));
            return net;
        },
        accounts);
    return 0;
}
