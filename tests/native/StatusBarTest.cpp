#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "widgets/StatusBar.h"

namespace {

// The platform control as the bar drives it: every text and part list it is
// handed is kept; text is 6 pixels a character.
class RecordingBar : public TStatusBarPro {
public:
    struct Text {
        int part;
        unsigned flags;
        std::string text;
    };
    int clientWidth = 500;
    bool sizeable = true;
    bool handle = true;
    std::vector<Text> texts;
    std::vector<std::vector<int>> parts;
    std::vector<TColor> colorsPainted;
    std::vector<TRect> rects;  // the parts' rectangles, from the last parts sent

protected:
    bool HandleAllocated() const override { return handle; }
    void SendSimpleText(const std::string& t, unsigned flags) override {
        texts.push_back({kSimplePart, flags, t});
    }
    void SendParts(const std::vector<int>& edges) override {
        parts.push_back(edges);
        rects.clear();
        int left = 0;
        for (int e : edges) {
            const int right = e < 0 ? clientWidth : e;
            rects.push_back({left, 0, right, 19});
            left = right;
        }
    }
    void SendPanelText(int index, unsigned flags, const std::string& t) override {
        texts.push_back({index, flags, t});
    }
    TRect PanelRect(int index) const override {
        return index < static_cast<int>(rects.size()) ? rects[static_cast<std::size_t>(index)] : TRect{};
    }
    void Borders(int& spacing, int& vertical) const override {
        spacing = 3;
        vertical = 3;
    }
    int ClientWidth() const override { return clientWidth; }
    int TextWidth(const TFont&, const std::string& t) const override {
        return 6 * static_cast<int>(t.size());
    }
    void ColorChanged() override { colorsPainted.push_back(Color()); }
    TColor ParentColorValue() const override { return clWhite; }
    bool ParentIsSizeableForm() const override { return sizeable; }
};

class FakeControl : public TControl {
public:
    TAlign Align() const override { return alNone; }
    void SetAlign(TAlign) override {}
    TRect BoundsRect() const override { return bounds; }
    void SetBoundsRect(const TRect& b) override { bounds = b; }
    TRect bounds{1, 1, 2, 2};
};

}  // namespace

TEST(StatusBarPro, SimpleTextIsSentOnceAndOnlyWhenItChanges) {
    RecordingBar bar;
    bar.SetSimplePanel(true);
    bar.texts.clear();
    bar.SetSimpleText(" Error 5");
    bar.SetSimpleText(" Error 5");
    ASSERT_EQ(bar.texts.size(), 1u);
    EXPECT_EQ(bar.texts[0].part, kSimplePart);
    EXPECT_EQ(bar.texts[0].text, " Error 5");
    bar.SetSimpleText("");
    EXPECT_EQ(bar.texts.size(), 2u);
}

TEST(StatusBarPro, ColourAndParentColourReachTheControlAndTheParentColouredPanels) {
    RecordingBar bar;
    TStatusPanelPro& own = bar.Panels().Add();
    own.SetColor(clRed);
    TStatusPanelPro& following = bar.Panels().Add();
    bar.SetColor(RGBColor(1, 2, 3));
    EXPECT_FALSE(bar.ParentColor());
    bar.SetParentColor(true);
    EXPECT_EQ(bar.colorsPainted, (std::vector<TColor>{RGBColor(1, 2, 3), clWhite}));
    EXPECT_EQ(bar.Color(), clWhite);
    EXPECT_EQ(following.Color(), clWhite);
    EXPECT_EQ(own.Color(), clRed);
    EXPECT_FALSE(own.ParentColor());
}

