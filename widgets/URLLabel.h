#pragma once
// A text label that stands for a link: a web page, a mail address, a file or
// an FTP location. Everything here is the label's behaviour without a window:
// what the link is, what the caption and hint show, whether the label counts
// as a live link (and so which font and cursor it asks for), and what a click
// hands to the shell. The Win32 control (widgets/win32/URLLabelWin32.cpp)
// realises it and answers the change notifications below.
#include <functional>
#include <string>

#include "platform/Registry.h"
#include "platform/Shell.h"
#include "toolkit/Controls.h"
#include "widgets/PropertyTypes.h"

enum class TURLLabelType { Auto, Passive, Link };
enum TURLLinkType { lthttp, ltmailto, ltfile, ltftp };

// The scheme prefix of a link type: "http://", "mailto:", "file://", "ftp://".
const char* LinkPrefix(TURLLinkType type);

// A colour taken from the system's scheme when drawn: the high byte marks it,
// the low byte is the system colour's index (8: window text).
inline constexpr TColor kSysWindowText = 0xFF000008;
inline constexpr TColor kSysWindow = 0xFF000005;
inline constexpr TColor kLinkBlue = RGBColor(0, 0, 255);

// A font as the label keeps it; the control makes the system's font from it.
struct TLabelFont {
    std::string Name = "MS Sans Serif";
    int Height = -11;  // negative: character height in pixels
    TColor Color = kSysWindowText;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    bool operator==(const TLabelFont&) const = default;
};

// The cursor the label asks for: the default one, or the program's pointing
// hand (cursor resource 8888).
inline constexpr int crDefaultCursor = 0;
inline constexpr int crHandPoint = 8888;

// Where an auto-sized label goes once its text measures width x height: it
// takes that size, and a right-aligned one keeps its right edge.
TRect AutoSizedLabelBounds(const TRect& bounds, int width, int height, TAlignment alignment);
// Where an aligned label goes in its parent's client area: along its edge,
// across the whole area; alClient fills it, alNone leaves the label be.
TRect AlignedLabelBounds(TAlign align, const TRect& parentClient, const TRect& bounds);

// Stand-ins for a link that has not been given yet; a label that changes its
// link type swaps one for the other.
inline constexpr char kPlaceholderWebAddress[] = "www.example.com";
inline constexpr char kPlaceholderMailAddress[] = "someone@example.org";

class TURLLabel : private TFreeNotifiable {
public:
    // font: the label's own font at creation (its parent's).
    TURLLabel(platform::Registry& registry, platform::Shell& shell, TLabelFont font = {});
    virtual ~TURLLabel();
    TURLLabel(const TURLLabel&) = delete;
    TURLLabel& operator=(const TURLLabel&) = delete;

    const TLabelFont& LinkFont() const { return linkFont_; }
    void SetLinkFont(const TLabelFont& font) { linkFont_ = font; }
    const TLabelFont& PassiveFont() const { return passiveFont_; }
    void SetPassiveFont(const TLabelFont& font) { passiveFont_ = font; }

    const std::string& URL() const { return url_; }
    void SetURL(const std::string& value);
    bool ShowPrefix() const { return showPrefix_; }
    void SetShowPrefix(bool value);
    TURLLabelType LabelType() const { return labelType_; }
    void SetLabelType(TURLLabelType value);
    TURLLinkType LinkType() const { return linkType_; }
    void SetLinkType(TURLLinkType value);
    bool URLAsHint() const { return urlAsHint_; }
    void SetURLAsHint(bool value);
    const std::string& Caption() const { return caption_; }
    // An explicit caption stays: later link changes no longer replace it.
    void SetCaption(const std::string& value);

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    // The control takes the size of its caption in its font.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    // The background while the label is not transparent.
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    // The edge of the parent the label stands along, across the parent.
    TAlign Align() const { return align_; }
    void SetAlign(TAlign value);
    // Where the caption stands in the label.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    // The caption breaks into lines at the label's width.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    // A disabled label shows its caption greyed and takes no mouse action.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    // The menu a right click shows; forgotten when it goes.
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);

    // Whether the label counts as a live link, and what it looks like for it.
    bool IsLive() const;
    const TLabelFont& Font() const { return font_; }
    int Cursor() const { return cursor_; }
    // The text the link last showed (with its prefix when ShowPrefix is on).
    const std::string& LinkText() const { return linkText_; }
    // The full target a click opens: the prefix of the link type and URL,
    // or URL alone when it kept its own "ftp://" or "file://".
    std::string Target() const;

    // A click on the label: OnClick first, then a live label asks the shell
    // to open its target. A launch the shell refuses is reported.
    void Click();
    std::function<void()> OnClick;
    // The window system's mouse actions, in the label's client coordinates;
    // none reaches a disabled label.
    void DblClick();
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    std::function<void()> OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    // The menu a right click shows: none while disabled.
    TPopupMenu* ContextMenu() const { return enabled_ ? popupMenu_ : nullptr; }

protected:
    // The control repaints and is placed anew: caption, font, colour,
    // transparency, sizing, alignment, wrapping or the enabled state changed.
    virtual void Changed() {}
    // The hint changed.
    virtual void HintChanged() {}
    // Tells the user that the link could not be opened.
    virtual void ShowLaunchFailure(const std::string& message) { (void)message; }

private:
    void ComponentFreed(TComponent* component) override;
    void CheckAvailability();
    void RefreshFont();
    void RefreshCaption();
    void RefreshHint();
    // The shell's open command of a file extension (with its dot), or "".
    std::string HandlerOf(const std::string& extension);
    std::string DefaultValue(platform::RegKey parent, const std::string& path);

    platform::Registry& registry_;
    platform::Shell& shell_;
    TLabelFont font_;
    TLabelFont linkFont_;
    TLabelFont passiveFont_;
    std::string url_;
    std::string linkText_;
    std::string caption_;
    std::string hint_;
    bool showPrefix_ = false;
    bool captionSet_ = false;
    TURLLabelType labelType_ = TURLLabelType::Auto;
    TURLLinkType linkType_ = lthttp;
    bool linkAvailable_ = false;
    bool urlAsHint_ = false;
    bool transparent_ = false;
    bool autoSize_ = true;
    int cursor_ = crDefaultCursor;
    TColor color_ = kSysWindow;
    TAlign align_ = alNone;
    TAlignment alignment_ = taLeftJustify;
    bool wordWrap_ = false;
    bool enabled_ = true;
    TPopupMenu* popupMenu_ = nullptr;
};
