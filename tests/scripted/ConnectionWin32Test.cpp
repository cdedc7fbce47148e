// The seam's connections as another user (platform/win32) against the
// scripted mpr.dll: what WNetAddConnection2W and WNetCancelConnection2W are
// passed, and the password's buffer wiped once the call returns. Run with the
// library loaded in place of Wine's (with-scripted-netapi.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/Win32Platform.h"

namespace {

using platform::Secret;
using platform::win32::Narrow;

TEST(ConnectionWin32Test, ConnectsTemporarilyAsTheUserAndWipesThePassword) {
    HMODULE mpr = GetModuleHandleW(L"mpr.dll");
    const auto accept = reinterpret_cast<void(WINAPI*)(const wchar_t*, const wchar_t*)>(
        reinterpret_cast<void*>(GetProcAddress(mpr, "ScriptedMprAccept")));
    const auto calls = reinterpret_cast<const wchar_t*(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(mpr, "ScriptedMprCalls")));
    const auto lastPassword = reinterpret_cast<const wchar_t* const*>(
        reinterpret_cast<void*>(GetProcAddress(mpr, "ScriptedMprLastPassword")));
    ASSERT_TRUE(accept && calls && lastPassword)
        << "this process runs Wine's mpr, not the scripted one beside it "
           "(run it through with-scripted-netapi.sh)";
    // Outside the ANSI code page, so that a conversion through it shows.
    const std::wstring password = L"Паро\u043b\u044c-1843";
    accept(L"LAB\\ada", password.c_str());

    platform::win32::NetApiWin32 net;
    EXPECT_EQ(net.AddConnection("\\\\M\\IPC$", "LAB\\ada", Secret("wrong")), 1326u);
    const auto status =
        net.AddConnection("\\\\M\\IPC$", "LAB\\ada", Secret("\xd0\x9f\xd0\xb0\xd1\x80\xd0\xbe"
                                                            "\xd0\xbb\xd1\x8c-1843"));
    // What lies where the password was passed, looked at before anything
    // else runs on the stack.
    wchar_t left[16];
    for (std::size_t i = 0; i < password.size(); ++i) left[i] = (*lastPassword)[i];
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(std::wstring(left, password.size()), std::wstring(password.size(), L'\0'));

    EXPECT_EQ(net.CancelConnection("\\\\M\\IPC$"), 0u);
    EXPECT_EQ(net.CancelConnection("\\\\M\\IPC$"), 2250u);
    const std::string ada = "remote=\"\\\\M\\IPC$\", provider=null, password=";
    EXPECT_EQ(Narrow(calls()),
              "WNetAddConnection2W(type=0, local=null, " + ada +
                  "\"wrong\", user=\"LAB\\ada\", flags=0x00000000)\n"
                  "WNetAddConnection2W(type=0, local=null, " + ada + "\"" + Narrow(password) +
                  "\", user=\"LAB\\ada\", flags=0x00000000)\n"
                  "WNetCancelConnection2W(name=\"\\\\M\\IPC$\", flags=0x00000000, force=1)\n"
                  "WNetCancelConnection2W(name=\"\\\\M\\IPC$\", flags=0x00000000, force=1)\n");
}

}  // namespace
