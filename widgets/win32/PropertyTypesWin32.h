#pragma once
// The shared property types on Win32: an image list of the common controls
// and a pop-up menu of the system's.
#include <windows.h>
#include <commctrl.h>

#include "widgets/PropertyTypes.h"

// A window's reading order as its extended style gives it, and the style
// bits that give a reading order (those of bdRightToLeft: right-to-left
// reading, right alignment, the scroll bar on the left).
TBiDiMode BiDiModeOfExStyle(DWORD exStyle);
DWORD ExStyleOfBiDiMode(TBiDiMode mode);
inline constexpr DWORD kBiDiExStyles = WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR;

// The keys and buttons a mouse message's wParam says are held.
TShiftState ShiftStateOf(WPARAM keys);

// An image list of the common controls, not owned. Its users hear of every
// change made through these members (a change made to the handle directly
// is told with Change()).
class TImageListWin32 : public TImageList {
public:
    explicit TImageListWin32(HIMAGELIST handle) : handle_(handle) {}
    HIMAGELIST Handle() const { return handle_; }
    int Width() const override;
    int Height() const override;
    int Count() const override;

    // The image's index, or -1 when the list refused it.
    int Add(HBITMAP image, HBITMAP mask);
    // The mask made from the pixels of the colour.
    int AddMasked(HBITMAP image, COLORREF maskColour);
    bool Replace(int index, HBITMAP image, HBITMAP mask);
    bool Remove(int index);

private:
    HIMAGELIST handle_;
};

// A pop-up menu of the system's; its commands go to the window that shows it.
class TPopupMenuWin32 : public TPopupMenu {
public:
    explicit TPopupMenuWin32(HMENU handle) : handle_(handle) {}
    HMENU Handle() const { return handle_; }
    // Shows the menu at a screen position, aligned by its reading order.
    void Popup(HWND owner, int x, int y) const;

private:
    HMENU handle_;
};
