#include "widgets/MenuPainter.h"

#include <algorithm>

// ------------------------------------------------------------------ colours

namespace {

int Clamp(int x) { return std::clamp(x, 0, 255); }

// n / d rounded to the nearest whole number, halves to even.
int RoundHalfEven(int n, int d) {
    int q = n / d;
    const int r = n % d;
    if (2 * r > d || (2 * r == d && q % 2 != 0)) ++q;
    return q;
}

int LightenPart(int x, int p) { return x + RoundHalfEven((255 - x) * p, 100); }

}  // namespace

TColor ColorToRGB(TColor c, const TSystemColors& system) {
    return IsSystemColor(c) ? system.SysColor(static_cast<int>(c & 0xFF)) & 0xFFFFFF : c;
}

TColor Shade(TColor c, int s) {
    return RGBColor(static_cast<std::uint8_t>(Clamp(RedOf(c) - s)),
                    static_cast<std::uint8_t>(Clamp(GreenOf(c) - s + 2)),
                    static_cast<std::uint8_t>(Clamp(BlueOf(c) - s)));
}

TColor Lighten(TColor c, int p) {
    p = std::clamp(p, 0, 100);
    return RGBColor(static_cast<std::uint8_t>(LightenPart(RedOf(c), p)),
                    static_cast<std::uint8_t>(LightenPart(GreenOf(c), p)),
                    static_cast<std::uint8_t>(LightenPart(BlueOf(c), p)));
}

TColor Lighten(TColor c, int p, const TNearestColor& nearest) {
    const TColor lightened = Lighten(c, p);
    return nearest ? nearest(lightened) : lightened;
}

TColor Grey(TColor c, int v) {
    const int g = std::min((RedOf(c) + GreenOf(c) + BlueOf(c)) / 3 + v, 240);
    const auto part = static_cast<std::uint8_t>(Clamp(g));
    return RGBColor(part, part, part);
}

namespace {

// Each pixel through f, a run of equal pixels reusing its first result.
template <typename F>
void MapRuns(std::vector<TColor>& pixels, F f) {
    bool any = false;
    TColor last = 0, lastResult = 0;
    for (TColor& px : pixels) {
        if (!any || px != last) {
            last = px;
            lastResult = f(px);
            any = true;
        }
        px = lastResult;
    }
}

int LightenByDivision(int x, int p) { return (x * (100 - p) + 255 * p) / 100; }

}  // namespace

void LightenPixels(std::vector<TColor>& pixels, int bitsPerPixel, int p,
                   const TNearestColor& nearest) {
    p = std::clamp(p, 0, 100);
    if (bitsPerPixel == 24 || bitsPerPixel == 32) {
        for (TColor& px : pixels)
            px = RGBColor(static_cast<std::uint8_t>(LightenByDivision(RedOf(px), p)),
                          static_cast<std::uint8_t>(LightenByDivision(GreenOf(px), p)),
                          static_cast<std::uint8_t>(LightenByDivision(BlueOf(px), p)));
        return;
    }
    MapRuns(pixels, [&](TColor px) { return Lighten(px, p, nearest); });
}

void GreyPixels(std::vector<TColor>& pixels, int v) {
    MapRuns(pixels, [v](TColor px) { return Grey(px, v); });
}

// ------------------------------------------------------------------ menus

TMenuItem& TMenuItem::Add(std::string caption) {
    auto item = std::make_unique<TMenuItem>();
    item->Caption = std::move(caption);
    item->parent_ = this;
    item->menu_ = menu_;
    items_.push_back(std::move(item));
    return *items_.back();
}

bool TMenuItem::IsTopItem() const {
    return menu_ != nullptr && menu_->IsMainMenu() && parent_ == &menu_->Items;
}

TMenu::TMenu(bool mainMenu, std::string name) : main_(mainMenu), name_(std::move(name)) {
    Items.menu_ = this;
}

// ------------------------------------------------------------------ components

