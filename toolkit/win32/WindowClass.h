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
