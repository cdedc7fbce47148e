#include "widgets/win32/MenuPainterWin32.h"

#include <algorithm>

#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/Panel.h"
#include "toolkit/win32/GdiDraw.h"

using platform::win32::Narrow;
using platform::win32::Wide;

namespace {

constexpr wchar_t kTagProperty[] = L"NetworkView.Tag";

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

HFONT CreateFontFrom(const TFontInfo& f) {
    return CreateFontW(f.Height, 0, 0, 0, f.Bold ? FW_BOLD : FW_NORMAL, f.Italic, f.Underline,
                       f.StrikeOut, static_cast<DWORD>(f.Charset), OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       Wide(f.Name).c_str());
}

RECT ToRECT(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

void Frame(HDC dc, const RECT& r, TColor c) {
    HBRUSH brush = CreateSolidBrush(c);
    FrameRect(dc, &r, brush);
    DeleteObject(brush);
}

// A shape filled in one colour and outlined in another.
template <typename F>
void Shape(HDC dc, TColor fill, TColor outline, F draw) {
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, outline);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    draw();
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

int ColorDepth(HDC dc) { return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES); }

// The pixels of a 32-bit top-down DIB section.
std::uint32_t* Pixels(HBITMAP bitmap, int& width, int& height) {
    DIBSECTION ds{};
    if (GetObjectW(bitmap, sizeof ds, &ds) != sizeof ds || ds.dsBm.bmBitsPixel != 32) return nullptr;
    GdiFlush();
    width = ds.dsBm.bmWidth;
    height = ds.dsBm.bmHeight;
    return static_cast<std::uint32_t*>(ds.dsBm.bmBits);
}

// DIB pixels are 0x00RRGGBB; colours 0x00BBGGRR.
TColor PixelToColor(std::uint32_t p) { return RGBColor((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }
std::uint32_t ColorToPixel(TColor c, std::uint32_t alpha) {
    return (alpha & 0xFF000000u) | (static_cast<std::uint32_t>(RedOf(c)) << 16) |
           (static_cast<std::uint32_t>(GreenOf(c)) << 8) | static_cast<std::uint32_t>(BlueOf(c));
}

// Sets every pixel that is not the transparent one (the bottom-left pixel)
// on the target, in its own colour or in one colour for a shadow.
void DrawMasked(HDC dc, HBITMAP bitmap, int x, int y, const TColor* oneColor) {
    int w = 0, h = 0;
    const std::uint32_t* px = Pixels(bitmap, w, h);
    if (px == nullptr || w <= 0 || h <= 0) return;
    const std::uint32_t transparent = px[static_cast<std::size_t>(h - 1) * w] & 0xFFFFFF;
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const std::uint32_t p = px[static_cast<std::size_t>(row) * w + col] & 0xFFFFFF;
            if (p != transparent) SetPixelV(dc, x + col, y + row, oneColor ? *oneColor : PixelToColor(p));
        }
}

}  // namespace

void SetControlTag(HWND hwnd, int tag) {
    SetPropW(hwnd, kTagProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(tag)));
}

int ControlTag(HWND hwnd) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(hwnd, kTagProperty)));
}

// ------------------------------------------------------------------ bitmaps

HBITMAP CopyBitmap32(HBITMAP bitmap, int x, int y, int width, int height) {
    BITMAP bm{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof bm, &bm) == 0) return nullptr;
    if (width < 0) width = bm.bmWidth;
    if (height < 0) height = bm.bmHeight;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP copy = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HGDIOBJ oldFrom = SelectObject(from, bitmap);
    HGDIOBJ oldTo = SelectObject(to, copy);
    BitBlt(to, 0, 0, width, height, from, x, y, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    return copy;
}