namespace {

bool OneOf(const std::string& name, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return name == n; });
}

}  // namespace

bool MatchesPaintControl(const TComponentInfo& c, const TPaintControls& controls) {
    if (controls.Contains(xcEdit) &&
        (c.Kind == TComponentKind::Edit || c.ClassName == "TBetterSpinEdit"))
        return true;
    if (controls.Contains(xcMaskEdit) && OneOf(c.ClassName, {"TMaskEdit", "TDBEdit"})) return true;
    if (controls.Contains(xcMemo) && c.Kind == TComponentKind::Memo) return true;
    if (controls.Contains(xcButton) &&
        OneOf(c.ClassName, {"TButton", "TUpDown", "TDBNavigator", "TDBLookupComboBox"}))
        return true;
    if (controls.Contains(xcBitBtn) && c.ClassName == "TBitBtn") return true;
    if (controls.Contains(xcPanel) && c.Kind == TComponentKind::Panel) return true;
    return false;
}

bool MatchesPaintContainer(const TComponentInfo& parent, const TPaintContainers& containers) {
    if (containers.Contains(xccForm) && parent.Kind == TComponentKind::Form) return true;
    if (containers.Contains(xccPanel) && parent.Kind == TComponentKind::Panel) return true;
    if (containers.Contains(xccTabSheet) && parent.ClassName == "TdxTabSheet") return true;
    if (containers.Contains(xccFrame) && parent.ClassName == "TDBCtrlPanel") return true;
    return false;
}

TPaintContainers DefaultPaintContainers() { return TPaintContainers::FromBits(0x3FF); }

TPaintControls DefaultPaintControls() {
    TPaintControls all = TPaintControls::FromBits(0x1FFFF);
    all.Exclude(xcSpinEdit);
    return all;
}

// ------------------------------------------------------------------ the painter

TMenuPainter::TMenuPainter(TMenuPainterHost& owner)
    : owner_(owner),
      font_(owner.MenuFont()),
      paintContainers_(DefaultPaintContainers()),
      paintControls_(DefaultPaintControls()) {
    font_.Color = clMenuText;
    SelectFontColor = font_.Color;
}

TMenuPainter::~TMenuPainter() { Apply(false, false); }

void TMenuPainter::Loaded() {
    if (active_) Apply(true, false);
}

void TMenuPainter::SetFont(const TFontInfo& font) {
    font_ = font;
    owner_.RedrawMenuBar();
}

void TMenuPainter::SetMenuBarColor(TColor color) {
    menuBarColor_ = color;
    owner_.RedrawMenuBar();
}

void TMenuPainter::SetUseSystemColors(bool value) {
    useSystemColors_ = value;
    owner_.RedrawMenuBar();
}

void TMenuPainter::SetOverrideOwnerDraw(bool value) {
    overrideOwnerDraw_ = value;
    if (active_) Apply(true, true);
}

void TMenuPainter::SetPaintContainers(TPaintContainers value) {
    if (active_ && !(value == paintContainers_)) {
        active_ = false;
        Apply(false, true);
        active_ = true;
        paintContainers_ = value;
        Apply(true, true);
    }
    paintContainers_ = value;
}

void TMenuPainter::SetPaintControls(TPaintControls value) {
    if (active_ && !(value == paintControls_)) {
        active_ = false;
        Apply(false, true);
        active_ = true;
        paintControls_ = value;
        Apply(true, true);
    }
    paintControls_ = value;
}

void TMenuPainter::SetActive(bool value) {
    if (value == active_) return;
    active_ = value;
    Apply(value, true);
    owner_.RedrawMenuBar();
}

