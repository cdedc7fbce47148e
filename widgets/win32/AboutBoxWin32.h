#pragma once
// The about box as a Win32 window: a tool window with a close box, the card
// picture filling it and the home page link lying on the card. It is shown
// modally over its owner, which stays disabled until the box closes: by a
// click on the card, the close box, Alt+F4 or Escape.
#include <windows.h>

#include "toolkit/win32/GdiOwners.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/AboutBox.h"
#include "widgets/win32/URLLabelWin32.h"

class TaboutformularWin32 {
public:
    TaboutformularWin32(platform::Registry& registry, platform::Shell& shell);
    ~TaboutformularWin32();
    TaboutformularWin32(const TaboutformularWin32&) = delete;
    TaboutformularWin32& operator=(const TaboutformularWin32&) = delete;

    // Creates the box, hidden and centred on the screen, owned by owner; runs
    // its layout and FormCreate.
    HWND Create(HWND owner);
    // Shows the box and runs its own message loop until it closes; the owner
    // is disabled meanwhile. The box stays created, hidden, until destroyed.
    TModalResult ShowModal();

    HWND Handle() const { return hwnd_; }
    HWND Card() const { return visitenkarte_; }
    int Dpi() const { return dpi_; }
    TURLLabelWin32& Link() { return hplabel_; }
    Taboutformular& Logic() { return logic_; }
    // The box a window handle belongs to, or nullptr.
    static TaboutformularWin32* FromHandle(HWND hwnd);

private:
    LRESULT BoxMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT CardMessage(UINT msg, WPARAM wp, LPARAM lp);
    void PaintCard(HDC dc);
    void OnDpiChanged(int dpi, const RECT& suggested);

    TURLLabelWin32 hplabel_;
    Taboutformular logic_;
    HWND hwnd_ = nullptr;
    HWND visitenkarte_ = nullptr;
    TOwnedBitmap picture_;
    // The scale of the screen the box is shown on.
    int dpi_ = kDesignDpi;
    TClickTracker cardClick_;
};
