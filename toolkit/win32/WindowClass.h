#pragma once
// Small pieces every window of the program's own needs.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "toolkit/Exception.h"
#include "toolkit/win32/GdiOwners.h"

// The dialog procedure over Handle: no exception crosses the dialog
// manager's frames; a message whose handling throws is left to the manager.
template <INT_PTR (*Handle)(HWND, UINT, WPARAM, LPARAM)>
INT_PTR CALLBACK GuardedDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        return Handle(dialog, msg, wp, lp);
    } catch (...) {
        return FALSE;
    }
}

// Registers the window class once per module; later calls find it.
void EnsureWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc,
                       HBRUSH background = nullptr, UINT style = CS_HREDRAW | CS_VREDRAW);

// The window procedure of every window that stands for an object of ours.
// The object comes with the create parameters (CreateWindowEx's last
// argument) and learns its window in Window at WM_NCCREATE; from then on
// every message goes to its Handler. After WM_NCDESTROY the window lets go
// of the object, and Window is null again. No exception crosses the
// system's frames: a message whose handling throws gets the default answer.
template <typename T, HWND T::*Window, LRESULT (T::*Handler)(UINT, WPARAM, LPARAM)>
LRESULT CALLBACK ObjectWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* created = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        if (created) created->*Window = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result;
    try {
        result = (self->*Handler)(msg, wp, lp);
    } catch (...) {
        result = DefWindowProcW(hwnd, msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->*Window = nullptr;
    }
    return result;
}

// The subclass procedure (SetWindowSubclass) of a window that an object of
// ours watches but did not make: the reference data is the object. A
// message whose handling throws goes on to the window's own procedure.
template <typename T, LRESULT (T::*Handler)(UINT, WPARAM, LPARAM)>
LRESULT CALLBACK ObjectSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                    DWORD_PTR self) {
    try {
        return (reinterpret_cast<T*>(self)->*Handler)(msg, wp, lp);
    } catch (...) {
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
}

// Window class names compare without regard to case.
bool IsWindowOfClass(HWND hwnd, const wchar_t* className);

// The object a window of the class stands for (see ObjectWindowProc); null
// for any other window.
template <typename T>
T* ObjectOfClass(HWND hwnd, const wchar_t* className) {
    if (hwnd == nullptr || !IsWindowOfClass(hwnd, className)) return nullptr;
    return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// The window's text, whole.
std::wstring ReadWindowText(HWND hwnd);

// Answers WM_PAINT by handing the paint context to paint.
template <typename F>
void PaintWindow(HWND hwnd, F paint) {
    const TPaintDC dc(hwnd);
    paint(dc.Get());
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

// A press of the left button released over the window is a click, as with
// a button; one dragged off the window before its release is none. The
// window holds the mouse from the press to the release.
class TClickTracker {
public:
    // True when msg was the button's or the capture's (the window answers
    // it with 0); clicked tells whether it completed a click.
    bool Follow(HWND hwnd, UINT msg, LPARAM lp, bool& clicked);

private:
    bool pressed_ = false;
};
