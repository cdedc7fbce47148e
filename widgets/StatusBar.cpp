#include "widgets/StatusBar.h"

#include <algorithm>
#include <stdexcept>

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

TAlignment Mirrored(TAlignment a) {
    if (a == taLeftJustify) return taRightJustify;
    if (a == taRightJustify) return taLeftJustify;
    return a;
}

}  // namespace

// ---------------------------------------------------------------- free rules

TPanelContentPlacement PlacePanelContent(const TRect& rect, TAlignment alignment, bool rtlReading,
                                         int indent, int imageWidth, int imageHeight,
                                         int textWidth, int panelTextWidth, int textHeight,
                                         bool hasText, int dpi) {
    // The edge's margin, the indent and the gap beside the image are given
    // at 96 DPI.
    const int margin = ScaleForDpi(1, dpi) + ScaleForDpi(indent, dpi);
    const int gap = ScaleForDpi(2, dpi);
    TPanelContentPlacement p;
    int x = 0;
    switch (alignment) {
        case taLeftJustify:
            x = rect.Left + margin;
            break;
        case taRightJustify:
            x = rect.Right - imageWidth - margin;
            break;
        case taCenter:
            x = rtlReading ? rect.Left + (textWidth + imageWidth + rect.Width()) / 2 - imageWidth
                           : rect.Left + (rect.Width() - (textWidth + imageWidth)) / 2;
            break;
    }
    const bool imageRightOfText =
        alignment == taRightJustify || (alignment == taCenter && rtlReading);
    if (imageWidth > 0) {
        p.HasImage = true;
        p.ImageX = x;
        p.ImageY = rect.Top + (rect.Height() - imageHeight) / 2;
        x = imageRightOfText ? x - gap : x + imageWidth + gap;
    }
    if (!hasText) return p;
    if (imageRightOfText) x -= panelTextWidth;
    p.HasText = true;
    p.TextX = x;
    p.TextY = rect.Top + (rect.Height() - textHeight) / 2;
    return p;
}

void AddHistoryLine(TStringList& lines, const std::string& text) {
    while (lines.size() > kMaxHistoryLines - 1) lines.erase(lines.begin());
    if (!lines.empty() && (StartsWith(text, lines.back()) || StartsWith(lines.back(), text)))
        lines.back() = text;
    else
        lines.push_back(text);
}

// ---------------------------------------------------------------- TStatusPanelPro

TStatusPanelPro::TStatusPanelPro(TStatusBarPro* bar) : bar_(bar), color_(bar->btnFace_) {
    bidiMode_ = bar->BiDiMode();
    color_ = bar->Color();
    font_ = bar->Font();
}

TStatusPanelPro::~TStatusPanelPro() {
    if (control_) control_->RemoveFreeNotification(this);
}

void TStatusPanelPro::Assign(const TStatusPanelPro& s) {
    if (&s == this) return;
    SetText(s.text_);
    SetAutoSize(s.autoSize_);
    SetAutoWidth(s.autoWidth_);
    SetMinWidth(s.minWidth_);
    SetMaxWidth(s.maxWidth_);
    SetWidth(s.width_);
    SetColor(s.color_);
    SetParentColor(s.parentColor_);
    SetAlignment(s.alignment_);
    SetBevel(s.bevel_);
    SetBiDiMode(s.bidiMode_);
    SetParentBiDiMode(s.parentBiDiMode_);
    SetFont(s.font_);
    SetParentFont(s.parentFont_);
    SetStyle(s.style_);
    SetHint(s.hint_);
    SetHistory(s.history_);
    SetImageIndex(s.imageIndex_);
    SetPopupMenu(s.popupMenu_);
    OnClick = s.OnClick;
    OnDblClick = s.OnDblClick;
}

std::string TStatusPanelPro::DisplayName() const {
    return text_.empty() ? "TStatusPanelPro" : text_;
}

int TStatusPanelPro::Index() const { return bar_ ? bar_->panels_.IndexOf(this) : -1; }

void TStatusPanelPro::Changed(bool allPanels) {
    updateNeeded_ = true;
    if (!bar_) return;
    const int index = Index();
    if (index < 0) return;  // still joining its collection
    if (allPanels)
        bar_->UpdatePanels(true, false);
    else
        bar_->UpdatePanel(index, false);
}

int TStatusPanelPro::BoundedWidth(int w) const { return std::max(minWidth_, std::min(w, maxWidth_)); }

