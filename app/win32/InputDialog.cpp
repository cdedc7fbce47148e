#include "app/win32/InputDialog.h"

#include "app/win32/resource.h"
#include "platform/win32/Win32Platform.h"
#include "toolkit/Exception.h"
#include "toolkit/win32/WindowClass.h"

using platform::win32::Narrow;
using platform::win32::Wide;

namespace {

struct TInputRequest {
    std::wstring caption;
    std::wstring prompt;
    std::wstring value;
    int maxChars;
};

INT_PTR HandleInputDialog(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: {
            auto* request = reinterpret_cast<TInputRequest*>(lp);
            SetWindowLongPtrW(dialog, DWLP_USER, lp);
            SetWindowTextW(dialog, request->caption.c_str());
            SetDlgItemTextW(dialog, IDC_INPUT_PROMPT, request->prompt.c_str());
            HWND edit = GetDlgItem(dialog, IDC_INPUT_VALUE);
            SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(request->maxChars), 0);
            SetWindowTextW(edit, request->value.c_str());
            SendMessageW(edit, EM_SETSEL, 0, -1);
            SetFocus(edit);
            return FALSE;  // the focus is set
        }
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case IDOK: {
                    auto* request =
                        reinterpret_cast<TInputRequest*>(GetWindowLongPtrW(dialog, DWLP_USER));
                    request->value = ReadWindowText(GetDlgItem(dialog, IDC_INPUT_VALUE));
                    EndDialog(dialog, IDOK);
                    return TRUE;
                }
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}


}  // namespace

bool RunInputDialog(HWND owner, const std::string& caption, const std::string& prompt,
                    std::string& value, int maxChars) {
    TInputRequest request{Wide(caption), Wide(prompt), Wide(value), maxChars};
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INPUTQUERY), owner,
                        GuardedDialogProc<HandleInputDialog>, reinterpret_cast<LPARAM>(&request));
    if (result == -1 || result == 0)
        throw Exception("The input dialog could not be opened (error " +
                        std::to_string(GetLastError()) + ").");
    if (result != IDOK) return false;
    value = Narrow(request.value);
    return true;
}
