// The main window and the about box on screens of another scale: a move to
// a screen of 150 percent as the system tells of it, and the whole window on
// a display of 144 DPI (tests/win32/display-scale.sh runs the suite's
// DisplayScale tests so, in a prefix set to 144 DPI for that one run).
#include "tests/win32/MainFormFixture.h"

#include <cstdlib>

#include "toolkit/win32/Dpi.h"
#include "widgets/win32/AboutBoxWin32.h"

namespace {

// Bounds within a pixel of the expected ones, as the system's rounding may
// put a scaled measure.
void ExpectNear(const TBounds& actual, const TBounds& expected, const char* what) {
    SCOPED_TRACE(what);
    EXPECT_NEAR(actual.Left, expected.Left, 1);
    EXPECT_NEAR(actual.Top, expected.Top, 1);
    EXPECT_NEAR(actual.Width, expected.Width, 1);
    EXPECT_NEAR(actual.Height, expected.Height, 1);
}

TBounds ClientBounds(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return {0, 0, r.right, r.bottom};
}

int FontHeight(HWND control) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf.lfHeight;
}

// The size of a control's text in its own font, on one line or wrapped at
// the given width.
SIZE TextSize(HWND control, const std::wstring& text, int wrapWidth = 0) {
    const TWindowDC dc = ClientDC(control);
    const TSelection font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT r{0, 0, wrapWidth, 0};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    return {r.right, r.bottom};
}

// A button's caption fits beside its glyph (of glyphWidth) within the
// button's frame.
void ExpectCaptionFits(HWND button, int glyphWidth, const char* what) {
    SCOPED_TRACE(what);
    const TBounds client = ClientBounds(button);
    const SIZE text = TextSize(button, ReadWindowText(button));
    EXPECT_LE(text.cx + glyphWidth, client.Width - 4);
    EXPECT_LE(text.cy, client.Height - 2);
}

class DisplayScaleTest : public MainFormTest {
protected:
    void OpenOnANetwork() {
        net_.Machine("").serverLists[""] = {"CORP"};
        net_.Machine("").serverLists["CORP"] = {"PC1"};
        net_.Machine("\\\\PC1").serverType = 0x1003;
        Open({.net = &net_});
    }
    HWND Form() { return form_->Handle(); }
    TBounds In(HWND child, HWND parent) { return BoundsIn(child, parent); }

    ScriptedNetwork net_;
};

}  // namespace

