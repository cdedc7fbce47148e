#include "toolkit/win32/Panel.h"

#include "toolkit/win32/GdiDraw.h"
#include "toolkit/win32/WindowClass.h"

namespace {

constexpr wchar_t kClassName[] = L"NetworkViewPanel";

// One pixel of bevel along the rectangle's edge, which then narrows by one.
void Bevel(HDC dc, RECT& r, TBevel bevel) {
    if (bevel == TBevel::None) return;
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    if (bevel == TBevel::Lowered)
        Frame3D(dc, r, shadow, light);
    else
        Frame3D(dc, r, light, shadow);
}

}  // namespace

TPanelWin32::~TPanelWin32() {
    if (brush_) DeleteObject(brush_);
    if (editBrush_) DeleteObject(editBrush_);
}

HWND TPanelWin32::Create(HWND parent, int id, bool visible) {
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    EnsureWindowClass(instance, kClassName, WndProc);
    brush_ = CreateSolidBrush(style_.Color);
    if (style_.OwnEditColor) editBrush_ = CreateSolidBrush(style_.EditColor);
    DWORD styles = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (visible) styles |= WS_VISIBLE;
    hwnd_ = CreateWindowExW(0, kClassName, L"", styles, 0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    return hwnd_;
}

void TPanelWin32::Paint(HDC dc) {
    RECT r;
    GetClientRect(hwnd_, &r);
    FillRect(dc, &r, brush_);
    Bevel(dc, r, style_.Outer);
    InflateRect(&r, -style_.BorderWidth, -style_.BorderWidth);
    Bevel(dc, r, style_.Inner);
}

const TPanelStyle* TPanelWin32::StyleOf(HWND hwnd) {
    wchar_t cls[32] = {};
    if (hwnd == nullptr || GetClassNameW(hwnd, cls, 32) == 0 || lstrcmpW(cls, kClassName) != 0)
        return nullptr;
    auto* panel = reinterpret_cast<TPanelWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return panel ? &panel->style_ : nullptr;
}

LRESULT CALLBACK TPanelWin32::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* panel = reinterpret_cast<TPanelWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (panel == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            PaintWindow(hwnd, [panel](HDC dc) { panel->Paint(dc); });
            return 0;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wp);
            wchar_t cls[16] = {};
            GetClassNameW(reinterpret_cast<HWND>(lp), cls, 16);
            const bool edit = lstrcmpiW(cls, L"Edit") == 0;
            if (edit && panel->editBrush_) {
                SetBkColor(dc, panel->style_.EditColor);
                return reinterpret_cast<LRESULT>(panel->editBrush_);
            }
            SetBkColor(dc, panel->style_.Color);
            return reinterpret_cast<LRESULT>(panel->brush_);
        }
        case WM_CTLCOLORBTN:
            return reinterpret_cast<LRESULT>(panel->brush_);
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
            return SendMessageW(GetParent(hwnd), msg, wp, lp);
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            panel->hwnd_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}
