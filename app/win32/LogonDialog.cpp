#include "app/win32/LogonDialog.h"

#include <objbase.h>
#include <cwchar>
#include <wincred.h>

#include "app/win32/resource.h"
#include "platform/win32/Win32Platform.h"
#include "toolkit/Exception.h"
#include "toolkit/win32/WindowClass.h"

using platform::win32::Narrow;
using platform::win32::SecretFromWide;
using platform::win32::Wide;
using platform::win32::WidePassword;

namespace {

// What the dialog says above the account: why it asks.
std::wstring Reason(const std::string& machine, const std::string& failure) {
    const std::string text = failure.empty() ? "Connect to \\\\" + machine + " as:" : failure;
    return Wide(text);
}

struct TLogonRequest {
    std::wstring caption;
    std::wstring reason;
    std::wstring user;
    std::optional<TLogon> logon;
};

void InitLogonDialog(HWND dialog, TLogonRequest& request) {
    SetWindowTextW(dialog, request.caption.c_str());
    SetDlgItemTextW(dialog, IDC_LOGON_REASON, request.reason.c_str());
    HWND user = GetDlgItem(dialog, IDC_LOGON_USER);
    HWND password = GetDlgItem(dialog, IDC_LOGON_PASSWORD);
    SendMessageW(user, EM_LIMITTEXT, CREDUI_MAX_USERNAME_LENGTH, 0);
    SendMessageW(password, EM_LIMITTEXT, WidePassword::kMaxChars, 0);
    SetWindowTextW(user, request.user.c_str());
    SetFocus(request.user.empty() ? user : password);
}

// Takes the account out of the dialog; the password edit is emptied, so
// that the control keeps no copy either.
TLogon ReadLogon(HWND dialog) {
    wchar_t chars[WidePassword::kMaxChars + 1] = {};
    HWND password = GetDlgItem(dialog, IDC_LOGON_PASSWORD);
    const int length = GetWindowTextW(password, chars, static_cast<int>(std::size(chars)));
    TLogon logon{Narrow(ReadWindowText(GetDlgItem(dialog, IDC_LOGON_USER))),
                 SecretFromWide(chars, length > 0 ? static_cast<std::size_t>(length) : 0)};
    SecureZeroMemory(chars, sizeof chars);
    SetWindowTextW(password, L"");
    return logon;
}

INT_PTR HandleLogonDialog(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lp);
        InitLogonDialog(dialog, *reinterpret_cast<TLogonRequest*>(lp));
        return FALSE;  // the focus is set
    }
    if (msg != WM_COMMAND || (LOWORD(wp) != IDOK && LOWORD(wp) != IDCANCEL)) return FALSE;
    if (LOWORD(wp) == IDOK)
        reinterpret_cast<TLogonRequest*>(GetWindowLongPtrW(dialog, DWLP_USER))->logon =
            ReadLogon(dialog);
    EndDialog(dialog, LOWORD(wp));
    return TRUE;
}


using PromptFn = decltype(&CredUIPromptForWindowsCredentialsW);
using PackFn = decltype(&CredPackAuthenticationBufferW);
using UnpackFn = decltype(&CredUnPackAuthenticationBufferW);

// The system's dialog, found at run time: systems without it still run the
// program. nullopt in `answered` when there is none or it failed.
struct TSystemPrompt {
    TSystemPrompt() : module(LoadLibraryW(L"credui.dll")) {
        if (!module) return;
        prompt = reinterpret_cast<PromptFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "CredUIPromptForWindowsCredentialsW")));
        pack = reinterpret_cast<PackFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "CredPackAuthenticationBufferW")));
        unpack = reinterpret_cast<UnpackFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "CredUnPackAuthenticationBufferW")));
    }
    ~TSystemPrompt() {
        if (module) FreeLibrary(module);
    }
    TSystemPrompt(const TSystemPrompt&) = delete;
    TSystemPrompt& operator=(const TSystemPrompt&) = delete;
    bool Usable() const { return prompt && pack && unpack; }

    HMODULE module;
    PromptFn prompt = nullptr;
    PackFn pack = nullptr;
    UnpackFn unpack = nullptr;
};

