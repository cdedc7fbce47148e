// The splitter's colour and enabled state on real windows: pixels read back,
// and a user's drag through the X display.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "tests/win32/UiDriver.h"
#include "toolkit/win32/WinControl.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/SplitterWin32.h"

namespace {

constexpr TColor kFormColor = RGBColor(250, 240, 220);

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A form of 400 x 200 in its own colour: a right-aligned static panel of
// 150 and the splitter against it.
class SplitterProperties : public ::testing::Test {
protected:
    void SetUp() override {
        static HBRUSH background = CreateSolidBrush(kFormColor);
        EnsureWindowClass(GetModuleHandleW(nullptr), L"NvSplitterPropertiesForm", FormProc, background);
        RECT r{0, 0, 400, 200};
        const DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
        AdjustWindowRectEx(&r, style, FALSE, 0);
        form_ = CreateWindowExW(0, L"NvSplitterPropertiesForm", L"Splitter", style, 60, 60,
                                r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(form_, nullptr);
        HWND panel = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 250, 0, 150, 200,
                                     form_, nullptr, GetModuleHandleW(nullptr), nullptr);
        panel_.SetHandle(panel);
        splitter_.Create(form_, 1, true);
        MoveWindow(splitter_.Handle(), 0, 0, 5, 200, TRUE);
        splitter_.SetResizingControl(&panel_);
        ShowWindow(form_, SW_SHOW);
        UpdateWindow(form_);
        Pump(100);
    }
    void TearDown() override {
        XButtonUp(1);
        if (form_) DestroyWindow(form_);
    }

    HWND form_ = nullptr;
    TWinControl panel_{alRight};
    TBetterSplitterWin32 splitter_;
};

}  // namespace

TEST_F(SplitterProperties, TheColourAndTheParentsColourArePainted) {
    ASSERT_EQ(WindowBoundsInParent(splitter_.Handle()), (TRect{245, 0, 250, 200}));
    EXPECT_EQ(ScreenPixel(splitter_.Handle(), 2, 100), static_cast<COLORREF>(GetSysColor(COLOR_BTNFACE)));
    splitter_.SetColor(clRed);
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(splitter_.Handle(), 2, 100) == RGB(255, 0, 0); }, 2000));
    splitter_.SetParentColor(true);
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(splitter_.Handle(), 2, 100) == kFormColor; }, 2000));
}

TEST_F(SplitterProperties, ADisabledSplitterIsNotDragged) {
    splitter_.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(splitter_.Handle()));
    XMoveTo(splitter_.Handle(), 2, 100);
    XButtonDown(1);
    XMoveTo(form_, 200, 100);
    XButtonUp(1);
    Pump(50);
    EXPECT_EQ(WindowBoundsInParent(panel_.Handle()), (TRect{250, 0, 400, 200}));

    splitter_.SetEnabled(true);
    XMoveTo(splitter_.Handle(), 2, 100);
    XButtonDown(1);
    XMoveTo(form_, 200, 100);
    XButtonUp(1);
    Pump(50);
    EXPECT_EQ(WindowBoundsInParent(panel_.Handle()).Left, 203);
}
