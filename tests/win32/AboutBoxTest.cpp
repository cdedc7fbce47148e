// The about box as a user meets it: pressed open from the main window's
// About button, looked at, hovered and clicked through the X display. The
// shell is a recording stand-in, so that no browser starts; the registry is
// Wine's own or a scripted one with a browser registered.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/fakes/ScriptedRegistry.h"
#include "tests/win32/MainFormFixture.h"
#include "widgets/win32/AboutBoxWin32.h"

namespace {

const std::wstring kHomePage = L"http://networkview.example.net/";

std::wstring TooltipText(HWND tooltip, HWND tool) {
    wchar_t buffer[512] = {};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = buffer;
    SendMessageW(tooltip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&info));
    return buffer;
}

// Where the close box of a window's caption lies, in client coordinates.
POINT CloseBoxOf(HWND hwnd) {
    RECT outer;
    GetWindowRect(hwnd, &outer);
    POINT client{0, 0};
    ClientToScreen(hwnd, &client);
    const int y = (outer.top + client.y) / 2;  // the middle of the caption
    for (int x = outer.right - 1; x > outer.left; --x) {
        if (SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE)
            return {x - 2 - client.x, y - client.y};
    }
    return {-1000, -1000};
}

// What the screen shows of a window's client area.
std::vector<COLORREF> ClientPixels(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = r.right;
    info.bmiHeader.biHeight = -r.bottom;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.right, r.bottom, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const COLORREF*>(bits);
    std::vector<COLORREF> pixels(first, first + r.right * r.bottom);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;  // 0x00RRGGBB, as a DIB holds them
}

constexpr COLORREF Dib(int r, int g, int b) { return static_cast<COLORREF>((r << 16) | (g << 8) | b); }

struct LinkInk {
    int blue = 0;          // pixels of the link colour
    int longestBlueRun = 0;  // the underline
    int dark = 0;          // pixels of the window-text colour
};

LinkInk InkOf(HWND label) {
    RECT r;
    GetClientRect(label, &r);
    const auto pixels = ClientPixels(label);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    LinkInk ink;
    for (int y = 0; y < r.bottom; ++y) {
        int run = 0;
        for (int x = 0; x < r.right; ++x) {
            const COLORREF p = pixels[y * r.right + x];
            run = p == Dib(0, 0, 255) ? run + 1 : 0;
            ink.blue += run > 0;
            ink.longestBlueRun = std::max(ink.longestBlueRun, run);
            ink.dark += p == Dib(GetRValue(text), GetGValue(text), GetBValue(text));
        }
    }
    return ink;
}

class AboutBoxTest : public MainFormTest {
protected:
    // The main window on a scripted network, with the registry given and a
    // recording shell; the About button lies on the action panel, which a
    // click on "Internet" brings up.
    void OpenWith(platform::Registry& registry) {
        net_.Machine("");
        Open({.net = &net_, .registry = &registry, .shell = &shell_});
        ASSERT_TRUE(WaitForTree());
        ClickItem(Tree(), TreeView_GetRoot(Tree()));
        ASSERT_TRUE(IsWindowVisible(form_->AboutButton()));
    }

    // Presses About as a user does; action runs while the box shows.
    void PressAbout(std::function<void(TaboutformularWin32&)> action) {
        ModalDriver about(L"Taboutformular", L"", {[&](HWND hwnd) {
                              LookAt(hwnd, action);
                              return true;
                          }});
        XClickCenter(form_->AboutButton());
        EXPECT_EQ(about.Shown(), 1) << "the about box did not show";
        EXPECT_FALSE(about.LeftOpen());
        // The box is gone and the main window takes input again.
        EXPECT_TRUE(PumpUntil([] { return FindWindowW(L"Taboutformular", nullptr) == nullptr; }, 3000));
        EXPECT_TRUE(IsWindowEnabled(form_->Handle()));
    }

