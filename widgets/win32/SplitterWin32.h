#pragma once
// The splitter as a Win32 window: a panel of the program's own (raised, in
// the button face colour) whose mouse, size and move messages drive
// TBetterSplitter. Its siblings take part in the drag limits when they are
// bound to a TWinControl.
#include <windows.h>
#include <commctrl.h>

#include "toolkit/win32/Panel.h"
#include "widgets/Splitter.h"

class TBetterSplitterWin32 : public TBetterSplitter {
public:
    TBetterSplitterWin32();
    ~TBetterSplitterWin32() override;

    HWND Create(HWND parent, int id, bool visible);
    HWND Handle() const { return panel_.Handle(); }

    // The raised bevel and the drag outline follow the scale.
    void SetDpi(int dpi) override;
    TRect BoundsRect() const override;
    void SetBoundsRect(const TRect& bounds) override;

protected:
    TRect ParentClientRect() const override;
    std::vector<const TControl*> ParentControls() const override;
    void SetCursorShape(TSplitCursor cursor) override;
    bool HasMouseCapture() const override;
    void ConfineCursor(const TRect* parentRect) override;
    void DrawOutline(const TRect& parentRect) override;
    void ColorChanged() override;
    void EnabledChanged() override;
    TColor ParentColorValue() const override;

private:
    static SUBCLASSPROC SubclassProc();
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    // The panel's window class does not ask for double clicks: a press that
    // follows the last one within the system's double-click time and
    // rectangle is the second press of one.
    bool SecondPressOfDoubleClick(int x, int y);

    TPanelWin32 panel_;
    HCURSOR cursor_ = nullptr;
    bool lastPressValid_ = false;
    LONG lastPressTime_ = 0;
    POINT lastPress_{};
};