void LightenBitmap(HBITMAP bitmap, int percent) {
    percent = std::clamp(percent, 0, 100);
    int w = 0, h = 0;
    std::uint32_t* px = Pixels(bitmap, w, h);
    if (px == nullptr) return;
    for (std::size_t i = 0, n = static_cast<std::size_t>(w) * h; i < n; ++i) {
        std::uint32_t p = px[i] & 0xFF000000u;
        for (int shift : {0, 8, 16}) {
            const std::uint32_t part = (px[i] >> shift) & 0xFF;
            p |= ((part * static_cast<std::uint32_t>(100 - percent) + 255u * percent) / 100) << shift;
        }
        px[i] = p;
    }
}

void GreyBitmap(HBITMAP bitmap, int level) {
    int w = 0, h = 0;
    std::uint32_t* px = Pixels(bitmap, w, h);
    if (px == nullptr) return;
    std::uint32_t last = 0, lastResult = 0;
    bool any = false;
    for (std::size_t i = 0, n = static_cast<std::size_t>(w) * h; i < n; ++i) {
        if (!any || px[i] != last) {
            last = px[i];
            lastResult = ColorToPixel(Grey(PixelToColor(px[i]), level), px[i]);
            any = true;
        }
        px[i] = lastResult;
    }
}

void DrawGlyph(HDC dc, HBITMAP bitmap, int x, int y, const TGlyphState& state,
               const TMenuPainter& painter, const TMenuColors& colors) {
    HBITMAP copy = CopyBitmap32(bitmap);
    if (copy == nullptr) return;
    const bool lifted = state.Selected && state.Enabled && !state.Checked;
    if (lifted && !state.TopItem && !state.Focused) {
        --x;
        --y;
    }
    if (!state.Selected && state.Enabled && !state.Checked && colors.HighColor)
        LightenBitmap(copy, painter.DimLevel);
    if (!state.Enabled) {
        GreyBitmap(copy, painter.GrayLevel);
        LightenBitmap(copy, 40);
    }
    if (lifted) {
        const TColor shadow = Shade(colors.SelectFill, 50);
        DrawMasked(dc, copy, x + 2, y + 2, &shadow);
    }
    DrawMasked(dc, copy, x, y, nullptr);
    DeleteObject(copy);
}

void DrawItemText(HDC dc, RECT box, const TItemText& t) {
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_SINGLELINE | DT_NOCLIP | t.Align;
    auto draw = [&](RECT r, TColor c) {
        SetTextColor(dc, c);
        DrawTextW(dc, t.Text.c_str(), -1, &r, format);
    };
    if (t.Default && t.Enabled) {
        const POINT moves[] = {{1, 0}, {1, 2}, {0, 1}, {1, 1}};
        const int shades[] = {30, 30, 40, 60};
        for (int i = 0; i < 4; ++i) {
            RECT r = box;
            OffsetRect(&r, moves[i].x, moves[i].y);
            const TColor under = GetPixel(dc, r.left, r.top) & 0xFFFFFF;
            draw(r, Shade(under, shades[i]));
        }
    }
    draw(box, t.Color);
    if (!t.ShortCut.empty()) {
        RECT r = box;
        const bool rtl = (t.Align & DT_RTLREADING) != 0;
        if (rtl)
            r.left += 10;
        else
            r.right -= 10;
        SetTextColor(dc, t.HighColor ? Shade(t.Color, -40) : t.Color);
        const std::wstring shortcut = t.ShortCut + L" ";
        DrawTextW(dc, shortcut.c_str(), -1, &r,
                  DT_SINGLELINE | DT_NOCLIP | (rtl ? DT_LEFT | DT_RTLREADING : DT_RIGHT));
    }
    SetBkMode(dc, oldMode);
}

// ------------------------------------------------------------------ canvas

TMenuCanvasWin32::~TMenuCanvasWin32() {
    if (old_) SelectObject(dc_, old_);
    if (font_handle_) DeleteObject(font_handle_);
}