// The packed account that the system's dialog hands back, wiped and freed.
struct TPackedAccount {
    ~TPackedAccount() {
        if (!data) return;
        SecureZeroMemory(data, size);
        CoTaskMemFree(data);
    }
    void* data = nullptr;
    ULONG size = 0;
};

std::optional<TLogon> Unpacked(const TSystemPrompt& system, const TPackedAccount& packed) {
    wchar_t user[CREDUI_MAX_USERNAME_LENGTH + 1] = {};
    wchar_t domain[CREDUI_MAX_DOMAIN_TARGET_LENGTH + 1] = {};
    wchar_t password[WidePassword::kMaxChars + 1] = {};
    DWORD userLength = static_cast<DWORD>(std::size(user));
    DWORD domainLength = static_cast<DWORD>(std::size(domain));
    DWORD passwordLength = static_cast<DWORD>(std::size(password));
    std::optional<TLogon> logon;
    if (system.unpack(0, packed.data, packed.size, user, &userLength, domain, &domainLength,
                      password, &passwordLength)) {
        // The connection takes the account as "DOMAIN\name".
        const std::string name = domain[0] ? Narrow(domain) + "\\" + Narrow(user) : Narrow(user);
        logon = TLogon{name, SecretFromWide(password, wcsnlen(password, passwordLength))};
    }
    SecureZeroMemory(password, sizeof password);
    return logon;
}

// 0 with the account, ERROR_CANCELLED, or the failure of the system's dialog.
DWORD RunSystemLogonDialog(const TSystemPrompt& system, HWND owner, const std::wstring& caption,
                           const std::wstring& reason, const std::string& user,
                           std::optional<TLogon>& logon) {
    // The user name goes in as a packed account without a password.
    BYTE in[1024];
    DWORD inSize = sizeof in;
    std::wstring name = Wide(user);
    wchar_t empty[] = L"";
    if (!system.pack(0, name.data(), empty, in, &inSize)) inSize = 0;
    CREDUI_INFOW info{sizeof info, owner, reason.c_str(), caption.c_str(), nullptr};
    ULONG package = 0;
    TPackedAccount out;
    const DWORD status = system.prompt(&info, 0, &package, inSize ? in : nullptr, inSize,
                                       &out.data, &out.size, nullptr, CREDUIWIN_GENERIC);
    if (status != ERROR_SUCCESS) return status;
    logon = Unpacked(system, out);
    return logon ? ERROR_SUCCESS : GetLastError();
}

}  // namespace

std::optional<TLogon> RunOwnLogonDialog(HWND owner, const std::string& machine,
                                        const std::string& user, const std::string& failure) {
    TLogonRequest request{L"Connect as another user", Reason(machine, failure), Wide(user), {}};
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_LOGON), owner,
                        GuardedDialogProc<HandleLogonDialog>, reinterpret_cast<LPARAM>(&request));
    if (result == -1 || result == 0)
        throw Exception("The logon dialog could not be opened (error " +
                        std::to_string(GetLastError()) + ").");
    return std::move(request.logon);
}

std::optional<TLogon> RunLogonDialog(HWND owner, const std::string& machine,
                                     const std::string& user, const std::string& failure) {
    const TSystemPrompt system;
    if (system.Usable()) {
        std::optional<TLogon> logon;
        const DWORD status = RunSystemLogonDialog(system, owner, L"Connect to \\\\" + Wide(machine),
                                                  Reason(machine, failure), user, logon);
        if (status == ERROR_SUCCESS) return logon;
        if (status == ERROR_CANCELLED) return std::nullopt;
    }
    return RunOwnLogonDialog(owner, machine, user, failure);
}
