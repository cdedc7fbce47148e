#include "widgets/win32/URLLabelWin32.h"

#include <commctrl.h>
#include <windowsx.h>

#include "app/win32/resource.h"
#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/GdiDraw.h"
#include "toolkit/win32/WinControl.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/PropertyTypesWin32.h"
#include "widgets/win32/WidgetFonts.h"

using platform::win32::Wide;

namespace {

constexpr wchar_t kClassName[] = L"TURLLabel";

COLORREF ToColorRef(TColor color) {
    if ((color & 0xFF000000) == 0xFF000000) return GetSysColor(static_cast<int>(color & 0xFF));
    return static_cast<COLORREF>(color);
}

// The tool of the label in its tooltip. The older size of the structure,
// which every version of the common controls accepts, also without a
// manifest that asks for version 6.
TTTOOLINFOW ToolOf(HWND label, HWND parent) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = parent;
    tool.uId = reinterpret_cast<UINT_PTR>(label);
    return tool;
}

TRect ClientOf(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

TURLLabelWin32::TURLLabelWin32(platform::Registry& registry, platform::Shell& shell,
                               TLabelFont font)
    : TURLLabel(registry, shell, std::move(font)) {
    // A cursor loaded from a module's resources is shared and never destroyed.
    hand_ = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HANDPOINT));
    if (hand_ == nullptr) hand_ = LoadCursorW(nullptr, IDC_HAND);
}

TURLLabelWin32::~TURLLabelWin32() {
    if (tooltip_) DestroyWindow(tooltip_);
    if (hwnd_) DestroyWindow(hwnd_);
}

