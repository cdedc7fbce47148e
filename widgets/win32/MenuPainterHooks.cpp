// The flat-painting hooks: a window procedure in front of the control's own.
#include <algorithm>

#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/GdiDraw.h"
#include "toolkit/win32/Panel.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/MenuPainterWin32.h"

namespace {

// The control's hook, while it has one.
constexpr wchar_t kHookProperty[] = L"NetworkView.FlatHook";
// The procedure the hook's procedure passes messages on to, while that
// procedure is in the control's chain, with a hook or without.
constexpr wchar_t kNextProperty[] = L"NetworkView.FlatHook.Next";

TColor Invert(TColor c) { return RGBColor(255 - RedOf(c), 255 - GreenOf(c), 255 - BlueOf(c)); }

WNDPROC NextProc(HWND hwnd) { return reinterpret_cast<WNDPROC>(GetPropW(hwnd, kNextProperty)); }

bool OnTopOfTheChain(HWND hwnd, WNDPROC proc) {
    return GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(proc);
}

}  // namespace

TControlSubClass::TControlSubClass(TMenuPainterWin32& painter, HWND control, Kind kind)
    : painter_(painter), control_(control), kind_(kind) {}

TControlSubClass::~TControlSubClass() = default;

// The hook's procedure is in a control's chain at most once: a hook that
// finds it there from an earlier hook (see Uninstall) takes its place.
bool TControlSubClass::Install() {
    if (GetPropW(control_, kHookProperty) != nullptr) return false;
    if (kind_ == Kind::Edit || kind_ == Kind::Memo) {
        had3D_ = (GetWindowLongW(control_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
        borderSingle_ = had3D_ || (GetWindowLongW(control_, GWL_STYLE) & WS_BORDER) != 0;
    }
    SetPropW(control_, kHookProperty, this);
    if (NextProc(control_) == nullptr)
        SetPropW(control_, kNextProperty,
                 reinterpret_cast<HANDLE>(SetWindowLongPtrW(control_, GWLP_WNDPROC,
                                                            reinterpret_cast<LONG_PTR>(&Proc))));
    installed_ = true;
    return true;
}

// On top of the chain the hook's procedure leaves it. Below a subclass put
// in front of it later, whose own next procedure it is, it stays and passes
// every message on, so that subclass and the control's own procedure go on
// receiving them.
void TControlSubClass::Uninstall() {
    if (!installed_) return;
    if (IsWindow(control_)) {
        RemovePropW(control_, kHookProperty);
        if (OnTopOfTheChain(control_, &Proc)) {
            SetWindowLongPtrW(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NextProc(control_)));
            RemovePropW(control_, kNextProperty);
        }
        const LONG ex = GetWindowLongW(control_, GWL_EXSTYLE);
        if ((kind_ == Kind::Edit || kind_ == Kind::Memo) && had3D_ && !(ex & WS_EX_CLIENTEDGE)) {
            SetWindowLongW(control_, GWL_EXSTYLE, ex | WS_EX_CLIENTEDGE);
            SetWindowPos(control_, nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    installed_ = false;
}

LRESULT CALLBACK TControlSubClass::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result;
    if (auto* self = static_cast<TControlSubClass*>(GetPropW(hwnd, kHookProperty))) {
        ++self->depth_;
        result = self->Handle(msg, wp, lp);
        // Freed only once no message of the window is being handled any more.
        if (--self->depth_ == 0 && self->released_) self->painter_.Release(self);
    } else {
        const WNDPROC next = NextProc(hwnd);
        result = next ? CallWindowProcW(next, hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) RemovePropW(hwnd, kNextProperty);
    return result;
}

LRESULT TControlSubClass::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    const LRESULT result = CallWindowProcW(NextProc(control_), control_, msg, wp, lp);
    if (released_) return result;
    try {
        if (!painter_.Active() || generation_ != painter_.Generation() || msg == WM_NCDESTROY) {
            // The window is gone, or the painter no longer paints it: hand the
            // window back to its own procedure (and look).
            Uninstall();
            released_ = true;
            return result;
        }
        lastMessage_ = msg;
        React(msg, wp, lp);
    } catch (...) {
        // The flat look of this message is lost; the control's own answer
        // stands, and no exception crosses the system's frames.
    }
    return result;
}

void TControlSubClass::React(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_DESTROY:
            if (!keepHook_) {
                Uninstall();
                released_ = true;
            }
            break;
        case WM_SETFOCUS:
            hot_ = true;
            Paint();
            break;
        case WM_KILLFOCUS:
            hot_ = false;
            Paint();
            break;
        case WM_PAINT:
            keepHook_ = false;
            Paint();
            break;
        case WM_WINDOWPOSCHANGED:
        case EM_GETMODIFY:
        case WM_STYLECHANGED:
        case WM_PARENTNOTIFY:
            keepHook_ = true;
            break;
        case BM_GETCHECK:
        case BM_SETCHECK:
            hot_ = false;
            Paint();
            break;
        case BM_SETSTATE:
        case WM_SETTEXT:
            Paint();
            break;
        case WM_ENABLE:
            if (wp == 0) hot_ = false;
            Paint();
            break;
        default:
            ReactToInput(msg, wp, lp);
            break;
    }
}

void TControlSubClass::ReactToInput(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_KEYDOWN:
            if (wp == VK_SPACE) {
                spacePressed_ = true;
                // Key repeat does not repaint.
                if (!keyDown_) Paint();
                keyDown_ = true;
            }
            break;
        case WM_KEYUP:
            if (wp == VK_SPACE) {
                spacePressed_ = false;
                keyDown_ = false;
                Paint();
            }
            break;
        case WM_LBUTTONDOWN:
            leftPressed_ = true;
            Paint();
            break;
        case WM_LBUTTONUP:
            leftPressed_ = false;
            Paint();
            break;
        case WM_LBUTTONDBLCLK:
            if (kind_ == Kind::Button || kind_ == Kind::BitBtn)
                SendMessageW(control_, WM_LBUTTONDOWN, wp, lp);
            break;
        case WM_MOUSEMOVE:
            // Windows tells of the mouse leaving only when asked, once per entry.
            if (!tracking_) {
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, control_, 0};
                tracking_ = TrackMouseEvent(&tme) != FALSE;
                MouseEnterOrLeave(true);
            }
            break;
        case WM_MOUSELEAVE:
            tracking_ = false;
            MouseEnterOrLeave(false);
            break;
        default:
            break;
    }
}