// Windows tells of the move by WM_DPICHANGED with the new scale and the
// rectangle it suggests; this window's own screen stays at 96 DPI.
TEST_F(DisplayScaleTest, MovingToAScreenOfAnotherScaleRelaysTheWindowAndKeepsTheTree) {
    OpenOnANetwork();
    if (form_->Dpi() != 96) GTEST_SKIP() << "the display runs at " << form_->Dpi() << " DPI";
    ASSERT_TRUE(WaitForTree());
    HTREEITEM corp = FindItem(Tree(), nullptr, "CORP");
    ClickButtonOf(Tree(), corp);
    HTREEITEM pc1 = FindItem(Tree(), corp, "PC1");
    ClickItem(Tree(), pc1);
    ASSERT_TRUE(IsWindowVisible(form_->InfoPanel()));
    // The user drags the detail panel 40 pixels wider.
    XMoveTo(Form(), 374, 200);
    XButtonDown(1);
    XMoveTo(Form(), 334, 200);
    XButtonUp(1);
    ASSERT_EQ(In(form_->InfoPanel(), Form()), (TBounds{337, 0, 225, 447}));

    // At the screen's corner, so that the larger window fits on it.
    RECT outer;
    GetWindowRect(Form(), &outer);
    const RECT suggested{0, 0, outer.right - outer.left + 281, outer.bottom - outer.top + 233};
    SendMessageW(Form(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    Settle();
    EXPECT_EQ(form_->Dpi(), 144);
    EXPECT_EQ(ClientBounds(Form()), (TBounds{0, 0, 843, 699}));
    EXPECT_EQ(In(form_->StatusBar(), Form()), (TBounds{0, 670, 843, 29}));
    // 225 pixels at 96 DPI are 337.5 at 144.
    EXPECT_EQ(In(form_->InfoPanel(), Form()), (TBounds{505, 0, 338, 670}));
    EXPECT_EQ(In(form_->Splitter(), Form()), (TBounds{497, 0, 8, 670}));
    EXPECT_EQ(In(Tree(), Form()), (TBounds{0, 0, 497, 670}));
    EXPECT_EQ(FontHeight(Tree()), -17);
    EXPECT_EQ(FontHeight(form_->InfoMemo()), -17);
    // The same tree, not built again, with the same item selected.
    EXPECT_EQ(TreeView_GetSelection(Tree()), pc1);
    EXPECT_EQ(ChildTexts(Tree(), corp), std::vector<std::string>{"PC1"});
    EXPECT_EQ(net_.CallsOf("NetServerEnum").size(), 2u);
    EXPECT_EQ(WindowText(form_->InfoMemo()), "Serverflags: Workstation\r\nServer\r\nNT\r\n");

    ClickItem(Tree(), corp);
    ASSERT_TRUE(IsWindowVisible(form_->ActionPanel()));
    EXPECT_EQ(In(form_->ActionButton(), form_->ActionPanel()), (TBounds{6, 5, 356, 44}));
    EXPECT_EQ(In(form_->AboutButton(), form_->ActionPanel()), (TBounds{726, 11, 113, 32}));
    SaveScreenshot(L"moved-to-150-percent");

    // And back: the dragged width as it was.
    SendMessageW(Form(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&outer));
    Settle();
    EXPECT_EQ(ClientBounds(Form()), (TBounds{0, 0, 562, 466}));
    EXPECT_EQ(In(form_->AboutButton(), form_->ActionPanel()), (TBounds{484, 7, 75, 21}));
    EXPECT_EQ(FontHeight(Tree()), -11);
    ClickItem(Tree(), pc1);
    EXPECT_EQ(In(form_->InfoPanel(), Form()), (TBounds{337, 0, 225, 447}));
}

// The prefix's LogPixels at 144: the window comes up at one and a half times
// its size, its texts whole, and so does the about box.
TEST_F(DisplayScaleTest, At144DpiTheWindowAndTheAboutBoxAreOneAndAHalfTimesTheirSize) {
    const char* expected = std::getenv("NV_EXPECT_DPI");
    if (WindowDpi(nullptr) != 144) {
        ASSERT_EQ(expected, nullptr) << "the display runs at " << WindowDpi(nullptr) << " DPI";
        GTEST_SKIP() << "the display runs at " << WindowDpi(nullptr) << " DPI";
    }
    OpenOnANetwork();
    EXPECT_EQ(form_->Dpi(), 144);
    ExpectNear(ClientBounds(Form()), {0, 0, 843, 699}, "window");
    const TBounds label = In(form_->WaitLabel(), form_->WaitPanel());
    EXPECT_LE(TextSize(form_->WaitLabel(), ReadWindowText(form_->WaitLabel()), label.Width).cy,
              label.Height);
    ASSERT_TRUE(WaitForTree());
    ClickItem(Tree(), FindItem(Tree(), nullptr, "CORP"));
    ASSERT_TRUE(IsWindowVisible(form_->ActionPanel()));

    ExpectNear(In(form_->ActionButton(), form_->ActionPanel()), {6, 5, 356, 44}, "action button");
    ExpectNear(In(form_->AboutButton(), form_->ActionPanel()), {726, 11, 113, 32}, "About");
    ExpectNear(In(form_->StatusBar(), Form()), {0, 670, 843, 29}, "status bar");
    // The glyph drawn for 150 percent, beside the caption.
    const TBitBtnStyle* action = form_->MenuPainter().BitBtnStyleOf(form_->ActionButton());
    ASSERT_NE(action, nullptr);
    BITMAP glyph{};
    GetObjectW(action->Glyph, sizeof glyph, &glyph);
    EXPECT_EQ(glyph.bmWidth, 24);
    ExpectCaptionFits(form_->ActionButton(), glyph.bmWidth + 6, "action button");
    ExpectCaptionFits(form_->AboutButton(), 0, "About");
    EXPECT_LE(TextSize(form_->StatusBar(), Wide(form_->Logic().StatusBar.SimpleText())).cy, 29);
    RECT item{};
    TreeView_GetItemRect(Tree(), FindItem(Tree(), nullptr, "CORP"), &item, TRUE);
    EXPECT_GE(item.bottom - item.top, TextSize(Tree(), L"CORP").cy);

    TaboutformularWin32 box(os_.registry, os_.shell);
    ASSERT_NE(box.Create(Form()), nullptr);
    ShowWindow(box.Handle(), SW_SHOW);
    Settle();
    ExpectNear(ClientBounds(box.Handle()), {0, 0, 299, 440}, "about box");
    ExpectNear(In(box.Card(), box.Handle()), {0, 0, 299, 440}, "card");
    const TBounds link = In(box.Link().Handle(), box.Card());
    ExpectNear({link.Left, link.Top, 0, 0}, {110, 318, 0, 0}, "link");
    const SIZE linkText = TextSize(box.Link().Handle(), L"Homepage");
    EXPECT_LE(linkText.cx, link.Width);
    EXPECT_LE(linkText.cy, link.Height);
    SaveScreenshot(L"display-144-dpi");
}
