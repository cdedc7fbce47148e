#include "widgets/Splitter.h"

#include <algorithm>

namespace {

constexpr int kEdgeMargin = 4;    // the cursor stays this far inside the parent
constexpr int kNeighbourKeep = 5;  // the control on the free side keeps this much

bool EdgeAlign(TAlign a) { return a == alTop || a == alBottom || a == alLeft || a == alRight; }

}  // namespace

// A neighbour of the splitter narrows the limits: one of the same alignment
// further inwards by its size, the one touching the free side so that it
// keeps at least keep pixels.
void NarrowByNeighbour(TAlign align, const TRect& sb, const TControl& c, int keep, TRect& l) {
    const TRect cb = c.BoundsRect();
    const bool same = c.Align() == align;
    switch (align) {
        case alTop:
            if (same && cb.Top > sb.Top)
                l.Bottom -= cb.Height();
            else if (cb.Top == sb.Bottom)
                l.Bottom = std::min(l.Bottom, cb.Bottom - keep);
            break;
        case alBottom:
            if (same && cb.Bottom < sb.Bottom)
                l.Top += cb.Height();
            else if (cb.Bottom == sb.Top)
                l.Top = std::max(l.Top, cb.Top + keep);
            break;
        case alLeft:
            if (same && cb.Left > sb.Left)
                l.Right -= cb.Width();
            else if (cb.Left == sb.Right)
                l.Right = std::min(l.Right, cb.Right - keep);
            break;
        case alRight:
            if (same && cb.Right < sb.Right)
                l.Left += cb.Width();
            else if (cb.Right == sb.Left)
                l.Left = std::max(l.Left, cb.Left + keep);
            break;
        default:
            break;
    }
}

TRect SplitterDragLimits(TAlign align, const TRect& parentClient, const TRect& sb,
                         const TRect& rc, int minSize, int minLeft,
                         const std::vector<const TControl*>& parentControls, int dpi) {
    // The margins and minimum sizes are given at 96 DPI.
    const int margin = ScaleForDpi(kEdgeMargin, dpi);
    minSize = ScaleForDpi(minSize, dpi);
    minLeft = ScaleForDpi(minLeft, dpi);
    TRect l{parentClient.Left + margin, parentClient.Top + margin, parentClient.Right - margin,
            parentClient.Bottom - margin};
    switch (align) {
        case alTop:
            l.Top = rc.Top + margin + minSize;
            l.Bottom -= minLeft;
            break;
        case alBottom:
            l.Bottom = rc.Bottom - margin - minSize;
            l.Top += minLeft;
            break;
        case alLeft:
            l.Left = rc.Left + margin + minSize;
            l.Right -= minLeft;
            break;
        case alRight:
            l.Right = rc.Right - margin - minSize;
            l.Left += minLeft;
            break;
        default:
            return l;
    }
    for (const TControl* c : parentControls)
        if (c->Align() != alNone)
            NarrowByNeighbour(align, sb, *c, ScaleForDpi(kNeighbourKeep, dpi), l);
    return l;
}

TRect SplitterPlacement(TAlign align, const TRect& v, const TRect& s) {
    switch (align) {
        case alTop: return OffsetRect(s, 0, v.Bottom - s.Top);
        case alBottom: return OffsetRect(s, 0, v.Top - s.Height() - s.Top);
        case alLeft: return OffsetRect(s, v.Right - s.Left, 0);
        case alRight: return OffsetRect(s, v.Left - s.Width() - s.Left, 0);
        default: return s;
    }
}

TRect ResizedBounds(TAlign align, const TRect& control, int dx, int dy) {
    TRect r = control;
    switch (align) {
        case alTop: r.Bottom += dy; break;
        case alBottom: r.Top += dy; break;
        case alLeft: r.Right += dx; break;
        case alRight: r.Left += dx; break;
        default: break;
    }
    return r;
}

TBetterSplitter::~TBetterSplitter() {
    if (resizingControl_) resizingControl_->RemoveFreeNotification(this);
}

void TBetterSplitter::SetResizingControl(TControl* control) {
    if (resizingControl_ && resizingControl_ != control)
        resizingControl_->RemoveFreeNotification(this);
    if (control == nullptr) {
        resizingControl_ = nullptr;
        align_ = alNone;
        return;
    }
    control->FreeNotification(this);
    if (!EdgeAlign(control->Align())) {
        control->RemoveFreeNotification(this);
        resizingControl_ = nullptr;
        align_ = alNone;
        throw Exception("Control's align must be left, right, top or bottom");
    }
    ++updateCount_;
    align_ = control->Align();
    ClearCaption();
    cursor_ = align_ == alTop || align_ == alBottom ? crVSplit : crHSplit;
    SetCursorShape(cursor_);
    SetBoundsRect(SplitterPlacement(align_, control->BoundsRect(), BoundsRect()));
    --updateCount_;
    resizingControl_ = control;
}

