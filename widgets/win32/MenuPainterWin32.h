#pragma once
// The menu painter on real windows: the owner form's child windows are
// described to the portable painter, menus are realised as owner-drawn
// HMENUs, and the chosen controls get a flat-painting hook in front of their
// window procedure (TControlSubClass).
#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "toolkit/win32/GdiOwners.h"
#include "widgets/MenuPainter.h"
#include "widgets/win32/PropertyTypesWin32.h"

// A Tag as the painter reads it from a window (0 when none was given).
void SetControlTag(HWND hwnd, int tag);
int ControlTag(HWND hwnd);

// What a bit button shows besides its caption.
struct TBitBtnStyle {
    HBITMAP Glyph = nullptr;  // none: the image the button holds (BM_GETIMAGE)
    int NumGlyphs = 1;
    TButtonLayout Layout = TButtonLayout::GlyphLeft;
    int Spacing = 4;
    int Margin = -1;
};

// A drawing surface for menu items: the device context and the font in it.
class TMenuCanvasWin32 : public TMenuCanvas {
public:
    explicit TMenuCanvasWin32(HDC dc) : dc_(dc) {}
    TMenuCanvasWin32(const TMenuCanvasWin32&) = delete;
    TMenuCanvasWin32& operator=(const TMenuCanvasWin32&) = delete;

    void SetFont(const TFontInfo& font) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    HDC Handle() const { return dc_; }

private:
    HDC dc_;
    // The font last set, selected into the context until the canvas goes.
    TOwnedFont font_;
    std::optional<TSelection> selection_;
};

// A menu of the model realised as an HMENU whose items carry their model
// item; items with a drawing handler are owner-drawn. A right-to-left menu's
// menu-bar items stand at the bar's right, and its sub-menus open towards
// the left (MFT_RIGHTORDER) unless cascadeRightToLeft is false: Wine takes
// that flag for MF_SYSMENU, which has its value, and draws each such item
// as the window's system button, so a menu shown under Wine leaves it off.
class TMenuWin32 {
public:
    explicit TMenuWin32(TMenu& menu, bool cascadeRightToLeft = true);
    ~TMenuWin32();
    TMenuWin32(const TMenuWin32&) = delete;
    TMenuWin32& operator=(const TMenuWin32&) = delete;

    TMenu& Model() { return menu_; }
    HMENU Handle() const { return handle_; }
    // A main menu becomes the window's menu bar.
    void AttachTo(HWND window);
    // Brings the items' types and states in line with the model.
    void Sync();
    // WM_MEASUREITEM and WM_DRAWITEM of the owner window for this menu's items.
    bool HandleOwnerDraw(HWND owner, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

private:
    void Build(HMENU target, TMenuItem& parent);
    void SyncItems(HMENU target, TMenuItem& parent);

    TMenu& menu_;
    HMENU handle_ = nullptr;
    HWND window_ = nullptr;
    bool cascadeRightToLeft_;
    std::set<const TMenuItem*> items_;
    UINT nextId_ = 1000;
};

class TControlSubClass;

class TMenuPainterWin32 : public TMenuPainterHost {
public:
    explicit TMenuPainterWin32(HWND form);
    ~TMenuPainterWin32() override;
    TMenuPainterWin32(const TMenuPainterWin32&) = delete;
    TMenuPainterWin32& operator=(const TMenuPainterWin32&) = delete;

    TMenuPainter& Painter() { return *painter_; }
    bool Active() const { return painter_ && painter_->Active(); }

    // A child window that its window class does not describe: a panel-like
    // window of another class, a button to be treated as a bit button.
    void Describe(HWND control, TComponentKind kind, std::string className);
    void DescribeBitBtn(HWND button, const TBitBtnStyle& style);
    const TBitBtnStyle* BitBtnStyleOf(HWND button) const;
    // A menu of the form, taken over with the others.
    void AddMenu(TMenuWin32& menu);
    // The form's WM_MEASUREITEM and WM_DRAWITEM; true when a menu of the form answered.
    bool HandleMenuMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    // The hook on a window, if any, and how many hooks there are.
    TControlSubClass* HookOf(HWND hwnd) const;
    std::size_t HookCount() const { return hooks_.size(); }
    // Called by a hook that has put the window procedure back.
    void Release(TControlSubClass* hook);
    // Counts the painter's passes that take controls over: a hook that the
    // last pass did not choose again lets its control go.
    unsigned Generation() const { return generation_; }

    // TMenuPainterHost
    TColor SysColor(int index) const override;
    TFontInfo MenuFont() override;
    TFormComponents Components() override;
    void ApplyStarted(bool enable) override;
    void HookControl(const TComponentInfo& control) override;
    void InvalidateControl(const TComponentInfo& control) override;
    void MenuChanged(TMenu& menu) override;
    void RedrawMenuBar() override;
    void DrawMenuItem(TMenuPainter& painter, TMenuItem& item, TMenuCanvas& canvas,
                      const TRect& rect, bool selected) override;

private:
    struct Description {
        TComponentKind Kind;
        std::string ClassName;
    };