void TStatusPanelPro::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    Changed(false);
}

void TStatusPanelPro::SetAutoSize(bool value) {
    if (autoSize_ == value) return;
    autoSize_ = value;
    if (value) {
        autoWidth_ = false;
        Changed(true);
    } else if (BoundedWidth(width_) != width_) {
        width_ = BoundedWidth(width_);
        Changed(true);
    }
}

void TStatusPanelPro::SetAutoWidth(bool value) {
    if (autoWidth_ == value) return;
    autoWidth_ = value;
    if (value) {
        autoSize_ = false;
        Changed(true);
    }
}

void TStatusPanelPro::SetBevel(TStatusPanelBevel value) {
    if (bevel_ == value) return;
    bevel_ = value;
    Changed(false);
}

void TStatusPanelPro::SetBiDiMode(TBiDiMode value) {
    parentBiDiMode_ = false;
    if (bidiMode_ == value) return;
    bidiMode_ = value;
    Changed(false);
}

void TStatusPanelPro::SetParentBiDiMode(bool value) {
    parentBiDiMode_ = value;
    if (value && bar_ && bidiMode_ != bar_->BiDiMode()) {
        bidiMode_ = bar_->BiDiMode();
        Changed(false);
    }
}

void TStatusPanelPro::SetColor(TColor value) {
    parentColor_ = false;
    if (color_ == value) return;
    color_ = value;
    Changed(false);
}

void TStatusPanelPro::SetParentColor(bool value) {
    parentColor_ = value;
    if (value && bar_ && color_ != bar_->Color()) {
        color_ = bar_->Color();
        Changed(false);
    }
}

void TStatusPanelPro::SetFont(const TFont& value) {
    parentFont_ = false;
    if (font_ == value) return;
    font_ = value;
    Changed(autoWidth_);
}

void TStatusPanelPro::SetParentFont(bool value) {
    parentFont_ = value;
    if (value && bar_ && !(font_ == bar_->Font())) {
        font_ = bar_->Font();
        Changed(autoWidth_);
    }
}

void TStatusPanelPro::SetHint(const std::string& value) {
    if (hint_ == value) return;
    hint_ = value;
    Changed(false);
}

void TStatusPanelPro::SetImageIndex(int value) {
    if (imageIndex_ == value) return;
    imageIndex_ = value;
    Changed(autoWidth_);
}

void TStatusPanelPro::SetIndent(int value) {
    if (indent_ == value) return;
    indent_ = value;
    Changed(autoWidth_);
}

void TStatusPanelPro::SetMaxWidth(int value) {
    maxWidth_ = value;
    if (!autoSize_ && width_ > value) {
        width_ = value;
        Changed(true);
    } else if (autoWidth_) {
        Changed(true);
    }
}

void TStatusPanelPro::SetMinWidth(int value) {
    minWidth_ = value;
    if (!autoSize_ && width_ < value) {
        width_ = value;
        Changed(true);
    } else if (autoWidth_) {
        Changed(true);
    }
}

void TStatusPanelPro::SetStyle(TStatusPanelStyle value) {
    if (style_ == value) return;
    style_ = value;
    Changed(false);
}

void TStatusPanelPro::SetText(const std::string& value) {
    if (history_ && !value.empty()) AddHistoryLine(historylines_, value);
    if (text_ == value) return;
    text_ = value;
    Changed(autoWidth_);
}

void TStatusPanelPro::SetWidth(int value) {
    if (autoSize_ || autoWidth_) return;
    value = BoundedWidth(value);
    if (width_ == value) return;
    width_ = value;
    Changed(true);
}

void TStatusPanelPro::SetPopupMenu(TPopupMenu* value) {
    popupMenu_ = value;
    // The bar forgets the menu for every panel when it goes.
    if (value && bar_) bar_->Watch(value);
}

void TStatusPanelPro::SetControl(TControl* value) {
    if (control_ == value) return;
    if (control_) control_->RemoveFreeNotification(this);
    control_ = value;
    if (!bar_ || !value) return;
    bar_->RemoveControlFromOthers(value, this);
    value->FreeNotification(this);
    bar_->AdoptControl(*value);
    UpdateControl();
}

void TStatusPanelPro::ComponentFreed(TComponent* component) {
    if (component == control_) control_ = nullptr;
}

bool TStatusPanelPro::UseRightToLeftReading() const {
    return bar_ && bar_->SysLocaleRightToLeft() && bidiMode_ != bdLeftToRight;
}