TMenuColors TMenuPainter::Colors(int bitsPerPixel, const TNearestColor& nearest) const {
    auto rgb = [this](TColor c) { return ColorToRGB(c, owner_); };
    // Each lightened colour as the surface shows it.
    auto lighten = [&nearest](TColor c, int p) { return Lighten(c, p, nearest); };
    const TColor face = rgb(clBtnFace);
    const TColor highlight = rgb(clHighlight);
    const TColor shadow = rgb(clBtnShadow);

    TMenuColors c;
    c.HighColor = bitsPerPixel >= 16;
    c.Face = rgb(Color);
    c.IconBack = rgb(IconBackColor);
    if (c.HighColor) {
        const TColor select = rgb(SelectColor);
        if (UseDimColor) {
            c.SelectFill = lighten(select, 68);
            c.CheckedFill = lighten(select, 80);
            c.CheckedSelectedFill = lighten(select, 50);
        } else {
            c.SelectFill = c.CheckedFill = c.CheckedSelectedFill = select;
        }
        c.MenuBorder = Shade(face, 90);
        c.MenuShadow = Shade(face, 76);
    } else {
        c.SelectFill = rgb(SelectColor);
        c.CheckedFill = clWhite;
        c.CheckedSelectedFill = clSilver;
        c.MenuBorder = c.MenuShadow = shadow;
    }
    c.SelectBorder = rgb(SelectBorderColor);
    c.SelectFont = rgb(SelectFontColor);
    c.MenuBar = rgb(menuBarColor_);
    c.Disabled = rgb(DisabledColor);
    c.CheckedBorder = rgb(CheckedColor);
    c.Separator = rgb(SeparatorColor);

    if (useSystemColors_) {
        c.SelectFont = rgb(font_.Color);
        c.SelectBorder = c.CheckedBorder = highlight;
        c.MenuBar = face;
        if (c.HighColor) {
            c.Face = lighten(face, 86);
            c.IconBack = lighten(face, 16);
            c.SelectFill = lighten(highlight, 68);
            c.Disabled = lighten(shadow, 10);
            c.Separator = lighten(shadow, 25);
            c.CheckedFill = lighten(highlight, 80);
            c.CheckedSelectedFill = lighten(highlight, 50);
        } else {
            c.Face = clWhite;
            c.IconBack = face;
            c.SelectFill = clWhite;
            c.Disabled = shadow;
            c.Separator = shadow;
            c.CheckedFill = c.CheckedSelectedFill = clWhite;
        }
    }
    return c;
}

// ---------------------------------------------------------------- apply

void TMenuPainter::Apply(bool enable, bool repaint) {
    owner_.ApplyStarted(enable);
    const TFormComponents form = owner_.Components();
    if (form.Items.empty()) return;
    ApplyComponents(form, form.Items.front().Owned, enable, repaint);
}

void TMenuPainter::ApplyComponents(const TFormComponents& form, const std::vector<int>& which,
                                   bool enable, bool repaint) {
    for (int index : which)
        if (index >= 0 && static_cast<std::size_t>(index) < form.Items.size())
            ApplyComponent(form, form.Items[static_cast<std::size_t>(index)], enable, repaint);
}

void TMenuPainter::ApplyComponent(const TFormComponents& form, const TComponentInfo& c,
                                  bool enable, bool repaint) {
    if (c.Kind == TComponentKind::MainMenu && c.Menu && paintControls_.Contains(xcMainMenu) &&
        c.Menu->Tag != 999) {
        HookMenu(*c.Menu, enable);
        return;
    }
    if (c.Kind == TComponentKind::PopupMenu && c.Menu && paintControls_.Contains(xcPopupMenu)) {
        HookMenu(*c.Menu, enable);
        return;
    }
    if (owner_.Designing()) return;

    const bool hasParent = c.Parent >= 0 && static_cast<std::size_t>(c.Parent) < form.Items.size();
    if (hasParent && MatchesPaintControl(c, paintControls_)) {
        const TComponentInfo& parent = form.Items[static_cast<std::size_t>(c.Parent)];
        if (MatchesPaintContainer(parent, paintContainers_)) {
            if (enable && c.Tag != 999 && parent.Tag != 999) owner_.HookControl(c);
            if (repaint) owner_.InvalidateControl(c);
        }
    }
    if (c.ClassName == "TDBNavigator" || c.Kind == TComponentKind::Form)
        ApplyComponents(form, c.Owned, enable, repaint);
}