void TMenuCanvasWin32::SetFont(const TFontInfo& font) {
    HFONT created = CreateFontFrom(font);
    HGDIOBJ previous = SelectObject(dc_, created);
    if (old_ == nullptr) old_ = previous;
    if (font_handle_) DeleteObject(font_handle_);
    font_handle_ = created;
    font_ = font;
}

int TMenuCanvasWin32::TextWidth(const std::string& text) {
    const std::wstring w = Wide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &size);
    return size.cx;
}

int TMenuCanvasWin32::TextHeight(const std::string&) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_, &tm);
    return tm.tmHeight;
}

// ------------------------------------------------------------------ menus

TMenuWin32::TMenuWin32(TMenu& menu) : menu_(menu) {
    handle_ = menu.IsMainMenu() ? CreateMenu() : CreatePopupMenu();
    Build(handle_, menu.Items);
    Sync();
}

TMenuWin32::~TMenuWin32() {
    if (window_ && IsWindow(window_) && GetMenu(window_) == handle_) SetMenu(window_, nullptr);
    // A menu bar goes with its window.
    if (IsMenu(handle_)) DestroyMenu(handle_);
}

void TMenuWin32::AttachTo(HWND window) {
    window_ = window;
    SetMenu(window, handle_);
}

void TMenuWin32::Build(HMENU target, TMenuItem& parent) {
    UINT position = 0;
    for (auto& item : parent.Items()) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_ID | MIIM_DATA | MIIM_FTYPE | MIIM_STRING;
        mii.fType = MFT_STRING;
        mii.wID = nextId_++;
        mii.dwItemData = reinterpret_cast<ULONG_PTR>(item.get());
        std::wstring text = Wide(item->Caption);
        mii.dwTypeData = text.data();
        if (!item->Items().empty()) {
            mii.fMask |= MIIM_SUBMENU;
            mii.hSubMenu = CreatePopupMenu();
            Build(mii.hSubMenu, *item);
        }
        InsertMenuItemW(target, position++, TRUE, &mii);
        items_.insert(item.get());
    }
}

void TMenuWin32::Sync() {
    SyncItems(handle_, menu_.Items);
    if (window_) DrawMenuBar(window_);
}

void TMenuWin32::SyncItems(HMENU target, TMenuItem& parent) {
    UINT position = 0;
    for (auto& item : parent.Items()) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        std::wstring text = Wide(item->Caption);
        if (!item->ShortCutText.empty()) text += L"\t" + Wide(item->ShortCutText);
        mii.dwTypeData = text.data();
        if (menu_.OwnerDraw && item->OnDrawItem)
            mii.fType = MFT_OWNERDRAW;
        else
            mii.fType = item->IsSeparator() ? MFT_SEPARATOR : MFT_STRING;
        if (item->RadioItem) mii.fType |= MFT_RADIOCHECK;
        if (menu_.RightToLeft) mii.fType |= MFT_RIGHTORDER | MFT_RIGHTJUSTIFY;
        mii.fState = (item->Checked ? MFS_CHECKED : 0u) | (item->Enabled ? 0u : MFS_DISABLED) |
                     (item->Default ? MFS_DEFAULT : 0u);
        mii.hSubMenu = GetSubMenu(target, static_cast<int>(position));
        // Measuring needs the picture's size; the model knows only its handle.
        BITMAP bm{};
        if (item->Bitmap && GetObjectW(static_cast<HBITMAP>(const_cast<void*>(item->Bitmap)), sizeof bm, &bm))
            item->BitmapSize = {bm.bmWidth, bm.bmHeight};
        SetMenuItemInfoW(target, position, TRUE, &mii);
        if (mii.hSubMenu) SyncItems(mii.hSubMenu, *item);
        ++position;
    }
}