bool TStatusPanelPro::UseRightToLeftAlignment() const {
    return bar_ && bar_->SysLocaleRightToLeft() && bidiMode_ == bdRightToLeft;
}

void TStatusPanelPro::UpdateControl() {
    if (!control_ || !bar_ || !bar_->HandleAllocated()) return;
    const int index = Index();
    if (bar_->SimplePanel() || index >= kMaxLaidOutPanels) {
        control_->SetBoundsRect({});
        return;
    }
    TRect r = bar_->PanelRect(index);
    int spacing = 0, vertical = 0;
    bar_->Borders(spacing, vertical);
    r.Left += spacing / 2;
    r.Right -= spacing / 2;
    r.Top += vertical / 2;
    r.Bottom -= vertical / 2;
    control_->SetBoundsRect(r);
}

// ---------------------------------------------------------------- TStatusPanelsPro

TStatusPanelPro& TStatusPanelsPro::Add() {
    items_.push_back(std::make_unique<TStatusPanelPro>(&bar_));
    bar_.UpdatePanels(true, false);
    return *items_.back();
}

int TStatusPanelsPro::IndexOf(const TStatusPanelPro* panel) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == panel) return static_cast<int>(i);
    return -1;
}

void TStatusPanelsPro::Delete(int index) {
    // An index outside the list is the list's index error, as for Items.
    if (index < 0 || index >= Count())
        throw std::out_of_range("Panel index " + std::to_string(index) + " is out of range");
    const auto at = items_.begin() + index;
    if (bar_.hotPanel_ == at->get()) bar_.hotPanel_ = nullptr;
    items_.erase(at);
    bar_.UpdatePanels(true, false);
}

void TStatusPanelsPro::Clear() {
    bar_.hotPanel_ = nullptr;
    items_.clear();
    bar_.UpdatePanels(true, false);
}

void TStatusPanelsPro::Assign(const TStatusPanelsPro& source) {
    if (&source == this) return;
    bar_.hotPanel_ = nullptr;
    items_.clear();
    for (const auto& p : source.items_) {
        items_.push_back(std::make_unique<TStatusPanelPro>(&bar_));
        items_.back()->Assign(*p);
    }
    bar_.UpdatePanels(true, false);
}

// ---------------------------------------------------------------- TStatusBarPro

TStatusBarPro::TStatusBarPro(TColor btnFace) : btnFace_(btnFace), panels_(*this), color_(btnFace) {
    imageChangeLink_.OnChange = [this] { ImagesChanged(); };
}

TStatusBarPro::~TStatusBarPro() {
    hotPanel_ = nullptr;
    for (TComponent* c : watched_) c->RemoveFreeNotification(this);
}

void TStatusBarPro::Watch(TComponent* component) {
    if (std::find(watched_.begin(), watched_.end(), component) != watched_.end()) return;
    watched_.push_back(component);
    component->FreeNotification(this);
}

void TStatusBarPro::SetPopupMenu(TPopupMenu* menu) {
    popupMenu_ = menu;
    if (menu) Watch(menu);
}

void TStatusBarPro::ComponentFreed(TComponent* component) {
    watched_.erase(std::remove(watched_.begin(), watched_.end(), component), watched_.end());
    if (component == images_) {
        images_ = nullptr;
        ImagesChanged();
    }
    if (component == popupMenu_) popupMenu_ = nullptr;
    for (int i = 0; i < panels_.Count(); ++i)
        if (panels_[i].popupMenu_ == component) panels_[i].popupMenu_ = nullptr;
}

void TStatusBarPro::SetPanels(const TStatusPanelsPro& panels) { panels_.Assign(panels); }

bool TStatusBarPro::UseRightToLeftReading() const {
    return SysLocaleRightToLeft() && bidiMode_ != bdLeftToRight;
}

bool TStatusBarPro::UseRightToLeftAlignment() const {
    return SysLocaleRightToLeft() && bidiMode_ == bdRightToLeft;
}

bool TStatusBarPro::ShowsSizeGrip() const { return sizeGrip_ && ParentIsSizeableForm(); }

void TStatusBarPro::SetSimpleText(const std::string& text) {
    if (text == simpleText_) return;
    simpleText_ = text;
    UpdateSimpleText();
}

