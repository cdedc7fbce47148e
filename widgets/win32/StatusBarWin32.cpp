#include "widgets/win32/StatusBarWin32.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/Dpi.h"
#include "toolkit/win32/GdiDraw.h"
#include "toolkit/win32/Panel.h"
#include "toolkit/win32/WinControl.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/WidgetFonts.h"

using platform::win32::Wide;

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kToolId = 1;

// A font made for the time of one drawing or measuring.
class ScopedFont : public TSelected<HFONT> {
public:
    ScopedFont(HDC dc, const TFont& font) : TSelected<HFONT>(dc, CreateFontOf(font)) {}
};

// One line: the line breaks that some system texts end with are not shown.
std::wstring OneLine(const std::string& text) {
    std::wstring line = Wide(text);
    for (auto& c : line)
        if (c == L'\r' || c == L'\n') c = L' ';
    return line;
}

void PanelBevel(HDC dc, const RECT& r, TStatusPanelBevel bevel, int width) {
    const TBevel drawn = bevel == pbNone      ? TBevel::None
                         : bevel == pbLowered ? TBevel::Lowered
                                              : TBevel::Raised;
    RECT frame = r;
    DrawBevel(dc, frame, drawn, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT),
              width);
}

// A tool of the bar's tooltip: the whole bar.
TTTOOLINFOW BarTool(HWND bar) {
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = bar;
    ti.uId = kToolId;
    GetClientRect(bar, &ti.rect);
    return ti;
}

}  // namespace

// ---------------------------------------------------------------- the bar

TStatusBarProWin32::TStatusBarProWin32()
    : TStatusBarPro(static_cast<TColor>(GetSysColor(COLOR_BTNFACE))) {}

TStatusBarProWin32::~TStatusBarProWin32() {
    if (hwnd_) RemoveWindowSubclass(hwnd_, SubclassProc(), kSubclassId);
    if (tip_) DestroyWindow(tip_);
}

