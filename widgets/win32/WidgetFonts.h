#pragma once
// The widgets' fonts as the system makes and reports them. Each widget
// describes a font by its own record (a name, a height, the styles); these
// read any of them.
#include <windows.h>

#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/GdiOwners.h"

// The font a description asks for; the system puts the nearest it has in
// place of one it lacks.
template <typename Font>
TOwnedFont CreateFontOf(const Font& f, BYTE charset = DEFAULT_CHARSET) {
    return TOwnedFont(CreateFontW(f.Height, 0, 0, 0, f.Bold ? FW_BOLD : FW_NORMAL, f.Italic,
                                  f.Underline, f.StrikeOut, charset, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                  platform::win32::Wide(f.Name).c_str()));
}

// A system font (from the non-client metrics) in a widget's description.
template <typename Font>
void DescribeFont(const LOGFONTW& lf, Font& font) {
    font.Name = platform::win32::Narrow(lf.lfFaceName);
    font.Height = lf.lfHeight;
    font.Bold = lf.lfWeight >= FW_BOLD;
    font.Italic = lf.lfItalic != 0;
    font.Underline = lf.lfUnderline != 0;
    font.StrikeOut = lf.lfStrikeOut != 0;
}

// The system's non-client metrics: the fonts of menus, captions, status bars.
inline NONCLIENTMETRICSW NonClientMetrics() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        metrics.cbSize = 0;
    return metrics;
}