    // Looked at once it is drawn: the card's band shows on the screen.
    static void LookAt(HWND hwnd, const std::function<void(TaboutformularWin32&)>& action) {
        TaboutformularWin32* box = TaboutformularWin32::FromHandle(hwnd);
        ASSERT_NE(box, nullptr);
        HWND card = box->Card(), link = box->Link().Handle();
        EXPECT_TRUE(PumpUntil(
            [&] {
                return !GetUpdateRect(hwnd, nullptr, FALSE) && !GetUpdateRect(card, nullptr, FALSE) &&
                       !GetUpdateRect(link, nullptr, FALSE) &&
                       ScreenPixel(card, 10, 2) == RGB(28, 74, 140);
            },
            3000));
        action(*box);
    }

    // A browser registered for web pages, as on most Windows systems.
    static void RegisterBrowser(ScriptedRegistry& registry) {
        for (const char* ext : {".html", ".htm"})
            registry.KeyAt("", platform::kHKeyClassesRoot, ext).values[""] =
                ScriptedRegistry::String("htmlfile");
        registry.KeyAt("", platform::kHKeyClassesRoot, "htmlfile\\shell\\open\\command").values[""] =
            ScriptedRegistry::String("browser.exe \"%1\"");
    }

    ScriptedNetwork net_;
    FakeShell shell_;
};

}  // namespace

TEST_F(AboutBoxTest, AboutButtonShowsTheCardModallyAndAClickOnTheCardClosesIt) {
    ScriptedRegistry registry;
    RegisterBrowser(registry);
    OpenWith(registry);
    PressAbout([&](TaboutformularWin32& box) {
        HWND hwnd = box.Handle();
        EXPECT_EQ(Wide(WindowText(hwnd)), L"\u00DC" L"ber");
        EXPECT_FALSE(IsWindowEnabled(form_->Handle()));
        EXPECT_EQ(GetWindow(hwnd, GW_OWNER), form_->Handle());
        RECT client;
        GetClientRect(hwnd, &client);
        EXPECT_EQ(client.right, 199);
        EXPECT_EQ(client.bottom, 293);
        const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        RECT outer;
        GetWindowRect(hwnd, &outer);
        EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
        EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

        // The card: its band along the top, its logo, white where the link lies.
        HWND card = box.Card();
        EXPECT_EQ(ScreenPixel(card, 10, 2), RGB(28, 74, 140));
        EXPECT_EQ(ScreenPixel(card, 99, 40), RGB(28, 74, 140));
        EXPECT_EQ(ScreenPixel(card, 100, 260), RGB(255, 255, 255));

        // The link at its place, blue and underlined over the card's white,
        // as wide as its caption in the font the system gave it: the
        // underline runs the whole width, no letter is cut.
        HWND link = box.Link().Handle();
        RECT place;
        GetWindowRect(link, &place);
        MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, 73);
        EXPECT_EQ(place.top, 212);
        EXPECT_EQ(WindowText(link), "Homepage");
        const int width = place.right - place.left;
        const LinkInk ink = InkOf(link);
        EXPECT_GT(ink.blue, 40);
        EXPECT_GE(ink.longestBlueRun, width - 1);
        EXPECT_LT(place.right, 199);
        EXPECT_EQ(ScreenPixel(link, width - 1, 0), RGB(255, 255, 255));

        // Resting on it: the pointing hand of the program's resources and
        // the full address as the hint.
        XMoveTo(link, 20, 6);
        HCURSOR hand = box.Link().HandCursor();
        EXPECT_EQ(GetCursor(), hand);
        ICONINFO icon{};
        ASSERT_TRUE(GetIconInfo(hand, &icon));
        EXPECT_FALSE(icon.fIcon);
        EXPECT_EQ(icon.xHotspot, 0u);
        EXPECT_EQ(icon.yHotspot, 0u);
        EXPECT_EQ(icon.hbmColor, nullptr);  // monochrome
        BITMAP mask{};
        GetObjectW(icon.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, 32);
        EXPECT_EQ(mask.bmHeight, 64);  // the AND and the XOR mask
        if (icon.hbmMask) DeleteObject(icon.hbmMask);
        if (icon.hbmColor) DeleteObject(icon.hbmColor);
        EXPECT_EQ(TooltipText(box.Link().Tooltip(), link), kHomePage);
        EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(box.Link().Tooltip()) != FALSE; }, 3000));
        SaveScreenshot(L"about-box");

        // The link opens the home page and the box stays.
        XClickAt(link, 20, 6);
        EXPECT_EQ(shell_.opened, std::vector<std::string>{"http://networkview.example.net/"});
        EXPECT_EQ(box.Logic().ModalResult, mrNone);

        // Anywhere else on the card closes it.
        XClickAt(card, 100, 260);
        EXPECT_EQ(box.Logic().ModalResult, mrOk);
    });
}

