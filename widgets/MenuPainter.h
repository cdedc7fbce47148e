#pragma once
// The menu painter: a form's flat look. While active it measures and draws
// the items of the form's menus (through handlers it installs on the items)
// and chooses which of the form's controls get a flat-painting hook. This
// part is portable: the colours, the choice of components, the hook
// installation on the menu model, the measuring and the placement of icons,
// texts and glyphs. The window system behind it (the real form, its menus
// and windows, the drawing) is reached through TMenuPainterHost.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Controls.h"
#include "toolkit/Dpi.h"
#include "toolkit/Rect.h"
#include "toolkit/Set.h"
#include "widgets/PropertyTypes.h"

// ------------------------------------------------------------------ colours

// A system colour as a colour value: the high bit marks it, the low byte is
// the system's colour index (the numbers of GetSysColor).
constexpr TColor SystemColor(int index) { return 0x80000000u | static_cast<TColor>(index); }
constexpr bool IsSystemColor(TColor c) { return (c & 0x80000000u) != 0; }
inline constexpr TColor clInactiveCaption = SystemColor(3);
inline constexpr TColor clMenuText = SystemColor(7);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clSilver = RGBColor(192, 192, 192);

constexpr int RedOf(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }

// The system's colours, as the painter reads them.
class TSystemColors {
public:
    virtual ~TSystemColors() = default;
    virtual TColor SysColor(int index) const = 0;
};

// A system colour turned into its red, green and blue; others pass.
TColor ColorToRGB(TColor c, const TSystemColors& system);

// The colour a drawing surface shows in place of one it cannot: the nearest
// it has. None: the surface shows every colour.
using TNearestColor = std::function<TColor(TColor)>;

// These take plain red, green, blue colours.
// Red - s, green - s + 2, blue - s, each clamped to 0..255; negative s lightens.
TColor Shade(TColor c, int s);
// Each part x becomes x + (255 - x) * p / 100, rounded half to even; p <= 100.
TColor Lighten(TColor c, int p);
// The same, as the surface shows it.
TColor Lighten(TColor c, int p, const TNearestColor& nearest);
// The mean of the three parts plus v, at most 240, as a grey.
TColor Grey(TColor c, int v);

// A bitmap's pixels lightened by p: those of a bitmap of 24 or 32 bits a
// pixel part by part with integer division, (x * (100 - p) + 255 * p) / 100;
// those of any other depth with Lighten as the bitmap shows it. A run of
// equal pixels reuses the result of its first.
void LightenPixels(std::vector<TColor>& pixels, int bitsPerPixel, int p,
                   const TNearestColor& nearest);
// Every pixel turned into Grey(pixel, v), runs reusing their first result.
void GreyPixels(std::vector<TColor>& pixels, int v);

// ------------------------------------------------------------------ settings

enum TPaintContainer {
    xccForm, xccFrame, xccToolbar, xccCoolbar, xccControlbar, xccPanel, xccScrollBox,
    xccGroupBox, xccTabSheet, xccPageScroller
};
using TPaintContainers = TSet<TPaintContainer, 10>;

enum TPaintControl {
    xcMainMenu, xcPopupMenu, xcToolbar, xcControlbar, xcCombo, xcEdit, xcMaskEdit, xcMemo,
    xcRichEdit, xcCheckBox, xcRadioButton, xcButton, xcBitBtn, xcSpeedButton, xcPanel,
    xcGroupBox, xcSpinEdit
};
using TPaintControls = TSet<TPaintControl, 17>;

enum TStrongContrastControl { xsccGroupbox, xsccPanel, xsccBevel };
using TStrongContrastControls = TSet<TStrongContrastControl, 3>;

TPaintContainers DefaultPaintContainers();
TPaintControls DefaultPaintControls();

struct TFontInfo {
    std::string Name;
    int Height = 0;  // negative: character height in pixels
    int Charset = 0;
    TColor Color = clMenuText;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    friend bool operator==(const TFontInfo&, const TFontInfo&) = default;
};