void TMenuPainter::ComponentInserted(const TComponentInfo& component) {
    if (!active_ || !AutoDetect) return;
    const TFormComponents form = owner_.Components();
    ApplyComponent(form, component, true, true);
}

void TMenuPainter::HookMenu(TMenu& menu, bool enable) {
    menu.OwnerDraw = enable;
    for (auto& item : menu.Items.Items()) HookItems(*item, enable);
    owner_.MenuChanged(menu);
}

void TMenuPainter::HookItems(TMenuItem& item, bool enable) {
    HookItem(item, enable);
    for (auto& child : item.Items()) HookItems(*child, enable);
}

void TMenuPainter::HookItem(TMenuItem& item, bool enable) {
    if (!enable) {
        if (item.OnDrawItem.Owner == this) item.OnDrawItem = {};
        if (item.OnMeasureItem.Owner == this) item.OnMeasureItem = {};
        return;
    }
    if (item.Tag == 999 || item.OnDrawItem.Owner == this) return;
    if (!item.OnDrawItem || overrideOwnerDraw_)
        item.OnDrawItem = {[this](TMenuItem& i, TMenuCanvas& canvas, const TRect& r, bool selected) {
                               DrawItem(i, canvas, r, selected);
                           },
                           this};
    if (!(item.OnMeasureItem && !overrideOwnerDraw_))
        item.OnMeasureItem = {[this](TMenuItem& i, TMenuCanvas& canvas, int& w, int& h) {
                                  MeasureItem(i, canvas, w, h);
                              },
                              this};
}

// ---------------------------------------------------------------- measuring and drawing

bool TMenuPainter::OnOwnerMainMenuBar(const TMenuItem& item) const {
    if (!item.IsTopItem()) return false;
    const TFormComponents form = owner_.Components();
    return std::any_of(form.Items.begin(), form.Items.end(), [&](const TComponentInfo& c) {
        return c.Kind == TComponentKind::MainMenu && c.Menu && c.Menu->Name() == item.Menu()->Name();
    });
}

TItemPicture ItemPicture(const TMenuItem& item) {
    TItemPicture picture;
    const TImageList* subMenuImages = item.Parent() ? item.Parent()->SubMenuImages : nullptr;
    const TImageList* menuImages = item.Menu() ? item.Menu()->Images : nullptr;
    if (item.ImageIndex != -1 && (subMenuImages || menuImages)) {
        picture.Source = subMenuImages ? TPictureSource::SubMenuImages : TPictureSource::MenuImages;
        picture.List = subMenuImages ? subMenuImages : menuImages;
        picture.Size = {picture.List->Width(), picture.List->Height()};
    } else if (item.Bitmap) {
        picture.Source = TPictureSource::Bitmap;
        picture.Size = item.BitmapSize;
    }
    return picture;
}

TSize TMenuPainter::ImageExtent(const TMenuItem& item) const {
    TSize size = ItemPicture(item).Size;
    if (!OnOwnerMainMenuBar(item)) size.Width = std::max(size.Width, IconWidth);
    return size;
}

void TMenuPainter::MeasureItem(TMenuItem& item, TMenuCanvas& canvas, int& width, int& height) {
    if (!active_) return;
    const bool separator = item.IsSeparator();
    std::string text = separator ? std::string() : item.Caption;
    const auto first = item.ShortCutText.find_first_not_of(" \t");
    if (first != std::string::npos) text = item.Caption + item.ShortCutText + "WWW";

    const auto s = [this](int value) { return ScaleForDpi(value, Dpi); };
    canvas.SetFont(font_);
    int w = canvas.TextWidth(text) + s(5);
    if (text.find('&') != std::string::npos) w -= canvas.TextWidth("&");
    const TSize image = ImageExtent(item);
    if (image.Width > 0) w += image.Width;
    if (OnOwnerMainMenuBar(item) && owner_.NTPlatform()) w += s(8);
    width = std::max(width, w);

    if (separator) {
        height = s(4);
        return;
    }
    const int th = canvas.TextHeight(text);
    const int h = std::max(th + RoundHalfEven(3 * th, 4), image.Height + s(6));
    height = std::max(height, h);
}

