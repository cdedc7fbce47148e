#pragma once
// TBetterSplitter: a thin bar that resizes one sibling, its ResizingControl,
// when the user drags it with the left mouse button. It takes over the
// control's alignment, sits against the control's inner edge, and while the
// button is held shows the future edge as an inverted outline; the control
// is resized once, at the release. The cursor is kept within limits worked
// out from the parent's client area and the neighbouring aligned controls.
//
// The behaviour lives here; a window system supplies the splitter's own
// bounds, its parent's children, the mouse capture, the cursor confinement
// and the outline drawing (see the protected hooks).
#include <cstdint>
#include <functional>
#include <vector>

#include "toolkit/Aligned.h"
#include "toolkit/Controls.h"
#include "toolkit/Dpi.h"
#include "toolkit/Exception.h"
#include "widgets/PropertyTypes.h"

enum TSplitCursor { crNoSplit = 0, crHSplit = -14, crVSplit = -15 };

using TSplitterMovingEvent = std::function<void(class TBetterSplitter& sender, TShiftState shift,
                                                int x, int y)>;
using TSplitterMouseEvent =
    std::function<void(TBetterSplitter& sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TSplitterMouseMoveEvent =
    std::function<void(TBetterSplitter& sender, TShiftState shift, int x, int y)>;

// The drag limits for the cursor, in the parent's client coordinates: the
// parent's client area less 4 pixels on each side, narrowed by the resizing
// control's MinSize, by MinLeft on the other side, by the controls of the
// same alignment that lie further inwards, and by the control that touches
// the splitter's free side, which keeps at least 5 pixels. The margins and
// the minimum sizes are given at 96 DPI and scaled to dpi.
TRect SplitterDragLimits(TAlign align, const TRect& parentClient, const TRect& splitter,
                         const TRect& resizing, int minSize, int minLeft,
                         const std::vector<const TControl*>& parentControls,
                         int dpi = kDesignDpi);

// The splitter's bounds when it sits against the control's inner edge.
TRect SplitterPlacement(TAlign align, const TRect& control, const TRect& splitter);

// The control's bounds after a drag of (dx, dy) from press to release.
TRect ResizedBounds(TAlign align, const TRect& control, int dx, int dy);

class TBetterSplitter : public TControl, private TFreeNotifiable {
public:
    // btnFace: the system's button face colour, the splitter's default.
    explicit TBetterSplitter(TColor btnFace = RGBColor(240, 240, 240)) : color_(btnFace) {}
    ~TBetterSplitter() override;

    TAlign Align() const override { return align_; }
    void SetAlign(TAlign align) override { align_ = align; }

    TControl* ResizingControl() const { return resizingControl_; }
    // Takes over the control's alignment and sits against its inner edge.
    // Throws Exception when the control is not aligned to an edge.
    void SetResizingControl(TControl* control);

    TColor Color() const { return color_; }
    // Paints the splitter in the colour; ParentColor ends.
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    // True gives the splitter its parent's colour at once.
    void SetParentColor(bool value);
    bool Enabled() const { return enabled_; }
    // A disabled splitter takes no mouse action; a drag under way ends with
    // the control's size as it was.
    void SetEnabled(bool value);

    // At 96 DPI, as the other measures: the drag limits scale them.
    int MinSize = 0;
    int MinLeft = 0;
    // The screen's scale the splitter is shown at.
    int Dpi() const { return dpi_; }
    virtual void SetDpi(int dpi) { dpi_ = dpi; }
    TSplitterMovingEvent OnMoving;
    TSplitterMouseEvent OnMouseDown;
    TSplitterMouseMoveEvent OnMouseMove;
    TSplitterMouseEvent OnMouseUp;

    TSplitCursor Cursor() const { return cursor_; }
    bool Dragging() const { return dragging_; }
    int UpdateCount() const { return updateCount_; }

    // The window system's mouse actions, in the splitter's client coordinates.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // The splitter's own window was resized or moved.
    void SizeOrMoveChanged();
    // Another window took the mouse during a drag: the outline goes and the
    // cursor is freed; the control keeps its size.
    void CaptureLost();

protected:
    virtual TRect ParentClientRect() const = 0;
    // The parent's children, this splitter among them, in child order.
    virtual std::vector<const TControl*> ParentControls() const = 0;
    virtual void SetCursorShape(TSplitCursor cursor) = 0;
    virtual void ClearCaption() {}
    virtual bool HasMouseCapture() const = 0;
    // Confines the cursor to a rectangle of the parent's client area; none
    // frees it.
    virtual void ConfineCursor(const TRect* parentRect) = 0;
    // Inverts the outline of a rectangle of the parent's client area:
    // drawing it twice restores the screen.
    virtual void DrawOutline(const TRect& parentRect) = 0;
    // The colour or the enabled state changed: the window follows.
    virtual void ColorChanged() {}
    virtual void EnabledChanged() {}
    virtual TColor ParentColorValue() const { return color_; }

private:
    void ComponentFreed(TComponent* component) override;
    TRect DraggedBounds(int fromX, int fromY, int toX, int toY) const;
    void HoldToLimits(int& x, int& y) const;

    TAlign align_ = alNone;
    TSplitCursor cursor_ = crNoSplit;
    TControl* resizingControl_ = nullptr;
    int pressX_ = 0, pressY_ = 0;
    int lastX_ = 0, lastY_ = 0;
    TRect limits_;
    int updateCount_ = 0;
    bool dragging_ = false;
    TColor color_;
    bool parentColor_ = false;
    bool enabled_ = true;
    int dpi_ = kDesignDpi;
};
