#include "toolkit/win32/SimpleStatusBar.h"

#include <commctrl.h>

#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/WindowClass.h"

using platform::win32::Wide;

namespace {

constexpr UINT_PTR kSubclassId = 1;

HFONT CreateStatusFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return CreateFontIndirectW(&metrics.lfStatusFont);
    LOGFONTW lf{};
    lf.lfHeight = -11;  // 8 points
    lstrcpyW(lf.lfFaceName, L"MS Sans Serif");
    return CreateFontIndirectW(&lf);
}

}  // namespace

TSimpleStatusBarWin32::TSimpleStatusBarWin32(TColor parentColor) : formColor_(parentColor) {}

TSimpleStatusBarWin32::~TSimpleStatusBarWin32() {
    if (hwnd_) RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
    if (font_) DeleteObject(font_);
}

HWND TSimpleStatusBarWin32::Create(HWND parent, int id) {
    // The main window places the bar itself (19 pixels, bottom edge).
    hwnd_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBARS_SIZEGRIP |
                                CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                            0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                            nullptr);
    font_ = CreateStatusFont();
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(hwnd_, SB_SIMPLE, TRUE, 0);
    SetWindowSubclass(hwnd_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SetSimpleText(text_);
    return hwnd_;
}

void TSimpleStatusBarWin32::SetSimpleText(const std::string& text) {
    text_ = text;
    if (!hwnd_) return;
    // The control keeps the text too, for whoever reads the window.
    SendMessageW(hwnd_, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    Repaint();
}

void TSimpleStatusBarWin32::SetColor(TColor color) {
    color_ = color;
    parentColor_ = false;
    Repaint();
}

void TSimpleStatusBarWin32::SetParentColor(bool parentColor) {
    if (parentColor_ == parentColor) return;
    parentColor_ = parentColor;
    Repaint();
}

void TSimpleStatusBarWin32::Repaint() {
    if (!hwnd_) return;
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateWindow(hwnd_);
}

void TSimpleStatusBarWin32::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    HBRUSH brush = CreateSolidBrush(Color());
    FillRect(dc, &client, brush);
    DeleteObject(brush);

    // One line: the line breaks that some system texts end with are not shown.
    std::wstring line = Wide(text_);
    for (auto& c : line)
        if (c == L'\r' || c == L'\n') c = L' ';
    RECT textRect = client;
    textRect.left += 2;
    textRect.right -= GetSystemMetrics(SM_CXVSCROLL);
    HGDIOBJ oldFont = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &textRect,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);

    // The size grip, while the window can be resized and is not maximised:
    // three ridges drawn on the bar's own colour.
    HWND top = GetAncestor(hwnd_, GA_ROOT);
    if ((GetWindowLongW(top, GWL_STYLE) & WS_THICKFRAME) && !IsZoomed(top)) {
        HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        HGDIOBJ oldPen = SelectObject(dc, shadow);
        const int r = client.right, b = client.bottom;
        for (int k = 3; k <= 11; k += 4) {
            SelectObject(dc, shadow);
            for (int d = 0; d < 2; ++d) {
                MoveToEx(dc, r - k + d, b, nullptr);
                LineTo(dc, r, b - k + d);
            }
            SelectObject(dc, light);
            MoveToEx(dc, r - k - 1, b, nullptr);
            LineTo(dc, r, b - k - 1);
        }
        SelectObject(dc, oldPen);
        DeleteObject(shadow);
        DeleteObject(light);
    }
}

LRESULT CALLBACK TSimpleStatusBarWin32::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                                     UINT_PTR, DWORD_PTR self) {
    auto* bar = reinterpret_cast<TSimpleStatusBarWin32*>(self);
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            PaintWindow(hwnd, [bar](HDC dc) { bar->Paint(dc); });
            return 0;
        case WM_PRINTCLIENT:
            bar->Paint(reinterpret_cast<HDC>(wp));
            return 0;
        default:
            return DefSubclassProc(hwnd, msg, wp, lp);
    }
}
