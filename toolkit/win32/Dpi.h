#pragma once
// The scale a window is shown at, and the system's measures for it. The
// functions that answer per window came with Windows 10; on an earlier
// system every window has the screen's one scale, which the screen's device
// context gives.
#include <windows.h>

#include "toolkit/Dpi.h"

// The dots per inch of the screen the window is on.
int WindowDpi(HWND hwnd);
// The outer size of a window whose client area is the rectangle, with the
// frame's measures at the scale.
void AdjustWindowRectForDpi(RECT& r, DWORD style, DWORD exStyle, int dpi);
// The system's fonts of menus, captions and status bars at the scale;
// cbSize is 0 when the system cannot tell.
NONCLIENTMETRICSW NonClientMetricsForDpi(int dpi);
