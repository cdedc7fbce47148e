// The main window's splitter dragged by real mouse input through the X
// display, as a user drags it.
#include "tests/win32/MainFormFixture.h"

namespace {

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT ClipRect() {
    RECT r{};
    GetClipCursor(&r);
    return r;
}

bool IsDark(COLORREF c) { return GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80; }

// The main window on a scripted network with the detail panel shown.
class SplitterTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        net_.Machine("");
        Open({.net = &net_});
        ASSERT_TRUE(WaitForTree());
        form_->Logic().ShowNodeInfo("Server type flags");
        Settle();
        ASSERT_EQ(Info(), (TBounds{377, 0, 185, 447}));
        ASSERT_EQ(Splitter(), (TBounds{372, 0, 5, 447}));
    }
    void TearDown() override {
        XButtonUp(1);  // never leave a button held for the next test
        MainFormTest::TearDown();
    }

    HWND Form() { return form_->Handle(); }
    TBounds Info() { return BoundsIn(form_->InfoPanel(), Form()); }
    TBounds Splitter() { return BoundsIn(form_->Splitter(), Form()); }
    TBounds TreeBounds() { return BoundsIn(form_->Tree(), Form()); }

    // Presses in the splitter's middle column and drags to x, keeping the
    // button held.
    void PressAndDragTo(int x) {
        XMoveTo(Form(), 374, 200);
        XButtonDown(1);
        XMoveTo(Form(), x, 200);
    }

    ScriptedNetwork net_;
};

}  // namespace

TEST_F(SplitterTest, DragMovesTheDetailPanelsEdgeByTheDistanceAndTheSplitterFollows) {
    const RECT unclipped = ClipRect();
    PressAndDragTo(334);
    // During the drag: the outline stands inverted over the white tree, the
    // panel has not moved yet, and the cursor is kept between x = 5 and the
    // panel's right edge less 4.
    SaveScreenshot(L"splitter-during-drag");
    EXPECT_TRUE(IsDark(ScreenPixel(Form(), 332, 200))) << "no outline at the new place";
    EXPECT_FALSE(IsDark(ScreenPixel(Form(), 320, 200)));
    EXPECT_EQ(Info().Left, 377);
    RECT limits{5, 4, 558, 462};  // within the window's client area of 562 x 466
    MapWindowPoints(Form(), HWND_DESKTOP, reinterpret_cast<POINT*>(&limits), 2);
    EXPECT_TRUE(ClipRect() == limits);

    XMoveTo(Form(), 314, 200);
    XButtonUp(1);
    SaveScreenshot(L"splitter-after-drag");
    EXPECT_EQ(Info(), (TBounds{317, 0, 245, 447}));
    EXPECT_EQ(Splitter(), (TBounds{312, 0, 5, 447}));
    EXPECT_EQ(TreeBounds(), (TBounds{0, 0, 312, 447}));
    EXPECT_TRUE(ClipRect() == unclipped);
    // The outline is gone: the tree shows white where it was drawn.
    EXPECT_FALSE(IsDark(ScreenPixel(Form(), 300, 200)));
}

TEST_F(SplitterTest, DragPastALimitStopsAtIt) {
    // Right: the cursor stops 4 pixels inside the panel's right edge (x 557),
    // 3 pixels left of the splitter's right side.
    PressAndDragTo(700);
    XButtonUp(1);
    EXPECT_EQ(Info().Left, 557 + 3);
    EXPECT_EQ(Splitter().Left, 555);
    // Left: the tree keeps 5 pixels.
    XMoveTo(Form(), 557, 200);
    XButtonDown(1);
    XMoveTo(Form(), -100, 200);
    XButtonUp(1);
    EXPECT_EQ(Info().Left, 5 + 3);
    EXPECT_EQ(TreeBounds().Width, 3);
}

TEST_F(SplitterTest, RightButtonDrawsAndConfinesNothing) {
    const RECT unclipped = ClipRect();
    const COLORREF before = ScreenPixel(Form(), 372, 200);
    XMoveTo(Form(), 374, 200);
    XButtonDown(3);
    EXPECT_TRUE(ClipRect() == unclipped);
    EXPECT_EQ(ScreenPixel(Form(), 372, 200), before);
    XMoveTo(Form(), 330, 200);
    XButtonUp(3);
    EXPECT_EQ(Info().Left, 377);
}

TEST_F(SplitterTest, DraggedWidthSurvivesHidingAndWindowResizes) {
    PressAndDragTo(314);
    XButtonUp(1);
    ASSERT_EQ(Info().Width, 245);
    form_->Logic().ShowNodeInfo("");
    form_->Logic().ShowNodeInfo("again");
    EXPECT_EQ(Info(), (TBounds{317, 0, 245, 447}));

    RECT w;
    GetWindowRect(Form(), &w);
    const int frame = (w.right - w.left) - 562;
    // Narrower than the panel: it narrows with the window, the splitter
    // stays at the window's left edge.
    SetWindowPos(Form(), nullptr, 0, 0, 200 + frame, w.bottom - w.top, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Info(), (TBounds{5, 0, 195, 447}));
    EXPECT_EQ(Splitter().Left, 0);
    // Wide again: the dragged width comes back, against the right edge.
    SetWindowPos(Form(), nullptr, 0, 0, 700 + frame, w.bottom - w.top, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Info(), (TBounds{455, 0, 245, 447}));
    EXPECT_EQ(Splitter(), (TBounds{450, 0, 5, 447}));
}
