#pragma once
// TStatusBarPro: a status bar docked at the bottom of a form, over the
// platform's status bar control. It shows either one undivided text (the
// simple panel) or a row of panels, each with its own text, width rules,
// colour, font, image, bevel, alignment, hint, popup menu, click events, an
// embedded control and an optional history of its texts. Every panel is
// drawn by the bar itself.
//
// The behaviour lives here; a window system supplies the platform control
// (the protected hooks: texts, parts, rectangles, measuring, painting).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Aligned.h"
#include "toolkit/Controls.h"
#include "toolkit/Dpi.h"
#include "toolkit/Strings.h"
#include "widgets/PropertyTypes.h"

class TStatusBarPro;
class TStatusPanelPro;

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
enum TStatusPanelStyle { psText, psOwnerDraw };

// The platform control's text flags, as SB_SETTEXT takes them.
inline constexpr unsigned kSbtOwnerDraw = 0x1000;
inline constexpr unsigned kSbtNoBorders = 0x100;
inline constexpr unsigned kSbtPopOut = 0x200;
inline constexpr unsigned kSbtRtlReading = 0x400;
inline constexpr int kSimplePart = 255;
inline constexpr int kMaxLaidOutPanels = 128;
inline constexpr int kSizeGripWidth = 16;
inline constexpr std::size_t kMaxHistoryLines = 251;

struct TFont {
    std::string Name = "MS Sans Serif";
    int Height = -11;  // 8 points
    TColor Color = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    friend bool operator==(const TFont&, const TFont&) = default;
};

using TDrawPanelProEvent =
    std::function<void(TStatusBarPro& statusBar, TStatusPanelPro& panel, const TRect& rect)>;

// Where a panel's image and text go within its rectangle.
struct TPanelContentPlacement {
    bool HasImage = false;
    int ImageX = 0;
    int ImageY = 0;
    bool HasText = false;
    int TextX = 0;
    int TextY = 0;
};

// The placement rules of a panel's content. textWidth is measured in the
// bar's font (the start position), panelTextWidth in the panel's own font;
// textHeight is the height of "H" in the panel's font. The margins and the
// indent are given at 96 DPI and placed at dpi.
TPanelContentPlacement PlacePanelContent(const TRect& rect, TAlignment alignment, bool rtlReading,
                                         int indent, int imageWidth, int imageHeight,
                                         int textWidth, int panelTextWidth, int textHeight,
                                         bool hasText, int dpi = kDesignDpi);

// Records a panel's text in its history: at most 251 lines, and a text that
// grows or shrinks step by step stays on one line.
void AddHistoryLine(TStringList& lines, const std::string& text);

class TStatusPanelPro final : private TFreeNotifiable {
public:
    explicit TStatusPanelPro(TStatusBarPro* bar);
    ~TStatusPanelPro();
    TStatusPanelPro(const TStatusPanelPro&) = delete;
    TStatusPanelPro& operator=(const TStatusPanelPro&) = delete;

    // Copies the panel's settings, not its history, indent or control.
    void Assign(const TStatusPanelPro& source);
    // The name a designer lists it by.
    std::string DisplayName() const;
    int Index() const;
    TStatusBarPro* StatusBar() const { return bar_; }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool AutoWidth() const { return autoWidth_; }
    void SetAutoWidth(bool value);
    TStatusPanelBevel Bevel() const { return bevel_; }
    void SetBevel(TStatusPanelBevel value);
    TBiDiMode BiDiMode() const { return bidiMode_; }
    void SetBiDiMode(TBiDiMode value);
    bool ParentBiDiMode() const { return parentBiDiMode_; }
    void SetParentBiDiMode(bool value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    TControl* Control() const { return control_; }
    void SetControl(TControl* value);
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& value);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value);
    bool History() const { return history_; }
    void SetHistory(bool value) { history_ = value; }
    const TStringList& Historylines() const { return historylines_; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    int Indent() const { return indent_; }
    void SetIndent(int value);
    int MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int value);
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int value);
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* value);
    TStatusPanelStyle Style() const { return style_; }
    void SetStyle(TStatusPanelStyle value);
    const std::string& Text() const { return text_; }
    void SetText(const std::string& value);
    int Width() const { return width_; }
    void SetWidth(int value);
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

    bool UseRightToLeftReading() const;
    bool UseRightToLeftAlignment() const;
    // Puts the embedded control inside the panel (or out of sight in simple
    // mode).
    void UpdateControl();

