#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widgets/Splitter.h"

namespace {

class Box : public TControl {
public:
    Box(TAlign align, TRect bounds) : align_(align), bounds_(bounds) {}
    TAlign Align() const override { return align_; }
    void SetAlign(TAlign a) override { align_ = a; }
    TRect BoundsRect() const override { return bounds_; }
    void SetBoundsRect(const TRect& b) override { bounds_ = b; }

private:
    TAlign align_;
    TRect bounds_;
};

// A splitter in a 562 x 413 parent; what it asks of the screen is recorded.
class RecordingSplitter : public TBetterSplitter {
public:
    explicit RecordingSplitter(TRect bounds) : bounds_(bounds) {}
    TRect BoundsRect() const override { return bounds_; }
    void SetBoundsRect(const TRect& b) override {
        bounds_ = b;
        // The window system reports its own move; the splitter must not
        // answer a move it made itself.
        SizeOrMoveChanged();
    }

    std::vector<const TControl*> siblings;
    TRect parentClient{0, 0, 562, 413};
    bool capture = true;
    std::vector<TRect> outlines;
    std::vector<std::string> confinements;  // "l,t,r,b" or "free"
    TSplitCursor cursorShape = crNoSplit;

protected:
    TRect ParentClientRect() const override { return parentClient; }
    std::vector<const TControl*> ParentControls() const override { return siblings; }
    void SetCursorShape(TSplitCursor c) override { cursorShape = c; }
    bool HasMouseCapture() const override { return capture; }
    void ConfineCursor(const TRect* r) override {
        confinements.push_back(r ? std::to_string(r->Left) + "," + std::to_string(r->Top) + "," +
                                       std::to_string(r->Right) + "," + std::to_string(r->Bottom)
                                 : "free");
    }
    void DrawOutline(const TRect& r) override { outlines.push_back(r); }

private:
    TRect bounds_;
};

// The main window's arrangement: the tree fills the left, the splitter and
// the detail panel stand at the right.
struct MainWindowArrangement : ::testing::Test {
    Box tree{alClient, {0, 0, 372, 413}};
    Box pinfo{alRight, {377, 0, 562, 413}};
    RecordingSplitter splitter{{0, 0, 5, 413}};
    void SetUp() override {
        splitter.siblings = {&tree, &splitter, &pinfo};
        splitter.SetResizingControl(&pinfo);
    }
};

}  // namespace

TEST_F(MainWindowArrangement, SplitterTakesOverTheAlignmentAndSitsAgainstTheControl) {
    EXPECT_EQ(splitter.Align(), alRight);
    EXPECT_EQ(splitter.BoundsRect(), (TRect{372, 0, 377, 413}));
    EXPECT_EQ(splitter.cursorShape, crHSplit);
    EXPECT_EQ(splitter.UpdateCount(), 0);
}

TEST_F(MainWindowArrangement, DragIsConfinedBetweenTheTreeAndTheControlsRightEdge) {
    splitter.MouseDown(mbLeft, ssLeft, 2, 100);
    EXPECT_EQ(splitter.confinements, (std::vector<std::string>{"5,4,558,409"}));
    EXPECT_EQ(splitter.outlines, (std::vector<TRect>{{372, 0, 377, 413}}));
}

TEST_F(MainWindowArrangement, ReleaseMovesTheLeftEdgeByTheDragDistance) {
    splitter.MouseDown(mbLeft, ssLeft, 2, 100);
    splitter.MouseMove(ssLeft, -30, 120);
    splitter.MouseMove(ssLeft, -50, 130);
    // Each step erases the last outline and draws the new one.
    EXPECT_EQ(splitter.outlines,
              (std::vector<TRect>{{372, 0, 377, 413},
                                  {372, 0, 377, 413},
                                  {340, 0, 345, 413},
                                  {340, 0, 345, 413},
                                  {320, 0, 325, 413}}));
    splitter.MouseUp(mbLeft, 0, -50, 130);
    EXPECT_EQ(splitter.outlines.back(), (TRect{320, 0, 325, 413}));
    EXPECT_EQ(splitter.confinements.back(), "free");
    EXPECT_EQ(pinfo.BoundsRect(), (TRect{325, 0, 562, 413}));
    EXPECT_EQ(splitter.BoundsRect(), (TRect{320, 0, 325, 413}));
    EXPECT_FALSE(splitter.Dragging());
}