    // A child window as the painter sees it, its parent not yet known.
    TComponentInfo ComponentOf(HWND hwnd) const;

    HWND form_;
    std::map<HWND, Description> descriptions_;
    std::map<HWND, TBitBtnStyle> bitBtns_;
    std::vector<TMenuWin32*> menus_;
    std::vector<std::unique_ptr<TControlSubClass>> hooks_;
    unsigned generation_ = 0;
    std::unique_ptr<TMenuPainter> painter_;
};

// ------------------------------------------------------------------ drawing helpers

// An icon or glyph drawn transparently (its bottom-left pixel is the
// transparent colour), dimmed, greyed, lifted over a shadow as the state asks.
struct TGlyphState {
    bool Enabled = true;
    bool Selected = false;
    bool Checked = false;
    bool TopItem = false;
    bool Focused = false;
};
void DrawGlyph(HDC dc, HBITMAP bitmap, int x, int y, const TGlyphState& state,
               const TMenuPainter& painter, const TMenuColors& colors);

// A caption as menu items and flat buttons draw it.
struct TItemText {
    std::wstring Text;
    std::wstring ShortCut;
    UINT Align = DT_LEFT;  // DT_LEFT, DT_CENTER or DT_RIGHT (| DT_RTLREADING)
    TColor Color = 0;
    bool Default = false;
    bool Enabled = true;
    bool HighColor = true;
    int Dpi = kDesignDpi;  // the scale of the emboss and the shortcut's gap
};
void DrawItemText(HDC dc, RECT box, const TItemText& text);

// The colours as a surface shows them: the nearest it has.
TColor NearestColor(HDC dc, TColor c);
TNearestColor NearestColorOn(HDC dc);
TColor LightenOn(HDC dc, TColor c, int p);
// The painter's colours for a drawing on the surface.
TMenuColors ColorsOn(const TMenuPainter& painter, HDC dc);

// The bitmap operations on a 32-bit copy of a bitmap; the lightening as
// for the bitmap it was copied from, of that colour depth and showing
// colours as nearest gives them.
void LightenBitmap(HBITMAP copy, int percent, int sourceBitsPerPixel,
                   const TNearestColor& nearest);
void GreyBitmap(HBITMAP copy, int level);
TOwnedBitmap CopyBitmap32(HBITMAP bitmap, int x = 0, int y = 0, int width = -1,
                          int height = -1);

// The flat-painting hook of one control: it sits in front of the control's
// window procedure, keeps its hot, pressed and focused state, and paints the
// flat look after the control has painted itself. It takes itself out at the
// first message after the painter went inactive, and when its window goes.
class TControlSubClass {
public:
    enum class Kind { Edit, Memo, Button, BitBtn, Panel };

    TControlSubClass(TMenuPainterWin32& painter, HWND control, Kind kind);
    ~TControlSubClass();
    TControlSubClass(const TControlSubClass&) = delete;
    TControlSubClass& operator=(const TControlSubClass&) = delete;

    // Puts the hook's procedure in front of the control's; false when the
    // window already has such a hook.
    bool Install();
    // Hands the control back to the procedure it had before (and gives an
    // edit its 3-D look back).
    void Uninstall();

    HWND Control() const { return control_; }
    bool Hot() const { return hot_; }
    // The painter chose this control again.
    void Chosen(unsigned generation) { generation_ = generation; }
    bool KeepHook() const { return keepHook_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    void React(UINT msg, WPARAM wp, LPARAM lp);
    void ReactToInput(UINT msg, WPARAM wp, LPARAM lp);
    void MouseEnterOrLeave(bool entered);
    void Paint();
    // A measure of the flat look, given at 96 DPI, at the painter's scale.
    int Scaled(int value) const;
    void PaintEdit();
    void PaintButton(bool withGlyph);
    void PaintButtonFace(HDC dc, const RECT& rc, const TMenuColors& colors, bool enabled);
    TPoint PaintGlyph(HDC dc, const TSize& client, const TSize& text, const std::wstring& caption,
                      const TMenuColors& colors, bool enabled);
    void PaintPanel();

    TMenuPainterWin32& painter_;
    HWND control_;
    Kind kind_;
    bool keepHook_ = false;
    bool hot_ = false;
    bool leftPressed_ = false;
    bool spacePressed_ = false;
    bool keyDown_ = false;
    bool focused_ = false;
    bool tracking_ = false;
    bool installed_ = false;
    bool had3D_ = false;
    bool borderSingle_ = false;
    UINT lastMessage_ = 0;
    int depth_ = 0;
    bool released_ = false;
    unsigned generation_ = 0;
};