void TMenuPainter::DrawItem(TMenuItem& item, TMenuCanvas& canvas, const TRect& rect, bool selected) {
    if (!active_) return;
    owner_.DrawMenuItem(*this, item, canvas, rect, selected);
    // Sub-menus filled in later are drawn by the painter too.
    bool changed = false;
    for (auto& child : item.Items()) {
        const bool had = child->OnDrawItem.Owner == this;
        HookItems(*child, true);
        changed = changed || (!had && child->OnDrawItem.Owner == this);
    }
    if (changed && item.Menu()) owner_.MenuChanged(*item.Menu());
}

// ------------------------------------------------------------------ layout

TMenuItemLayout LayoutMenuItem(const TRect& r, int iconWidth, const TSize* icon, bool topItem,
                               bool rightToLeft, int dpi) {
    const auto s = [dpi](int value) { return ScaleForDpi(value, dpi); };
    TMenuItemLayout l;
    l.IconColumn = rightToLeft ? TRect{r.Right - iconWidth, r.Top, r.Right, r.Bottom}
                               : TRect{r.Left, r.Top, r.Left + iconWidth, r.Bottom};
    const TRect& col = l.IconColumn;
    if (icon) {
        l.IconBox = {col.Left + s(1), col.Top + s(2), col.Right - s(3), col.Bottom - s(2)};
        if (icon->Width > iconWidth) {
            if (rightToLeft)
                l.IconBox.Left = l.IconBox.Right - icon->Width;
            else
                l.IconBox.Right = l.IconBox.Left + icon->Width;
        }
    } else {
        const int side = s(10);
        const int x = col.Left + (iconWidth - side) / 2;
        const int y = col.Top + (col.Height() - side) / 2;
        l.IconBox = {x, y, x + side, y + side};
    }
    if (topItem) {
        l.IconBox.Top -= s(1);
        l.IconBox.Bottom -= s(1);
    }

    const int lead = topItem ? s(4) : iconWidth;
    l.TextBox = r;
    if (rightToLeft) {
        l.TextBox.Right = r.Right - lead;
        if (icon && l.IconBox.Left < l.TextBox.Right) l.TextBox.Right = l.IconBox.Left - s(8);
    } else {
        l.TextBox.Left = r.Left + lead;
        if (icon && l.IconBox.Right > l.TextBox.Left) l.TextBox.Left = l.IconBox.Right + s(4);
    }
    if (topItem) {
        if (!icon)
            l.TextBox = r;
        else if (rightToLeft)
            l.TextBox.Right += s(5);
        else
            l.TextBox.Left -= s(5);
    }
    return l;
}

TRect CaptionBox(const TRect& textBox, int wHeight, bool rightToLeft, int dpi) {
    TRect box = textBox;
    box.Top += (textBox.Height() - wHeight) / 2;
    box.Bottom = box.Top + wHeight;
    if (rightToLeft)
        box.Right -= ScaleForDpi(3, dpi);
    else
        box.Left += ScaleForDpi(3, dpi);
    return box;
}

TRect ShortCutBox(const TRect& captionBox, bool rightToLeft, int dpi) {
    TRect box = captionBox;
    if (rightToLeft)
        box.Left += ScaleForDpi(10, dpi);
    else
        box.Right -= ScaleForDpi(10, dpi);
    return box;
}

