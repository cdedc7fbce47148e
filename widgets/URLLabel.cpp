#include "widgets/URLLabel.h"

#include <algorithm>
#include <cctype>

#include "platform/Text.h"

namespace {

// A string value's text up to its first terminator, never past the bytes the
// registry returned.
std::string StringValue(const platform::RegValue& value) {
    if (value.status != 0 || (value.type != platform::kRegSz && value.type != platform::kRegExpandSz))
        return {};
    std::u16string text;
    for (std::size_t i = 0; i + 1 < value.bytes.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(static_cast<unsigned char>(value.bytes[i]) |
                                                 (static_cast<unsigned char>(value.bytes[i + 1]) << 8));
        if (c == 0) break;
        text += c;
    }
    return platform::Utf16ToUtf8(text);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

}  // namespace

TRect AutoSizedLabelBounds(const TRect& bounds, int width, int height, TAlignment alignment) {
    const int left = alignment == taRightJustify ? bounds.Right - width : bounds.Left;
    return {left, bounds.Top, left + width, bounds.Top + height};
}

TRect AlignedLabelBounds(TAlign align, const TRect& c, const TRect& b) {
    switch (align) {
        case alTop: return {c.Left, c.Top, c.Right, c.Top + b.Height()};
        case alBottom: return {c.Left, c.Bottom - b.Height(), c.Right, c.Bottom};
        case alLeft: return {c.Left, c.Top, c.Left + b.Width(), c.Bottom};
        case alRight: return {c.Right - b.Width(), c.Top, c.Right, c.Bottom};
        case alClient: return c;
        case alNone: break;
    }
    return b;
}

const char* LinkPrefix(TURLLinkType type) {
    switch (type) {
        case lthttp: return "http://";
        case ltmailto: return "mailto:";
        case ltfile: return "file://";
        case ltftp: return "ftp://";
    }
    return "";
}

TURLLabel::TURLLabel(platform::Registry& registry, platform::Shell& shell, TLabelFont font)
    : registry_(registry), shell_(shell), font_(std::move(font)) {
    CheckAvailability();
    linkFont_ = font_;
    linkFont_.Color = kLinkBlue;
    linkFont_.Underline = true;
    passiveFont_ = font_;
    SetURL(kPlaceholderWebAddress);
    RefreshFont();
    // The hint follows the link text from its next change on.
    urlAsHint_ = true;
}

TURLLabel::~TURLLabel() {
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
}

void TURLLabel::SetURL(const std::string& value) {
    if (value == url_) return;
    // The link type follows the address; one holding both "@" and "/" is a
    // web address. Neither the availability nor the font follows here.
    if (value.find('@') != std::string::npos) linkType_ = ltmailto;
    if (value.find('/') != std::string::npos) linkType_ = lthttp;
    // Only the two prefixes a click puts back are taken off; "ftp://" and
    // "file://" stay part of the address.
    if (StartsWithNoCase(value, "mailto:") || StartsWithNoCase(value, "http://"))
        url_ = value.substr(7);
    else
        url_ = value;
    RefreshCaption();
}

void TURLLabel::SetShowPrefix(bool value) {
    showPrefix_ = value;
    RefreshCaption();
}

void TURLLabel::SetLabelType(TURLLabelType value) {
    if (value == labelType_) return;
    labelType_ = value;
    RefreshFont();
}

void TURLLabel::SetLinkType(TURLLinkType value) {
    if (value == linkType_) return;
    linkType_ = value;
    CheckAvailability();
    if (linkType_ == lthttp && url_ == kPlaceholderMailAddress) url_ = kPlaceholderWebAddress;
    if (linkType_ == ltmailto && url_ == kPlaceholderWebAddress) url_ = kPlaceholderMailAddress;
    RefreshCaption();
}

void TURLLabel::SetURLAsHint(bool value) {
    if (value == urlAsHint_) return;
    urlAsHint_ = value;
    RefreshHint();
}

void TURLLabel::SetCaption(const std::string& value) {
    captionSet_ = true;
    if (value == caption_) return;
    caption_ = value;
    Changed();
}

void TURLLabel::SetHint(const std::string& value) {
    if (value == hint_) return;
    hint_ = value;
    HintChanged();
}

void TURLLabel::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Changed();
}

