// The link label's properties as a label: where it goes when it sizes
// itself or is aligned, what a disabled one does, its menu and its mouse
// events.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedRegistry.h"
#include "widgets/URLLabel.h"

namespace {

class CountingLabel : public TURLLabel {
public:
    using TURLLabel::TURLLabel;
    int changes = 0;

protected:
    void Changed() override { ++changes; }
};

class URLLabelProperties : public ::testing::Test {
protected:
    ScriptedRegistry registry;
    FakeShell shell;
};

}  // namespace

TEST(URLLabelPlacement, AnAutoSizedLabelTakesItsTextsSizeKeepingTheEdgeItIsAlignedTo) {
    const TRect bounds{10, 20, 110, 40};
    EXPECT_EQ(AutoSizedLabelBounds(bounds, 60, 13, taLeftJustify), (TRect{10, 20, 70, 33}));
    EXPECT_EQ(AutoSizedLabelBounds(bounds, 60, 13, taCenter), (TRect{10, 20, 70, 33}));
    EXPECT_EQ(AutoSizedLabelBounds(bounds, 60, 13, taRightJustify), (TRect{50, 20, 110, 33}));
    // A wrapped text higher than the label.
    EXPECT_EQ(AutoSizedLabelBounds(bounds, 100, 39, taLeftJustify), (TRect{10, 20, 110, 59}));
}

TEST(URLLabelPlacement, AnAlignedLabelStandsAlongItsEdgeAcrossTheParent) {
    const TRect client{0, 0, 300, 200};
    const TRect label{10, 20, 110, 40};
    struct Case {
        TAlign align;
        TRect expected;
    };
    for (const Case& c : std::vector<Case>{{alNone, label},
                                           {alTop, {0, 0, 300, 20}},
                                           {alBottom, {0, 180, 300, 200}},
                                           {alLeft, {0, 0, 100, 200}},
                                           {alRight, {200, 0, 300, 200}},
                                           {alClient, client}})
        EXPECT_EQ(AlignedLabelBounds(c.align, client, label), c.expected) << c.align;
}

TEST_F(URLLabelProperties, EachLookChangeRepaintsOnceAndOnlyWhenItChanges) {
    CountingLabel label(registry, shell);
    const std::vector<std::function<void()>> writes = {
        [&] { label.SetColor(RGBColor(1, 2, 3)); },  [&] { label.SetAlign(alTop); },
        [&] { label.SetAlignment(taCenter); },       [&] { label.SetWordWrap(true); },
        [&] { label.SetEnabled(false); },
    };
    for (std::size_t i = 0; i < writes.size(); ++i) {
        const int before = label.changes;
        writes[i]();
        EXPECT_EQ(label.changes, before + 1) << i;
        writes[i]();
        EXPECT_EQ(label.changes, before + 1) << i << ", written again";
    }
}

TEST_F(URLLabelProperties, ADisabledLabelTakesNoMouseActionAndShowsNoMenu) {
    CountingLabel label(registry, shell);
    label.SetLabelType(TURLLabelType::Link);
    TPopupMenu menu;
    label.SetPopupMenu(&menu);
    std::vector<std::string> events;
    label.OnClick = [&] { events.push_back("click"); };
    label.OnDblClick = [&] { events.push_back("double click"); };
    label.OnMouseDown = [&](TMouseButton b, TShiftState s, int x, int y) {
        events.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " +
                         std::to_string(x) + "," + std::to_string(y));
    };
    label.OnMouseMove = [&](TShiftState, int x, int y) {
        events.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    };
    label.OnMouseUp = [&](TMouseButton b, TShiftState, int, int) {
        events.push_back("up " + std::to_string(b));
    };
    auto act = [&] {
        label.MouseDown(mbRight, ssRight | ssShift, 3, 4);
        label.MouseMove(0, 5, 6);
        label.MouseUp(mbRight, 0, 5, 6);
        label.Click();
        label.DblClick();
    };

    label.SetEnabled(false);
    act();
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_EQ(label.ContextMenu(), nullptr);

    label.SetEnabled(true);
    act();
    EXPECT_EQ(events, (std::vector<std::string>{"down 1 17 3,4", "move 5,6", "up 1", "click",
                                                "double click"}));
    EXPECT_EQ(shell.opened, std::vector<std::string>{"http://www.example.com"});
    EXPECT_EQ(label.ContextMenu(), &menu);
}

TEST_F(URLLabelProperties, AMenuThatGoesAwayIsForgotten) {
    CountingLabel label(registry, shell);
    {
        TPopupMenu menu;
        label.SetPopupMenu(&menu);
    }
    EXPECT_EQ(label.PopupMenu(), nullptr);
    TPopupMenu kept;
    {
        CountingLabel gone(registry, shell);
        gone.SetPopupMenu(&kept);
    }
}
