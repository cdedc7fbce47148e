#include "widgets/win32/StatusBarWin32.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/GdiDraw.h"
#include "toolkit/win32/WinControl.h"
#include "toolkit/win32/WindowClass.h"

using platform::win32::Narrow;
using platform::win32::Wide;

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kToolId = 1;

LOGFONTW ToLogFont(const TFont& f) {
    LOGFONTW lf{};
    lf.lfHeight = f.Height;
    lf.lfWeight = f.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = f.Italic;
    lf.lfUnderline = f.Underline;
    lf.lfStrikeOut = f.StrikeOut;
    lf.lfCharSet = DEFAULT_CHARSET;
    const std::wstring name = Wide(f.Name);
    lstrcpynW(lf.lfFaceName, name.c_str(), LF_FACESIZE);
    return lf;
}

// A font handle for the time of one drawing or measuring.
class ScopedFont {
public:
    ScopedFont(HDC dc, const TFont& font) : dc_(dc) {
        const LOGFONTW lf = ToLogFont(font);
        font_ = CreateFontIndirectW(&lf);
        old_ = SelectObject(dc_, font_);
    }
    ~ScopedFont() {
        SelectObject(dc_, old_);
        DeleteObject(font_);
    }
    ScopedFont(const ScopedFont&) = delete;
    ScopedFont& operator=(const ScopedFont&) = delete;

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ old_;
};

// One line: the line breaks that some system texts end with are not shown.
std::wstring OneLine(const std::string& text) {
    std::wstring line = Wide(text);
    for (auto& c : line)
        if (c == L'\r' || c == L'\n') c = L' ';
    return line;
}

void Line(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void PanelBevel(HDC dc, const RECT& r, TStatusPanelBevel bevel) {
    if (bevel == pbNone) return;
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    RECT frame = r;
    Frame3D(dc, frame, bevel == pbLowered ? shadow : light, bevel == pbLowered ? light : shadow);
}

}  // namespace

// ---------------------------------------------------------------- images

int TImageListWin32::Width() const {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(handle_, &cx, &cy);
    return cx;
}

int TImageListWin32::Height() const {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(handle_, &cx, &cy);
    return cy;
}

int TImageListWin32::Count() const { return ImageList_GetImageCount(handle_); }

// ---------------------------------------------------------------- the bar

TStatusBarProWin32::TStatusBarProWin32()
    : TStatusBarPro(static_cast<TColor>(GetSysColor(COLOR_BTNFACE))) {}

TStatusBarProWin32::~TStatusBarProWin32() {
    if (hwnd_) RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
    if (tip_) DestroyWindow(tip_);
    if (font_) DeleteObject(font_);
}

DWORD TStatusBarProWin32::GripStyle() const { return ShowsSizeGrip() ? SBARS_SIZEGRIP : CCS_TOP; }

HWND TStatusBarProWin32::Create(HWND parent, int id) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    // The size grip rule needs the parent; the style is settled once it is
    // known.
    hwnd_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CCS_NORESIZE |
                                CCS_NOPARENTALIGN | CCS_NODIVIDER,
                            0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            instance, nullptr);
    if (!hwnd_) return nullptr;
    SetWindowLongW(hwnd_, GWL_STYLE, GetWindowLongW(hwnd_, GWL_STYLE) | GripStyle());
    SetWindowSubclass(hwnd_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));

    SyncToSystemFont();
    WindowCreated();
    return hwnd_;
}

