// The main window and the about box on screens of another scale: a move to
// a screen of 150 percent as the system tells of it, and the whole window on
// a display of 144 DPI (tests/win32/display-scale.sh runs the At144Dpi test
// so, in a prefix set to 144 DPI for that one run).
#include "tests/win32/MainFormFixture.h"

#include <cstdlib>

#include "toolkit/win32/Dpi.h"
#include "widgets/win32/AboutBoxWin32.h"

namespace {

// Within a pixel, as the system's rounding may put a scaled measure.
bool Near(const TBounds& a, const TBounds& b) {
    return std::abs(a.Left - b.Left) <= 1 && std::abs(a.Top - b.Top) <= 1 &&
           std::abs(a.Width - b.Width) <= 1 && std::abs(a.Height - b.Height) <= 1;
}

TBounds ClientBounds(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return {0, 0, r.right, r.bottom};
}

HFONT FontOf(HWND control) {
    return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

// The text fits the control in the control's font beside room (a glyph),
// wrapped at the control's width when wrap is set.
void ExpectTextFits(HWND control, const std::wstring& text, int room, bool wrap = false) {
    const TBounds client = ClientBounds(control);
    const TWindowDC dc = ClientDC(control);
    const TSelection font(dc.get(), FontOf(control));
    RECT r{0, 0, wrap ? client.Width : 0, 0};
    DrawTextW(dc.get(), text.c_str(), -1, &r, DT_CALCRECT | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
    EXPECT_LE(r.right + room, client.Width) << Narrow(text);
    EXPECT_LE(r.bottom, client.Height) << Narrow(text);
}

class DisplayScaleTest : public MainFormTest {
protected:
    void OpenOnANetwork() {
        net_.Machine("").serverLists[""] = {"CORP"};
        net_.Machine("").serverLists["CORP"] = {"PC1"};
        net_.Machine("\\\\PC1").serverType = 0x1003;
        Open({.net = &net_});
        ASSERT_TRUE(WaitForTree());
    }
    TBounds InForm(HWND child) { return BoundsIn(child, form_->Handle()); }
    TBounds InPanel(HWND child) { return BoundsIn(child, form_->ActionPanel()); }

    ScriptedNetwork net_;
};

}  // namespace

// Windows tells of the move by WM_DPICHANGED with the new scale and the
// rectangle it suggests; this window's own screen stays at 96 DPI.
TEST_F(DisplayScaleTest, MovingToAScreenOfAnotherScaleRelaysTheWindowAndKeepsTheTree) {
    OpenOnANetwork();
    if (form_->Dpi() != 96) GTEST_SKIP() << "the display runs at " << form_->Dpi() << " DPI";
    HTREEITEM corp = FindItem(Tree(), nullptr, "CORP");
    ClickButtonOf(Tree(), corp);
    HTREEITEM pc1 = FindItem(Tree(), corp, "PC1");
    ClickItem(Tree(), pc1);
    // The user drags the detail panel 40 pixels wider.
    XMoveTo(form_->Handle(), 374, 200);
    XButtonDown(1);
    XMoveTo(form_->Handle(), 334, 200);
    XButtonUp(1);
    ASSERT_EQ(InForm(form_->InfoPanel()), (TBounds{337, 0, 225, 447}));

    RECT outer;
    GetWindowRect(form_->Handle(), &outer);
    const RECT to{0, 0, outer.right - outer.left + 281, outer.bottom - outer.top + 233};
    SendMessageW(form_->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&to));
    Settle();
    EXPECT_EQ(ClientBounds(form_->Handle()), (TBounds{0, 0, 843, 699}));
    // 225 pixels at 96 DPI are 337.5 at 144; the rest is the layout's.
    EXPECT_EQ(InForm(form_->InfoPanel()), (TBounds{505, 0, 338, 670}));
    LOGFONTW lf{};
    GetObjectW(FontOf(Tree()), sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -17);
    // The same tree, not built again, with the same item selected.
    EXPECT_EQ(TreeView_GetSelection(Tree()), pc1);
    EXPECT_EQ(net_.CallsOf("NetServerEnum").size(), 2u);

    SendMessageW(form_->Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96),
                 reinterpret_cast<LPARAM>(&outer));
    Settle();
    EXPECT_EQ(InForm(form_->InfoPanel()), (TBounds{337, 0, 225, 447}));
}