void TURLLabel::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    Changed();
}

void TURLLabel::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    Changed();
}

void TURLLabel::SetAlign(TAlign value) {
    if (value == align_) return;
    align_ = value;
    Changed();
}

void TURLLabel::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    Changed();
}

void TURLLabel::SetWordWrap(bool value) {
    if (value == wordWrap_) return;
    wordWrap_ = value;
    Changed();
}

void TURLLabel::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    Changed();
}

void TURLLabel::SetPopupMenu(TPopupMenu* menu) {
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = menu;
    if (menu) menu->FreeNotification(this);
}

void TURLLabel::ComponentFreed(TComponent* component) {
    if (component == popupMenu_) popupMenu_ = nullptr;
}

bool TURLLabel::IsLive() const {
    return labelType_ == TURLLabelType::Link || (labelType_ == TURLLabelType::Auto && linkAvailable_);
}

std::string TURLLabel::Target() const {
    // An address that kept its own scheme ("ftp://", "file://") is complete;
    // putting "http://" in front of it would name no place at all.
    if (StartsWithNoCase(url_, "ftp://") || StartsWithNoCase(url_, "file://")) return url_;
    return LinkPrefix(linkType_) + url_;
}

void TURLLabel::Click() {
    if (!enabled_) return;
    if (OnClick) OnClick();
    if (!IsLive()) return;
    const std::string target = Target();
    if (!shell_.Open(target)) ShowLaunchFailure("The link could not be opened:\r\n" + target);
}

void TURLLabel::DblClick() {
    if (enabled_ && OnDblClick) OnDblClick();
}

void TURLLabel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (enabled_ && OnMouseDown) OnMouseDown(button, shift, x, y);
}

void TURLLabel::MouseMove(TShiftState shift, int x, int y) {
    if (enabled_ && OnMouseMove) OnMouseMove(shift, x, y);
}

void TURLLabel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (enabled_ && OnMouseUp) OnMouseUp(button, shift, x, y);
}

void TURLLabel::CheckAvailability() {
    switch (linkType_) {
        case lthttp:
            linkAvailable_ = !HandlerOf(".html").empty() && !HandlerOf(".htm").empty();
            break;
        case ltmailto:
            linkAvailable_ = shell_.LibraryLoads("MAPI32.DLL");
            break;
        case ltfile:
        case ltftp:
            break;
    }
}

void TURLLabel::RefreshFont() {
    const bool live = IsLive();
    font_ = live ? linkFont_ : passiveFont_;
    cursor_ = live ? crHandPoint : crDefaultCursor;
    Changed();
}

void TURLLabel::RefreshCaption() {
    const std::string text = showPrefix_ ? Target() : url_;
    if (!captionSet_ && text != caption_) {
        caption_ = text;
        Changed();
    }
    linkText_ = text;
    RefreshHint();
}

void TURLLabel::RefreshHint() { SetHint(urlAsHint_ ? linkText_ : std::string()); }

std::string TURLLabel::HandlerOf(const std::string& extension) {
    // Reading is all the lookup needs; an ordinary user may not open these
    // keys for more, and would see every link passive.
    platform::RegistryKey key(registry_);
    if (key.Open(platform::kHKeyClassesRoot, extension, platform::kKeyRead) != 0) return {};
    const std::string fileType = StringValue(registry_.QueryValue(key.Get(), ""));
    key.Reset();
    return DefaultValue(platform::kHKeyClassesRoot,
                        (fileType.empty() ? extension : fileType) + "\\shell\\open\\command");
}

std::string TURLLabel::DefaultValue(platform::RegKey parent, const std::string& path) {
    platform::RegistryKey key(registry_);
    if (key.Open(parent, path, platform::kKeyRead) != 0) return {};
    return StringValue(registry_.QueryValue(key.Get(), ""));
}
