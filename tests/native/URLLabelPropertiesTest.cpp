// The link label's placement rules, and what a disabled label does.
#include <gtest/gtest.h>

#include <vector>

#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedRegistry.h"
#include "widgets/URLLabel.h"

TEST(URLLabelProperties, AnAutoSizedOrAlignedLabelTakesItsPlace) {
    const TRect label{10, 20, 110, 40}, client{0, 0, 300, 200};
    EXPECT_EQ(AutoSizedLabelBounds(label, 60, 13, taCenter), (TRect{10, 20, 70, 33}));
    EXPECT_EQ(AutoSizedLabelBounds(label, 60, 13, taRightJustify), (TRect{50, 20, 110, 33}));
    const std::vector<std::pair<TAlign, TRect>> aligned = {
        {alNone, label},          {alTop, {0, 0, 300, 20}},    {alBottom, {0, 180, 300, 200}},
        {alLeft, {0, 0, 100, 200}}, {alRight, {200, 0, 300, 200}}, {alClient, client}};
    for (const auto& [align, expected] : aligned)
        EXPECT_EQ(AlignedLabelBounds(align, client, label), expected) << align;
}

TEST(URLLabelProperties, ADisabledLabelTakesNoMouseActionAndShowsNoMenu) {
    ScriptedRegistry registry;
    FakeShell shell;
    TURLLabel label(registry, shell);
    label.SetLabelType(TURLLabelType::Link);
    TPopupMenu menu;
    label.SetPopupMenu(&menu);
    int events = 0;
    label.OnClick = label.OnDblClick = [&] { ++events; };
    label.OnMouseDown = label.OnMouseUp = [&](TMouseButton, TShiftState, int, int) { ++events; };
    label.OnMouseMove = [&](TShiftState, int, int) { ++events; };
    for (bool enabled : {false, true}) {
        label.SetEnabled(enabled);
        label.MouseDown(mbLeft, ssLeft, 3, 4);
        label.MouseMove(ssLeft, 5, 6);
        label.MouseUp(mbLeft, 0, 5, 6);
        label.Click();
        label.DblClick();
        EXPECT_EQ(events, enabled ? 5 : 0);
        EXPECT_EQ(shell.opened.size(), enabled ? 1u : 0u);
        EXPECT_EQ(label.ContextMenu(), enabled ? &menu : nullptr);
    }
}