TEST(StatusBarPro, AutoSizePanelsGetNothingWhenFixedWidthsFillTheBar) {
    RecordingBar bar;
    bar.clientWidth = 200;
    for (int i = 0; i < 10; ++i) {
        TStatusPanelPro& p = bar.Panels().Add();
        p.SetText("abc");  // 18 + 2 = 20 each: 200 in all
        p.SetAutoWidth(true);
    }
    bar.Panels().Add().SetAutoSize(true);
    bar.Panels().Add().SetAutoSize(true);
    const std::vector<int> widths = bar.PanelWidths(bar.clientWidth);
    ASSERT_EQ(widths.size(), 12u);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(widths[static_cast<std::size_t>(i)], 20);
    EXPECT_EQ(widths[10], 0);
    EXPECT_EQ(widths[11], 0);
    EXPECT_EQ(bar.Panels()[11].Width(), 0);
}

TEST(StatusBarPro, WidthsFollowTheirBoundsAndAutoSizeSharesTheRest) {
    RecordingBar bar;
    bar.clientWidth = 316;  // 300 after the grip
    TStatusPanelPro& fixed = bar.Panels().Add();
    fixed.SetMinWidth(40);
    fixed.SetMaxWidth(60);
    fixed.SetWidth(100);
    EXPECT_EQ(fixed.Width(), 60);
    fixed.SetWidth(10);
    EXPECT_EQ(fixed.Width(), 40);
    TStatusPanelPro& text = bar.Panels().Add();
    text.SetAutoWidth(true);
    text.SetIndent(2);
    text.SetText("0123456789");  // 60 + 6
    text.SetMaxWidth(64);
    text.SetWidth(5);  // ignored while the width follows the text
    bar.Panels().Add().SetAutoSize(true);
    bar.Panels().Add().SetAutoSize(true);
    EXPECT_EQ(bar.PanelWidths(bar.clientWidth), (std::vector<int>{40, 64, 98, 98}));
    // The edges handed to the control: running sums, the last to the end.
    EXPECT_EQ(bar.parts.back(), (std::vector<int>{40, 104, 202, -1}));

    bar.sizeable = false;  // no grip on a fixed border: the whole width
    EXPECT_EQ(bar.PanelWidths(bar.clientWidth), (std::vector<int>{40, 64, 106, 106}));
}

TEST(StatusBarPro, OnlyTheFirst128PanelsAreLaidOut) {
    RecordingBar bar;
    for (int i = 0; i < 130; ++i) bar.Panels().Add().SetWidth(1);
    EXPECT_EQ(bar.parts.back().size(), 128u);
    EXPECT_EQ(bar.PanelWidths(500).size(), 128u);
    bar.texts.clear();
    bar.UpdatePanels(false, true);
    for (const auto& t : bar.texts) EXPECT_LT(t.part, 128);
}

TEST(StatusBarPro, NoPanelsLeaveOneEmptyPartOverTheWholeBar) {
    RecordingBar bar;
    bar.Panels().Add();
    bar.Panels().Delete(0);
    EXPECT_EQ(bar.parts.back(), (std::vector<int>{-1}));
    EXPECT_EQ(bar.texts.back().part, 0);
    EXPECT_EQ(bar.texts.back().text, "");
}

TEST(StatusBarPro, PanelTextsCarryBevelAlignmentAndOwnerDraw) {
    RecordingBar bar;
    TStatusPanelPro& a = bar.Panels().Add();
    a.SetText("left");
    TStatusPanelPro& b = bar.Panels().Add();
    b.SetText("mid");
    b.SetAlignment(taCenter);
    b.SetBevel(pbNone);
    TStatusPanelPro& c = bar.Panels().Add();
    c.SetText("right");
    c.SetAlignment(taRightJustify);
    c.SetBevel(pbRaised);
    bar.texts.clear();
    bar.UpdatePanels(false, true);
    ASSERT_EQ(bar.texts.size(), 3u);
    EXPECT_EQ(bar.texts[0].flags, kSbtOwnerDraw);
    EXPECT_EQ(bar.texts[0].text, "left");
    EXPECT_EQ(bar.texts[1].flags, kSbtOwnerDraw | kSbtNoBorders);
    EXPECT_EQ(bar.texts[1].text, "\tmid");
    EXPECT_EQ(bar.texts[2].flags, kSbtOwnerDraw | kSbtPopOut);
    EXPECT_EQ(bar.texts[2].text, "\t\tright");
    // Sent once: nothing changed since.
    bar.UpdatePanels(false, true);
    EXPECT_EQ(bar.texts.size(), 3u);
}

