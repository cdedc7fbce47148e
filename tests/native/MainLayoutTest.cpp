#include <gtest/gtest.h>

#include "app/MainLayout.h"

TEST(MainLayout, DesignSizeWithEverythingShown) {
    const auto l = LayoutMainWindow(562, 466, true, true, 185);
    EXPECT_EQ(l.stbar, (TBounds{0, 447, 562, 19}));
    EXPECT_EQ(l.paction2, (TBounds{0, 413, 562, 34}));
    EXPECT_EQ(l.pinfo, (TBounds{377, 0, 185, 413}));
    EXPECT_EQ(l.splitter, (TBounds{372, 0, 5, 413}));
    EXPECT_EQ(l.ntreeview, (TBounds{0, 0, 372, 413}));
    EXPECT_EQ(l.bbaction2, (TBounds{4, 3, 237, 29}));
    EXPECT_EQ(l.BitBtn2, (TBounds{484, 7, 75, 21}));
    EXPECT_EQ(l.pcolumninfo, (TBounds{83, 32, 396, 69}));
    EXPECT_EQ(l.minfo, (TBounds{1, 1, 183, 411}));
}

TEST(MainLayout, HiddenPanelsGiveTheTreeTheirRoom) {
    const auto l = LayoutMainWindow(562, 466, false, false, 185);
    EXPECT_EQ(l.ntreeview, (TBounds{0, 0, 562, 447}));
    const auto info = LayoutMainWindow(562, 466, false, true, 185);
    EXPECT_EQ(info.pinfo, (TBounds{377, 0, 185, 447}));
    EXPECT_EQ(info.ntreeview, (TBounds{0, 0, 372, 447}));
}

TEST(MainLayout, AnchoredControlsFollowTheWidth) {
    const auto l = LayoutMainWindow(800, 600, true, true, 185);
    EXPECT_EQ(l.BitBtn2, (TBounds{722, 7, 75, 21}));
    EXPECT_EQ(l.pcolumninfo, (TBounds{83, 32, 634, 69}));
    EXPECT_EQ(l.stbar, (TBounds{0, 581, 800, 19}));
    EXPECT_EQ(l.pinfo.Left, 615);
}

TEST(MainLayout, TinyWindowNeverGivesNegativeSizes) {
    const auto l = LayoutMainWindow(100, 40, true, true, 185);
    EXPECT_GE(l.ntreeview.Width, 0);
    EXPECT_GE(l.ntreeview.Height, 0);
    EXPECT_GE(l.pinfo.Height, 0);
    EXPECT_GE(l.pcolumninfo.Width, 0);
}

TEST(MainLayout, DraggedInfoWidthHoldsAndNarrowsOnlyWhileTheWindowIsTooNarrow) {
    const auto wide = LayoutMainWindow(562, 466, false, true, 300);
    EXPECT_EQ(wide.pinfo, (TBounds{262, 0, 300, 447}));
    EXPECT_EQ(wide.splitter, (TBounds{257, 0, 5, 447}));
    EXPECT_EQ(wide.ntreeview, (TBounds{0, 0, 257, 447}));
    const auto narrow = LayoutMainWindow(200, 466, false, true, 300);
    EXPECT_EQ(narrow.pinfo, (TBounds{5, 0, 195, 447}));
    EXPECT_EQ(narrow.splitter, (TBounds{0, 0, 5, 447}));
    EXPECT_EQ(narrow.ntreeview.Width, 0);
    EXPECT_EQ(LayoutMainWindow(562, 466, false, true, 0).splitter.Left, 557);
}
