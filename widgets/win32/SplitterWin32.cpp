#include "widgets/win32/SplitterWin32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstdlib>

#include "toolkit/win32/GdiDraw.h"
#include "toolkit/win32/WinControl.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/PropertyTypesWin32.h"

namespace {

constexpr UINT_PTR kSubclassId = 1;

}  // namespace

TBetterSplitterWin32::TBetterSplitterWin32()
    : TBetterSplitter(static_cast<TColor>(GetSysColor(COLOR_BTNFACE))),
      panel_({Color(), TBevel::Raised, TBevel::None}) {}

TBetterSplitterWin32::~TBetterSplitterWin32() {
    if (HWND h = Handle()) {
        RemoveWindowSubclass(h, SubclassProc(), kSubclassId);
        TWinControl::Detach(h);
    }
}

HWND TBetterSplitterWin32::Create(HWND parent, int id, bool visible) {
    HWND h = panel_.Create(parent, id, visible);
    if (!h) return nullptr;
    EnableWindow(h, Enabled());
    TWinControl::Attach(h, this);
    SetWindowSubclass(h, SubclassProc(), kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    return h;
}

void TBetterSplitterWin32::SetDpi(int dpi) {
    TBetterSplitter::SetDpi(dpi);
    panel_.SetDpi(dpi);
}

TRect TBetterSplitterWin32::BoundsRect() const {
    return Handle() ? WindowBoundsInParent(Handle()) : TRect{};
}

void TBetterSplitterWin32::SetBoundsRect(const TRect& b) {
    if (Handle())
        SetWindowPos(Handle(), nullptr, b.Left, b.Top, b.Width(), b.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

TRect TBetterSplitterWin32::ParentClientRect() const {
    RECT r{};
    GetClientRect(GetParent(Handle()), &r);
    return {r.left, r.top, r.right, r.bottom};
}

std::vector<const TControl*> TBetterSplitterWin32::ParentControls() const {
    return TWinControl::ChildControls(GetParent(Handle()));
}

void TBetterSplitterWin32::SetCursorShape(TSplitCursor cursor) {
    cursor_ = cursor == crVSplit   ? LoadCursorW(nullptr, IDC_SIZENS)
              : cursor == crHSplit ? LoadCursorW(nullptr, IDC_SIZEWE)
                                   : nullptr;
}

bool TBetterSplitterWin32::HasMouseCapture() const { return GetCapture() == Handle(); }

void TBetterSplitterWin32::ConfineCursor(const TRect* parentRect) {
    if (!parentRect) {
        ClipCursor(nullptr);
        return;
    }
    RECT r = ToRECT(*parentRect);
    MapWindowPoints(GetParent(Handle()), HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    ClipCursor(&r);
}

void TBetterSplitterWin32::DrawOutline(const TRect& rect) {
    // Drawn on the screen itself, over the siblings, and clipped to the
    // parent's client area; inverting makes a second drawing erase it.
    HWND parent = GetParent(Handle());
    RECT area;
    GetClientRect(parent, &area);
    MapWindowPoints(parent, HWND_DESKTOP, reinterpret_cast<POINT*>(&area), 2);
    area.right += 1;
    area.bottom += 1;
    const TWindowDC screen = ClientDC(nullptr);
    HDC dc = screen.get();
    SetViewportOrgEx(dc, area.left, area.top, nullptr);
    {
        // The context keeps a copy of the region.
        const TOwnedRegion clip(CreateRectRgnIndirect(&area));
        SelectClipRgn(dc, clip.get());
    }
    const int oldRop = SetROP2(dc, R2_NOT);
    {
        const TSelection hollow(dc, GetStockObject(HOLLOW_BRUSH));
        const TSelected<HPEN> pen(dc, CreatePen(PS_INSIDEFRAME, ScaleForDpi(1, Dpi()), 0));
        Rectangle(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
    }
    SetROP2(dc, oldRop);
}

void TBetterSplitterWin32::ColorChanged() { panel_.SetColor(Color()); }

void TBetterSplitterWin32::EnabledChanged() {
    if (Handle()) EnableWindow(Handle(), Enabled());
}

TColor TBetterSplitterWin32::ParentColorValue() const {
    HWND parent = Handle() ? GetParent(Handle()) : nullptr;
    return parent ? WindowColor(parent) : Color();
}

bool TBetterSplitterWin32::SecondPressOfDoubleClick(int x, int y) {
    POINT p{x, y};
    ClientToScreen(Handle(), &p);
    const LONG time = GetMessageTime();
    const bool second = lastPressValid_ &&
                        static_cast<UINT>(time - lastPressTime_) <= GetDoubleClickTime() &&
                        std::abs(p.x - lastPress_.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                        std::abs(p.y - lastPress_.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    // A third press begins a new double click.
    lastPressValid_ = !second;
    lastPressTime_ = time;
    lastPress_ = p;
    return second;
}

SUBCLASSPROC TBetterSplitterWin32::SubclassProc() {
    return ObjectSubclassProc<TBetterSplitterWin32, &TBetterSplitterWin32::HandleMessage>;
}

LRESULT TBetterSplitterWin32::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    HWND h = Handle();
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    switch (msg) {
        case WM_LBUTTONDOWN: {
            const bool second = SecondPressOfDoubleClick(x, y);
            SetCapture(h);
            MouseDown(mbLeft, ShiftStateOf(wp) | (second ? TShiftState{ssDouble} : 0u), x, y);
            return 0;
        }
        case WM_RBUTTONDOWN:
            MouseDown(mbRight, ShiftStateOf(wp), x, y);
            return 0;
        case WM_MBUTTONDOWN:
            MouseDown(mbMiddle, ShiftStateOf(wp), x, y);
            return 0;
        case WM_MOUSEMOVE:
            MouseMove(ShiftStateOf(wp), x, y);
            return 0;
        case WM_LBUTTONUP:
            MouseUp(mbLeft, ShiftStateOf(wp), x, y);
            if (GetCapture() == h) ReleaseCapture();
            return 0;
        case WM_RBUTTONUP:
            MouseUp(mbRight, ShiftStateOf(wp), x, y);
            return 0;
        case WM_MBUTTONUP:
            MouseUp(mbMiddle, ShiftStateOf(wp), x, y);
            return 0;
        case WM_CAPTURECHANGED:
            CaptureLost();
            return 0;
        case WM_SETCURSOR:
            if (cursor_ && LOWORD(lp) == HTCLIENT) {
                SetCursor(cursor_);
                return TRUE;
            }
            break;
        case WM_SIZE:
        case WM_MOVE: {
            const LRESULT result = DefSubclassProc(h, msg, wp, lp);
            // A control whose alignment became unusable leaves the splitter
            // unaligned; nothing is thrown through the window procedure.
            try {
                SizeOrMoveChanged();
            } catch (const Exception&) {
            }
            return result;
        }
        case WM_NCDESTROY:
            TWinControl::Detach(h);
            break;
        default:
            break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}
