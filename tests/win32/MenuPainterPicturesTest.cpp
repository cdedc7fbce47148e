// The menu painter's pictures and right-to-left menus on real windows: the
// pictures of image lists and bitmaps of another depth, and a right-to-left
// menu, read back from the screen while a user opens the menus.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "tests/win32/UiDriver.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/MenuPainterWin32.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

TColor Sys(int index) { return GetSysColor(index); }
COLORREF At(int x, int y) { return ScreenPixel(GetDesktopWindow(), x, y); }

COLORREF WaitForPixel(int x, int y, COLORREF expected) {
    COLORREF seen = CLR_INVALID;
    PumpUntil([&] { return (seen = At(x, y)) == expected; }, 2000);
    return seen;
}

// A square of one colour on a white ground of size x size pixels; depth 0
// makes a bitmap of the screen's kind.
HBITMAP Picture(int size, COLORREF colour, int depth = 0) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = nullptr;
    if (depth == 0) {
        bitmap = CreateCompatibleBitmap(screen, size, size);
    } else {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof bi.bmiHeader, size, -size, 1, static_cast<WORD>(depth), BI_RGB};
        void* bits = nullptr;
        bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, size, size}, square{2, 2, size - 2, size - 2};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &square, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* painter = reinterpret_cast<TMenuPainterWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if ((msg == WM_MEASUREITEM || msg == WM_DRAWITEM) && painter &&
        painter->HandleMenuMessage(msg, wp, lp, result))
        return result;
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A form on a thread of its own with a main menu that the test describes,
// painted by an active painter; the menus' modal loop runs on that thread
// while the test looks at them.
class PictureMenuForm {
public:
    using Describe = std::function<void(TMenu& menu, TMenuPainter& painter)>;
    // cascadeRightToLeft: whether a right-to-left menu's sub-menus open
    // towards the left, which Wine cannot show (see TMenuWin32).
    explicit PictureMenuForm(Describe describe, bool cascadeRightToLeft = true)
        : describe_(std::move(describe)), cascadeRightToLeft_(cascadeRightToLeft) {
        thread_ = std::thread([this] { Run(); });
        PumpUntil([this] { return ready_.load(); }, 5000);
    }
    ~PictureMenuForm() {
        if (hwnd_) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    HWND Handle() const { return hwnd_; }
    HMENU Bar() const { return menu_->Handle(); }

private:
    void Run() {
        EnsureWindowClass(GetModuleHandleW(nullptr), L"NvPictureMenuForm", FormProc,
                          static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HWND hwnd = CreateWindowExW(0, L"NvPictureMenuForm", L"Pictures",
                                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 420, 300, nullptr,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
        model_ = std::make_unique<TMenu>(true, "MainMenu1");
        painter_ = std::make_unique<TMenuPainterWin32>(hwnd);
        describe_(*model_, painter_->Painter());
        menu_ = std::make_unique<TMenuWin32>(*model_, cascadeRightToLeft_);
        menu_->AttachTo(hwnd);
        painter_->AddMenu(*menu_);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(painter_.get()));
        painter_->Painter().SetActive(true);
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
        hwnd_ = hwnd;
        ready_ = true;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        painter_.reset();
        menu_.reset();
    }

    Describe describe_;
    bool cascadeRightToLeft_;
    std::thread thread_;
    std::atomic<bool> ready_{false};
    HWND hwnd_ = nullptr;
    std::unique_ptr<TMenu> model_;
    std::unique_ptr<TMenuWin32> menu_;
    std::unique_ptr<TMenuPainterWin32> painter_;
};

// Opens the menu-bar item's menu with a click; true when a menu shows.
bool OpenBarItem(const PictureMenuForm& form, int index, RECT& bar) {
    GetMenuItemRect(form.Handle(), form.Bar(), static_cast<UINT>(index), &bar);
    XClickAt(GetDesktopWindow(), (bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
    return PumpUntil([] {
        HWND menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu);
    }, 3000);
}

RECT PopupItemRect(HMENU menu, int index) {
    RECT r{};
    GetMenuItemRect(nullptr, menu, static_cast<UINT>(index), &r);
    return r;
}

void CloseMenus() {
    for (int i = 0; i < 3 && FindWindowW(L"#32768", nullptr); ++i) XKey(L"Escape");
}

// Lists of masked 16 x 16 and 24 x 24 images: red and blue squares, and a
// yellow one.
struct PictureLists {
    PictureLists()
        : small(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 2)),
          large(ImageList_Create(24, 24, ILC_COLOR24 | ILC_MASK, 1, 1)),
          smallList(small),
          largeList(large) {
        for (COLORREF c : {RGB(255, 0, 0), RGB(0, 0, 255)}) {
            HBITMAP b = Picture(16, c);
            smallList.AddMasked(b, kWhite);
            DeleteObject(b);
        }
        HBITMAP y = Picture(24, RGB(255, 255, 0));
        largeList.AddMasked(y, kWhite);
        DeleteObject(y);
    }
    ~PictureLists() {
        ImageList_Destroy(small);
        ImageList_Destroy(large);
    }
    HIMAGELIST small, large;
    TImageListWin32 smallList, largeList;
};

}  // namespace

TEST(MenuPainterPictures, ItemsShowTheImageOfTheRightListElseTheirBitmap) {
    PictureLists lists;
    HBITMAP green = Picture(16, RGB(0, 160, 0));
    PictureMenuForm form([&](TMenu& menu, TMenuPainter&) {
        menu.Images = &lists.smallList;
        TMenuItem& file = menu.Items.Add("&File");
        file.Add("Listed").ImageIndex = 1;
        TMenuItem& own = file.Add("Own");
        own.Bitmap = green;
        TMenuItem& more = file.Add("More");
        more.SubMenuImages = &lists.largeList;
        more.Add("Large").ImageIndex = 0;
    });
    ASSERT_NE(form.Handle(), nullptr);
    RECT bar{};
    ASSERT_TRUE(OpenBarItem(form, 0, bar));
    HMENU file = GetSubMenu(form.Bar(), 0);
    // Centred in the 24-pixel icon column, three pixels below the icon box,
    // dimmed by 30 while not selected.
    const RECT listed = PopupItemRect(file, 0);
    EXPECT_EQ(WaitForPixel(listed.left + 4 + 8, listed.top + 5 + 8, RGB(76, 76, 255)), RGB(76, 76, 255));
    const RECT own = PopupItemRect(file, 1);
    EXPECT_EQ(At(own.left + 4 + 8, own.top + 5 + 8), RGB(76, 188, 76));

    // The sub-menu takes its images from its parent's list, 24 high: the
    // item measures 30.
    const RECT more = PopupItemRect(file, 2);
    XClickAt(GetDesktopWindow(), more.left + 40, (more.top + more.bottom) / 2);
    HMENU sub = GetSubMenu(file, 2);
    ASSERT_TRUE(PumpUntil([&] { return PopupItemRect(sub, 0).bottom > 0; }, 3000));
    const RECT large = PopupItemRect(sub, 0);
    EXPECT_EQ(large.bottom - large.top, 30);
    EXPECT_EQ(WaitForPixel(large.left + 1 + 12, large.top + 5 + 12, RGB(255, 255, 76)), RGB(255, 255, 76));
    SaveScreenshot(L"menu-pictures");
    CloseMenus();
    DeleteObject(green);
}

TEST(MenuPainterPictures, ABitmapOfSixteenBitsIsDimmedInTheColoursItShows) {
    HBITMAP red16 = Picture(16, RGB(255, 0, 0), 16);
    HBITMAP red32 = Picture(16, RGB(255, 0, 0), 32);
    PictureMenuForm form([&](TMenu& menu, TMenuPainter&) {
        TMenuItem& file = menu.Items.Add("&File");
        file.Add("Sixteen").Bitmap = red16;
        file.Add("ThirtyTwo").Bitmap = red32;
    });
    ASSERT_NE(form.Handle(), nullptr);
    RECT bar{};
    ASSERT_TRUE(OpenBarItem(form, 0, bar));
    HMENU file = GetSubMenu(form.Bar(), 0);
    // Lighten by 30 with halves to even: 76.5 -> 76, shown in five bits a
    // part as 74; at 32 bits, integer division: 76.
    const RECT sixteen = PopupItemRect(file, 0);
    EXPECT_EQ(WaitForPixel(sixteen.left + 12, sixteen.top + 13, RGB(255, 74, 74)), RGB(255, 74, 74));
    const RECT thirtyTwo = PopupItemRect(file, 1);
    EXPECT_EQ(At(thirtyTwo.left + 12, thirtyTwo.top + 13), RGB(255, 76, 76));
    CloseMenus();
    DeleteObject(red16);
    DeleteObject(red32);
}

TEST(MenuPainterRightToLeft, TheMenuIsMirroredAndTheBarItemsTabEndsAtItsLeft) {
    PictureLists lists;
    PictureMenuForm form([&](TMenu& menu, TMenuPainter& painter) {
        menu.RightToLeft = true;
        menu.Images = &lists.smallList;
        painter.Gradient = true;
        TMenuItem& file = menu.Items.Add("&File");
        file.Add("Open").ShortCutText = "Ctrl+O";
        file.Add("Red").ImageIndex = 0;
        file.Add("-");
        file.Add("Checked").Checked = true;
        file.Add("Exit");
        menu.Items.Add("&Help").Add("About");
    }, false);
    ASSERT_NE(form.Handle(), nullptr);
    RECT bar{};
    ASSERT_TRUE(OpenBarItem(form, 0, bar));
    HMENU file = GetSubMenu(form.Bar(), 0);
    const TColor face = Sys(COLOR_BTNFACE);
    const TColor iconBack = Lighten(face, 16);
    const RECT open = PopupItemRect(file, 0);
    // The gradient runs from the right edge (2 pixels beyond the item):
    // column i grows by 3 while i < 18, so 8 pixels in, i = 10, the level
    // is 31 and 18 pixels in, i = 20, it is 55.
    const int y = open.top + 2;
    EXPECT_EQ(WaitForPixel(open.right - 1 - 8, y, Lighten(iconBack, 31)), Lighten(iconBack, 31));
    EXPECT_EQ(At(open.right - 1 - 18, y), Lighten(iconBack, 55));
    // The picture stands in the icon column at the right.
    const RECT red = PopupItemRect(file, 1);
    EXPECT_EQ(At(red.right - 24 + 4 + 8, red.top + 5 + 8), RGB(255, 76, 76));

    // The selected menu-bar item: its outline ends 3 pixels before its
    // left edge, where the shadow strip runs below a cap in the bar's colour.
    const int mid = (bar.top + bar.bottom) / 2;
    EXPECT_EQ(At(bar.left + 1, mid), Shade(face, 70));
    EXPECT_EQ(At(bar.left + 1, bar.top), face);
    EXPECT_EQ(At(bar.left + 3, mid), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(At(bar.right - 1, mid), Sys(COLOR_HIGHLIGHT));
    const RECT exit = PopupItemRect(file, 4);
    XMoveTo(GetDesktopWindow(), exit.left + 20, (exit.top + exit.bottom) / 2);
    const TColor fill = Lighten(Sys(COLOR_HIGHLIGHT), 68);
    EXPECT_EQ(WaitForPixel(exit.left + 5, (exit.top + exit.bottom) / 2, fill), fill);
    SaveScreenshot(L"menu-right-to-left");
    CloseMenus();
}

TEST(MenuPainterRightToLeft, TheBarsItemsStandAtItsRightAndSubMenusOpenTowardsTheLeft) {
    TMenu model(true, "MainMenu1");
    model.RightToLeft = true;
    model.Items.Add("&File").Add("Open");
    const TMenuWin32 menu(model);
    auto typeOf = [](HMENU m, UINT position) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(m, position, TRUE, &mii);
        return mii.fType;
    };
    const UINT bar = typeOf(menu.Handle(), 0);
    const UINT open = typeOf(GetSubMenu(menu.Handle(), 0), 0);
    EXPECT_EQ(bar & (MFT_RIGHTJUSTIFY | MFT_RIGHTORDER), static_cast<UINT>(MFT_RIGHTJUSTIFY | MFT_RIGHTORDER));
    EXPECT_EQ(open & (MFT_RIGHTJUSTIFY | MFT_RIGHTORDER), static_cast<UINT>(MFT_RIGHTORDER));
}
