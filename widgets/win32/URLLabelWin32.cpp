#include "widgets/win32/URLLabelWin32.h"

#include <commctrl.h>

#include "app/win32/resource.h"
#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/WindowClass.h"
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
                                       &TURLLabelWin32::HandleMessage>);
    UpdateFont();
    CreateWindowExW(0, kClassName, Wide(Caption()).c_str(), WS_CHILD | WS_VISIBLE, left, top,
                    width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                    instance, this);
    if (!hwnd_) return nullptr;
    FitToCaption();

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
    FitToCaption();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

// The caption in the label's font decides its size, whatever font the
// system puts in place of the one asked for; the corner stays.
void TURLLabelWin32::FitToCaption() {
    if (!AutoSize() || !font_) return;
    const std::wstring text = Wide(Caption());
    RECT r{0, 0, 0, 0};
    {
        const TWindowDC dc = ClientDC(hwnd_);
        const TSelection font(dc.get(), font_.get());
        DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right, r.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
    TOwnedFont made = CreateFontOf(Font());
    if (!made) return;
    font_ = std::move(made);
    fontMade_ = Font();
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

void TURLLabelWin32::Paint(HDC dc) {
    RECT r;
    GetClientRect(hwnd_, &r);
    if (Transparent())
        PaintParentBackground(dc);
    else
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    const std::wstring text = Wide(Caption());
    const TSelection font(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(Font().Color));
    // "&" shows as itself.
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT TURLLabelWin32::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT painted = 0;
    if (HandleSelfPaint(hwnd_, msg, wp, [this](HDC dc) { Paint(dc); }, painted)) return painted;
    bool clicked = false;
    if (click_.Follow(hwnd_, msg, lp, clicked)) {
        if (clicked) Click();
        return 0;
    }
    switch (msg) {
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
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}
