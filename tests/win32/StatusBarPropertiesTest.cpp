// The status bar's images and right-to-left drawing on real windows, read
// back from the screen.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "tests/win32/UiDriver.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/StatusBarWin32.h"

namespace {

constexpr wchar_t kFormClass[] = L"StatusBarPropertiesForm";

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A bar on a system whose locale reads right to left; the system under test
// may read left to right.
class RightToLeftLocaleBar : public TStatusBarProWin32 {
protected:
    bool SysLocaleRightToLeft() const override { return true; }
};

// A 16 x 16 bitmap in one colour.
HBITMAP Square(COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all{0, 0, 16, 16};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

bool IsDark(COLORREF c) { return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100; }

class StatusBarProperties : public ::testing::Test {
protected:
    void TearDown() override {
        bar_.reset();
        if (form_) DestroyWindow(form_);
        if (list_) ImageList_Destroy(list_);
    }

    // A white form of 400 x 200 with a fixed border and the bar along its
    // bottom; right to left, the form's style says so.
    void Open(std::unique_ptr<TStatusBarProWin32> bar, DWORD exStyle = 0) {
        EnsureWindowClass(GetModuleHandleW(nullptr), kFormClass, FormProc,
                          static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const DWORD style = WS_POPUP | WS_CAPTION | WS_BORDER | WS_CLIPCHILDREN;
        RECT r{0, 0, 400, 200};
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
        form_ = CreateWindowExW(exStyle, kFormClass, L"Bar", style, 60, 60, r.right - r.left,
                                r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr),
                                nullptr);
        ASSERT_NE(form_, nullptr);
        bar_ = std::move(bar);
        ASSERT_NE(bar_->Create(form_, 1), nullptr);
        MoveWindow(bar_->Handle(), 0, 181, 400, 19, TRUE);
        ShowWindow(form_, SW_SHOW);
        UpdateWindow(form_);
        Pump(50);
    }
    HWND Bar() { return bar_->Handle(); }
    int DarkPixelsIn(int left, int right) {
        int dark = 0;
        for (int y = 3; y < 16; ++y)
            for (int x = left; x < right; ++x) dark += IsDark(ScreenPixel(Bar(), x, y)) ? 1 : 0;
        return dark;
    }

    HWND form_ = nullptr;
    HIMAGELIST list_ = nullptr;
    std::unique_ptr<TStatusBarProWin32> bar_;
};

}  // namespace

TEST_F(StatusBarProperties, AnImageReplacedInTheListShowsAtOnce) {
    Open(std::make_unique<TStatusBarProWin32>());
    list_ = ImageList_Create(16, 16, ILC_COLOR32, 2, 2);
    TImageListWin32 images(list_);
    HBITMAP red = Square(RGB(255, 0, 0));
    images.Add(red, nullptr);
    bar_->SetImages(&images);
    TStatusPanelPro& panel = bar_->Panels().Add();
    panel.SetWidth(120);
    panel.SetImageIndex(0);
    Pump(50);
    // Left-aligned: the image one pixel in from the panel's inside.
    RECT part{};
    SendMessageW(Bar(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    const int x = part.left + 1 + 1 + 8, y = 9;
    EXPECT_EQ(ScreenPixel(Bar(), x, y), RGB(255, 0, 0));

    HBITMAP blue = Square(RGB(0, 0, 255));
    images.Replace(0, blue, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(Bar(), x, y) == RGB(0, 0, 255); }, 2000));
    bar_->SetImages(nullptr);
    DeleteObject(red);
    DeleteObject(blue);
}

TEST_F(StatusBarProperties, RightToLeftTheSimpleTextStandsAtTheRightAndPanelsAreMirrored) {
    Open(std::make_unique<RightToLeftLocaleBar>(), WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR);
    // The bar follows its form's reading order.
    bar_->SetParentBiDiMode(false);
    bar_->SetParentBiDiMode(true);
    ASSERT_EQ(bar_->BiDiMode(), bdRightToLeft);
    bar_->SetSimplePanel(true);
    bar_->SetSimpleText("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D MMMM 2");  // Hebrew "shalom", then Latin
    Pump(100);
    EXPECT_EQ(DarkPixelsIn(4, 200), 0);
    EXPECT_GT(DarkPixelsIn(300, 398), 0);
    SaveScreenshot(L"statusbar-right-to-left-simple");

    // Panels: a left-aligned panel reads from its right edge, its image at
    // the right of its text; the last panel is the first, flipped.
    list_ = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
    TImageListWin32 images(list_);
    HBITMAP red = Square(RGB(255, 0, 0));
    images.Add(red, nullptr);
    bar_->SetImages(&images);
    for (const char* text : {"MMMM first", "MMMM second"}) {
        TStatusPanelPro& p = bar_->Panels().Add();
        p.SetText(text);
        p.SetImageIndex(0);
        p.SetWidth(200);
    }
    bar_->SetSimplePanel(false);
    bar_->FlipChildren();
    EXPECT_EQ(bar_->Panels()[0].Text(), "MMMM second");
    InvalidateRect(Bar(), nullptr, TRUE);
    Pump(100);
    RECT part{};
    SendMessageW(Bar(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    EXPECT_EQ(ScreenPixel(Bar(), part.right - 1 - 1 - 8, 9), RGB(255, 0, 0));
    EXPECT_EQ(DarkPixelsIn(part.left + 2, part.left + 40), 0);
    EXPECT_GT(DarkPixelsIn(part.right - 80, part.right - 20), 0);
    SaveScreenshot(L"statusbar-right-to-left-panels");
    bar_->SetImages(nullptr);
    DeleteObject(red);
}