// The colours one drawing works with, all plain red, green, blue.
struct TMenuColors {
    TColor Face = 0;
    TColor IconBack = 0;
    TColor SelectFill = 0;
    TColor SelectBorder = 0;
    TColor SelectFont = 0;
    TColor CheckedFill = 0;
    TColor CheckedSelectedFill = 0;
    TColor CheckedBorder = 0;
    TColor MenuBar = 0;
    TColor Disabled = 0;
    TColor Separator = 0;
    TColor MenuBorder = 0;
    TColor MenuShadow = 0;
    bool HighColor = false;
    // How much a flat button's fill is lightened, at rest and while hot.
    int ButtonLevelLow = 16;
    int ButtonLevelHigh = 40;
};

// ------------------------------------------------------------------ menus

struct TSize {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

// What measuring and drawing a menu item draws on; the window system's
// surface derives from it.
class TMenuCanvas {
public:
    virtual ~TMenuCanvas() = default;
    virtual void SetFont(const TFontInfo& font) = 0;
    virtual int TextWidth(const std::string& text) = 0;
    virtual int TextHeight(const std::string& text) = 0;
};

// A handler and who installed it, so that the painter knows its own.
template <typename F>
struct TItemEvent {
    std::function<F> Handler;
    const void* Owner = nullptr;
    explicit operator bool() const { return static_cast<bool>(Handler); }
};

class TMenu;

// One item of a menu, with its sub-items.
class TMenuItem {
public:
    std::string Caption;      // "-" makes a separator
    std::string ShortCutText; // as the menu shows it, "Ctrl+O"
    int Tag = 0;
    bool Checked = false;
    bool RadioItem = false;
    bool Enabled = true;
    bool Default = false;
    // The item's own picture: an opaque handle of the window system and its size.
    const void* Bitmap = nullptr;
    TSize BitmapSize;
    // The image of an image list the item shows in place of its bitmap; -1
    // for none.
    int ImageIndex = -1;
    // The images of this item's sub-items, in place of the menu's.
    TImageList* SubMenuImages = nullptr;
    TItemEvent<void(TMenuItem&, TMenuCanvas&, const TRect&, bool)> OnDrawItem;
    TItemEvent<void(TMenuItem&, TMenuCanvas&, int&, int&)> OnMeasureItem;

    TMenuItem& Add(std::string caption);
    std::vector<std::unique_ptr<TMenuItem>>& Items() { return items_; }
    const std::vector<std::unique_ptr<TMenuItem>>& Items() const { return items_; }
    TMenuItem* Parent() const { return parent_; }
    TMenu* Menu() const { return menu_; }
    bool IsSeparator() const { return Caption == "-"; }
    // A top-level item of a main menu: an item of the menu bar.
    bool IsTopItem() const;

private:
    friend class TMenu;
    std::vector<std::unique_ptr<TMenuItem>> items_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;
};

// A main menu or a pop-up menu: its items hang under Items.
class TMenu {
public:
    explicit TMenu(bool mainMenu, std::string name = {});
    TMenu(const TMenu&) = delete;
    TMenu& operator=(const TMenu&) = delete;

    bool IsMainMenu() const { return main_; }
    const std::string& Name() const { return name_; }
    int Tag = 0;
    bool OwnerDraw = false;
    bool RightToLeft = false;
    // The images its items' image indexes name.
    TImageList* Images = nullptr;
    TMenuItem Items;

private:
    bool main_;
    std::string name_;
};

// ------------------------------------------------------------------ components

enum class TComponentKind { Form, MainMenu, PopupMenu, Edit, Memo, Button, Panel, Other };

// One component of a form as the painter sees it. Parent and Owned are
// indexes into the form's list.
struct TComponentInfo {
    TComponentKind Kind = TComponentKind::Other;
    std::string ClassName;
    int Tag = 0;
    int Parent = -1;
    std::vector<int> Owned;
    TMenu* Menu = nullptr;        // for menus
    std::uintptr_t Handle = 0;    // the window system's handle of a control
};

// A form's components; the first is the form itself, which owns the others
// in its component order.
struct TFormComponents {
    std::vector<TComponentInfo> Items;
};

// Does the painter handle this control kind, and this parent kind?
bool MatchesPaintControl(const TComponentInfo& c, const TPaintControls& controls);
bool MatchesPaintContainer(const TComponentInfo& parent, const TPaintContainers& containers);

class TMenuPainter;

// The owner form and the window system behind it.
class TMenuPainterHost : public TSystemColors {
public:
    virtual TFontInfo MenuFont() = 0;
    virtual TFormComponents Components() = 0;
    virtual bool Designing() { return false; }
    // The platform is of the NT family (menu-bar items measure wider).
    virtual bool NTPlatform() { return true; }
    // The painter goes through the form's components to take them over
    // (enable) or to let them go.
    virtual void ApplyStarted(bool enable) { (void)enable; }
    // Flat painting of a control (it unhooks itself once the painter is inactive).
    virtual void HookControl(const TComponentInfo& control) = 0;
    virtual void InvalidateControl(const TComponentInfo& control) = 0;
    // A menu's owner drawing or item handlers changed.
    virtual void MenuChanged(TMenu& menu) = 0;
    virtual void RedrawMenuBar() = 0;
    // Draws a menu item with the painter's look.
    virtual void DrawMenuItem(TMenuPainter& painter, TMenuItem& item, TMenuCanvas& canvas,
                              const TRect& rect, bool selected) = 0;
};

class TMenuPainter {
public:
    // The owner form is the host; the values at creation are set.
    explicit TMenuPainter(TMenuPainterHost& owner);
    ~TMenuPainter();
    TMenuPainter(const TMenuPainter&) = delete;
    TMenuPainter& operator=(const TMenuPainter&) = delete;