private:
    friend class TStatusBarPro;
    void ComponentFreed(TComponent* component) override;
    void Changed(bool allPanels);
    int BoundedWidth(int w) const;

    TStatusBarPro* bar_;
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = false;
    bool autoWidth_ = false;
    TStatusPanelBevel bevel_ = pbLowered;
    TBiDiMode bidiMode_ = bdLeftToRight;
    bool parentBiDiMode_ = true;
    TColor color_;
    bool parentColor_ = true;
    TControl* control_ = nullptr;
    TFont font_;
    bool parentFont_ = true;
    std::string hint_;
    bool history_ = false;
    TStringList historylines_;
    int imageIndex_ = -1;
    int indent_ = 0;
    int maxWidth_ = 10000;
    int minWidth_ = 0;
    TPopupMenu* popupMenu_ = nullptr;
    TStatusPanelStyle style_ = psText;
    std::string text_;
    int width_ = 50;
    // The text and style must still be handed to the platform control.
    bool updateNeeded_ = true;
};

class TStatusPanelsPro {
public:
    explicit TStatusPanelsPro(TStatusBarPro& bar) : bar_(bar) {}
    TStatusPanelPro& Add();
    TStatusPanelPro& Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
    TStatusPanelPro& operator[](int index) const { return Items(index); }
    int Count() const { return static_cast<int>(items_.size()); }
    void Delete(int index);
    void Clear();
    // Replaces the panels by copies of the source's.
    void Assign(const TStatusPanelsPro& source);
    int IndexOf(const TStatusPanelPro* panel) const;

private:
    friend class TStatusBarPro;
    TStatusBarPro& bar_;
    std::vector<std::unique_ptr<TStatusPanelPro>> items_;
};

class TStatusBarPro : public TSimpleStatusBar, private TFreeNotifiable {
public:
    // btnFace: the system's button face colour, the default of the bar and
    // its panels.
    explicit TStatusBarPro(TColor btnFace = RGBColor(240, 240, 240));
    ~TStatusBarPro() override;
    TStatusBarPro(const TStatusBarPro&) = delete;
    TStatusBarPro& operator=(const TStatusBarPro&) = delete;

    TStatusPanelsPro& Panels() { return panels_; }
    const TStatusPanelsPro& Panels() const { return panels_; }
    void SetPanels(const TStatusPanelsPro& panels);

    // TSimpleStatusBar
    const std::string& SimpleText() const override { return simpleText_; }
    void SetSimpleText(const std::string& text) override;
    TColor Color() const override { return color_; }
    void SetColor(TColor color) override;
    bool ParentColor() const override { return parentColor_; }
    void SetParentColor(bool parentColor) override;

    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool value);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool value);
    bool UseSystemFont() const { return useSystemFont_; }
    void SetUseSystemFont(bool value);
    const TFont& Font() const { return font_; }
    // A font of the bar's own: ParentFont ends; a later change of the
    // system's font still replaces it while UseSystemFont is on.
    void SetFont(const TFont& font);
    bool ParentFont() const { return parentFont_; }
    // True takes the parent's font at once.
    void SetParentFont(bool value);
    TBiDiMode BiDiMode() const { return bidiMode_; }
    // A reading order of the bar's own: ParentBiDiMode ends.
    void SetBiDiMode(TBiDiMode value);
    bool ParentBiDiMode() const { return parentBiDiMode_; }
    // True takes the parent's reading order at once.
    void SetParentBiDiMode(bool value);
    bool AutoHint = false;
    int AutoHintPanelIndex() const { return autoHintPanelIndex_; }
    void SetAutoHintPanelIndex(int value);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    bool ShowHint = true;
    std::string Hint;
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);
    TDrawPanelProEvent OnDrawPanel;
    TNotifyEvent OnHint;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    std::function<void(TStatusBarPro&)> OnResize;

    TStatusPanelPro* HotPanel() const { return hotPanel_; }
    bool UseRightToLeftReading() const;
    bool UseRightToLeftAlignment() const;
    // The size grip shows only on a form that can be resized.
    bool ShowsSizeGrip() const;
    // The screen's scale the bar is shown at: the grip's room follows it,
    // and the system's status font is the one for that scale.
    int Dpi() const { return dpi_; }
    void SetDpi(int dpi);
    int SizeGripWidth() const { return ScaleForDpi(kSizeGripWidth, dpi_); }

    // The panel widths for a client width: auto-width panels follow their
    // text and image, auto-size panels share what is left. At most 128.
    std::vector<int> PanelWidths(int clientWidth);
    // Hands the panel layout (with new rectangles) and the pending texts to
    // the platform control.
    void UpdatePanels(bool newRects, bool sendTexts);
    void UpdatePanel(int index, bool sendText);
    // Runs OnHint when assigned; true when it ran.
    bool DoHint();
    // The application offers a hint: shows it in the bar when AutoHint is on
    // and OnHint did not take it. True when the bar handled it.
    bool ShowApplicationHint(const std::string& hint);
    // The hint for where the mouse is: the hot panel's, else the bar's.
    const std::string& CurrentHint() const;
    // Reverses the panels for a right-to-left layout.
    void FlipChildren();
    // A system setting changed (SPI code); 0 or non-client metrics resync
    // the font.
    void SettingChanged(unsigned code);
    // The parent's font changed: a bar that follows it takes it, and stops
    // following the system's font.
    void ParentFontChanged();
    // The parent's reading order changed: a bar that follows it takes it.
    void ParentBiDiModeChanged(TBiDiMode mode);
    // The system's colours changed: a bar in its default colour takes the
    // new button face, one in its parent's colour the parent's again.
    void SystemColorsChanged(TColor btnFace);
    void SyncToSystemFont();
    // The draw step of one panel, in the bar's font and colour.
    virtual void DrawPanel(TStatusPanelPro& panel, const TRect& rect);
    // Draws the panel the platform control asks for (every panel is owner
    // drawn): the last panel leaves the grip's room.
    void DrawItem(int index, TRect rect);

    // Mouse actions over the bar, in its client coordinates.
    void MouseDown(int x, int y);
    void MouseMove(int x, int y);
    void Click();
    void DblClick();
    // The menu a right click shows.
    TPopupMenu* ContextMenu() const;

    // Creates the platform control's state from the bar's values.
    void WindowCreated();
    void Resized();

