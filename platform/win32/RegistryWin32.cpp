// The registry and the shell with the real Windows API.
#include <windows.h>
#include <shellapi.h>

#include "platform/win32/Win32Platform.h"

namespace platform::win32 {

namespace {

// The predefined roots are sign-extended 32-bit values on 64-bit Windows.
HKEY ToHandle(RegKey key) {
    if (IsPredefined(key))
        return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(
            static_cast<LONG_PTR>(static_cast<LONG>(static_cast<DWORD>(key)))));
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(key));
}

RegKey FromHandle(HKEY key) { return static_cast<RegKey>(reinterpret_cast<ULONG_PTR>(key)); }

}  // namespace

std::uint32_t RegistryWin32::ConnectRegistry(const std::string& machine, RegKey root,
                                             RegKey& key) {
    key = 0;
    if (machine.empty()) {
        key = root;
        return 0;
    }
    HKEY remote = nullptr;
    const LSTATUS status = ::RegConnectRegistryW(Wide(machine).c_str(), ToHandle(root), &remote);
    if (status == ERROR_SUCCESS) key = FromHandle(remote);
    return static_cast<std::uint32_t>(status);
}

std::uint32_t RegistryWin32::OpenKey(RegKey parent, const std::string& path, std::uint32_t access,
                                     RegKey& key) {
    key = 0;
    HKEY opened = nullptr;
    const LSTATUS status =
        ::RegOpenKeyExW(ToHandle(parent), Wide(path).c_str(), 0, access, &opened);
    if (status == ERROR_SUCCESS) key = FromHandle(opened);
    return static_cast<std::uint32_t>(status);
}

RegValue RegistryWin32::QueryValue(RegKey key, const std::string& name) {
    const std::wstring wideName = Wide(name);
    return ReadWholeValue([&](std::uint32_t& type, std::uint8_t* data, std::uint32_t& size) {
        DWORD valueType = 0, bytes = size;
        const LSTATUS status =
            ::RegQueryValueExW(ToHandle(key), wideName.c_str(), nullptr, &valueType, data, &bytes);
        type = valueType;
        size = bytes;
        return static_cast<std::uint32_t>(status);
    });
}

void RegistryWin32::CloseKey(RegKey key) {
    if (key == 0 || IsPredefined(key)) return;
    ::RegCloseKey(ToHandle(key));
}

bool ShellWin32::Open(const std::string& target) {
    const HINSTANCE result =
        ::ShellExecuteW(nullptr, L"open", Wide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool ShellWin32::LibraryLoads(const std::string& name) {
    const HMODULE module = ::LoadLibraryW(Wide(name).c_str());
    if (module == nullptr) return false;
    ::FreeLibrary(module);
    return true;
}

}  // namespace platform::win32