bool TMenuWin32::HandleOwnerDraw(HWND owner, UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    if (msg == WM_MEASUREITEM) {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        auto* item = reinterpret_cast<TMenuItem*>(mis->itemData);
        if (mis->CtlType != ODT_MENU || items_.count(item) == 0) return false;
        HDC dc = GetDC(owner);
        int width = 0, height = 0;
        {
            TMenuCanvasWin32 canvas(dc);
            if (item->OnMeasureItem) {
                item->OnMeasureItem.Handler(*item, canvas, width, height);
            } else {
                NONCLIENTMETRICSW ncm{};
                ncm.cbSize = sizeof ncm;
                SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
                canvas.SetFont({Narrow(ncm.lfMenuFont.lfFaceName), ncm.lfMenuFont.lfHeight,
                                ncm.lfMenuFont.lfCharSet});
                width = canvas.TextWidth(item->Caption) + 8;
                height = item->IsSeparator() ? 4 : canvas.TextHeight(item->Caption) + 4;
            }
        }
        ReleaseDC(owner, dc);
        mis->itemWidth = static_cast<UINT>(std::max(width, 0));
        mis->itemHeight = static_cast<UINT>(std::max(height, 0));
        result = TRUE;
        return true;
    }
    if (msg == WM_DRAWITEM) {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        auto* item = reinterpret_cast<TMenuItem*>(dis->itemData);
        if (dis->CtlType != ODT_MENU || items_.count(item) == 0) return false;
        if (item->OnDrawItem) {
            const int saved = SaveDC(dis->hDC);
            TMenuCanvasWin32 canvas(dis->hDC);
            const RECT& r = dis->rcItem;
            item->OnDrawItem.Handler(*item, canvas, {r.left, r.top, r.right, r.bottom},
                                     (dis->itemState & ODS_SELECTED) != 0);
            RestoreDC(dis->hDC, saved);
        }
        result = TRUE;
        return true;
    }
    return false;
}

// ------------------------------------------------------------------ the painter's host

TMenuPainterWin32::TMenuPainterWin32(HWND form)
    : form_(form), painter_(std::make_unique<TMenuPainter>(*this)) {}

TMenuPainterWin32::~TMenuPainterWin32() {
    painter_.reset();
    // A hook that outlives its painter would call into freed memory.
    for (auto& hook : hooks_) hook->Uninstall();
    hooks_.clear();
}

void TMenuPainterWin32::Describe(HWND control, TComponentKind kind, std::string className) {
    descriptions_[control] = {kind, std::move(className)};
}

void TMenuPainterWin32::DescribeBitBtn(HWND button, const TBitBtnStyle& style) {
    descriptions_[button] = {TComponentKind::Button, "TBitBtn"};
    bitBtns_[button] = style;
}

const TBitBtnStyle* TMenuPainterWin32::BitBtnStyleOf(HWND button) const {
    auto it = bitBtns_.find(button);
    return it == bitBtns_.end() ? nullptr : &it->second;
}

void TMenuPainterWin32::AddMenu(TMenuWin32& menu) {
    menus_.push_back(&menu);
    TFormComponents form = Components();
    for (const auto& c : form.Items)
        if (c.Menu == &menu.Model()) painter_->ComponentInserted(c);
}

bool TMenuPainterWin32::HandleMenuMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    for (TMenuWin32* menu : menus_)
        if (menu->HandleOwnerDraw(form_, msg, wp, lp, result)) return true;
    return false;
}

TControlSubClass* TMenuPainterWin32::HookOf(HWND hwnd) const {
    for (const auto& hook : hooks_)
        if (hook->Control() == hwnd) return hook.get();
    return nullptr;
}

void TMenuPainterWin32::Release(TControlSubClass* hook) {
    hooks_.erase(std::remove_if(hooks_.begin(), hooks_.end(),
                                [hook](const auto& h) { return h.get() == hook; }),
                 hooks_.end());
}

TColor TMenuPainterWin32::SysColor(int index) const { return GetSysColor(index); }