void TControlSubClass::MouseEnterOrLeave(bool entered) {
    if (!IsWindowEnabled(control_)) return;
    hot_ = entered;
    Paint();
}

void TControlSubClass::Paint() {
    focused_ = GetFocus() == control_;
    switch (kind_) {
        case Kind::Edit:
        case Kind::Memo:
            PaintEdit();
            break;
        case Kind::Button:
            PaintButton(false);
            break;
        case Kind::BitBtn:
            PaintButton(true);
            break;
        case Kind::Panel:
            if (lastMessage_ == WM_PAINT) PaintPanel();
            break;
    }
}

void TControlSubClass::PaintEdit() {
    const LONG ex = GetWindowLongW(control_, GWL_EXSTYLE);
    if (ex & WS_EX_CLIENTEDGE) {
        keepHook_ = true;
        SetWindowLongW(control_, GWL_EXSTYLE, ex & ~WS_EX_CLIENTEDGE);
        SetWindowPos(control_, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!borderSingle_) return;
    const TWindowDC dc = ClientDC(control_);
    const TMenuColors colors = ColorsOn(painter_.Painter(), dc.get());
    const TColor frame = !hot_ && !focused_ ? Shade(WindowColor(GetParent(control_)), 60)
                                            : LightenOn(dc.get(), colors.SelectBorder, 60);
    RECT r;
    GetClientRect(control_, &r);
    for (int i = 0; i < Scaled(1); ++i) {
        Frame(dc.get(), r, frame);
        InflateRect(&r, -1, -1);
    }
}

int TControlSubClass::Scaled(int value) const { return ScaleForDpi(value, painter_.Painter().Dpi); }

// A rounded face in the state's colours on the parent's colour, and while
// enabled an edge on the side away from the light: along the top and left
// while pressed, else along the bottom and right.
void TControlSubClass::PaintButtonFace(HDC dc, const RECT& rc, const TMenuColors& colors,
                                       bool enabled) {
    const TColor parent = WindowColor(GetParent(control_));
    const TColor face = GetSysColor(COLOR_BTNFACE);
    const bool fromParent = ControlTag(control_) == 1000;
    TColor fill, frameBase;
    if (hot_ || spacePressed_) {
        fill = LightenOn(dc, fromParent ? parent : face, colors.ButtonLevelHigh);
        frameBase = LightenOn(dc, colors.SelectBorder, 60);
    } else {
        fill = fromParent ? LightenOn(dc, parent, colors.ButtonLevelLow) : colors.IconBack;
        frameBase = focused_ ? LightenOn(dc, colors.SelectBorder, 60) : GetSysColor(COLOR_BTNSHADOW);
    }
    Fill(dc, rc, parent);
    const int corner = Scaled(4);
    Shape(dc, fill, LightenOn(dc, frameBase, 30),
          [&] { RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, corner, corner); });
    if (!enabled) return;
    const TColor edge = Shade(frameBase, 50);
    // The edge is as many pixels thick as one pixel is at the scale, each
    // line one further in.
    for (LONG i = 0; i < Scaled(1); ++i) {
        const LONG l = rc.left + i, t = rc.top + i, r = rc.right - i, b = rc.bottom - i;
        if ((leftPressed_ && hot_) || spacePressed_)
            Line(dc, edge, {{l, b - 2}, {l, t + 1}, {l + 1, t}, {r - 1, t}});
        else
            Line(dc, edge, {{r - 1, t + 1}, {r - 1, b - 2}, {r - 2, b - 1}, {l - 1, b - 1}});
    }
}