    // The form's settings are in place: an active painter takes over.
    void Loaded();

    // Settings whose change shows at the next drawing.
    std::uint8_t DimLevel = 30;
    std::uint8_t GrayLevel = 10;
    TColor Color = clBtnFace;
    bool DrawMenuBar = false;
    TColor IconBackColor = clBtnFace;
    TColor SelectColor = clHighlight;
    TColor SelectBorderColor = clHighlight;
    TColor SelectFontColor = clMenuText;
    TColor DisabledColor = clInactiveCaption;
    TColor SeparatorColor = clBtnFace;
    TColor CheckedColor = clHighlight;
    int IconWidth = 24;
    // The screen's scale of the menus: an item's margins, given at 96 DPI,
    // are measured at it (IconWidth is set at it by the form).
    int Dpi = kDesignDpi;
    bool DrawSelect = true;
    bool UseDimColor = false;
    bool Gradient = false;
    bool FlatMenu = false;
    bool AutoDetect = false;
    TStrongContrastControls StrngContrast;

    // Settings that act at once.
    const TFontInfo& Font() const { return font_; }
    void SetFont(const TFontInfo& font);
    TColor MenuBarColor() const { return menuBarColor_; }
    void SetMenuBarColor(TColor color);
    bool UseSystemColors() const { return useSystemColors_; }
    void SetUseSystemColors(bool value);
    bool OverrideOwnerDraw() const { return overrideOwnerDraw_; }
    void SetOverrideOwnerDraw(bool value);
    TPaintContainers PaintContainers() const { return paintContainers_; }
    void SetPaintContainers(TPaintContainers value);
    TPaintControls PaintControls() const { return paintControls_; }
    void SetPaintControls(TPaintControls value);
    bool Active() const { return active_; }
    void SetActive(bool value);

    // The colours of one drawing on a surface of this colour depth, each
    // lightened one as the surface shows it.
    TMenuColors Colors(int bitsPerPixel, const TNearestColor& nearest = {}) const;
    TMenuPainterHost& Owner() const { return owner_; }

    // A component was added to the owner form: with AutoDetect on, an
    // active painter takes it over as it would at activation.
    void ComponentInserted(const TComponentInfo& component);

    // The painter's own item handlers.
    void MeasureItem(TMenuItem& item, TMenuCanvas& canvas, int& width, int& height);
    void DrawItem(TMenuItem& item, TMenuCanvas& canvas, const TRect& rect, bool selected);
    // Installs (enable) or removes (disable) the painter's handlers on an
    // item and its descendants.
    void HookItems(TMenuItem& item, bool enable);