TFontInfo TMenuPainterWin32::MenuFont() {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    const LOGFONTW& lf = ncm.lfMenuFont;
    TFontInfo font;
    font.Name = Narrow(lf.lfFaceName);
    font.Height = lf.lfHeight;
    font.Charset = lf.lfCharSet;
    font.Bold = lf.lfWeight >= FW_BOLD;
    font.Italic = lf.lfItalic != 0;
    font.Underline = lf.lfUnderline != 0;
    font.StrikeOut = lf.lfStrikeOut != 0;
    return font;
}

TFormComponents TMenuPainterWin32::Components() {
    TFormComponents form;
    TComponentInfo self;
    self.Kind = TComponentKind::Form;
    self.ClassName = "TForm";
    self.Tag = ControlTag(form_);
    self.Handle = reinterpret_cast<std::uintptr_t>(form_);
    form.Items.push_back(self);

    struct Walk {
        TMenuPainterWin32* host;
        TFormComponents* form;
        std::map<HWND, int> index;
    } walk{this, &form, {{form_, 0}}};
    EnumChildWindows(
        form_,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto& w = *reinterpret_cast<Walk*>(lp);
            TComponentInfo c;
            c.Handle = reinterpret_cast<std::uintptr_t>(hwnd);
            c.Tag = ControlTag(hwnd);
            auto parent = w.index.find(GetParent(hwnd));
            c.Parent = parent == w.index.end() ? -1 : parent->second;
            auto described = w.host->descriptions_.find(hwnd);
            if (described != w.host->descriptions_.end()) {
                c.Kind = described->second.Kind;
                c.ClassName = described->second.ClassName;
            } else {
                const std::wstring cls = ClassOf(hwnd);
                const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
                if (lstrcmpiW(cls.c_str(), L"Edit") == 0) {
                    const bool memo = (style & ES_MULTILINE) != 0;
                    c.Kind = memo ? TComponentKind::Memo : TComponentKind::Edit;
                    c.ClassName = memo ? "TMemo" : "TEdit";
                } else if (lstrcmpiW(cls.c_str(), L"Button") == 0 &&
                           ((style & BS_TYPEMASK) == BS_PUSHBUTTON ||
                            (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)) {
                    c.Kind = TComponentKind::Button;
                    c.ClassName = SendMessageW(hwnd, BM_GETIMAGE, IMAGE_BITMAP, 0) ? "TBitBtn" : "TButton";
                } else if (TPanelWin32::StyleOf(hwnd)) {
                    c.Kind = TComponentKind::Panel;
                    c.ClassName = "TPanel";
                } else {
                    c.ClassName = Narrow(cls);
                }
            }
            w.index[hwnd] = static_cast<int>(w.form->Items.size());
            w.form->Items.front().Owned.push_back(static_cast<int>(w.form->Items.size()));
            w.form->Items.push_back(std::move(c));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));

    for (TMenuWin32* menu : menus_) {
        TComponentInfo c;
        c.Kind = menu->Model().IsMainMenu() ? TComponentKind::MainMenu : TComponentKind::PopupMenu;
        c.ClassName = menu->Model().IsMainMenu() ? "TMainMenu" : "TPopupMenu";
        c.Tag = menu->Model().Tag;
        c.Menu = &menu->Model();
        form.Items.front().Owned.push_back(static_cast<int>(form.Items.size()));
        form.Items.push_back(std::move(c));
    }
    return form;
}

void TMenuPainterWin32::ApplyStarted(bool enable) {
    if (enable) ++generation_;
}

void TMenuPainterWin32::HookControl(const TComponentInfo& control) {
    HWND hwnd = reinterpret_cast<HWND>(control.Handle);
    if (TControlSubClass* hooked = HookOf(hwnd)) {
        hooked->Chosen(generation_);
        return;
    }
    TControlSubClass::Kind kind;
    switch (control.Kind) {
        case TComponentKind::Edit: kind = TControlSubClass::Kind::Edit; break;
        case TComponentKind::Memo: kind = TControlSubClass::Kind::Memo; break;
        case TComponentKind::Panel: kind = TControlSubClass::Kind::Panel; break;
        default:
            kind = control.ClassName == "TBitBtn" ? TControlSubClass::Kind::BitBtn
                                                  : TControlSubClass::Kind::Button;
            break;
    }
    auto hook = std::make_unique<TControlSubClass>(*this, hwnd, kind);
    hook->Chosen(generation_);
    if (hook->Install()) hooks_.push_back(std::move(hook));
}

