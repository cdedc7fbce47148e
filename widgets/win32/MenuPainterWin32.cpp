#include "widgets/win32/MenuPainterWin32.h"

#include <algorithm>

#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/GdiDraw.h"
#include "toolkit/win32/Panel.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/WidgetFonts.h"

using platform::win32::Narrow;
using platform::win32::Wide;

namespace {

constexpr wchar_t kTagProperty[] = L"NetworkView.Tag";

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
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

TOwnedBitmap CopyBitmap32(HBITMAP bitmap, int x, int y, int width, int height) {
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
    const TWindowDC screen = ClientDC(nullptr);
    TOwnedBitmap copy(CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    const TMemoryDC from = CreateMemoryDC(screen.get());
    const TMemoryDC to = CreateMemoryDC(screen.get());
    {
        const TSelection fromBitmap(from.get(), bitmap);
        const TSelection toCopy(to.get(), copy.get());
        BitBlt(to.get(), 0, 0, width, height, from.get(), x, y, SRCCOPY);
    }
    return copy;
}

namespace {

// The colours of a 32-bit copy's pixels changed by a rule of the painter's;
// the fourth byte of each stays.
template <typename F>
void ChangePixels(HBITMAP copy, F change) {
    int w = 0, h = 0;
    std::uint32_t* px = Pixels(copy, w, h);
    if (px == nullptr) return;
    const std::size_t n = static_cast<std::size_t>(w) * h;
    std::vector<TColor> colours(n);
    for (std::size_t i = 0; i < n; ++i) colours[i] = PixelToColor(px[i]);
    change(colours);
    for (std::size_t i = 0; i < n; ++i) px[i] = ColorToPixel(colours[i], px[i]);
}

}  // namespace

TColor NearestColor(HDC dc, TColor c) {
    const COLORREF shown = GetNearestColor(dc, c);
    return shown == CLR_INVALID ? c : static_cast<TColor>(shown & 0xFFFFFF);
}

TNearestColor NearestColorOn(HDC dc) {
    return [dc](TColor c) { return NearestColor(dc, c); };
}

TColor LightenOn(HDC dc, TColor c, int p) { return Lighten(c, p, NearestColorOn(dc)); }

TMenuColors ColorsOn(const TMenuPainter& painter, HDC dc) {
    return painter.Colors(ColorDepth(dc), NearestColorOn(dc));
}

void LightenBitmap(HBITMAP copy, int percent, int sourceBitsPerPixel,
                   const TNearestColor& nearest) {
    ChangePixels(copy, [&](std::vector<TColor>& colours) {
        LightenPixels(colours, sourceBitsPerPixel, percent, nearest);
    });
}

void GreyBitmap(HBITMAP copy, int level) {
    ChangePixels(copy, [level](std::vector<TColor>& colours) { GreyPixels(colours, level); });
}

void DrawGlyph(HDC dc, HBITMAP bitmap, int x, int y, const TGlyphState& state,
               const TMenuPainter& painter, const TMenuColors& colors) {
    const TOwnedBitmap owned = CopyBitmap32(bitmap);
    HBITMAP copy = owned.get();
    if (copy == nullptr) return;
    // The copy is lightened as the picture itself would be: by its depth,
    // in the colours it can show.
    BITMAP source{};
    GetObjectW(bitmap, sizeof source, &source);
    const int depth = source.bmBitsPixel * source.bmPlanes;
    const TMemoryDC sourceDC = CreateMemoryDC(dc);
    const TSelection sourceSelected(sourceDC.get(), bitmap);
    // A picture selected elsewhere cannot be asked: its colours are taken as they are.
    const bool asked = GetCurrentObject(sourceDC.get(), OBJ_BITMAP) == bitmap;
    const TNearestColor nearest = asked ? NearestColorOn(sourceDC.get()) : TNearestColor{};
    const bool lifted = state.Selected && state.Enabled && !state.Checked;
    // The lift and the shadow's offset are given at 96 DPI.
    const int lift = ScaleForDpi(1, painter.Dpi), offset = ScaleForDpi(2, painter.Dpi);
    if (lifted && !state.TopItem && !state.Focused) {
        x -= lift;
        y -= lift;
    }
    if (!state.Selected && state.Enabled && !state.Checked && colors.HighColor)
        LightenBitmap(copy, painter.DimLevel, depth, nearest);
    if (!state.Enabled) {
        GreyBitmap(copy, painter.GrayLevel);
        LightenBitmap(copy, 40, depth, nearest);
    }
    if (lifted) {
        const TColor shadow = Shade(colors.SelectFill, 50);
        DrawMasked(dc, copy, x + offset, y + offset, &shadow);
    }
    DrawMasked(dc, copy, x, y, nullptr);
}

void DrawItemText(HDC dc, RECT box, const TItemText& t) {
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_SINGLELINE | DT_NOCLIP | t.Align;
    auto draw = [&](RECT r, TColor c) {
        SetTextColor(dc, c);
        DrawTextW(dc, t.Text.c_str(), -1, &r, format);
    };
    if (t.Default && t.Enabled) {
        const auto moves = EmbossOffsets(t.Dpi);
        const int shades[] = {30, 30, 40, 60};
        for (int i = 0; i < 4; ++i) {
            RECT r = box;
            OffsetRect(&r, moves[i].X, moves[i].Y);
            const TColor under = GetPixel(dc, r.left, r.top) & 0xFFFFFF;
            draw(r, Shade(under, shades[i]));
        }
    }
    draw(box, t.Color);
    if (!t.ShortCut.empty()) {
        const bool rtl = (t.Align & DT_RTLREADING) != 0;
        RECT r = ToRECT(ShortCutBox({box.left, box.top, box.right, box.bottom}, rtl, t.Dpi));
        SetTextColor(dc, t.HighColor ? Shade(t.Color, -40) : t.Color);
        const std::wstring shortcut = t.ShortCut + L" ";
        DrawTextW(dc, shortcut.c_str(), -1, &r,
                  DT_SINGLELINE | DT_NOCLIP | (rtl ? DT_LEFT | DT_RTLREADING : DT_RIGHT));
    }
    SetBkMode(dc, oldMode);
}

// ------------------------------------------------------------------ canvas

void TMenuCanvasWin32::SetFont(const TFontInfo& font) {
    TOwnedFont created = CreateFontOf(font, static_cast<BYTE>(font.Charset));
    // The context's own font comes back before the new one goes in, so that
    // it is the one selected again at the end.
    selection_.reset();
    selection_.emplace(dc_, created.get());
    font_ = std::move(created);
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

namespace {

// A menu item's information as the menu calls take it: the parts mask names,
// and its text, which has to outlive the call.
MENUITEMINFOW ItemInfo(UINT mask, std::wstring& text) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = mask | MIIM_STRING;
    mii.dwTypeData = text.data();
    return mii;
}

}  // namespace

TMenuWin32::TMenuWin32(TMenu& menu, bool cascadeRightToLeft)
    : menu_(menu), cascadeRightToLeft_(cascadeRightToLeft) {
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
        std::wstring text = Wide(item->Caption);
        MENUITEMINFOW mii = ItemInfo(MIIM_ID | MIIM_DATA | MIIM_FTYPE, text);
        mii.fType = MFT_STRING;
        mii.wID = nextId_++;
        mii.dwItemData = reinterpret_cast<ULONG_PTR>(item.get());
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
        std::wstring text = Wide(item->Caption);
        if (!item->ShortCutText.empty()) text += L"\t" + Wide(item->ShortCutText);
        MENUITEMINFOW mii = ItemInfo(MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU, text);
        if (menu_.OwnerDraw && item->OnDrawItem)
            mii.fType = MFT_OWNERDRAW;
        else
            mii.fType = item->IsSeparator() ? MFT_SEPARATOR : MFT_STRING;
        if (item->RadioItem) mii.fType |= MFT_RADIOCHECK;
        if (menu_.RightToLeft && cascadeRightToLeft_) mii.fType |= MFT_RIGHTORDER;
        if (menu_.RightToLeft && item->IsTopItem()) mii.fType |= MFT_RIGHTJUSTIFY;
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
        const TWindowDC dc = ClientDC(owner);
        int width = 0, height = 0;
        {
            TMenuCanvasWin32 canvas(dc.get());
            if (item->OnMeasureItem) {
                item->OnMeasureItem.Handler(*item, canvas, width, height);
            } else {
                const NONCLIENTMETRICSW metrics = NonClientMetrics();
                const LOGFONTW& lf = metrics.lfMenuFont;
                canvas.SetFont({Narrow(lf.lfFaceName), lf.lfHeight, lf.lfCharSet});
                width = canvas.TextWidth(item->Caption) + 8;
                height = item->IsSeparator() ? 4 : canvas.TextHeight(item->Caption) + 4;
            }
        }
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
            const TSavedDC saved(dis->hDC);
            TMenuCanvasWin32 canvas(dis->hDC);
            const RECT& r = dis->rcItem;
            item->OnDrawItem.Handler(*item, canvas, {r.left, r.top, r.right, r.bottom},
                                     (dis->itemState & ODS_SELECTED) != 0);
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
    const NONCLIENTMETRICSW metrics = NonClientMetrics();
    const LOGFONTW& lf = metrics.lfMenuFont;
    TFontInfo font;
    DescribeFont(lf, font);
    font.Charset = lf.lfCharSet;
    return font;
}

namespace {

// The form's child windows at every depth, each after its parent.
std::vector<HWND> ChildWindows(HWND form) {
    std::vector<HWND> children;
    EnumChildWindows(
        form,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

// What a window's class tells of the component it stands for.
void DescribeByClass(HWND hwnd, TComponentInfo& c) {
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    const LONG buttonType = style & BS_TYPEMASK;
    if (IsWindowOfClass(hwnd, L"Edit")) {
        const bool memo = (style & ES_MULTILINE) != 0;
        c.Kind = memo ? TComponentKind::Memo : TComponentKind::Edit;
        c.ClassName = memo ? "TMemo" : "TEdit";
    } else if (IsWindowOfClass(hwnd, L"Button") &&
               (buttonType == BS_PUSHBUTTON || buttonType == BS_DEFPUSHBUTTON)) {
        c.Kind = TComponentKind::Button;
        c.ClassName = SendMessageW(hwnd, BM_GETIMAGE, IMAGE_BITMAP, 0) ? "TBitBtn" : "TButton";
    } else if (TPanelWin32::StyleOf(hwnd)) {
        c.Kind = TComponentKind::Panel;
        c.ClassName = "TPanel";
    } else {
        c.ClassName = Narrow(ClassOf(hwnd));
    }
}

TComponentInfo MenuComponent(TMenu& menu) {
    TComponentInfo c;
    c.Kind = menu.IsMainMenu() ? TComponentKind::MainMenu : TComponentKind::PopupMenu;
    c.ClassName = menu.IsMainMenu() ? "TMainMenu" : "TPopupMenu";
    c.Tag = menu.Tag;
    c.Menu = &menu;
    return c;
}

}  // namespace

TComponentInfo TMenuPainterWin32::ComponentOf(HWND hwnd) const {
    TComponentInfo c;
    c.Handle = reinterpret_cast<std::uintptr_t>(hwnd);
    c.Tag = ControlTag(hwnd);
    auto described = descriptions_.find(hwnd);
    if (described == descriptions_.end()) {
        DescribeByClass(hwnd, c);
    } else {
        c.Kind = described->second.Kind;
        c.ClassName = described->second.ClassName;
    }
    return c;
}

// The form first, owning every other component: its child windows, each
// with the nearest of them above it as its parent, then its menus.
TFormComponents TMenuPainterWin32::Components() {
    TFormComponents form;
    TComponentInfo self;
    self.Kind = TComponentKind::Form;
    self.ClassName = "TForm";
    self.Tag = ControlTag(form_);
    self.Handle = reinterpret_cast<std::uintptr_t>(form_);
    form.Items.push_back(self);
    auto own = [&form](TComponentInfo c) {
        form.Items.front().Owned.push_back(static_cast<int>(form.Items.size()));
        form.Items.push_back(std::move(c));
    };

    std::map<HWND, int> index{{form_, 0}};
    for (HWND hwnd : ChildWindows(form_)) {
        TComponentInfo c = ComponentOf(hwnd);
        auto parent = index.find(GetParent(hwnd));
        c.Parent = parent == index.end() ? -1 : parent->second;
        index[hwnd] = static_cast<int>(form.Items.size());
        own(std::move(c));
    }
    for (TMenuWin32* menu : menus_) own(MenuComponent(menu->Model()));
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

// A measure of the menu's drawing, given at 96 DPI, at the painter's scale.
int Px(const TMenuPainter& p, int value) { return ScaleForDpi(value, p.Dpi); }

void Gradient(HDC dc, const RECT& r, const TMenuPainter& p, TColor iconBack, bool rtl) {
    const auto levels = GradientLevels(r.right - r.left, p.IconWidth, rtl, p.Dpi);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const int x = rtl ? r.right - 1 - static_cast<int>(i) : r.left + static_cast<int>(i);
        Fill(dc, RECT{x, r.top, x + 1, r.bottom}, LightenOn(dc, iconBack, levels[i]));
    }
}

void TopItemTab(HDC dc, const RECT& r, const TMenuPainter& p, const TMenuColors& c, bool rtl) {
    Fill(dc, r, c.SelectFill);
    const auto s = [&p](int value) { return Px(p, value); };
    if (c.HighColor && !rtl) {
        const int edge = r.right - s(8), shadow = r.right - s(7);
        Line(dc, c.SelectBorder,
             {{r.left, r.bottom - 1}, {r.left, r.top}, {edge, r.top}, {edge, r.bottom}});
        const TColor m = c.MenuBar;
        Fill(dc, {shadow, r.top, r.right, r.bottom}, Shade(m, 10));
        Fill(dc, {shadow, r.top + s(3), r.right - s(2), r.bottom}, Shade(m, 30));
        Fill(dc, {shadow, r.top + s(5), r.right - s(3), r.bottom}, Shade(m, 60));
        Fill(dc, {shadow, r.top + s(6), r.right - s(5), r.bottom}, Shade(m, 100));
        // The top corner of the shadow, rounded off.
        Line(dc, m, {{shadow, r.top}, {r.right, r.top}});
        Line(dc, Shade(m, 10), {{shadow, r.top + s(1)}, {r.right - s(3), r.top + s(1)}});
        Line(dc, Shade(m, 30), {{shadow, r.top + s(2)}, {r.right - s(4), r.top + s(2)}});
        Line(dc, Shade(m, 40), {{shadow, r.top + s(3)}, {r.right - s(5), r.top + s(3)}});
        return;
    }
    // At the trailing edge: the right one left to right, the left one right
    // to left.
    const TColor bar = ColorToRGB(p.MenuBarColor(), p.Owner());
    const TTabOutline tab = TopItemTabOutline({r.left, r.top, r.right, r.bottom}, rtl, p.Dpi);
    Frame(dc, ToRECT(tab.Frame), c.SelectBorder);
    Fill(dc, ToRECT(tab.Shadow), Shade(bar, 70));
    Fill(dc, ToRECT(tab.Cap), bar);
}

void FlatBorder(HWND popup, const TMenuPainter& p, const TMenuColors& c, bool rtl) {
    // The menu window's own surface, its border included.
    RECT w;
    GetWindowRect(popup, &w);
    OffsetRect(&w, -w.left, -w.top);
    const TWindowDC surface = WholeWindowDC(popup);
    HDC dc = surface.get();
    const auto s = [&p](int value) { return Px(p, value); };
    const int one = s(1), two = s(2), three = s(3);
    w.right -= two;
    w.bottom -= two;
    Frame(dc, w, c.MenuBorder);
    if (!rtl) {
        const RECT top{w.left + one, w.top + one, w.right - one, w.top + three};
        if (p.Gradient)
            Gradient(dc, top, p, c.IconBack, false);
        else {
            Frame(dc, top, c.Face);
            Line(dc, c.IconBack,
                 {{w.left + one, w.top + two}, {w.left + three + p.IconWidth, w.top + two}});
        }
        Frame(dc, {w.left + one, w.top + two, w.left + three, w.bottom - one}, c.IconBack);
    } else {
        Frame(dc, {w.left + one, w.top + one, w.right - two, w.top + three}, c.Face);
        Line(dc, c.Face, {{w.left + two, w.top + one}, {w.left + two, w.bottom - one}});
        Line(dc, c.IconBack, {{w.right - two, w.top + one}, {w.right - two, w.bottom - one}});
        Line(dc, c.IconBack,
             {{w.right - two, w.top + two}, {w.right - one - p.IconWidth, w.top + two}});
    }
    w.right += two;
    w.bottom += two;
    Fill(dc, {w.left + two, w.bottom - two, w.right, w.bottom}, c.MenuShadow);
    Fill(dc, {w.right - two, w.top + two, w.right, w.bottom}, c.MenuShadow);
    const TColor face = GetSysColor(COLOR_BTNFACE);
    Fill(dc, {w.left, w.bottom - two, w.left + two, w.bottom}, face);
    Fill(dc, {w.right - two, w.top, w.right, w.top + two}, face);
}

// One menu item's drawing: the context, the colours, the item's state and
// where its parts go.
struct TItemDrawing {
    HDC dc;
    const TMenuPainter& p;
    TMenuColors c;
    const TMenuItem& item;
    bool top;
    bool rtl;
    bool selected;
    RECT R;
    HBITMAP icon;
    TSize iconSize;
    TMenuItemLayout l;
};

// An item's picture as a bitmap: its own, or one made from an image list.
struct TIconBitmap {
    TOwnedBitmap Owned;
    HBITMAP Handle = nullptr;
    TSize Size;
};

// The colour the surface's brush paints in.
TColor BrushColor(HDC dc) {
    LOGBRUSH lb{};
    if (GetObjectW(GetCurrentObject(dc, OBJ_BRUSH), sizeof lb, &lb) == sizeof lb &&
        lb.lbStyle == BS_SOLID)
        return lb.lbColor & 0xFFFFFF;
    return GetDCBrushColor(dc) & 0xFFFFFF;
}

// An image of a list drawn transparently on a bitmap of the list's size
// (of the screen's depth) in the background colour, which the drawing of
// the picture then takes as its transparent colour.
TOwnedBitmap ListImage(HDC dc, const TImageListWin32& list, int index, TColor background) {
    const int w = list.Width(), h = list.Height();
    TOwnedBitmap bitmap(CreateCompatibleBitmap(dc, w, h));
    const TMemoryDC memory = CreateMemoryDC(dc);
    const TSelection selected(memory.get(), bitmap.get());
    Fill(memory.get(), {0, 0, w, h}, background);
    ImageList_Draw(list.Handle(), index, memory.get(), 0, 0, ILD_TRANSPARENT);
    return bitmap;
}

// The item's picture where ItemPicture finds it: a sub-menu list's image on
// the surface's brush colour, a menu list's on the colour of the surface's
// pixel at (2, 2), else the item's own bitmap.
TIconBitmap ItemIcon(HDC dc, const TMenuItem& item) {
    const TItemPicture picture = ItemPicture(item);
    TIconBitmap icon;
    if (picture.Source == TPictureSource::Bitmap) {
        icon.Handle = static_cast<HBITMAP>(const_cast<void*>(item.Bitmap));
        BITMAP bm{};
        if (!GetObjectW(icon.Handle, sizeof bm, &bm)) return {};
        icon.Size = {bm.bmWidth, bm.bmHeight};
    } else if (const auto* list = dynamic_cast<const TImageListWin32*>(picture.List)) {
        const TColor background = picture.Source == TPictureSource::SubMenuImages
                                      ? BrushColor(dc)
                                      : GetPixel(dc, 2, 2) & 0xFFFFFF;
        icon.Owned = ListImage(dc, *list, item.ImageIndex, background);
        icon.Handle = icon.Owned.get();
        icon.Size = picture.Size;
    }
    return icon;
}

void DrawItemBackground(const TItemDrawing& d, HWND form) {
    if (d.top) {
        RECT fill = d.R;
        const TMenuItem* parent = d.item.Parent();
        if (d.p.DrawMenuBar && parent && !parent->Items().empty()) {
            const bool last = parent->Items().back().get() == &d.item;
            RECT client;
            GetClientRect(form, &client);
            if (!d.rtl && last) fill.right = client.right + Px(d.p, 5);
            if (d.rtl && !last) fill.right += Px(d.p, 7);
            if (d.rtl && last) fill.left = Px(d.p, 3);
        }
        Fill(d.dc, fill, d.c.MenuBar);
    } else if (d.p.Gradient && d.c.HighColor) {
        RECT g = d.R;
        g.right += Px(d.p, 2);
        Gradient(d.dc, g, d.p, d.c.IconBack, d.rtl);
    } else {
        Fill(d.dc, d.R, d.c.Face);
        Fill(d.dc, ToRECT(d.l.IconColumn), d.c.IconBack);
    }
}

void DrawItemSelection(const TItemDrawing& d) {
    if (d.top) {
        TopItemTab(d.dc, d.R, d.p, d.c, d.rtl);
        return;
    }
    RECT s = d.R;
    const int one = Px(d.p, 1);
    s.top += one;
    s.bottom -= one;
    if (d.p.FlatMenu) s.right -= one;
    Fill(d.dc, s, d.c.SelectFill);
    Frame(d.dc, s, d.c.SelectBorder);
}

void DrawTick(HDC dc, const RECT& box, TColor tick, const TMenuPainter& p) {
    const int L = box.left, T = box.top, R = box.right, B = box.bottom;
    const auto s = [&p](int value) { return Px(p, value); };
    Line(dc, tick, {{L + s(1), T + s(5)}, {L + s(4), B - s(2)}});
    Line(dc, tick, {{L + s(2), T + s(5)}, {L + s(4), B - s(3)}});
    Line(dc, tick, {{L + s(2), T + s(4)}, {L + s(5), B - s(3)}});
    Line(dc, tick, {{L + s(4), B - s(3)}, {R + s(2), T - s(1)}});
    Line(dc, tick, {{L + s(4), B - s(2)}, {R - s(2), T + s(3)}});
}

// A radio item's round mark (rounded behind an icon), a check box with a
// tick for a check item without an icon, a plain box behind an icon.
void DrawCheckMark(const TItemDrawing& d) {
    const TMenuItem& item = d.item;
    const RECT box = ToRECT(d.l.IconBox);
    const TColor fill = d.selected ? d.c.CheckedSelectedFill : d.c.CheckedFill;
    const bool tickBox = !item.RadioItem && !d.icon;
    TColor frame = tickBox ? d.c.CheckedBorder : d.c.SelectBorder;
    if (!item.Enabled) frame = d.c.Disabled;
    Shape(d.dc, fill, frame, [&] {
        if (item.RadioItem && d.icon)
            RoundRect(d.dc, box.left, box.top, box.right, box.bottom, Px(d.p, 6), Px(d.p, 6));
        else if (item.RadioItem)
            Ellipse(d.dc, box.left, box.top, box.right, box.bottom);
        else
            Rectangle(d.dc, box.left, box.top, box.right, box.bottom);
    });
    if (tickBox) DrawTick(d.dc, box, item.Enabled ? clBlack : d.c.Disabled, d.p);
}

void DrawItemIcon(const TItemDrawing& d) {
    const TMenuItemLayout& l = d.l;
    const int width = d.iconSize.Width;
    const auto s = [&d](int value) { return Px(d.p, value); };
    int x, y = l.IconBox.Top + s(d.top ? 1 : 3);
    if (d.top)
        x = d.rtl ? l.IconBox.Right - s(5) - width : l.IconBox.Left + s(1);
    else if (width < d.p.IconWidth)
        x = l.IconColumn.Left + (d.p.IconWidth - width) / 2;
    else
        x = d.rtl ? l.IconBox.Right - s(2) - width : l.IconBox.Left + s(2);
    TGlyphState state;
    state.Enabled = d.item.Enabled;
    state.Selected = d.selected;
    state.Checked = d.item.Checked;
    state.TopItem = d.top;
    DrawGlyph(d.dc, d.icon, x, y, state, d.p, d.c);
}

void DrawSeparator(const TItemDrawing& d) {
    const TSeparatorLine line = SeparatorLine(d.l.TextBox, d.rtl, d.p.Dpi);
    Line(d.dc, d.c.Separator, {{line.From.X, line.From.Y}, {line.To.X, line.To.Y}});
}

// The caption, centred on the height of a "W" in the item's font.
void DrawItemCaption(const TItemDrawing& d, TColor fontColor) {
    const TMenuItem& item = d.item;
    TColor textColor = fontColor;
    if (d.selected) textColor = d.c.SelectFont;
    if (!item.Enabled) textColor = d.c.Disabled;
    if (d.selected && d.top && d.p.UseSystemColors())
        textColor = IsDark(d.c.IconBack) ? LightenOn(d.dc, d.c.IconBack, 90) : fontColor;
    SIZE w{};
    GetTextExtentPoint32W(d.dc, L"W", 1, &w);
    const RECT box = ToRECT(CaptionBox(d.l.TextBox, w.cy, d.rtl, d.p.Dpi));
    TItemText t;
    t.Text = Wide(" " + item.Caption);
    t.ShortCut = Wide(item.ShortCutText);
    t.Align = d.rtl ? DT_RIGHT | DT_RTLREADING : DT_LEFT;
    t.Color = textColor;
    t.Default = item.Default;
    t.Enabled = item.Enabled;
    t.HighColor = d.c.HighColor;
    t.Dpi = d.p.Dpi;
    DrawItemText(d.dc, box, t);
}

}  // namespace

void TMenuPainterWin32::DrawMenuItem(TMenuPainter& p, TMenuItem& item, TMenuCanvas& canvas,
                                     const TRect& rect, bool selected) {
    auto& surface = static_cast<TMenuCanvasWin32&>(canvas);
    HDC dc = surface.Handle();
    surface.SetFont(p.Font());
    const bool top = item.IsTopItem();
    const bool rtl = item.Menu() && item.Menu()->RightToLeft;
    TRect r = rect;
    ++r.Bottom;
    const TIconBitmap icon = ItemIcon(dc, item);
    const TMenuItemLayout layout =
        LayoutMenuItem(r, p.IconWidth, icon.Handle ? &icon.Size : nullptr, top, rtl, p.Dpi);
    const TItemDrawing d{dc,       p,         ColorsOn(p, dc), item,      top, rtl,
                         selected, ToRECT(r), icon.Handle,     icon.Size, layout};

    DrawItemBackground(d, form_);
    if (selected && p.DrawSelect) DrawItemSelection(d);
    if (item.Checked) DrawCheckMark(d);
    if (d.icon) DrawItemIcon(d);
    if (item.IsSeparator())
        DrawSeparator(d);
    else
        DrawItemCaption(d, ColorToRGB(p.Font().Color, *this));
    if (p.FlatMenu && !top) {
        HWND window = WindowFromDC(dc);
        if (window && window != form_) FlatBorder(window, p, d.c, rtl);
    }
}