TEST_F(DisplayScaleTest, TheAboutBoxFollowsItsMoveToAScreenOfAnotherScale) {
    if (WindowDpi(nullptr) != 96) GTEST_SKIP() << "the display runs at " << WindowDpi(nullptr);
    TaboutformularWin32 box(os_.registry, os_.shell);
    ASSERT_NE(box.Create(nullptr), nullptr);
    RECT outer;
    GetWindowRect(box.Handle(), &outer);
    const RECT to{0, 0, outer.right - outer.left + 100, outer.bottom - outer.top + 147};
    SendMessageW(box.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(ClientBounds(box.Handle()), (TBounds{0, 0, 299, 440}));
    EXPECT_EQ(BoundsIn(box.Card(), box.Handle()), (TBounds{0, 0, 299, 440}));
    const TBounds link = BoundsIn(box.Link().Handle(), box.Card());
    EXPECT_EQ((std::pair{link.Left, link.Top}), (std::pair{110, 318}));
    ExpectTextFits(box.Link().Handle(), L"Homepage", 0);
}

// The prefix's LogPixels at 144: the window comes up at one and a half times
// its size, its texts whole, and so does the about box.
TEST_F(DisplayScaleTest, At144DpiTheWindowAndTheAboutBoxAreOneAndAHalfTimesTheirSize) {
    if (WindowDpi(nullptr) != 144) {
        ASSERT_EQ(std::getenv("NV_EXPECT_DPI"), nullptr) << "the display runs at 96 DPI";
        GTEST_SKIP() << "the display runs at " << WindowDpi(nullptr) << " DPI";
    }
    OpenOnANetwork();
    EXPECT_PRED2(Near, ClientBounds(form_->Handle()), (TBounds{0, 0, 843, 699}));
    ExpectTextFits(form_->WaitLabel(), ReadWindowText(form_->WaitLabel()), 0, true);
    ClickItem(Tree(), FindItem(Tree(), nullptr, "CORP"));
    EXPECT_PRED2(Near, InPanel(form_->ActionButton()), (TBounds{6, 5, 356, 44}));
    EXPECT_PRED2(Near, InPanel(form_->AboutButton()), (TBounds{726, 11, 113, 32}));
    EXPECT_PRED2(Near, InForm(form_->StatusBar()), (TBounds{0, 670, 843, 29}));
    // The glyph drawn for 150 percent, with the spacing of 6 beside it.
    BITMAP glyph{};
    GetObjectW(form_->MenuPainter().BitBtnStyleOf(form_->ActionButton())->Glyph, sizeof glyph,
               &glyph);
    EXPECT_EQ(glyph.bmWidth, 24);
    ExpectTextFits(form_->ActionButton(), L"Update tree", glyph.bmWidth + 6);
    ExpectTextFits(form_->AboutButton(), L"About", 0);
    ExpectTextFits(form_->StatusBar(), Wide(form_->Logic().StatusBar.SimpleText()), 0);

    TaboutformularWin32 box(os_.registry, os_.shell);
    ASSERT_NE(box.Create(form_->Handle()), nullptr);
    ShowWindow(box.Handle(), SW_SHOW);
    Settle();
    EXPECT_PRED2(Near, ClientBounds(box.Handle()), (TBounds{0, 0, 299, 440}));
    EXPECT_PRED2(Near, BoundsIn(box.Card(), box.Handle()), (TBounds{0, 0, 299, 440}));
    const TBounds link = BoundsIn(box.Link().Handle(), box.Card());
    EXPECT_PRED2(Near, (TBounds{link.Left, link.Top}), (TBounds{110, 318}));
    ExpectTextFits(box.Link().Handle(), L"Homepage", 0);
    SaveScreenshot(L"display-144-dpi");
}
