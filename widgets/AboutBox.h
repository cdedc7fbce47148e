#pragma once
// The about box: the program's card as a picture, with a link to its home
// page lying on the card's white lower part. Clicking the card closes the
// box; clicking the link opens the home page and leaves the box open. This is
// the box's behaviour without a window; widgets/win32/AboutBoxWin32.cpp shows
// it modally.
#include <string>

#include "widgets/URLLabel.h"

enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

// The program's home page, as the link opens it.
inline constexpr char kHomePageAddress[] = "http://networkview.example.net/";

// "Über", in UTF-8.
inline constexpr char kAboutCaption[] = "\xC3\x9C" "ber";
inline constexpr int kAboutClientWidth = 199;
inline constexpr int kAboutClientHeight = 293;
// The card picture is a little larger than the client area, which crops it.
inline constexpr int kCardWidth = 200;
inline constexpr int kCardHeight = 312;
// The link on the card.
inline constexpr int kHomePageLeft = 73;
inline constexpr int kHomePageTop = 212;
inline constexpr int kHomePageWidth = 52;
inline constexpr int kHomePageHeight = 13;

// The box's fonts: the form's, and the link's blue underlined variant.
TLabelFont AboutFont();

class Taboutformular {
public:
    // hplabel: the link label lying on the card, made by the box's window.
    explicit Taboutformular(TURLLabel& hplabel);

    // The box's settings of its link, as it is laid out.
    void LoadLayout();
    // The form's creation event: the link gets the home page.
    void FormCreate();
    // A click on the card ends the modal display with OK.
    void visitenkarteClick() { ModalResult = mrOk; }

    TURLLabel& hplabel;
    TModalResult ModalResult = mrNone;
};