    // The size that decides an item's icon column: its bitmap's, and for
    // items off the menu bar at least IconWidth wide.
    TSize ImageExtent(const TMenuItem& item) const;

private:
    void Apply(bool enable, bool repaint);
    void ApplyComponents(const TFormComponents& form, const std::vector<int>& which, bool enable,
                         bool repaint);
    void ApplyComponent(const TFormComponents& form, const TComponentInfo& c, bool enable,
                        bool repaint);
    void HookMenu(TMenu& menu, bool enable);
    void HookItem(TMenuItem& item, bool enable);
    bool OnOwnerMainMenuBar(const TMenuItem& item) const;

    TMenuPainterHost& owner_;
    TFontInfo font_;
    TColor menuBarColor_ = clBtnFace;
    bool useSystemColors_ = true;
    bool overrideOwnerDraw_ = false;
    TPaintContainers paintContainers_;
    TPaintControls paintControls_;
    bool active_ = false;
};

// ------------------------------------------------------------------ pictures

// Where an item's picture comes from: with an image index, its parent's
// sub-menu images when the parent has them, else its menu's images; else its
// own bitmap when it has one.
enum class TPictureSource { None, SubMenuImages, MenuImages, Bitmap };
struct TItemPicture {
    TPictureSource Source = TPictureSource::None;
    const TImageList* List = nullptr;
    TSize Size;
};
TItemPicture ItemPicture(const TMenuItem& item);

// ------------------------------------------------------------------ layout

// Every pixel measure below is given at 96 DPI and drawn at dpi (IconWidth
// comes already at the screen's scale from the form).

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Where an item's parts go inside its rectangle R (already one pixel taller).
struct TMenuItemLayout {
    TRect IconColumn;
    TRect IconBox;
    TRect TextBox;
};
TMenuItemLayout LayoutMenuItem(const TRect& r, int iconWidth, const TSize* icon, bool topItem,
                               bool rightToLeft, int dpi = kDesignDpi);

// The caption's box in the text box: as high as a "W" of the item's font
// (wHeight), centred on it, 3 pixels in from the leading side.
TRect CaptionBox(const TRect& textBox, int wHeight, bool rightToLeft, int dpi = kDesignDpi);
// The shortcut's box: the caption's, ending 10 pixels before its trailing edge.
TRect ShortCutBox(const TRect& captionBox, bool rightToLeft, int dpi = kDesignDpi);
// The moves of a default item's caption for the four strokes of its emboss.
std::array<TPoint, 4> EmbossOffsets(int dpi = kDesignDpi);

// A separator's line across the text box at its middle, 7 pixels in from the
// leading side; drawn from From towards To.
struct TSeparatorLine {
    TPoint From;
    TPoint To;
};
TSeparatorLine SeparatorLine(const TRect& textBox, bool rightToLeft, int dpi = kDesignDpi);

// The lightening level of each column of a gradient that is columns wide,
// counted from the leading edge: the level grows by 1 a column, by 3 over
// the icon column's zone, up to 96. Left to right the zone is the first
// IconWidth + 5 columns; right to left it is the columns x with
// x > right - IconWidth + 5, which is IconWidth - 6 of them.
std::vector<int> GradientLevels(int columns, int iconWidth, bool rightToLeft = false,
                                int dpi = kDesignDpi);

// A selected menu-bar item without the soft shadow (right to left, or on a
// surface of fewer than 16 bits): its outline ends 3 pixels before the
// trailing edge, where a 2-pixel shadow strip runs, its top 2 pixels in the
// menu bar's colour.
struct TTabOutline {
    TRect Frame;
    TRect Shadow;
    TRect Cap;
};
TTabOutline TopItemTabOutline(const TRect& r, bool rightToLeft, int dpi = kDesignDpi);

// Where a bit button puts its glyph and caption.
enum class TButtonLayout { GlyphLeft, GlyphRight, GlyphTop, GlyphBottom };

struct TGlyphPlacement {
    TPoint Glyph;
    TPoint Text;
    friend bool operator==(const TGlyphPlacement&, const TGlyphPlacement&) = default;
};

// Spacing between glyph and caption: none for a blank caption.
int GlyphSpacing(int spacing, const std::string& caption);
// Which glyph of the strip shows (1-based): the disabled one, the pressed
// one, else the first.
int GlyphCell(int numGlyphs, bool enabled, bool leftPressed);
TGlyphPlacement LayoutGlyph(TButtonLayout layout, TSize client, TSize glyph, TSize text,
                            int spacing, int margin);