// A bit button's glyph, the cell of its state, where the layout puts it
// beside a caption of the size text; answers where the caption goes.
TPoint TControlSubClass::PaintGlyph(HDC dc, const TSize& client, const TSize& text,
                                    const std::wstring& caption, const TMenuColors& colors,
                                    bool enabled) {
    TBitBtnStyle style;
    if (const TBitBtnStyle* described = painter_.BitBtnStyleOf(control_)) style = *described;
    HBITMAP glyph = style.Glyph ? style.Glyph
                                : reinterpret_cast<HBITMAP>(
                                      SendMessageW(control_, BM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP bm{};
    TSize cell;
    if (glyph && GetObjectW(glyph, sizeof bm, &bm))
        cell = {bm.bmWidth / std::max(style.NumGlyphs, 1), bm.bmHeight};
    const TGlyphPlacement placed =
        LayoutGlyph(style.Layout, client, cell, text,
                    GlyphSpacing(style.Spacing, platform::win32::Narrow(caption)), style.Margin);
    if (cell.Width > 0 && cell.Height > 0) {
        const int index = GlyphCell(style.NumGlyphs, enabled, leftPressed_) - 1;
        const TOwnedBitmap picture =
            CopyBitmap32(glyph, index * cell.Width, 0, cell.Width, cell.Height);
        TGlyphState state;
        state.Enabled = enabled;
        state.Selected = hot_;
        state.Focused = focused_;
        DrawGlyph(dc, picture.get(), placed.Glyph.X, placed.Glyph.Y + Scaled(1), state,
                  painter_.Painter(), colors);
    }
    return placed.Text;
}

void TControlSubClass::PaintButton(bool withGlyph) {
    RECT rc;
    GetClientRect(control_, &rc);
    const TWindowDC surface = ClientDC(control_);
    HDC dc = surface.get();
    const TMenuColors colors = ColorsOn(painter_.Painter(), dc);
    const bool enabled = IsWindowEnabled(control_) != FALSE;
    PaintButtonFace(dc, rc, colors, enabled);

    // The caption in the button's own font, centred unless a glyph moves it.
    const std::wstring caption = ReadWindowText(control_);
    auto font = reinterpret_cast<HFONT>(SendMessageW(control_, WM_GETFONT, 0, 0));
    const TSelection captionFont(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    const LONG ex = GetWindowLongW(control_, GWL_EXSTYLE);
    const UINT bidi = (ex & (WS_EX_RTLREADING | WS_EX_LAYOUTRTL)) != 0 ? DT_RTLREADING : 0;
    RECT measured{0, 0, 0, 0};
    if (!caption.empty())
        DrawTextW(dc, caption.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE | bidi);
    const TSize text{measured.right - measured.left, measured.bottom - measured.top};
    const TSize client{rc.right - rc.left, rc.bottom - rc.top};
    TPoint at{(client.Width - text.Width) / 2, (client.Height - text.Height) / 2};
    if (withGlyph) at = PaintGlyph(dc, client, text, caption, colors, enabled);
    if (caption.empty()) return;

    TItemText t;
    t.Text = caption;
    t.Align = DT_CENTER | bidi;
    t.Color = enabled ? GetSysColor(COLOR_BTNTEXT) : colors.Disabled;
    t.Default = (GetWindowLongW(control_, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    t.Enabled = enabled;
    t.HighColor = colors.HighColor;
    t.Dpi = painter_.Painter().Dpi;
    DrawItemText(dc, RECT{at.X, at.Y, at.X + text.Width, at.Y + text.Height}, t);
}

void TControlSubClass::PaintPanel() {
    const TPanelStyle* style = TPanelWin32::StyleOf(control_);
    const TColor base = style ? style->Color : WindowColor(control_);
    TColor shadow = Shade(base, 60);
    if (style == nullptr || (style->Outer == TBevel::None && style->Inner == TBevel::None)) return;
    const TWindowDC dc = ClientDC(control_);
    TColor light = LightenOn(dc.get(), base, 60);
    if (painter_.Painter().StrngContrast.Contains(xsccPanel)) {
        shadow = Invert(shadow);
        light = Invert(light);
    }
    RECT r;
    GetClientRect(control_, &r);
    DrawBevel(dc.get(), r, style->Outer, shadow, light, style->BevelWidth);
    InflateRect(&r, -style->BorderWidth, -style->BorderWidth);
    DrawBevel(dc.get(), r, style->Inner, shadow, light, style->BevelWidth);
}