void TStatusBarPro::UpdateSimpleText() {
    if (!HandleAllocated()) return;
    // Two tabs right-align the text in the platform control; they go to the
    // control only, so SimpleText reads back as it was written.
    const std::string shown = UseRightToLeftAlignment() ? "\t\t" + simpleText_ : simpleText_;
    SendSimpleText(shown, kSimplePart | (UseRightToLeftReading() ? kSbtRtlReading : 0));
}

void TStatusBarPro::SetSimplePanel(bool value) {
    if (simplePanel_ == value) return;
    simplePanel_ = value;
    if (!HandleAllocated()) return;
    SendSimple(value);
    for (int i = 0; i < panels_.Count(); ++i) panels_[i].UpdateControl();
}

void TStatusBarPro::SetSizeGrip(bool value) {
    if (sizeGrip_ == value) return;
    sizeGrip_ = value;
    if (HandleAllocated()) RecreateWnd();
}

void TStatusBarPro::ApplyColor(TColor color) {
    color_ = color;
    if (HandleAllocated()) ColorChanged();
    for (int i = 0; i < panels_.Count(); ++i) {
        TStatusPanelPro& p = panels_[i];
        if (p.parentColor_ && p.color_ != color) {
            p.color_ = color;
            p.Changed(false);
        }
    }
}

void TStatusBarPro::SetColor(TColor color) {
    parentColor_ = false;
    systemColor_ = false;
    ApplyColor(color);
}

void TStatusBarPro::SetParentColor(bool parentColor) {
    parentColor_ = parentColor;
    if (!parentColor) return;
    systemColor_ = false;
    ApplyColor(ParentColorValue());
}

void TStatusBarPro::SystemColorsChanged(TColor btnFace) {
    btnFace_ = btnFace;
    if (parentColor_)
        ApplyColor(ParentColorValue());
    else if (systemColor_)
        ApplyColor(btnFace);
}

void TStatusBarPro::ApplyFont(const TFont& font) {
    font_ = font;
    if (HandleAllocated()) FontChanged();
    for (int i = 0; i < panels_.Count(); ++i)
        if (panels_[i].parentFont_) {
            panels_[i].font_ = font;
            panels_[i].Changed(panels_[i].autoWidth_);
        }
}

void TStatusBarPro::SetFont(const TFont& font) {
    parentFont_ = false;
    ApplyFont(font);
}

void TStatusBarPro::SetParentFont(bool value) {
    if (parentFont_ == value) return;
    parentFont_ = value;
    if (value) ParentFontChanged();
}

void TStatusBarPro::ParentFontChanged() {
    if (!parentFont_) return;
    // Following the form's font ends following the system's.
    useSystemFont_ = false;
    ApplyFont(ParentFontValue());
}

void TStatusBarPro::SetUseSystemFont(bool value) {
    useSystemFont_ = value;
    if (value) {
        parentFont_ = false;
        SyncToSystemFont();
    }
}

void TStatusBarPro::SyncToSystemFont() {
    if (useSystemFont_) SetFont(SystemStatusFont());
}

void TStatusBarPro::SetDpi(int dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    SyncToSystemFont();
    if (!HandleAllocated()) return;
    UpdatePanels(true, false);
    Invalidate();
}

void TStatusBarPro::SettingChanged(unsigned code) {
    constexpr unsigned kSpiSetNonClientMetrics = 42;
    if (code == 0 || code == kSpiSetNonClientMetrics) SyncToSystemFont();
}

void TStatusBarPro::SetBiDiMode(TBiDiMode value) {
    parentBiDiMode_ = false;
    ApplyBiDiMode(value);
}

void TStatusBarPro::SetParentBiDiMode(bool value) {
    if (parentBiDiMode_ == value) return;
    parentBiDiMode_ = value;
    if (value) ApplyBiDiMode(ParentBiDiModeValue());
}

void TStatusBarPro::ParentBiDiModeChanged(TBiDiMode mode) {
    if (parentBiDiMode_) ApplyBiDiMode(mode);
}

void TStatusBarPro::ApplyBiDiMode(TBiDiMode value) {
    if (bidiMode_ == value) return;
    bidiMode_ = value;
    for (int i = 0; i < panels_.Count(); ++i)
        if (panels_[i].parentBiDiMode_) panels_[i].bidiMode_ = value;
    if (!HandleAllocated()) return;
    if (simplePanel_)
        UpdateSimpleText();
    else
        UpdatePanels(false, false);
}

void TStatusBarPro::SetAutoHintPanelIndex(int value) {
    if (value >= 0 && value < panels_.Count()) autoHintPanelIndex_ = value;
}