TEST(StatusBarPro, AutoHintPanelIndexOutsideThePanelsIsIgnoredAndResetWhenPanelsGo) {
    RecordingBar bar;
    bar.Panels().Add();
    bar.Panels().Add();
    bar.SetAutoHintPanelIndex(3);
    EXPECT_EQ(bar.AutoHintPanelIndex(), 0);
    bar.SetAutoHintPanelIndex(-1);
    EXPECT_EQ(bar.AutoHintPanelIndex(), 0);
    bar.SetAutoHintPanelIndex(1);
    EXPECT_EQ(bar.AutoHintPanelIndex(), 1);
    bar.Panels().Delete(0);
    EXPECT_EQ(bar.AutoHintPanelIndex(), 0);
}

TEST(StatusBarPro, AutomaticHintsGoToTheChosenPanelOrTheSimpleText) {
    RecordingBar bar;
    bar.Panels().Add();
    bar.Panels().Add();
    bar.SetAutoHintPanelIndex(1);
    EXPECT_FALSE(bar.ShowApplicationHint("off"));
    bar.AutoHint = true;
    EXPECT_TRUE(bar.ShowApplicationHint("two\r\nlines"));
    EXPECT_EQ(bar.Panels()[1].Text(), "two lines");
    bar.SetSimplePanel(true);
    EXPECT_TRUE(bar.ShowApplicationHint("simple"));
    EXPECT_EQ(bar.SimpleText(), "simple");
    int taken = 0;
    bar.OnHint = [&](void*) { ++taken; };
    EXPECT_FALSE(bar.ShowApplicationHint("mine"));
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(bar.SimpleText(), "simple");
}

TEST(StatusBarPro, HistoryKeepsAGrowingTextOnOneLine) {
    RecordingBar bar;
    TStatusPanelPro& p = bar.Panels().Add();
    p.SetHistory(true);
    p.SetText("Copying");
    p.SetText("Copying 1");
    p.SetText("Copying 1 of 3");
    p.SetText("Done");
    EXPECT_EQ(p.Historylines(), (TStringList{"Copying 1 of 3", "Done"}));
    p.SetText("Do");  // a shrinking text stays on its line too
    p.SetText("");    // an empty text is not recorded
    EXPECT_EQ(p.Historylines(), (TStringList{"Copying 1 of 3", "Do"}));
}

TEST(StatusBarPro, HistoryHoldsAtMost251Lines) {
    TStringList lines;
    for (int i = 0; i < 251; ++i) AddHistoryLine(lines, "line " + std::to_string(i) + ";");
    ASSERT_EQ(lines.size(), 251u);
    AddHistoryLine(lines, "new");
    ASSERT_EQ(lines.size(), 251u);
    EXPECT_EQ(lines.front(), "line 1;");
    EXPECT_EQ(lines.back(), "new");
}

TEST(StatusBarPro, AControlStaysOnlyInThePanelItWasLastGivenTo) {
    RecordingBar bar;
    bar.clientWidth = 300;
    TStatusPanelPro& first = bar.Panels().Add();
    first.SetWidth(100);
    TStatusPanelPro& second = bar.Panels().Add();
    FakeControl control;
    first.SetControl(&control);
    EXPECT_EQ(control.bounds, (TRect{1, 1, 99, 18}));
    second.SetControl(&control);
    EXPECT_EQ(first.Control(), nullptr);
    EXPECT_EQ(second.Control(), &control);
    EXPECT_EQ(control.bounds, (TRect{101, 1, 299, 18}));
    // Simple mode puts it out of sight; the panels' mode brings it back.
    bar.SetSimplePanel(true);
    EXPECT_EQ(control.bounds, (TRect{}));
    bar.SetSimplePanel(false);
    EXPECT_EQ(control.bounds, (TRect{101, 1, 299, 18}));
}

