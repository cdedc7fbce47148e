// The splitter's colour and enabled state.
#include <gtest/gtest.h>

#include <vector>

#include "widgets/Splitter.h"

namespace {

struct Panel : TControl {
    TAlign Align() const override { return alRight; }
    void SetAlign(TAlign) override {}
    TRect BoundsRect() const override { return bounds; }
    void SetBoundsRect(const TRect& b) override { bounds = b; }
    TRect bounds{377, 0, 562, 400};
};

struct Splitter : TBetterSplitter {
    TRect BoundsRect() const override { return {372, 0, 377, 400}; }
    void SetBoundsRect(const TRect&) override {}
    TRect ParentClientRect() const override { return {0, 0, 562, 400}; }
    std::vector<const TControl*> ParentControls() const override { return {}; }
    void SetCursorShape(TSplitCursor) override {}
    bool HasMouseCapture() const override { return true; }
    void ConfineCursor(const TRect* r) override { confined = r != nullptr; }
    void DrawOutline(const TRect&) override { ++outlines; }
    void ColorChanged() override { painted.push_back(Color()); }
    TColor ParentColorValue() const override { return clWhite; }
    std::vector<TColor> painted;
    int outlines = 0;
    bool confined = false;
};

}  // namespace

TEST(SplitterProperties, ColoursArePaintedAtOnceAndADisabledSplitterEndsItsDragAndTakesNoMouse) {
    Splitter s;
    s.SetColor(clRed);
    s.SetParentColor(true);
    s.SetColor(clWhite);  // the colour it has: its own now, nothing to paint
    EXPECT_FALSE(s.ParentColor());
    EXPECT_EQ(s.painted, (std::vector<TColor>{clRed, clWhite}));

    Panel panel;
    s.SetResizingControl(&panel);
    s.MouseDown(mbLeft, ssLeft, 2, 100);
    s.SetEnabled(false);
    s.MouseDown(mbLeft, ssLeft, 2, 100);
    s.MouseUp(mbLeft, 0, -40, 100);
    EXPECT_FALSE(s.confined);
    EXPECT_EQ(s.outlines, 2);  // drawn, then erased
    EXPECT_EQ(panel.bounds.Left, 377);
}