void TStatusBarPro::SetImages(TImageList* images) {
    if (images_) images_->UnRegisterChanges(&imageChangeLink_);
    images_ = images;
    if (images) {
        Watch(images);
        images->RegisterChanges(&imageChangeLink_);
    }
    ImagesChanged();
}

void TStatusBarPro::ImagesChanged() {
    if (!HandleAllocated()) return;
    UpdatePanels(true, false);
    Invalidate();
}

int TStatusBarPro::ImageWidthFor(const TStatusPanelPro& panel) const {
    if (images_ && panel.imageIndex_ >= 0 && panel.imageIndex_ < images_->Count())
        return images_->Width();
    return 0;
}

std::vector<int> TStatusBarPro::PanelWidths(int clientWidth) {
    const int count = std::min(panels_.Count(), kMaxLaidOutPanels);
    int free = clientWidth - (ShowsSizeGrip() ? SizeGripWidth() : 0);
    int autoSized = 0;
    for (int i = 0; i < count; ++i) {
        TStatusPanelPro& p = panels_[i];
        if (p.autoSize_) {
            ++autoSized;
            continue;
        }
        if (p.autoWidth_) {
            const auto s = [this](int value) { return ScaleForDpi(value, dpi_); };
            int w = TextWidth(p.font_, p.text_) + (s(p.indent_) + s(1)) * 2;
            if (const int image = ImageWidthFor(p); image > 0) w += image + s(2);
            p.width_ = p.BoundedWidth(w);
        }
        free -= p.width_;
    }
    if (autoSized > 0) {
        const int share = std::max(0, free / autoSized);
        for (int i = 0; i < count; ++i)
            if (panels_[i].autoSize_) panels_[i].width_ = share;
    }
    std::vector<int> widths;
    for (int i = 0; i < count; ++i) widths.push_back(panels_[i].width_);
    return widths;
}

void TStatusBarPro::UpdatePanels(bool newRects, bool sendTexts) {
    if (HandleAllocated()) {
        const int count = std::min(panels_.Count(), kMaxLaidOutPanels);
        if (newRects) {
            if (count > 0) {
                const std::vector<int> widths = PanelWidths(ClientWidth());
                std::vector<int> edges;
                int edge = 0;
                for (int i = 0; i < count - 1; ++i) edges.push_back(edge += widths[i]);
                edges.push_back(-1);
                SendParts(edges);
            } else {
                SendParts({-1});
                SendPanelText(0, 0, "");
            }
        }
        for (int i = 0; i < count; ++i) UpdatePanel(i, sendTexts);
    }
    if (autoHintPanelIndex_ >= panels_.Count()) autoHintPanelIndex_ = 0;
}

void TStatusBarPro::UpdatePanel(int index, bool sendText) {
    TStatusPanelPro& p = panels_[index];
    if (!sendText) {
        p.updateNeeded_ = true;
        if (HandleAllocated() && index < kMaxLaidOutPanels) InvalidatePanel(index);
        return;
    }
    if (!p.updateNeeded_ || !HandleAllocated() || index >= kMaxLaidOutPanels) return;
    p.updateNeeded_ = false;
    unsigned flags = p.bevel_ == pbNone ? kSbtNoBorders : p.bevel_ == pbRaised ? kSbtPopOut : 0;
    if (p.UseRightToLeftReading()) flags |= kSbtRtlReading;
    flags |= kSbtOwnerDraw;
    const TAlignment a = p.UseRightToLeftAlignment() ? Mirrored(p.alignment_) : p.alignment_;
    const std::string tabs = a == taCenter ? "\t" : a == taRightJustify ? "\t\t" : "";
    SendPanelText(index, flags, tabs + p.text_);
    p.UpdateControl();
}

void TStatusBarPro::RemoveControlFromOthers(TControl* control, const TStatusPanelPro* keeper) {
    for (int i = panels_.Count() - 1; i >= 0; --i) {
        TStatusPanelPro& p = panels_[i];
        if (&p != keeper && p.control_ == control) {
            control->RemoveFreeNotification(&p);
            p.control_ = nullptr;
        }
    }
}

void TStatusBarPro::DrawItem(int index, TRect rect) {
    if (index < 0 || index >= std::min(panels_.Count(), kMaxLaidOutPanels)) return;
    if (ShowsSizeGrip() && index == std::min(panels_.Count(), kMaxLaidOutPanels) - 1)
        rect.Right -= SizeGripWidth();
    DrawPanel(panels_[index], rect);
}