protected:
    // The platform control.
    virtual bool HandleAllocated() const { return false; }
    virtual void SendSimpleText(const std::string&, unsigned /*flags*/) {}
    virtual void SendSimple(bool) {}
    virtual void SendParts(const std::vector<int>&) {}
    virtual void SendPanelText(int /*index*/, unsigned /*flags*/, const std::string&) {}
    virtual void InvalidatePanel(int /*index*/) {}
    virtual void Invalidate() {}
    virtual TRect PanelRect(int /*index*/) const { return {}; }
    // Spacing between parts and the vertical border width.
    virtual void Borders(int& spacing, int& vertical) const { spacing = vertical = 0; }
    virtual int ClientWidth() const { return 0; }
    virtual int TextWidth(const TFont&, const std::string& text) const {
        return static_cast<int>(text.size());
    }
    virtual int TextHeight(const TFont&) const { return 0; }
    virtual void ColorChanged() {}
    virtual void FontChanged() {}
    virtual void RecreateWnd() {}
    virtual TColor ParentColorValue() const { return color_; }
    virtual TFont ParentFontValue() const { return font_; }
    virtual TBiDiMode ParentBiDiModeValue() const { return bidiMode_; }
    virtual TFont SystemStatusFont() const { return TFont{}; }
    virtual bool ParentIsSizeableForm() const { return true; }
    virtual bool SysLocaleRightToLeft() const { return false; }
    virtual void AdoptControl(TControl&) {}
    virtual void CancelHint() {}
    // Paints a panel's content; the rules of where it goes are above.
    virtual void PaintPanel(TStatusPanelPro&, const TRect&, const TPanelContentPlacement&) {}

private:
    friend class TStatusPanelPro;
    friend class TStatusPanelsPro;
    // The image list or a menu of the bar or its panels went away.
    void ComponentFreed(TComponent* component) override;
    void Watch(TComponent* component);
    // The image list's images changed: the panels are laid out and drawn
    // anew.
    void ImagesChanged();
    void UpdateSimpleText();
    void ApplyColor(TColor color);
    void ApplyFont(const TFont& font);
    void ApplyBiDiMode(TBiDiMode value);
    void RemoveControlFromOthers(TControl* control, const TStatusPanelPro* keeper);
    TStatusPanelPro* PanelAt(int x, int y) const;
    int ImageWidthFor(const TStatusPanelPro& panel) const;

    TColor btnFace_;
    TStatusPanelsPro panels_;
    std::string simpleText_;
    bool simplePanel_ = false;
    bool sizeGrip_ = true;
    bool useSystemFont_ = true;
    TFont font_;
    bool parentFont_ = false;
    TColor color_;
    bool parentColor_ = false;
    // The colour is still the default one, the system's button face.
    bool systemColor_ = true;
    TBiDiMode bidiMode_ = bdLeftToRight;
    bool parentBiDiMode_ = true;
    int autoHintPanelIndex_ = 0;
    TImageList* images_ = nullptr;
    // Repaints the bar when the image list's images change.
    TChangeLink imageChangeLink_;
    TPopupMenu* popupMenu_ = nullptr;
    TStatusPanelPro* hotPanel_ = nullptr;
    int dpi_ = kDesignDpi;
    // The image lists and menus that tell the bar when they go.
    std::vector<TComponent*> watched_;
};