TEST_F(MainWindowArrangement, PositionsPastTheLimitsStopAtThem) {
    splitter.MouseDown(mbLeft, ssLeft, 2, 100);
    splitter.MouseUp(mbLeft, 0, 2 + 400, 100);  // far past the right edge
    // The cursor may reach x = 557 in the parent: 183 pixels right of 374.
    EXPECT_EQ(pinfo.BoundsRect().Left, 377 + 183);
    tree.SetBoundsRect({0, 0, 555, 413});  // the parent gives the tree the room
    splitter.MouseDown(mbLeft, ssLeft, 2, 100);
    splitter.MouseUp(mbLeft, 0, -900, 100);
    EXPECT_EQ(pinfo.BoundsRect().Left, 5 + 3);  // cursor at x = 5, 2 into the splitter
}

TEST_F(MainWindowArrangement, OtherButtonsDoubleClicksAndUncapturedMovesDoNothing) {
    std::vector<int> moving;
    splitter.OnMoving = [&](TBetterSplitter&, TShiftState, int x, int) { moving.push_back(x); };
    splitter.MouseDown(mbRight, ssRight, 2, 100);
    splitter.MouseDown(mbLeft, ssLeft | ssDouble, 2, 100);
    EXPECT_TRUE(splitter.confinements.empty());
    EXPECT_TRUE(splitter.outlines.empty());
    splitter.MouseUp(mbLeft, 0, -40, 100);  // the release of the double click
    EXPECT_EQ(pinfo.BoundsRect().Left, 377);

    splitter.MouseDown(mbLeft, ssLeft, 2, 100);
    splitter.capture = false;
    splitter.MouseMove(ssLeft, -20, 100);
    EXPECT_EQ(splitter.outlines.size(), 1u);
    EXPECT_TRUE(moving.empty());
    splitter.capture = true;
    splitter.MouseMove(ssLeft, -20, 100);
    EXPECT_EQ(moving, (std::vector<int>{-20}));
}

TEST_F(MainWindowArrangement, LosingTheMouseEndsTheDragWithoutResizing) {
    splitter.MouseDown(mbLeft, ssLeft, 2, 100);
    splitter.MouseMove(ssLeft, -20, 100);
    splitter.CaptureLost();
    EXPECT_EQ(splitter.outlines.back(), (TRect{350, 0, 355, 413}));
    EXPECT_EQ(splitter.outlines.size() % 2, 0u);  // every outline drawn was erased
    EXPECT_EQ(splitter.confinements.back(), "free");
    splitter.MouseUp(mbLeft, 0, -20, 100);
    EXPECT_EQ(pinfo.BoundsRect().Left, 377);
}

TEST_F(MainWindowArrangement, MovedByOtherMeansItGoesBackAgainstTheControl) {
    pinfo.SetBoundsRect({300, 0, 562, 413});
    splitter.SetBoundsRect({10, 0, 15, 413});
    EXPECT_EQ(splitter.BoundsRect(), (TRect{295, 0, 300, 413}));
}

TEST_F(MainWindowArrangement, AControlThatGoesAwayLeavesTheSplitterUnaligned) {
    {
        Box other{alLeft, {0, 0, 100, 413}};
        splitter.SetResizingControl(&other);
    }
    EXPECT_EQ(splitter.ResizingControl(), nullptr);
    EXPECT_EQ(splitter.Align(), alNone);
    splitter.MouseDown(mbLeft, ssLeft, 2, 100);
    EXPECT_TRUE(splitter.confinements.empty());
}

TEST(Splitter, ClientAlignedControlIsRefused) {
    Box client{alClient, {0, 0, 100, 100}};
    Box right{alRight, {80, 0, 100, 100}};
    RecordingSplitter splitter{{0, 0, 5, 100}};
    splitter.SetResizingControl(&right);
    try {
        splitter.SetResizingControl(&client);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Control's align must be left, right, top or bottom");
    }
    EXPECT_EQ(splitter.ResizingControl(), nullptr);
    EXPECT_EQ(splitter.Align(), alNone);
}

