#pragma once
// A panel: a plain child window in one colour with an outer and an inner
// bevel, holding other controls. What its children report (commands,
// notifications) goes on to the panel's parent; static and read-only edit
// children are drawn on the panel's colour unless given their own.
#include <windows.h>

#include "toolkit/Controls.h"
#include "toolkit/win32/GdiOwners.h"

// A panel's bevel. A space bevel takes room as a raised one and is drawn
// as one.
enum class TBevel { None, Lowered, Raised, Space };

// A bevel of width pixels along the rectangle's edge, which then narrows by
// the width: a lowered one has its shadow along the top and left, a raised
// or space one its light.
void DrawBevel(HDC dc, RECT& r, TBevel bevel, TColor shadow, TColor light, int width = 1);

// The colour a window paints its background in: a panel's colour, else its
// class brush's, else the button face.
TColor WindowColor(HWND hwnd);

struct TPanelStyle {
    TColor Color = 0;
    TBevel Outer = TBevel::None;
    TBevel Inner = TBevel::None;
    // Colour of read-only edits on the panel, when it differs from Color.
    TColor EditColor = 0;
    bool OwnEditColor = false;
    // Room between the outer and the inner bevel.
    int BorderWidth = 0;
    // Width of each bevel.
    int BevelWidth = 1;
};

class TPanelWin32 {
public:
    explicit TPanelWin32(TPanelStyle style)
        : style_(style),
          designBorderWidth_(style.BorderWidth),
          designBevelWidth_(style.BevelWidth) {}
    TPanelWin32(const TPanelWin32&) = delete;
    TPanelWin32& operator=(const TPanelWin32&) = delete;

    HWND Create(HWND parent, int id, bool visible);
    HWND Handle() const { return hwnd_; }
    // Repaints the panel in the colour.
    void SetColor(TColor color);
    // The screen's scale: the bevels and the room between them, given at
    // 96 DPI, follow it.
    void SetDpi(int dpi);
    // The style of a window that is one of these panels; null for any other.
    static const TPanelStyle* StyleOf(HWND hwnd);

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT ChildColor(HDC dc, HWND child);
    void Paint(HDC dc);

    TPanelStyle style_;
    // The style's measures as given, at 96 DPI.
    int designBorderWidth_;
    int designBevelWidth_;
    HWND hwnd_ = nullptr;
    TOwnedBrush brush_;
    TOwnedBrush editBrush_;
};
