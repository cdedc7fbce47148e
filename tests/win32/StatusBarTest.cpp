// The status bar on real windows: what reaches the platform control, and
// what the screen shows.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "tests/win32/UiDriver.h"
#include "toolkit/win32/WinControl.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/StatusBarWin32.h"

namespace {

constexpr wchar_t kFormClass[] = L"StatusBarTestForm";
constexpr UINT_PTR kCounterId = 77;

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// Counts the texts handed to the simple part of the platform control.
LRESULT CALLBACK CountSimpleTexts(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                  DWORD_PTR count) {
    if ((msg == SB_SETTEXTW || msg == SB_SETTEXTA) && (wp & 0xFF) == 255)
        ++*reinterpret_cast<int*>(count);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

bool IsDark(COLORREF c) { return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100; }

class StatusBarTest : public ::testing::Test {
protected:
    void TearDown() override {
        bar_.reset();
        if (form_) DestroyWindow(form_);
        form_ = nullptr;
    }

    // A white form of 400 x 200 with the bar along its bottom, 19 high.
    void Open(DWORD formStyle, bool simple) {
        EnsureWindowClass(GetModuleHandleW(nullptr), kFormClass, FormProc,
                          static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        RECT r{0, 0, 400, 200};
        AdjustWindowRectEx(&r, formStyle, FALSE, 0);
        form_ = CreateWindowExW(0, kFormClass, L"Bar", formStyle | WS_CLIPCHILDREN, 50, 50,
                                r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(form_, nullptr);
        bar_ = std::make_unique<TStatusBarProWin32>();
        bar_->SetSimplePanel(simple);
        ASSERT_NE(bar_->Create(form_, 1), nullptr);
        MoveWindow(bar_->Handle(), 0, 181, 400, 19, TRUE);
        ShowWindow(form_, SW_SHOW);
        UpdateWindow(form_);
        Settle();
    }
    HWND Bar() { return bar_->Handle(); }
    // True when the bar has nothing left to paint.
    bool NothingToPaint() {
        RECT r;
        return !GetUpdateRect(Bar(), &r, FALSE);
    }
    bool AnyDarkPixel(int left, int top, int right, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (IsDark(ScreenPixel(Bar(), x, y))) return true;
        return false;
    }
    // The size grip's ridges, in the bar's lower right corner.
    bool GripVisible(COLORREF background) {
        for (int d = 2; d < 12; ++d)
            if (ScreenPixel(Bar(), 400 - d, 18) != background) return true;
        return false;
    }

    HWND form_ = nullptr;
    std::unique_ptr<TStatusBarProWin32> bar_;
};

}  // namespace

TEST_F(StatusBarTest, SimpleTextWrittenTwiceReachesTheControlOnce) {
    Open(WS_OVERLAPPEDWINDOW, true);
    int sent = 0;
    SetWindowSubclass(Bar(), CountSimpleTexts, kCounterId, reinterpret_cast<DWORD_PTR>(&sent));
    bar_->SetSimpleText("Scanning");
    bar_->SetSimpleText("Scanning");
    EXPECT_EQ(sent, 1);
    bar_->SetSimpleText("Done");
    EXPECT_EQ(sent, 2);
    RemoveWindowSubclass(Bar(), CountSimpleTexts, kCounterId);
    EXPECT_EQ(GetWindowTextLengthW(Bar()), 4);
}

TEST_F(StatusBarTest, RedThenParentColourArePaintedAtOnceAndTheTextStaysVisible) {
    Open(WS_OVERLAPPEDWINDOW, true);
    bar_->SetSimpleText("MMMMMMMM");
    PumpUntil([&] { return NothingToPaint(); }, 2000);
    bar_->SetColor(clRed);
    EXPECT_TRUE(NothingToPaint());
    // Wine hands the window's pixels to the X display when the thread idles.
    EXPECT_EQ(WaitForPixel(Bar(), 300, 9, RGB(255, 0, 0)), RGB(255, 0, 0));
    EXPECT_TRUE(AnyDarkPixel(2, 3, 40, 16)) << "the text is not drawn on the red bar";
    SaveScreenshot(L"statusbar-red");

    bar_->SetParentColor(true);
    EXPECT_TRUE(NothingToPaint());
    EXPECT_EQ(WaitForPixel(Bar(), 300, 9, RGB(255, 255, 255)), RGB(255, 255, 255));
    EXPECT_EQ(bar_->Color(), clWhite);
    EXPECT_TRUE(AnyDarkPixel(2, 3, 40, 16));
}

TEST_F(StatusBarTest, SizeGripOnlyOnASizeableForm) {
    Open(WS_OVERLAPPEDWINDOW, true);
    EXPECT_TRUE(GetWindowLongW(Bar(), GWL_STYLE) & SBARS_SIZEGRIP);
    bar_->SetColor(clRed);
    ASSERT_EQ(WaitForPixel(Bar(), 300, 9, RGB(255, 0, 0)), RGB(255, 0, 0));
    EXPECT_TRUE(GripVisible(RGB(255, 0, 0)));
    TearDown();

    Open(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_BORDER, true);  // a fixed border
    EXPECT_FALSE(GetWindowLongW(Bar(), GWL_STYLE) & SBARS_SIZEGRIP);
    EXPECT_TRUE(GetWindowLongW(Bar(), GWL_STYLE) & CCS_TOP);
    bar_->SetColor(clRed);
    ASSERT_EQ(WaitForPixel(Bar(), 300, 9, RGB(255, 0, 0)), RGB(255, 0, 0));
    EXPECT_FALSE(GripVisible(RGB(255, 0, 0)));
}

TEST_F(StatusBarTest, PanelsAreDrawnInTheirColoursAndOwnerDrawnByTheHandler) {
    Open(WS_POPUP | WS_CAPTION | WS_BORDER, false);
    TStatusPanelPro& blue = bar_->Panels().Add();
    blue.SetWidth(100);
    blue.SetColor(RGB(0, 0, 255));
    TStatusPanelPro& drawn = bar_->Panels().Add();
    drawn.SetWidth(100);
    drawn.SetStyle(psOwnerDraw);
    bar_->OnDrawPanel = [](TStatusBarPro& bar, TStatusPanelPro&, const TRect& r) {
        HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
        const RECT rect{r.Left, r.Top, r.Right, r.Bottom};
        FillRect(static_cast<TStatusBarProWin32&>(bar).Canvas(), &rect, green);
        DeleteObject(green);
    };
    TStatusPanelPro& last = bar_->Panels().Add();
    last.SetText("last");
    InvalidateRect(Bar(), nullptr, TRUE);
    EXPECT_EQ(WaitForPixel(Bar(), 50, 9, RGB(0, 0, 255)), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(Bar(), 150, 9), RGB(0, 255, 0));
    // The last panel reaches the bar's end: no grip on this form.
    EXPECT_EQ(ScreenPixel(Bar(), 396, 9), static_cast<COLORREF>(bar_->Color()));
}

TEST_F(StatusBarTest, ClickOnAPanelGoesToThatPanel) {
    Open(WS_POPUP | WS_CAPTION | WS_BORDER, false);
    TStatusPanelPro& first = bar_->Panels().Add();
    first.SetWidth(150);
    TStatusPanelPro& second = bar_->Panels().Add();
    std::string clicked;
    first.OnClick = [&](void*) { clicked += "first;"; };
    second.OnClick = [&](void*) { clicked += "second;"; };
    XClickAt(Bar(), 250, 9);
    PumpUntil([&] { return !clicked.empty(); }, 1000);
    EXPECT_EQ(clicked, "second;");
    EXPECT_EQ(bar_->HotPanel(), &second);
}

TEST_F(StatusBarTest, EmbeddedControlSitsInsideItsPanel) {
    Open(WS_POPUP | WS_CAPTION | WS_BORDER, false);
    bar_->Panels().Add().SetWidth(120);
    TStatusPanelPro& host = bar_->Panels().Add();
    host.SetWidth(120);
    HWND button = CreateWindowExW(0, L"BUTTON", L"Go", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, form_,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    TWinControl control;
    control.SetHandle(button);
    host.SetControl(&control);
    EXPECT_EQ(GetParent(button), Bar());
    RECT part{};
    SendMessageW(Bar(), SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    const TRect b = control.BoundsRect();
    EXPECT_GE(b.Left, part.left);
    EXPECT_LE(b.Right, part.right);
    EXPECT_GE(b.Top, part.top);
    EXPECT_LE(b.Bottom, part.bottom);
    EXPECT_GT(b.Width(), 100);
    bar_->SetSimplePanel(true);
    EXPECT_EQ(control.BoundsRect().Width(), 0);
}

TEST_F(StatusBarTest, TheGripSizesOnlyASizeableForm) {
    // The system's sizing starts where the bar answers HTBOTTOMRIGHT.
    Open(WS_OVERLAPPEDWINDOW, true);
    POINT grip{395, 15};
    ClientToScreen(Bar(), &grip);
    EXPECT_EQ(SendMessageW(Bar(), WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTBOTTOMRIGHT);
    TearDown();
    Open(WS_POPUP | WS_CAPTION | WS_BORDER, true);
    grip = {395, 15};
    ClientToScreen(Bar(), &grip);
    EXPECT_NE(SendMessageW(Bar(), WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTBOTTOMRIGHT);
}

TEST_F(StatusBarTest, HintOfThePanelUnderTheMouseIsShown) {
    Open(WS_POPUP | WS_CAPTION | WS_BORDER, false);
    TStatusPanelPro& first = bar_->Panels().Add();
    first.SetWidth(150);
    first.SetHint("Free disk space");
    bar_->Panels().Add();
    XMoveTo(Bar(), 60, 9);
    XMoveTo(Bar(), 70, 9);
    EXPECT_EQ(bar_->HotPanel(), &first);
    HWND tip = nullptr;
    const bool shown = PumpUntil(
        [&] {
            // A popup made for a child window is owned by its form.
            for (tip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tip;
                 tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr))
                if (GetWindow(tip, GW_OWNER) == form_ && IsWindowVisible(tip)) return true;
            return false;
        },
        5000);
    ASSERT_TRUE(shown);
    wchar_t text[64] = {};
    GetWindowTextW(tip, text, 64);
    EXPECT_STREQ(text, L"Free disk space");
    SaveScreenshot(L"statusbar-hint");
}

// Shift+F10 and the menu key send the context menu without a position: the
// menu opens at the bar's corner, not at the screen's.
TEST_F(StatusBarTest, ContextMenuFromTheKeyboardOpensAtTheBar) {
    Open(WS_OVERLAPPEDWINDOW, true);
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 1, L"Copy");
    TPopupMenuWin32 menu(popup);
    bar_->SetPopupMenu(&menu);
    // The menu's own loop fires this thread's timer: it notes where the menu
    // opened and closes it.
    static RECT opened;
    opened = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND shown = FindWindowW(L"#32768", nullptr);
        if (shown == nullptr || !IsWindowVisible(shown)) return;
        GetWindowRect(shown, &opened);
        EndMenu();
    });
    SendMessageW(Bar(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Bar()), -1);
    KillTimer(nullptr, timer);
    bar_->SetPopupMenu(nullptr);
    DestroyMenu(popup);
    POINT corner{0, 0};
    ClientToScreen(Bar(), &corner);
    EXPECT_EQ(opened.left, corner.x);
    EXPECT_EQ(opened.top, corner.y);
}