TEST_F(AboutBoxTest, WithoutABrowserTheLinkIsPassiveButStillShowsTheAddress) {
    // Wine registers no handler for ".html" here; a system that does is
    // covered by the test above.
    platform::win32::RegistryWin32 registry;
    platform::RegKey key = 0;
    if (registry.OpenKey(platform::kHKeyClassesRoot, ".html", platform::kKeyRead, key) == 0) {
        registry.CloseKey(key);
        GTEST_SKIP() << "this system registers a handler for web pages";
    }
    OpenWith(registry);
    PressAbout([&](TaboutformularWin32& box) {
        HWND link = box.Link().Handle();
        const LinkInk ink = InkOf(link);
        EXPECT_EQ(ink.blue, 0);
        EXPECT_GT(ink.dark, 20);
        XMoveTo(link, 20, 6);
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
        EXPECT_EQ(TooltipText(box.Link().Tooltip(), link), kHomePage);
        EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(box.Link().Tooltip()) != FALSE; }, 3000));
        XClickAt(link, 20, 6);
        EXPECT_TRUE(shell_.opened.empty());
        EXPECT_EQ(box.Logic().ModalResult, mrNone);
        XClickAt(box.Card(), 100, 100);
        EXPECT_EQ(box.Logic().ModalResult, mrOk);
    });
}

TEST_F(AboutBoxTest, ALaunchTheShellRefusesIsReportedAndTheBoxStays) {
    ScriptedRegistry registry;
    RegisterBrowser(registry);
    shell_.openSucceeds = false;
    OpenWith(registry);
    PressAbout([&](TaboutformularWin32& box) {
        std::wstring reported;
        ModalDriver message(L"#32770", L"", {[&](HWND window) {
                                                 reported = StaticTexts(window);
                                                 return true;
                                             },
                                             Press(L"Return")});
        XClickAt(box.Link().Handle(), 20, 6);
        EXPECT_TRUE(PumpUntil([&] { return !reported.empty(); }, 3000));
        EXPECT_TRUE(PumpUntil([&] { return FindWindowW(L"#32770", nullptr) == nullptr; }, 5000));
        EXPECT_EQ(message.Shown(), 1);
        EXPECT_FALSE(message.LeftOpen());
        EXPECT_NE(reported.find(L"could not be opened"), std::wstring::npos) << reported;
        EXPECT_NE(reported.find(kHomePage), std::wstring::npos) << reported;
        EXPECT_EQ(box.Logic().ModalResult, mrNone);
        XKey(L"Escape");
        EXPECT_EQ(box.Logic().ModalResult, mrCancel);
    });
}

TEST_F(AboutBoxTest, OpeningTwiceShowsTheSameContent) {
    ScriptedRegistry registry;
    RegisterBrowser(registry);
    OpenWith(registry);
    std::vector<std::vector<COLORREF>> seen;
    std::vector<std::wstring> hints;
    // Closed each time another way: Escape, the system's close keystroke,
    // the close box.
    for (const std::wstring close : {L"Escape", L"alt+F4", L"close box"}) {
        PressAbout([&](TaboutformularWin32& box) {
            seen.push_back(ClientPixels(box.Handle()));
            hints.push_back(TooltipText(box.Link().Tooltip(), box.Link().Handle()));
            if (close == L"close box") {
                const POINT p = CloseBoxOf(box.Handle());
                XClickAt(box.Handle(), p.x, p.y);
            } else {
                XKey(close);
            }
            EXPECT_EQ(box.Logic().ModalResult, mrCancel) << close;
        });
    }
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].size(), 199u * 293u);
    EXPECT_TRUE(seen[0] == seen[1]);
    EXPECT_TRUE(seen[0] == seen[2]);
    EXPECT_EQ(hints, std::vector<std::wstring>(3, kHomePage));
}