void TMenuPainterWin32::InvalidateControl(const TComponentInfo& control) {
    InvalidateRect(reinterpret_cast<HWND>(control.Handle), nullptr, TRUE);
}

void TMenuPainterWin32::MenuChanged(TMenu& menu) {
    for (TMenuWin32* m : menus_)
        if (&m->Model() == &menu) m->Sync();
}

void TMenuPainterWin32::RedrawMenuBar() {
    if (GetMenu(form_)) DrawMenuBar(form_);
}

// ------------------------------------------------------------------ drawing a menu item

namespace {

bool IsDark(TColor c) { return (RedOf(c) + BlueOf(c)) / 2 < 151 && GreenOf(c) < 201; }

void Gradient(HDC dc, const RECT& r, TColor iconBack, int iconWidth, bool rtl) {
    const auto levels = GradientLevels(r.right - r.left, iconWidth);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const int x = rtl ? r.right - 1 - static_cast<int>(i) : r.left + static_cast<int>(i);
        Fill(dc, RECT{x, r.top, x + 1, r.bottom}, Lighten(iconBack, levels[i]));
    }
}

void TopItemTab(HDC dc, const RECT& r, const TMenuPainter& p, const TMenuColors& c, bool rtl) {
    Fill(dc, r, c.SelectFill);
    if (c.HighColor && !rtl) {
        Line(dc, c.SelectBorder, {{r.left, r.bottom - 1}, {r.left, r.top}, {r.right - 8, r.top},
                                  {r.right - 8, r.bottom}});
        const TColor m = c.MenuBar;
        Fill(dc, {r.right - 7, r.top, r.right, r.bottom}, Shade(m, 10));
        Fill(dc, {r.right - 7, r.top + 3, r.right - 2, r.bottom}, Shade(m, 30));
        Fill(dc, {r.right - 7, r.top + 5, r.right - 3, r.bottom}, Shade(m, 60));
        Fill(dc, {r.right - 7, r.top + 6, r.right - 5, r.bottom}, Shade(m, 100));
        // The top corner of the shadow, rounded off.
        Line(dc, m, {{r.right - 7, r.top}, {r.right, r.top}});
        Line(dc, Shade(m, 10), {{r.right - 7, r.top + 1}, {r.right - 3, r.top + 1}});
        Line(dc, Shade(m, 30), {{r.right - 7, r.top + 2}, {r.right - 4, r.top + 2}});
        Line(dc, Shade(m, 40), {{r.right - 7, r.top + 3}, {r.right - 5, r.top + 3}});
        return;
    }
    const TColor bar = ColorToRGB(p.MenuBarColor(), p.Owner());
    RECT frame = r;
    frame.right -= 3;
    Frame(dc, frame, c.SelectBorder);
    Fill(dc, {r.right - 3, r.top, r.right - 1, r.bottom}, Shade(bar, 70));
    Fill(dc, {r.right - 3, r.top, r.right - 1, r.top + 2}, bar);
}

