#include <gtest/gtest.h>

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
