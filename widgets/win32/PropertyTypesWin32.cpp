#include "widgets/win32/PropertyTypesWin32.h"

TBiDiMode BiDiModeOfExStyle(DWORD exStyle) {
    if (!(exStyle & WS_EX_RTLREADING)) return bdLeftToRight;
    if (exStyle & WS_EX_RIGHT) return bdRightToLeft;
    return exStyle & WS_EX_LEFTSCROLLBAR ? bdRightToLeftNoAlign : bdRightToLeftReadingOnly;
}

DWORD ExStyleOfBiDiMode(TBiDiMode mode) {
    switch (mode) {
        case bdRightToLeft: return kBiDiExStyles;
        case bdRightToLeftNoAlign: return WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;
        case bdRightToLeftReadingOnly: return WS_EX_RTLREADING;
        case bdLeftToRight: break;
    }
    return 0;
}

TShiftState ShiftStateOf(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

int TImageListWin32::Width() const {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(handle_, &cx, &cy);
    return cx;
}

int TImageListWin32::Height() const {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(handle_, &cx, &cy);
    return cy;
}

int TImageListWin32::Count() const { return ImageList_GetImageCount(handle_); }

int TImageListWin32::Add(HBITMAP image, HBITMAP mask) {
    const int index = ImageList_Add(handle_, image, mask);
    if (index >= 0) Change();
    return index;
}

int TImageListWin32::AddMasked(HBITMAP image, COLORREF maskColour) {
    const int index = ImageList_AddMasked(handle_, image, maskColour);
    if (index >= 0) Change();
    return index;
}

bool TImageListWin32::Replace(int index, HBITMAP image, HBITMAP mask) {
    if (!ImageList_Replace(handle_, index, image, mask)) return false;
    Change();
    return true;
}

bool TImageListWin32::Remove(int index) {
    if (!ImageList_Remove(handle_, index)) return false;
    Change();
    return true;
}

void TPopupMenuWin32::Popup(HWND owner, int x, int y) const {
    const UINT align = BiDiMode != bdLeftToRight ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    TrackPopupMenu(handle_, align | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
}