SUBCLASSPROC TStatusBarProWin32::SubclassProc() {
    return ObjectSubclassProc<TStatusBarProWin32, &TStatusBarProWin32::HandleMessage>;
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
    SetWindowSubclass(hwnd_, SubclassProc(), kSubclassId, reinterpret_cast<DWORD_PTR>(this));

    SyncToSystemFont();
    // Joining its parent, a bar that follows the parent's font and reading
    // order takes them.
    ParentFontChanged();
    ParentBiDiModeChanged(ParentBiDiModeValue());
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
    // The control may work its parts' rectangles out only when their edges
    // change (Wine's does), and it never hears of the bar's size: edges the
    // same as the last ones go in once more after a different list, so that
    // the rectangles fit the bar's width now.
    if (edges == sentParts_ && !edges.empty()) {
        std::vector<int> other = edges;
        other.back() = ClientWidth() + 1;
        SendMessageW(hwnd_, SB_SETPARTS, other.size(), reinterpret_cast<LPARAM>(other.data()));
    }
    SendMessageW(hwnd_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    sentParts_ = edges;
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

// The extent of a text in the font, measured on the bar.
SIZE TStatusBarProWin32::TextExtent(const TFont& font, const std::wstring& text) const {
    const TWindowDC dc = ClientDC(hwnd_);
    const ScopedFont selected(dc.get(), font);
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

int TStatusBarProWin32::TextWidth(const TFont& font, const std::string& text) const {
    return TextExtent(font, Wide(text)).cx;
}

int TStatusBarProWin32::TextHeight(const TFont& font) const { return TextExtent(font, L"H").cy; }

void TStatusBarProWin32::ColorChanged() {
    SendMessageW(hwnd_, CCM_SETBKCOLOR, 0, static_cast<LPARAM>(Color()));
    // The control would not paint it: the program does, at once.
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateWindow(hwnd_);
}

void TStatusBarProWin32::FontChanged() {
    TOwnedFont font = CreateFontOf(Font());
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    font_ = std::move(font);
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
    HWND parent = hwnd_ ? GetParent(hwnd_) : nullptr;
    return parent ? WindowColor(parent) : static_cast<TColor>(GetSysColor(COLOR_BTNFACE));
}

// The font the parent answers WM_GETFONT with; the system's font for a
// parent that has none of its own.
TFont TStatusBarProWin32::ParentFontValue() const {
    HWND parent = hwnd_ ? GetParent(hwnd_) : nullptr;
    auto font = parent ? reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr;
    LOGFONTW lf{};
    if (!font || GetObjectW(font, sizeof lf, &lf) != sizeof lf)
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    TFont described = Font();
    DescribeFont(lf, described);
    return described;
}

TBiDiMode TStatusBarProWin32::ParentBiDiModeValue() const {
    HWND parent = hwnd_ ? GetParent(hwnd_) : nullptr;
    return parent ? BiDiModeOfExStyle(static_cast<DWORD>(GetWindowLongW(parent, GWL_EXSTYLE)))
                  : BiDiMode();
}

TFont TStatusBarProWin32::SystemStatusFont() const {
    TFont font;
    font.Color = static_cast<TColor>(GetSysColor(COLOR_INFOTEXT));
    const NONCLIENTMETRICSW metrics = NonClientMetricsForDpi(Dpi());
    if (metrics.cbSize != 0) DescribeFont(metrics.lfStatusFont, font);
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
    TTTOOLINFOW ti = BarTool(hwnd_);
    ti.uFlags = TTF_SUBCLASS;
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 400);
}

void TStatusBarProWin32::UpdateToolRect() {
    if (!tip_) return;
    TTTOOLINFOW ti = BarTool(hwnd_);
    SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
}

// ---------------------------------------------------------------- painting

void TStatusBarProWin32::PaintPanel(TStatusPanelPro& panel, const TRect& rect,
                                    const TPanelContentPlacement& placement) {
    const RECT r = ToRECT(rect);
    Fill(canvas_, r, panel.Color());
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
    // resized and is not maximised: each a light line above a shadow twice
    // as thick, spaced and drawn at the bar's scale.
    if (!ShowsSizeGrip() || IsZoomed(GetParent(hwnd_))) return;
    const TColor shadow = GetSysColor(COLOR_BTNSHADOW);
    const TColor light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const LONG r = client.right, b = client.bottom;
    const auto s = [this](int value) { return static_cast<LONG>(ScaleForDpi(value, Dpi())); };
    for (int ridge = 3; ridge <= 11; ridge += 4) {
        const LONG k = s(ridge);
        for (LONG d = 0; d < s(2); ++d) Line(dc, shadow, {{r - k + d, b}, {r, b - k + d}});
        for (LONG d = 1; d <= s(1); ++d) Line(dc, light, {{r - k - d, b}, {r, b - k - d}});
    }
}

void TStatusBarProWin32::Paint(HDC dc) {
    UpdatePanels(false, true);
    RECT client;
    GetClientRect(hwnd_, &client);
    Fill(dc, client, Color());
    {
        const TSavedDC saved(dc);
        canvas_ = dc;
        if (SimplePanel())
            PaintSimpleText(dc, client);
        else
            PaintPanels(dc);
        canvas_ = nullptr;
    }
    PaintSizeGrip(dc, client);
}

// The simple text, left-aligned (right-aligned when the bar reads right to
// left) and vertically centred over the whole bar.
void TStatusBarProWin32::PaintSimpleText(HDC dc, const RECT& client) {
    RECT textRect = client;
    const int margin = ScaleForDpi(2, Dpi());
    textRect.left += margin;
    textRect.right -= ShowsSizeGrip() ? SizeGripWidth() : margin;
    const ScopedFont font(dc, Font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Font().Color);
    const std::wstring line = OneLine(SimpleText());
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    if (UseRightToLeftAlignment()) format |= DT_RIGHT;
    if (UseRightToLeftReading()) format |= DT_RTLREADING;
    DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &textRect, format);
}

// Each panel inside its bevel, drawn by the bar's panel drawing with the
// drawing kept to the panel.
void TStatusBarProWin32::PaintPanels(HDC dc) {
    const int count = std::min(Panels().Count(), kMaxLaidOutPanels);
    const int bevel = ScaleForDpi(1, Dpi());
    for (int i = 0; i < count; ++i) {
        RECT r{};
        SendMessageW(hwnd_, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        PanelBevel(dc, r, Panels()[i].Bevel(), bevel);
        InflateRect(&r, -bevel, -bevel);
        const TSavedDC panelState(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        const ScopedFont font(dc, Font());
        SetBkColor(dc, Color());
        DrawItem(i, {r.left, r.top, r.right, r.bottom});
    }
}

// ---------------------------------------------------------------- messages

// Presses, clicks and moves go to the bar's events; the context menu opens
// where the mouse is. True when the message is answered (with 0) here.
bool TStatusBarProWin32::HandleMouse(UINT msg, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            MouseDown(x, y);
            if (msg == WM_LBUTTONDOWN) {
                pressed_ = true;
                SetCapture(hwnd_);
            }
            return false;
        case WM_LBUTTONUP: {
            const bool click = pressed_;
            pressed_ = false;
            if (GetCapture() == hwnd_) ReleaseCapture();
            RECT client;
            GetClientRect(hwnd_, &client);
            if (click && x >= 0 && y >= 0 && x < client.right && y < client.bottom) Click();
            return false;
        }
        case WM_LBUTTONDBLCLK:
            MouseDown(x, y);
            DblClick();
            return false;
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
            return false;
        case WM_CONTEXTMENU:
            if (auto* menu = dynamic_cast<TPopupMenuWin32*>(ContextMenu())) {
                const bool rightToLeft = menu->BiDiMode != bdLeftToRight;
                POINT at{x, y};
                // From the keyboard (Shift+F10, the menu key) the message
                // comes without a position: the menu opens at the bar's
                // corner on the side it is aligned to.
                if (lp == -1) {
                    RECT client;
                    GetClientRect(hwnd_, &client);
                    at = {rightToLeft ? client.right : 0, 0};
                    ClientToScreen(hwnd_, &at);
                }
                TrackPopupMenu(menu->Handle(),
                               (rightToLeft ? TPM_RIGHTALIGN : TPM_LEFTALIGN) | TPM_RIGHTBUTTON,
                               at.x, at.y, 0, GetParent(hwnd_), nullptr);
                return true;
            }
            return false;
        default:
            return false;
    }
}

// The tooltip asks for the hint as it shows it.
bool TStatusBarProWin32::HandleTooltipNotify(NMHDR& header) {
    if (header.hwndFrom != tip_ || header.code != TTN_GETDISPINFOW) return false;
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    hintText_ = ShowHint ? Wide(CurrentHint()) : std::wstring();
    info.lpszText = hintText_.data();
    return true;
}

LRESULT TStatusBarProWin32::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
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
            SystemColorsChanged(static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
            RecreateWnd();
            break;
        case WM_NOTIFY:
            if (HandleTooltipNotify(*reinterpret_cast<NMHDR*>(lp))) return 0;
            break;
        case WM_NCDESTROY: {
            HWND hwnd = hwnd_;
            RemoveWindowSubclass(hwnd, SubclassProc(), kSubclassId);
            hwnd_ = nullptr;
            tip_ = nullptr;  // owned by the bar: gone with it
            return DefSubclassProc(hwnd, msg, wp, lp);
        }
        default:
            if (HandleMouse(msg, wp, lp)) return 0;
            break;
    }
    return DefSubclassProc(hwnd_, msg, wp, lp);
}