TEST(StatusBarPro, AControlThatGoesAwayLeavesItsPanel) {
    RecordingBar bar;
    TStatusPanelPro& p = bar.Panels().Add();
    {
        FakeControl control;
        p.SetControl(&control);
    }
    EXPECT_EQ(p.Control(), nullptr);
    FakeControl kept;
    p.SetControl(&kept);
    bar.Panels().Clear();  // the panel goes first: the control must not call it back
}

TEST(StatusBarPro, ClicksAndHintsBelongToThePanelUnderTheMouse) {
    RecordingBar bar;
    bar.clientWidth = 200;
    TStatusPanelPro& a = bar.Panels().Add();
    a.SetWidth(100);
    a.SetHint("first");
    TStatusPanelPro& b = bar.Panels().Add();
    std::vector<std::string> clicks;
    a.OnClick = [&](void* s) { clicks.push_back(s == &a ? "a" : "?"); };
    bar.OnClick = [&](void* s) { clicks.push_back(s == &bar ? "bar" : "?"); };
    bar.Hint = "bar hint";
    bar.MouseDown(10, 5);
    EXPECT_EQ(bar.HotPanel(), &a);
    EXPECT_EQ(bar.CurrentHint(), "first");
    bar.Click();
    bar.MouseMove(150, 5);
    EXPECT_EQ(bar.HotPanel(), &b);
    EXPECT_EQ(bar.CurrentHint(), "bar hint");
    bar.Click();
    EXPECT_EQ(clicks, (std::vector<std::string>{"a", "bar"}));
    TPopupMenu panelMenu, barMenu;
    bar.SetPopupMenu(&barMenu);
    b.SetPopupMenu(&panelMenu);
    EXPECT_EQ(bar.ContextMenu(), &panelMenu);
    bar.MouseDown(10, 5);
    EXPECT_EQ(bar.ContextMenu(), &barMenu);
}

TEST(StatusBarPro, MenusAndImagesThatGoAwayAreForgotten) {
    RecordingBar bar;
    TStatusPanelPro& p = bar.Panels().Add();
    struct Images : TImageList {
        int Width() const override { return 16; }
        int Height() const override { return 16; }
        int Count() const override { return 4; }
    };
    {
        TPopupMenu menu;
        Images images;
        p.SetPopupMenu(&menu);
        bar.SetPopupMenu(&menu);
        bar.SetImages(&images);
        p.SetImageIndex(1);
        p.SetAutoWidth(true);
        EXPECT_EQ(bar.PanelWidths(500), (std::vector<int>{2 + 18}));
    }
    EXPECT_EQ(p.PopupMenu(), nullptr);
    EXPECT_EQ(bar.PopupMenu(), nullptr);
    EXPECT_EQ(bar.Images(), nullptr);
    EXPECT_EQ(bar.PanelWidths(500), (std::vector<int>{2}));
    // A menu that outlives the bar and a panel that held it.
    TPopupMenu kept;
    {
        RecordingBar gone;
        gone.Panels().Add().SetPopupMenu(&kept);
        gone.Panels().Delete(0);
    }
}

TEST(StatusBarPro, PanelContentIsPlacedByAlignmentAndImage) {
    const TRect r{10, 0, 110, 20};
    // Left: after the indent, the text after the image.
    auto p = PlacePanelContent(r, taLeftJustify, false, 2, 16, 16, 30, 30, 13, true);
    EXPECT_EQ(p.ImageX, 13);
    EXPECT_EQ(p.ImageY, 2);
    EXPECT_EQ(p.TextX, 31);
    EXPECT_EQ(p.TextY, 3);
    // Right: the image at the right edge, the text before it.
    p = PlacePanelContent(r, taRightJustify, false, 0, 16, 16, 30, 30, 13, true);
    EXPECT_EQ(p.ImageX, 93);
    EXPECT_EQ(p.TextX, 61);
    // Centre, without an image.
    p = PlacePanelContent(r, taCenter, false, 0, 0, 0, 30, 30, 13, true);
    EXPECT_FALSE(p.HasImage);
    EXPECT_EQ(p.TextX, 45);
    // No text: nothing to draw beyond the image.
    EXPECT_FALSE(PlacePanelContent(r, taLeftJustify, false, 0, 0, 0, 0, 0, 13, false).HasText);
}

