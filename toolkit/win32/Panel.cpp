#include "toolkit/win32/Panel.h"

#include "toolkit/Dpi.h"
#include "toolkit/win32/GdiDraw.h"
#include "toolkit/win32/WindowClass.h"

namespace {

constexpr wchar_t kClassName[] = L"NetworkViewPanel";

}  // namespace

void DrawBevel(HDC dc, RECT& r, TBevel bevel, TColor shadow, TColor light, int width) {
    if (bevel == TBevel::None) return;
    const bool lowered = bevel == TBevel::Lowered;
    for (int i = 0; i < width; ++i) Frame3D(dc, r, lowered ? shadow : light, lowered ? light : shadow);
}

TColor WindowColor(HWND hwnd) {
    if (const TPanelStyle* panel = TPanelWin32::StyleOf(hwnd)) return panel->Color;
    const auto brush = static_cast<ULONG_PTR>(GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND));
    if (brush > 0 && brush <= COLOR_MENUBAR + 1) return GetSysColor(static_cast<int>(brush - 1));
    LOGBRUSH lb{};
    if (brush != 0 && GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb) == sizeof lb &&
        lb.lbStyle == BS_SOLID)
        return lb.lbColor & 0xFFFFFF;
    return GetSysColor(COLOR_BTNFACE);
}

HWND TPanelWin32::Create(HWND parent, int id, bool visible) {
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    EnsureWindowClass(instance, kClassName,
                      ObjectWindowProc<TPanelWin32, &TPanelWin32::hwnd_, &TPanelWin32::HandleMessage>);
    brush_.reset(CreateSolidBrush(style_.Color));
    if (style_.OwnEditColor) editBrush_.reset(CreateSolidBrush(style_.EditColor));
    DWORD styles = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (visible) styles |= WS_VISIBLE;
    CreateWindowExW(0, kClassName, L"", styles, 0, 0, 0, 0, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    return hwnd_;
}

void TPanelWin32::SetColor(TColor color) {
    style_.Color = color;
    brush_.reset(CreateSolidBrush(color));
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TPanelWin32::Paint(HDC dc) {
    RECT r;
    GetClientRect(hwnd_, &r);
    FillRect(dc, &r, brush_.get());
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    DrawBevel(dc, r, style_.Outer, shadow, light, style_.BevelWidth);
    InflateRect(&r, -style_.BorderWidth, -style_.BorderWidth);
    DrawBevel(dc, r, style_.Inner, shadow, light, style_.BevelWidth);
}

void TPanelWin32::SetDpi(int dpi) {
    style_.BorderWidth = ScaleForDpi(designBorderWidth_, dpi);
    style_.BevelWidth = ScaleForDpi(designBevelWidth_, dpi);
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

const TPanelStyle* TPanelWin32::StyleOf(HWND hwnd) {
    const auto* panel = ObjectOfClass<TPanelWin32>(hwnd, kClassName);
    return panel ? &panel->style_ : nullptr;
}

// Static and read-only edit children are drawn on the panel's colour, an
// edit on its own colour where the panel has one.
LRESULT TPanelWin32::ChildColor(HDC dc, HWND child) {
    if (editBrush_ && IsWindowOfClass(child, L"Edit")) {
        SetBkColor(dc, style_.EditColor);
        return reinterpret_cast<LRESULT>(editBrush_.get());
    }
    SetBkColor(dc, style_.Color);
    return reinterpret_cast<LRESULT>(brush_.get());
}

LRESULT TPanelWin32::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            PaintWindow(hwnd_, [this](HDC dc) { Paint(dc); });
            return 0;
        case WM_CTLCOLORSTATIC:
            return ChildColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
        case WM_CTLCOLORBTN:
            return reinterpret_cast<LRESULT>(brush_.get());
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
            return SendMessageW(GetParent(hwnd_), msg, wp, lp);
        default:
            return DefWindowProcW(hwnd_, msg, wp, lp);
    }
}
