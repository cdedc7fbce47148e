// A right-to-left form as a user sees it: its menu, drawn by the painter
// with pictures of an image list and of a 16-bit bitmap, and its status bar.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <thread>

#include "tests/win32/UiDriver.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/MenuPainterWin32.h"
#include "widgets/win32/StatusBarWin32.h"

namespace {

// A red square on a white ground, 16 x 16, of the depth.
HBITMAP RedSquare(WORD depth) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, 16, -16, 1, depth, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, 16, 16}, square{2, 2, 14, 14};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FillRect(dc, &square, red);
    DeleteObject(red);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

// A bar on a system whose locale reads right to left, as Wine's does not.
struct RightToLeftLocaleBar : TStatusBarProWin32 {
    bool SysLocaleRightToLeft() const override { return true; }
};

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* painter = reinterpret_cast<TMenuPainterWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (painter && painter->HandleMenuMessage(msg, wp, lp, result)) return result;
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// The form runs on a thread of its own, so that the test can look at it
// while its menu's modal loop runs. Wine cannot show sub-menus opening
// towards the left (see TMenuWin32): they open as left to right.
void RunForm(std::atomic<HWND>& shown) {
    EnsureWindowClass(GetModuleHandleW(nullptr), L"NvRightToLeftForm", FormProc,
                      static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HWND hwnd = CreateWindowExW(WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR,
                                L"NvRightToLeftForm", L"Right to left", WS_OVERLAPPEDWINDOW, 40, 40,
                                420, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    TImageListWin32 images(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1));
    HBITMAP red = RedSquare(32), sixteen = RedSquare(16);
    images.AddMasked(red, RGB(255, 255, 255));
    TMenu model(true, "MainMenu1");
    model.RightToLeft = true;
    model.Images = &images;
    TMenuItem& file = model.Items.Add("&File");
    file.Add("Open").ShortCutText = "Ctrl+O";
    file.Add("Listed").ImageIndex = 0;
    file.Add("Sixteen").Bitmap = sixteen;
    file.Add("-");
    file.Add("Checked").Checked = true;
    model.Items.Add("&Help").Add("About");
    TMenuWin32 menu(model, false);
    menu.AttachTo(hwnd);
    TMenuPainterWin32 painter(hwnd);
    painter.AddMenu(menu);
    painter.Painter().Gradient = true;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&painter));
    painter.Painter().SetActive(true);
    RightToLeftLocaleBar bar;  // it takes the form's reading order
    bar.SetSimplePanel(true);
    bar.Create(hwnd, 1);
    RECT client;
    GetClientRect(hwnd, &client);
    MoveWindow(bar.Handle(), 0, client.bottom - 19, client.right, 19, TRUE);
    bar.SetSimpleText("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D MMMM 2");  // Hebrew, then Latin
    ShowWindow(hwnd, SW_SHOW);
    shown = hwnd;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    ImageList_Destroy(images.Handle());
    DeleteObject(red);
    DeleteObject(sixteen);
}

COLORREF At(int x, int y) { return ScreenPixel(GetDesktopWindow(), x, y); }

RECT ItemRect(HWND owner, HMENU menu, int index) {
    RECT r{};
    GetMenuItemRect(owner, menu, static_cast<UINT>(index), &r);
    return r;
}

}  // namespace

TEST(RightToLeft, TheMenuAndTheStatusBarAreMirrored) {
    std::atomic<HWND> form{nullptr};
    std::thread thread(RunForm, std::ref(form));
    ASSERT_TRUE(PumpUntil([&] { return form.load() != nullptr; }, 5000));
    HWND bar = FindWindowExW(form, nullptr, STATUSCLASSNAMEW, nullptr);
    const RECT top = ItemRect(form, GetMenu(form), 0);
    XClickAt(GetDesktopWindow(), (top.left + top.right) / 2, (top.top + top.bottom) / 2);
    EXPECT_TRUE(PumpUntil([] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)) != FALSE; }, 3000));
    Pump(300);
    HMENU file = GetSubMenu(GetMenu(form), 0);
    const TColor face = GetSysColor(COLOR_BTNFACE), iconBack = Lighten(face, 16);
    // The gradient runs from 2 pixels beyond the right edge: column i grows
    // by 3 while i < 18; 8 pixels in, i = 10, is at 31, 18 in at 55.
    const RECT open = ItemRect(nullptr, file, 0);
    EXPECT_EQ(At(open.right - 9, open.top + 2), Lighten(iconBack, 31));
    EXPECT_EQ(At(open.right - 19, open.top + 2), Lighten(iconBack, 55));
    // The pictures in the icon column at the right, dimmed by 30: the list's
    // image by integer division (76), the 16-bit bitmap with halves to even
    // (76.5 to 76) in the five bits a part it shows (74).
    const RECT listed = ItemRect(nullptr, file, 1), sixteen = ItemRect(nullptr, file, 2);
    EXPECT_EQ(At(listed.right - 12, listed.top + 13), RGB(255, 76, 76));
    EXPECT_EQ(At(sixteen.right - 12, sixteen.top + 13), RGB(255, 74, 74));
    // The selected menu-bar item's outline ends 3 pixels in from its left
    // edge, where a shadow strip runs below a cap in the bar's colour.
    const int mid = (top.top + top.bottom) / 2;
    EXPECT_EQ(At(top.left + 1, mid), Shade(face, 70));
    EXPECT_EQ(At(top.left + 1, top.top), face);
    EXPECT_EQ(At(top.left + 3, mid), GetSysColor(COLOR_HIGHLIGHT));
    // The status bar's text stands at its right end.
    int darkLeft = 0, darkRight = 0;
    for (int x = 4; x < 396; x += 2)
        for (int y = 5; y < 14; y += 2)
            if (GetRValue(ScreenPixel(bar, x, y)) < 100) ++(x < 200 ? darkLeft : darkRight);
    EXPECT_EQ(darkLeft, 0);
    EXPECT_GT(darkRight, 0);
    SaveScreenshot(L"right-to-left");
    XKey(L"Escape");
    XKey(L"Escape");
    PostMessageW(form, WM_CLOSE, 0, 0);
    thread.join();
}
