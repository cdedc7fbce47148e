// The link label as a label on real windows: its caption placed by its
// alignment and wrapping on its colour, greyed while disabled, aligned
// along its parent's edge, and a user's double click and right click
// through the X display.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedRegistry.h"
#include "tests/win32/UiDriver.h"
#include "toolkit/win32/WinControl.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/PropertyTypesWin32.h"
#include "widgets/win32/URLLabelWin32.h"

namespace {

constexpr TColor kLabelColor = RGBColor(255, 255, 200);

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

bool IsInk(COLORREF c) { return c != kLabelColor; }

// The screen's pixels over a window's client area, read at once.
std::vector<COLORREF> ScreenArea(HWND hwnd, int width, int height) {
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels;
    const auto* px = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i)
        pixels.push_back(RGB((px[i] >> 16) & 0xFF, (px[i] >> 8) & 0xFF, px[i] & 0xFF));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The menu's modal loop runs on the test's thread: a timer looks whether it
// shows, then ends it.
bool menuShown = false;
void CALLBACK LookAtMenuAndEndIt(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    KillTimer(hwnd, id);
    HWND shown = FindWindowW(L"#32768", nullptr);
    menuShown = shown && IsWindowVisible(shown);
    EndMenu();
}

class URLLabelProperties : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureWindowClass(GetModuleHandleW(nullptr), L"NvLabelPropertiesForm", FormProc,
                          static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        RECT r{0, 0, 400, 200};
        AdjustWindowRectEx(&r, style, FALSE, 0);
        form_ = CreateWindowExW(0, L"NvLabelPropertiesForm", L"Label", style, 60, 60,
                                r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(form_, nullptr);
        label_ = std::make_unique<TURLLabelWin32>(registry_, shell_);
        label_->SetAutoSize(false);
        label_->SetColor(kLabelColor);
        label_->SetCaption("MMMMMMM MMMMMMM MMMMMMM MMMMMMM");
        ASSERT_NE(label_->Create(form_, 1, 20, 20, 200, 60), nullptr);
        ShowWindow(form_, SW_SHOW);
        UpdateWindow(form_);
        Pump(100);
    }
    void TearDown() override {
        label_.reset();
        if (form_) DestroyWindow(form_);
    }

    // The leftmost and rightmost column with ink, and the lowest row with it.
    void Ink(int& left, int& right, int& bottom) {
        Pump(50);
        const std::vector<COLORREF> pixels = ScreenArea(label_->Handle(), 200, 60);
        left = 1000, right = -1, bottom = -1;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x)
                if (IsInk(pixels[static_cast<std::size_t>(y * 200 + x)])) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    bottom = std::max(bottom, y);
                }
    }

    HWND form_ = nullptr;
    ScriptedRegistry registry_;
    FakeShell shell_;
    std::unique_ptr<TURLLabelWin32> label_;
};

}  // namespace

TEST_F(URLLabelProperties, TheCaptionStandsByAlignmentAndWrapsOnTheLabelsColour) {
    EXPECT_EQ(ScreenPixel(label_->Handle(), 199, 59), kLabelColor);
    int left = 0, right = 0, bottom = 0;
    Ink(left, right, bottom);
    // One line, cut at the right edge.
    EXPECT_LT(left, 4);
    EXPECT_GE(right, 190);
    EXPECT_LT(bottom, 20);

    label_->SetWordWrap(true);
    Ink(left, right, bottom);
    EXPECT_GT(bottom, 20) << "no second line";
    const int wrappedRight = right;
    EXPECT_LT(wrappedRight, 190);

    label_->SetAlignment(taRightJustify);
    Ink(left, right, bottom);
    EXPECT_GE(right, 196);
    EXPECT_GE(left, 199 - wrappedRight - 4);

    label_->SetAlignment(taCenter);
    int centreLeft = 0;
    Ink(centreLeft, right, bottom);
    EXPECT_NEAR(centreLeft, 199 - right, 2);
}

TEST_F(URLLabelProperties, ADisabledLabelIsGreyedAndTakesNoClick) {
    label_->SetLabelType(TURLLabelType::Link);
    int clicks = 0;
    label_->OnClick = [&] { ++clicks; };
    label_->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(label_->Handle()));
    Pump(50);
    bool shadow = false, blue = false;
    for (int x = 0; x < 100; ++x) {
        const COLORREF c = ScreenPixel(label_->Handle(), x, 7);
        shadow = shadow || c == GetSysColor(COLOR_BTNSHADOW);
        blue = blue || c == RGB(0, 0, 255);
    }
    EXPECT_TRUE(shadow);
    EXPECT_FALSE(blue);
    XClickAt(label_->Handle(), 10, 7);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(URLLabelProperties, ADoubleClickIsAClickThenADoubleClickWithTheMouseEventsAround) {
    std::vector<std::string> events;
    label_->OnClick = [&] { events.push_back("click"); };
    label_->OnDblClick = [&] { events.push_back("double click"); };
    label_->OnMouseDown = [&](TMouseButton b, TShiftState s, int, int) {
        events.push_back(std::string("down") + (b == mbLeft ? " left" : " other") +
                         ((s & ssDouble) ? " double" : ""));
    };
    label_->OnMouseUp = [&](TMouseButton, TShiftState, int, int) { events.push_back("up"); };
    XMoveTo(label_->Handle(), 10, 7);
    XdoTool(L"click --repeat 2 --delay 100 1");
    PumpUntil([&] { return events.size() >= 6; }, 2000);
    EXPECT_EQ(events, (std::vector<std::string>{"down left", "click", "up", "double click",
                                                "down left double", "up"}));
}

TEST_F(URLLabelProperties, ARightClickShowsTheLabelsMenu) {
    HMENU handle = CreatePopupMenu();
    AppendMenuW(handle, MF_STRING, 1, L"Copy link");
    TPopupMenuWin32 menu(handle);
    label_->SetPopupMenu(&menu);
    menuShown = false;
    SetTimer(form_, 1, 700, LookAtMenuAndEndIt);
    XClickAt(label_->Handle(), 10, 7, 3);
    PumpUntil([] { return menuShown; }, 3000);
    EXPECT_TRUE(menuShown);
    label_->SetPopupMenu(nullptr);
    DestroyMenu(handle);
}

TEST_F(URLLabelProperties, AnAlignedLabelStandsAcrossItsParentAsItsParentChangesSize) {
    label_->SetAutoSize(true);
    label_->SetAlign(alTop);
    EXPECT_EQ(WindowBoundsInParent(label_->Handle()).Left, 0);
    EXPECT_EQ(WindowBoundsInParent(label_->Handle()).Top, 0);
    EXPECT_EQ(WindowBoundsInParent(label_->Handle()).Right, 400);
    RECT w;
    GetWindowRect(form_, &w);
    SetWindowPos(form_, nullptr, 0, 0, w.right - w.left + 100, w.bottom - w.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(WindowBoundsInParent(label_->Handle()).Right, 500);
    // Wrapped across a narrower parent, the caption takes more lines.
    const int oneLine = WindowBoundsInParent(label_->Handle()).Height();
    label_->SetWordWrap(true);
    SetWindowPos(form_, nullptr, 0, 0, 120, w.bottom - w.top, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GT(WindowBoundsInParent(label_->Handle()).Height(), oneLine);
}