void TStatusBarPro::DrawPanel(TStatusPanelPro& panel, const TRect& rect) {
    if (panel.style_ == psOwnerDraw && OnDrawPanel) {
        OnDrawPanel(*this, panel, rect);
        return;
    }
    const bool rtl = panel.UseRightToLeftReading();
    const TAlignment a = panel.UseRightToLeftAlignment() ? Mirrored(panel.alignment_)
                                                         : panel.alignment_;
    const int imageWidth = ImageWidthFor(panel);
    const int imageHeight = imageWidth > 0 ? images_->Height() : 0;
    const auto placement = PlacePanelContent(
        rect, a, rtl, panel.indent_, imageWidth, imageHeight, TextWidth(font_, panel.text_),
        TextWidth(panel.font_, panel.text_), TextHeight(panel.font_), !panel.text_.empty(), dpi_);
    PaintPanel(panel, rect, placement);
}

TStatusPanelPro* TStatusBarPro::PanelAt(int x, int y) const {
    if (simplePanel_ || !HandleAllocated()) return nullptr;
    const int count = std::min(panels_.Count(), kMaxLaidOutPanels);
    for (int i = 0; i < count; ++i) {
        const TRect r = PanelRect(i);
        if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return &panels_[i];
    }
    return nullptr;
}

void TStatusBarPro::MouseDown(int x, int y) { hotPanel_ = PanelAt(x, y); }

void TStatusBarPro::MouseMove(int x, int y) {
    if (!ShowHint) return;
    TStatusPanelPro* p = PanelAt(x, y);
    if (p == hotPanel_) return;
    hotPanel_ = p;
    CancelHint();
}

void TStatusBarPro::Click() {
    if (hotPanel_ && hotPanel_->OnClick)
        hotPanel_->OnClick(hotPanel_);
    else if (OnClick)
        OnClick(this);
}

void TStatusBarPro::DblClick() {
    if (hotPanel_ && hotPanel_->OnDblClick)
        hotPanel_->OnDblClick(hotPanel_);
    else if (OnDblClick)
        OnDblClick(this);
}

TPopupMenu* TStatusBarPro::ContextMenu() const {
    if (hotPanel_ && hotPanel_->popupMenu_) {
        hotPanel_->popupMenu_->BiDiMode = hotPanel_->bidiMode_;
        return hotPanel_->popupMenu_;
    }
    return popupMenu_;
}

const std::string& TStatusBarPro::CurrentHint() const {
    if (hotPanel_ && !hotPanel_->hint_.empty()) return hotPanel_->hint_;
    return Hint;
}

bool TStatusBarPro::DoHint() {
    if (!OnHint) return false;
    OnHint(this);
    return true;
}

bool TStatusBarPro::ShowApplicationHint(const std::string& hint) {
    if (!AutoHint || DoHint()) return false;
    std::string text;
    for (std::size_t i = 0; i < hint.size(); ++i) {
        if (hint[i] == '\r' && i + 1 < hint.size() && hint[i + 1] == '\n') {
            text += ' ';
            ++i;
        } else {
            text += hint[i];
        }
    }
    if (!simplePanel_ && panels_.Count() > 0)
        panels_[autoHintPanelIndex_].SetText(text);
    else
        SetSimpleText(text);
    return true;
}

void TStatusBarPro::FlipChildren() {
    if (!HandleAllocated() || simplePanel_ || panels_.Count() == 0) return;
    auto& items = panels_.items_;
    int lastWidth = ClientWidth();
    for (std::size_t i = 0; i + 1 < items.size(); ++i) lastWidth -= items[i]->width_;
    const int firstWidth = items.front()->width_;
    std::reverse(items.begin(), items.end());
    if (items.size() > 1) {
        items.back()->width_ = firstWidth;
        items.front()->width_ = lastWidth;
    }
    for (auto& p : items) p->updateNeeded_ = true;
    UpdatePanels(true, true);
}

void TStatusBarPro::WindowCreated() {
    ColorChanged();
    UpdatePanels(true, false);
    if (!simpleText_.empty()) UpdateSimpleText();
    if (simplePanel_) SendSimple(true);
}

void TStatusBarPro::Resized() {
    if (OnResize) OnResize(*this);
    UpdatePanels(true, false);
    Invalidate();
}
