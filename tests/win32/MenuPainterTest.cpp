// The flat look on real windows: colours read back from the screen while a
// user hovers, presses and opens menus through the X display.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "app/win32/MainForm.h"
#include "platform/win32/Win32Platform.h"
#include "tests/win32/MainFormFixture.h"
#include "toolkit/win32/Panel.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/MenuPainterWin32.h"

using platform::win32::Narrow;

namespace {

namespace fs = std::filesystem;

constexpr TColor kFormColor = RGBColor(250, 240, 220);
constexpr TColor kPanelColor = RGBColor(40, 110, 170);
constexpr TColor kOwnColor = RGBColor(255, 0, 255);
constexpr TColor kCustomColor = RGBColor(0, 255, 255);

TColor Sys(int index) { return GetSysColor(index); }

LRESULT CALLBACK TestFormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

HWND CreateTestForm(const wchar_t* title, int width, int height) {
    static HBRUSH background = CreateSolidBrush(kFormColor);
    EnsureWindowClass(GetModuleHandleW(nullptr), L"NvFlatTestForm", TestFormProc, background);
    return CreateWindowExW(0, L"NvFlatTestForm", title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40,
                           40, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// What a test form does besides the default: its menus' owner drawing,
// a pop-up menu on right click, and work handed to it from the test.
struct TestFormHandlers {
    TMenuPainterWin32* painter = nullptr;
    HMENU popup = nullptr;
};

LRESULT CALLBACK TestFormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* handlers = reinterpret_cast<TestFormHandlers*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (handlers) {
        LRESULT result = 0;
        if ((msg == WM_MEASUREITEM || msg == WM_DRAWITEM) && handlers->painter &&
            handlers->painter->HandleMenuMessage(msg, wp, lp, result))
            return result;
        // The form's thread ends with the form.
        if (msg == WM_DESTROY) PostQuitMessage(0);
        if (msg == WM_CONTEXTMENU && handlers->popup) {
            TrackPopupMenu(handlers->popup, TPM_LEFTALIGN | TPM_TOPALIGN, static_cast<short>(LOWORD(lp)),
                           static_cast<short>(HIWORD(lp)), 0, hwnd, nullptr);
            return 0;
        }
    }
    if (msg == WM_APP) {
        (*reinterpret_cast<std::function<void()>*>(lp))();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// ------------------------------------------------------------------ flat controls

class FlatControls : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = CreateTestForm(L"Flat controls", 420, 260);
        ASSERT_NE(form_, nullptr);
        panel_ = std::make_unique<TPanelWin32>(TPanelStyle{kPanelColor, TBevel::Lowered, TBevel::None});
        panel_->Create(form_, 10, true);
        MoveWindow(panel_->Handle(), 10, 10, 380, 90, TRUE);
        auto child = [](const wchar_t* cls, const wchar_t* text, DWORD style, DWORD ex, HWND parent,
                        int x, int y, int w, int h) {
            return CreateWindowExW(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        };
        tagged_ = child(L"BUTTON", L"Go", BS_PUSHBUTTON | WS_TABSTOP, 0, panel_->Handle(), 20, 20, 120, 30);
        SetControlTag(tagged_, 1000);
        plain_ = child(L"BUTTON", L"Plain", BS_PUSHBUTTON, 0, panel_->Handle(), 200, 20, 120, 30);
        edit_ = child(L"EDIT", L"text", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, form_, 10, 120, 200, 24);
        editProc_ = GetWindowLongPtrW(edit_, GWLP_WNDPROC);

        painter_ = std::make_unique<TMenuPainterWin32>(form_);
        painter_->Painter().SetActive(true);
        ShowWindow(form_, SW_SHOW);
        UpdateWindow(form_);
        Settle();
        XMoveTo(form_, 300, 200);
    }
    void TearDown() override {
        if (form_) DestroyWindow(form_);
        painter_.reset();
        panel_.reset();
    }

    HWND form_ = nullptr;
    std::unique_ptr<TPanelWin32> panel_;
    std::unique_ptr<TMenuPainterWin32> painter_;
    HWND tagged_ = nullptr;
    HWND plain_ = nullptr;
    HWND edit_ = nullptr;
    LONG_PTR editProc_ = 0;
};

TEST_F(FlatControls, ButtonWithTag1000TakesThePanelColourLightenedBy16And40WhileHot) {
    EXPECT_EQ(WaitForPixel(tagged_, 6, 15, Lighten(kPanelColor, 16)), Lighten(kPanelColor, 16));
    // A button without the tag takes the painter's icon background.
    EXPECT_EQ(WaitForPixel(plain_, 6, 15, Lighten(Sys(COLOR_BTNFACE), 16)), Lighten(Sys(COLOR_BTNFACE), 16));
    // Round corners show the panel behind them.
    EXPECT_EQ(ScreenPixel(tagged_, 0, 0), kPanelColor);

    XMoveTo(tagged_, 60, 15);
    EXPECT_EQ(WaitForPixel(tagged_, 6, 15, Lighten(kPanelColor, 40)), Lighten(kPanelColor, 40));
    EXPECT_TRUE(painter_->HookOf(tagged_)->Hot());

    XMoveTo(form_, 300, 200);
    EXPECT_EQ(WaitForPixel(tagged_, 6, 15, Lighten(kPanelColor, 16)), Lighten(kPanelColor, 16));
    EXPECT_FALSE(painter_->HookOf(tagged_)->Hot());
}

TEST_F(FlatControls, HoldingTheSpaceBarShowsThePressedLookUntilReleased) {
    XClickCenter(tagged_);
    XMoveTo(form_, 300, 200);
    ASSERT_EQ(GetFocus(), tagged_);
    RECT r;
    GetClientRect(tagged_, &r);
    const int w = r.right, h = r.bottom;
    // Focused: the frame takes the selection colour.
    const TColor base = Lighten(Sys(COLOR_HIGHLIGHT), 60);
    const TColor edge = Shade(base, 50);
    const TColor outline = Lighten(base, 30);
    EXPECT_EQ(WaitForPixel(tagged_, w - 1, h / 2, edge), edge);
    EXPECT_EQ(ScreenPixel(tagged_, 0, h / 2), outline);

    XKeyDown(L"space");
    EXPECT_EQ(WaitForPixel(tagged_, 0, h / 2, edge), edge);
    EXPECT_EQ(ScreenPixel(tagged_, w - 1, h / 2), outline);
    // Still pressed while the key is held.
    Pump(400);
    EXPECT_EQ(ScreenPixel(tagged_, 0, h / 2), edge);
    EXPECT_EQ(ScreenPixel(tagged_, 6, h / 2), Lighten(kPanelColor, 40));

    XKeyUp(L"space");
    EXPECT_EQ(WaitForPixel(tagged_, w - 1, h / 2, edge), edge);
    EXPECT_EQ(ScreenPixel(tagged_, 0, h / 2), outline);
}

TEST_F(FlatControls, EditLosesIts3DLookForAThinFrame) {
    EXPECT_EQ(GetWindowLongW(edit_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_NE(GetWindowLongPtrW(edit_, GWLP_WNDPROC), editProc_);
    EXPECT_EQ(WaitForPixel(edit_, 0, 10, Shade(kFormColor, 60)), Shade(kFormColor, 60));
    // The panel's bevel in shades of its own colour.
    EXPECT_EQ(WaitForPixel(panel_->Handle(), 0, 40, Shade(kPanelColor, 60)), Shade(kPanelColor, 60));
    EXPECT_EQ(ScreenPixel(panel_->Handle(), 379, 40), Lighten(kPanelColor, 60));
}

TEST_F(FlatControls, GoingInactiveUnhooksAtTheNextMessageAndRestoresTheEdit3DLook) {
    const std::size_t hooks = painter_->HookCount();
    EXPECT_EQ(hooks, 4u);  // the panel, two buttons and the edit
    // Taking over again hooks nothing twice.
    painter_->Painter().SetOverrideOwnerDraw(true);
    EXPECT_EQ(painter_->HookCount(), hooks);

    painter_->Painter().SetActive(false);
    EXPECT_NE(painter_->HookOf(edit_), nullptr);  // nothing has reached it yet
    PumpUntil([&] { return painter_->HookCount() == 0; }, 2000);
    EXPECT_EQ(painter_->HookCount(), 0u);
    EXPECT_EQ(GetWindowLongPtrW(edit_, GWLP_WNDPROC), editProc_);
    EXPECT_NE(GetWindowLongW(edit_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    // The plain button looks as the system draws it again.
    EXPECT_EQ(WaitForPixel(plain_, 6, 15, Sys(COLOR_BTNFACE)), Sys(COLOR_BTNFACE));
}

// Another subclass put in front of the hook later, the old way: when the hook
// lets go of the edit, that subclass and the edit's own procedure go on
// receiving its messages.
TEST_F(FlatControls, LettingGoOfAControlSubclassedAfterTheHookKeepsTheChain) {
    ASSERT_NE(painter_->HookOf(edit_), nullptr);
    static WNDPROC next = nullptr;
    static int heard = 0;
    heard = 0;
    next = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        edit_, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
            ++heard;
            return CallWindowProcW(next, hwnd, msg, wp, lp);
        })));
    painter_->Painter().SetActive(false);
    PumpUntil([&] { return painter_->HookOf(edit_) == nullptr; }, 2000);
    ASSERT_EQ(painter_->HookOf(edit_), nullptr);
    EXPECT_NE(GetWindowLongW(edit_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);

    const int heardBefore = heard;
    SendMessageW(edit_, EM_SETLIMITTEXT, 7, 0);
    EXPECT_EQ(SendMessageW(edit_, EM_GETLIMITTEXT, 0, 0), 7);  // the edit's own answer
    SetWindowTextW(edit_, L"still an edit");
    EXPECT_EQ(SendMessageW(edit_, EM_LINELENGTH, 0, 0), 13);
    EXPECT_GE(heard, heardBefore + 4);

    // Painting again, the painter hooks the edit at the place in the chain
    // its procedure kept: once, and every message still reaches the edit.
    painter_->Painter().SetActive(true);
    ASSERT_NE(painter_->HookOf(edit_), nullptr);
    InvalidateRect(edit_, nullptr, TRUE);
    EXPECT_TRUE(PumpUntil([&] { return (GetWindowLongW(edit_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0; }, 2000));
    EXPECT_EQ(SendMessageW(edit_, EM_GETLIMITTEXT, 0, 0), 7);
    EXPECT_EQ(painter_->HookCount(), 4u);
}

TEST_F(FlatControls, ControlsNoLongerChosenAreLetGoAtTheirNextMessage) {
    TPaintControls controls = painter_->Painter().PaintControls();
    controls.Exclude(xcEdit);
    painter_->Painter().SetPaintControls(controls);
    PumpUntil([&] { return painter_->HookOf(edit_) == nullptr; }, 2000);
    EXPECT_EQ(painter_->HookOf(edit_), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(edit_, GWLP_WNDPROC), editProc_);
    EXPECT_NE(GetWindowLongW(edit_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(painter_->HookCount(), 3u);
    EXPECT_EQ(WaitForPixel(tagged_, 6, 15, Lighten(kPanelColor, 16)), Lighten(kPanelColor, 16));
}

TEST_F(FlatControls, AMoveKeepsTheHookUntilTheNextPaintButAGoneWindowLetsItGo) {
    TControlSubClass* hook = painter_->HookOf(plain_);
    ASSERT_NE(hook, nullptr);
    MoveWindow(plain_, 200, 22, 120, 30, TRUE);
    EXPECT_TRUE(hook->KeepHook());
    // A move of the same size may copy the pixels without a paint.
    InvalidateRect(plain_, nullptr, TRUE);
    EXPECT_TRUE(PumpUntil([&] { return !hook->KeepHook(); }, 2000));

    MoveWindow(plain_, 200, 20, 120, 30, FALSE);
    ASSERT_TRUE(hook->KeepHook());
    DestroyWindow(plain_);
    EXPECT_EQ(painter_->HookOf(plain_), nullptr);
    EXPECT_EQ(painter_->HookCount(), 3u);
}

// ------------------------------------------------------------------ menus

// A form with a main menu and a pop-up menu, on a thread of its own, so that
// the test can look at the menus while their modal loop runs.
class MenuForm {
public:
    MenuForm() {
        thread_ = std::thread([this] { Run(); });
        PumpUntil([this] { return ready_.load(); }, 5000);
    }
    ~MenuForm() {
        if (hwnd_) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    HWND Handle() const { return hwnd_; }
    HMENU FileMenu() const { return GetSubMenu(main_->Handle(), 0); }
    HMENU Popup() const { return popup_->Handle(); }
    TMenuPainterWin32& Painter() { return *painter_; }
    // Runs f on the form's thread.
    void Do(std::function<void()> f) { SendMessageW(hwnd_, WM_APP, 0, reinterpret_cast<LPARAM>(&f)); }

private:
    void Run() {
        HWND hwnd = CreateTestForm(L"Menus", 360, 260);
        mainModel_ = std::make_unique<TMenu>(true, "MainMenu1");
        TMenuItem& file = mainModel_->Items.Add("&File");
        file.Add("Open").ShortCutText = "Ctrl+O";
        file.Add("Save");
        file.Add("-");
        TMenuItem& own = file.Add("Own");
        own.Tag = 999;
        auto fill = [](TColor c) {
            return [c](TMenuItem&, TMenuCanvas& canvas, const TRect& r, bool) {
                HDC dc = static_cast<TMenuCanvasWin32&>(canvas).Handle();
                HBRUSH brush = CreateSolidBrush(c);
                RECT rect{r.Left, r.Top, r.Right, r.Bottom};
                FillRect(dc, &rect, brush);
                DeleteObject(brush);
            };
        };
        own.OnDrawItem = {fill(kOwnColor), nullptr};
        own.OnMeasureItem = {[](TMenuItem&, TMenuCanvas&, int& w, int& h) { w = 80, h = 20; }, nullptr};
        TMenuItem& custom = file.Add("Custom");
        custom.OnDrawItem = {fill(kCustomColor), nullptr};
        file.Add("Checked").Checked = true;
        file.Add("Exit");
        picture_ = MakePicture();
        file.Add("Picture").Bitmap = picture_;
        popupModel_ = std::make_unique<TMenu>(false, "PopupMenu1");
        popupModel_->Items.Add("Copy");
        popupModel_->Items.Add("-");
        popupModel_->Items.Add("Paste");

        main_ = std::make_unique<TMenuWin32>(*mainModel_);
        main_->AttachTo(hwnd);
        popup_ = std::make_unique<TMenuWin32>(*popupModel_);
        painter_ = std::make_unique<TMenuPainterWin32>(hwnd);
        painter_->AddMenu(*main_);
        painter_->AddMenu(*popup_);
        handlers_.painter = painter_.get();
        handlers_.popup = popup_->Handle();
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&handlers_));
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
        painter_.reset();
        main_.reset();
        popup_.reset();
        DeleteObject(picture_);
    }

    // A 16 x 16 picture: a red square on white, the white being transparent.
    static HBITMAP MakePicture() {
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all{0, 0, 16, 16}, square{2, 2, 14, 14};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &square, red);
        DeleteObject(red);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return bitmap;
    }

    std::thread thread_;
    std::atomic<bool> ready_{false};
    HWND hwnd_ = nullptr;
    std::unique_ptr<TMenu> mainModel_;
    std::unique_ptr<TMenu> popupModel_;
    std::unique_ptr<TMenuWin32> main_;
    std::unique_ptr<TMenuWin32> popup_;
    std::unique_ptr<TMenuPainterWin32> painter_;
    TestFormHandlers handlers_;
    HBITMAP picture_ = nullptr;
};

HWND OpenMenuWindow() {
    HWND found = nullptr;
    PumpUntil([&] {
        found = FindWindowW(L"#32768", nullptr);
        return found && IsWindowVisible(found);
    }, 3000);
    return found;
}

// Screen rectangle of an item: of the menu bar given its window, of a
// pop-up menu that shows given none (the system finds its window).
RECT ItemRect(HWND owner, HMENU menu, int index) {
    RECT r{};
    GetMenuItemRect(owner, menu, static_cast<UINT>(index), &r);
    return r;
}
RECT PopupItemRect(HMENU menu, int index) { return ItemRect(nullptr, menu, index); }

// The screen shows the colour at the point, at once or soon: a menu's window
// belongs to the form's thread, which may still be painting it while this
// one reads.
::testing::AssertionResult Shows(int x, int y, COLORREF expected) {
    const COLORREF seen = WaitForPixel(GetDesktopWindow(), x, y, expected);
    if (seen == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << x << ", " << y << ") shows " << std::hex << seen
                                         << ", not " << expected;
}

// Some pixel of a row of the window's client area has the colour.
bool RowHas(HWND hwnd, int y, COLORREF colour) {
    RECT r;
    GetClientRect(hwnd, &r);
    for (int x = 0; x < r.right; ++x)
        if (ScreenPixel(hwnd, x, y) == colour) return true;
    return false;
}

void CloseMenus() {
    for (int i = 0; i < 3 && FindWindowW(L"#32768", nullptr); ++i) XKey(L"Escape");
}

class MenuPainterMenus : public ::testing::Test {
protected:
    const TColor face = Sys(COLOR_BTNFACE);
    const TColor itemFace = Lighten(face, 86);
    const TColor iconBack = Lighten(face, 16);
    const TColor highlight = Sys(COLOR_HIGHLIGHT);
};

TEST_F(MenuPainterMenus, MainMenuDrawnByThePainterWhileTag999KeepsItsOwn) {
    MenuForm form;
    ASSERT_NE(form.Handle(), nullptr);
    const RECT bar = ItemRect(form.Handle(), GetMenu(form.Handle()), 0);
    ASSERT_GT(bar.right, bar.left);
    // The menu bar's item in the menu-bar colour.
    EXPECT_TRUE(Shows(bar.right - 2, bar.top + 2, face));

    XClickAt(GetDesktopWindow(), (bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
    ASSERT_NE(OpenMenuWindow(), nullptr);
    HMENU file = form.FileMenu();
    const RECT save = PopupItemRect(file, 1);
    const int mid = (save.top + save.bottom) / 2;
    EXPECT_TRUE(Shows(save.left + 3, mid, iconBack));
    EXPECT_TRUE(Shows(save.right - 4, mid, itemFace));

    const RECT separator = PopupItemRect(file, 2);
    EXPECT_EQ(separator.bottom - separator.top, 4);
    const TColor line = Lighten(Sys(COLOR_BTNSHADOW), 25);
    EXPECT_TRUE(Shows(separator.left + 24 + 7 + 4, separator.top + 2, line));
    EXPECT_TRUE(Shows(separator.left + 3, separator.top + 2, iconBack));

    const RECT own = PopupItemRect(file, 3);
    EXPECT_TRUE(Shows(own.right - 4, (own.top + own.bottom) / 2, kOwnColor));
    const RECT custom = PopupItemRect(file, 4);
    EXPECT_TRUE(Shows(custom.right - 4, (custom.top + custom.bottom) / 2, kCustomColor));

    // The checked item's tick box.
    const RECT checked = PopupItemRect(file, 5);
    const int boxTop = checked.top + (checked.bottom + 1 - checked.top - 10) / 2;
    EXPECT_TRUE(Shows(checked.left + 7, boxTop + 5, highlight));
    EXPECT_TRUE(Shows(checked.left + 8, boxTop + 1, Lighten(highlight, 80)));

    // Hovering an item selects it.
    const RECT exit = PopupItemRect(file, 6);
    XMoveTo(GetDesktopWindow(), exit.right - 20, (exit.top + exit.bottom) / 2);
    const TColor fill = Lighten(highlight, 68);
    EXPECT_TRUE(Shows(exit.right - 5, (exit.top + exit.bottom) / 2, fill));
    EXPECT_TRUE(Shows(exit.left + 3, exit.top + 1, highlight));
    EXPECT_TRUE(Shows(exit.left + 3, (exit.top + exit.bottom) / 2, fill));
    SaveScreenshot(L"menu-form-main-menu");

    // A picture is centred in the icon column and dimmed while not selected;
    // selected, it is lifted over its shadow.
    const RECT picture = PopupItemRect(file, 7);
    const int x0 = picture.left + 4, y0 = picture.top + 5;
    EXPECT_TRUE(Shows(x0 + 8, y0 + 8, RGBColor(255, 76, 76)));
    EXPECT_TRUE(Shows(x0, y0, iconBack));
    XMoveTo(GetDesktopWindow(), picture.right - 20, (picture.top + picture.bottom) / 2);
    EXPECT_TRUE(Shows(x0 + 7, y0 + 7, RGB(255, 0, 0)));
    EXPECT_TRUE(Shows(x0 + 14, y0 + 14, Shade(fill, 50)));
    EXPECT_TRUE(Shows(x0 - 1, y0 - 1, fill));
    CloseMenus();
}

TEST_F(MenuPainterMenus, OverrideOwnerDrawTakesOverAtOnceButNotTag999) {
    MenuForm form;
    ASSERT_NE(form.Handle(), nullptr);
    form.Do([&] { form.Painter().Painter().SetOverrideOwnerDraw(true); });
    const RECT bar = ItemRect(form.Handle(), GetMenu(form.Handle()), 0);
    XClickAt(GetDesktopWindow(), (bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
    ASSERT_NE(OpenMenuWindow(), nullptr);
    const RECT own = PopupItemRect(form.FileMenu(), 3);
    const RECT custom = PopupItemRect(form.FileMenu(), 4);
    EXPECT_TRUE(Shows(custom.right - 4, (custom.top + custom.bottom) / 2, itemFace));
    EXPECT_TRUE(Shows(custom.left + 3, (custom.top + custom.bottom) / 2, iconBack));
    EXPECT_TRUE(Shows(own.right - 4, (own.top + own.bottom) / 2, kOwnColor));
    CloseMenus();
}

TEST_F(MenuPainterMenus, GradientLightensTheIconBackgroundColumnByColumn) {
    MenuForm form;
    ASSERT_NE(form.Handle(), nullptr);
    form.Do([&] { form.Painter().Painter().Gradient = true; });
    const RECT bar = ItemRect(form.Handle(), GetMenu(form.Handle()), 0);
    XClickAt(GetDesktopWindow(), (bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
    ASSERT_NE(OpenMenuWindow(), nullptr);
    const RECT save = PopupItemRect(form.FileMenu(), 1);
    // 1 for the first column, 3 more for each further one over the icon
    // column, then 1 more each, up to 96.
    EXPECT_TRUE(Shows(save.left + 10, save.top + 2, Lighten(iconBack, 31)));
    EXPECT_TRUE(Shows(save.right - 4, save.top + 2, Lighten(iconBack, 96)));
    CloseMenus();
}

TEST_F(MenuPainterMenus, PopupMenuIsDrawnByThePainter) {
    MenuForm form;
    ASSERT_NE(form.Handle(), nullptr);
    XClickAt(form.Handle(), 120, 100, 3);
    ASSERT_NE(OpenMenuWindow(), nullptr);
    const RECT copy = PopupItemRect(form.Popup(), 0);
    ASSERT_GT(copy.right, copy.left);
    const int mid = (copy.top + copy.bottom) / 2;
    EXPECT_TRUE(Shows(copy.left + 3, mid, iconBack));
    EXPECT_TRUE(Shows(copy.right - 4, mid, itemFace));
    const RECT separator = PopupItemRect(form.Popup(), 1);
    const TColor line = Lighten(Sys(COLOR_BTNSHADOW), 25);
    EXPECT_TRUE(Shows(separator.left + 40, separator.top + 2, line));
    const RECT paste = PopupItemRect(form.Popup(), 2);
    XMoveTo(GetDesktopWindow(), paste.right - 10, (paste.top + paste.bottom) / 2);
    const TColor fill = Lighten(highlight, 68);
    EXPECT_TRUE(Shows(paste.right - 5, (paste.top + paste.bottom) / 2, fill));
    SaveScreenshot(L"menu-form-popup");
    CloseMenus();
}

TEST_F(MenuPainterMenus, FlatMenuGivesThePopupAFlatBorderWithAShadow) {
    MenuForm form;
    ASSERT_NE(form.Handle(), nullptr);
    form.Do([&] { form.Painter().Painter().FlatMenu = true; });
    XClickAt(form.Handle(), 120, 100, 3);
    HWND popup = OpenMenuWindow();
    ASSERT_NE(popup, nullptr);
    RECT w;
    GetWindowRect(popup, &w);
    const TColor border = Shade(face, 90);
    EXPECT_TRUE(Shows(w.left, w.top + 10, border));
    EXPECT_TRUE(Shows(w.right - 3, w.top + 10, border));
    EXPECT_TRUE(Shows(w.right - 1, w.top + 10, Shade(face, 76)));
    EXPECT_TRUE(Shows(w.left + 10, w.bottom - 1, Shade(face, 76)));
    EXPECT_TRUE(Shows(w.right - 1, w.top, face));
    EXPECT_TRUE(Shows(w.left + 1, w.top + 10, iconBack));
    CloseMenus();
}

// ------------------------------------------------------------------ the main window

TEST_F(MainFormTest, FlatLookHooksPanelsMemoAndButtonsAndHoverLightensTheButton) {
    WriteIps(LocalComputerName() + "\r\n");
    Open();
    auto& form = form_;

    TMenuPainterWin32& painter = form->MenuPainter();
    EXPECT_TRUE(painter.Painter().Active());
    EXPECT_EQ(painter.Painter().Font().Name, "Tahoma");
    for (HWND hooked : {form->WaitPanel(), form->ActionPanel(), form->InfoPanel(), form->Splitter(),
                        form->InfoMemo(), form->ActionButton(), form->AboutButton()})
        EXPECT_NE(painter.HookOf(hooked), nullptr);
    EXPECT_EQ(painter.HookOf(form->Tree()), nullptr);
    EXPECT_EQ(painter.HookOf(form->StatusBar()), nullptr);
    EXPECT_EQ(painter.HookOf(form->WaitLabel()), nullptr);

    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Tree()) != FALSE; }, 5000));
    HWND tree = form->Tree();
    HTREEITEM internet = TreeView_GetRoot(tree);
    TreeView_Expand(tree, internet, TVE_EXPAND);
    HTREEITEM host = TreeView_GetChild(tree, internet);
    ASSERT_NE(host, nullptr);
    RECT item{};
    TreeView_GetItemRect(tree, host, &item, TRUE);
    XClickAt(tree, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form->ActionPanel()) != FALSE; }, 3000));
    XMoveTo(form->Handle(), 100, 100);

    const TColor face = Sys(COLOR_BTNFACE);
    HWND about = form->AboutButton();
    EXPECT_EQ(WaitForPixel(about, 4, 10, Lighten(face, 16)), Lighten(face, 16));
    XMoveTo(about, 30, 10);
    EXPECT_EQ(WaitForPixel(about, 4, 10, Lighten(face, 40)), Lighten(face, 40));
    XMoveTo(form->Handle(), 100, 100);

    // The action glyph's body, (0, 160, 0), dimmed by 30 at rest; the glyph
    // sits one pixel below the middle of the 29 pixel high button, and is
    // lifted by one while the mouse is over the button.
    HWND action = form->ActionButton();
    const COLORREF body = RGB(0, 160, 0);
    const COLORREF dimmed = RGB(76, 188, 76);
    EXPECT_TRUE(PumpUntil([&] { return RowHas(action, 7 + 7, dimmed); }, 2000));
    EXPECT_FALSE(RowHas(action, 7 + 7, body));
    XMoveTo(action, 200, 3);
    EXPECT_TRUE(PumpUntil([&] { return RowHas(action, 6 + 7, body); }, 2000));
    XMoveTo(form->Handle(), 100, 100);
    EXPECT_TRUE(PumpUntil([&] { return RowHas(action, 7 + 7, dimmed); }, 2000));
    SaveScreenshot(L"main-window-flat");
}

}  // namespace