void TBetterSplitter::SetColor(TColor color) {
    parentColor_ = false;
    if (color == color_) return;
    color_ = color;
    ColorChanged();
}

void TBetterSplitter::SetParentColor(bool value) {
    parentColor_ = value;
    if (!value) return;
    const TColor parent = ParentColorValue();
    if (parent == color_) return;
    color_ = parent;
    ColorChanged();
}

void TBetterSplitter::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    if (!value) CaptureLost();
    EnabledChanged();
}

void TBetterSplitter::ComponentFreed(TComponent* component) {
    if (component == resizingControl_) {
        if (dragging_) {
            ConfineCursor(nullptr);
            dragging_ = false;
        }
        resizingControl_ = nullptr;
        align_ = alNone;
    }
}

void TBetterSplitter::SizeOrMoveChanged() {
    if (updateCount_ == 0) SetResizingControl(resizingControl_);
}

TRect TBetterSplitter::DraggedBounds(int fromX, int fromY, int toX, int toY) const {
    const TRect sb = BoundsRect();
    if (align_ == alTop || align_ == alBottom) return OffsetRect(sb, 0, toY - fromY);
    return OffsetRect(sb, toX - fromX, 0);
}

void TBetterSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (!enabled_) return;
    if (resizingControl_ && button == mbLeft && !(shift & ssDouble)) {
        const TRect sb = BoundsRect();
        limits_ = SplitterDragLimits(align_, ParentClientRect(), sb, resizingControl_->BoundsRect(),
                                     MinSize, MinLeft, ParentControls(), dpi_);
        ConfineCursor(&limits_);
        // The press itself counts as inside, so that holding the positions
        // to the limits never makes the edge jump at the first move.
        const int px = sb.Left + x, py = sb.Top + y;
        limits_.Left = std::min(limits_.Left, px);
        limits_.Top = std::min(limits_.Top, py);
        limits_.Right = std::max(limits_.Right, px + 1);
        limits_.Bottom = std::max(limits_.Bottom, py + 1);
        DrawOutline(sb);
        pressX_ = lastX_ = x;
        pressY_ = lastY_ = y;
        dragging_ = true;
    }
    if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}

void TBetterSplitter::HoldToLimits(int& x, int& y) const {
    // The confinement is the system's; should it not hold (another program
    // took the cursor), the positions still stay within the limits.
    const TRect sb = BoundsRect();
    x = std::clamp(sb.Left + x, limits_.Left, limits_.Right - 1) - sb.Left;
    y = std::clamp(sb.Top + y, limits_.Top, limits_.Bottom - 1) - sb.Top;
}

void TBetterSplitter::MouseMove(TShiftState shift, int x, int y) {
    if (!enabled_) return;
    if (resizingControl_ && dragging_ && (shift & ssLeft) && HasMouseCapture()) {
        HoldToLimits(x, y);
        DrawOutline(DraggedBounds(pressX_, pressY_, lastX_, lastY_));
        DrawOutline(DraggedBounds(pressX_, pressY_, x, y));
        lastX_ = x;
        lastY_ = y;
        if (OnMoving) OnMoving(*this, shift, x, y);
    }
    if (OnMouseMove) OnMouseMove(*this, shift, x, y);
}

void TBetterSplitter::CaptureLost() {
    if (!dragging_) return;
    dragging_ = false;
    DrawOutline(DraggedBounds(pressX_, pressY_, lastX_, lastY_));
    ConfineCursor(nullptr);
}

void TBetterSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (!enabled_) return;
    // Only a release that ends a drag resizes: the release of a double click
    // or of a press that began elsewhere leaves the control as it is.
    if (resizingControl_ && button == mbLeft && dragging_) {
        dragging_ = false;
        HoldToLimits(x, y);
        DrawOutline(DraggedBounds(pressX_, pressY_, lastX_, lastY_));
        ConfineCursor(nullptr);
        const TRect r =
            ResizedBounds(align_, resizingControl_->BoundsRect(), x - pressX_, y - pressY_);
        ++updateCount_;
        resizingControl_->SetBoundsRect(r);
        SetResizingControl(resizingControl_);
        --updateCount_;
    }
    if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}
