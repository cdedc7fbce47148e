#pragma once
// Small pieces every window of the program's own needs.
#include <windows.h>

// Registers the window class once per module; later calls find it.
void EnsureWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc,
                       HBRUSH background = nullptr);

// Answers WM_PAINT by handing the paint context to paint.
template <typename F>
void PaintWindow(HWND hwnd, F paint) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    paint(dc);
    EndPaint(hwnd, &ps);
}

// A window that paints all of itself: no background erasing, WM_PAINT and
// WM_PRINTCLIENT both drawn by paint. True when msg was one of those, with
// the answer in result.
template <typename F>
bool HandleSelfPaint(HWND hwnd, UINT msg, WPARAM wp, F paint, LRESULT& result) {
    switch (msg) {
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_PAINT:
            PaintWindow(hwnd, paint);
            result = 0;
            return true;
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(wp));
            result = 0;
            return true;
        default:
            return false;
    }
}
