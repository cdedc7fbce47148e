#include "widgets/win32/AboutBoxWin32.h"

#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/WindowClass.h"

using platform::win32::Wide;

namespace {

constexpr wchar_t kClassName[] = L"Taboutformular";
constexpr wchar_t kCardClassName[] = L"NetworkViewPicture";
constexpr int kCardId = 1;
constexpr int kLinkId = 2;

}  // namespace

TaboutformularWin32::TaboutformularWin32(platform::Registry& registry, platform::Shell& shell)
    : hplabel_(registry, shell, AboutFont()), logic_(hplabel_) {}

TaboutformularWin32::~TaboutformularWin32() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (picture_) DeleteObject(picture_);
}

TaboutformularWin32* TaboutformularWin32::FromHandle(HWND hwnd) {
    wchar_t cls[32] = {};
    if (!hwnd || !GetClassNameW(hwnd, cls, 32) || lstrcmpW(cls, kClassName) != 0) return nullptr;
    return reinterpret_cast<TaboutformularWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

HWND TaboutformularWin32::Create(HWND owner) {
    auto instance = GetModuleHandleW(nullptr);
    EnsureWindowClass(instance, kClassName, WndProc,
                      static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EnsureWindowClass(instance, kCardClassName, CardProc);

    // A tool window: a thin caption with its close box only, a fixed size.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME;
    RECT r{0, 0, kAboutClientWidth, kAboutClientHeight};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    CreateWindowExW(exStyle, kClassName, Wide(kAboutCaption).c_str(), style, x, y, width, height,
                    owner, nullptr, instance, this);
    if (!hwnd_) return nullptr;

    picture_ = static_cast<HBITMAP>(
        LoadImageW(instance, L"VISITENKARTE", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    // The card fills the client area; it is a little larger, and cropped.
    visitenkarte_ = CreateWindowExW(0, kCardClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                    0, 0, kAboutClientWidth, kAboutClientHeight, hwnd_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCardId)),
                                    instance, this);
    logic_.LoadLayout();
    // The link lies on the card, so that the card shows through around its
    // text; the card's and the box's corners meet, and so do their places.
    hplabel_.Create(visitenkarte_, kLinkId, kHomePageLeft, kHomePageTop, kHomePageWidth,
                    kHomePageHeight);
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
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture_);
    BitBlt(dc, 0, 0, kCardWidth, kCardHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

LRESULT CALLBACK TaboutformularWin32::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self =
            static_cast<TaboutformularWin32*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TaboutformularWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_CLOSE:
            // The close box and Alt+F4 end the modal display; the one who
            // showed the box destroys it.
            self->logic_.ModalResult = mrCancel;
            return 0;
        case WM_KEYDOWN:
            if (wp == VK_ESCAPE) {
                self->logic_.ModalResult = mrCancel;
                return 0;
            }
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            self->visitenkarte_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK TaboutformularWin32::CardProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(
                              reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<TaboutformularWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr || msg == WM_NCDESTROY) return DefWindowProcW(hwnd, msg, wp, lp);
    return self->CardMessage(hwnd, msg, wp, lp);
}

LRESULT TaboutformularWin32::CardMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // WM_PRINTCLIENT: the link draws the card behind its text.
    LRESULT painted = 0;
    if (HandleSelfPaint(hwnd, msg, wp, [this](HDC dc) { PaintCard(dc); }, painted)) return painted;
    switch (msg) {
        case WM_LBUTTONDOWN:
            cardPressed_ = true;
            SetCapture(hwnd);
            return 0;
        case WM_LBUTTONUP: {
            if (!cardPressed_) return 0;
            cardPressed_ = false;
            ReleaseCapture();
            RECT r;
            GetClientRect(hwnd, &r);
            const POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            if (PtInRect(&r, p)) logic_.visitenkarteClick();
            return 0;
        }
        case WM_CAPTURECHANGED:
            cardPressed_ = false;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}
