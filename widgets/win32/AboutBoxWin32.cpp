#include "widgets/win32/AboutBoxWin32.h"

#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/Dpi.h"
#include "toolkit/win32/WindowClass.h"

using platform::win32::Wide;

namespace {

constexpr wchar_t kClassName[] = L"Taboutformular";
constexpr wchar_t kCardClassName[] = L"NetworkViewPicture";
constexpr int kCardId = 1;
constexpr int kLinkId = 2;

// The card drawn for the smallest scale at least as large as the screen's.
TOwnedBitmap LoadCard(HINSTANCE instance, int dpi) {
    const int scale = PictureScaleAtLeast(dpi);
    const wchar_t* name = scale >= 200   ? L"VISITENKARTE_200"
                          : scale >= 150 ? L"VISITENKARTE_150"
                                         : L"VISITENKARTE";
    return TOwnedBitmap(static_cast<HBITMAP>(
        LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

}  // namespace

TaboutformularWin32::TaboutformularWin32(platform::Registry& registry, platform::Shell& shell)
    : hplabel_(registry, shell, AboutFont()), logic_(hplabel_) {}

TaboutformularWin32::~TaboutformularWin32() {
    if (hwnd_) DestroyWindow(hwnd_);
}

TaboutformularWin32* TaboutformularWin32::FromHandle(HWND hwnd) {
    return ObjectOfClass<TaboutformularWin32>(hwnd, kClassName);
}

HWND TaboutformularWin32::Create(HWND owner) {
    auto instance = GetModuleHandleW(nullptr);
    using Box = TaboutformularWin32;
    EnsureWindowClass(instance, kClassName, ObjectWindowProc<Box, &Box::hwnd_, &Box::BoxMessage>,
                      static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EnsureWindowClass(instance, kCardClassName,
                      ObjectWindowProc<Box, &Box::visitenkarte_, &Box::CardMessage>);

    // A tool window: a thin caption with its close box only, a fixed size,
    // at the scale of the screen its owner is on.
    dpi_ = WindowDpi(owner);
    const auto s = [this](int value) { return ScaleForDpi(value, dpi_); };
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME;
    RECT r{0, 0, s(kAboutClientWidth), s(kAboutClientHeight)};
    AdjustWindowRectForDpi(r, style, exStyle, dpi_);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    CreateWindowExW(exStyle, kClassName, Wide(kAboutCaption).c_str(), style, x, y, width, height,
                    owner, nullptr, instance, this);
    if (!hwnd_) return nullptr;

    picture_ = LoadCard(instance, dpi_);
    // The card fills the client area; it is a little larger, and cropped.
    CreateWindowExW(0, kCardClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                    s(kAboutClientWidth), s(kAboutClientHeight), hwnd_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCardId)), instance, this);
    logic_.LoadLayout();
    // The link lies on the card, so that the card shows through around its
    // text; the card's and the box's corners meet, and so do their places.
    hplabel_.SetDpi(dpi_);
    hplabel_.Create(visitenkarte_, kLinkId, s(kHomePageLeft), s(kHomePageTop), s(kHomePageWidth),
                    s(kHomePageHeight));
    logic_.FormCreate();
    return hwnd_;
}

TModalResult TaboutformularWin32::ShowModal() {
    if (!hwnd_) return mrCancel;
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    HWND focus = GetFocus();
    if (owner) EnableWindow(owner, FALSE);
    logic_.ModalResult = mrNone;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(hwnd_);

    MSG msg;
    while (logic_.ModalResult == mrNone && IsWindow(hwnd_)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: the main loop must see the quit too.
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            logic_.ModalResult = mrCancel;
            break;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE &&
            (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd))) {
            logic_.ModalResult = mrCancel;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    // The owner comes back before the box goes, so that it is activated
    // again rather than some other program's window.
    if (owner) EnableWindow(owner, TRUE);
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
    if (owner) SetActiveWindow(owner);
    // The control that had the keyboard before the box has it again.
    if (focus && IsWindow(focus)) SetFocus(focus);
    return logic_.ModalResult;
}

void TaboutformularWin32::PaintCard(HDC dc) {
    if (!picture_) {
        RECT r;
        GetClientRect(visitenkarte_, &r);
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return;
    }
    const TMemoryDC memory = CreateMemoryDC(dc);
    const TSelection picture(memory.get(), picture_.get());
    BITMAP bm{};
    GetObjectW(picture_.get(), sizeof bm, &bm);
    // The card drawn for this scale shows pixel for pixel; one drawn for a
    // larger scale is shrunk, smoothly, to the card's size here.
    const int width = ScaleForDpi(kCardWidth, dpi_), height = ScaleForDpi(kCardHeight, dpi_);
    if (bm.bmWidth == width && bm.bmHeight == height) {
        BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
        return;
    }
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, width, height, memory.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
}

// Moved to a screen of another scale: the box takes the rectangle the system
// suggests, the card drawn for the new scale and the link its place and font.
void TaboutformularWin32::OnDpiChanged(int dpi, const RECT& suggested) {
    if (dpi <= 0) return;
    dpi_ = dpi;
    const auto s = [this](int value) { return ScaleForDpi(value, dpi_); };
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    picture_ = LoadCard(GetModuleHandleW(nullptr), dpi_);
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, flags);
    SetWindowPos(visitenkarte_, nullptr, 0, 0, s(kAboutClientWidth), s(kAboutClientHeight), flags);
    SetWindowPos(hplabel_.Handle(), nullptr, s(kHomePageLeft), s(kHomePageTop), s(kHomePageWidth),
                 s(kHomePageHeight), flags);
    hplabel_.SetDpi(dpi_);
    InvalidateRect(visitenkarte_, nullptr, TRUE);
}

LRESULT TaboutformularWin32::BoxMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            // The close box and Alt+F4 end the modal display; the one who
            // showed the box destroys it.
            logic_.ModalResult = mrCancel;
            return 0;
        case WM_KEYDOWN:
            if (wp == VK_ESCAPE) {
                logic_.ModalResult = mrCancel;
                return 0;
            }
            break;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT TaboutformularWin32::CardMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // WM_PRINTCLIENT: the link draws the card behind its text.
    LRESULT painted = 0;
    if (HandleSelfPaint(visitenkarte_, msg, wp, [this](HDC dc) { PaintCard(dc); }, painted))
        return painted;
    bool clicked = false;
    if (cardClick_.Follow(visitenkarte_, msg, lp, clicked)) {
        if (clicked) logic_.visitenkarteClick();
        return 0;
    }
    return DefWindowProcW(visitenkarte_, msg, wp, lp);
}