TEST(StatusBarPro, OwnerDrawPanelsGoToOnDrawPanelAndTheLastLeavesTheGrip) {
    RecordingBar bar;
    TStatusPanelPro& a = bar.Panels().Add();
    a.SetStyle(psOwnerDraw);
    std::vector<TRect> drawn;
    bar.OnDrawPanel = [&](TStatusBarPro&, TStatusPanelPro& p, const TRect& r) {
        EXPECT_EQ(&p, &a);
        drawn.push_back(r);
    };
    bar.DrawItem(0, {0, 0, 200, 19});
    bar.sizeable = false;
    bar.DrawItem(0, {0, 0, 200, 19});
    EXPECT_EQ(drawn, (std::vector<TRect>{{0, 0, 184, 19}, {0, 0, 200, 19}}));
}

// At 150 percent the grip takes 24 pixels, an indent of 2 and the margin of
// 1 on each side of a text become 3 and 2, the gap beside an image 3.
TEST(StatusBarPro, AtAnotherScaleTheGripMarginsAndIndentsAreScaled) {
    RecordingBar bar;
    bar.clientWidth = 316;
    bar.SetDpi(144);
    bar.Panels().Add().SetAutoSize(true);
    TStatusPanelPro& text = bar.Panels().Add();
    text.SetAutoWidth(true);
    text.SetIndent(2);
    text.SetText("abc");
    EXPECT_EQ(bar.PanelWidths(bar.clientWidth), (std::vector<int>{264, 28}));
    const auto p = PlacePanelContent({10, 0, 110, 29}, taLeftJustify, false, 2, 24, 24, 18, 18,
                                     20, true, 144);
    EXPECT_EQ(p.ImageX, 15);
    EXPECT_EQ(p.TextX, 42);
}

TEST(StatusBarPro, AssignCopiesSettingsButNotHistoryIndentOrControl) {
    RecordingBar bar;
    TStatusPanelPro& from = bar.Panels().Add();
    from.SetHistory(true);
    from.SetText("x");
    from.SetIndent(4);
    from.SetMinWidth(10);
    from.SetWidth(70);
    from.SetBevel(pbRaised);
    from.SetHint("h");
    FakeControl control;
    from.SetControl(&control);
    TStatusPanelPro& to = bar.Panels().Add();
    to.Assign(from);
    EXPECT_EQ(to.Text(), "x");
    EXPECT_EQ(to.Width(), 70);
    EXPECT_EQ(to.MinWidth(), 10);
    EXPECT_EQ(to.Bevel(), pbRaised);
    EXPECT_EQ(to.Hint(), "h");
    EXPECT_TRUE(to.History());
    EXPECT_TRUE(to.Historylines().empty());
    EXPECT_EQ(to.Indent(), 0);
    EXPECT_EQ(to.Control(), nullptr);
    EXPECT_EQ(from.Control(), &control);
}

// An index outside the panels is an error for Delete as for Items, and the
// panels stay as they were.
TEST(StatusBarPro, DeleteOutsideThePanelsRaisesAsItemsDoes) {
    RecordingBar bar;
    bar.Panels().Add().SetText("a");
    bar.Panels().Add().SetText("b");
    for (const int index : {-1, 2, 1000}) {
        EXPECT_THROW(bar.Panels().Items(index), std::out_of_range) << index;
        EXPECT_THROW(bar.Panels().Delete(index), std::out_of_range) << index;
    }
    ASSERT_EQ(bar.Panels().Count(), 2);
    EXPECT_EQ(bar.Panels()[1].Text(), "b");
}
