// The components' look on one form, read back from the screen: flat panel
// bevels in their width and kind, the splitter in its colour, and the link
// label's caption by its alignment and wrapping.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <tuple>
#include <vector>

#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedRegistry.h"
#include "tests/win32/UiDriver.h"
#include "toolkit/win32/WinControl.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/MenuPainterWin32.h"
#include "widgets/win32/SplitterWin32.h"
#include "widgets/win32/URLLabelWin32.h"

namespace {

constexpr TColor kBase = RGBColor(60, 120, 180), kLabelColor = RGBColor(255, 255, 200);

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

class ComponentLook : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureWindowClass(GetModuleHandleW(nullptr), L"NvComponentLookForm", FormProc,
                          static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        form_ = CreateWindowExW(0, L"NvComponentLookForm", L"Look", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                                40, 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        label_.SetAutoSize(false);
        label_.SetColor(kLabelColor);
        label_.SetCaption("MMMMMMM MMMMMMM MMMMMMM MMMMMMM");
        label_.Create(form_, 1, 20, 160, 200, 60);
        lowered_.Create(form_, 2, true);
        space_.Create(form_, 3, true);
        MoveWindow(lowered_.Handle(), 10, 10, 150, 100, TRUE);
        MoveWindow(space_.Handle(), 180, 10, 150, 100, TRUE);
        splitter_.Create(form_, 4, true);
        MoveWindow(splitter_.Handle(), 10, 120, 300, 5, TRUE);
        painter_ = std::make_unique<TMenuPainterWin32>(form_);
        painter_->Painter().SetActive(true);
        Pump(200);
    }
    void TearDown() override { DestroyWindow(form_); }
    // The first column from the left (or the right) of the label's row y not
    // in its colour; -1 for none.
    int Ink(int y, bool fromLeft) {
        Pump(50);
        for (int i = 0; i < 200; ++i)
            if (ScreenPixel(label_.Handle(), fromLeft ? i : 199 - i, y) != kLabelColor)
                return fromLeft ? i : 199 - i;
        return -1;
    }
    HWND form_ = nullptr;
    ScriptedRegistry registry_;
    FakeShell shell_;
    TURLLabelWin32 label_{registry_, shell_};
    // Colour, outer and inner bevel, edit colour, border width, bevel width.
    TPanelWin32 lowered_{{kBase, TBevel::Lowered, TBevel::None, 0, false, 0, 3}};
    TPanelWin32 space_{{kBase, TBevel::Space, TBevel::Lowered, 0, false, 2, 2}};
    TBetterSplitterWin32 splitter_;
    std::unique_ptr<TMenuPainterWin32> painter_;
};

}  // namespace

TEST_F(ComponentLook, FlatBevelsHaveThePanelsWidthASpaceBevelLooksRaisedTheSplitterItsColour) {
    // From each edge inwards at mid height: three columns of lowered bevel;
    // two of space bevel (light at the left, shadow at the right), two of
    // border, two of lowered inner bevel.
    const TColor S = Shade(kBase, 60), L = Lighten(kBase, 60), B = kBase;
    const std::vector<std::tuple<HWND, std::vector<int>, std::vector<TColor>>> rows = {
        {lowered_.Handle(), {0, 2, 3, 146, 147, 149}, {S, S, B, B, L, L}},
        {space_.Handle(), {1, 2, 3, 4, 5, 6}, {L, B, B, S, S, B}},
        {space_.Handle(), {143, 144, 145, 146, 147, 148}, {B, L, L, B, B, S}},
    };
    for (const auto& [panel, xs, colours] : rows)
        for (std::size_t i = 0; i < xs.size(); ++i)
            EXPECT_EQ(ScreenPixel(panel, xs[i], 50), colours[i]) << "x = " << xs[i];
    auto splitterShows = [&](COLORREF c) {
        return PumpUntil([&] { return ScreenPixel(splitter_.Handle(), 150, 2) == c; }, 2000);
    };
    splitter_.SetColor(clRed);
    EXPECT_TRUE(splitterShows(RGB(255, 0, 0)));
    splitter_.SetParentColor(true);
    EXPECT_TRUE(splitterShows(RGB(255, 255, 255)));
}

TEST_F(ComponentLook, TheLabelsCaptionStandsByAlignmentAndWrappingGreyedWhileDisabled) {
    label_.SetWordWrap(true);
    label_.SetAlignment(taRightJustify);
    // Two lines, each ending at the right edge.
    const int left = Ink(6, true);
    EXPECT_GT(left, 10);
    EXPECT_GE(Ink(6, false), 196);
    EXPECT_GE(Ink(19, false), 196);
    label_.SetAlignment(taCenter);
    EXPECT_NEAR(Ink(6, true), left / 2, 2);
    label_.SetEnabled(false);
    Pump(50);
    bool shadow = false;
    for (int x = 0; x < 200 && !shadow; ++x)
        shadow = ScreenPixel(label_.Handle(), x, 7) == GetSysColor(COLOR_BTNSHADOW);
    EXPECT_TRUE(shadow);
    // Aligned to the top, it stands across the form as the form's size changes.
    label_.SetAlign(alTop);
    SetWindowPos(form_, nullptr, 0, 0, 300, 300, SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    GetClientRect(form_, &client);
    EXPECT_EQ(WindowBoundsInParent(label_.Handle()), (TRect{0, 0, client.right, 60}));
}
