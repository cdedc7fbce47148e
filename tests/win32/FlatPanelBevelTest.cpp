// Flat panels: their bevels in the panel's width and kind, read back from
// the screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "tests/win32/UiDriver.h"
#include "toolkit/win32/Panel.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/MenuPainterWin32.h"

namespace {

constexpr TColor kBase = RGBColor(60, 120, 180);

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

TEST(FlatPanelBevel, EachBevelHasThePanelsWidthAndASpaceBevelLooksRaised) {
    EnsureWindowClass(GetModuleHandleW(nullptr), L"NvFlatBevelForm", FormProc,
                      static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HWND form = CreateWindowExW(0, L"NvFlatBevelForm", L"Bevels", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                40, 40, 360, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(form, nullptr);
    TPanelStyle lowered{kBase, TBevel::Lowered, TBevel::None};
    lowered.BevelWidth = 3;
    TPanelStyle space{kBase, TBevel::Space, TBevel::Lowered};
    space.BevelWidth = 2;
    space.BorderWidth = 2;
    TPanelWin32 first(lowered), second(space);
    first.Create(form, 1, true);
    second.Create(form, 2, true);
    MoveWindow(first.Handle(), 10, 10, 150, 100, TRUE);
    MoveWindow(second.Handle(), 180, 10, 150, 100, TRUE);
    auto painter = std::make_unique<TMenuPainterWin32>(form);
    painter->Painter().SetActive(true);
    ShowWindow(form, SW_SHOW);
    UpdateWindow(form);
    Pump(200);

    const TColor shadow = Shade(kBase, 60), light = Lighten(kBase, 60);
    struct Column {
        HWND panel;
        int x;
        TColor expected;
    };
    // From each edge inwards, at mid height: the first panel's three
    // columns of lowered bevel; the second's two of space bevel (light at
    // the left, shadow at the right), two of border, two of lowered inner
    // bevel.
    const std::vector<Column> columns = {
        {first.Handle(), 0, shadow},   {first.Handle(), 2, shadow},   {first.Handle(), 3, kBase},
        {first.Handle(), 149, light},  {first.Handle(), 147, light},  {first.Handle(), 146, kBase},
        {second.Handle(), 0, light},   {second.Handle(), 1, light},   {second.Handle(), 2, kBase},
        {second.Handle(), 3, kBase},   {second.Handle(), 4, shadow},  {second.Handle(), 5, shadow},
        {second.Handle(), 6, kBase},   {second.Handle(), 149, shadow}, {second.Handle(), 148, shadow},
        {second.Handle(), 147, kBase}, {second.Handle(), 145, light}, {second.Handle(), 144, light},
        {second.Handle(), 143, kBase},
    };
    PumpUntil([&] { return ScreenPixel(second.Handle(), 4, 50) == shadow; }, 2000);
    for (const Column& c : columns)
        EXPECT_EQ(ScreenPixel(c.panel, c.x, 50), c.expected)
            << (c.panel == first.Handle() ? "first" : "second") << " panel, x = " << c.x;
    SaveScreenshot(L"flat-panel-bevels");
    DestroyWindow(form);
    painter.reset();
}
