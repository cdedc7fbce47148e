#pragma once
// Solid fills and one-pixel lines in a colour, with the brush or pen made for
// the one call and deleted after it.
#include <windows.h>

#include <initializer_list>

#include "toolkit/Controls.h"

inline void Fill(HDC dc, const RECT& r, TColor c) {
    HBRUSH brush = CreateSolidBrush(c);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// A line through the points, the last one not drawn.
inline void Line(HDC dc, TColor c, std::initializer_list<POINT> points) {
    HPEN pen = CreatePen(PS_SOLID, 1, c);
    HGDIOBJ old = SelectObject(dc, pen);
    Polyline(dc, points.begin(), static_cast<int>(points.size()));
    SelectObject(dc, old);
    DeleteObject(pen);
}