HWND TURLLabelWin32::Create(HWND parent, int id, int left, int top, int width, int height) {
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    EnsureWindowClass(instance, kClassName,
                      ObjectWindowProc<TURLLabelWin32, &TURLLabelWin32::hwnd_,
                                       &TURLLabelWin32::HandleMessage>,
                      nullptr, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    UpdateFont();
    CreateWindowExW(0, kClassName, Wide(Caption()).c_str(), WS_CHILD | WS_VISIBLE, left, top,
                    width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                    instance, this);
    if (!hwnd_) return nullptr;
    EnableWindow(hwnd_, Enabled());
    // An aligned label is placed anew whenever its parent's size changes.
    parent_ = parent;
    SetWindowSubclass(parent, ObjectSubclassProc<TURLLabelWin32, &TURLLabelWin32::HandleParentMessage>,
                      reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
    Place();

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                               instance, nullptr);
    if (tooltip_) {
        std::wstring hint = Wide(Hint());
        TTTOOLINFOW tool = ToolOf(hwnd_, parent);
        tool.lpszText = hint.data();
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return hwnd_;
}

void TURLLabelWin32::Changed() {
    if (!hwnd_) return;
    UpdateFont();
    SetWindowTextW(hwnd_, Wide(Caption()).c_str());
    EnableWindow(hwnd_, Enabled());
    Place();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

UINT TURLLabelWin32::TextFormat() const {
    // "&" shows as itself.
    UINT format = DT_NOPREFIX | DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : DT_SINGLELINE);
    if (Alignment() == taCenter) format |= DT_CENTER;
    if (Alignment() == taRightJustify) format |= DT_RIGHT;
    return format;
}

// The caption in the label's font decides its size, whatever font the
// system puts in place of the one asked for; a wrapped caption keeps the
// width the label has, or the one its alignment gives it. Then the label
// goes along the edge it is aligned to.
void TURLLabelWin32::Place() {
    if (!hwnd_ || !font_) return;
    const TRect client = ClientOf(GetParent(hwnd_));
    TRect bounds = WindowBoundsInParent(hwnd_);
    if (Align() == alTop || Align() == alBottom || Align() == alClient)
        bounds = AlignedLabelBounds(Align(), client, bounds);
    if (AutoSize()) {
        const std::wstring text = Wide(Caption());
        RECT r{0, 0, WordWrap() ? bounds.Width() : 0, 0};
        const TWindowDC dc = ClientDC(hwnd_);
        const TSelection font(dc.get(), font_.get());
        DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
                  TextFormat() | DT_CALCRECT);
        bounds = AutoSizedLabelBounds(bounds, r.right, r.bottom, Alignment());
    }
    bounds = AlignedLabelBounds(Align(), client, bounds);
    SetWindowPos(hwnd_, nullptr, bounds.Left, bounds.Top, bounds.Width(), bounds.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TURLLabelWin32::HintChanged() {
    if (!tooltip_) return;
    std::wstring hint = Wide(Hint());
    TTTOOLINFOW tool = ToolOf(hwnd_, GetParent(hwnd_));
    tool.lpszText = hint.data();
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TURLLabelWin32::ShowLaunchFailure(const std::string& message) {
    MessageBoxW(hwnd_ ? GetAncestor(hwnd_, GA_ROOT) : nullptr, Wide(message).c_str(),
                L"Network View", MB_OK | MB_ICONWARNING);
}

void TURLLabelWin32::UpdateFont() {
    if (font_ && Font() == fontMade_) return;
    TLabelFont scaled = Font();
    scaled.Height = ScaleForDpi(scaled.Height, dpi_);
    TOwnedFont made = CreateFontOf(scaled);
    if (!made) return;
    font_ = std::move(made);
    fontMade_ = Font();
}

void TURLLabelWin32::SetDpi(int dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    font_.reset();
    UpdateFont();
    Place();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

// The parent draws itself into the label's paint context, moved so that the
// label's corner meets its place on the parent; the context's clipping keeps
// the drawing to the label.
void TURLLabelWin32::PaintParentBackground(HDC dc) {
    HWND parent = GetParent(hwnd_);
    POINT origin{0, 0};
    MapWindowPoints(hwnd_, parent, &origin, 1);
    POINT old;
    OffsetWindowOrgEx(dc, origin.x, origin.y, &old);
    SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetWindowOrgEx(dc, old.x, old.y, nullptr);
}

// A disabled caption is drawn as engraved: in the highlight colour one pixel
// down and right, then in the shadow colour in its place.
void TURLLabelWin32::Paint(HDC dc) {
    RECT r;
    GetClientRect(hwnd_, &r);
    if (Transparent())
        PaintParentBackground(dc);
    else
        Fill(dc, r, ToColorRef(Color()));
    const std::wstring text = Wide(Caption());
    const TSelection font(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    auto draw = [&](RECT box, COLORREF colour) {
        SetTextColor(dc, colour);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, TextFormat());
    };
    if (Enabled()) {
        draw(r, ToColorRef(Font().Color));
        return;
    }
    RECT engraved = r;
    OffsetRect(&engraved, 1, 1);
    draw(engraved, GetSysColor(COLOR_BTNHIGHLIGHT));
    draw(r, GetSysColor(COLOR_BTNSHADOW));
}

// The menu at the mouse, or at the label's corner when the keyboard asked.
void TURLLabelWin32::ShowContextMenu(LPARAM lp) {
    POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    if (at.x == -1 && at.y == -1) {
        at = {0, 0};
        ClientToScreen(hwnd_, &at);
    }
    if (const auto* menu = dynamic_cast<const TPopupMenuWin32*>(ContextMenu()))
        menu->Popup(GetParent(hwnd_), at.x, at.y);
}

// The mouse's actions as the label's events; the left button's press and
// release also make its click. True when the message is answered here; the
// right button's release goes on to the system, which asks for the menu.
bool TURLLabelWin32::HandleMouse(UINT msg, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    const TShiftState shift = ShiftStateOf(wp);
    switch (msg) {
        case WM_LBUTTONDOWN: MouseDown(mbLeft, shift, x, y); break;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED: break;
        case WM_LBUTTONDBLCLK:
            DblClick();
            MouseDown(mbLeft, shift | ssDouble, x, y);
            return true;
        case WM_RBUTTONDOWN: MouseDown(mbRight, shift, x, y); return true;
        case WM_MBUTTONDOWN: MouseDown(mbMiddle, shift, x, y); return true;
        case WM_MOUSEMOVE: MouseMove(shift, x, y); return true;
        case WM_RBUTTONUP: MouseUp(mbRight, shift, x, y); return false;
        case WM_MBUTTONUP: MouseUp(mbMiddle, shift, x, y); return true;
        default: return false;
    }
    bool clicked = false;
    click_.Follow(hwnd_, msg, lp, clicked);
    if (clicked) Click();
    if (msg == WM_LBUTTONUP) MouseUp(mbLeft, shift, x, y);
    return true;
}

LRESULT TURLLabelWin32::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT painted = 0;
    if (HandleSelfPaint(hwnd_, msg, wp, [this](HDC dc) { Paint(dc); }, painted)) return painted;
    if (HandleMouse(msg, wp, lp)) return 0;
    switch (msg) {
        case WM_CONTEXTMENU:
            ShowContextMenu(lp);
            return 0;
        case WM_GETFONT:
            // The font the caption is drawn in, as a control tells it.
            return reinterpret_cast<LRESULT>(font_.get());
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) {
                SetCursor(Cursor() == crHandPoint ? hand_ : LoadCursorW(nullptr, IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_DESTROY:
            // The tooltip belongs to the label, though the system makes the
            // label's top-level window its owner.
            if (tooltip_) DestroyWindow(tooltip_);
            tooltip_ = nullptr;
            StopFollowingParent();
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT TURLLabelWin32::HandleParentMessage(UINT msg, WPARAM wp, LPARAM lp) {
    HWND parent = parent_;
    if (msg == WM_NCDESTROY) StopFollowingParent();
    const LRESULT result = DefSubclassProc(parent, msg, wp, lp);
    if (msg == WM_SIZE && Align() != alNone) Place();
    return result;
}

void TURLLabelWin32::StopFollowingParent() {
    if (!parent_) return;
    RemoveWindowSubclass(parent_,
                         ObjectSubclassProc<TURLLabelWin32, &TURLLabelWin32::HandleParentMessage>,
                         reinterpret_cast<UINT_PTR>(this));
    parent_ = nullptr;
}