void FlatBorder(HWND popup, const TMenuPainter& p, const TMenuColors& c, bool rtl) {
    // The menu window's own surface, its border included.
    RECT w;
    GetWindowRect(popup, &w);
    OffsetRect(&w, -w.left, -w.top);
    HDC dc = GetWindowDC(popup);
    w.right -= 2;
    w.bottom -= 2;
    Frame(dc, w, c.MenuBorder);
    if (!rtl) {
        const RECT top{w.left + 1, w.top + 1, w.right - 1, w.top + 3};
        if (p.Gradient)
            Gradient(dc, top, c.IconBack, p.IconWidth, false);
        else {
            Frame(dc, top, c.Face);
            Line(dc, c.IconBack, {{w.left + 1, w.top + 2}, {w.left + 3 + p.IconWidth, w.top + 2}});
        }
        Frame(dc, {w.left + 1, w.top + 2, w.left + 3, w.bottom - 1}, c.IconBack);
    } else {
        Frame(dc, {w.left + 1, w.top + 1, w.right - 2, w.top + 3}, c.Face);
        Line(dc, c.Face, {{w.left + 2, w.top + 1}, {w.left + 2, w.bottom - 1}});
        Line(dc, c.IconBack, {{w.right - 2, w.top + 1}, {w.right - 2, w.bottom - 1}});
        Line(dc, c.IconBack, {{w.right - 2, w.top + 2}, {w.right - 1 - p.IconWidth, w.top + 2}});
    }
    w.right += 2;
    w.bottom += 2;
    Fill(dc, {w.left + 2, w.bottom - 2, w.right, w.bottom}, c.MenuShadow);
    Fill(dc, {w.right - 2, w.top + 2, w.right, w.bottom}, c.MenuShadow);
    const TColor face = GetSysColor(COLOR_BTNFACE);
    Fill(dc, {w.left, w.bottom - 2, w.left + 2, w.bottom}, face);
    Fill(dc, {w.right - 2, w.top, w.right, w.top + 2}, face);
    ReleaseDC(popup, dc);
}

}  // namespace

