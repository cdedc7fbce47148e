#include "toolkit/win32/WinControl.h"

namespace {

constexpr wchar_t kControlProperty[] = L"NetworkView.Control";

}  // namespace

TRect WindowBoundsInParent(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

TWinControl::~TWinControl() { SetHandle(nullptr); }

void TWinControl::SetHandle(HWND hwnd) {
    if (hwnd_ && FromHandle(hwnd_) == this) Detach(hwnd_);
    hwnd_ = hwnd;
    if (hwnd_) Attach(hwnd_, this);
}

TRect TWinControl::BoundsRect() const { return hwnd_ ? WindowBoundsInParent(hwnd_) : TRect{}; }

void TWinControl::SetBoundsRect(const TRect& b) {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, nullptr, b.Left, b.Top, b.Width(), b.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (OnBoundsSet) OnBoundsSet(b);
}

TControl* TWinControl::FromHandle(HWND hwnd) {
    return static_cast<TControl*>(GetPropW(hwnd, kControlProperty));
}

void TWinControl::Attach(HWND hwnd, TControl* control) { SetPropW(hwnd, kControlProperty, control); }

void TWinControl::Detach(HWND hwnd) { RemovePropW(hwnd, kControlProperty); }

std::vector<const TControl*> TWinControl::ChildControls(HWND parent) {
    // A new child window goes below its elder siblings, so the topmost
    // first is the order they were made in.
    std::vector<const TControl*> controls;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        // A hidden window keeps its last place, which no longer takes room.
        if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) continue;
        if (const TControl* c = FromHandle(child)) controls.push_back(c);
    }
    return controls;
}