void TStatusBarProWin32::SendSimpleText(const std::string& text, unsigned flags) {
    SendMessageW(hwnd_, SB_SETTEXTW, flags, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    // The bar's painting is the program's: the simple part is the whole bar.
    if (SimplePanel()) InvalidateRect(hwnd_, nullptr, FALSE);
}

void TStatusBarProWin32::SendSimple(bool simple) {
    SendMessageW(hwnd_, SB_SIMPLE, simple, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TStatusBarProWin32::SendParts(const std::vector<int>& edges) {
    SendMessageW(hwnd_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void TStatusBarProWin32::SendPanelText(int index, unsigned flags, const std::string& text) {
    SendMessageW(hwnd_, SB_SETTEXTW, static_cast<WPARAM>(index) | flags,
                 reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

void TStatusBarProWin32::InvalidatePanel(int index) {
    RECT r{};
    if (SendMessageW(hwnd_, SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)))
        InvalidateRect(hwnd_, &r, TRUE);
}

void TStatusBarProWin32::Invalidate() { InvalidateRect(hwnd_, nullptr, TRUE); }

TRect TStatusBarProWin32::PanelRect(int index) const {
    RECT r{};
    SendMessageW(hwnd_, SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return {r.left, r.top, r.right, r.bottom};
}

void TStatusBarProWin32::Borders(int& spacing, int& vertical) const {
    int borders[3] = {};
    SendMessageW(hwnd_, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    vertical = borders[1];
    spacing = borders[2];
}

int TStatusBarProWin32::ClientWidth() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r.right;
}

int TStatusBarProWin32::TextWidth(const TFont& font, const std::string& text) const {
    HDC dc = GetDC(hwnd_);
    SIZE size{};
    {
        ScopedFont f(dc, font);
        const std::wstring w = Wide(text);
        GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
    }
    ReleaseDC(hwnd_, dc);
    return size.cx;
}

int TStatusBarProWin32::TextHeight(const TFont& font) const {
    HDC dc = GetDC(hwnd_);
    SIZE size{};
    {
        ScopedFont f(dc, font);
        GetTextExtentPoint32W(dc, L"H", 1, &size);
    }
    ReleaseDC(hwnd_, dc);
    return size.cy;
}

void TStatusBarProWin32::ColorChanged() {
    SendMessageW(hwnd_, CCM_SETBKCOLOR, 0, static_cast<LPARAM>(Color()));
    // The control would not paint it: the program does, at once.
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateWindow(hwnd_);
}

void TStatusBarProWin32::FontChanged() {
    const LOGFONTW lf = ToLogFont(Font());
    HFONT font = CreateFontIndirectW(&lf);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (font_) DeleteObject(font_);
    font_ = font;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TStatusBarProWin32::RecreateWnd() {
    // The grip is a matter of the style; the window, its texts and the
    // controls in its panels stay.
    const DWORD style = GetWindowLongW(hwnd_, GWL_STYLE) & ~(SBARS_SIZEGRIP | CCS_TOP);
    SetWindowLongW(hwnd_, GWL_STYLE, style | GripStyle());
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    UpdatePanels(true, false);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

TColor TStatusBarProWin32::ParentColorValue() const {
    // The parent's colour is the background its window class paints.
    HWND parent = hwnd_ ? GetParent(hwnd_) : nullptr;
    if (parent) {
        const auto brush = static_cast<ULONG_PTR>(GetClassLongPtrW(parent, GCLP_HBRBACKGROUND));
        if (brush > 0 && brush <= COLOR_MENUBAR + 1)
            return static_cast<TColor>(GetSysColor(static_cast<int>(brush - 1)));
        LOGBRUSH lb{};
        if (brush && GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb) == sizeof lb)
            return static_cast<TColor>(lb.lbColor);
    }
    return static_cast<TColor>(GetSysColor(COLOR_BTNFACE));
}

TFont TStatusBarProWin32::SystemStatusFont() const {
    TFont font;
    font.Color = static_cast<TColor>(GetSysColor(COLOR_INFOTEXT));
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        const LOGFONTW& lf = metrics.lfStatusFont;
        font.Name = Narrow(lf.lfFaceName);
        font.Height = lf.lfHeight;
        font.Bold = lf.lfWeight >= FW_BOLD;
        font.Italic = lf.lfItalic != 0;
        font.Underline = lf.lfUnderline != 0;
        font.StrikeOut = lf.lfStrikeOut != 0;
    }
    return font;
}

bool TStatusBarProWin32::ParentIsSizeableForm() const {
    HWND parent = hwnd_ ? GetParent(hwnd_) : nullptr;
    if (!parent) return false;
    const LONG style = GetWindowLongW(parent, GWL_STYLE);
    return !(style & WS_CHILD) && (style & WS_THICKFRAME);
}

bool TStatusBarProWin32::SysLocaleRightToLeft() const {
    return GetSystemMetrics(SM_MIDEASTENABLED) != 0;
}

void TStatusBarProWin32::AdoptControl(TControl& control) {
    if (auto* w = dynamic_cast<TWinControl*>(&control); w && w->Handle())
        SetParent(w->Handle(), hwnd_);
}

void TStatusBarProWin32::CancelHint() {
    if (tip_) SendMessageW(tip_, TTM_POP, 0, 0);
}

void TStatusBarProWin32::EnsureTooltip() {
    // Made only once there is something to hint: a topmost popup that stands
    // ready for nothing would be one more window for the system to order.
    if (tip_ || !ShowHint || CurrentHint().empty()) return;
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE)),
                           nullptr);
    if (!tip_) return;
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = kToolId;
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    GetClientRect(hwnd_, &ti.rect);
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 400);
}

void TStatusBarProWin32::UpdateToolRect() {
    if (!tip_) return;
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = hwnd_;
    ti.uId = kToolId;
    GetClientRect(hwnd_, &ti.rect);
    SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
}

// ---------------------------------------------------------------- painting

void TStatusBarProWin32::PaintPanel(TStatusPanelPro& panel, const TRect& rect,
                                    const TPanelContentPlacement& placement) {
    const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    HBRUSH brush = CreateSolidBrush(panel.Color());
    FillRect(canvas_, &r, brush);
    DeleteObject(brush);
    if (placement.HasImage)
        if (auto* images = dynamic_cast<TImageListWin32*>(Images()))
            ImageList_Draw(images->Handle(), panel.ImageIndex(), canvas_, placement.ImageX,
                           placement.ImageY, ILD_NORMAL);
    if (!placement.HasText) return;
    ScopedFont font(canvas_, panel.Font());
    SetTextColor(canvas_, panel.Font().Color);
    SetBkMode(canvas_, TRANSPARENT);
    const std::wstring text = OneLine(panel.Text());
    ExtTextOutW(canvas_, placement.TextX, placement.TextY,
                ETO_CLIPPED | (panel.UseRightToLeftReading() ? ETO_RTLREADING : 0), &r,
                text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

void TStatusBarProWin32::PaintSizeGrip(HDC dc, const RECT& client) {
    // Three ridges drawn on the bar's own colour, while the form can be
    // resized and is not maximised.
    if (!ShowsSizeGrip() || IsZoomed(GetParent(hwnd_))) return;
    HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HGDIOBJ oldPen = SelectObject(dc, shadow);
    const int r = client.right, b = client.bottom;
    for (int k = 3; k <= 11; k += 4) {
        SelectObject(dc, shadow);
        for (int d = 0; d < 2; ++d) Line(dc, r - k + d, b, r, b - k + d);
        SelectObject(dc, light);
        Line(dc, r - k - 1, b, r, b - k - 1);
    }
    SelectObject(dc, oldPen);
    DeleteObject(shadow);
    DeleteObject(light);
}

void TStatusBarProWin32::Paint(HDC dc) {
    UpdatePanels(false, true);
    RECT client;
    GetClientRect(hwnd_, &client);
    HBRUSH brush = CreateSolidBrush(Color());
    FillRect(dc, &client, brush);
    DeleteObject(brush);

    const int saved = SaveDC(dc);
    canvas_ = dc;
    if (SimplePanel()) {
        // The simple text, left-aligned (right-aligned when the bar reads
        // right to left) and vertically centred over the whole bar.
        RECT textRect = client;
        textRect.left += 2;
        textRect.right -= ShowsSizeGrip() ? kSizeGripWidth : 2;
        ScopedFont font(dc, Font());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, Font().Color);
        const std::wstring line = OneLine(SimpleText());
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
        if (UseRightToLeftAlignment()) format |= DT_RIGHT;
        if (UseRightToLeftReading()) format |= DT_RTLREADING;
        DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &textRect, format);
    } else {
        const int count = std::min(Panels().Count(), kMaxLaidOutPanels);
        for (int i = 0; i < count; ++i) {
            RECT r{};
            SendMessageW(hwnd_, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
            PanelBevel(dc, r, Panels()[i].Bevel());
            InflateRect(&r, -1, -1);
            const int panelDc = SaveDC(dc);
            IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
            ScopedFont font(dc, Font());
            SetBkColor(dc, Color());
            DrawItem(i, {r.left, r.top, r.right, r.bottom});
            RestoreDC(dc, panelDc);
        }
    }
    canvas_ = nullptr;
    RestoreDC(dc, saved);
    PaintSizeGrip(dc, client);
}

// ---------------------------------------------------------------- messages

LRESULT CALLBACK TStatusBarProWin32::SubclassProc(HWND, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                                  DWORD_PTR self) {
    return reinterpret_cast<TStatusBarProWin32*>(self)->HandleMessage(msg, wp, lp);
}

LRESULT TStatusBarProWin32::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    LRESULT painted = 0;
    if (HandleSelfPaint(hwnd_, msg, wp, [this](HDC dc) { Paint(dc); }, painted)) return painted;
    switch (msg) {
        case WM_SIZE:
            // The control would lay its parts out by itself; the bar does.
            Resized();
            UpdateToolRect();
            return 0;
        case WM_NCCALCSIZE: {
            const LRESULT result = DefSubclassProc(hwnd_, msg, wp, lp);
            return wp ? (result | WVR_HREDRAW | WVR_VREDRAW) : result;
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(Wide(SimpleText()).size());
        case WM_SETTINGCHANGE:
            SettingChanged(static_cast<unsigned>(wp));
            break;
        case WM_FONTCHANGE:
            SyncToSystemFont();
            break;
        case WM_SYSCOLORCHANGE:
            RecreateWnd();
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            MouseDown(x, y);
            if (msg == WM_LBUTTONDOWN) {
                pressed_ = true;
                SetCapture(hwnd_);
            }
            break;
        case WM_LBUTTONUP: {
            const bool click = pressed_;
            pressed_ = false;
            if (GetCapture() == hwnd_) ReleaseCapture();
            RECT client;
            GetClientRect(hwnd_, &client);
            if (click && x >= 0 && y >= 0 && x < client.right && y < client.bottom) Click();
            break;
        }
        case WM_LBUTTONDBLCLK:
            MouseDown(x, y);
            DblClick();
            break;
        case WM_MOUSEMOVE:
            MouseMove(x, y);
            if (!tip_) {
                EnsureTooltip();
                // The tooltip watches the mouse from the next move on; this
                // one it is handed.
                if (tip_) {
                    MSG m{hwnd_, msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {x, y}};
                    SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
                }
            }
            break;
        case WM_CONTEXTMENU:
            if (auto* menu = dynamic_cast<TPopupMenuWin32*>(ContextMenu())) {
                const UINT align = menu->BiDiMode != bdLeftToRight ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
                TrackPopupMenu(menu->Handle(), align | TPM_RIGHTBUTTON, x, y, 0, GetParent(hwnd_),
                               nullptr);
                return 0;
            }
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lp);
            if (header->hwndFrom == tip_ && header->code == TTN_GETDISPINFOW) {
                auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
                hintText_ = ShowHint ? Wide(CurrentHint()) : std::wstring();
                info->lpszText = hintText_.data();
                return 0;
            }
            break;
        }
        case WM_NCDESTROY: {
            HWND hwnd = hwnd_;
            RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
            hwnd_ = nullptr;
            tip_ = nullptr;  // owned by the bar: gone with it
            return DefSubclassProc(hwnd, msg, wp, lp);
        }
        default:
            break;
    }
    return DefSubclassProc(hwnd_, msg, wp, lp);
}
