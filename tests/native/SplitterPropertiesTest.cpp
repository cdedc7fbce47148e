// The splitter's colour, its parent's colour and its enabled state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widgets/Splitter.h"

namespace {

constexpr TColor kFace = RGBColor(212, 208, 200);

class Panel : public TControl {
public:
    TAlign Align() const override { return alRight; }
    void SetAlign(TAlign) override {}
    TRect BoundsRect() const override { return bounds; }
    void SetBoundsRect(const TRect& b) override { bounds = b; }
    TRect bounds{377, 0, 562, 400};
};

// A splitter in a 562 x 400 parent whose colour is white; what it shows is
// recorded.
class ShownSplitter : public TBetterSplitter {
public:
    ShownSplitter() : TBetterSplitter(kFace) {}
    TRect BoundsRect() const override { return bounds; }
    void SetBoundsRect(const TRect& b) override { bounds = b; }

    TRect bounds{372, 0, 377, 400};
    std::vector<TColor> painted;
    std::vector<bool> enabledShown;
    int outlines = 0;
    std::vector<std::string> confinements;
    TColor parentColor = clWhite;

protected:
    TRect ParentClientRect() const override { return {0, 0, 562, 400}; }
    std::vector<const TControl*> ParentControls() const override { return {}; }
    void SetCursorShape(TSplitCursor) override {}
    bool HasMouseCapture() const override { return true; }
    void ConfineCursor(const TRect* r) override { confinements.push_back(r ? "confined" : "free"); }
    void DrawOutline(const TRect&) override { ++outlines; }
    void ColorChanged() override { painted.push_back(Color()); }
    void EnabledChanged() override { enabledShown.push_back(Enabled()); }
    TColor ParentColorValue() const override { return parentColor; }
};

}  // namespace

TEST(SplitterColor, ColourAndParentColourArePaintedAtOnce) {
    ShownSplitter s;
    EXPECT_EQ(s.Color(), kFace);
    EXPECT_FALSE(s.ParentColor());
    s.SetColor(clRed);
    s.SetParentColor(true);
    EXPECT_EQ(s.Color(), clWhite);
    EXPECT_TRUE(s.ParentColor());
    s.SetColor(RGBColor(1, 2, 3));
    EXPECT_FALSE(s.ParentColor());
    s.SetColor(RGBColor(1, 2, 3));  // the same colour: nothing to paint
    EXPECT_EQ(s.painted, (std::vector<TColor>{clRed, clWhite, RGBColor(1, 2, 3)}));
}

TEST(SplitterEnabled, ADisabledSplitterTakesNoMouseActionAndEndsADrag) {
    ShownSplitter s;
    Panel panel;
    s.SetResizingControl(&panel);
    int events = 0;
    s.OnMouseDown = [&](TBetterSplitter&, TMouseButton, TShiftState, int, int) { ++events; };
    s.OnMouseUp = s.OnMouseDown;

    // Disabled during a drag: the outline goes, the cursor is freed, the
    // panel keeps its size.
    s.MouseDown(mbLeft, ssLeft, 2, 100);
    s.MouseMove(ssLeft, -40, 100);
    s.SetEnabled(false);
    EXPECT_FALSE(s.Dragging());
    EXPECT_EQ(s.outlines, 4);  // drawn, moved (erased and drawn), erased
    EXPECT_EQ(s.confinements, (std::vector<std::string>{"confined", "free"}));

    s.MouseDown(mbLeft, ssLeft, 2, 100);
    s.MouseMove(ssLeft, -40, 100);
    s.MouseUp(mbLeft, 0, -40, 100);
    EXPECT_EQ(s.outlines, 4);
    EXPECT_EQ(panel.bounds, (TRect{377, 0, 562, 400}));
    EXPECT_EQ(events, 1);

    s.SetEnabled(true);
    s.MouseDown(mbLeft, ssLeft, 2, 100);
    s.MouseUp(mbLeft, 0, -40, 100);
    EXPECT_EQ(panel.bounds, (TRect{335, 0, 562, 400}));
    EXPECT_EQ(s.enabledShown, (std::vector<bool>{false, true}));
}
