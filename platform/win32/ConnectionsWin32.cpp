// Connections to a machine's IPC$ share (mpr): the seam's way to run the
// network management calls to a machine as another user.
#include "platform/win32/Win32Platform.h"

#include <windows.h>
#include <winnetwk.h>

namespace platform::win32 {

WidePassword::WidePassword(const Secret& password) {
    const auto text = password.View();
    if (text.empty()) return;
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           chars_, static_cast<int>(kMaxChars));
    fits_ = length > 0;
    chars_[fits_ ? length : 0] = L'\0';
}

WidePassword::~WidePassword() { SecureZeroMemory(chars_, sizeof chars_); }

Secret SecretFromWide(const wchar_t* text, std::size_t length) {
    // Three bytes of UTF-8 at most for each UTF-16 unit.
    char bytes[3 * WidePassword::kMaxChars];
    int size = 0;
    if (length > 0 && length <= WidePassword::kMaxChars)
        size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), bytes,
                                   static_cast<int>(sizeof bytes), nullptr, nullptr);
    Secret secret(std::string_view(bytes, size > 0 ? static_cast<std::size_t>(size) : 0));
    SecureZeroMemory(bytes, sizeof bytes);
    return secret;
}

NetStatus NetApiWin32::AddConnection(const std::string& remote, const std::string& user,
                                     const Secret& password) {
    const WidePassword wide(password);
    if (!wide.Fits()) return ERROR_INVALID_PASSWORD;
    std::wstring remoteName = Wide(remote);
    const std::wstring userName = Wide(user);
    NETRESOURCEW resource{};
    resource.dwType = RESOURCETYPE_ANY;
    resource.lpRemoteName = remoteName.data();
    // No CONNECT_UPDATE_PROFILE: the connection is not remembered, and ends
    // at the latest when the user logs off.
    return WNetAddConnection2W(&resource, wide.Get(), userName.c_str(), 0);
}

NetStatus NetApiWin32::CancelConnection(const std::string& remote) {
    return WNetCancelConnection2W(Wide(remote).c_str(), 0, TRUE);
}

}  // namespace platform::win32