void TMenuPainterWin32::DrawMenuItem(TMenuPainter& p, TMenuItem& item, TMenuCanvas& canvas,
                                     const TRect& rect, bool selected) {
    auto& surface = static_cast<TMenuCanvasWin32&>(canvas);
    HDC dc = surface.Handle();
    const TMenuColors c = p.Colors(ColorDepth(dc));
    const bool separator = item.IsSeparator();
    const bool top = item.IsTopItem();
    const bool rtl = item.Menu() && item.Menu()->RightToLeft;
    surface.SetFont(p.Font());
    TRect r = rect;
    ++r.Bottom;

    HBITMAP icon = static_cast<HBITMAP>(const_cast<void*>(item.Bitmap));
    TSize iconSize;
    if (icon) {
        BITMAP bm{};
        if (GetObjectW(icon, sizeof bm, &bm)) iconSize = {bm.bmWidth, bm.bmHeight};
        else icon = nullptr;
    }
    const TMenuItemLayout l = LayoutMenuItem(r, p.IconWidth, icon ? &iconSize : nullptr, top, rtl);
    const RECT R = ToRECT(r);

    // Background.
    if (top) {
        RECT fill = R;
        if (p.DrawMenuBar && item.Parent() && !item.Parent()->Items().empty()) {
            const bool last = item.Parent()->Items().back().get() == &item;
            RECT client;
            GetClientRect(form_, &client);
            if (!rtl && last) fill.right = client.right + 5;
            if (rtl && !last) fill.right += 7;
            if (rtl && last) fill.left = 3;
        }
        Fill(dc, fill, c.MenuBar);
    } else if (p.Gradient && c.HighColor) {
        RECT g = R;
        g.right += 2;
        Gradient(dc, g, c.IconBack, p.IconWidth, rtl);
    } else {
        Fill(dc, R, c.Face);
        Fill(dc, ToRECT(l.IconColumn), c.IconBack);
    }

    const TColor fontColor = ColorToRGB(p.Font().Color, *this);
    TColor textColor = item.Enabled ? fontColor : c.Disabled;

    // Selection.
    if (selected && p.DrawSelect) {
        if (top) {
            TopItemTab(dc, R, p, c, rtl);
        } else {
            RECT s = R;
            ++s.top;
            --s.bottom;
            if (p.FlatMenu) --s.right;
            Fill(dc, s, c.SelectFill);
            Frame(dc, s, c.SelectBorder);
        }
    }

    // Check marks.
    if (item.Checked) {
        const RECT box = ToRECT(l.IconBox);
        const TColor fill = selected ? c.CheckedSelectedFill : c.CheckedFill;
        const bool tickBox = !item.RadioItem && !icon;
        TColor frame = tickBox ? c.CheckedBorder : c.SelectBorder;
        if (!item.Enabled) frame = c.Disabled;
        Shape(dc, fill, frame, [&] {
            if (item.RadioItem && icon)
                RoundRect(dc, box.left, box.top, box.right, box.bottom, 6, 6);
            else if (item.RadioItem)
                Ellipse(dc, box.left, box.top, box.right, box.bottom);
            else
                Rectangle(dc, box.left, box.top, box.right, box.bottom);
        });
        if (tickBox) {
            const TColor tick = item.Enabled ? clBlack : c.Disabled;
            const int L = box.left, T = box.top, Rr = box.right, B = box.bottom;
            Line(dc, tick, {{L + 1, T + 5}, {L + 4, B - 2}});
            Line(dc, tick, {{L + 2, T + 5}, {L + 4, B - 3}});
            Line(dc, tick, {{L + 2, T + 4}, {L + 5, B - 3}});
            Line(dc, tick, {{L + 4, B - 3}, {Rr + 2, T - 1}});
            Line(dc, tick, {{L + 4, B - 2}, {Rr - 2, T + 3}});
        }
    }

    // Icon.
    if (icon) {
        int x, y = l.IconBox.Top + (top ? 1 : 3);
        if (top)
            x = rtl ? l.IconBox.Right - 5 - iconSize.Width : l.IconBox.Left + 1;
        else if (iconSize.Width < p.IconWidth)
            x = l.IconColumn.Left + (p.IconWidth - iconSize.Width) / 2;
        else
            x = rtl ? l.IconBox.Right - 2 - iconSize.Width : l.IconBox.Left + 2;
        TGlyphState state;
        state.Enabled = item.Enabled;
        state.Selected = selected;
        state.Checked = item.Checked;
        state.TopItem = top;
        DrawGlyph(dc, icon, x, y, state, p, c);
    }

    if (separator) {
        // Half the height rounded to the nearest, halves to even.
        const int h = l.TextBox.Height();
        const int y = l.TextBox.Top + h / 2 + (h % 2 != 0 && (h / 2) % 2 != 0 ? 1 : 0);
        if (rtl)
            Line(dc, c.Separator, {{l.TextBox.Right - 7, y}, {l.TextBox.Left, y}});
        else
            Line(dc, c.Separator, {{l.TextBox.Left + 7, y}, {l.TextBox.Right, y}});
    } else {
        if (selected) textColor = c.SelectFont;
        if (!item.Enabled) textColor = c.Disabled;
        if (selected && top && p.UseSystemColors())
            textColor = IsDark(c.IconBack) ? Lighten(c.IconBack, 90) : fontColor;
        SIZE w{};
        GetTextExtentPoint32W(dc, L"W", 1, &w);
        RECT box = ToRECT(l.TextBox);
        box.top += (box.bottom - box.top - w.cy) / 2;
        box.bottom = box.top + w.cy;
        if (rtl)
            box.right -= 3;
        else
            box.left += 3;
        TItemText t;
        t.Text = Wide(" " + item.Caption);
        t.ShortCut = Wide(item.ShortCutText);
        t.Align = rtl ? DT_RIGHT | DT_RTLREADING : DT_LEFT;
        t.Color = textColor;
        t.Default = item.Default;
        t.Enabled = item.Enabled;
        t.HighColor = c.HighColor;
        DrawItemText(dc, box, t);
    }

    if (p.FlatMenu && !top) {
        HWND window = WindowFromDC(dc);
        if (window && window != form_) FlatBorder(window, p, c, rtl);
    }
}
