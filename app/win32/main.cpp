// Network View: the program's entry.
#include <windows.h>
#include <commctrl.h>

#include "app/win32/MainForm.h"
#include "platform/win32/Win32Platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    platform::win32::Win32Platform os;
    TNetworkViewerWin32 form(
        TNetworkViewerPlatform{os.net, os.messages, os.version, os.files, os.locale,
                               os.registry, os.shell, os.services, &os.directory});
    HWND hwnd = form.Create(instance);
    if (!hwnd) return 1;
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
