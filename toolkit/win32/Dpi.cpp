#include "toolkit/win32/Dpi.h"

namespace {

// A function of user32 that an earlier system may lack, or null.
template <typename F>
F User32(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int ScreenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace

int WindowDpi(HWND hwnd) {
    static const auto forWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const UINT dpi = forWindow && hwnd ? forWindow(hwnd) : 0;
    return dpi ? static_cast<int>(dpi) : ScreenDpi();
}

void AdjustWindowRectForDpi(RECT& r, DWORD style, DWORD exStyle, int dpi) {
    static const auto adjust =
        User32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (!adjust || !adjust(&r, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
}

NONCLIENTMETRICSW NonClientMetricsForDpi(int dpi) {
    static const auto forDpi =
        User32<BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const bool read = forDpi ? forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                      static_cast<UINT>(dpi))
                             : SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics,
                                                     &metrics, 0);
    if (!read) metrics.cbSize = 0;
    return metrics;
}
