#include <gtest/gtest.h>

#include <utility>

#include "app/MainLayout.h"

TEST(MainLayout, DesignSizeWithEverythingShown) {
    const auto l = LayoutMainWindow(562, 466, true, true, 185);
    EXPECT_EQ(l.statusBar, (TBounds{0, 447, 562, 19}));
    EXPECT_EQ(l.actionPanel, (TBounds{0, 413, 562, 34}));
    EXPECT_EQ(l.infoPanel, (TBounds{377, 0, 185, 413}));
    EXPECT_EQ(l.splitter, (TBounds{372, 0, 5, 413}));
    EXPECT_EQ(l.tree, (TBounds{0, 0, 372, 413}));
    EXPECT_EQ(l.actionButton, (TBounds{4, 3, 237, 29}));
    EXPECT_EQ(l.aboutButton, (TBounds{484, 7, 75, 21}));
    EXPECT_EQ(l.waitPanel, (TBounds{83, 32, 396, 69}));
    EXPECT_EQ(l.infoMemo, (TBounds{1, 1, 183, 411}));
}

TEST(MainLayout, HiddenPanelsGiveTheTreeTheirRoom) {
    const auto l = LayoutMainWindow(562, 466, false, false, 185);
    EXPECT_EQ(l.tree, (TBounds{0, 0, 562, 447}));
    const auto info = LayoutMainWindow(562, 466, false, true, 185);
    EXPECT_EQ(info.infoPanel, (TBounds{377, 0, 185, 447}));
    EXPECT_EQ(info.tree, (TBounds{0, 0, 372, 447}));
}

TEST(MainLayout, AnchoredControlsFollowTheWidth) {
    const auto l = LayoutMainWindow(800, 600, true, true, 185);
    EXPECT_EQ(l.aboutButton, (TBounds{722, 7, 75, 21}));
    EXPECT_EQ(l.waitPanel, (TBounds{83, 32, 634, 69}));
    EXPECT_EQ(l.statusBar, (TBounds{0, 581, 800, 19}));
    EXPECT_EQ(l.infoPanel.Left, 615);
}

TEST(MainLayout, TinyWindowNeverGivesNegativeSizes) {
    const auto l = LayoutMainWindow(100, 40, true, true, 185);
    EXPECT_GE(l.tree.Width, 0);
    EXPECT_GE(l.tree.Height, 0);
    EXPECT_GE(l.infoPanel.Height, 0);
    EXPECT_GE(l.waitPanel.Width, 0);
}

TEST(MainLayout, DraggedInfoWidthHoldsAndNarrowsOnlyWhileTheWindowIsTooNarrow) {
    const auto wide = LayoutMainWindow(562, 466, false, true, 300);
    EXPECT_EQ(wide.infoPanel, (TBounds{262, 0, 300, 447}));
    EXPECT_EQ(wide.splitter, (TBounds{257, 0, 5, 447}));
    EXPECT_EQ(wide.tree, (TBounds{0, 0, 257, 447}));
    const auto narrow = LayoutMainWindow(200, 466, false, true, 300);
    EXPECT_EQ(narrow.infoPanel, (TBounds{5, 0, 195, 447}));
    EXPECT_EQ(narrow.splitter, (TBounds{0, 0, 5, 447}));
    EXPECT_EQ(narrow.tree.Width, 0);
    EXPECT_EQ(LayoutMainWindow(562, 466, false, true, 0).splitter.Left, 557);
}

// The window at its design size on screens of 100, 125, 150 and 200 percent:
// every measure scaled and rounded as MulDiv rounds (halves away from zero,
// so the font's -11 becomes -17 at 150 percent).
TEST(MainLayout, EveryMeasureFollowsTheScreensScale) {
    struct Row {
        int dpi, clientWidth, clientHeight, infoWidth, fontHeight;
        TBounds statusBar, actionPanel, infoPanel, splitter, tree, actionButton, aboutButton,
            waitPanel, infoMemo, waitLabel;
    };
    const Row rows[] = {
        {96, 562, 466, 185, -11, {0, 447, 562, 19}, {0, 413, 562, 34}, {377, 0, 185, 413},
         {372, 0, 5, 413}, {0, 0, 372, 413}, {4, 3, 237, 29}, {484, 7, 75, 21},
         {83, 32, 396, 69}, {1, 1, 183, 411}, {2, 2, 392, 52}},
        {120, 703, 583, 231, -14, {0, 559, 703, 24}, {0, 516, 703, 43}, {472, 0, 231, 516},
         {466, 0, 6, 516}, {0, 0, 466, 516}, {5, 4, 296, 36}, {605, 9, 94, 26},
         {104, 40, 495, 86}, {1, 1, 229, 514}, {2, 2, 491, 65}},
        {144, 843, 699, 278, -17, {0, 670, 843, 29}, {0, 619, 843, 51}, {565, 0, 278, 619},
         {557, 0, 8, 619}, {0, 0, 557, 619}, {6, 5, 356, 44}, {726, 11, 113, 32},
         {125, 48, 594, 104}, {2, 2, 274, 615}, {4, 4, 586, 78}},
        {192, 1124, 932, 370, -22, {0, 894, 1124, 38}, {0, 826, 1124, 68}, {754, 0, 370, 826},
         {744, 0, 10, 826}, {0, 0, 744, 826}, {8, 6, 474, 58}, {968, 14, 150, 42},
         {166, 64, 792, 138}, {2, 2, 366, 822}, {4, 4, 784, 104}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.dpi);
        EXPECT_EQ(ScaleForDpi(-11, r.dpi), r.fontHeight);
        const auto l = LayoutMainWindow(r.clientWidth, r.clientHeight, true, true, r.infoWidth,
                                        r.dpi);
        EXPECT_EQ(l.statusBar, r.statusBar);
        EXPECT_EQ(l.actionPanel, r.actionPanel);
        EXPECT_EQ(l.infoPanel, r.infoPanel);
        EXPECT_EQ(l.splitter, r.splitter);
        EXPECT_EQ(l.tree, r.tree);
        EXPECT_EQ(l.actionButton, r.actionButton);
        EXPECT_EQ(l.aboutButton, r.aboutButton);
        EXPECT_EQ(l.waitPanel, r.waitPanel);
        EXPECT_EQ(l.infoMemo, r.infoMemo);
        EXPECT_EQ(l.waitLabel, r.waitLabel);
    }
}

TEST(MainLayout, PicturesAreChosenAmongTheirDrawingsForEachScale) {
    const int rows[][3] = {{72, 100, 100},  {96, 100, 100},  {120, 100, 150}, {144, 150, 150},
                           {168, 150, 200}, {192, 200, 200}, {288, 200, 200}};
    for (const auto& [dpi, atMost, atLeast] : rows)
        EXPECT_EQ((std::pair{PictureScaleAtMost(dpi), PictureScaleAtLeast(dpi)}),
                  (std::pair{atMost, atLeast})) << dpi;
}