TEST(Splitter, PlacementAgainstEachEdge) {
    const TRect s{0, 0, 5, 5};
    const TRect v{10, 20, 110, 70};  // 100 x 50
    EXPECT_EQ(SplitterPlacement(alTop, v, s), (TRect{0, 70, 5, 75}));
    EXPECT_EQ(SplitterPlacement(alBottom, v, s), (TRect{0, 15, 5, 20}));
    EXPECT_EQ(SplitterPlacement(alLeft, v, s), (TRect{110, 0, 115, 5}));
    EXPECT_EQ(SplitterPlacement(alRight, v, s), (TRect{5, 0, 10, 5}));

    Box left{alLeft, {0, 0, 100, 300}};
    RecordingSplitter splitter{{0, 0, 5, 300}};
    splitter.SetResizingControl(&left);
    EXPECT_EQ(splitter.BoundsRect().Left, 100);
    EXPECT_EQ(splitter.Align(), alLeft);
    EXPECT_EQ(splitter.cursorShape, crHSplit);
    Box top{alTop, {0, 0, 300, 40}};
    splitter.SetResizingControl(&top);
    EXPECT_EQ(splitter.cursorShape, crVSplit);
}

TEST(Splitter, ResizingMovesTheInnerEdge) {
    const TRect r{10, 20, 110, 70};
    EXPECT_EQ(ResizedBounds(alTop, r, 7, 3), (TRect{10, 20, 110, 73}));
    EXPECT_EQ(ResizedBounds(alBottom, r, 7, 3), (TRect{10, 23, 110, 70}));
    EXPECT_EQ(ResizedBounds(alLeft, r, 7, 3), (TRect{10, 20, 117, 70}));
    EXPECT_EQ(ResizedBounds(alRight, r, 7, 3), (TRect{17, 20, 110, 70}));
}

TEST(Splitter, LimitsLeaveRoomForControlsOfTheSameAlignmentAndTheNeighbour) {
    // Top-aligned: a toolbar above the resized panel, a second top panel
    // further in (its height comes off the room), then the client control.
    Box toolbar{alTop, {0, 0, 400, 30}};
    Box panel{alTop, {0, 30, 400, 130}};
    Box inner{alTop, {0, 135, 400, 175}};
    Box client{alClient, {0, 175, 400, 300}};
    Box loose{alNone, {0, 290, 10, 300}};
    const TRect sb{0, 130, 400, 135};
    const std::vector<const TControl*> all{&toolbar, &panel, &inner, &client, &loose};
    EXPECT_EQ(SplitterDragLimits(alTop, {0, 0, 400, 300}, sb, panel.BoundsRect(), 10, 20, all),
              (TRect{4, 44, 396, 236}));
    // Bottom-aligned, touching a client control above.
    Box bottom{alBottom, {0, 200, 400, 300}};
    Box above{alClient, {0, 0, 400, 195}};
    EXPECT_EQ(SplitterDragLimits(alBottom, {0, 0, 400, 300}, {0, 195, 400, 200},
                                 bottom.BoundsRect(), 0, 0, {&above, &bottom}),
              (TRect{4, 5, 396, 296}));
}

// The detail panel's splitter at the main window's 150 percent size, on
// screens of each scale: the margin, the minimum size and the room the tree
// keeps are given at 96 DPI.
TEST(Splitter, LimitsFollowTheScreensScale) {
    Box tree{alClient, {0, 0, 557, 619}};
    Box info{alRight, {565, 0, 843, 619}};
    const TRect sb{557, 0, 565, 619};
    const struct {
        int dpi;
        TRect limits;
    } rows[] = {{96, {5, 4, 829, 615}}, {120, {6, 5, 825, 614}}, {144, {8, 6, 822, 613}},
                {192, {10, 8, 815, 611}}};
    for (const auto& r : rows)
        EXPECT_EQ(SplitterDragLimits(alRight, {0, 0, 843, 619}, sb, info.BoundsRect(), 10, 0,
                                     {&tree, &info}, r.dpi),
                  r.limits)
            << r.dpi;
}
