#include "toolkit/win32/WindowClass.h"

void EnsureWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, HBRUSH background,
                       UINT style) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, name, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

bool IsWindowOfClass(HWND hwnd, const wchar_t* className) {
    // Longer than any class name the program asks about, so that a longer
    // name is not cut to one that matches.
    wchar_t name[64] = {};
    return GetClassNameW(hwnd, name, 64) != 0 && lstrcmpiW(name, className) == 0;
}

std::wstring ReadWindowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    return text;
}

bool TClickTracker::Follow(HWND hwnd, UINT msg, LPARAM lp, bool& clicked) {
    clicked = false;
    switch (msg) {
        case WM_LBUTTONDOWN:
            pressed_ = true;
            SetCapture(hwnd);
            return true;
        case WM_LBUTTONUP: {
            if (!pressed_) return true;
            pressed_ = false;
            ReleaseCapture();
            RECT r;
            GetClientRect(hwnd, &r);
            const POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            clicked = PtInRect(&r, p) != FALSE;
            return true;
        }
        case WM_CAPTURECHANGED:
            pressed_ = false;
            return true;
        default:
            return false;
    }
}