std::array<TPoint, 4> EmbossOffsets(int dpi) {
    const int one = ScaleForDpi(1, dpi), two = ScaleForDpi(2, dpi);
    return {{{one, 0}, {one, two}, {0, one}, {one, one}}};
}

TSeparatorLine SeparatorLine(const TRect& textBox, bool rightToLeft, int dpi) {
    // Half the height rounded to the nearest, halves to even.
    const int h = textBox.Height();
    const int y = textBox.Top + h / 2 + (h % 2 != 0 && (h / 2) % 2 != 0 ? 1 : 0);
    const int in = ScaleForDpi(7, dpi);
    if (rightToLeft) return {{textBox.Right - in, y}, {textBox.Left, y}};
    return {{textBox.Left + in, y}, {textBox.Right, y}};
}

std::vector<int> GradientLevels(int columns, int iconWidth, bool rightToLeft, int dpi) {
    // Column i from the leading edge lies in the icon column's zone: left to
    // right x = left + i < left + IconWidth + 5; right to left the column
    // x = right - 1 - i > right - IconWidth + 5.
    const int beyond = ScaleForDpi(5, dpi);
    const int zone = rightToLeft ? iconWidth - beyond - 1 : iconWidth + beyond;
    std::vector<int> levels;
    int level = 0;
    for (int i = 0; i < columns; ++i) {
        level += (i > 0 && i < zone) ? 3 : 1;
        level = std::min(level, 96);
        levels.push_back(level);
    }
    return levels;
}

TTabOutline TopItemTabOutline(const TRect& r, bool rightToLeft, int dpi) {
    const int one = ScaleForDpi(1, dpi), two = ScaleForDpi(2, dpi), three = ScaleForDpi(3, dpi);
    if (rightToLeft)
        return {{r.Left + three, r.Top, r.Right, r.Bottom},
                {r.Left + one, r.Top, r.Left + three, r.Bottom},
                {r.Left + one, r.Top, r.Left + three, r.Top + two}};
    return {{r.Left, r.Top, r.Right - three, r.Bottom},
            {r.Right - three, r.Top, r.Right - one, r.Bottom},
            {r.Right - three, r.Top, r.Right - one, r.Top + two}};
}

int GlyphSpacing(int spacing, const std::string& caption) {
    return caption.find_first_not_of(" \t\r\n") == std::string::npos ? 0 : spacing;
}

int GlyphCell(int numGlyphs, bool enabled, bool leftPressed) {
    if (!enabled && numGlyphs > 1) return 2;
    if (leftPressed && numGlyphs > 2) return 3;
    return 1;
}

TGlyphPlacement LayoutGlyph(TButtonLayout layout, TSize client, TSize glyph, TSize text,
                            int spacing, int margin) {
    const int W = client.Width, H = client.Height;
    const int GW = glyph.Width, GH = glyph.Height, TW = text.Width, TH = text.Height;
    const int S = spacing;
    TGlyphPlacement p;
    switch (layout) {
        case TButtonLayout::GlyphLeft:
            p.Glyph.X = margin != -1 ? margin : (W - (GW + S + TW)) / 2;
            p.Glyph.Y = (H - GH) / 2;
            p.Text = {p.Glyph.X + GW + S, (H - TH) / 2};
            break;
        case TButtonLayout::GlyphRight: {
            p.Glyph.X = (GW + S + TW + W) / 2 - GW;
            p.Glyph.Y = (H - GH) / 2;
            p.Text = {p.Glyph.X - S - TW, (H - TH) / 2};
            break;
        }
        case TButtonLayout::GlyphTop:
            p.Glyph = {(W - GW) / 2, (H - (GH + S + TH)) / 2};
            p.Text = {(W - TW) / 2, p.Glyph.Y + GH + S};
            break;
        case TButtonLayout::GlyphBottom:
            p.Glyph = {(W - GW) / 2, (GH + S + TH + H) / 2 - GH};
            p.Text = {(W - TW) / 2, p.Glyph.Y - S - TH};
            break;
    }
    return p;
}
