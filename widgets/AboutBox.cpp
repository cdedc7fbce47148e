#include "widgets/AboutBox.h"

TLabelFont AboutFont() { return TLabelFont{}; }

Taboutformular::Taboutformular(TURLLabel& label) : hplabel(label) {}

void Taboutformular::LoadLayout() {
    TLabelFont link = AboutFont();
    link.Color = kLinkBlue;
    link.Underline = true;
    hplabel.SetTransparent(true);
    hplabel.SetLinkFont(link);
    hplabel.SetPassiveFont(AboutFont());
    hplabel.SetCaption("Homepage");
    hplabel.SetURL(kPlaceholderWebAddress);
    hplabel.SetHint(kPlaceholderWebAddress);
    hplabel.SetURLAsHint(true);
    hplabel.SetShowPrefix(false);
    hplabel.SetLabelType(TURLLabelType::Auto);
    hplabel.SetLinkType(lthttp);
}

void Taboutformular::FormCreate() {
    // The setter keeps the address without "http://"; the hint shows it whole.
    hplabel.SetURL(kHomePageAddress);
    hplabel.SetHint(kHomePageAddress);
}
