#pragma once
// A window as the program's own components see it (TControl): its bounds in
// its parent and an alignment, which plain windows do not have. The window
// carries a property that leads back to this object, so that a component
// can find its siblings' alignment from the parent's child windows.
#include <windows.h>

#include <functional>
#include <vector>

#include "toolkit/Aligned.h"

class TWinControl : public TControl {
public:
    explicit TWinControl(TAlign align = alNone) : align_(align) {}
    ~TWinControl() override;

    // Binds the object to its window (none unbinds).
    void SetHandle(HWND hwnd);
    HWND Handle() const { return hwnd_; }

    TAlign Align() const override { return align_; }
    void SetAlign(TAlign align) override { align_ = align; }
    TRect BoundsRect() const override;
    // Moves the window without changing its z-order, then tells OnBoundsSet,
    // so that the parent can lay out its other children anew.
    void SetBoundsRect(const TRect& bounds) override;
    std::function<void(const TRect&)> OnBoundsSet;

    // The object bound to a window, if any.
    static TControl* FromHandle(HWND hwnd);
    static void Attach(HWND hwnd, TControl* control);
    static void Detach(HWND hwnd);
    // The parent's visible child windows that stand for a control, in the
    // parent's child order.
    static std::vector<const TControl*> ChildControls(HWND parent);

private:
    HWND hwnd_ = nullptr;
    TAlign align_;
};

// A window's bounds in its parent's client coordinates.
TRect WindowBoundsInParent(HWND hwnd);
